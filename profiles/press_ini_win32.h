// Whole-file reads on the real system.
#pragma once

#include "profiles/press_ini.h"

namespace k7 {

// One CreateFile and ReadFile, sharing the file with every other reader and
// writer; a file that grows or shrinks while it is read is not read whole.
// The handle is closed when the press ends, so that closing it does not delay
// the press's keys; the program's own writes close it first (see below).
class Win32WholeFileReader : public IWholeFileReader {
 public:
  ~Win32WholeFileReader() override { EndPress(); }
  FileBytes ReadWhole(const char* file, size_t maxBytes) override;
  void EndPress() override;
};

// Closes every file a reader still holds for its press, and marks a write as
// begun, so that a read in flight meanwhile is not used. The caller holds
// IniFilesLock(); the program calls it before each of its own writes, so a
// write does not meet a handle of ours held for a press (a read in flight may
// still have its file open: with every share mode).
void CloseFilesHeldForPress();

}  // namespace k7
