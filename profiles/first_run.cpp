#include "profiles/first_run.h"

#include "profiles/default_profiles.h"
#include "profiles/ini_paths.h"

namespace k7 {

void LoadProfilesAtStartup(IIniStore& ini, IProfileList& settingsBox, IRegistry& registry) {
  g_nMark = ini.GetInt("Default", "Mark", 0, g_szCtrlIniPath);
  g_szProgramFilesDir[0] = '\0';
  registry.ReadProgramFilesDir(g_szProgramFilesDir, sizeof g_szProgramFilesDir);
  g_szProgramFilesDir[sizeof g_szProgramFilesDir - 1] = '\0';

  if (g_nMark == 0) RewriteDeliveredPaths(ini, g_szUserDefIniPath, g_szProgramFilesDir);
  RefreshProfileList(ini, settingsBox, g_szUserDefIniPath);
  if (g_nMark != 0) return;

  ini.WriteString("Default", "Mark", "1", g_szCtrlIniPath);
  g_nMark = 1;
  WriteDefaultProfiles(ini);
  RefreshProfileList(ini, settingsBox, g_szUserDefIniPath);
}

}  // namespace k7
