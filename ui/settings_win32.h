// The settings window's own controls: the four launch categories and the
// application each starts, that application's program, the display switch,
// the restore of the built-in profiles and the hotkey editor behind Advance.
// Every choice is written the moment it is made; the window has no Apply or
// Cancel. The main window hosts the controls and hands their commands here.
#pragma once

#include <windows.h>

#include <memory>

#include "profiles/ini_store_win32.h"
#include "profiles/profile_list_win32.h"
#include "profiles/profile_store.h"
#include "base/shared_flags.h"
#include "ui/dialog_win32.h"
#include "ui/editor_logic.h"
#include "ui/editor_win32.h"

namespace k7 {

class CSettingsPage {
 public:
  // window: the dialog that holds the controls; flags: the display switch
  // and whether the editor is open.
  CSettingsPage(ui::CDialog& window, SharedFlags& flags) : m_window(window), m_flags(flags) {}

  // Once the window exists: where the INI files are, and the instance the
  // editor's templates come from.
  void Attach(HINSTANCE instance, const EditorFiles& files);
  // The settings window's profile list.
  IProfileList& ProfileBox() { return m_ProfileCombo; }
  // After the profiles are loaded: the labels, the DVD category, the display
  // switch as the control file has it, the labels' tooltips.
  void ShowAtStartup();
  // Back to the DVD category.
  void ShowDvdCategory();
  // Each time the window is opened: the profile list and the labels as the
  // files now have them (another program may have edited them), the list's
  // selection kept where its name is still listed, and the DVD category.
  void ShowAgain();

  // The settings controls' commands; false for any other id.
  bool OnCommand(int id, int code);
  // The whole name of a category's application for its label; null for any
  // other control.
  const char* TooltipText(int id);

  // The hotkey editor, if it is open: the one-second blink and a report the
  // reader passed on.
  void BlinkEditor();
  void LearnInEditor(int code, int marker);

 private:
  // Restores the built-in profiles and shows them (first run).
  void OnDefault();
  // The four category radios: one behaviour, another section.
  void OnCategory(const char* section);
  void RefreshCategoryLabels();
  // The label that names the current category's application.
  int CurrentCategoryLabel() const;
  void OnSelchangeProfile();
  void OnBrowse();
  void OnPathOk();
  void OnAdvance();
  void OnEnableOsd();

  ui::CDialog& m_window;
  SharedFlags& m_flags;
  HINSTANCE m_hInstance = nullptr;
  EditorFiles m_files{"", "", ""};
  Win32IniStore m_ini;
  ComboProfileList m_ProfileCombo;
  // Category section of the control file that the window shows.
  char m_szCategory[16] = "DVD";
  char m_szTip[81] = "";
  // The hotkey editor, made on the first Advance and kept for the whole run.
  std::unique_ptr<CHotkeyEditorDlg> m_pEditor;
};

}  // namespace k7
