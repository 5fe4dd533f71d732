// The seam through which the dispatcher starts the programs of the launch
// buttons.
#pragma once

namespace k7 {

class ILauncher {
 public:
  virtual ~ILauncher() = default;
  // Find-first test on the exact path: a directory, or a wildcard pattern
  // that matches something, counts as present. An empty path never does.
  virtual bool PathExists(const char* path) = 0;
  // Starts the program in its own folder; false when it did not start (a
  // shortcut, a document, a folder, no access).
  virtual bool Start(const char* path) = 0;
};

}  // namespace k7
