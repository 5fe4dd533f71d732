// Stands in for the notification area while a test runs: a hidden window of
// the shell's tray class, found before Wine's own, so that the test sees
// which picture the program shows in its tray icon and when it changes.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "harness/common.h"

namespace k7::harness {

class TrayWatcher {
 public:
  struct Change {
    int icon;  // resource id of the picture (IDI_READY, ...); -1: none of the program's
    LONGLONG qpc;
  };

  // exePath: the program (a Windows path), whose icon resources tell its
  // pictures apart. Throws when the window cannot be made the one
  // Shell_NotifyIcon finds.
  explicit TrayWatcher(const std::string& exePath);
  ~TrayWatcher();
  TrayWatcher(const TrayWatcher&) = delete;
  TrayWatcher& operator=(const TrayWatcher&) = delete;

  // The picture shown now; 0 while the program has no icon.
  int Current() const;
  // Every picture the program set, in order, one entry per change it made
  // (the same picture set twice is two entries).
  std::vector<Change> History() const;
  // Waits until the picture shown is icon; false on timeout.
  bool WaitFor(int icon, DWORD timeoutMs = kWaitMs) const;
  // How often icon was set so far.
  size_t Count(int icon) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Run(std::promise<HWND>* ready);
  void Received(DWORD message, const BYTE* data, DWORD size);

  struct Picture {
    int icon;
    std::vector<BYTE> bits;  // mask then colour, as the shell receives them
  };
  std::vector<Picture> pictures_;
  HWND window_ = nullptr;
  std::thread thread_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  int current_ = 0;
  bool lastWasAdd_ = false;
  std::vector<Change> history_;
};

}  // namespace k7::harness
