// The hotkey editor (template 129): a picture of the remote with one button
// per slot, a hotkey control and a description for the selected slot, and the
// profile commands (new, save, save as, delete, path). Run modally from the
// settings window's Advance; while it is open, the remote's presses select
// buttons instead of sending hotkeys.
#pragma once

#include <windows.h>

#include <string>

#include "keys/hotkey_table.h"
#include "profiles/ini_store_win32.h"
#include "base/shared_flags.h"
#include "profiles/profile_list_win32.h"
#include "ui/dialog_win32.h"
#include "ui/dpi_layout_win32.h"
#include "ui/editor_button_win32.h"
#include "ui/editor_logic.h"

namespace k7 {

class CHotkeyEditorDlg : public ui::CDialog {
 public:
  // owner: the main window, also the owner of the Application Name dialog;
  // flags.bEditorOpen is cleared when the editor closes; files: the INI files
  // the editor reads and writes.
  CHotkeyEditorDlg(HWND owner, HINSTANCE instance, SharedFlags& flags, const EditorFiles& files);

  // Shows the editor and returns when it closes.
  INT_PTR Run();

  // Places the picture of the remote and its buttons for a DPI, scaled
  // together from one layout and drawn from the nearest set of images. Done
  // at start with the dialog's DPI; call it again when the DPI changes.
  void ApplyDpi(int dpi);

  // The main window's one-second timer: the selected button alternates
  // between its normal and pressed bitmaps.
  void Blink();
  // A report the reader passed on while the editor is open (this thread).
  void Learn(int code, int marker);

  // False, with the selection unchanged, when the shown key is refused.
  bool SelectButton(int n);
  void OnSelchangeProfile();
  // False when a write failed (the user was told; the screen is kept).
  bool OnSaveProfile();
  void OnSaveAs();
  void OnNewProfile();
  void OnDeleteProfile();
  void OnBrowse();
  void OnClear();
  // The profile shown, as saved, to a file of the user's choosing; a profile
  // from such a file added as a new one.
  void OnExport();
  void OnImport();
  void OnHotKey(LPARAM lp);
  // "Hold" checked or unchecked: the key and caption fields change over to
  // the selected slot's action when held, or back to its press.
  void OnHoldView();

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  BOOL OnInitDialog() override;
  void OnCommand(int id, int code, HWND control) override;
  void OnOK() override;
  void OnCancel() override;
  bool PreTranslateMessage(MSG& msg) override;
  const char* TooltipText(int id) override;

 private:
  void RegisterCaptureHotkeys();
  void UnregisterCaptureHotkeys();
  void AddTooltips();
  void CreateButtons();
  // The static that shows the picture of the remote.
  HWND PictureControl() const;
  void RedrawButton(int n);
  // Takes what the controls show into the selected slot; a key without a
  // name is refused with a message, and the slot keeps its hotkey.
  bool CommitShownSlot();
  // Puts slot n's hotkey and description (those of its hold action while
  // "Hold" is checked) and its repeat rule into the controls.
  void ShowSlot(int n);
  // The repeat rule shown, into slot c; a text that names no rule is
  // refused with a message, and the slot keeps its rule.
  bool CommitRepeatRule(int c);
  // Slot n's button marked when the slot has a hold action, and, for the
  // selected slot, its repeat rule usable only without one (a held button
  // then does not repeat). hasHold: what the controls show now.
  void ShowHoldState(int n, bool hasHold);
  void ShowHoldState(int n) { ShowHoldState(n, HasHoldAction(m_HoldSlots[n])); }
  // The hotkey control changed: in the hold view, whether it holds a key
  // decides the mark and the rule at once.
  void OnHotkeyEdited();
  void SetHotkeyControl(uint16_t value);
  // The whole text of a control.
  std::string ItemString(int id) const;
  void RefillProfileList();
  // A new profile's program: the file dialog until an existing file is
  // picked or the user gives up.
  void AssignNewProfilePath(const char* name);
  // Open-file dialog owned by the editor; path is empty when cancelled.
  bool AskForFile(char (&path)[MAX_PATH]);
  // Before a command that leaves what the editor shows: when it differs from
  // the files, asks whether to save it. False when the user cancelled or the
  // save failed.
  bool OfferToSave(const std::string& name, const char* before);
  // A freshly imported profile whose program is not on this computer: the
  // user is asked to pick it.
  void OfferToPickProgram(const std::string& name);

  HWND m_hEditorOwner;
  HINSTANCE m_hInstance;
  SharedFlags& m_flags;
  EditorFiles m_files;
  Win32IniStore m_ini;
  int m_nCurButton = kFirstEditorSlot;
  CBitmapButton m_Buttons[kSlotCount];
  RECT m_rcButton[kSlotCount];
  // The picture shown (when the editor made it; else the template's), and
  // what is added to a bitmap id for the set of images in use.
  HBITMAP m_hPicture = nullptr;
  int m_nBitmapOffset = 0;
  // The template's controls, rescaled when the editor's DPI changes.
  ui::CDpiLayout m_dpiLayout;
  char m_szTip[80] = "";
  // The controls, while the editor is open.
  HWND m_pHotKeyCtrl = nullptr;
  ComboProfileList m_EditorCombo;
  // The control values of the profile on screen, slot by slot.
  HOTKEYVALUE m_EditorHotKeys[kSlotCount] = {};
  // The profile on screen; its descriptions are the ones edited.
  CHotkeyTable m_EditorTable;
  // The hold actions, their captions and the repeat rules on screen.
  EditorHoldSlot m_HoldSlots[kSlotCount];
  // The key and caption fields show the selected slot's hold action.
  bool m_bHoldView = false;
  // Bitmap base of the next blink (normal or pressed).
  int m_nBlinkBase = kBitmapNormal;
};

}  // namespace k7
