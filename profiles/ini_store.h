// The seam through which the program reads and writes its INI files. Each
// call names its file and has the contract of the private-profile function of
// the same name; nothing is held open between calls.
#pragma once

#include <cstdint>

namespace k7 {

class IIniStore {
 public:
  virtual ~IIniStore() = default;

  // GetPrivateProfileStringA with a section and a key: copies the value (or
  // def, or "" when def is null) into out, cut to size - 1 bytes and always
  // terminated when size > 0; returns the number of bytes copied.
  virtual uint32_t GetString(const char* section, const char* key, const char* def, char* out,
                             uint32_t size, const char* file) = 0;

  // GetPrivateProfileIntA.
  virtual int GetInt(const char* section, const char* key, int def, const char* file) = 0;

  // GetPrivateProfileSectionNamesA: the names, each terminated, the list ended
  // by an empty name, cut to the buffer.
  virtual uint32_t GetSectionNames(char* out, uint32_t size, const char* file) = 0;

  // GetPrivateProfileSectionA: "key=value" lines of one section, each
  // terminated, the list ended by an empty string, cut to the buffer.
  virtual uint32_t GetSection(const char* section, char* out, uint32_t size, const char* file) = 0;

  // WritePrivateProfileStringA: a null key removes the section, a null value
  // removes the key.
  virtual bool WriteString(const char* section, const char* key, const char* value,
                           const char* file) = 0;

  // WritePrivateProfileSectionA: replaces the section's content with the
  // double-terminated list of "key=value" strings (an empty list keeps the
  // header with no keys under it).
  virtual bool WriteSection(const char* section, const char* keyValues, const char* file) = 0;
};

}  // namespace k7
