// What a press of the remote does once it reaches the running program: the
// foreground application's hotkeys, nothing for an application without a
// profile unless one is marked for all other programs, and the pointer in
// mouse mode.
#include <windows.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "app_test.h"

namespace k7::apptest {
namespace {

using harness::HookEvent;
using harness::TargetLogEntry;

class ProgramInput : public AppTest {};

TEST_F(ProgramInput, VolumeAndMediaKeysGoOutExtendedWithTheirScanCodes) {
  StartSim();
  harness::Program& program = MakeProgram();
  for (const char* name : harness::kProgramIniFiles) {
    program.CopyIniIn(std::string(K7_TEST_DATA_DIR "/first_run/") + name, name);
  }
  const std::string ini = program.IniPath("UserDef.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("WinDVD", "28", "0-VOLUP", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("WinDVD", "1", "0-PLAYPAUSE", ini.c_str()));
  program.Start();
  ASSERT_TRUE(program.WaitReady());
  ASSERT_TRUE(WaitConnected());
  Front("WinDVD.exe");
  Press(kCodePageDown);
  Press(kCodeX);
  ASSERT_TRUE(WaitForKeys(4));
  ASSERT_TRUE(recorder_->Flush());

  const std::vector<std::string> expected = {"AF down 30 ext", "AF up 30 ext", "B3 down 22 ext",
                                             "B3 up 22 ext"};
  std::vector<std::string> seen;
  for (const HookEvent& e : recorder_->Keys()) {
    if (!e.Injected() || e.extraInfo == harness::kHarnessExtraInfo) continue;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02lX %s %02lX%s", e.vkCode, e.KeyUp() ? "up" : "down",
                  e.scanCode, e.Extended() ? " ext" : "");
    seen.push_back(buf);
  }
  EXPECT_EQ(seen, expected);
}

TEST_F(ProgramInput, ProfiledApplicationInFrontGetsItsHotkeys) {
  StartConnected();
  harness::TargetApp& player = Front("WinDVD.exe");
  Press(kCodePageDown);
  Press(kCodeX);

  ASSERT_TRUE(player.WaitForKeyLog(4));
  const std::vector<TargetLogEntry> expected = {
      {WM_KEYDOWN, VK_NEXT}, {WM_KEYUP, VK_NEXT}, {WM_KEYDOWN, 'X'}, {WM_KEYUP, 'X'}};
  EXPECT_EQ(player.KeyLog(), expected);
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys(), (std::vector<Key>{Down(VK_NEXT), Up(VK_NEXT), Down('X'), Up('X')}));
}

TEST_F(ProgramInput, ApplicationWithoutProfileGetsNothing) {
  StartConnected();
  harness::TargetApp& other = Front("other.exe");
  Press(kCodePageDown);
  Press(kCodeX);
  // Handled long before the foreground moves on.
  Sleep(500);

  // A press for the player afterwards: once its keys are in, every report
  // before it has been handled.
  harness::TargetApp player(scratch_, "WinDVD.exe");
  ASSERT_TRUE(player.RequestForeground());
  Press(kCodePageDown);
  ASSERT_TRUE(player.WaitForKeyLog(2));
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys(), (std::vector<Key>{Down(VK_NEXT), Up(VK_NEXT)}));
  EXPECT_EQ(other.KeyLog(), std::vector<TargetLogEntry>{});
}

// A program no profile names gets nothing, as long as no profile is marked for
// all other programs; once one is, it gets that profile's hotkeys.
TEST_F(ProgramInput, ApplicationWithoutProfileGetsTheMarkedProfilesHotkeys) {
  harness::Program& program = StartConnected();
  harness::TargetApp& other = Front("other.exe");
  SetCursorPos(300, 400);
  Press(kCodeX);
  // A pointer move in mouse mode needs no profile: once it is in, the press
  // before it has been handled.
  Press(kCodeMouseToggle);
  Press(kCodeRight);
  ASSERT_TRUE(harness::WaitUntil([&] { return !InjectedMice().empty(); }));
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys(), std::vector<Key>{});

  const std::string ini = program.IniPath("UserDef.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("WinDVD", "AllOtherPrograms", "1", ini.c_str()));
  Press(kCodeX);
  ASSERT_TRUE(other.WaitForKeyLog(2));
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys(), (std::vector<Key>{Down('X'), Up('X')}));
  EXPECT_EQ(other.KeyLog(), (std::vector<TargetLogEntry>{{WM_KEYDOWN, 'X'}, {WM_KEYUP, 'X'}}));
}

class ProgramMouseMode : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StartConnected();
    // Away from every edge, where moves would be cut short.
    SetCursorPos(300, 400);
    ASSERT_TRUE(recorder_->Flush());
    recorder_->Clear();
    start_ = recorder_->CursorAtLastFlush();
    Press(kCodeMouseToggle);
  }

  size_t InjectedMoves() {
    size_t n = 0;
    for (const HookEvent& e : InjectedMice()) n += e.message == WM_MOUSEMOVE;
    return n;
  }
  bool WaitForMoves(size_t n) {
    return harness::WaitUntil([&] { return InjectedMoves() >= n; });
  }

  // Each injected move, measured from the hooked position before it (any
  // event: Wine may slip in a move of its own).
  std::vector<POINT> Steps() {
    std::vector<POINT> steps;
    POINT from = start_;
    for (const HookEvent& e : recorder_->Mice()) {
      if (e.Injected() && e.message == WM_MOUSEMOVE) {
        steps.push_back({e.pt.x - from.x, e.pt.y - from.y});
      }
      from = e.pt;
    }
    return steps;
  }

  // With it on, a move of 8 goes 16 under Wine.
  harness::MouseAccelerationOff noAcceleration_;
  POINT start_{};
};

TEST_F(ProgramMouseMode, StepGrowsWhilePressesFollowAndFallsBackAfterAPause) {
  for (int i = 0; i < 4; ++i) Press(kCodeRight);
  ASSERT_TRUE(WaitForMoves(4));
  // Well inside the 300 ms: the step keeps growing.
  Sleep(100);
  Press(kCodeRight);
  ASSERT_TRUE(WaitForMoves(5));
  // Well past it: the step starts again.
  Sleep(700);
  Press(kCodeRight);
  Press(kCodeRight);
  ASSERT_TRUE(WaitForMoves(7));
  ASSERT_TRUE(recorder_->Flush());

  const std::vector<POINT> steps = Steps();
  const int expected[] = {2, 8, 14, 20, 26, 2, 8};
  ASSERT_EQ(steps.size(), std::size(expected));
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].x, expected[i]) << "move " << i;
    EXPECT_EQ(steps[i].y, 0) << "move " << i;
  }
  EXPECT_EQ(InjectedKeys(), std::vector<Key>{}) << "a hotkey slot acted in mouse mode";
}

TEST_F(ProgramMouseMode, ClickIsButtonDownThenUpInPlace) {
  Press(kCodeClick);
  ASSERT_TRUE(harness::WaitUntil([&] { return InjectedMice().size() >= 2; }));
  ASSERT_TRUE(recorder_->Flush());
  const std::vector<HookEvent> mice = InjectedMice();
  ASSERT_EQ(mice.size(), 2u);
  EXPECT_EQ(mice[0].message, static_cast<UINT>(WM_LBUTTONDOWN)) << mice[0];
  EXPECT_EQ(mice[1].message, static_cast<UINT>(WM_LBUTTONUP)) << mice[1];
  for (const HookEvent& e : mice) {
    EXPECT_EQ(e.pt.x, start_.x) << e;
    EXPECT_EQ(e.pt.y, start_.y) << e;
  }
  EXPECT_EQ(InjectedKeys(), std::vector<Key>{});
}

}  // namespace
}  // namespace k7::apptest
