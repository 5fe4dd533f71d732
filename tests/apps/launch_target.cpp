// A program for the launch buttons to start: records its own start (one line
// with its process id in "launched.log" beside itself) and exits.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return 1;
  char* slash = std::strrchr(path, '\\');
  if (slash == nullptr || (slash - path) + 12 >= MAX_PATH) return 1;
  std::strcpy(slash + 1, "launched.log");

  char line[32];
  std::snprintf(line, sizeof line, "%lu\r\n", GetCurrentProcessId());
  HANDLE file =
      CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  CloseHandle(file);
  return ok ? 0 : 3;
}
