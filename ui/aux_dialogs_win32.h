// The editor's small dialogs: the name of a new profile, what to do when the
// program picked for it does not exist, and the delete confirmation. Also the
// message every window shows when an INI file refuses a write.
#pragma once

#include <windows.h>

#include <string>

#include "profiles/ini_store.h"
#include "profiles/profile_list_win32.h"
#include "ui/dialog_win32.h"

namespace k7 {

// Application Name (template 130), owned by owner: 1 once the user gave a
// name the INI files can hold and profiles does not list (left in
// newAppName), 2 when cancelled.
INT_PTR RunAppNameDialog(HINSTANCE instance, HWND owner, const ComboProfileList& profiles,
                         std::string& newAppName);

// File path error (template 133): 1 Assign (pick again), 0 Give up (drop the
// new profile), 2 closed (keep it without a program).
class CPathErrorDlg : public ui::CDialog {
 public:
  static constexpr INT_PTR kGiveUp = 0;
  static constexpr INT_PTR kAssign = 1;
  static constexpr INT_PTR kClosed = 2;

 protected:
  void OnCommand(int id, int code, HWND control) override;
  void OnOK() override { EndDialog(kGiveUp); }
  void OnCancel() override { EndDialog(kClosed); }
};

// Delete HotKey (template 134): 1 delete, 0 keep.
// Caption of the messages below.
constexpr char kWriteFailedCaption[] = "Quorvan K7F3";

// Tells the user which file could not be written, why (the system's error
// code), and that the change was not saved; modal to owner.
void ReportWriteFailed(HWND owner, const char* file, uint32_t error);
// When one of the command's writes failed: reports it as above and returns
// true, so the handler leaves its window as it was.
bool ReportIfWriteFailed(HWND owner, const CheckedWrites& writes);
// At start-up, on a first run that a write stopped: before the marker was
// written (nothing was), or after it (the built-in profiles may be
// incomplete).
void ReportStartupWriteFailed(const char* file, uint32_t error, bool markerWritten);

class CDeleteHotkeyDlg : public ui::CDialog {
 public:
  void SetPrompt(const char* name);

 protected:
  BOOL OnInitDialog() override;
  void OnCommand(int id, int code, HWND control) override;
  void OnOK() override { EndDialog(1); }
  void OnCancel() override { EndDialog(0); }

 private:
  std::string prompt_;
};

}  // namespace k7
