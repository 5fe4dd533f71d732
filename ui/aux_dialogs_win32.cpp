#include "ui/aux_dialogs_win32.h"

#include "res/editor_ids.h"
#include "ui/editor_logic.h"
#include "ui/write_messages.h"

namespace k7 {

namespace {

// What the Application Name dialog checks against and where it leaves the
// name; handed over with WM_INITDIALOG.
struct AppNameRequest {
  const ComboProfileList* profiles;
  std::string* newAppName;
};

// Says why the name cannot be taken and leaves the dialog open for another.
void RefuseName(HWND dlg, const char* message) {
  MessageBoxA(dlg, message, "", MB_OK);
  SetFocus(GetDlgItem(dlg, IDC_APPNAME_EDIT));
}

void OnAppNameOk(HWND dlg, const AppNameRequest& request) {
  // 254 characters, as much as a description; longer names are refused below.
  char name[255];
  GetDlgItemTextA(dlg, IDC_APPNAME_EDIT, name, sizeof name);
  name[sizeof name - 1] = '\0';
  const AppNameCheck check = CheckAppName(name, request.profiles->Contains(name));
  if (check != AppNameCheck::kOk) {
    RefuseName(dlg, AppNameMessage(check));
    return;
  }
  *request.newAppName = name;
  EndDialog(dlg, 1);
}

INT_PTR CALLBACK AppNameDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
      SetFocus(GetDlgItem(dlg, IDC_APPNAME_EDIT));
      return FALSE;  // the focus is set
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        OnAppNameOk(dlg,
                    *reinterpret_cast<const AppNameRequest*>(GetWindowLongPtrA(dlg, DWLP_USER)));
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dlg, 2);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR RunAppNameDialog(HINSTANCE instance, HWND owner, const ComboProfileList& profiles,
                         std::string& newAppName) {
  AppNameRequest request{&profiles, &newAppName};
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_APPNAME), owner, AppNameDlgProc,
                         reinterpret_cast<LPARAM>(&request));
}

void CPathErrorDlg::OnCommand(int id, int, HWND) {
  if (id == IDC_ASSIGN) EndDialog(kAssign);
  if (id == IDC_GIVEUP) EndDialog(kGiveUp);
}

namespace {

// The system's own words for an error code; empty when it has none.
std::string SystemErrorText(uint32_t error) {
  char text[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, sizeof text, nullptr);
  text[sizeof text - 1] = '\0';
  return text;
}

}  // namespace

void ReportWriteFailed(HWND owner, const char* file, uint32_t error) {
  const std::string text = WriteFailedText(file, error, SystemErrorText(error));
  MessageBoxA(owner, text.c_str(), kWriteFailedCaption, MB_OK | MB_ICONWARNING);
}

bool ReportIfWriteFailed(HWND owner, const CheckedWrites& writes) {
  if (!writes.Failed()) return false;
  ReportWriteFailed(owner, writes.FailedFile().c_str(), writes.LastWriteError());
  return true;
}

void ReportStartupWriteFailed(const char* file, uint32_t error, bool markerWritten) {
  const std::string text =
      StartupWriteFailedText(file, error, SystemErrorText(error), markerWritten);
  MessageBoxA(nullptr, text.c_str(), kWriteFailedCaption,
              MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

void CDeleteHotkeyDlg::SetPrompt(const char* name) {
  prompt_ = DeletePrompt(name);
}

BOOL CDeleteHotkeyDlg::OnInitDialog() {
  SetItemText(IDC_DELETE_PROMPT, prompt_.c_str());
  return TRUE;
}

void CDeleteHotkeyDlg::OnCommand(int id, int, HWND) {
  if (id == IDC_DELETE_OK) EndDialog(1);
  if (id == IDC_DELETE_CANCEL) EndDialog(0);
}

}  // namespace k7
