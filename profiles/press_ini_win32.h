// Whole-file reads on the real system.
#pragma once

#include "profiles/press_ini.h"

namespace k7 {

// One CreateFile and ReadFile, sharing the file with every other reader and
// writer; a file that grows or shrinks while it is read is not read whole.
class Win32WholeFileReader : public IWholeFileReader {
 public:
  FileBytes ReadWhole(const char* file, size_t maxBytes) override;
};

}  // namespace k7
