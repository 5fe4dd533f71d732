#include "keys/input_win32.h"

#include <windows.h>

namespace k7 {

static_assert(kKeyExtended == KEYEVENTF_EXTENDEDKEY && kKeyUp == KEYEVENTF_KEYUP);
static_assert(kMouseMove == MOUSEEVENTF_MOVE && kMouseLeftDown == MOUSEEVENTF_LEFTDOWN &&
              kMouseLeftUp == MOUSEEVENTF_LEFTUP);
static_assert(kVkShift == VK_SHIFT && kVkCtrl == VK_CONTROL && kVkAlt == VK_MENU &&
              kVkNumLock == VK_NUMLOCK);

void Win32Input::KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) {
  keybd_event(vk, scan, flags, 0);
}

bool Win32Input::IsNumLockOn() {
  return (GetKeyState(VK_NUMLOCK) & 1) != 0;
}

void Win32Input::MouseEvent(uint32_t flags, int32_t dx, int32_t dy) {
  mouse_event(flags, static_cast<DWORD>(dx), static_cast<DWORD>(dy), 0, 0);
}

}  // namespace k7
