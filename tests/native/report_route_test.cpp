#include "receiver/report_route.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dispatch/dispatch.h"

namespace k7 {
namespace {

// Records every effect of the routing as one line, in order.
class RecordingSink : public IReportSink {
 public:
  void SetTrayIcon(int iconId) override { log.push_back("icon " + std::to_string(iconId)); }
  void LearnButton(int code, int marker) override {
    log.push_back("learn " + std::to_string(code) + " " + std::to_string(marker));
  }
  void Dispatch(int code, int marker, int repeat) override {
    log.push_back("dispatch " + std::to_string(code) + " " + std::to_string(marker) + " " +
                  std::to_string(repeat));
    if (onDispatch) onDispatch(code);
  }
  void RestartMouseTimer() override { log.push_back("timer"); }
  void ShowOsd() override { log.push_back("osd"); }
  void RearmRead() override { log.push_back("rearm"); }

  std::vector<std::string> log;
  std::function<void(int)> onDispatch;
};

class RouteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bDisabled = false;
    g_bEditorOpen = false;
    g_bOsdEnabled = true;
    g_bMouseMode = false;
  }
  std::vector<std::string> Route(uint8_t code, uint8_t marker = 0x7F, uint8_t repeat = 0) {
    const uint8_t report[kReportLen] = {0x55, code, marker, repeat, 9, 9, 9, 9};
    sink.log.clear();
    RouteReport(sink, report);
    return sink.log;
  }
  RecordingSink sink;
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
  EXPECT_EQ(Route(0x5C, 0x7F, 1),
            (Log{"icon 136", "dispatch 92 127 1", "osd", "rearm", "icon 135"}));
}

TEST_F(RouteTest, PointerCodesRestartTheTimerInsteadOfShowingACaption) {
  EXPECT_EQ(Route(64), (Log{"icon 136", "dispatch 64 127 0", "timer", "rearm", "icon 135"}));
  EXPECT_EQ(Route(65), (Log{"icon 136", "dispatch 65 127 0", "osd", "rearm", "icon 135"}));
  g_bMouseMode = true;
  EXPECT_EQ(Route(65), (Log{"icon 136", "dispatch 65 127 0", "timer", "rearm", "icon 135"}));
  EXPECT_EQ(Route(71), (Log{"icon 136", "dispatch 71 127 0", "osd", "rearm", "icon 135"}));
}

TEST_F(RouteTest, TheModeIsReadAfterTheDispatch) {
  sink.onDispatch = [](int) { g_bMouseMode = !g_bMouseMode.load(); };
  EXPECT_EQ(Route(70), (Log{"icon 136", "dispatch 70 127 0", "timer", "rearm", "icon 135"}));
  EXPECT_EQ(Route(70), (Log{"icon 136", "dispatch 70 127 0", "osd", "rearm", "icon 135"}));
}

TEST_F(RouteTest, ABadMarkerStillShowsThePreviousCaption) {
  EXPECT_EQ(Route(0x00, 0x7E), (Log{"icon 136", "dispatch 0 126 0", "osd", "rearm", "icon 135"}));
}

TEST_F(RouteTest, WithTheDisplayOffNothingIsShown) {
  g_bOsdEnabled = false;
  for (int code = 0; code < 256; ++code) {
    for (const std::string& line : Route(uint8_t(code))) EXPECT_NE(line, "osd") << code;
  }
}

TEST_F(RouteTest, WithTheEditorOpenOnlyLearningSeesTheReport) {
  g_bEditorOpen = true;
  g_bMouseMode = true;
  for (int code : {0x00, 0x41, 0x47, 0x55, 0xFF}) {
    EXPECT_EQ(Route(uint8_t(code), 0x7E, 1),
              (Log{"icon 136", "learn " + std::to_string(code) + " 126", "rearm", "icon 135"}));
  }
}

TEST_F(RouteTest, WhileDisabledEveryReportIsReadAndDiscarded) {
  g_bDisabled = true;
  g_bEditorOpen = true;
  for (int code : {0x00, 0x41, 0x47}) EXPECT_EQ(Route(uint8_t(code)), (Log{"icon 137", "rearm"}));
}

}  // namespace
}  // namespace k7
