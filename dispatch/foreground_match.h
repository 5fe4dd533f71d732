// Which profile applies to a press: the first profile in file order whose
// "ExeFile" names the executable of the foreground window's process, or else
// the first one marked for all other programs. The profiles are those of
// "UserDef.ini" as the press reads it, so a profile added, removed or renamed
// in the file by any program counts from the next press on.
#pragma once

#include <cstdint>
#include <string>

#include "dispatch/dispatch.h"
#include "profiles/press_ini.h"

namespace k7 {

class IForegroundProcess {
 public:
  virtual ~IForegroundProcess() = default;
  // Executable of the process that owns the foreground window, as the system
  // gives it (a full path or a bare file name); empty when it cannot be found.
  virtual std::string ForegroundExeName() = 0;
  // Whether the process ForegroundExeName named last drops the input this
  // program injects: it runs with more rights.
  virtual bool ForegroundElevated() { return false; }
};

// What the token of a process said about its integrity level.
struct TokenIntegrity {
  bool read = false;   // the token could be opened and its label read
  uint32_t level = 0;  // the label's last sub-authority: 0x2000 medium, 0x3000 high
};

// Whether Windows drops input this program injects into a process it could
// open: it does when the process runs at a higher integrity level, and a
// token this program may not read belongs to such a process. With its own
// level unknown the program cannot tell, and injects as always.
bool DropsInjectedInput(const TokenIntegrity& own, const TokenIntegrity& foreground);

// The part behind the last backslash, or the whole name.
std::string BaseName(const std::string& exeName);

class ForegroundProfileMatcher : public IProfileMatcher {
 public:
  ForegroundProfileMatcher(PressIniStore& files, IForegroundProcess& foreground)
      : files_(files), foreground_(foreground) {}

  // On a match: the profile's name and the hotkeys of its slots. The slot
  // descriptions are left alone: a press reads only its own caption.
  bool MatchForegroundProfile(char (&profile)[kNameLen], CHotkeyTable& hotkeys) override;
  std::string ElevatedForeground() override { return elevated_ ? base_ : std::string(); }
  const char* ForegroundProgram() const override { return base_.c_str(); }
  bool MatchedCatchAll() const override { return catchAll_; }

 private:
  PressIniStore& files_;
  IForegroundProcess& foreground_;
  // The last match's foreground executable, and whether it runs elevated.
  std::string base_;
  bool elevated_ = false;
  bool catchAll_ = false;
};

}  // namespace k7
