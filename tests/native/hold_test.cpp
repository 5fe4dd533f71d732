#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>

#include "base/text.h"
#include "dispatch/dispatch.h"
#include "fakes/fake_ini.h"
#include "fakes/fake_platform.h"
#include "fakes/recording_input.h"
#include "profiles/hold_keys.h"
#include "profiles/ini_paths.h"
#include "receiver/report_route.h"

namespace k7 {
namespace {

TEST(HoldKeys, RepeatRulesReadOnlyWhatTheyWrite) {
  struct Case {
    const char* value;
    RepeatKind kind;
    int ms;
  };
  const Case cases[] = {
      {"every", RepeatKind::kEvery, 0},      {"FIRST", RepeatKind::kFirst, 0},
      {"100", RepeatKind::kAfterMs, 100},    {"2000", RepeatKind::kAfterMs, 2000},
      {"99", RepeatKind::kDefault, 0},       {"2001", RepeatKind::kDefault, 0},
      {"", RepeatKind::kDefault, 0},         {"+500", RepeatKind::kDefault, 0},
      {"500ms", RepeatKind::kDefault, 0},    {"99999999999", RepeatKind::kDefault, 0},
      {"everyone", RepeatKind::kDefault, 0},
  };
  for (const Case& c : cases) {
    const RepeatRule rule = ParseRepeatRule(c.value);
    EXPECT_EQ(rule.kind, c.kind) << c.value;
    EXPECT_EQ(rule.ms, c.ms) << c.value;
    // What is written reads back as the same rule.
    EXPECT_EQ(ParseRepeatRule(FormatRepeatRule(rule).c_str()), rule) << c.value;
  }
  EXPECT_EQ(ParseRepeatRule(nullptr).kind, RepeatKind::kDefault);
  EXPECT_EQ(FormatRepeatRule({}), "");
  EXPECT_EQ(RepeatKeyName(33), "Repeat33");
  EXPECT_EQ(HoldKeyName(0), "Hold0");
  EXPECT_EQ(ParseMsSetting("450", kMinHoldMs, kMaxHoldMs, kDefaultHoldMs), 450);
  EXPECT_EQ(ParseMsSetting("10", kMinHoldMs, kMaxHoldMs, kDefaultHoldMs), kDefaultHoldMs);
  EXPECT_EQ(ParseMsSetting("-1", kMinReleaseMs, kMaxReleaseMs, kDefaultReleaseMs),
            kDefaultReleaseMs);
}

// Report sequences with times, routed as the reader routes them: a pending
// tap's release time runs out before any report that comes at or after it.
// Steps: "T name" a report with repeat byte 0, "T name+" one with repeat byte
// 1, "T1-T2 name+" one every 110 ms from T1 to T2, "T disable", "T editor",
// "T stop" (the reader ends: unplug, Reload, exit), "T Key=value" a setting
// (in the control file's "Default" and the profile alike).
// The log, per time: the keys sent, "move", "launch", the caption shown in
// quotes, "timer".
struct HoldCase {
  const char* name;
  const char* steps;
  const char* log;
};
const HoldCase kHoldCases[] = {
    {"tap: the ordinary hotkey once the press ends", "0 hold, 110-440 hold+", "740 T 'tap'"},
    {"hold: its action once, then nothing", "0 hold, 110-1980 hold+", "660 H 'held'"},
    {"times from the control file", "0 HoldMs=1000, 0 ReleaseMs=500, 0 hold, 400 hold+, 800 hold+",
     "1300 T 'tap'"},
    {"another button ends a pending press", "0 hold, 110 hold+, 150 every", "150 T E 'every'"},
    {"a new press within the release time", "0 hold, 200 hold", "200 T 'tap', 500 T 'tap'"},
    {"late repeats are ignored", "0 hold, 400 hold+, 510 hold+, 600 every, 710 hold+",
     "300 T 'tap', 600 E 'every'"},
    {"no rule: every report", "0 every, 110 every+", "0 E 'every', 110 E 'every'"},
    {"rule first", "0 first, 110-330 first+", "0 F 'first'"},
    {"rule removed: the next press repeats", "0 first, 100 Repeat4=, 200 first, 310 first+",
     "0 F 'first', 200 F 'first', 310 F 'first'"},
    {"rule every, where the default is first", "0 mute, 110 mute+", "0 U timer, 110 U timer"},
    {"rule 500", "0 ms, 110-660 ms+", "0 M 'ms', 550 M 'ms', 660 M 'ms'"},
    {"rule 500: late repeats are ignored", "0 ms, 400 ms+, 510 ms+, 620 ms+", "0 M 'ms'"},
    {"unreadable hold action and rule: as if absent", "0 bogus, 110 bogus+",
     "0 N 'no hold', 110 N 'no hold'"},
    {"dropped at Disable", "0 hold, 100 disable", ""},
    {"dropped while the editor is open", "0 hold, 100 editor", ""},
    {"dropped when the reader ends; then a repeat starts a press", "0 hold, 100 stop, 210 hold+",
     "510 T 'tap'"},
    {"a launch held starts once", "0 dvd, 110-440 dvd+", "0 launch 'AppDVD'"},
    {"a pointer action in mouse mode", "0 right, 100 toggle, 200 right, 310 right+",
     "100 R 'Mouse On', 200 move timer, 310 move timer"},
};
const std::map<std::string, int> kButtons = {{"hold", 0x5C},  {"first", 0x5D}, {"ms", 0x5F},
                                             {"every", 0x43}, {"mute", 0x42},  {"bogus", 0x5E},
                                             {"right", 0x41}, {"dvd", 0x55},   {"toggle", 0x47}};
// The profile's keys in "UserDef.ini" and then in "UserDefInf.ini".
const char* const kProfile[] = {
    "1=0-T",  "Hold1=0-H",         "Repeat1=every", "4=0-F",  "Repeat4=first",
    "10=0-M", "Repeat10=500",      "13=0-E",        "15=0-U", "Repeat15=EVERY",
    "7=0-N",  "Hold7=0-NOSUCHKEY", "Repeat7=99",    "19=0-R", "Hold19=0-Q"};
const char* const kCaptions[] = {"1=tap",    "Hold1=held", "4=first",     "10=ms",
                                 "13=every", "7=no hold",  "Hold7=never", "Hold19=held right"};

class HeldRig : public IReportSink {
 public:
  HeldRig() {
    CopyBounded(g_szCtrlIniPath, "C:\\K7F3\\QVCtrl.ini");
    CopyBounded(g_szUserDefIniPath, "C:\\K7F3\\UserDef.ini");
    CopyBounded(g_szUserDefInfIniPath, "C:\\K7F3\\UserDefInf.ini");
    for (const char* line : kProfile) Set(g_szUserDefIniPath, "Player", line);
    for (const char* line : kCaptions) Set(g_szUserDefInfIniPath, "Player", line);
    Set(g_szCtrlIniPath, "DVD", "APName=AppDVD");
    Set(g_szUserDefIniPath, "AppDVD", "FilePath=C:\\AppDVD.exe");
    launcher_.existing.insert("C:\\AppDVD.exe");
    matcher_.profile = "Player";
    matcher_.hotkeyFile = g_szUserDefIniPath;
    matcher_.captionFile = g_szUserDefInfIniPath;
  }

  std::string Run(const std::string& steps) {
    std::istringstream in(steps);
    std::string step;
    while (std::getline(in, step, ',')) {
      std::istringstream words(step);
      uint64_t from = 0, to = 0;
      char dash = 0;
      std::string what;
      words >> from;
      to = from;
      if (words.peek() == '-') words >> dash >> to;
      words >> what;
      for (uint64_t t = from; t <= to; t += 110) Step(t, what);
    }
    ReachTime(UINT64_MAX);
    return log_;
  }

 private:
  void Set(const char* file, const char* section, const std::string& line) {
    const size_t eq = line.find('=');
    ini_.Set(file, section, line.substr(0, eq), line.substr(eq + 1));
  }
  void Step(uint64_t t, const std::string& what) {
    ReachTime(t);
    now_ = t;
    const bool repeat = what.back() == '+';
    if (what == "disable" || what == "editor") {
      (what == "disable" ? flags_.bDisabled : flags_.bEditorOpen) = true;
    } else if (what == "stop") {
      dispatcher_.DropPendingTap();
    } else if (what.find('=') != std::string::npos) {
      Set(g_szCtrlIniPath, "Default", what);
      Set(g_szUserDefIniPath, "Player", what);
    } else {
      const int code = kButtons.at(repeat ? what.substr(0, what.size() - 1) : what);
      const uint8_t report[kReportLen] = {0, uint8_t(code), kMarker, uint8_t(repeat)};
      RouteReport(*this, flags_, dispatcher_, report, t);
    }
    Drain();
  }
  // The reader's wait runs out at a tap due before time t.
  void ReachTime(uint64_t t) {
    if (dispatcher_.TapPending() && dispatcher_.TapDueMs() <= t) {
      now_ = dispatcher_.TapDueMs();
      RouteReleaseTimeout(*this, flags_, dispatcher_, now_);
      Drain();
    }
  }
  void Add(const std::string& token) {
    if (now_ != logged_) log_ += (log_.empty() ? "" : ", ") + std::to_string(now_);
    logged_ = now_;
    log_ += " " + token;
  }
  void Drain() {
    for (const test::InputEvent& e : input_.events) {
      if (e.kind == test::InputEvent::kMouse) Add("move");
      if (e.kind == test::InputEvent::kKey && !(e.flags & kKeyUp)) Add(std::string(1, char(e.a)));
    }
    for (size_t i = 0; i < launcher_.started.size(); ++i) Add("launch");
    input_.events.clear();
    launcher_.started.clear();
  }
  void SetTrayIcon(int) override {}
  void LearnButton(int, int) override {}
  void RestartMouseTimer() override {
    Drain();
    Add("timer");
  }
  void ShowOsd(const Caption& caption) override {
    Drain();
    Add("'" + std::string(caption.text) + "'");
  }
  void RearmRead() override {}

  test::FakeIni ini_;
  test::RecordingInput input_;
  test::FakeLauncher launcher_;
  test::FakeMatcher matcher_{ini_};
  Dispatcher dispatcher_{{input_, launcher_, ini_, matcher_}};
  SharedFlags flags_;
  uint64_t now_ = 0, logged_ = UINT64_MAX;
  std::string log_;
};

TEST(HeldButtons, ReportSequencesWithTimes) {
  for (const HoldCase& c : kHoldCases) {
    EXPECT_EQ(HeldRig().Run(c.steps), c.log) << c.name << ": " << c.steps;
  }
}

}  // namespace
}  // namespace k7
