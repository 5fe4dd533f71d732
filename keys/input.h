// The seam between the core and the platform's input synthesis.
// The core injects keys and mouse events only through this interface, so the
// same logic runs against keybd_event/mouse_event and against a recording fake.
#pragma once

#include <bitset>
#include <cstdint>
#include <mutex>

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

// Passes every event on and remembers the keys (and the left button) it has
// pressed and not yet released, so that whatever ends the program can release
// them: a Ctrl, Alt or Shift left down would stay down for the whole session.
// Used by the reader and, once, by the thread that ends the program.
class ReleasingInput : public IInputSink {
 public:
  explicit ReleasingInput(IInputSink& inner) : inner_(inner) {}

  void KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (released_) return;
    inner_.KeyEvent(vk, scan, flags);
    const bool down = (flags & kKeyUp) == 0;
    down_[vk] = down;
    if (down) pressedAs_[vk] = {scan, flags & kKeyExtended};
  }
  bool IsNumLockOn() override { return inner_.IsNumLockOn(); }
  void MouseEvent(uint32_t flags, int32_t dx, int32_t dy) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (released_) return;
    inner_.MouseEvent(flags, dx, dy);
    if (flags & kMouseLeftDown) leftDown_ = true;
    if (flags & kMouseLeftUp) leftDown_ = false;
  }

  // Releases whatever is still down, as it was pressed, and passes nothing on
  // from then on: a reader still running cannot press anything again.
  void ReleaseAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (released_) return;
    released_ = true;
    for (int vk = 0; vk < 256; ++vk) {
      if (!down_[vk]) continue;
      inner_.KeyEvent(uint8_t(vk), pressedAs_[vk].scan, pressedAs_[vk].flags | kKeyUp);
    }
    if (leftDown_) inner_.MouseEvent(kMouseLeftUp, 0, 0);
  }

 private:
  struct Press {
    uint8_t scan;
    uint32_t flags;
  };
  IInputSink& inner_;
  std::mutex mutex_;
  bool released_ = false;
  std::bitset<256> down_;
  Press pressedAs_[256] = {};
  bool leftDown_ = false;
};

}  // namespace k7
