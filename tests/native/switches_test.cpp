#include "app/switches.h"

#include <gtest/gtest.h>

#include "app/tray_menu.h"

namespace k7 {
namespace {

TEST(Switches, CommandLinesNameOneSwitchOrNone) {
  struct Row {
    const char* line;
    Switch expected;
  } const rows[] = {
      {"", Switch::kNone},
      {nullptr, Switch::kNone},
      {"   ", Switch::kNone},
      {"notes.txt", Switch::kNone},  // words that are no switch were always ignored
      {"/exit", Switch::kExit},
      {"  /EXIT\t", Switch::kExit},
      {"-Reload", Switch::kReload},
      {"\"/disable\"", Switch::kDisable},
      {"/enable", Switch::kEnable},
      {"/events", Switch::kEvents},
      {"-status", Switch::kStatus},
      {"/?", Switch::kHelp},
      {"-?", Switch::kHelp},
      {"/exits", Switch::kUnknown},
      {"/", Switch::kUnknown},
      {"/ exit", Switch::kUnknown},
      {"/exit /reload", Switch::kUnknown},
      {"notes.txt /exit", Switch::kUnknown},
      {"\"/exit /reload\"", Switch::kUnknown},
      {"/\xB3\x5C", Switch::kUnknown},  // a Big5 character, ending in a backslash byte
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ParseSwitch(row.line), row.expected) << (row.line ? row.line : "(null)");
  }
}

// The running copy: what it carries out, when, and what it replies.
TEST(Switches, TheRunningCopyAnswersWithTheTrayCommandOrItsState) {
  struct Row {
    Switch request;
    bool started, disabled, connected;
    intptr_t reply;
    int command;
    bool posted;
  } const rows[] = {
      {Switch::kReload, true, false, true, kSwitchAnswer, ID_TRAY_RELOAD, false},
      {Switch::kDisable, true, false, true, kSwitchAnswer, ID_TRAY_DISABLE, false},
      {Switch::kEnable, true, true, false, kSwitchAnswer, ID_TRAY_ENABLE, false},
      {Switch::kExit, true, false, true, kSwitchAnswer, ID_TRAY_EXIT, true},
      {Switch::kEvents, true, false, true, kSwitchAnswer, ID_TRAY_EVENTS, true},
      {Switch::kStatus, true, false, true, kSwitchAnswer + 0, 0, false},
      {Switch::kStatus, true, true, true, kSwitchAnswer + 3, 0, false},
      {Switch::kStatus, true, true, false, kSwitchAnswer + 3, 0, false},
      {Switch::kStatus, true, false, false, kSwitchAnswer + 4, 0, false},
      {Switch::kExit, false, false, false, kSwitchBusy, 0, false},
      {Switch::kHelp, true, false, true, 0, 0, false},  // nothing the copy is asked
  };
  for (const Row& row : rows) {
    const SwitchAnswer a =
        AnswerSwitch(SwitchRequest(row.request), row.started, row.disabled, row.connected);
    EXPECT_EQ(a.reply, row.reply) << static_cast<int>(row.request);
    EXPECT_EQ(a.command, row.command) << static_cast<int>(row.request);
    EXPECT_EQ(a.posted, row.posted) << static_cast<int>(row.request);
  }
  EXPECT_EQ(AnswerSwitch(ID_TRAY_OPEN, true, false, true).command, 0);
}

TEST(Switches, WhatTheStartSawGivesItsExitCode) {
  using C = CopySeen;
  constexpr intptr_t kDone = kSwitchAnswer;
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
      {Switch::kReload, {C::kFound, true, 0, kDone}, 0},
      {Switch::kEvents, {C::kFound, true, 0, kDone}, 0},
      {Switch::kStatus, {C::kFound, true, 0, kDone + 3}, 3},
      {Switch::kStatus, {C::kFound, true, 0, kDone + 4}, 4},
      {Switch::kReload, {C::kFound, true, 0, kDone + 3}, 5},  // not a command's answer
      {Switch::kReload, {C::kFound, true, 0, 0}, 5},          // a build without switches
      {Switch::kExit, {C::kFound, true, 0, kDone, true}, 0},
      {Switch::kExit, {C::kFound, true, 0, kDone, false}, 6},         // took it, did not end
      {Switch::kDisable, {C::kFound, false, kErrorAccessDenied}, 5},  // the system refused the send
      {Switch::kDisable, {C::kFound, false, kErrorTimeout}, 6},
      {Switch::kDisable, {C::kFound, false, 0}, 6},
      {Switch::kDisable, {C::kFound, false, kErrorInvalidWindow}, 1},  // it ended meanwhile
  };
  for (const Row& row : rows) {
    EXPECT_EQ(SwitchExitCodeFor(row.s, row.d), row.code)
        << static_cast<int>(row.s) << " seen " << static_cast<int>(row.d.copy) << " error "
        << row.d.sendError << " reply " << row.d.reply - kSwitchAnswer;
  }
}

}  // namespace
}  // namespace k7
