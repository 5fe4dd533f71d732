// The INI files through the platform's private-profile API.
#pragma once

#include <windows.h>

#include "profiles/ini_store.h"

namespace k7 {

class Win32IniStore : public IIniStore {
 public:
  uint32_t GetString(const char* section, const char* key, const char* def, char* out,
                     uint32_t size, const char* file) override;
  int GetInt(const char* section, const char* key, int def, const char* file) override;
  uint32_t GetSectionNames(char* out, uint32_t size, const char* file) override;
  uint32_t GetSection(const char* section, char* out, uint32_t size, const char* file) override;
  bool WriteString(const char* section, const char* key, const char* value,
                   const char* file) override;
  bool WriteSection(const char* section, const char* keyValues, const char* file) override;
  uint32_t LastWriteError() const override { return lastWriteError_; }

 private:
  bool Written(BOOL written);
  bool Refused(uint32_t error);

  uint32_t lastWriteError_ = 0;
};

}  // namespace k7
