#include "app/single_instance_win32.h"

#include "app/single_instance.h"
#include "dispatch/foreground_win32.h"

namespace k7 {

HWND FindRunningCopy(const char* title) {
  for (HWND window = FindWindowExA(nullptr, nullptr, nullptr, title); window != nullptr;
       window = FindWindowExA(nullptr, window, nullptr, title)) {
    char windowClass[64] = "";
    GetClassNameA(window, windowClass, sizeof windowClass);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    // The snapshot's bare file name: it needs no right on the process, so a
    // copy running elevated is named too.
    char exe[MAX_PATH] = "";
    if (processId != 0 && GetProcessExeName(processId, exe, sizeof exe) &&
        IsRunningCopyWindow(windowClass, exe)) {
      return window;
    }
  }
  return nullptr;
}

}  // namespace k7
