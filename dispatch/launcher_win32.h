// Starting the launch buttons' programs on the real system.
#pragma once

#include "dispatch/launcher.h"

namespace k7 {

class Win32Launcher : public ILauncher {
 public:
  bool PathExists(const char* path) override;
  bool Start(const char* path) override;
};

}  // namespace k7
