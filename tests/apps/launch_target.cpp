// A program for the launch buttons to start: records its own start (one line
// with its process id in "launched.log" beside itself) and what it was given
// (its command line and working directory, one line each, in "launch-args.log"
// beside itself), and exits.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <utility>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return 1;
  char* slash = std::strrchr(path, '\\');
  if (slash == nullptr || (slash - path) + 12 >= MAX_PATH) return 1;
  std::strcpy(slash + 1, "launched.log");

  char cwd[MAX_PATH] = "";
  const DWORD cwdLength = GetCurrentDirectoryA(sizeof cwd, cwd);
  if (cwdLength == 0 || cwdLength >= sizeof cwd) return 1;
  char args[2 * MAX_PATH + 8];
  std::snprintf(args, sizeof args, "%s\r\n%s\r\n", GetCommandLineA(), cwd);
  // Written before the start is logged: whoever sees the start finds them.
  char argsPath[MAX_PATH];
  std::strcpy(argsPath, path);
  std::strcpy(std::strrchr(argsPath, '\\') + 1, "launch-args.log");

  char line[32];
  std::snprintf(line, sizeof line, "%lu\r\n", GetCurrentProcessId());
  for (const auto& [file, text] :
       {std::pair<const char*, const char*>{argsPath, args}, {path, line}}) {
    HANDLE h =
        CreateFileA(file, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    const BOOL ok = WriteFile(h, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    CloseHandle(h);
    if (!ok) return 3;
  }
  return 0;
}
