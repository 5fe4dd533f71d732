#include "dispatch/foreground_match.h"

#include "app/text.h"
#include "profiles/ini_paths.h"

namespace k7 {

std::string BaseName(const std::string& exeName) {
  const size_t slash = exeName.rfind('\\');
  return slash == std::string::npos ? exeName : exeName.substr(slash + 1);
}

void ForegroundProfileMatcher::MatchForegroundProfile() {
  const std::string base = BaseName(foreground_.ForegroundExeName());
  const auto names = names_.Snapshot();
  for (const std::string& name : *names) {
    // Whole values on both sides: a long name is never cut into a match.
    const std::string exeFile = ReadWholeString(ini_, name.c_str(), "ExeFile", g_szUserDefIniPath);
    if (!EqualsNoCase(exeFile.c_str(), base.c_str())) continue;
    CopyBounded(g_szCurProfile, name.c_str());
    g_HotkeyTable.LoadHotkeys(ini_, g_szCurProfile, g_szUserDefIniPath, kSlotCount);
    g_bNoProfile = false;
    return;
  }
  g_bNoProfile = true;
}

void ForegroundProfileMatcher::CompleteMatchedProfile() {
  if (g_bNoProfile.load()) return;
  g_HotkeyTable.LoadDescriptions(ini_, g_szCurProfile, g_szUserDefInfIniPath, kSlotCount);
}

}  // namespace k7
