// The portable INI reads with the API's writes added: tests write their files
// as the program's API would, and read them back either way. The program
// itself writes only through the API.
//
// A write rewrites the whole file in place, as the API does; if that fails
// half way the call returns false and the file may be left short. A file the
// reads could not use is never written (the call returns false), so a profile
// that could not be read is never replaced by a partial copy.
#pragma once

#include "profiles/ini_file.h"
#include "profiles/ini_store.h"

namespace k7 {

class PortableIniStore : public IIniStore, public PortableIniReader {
 public:
  using PortableIniReader::PortableIniReader;

  uint32_t GetString(const char* section, const char* key, const char* def, char* out,
                     uint32_t size, const char* file) override {
    return PortableIniReader::GetString(section, key, def, out, size, file);
  }
  int GetInt(const char* section, const char* key, int def, const char* file) override {
    return PortableIniReader::GetInt(section, key, def, file);
  }
  uint32_t GetSectionNames(char* out, uint32_t size, const char* file) override {
    return PortableIniReader::GetSectionNames(out, size, file);
  }
  uint32_t GetSection(const char* section, char* out, uint32_t size, const char* file) override {
    return PortableIniReader::GetSection(section, out, size, file);
  }
  bool WriteString(const char* section, const char* key, const char* value,
                   const char* file) override;
  bool WriteSection(const char* section, const char* keyValues, const char* file) override;
};

}  // namespace k7
