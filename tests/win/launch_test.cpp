// Launch buttons: the control file names the application, the user file its
// path, and Win32Launcher starts it.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "base/text.h"
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
  EXPECT_STREQ(dispatcher_.DispatchRemoteButton(kDvdButton, kMarker, 0).caption.text, "Target");

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
  EXPECT_STREQ(dispatcher_.DispatchRemoteButton(kDvdButton, kMarker, 0).caption.text,
               "File path error");
  Sleep(300);
  EXPECT_FALSE(scratch_.Exists(kLaunchedLog));
}

TEST_F(Launch, TheProgramGetsItsQuotedPathAndItsOwnFolder) {
  // A folder with a blank, as under "C:\Program Files": without the quotes
  // Windows would hand the program "C:\...\My" and "Player\..." as two words.
  const std::string folder = scratch_.File("My Player");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string exe =
      scratch_.CopyHelper(harness::HelperExe::kLaunchTarget, "My Player\\launch_target.exe");
  SetFilePath(exe);
  EXPECT_STREQ(dispatcher_.DispatchRemoteButton(kDvdButton, kMarker, 0).caption.text, "Target");
  ASSERT_TRUE(harness::WaitUntil([&] {
    return !scratch_.ReadLines("My Player\\launched.log").empty();
  })) << "the program did not start";
  EXPECT_EQ(scratch_.ReadLines("My Player\\launch-args.log"),
            (std::vector<std::string>{"\"" + exe + "\"", folder}));
}

TEST_F(Launch, WhatIsThereButCannotBeStartedSaysFilePathError) {
  // Each passes the presence check and fails to start.
  ASSERT_TRUE(CreateDirectoryA(scratch_.File("folder").c_str(), nullptr));
  scratch_.WriteIni("notes.txt", "Notes", "Text", "not a program");
  scratch_.WriteIni("player.lnk", "Shortcut", "Target", "not a program either");
  for (const char* name : {"folder", "notes.txt", "player.lnk"}) {
    SCOPED_TRACE(name);
    SetFilePath(scratch_.File(name));
    Dispatcher fresh(platform_, DispatchStart{false, 0, "previous"});
    EXPECT_STREQ(fresh.DispatchRemoteButton(kDvdButton, kMarker, 0).caption.text,
                 "File path error");
  }
}

}  // namespace
}  // namespace k7::wintest
