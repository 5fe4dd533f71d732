#include "profiles/ini_store_win32.h"

#include <windows.h>

#include <cstring>
#include <mutex>

#include "profiles/ini_file.h"
#include "profiles/press_ini_win32.h"

namespace k7 {
namespace {

// Wine converts each narrow argument with a length it keeps in 16 bits and
// goes on with garbage beyond that: refuse such arguments outright.
bool Fits(const char* s) {
  return s == nullptr || strnlen(s, 32767) < 32767;
}

}  // namespace

uint32_t Win32IniStore::GetString(const char* section, const char* key, const char* def, char* out,
                                  uint32_t size, const char* file) {
  if (size == 0) return 0;
  if (!Fits(section) || !Fits(key) || !Fits(def)) {
    out[0] = '\0';
    return 0;
  }
  DWORD n = GetPrivateProfileStringA(section, key, def != nullptr ? def : "", out, size, file);
  out[size - 1] = '\0';
  return n;
}

int Win32IniStore::GetInt(const char* section, const char* key, int def, const char* file) {
  if (!Fits(section) || !Fits(key)) return def;
  return static_cast<int>(GetPrivateProfileIntA(section, key, def, file));
}

uint32_t Win32IniStore::GetSectionNames(char* out, uint32_t size, const char* file) {
  if (size == 0) return 0;
  DWORD n = GetPrivateProfileSectionNamesA(out, size, file);
  // Wine leaves the last byte of a cut list unwritten: end the list here.
  out[size - 1] = '\0';
  return n;
}

uint32_t Win32IniStore::GetSection(const char* section, char* out, uint32_t size,
                                   const char* file) {
  // Below two bytes Wine writes outside the buffer.
  if (size < 2) {
    if (size == 1) out[0] = '\0';
    return 0;
  }
  if (!Fits(section)) {
    out[0] = out[1] = '\0';
    return 0;
  }
  return GetPrivateProfileSectionA(section, out, size, file);
}

bool Win32IniStore::WriteString(const char* section, const char* key, const char* value,
                                const char* file) {
  if (!Fits(section) || !Fits(key) || !Fits(value)) return Refused(ERROR_INVALID_PARAMETER);
  // Not while the reader copies the file for a press, nor with its handle open.
  std::lock_guard<std::mutex> lock(IniFilesLock());
  CloseFilesHeldForPress();
  return Written(WritePrivateProfileStringA(section, key, value, file));
}

bool Win32IniStore::WriteSection(const char* section, const char* keyValues, const char* file) {
  if (!Fits(section)) return Refused(ERROR_INVALID_PARAMETER);
  std::lock_guard<std::mutex> lock(IniFilesLock());
  CloseFilesHeldForPress();
  return Written(WritePrivateProfileSectionA(section, keyValues, file));
}

bool Win32IniStore::Written(BOOL written) {
  lastWriteError_ = written ? 0 : GetLastError();
  return written != FALSE;
}

bool Win32IniStore::Refused(uint32_t error) {
  lastWriteError_ = error;
  return false;
}

}  // namespace k7
