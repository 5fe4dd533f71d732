#include "receiver/connection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "receiver/report_route.h"

namespace k7 {
namespace {

// A receiver and a view that write what happens to one shared log. Its
// reader may be inside a press (on a clock of the test's own) and then
// behaves as the real one: a stop waits at most the bound it is given, a
// reader told to stop ends once its press is over, and no reader starts
// while the old one's thread is held.
struct World : IReceiver, IConnectionView {
  bool FindReceiver() override {
    log.push_back("find");
    return present;
  }
  void OpenReceiver() override { log.push_back("open"); }
  bool StartReader() override {
    log.push_back("start");
    if (running) return false;
    running = true;
    stopAsked = false;
    return true;
  }
  bool StopReader(uint32_t waitMs) override {
    log.push_back("stop");
    stopAsked = running;
    waited += std::min(waitMs, pressLeft);
    Elapse(std::min(waitMs, pressLeft));
    running = running && pressLeft > 0;
    return !running;
  }
  void ShowReceiverMissing() override { log.push_back("notice"); }
  void SetTrayIcon(int id) override {
    log.push_back("icon " + std::to_string(id));
    deaf += id == 135 && !Listening();
  }
  // At the press's end the reader posts the ready icon, and ends if told to.
  void Elapse(uint32_t ms) {
    if (pressLeft == 0) return;
    pressLeft -= std::min(ms, pressLeft);
    if (pressLeft > 0) return;
    posted = true;
    running = running && !stopAsked;
  }
  // The user-interface thread handles what the reader posted.
  void Deliver(ReceiverConnection& connection) {
    if (posted) connection.ShowReaderIcon(135);
    posted = false;
  }
  bool Listening() const { return running && !stopAsked; }

  bool present = true;
  std::vector<std::string> log;
  SharedFlags flags;
  uint32_t pressLeft = 0, waited = 0;
  bool running = false, stopAsked = false, posted = false;
  int deaf = 0;  // connected, or the ready icon, with no reader for the next press
};

using Log = std::vector<std::string>;

struct Row {
  const char* path;
  bool connected, disabled, present;
  Log expected;
  bool connectedAfter, disabledAfter;
};

const Log kReconnect = {"find", "stop", "open", "start", "icon 135"};

const Row kRows[] = {
    // The poll reconnects only a receiver that came back while enabled.
    {"poll", false, false, true, kReconnect, true, false},
    {"poll", true, false, true, {"find"}, true, false},
    {"poll", false, true, true, {"find"}, false, true},
    {"poll", true, true, true, {"find"}, true, true},
    {"poll", true, false, false, {"find", "icon 137"}, false, false},
    {"poll", true, true, false, {"find", "icon 137"}, false, true},
    {"poll", false, false, false, {"find", "icon 137"}, false, false},
    // Reload reconnects and enables; without a receiver it says so and keeps the flag.
    {"reload", true, false, true, kReconnect, true, false},
    {"reload", true, true, true, kReconnect, true, false},
    {"reload", false, true, true, kReconnect, true, false},
    {"reload", true, false, false, {"find", "notice", "icon 137"}, false, false},
    {"reload", false, true, false, {"find", "notice", "icon 137"}, false, true},
    // Enable is Reload when the receiver is there, and stays disabled when not.
    {"enable", true, true, true, kReconnect, true, false},
    {"enable", false, true, true, kReconnect, true, false},
    {"enable", true, true, false, {"find", "notice", "icon 137"}, false, true},
    {"enable", false, false, false, {"find", "notice", "icon 137"}, false, true},
    // Disable touches nothing but the flag and the icon.
    {"disable", true, false, true, {"icon 137"}, true, true},
    {"disable", false, false, false, {"icon 137"}, false, true},
};

TEST(ReceiverConnection, EveryPathInEveryState) {
  for (const Row& row : kRows) {
    World world;
    world.present = row.present;
    world.flags.bConnected = row.connected;
    world.flags.bDisabled = row.disabled;
    ReceiverConnection connection(world, world, world.flags);
    const std::string path = row.path;
    if (path == "poll") connection.Poll();
    if (path == "reload") connection.Reload();
    if (path == "enable") connection.Enable();
    if (path == "disable") connection.Disable();
    SCOPED_TRACE(path + (row.connected ? " connected" : "") + (row.disabled ? " disabled" : "") +
                 (row.present ? " present" : " absent"));
    EXPECT_EQ(world.log, row.expected);
    EXPECT_EQ(world.flags.bConnected.load(), row.connectedAfter);
    EXPECT_EQ(world.flags.bDisabled.load(), row.disabledAfter);
  }
}

TEST(ReceiverConnection, StartUpChoosesTheFirstIcon) {
  World world;
  world.flags.bConnected = false;
  world.flags.bDisabled = true;
  ReceiverConnection connection(world, world, world.flags);
  EXPECT_EQ(connection.ConnectAtStartup(), 135);
  // The reader waits for the INI paths and the profile list.
  EXPECT_EQ(world.log, (Log{"find", "open"}));
  EXPECT_TRUE(world.flags.bConnected.load());
  EXPECT_FALSE(world.flags.bDisabled.load());
  connection.StartReaderAtStartup();
  connection.StartReaderAtStartup();
  EXPECT_EQ(world.log, (Log{"find", "open", "start"}));

  World absent;
  absent.present = false;
  absent.flags.bConnected = true;
  ReceiverConnection none(absent, absent, absent.flags);
  EXPECT_EQ(none.ConnectAtStartup(), 137);
  none.StartReaderAtStartup();
  EXPECT_EQ(absent.log, (Log{"find", "notice"}));  // the icon is not in the tray yet
  EXPECT_FALSE(absent.flags.bConnected.load());
}

TEST(ReceiverConnection, AReceiverThatComesBackIsReconnectedOnlyOnce) {
  World world;
  world.flags.bConnected = false;
  world.flags.bDisabled = false;
  ReceiverConnection connection(world, world, world.flags);
  world.present = false;
  connection.Poll();
  world.present = true;
  connection.Poll();
  connection.Poll();
  EXPECT_EQ(world.log,
            (Log{"find", "icon 137", "find", "stop", "open", "start", "icon 135", "find"}));
}

TEST(ReceiverConnection, APressLongerThanTheStopsBoundLeavesNoDeafConnection) {
  // Enable comes from disabled.
  const struct {
    std::string path;
    uint32_t boundMs, pressMs;
  } rows[] = {{"reload", 10000, 0},     {"reload", 10000, 4000}, {"reload", 10000, 25000},
              {"enable", 10000, 25000}, {"enable", 300, 2500},   {"enable", 300, 300}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path + ", bound " + std::to_string(row.boundMs) + ", press " +
                 std::to_string(row.pressMs));
    World world;
    ReceiverConnection connection(world, world, world.flags, row.boundMs);
    connection.ConnectAtStartup();
    connection.StartReaderAtStartup();
    if (row.path == "enable") connection.Disable();
    world.pressLeft = row.pressMs;
    row.path == "reload" ? connection.Reload() : connection.Enable();
    // Once the press has ended the next poll connects.
    int polls = 0;
    for (world.Deliver(connection);; ++polls) {
      world.deaf += world.flags.bConnected && !world.Listening();
      if (world.Listening() || polls == 60) break;
      world.Elapse(1000);
      world.Deliver(connection);
      connection.Poll();
    }
    EXPECT_TRUE(world.flags.bConnected && world.Listening() && world.log.back() == "icon 135");
    EXPECT_EQ(world.deaf, 0);
    const uint32_t late = row.pressMs > row.boundMs ? row.pressMs - row.boundMs : 0;
    EXPECT_EQ(polls, static_cast<int>((late + 999) / 1000));
    // The user-interface thread waits for the bound once, not at every poll.
    EXPECT_EQ(world.waited, std::min(row.boundMs, row.pressMs));
  }
}

}  // namespace
}  // namespace k7
