// The seam between the core and the platform's input synthesis.
// The core injects keys and mouse events only through this interface, so the
// same logic runs against SendInput and against a recording fake.
#pragma once

#include <bitset>
#include <cstdint>
#include <mutex>

namespace k7 {

// Flag bits of a key event; the values are those of KEYBDINPUT's dwFlags.
enum KeyEventFlags : uint32_t {
  kKeyExtended = 0x0001,  // KEYEVENTF_EXTENDEDKEY
  kKeyUp = 0x0002,        // KEYEVENTF_KEYUP
};

// Flag bits of a mouse event; the values are those of MOUSEINPUT's dwFlags.
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

// One synthetic event: a key (virtual key, scan code, KeyEventFlags) or a
// mouse event (MouseEventFlags, relative distances).
struct SyntheticEvent {
  bool mouse;
  uint8_t vk;
  uint8_t scan;
  uint32_t flags;
  int32_t dx, dy;
};

// Events that reach the system in one piece: a key the user presses at the
// same moment cannot land between them. The longest is a hotkey with the Num
// Lock it needs, ten events: Num Lock down and up, three modifiers, the key
// down and up, the modifiers up.
class InputBatch {
 public:
  static constexpr int kCapacity = 12;

  // False, and nothing added, once the batch is full.
  bool Key(uint8_t vk, uint8_t scan, uint32_t flags) { return Add({false, vk, scan, flags, 0, 0}); }
  bool Mouse(uint32_t flags, int32_t dx, int32_t dy) { return Add({true, 0, 0, flags, dx, dy}); }
  int Size() const { return size_; }
  const SyntheticEvent* begin() const { return events_; }
  const SyntheticEvent* end() const { return events_ + size_; }

 private:
  bool Add(const SyntheticEvent& e) {
    if (size_ == kCapacity) return false;
    events_[size_++] = e;
    return true;
  }
  SyntheticEvent events_[kCapacity] = {};
  int size_ = 0;
};

class IInputSink {
 public:
  virtual ~IInputSink() = default;
  // The batch's events in order, with one call into the system.
  virtual void Send(const InputBatch& events) = 0;
  // Toggle state of Num Lock as the system sees it now.
  virtual bool IsNumLockOn() = 0;

  // One event alone.
  void KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) {
    InputBatch one;
    one.Key(vk, scan, flags);
    Send(one);
  }
  void MouseEvent(uint32_t flags, int32_t dx, int32_t dy) {
    InputBatch one;
    one.Mouse(flags, dx, dy);
    Send(one);
  }
};

// Passes every event on and remembers the keys (and the left button) it has
// pressed and not yet released, so that whatever ends the program can release
// them: a Ctrl, Alt or Shift left down would stay down for the whole session.
// Used by the reader and, once, by the thread that ends the program.
class ReleasingInput : public IInputSink {
 public:
  explicit ReleasingInput(IInputSink& inner) : inner_(inner) {}

  void Send(const InputBatch& events) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (released_) return;
    inner_.Send(events);
    for (const SyntheticEvent& e : events) {
      if (e.mouse) {
        if (e.flags & kMouseLeftDown) leftDown_ = true;
        if (e.flags & kMouseLeftUp) leftDown_ = false;
        continue;
      }
      const bool down = (e.flags & kKeyUp) == 0;
      down_[e.vk] = down;
      if (down) pressedAs_[e.vk] = {e.scan, e.flags & kKeyExtended};
    }
  }
  bool IsNumLockOn() override { return inner_.IsNumLockOn(); }

  // Releases whatever is still down, as it was pressed, and passes nothing on
  // from then on: a reader still running cannot press anything again.
  void ReleaseAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (released_) return;
    released_ = true;
    InputBatch ups;
    const auto makeRoom = [&] {
      if (ups.Size() < InputBatch::kCapacity) return;
      inner_.Send(ups);
      ups = InputBatch();
    };
    for (int vk = 0; vk < 256; ++vk) {
      if (!down_[vk]) continue;
      makeRoom();
      ups.Key(uint8_t(vk), pressedAs_[vk].scan, pressedAs_[vk].flags | kKeyUp);
    }
    if (leftDown_) {
      makeRoom();
      ups.Mouse(kMouseLeftUp, 0, 0);
    }
    if (ups.Size() > 0) inner_.Send(ups);
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
