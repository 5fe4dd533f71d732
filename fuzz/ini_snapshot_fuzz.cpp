// Feeds arbitrary bytes as an INI file to the reader's per-press store (the
// snapshot of the file) and makes the read calls the input describes, with
// its names and buffer sizes, and then the profile list. Checks what the
// private-profile API promises for any file: every result terminated within
// its buffer (each buffer has exactly its size, so AddressSanitizer sees any
// byte beyond), the counts the API returns for cut results, no listed profile
// name over 99 characters, and work that grows no faster than the file.
//
// Work is counted, not timed: the store's sources are built with
// -finstrument-functions, and every function entered there counts one.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/ini_script.h"
#include "profiles/press_ini.h"
#include "profiles/profile_store.h"

using namespace k7;

namespace {

uint64_t g_work = 0;

void Check(bool ok) {
  if (!ok) std::abort();
}

// Functions entered per byte of file, name and buffer, and for each call,
// beyond which a call counts as slower than linear. On the corpus the most
// per byte is some 460, on inputs of a few bytes where a call's fixed cost
// dominates; a quadratic walk over a file of a few kilobytes exceeds the
// bound many times over.
constexpr uint64_t kWorkPerByte = 400;
constexpr uint64_t kWorkPerCall = 20000;

class Reader : public IWholeFileReader {
 public:
  explicit Reader(std::string bytes) : bytes_(std::move(bytes)) {}
  FileBytes ReadWhole(const char*, size_t maxBytes) override {
    if (bytes_.size() > maxBytes) return {IniFileState::kTooLarge, ""};
    return {IniFileState::kRead, bytes_};
  }

 private:
  std::string bytes_;
};

// The API's answers for a file it cannot open: used only for what the copy
// does not handle (UTF-16, an empty file).
class NoFile : public IIniStore {
 public:
  uint32_t GetString(const char*, const char*, const char*, char* out, uint32_t size,
                     const char*) override {
    if (size > 0) out[0] = '\0';
    return 0;
  }
  int GetInt(const char*, const char*, int def, const char*) override { return def; }
  uint32_t GetSectionNames(char* out, uint32_t size, const char*) override {
    return GetString(nullptr, nullptr, nullptr, out, size, nullptr);
  }
  uint32_t GetSection(const char*, char* out, uint32_t size, const char*) override {
    return GetString(nullptr, nullptr, nullptr, out, size, nullptr);
  }
  bool WriteString(const char*, const char*, const char*, const char*) override { return false; }
  bool WriteSection(const char*, const char*, const char*) override { return false; }
};

// A double-terminated list in a buffer of size bytes (size >= 2): the count
// leaves out the final NUL, and a cut list (count size - 2) ends with two NULs
// at the buffer's end. The API lists keys with empty names as empty strings,
// so an empty string may stand inside a list.
// A key list of a section without keys is the default instead, a string.
void CheckList(const char* out, uint32_t size, uint32_t ret, bool orDefault) {
  if (orDefault && ret <= size - 1 && std::strlen(out) == ret) return;
  Check(ret <= size - 2 && out[ret] == '\0');
  const bool cut = ret == size - 2 && out[size - 1] == '\0';
  Check(ret == 0 || out[ret - 1] == '\0' || cut);
}

std::vector<std::string> Lines(IIniStore& ini, const char* section, const char* file, size_t room) {
  std::vector<char> buf(room);
  const uint32_t n = section == nullptr ? ini.GetSectionNames(buf.data(), uint32_t(room), file)
                                        : ini.GetSection(section, buf.data(), uint32_t(room), file);
  std::vector<std::string> items;
  for (uint32_t i = 0; i < n && buf[i] != '\0'; i += uint32_t(items.back().size()) + 1) {
    items.emplace_back(&buf[i]);
  }
  return items;
}

}  // namespace

extern "C" void __cyg_profile_func_enter(void*, void*) __attribute__((no_instrument_function));
extern "C" void __cyg_profile_func_exit(void*, void*) __attribute__((no_instrument_function));
extern "C" void __cyg_profile_func_enter(void*, void*) {
  ++g_work;
}
extern "C" void __cyg_profile_func_exit(void*, void*) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = fuzz::IniScriptFile(data, size);
  const char* file = "f.ini";
  Reader reader(bytes);
  NoFile api;
  PressIniStore press(reader, api);
  press.BeginPress();
  const size_t room = 2 * bytes.size() + 64;

  // Parsing the file comes with the first call.
  g_work = 0;
  const std::vector<std::string> sections = Lines(press, nullptr, file, room);
  Check(g_work <= kWorkPerByte * (bytes.size() + 1) + kWorkPerCall);
  for (const std::string& name : sections) Check(!name.empty());

  const std::vector<fuzz::IniCall> calls = fuzz::IniScriptCalls(
      data, size, [&](const char* section) { return Lines(press, section, file, room); });
  for (const fuzz::IniCall& call : calls) {
    const std::unique_ptr<char[]> out(new char[call.size]);
    std::memset(out.get(), '#', call.size);
    g_work = 0;
    const int64_t ret = fuzz::RunIniCall(press, call, file, out.get());
    const uint64_t input = bytes.size() + call.size + call.section.size() + call.key.size() + 1;
    Check(g_work <= kWorkPerByte * input + kWorkPerCall);
    const uint32_t n = uint32_t(ret);
    switch (call.kind) {
      case fuzz::IniCall::kString: {
        if (call.size == 0) {
          Check(ret == 0);
          break;
        }
        // Terminated at the count, which is size - 1 at most.
        Check(ret >= 0 && n <= call.size - 1 && out[n] == '\0' && std::strlen(out.get()) == n);
        // The start of what a buffer of any size gets: a cut falling on a
        // closing quote takes one character more.
        std::vector<char> whole(room + call.def.size());
        const uint32_t all = press.GetString(call.section.c_str(), call.key.c_str(),
                                             call.nullDef ? nullptr : call.def.c_str(),
                                             whole.data(), uint32_t(whole.size()), file);
        Check(n <= all && std::memcmp(out.get(), whole.data(), n) == 0);
        Check(n + 1 >= std::min(all, call.size - 1));
        break;
      }
      case fuzz::IniCall::kInt: {
        char value[8];
        if (press.GetString(call.section.c_str(), call.key.c_str(), "", value, sizeof value,
                            file) == 0) {
          Check(ret == -7);
        }
        break;
      }
      case fuzz::IniCall::kSectionNames:
      case fuzz::IniCall::kSection:
      case fuzz::IniCall::kNameList:
      case fuzz::IniCall::kKeyList:
        if (call.size >= 2) {
          CheckList(out.get(), call.size, n, call.kind == fuzz::IniCall::kKeyList);
        } else {
          Check(ret == 0);
        }
        break;
      case fuzz::IniCall::kKinds:
        break;
    }
  }

  // The profile list: whole names of at most 99 characters, each with keys.
  g_work = 0;
  const std::vector<std::string> profiles = ReadProfileNames(press, file);
  Check(g_work <= kWorkPerByte * (bytes.size() + 1) + kWorkPerCall);
  for (const std::string& name : profiles) {
    Check(!name.empty() && name.size() <= size_t(kMaxProfileName));
    char probe[5];
    Check(press.GetSection(name.c_str(), probe, sizeof probe, file) != 0);
  }
  press.EndPress();
  return 0;
}
