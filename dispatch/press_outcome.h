// What one press did, as plain data: the dispatcher fills it in as it acts,
// and the events window and the log turn it into a line later, on another
// thread, so the press itself formats nothing.
#pragma once

#include <cstdint>

#include "keys/hotkey_notation.h"

namespace k7 {

constexpr int kOutcomeNameLen = 100;  // a profile or executable name
constexpr int kOutcomePathLen = 260;  // a launch's program

// Which profile the press used.
enum class ProfileUse : uint8_t {
  kNotLooked,  // the report stopped before the foreground was looked at
  kNone,       // no profile names the program in front, none is marked
  kNamed,      // the profile whose "ExeFile" names it
  kCatchAll,   // the profile marked for all other programs
  kElevated,   // a profile applies, but the program in front runs elevated
};

// What the press did, or why it did nothing.
enum class PressAction : uint8_t {
  kNothing,        // the code reaches nothing
  kWrongMarker,    // byte 2 is not the receiver's marker
  kHotkey,         // a slot's hotkey went out (or an empty slot sent none)
  kNoProfile,      // a slot's code, but no profile applies
  kRepeatIgnored,  // a repeat of a code that acts only on its first report
  kInputRefused,   // the program in front would drop the input
  kMouseMove,
  kMouseClick,
  kMouseToggle,
  kLight,
  kLaunch,
  kHoldPending,  // a slot with a hold action: its press's end or length decides
  kHoldAction,   // a slot's hold action went out
};

enum class LaunchResult : uint8_t {
  kNone,
  kStarted,
  kNoApplication,  // no profile chosen for the launch button
  kPathMissing,    // its program is not on the disk
  kStartFailed,    // it is there, but did not start
};

struct PressOutcome {
  ProfileUse profile = ProfileUse::kNotLooked;
  PressAction action = PressAction::kNothing;
  LaunchResult launch = LaunchResult::kNone;
  int8_t slot = -1;
  int8_t dx = 0, dy = 0;  // a move's direction
  bool mouseModeOn = false;
  int distance = 0;  // a move's length, in each direction that moves
  // The executable in front (bare file name) and the profile used.
  char program[kOutcomeNameLen] = "";
  char profileName[kOutcomeNameLen] = "";
  // The slot's hotkey in its stored notation ("0-C-N"); empty for none.
  char hotkey[kHotkeyLen] = "";
  // A launch: its category, the application chosen for it and its program.
  const char* category = nullptr;
  char application[kOutcomeNameLen] = "";
  char path[kOutcomePathLen] = "";
};

}  // namespace k7
