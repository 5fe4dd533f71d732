// Registry values the program reads at start-up.
#pragma once

#include "profiles/first_run.h"

namespace k7 {

class Win32Registry : public IRegistry {
 public:
  void ReadProgramFilesDir(char* out, uint32_t size) override;
};

}  // namespace k7
