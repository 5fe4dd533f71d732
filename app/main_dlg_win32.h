// The main window: the settings dialog (template 102), run modally for the
// whole life of the program and hidden after its first paint; host of the
// tray icon, the timers and the receiver.
#pragma once

#include <windows.h>

#include <memory>

#include "app/tray_menu.h"
#include "app/tray_win32.h"
#include "dispatch/dispatch.h"
#include "dispatch/foreground_match.h"
#include "dispatch/foreground_win32.h"
#include "dispatch/launcher_win32.h"
#include "keys/input_win32.h"
#include "profiles/ini_store_win32.h"
#include "profiles/press_ini_win32.h"
#include "receiver/connection.h"
#include "receiver/receiver_win32.h"
#include "ui/dialog_win32.h"
#include "ui/editor_win32.h"

namespace k7 {

// Posted by the reader thread, so that it never waits on this thread.
constexpr UINT WM_K7_TRAYICON = WM_APP + 1;    // wParam: icon id
constexpr UINT WM_K7_MOUSETIMER = WM_APP + 2;  // restart timer 300
constexpr UINT WM_K7_LEARN = WM_APP + 3;       // wParam: code, lParam: marker

// Category section of the control file that the settings dialog shows.
extern char g_szCategory[16];
extern HWND g_pProfileCombo;

class CMainDlg : public ui::CDialog, private IReportSink, private IConnectionView {
 public:
  explicit CMainDlg(ReceiverKind receiverKind);
  ~CMainDlg() override;

  INT_PTR Run(HINSTANCE instance);

  // Restores the built-in profiles and shows them (button 1067, first run).
  void OnDefault();
  // The four category radios: one behaviour, another section.
  void OnCategory(const char* section);
  void OnCategoryDvd() { OnCategory("DVD"); }
  void RefreshCategoryLabels();
  void ExitProgram();

  // The settings window's controls.
  void OnSelchangeProfile();
  void OnBrowse();
  void OnPathOk();
  void OnAdvance();
  void OnEnableOsd();

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  BOOL OnInitDialog() override;
  void OnCommand(int id, int code, HWND control) override;
  void OnOK() override;
  bool PreTranslateMessage(MSG& msg) override;
  const char* TooltipText(int id) override;

 private:
  // The reader's effects (reader thread): posted or done there.
  void SetTrayIcon(int iconId) override;
  void LearnButton(int code, int marker) override;
  void Dispatch(int code, int marker, int repeat) override;
  void RestartMouseTimer() override;
  void ShowOsd() override;
  void RearmRead() override {}
  // The connection's view (this thread).
  void ShowReceiverMissing() override;

  // Handles the settings controls' commands; false for any other id.
  bool OnSettingsCommand(int id, int code);
  // Runs the hotkey editor modally; returns when it closes.
  void RunHotkeyEditor();
  void OnTrayNotify(WPARAM id, LPARAM mouseMessage);
  void ShowTrayMenu();
  void OnTrayOpen();
  void OnTimer(UINT_PTR id);
  // The three INI paths beside the program; false when they do not fit.
  bool BuildIniPaths();
  // Shutdown: stops the reader; one that does not stop (a press that hangs)
  // still uses this window's members, so the process ends here instead.
  void StopReaderOrEnd();

  HICON m_hIcon = nullptr;
  bool m_bHideOnPaint = false;
  bool m_bExited = false;
  UINT m_uTaskbarCreated = 0;
  char m_szTip[81] = "";
  const TrayMenuTexts* m_pMenuTexts = nullptr;

  Win32IniStore m_ini;
  // The reader's view of the files: one read of each per press.
  Win32WholeFileReader m_fileReader;
  PressIniStore m_pressIni;
  Win32Input m_input;
  // What the reader injects through; releases it all when the program ends.
  ReleasingInput m_keys{m_input};
  Win32Launcher m_launcher;
  Win32ForegroundProcess m_foreground;
  ForegroundProfileMatcher m_matcher;
  DispatchPlatform m_platform;
  Win32Receiver m_receiver;
  ReceiverConnection m_connection;
  CTrayIcon m_tray;
  // The hotkey editor, made on the first Advance and kept for the whole run.
  std::unique_ptr<CHotkeyEditorDlg> m_pEditor;
};

}  // namespace k7
