#include "dispatch/launcher_win32.h"

#include <windows.h>

namespace k7 {

bool Win32Launcher::PathExists(const char* path) {
  if (path == nullptr || path[0] == '\0') return false;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(path, &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return true;
}

void Win32Launcher::Start(const char* path) {
  static_assert(sizeof(STARTUPINFOA) == 68, "the launch record is the 32-bit one");
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  char desktop[] = "WinSta0\\Default";
  si.lpDesktop = desktop;
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  if (CreateProcessA(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    // Nothing waits for the program: release our hold on it at once.
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
}

}  // namespace k7
