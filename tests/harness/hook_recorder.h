// Records what reaches the system's input queue, as low-level hooks see it:
// every key and mouse event, with its flags, extra info and a
// QueryPerformanceCounter time stamp.
//
// The hooks live on a thread of their own that pumps messages, so the test
// thread can inject and wait at the same time. Only one recorder may exist at
// a time (the hook procedures have no context but a process-wide pointer).
#pragma once

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "harness/common.h"

namespace k7::harness {

struct HookEvent {
  enum class Source { kKeyboard, kMouse };
  Source source = Source::kKeyboard;
  UINT message = 0;  // WM_KEYDOWN, WM_SYSKEYUP, WM_MOUSEMOVE, WM_LBUTTONDOWN, ...
  DWORD vkCode = 0;  // keyboard only
  DWORD scanCode = 0;
  POINT pt{};           // mouse only: the position after the event
  DWORD mouseData = 0;  // mouse only
  DWORD flags = 0;      // LLKHF_* or LLMHF_*
  ULONG_PTR extraInfo = 0;
  LONGLONG qpc = 0;

  bool IsKey() const { return source == Source::kKeyboard; }
  bool IsMouse() const { return source == Source::kMouse; }
  bool Injected() const;
  bool Extended() const { return IsKey() && (flags & LLKHF_EXTENDED) != 0; }
  bool KeyUp() const { return IsKey() && (flags & LLKHF_UP) != 0; }
};

std::string Describe(const HookEvent& e);
std::ostream& operator<<(std::ostream& os, const HookEvent& e);

class HookRecorder {
 public:
  // Installs both hooks; throws when either cannot be installed.
  HookRecorder();
  ~HookRecorder();
  HookRecorder(const HookRecorder&) = delete;
  HookRecorder& operator=(const HookRecorder&) = delete;

  std::vector<HookEvent> Snapshot() const;
  std::vector<HookEvent> Keys() const;
  std::vector<HookEvent> Mice() const;
  void Clear();

  // Waits until at least n events are recorded; false on timeout.
  bool WaitForCount(size_t n, DWORD timeoutMs = kWaitMs);
  // Waits until done(events) holds; false on timeout.
  bool WaitFor(const std::function<bool(const std::vector<HookEvent>&)>& done,
               DWORD timeoutMs = kWaitMs);

  // Injects a key and a mouse marker event behind everything injected so far
  // and waits until both reach the hooks: then every earlier event is in the
  // record. The markers are swallowed by the hooks, so no window sees them,
  // and they are not recorded. False on timeout.
  bool Flush(DWORD timeoutMs = kWaitMs);

  // Cursor position as the mouse marker of the last Flush saw it: a start
  // point for measuring moves without GetCursorPos, which under Wine pulls the
  // cursor back to where the X pointer is.
  POINT CursorAtLastFlush() const;

  // Removes the hooks and ends the thread; the record stays readable.
  void Stop();

 private:
  static LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp);
  void Run(std::promise<bool>& installed);
  // Returns true when the event is a marker, which the hook must swallow.
  bool Record(const HookEvent& e);

  std::thread thread_;
  DWORD threadId_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<HookEvent> events_;
  unsigned flushSeq_ = 0;
  unsigned keyMarkerSeen_ = 0;
  unsigned mouseMarkerSeen_ = 0;
  POINT markerPt_{};
};

}  // namespace k7::harness
