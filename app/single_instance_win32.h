// Finding a running copy of the program by its main window.
#pragma once

#include <windows.h>

namespace k7 {

// The session mutex a running copy holds from its first moment to its end.
constexpr char kSessionMutexName[] = "Local\\Quorvan-K7F3-running";

// The main window of a running copy among the top-level windows titled
// title (hidden ones too), or nullptr.
HWND FindRunningCopy(const char* title);

}  // namespace k7
