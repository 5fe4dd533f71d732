#include "base/text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k7 {
namespace {

TEST(Text, BoundedCopiesAlwaysTerminateAndNeverOverrun) {
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(CopyBounded(buf, "abc"), 3u);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(CopyBounded(buf, "0123456789"), 7u);
  EXPECT_STREQ(buf, "0123456");
  EXPECT_EQ(CopyBounded(buf, nullptr), 0u);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(CopyBounded(buf, 0, "abc"), 0u);  // no room at all: untouched

  CopyBounded(buf, "abc");
  EXPECT_EQ(AppendBounded(buf, "defghij"), 4u);
  EXPECT_STREQ(buf, "abcdefg");
  EXPECT_EQ(AppendBounded(buf, "z"), 0u);
  EXPECT_STREQ(buf, "abcdefg");
  std::memset(buf, 'x', sizeof buf);  // unterminated: append must not touch it
  EXPECT_EQ(AppendBounded(buf, "z"), 0u);
  EXPECT_EQ(BoundedLength(buf, sizeof buf), sizeof buf);
}

TEST(Text, CaseIsIgnoredForAsciiLettersOnly) {
  EXPECT_TRUE(EqualsNoCase("WinDVD.exe", "windvd.EXE"));
  EXPECT_FALSE(EqualsNoCase("WinDVD.exe", "WinDVD.ex"));
  EXPECT_FALSE(EqualsNoCase("\xC4", "\xE4"));  // Latin-1 A and a umlaut stay distinct
  EXPECT_TRUE(EqualsNoCase("", ""));
  EXPECT_TRUE(StartsWithNoCase("NumPad5", "numpad"));
  EXPECT_FALSE(StartsWithNoCase("Num", "numpad"));
  EXPECT_TRUE(StartsWithNoCase("x", ""));
}

}  // namespace
}  // namespace k7
