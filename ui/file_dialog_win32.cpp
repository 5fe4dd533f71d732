#include "ui/file_dialog_win32.h"

#include <commdlg.h>

namespace k7::ui {

bool ChooseProgramFile(HWND owner, char (&path)[MAX_PATH]) {
  path[0] = '\0';
  OPENFILENAMEA ofn;
  ZeroMemory(&ofn, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = "All Files (*.*)\0*.*\0Executive Files (*.exe)\0*.exe\0";
  ofn.lpstrFile = path;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  const bool ok = GetOpenFileNameA(&ofn) != FALSE;
  if (!ok) path[0] = '\0';
  path[MAX_PATH - 1] = '\0';
  return ok;
}

}  // namespace k7::ui
