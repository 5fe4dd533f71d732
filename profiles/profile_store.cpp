#include "profiles/profile_store.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

#include "base/text.h"

namespace k7 {

std::string ExeFileFromPath(const char* path) {
  return FileNameOf(path);
}

std::string PathFromTypedText(const char* text) {
  std::string_view s(text);
  auto trim = [&s] {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  };
  trim();
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') {
    s = s.substr(1, s.size() - 2);
    trim();
  }
  return std::string(s);
}

namespace {

// Reads a double-terminated list into a buffer that grows until the whole
// list fits (the API returns size - 2 when it had to cut).
template <typename Read>
std::vector<std::string> ReadList(Read read) {
  std::vector<char> buf(1024);
  for (;;) {
    const uint32_t n = read(buf.data(), uint32_t(buf.size()));
    if (n + 2 < buf.size() || buf.size() >= (64u << 20)) {
      std::vector<std::string> items;
      const char* p = buf.data();
      const char* end = buf.data() + (n < buf.size() ? n : buf.size() - 1);
      while (p < end && *p != '\0') {
        const size_t len = strnlen(p, size_t(end - p));
        items.emplace_back(p, len);
        p += len + 1;
      }
      return items;
    }
    buf.assign(buf.size() * 4, '\0');
  }
}

bool HasKeys(IIniStore& ini, const std::string& section, const char* file) {
  char probe[5] = {};
  ini.GetSection(section.c_str(), probe, sizeof probe, file);
  return probe[0] != '\0';
}

}  // namespace

std::string ReadWholeString(IIniStrings& ini, const char* section, const char* key,
                            const char* file) {
  // Most values fit here: the reader looks up one per profile on every press.
  char small[512];
  const uint32_t fits = ini.GetString(section, key, "", small, sizeof small, file);
  if (fits + 1 < sizeof small) return std::string(small, fits);
  std::vector<char> buf(4096);
  for (;;) {
    const uint32_t n = ini.GetString(section, key, "", buf.data(), uint32_t(buf.size()), file);
    if (n + 1 < buf.size() || buf.size() >= (64u << 20)) return std::string(buf.data(), n);
    buf.assign(buf.size() * 4, '\0');
  }
}

bool HoldsAllOtherProgramsMark(IIniStrings& ini, const char* profile, const char* file) {
  // Room for one character more than "1": a longer value is no mark.
  char value[3];
  ini.GetString(profile, kAllOtherProgramsKey, "", value, sizeof value, file);
  return std::strcmp(value, "1") == 0;
}

std::vector<std::string> ReadSectionNames(IIniStore& ini, const char* file) {
  return ReadList([&](char* out, uint32_t size) { return ini.GetSectionNames(out, size, file); });
}

std::vector<std::string> ReadSectionLines(IIniStore& ini, const char* section, const char* file) {
  return ReadList(
      [&](char* out, uint32_t size) { return ini.GetSection(section, out, size, file); });
}

std::vector<std::string> ReadProfileNames(IIniStore& ini, const char* file) {
  std::vector<std::string> names;
  // Every name listed again (in any letter case) finds the same first
  // section: ask once, or a file of many such headers costs the square of
  // its size.
  std::unordered_map<std::string, bool> hasKeys;
  for (std::string& name : ReadSectionNames(ini, file)) {
    if (name.size() > size_t(kMaxProfileName)) continue;
    const auto [it, fresh] = hasKeys.try_emplace(LowerAscii(name), false);
    if (fresh) it->second = HasKeys(ini, name, file);
    if (it->second) names.push_back(std::move(name));
  }
  return names;
}

void RewriteDeliveredPaths(IIniStore& ini, const char* file, const char* programFilesDir) {
  // Only the delivered folder is replaced; a user's path elsewhere, or one
  // already rewritten, is left as it is.
  constexpr char kDelivered[] = "C:\\Program Files\\";
  constexpr size_t kReplaced = sizeof kDelivered - 2;  // the folder, without its backslash
  // Without the registry value there is nothing better than the delivered path.
  if (programFilesDir[0] == '\0') return;
  // A folder inside the delivered one ("C:\Program Files\x") must not be
  // added again by a second rewrite.
  const std::string target = std::string(programFilesDir) + '\\';
  for (const std::string& name : ReadSectionNames(ini, file)) {
    // Writing into an emptied section would bring a deleted profile back.
    if (!HasKeys(ini, name, file)) continue;
    const std::string path = ReadWholeString(ini, name.c_str(), "FilePath", file);
    if (!StartsWithNoCase(path.c_str(), kDelivered)) continue;
    if (StartsWithNoCase(path.c_str(), target.c_str())) continue;
    const std::string rewritten = programFilesDir + path.substr(kReplaced);
    ini.WriteString(name.c_str(), "FilePath", rewritten.c_str(), file);
  }
}

void FillProfileList(IIniStore& ini, IProfileList& list, const char* file, bool firstRun,
                     const char* programFilesDir) {
  if (firstRun) RewriteDeliveredPaths(ini, file, programFilesDir);
  for (const std::string& name : ReadProfileNames(ini, file)) list.Append(name.c_str());
  list.SelectFirst();
}

void RefreshProfileList(IIniStore& ini, IProfileList& settingsBox, const char* file) {
  settingsBox.Clear();
  FillProfileList(ini, settingsBox, file);
}

}  // namespace k7
