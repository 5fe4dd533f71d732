#include "dispatch/foreground_match.h"

#include "base/text.h"
#include "dispatch/profile_hotkeys.h"
#include "profiles/ini_paths.h"
#include "profiles/profile_store.h"

namespace k7 {

std::string BaseName(const std::string& exeName) {
  return FileNameOf(exeName);
}

bool DropsInjectedInput(const TokenIntegrity& own, const TokenIntegrity& foreground) {
  if (!own.read) return false;
  return !foreground.read || foreground.level > own.level;
}

bool ForegroundProfileMatcher::MatchForegroundProfile(char (&profile)[kNameLen],
                                                      CHotkeyTable& hotkeys) {
  base_ = BaseName(foreground_.ForegroundExeName());
  elevated_ = foreground_.ForegroundElevated();
  catchAll_ = false;
  const auto take = [&](const std::string& name) {
    CopyBounded(profile, name.c_str());
    LoadHotkeys(hotkeys, files_, profile, g_szUserDefIniPath, kSlotCount);
    return true;
  };
  // The same read of the file answers the names and their keys.
  const auto names = files_.ProfileNames(g_szUserDefIniPath);
  for (const std::string& name : *names) {
    // Whole values on both sides: a long name is never cut into a match.
    const std::string exeFile =
        ReadWholeString(files_, name.c_str(), "ExeFile", g_szUserDefIniPath);
    if (EqualsNoCase(exeFile.c_str(), base_.c_str())) return take(name);
  }
  // Only a program no profile names reads the marks: the first marked one.
  for (const std::string& name : *names) {
    if (HoldsAllOtherProgramsMark(files_, name.c_str(), g_szUserDefIniPath)) {
      catchAll_ = true;
      return take(name);
    }
  }
  return false;
}

}  // namespace k7
