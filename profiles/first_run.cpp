#include "profiles/first_run.h"

#include "profiles/default_profiles.h"
#include "profiles/ini_paths.h"

namespace k7 {

std::string LoadProfilesAtStartup(IIniStore& ini, IProfileList& settingsBox, IRegistry& registry,
                                  uint32_t* error) {
  g_nMark = ini.GetInt("Default", "Mark", 0, g_szCtrlIniPath);
  g_szProgramFilesDir[0] = '\0';
  registry.ReadProgramFilesDir(g_szProgramFilesDir, sizeof g_szProgramFilesDir);
  g_szProgramFilesDir[sizeof g_szProgramFilesDir - 1] = '\0';

  std::string failed;
  uint32_t failedError = 0;
  // A first run that cannot be recorded would come back at every start and
  // write the built-in profiles over the user's edits each time: the marker
  // goes first, and nothing else is written without it.
  if (g_nMark == 0) {
    if (ini.WriteString("Default", "Mark", "1", g_szCtrlIniPath)) {
      g_nMark = 1;
      CheckedWrites writes(ini);
      RewriteDeliveredPaths(writes, g_szUserDefIniPath, g_szProgramFilesDir);
      WriteDefaultProfiles(writes);
      failed = writes.FailedFile();
      failedError = writes.LastWriteError();
    } else {
      failed = g_szCtrlIniPath;
      failedError = ini.LastWriteError();
    }
  }
  if (error != nullptr) *error = failedError;
  RefreshProfileList(ini, settingsBox, g_szUserDefIniPath);
  return failed;
}

}  // namespace k7
