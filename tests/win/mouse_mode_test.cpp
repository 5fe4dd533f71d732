// Mouse mode through the dispatcher and mouse_event, measured between
// consecutive hooked positions (never with GetCursorPos, which under Wine
// moves the cursor back to the X pointer).
#include <windows.h>

#include "win_test.h"

namespace k7::wintest {
namespace {

using harness::HookEvent;
using harness::HookRecorder;

constexpr int kRight = 0x41;
constexpr int kClick = 0x45;

class MouseMode : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    // Away from every edge, where moves would be cut short.
    SetCursorPos(300, 400);
    ASSERT_TRUE(recorder_.Flush());
    recorder_.Clear();
    start_ = recorder_.CursorAtLastFlush();
    ASSERT_LT(start_.x, 1024 - 100) << "no room for the moves";
  }

  harness::MouseAccelerationOff noAcceleration_;
  HookRecorder recorder_;
  POINT start_{};
  Dispatcher mouse_{platform_, DispatchStart{true}};
};

TEST_F(MouseMode, HeldRightMovesFartherEachReport) {
  for (int i = 0; i < 4; ++i) mouse_.DispatchRemoteButton(kRight, kMarker, 0);
  ASSERT_TRUE(recorder_.Flush());

  const std::vector<HookEvent> events = recorder_.Snapshot();
  ASSERT_EQ(events.size(), 4u);
  std::vector<POINT> steps;
  POINT from = start_;
  for (const HookEvent& e : events) {
    EXPECT_EQ(e.message, static_cast<UINT>(WM_MOUSEMOVE)) << e;
    EXPECT_TRUE(e.Injected()) << e;
    steps.push_back({e.pt.x - from.x, e.pt.y - from.y});
    from = e.pt;
  }
  const int expected[] = {2, 8, 14, 20};
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].x, expected[i]) << "move " << i;
    EXPECT_EQ(steps[i].y, 0) << "move " << i;
  }
  EXPECT_EQ(matcher_.calls, 4);
}

TEST_F(MouseMode, ClickIsButtonDownThenUpInPlace) {
  mouse_.DispatchRemoteButton(kClick, kMarker, 0);
  ASSERT_TRUE(recorder_.Flush());

  const std::vector<HookEvent> events = recorder_.Snapshot();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].message, static_cast<UINT>(WM_LBUTTONDOWN)) << events[0];
  EXPECT_EQ(events[1].message, static_cast<UINT>(WM_LBUTTONUP)) << events[1];
  for (const HookEvent& e : events) {
    EXPECT_TRUE(e.Injected()) << e;
    EXPECT_EQ(e.pt.x, start_.x) << e;
    EXPECT_EQ(e.pt.y, start_.y) << e;
  }
}

}  // namespace
}  // namespace k7::wintest
