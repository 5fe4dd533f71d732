#include "receiver/report_route.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dispatch/dispatch.h"
#include "fakes/fake_ini.h"
#include "fakes/fake_platform.h"
#include "fakes/recording_input.h"

namespace k7 {
namespace {

// Records every effect of the routing as one line, in order; the
// dispatcher's look at the foreground is one of them.
class RecordingSink : public IReportSink, public IProfileMatcher {
 public:
  void SetTrayIcon(int iconId) override { log.push_back("icon " + std::to_string(iconId)); }
  void LearnButton(int code, int marker) override {
    log.push_back("learn " + std::to_string(code) + " " + std::to_string(marker));
  }
  void RestartMouseTimer() override { log.push_back("timer"); }
  void ShowOsd(const Caption& caption) override {
    log.push_back(std::string("osd ") + caption.text);
  }
  void RearmRead() override { log.push_back("rearm"); }
  bool MatchForegroundProfile(char (&)[kNameLen], CHotkeyTable&) override {
    log.push_back("match");
    return false;
  }

  std::vector<std::string> log;
};

class RouteTest : public ::testing::Test {
 protected:
  std::vector<std::string> Route(uint8_t code, uint8_t marker = 0x7F, uint8_t repeat = 0) {
    const uint8_t report[kReportLen] = {0x55, code, marker, repeat, 9, 9, 9, 9};
    sink.log.clear();
    RouteReport(sink, flags, dispatcher, report);
    return sink.log;
  }
  RecordingSink sink;
  test::FakeIni ini;
  test::RecordingInput input;
  test::FakeLauncher launcher;
  Dispatcher dispatcher{{input, launcher, ini, sink}};
  SharedFlags flags;
};

using Log = std::vector<std::string>;

TEST(FollowUp, EveryCodeInBothModesWithTheDisplayOnAndOff) {
  const std::vector<int> alwaysTimer = {64, 66, 69, 72, 74};
  const std::vector<int> timerInMouseMode = {65, 68, 70, 73};
  auto contains = [](const std::vector<int>& v, int c) {
    return std::find(v.begin(), v.end(), c) != v.end();
  };
  for (int code = 0; code < 256; ++code) {
    for (bool mouse : {false, true}) {
      for (bool osd : {false, true}) {
        FollowUp expected = osd ? FollowUp::kShowOsd : FollowUp::kNothing;
        if (contains(alwaysTimer, code) || (mouse && contains(timerInMouseMode, code))) {
          expected = FollowUp::kRestartMouseTimer;
        }
        EXPECT_EQ(FollowUpFor(code, mouse, osd), expected)
            << "code " << code << " mouse " << mouse << " osd " << osd;
      }
    }
  }
}

TEST_F(RouteTest, ADispatchedReportFlashesTheIconAndShowsItsCaption) {
  EXPECT_EQ(Route(0x54, 0x7F, 1), (Log{"icon 136", "match", "osd Light", "rearm", "icon 135"}));
}

TEST_F(RouteTest, PointerCodesRestartTheTimerInsteadOfShowingACaption) {
  EXPECT_EQ(Route(64), (Log{"icon 136", "match", "timer", "rearm", "icon 135"}));
  EXPECT_EQ(Route(65), (Log{"icon 136", "match", "osd ", "rearm", "icon 135"}));
  EXPECT_EQ(Route(71), (Log{"icon 136", "match", "osd Mouse On", "rearm", "icon 135"}));
  EXPECT_EQ(Route(65), (Log{"icon 136", "match", "timer", "rearm", "icon 135"}));
}

TEST_F(RouteTest, TheModeAfterEachPressDecidesItsFollowUp) {
  Route(71);
  EXPECT_EQ(Route(70), (Log{"icon 136", "match", "timer", "rearm", "icon 135"}));
  Route(71);
  EXPECT_EQ(Route(70), (Log{"icon 136", "match", "osd ", "rearm", "icon 135"}));
}

TEST_F(RouteTest, ABadMarkerStillShowsThePreviousCaption) {
  Route(0x54);
  EXPECT_EQ(Route(0x00, 0x7E), (Log{"icon 136", "osd Light", "rearm", "icon 135"}));
}

TEST_F(RouteTest, WithTheDisplayOffNothingIsShown) {
  flags.bOsdEnabled = false;
  for (int code = 0; code < 256; ++code) {
    for (const std::string& line : Route(uint8_t(code)))
      EXPECT_NE(line.rfind("osd", 0), 0u) << code;
  }
}

TEST_F(RouteTest, WithTheEditorOpenOnlyLearningSeesTheReport) {
  flags.bEditorOpen = true;
  for (int code : {0x00, 0x41, 0x47, 0x55, 0xFF}) {
    EXPECT_EQ(Route(uint8_t(code), 0x7E, 1),
              (Log{"icon 136", "learn " + std::to_string(code) + " 126", "rearm", "icon 135"}));
  }
  EXPECT_FALSE(dispatcher.MouseMode());
}

TEST_F(RouteTest, WhileDisabledEveryReportIsReadAndDiscarded) {
  flags.bDisabled = true;
  flags.bEditorOpen = true;
  for (int code : {0x00, 0x41, 0x47}) EXPECT_EQ(Route(uint8_t(code)), (Log{"icon 137", "rearm"}));
  EXPECT_FALSE(dispatcher.MouseMode());
}

}  // namespace
}  // namespace k7
