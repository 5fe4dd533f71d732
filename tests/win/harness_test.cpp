// The harness's own promises that the other tests rely on without checking.
#include <windows.h>

#include <string>
#include <vector>

#include "win_test.h"

namespace k7::wintest {
namespace {

using harness::TargetApp;
using harness::TargetLogEntry;

class Harness : public WinTest {};

TEST_F(Harness, TargetTitleAndComboReadAcrossProcesses) {
  TargetApp app(scratch_, "Some Player.exe");
  EXPECT_EQ(harness::ReadWindowText(app.Window()), "Some Player.exe");
  HWND combo = GetDlgItem(app.Window(), harness::kTargetComboId);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(harness::ReadWindowText(combo), "");
  EXPECT_EQ(harness::ReadComboItem(combo, 0), harness::kTargetComboItems[0]);
  EXPECT_EQ(harness::ReadComboItem(combo, 1), harness::kTargetComboItems[1]);
  EXPECT_EQ(harness::ReadComboItem(combo, 2), std::nullopt);
}

TEST_F(Harness, ProcessEndsWithItsGuard) {
  DWORD pid = 0;
  {
    TargetApp app(scratch_, "Guarded.exe");
    pid = app.Id();
    ASSERT_TRUE(app.process().Running());
  }
  EXPECT_TRUE(harness::ProcessGone(pid));
}

TEST_F(Harness, StartedProgramExitsAndReportsItself) {
  const std::string exe = scratch_.CopyHelper(harness::HelperExe::kLaunchTarget, "Runner.exe");
  harness::Process runner = harness::Process::Start(exe, scratch_.Path());
  DWORD exitCode = 1234;
  ASSERT_TRUE(runner.WaitForExit(harness::kWaitMs, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_FALSE(runner.Running());
  EXPECT_EQ(scratch_.ReadLines("launched.log"),
            std::vector<std::string>{std::to_string(runner.Id())});
}

TEST_F(Harness, ForegroundMessageBringsTargetBack) {
  TargetApp first(scratch_, "First.exe");
  ASSERT_TRUE(first.WaitForeground());
  TargetApp second(scratch_, "Second.exe");
  ASSERT_TRUE(second.WaitForeground());
  ASSERT_TRUE(first.RequestForeground());
  EXPECT_NE(GetForegroundWindow(), second.Window());
}

TEST_F(Harness, FlushMarkersReachNoWindowAndExtraInfoReachesHooks) {
  // The cursor over the window, so that a mouse marker getting through would
  // show up as a move in its log.
  SetCursorPos(360, 280);
  TargetApp app(scratch_, "Target.exe");
  ASSERT_TRUE(app.WaitForeground());
  harness::HookRecorder recorder;

  // Keys before and after the markers bracket them in the log: the window
  // handles its input in the order it arrived.
  harness::TapKey('A');
  ASSERT_TRUE(app.WaitForKeyLog(2));
  const size_t before = app.Log().size();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(recorder.Flush());
  harness::TapKey('B');
  ASSERT_TRUE(recorder.Flush());
  ASSERT_TRUE(app.WaitForKeyLog(4));

  const std::vector<TargetLogEntry> log = app.Log();
  ASSERT_GE(log.size(), before + 2);
  const std::vector<TargetLogEntry> afterMarkers(log.begin() + before, log.begin() + before + 2);
  const std::vector<TargetLogEntry> expected = {{WM_KEYDOWN, 'B'}, {WM_KEYUP, 'B'}};
  EXPECT_EQ(afterMarkers, expected);

  // Only the four key events were recorded, each with the extra info it was
  // injected with, in time order.
  const std::vector<harness::HookEvent> events = recorder.Snapshot();
  ASSERT_EQ(events.size(), 4u);
  for (const harness::HookEvent& e : events) {
    EXPECT_EQ(e.extraInfo, harness::kHarnessExtraInfo) << e;
  }
  for (size_t i = 1; i < events.size(); ++i) EXPECT_LE(events[i - 1].qpc, events[i].qpc);
}

TEST_F(Harness, MouseAccelerationComesBack) {
  int before[3];
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETMOUSE, 0, before, 0));
  {
    harness::MouseAccelerationOff off;
    int now[3];
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETMOUSE, 0, now, 0));
    EXPECT_EQ(now[0], 0);
    EXPECT_EQ(now[1], 0);
    EXPECT_EQ(now[2], 0);
  }
  int after[3];
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETMOUSE, 0, after, 0));
  EXPECT_EQ(after[0], before[0]);
  EXPECT_EQ(after[1], before[1]);
  EXPECT_EQ(after[2], before[2]);
}

TEST_F(Harness, ScratchDirectoriesAreFreshAndGoAway) {
  std::string path;
  {
    harness::ScratchDir other("other");
    path = other.Path();
    EXPECT_NE(path, scratch_.Path());
    other.WriteIni("a.ini", "S", "k", "v");
    EXPECT_EQ(other.ReadLines("a.ini"), (std::vector<std::string>{"[S]", "k=v"}));
  }
  EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace k7::wintest
