// Finding a running copy of the program by its main window.
#pragma once

#include <windows.h>

namespace k7 {

// The main window of a running copy among the top-level windows titled
// title (hidden ones too), or nullptr.
HWND FindRunningCopy(const char* title);

}  // namespace k7
