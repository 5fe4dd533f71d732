#include "keys/hotkey_notation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <utility>

#include "keys/input.h"
#include "ui/editor_logic.h"

namespace k7 {
namespace {

BUTTONSLOT Parsed(const char* s) {
  BUTTONSLOT slot{};
  std::strncpy(slot.szHotkey, s, sizeof slot.szHotkey - 1);
  ParseHotkeyString(slot);
  return slot;
}

// Every virtual key is either stored under a name that reads back as the same
// key with every flags value, also in lower case before a comment, or refused
// by the editor: the mouse buttons, the modifier keys themselves, the stand-ins
// of IME and Unicode input, and codes Windows leaves unassigned or reserved.
TEST(HotkeyNotation, EveryKeyIsNamedAndReadsBackOrTheEditorRefusesIt) {
  const std::pair<int, int> refused[] = {
      {0x01, 0x02}, {0x04, 0x07}, {0x0A, 0x0B}, {0x0E, 0x12}, {0x3A, 0x40}, {0x5E, 0x5E},
      {0x88, 0x8F}, {0x97, 0x9F}, {0xA0, 0xA5}, {0xB8, 0xB9}, {0xC3, 0xDA}, {0xE0, 0xE0},
      {0xE5, 0xE5}, {0xE7, 0xE8}, {0xFC, 0xFC}, {0xFF, 0xFF},
  };
  // Capitals, no blank, "-" or ";" (the parser splits on them), and room
  // behind the longest prefix.
  auto wellFormed = [](const std::string& n) {
    return n.size() <= 21 && std::all_of(n.begin(), n.end(), [](char c) {
             return c > ' ' && c < 0x7F && c != '-' && c != ';' && !std::islower(c);
           });
  };
  int named = 0;
  for (int vk = 1; vk < 256; ++vk) {
    SCOPED_TRACE("vk " + std::to_string(vk));
    const bool isRefused = std::any_of(std::begin(refused), std::end(refused),
                                       [&](auto r) { return vk >= r.first && vk <= r.second; });
    EXPECT_EQ(IsStorableHotkey(HOTKEYVALUE{uint16_t(vk), kHotkeyControl, 0}), !isRefused);
    const char* name = KeyNameForCode(uint8_t(vk));
    EXPECT_EQ(name == nullptr, isRefused);
    if (name == nullptr) continue;
    ++named;
    const std::string n = name;
    // The two oldest punctuation names are as they always were.
    EXPECT_TRUE(n == ";" || n == "-" || wellFormed(n)) << n;
    for (uint16_t flags = 0; flags < 16; ++flags) {
      char stored[kHotkeyLen];
      HotkeyValueToString(HOTKEYVALUE{uint16_t(vk), flags, 0}, stored);
      HOTKEYVALUE back{};
      SlotToHotkeyValue(Parsed(stored), back);
      EXPECT_TRUE(back.wVirtualKey == vk && back.wFlags == flags) << stored;
    }
    std::string lower = n;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    const BUTTONSLOT slot = Parsed(("1-S-C-A-" + lower + " ; note").c_str());
    EXPECT_EQ(slot.byKey, vk) << lower;
    EXPECT_EQ(slot.szHotkey, lower);
  }
  EXPECT_EQ(named, 179);
  EXPECT_TRUE(IsStorableHotkey(HOTKEYVALUE{0, kHotkeyControl, 0}));  // no key at all
}

TEST(HotkeyNotation, WritesThePrefixOfItsFlagsThenTheName) {
  struct Case {
    uint16_t vk, flags;
    const char* stored;
  } cases[] = {
      {0x4E, 2, "0-C-N"},    {0x27, 12, "1-A-RIGHT"}, {0x74, 0, "0-F5"},
      {0x26, 9, "1-S-UP"},   {0x09, 1, "0-S-TAB"},    {0x4E, 7, "0-S-C-A-N"},
      {0x4E, 3, "0-C-S-N"},  {0x4E, 5, "0-S-A-N"},    {0x22, 15, "1-S-C-A-PGDOWN"},
      {0xA5, 6, "0-C-A-"},   {0x07, 0, "0-"},         {0xDC, 0, "0-\\"},
      {0x141, 2, "0-C-"},     // no code above a byte has a name
      {0x4E, 0x12, "0-C-N"},  // bits above the four flags are not part of the prefix
  };
  for (const Case& c : cases) {
    char stored[kHotkeyLen];
    std::memset(stored, 'x', sizeof stored);
    HotkeyValueToString(HOTKEYVALUE{c.vk, c.flags, 0}, stored);
    EXPECT_STREQ(stored, c.stored) << "vk " << c.vk << " flags " << c.flags;
  }
}

struct ParseCase {
  const char* stored;
  uint8_t mod1, mod2, mod3, key, ext;
  const char* name;  // what szHotkey holds afterwards
};

constexpr uint8_t C = kVkCtrl, A = kVkAlt, S = kVkShift;

const ParseCase kParseCases[] = {
    {"0-C-N", C, 0, 0, 0x4E, 0, "N"},
    {"1-S-C-A-RIGHT", C, A, S, 0x27, 1, "RIGHT"},
    {"0-A-A", A, 0, 0, 0x41, 0, "A"},
    {"ESC", 0, 0, 0, 0x1B, 0, "ESC"},
    {"0-C-N ; launch the new file", C, 0, 0, 0x4E, 0, "N"},
    {"0-C-N;note", C, 0, 0, 0x4E, 0, "N"},
    {"0-C-", C, 0, 0, 0, 0, ""},
    {"", 0, 0, 0, 0, 0, ""},
    {"0-=", 0, 0, 0, 0xBB, 0, "="},
    {"0-+", 0, 0, 0, 0xBB, 0, "+"},
    {"0-s-c-a-x", C, A, S, 0x58, 0, "x"},
    {"0-A-S-C-X", C, A, S, 0x58, 0, "X"},
    {"1-C-A-S-X", C, A, S, 0x58, 1, "X"},
    {"0-a-c-Home", C, A, 0, 0x24, 0, "Home"},
    {"0-S-C-F1", C, S, 0, 0x70, 0, "F1"},
    {"0-s-a-TAB", A, S, 0, 0x09, 0, "TAB"},
    {"C-N", 0, 0, 0, 0x4E, 0, "N"},    // modifiers only behind a flag prefix
    {"2-C-N", C, 0, 0, 0x4E, 0, "N"},  // any two characters count as the prefix
    {"1-Down", 0, 0, 0, 0x28, 1, "Down"},
    {"1-DOWN", 0, 0, 0, 0x28, 1, "DOWN"},
    {"0-numpad5", 0, 0, 0, 0x65, 0, "numpad5"},
    {"0-BrowserBack", 0, 0, 0, 0xA6, 0, "BrowserBack"},
    {"0-browserfav", 0, 0, 0, 0xAB, 0, "browserfav"},
    {"0-C-NOSUCHKEY", C, 0, 0, 0, 0, "NOSUCHKEY"},
    {"0-Q-N", 0, 0, 0, 0x4E, 0, "N"},
    {"0", 0, 0, 0, 0x30, 0, "0"},
    {"1", 0, 0, 0, 0x31, 0, "1"},
    {"0-C-\xC4", C, 0, 0, 0, 0, "\xC4"},  // no case folding beyond ASCII
    // The two names the plain "cut at ';', name after the last '-'" rule
    // would lose: a ';' or '-' where the key name begins is the key itself.
    {"0-;", 0, 0, 0, 0xBA, 0, ";"},
    {"0-C-;", C, 0, 0, 0xBA, 0, ";"},
    {"0-C-; note", C, 0, 0, 0xBA, 0, ";"},
    {"0-;;note", 0, 0, 0, 0xBA, 0, ";"},
    {"0--", 0, 0, 0, 0xBD, 0, "-"},
    {"0-S-C-A--", C, A, S, 0xBD, 0, "-"},
    {"0-C-- note", C, 0, 0, 0xBD, 0, "-"},
    {"-", 0, 0, 0, 0xBD, 0, "-"},
    {"0-C-N-", C, 0, 0, 0, 0, ""},  // a trailing single dash still names nothing
    {"0-Hangul", 0, 0, 0, 0x15, 0, "Hangul"},
};

TEST(HotkeyNotation, ParsesStoredStrings) {
  for (const ParseCase& c : kParseCases) {
    BUTTONSLOT slot = Parsed(c.stored);
    SCOPED_TRACE(std::string("stored \"") + c.stored + "\"");
    EXPECT_EQ(slot.byModifier1, c.mod1);
    EXPECT_EQ(slot.byModifier2, c.mod2);
    EXPECT_EQ(slot.byModifier3, c.mod3);
    EXPECT_EQ(slot.byKey, c.key);
    EXPECT_EQ(slot.byExtended, c.ext);
    EXPECT_STREQ(slot.szHotkey, c.name);
  }
}

TEST(HotkeyNotation, ParseStaysInsideAnUnterminatedBuffer) {
  BUTTONSLOT slot{};
  std::memset(slot.szHotkey, 'A', sizeof slot.szHotkey);  // no terminator at all
  std::memset(slot.szDescription, 'B', sizeof slot.szDescription);
  ParseHotkeyString(slot);
  EXPECT_EQ(std::strlen(slot.szHotkey), size_t(kHotkeyLen - 1));
  EXPECT_EQ(slot.byKey, 0);
}

TEST(HotkeyNotation, ControlValueFollowsTheHeldModifiers) {
  struct Case {
    uint8_t m1, m2, m3, ext;
    uint16_t flags;
  } cases[] = {
      {0, 0, 0, 0, 0}, {S, 0, 0, 0, 1}, {C, 0, 0, 0, 2}, {A, 0, 0, 0, 4}, {C, S, 0, 0, 3},
      {A, S, 0, 0, 5}, {C, A, 0, 0, 6}, {C, A, S, 0, 7}, {0, 0, 0, 1, 8}, {C, A, S, 1, 15},
  };
  for (const Case& c : cases) {
    BUTTONSLOT slot{};
    slot.byModifier1 = c.m1;
    slot.byModifier2 = c.m2;
    slot.byModifier3 = c.m3;
    slot.byExtended = c.ext;
    slot.byKey = 0x41;
    HOTKEYVALUE value{};
    SlotToHotkeyValue(slot, value);
    EXPECT_EQ(value.wFlags, c.flags);
    EXPECT_EQ(value.wVirtualKey, 0x41);
  }
}

TEST(HotkeyNotation, NameLookupIgnoresAsciiCaseOnly) {
  EXPECT_EQ(KeyCodeForName("pgdown"), 0x22);
  EXPECT_EQ(KeyCodeForName("PgDown"), 0x22);
  EXPECT_EQ(KeyCodeForName("F12"), 0x7B);
  EXPECT_EQ(KeyCodeForName("F25"), 0);
  EXPECT_EQ(KeyCodeForName(""), 0);
  EXPECT_EQ(KeyCodeForName(nullptr), 0);
  EXPECT_EQ(KeyCodeForName("ESC "), 0);
  EXPECT_EQ(KeyNameForCode(0x07), nullptr);
  EXPECT_STREQ(KeyNameForCode(0xBB), "=");
}

// Names users find in the guide and in their files.
TEST(HotkeyNotation, NamesOfTheKeysBeyondTheTypewriterBlock) {
  const struct {
    uint8_t vk;
    const char* name;
  } cases[] = {
      {0xA6, "BROWSERBACK"}, {0xA7, "BROWSERFORWARD"}, {0xA8, "BROWSERREF"},
      {0xA9, "BROWSERSTOP"}, {0xAA, "BROWSERSEARCH"},  {0xAB, "BROWSERFAV"},
      {0xAC, "BROWSERHOME"}, {0xAD, "MUTE"},           {0xAE, "VOLDOWN"},
      {0xAF, "VOLUP"},       {0xB0, "MEDIANEXT"},      {0xB1, "MEDIAPREV"},
      {0xB2, "MEDIASTOP"},   {0xB3, "PLAYPAUSE"},      {0x7C, "F13"},
      {0x87, "F24"},         {0x5D, "APPS"},           {0x2A, "PRINT"},
      {0xDE, "'"},           {0xDF, "OEM8"},           {0xE2, "OEM102"},
      {0xC1, "ABNTC1"},      {0xC2, "ABNTC2"},
  };
  for (const auto& c : cases) {
    ASSERT_NE(KeyNameForCode(c.vk), nullptr) << c.name;
    EXPECT_STREQ(KeyNameForCode(c.vk), c.name);
  }
}

}  // namespace
}  // namespace k7
