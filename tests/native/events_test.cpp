#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/event_log.h"
#include "base/text.h"
#include "fakes/fake_ini.h"
#include "fakes/fake_platform.h"
#include "fakes/recording_input.h"
#include "profiles/ini_paths.h"
#include "receiver/report_route.h"

namespace k7 {
namespace {

constexpr char kDir[] = "C:\\K7F3\\";

class RecordSink : public IReportSink {
 public:
  void SetTrayIcon(int) override {}
  void LearnButton(int, int) override {}
  void RestartMouseTimer() override {}
  void ShowOsd(const Caption&) override {}
  // The next read lands in the same buffer, at once.
  void RearmRead() override {
    if (buffer != nullptr) std::fill(buffer, buffer + kReportLen, 0xEE);
  }
  void RecordEvent(const PressEvent& event) override { events.push_back(event); }
  std::vector<PressEvent> events;
  uint8_t* buffer = nullptr;
};

// The platform of one press: profile "Player" (slot n sends the n-th letter,
// captioned "caption n") and a DVD launch button whose program exists.
struct PressWorld {
  PressWorld() {
    CopyBounded(g_szCtrlIniPath, (std::string(kDir) + "QVCtrl.ini").c_str());
    CopyBounded(g_szUserDefIniPath, (std::string(kDir) + "UserDef.ini").c_str());
    CopyBounded(g_szUserDefInfIniPath, (std::string(kDir) + "UserDefInf.ini").c_str());
    for (int n = 0; n < kSlotCount; ++n) {
      const std::string key = std::to_string(n);
      ini.Set(g_szUserDefIniPath, "Player", key, std::string("0-") + char('A' + n % 26));
      ini.Set(g_szUserDefInfIniPath, "Player", key, "caption " + key);
    }
    ini.Set(g_szCtrlIniPath, "DVD", "APName", "Disc");
    ini.Set(g_szUserDefIniPath, "Disc", "FilePath", "C:\\Apps\\disc.exe");
    launcher.existing.insert("C:\\Apps\\disc.exe");
    matcher.profile = "Player";
    matcher.program = "player.exe";
    matcher.hotkeyFile = g_szUserDefIniPath;
    matcher.captionFile = g_szUserDefInfIniPath;
    flags.bEventsOpen = true;
  }
  test::FakeIni ini;
  test::RecordingInput input;
  test::FakeLauncher launcher;
  test::FakeMatcher matcher{ini};
  Dispatcher dispatcher{{input, launcher, ini, matcher}};
  SharedFlags flags;
  RecordSink sink;
};

struct LineRow {
  const char* what;
  std::function<void(PressWorld&)> setUp;
  std::vector<uint8_t> report;  // as read, report ID first
  std::string line;             // after the time; empty: no record at all
  bool logged = false;
  bool fired = false;  // the action fires later, without a report of its own
};

TEST(EventLines, EachKindOfReportGivesItsLine) {
  using World = PressWorld&;
  const auto mouseMode = [](World w) {
    const uint8_t toggle[kReportLen] = {0, 0x47, 0x7F, 0};
    RouteReport(w.sink, w.flags, w.dispatcher, toggle);
    w.sink.events.clear();
  };
  const auto startFails = [](World w) { w.launcher.refused.insert("C:\\Apps\\disc.exe"); };
  const auto noProgram = [](World w) { w.launcher.existing.clear(); };
  const auto disabled = [](World w) { w.flags.bDisabled = true; };
  const auto learning = [](World w) { w.flags.bEditorOpen = true; };
  const auto noProfile = [](World w) {
    w.matcher.profile.clear(), w.matcher.program = "notes.exe";
  };
  const auto elevated = [](World w) { w.matcher.elevated = w.matcher.program = "admin.exe"; };
  const auto catchAll = [](World w) { w.matcher.catchAll = true, w.matcher.program = "notes.exe"; };
  const auto closed = [](World w) { w.flags.bEventsOpen = false; };
  const auto closedLogOn = [](World w) {
    w.flags.bEventsOpen = false;
    w.ini.Set(g_szCtrlIniPath, "Default", "Log", "1");
  };
  const auto holdSlot = [](World w) { w.ini.Set(g_szUserDefIniPath, "Player", "Hold28", "0-H"); };
  const std::string slot28 = "player.exe | Player | hotkey 0-C (slot 28) | \"caption 28\"";
  // clang-format off
  const std::vector<LineRow> rows = {
      {"slot", nullptr, {0, 0x02, 0x7F, 0}, "02 7F 00 | " + slot28},
      {"repeat of a slot", nullptr, {0, 0x02, 0x7F, 1}, "02 7F 01 | " + slot28},
      {"mouse move", mouseMode, {0, 0x41, 0x7F, 0}, "41 7F 00 | player.exe | Player | mouse move right 2 | -"},
      {"mouse click", mouseMode, {0, 0x45, 0x7F, 0}, "45 7F 00 | player.exe | Player | mouse left click | -"},
      {"mouse toggle", nullptr, {0, 0x47, 0x7F, 0}, "47 7F 00 | player.exe | Player | mouse mode on | \"Mouse On\""},
      {"launch started", nullptr, {0, 0x55, 0x7F, 0}, "55 7F 00 | player.exe | Player | launch DVD (Disc): started C:\\Apps\\disc.exe | \"Disc\""},
      {"launch refused", startFails, {0, 0x55, 0x7F, 0}, "55 7F 00 | player.exe | Player | launch DVD (Disc): failed to start C:\\Apps\\disc.exe | \"File path error\""},
      {"launch of a missing program", noProgram, {0, 0x55, 0x7F, 0}, "55 7F 00 | player.exe | Player | launch DVD (Disc): failed, C:\\Apps\\disc.exe not found | \"File path error\""},
      {"disabled", disabled, {0, 0x02, 0x7F, 0}, "02 7F 00 | - | - | nothing: disabled | -"},
      {"learning", learning, {0, 0x02, 0x7F, 0}, "02 7F 00 | - | - | nothing: learning | -"},
      {"wrong marker", nullptr, {0, 0x02, 0x7E, 0}, "02 7E 00 | - | - | nothing: wrong marker | -"},
      {"no slot", nullptr, {0, 0x08, 0x7F, 0}, "08 7F 00 | player.exe | Player | nothing: no slot | -"},
      {"no profile", noProfile, {0, 0x02, 0x7F, 0}, "02 7F 00 | notes.exe | (none) | nothing: no profile (slot 28) | \"\""},
      {"elevated", elevated, {0, 0x02, 0x7F, 0}, "02 7F 00 | admin.exe | refused: runs elevated | nothing: admin.exe runs elevated | \"Run as admin to control admin.exe\""},
      {"catch-all", catchAll, {0, 0x5C, 0x7F, 0}, "5C 7F 00 | notes.exe | Player (all other programs) | hotkey 0-B (slot 1) | \"caption 1\""},
      {"too short", nullptr, {0, 0x02}, "02 | - | - | nothing: too short | -"},
      {"window closed, log off", closed, {0, 0x02, 0x7F, 0}, ""},
      {"a slot with a hold action", holdSlot, {0, 0x02, 0x7F, 0}, "02 7F 00 | player.exe | Player | waiting: tap or hold (slot 28) | -"},
      {"its tap on the timeout", holdSlot, {0, 0x02, 0x7F, 0}, "02 timeout | player.exe | Player | on timeout: hotkey 0-C (slot 28) | \"caption 28\"", false, true},
      {"window closed, log on", closedLogOn, {0, 0x02, 0x7F, 0}, "02 7F 00 | " + slot28, true},
  };
  // clang-format on
  for (const LineRow& row : rows) {
    SCOPED_TRACE(row.what);
    PressWorld world;
    if (row.setUp) row.setUp(world);
    std::vector<uint8_t> report = row.report;
    report.resize(kReportLen, 0);
    world.sink.buffer = report.data();
    if (row.fired) {
      // The press starts, then no report comes within the release time.
      RouteReport(world.sink, world.flags, world.dispatcher, report.data(), 1000);
      world.sink.events.clear();
      RouteReleaseTimeout(world.sink, world.flags, world.dispatcher, 5000);
    } else if (row.report.size() < size_t(kShortestReport)) {
      RouteShortReport(world.sink, world.flags, world.dispatcher, report.data(), row.report.size());
    } else {
      RouteReport(world.sink, world.flags, world.dispatcher, report.data());
    }
    if (row.line.empty()) {
      EXPECT_TRUE(world.sink.events.empty());
      continue;
    }
    ASSERT_EQ(world.sink.events.size(), 1u);
    PressEvent event = world.sink.events[0];
    event.year = 2026, event.month = 12, event.day = 9, event.hour = 7, event.minute = 5;
    event.second = 1, event.millis = 23;
    EXPECT_EQ(FormatEventLine(event), "2026-12-09 07:05:01.023 | " + row.line);
    EXPECT_EQ(event.log, row.logged);
  }
}

// Files in memory; appends to a path in refused fail with error 5.
class MemoryLogFiles : public ILogFiles {
 public:
  uint64_t Size(const std::string& path) override {
    return files.count(path) ? files[path].size() : 0;
  }
  bool Append(const std::string& path, const std::string& bytes, uint32_t* error) override {
    if (refuse) return *error = 5, false;
    files[path] += bytes;
    return true;
  }
  bool Replace(const std::string& from, const std::string& to, uint32_t* error) override {
    if (refuse || !files.count(from)) return *error = 5, false;
    files[to] = files[from];
    files.erase(from);
    return true;
  }
  std::map<std::string, std::string> files;
  bool refuse = false;
};

TEST(EventLogFile, BegunAnewAtItsBoundAndAFailureToldOnce) {
  struct Step {
    const char* line;
    bool refuse;
    LogWrite result;
    const char* log;    // the file's content after the step
    const char* older;  // K7F3.log.1's; null: none
  };
  // A bound of 20 bytes: every line takes its length and CR LF.
  const Step steps[] = {
      {"aaaaaaaa", false, LogWrite::kWritten, "aaaaaaaa\r\n", nullptr},
      {"bbbbbbbb", false, LogWrite::kWritten, "aaaaaaaa\r\nbbbbbbbb\r\n", nullptr},
      {"c", false, LogWrite::kWritten, "c\r\n", "aaaaaaaa\r\nbbbbbbbb\r\n"},
      {"dddddddddddddd", false, LogWrite::kWritten, "c\r\ndddddddddddddd\r\n",
       "aaaaaaaa\r\nbbbbbbbb\r\n"},
      {"e", false, LogWrite::kWritten, "e\r\n", "c\r\ndddddddddddddd\r\n"},
      {"f", true, LogWrite::kFirstFailure, "e\r\n", "c\r\ndddddddddddddd\r\n"},
      {"g", true, LogWrite::kFailed, "e\r\n", "c\r\ndddddddddddddd\r\n"},
      {"h", false, LogWrite::kWritten, "e\r\nh\r\n", "c\r\ndddddddddddddd\r\n"},
      {"a line longer than the bound", false, LogWrite::kWritten,
       "a line longer than the bound\r\n", "e\r\nh\r\n"},
      {"i", true, LogWrite::kFailed, "a line longer than the bound\r\n", "e\r\nh\r\n"},
  };
  MemoryLogFiles files;
  EventLogFile log(files, "C:\\K7F3\\", 20);
  EXPECT_EQ(log.Path(), "C:\\K7F3\\K7F3.log");
  for (const Step& step : steps) {
    SCOPED_TRACE(step.line);
    files.refuse = step.refuse;
    EXPECT_EQ(log.Write(step.line), step.result);
    EXPECT_EQ(files.files["C:\\K7F3\\K7F3.log"], step.log);
    EXPECT_EQ(files.files.count("C:\\K7F3\\K7F3.log.1") != 0, step.older != nullptr);
    if (step.older != nullptr) EXPECT_EQ(files.files["C:\\K7F3\\K7F3.log.1"], step.older);
    if (step.refuse) EXPECT_EQ(log.LastError(), 5u);
  }
}

}  // namespace
}  // namespace k7
