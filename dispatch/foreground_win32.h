// The foreground window's executable on the real system.
#pragma once

#include <cstdint>
#include <string>

#include "dispatch/foreground_match.h"

namespace k7 {

// Walks a process snapshot for the id; the snapshot's szExeFile (a bare file
// name on most systems) goes into out. False when the id is not found.
bool GetProcessExeName(uint32_t processId, char* out, uint32_t size);

class Win32ForegroundProcess : public IForegroundProcess {
 public:
  std::string ForegroundExeName() override;
};

}  // namespace k7
