#include "dispatch/dispatch.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <memory>
#include <new>
#include <string>

#include "base/text.h"
#include "fakes/fake_ini.h"
#include "fakes/fake_platform.h"
#include "fakes/recording_input.h"
#include "profiles/ini_paths.h"

namespace k7 {
namespace {

using test::Down;
using test::FakeIni;
using test::FakeLauncher;
using test::FakeMatcher;
using test::InputEvent;
using test::RecordingInput;
using test::Up;

constexpr char kDir[] = "C:\\Program Files\\K7F3\\";

// Slot n of the test profile sends a key of its own and has the caption
// "caption n", so every event and caption tells which slot acted.
uint8_t KeyOfSlot(int n) {
  return uint8_t(n < 26 ? 'A' + n : '0' + (n - 26));
}

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyBounded(g_szCtrlIniPath, (std::string(kDir) + "QVCtrl.ini").c_str());
    CopyBounded(g_szUserDefIniPath, (std::string(kDir) + "UserDef.ini").c_str());
    CopyBounded(g_szUserDefInfIniPath, (std::string(kDir) + "UserDefInf.ini").c_str());
    Start();
    for (int n = 0; n < kSlotCount; ++n) {
      const std::string key = std::to_string(n);
      ini.Set(g_szUserDefIniPath, "Player", key, std::string("0-") + char(KeyOfSlot(n)));
      ini.Set(g_szUserDefInfIniPath, "Player", key, "caption " + key);
    }
    const char* categories[] = {"DVD", "Music", "WWW", "Speech"};
    for (const char* category : categories) {
      const std::string app = std::string("App") + category;
      ini.Set(g_szCtrlIniPath, category, "APName", app);
      ini.Set(g_szUserDefIniPath, app, "FilePath", "C:\\Apps\\" + app + ".exe");
      launcher.existing.insert("C:\\Apps\\" + app + ".exe");
    }
    matcher.hotkeyFile = g_szUserDefIniPath;
    matcher.captionFile = g_szUserDefInfIniPath;
  }

  // A fresh dispatcher; its caption before any press is "previous".
  void Start(bool mouseMode = false, int mouseStep = 0) {
    dispatcher =
        std::make_unique<Dispatcher>(platform, DispatchStart{mouseMode, mouseStep, "previous"});
  }

  void Press(int code, int repeat = 0, int marker = kMarker) {
    last = dispatcher->DispatchRemoteButton(code, marker, repeat);
  }

  const char* Caption() const { return last.caption.text; }

  FakeIni ini;
  RecordingInput input;
  FakeLauncher launcher;
  FakeMatcher matcher{ini};
  DispatchPlatform platform{input, launcher, ini, matcher};
  std::unique_ptr<Dispatcher> dispatcher;
  PressResult last;
};

// The remote's code table, written out as data: slot, pointer action in mouse
// mode (M = move with the direction, K = click), fixed function.
struct Row {
  int slot;
  char mouse;  // 0, 'M' or 'K'
  int dx, dy;
  const char* fixed;  // "toggle", "light", or a launch category
};

const std::map<int, Row> kRemote = {
    {0x00, {33, 0, 0, 0, nullptr}},    {0x01, {31, 0, 0, 0, nullptr}},
    {0x02, {28, 0, 0, 0, nullptr}},    {0x03, {25, 0, 0, 0, nullptr}},
    {0x04, {32, 0, 0, 0, nullptr}},    {0x05, {30, 0, 0, 0, nullptr}},
    {0x06, {27, 0, 0, 0, nullptr}},    {0x07, {24, 0, 0, 0, nullptr}},
    {0x09, {29, 0, 0, 0, nullptr}},    {0x0A, {26, 0, 0, 0, nullptr}},
    {0x0B, {23, 0, 0, 0, nullptr}},    {0x40, {22, 'M', +1, +1, nullptr}},
    {0x41, {19, 'M', +1, 0, nullptr}}, {0x42, {15, 'M', +1, -1, nullptr}},
    {0x43, {13, 0, 0, 0, nullptr}},    {0x44, {20, 'M', 0, +1, nullptr}},
    {0x45, {18, 'K', 0, 0, nullptr}},  {0x46, {16, 'M', 0, -1, nullptr}},
    {0x47, {-1, 0, 0, 0, "toggle"}},   {0x48, {21, 'M', -1, +1, nullptr}},
    {0x49, {17, 'M', -1, 0, nullptr}}, {0x4A, {14, 'M', -1, -1, nullptr}},
    {0x4B, {-1, 0, 0, 0, "Speech"}},   {0x54, {-1, 0, 0, 0, "light"}},
    {0x55, {-1, 0, 0, 0, "DVD"}},      {0x56, {-1, 0, 0, 0, "Music"}},
    {0x57, {-1, 0, 0, 0, "WWW"}},      {0x59, {3, 0, 0, 0, nullptr}},
    {0x5A, {6, 0, 0, 0, nullptr}},     {0x5B, {9, 0, 0, 0, nullptr}},
    {0x5C, {1, 0, 0, 0, nullptr}},     {0x5D, {4, 0, 0, 0, nullptr}},
    {0x5E, {7, 0, 0, 0, nullptr}},     {0x5F, {10, 0, 0, 0, nullptr}},
};

// An elevated program in front drops injected input: the press says so in a
// caption of at most 40 characters instead of injecting, and does the rest.
TEST_F(DispatchTest, EveryCodeDoesWhatTheTableSaysAndNothingElse) {
  const std::string refused = "Run as admin to control MediaCenterPlaye";
  for (int code = 0; code < 256; ++code) {
    for (bool mouseMode : {false, true}) {
      for (int repeat : {0, 1}) {
        for (int variant = 0; variant < 3; ++variant) {
          const bool profiled = variant > 0, elevated = variant == 2;
          SetUp();
          input.events.clear();
          input.batches.clear();
          launcher.started.clear();
          matcher.calls = 0;
          Start(mouseMode);
          matcher.profile = profiled ? "Player" : "";
          matcher.elevated = elevated ? "MediaCenterPlayerDeluxe.exe" : "";
          SCOPED_TRACE("code " + std::to_string(code) + (mouseMode ? " mouse" : "") + " repeat " +
                       std::to_string(repeat) + (profiled ? " profiled" : "") +
                       (elevated ? " elevated" : ""));
          Press(code, repeat);

          std::vector<InputEvent> events;
          std::string caption = "previous";
          bool modeAfter = mouseMode;
          std::vector<std::string> started;
          auto it = kRemote.find(code);
          if (it != kRemote.end()) {
            const Row& row = it->second;
            auto fixed = [&](const char* f) { return row.fixed && std::string(row.fixed) == f; };
            const bool pointer = mouseMode && row.mouse != 0;
            const bool slotActs = row.slot >= 0 && !pointer && !(code == 0x42 && repeat != 0);
            if (pointer && row.mouse == 'M') {
              events = {InputEvent::Mouse(kMouseMove, 2 * row.dx, 2 * row.dy)};
            } else if (pointer) {
              events = {InputEvent::Mouse(kMouseLeftDown, 0, 0),
                        InputEvent::Mouse(kMouseLeftUp, 0, 0)};
            } else if (slotActs && profiled) {
              events = {Down(KeyOfSlot(row.slot)), Up(KeyOfSlot(row.slot))};
              caption = "caption " + std::to_string(row.slot);
            } else if (slotActs) {
              caption = "";
            } else if (fixed("toggle")) {
              if (repeat == 0) {
                modeAfter = !mouseMode;
                caption = modeAfter ? "Mouse On" : "Mouse Off";
              }
            } else if (fixed("light")) {
              caption = "Light";
            } else if (row.fixed != nullptr && repeat == 0) {
              caption = std::string("App") + row.fixed;
              started = {"C:\\Apps\\" + caption + ".exe"};
            }
          }
          const bool refusedInput = elevated && !events.empty();
          if (refusedInput) {
            events.clear();
            caption = refused;
          }
          EXPECT_EQ(test::Describe(input.events), test::Describe(events));
          // Each hotkey, move or click in one piece.
          EXPECT_EQ(input.batches.size(), events.empty() ? 0u : 1u);
          if (refusedInput) EXPECT_FALSE(last.restartMouseTimer);
          EXPECT_EQ(std::string(Caption()), caption);
          EXPECT_EQ(dispatcher->MouseMode(), modeAfter);
          EXPECT_EQ(launcher.started, started);
          EXPECT_EQ(matcher.calls, 1);  // every accepted report looks at the foreground
        }
      }
    }
  }
}

TEST_F(DispatchTest, AReportWithoutTheMarkerDoesNothingAtAll) {
  matcher.profile = "Player";
  for (int marker : {0x7E, 0x00, 0xFF, 0x17E}) {
    for (int code : {0x00, 0x41, 0x47, 0x54, 0x55}) {
      Press(code, 0, marker);
    }
  }
  EXPECT_TRUE(input.events.empty());
  EXPECT_STREQ(Caption(), "previous");
  EXPECT_FALSE(dispatcher->MouseMode());
  EXPECT_EQ(matcher.calls, 0);
  EXPECT_EQ(ini.reads, 0);
  EXPECT_TRUE(launcher.probed.empty());
}

TEST_F(DispatchTest, OnlyTheLowBytesOfTheReportValuesCount) {
  matcher.profile = "Player";
  Press(0x100 | 0x5C, 0x100, 0x200 | kMarker);  // code 0x5C, repeat 0
  EXPECT_EQ(test::Describe(input.events), test::Describe({Down(KeyOfSlot(1)), Up(KeyOfSlot(1))}));
  EXPECT_STREQ(Caption(), "caption 1");
}

TEST_F(DispatchTest, MovesAccelerateAcrossDirectionsUntilTheTimerResetsTheStep) {
  Start(true);
  Press(0x41);
  Press(0x41, 1);
  Press(0x41);
  Press(0x41, 1);
  dispatcher->ResetMouseStep();  // the 300 ms timer fired
  Press(0x4A);
  Press(0x44);
  Press(0x45);  // a click leaves the step alone
  Press(0x42);
  std::vector<InputEvent> expected = {
      InputEvent::Mouse(kMouseMove, 2, 0),     InputEvent::Mouse(kMouseMove, 8, 0),
      InputEvent::Mouse(kMouseMove, 14, 0),    InputEvent::Mouse(kMouseMove, 20, 0),
      InputEvent::Mouse(kMouseMove, -2, -2),   InputEvent::Mouse(kMouseMove, 0, 8),
      InputEvent::Mouse(kMouseLeftDown, 0, 0), InputEvent::Mouse(kMouseLeftUp, 0, 0),
      InputEvent::Mouse(kMouseMove, 14, -14),
  };
  EXPECT_EQ(test::Describe(input.events), test::Describe(expected));
  EXPECT_EQ(dispatcher->MouseStep(), 18);
  EXPECT_STREQ(Caption(), "previous");
}

TEST_F(DispatchTest, AHeldDirectionNeverOverflowsTheStep) {
  Start(true, INT_MAX - 10);
  for (int i = 0; i < 5; ++i) Press(0x49);
  EXPECT_GE(dispatcher->MouseStep(), INT_MAX - 10);
  EXPECT_LE(dispatcher->MouseStep(), INT_MAX - 2);
  EXPECT_EQ(input.events.size(), 5u);
  EXPECT_LT(input.events.back().dx, 0);  // still to the left, no wrap-around
}

TEST_F(DispatchTest, MouseToggleAndItsCaptions) {
  matcher.profile = "";
  Start(false, 12);
  Press(0x47, 1);
  EXPECT_FALSE(dispatcher->MouseMode());
  EXPECT_STREQ(Caption(), "previous");
  Press(0x47);
  EXPECT_TRUE(dispatcher->MouseMode());
  EXPECT_STREQ(Caption(), "Mouse On");
  Press(0x47);
  EXPECT_FALSE(dispatcher->MouseMode());
  EXPECT_STREQ(Caption(), "Mouse Off");
  EXPECT_EQ(dispatcher->MouseStep(), 12);  // the toggle does not reset the step
}

TEST_F(DispatchTest, SwitchingProfilesBetweenPressesSwitchesWhatIsSent) {
  matcher.profile = "Player";
  Press(0x00);
  matcher.profile = "";
  Press(0x00);
  EXPECT_STREQ(Caption(), "");
  matcher.profile = "Player";
  ini.Set(g_szUserDefIniPath, "Player", "33", "0-F5");  // edited between presses
  Press(0x00);
  EXPECT_EQ(test::Describe(input.events),
            test::Describe({Down(KeyOfSlot(33)), Up(KeyOfSlot(33)), Down(0x74), Up(0x74)}));
  EXPECT_STREQ(Caption(), "caption 33");
}

TEST_F(DispatchTest, TheCaptionComesFromTheFileNotFromTheLoadedTable) {
  matcher.profile = "Player";
  Press(0x5C);
  EXPECT_STREQ(Caption(), "caption 1");
  // A slot with an unparsable hotkey sends nothing but still shows its caption.
  ini.Set(g_szUserDefIniPath, "Player", "1", "0-NOSUCHKEY");
  input.events.clear();
  Press(0x5C);
  EXPECT_TRUE(input.events.empty());
  EXPECT_STREQ(Caption(), "caption 1");
  // The longest caption the buffer takes is 254 characters.
  ini.Set(g_szUserDefInfIniPath, "Player", "1", std::string(300, 'x'));
  Press(0x5C);
  EXPECT_EQ(std::string(Caption()), std::string(254, 'x'));
}

TEST_F(DispatchTest, ALaunchWithoutAnExistingTargetSaysFilePathError) {
  launcher.existing.clear();
  Press(0x55);
  EXPECT_STREQ(Caption(), "File path error");
  EXPECT_TRUE(launcher.started.empty());

  // An empty "APName" leads to an empty path, which is never looked for.
  ini.Set(g_szCtrlIniPath, "Music", "APName", "");
  launcher.probed.clear();
  Press(0x56);
  EXPECT_STREQ(Caption(), "File path error");
  EXPECT_TRUE(launcher.probed.empty());

  // A profile without "FilePath".
  ini.Set(g_szCtrlIniPath, "WWW", "APName", "NoSuchProfile");
  Press(0x57);
  EXPECT_STREQ(Caption(), "File path error");
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(DispatchTest, ALaunchThatDoesNotStartSaysFilePathError) {
  // A shortcut, a document, a folder or no access: present, but no program
  // started, so the application's name must not be shown.
  const struct {
    bool starts;
    const char* caption;
  } cases[] = {{true, "AppDVD"}, {false, "File path error"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    launcher.refused.clear();
    launcher.started.clear();
    if (!c.starts) launcher.refused.insert("C:\\Apps\\AppDVD.exe");
    Press(0x55);
    EXPECT_EQ(launcher.started, std::vector<std::string>{"C:\\Apps\\AppDVD.exe"});
    EXPECT_STREQ(Caption(), c.caption);
  }
}

TEST_F(DispatchTest, ALaunchReadsTheCategorysNameWhole) {
  // A name cut to 99 characters would be this profile's.
  const std::string other(99, 'n');
  ini.Set(g_szUserDefIniPath, other, "FilePath", "C:\\Apps\\other.exe");
  launcher.existing.insert("C:\\Apps\\other.exe");
  // The lines above the first section, which an empty name would look up.
  ini.Set(g_szUserDefIniPath, "", "FilePath", "C:\\Apps\\top.exe");
  launcher.existing.insert("C:\\Apps\\top.exe");
  const struct {
    std::string name;
    const char* caption;
    const char* started;  // null: nothing
  } cases[] = {
      {other + "xxxxxxxxx", "File path error", nullptr},
      {other + "x", "File path error", nullptr},
      {"", "File path error", nullptr},
      {other, other.c_str(), "C:\\Apps\\other.exe"},
  };
  for (const auto& c : cases) {
    ini.Set(g_szCtrlIniPath, "DVD", "APName", c.name);
    launcher.started.clear();
    Press(0x55);
    EXPECT_STREQ(Caption(), c.caption) << c.name.size();
    EXPECT_EQ(launcher.started,
              c.started ? std::vector<std::string>{c.started} : std::vector<std::string>{})
        << c.name.size();
  }
}

TEST_F(DispatchTest, APressThatRunsOutOfMemoryEndsQuietly) {
  struct Failing : IProfileMatcher {
    bool fail = false;
    bool MatchForegroundProfile(char (&name)[kNameLen], CHotkeyTable&) override {
      if (fail) throw std::bad_alloc();
      CopyBounded(name, "Player");
      return true;
    }
  } failing;
  Dispatcher broken({input, launcher, ini, failing});
  broken.DispatchRemoteButton(0x54, kMarker, 0);  // Light, with a profile matched
  ASSERT_FALSE(broken.NoProfile());
  failing.fail = true;
  for (int code : {0x5C, 0x55, 0x47}) {
    EXPECT_NO_THROW(last = broken.DispatchRemoteButton(code, kMarker, 0)) << code;
    EXPECT_STREQ(Caption(), "") << code;
    EXPECT_TRUE(broken.NoProfile()) << code;
  }
  EXPECT_TRUE(input.events.empty());
  EXPECT_TRUE(launcher.started.empty());
  EXPECT_FALSE(broken.MouseMode());
}

TEST_F(DispatchTest, AHeldLaunchButtonStartsOncePerPress) {
  Press(0x4B);
  Press(0x4B, 1);
  Press(0x4B, 1);
  EXPECT_EQ(launcher.started.size(), 1u);
  EXPECT_STREQ(Caption(), "AppSpeech");
  EXPECT_STREQ(dispatcher->LaunchApp(), "AppSpeech");
}

TEST_F(DispatchTest, LearningMapsCodesToTheSameSlots) {
  for (int code = 0; code < 512; ++code) {
    auto it = kRemote.find(code & 0xFF);
    const int expected = it == kRemote.end() ? -1 : it->second.slot;
    EXPECT_EQ(SlotForCode(code), expected) << code;
  }
  for (int unreached : {0, 2, 5, 8, 11, 12}) {
    for (int code = 0; code < 256; ++code) EXPECT_NE(SlotForCode(code), unreached);
  }
}

}  // namespace
}  // namespace k7
