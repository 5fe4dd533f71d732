// A recording fake of the input layer: every key and mouse event in order,
// and a Num Lock toggle that follows the injected Num Lock presses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "keys/input.h"

namespace k7::test {

struct InputEvent {
  enum Kind { kKey, kMouse } kind;
  uint32_t a;      // key: virtual key; mouse: flags
  uint32_t b;      // key: scan code; mouse: unused
  uint32_t flags;  // key: flags
  int32_t dx, dy;  // mouse distances

  static InputEvent Key(uint8_t vk, uint8_t scan, uint32_t flags) {
    return {kKey, vk, scan, flags, 0, 0};
  }
  static InputEvent Mouse(uint32_t flags, int32_t dx, int32_t dy) {
    return {kMouse, flags, 0, 0, dx, dy};
  }
  bool operator==(const InputEvent&) const = default;
};

std::string Describe(const InputEvent& e);
std::string Describe(const std::vector<InputEvent>& events);

class RecordingInput : public IInputSink {
 public:
  void Send(const InputBatch& batch) override {
    for (const SyntheticEvent& e : batch) {
      if (e.mouse) {
        events.push_back(InputEvent::Mouse(e.flags, e.dx, e.dy));
        continue;
      }
      events.push_back(InputEvent::Key(e.vk, e.scan, e.flags));
      if (e.vk == kVkNumLock && (e.flags & kKeyUp) == 0) numLock = !numLock;
    }
    batches.push_back(batch.Size());
  }
  bool IsNumLockOn() override { return numLock; }

  std::vector<InputEvent> events;
  std::vector<int> batches;  // the size of each Send, in order
  bool numLock = false;
};

// Shorthands for expected sequences.
inline InputEvent Down(uint8_t vk) {
  return InputEvent::Key(vk, 0, 0);
}
inline InputEvent Up(uint8_t vk) {
  return InputEvent::Key(vk, 0, kKeyUp);
}
inline InputEvent NumLockDown() {
  return InputEvent::Key(kVkNumLock, kNumLockScan, kKeyExtended);
}
inline InputEvent NumLockUp() {
  return InputEvent::Key(kVkNumLock, kNumLockScan, kKeyExtended | kKeyUp);
}

}  // namespace k7::test
