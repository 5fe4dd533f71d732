// Feeds arbitrary bytes to the profile file reader: no input may crash it,
// and a profile it reads must write back to a file that reads the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "profiles/profile_file.h"

using namespace k7;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// A 1252 system that knows every code page and can hold only ASCII of the
// others.
class AsciiConverter : public IProfileTextConverter {
 public:
  unsigned SystemCodePage() const override { return 1252; }
  bool Knows(unsigned) const override { return true; }
  bool ToSystem(unsigned, std::string& text) const override {
    for (char c : text) {
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
  }
};

bool SameKeys(const std::vector<ProfileFileKey>& a, const std::vector<ProfileFileKey>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].key != b[i].key || a[i].value != b[i].value) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ProfileFile profile;
  std::string problem;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!ParseProfileFile(bytes, profile, problem)) {
    Check(!problem.empty());
    return 0;
  }
  if (!ConvertProfileFile(profile, AsciiConverter(), problem)) return 0;
  CheckProfileFileValues(profile, problem);
  const std::string text = FormatProfileFile(profile);
  if (text.size() > kMaxProfileFileBytes) return 0;
  ProfileFile again;
  Check(ParseProfileFile(text, again, problem));
  Check(again.codePage == profile.codePage && again.name == profile.name);
  Check(SameKeys(again.userDef, profile.userDef) && SameKeys(again.userDefInf, profile.userDefInf));
  return 0;
}
