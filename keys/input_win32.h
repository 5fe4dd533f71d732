// Input synthesis on the real system: keybd_event, mouse_event, GetKeyState.
#pragma once

#include "keys/input.h"

namespace k7 {

class Win32Input : public IInputSink {
 public:
  void KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) override;
  bool IsNumLockOn() override;
  void MouseEvent(uint32_t flags, int32_t dx, int32_t dy) override;
};

}  // namespace k7
