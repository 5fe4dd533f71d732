// The file-open dialog through which the user picks a program.
#pragma once

#include <windows.h>

namespace k7::ui {

// All files first, then executables; the file must exist. On OK the chosen
// full path is in path (terminated) and the result is true; otherwise path
// is empty.
bool ChooseProgramFile(HWND owner, char (&path)[MAX_PATH]);

}  // namespace k7::ui
