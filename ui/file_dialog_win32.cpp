#include "ui/file_dialog_win32.h"

#include <commdlg.h>

#include <string>

#include "base/ansi_path_win32.h"
#include "base/text.h"

namespace k7::ui {

bool ChooseProgramFile(HWND owner, char (&path)[MAX_PATH]) {
  path[0] = '\0';
  // The wide dialog: the ANSI one gives best-fit letters or '?' for a name
  // the code page cannot write, which names another file or none.
  wchar_t chosen[1024] = L"";
  OPENFILENAMEW ofn;
  ZeroMemory(&ofn, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"All Files (*.*)\0*.*\0Executive Files (*.exe)\0*.exe\0";
  ofn.lpstrFile = chosen;
  ofn.nMaxFile = ARRAYSIZE(chosen);
  ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameW(&ofn)) return false;
  std::string ansi;
  if (!AnsiPathOf(chosen, ansi)) {
    const std::wstring text = UnrepresentablePathText(chosen, L"the chosen file or its folder") +
                              L"\n\nThe path was not taken: pick the program in a folder whose "
                              L"name has only characters of the system's language.";
    MessageBoxW(owner, text.c_str(), L"Quorvan K7F3", MB_OK | MB_ICONWARNING);
    return false;
  }
  // Stored in fixed buffers of this size: a cut path would name another file.
  if (ansi.size() >= MAX_PATH) return false;
  CopyBounded(path, ansi.c_str());
  return true;
}

namespace {

bool ChooseProfileFile(HWND owner, bool save, const std::wstring& suggested, std::wstring& path) {
  path.clear();
  wchar_t chosen[1024] = L"";
  // A name the dialog cannot take whole is not suggested at all.
  if (suggested.size() < ARRAYSIZE(chosen)) suggested.copy(chosen, suggested.size());
  OPENFILENAMEW ofn;
  ZeroMemory(&ofn, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Profile files (*.ini)\0*.ini\0All Files (*.*)\0*.*\0";
  ofn.lpstrFile = chosen;
  ofn.nMaxFile = ARRAYSIZE(chosen);
  ofn.lpstrDefExt = L"ini";
  ofn.lpstrTitle = save ? L"Export Profile" : L"Import Profile";
  ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
              (save ? OFN_OVERWRITEPROMPT | OFN_NOREADONLYRETURN : OFN_FILEMUSTEXIST);
  const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return false;
  path = chosen;
  return true;
}

}  // namespace

bool ChooseProfileFileToSave(HWND owner, const std::wstring& suggested, std::wstring& path) {
  return ChooseProfileFile(owner, true, suggested, path);
}

bool ChooseProfileFileToOpen(HWND owner, std::wstring& path) {
  return ChooseProfileFile(owner, false, std::wstring(), path);
}

}  // namespace k7::ui
