#include "app/switches.h"

#include <gtest/gtest.h>

#include "app/tray_menu.h"

namespace k7 {
namespace {

TEST(Switches, CommandLinesNameOneSwitchOrNone) {
  const std::pair<const char*, Switch> rows[] = {
      {"", Switch::kNone},
      {nullptr, Switch::kNone},
      {"notes.txt", Switch::kNone},  // words that are no switch were always ignored
      {"  /EXIT\t", Switch::kExit},
      {"-Reload", Switch::kReload},
      {"\"/disable\"", Switch::kDisable},
      {"/enable", Switch::kEnable},
      {"/events", Switch::kEvents},
      {"-status", Switch::kStatus},
      {"/?", Switch::kHelp},
      {"/exits", Switch::kUnknown},
      {"/", Switch::kUnknown},
      {"/exit /reload", Switch::kUnknown},
      {"notes.txt /exit", Switch::kUnknown},
      {"/\xB3\x5C", Switch::kUnknown},  // a Big5 character, ending in a backslash byte
  };
  for (const auto& [line, expected] : rows) {
    EXPECT_EQ(ParseSwitch(line), expected) << (line ? line : "(null)");
  }
}

// The running copy's answer, as the start reads it.
TEST(Switches, WhatTheStartSawGivesItsExitCode) {
  using C = CopySeen;
  constexpr intptr_t kTook = kSwitchAnswer;
  auto status = [](bool disabled, bool connected) {
    return AnswerSwitch(kStatusRequest, true, disabled, connected).reply;
  };
  struct Row {
    Switch s;
    SwitchDelivery d;
    int code;
  } const rows[] = {
      {Switch::kUnknown, {}, 2},
      {Switch::kHelp, {}, 0},
      {Switch::kReload, {C::kNone}, 1},
      {Switch::kStatus, {C::kRefused}, 5},  // its mutex refuses us: more rights
      {Switch::kStatus, {C::kSilent}, 6},
      {Switch::kEvents, {C::kFound, true, 0, kTook}, 0},
      {Switch::kStatus, {C::kFound, true, 0, status(false, true)}, 0},
      {Switch::kStatus, {C::kFound, true, 0, status(true, true)}, 3},
      {Switch::kStatus, {C::kFound, true, 0, status(true, false)}, 3},
      {Switch::kStatus, {C::kFound, true, 0, status(false, false)}, 4},
      {Switch::kReload, {C::kFound, true, 0, kTook + 3}, 5},  // not a command's answer
      {Switch::kReload, {C::kFound, true, 0, 0}, 5},          // a build without switches
      {Switch::kExit, {C::kFound, true, 0, kTook, true}, 0},
      {Switch::kExit, {C::kFound, true, 0, kTook, false}, 6},  // took it, did not end
      {Switch::kDisable, {C::kFound, false, kErrorAccessDenied}, 5},
      {Switch::kDisable, {C::kFound, false, kErrorTimeout}, 6},
      {Switch::kDisable, {C::kFound, false, kErrorInvalidWindow}, 1},  // it ended meanwhile
  };
  for (const Row& r : rows) {
    EXPECT_EQ(SwitchExitCodeFor(r.s, r.d), r.code)
        << static_cast<int>(r.s) << " seen " << static_cast<int>(r.d.copy) << " error "
        << r.d.sendError << " reply " << r.d.reply - kSwitchAnswer;
  }
  // Disable is done before the reply, so that a /status after it sees it;
  // Exit after it, as it may end the process; nothing while starting.
  EXPECT_EQ(AnswerSwitch(ID_TRAY_DISABLE, true, false, true).posted, false);
  EXPECT_EQ(AnswerSwitch(ID_TRAY_EXIT, true, false, true).posted, true);
  EXPECT_EQ(AnswerSwitch(ID_TRAY_EXIT, false, false, true).reply, kSwitchBusy);
}

}  // namespace
}  // namespace k7
