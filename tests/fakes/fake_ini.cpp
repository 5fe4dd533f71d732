#include "fakes/fake_ini.h"

#include "base/text.h"

namespace k7::test {
namespace {

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = AsciiLower(c);
  return out;
}

}  // namespace

void FakeIni::Set(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value) {
  values_[{file, Lower(section), Lower(key)}] = value;
}

uint32_t FakeIni::GetString(const char* section, const char* key, const char* def, char* out,
                            uint32_t size, const char* file) {
  ++reads;
  auto it = values_.find({file, Lower(section), Lower(key)});
  const char* value = it != values_.end() ? it->second.c_str() : (def != nullptr ? def : "");
  return static_cast<uint32_t>(CopyBounded(out, size, value));
}

}  // namespace k7::test
