#include "profiles/registry_win32.h"

#include <windows.h>

namespace k7 {

void Win32Registry::ReadProgramFilesDir(char* out, uint32_t size) {
  if (size == 0) return;
  out[0] = '\0';
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ,
                    &key) != ERROR_SUCCESS) {
    return;
  }
  DWORD type = 0;
  DWORD bytes = size;
  if (RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(out),
                       &bytes) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    // A stored value need not end in a terminator.
    out[bytes < size ? bytes : size - 1] = '\0';
  } else {
    out[0] = '\0';
  }
  RegCloseKey(key);
}

}  // namespace k7
