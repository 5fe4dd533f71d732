#include "receiver/connection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiver/report_route.h"

namespace k7 {
namespace {

// A receiver and a view that write what happens to one shared log.
struct World : IReceiver, IConnectionView {
  bool FindReceiver() override {
    log.push_back("find");
    return present;
  }
  void OpenReceiver() override { log.push_back("open"); }
  void StartReader() override { log.push_back("start"); }
  void StopReader() override { log.push_back("stop"); }
  void ShowReceiverMissing() override { log.push_back("notice"); }
  void SetTrayIcon(int id) override { log.push_back("icon " + std::to_string(id)); }

  bool present = true;
  std::vector<std::string> log;
  SharedFlags flags;
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
  EXPECT_EQ(world.log, (Log{"find", "stop", "open"}));
  EXPECT_TRUE(world.flags.bConnected.load());
  EXPECT_FALSE(world.flags.bDisabled.load());
  connection.StartReaderAtStartup();
  connection.StartReaderAtStartup();
  EXPECT_EQ(world.log, (Log{"find", "stop", "open", "start"}));

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

}  // namespace
}  // namespace k7
