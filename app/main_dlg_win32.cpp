#include "app/main_dlg_win32.h"

#include "app/switches_win32.h"
#include "base/ansi_path_win32.h"
#include "base/dpi_win32.h"
#include "base/text.h"
#include "osd/osd_win32.h"
#include "profiles/default_profiles.h"
#include "profiles/first_run.h"
#include "profiles/ini_paths.h"
#include "profiles/registry_win32.h"
#include "receiver/notice_win32.h"
#include "res/resource.h"
#include "ui/aux_dialogs_win32.h"

namespace k7 {

CMainDlg::CMainDlg(ReceiverKind receiverKind)
    : m_pressIni(m_fileReader, m_ini),
      m_matcher(m_pressIni, m_foreground),
      m_dispatcher({m_keys, m_launcher, m_pressIni, m_matcher, &m_pressIni}),
      m_receiver(receiverKind, m_dispatcher, m_flags),
      m_connection(m_receiver, *this, m_flags) {
  // The hidden host of everything: the tray brings it forward when asked.
  StayHiddenOnFirstShow();
}

CMainDlg::~CMainDlg() {
  StopReaderOrEnd();
  for (HICON icon : m_hIcons) {
    if (icon != nullptr) DestroyIcon(icon);
  }
}

void CMainDlg::SetWindowIcons(UINT dpi) {
  // Each drawn for its own size at the window's DPI: the title bar's small
  // one, the task switcher's large one.
  const int sizes[2] = {ICON_SMALL, ICON_BIG};
  for (int i = 0; i < 2; ++i) {
    const HICON icon = LoadIconForDpi(m_hInstance, IDI_APP, sizes[i] == ICON_SMALL, dpi);
    SendMessageA(Hwnd(), WM_SETICON, sizes[i], reinterpret_cast<LPARAM>(icon));
    if (m_hIcons[i] != nullptr) DestroyIcon(m_hIcons[i]);
    m_hIcons[i] = icon;
  }
}

void CMainDlg::OnDpiChanged(UINT dpi, const RECT& suggested) {
  SetWindowIcons(dpi);
  m_dpiLayout.OnDpiChanged(dpi, suggested);
}

void CMainDlg::StopReaderOrEnd() {
  m_connection.Stop();
  const bool stuck = m_receiver.ReaderRunning();
  // Before the process ends, and before a stuck reader could press again.
  m_keys.ReleaseAll();
  if (stuck) {
    // Its press may go on at any moment: nothing it uses may be freed, so no
    // destructor runs. The tray icon is gone already.
    TerminateProcess(GetCurrentProcess(), 0);
  }
  // No caption is asked for any more: the display ends before the process
  // does, not cut off by the exit in the middle of a paint.
  StopOsdThread(1000);
}

INT_PTR CMainDlg::Run(HINSTANCE instance) {
  m_hInstance = instance;
  return DoModal(instance, IDD_MAIN, nullptr);
}

BOOL CMainDlg::OnInitDialog() {
  // From the start: a request that comes while start-up waits (the notice)
  // is told to ask again.
  m_uSwitchMessage = RegisterWindowMessageA(kSwitchMessageName);
  m_dpiLayout.Capture(Hwnd());
  SetWindowIcons(DpiOfWindow(Hwnd()));
  // Before any text is split or compared, and before the reader starts.
  SetAnsiCodePage(SystemAnsiCodePage());
  // Before anything starts: with cut paths two of the files would share a
  // name, and a folder named through best-fit letters or '?' is another
  // folder, or none.
  if (!BuildIniPaths()) {
    EndDialog(0);
    return FALSE;
  }
  m_receiver.SetHostWindow(Hwnd());
  {
    const std::string ctrl = g_szCtrlIniPath;
    const size_t slash = LastBackslash(ctrl);
    m_log = std::make_unique<EventLogFile>(
        m_logFiles, slash == std::string::npos ? std::string() : ctrl.substr(0, slash + 1));
  }
  m_settings.Attach(m_hInstance, {g_szCtrlIniPath, g_szUserDefIniPath, g_szUserDefInfIniPath});

  const int icon = m_connection.ConnectAtStartup();
  m_tray.Remove();  // clears a stale entry left by a copy that did not end cleanly
  m_tray.Add(Hwnd(), LoadTrayPicture(m_hInstance, icon), kTrayIconId, WM_TRAYNOTIFY, kProgramTitle);
  m_tray.Modify();
  m_uTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  m_pMenuTexts = &LoadTrayMenuTexts(GetSystemDefaultLangID());

  Win32Registry registry;
  uint32_t error = 0;
  const std::string unwritten =
      LoadProfilesAtStartup(m_ini, m_settings.ProfileBox(), registry, &error);
  m_connection.StartReaderAtStartup();

  m_settings.ShowAtStartup();
  StartOsdThread();
  SetTimer(Hwnd(), IDT_POLL, 1000, nullptr);
  // Once per start, when everything else runs: the file that refused, why,
  // and whether the first-run marker was written before it did.
  if (!unwritten.empty()) ReportStartupWriteFailed(unwritten.c_str(), error, g_nMark != 0);
  m_bStarted = true;
  return TRUE;
}

bool CMainDlg::BuildIniPaths() {
  // Longer than any folder Windows allows, so a path that does not fit the
  // INI buffers is seen whole and refused, never cut.
  static wchar_t module[32768];
  const DWORD n = GetModuleFileNameW(nullptr, module, ARRAYSIZE(module));
  std::string ansi;
  if (n > 0 && n < ARRAYSIZE(module) - 1 && !AnsiPathOf(std::wstring(module, n), ansi)) {
    const std::wstring path(module, n);
    const std::wstring text =
        L"Quorvan K7F3 cannot start. " +
        UnrepresentablePathText(path.substr(0, path.rfind(L'\\')), L"the program's folder") +
        L"\n\nMove the program to a folder whose name has only characters of the system's "
        L"language, such as C:\\K7F3.";
    MessageBoxW(nullptr, text.c_str(), L"Quorvan K7F3 v2.1", MB_OK | MB_ICONERROR);
    return false;
  }
  if (ansi.empty() || !k7::BuildIniPaths(ansi.c_str())) {
    MessageBoxA(nullptr, kIniPathsTooLongText, kProgramTitle, MB_OK | MB_ICONERROR);
    return false;
  }
  return true;
}

INT_PTR CMainDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TRAYNOTIFY:
      OnTrayNotify(wp, lp);
      return TRUE;
    case WM_TIMER:
      OnTimer(wp);
      return TRUE;
    case WM_ENDSESSION:
      // Whatever wParam says: the session may end without asking again.
      ExitProgram();
      return TRUE;
    case WM_DESTROY:
      ExitProgram();
      break;
    case WM_K7_TRAYICON:
      m_connection.ShowReaderIcon(static_cast<int>(wp));
      return TRUE;
    case WM_K7_MOUSETIMER:
      KillTimer(Hwnd(), IDT_MOUSEACCEL);
      SetTimer(Hwnd(), IDT_MOUSEACCEL, 300, nullptr);
      return TRUE;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return TRUE;
    case WM_K7_EVENT:
      OnPressEvent(lp);
      return TRUE;
    case WM_K7_LEARN:
      // Learning belongs to the hotkey editor, on this thread.
      m_settings.LearnInEditor(static_cast<int>(wp), static_cast<int>(lp));
      return TRUE;
    default:
      if (msg == m_uSwitchMessage && m_uSwitchMessage != 0) {
        OnSwitch(wp);
        return TRUE;
      }
      if (msg == m_uTaskbarCreated && m_uTaskbarCreated != 0) {
        // Explorer restarted: the icon is gone from the new tray.
        SetTrayIcon(m_flags.bDisabled || !m_flags.bConnected ? IDI_OFF : IDI_READY);
        return TRUE;
      }
      break;
  }
  return CDialog::HandleMessage(msg, wp, lp);
}

void CMainDlg::OnCommand(int id, int code, HWND) {
  if (m_settings.OnCommand(id, code)) return;
  switch (id) {
    case ID_TRAY_OPEN:
      OnTrayOpen();
      break;
    case ID_TRAY_RELOAD:
      m_connection.Reload();
      break;
    case ID_TRAY_DISABLE:
      m_connection.Disable();
      break;
    case ID_TRAY_ENABLE:
      m_connection.Enable();
      break;
    case ID_TRAY_EXIT:
      ExitProgram();
      break;
    case ID_TRAY_EVENTS:
      m_events.Open(m_hInstance);
      break;
    default:
      break;
  }
}

void CMainDlg::OnOK() {
  ShowWindow(Hwnd(), SW_HIDE);
}

bool CMainDlg::PreTranslateMessage(MSG& msg) {
  // The window is operated with the mouse: Enter, Escape and Space do nothing.
  return msg.message == WM_KEYDOWN &&
         (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE || msg.wParam == VK_SPACE);
}

const char* CMainDlg::TooltipText(int id) {
  return m_settings.TooltipText(id);
}

void CMainDlg::OnTrayNotify(WPARAM id, LPARAM mouseMessage) {
  if (id != kTrayIconId) return;
  if (mouseMessage == WM_RBUTTONDOWN) ShowTrayMenu();
  if (mouseMessage == WM_LBUTTONDBLCLK) OnTrayOpen();
}

void CMainDlg::ShowTrayMenu() {
  POINT pt{};
  GetCursorPos(&pt);
  // Without the foreground the menu would not close when the user clicks away.
  SetForegroundWindow(Hwnd());
  HMENU menu = CreatePopupMenu();
  UINT position = 0;
  for (const TrayMenuItem& item : BuildTrayMenu(*m_pMenuTexts, m_flags.bDisabled)) {
    InsertMenuA(menu, position++, MF_BYPOSITION | MF_STRING, item.id, item.text);
  }
  TrackPopupMenuEx(menu, 0, pt.x, pt.y, Hwnd(), nullptr);
  PostMessageA(Hwnd(), WM_NULL, 0, 0);
  DestroyMenu(menu);
}

void CMainDlg::OnTrayOpen() {
  m_settings.ShowAgain();
  ShowWindow(Hwnd(), SW_SHOW);
}

void CMainDlg::OnTimer(UINT_PTR id) {
  if (id == IDT_MOUSEACCEL) {
    m_dispatcher.ResetMouseStep();
  } else if (id == IDT_POLL) {
    m_connection.Poll();
    if (m_flags.bEditorOpen) m_settings.BlinkEditor();
  }
}

void CMainDlg::OnPressEvent(LPARAM record) {
  const std::unique_ptr<PressEvent> event(reinterpret_cast<PressEvent*>(record));
  if (event == nullptr) return;
  const std::string line = FormatEventLine(*event);
  if (m_events.IsOpen()) m_events.AddLine(line);
  if (!event->log || m_log == nullptr) return;
  // A write that fails costs the press nothing: it was over before this.
  if (m_log->Write(line) != LogWrite::kFirstFailure) return;
  const std::string text = LogFailureText(m_log->Path(), m_log->LastError());
  m_events.AddLine(LogFailureLine(*event, text));
  m_tray.ShowBalloon(text.c_str());
}

void CMainDlg::OnSwitch(WPARAM request) {
  const SwitchAnswer answer = AnswerSwitch(static_cast<int>(request), m_bStarted && !m_bExited,
                                           m_flags.bDisabled, m_flags.bConnected);
  // The tray menu's own way in, so a switch does exactly what its item does.
  if (answer.command != 0 && answer.posted) {
    PostMessageA(Hwnd(), WM_COMMAND, static_cast<WPARAM>(answer.command), 0);
  } else if (answer.command != 0) {
    SendMessageA(Hwnd(), WM_COMMAND, static_cast<WPARAM>(answer.command), 0);
  }
  SetWindowLongPtrA(Hwnd(), DWLP_MSGRESULT, answer.reply);
}

void CMainDlg::ExitProgram() {
  if (m_bExited) return;
  m_bExited = true;
  KillTimer(Hwnd(), IDT_POLL);
  KillTimer(Hwnd(), IDT_MOUSEACCEL);
  m_tray.Remove();
  StopReaderOrEnd();
  m_events.Close();
  PostQuitMessage(0);
}

void CMainDlg::SetTrayIcon(int iconId) {
  m_tray.Show(m_hInstance, iconId);
}

void CMainDlg::ShowReceiverMissing() {
  ShowReceiverMissingNotice(m_hInstance);
}

}  // namespace k7
