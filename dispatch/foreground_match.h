// Which profile applies to a press: the first profile in list order whose
// "ExeFile" names the executable of the foreground window's process.
#pragma once

#include <cstdint>
#include <string>

#include "dispatch/dispatch.h"
#include "profiles/ini_store.h"
#include "profiles/profile_store.h"

namespace k7 {

class IForegroundProcess {
 public:
  virtual ~IForegroundProcess() = default;
  // Executable of the process that owns the foreground window, as the system
  // gives it (a full path or a bare file name); empty when it cannot be found.
  virtual std::string ForegroundExeName() = 0;
};

// The part behind the last backslash, or the whole name.
std::string BaseName(const std::string& exeName);

class ForegroundProfileMatcher : public IProfileMatcher {
 public:
  ForegroundProfileMatcher(IIniStrings& ini, IForegroundProcess& foreground,
                           const SharedProfileNames& names)
      : ini_(ini), foreground_(foreground), names_(names) {}

  // On a match: the profile's name and the hotkeys of its slots. The slot
  // descriptions are left alone: a press reads only its own caption.
  bool MatchForegroundProfile(char (&profile)[kNameLen], CHotkeyTable& hotkeys) override;

 private:
  IIniStrings& ini_;
  IForegroundProcess& foreground_;
  const SharedProfileNames& names_;
};

}  // namespace k7
