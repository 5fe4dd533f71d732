// Start-up's part of the profile store: the first-run marker, the
// "ProgramFilesDir" value, the profile list, and on the first run the
// built-in profiles.
#pragma once

#include <cstdint>

#include "profiles/ini_store.h"
#include "profiles/profile_store.h"

namespace k7 {

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // "ProgramFilesDir" of HKLM\Software\Microsoft\Windows\CurrentVersion into
  // out (terminated, cut to size); empty when it cannot be read.
  virtual void ReadProgramFilesDir(char* out, uint32_t size) = 0;
};

// Reads "Default"/"Mark" into g_nMark and the registry value into
// g_szProgramFilesDir, fills the settings box (rewriting the delivered paths
// when Mark is 0), and on a first run writes Mark=1 and the built-in profiles
// and fills the box again. The reader's copy of the list follows the box.
void LoadProfilesAtStartup(IIniStore& ini, IProfileList& settingsBox, IRegistry& registry);

}  // namespace k7
