// An in-memory stand-in for the INI files: values by file, section and key
// (names without regard to ASCII case), and a count of the reads made.
#pragma once

#include <map>
#include <string>
#include <tuple>

#include "profiles/ini_store.h"

namespace k7::test {

class FakeIni : public IIniStrings {
 public:
  void Set(const std::string& file, const std::string& section, const std::string& key,
           const std::string& value);
  uint32_t GetString(const char* section, const char* key, const char* def, char* out,
                     uint32_t size, const char* file) override;

  int reads = 0;

 private:
  std::map<std::tuple<std::string, std::string, std::string>, std::string> values_;
};

}  // namespace k7::test
