// System-wide input state a test relies on: the Num Lock toggle, held
// modifiers, mouse acceleration. All tests share one wineserver, so whatever
// one test leaves behind, the next one sees.
#pragma once

#include <windows.h>

#include "harness/common.h"

namespace k7::harness {

// dwExtraInfo of the events the harness itself injects, to tell them from
// those of the code under test.
constexpr ULONG_PTR kHarnessExtraInfo = 0x4B480000;

bool NumLockOn();

// Brings the Num Lock toggle to the wanted state (one or two presses) and
// waits until GetKeyState in this thread shows it; false on timeout. Call it
// before relying on GetKeyState(VK_NUMLOCK) in a new thread: under Wine a
// thread sees a toggle only once it has changed after the thread first looked.
bool SetNumLock(bool on, DWORD timeoutMs = kWaitMs);

// Releases Ctrl, Alt and Shift (either side) when the system thinks one is
// held, so that a test that failed half-way does not leave them down.
void ReleaseModifiers();

// Injects one key press and release with the harness's extra info.
void TapKey(BYTE vk);

// Switches mouse acceleration off (thresholds and speed 0) for its lifetime
// and restores the previous setting afterwards: with it on, a move of 8 goes
// 16 under Wine.
class MouseAccelerationOff {
 public:
  MouseAccelerationOff();
  ~MouseAccelerationOff();
  MouseAccelerationOff(const MouseAccelerationOff&) = delete;
  MouseAccelerationOff& operator=(const MouseAccelerationOff&) = delete;

 private:
  int saved_[3] = {};
  bool restore_ = false;
};

// Sets the prefix's DPI (LogPixels under HKCU\Control Panel\Desktop) for its
// lifetime and restores the previous value, or its absence, afterwards. Wine
// reads it when a process starts: start the program after this.
class ScopedLogPixels {
 public:
  explicit ScopedLogPixels(DWORD dpi);
  ~ScopedLogPixels();
  ScopedLogPixels(const ScopedLogPixels&) = delete;
  ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;

 private:
  bool had_ = false;
  DWORD saved_ = 0;
};

}  // namespace k7::harness
