// The seam between the core and the platform's input synthesis.
// The core injects keys and mouse events only through this interface, so the
// same logic runs against keybd_event/mouse_event and against a recording fake.
#pragma once

#include <cstdint>

namespace k7 {

// Flag bits of a key event; the values are those of keybd_event.
enum KeyEventFlags : uint32_t {
  kKeyExtended = 0x0001,  // KEYEVENTF_EXTENDEDKEY
  kKeyUp = 0x0002,        // KEYEVENTF_KEYUP
};

// Flag bits of a mouse event; the values are those of mouse_event.
enum MouseEventFlags : uint32_t {
  kMouseMove = 0x0001,      // MOUSEEVENTF_MOVE
  kMouseLeftDown = 0x0002,  // MOUSEEVENTF_LEFTDOWN
  kMouseLeftUp = 0x0004,    // MOUSEEVENTF_LEFTUP
};

constexpr uint8_t kVkShift = 0x10;
constexpr uint8_t kVkCtrl = 0x11;
constexpr uint8_t kVkAlt = 0x12;
constexpr uint8_t kVkNumLock = 0x90;
constexpr uint8_t kNumLockScan = 0x45;

class IInputSink {
 public:
  virtual ~IInputSink() = default;
  // One synthetic key event (virtual key, scan code, KeyEventFlags).
  virtual void KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) = 0;
  // Toggle state of Num Lock as the system sees it now.
  virtual bool IsNumLockOn() = 0;
  // One synthetic mouse event with relative distances (MouseEventFlags).
  virtual void MouseEvent(uint32_t flags, int32_t dx, int32_t dy) = 0;
};

}  // namespace k7
