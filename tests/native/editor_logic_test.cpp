#include "ui/editor_logic.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "dispatch/dispatch.h"
#include "fakes/temp_dir.h"
#include "fakes/portable_ini_store.h"
#include "profiles/profile_store.h"

namespace k7 {
namespace {

struct NameCase {
  std::string name;
  bool listHoldsIt;
  AppNameCheck expected;
};

const NameCase kNameCases[] = {
    {"WinDVD", false, AppNameCheck::kOk},
    {"Media Player 2", false, AppNameCheck::kOk},
    {"a\tb", false, AppNameCheck::kOk},
    {"x;y=z", false, AppNameCheck::kOk},
    {std::string(99, 'n'), false, AppNameCheck::kOk},
    // The duplicate check comes first, then the empty one.
    {"WinDVD", true, AppNameCheck::kDuplicate},
    {"", true, AppNameCheck::kDuplicate},
    {"", false, AppNameCheck::kEmpty},
    {std::string(100, 'n'), false, AppNameCheck::kTooLong},
    {std::string(254, ' '), false, AppNameCheck::kTooLong},
    {" WinDVD", false, AppNameCheck::kBlankAtEnd},
    {"WinDVD ", false, AppNameCheck::kBlankAtEnd},
    {"\tWinDVD", false, AppNameCheck::kBlankAtEnd},
    {"WinDVD\t", false, AppNameCheck::kBlankAtEnd},
    {"   ", false, AppNameCheck::kBlankAtEnd},
    {"Win[DVD", false, AppNameCheck::kBracket},
    {"WinDVD]", false, AppNameCheck::kBracket},
    {"[WinDVD]", false, AppNameCheck::kBracket},
    {";WinDVD", false, AppNameCheck::kLeadingSemicolon},
    {"Win\r\nDVD", false, AppNameCheck::kControlCharacter},
    {"Win\x01", false, AppNameCheck::kControlCharacter},
};

TEST(EditorAppName, ChecksInOrder) {
  for (const NameCase& c : kNameCases) {
    EXPECT_EQ(CheckAppName(c.name.c_str(), c.listHoldsIt), c.expected)
        << "name \"" << c.name << "\" listed=" << c.listHoldsIt;
  }
}

// Every accepted name comes back from the files as the same profile; one with
// blanks at an end would come back trimmed, as another name. (Wine's parser
// keeps brackets and a leading semicolon in a section header; Windows' does
// not, so those stay refused.)
TEST(EditorAppName, AcceptedNamesSurviveTheIniFilesAndTrimmedOnesWouldNot) {
  test::TempDir dir;
  PortableIniStore ini;
  for (const NameCase& c : kNameCases) {
    if (c.listHoldsIt ||
        (c.expected != AppNameCheck::kOk && c.expected != AppNameCheck::kBlankAtEnd)) {
      continue;
    }
    const std::string file = dir.Write("UserDef.ini", "");
    ini.WriteString(c.name.c_str(), "FilePath", "C:\\x.exe", file.c_str());
    const std::vector<std::string> names = ReadProfileNames(ini, file.c_str());
    const bool same = names.size() == 1 && names[0] == c.name;
    EXPECT_EQ(same, c.expected == AppNameCheck::kOk) << "name \"" << c.name << "\"";
  }
}

// Saving a profile with the box checked leaves the mark on that profile
// alone; unchecked, the key goes, and a file that never held it is not touched.
TEST(EditorAllOtherPrograms, TheMarkIsSavedOnOneProfileOnly) {
  const struct {
    const char* what;
    const char* before;
    const char* name;
    bool marked;
    const char* after;  // nullptr: byte for byte as before
  } rows[] = {
      {"unchecked, no mark anywhere", "[A]\r\n1=0-A\r\n[B]\r\n1=0-B\r\n", "A", false, nullptr},
      {"checked, moved from B", "[A]\r\n1=0-A\r\n[B]\r\nAllOtherPrograms=1\r\n1=0-B\r\n", "A", true,
       "[A]\r\n1=0-A\r\nAllOtherPrograms=1\r\n[B]\r\n1=0-B\r\n"},
      {"checked, already its own", "[A]\r\nAllOtherPrograms=1\r\n1=0-A\r\n[B]\r\n1=0-B\r\n", "a",
       true, nullptr},
      {"unchecked, its own goes", "[A]\r\nAllOtherPrograms=1\r\n1=0-A\r\n", "A", false,
       "[A]\r\n1=0-A\r\n"},
      {"checked, every other key goes",
       "[A]\r\nAllOtherPrograms=0\r\n[B]\r\n1=0-B\r\n[C]\r\nAllOtherPrograms=1\r\n", "B", true,
       "[A]\r\n[B]\r\n1=0-B\r\nAllOtherPrograms=1\r\n[C]\r\n"},
  };
  test::TempDir dir;
  PortableIniStore ini;
  for (const auto& row : rows) {
    const std::string file = dir.Write("UserDef.ini", row.before);
    const EditorFiles files{"", file.c_str(), ""};
    SaveAllOtherProgramsMark(ini, files, row.name, row.marked);
    EXPECT_EQ(test::TempDir::Read(file), row.after != nullptr ? row.after : row.before) << row.what;
  }
}

TEST(EditorRepeatRule, ChosenAndTypedTextsAreReadOrRefused) {
  using K = RepeatKind;
  const struct {
    const char* text;
    bool ok;
    RepeatRule rule;
  } rows[] = {
      {"", true, {}},
      {"  Always ", true, {K::kEvery, 0}},
      {"every", true, {K::kEvery, 0}},
      {"first", true, {K::kFirst, 0}},
      {"750MS", true, {K::kAfterMs, 750}},
      {" 100 ", true, {K::kAfterMs, 100}},
      {"99", false, {}},
      {"2001 ms", false, {}},
      {"5 00", false, {}},
      {"ms", false, {}},
      {"fast", false, {}},
  };
  const RepeatRule before{K::kAfterMs, 1234};
  for (const auto& row : rows) {
    RepeatRule rule = before;
    EXPECT_EQ(ParseRepeatChoice(row.text, rule), row.ok) << row.text;
    EXPECT_EQ(rule, row.ok ? row.rule : before) << row.text;  // refused: unchanged
  }
  // What the list shows reads back as the same rule.
  for (const RepeatRule& choice : kRepeatChoices) {
    RepeatRule back = before;
    EXPECT_TRUE(ParseRepeatChoice(RepeatChoiceText(choice).c_str(), back));
    EXPECT_EQ(back, choice) << RepeatChoiceText(choice);
  }
}

// Hold actions, captions and rules come back as saved; a slot without them
// has no keys, so a file that never held them is not touched.
TEST(EditorHoldKeys, SavedAndReadBackAndAbsentWhenNone) {
  test::TempDir dir;
  PortableIniStore ini;
  const std::string plainDef = "[A]\r\n1=0-A\r\n", plainInf = "[A]\r\n1=One\r\n";
  const std::string def = dir.Write("UserDef.ini", plainDef);
  const std::string inf = dir.Write("UserDefInf.ini", plainInf);
  const EditorFiles files{"", def.c_str(), inf.c_str()};
  EditorHoldSlot slots[kSlotCount], back[kSlotCount];
  slots[1] = {{'Q', kHotkeyControl | kHotkeyShift, 0}, "Quit", {RepeatKind::kFirst, 0}};
  slots[30].repeat = {RepeatKind::kAfterMs, 400};
  CopyBounded(slots[31].szCaption, "no hold action, not kept");
  SaveEditorHoldKeys(ini, files, "A", slots);
  EXPECT_EQ(test::TempDir::Read(def),
            "[A]\r\n1=0-A\r\nHold1=0-C-S-Q\r\nRepeat1=first\r\nRepeat30=400\r\n");
  EXPECT_EQ(test::TempDir::Read(inf), "[A]\r\n1=One\r\nHold1=Quit\r\n");
  LoadEditorHoldKeys(ini, files, "A", back);
  slots[31] = EditorHoldSlot{};
  for (int i = 0; i < kSlotCount; ++i) {
    EXPECT_EQ(HotkeyControlValue(back[i].hold), HotkeyControlValue(slots[i].hold)) << i;
    EXPECT_STREQ(back[i].szCaption, slots[i].szCaption) << i;
    EXPECT_EQ(back[i].repeat, slots[i].repeat) << i;
  }
  // Unreadable values read as none; saved empty, every key goes.
  dir.Write("UserDef.ini", plainDef + "Hold2=0-\r\nRepeat2=fast\r\nHold3=0-NOSUCHKEY\r\n");
  LoadEditorHoldKeys(ini, files, "A", back);
  EXPECT_FALSE(HasHoldAction(back[2]) || HasHoldAction(back[3]) ||
               back[2].repeat.kind != RepeatKind::kDefault);
  for (EditorHoldSlot& slot : back) slot = EditorHoldSlot{};
  SaveEditorHoldKeys(ini, files, "A", back);
  EXPECT_EQ(test::TempDir::Read(def) + test::TempDir::Read(inf), plainDef + plainInf);
}

TEST(EditorHotkeys, ModifiersBecomeControlFlags) {
  // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4 against HOTKEYF_SHIFT 1,
  // HOTKEYF_CONTROL 2, HOTKEYF_ALT 4.
  const uint8_t expected[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  for (unsigned mod = 0; mod < 8; ++mod) {
    EXPECT_EQ(HotkeyFlagsForModifiers(mod), expected[mod]) << "mod " << mod;
  }
  // MOD_WIN and MOD_NOREPEAT have no flag.
  EXPECT_EQ(HotkeyFlagsForModifiers(0x8 | 0x4000 | 1), 4);
}

// Ids and modifiers of each captured key, in registration order.
struct CaptureGroup {
  uint8_t vk;
  int firstId;
  std::vector<uint8_t> modifiers;
};

TEST(EditorHotkeys, CapturedKeysAreRegisteredInTheirOrder) {
  const std::vector<uint8_t> all = {0, 4, 1, 2, 5, 6, 3, 7};
  const std::vector<uint8_t> withModifier = {4, 1, 2, 5, 6, 3, 7};
  const CaptureGroup groups[] = {
      {0x1B, 1, all},   {0x0D, 10, withModifier}, {0x09, 17, all},  {0x20, 26, withModifier},
      {0x13, 34, {0}},  {0x2E, 35, {0}},          {0x2A, 36, {0}},  {0xAD, 37, all},
      {0xAE, 45, all},  {0xAF, 53, all},          {0xB0, 61, all},  {0xB1, 69, all},
      {0xB2, 77, all},  {0xB3, 85, all},          {0xAA, 93, all},  {0xAC, 101, all},
      {0xB4, 109, all}, {0xB5, 117, all},         {0xB6, 125, all}, {0xB7, 133, all},
      {0x2C, 141, all},
  };
  std::vector<CaptureHotkey> expected;
  for (const CaptureGroup& g : groups) {
    int id = g.firstId;
    for (uint8_t m : g.modifiers) expected.push_back({id++, g.vk, m});
  }
  ASSERT_EQ(expected.size(), static_cast<size_t>(kCaptureHotkeyCount));
  for (int i = 0; i < kCaptureHotkeyCount; ++i) {
    EXPECT_EQ(kCaptureHotkeys[i].id, expected[i].id) << "entry " << i;
    EXPECT_EQ(kCaptureHotkeys[i].vk, expected[i].vk) << "entry " << i;
    EXPECT_EQ(kCaptureHotkeys[i].modifiers, expected[i].modifiers) << "entry " << i;
  }
}

TEST(EditorLearning, OnlyTheRemotesReportsSelectTheirSlot) {
  struct Case {
    int code, marker, slot;
  } cases[] = {
      {0x5C, 0x7F, 1},  {0x59, 0x7F, 3},  {0x00, 0x7F, 33}, {0x40, 0x7F, 22},
      {0x43, 0x7F, 13}, {0x47, 0x7F, -1}, {0x08, 0x7F, -1}, {0x55, 0x7F, -1},
      {0x5C, 0x7E, -1}, {0x5C, 0x00, -1}, {0x5C, 0x17F, 1}, {0x15C, 0x7F, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LearnedSlot(c.code, c.marker), c.slot) << std::hex << c.code << " " << c.marker;
  }
}

TEST(EditorLearning, EveryLearnedSlotIsTheDispatchersAndHasAnEnabledButton) {
  std::set<int> reached;
  for (int code = 0; code < 256; ++code) {
    const int slot = LearnedSlot(code, kMarker);
    EXPECT_EQ(slot, SlotForCode(code)) << "code " << code;
    if (slot < 0) continue;
    EXPECT_LT(slot, kSlotCount);
    EXPECT_FALSE(IsDisabledSlot(slot)) << "code " << code << " reaches disabled slot " << slot;
    reached.insert(slot);
  }
  // Each slot with an enabled button is reachable from the remote.
  for (int slot = 0; slot < kSlotCount; ++slot) {
    EXPECT_EQ(reached.count(slot) == 1, !IsDisabledSlot(slot)) << "slot " << slot;
  }
}

}  // namespace
}  // namespace k7

namespace k7 {
namespace {

struct RemoteScaleCase {
  int dpi;
  ButtonRect picture;
  ButtonRect pad;  // slot 16, the direction pad's up key
  int bitmapOffset;
  bool exactSet;
  int minClientBottom;
};

TEST(EditorRemoteLayout, PictureAndButtonsScaleTogetherFromTheNearestSet) {
  const RemoteScaleCase cases[] = {
      {96, {16, 14, 120, 364}, {50, 152, 87, 164}, 0, true, 360},
      {120, {20, 18, 150, 455}, {63, 190, 109, 205}, 1000, true, 450},
      {144, {24, 21, 180, 546}, {75, 228, 131, 246}, 2000, true, 540},
      {192, {32, 28, 240, 728}, {100, 304, 174, 328}, 3000, true, 720},
      // Between two sets the larger one, shrunk; off a set it is stretched.
      {108, {18, 16, 135, 410}, {56, 171, 98, 185}, 1000, false, 405},
      {168, {28, 25, 210, 637}, {88, 266, 152, 287}, 3000, false, 630},
      {100, {17, 15, 125, 379}, {52, 158, 91, 171}, 0, false, 375},
      {288, {48, 42, 360, 1092}, {150, 456, 261, 492}, 3000, false, 1080},
      // No usable DPI: the 96 DPI layout.
      {0, {16, 14, 120, 364}, {50, 152, 87, 164}, 0, true, 360},
      {-120, {16, 14, 120, 364}, {50, 152, 87, 164}, 0, true, 360},
  };
  auto same = [](const ButtonRect& a, const ButtonRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  };
  for (const RemoteScaleCase& c : cases) {
    SCOPED_TRACE("dpi " + std::to_string(c.dpi));
    const EditorRemoteLayout layout = EditorRemoteLayoutForDpi(c.dpi);
    EXPECT_TRUE(same(layout.picture, c.picture));
    EXPECT_TRUE(same(layout.buttons[16], c.pad));
    EXPECT_EQ(layout.bitmapOffset, c.bitmapOffset);
    EXPECT_EQ(layout.exactSet, c.exactSet);
    EXPECT_EQ(layout.minClientBottom, c.minClientBottom);
    const int dpi = c.dpi > 0 ? c.dpi : 96;
    for (int n = 0; n < kEditorButtonCount; ++n) {
      // Every button stays on the picture, at its place there within a
      // pixel of the 96 DPI one scaled.
      const ButtonRect& b = layout.buttons[n];
      const ButtonRect& at96 = kEditorButtonRects[n];
      EXPECT_GE(b.left, layout.picture.left) << n;
      EXPECT_LE(b.bottom, layout.picture.bottom) << n;
      EXPECT_NEAR((b.left - layout.picture.left) * 96.0 / dpi, at96.left - 16, 96.0 / dpi) << n;
      EXPECT_NEAR((b.bottom - layout.picture.top) * 96.0 / dpi, at96.bottom - 14, 96.0 / dpi) << n;
      if (dpi == 96) EXPECT_TRUE(same(b, at96)) << n;
    }
  }
}

}  // namespace
}  // namespace k7
