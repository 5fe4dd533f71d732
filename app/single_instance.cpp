#include "app/single_instance.h"

#include <cstring>

#include "base/text.h"

namespace k7 {

bool IsRunningCopyWindow(const char* windowClass, const char* exeFileName) {
  // The bare file name: a path is not split here, where a double-byte
  // character's second byte could pass for a backslash.
  return std::strcmp(windowClass, "#32770") == 0 &&
         (EqualsNoCase(exeFileName, "K7F3.exe") || EqualsNoCase(exeFileName, "K7F3-sim.exe"));
}

}  // namespace k7
