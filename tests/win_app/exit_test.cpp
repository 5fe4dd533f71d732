// Every way the program is told to end ends it, cleanly. (How fast: the
// timing benchmark; here a generous bound, so that a loaded machine passes.)
#include <windows.h>

#include <atomic>
#include <exception>
#include <thread>

#include "app_test.h"

namespace k7::apptest {
namespace {

class ProgramExit : public AppTest {
 protected:
  void ExpectEnds(UINT msg, WPARAM wp) {
    harness::Program& program = StartConnected();
    EXPECT_TRUE(program.Send(msg, wp, 0)) << "the main window did not answer";
    DWORD exitCode = 1;
    ASSERT_TRUE(program.WaitForExit(harness::kWaitMs, &exitCode)) << "still running 5 s later";
    // A return from the program, not a crash.
    EXPECT_EQ(exitCode, 0u);
    // Its reader let go of the receiver.
    EXPECT_TRUE(harness::WaitUntil(
        [&] { return sim_->Send("wait-client 0") == "error: no client within 0 ms"; }));
  }
};

TEST_F(ProgramExit, EndSessionEndsIt) {
  ExpectEnds(WM_ENDSESSION, TRUE);
}

// Whether or not the system says the session really ends.
TEST_F(ProgramExit, EndSessionThatMayNotEndStillEndsIt) {
  ExpectEnds(WM_ENDSESSION, FALSE);
}

TEST_F(ProgramExit, TrayExitEndsIt) {
  ExpectEnds(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(harness::TrayCommand::kExit), 0));
}

TEST_F(ProgramExit, CloseBoxEndsIt) {
  ExpectEnds(WM_SYSCOMMAND, SC_CLOSE);
}

// Reports queued faster than they are handled must not hold the reader, and
// so the exit, off.
TEST_F(ProgramExit, TrayExitWhileAButtonIsHeldEndsIt) {
  harness::Program& program = StartConnected();
  Front("WinDVD.exe");
  std::atomic<bool> stop{false};
  std::thread holder([&] {
    try {
      while (!stop) sim_->Press(kCodePageDown, 1);
    } catch (const std::exception&) {
      // The simulator stopped answering: the checks below tell the story.
    }
  });
  // Let the queue fill up.
  Sleep(500);
  EXPECT_TRUE(program.Command(harness::TrayCommand::kExit)) << "Exit did not return";
  const bool ended = program.WaitForExit(harness::kWaitMs);
  stop = true;
  holder.join();
  EXPECT_TRUE(ended) << "still running 5 s later";
}

}  // namespace
}  // namespace k7::apptest
