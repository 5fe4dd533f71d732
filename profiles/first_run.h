// Start-up's part of the profile store: the first-run marker, the
// "ProgramFilesDir" value, the profile list, and on the first run the
// built-in profiles.
#pragma once

#include <cstdint>
#include <string>

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
// g_szProgramFilesDir. On a first run (Mark 0) writes Mark=1 and, only once
// that is written, rewrites the delivered paths, sets g_nMark to 1 and writes
// the built-in profiles. Then fills the settings box. Returns the file a write
// failed on (empty when none did): the control file with g_nMark still 0 when
// the first-run marker could not be written, so nothing else was written and
// the next start is a first run again. *error, when given, receives the
// system's reason for it.
std::string LoadProfilesAtStartup(IIniStore& ini, IProfileList& settingsBox, IRegistry& registry,
                                  uint32_t* error = nullptr);

}  // namespace k7
