// An in-memory stand-in for the INI files: values by file, section and key
// (names without regard to ASCII case), and a count of the reads made.
#pragma once

#include <map>
#include <string>
#include <tuple>

#include "profiles/ini_store.h"

namespace k7::test {

class FakeIni : public IIniStore {
 public:
  void Set(const std::string& file, const std::string& section, const std::string& key,
           const std::string& value);
  uint32_t GetString(const char* section, const char* key, const char* def, char* out,
                     uint32_t size, const char* file) override;
  // The dispatcher and the hotkey table only read strings; the rest is the
  // portable store's, so the fake refuses it loudly.
  int GetInt(const char*, const char*, int, const char*) override { return Unused(); }
  uint32_t GetSectionNames(char*, uint32_t, const char*) override { return Unused(); }
  uint32_t GetSection(const char*, char*, uint32_t, const char*) override { return Unused(); }
  bool WriteString(const char*, const char*, const char*, const char*) override {
    return Unused() != 0;
  }
  bool WriteSection(const char*, const char*, const char*) override { return Unused() != 0; }

  int reads = 0;

 private:
  static int Unused();
  std::map<std::tuple<std::string, std::string, std::string>, std::string> values_;
};

}  // namespace k7::test
