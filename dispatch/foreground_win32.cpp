#include "dispatch/foreground_win32.h"

#include <windows.h>
#include <tlhelp32.h>

#include "app/text.h"

namespace k7 {

bool GetProcessExeName(uint32_t processId, char* out, uint32_t size) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == processId) {
      entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
      CopyBounded(out, size, entry.szExeFile);
      found = true;
      break;
    }
  }
  CloseHandle(snapshot);
  return found;
}

std::string Win32ForegroundProcess::ForegroundExeName() {
  DWORD processId = 0;  // stays 0 with no foreground window, and is looked up as such
  HWND window = GetForegroundWindow();
  if (window != nullptr) GetWindowThreadProcessId(window, &processId);
  char name[MAX_PATH] = "";
  if (!GetProcessExeName(processId, name, sizeof name)) return std::string();
  return name;
}

}  // namespace k7
