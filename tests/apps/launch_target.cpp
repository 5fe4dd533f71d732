// A program for the launch buttons to start: records its own start (one line
// with its process id in "launched.log" beside itself) and what it was given
// (its command line and working directory, one line each, in "launch-args.log"
// beside itself, as ANSI text of its code page), and exits.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Its own folder in UTF-16: in a double-byte code page an ANSI path can
  // hold 0x5C bytes inside characters.
  wchar_t module[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  std::wstring folder(module, n);
  folder.resize(folder.rfind(L'\\') + 1);
  const std::wstring path = folder + L"launched.log";
  const std::wstring argsPath = folder + L"launch-args.log";

  char cwd[MAX_PATH] = "";
  const DWORD cwdLength = GetCurrentDirectoryA(sizeof cwd, cwd);
  if (cwdLength == 0 || cwdLength >= sizeof cwd) return 1;
  char args[2 * MAX_PATH + 8];
  std::snprintf(args, sizeof args, "%s\r\n%s\r\n", GetCommandLineA(), cwd);

  char line[32];
  std::snprintf(line, sizeof line, "%lu\r\n", GetCurrentProcessId());
  // The arguments are written before the start is logged: whoever sees the
  // start finds them.
  for (const auto& [file, text] :
       {std::pair<const std::wstring*, const char*>{&argsPath, args}, {&path, line}}) {
    HANDLE h = CreateFileW(file->c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    const BOOL ok = WriteFile(h, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    CloseHandle(h);
    if (!ok) return 3;
  }
  return 0;
}
