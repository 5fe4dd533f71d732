#include <gtest/gtest.h>

#include "profiles/hold_keys.h"

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

}  // namespace
}  // namespace k7
