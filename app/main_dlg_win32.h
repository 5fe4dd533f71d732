// The main window: the settings dialog (template 102), run modally for the
// whole life of the program and hidden after its first paint; host of the
// tray icon, the timers and the receiver.
#pragma once

#include <windows.h>

#include <memory>

#include "app/event_log.h"
#include "app/event_log_win32.h"
#include "app/events_win32.h"
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
#include "ui/dpi_layout_win32.h"
#include "ui/settings_win32.h"

namespace k7 {

class CMainDlg : public ui::CDialog, private IConnectionView {
 public:
  explicit CMainDlg(ReceiverKind receiverKind);
  ~CMainDlg() override;

  INT_PTR Run(HINSTANCE instance);

  void ExitProgram();

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  BOOL OnInitDialog() override;
  void OnCommand(int id, int code, HWND control) override;
  void OnOK() override;
  bool PreTranslateMessage(MSG& msg) override;
  const char* TooltipText(int id) override;

 private:
  // The connection's view (this thread).
  void ShowReceiverMissing() override;
  void SetTrayIcon(int iconId) override;

  void OnTrayNotify(WPARAM id, LPARAM mouseMessage);
  void ShowTrayMenu();
  void OnTrayOpen();
  void OnTimer(UINT_PTR id);
  // A report's record from the reader (lParam: the PressEvent it made): a
  // line for the events window and, with "Log" on, the log file.
  void OnPressEvent(LPARAM record);
  // A request of a start with a switch (app/switches.h): answered through
  // the dialog's message result.
  void OnSwitch(WPARAM request);
  // The window moved to a monitor of another scale, or the scale changed.
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void SetWindowIcons(UINT dpi);
  // The three INI paths beside the program, from an ANSI form of its path
  // that names its folder; false, once the user was told why, when there is
  // none or the paths do not fit.
  bool BuildIniPaths();
  // Shutdown: stops the reader; one that does not stop (a press that hangs)
  // still uses this window's members, so the process ends here instead.
  void StopReaderOrEnd();

  HINSTANCE m_hInstance = nullptr;
  // The window's small and large icons, at its DPI.
  HICON m_hIcons[2] = {nullptr, nullptr};
  ui::CDpiLayout m_dpiLayout;
  bool m_bExited = false;
  UINT m_uTaskbarCreated = 0;
  UINT m_uSwitchMessage = 0;
  bool m_bStarted = false;  // start-up is over: requests are taken
  const TrayMenuTexts* m_pMenuTexts = nullptr;

  // Flags the reader thread reads and this thread sets (and the reverse).
  SharedFlags m_flags;
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
  // Mouse mode, the step and the matched profile outlive every reader.
  Dispatcher m_dispatcher;
  Win32Receiver m_receiver;
  ReceiverConnection m_connection;
  CTrayIcon m_tray;
  // The settings controls of this window, and the hotkey editor behind them.
  CSettingsPage m_settings{*this, m_flags};
  CEventsWindow m_events{m_flags};
  Win32LogFiles m_logFiles;
  // Beside the INI files, once their paths are known.
  std::unique_ptr<EventLogFile> m_log;
};

}  // namespace k7
