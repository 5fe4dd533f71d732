// Fakes of the launcher and the foreground match for dispatcher tests.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "dispatch/dispatch.h"
#include "dispatch/profile_hotkeys.h"

namespace k7::test {

class FakeLauncher : public ILauncher {
 public:
  bool PathExists(const char* path) override {
    probed.push_back(path);
    return existing.count(path) != 0;
  }
  bool Start(const char* path) override {
    started.push_back(path);
    return refused.count(path) == 0;
  }

  std::set<std::string> existing;
  std::set<std::string> refused;  // present, but the start fails
  std::vector<std::string> probed;
  std::vector<std::string> started;
};

// Stands in for the foreground match: "matches" the profile it is told to,
// loading its hotkeys from the given store as the real match does.
class FakeMatcher : public IProfileMatcher {
 public:
  explicit FakeMatcher(IIniStrings& ini) : ini_(ini) {}
  bool MatchForegroundProfile(char (&name)[kNameLen], CHotkeyTable& hotkeys) override {
    ++calls;
    if (profile.empty()) return false;
    CopyBounded(name, profile.c_str());
    LoadHotkeyTable(hotkeys, ini_, name, hotkeyFile.c_str(), captionFile.c_str(), kSlotCount);
    return true;
  }
  std::string ElevatedForeground() override { return elevated; }
  const char* ForegroundProgram() const override { return program.c_str(); }
  bool MatchedCatchAll() const override { return catchAll; }

  std::string profile;    // empty: nothing matches
  std::string elevated;   // the executable in front when it runs elevated
  std::string program;    // the executable in front
  bool catchAll = false;  // the profile is the one marked for all other programs
  std::string hotkeyFile, captionFile;
  int calls = 0;

 private:
  IIniStrings& ini_;
};

}  // namespace k7::test
