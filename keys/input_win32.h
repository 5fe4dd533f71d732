// Input synthesis on the real system: SendInput, GetKeyState.
#pragma once

#include "keys/input.h"

namespace k7 {

class Win32Input : public IInputSink {
 public:
  void Send(const InputBatch& events) override;
  bool IsNumLockOn() override;
};

}  // namespace k7
