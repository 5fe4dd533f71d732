// The portable INI store with one file that refuses every write, as a file
// another program holds open without sharing makes the private-profile API
// refuse them; reads go through. Counts the refused writes.
#pragma once

#include <string>

#include "profiles/ini_file.h"

namespace k7::test {

class RefusingIni : public IIniStore {
 public:
  std::string refused;  // full path; empty: every write goes through
  int refusedWrites = 0;

  uint32_t GetString(const char* section, const char* key, const char* def, char* out,
                     uint32_t size, const char* file) override {
    return ini_.GetString(section, key, def, out, size, file);
  }
  int GetInt(const char* section, const char* key, int def, const char* file) override {
    return ini_.GetInt(section, key, def, file);
  }
  uint32_t GetSectionNames(char* out, uint32_t size, const char* file) override {
    return ini_.GetSectionNames(out, size, file);
  }
  uint32_t GetSection(const char* section, char* out, uint32_t size, const char* file) override {
    return ini_.GetSection(section, out, size, file);
  }
  bool WriteString(const char* section, const char* key, const char* value,
                   const char* file) override {
    return !Refuses(file) && ini_.WriteString(section, key, value, file);
  }
  bool WriteSection(const char* section, const char* keyValues, const char* file) override {
    return !Refuses(file) && ini_.WriteSection(section, keyValues, file);
  }

 private:
  bool Refuses(const char* file) {
    if (refused.empty() || refused != file) return false;
    ++refusedWrites;
    return true;
  }
  PortableIniStore ini_;
};

}  // namespace k7::test
