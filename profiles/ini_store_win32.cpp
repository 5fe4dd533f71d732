#include "profiles/ini_store_win32.h"

#include <windows.h>

namespace k7 {

uint32_t Win32IniStore::GetString(const char* section, const char* key, const char* def, char* out,
                                  uint32_t size, const char* file) {
  if (size == 0) return 0;
  DWORD n = GetPrivateProfileStringA(section, key, def != nullptr ? def : "", out, size, file);
  out[size - 1] = '\0';
  return n;
}

int Win32IniStore::GetInt(const char* section, const char* key, int def, const char* file) {
  return static_cast<int>(GetPrivateProfileIntA(section, key, def, file));
}

uint32_t Win32IniStore::GetSectionNames(char* out, uint32_t size, const char* file) {
  return GetPrivateProfileSectionNamesA(out, size, file);
}

uint32_t Win32IniStore::GetSection(const char* section, char* out, uint32_t size,
                                   const char* file) {
  return GetPrivateProfileSectionA(section, out, size, file);
}

bool Win32IniStore::WriteString(const char* section, const char* key, const char* value,
                                const char* file) {
  return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

bool Win32IniStore::WriteSection(const char* section, const char* keyValues, const char* file) {
  return WritePrivateProfileSectionA(section, keyValues, file) != FALSE;
}

}  // namespace k7
