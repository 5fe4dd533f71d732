// Launch buttons: the control file names the application, the user file its
// path, and Win32Launcher starts it.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "win_test.h"

namespace k7::wintest {
namespace {

constexpr int kDvdButton = 0x55;
constexpr char kLaunchedLog[] = "launched.log";

class Launch : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    scratch_.CopyHelper(harness::HelperExe::kLaunchTarget, "launch_target.exe");
    scratch_.WriteIni(kCtrlIni, "DVD", "APName", "Target");
  }

  void SetFilePath(const std::string& path) {
    scratch_.WriteIni(kUserDefIni, "Target", "FilePath", path.c_str());
  }
};

TEST_F(Launch, DvdButtonStartsTheProgramOnce) {
  SetFilePath(scratch_.File("launch_target.exe"));
  DispatchRemoteButton(platform_, kDvdButton, kMarker, 0);
  EXPECT_STREQ(g_szOsdText, "Target");

  ASSERT_TRUE(harness::WaitUntil([&] { return !scratch_.ReadLines(kLaunchedLog).empty(); }))
      << "the program did not start";
  // A second start would show up within this grace period.
  Sleep(300);
  const std::vector<std::string> lines = scratch_.ReadLines(kLaunchedLog);
  ASSERT_EQ(lines.size(), 1u);
  const unsigned long pid = std::strtoul(lines[0].c_str(), nullptr, 10);
  EXPECT_NE(pid, 0ul);
  EXPECT_NE(pid, GetCurrentProcessId());
}

TEST_F(Launch, MissingFileIsReportedAndNothingStarts) {
  SetFilePath(scratch_.File("missing.exe"));
  DispatchRemoteButton(platform_, kDvdButton, kMarker, 0);
  EXPECT_STREQ(g_szOsdText, "File path error");
  Sleep(300);
  EXPECT_FALSE(scratch_.Exists(kLaunchedLog));
}

}  // namespace
}  // namespace k7::wintest
