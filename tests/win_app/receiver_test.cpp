// The receiver's connection as the user drives it: the tray's Disable, Enable
// and Reload, pulling the receiver out and plugging it back in, and Reloads
// while reports stream in.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <exception>
#include <thread>

#include "app_test.h"

namespace k7::apptest {
namespace {

using harness::TargetLogEntry;
using harness::TrayCommand;

class ProgramReceiver : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StartConnected();
    player_ = &Front("WinDVD.exe");
  }

  // Presses a slot code and expects exactly its two keys on top of what the
  // program had injected before.
  void ExpectPageDownArrives(const char* when) {
    const size_t before = InjectedKeys().size();
    Press(kCodePageDown);
    ASSERT_TRUE(WaitForKeys(before + 2)) << "no keys " << when;
    ASSERT_TRUE(recorder_->Flush());
    const std::vector<Key> keys = InjectedKeys();
    ASSERT_EQ(keys.size(), before + 2) << when;
    EXPECT_EQ(keys[before], Down(VK_NEXT)) << when;
    EXPECT_EQ(keys[before + 1], Up(VK_NEXT)) << when;
  }

  harness::TargetApp* player_ = nullptr;
};

TEST_F(ProgramReceiver, DisableDiscardsEveryReportAndEnableRestores) {
  ASSERT_TRUE(program_->Command(TrayCommand::kDisable));
  Press(kCodePageDown);
  Press(kCodeMouseToggle);
  Press(kCodeRight);
  // More than the pipe buffers (32 reports): each is still taken at once,
  // so the program reads them while disabled rather than leaving them.
  for (int i = 0; i < 40; ++i) Press(kCodeX);
  EXPECT_EQ(sim_->Send("wait-client 0"), "ok clients=1");
  Sleep(500);
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys(), std::vector<Key>{});
  EXPECT_TRUE(InjectedMice().empty());

  ASSERT_TRUE(program_->Command(TrayCommand::kEnable));
  ASSERT_TRUE(WaitConnected());
  // The mouse-mode toggle was discarded too: this is still a hotkey slot.
  Press(kCodeRight);
  ASSERT_TRUE(WaitForKeys(2));
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys(), (std::vector<Key>{Down(VK_RIGHT), Up(VK_RIGHT)}));
  EXPECT_TRUE(InjectedMice().empty());
}

TEST_F(ProgramReceiver, MessagesOfNoReportLengthAreSkippedAndTheConnectionKept) {
  // Each carries a press of Page Down in its first bytes: none may act.
  for (const char* message : {"message 0", "message 0 2 0x7F", "message 0 2 0x7F 0 0 0 0 0 0",
                              "message 0 2 0x7F 0 0 0 0 0 0 0 0 0 0 0 0 0"}) {
    EXPECT_EQ(sim_->Send(message), "ok sent=1") << message;
  }
  ExpectPageDownArrives("after messages of other lengths");
  EXPECT_EQ(sim_->Send("wait-client 0"), "ok clients=1");
}

TEST_F(ProgramReceiver, ReloadWhileDisabledEnablesAgain) {
  ASSERT_TRUE(program_->Command(TrayCommand::kDisable));
  Press(kCodePageDown);
  Sleep(300);
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys(), std::vector<Key>{});

  ASSERT_TRUE(program_->Command(TrayCommand::kReload));
  EXPECT_EQ(program_->Notice(), nullptr);
  ASSERT_TRUE(WaitConnected());
  ExpectPageDownArrives("after Reload");
}

TEST_F(ProgramReceiver, UnplugThenPlugReconnectsByThePollWithoutPhantomPress) {
  ExpectPageDownArrives("before the unplug");
  ASSERT_EQ(sim_->Send("unplug"), "ok");
  // Longer than a poll period, so the poll sees the receiver gone.
  Sleep(1500);
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys().size(), 2u) << "a press that nobody made, at the unplug";
  EXPECT_TRUE(program_->Running());
  EXPECT_EQ(program_->Notice(), nullptr) << "the poll is silent";

  ASSERT_EQ(sim_->Send("plug"), "ok");
  const ULONGLONG plugged = GetTickCount64();
  ASSERT_TRUE(
      harness::WaitUntil([&] { return sim_->Send("wait-client 0") == "ok clients=1"; }, 3000, 10))
      << "no reconnection within 3 s";
  EXPECT_LE(GetTickCount64() - plugged, 1500u) << "slower than the poll";
  ASSERT_TRUE(WaitConnected());
  ExpectPageDownArrives("after the plug");
}

TEST_F(ProgramReceiver, ReceiverPluggedBackWithinOnePollPeriodIsReconnectedToo) {
  ExpectPageDownArrives("before the unplug");
  // Back before the poll can have seen it missing.
  ASSERT_EQ(sim_->Send("unplug"), "ok");
  ASSERT_EQ(sim_->Send("plug"), "ok");
  const ULONGLONG plugged = GetTickCount64();
  ASSERT_TRUE(
      harness::WaitUntil([&] { return sim_->Send("wait-client 0") == "ok clients=1"; }, 3000, 10))
      << "no reconnection within 3 s";
  EXPECT_LE(GetTickCount64() - plugged, 1500u) << "slower than the poll";
  ASSERT_TRUE(WaitConnected());
  ExpectPageDownArrives("after the plug");
}

TEST_F(ProgramReceiver, ReloadsWhileReportsStreamNeverDispatchAReportTwice) {
  std::atomic<bool> stop{false};
  std::atomic<int> delivered{0};  // presses some client took
  std::atomic<bool> failed{false};
  std::thread presser([&] {
    try {
      while (!stop) {
        if (sim_->Press(kCodePageDown) >= 1) ++delivered;
        Sleep(20);
      }
    } catch (const std::exception&) {
      failed = true;
    }
  });
  for (int i = 0; i < 20; ++i) {
    EXPECT_TRUE(program_->Command(TrayCommand::kReload)) << "Reload " << i << " hung";
    Sleep(40);
  }
  stop = true;
  presser.join();
  ASSERT_FALSE(failed) << "the simulator stopped answering";
  ASSERT_TRUE(program_->Running());

  // Whatever is still queued drains; then the count holds still.
  size_t last = SIZE_MAX;
  ASSERT_TRUE(harness::WaitUntil(
      [&] {
        recorder_->Flush();
        const size_t now = InjectedKeys().size();
        const bool still = now == last;
        last = now;
        return still;
      },
      harness::kWaitMs, 300));
  ASSERT_TRUE(player_->WaitForKeyLog(last)) << "the player missed keys the hooks saw";
  size_t downs = 0;
  size_t ups = 0;
  for (const TargetLogEntry& e : player_->KeyLog()) {
    EXPECT_EQ(e.vk, static_cast<unsigned>(VK_NEXT)) << e;
    downs += e.message == WM_KEYDOWN;
    ups += e.message == WM_KEYUP;
  }
  EXPECT_GT(downs, 0u) << "nothing came through at all";
  EXPECT_LE(downs, static_cast<size_t>(delivered.load())) << "more key presses than reports";
  EXPECT_EQ(downs, ups);
  EXPECT_EQ(InjectedKeys().size(), downs + ups);

  ASSERT_TRUE(WaitConnected());
  ExpectPageDownArrives("after the Reloads");
}

}  // namespace
}  // namespace k7::apptest
