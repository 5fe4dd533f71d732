// K7F3.exe with USB receivers plugged into the virtual HID bus: which device
// it takes, the reports it reads at every length, pulling receivers out and
// plugging them back in, and reports faster than any remote sends them.
// The program's side is seen through its tray picture (a stand-in
// notification area), the keys and pointer events it injects, and the player
// window in front.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app_test.h"
#include "dispatch/dispatch.h"
#include "harness/tray_watcher.h"
#include "harness/virtual_hid.h"
#include "res/resource.h"

namespace k7::apptest {
namespace {

using harness::HidDevice;
using harness::Program;
using harness::TrayCommand;

// The program looks for a receiver once a second.
constexpr DWORD kPollMs = 1000;
// Plug to picture: a poll period, the device's arrival and the look-up, on a
// busy machine.
constexpr DWORD kWithinAPollMs = 2500;

class HidReceiver : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    hid_ = std::make_unique<harness::VirtualHid>();
  }
  // The program before the devices it reads, the tray it draws into after it.
  void EndAll() override {
    target_.reset();
    program_.reset();
    tray_.reset();
    hid_.reset();
    recorder_.reset();
  }

  // K7F3.exe started, its tray picture watched; start-up not awaited.
  Program& StartProgram() {
    Program& program = MakeProgram(harness::ProgramKind::kHid);
    tray_ = std::make_unique<harness::TrayWatcher>(program.ExePath());
    program.Start();
    return program;
  }

  // Plugs the receiver, starts the program, waits until it has opened the
  // receiver (its tray shows the ready picture) and brings the player to the
  // front.
  Program& StartWithReceiver(const HidDevice& receiver = {}) {
    hid_->Plug(receiver);
    Program& program = StartProgram();
    // Start-up under Wine on a busy machine may take seconds.
    EXPECT_TRUE(program.WaitReady(harness::kStartMs)) << "start-up did not finish";
    EXPECT_TRUE(tray_->WaitFor(IDI_READY)) << "the program did not take the receiver";
    EXPECT_EQ(program.Notice(), nullptr) << "receiver-missing notice with the receiver plugged in";
    Front("WinDVD.exe");
    return program;
  }

  // Waits until the program has connected a receiver again (a new ready
  // picture after the ones counted in readyBefore).
  bool WaitReconnected(size_t readyBefore, DWORD timeoutMs = harness::kWaitMs) {
    return harness::WaitUntil([&] { return tray_->Count(IDI_READY) > readyBefore; }, timeoutMs);
  }

  // Presses Page Down on a device until the program acts on one: then it
  // reads that device. Returns once the keys have settled; false when no
  // press acted within timeoutMs.
  bool WaitReadByPress(unsigned slot, DWORD timeoutMs = 6000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    const size_t before = SettledKeyCount();
    while (GetTickCount64() < end) {
      hid_->Press(slot, kCodePageDown);
      if (WaitForKeys(before + 2, 400)) {
        SettledKeyCount();
        return true;
      }
    }
    return false;
  }

  // Presses a slot code on a device and expects exactly its two keys on top
  // of what the program had injected before.
  void ExpectPressArrives(unsigned slot, unsigned code, unsigned vk, const char* when) {
    const size_t before = InjectedKeys().size();
    hid_->Press(slot, code);
    ASSERT_TRUE(WaitForKeys(before + 2)) << "no keys " << when;
    ASSERT_TRUE(recorder_->Flush());
    const std::vector<Key> keys = InjectedKeys();
    ASSERT_EQ(keys.size(), before + 2) << when;
    EXPECT_EQ(keys[before], Down(vk)) << when;
    EXPECT_EQ(keys[before + 1], Up(vk)) << when;
  }

  // Waits until the injected key count holds still for a while; returns it.
  size_t SettledKeyCount() {
    size_t last = SIZE_MAX;
    harness::WaitUntil(
        [&] {
          recorder_->Flush();
          const size_t now = InjectedKeys().size();
          const bool still = now == last;
          last = now;
          return still;
        },
        harness::kWaitMs, 300);
    return last;
  }

  std::unique_ptr<harness::VirtualHid> hid_;
  std::unique_ptr<harness::TrayWatcher> tray_;
};

TEST_F(HidReceiver, TakesOnlyItsOwnReceiverAndOnlyOncePlugged) {
  // Decoys first: the receiver's vendor with another product, and another
  // vendor with the receiver's product.
  hid_->Plug({.slot = 1, .vendor = 0x1209, .product = 0x0008, .name = "Same vendor"});
  hid_->Plug({.slot = 2, .vendor = 0x16C0, .product = 0x0007, .name = "Same product"});
  Program& program = StartProgram();
  HWND notice = program.WaitForNotice();
  ASSERT_NE(notice, nullptr) << "no receiver-missing notice with only decoys plugged in";
  EXPECT_EQ(Program::NoticeText(notice), harness::kReceiverMissingText);
  ASSERT_TRUE(program.WaitReady(harness::kStartMs)) << "start-up did not go on after the notice";
  EXPECT_EQ(tray_->Current(), IDI_OFF) << "not the crossed picture without a receiver";
  Front("WinDVD.exe");
  // Reports on the decoys act on nothing, whatever the program opened.
  hid_->Press(1, kCodeX);
  hid_->Press(2, kCodeX);
  Sleep(kPollMs + 200);
  EXPECT_EQ(tray_->Current(), IDI_OFF) << "a decoy was taken for the receiver";

  hid_->Plug({});
  const ULONGLONG plugged = GetTickCount64();
  ASSERT_TRUE(tray_->WaitFor(IDI_READY, kWithinAPollMs)) << "the receiver was not taken";
  const ULONGLONG took = GetTickCount64() - plugged;
  std::cout << "plug to the ready picture: " << took << " ms" << std::endl;
  EXPECT_EQ(program.Notice(), nullptr) << "the poll is silent";
  hid_->Press(1, kCodeX);
  hid_->Press(2, kCodeX);
  ExpectPressArrives(0, kCodePageDown, VK_NEXT, "from the receiver");
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys().size(), 2u) << "a decoy's report was acted on";
}

// Bytes 1 to 3 of every report are code, marker and repeat, whatever its
// length and whether the descriptor declares a report id; what each code does
// is the code table's (the built-in WinDVD profile's hotkeys).
TEST_F(HidReceiver, ReportsOfEveryLengthActAsTheCodeTableSays) {
  struct Report {
    uint8_t code, marker, repeat;
    std::vector<Key> keys;
    std::vector<UINT> mice;  // injected pointer messages
  };
  const std::vector<Report> reports = {
      {kCodePageDown, 0x7F, 0, {Down(VK_NEXT), Up(VK_NEXT)}, {}},
      {kCodeX, 0x7F, 0, {Down('X'), Up('X')}, {}},
      {kCodeX, 0x7F, 1, {Down('X'), Up('X')}, {}},  // a held button repeats
      {0x42, 0x7F, 0, {Down('M'), Up('M')}, {}},
      {0x42, 0x7F, 1, {}, {}},    // this slot acts on the first report only
      {kCodeX, 0x00, 0, {}, {}},  // no remote's marker
      {0x08, 0x7F, 0, {}, {}},    // no code of the table
      {kCodeMouseToggle, 0x7F, 0, {}, {}},
      {kCodeRight, 0x7F, 0, {}, {WM_MOUSEMOVE}},
      {kCodeClick, 0x7F, 0, {}, {WM_LBUTTONDOWN, WM_LBUTTONUP}},
      {kCodeMouseToggle, 0x7F, 0, {}, {}},
      {kCodeRight, 0x7F, 0, {Down(VK_RIGHT), Up(VK_RIGHT)}, {}},
  };
  const std::vector<HidDevice> receivers = {
      {.inputLength = 8},
      {.inputLength = 4},
      {.inputLength = 65},
      {.inputLength = 8, .reportId = 1},
      {.inputLength = 65, .reportId = 0x21},
  };
  StartWithReceiver(receivers[0]);
  // Clicks land on the player, which stays in front.
  RECT r;
  GetWindowRect(target_->Window(), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);

  std::vector<Key> keys;
  std::vector<UINT> mice;
  for (const HidDevice& receiver : receivers) {
    SCOPED_TRACE("input report of " + std::to_string(receiver.inputLength) + " bytes, report id " +
                 std::to_string(receiver.reportId));
    if (&receiver != &receivers[0]) {
      hid_->Unplug(0);
      ASSERT_TRUE(tray_->WaitFor(IDI_OFF)) << "the unplug went unnoticed";
      hid_->Plug(receiver);
      ASSERT_TRUE(tray_->WaitFor(IDI_READY)) << "the receiver was not taken";
    }
    for (const Report& report : reports) {
      // The bytes after the first four are the device's own: not read.
      std::vector<uint8_t> bytes(receiver.inputLength, 0xA5);
      bytes[0] = static_cast<uint8_t>(receiver.reportId);
      bytes[1] = report.code;
      bytes[2] = report.marker;
      bytes[3] = report.repeat;
      hid_->Send(0, bytes);
      keys.insert(keys.end(), report.keys.begin(), report.keys.end());
      mice.insert(mice.end(), report.mice.begin(), report.mice.end());
    }
    ASSERT_TRUE(WaitForKeys(keys.size())) << "keys missing";
    ASSERT_TRUE(harness::WaitUntil([&] { return InjectedMice().size() >= mice.size(); }))
        << "pointer events missing";
    ASSERT_TRUE(recorder_->Flush());
    EXPECT_EQ(InjectedKeys(), keys);
    std::vector<UINT> seen;
    for (const harness::HookEvent& e : InjectedMice()) seen.push_back(e.message);
    EXPECT_EQ(seen, mice);
  }
  EXPECT_EQ(GetForegroundWindow(), target_->Window()) << "the player lost the front";
}

// Every code of the table through the USB receiver: where the table names a
// slot, that slot's hotkey (in the player's profile slot n sends a key of its
// own), and nothing for every other code. The launch buttons find no program,
// so nothing started takes the front; the mouse toggle comes twice, so the
// codes after it are read outside mouse mode again.
TEST_F(HidReceiver, EveryCodeDoesWhatTheCodeTableSays) {
  Program& program = StartWithReceiver();
  const std::string ctrl = program.IniPath("QVCtrl.ini");
  const std::string userDef = program.IniPath("UserDef.ini");
  const auto keyOfSlot = [](int n) { return UINT(n < 26 ? 'A' + n : '0' + (n - 26)); };
  for (int n = 0; n < kSlotCount; ++n) {
    const std::string hotkey = std::string("0-") + char(keyOfSlot(n));
    ASSERT_TRUE(WritePrivateProfileStringA("WinDVD", std::to_string(n).c_str(), hotkey.c_str(),
                                           userDef.c_str()));
  }
  for (const char* category : {"DVD", "Music", "WWW", "Speech"}) {
    char app[100] = {};
    GetPrivateProfileStringA(category, "APName", "", app, sizeof app, ctrl.c_str());
    ASSERT_NE(app[0], '\0') << category;
    ASSERT_TRUE(
        WritePrivateProfileStringA(app, "FilePath", "C:\\Missing\\none.exe", userDef.c_str()));
  }

  std::vector<Key> expected;
  std::vector<uint8_t> codes;
  for (int code = 0; code < 256; ++code) {
    const ButtonCode& entry = LookupButtonCode(code);
    codes.push_back(uint8_t(code));
    if (entry.kind == ButtonKind::kMouseToggle) codes.push_back(uint8_t(code));
    if ((entry.kind == ButtonKind::kSlot || entry.kind == ButtonKind::kMouseSlot) &&
        entry.slot >= 0) {
      expected.push_back(Down(keyOfSlot(entry.slot)));
      expected.push_back(Up(keyOfSlot(entry.slot)));
    }
  }
  // In rounds of 32, each awaited, so the reports in flight stay well within
  // what the class driver keeps for the program.
  size_t sent = 0, keysDue = 0;
  while (sent < codes.size()) {
    const size_t end = std::min(codes.size(), sent + 32);
    for (; sent < end; ++sent) {
      const ButtonCode& entry = LookupButtonCode(codes[sent]);
      if ((entry.kind == ButtonKind::kSlot || entry.kind == ButtonKind::kMouseSlot) &&
          entry.slot >= 0)
        keysDue += 2;
      hid_->Press(0, codes[sent]);
    }
    ASSERT_TRUE(WaitForKeys(keysDue)) << "keys missing up to code " << int(codes[sent - 1]);
  }
  // The codes after the last slot code send nothing: wait until the count
  // holds still, then nothing may have come in their stead.
  EXPECT_EQ(SettledKeyCount(), expected.size());
  EXPECT_EQ(InjectedKeys(), expected);
  EXPECT_TRUE(InjectedMice().empty()) << "a pointer event outside mouse mode";
  EXPECT_EQ(GetForegroundWindow(), target_->Window()) << "the player lost the front";
}

// A button held while the receiver is pulled out: the reports already read
// act, nothing more; pulled and plugged back within a poll, or three times in
// quick succession (standby and resume), the program reads it again, once.
TEST_F(HidReceiver, UnplugWhileHeldThenReplugsAreReadAgainOnce) {
  StartWithReceiver();
  hid_->Press(0, kCodePageDown);
  for (int i = 0; i < 5; ++i) {
    hid_->Press(0, kCodePageDown, 1);
    Sleep(30);
  }
  const unsigned unplugMs = hid_->Unplug(0);
  std::cout << "unplug while held took " << unplugMs << " ms" << std::endl;
  ASSERT_TRUE(tray_->WaitFor(IDI_OFF)) << "the unplug went unnoticed";
  const size_t afterUnplug = SettledKeyCount();
  ASSERT_TRUE(recorder_->Flush());
  const std::vector<Key> keys = InjectedKeys();
  EXPECT_LE(keys.size(), 12u) << "more presses than reports";
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i], i % 2 == 0 ? Down(VK_NEXT) : Up(VK_NEXT)) << "key " << i;
  }
  EXPECT_EQ(keys.size() % 2, 0u) << "a key left down";
  std::cout << "keys from 6 reports before the unplug: " << keys.size() / 2 << std::endl;
  Sleep(kPollMs + 200);
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys().size(), afterUnplug) << "a press that nobody made, after the unplug";
  EXPECT_EQ(program_->Notice(), nullptr) << "the poll is silent";

  // Plugged back once the poll saw it gone: the picture tells when it is read.
  const size_t ready = tray_->Count(IDI_READY);
  hid_->Plug({});
  ASSERT_TRUE(WaitReconnected(ready)) << "not read again after the plug";
  ExpectPressArrives(0, kCodeX, 'X', "after the plug");
  // Within a poll, and three times in quick succession: the picture need not
  // change, so the first press acted on tells.
  for (int cycles : {1, 3}) {
    SCOPED_TRACE(std::to_string(cycles) + " quick unplug and plug cycles");
    for (int i = 0; i < cycles; ++i) {
      hid_->Unplug(0);
      hid_->Plug({});
    }
    ASSERT_TRUE(WaitReadByPress(0)) << "not read again";
    ExpectPressArrives(0, kCodeX, 'X', "after the cycles");
  }
  EXPECT_TRUE(program_->Running());
}

// Two receivers at once: the program reads one of them; pulled out, the
// other takes over within a poll.
TEST_F(HidReceiver, OfTwoReceiversOneIsReadAndTheOtherTakesOver) {
  hid_->Plug({.slot = 1, .name = "Second receiver"});
  StartWithReceiver({.slot = 0, .name = "First receiver"});
  hid_->Press(0, kCodeX);
  hid_->Press(1, kCodePageDown);
  ASSERT_TRUE(WaitForKeys(2));
  ASSERT_EQ(SettledKeyCount(), 2u) << "both receivers were read";
  const std::vector<Key> keys = InjectedKeys();
  const unsigned read = keys[0] == Down('X') ? 0 : 1;
  const unsigned other = 1 - read;
  std::cout << "of two receivers the program reads slot " << read << std::endl;
  ::testing::Test::RecordProperty("receiver_read", static_cast<int>(read));

  const size_t ready = tray_->Count(IDI_READY);
  hid_->Unplug(read);
  ASSERT_TRUE(WaitReconnected(ready)) << "the other receiver did not take over";
  ExpectPressArrives(other, kCodeX, 'X', "from the other receiver");
  EXPECT_TRUE(tray_->WaitFor(IDI_READY)) << "the picture did not return to ready";
}

// Reports faster than any remote sends them, and back to back: every one is
// acted on, in order; none once disabled, not even after Enable.
TEST_F(HidReceiver, FastReportsAreAllActedOnInOrderAndNoneAfterDisable) {
  Program& program = StartWithReceiver();
  const unsigned codes[] = {kCodePageDown, kCodeX, kCodeRight};
  const unsigned vks[] = {VK_NEXT, 'X', VK_RIGHT};
  std::vector<Key> expected;
  std::vector<LONGLONG> sent;

  LARGE_INTEGER freq, start, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < 100; ++i) {
    // 10 ms apart from the first, not after each answer.
    do {
      QueryPerformanceCounter(&now);
    } while ((now.QuadPart - start.QuadPart) * 1000 < freq.QuadPart * 10 * i);
    sent.push_back(now.QuadPart);
    hid_->Press(0, codes[i % 3]);
    expected.push_back(Down(vks[i % 3]));
    expected.push_back(Up(vks[i % 3]));
  }
  std::vector<std::string> burst;
  for (int i = 0; i < 16; ++i) {
    burst.push_back("press 0 " + std::to_string(codes[(i + 1) % 3]));
    expected.push_back(Down(vks[(i + 1) % 3]));
    expected.push_back(Up(vks[(i + 1) % 3]));
  }
  hid_->Batch(burst);
  EXPECT_TRUE(WaitForKeys(expected.size(), 20000)) << "reports lost";
  ASSERT_EQ(SettledKeyCount(), expected.size()) << "of " << expected.size() / 2 << " reports";
  EXPECT_EQ(InjectedKeys(), expected);

  // How far the program's reads fall behind: each press's key against its send.
  double worst = 0;
  size_t k = 0;
  for (const harness::HookEvent& e : recorder_->Keys()) {
    if (!e.Injected() || e.extraInfo == harness::kHarnessExtraInfo || e.KeyUp()) continue;
    if (k < sent.size()) worst = std::max(worst, harness::QpcMs(sent[k], e.qpc));
    ++k;
  }
  std::cout << "100 reports 10 ms apart: slowest send to key " << worst << " ms" << std::endl;

  ASSERT_TRUE(program.Command(TrayCommand::kDisable));
  const size_t off = tray_->Count(IDI_OFF);
  for (int i = 0; i < 5; ++i) hid_->Press(0, kCodeX);
  // Each report read while disabled shows the crossed picture again.
  ASSERT_TRUE(harness::WaitUntil([&] { return tray_->Count(IDI_OFF) >= off + 5; }))
      << "the reports were not read while disabled";
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys().size(), expected.size()) << "acted on while disabled";

  const size_t ready = tray_->Count(IDI_READY);
  ASSERT_TRUE(program.Command(TrayCommand::kEnable));
  ASSERT_TRUE(WaitReconnected(ready));
  ExpectPressArrives(0, kCodePageDown, VK_NEXT, "after Enable");
  EXPECT_EQ(SettledKeyCount(), expected.size() + 2) << "a report of the disabled time acted";
}

}  // namespace
}  // namespace k7::apptest
