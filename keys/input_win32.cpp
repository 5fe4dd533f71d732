#include "keys/input_win32.h"

#include <windows.h>

namespace k7 {

static_assert(kKeyExtended == KEYEVENTF_EXTENDEDKEY && kKeyUp == KEYEVENTF_KEYUP);
static_assert(kMouseMove == MOUSEEVENTF_MOVE && kMouseLeftDown == MOUSEEVENTF_LEFTDOWN &&
              kMouseLeftUp == MOUSEEVENTF_LEFTUP);
static_assert(kVkShift == VK_SHIFT && kVkCtrl == VK_CONTROL && kVkAlt == VK_MENU &&
              kVkNumLock == VK_NUMLOCK);

void Win32Input::Send(const InputBatch& events) {
  INPUT inputs[InputBatch::kCapacity] = {};
  UINT n = 0;
  for (const SyntheticEvent& e : events) {
    INPUT& in = inputs[n++];
    // Every other field zero, as keybd_event and mouse_event fill them.
    if (e.mouse) {
      in.type = INPUT_MOUSE;
      in.mi.dx = e.dx;
      in.mi.dy = e.dy;
      in.mi.dwFlags = e.flags;
    } else {
      in.type = INPUT_KEYBOARD;
      in.ki.wVk = e.vk;
      in.ki.wScan = e.scan;
      in.ki.dwFlags = e.flags;
    }
  }
  if (n > 0) SendInput(n, inputs, sizeof(INPUT));
}

bool Win32Input::IsNumLockOn() {
  return (GetKeyState(VK_NUMLOCK) & 1) != 0;
}

}  // namespace k7
