// A dialog that records what the dialog layer hands to it, and a modal run
// of it on a thread of its own, so that a test can drive the dialog (focus,
// keys, clicks, the pointer) while its modal loop runs.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "harness/common.h"
#include "ui/dialog_win32.h"

namespace k7::uitest {

struct Command {
  int id;
  int code;
  HWND control;
  bool operator==(const Command&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Command& c);

// A WM_KEYDOWN the key filter saw, with the dialog's control that had the
// focus (the combo box, not its inner edit).
struct KeySeen {
  UINT vk;
  int controlId;
  bool operator==(const KeySeen&) const = default;
};
std::ostream& operator<<(std::ostream& os, const KeySeen& k);

class RecordingDialog : public ui::CDialog {
 public:
  // Keys (virtual key codes) whose WM_KEYDOWN the filter swallows.
  explicit RecordingDialog(std::set<UINT> swallow = {}) : swallow_(std::move(swallow)) {}

  // Controls to get a tooltip at initialisation, with their texts.
  void WantTooltips(std::map<int, std::string> tips) { tips_ = std::move(tips); }

  // Runs fn on the dialog's own thread and returns when it is done.
  void Call(const std::function<void()>& fn);

  std::vector<Command> Commands() const;
  std::vector<KeySeen> Keys() const;
  std::vector<int> TooltipRequests() const;
  int OkCount() const { return ok_; }
  int CancelCount() const { return cancel_; }
  // What OnInitDialog found: its window, and whether that window's user data
  // pointed back at this object.
  HWND InitWindow() const { return initWindow_; }
  bool InitSawItself() const { return initSawItself_; }
  bool TooltipsAdded() const { return tooltipsAdded_; }

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  BOOL OnInitDialog() override;
  void OnCommand(int id, int code, HWND control) override;
  void OnOK() override;
  void OnCancel() override;
  bool PreTranslateMessage(MSG& msg) override;
  const char* TooltipText(int id) override;

 private:
  const std::set<UINT> swallow_;
  std::map<int, std::string> tips_;
  mutable std::mutex mutex_;
  std::vector<Command> commands_;
  std::vector<KeySeen> keys_;
  std::vector<int> tipRequests_;
  std::atomic<int> ok_{0};
  std::atomic<int> cancel_{0};
  std::atomic<HWND> initWindow_{nullptr};
  std::atomic<bool> initSawItself_{false};
  std::atomic<bool> tooltipsAdded_{false};
};

// DoModal of a dialog on a thread of its own. Ends the dialog (IDCANCEL) if
// it still runs when the object goes.
class ModalRun {
 public:
  ModalRun(ui::CDialog& dialog, int templateId);
  ~ModalRun();
  ModalRun(const ModalRun&) = delete;
  ModalRun& operator=(const ModalRun&) = delete;

  // The dialog window once visible; null when it did not show in time.
  HWND Window() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  bool Running() const { return !done_; }
  // True when DoModal has returned within timeoutMs.
  bool WaitForEnd(DWORD timeoutMs = harness::kWaitMs) const;
  INT_PTR Result() const { return result_; }

 private:
  std::atomic<DWORD> threadId_{0};
  std::atomic<bool> done_{false};
  std::atomic<INT_PTR> result_{0};
  HWND hwnd_ = nullptr;
  std::thread thread_;
};

// The visible window of class className that thread threadId owns, or null.
HWND FindThreadWindow(DWORD threadId, const char* className);

// Text of a window of this process (through its owner thread).
std::string WindowText(HWND hwnd);

}  // namespace k7::uitest
