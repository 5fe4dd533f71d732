// The settings window's own controls: which profile each launch button
// starts, that profile's program, the display switch. Every choice is written
// the moment it is made; the window has no Apply or Cancel.
#include <windows.h>

#include <cstring>
#include <string>

#include "app/main_dlg_win32.h"
#include "base/text.h"
#include "profiles/ini_paths.h"
#include "profiles/profile_list_win32.h"
#include "profiles/profile_store.h"
#include "receiver/report_route.h"
#include "res/resource.h"
#include "ui/aux_dialogs_win32.h"
#include "ui/editor_logic.h"
#include "ui/file_dialog_win32.h"

namespace k7 {
namespace {

// The label that names the current category's application.
int CurrentCategoryLabel() {
  const struct {
    const char* section;
    int labelId;
  } labels[] = {{"Music", IDC_LABEL_MUSIC}, {"WWW", IDC_LABEL_WWW}, {"Speech", IDC_LABEL_SPEECH}};
  for (const auto& l : labels) {
    if (std::strcmp(g_szCategory, l.section) == 0) return l.labelId;
  }
  return IDC_LABEL_DVD;
}

}  // namespace

bool CMainDlg::OnSettingsCommand(int id, int code) {
  switch (id) {
    case IDC_PROFILE:
      // Only a pick from the list assigns; typing into the box does not.
      if (code == CBN_SELCHANGE) OnSelchangeProfile();
      return true;
    case IDC_BROWSE:
      OnBrowse();
      return true;
    case IDC_PATH_OK:
      OnPathOk();
      return true;
    case IDC_ADVANCE:
      OnAdvance();
      return true;
    case IDC_OSD:
      OnEnableOsd();
      return true;
    default:
      return false;
  }
}

void CMainDlg::OnSelchangeProfile() {
  const LRESULT index = SendMessageA(g_pProfileCombo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return;
  const LRESULT length = SendMessageA(g_pProfileCombo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR || length > kMaxProfileName) return;  // never cut into another name
  char name[kNameLen] = "";
  SendMessageA(g_pProfileCombo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(name));
  CheckedWrites writes(m_ini);
  writes.WriteString(g_szCategory, "APName", name, g_szCtrlIniPath);
  if (ReportIfWriteFailed(Hwnd(), writes)) {
    // The category keeps its application: the box names it again, as its
    // label still does; the path field keeps what it holds.
    char kept[260];
    GetItemText(CurrentCategoryLabel(), kept, sizeof kept);
    SetItemText(IDC_PROFILE, kept);
    return;
  }
  char path[kMaxPath];
  m_ini.GetString(name, "FilePath", "", path, sizeof path, g_szUserDefIniPath);
  SetItemText(IDC_EXE_PATH, path);
  RefreshCategoryLabels();
}

void CMainDlg::OnBrowse() {
  char file[MAX_PATH];
  // Only shown; the path is stored by the path's OK button.
  if (ui::ChooseProgramFile(Hwnd(), file)) SetItemText(IDC_EXE_PATH, file);
}

void CMainDlg::OnPathOk() {
  // Room for quotes and blanks around a path of full length.
  char typed[kMaxPath + 32];
  GetItemText(IDC_EXE_PATH, typed, sizeof typed);
  char path[kMaxPath];
  CopyBounded(path, PathFromTypedText(typed).c_str());
  char name[kNameLen];
  m_ini.GetString(g_szCategory, "APName", "", name, sizeof name, g_szCtrlIniPath);
  // A category without an application has no profile to give the path to;
  // writing it would create a section with an empty name.
  if (name[0] == '\0') return;
  const EditorFiles files{g_szCtrlIniPath, g_szUserDefIniPath, g_szUserDefInfIniPath};
  CheckedWrites writes(m_ini);
  WriteProfilePath(writes, files, name, path);
  ReportIfWriteFailed(Hwnd(), writes);  // the typed path stays in its field
}

void CMainDlg::OnAdvance() {
  m_flags.bEditorOpen = true;
  RunHotkeyEditor();
  m_flags.bEditorOpen = false;
  // Profiles created or deleted in the editor appear or vanish.
  ComboProfileList box(g_pProfileCombo);
  RefreshProfileList(m_ini, box, m_profileNames, g_szUserDefIniPath);
  RefreshCategoryLabels();
  OnCategory(g_szCategory);
}

void CMainDlg::OnEnableOsd() {
  m_flags.bOsdEnabled = IsChecked(IDC_OSD);
  // Not stored, the switch still holds until the program ends.
  CheckedWrites writes(m_ini);
  writes.WriteString("Default", "OSD", m_flags.bOsdEnabled ? "1" : "0", g_szCtrlIniPath);
  ReportIfWriteFailed(Hwnd(), writes);
}

}  // namespace k7
