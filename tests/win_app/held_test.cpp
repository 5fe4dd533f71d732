// Held buttons through the running program, with the receiver repeating a
// held button every 100 ms: a button with a hold action sends its ordinary
// key once after a tap and its hold action once when held; a launch button
// held starts its program once.
#include <string>
#include <vector>

#include "app_test.h"

namespace k7::apptest {
namespace {

constexpr unsigned kCodeLaunchDvd = 0x55;

class ProgramHeldButtons : public AppTest {
 protected:
  // The button's first report, then `repeats` repeats 100 ms apart.
  void Hold(unsigned code, int repeats) {
    Press(code);
    for (int i = 0; i < repeats; ++i) {
      ASSERT_EQ(sim_->Send("sleep 100"), "ok");
      Press(code, 1);
    }
  }
};

TEST_F(ProgramHeldButtons, ATapAHoldAndAHeldLaunchEachActOnce) {
  StartSim();
  harness::Program& program = MakeProgram();
  for (const char* name : harness::kProgramIniFiles) {
    program.CopyIniIn(std::string(K7_TEST_DATA_DIR "/first_run/") + name, name);
  }
  // Slot 1 ("0-X") of the built-in WinDVD profile gets a hold action. A long
  // release time: a loaded machine must not end a press between repeats.
  const auto write = [&](const char* file, const char* section, const char* key, const char* v) {
    ASSERT_TRUE(WritePrivateProfileStringA(section, key, v, program.IniPath(file).c_str()));
  };
  write("UserDef.ini", "WinDVD", "Hold1", "0-Y");
  write("UserDefInf.ini", "WinDVD", "Hold1", "Close");
  write("QVCtrl.ini", "Default", "HoldMs", "400");
  write("QVCtrl.ini", "Default", "ReleaseMs", "1000");
  const std::string launcher = scratch_.CopyHelper(harness::HelperExe::kLaunchTarget, "dvd.exe");
  write("UserDef.ini", "WinDVD", "FilePath", launcher.c_str());
  program.Start();
  ASSERT_TRUE(program.WaitReady());
  ASSERT_TRUE(WaitConnected());
  Front("WinDVD.exe");

  Hold(kCodeX, 0);
  ASSERT_TRUE(WaitForKeys(2)) << "no tap once the button was let go";
  Hold(kCodeX, 12);
  Hold(kCodeLaunchDvd, 5);
  ASSERT_TRUE(harness::WaitUntil([&] { return !scratch_.ReadLines("launched.log").empty(); }));
  // Once its keys are in, every report before it has been handled.
  Press(kCodePageDown);
  ASSERT_TRUE(WaitForKeys(6));
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys(),
            (std::vector<Key>{Down('X'), Up('X'), Down('Y'), Up('Y'), Down(VK_NEXT), Up(VK_NEXT)}));
  // A second start would have logged itself by now.
  EXPECT_FALSE(
      harness::WaitUntil([&] { return scratch_.ReadLines("launched.log").size() > 1; }, 1500));
}

}  // namespace
}  // namespace k7::apptest
