#include "dispatch/launcher_win32.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "base/text.h"
#include "profiles/ini_paths.h"

namespace k7 {

bool Win32Launcher::PathExists(const char* path) {
  if (path == nullptr || path[0] == '\0') return false;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(path, &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return true;
}

bool Win32Launcher::Start(const char* path) {
  // The command line is the quoted path, so that a program in a folder with
  // blanks sees its whole path as its first argument.
  char commandLine[kMaxPath + 3] = "\"";
  AppendBounded(commandLine, sizeof commandLine, path);
  AppendBounded(commandLine, sizeof commandLine, "\"");
  if (std::strlen(commandLine) != std::strlen(path) + 2) return false;
  // The program's own folder, where it may look for its files.
  const std::string folder = FolderOf(path);

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
  if (!CreateProcessA(path, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
    return false;
  }
  // Nothing waits for the program: release our hold on it at once.
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

}  // namespace k7
