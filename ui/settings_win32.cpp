#include "ui/settings_win32.h"

#include <cstring>
#include <string>

#include "base/text.h"
#include "dispatch/dispatch.h"
#include "profiles/default_profiles.h"
#include "profiles/ini_paths.h"
#include "profiles/profile_store.h"
#include "res/resource.h"
#include "ui/aux_dialogs_win32.h"
#include "ui/file_dialog_win32.h"

namespace k7 {
namespace {

// Control of each category's label, in the order the labels are refreshed.
struct CategoryLabel {
  const char* section;
  int labelId;
};
constexpr CategoryLabel kCategoryLabels[] = {
    {"DVD", IDC_LABEL_DVD},
    {"Music", IDC_LABEL_MUSIC},
    {"WWW", IDC_LABEL_WWW},
    {"Speech", IDC_LABEL_SPEECH},
};

}  // namespace

void CSettingsPage::Attach(HINSTANCE instance, const EditorFiles& files) {
  m_hInstance = instance;
  m_files = files;
  m_ProfileCombo = ComboProfileList(m_window.Item(IDC_PROFILE));
}

void CSettingsPage::ShowAtStartup() {
  RefreshCategoryLabels();
  ShowDvdCategory();
  m_flags.bOsdEnabled = m_ini.GetInt("Default", "OSD", 1, m_files.ctrl) != 0;
  CheckDlgButton(m_window.Hwnd(), IDC_OSD, m_flags.bOsdEnabled ? BST_CHECKED : BST_UNCHECKED);
  for (const CategoryLabel& c : kCategoryLabels) m_window.AddTooltip(c.labelId);
}

void CSettingsPage::ShowDvdCategory() {
  m_window.CheckRadio(IDC_CAT_DVD, IDC_CAT_SPEECH, IDC_CAT_DVD);
  OnCategory("DVD");
}

void CSettingsPage::ShowAgain() {
  std::string selected;
  const bool wasSelected = m_ProfileCombo.SelectedName(selected);
  RefreshProfileList(m_ini, m_ProfileCombo, m_files.userDef);
  if (wasSelected) m_ProfileCombo.Select(selected.c_str());
  RefreshCategoryLabels();
  ShowDvdCategory();
}

bool CSettingsPage::OnCommand(int id, int code) {
  switch (id) {
    case IDC_CAT_DVD:
      OnCategory("DVD");
      return true;
    case IDC_CAT_MUSIC:
      OnCategory("Music");
      return true;
    case IDC_CAT_WWW:
      OnCategory("WWW");
      return true;
    case IDC_CAT_SPEECH:
      OnCategory("Speech");
      return true;
    case IDC_DEFAULT:
      OnDefault();
      return true;
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

const char* CSettingsPage::TooltipText(int id) {
  for (const CategoryLabel& c : kCategoryLabels) {
    if (c.labelId != id) continue;
    // The labels are too narrow for long names: the tip shows the whole name.
    char text[260];
    m_window.GetItemText(id, text, sizeof text);
    CopyBounded(m_szTip, text);
    return m_szTip;
  }
  return nullptr;
}

void CSettingsPage::BlinkEditor() {
  if (m_pEditor) m_pEditor->Blink();
}

void CSettingsPage::LearnInEditor(int code, int marker) {
  if (m_pEditor) m_pEditor->Learn(code, marker);
}

void CSettingsPage::RefreshCategoryLabels() {
  for (const CategoryLabel& c : kCategoryLabels) {
    char name[kNameLen];
    m_ini.GetString(c.section, "APName", "", name, sizeof name, m_files.ctrl);
    m_window.SetItemText(c.labelId, name);
  }
}

int CSettingsPage::CurrentCategoryLabel() const {
  for (const CategoryLabel& c : kCategoryLabels) {
    if (std::strcmp(m_szCategory, c.section) == 0) return c.labelId;
  }
  return IDC_LABEL_DVD;
}

void CSettingsPage::OnCategory(const char* section) {
  CopyBounded(m_szCategory, section);
  char name[kNameLen];
  m_ini.GetString(m_szCategory, "APName", "", name, sizeof name, m_files.ctrl);
  char path[kMaxPath] = "";
  if (name[0] != '\0') m_ini.GetString(name, "FilePath", "", path, sizeof path, m_files.userDef);
  m_window.SetItemText(IDC_EXE_PATH, path);
  m_window.SetItemText(IDC_PROFILE, name);
}

void CSettingsPage::OnDefault() {
  CheckedWrites writes(m_ini);
  WriteDefaultProfiles(writes);
  // Not restored: the window keeps showing what it showed.
  if (ReportIfWriteFailed(m_window.Hwnd(), writes)) return;
  RefreshProfileList(m_ini, m_ProfileCombo, m_files.userDef);
  RefreshCategoryLabels();
  ShowDvdCategory();
}

void CSettingsPage::OnSelchangeProfile() {
  std::string name;
  if (!m_ProfileCombo.SelectedName(name)) return;
  CheckedWrites writes(m_ini);
  writes.WriteString(m_szCategory, "APName", name.c_str(), m_files.ctrl);
  if (ReportIfWriteFailed(m_window.Hwnd(), writes)) {
    // The category keeps its application: the box names it again, as its
    // label still does; the path field keeps what it holds.
    char kept[260];
    m_window.GetItemText(CurrentCategoryLabel(), kept, sizeof kept);
    m_window.SetItemText(IDC_PROFILE, kept);
    return;
  }
  char path[kMaxPath];
  m_ini.GetString(name.c_str(), "FilePath", "", path, sizeof path, m_files.userDef);
  m_window.SetItemText(IDC_EXE_PATH, path);
  RefreshCategoryLabels();
}

void CSettingsPage::OnBrowse() {
  char file[MAX_PATH];
  // Only shown; the path is stored by the path's OK button.
  if (ui::ChooseProgramFile(m_window.Hwnd(), file)) m_window.SetItemText(IDC_EXE_PATH, file);
}

void CSettingsPage::OnPathOk() {
  // Room for quotes and blanks around a path of full length.
  char typed[kMaxPath + 32];
  m_window.GetItemText(IDC_EXE_PATH, typed, sizeof typed);
  char path[kMaxPath];
  CopyBounded(path, PathFromTypedText(typed).c_str());
  char name[kNameLen];
  m_ini.GetString(m_szCategory, "APName", "", name, sizeof name, m_files.ctrl);
  // A category without an application has no profile to give the path to;
  // writing it would create a section with an empty name.
  if (name[0] == '\0') return;
  CheckedWrites writes(m_ini);
  WriteProfilePath(writes, m_files, name, path);
  ReportIfWriteFailed(m_window.Hwnd(), writes);  // the typed path stays in its field
}

void CSettingsPage::OnAdvance() {
  if (!m_pEditor) {
    m_pEditor = std::make_unique<CHotkeyEditorDlg>(m_window.Hwnd(), m_hInstance, m_flags, m_files);
  }
  m_flags.bEditorOpen = true;
  m_pEditor->Run();
  m_flags.bEditorOpen = false;
  // Profiles created or deleted in the editor appear or vanish.
  RefreshProfileList(m_ini, m_ProfileCombo, m_files.userDef);
  RefreshCategoryLabels();
  OnCategory(m_szCategory);
}

void CSettingsPage::OnEnableOsd() {
  m_flags.bOsdEnabled = m_window.IsChecked(IDC_OSD);
  // Not stored, the switch still holds until the program ends.
  CheckedWrites writes(m_ini);
  writes.WriteString("Default", "OSD", m_flags.bOsdEnabled ? "1" : "0", m_files.ctrl);
  ReportIfWriteFailed(m_window.Hwnd(), writes);
}

}  // namespace k7
