// Driving tests/apps/target_app.exe (see target_protocol.h): a window that
// logs the input it receives, under whatever executable name a test needs.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "harness/common.h"
#include "harness/process.h"
#include "harness/scratch_dir.h"
#include "harness/target_protocol.h"

namespace k7::harness {

struct TargetLogEntry {
  UINT message = 0;
  unsigned vk = 0;   // key messages
  int x = 0, y = 0;  // mouse messages, client coordinates

  bool IsKey() const {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
  }
  bool IsKeyDown() const { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN; }
  bool operator==(const TargetLogEntry&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TargetLogEntry& e);

// Parses the complete lines of a target log; an unknown line is an error
// (std::runtime_error), since it means the two sides disagree.
std::vector<TargetLogEntry> ParseTargetLog(const std::vector<std::string>& lines);

class TargetApp {
 public:
  // Copies target_app.exe into dir as exeName, starts it there and waits for
  // its visible window; throws when any of that fails.
  TargetApp(const ScratchDir& dir, const std::string& exeName);
  // Starts a copy already made under a name the ANSI code page may not
  // write; its log is not read (Log stays empty).
  explicit TargetApp(const std::wstring& exePath);

  HWND Window() const { return hwnd_; }
  DWORD Id() const { return process_.Id(); }
  Process& process() { return process_; }
  const std::string& LogPath() const { return logPath_; }

  std::vector<TargetLogEntry> Log() const;
  // The key messages of the log only.
  std::vector<TargetLogEntry> KeyLog() const;
  bool WaitForKeyLog(size_t n, DWORD timeoutMs = kWaitMs) const;

  // Posts the registered foreground message (again every half second, should
  // a late activation take the foreground away) until the window holds the
  // foreground and the focus; false on timeout.
  bool RequestForeground(DWORD timeoutMs = kWaitMs);
  bool WaitForeground(DWORD timeoutMs = kWaitMs) const;

 private:
  Process process_;
  HWND hwnd_ = nullptr;
  std::string logPath_;
};

}  // namespace k7::harness
