// The file dialogs: the program a profile is for, and a profile file to
// export to or import from.
#pragma once

#include <windows.h>

#include <string>

namespace k7::ui {

// All files first, then executables; the file must exist. On OK the chosen
// full path is in path (terminated; its short form when the code page cannot
// write its name) and the result is true; otherwise path is empty. A path
// with no ANSI form is refused with a message.
bool ChooseProgramFile(HWND owner, char (&path)[MAX_PATH]);

// "Export Profile" (a save dialog, suggesting suggested, asking before it
// replaces a file) or "Import Profile" (an open dialog; the file must
// exist): INI files first, then all files. On OK the full path is in path,
// wide (the file is read and written by that name, whatever the code page).
bool ChooseProfileFileToSave(HWND owner, const std::wstring& suggested, std::wstring& path);
bool ChooseProfileFileToOpen(HWND owner, std::wstring& path);

}  // namespace k7::ui
