#include "base/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "profiles/ini_file.h"
#include "profiles/profile_store.h"
#include "ui/editor_logic.h"

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

// Big5 (code page 950): 許 is B3 5C and 功 A5 5C, whose second bytes are
// backslashes; 乙 (A4 41) and 兀 (A4 61) differ only in a second byte that is
// an ASCII letter's; 也 (A4 5D) ends in a bracket's byte.
#define XU_GONG "\xB3\x5C\xA5\x5C"
#define YI "\xA4\x41"
#define WU "\xA4\x61"
#define YE "\xA4\x5D"

CodePage Big5() {
  CodePage cp;
  cp.AddLeadBytes(0x81, 0xFE);
  return cp;
}

TEST(Text, DoubleBytePathsSplitAndCompareByCharacter) {
  const CodePage single;
  const CodePage big5 = Big5();
  const struct {
    const char* path;
    const CodePage* cp;
    const char* fileName;
    const char* folder;
  } splits[] = {
      {"C:\\Users\\" XU_GONG "\\K7F3.exe", &big5, "K7F3.exe", "C:\\Users\\" XU_GONG},
      {"D:\\" XU_GONG ".exe", &big5, XU_GONG ".exe", "D:\\"},
      {"D:\\" XU_GONG ".exe", &single, ".exe", "D:\\\xB3\x5C\xA5"},
      {"player.exe", &big5, "player.exe", ""},
      {"C:\\Apps\\", &big5, "", "C:\\Apps"},
      {"C:\\a\xB3", &big5, "a\xB3", "C:\\"},  // a lead byte with nothing after it
  };
  for (const auto& s : splits) {
    SCOPED_TRACE(s.path);
    EXPECT_EQ(FileNameOf(s.path, *s.cp), s.fileName);
    EXPECT_EQ(FolderOf(s.path, *s.cp), s.folder);
  }

  const struct {
    const char* a;
    const char* b;
    const CodePage* cp;
    bool equal;
  } names[] = {
      {YI, WU, &big5, false},
      {YI, WU, &single, true},
      {XU_GONG ".EXE", XU_GONG ".exe", &big5, true},
      {"A" YI "b", "a" YI "B", &big5, true},
      {"\xA4", YI, &big5, false},
  };
  for (const auto& n : names) {
    SCOPED_TRACE(std::string(n.a) + " / " + n.b);
    EXPECT_EQ(EqualsNoCase(n.a, n.b, *n.cp), n.equal);
    EXPECT_EQ(StartsWithNoCase(n.a, n.b, *n.cp), n.equal);
    EXPECT_EQ(LowerAscii(n.a, *n.cp) == LowerAscii(n.b, *n.cp), n.equal);
  }
}

// The same names where the program meets them, on a Traditional Chinese
// system: a profile's program file, a profile name the editor accepts, and
// sections of an INI file as a press looks them up.
TEST(Text, DoubleByteNamesInProfilesAndFiles) {
  SetAnsiCodePage(Big5());
  EXPECT_EQ(ExeFileFromPath("C:\\" XU_GONG "\\" XU_GONG ".exe"), XU_GONG ".exe");
  EXPECT_EQ(CheckAppName(YE, false), AppNameCheck::kOk);
  EXPECT_EQ(CheckAppName(YE "]", false), AppNameCheck::kBracket);

  // "[也" has no bracket of its own: a line of the section above, not a section.
  const IniSnapshot file(FileBytes{
      IniFileState::kRead, "[" YI "]\r\nk=first\r\n[" WU "]\r\nk=second\r\n[" YE "\r\nk2=v\r\n"});
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } lookups[] = {{YI, "k", "first"}, {WU, "k", "second"}, {WU, "k2", "v"}};
  for (const auto& l : lookups) {
    char value[16];
    file.GetString(l.section, l.key, "", value, sizeof value);
    EXPECT_STREQ(value, l.value) << l.section << " " << l.key;
  }
  SetAnsiCodePage(CodePage());
}

}  // namespace
}  // namespace k7
