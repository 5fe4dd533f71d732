// The file-open dialog through which the user picks a program.
#pragma once

#include <windows.h>

namespace k7::ui {

// All files first, then executables; the file must exist. On OK the chosen
// full path is in path (terminated; its short form when the code page cannot
// write its name) and the result is true; otherwise path is empty. A path
// with no ANSI form is refused with a message.
bool ChooseProgramFile(HWND owner, char (&path)[MAX_PATH]);

}  // namespace k7::ui
