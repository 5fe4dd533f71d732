#include "keys/hotkey_notation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "keys/input.h"

namespace k7 {
namespace {

BUTTONSLOT Parsed(const char* s) {
  BUTTONSLOT slot{};
  std::strncpy(slot.szHotkey, s, sizeof slot.szHotkey - 1);
  ParseHotkeyString(slot);
  return slot;
}

TEST(HotkeyNotation, EveryFlagsValueWithEveryNamedKeyRoundTrips) {
  int named = 0;
  for (int vk = 0; vk < 256; ++vk) {
    if (KeyNameForCode(uint8_t(vk)) == nullptr) continue;
    ++named;
    for (uint16_t flags = 0; flags < 16; ++flags) {
      char stored[kHotkeyLen];
      HotkeyValueToString(HOTKEYVALUE{uint16_t(vk), flags, 0}, stored);
      BUTTONSLOT slot = Parsed(stored);
      HOTKEYVALUE back{};
      SlotToHotkeyValue(slot, back);
      EXPECT_EQ(back.wVirtualKey, vk) << stored;
      EXPECT_EQ(back.wFlags, flags) << stored;
    }
  }
  EXPECT_EQ(named, 104);  // the whole writing vocabulary, ";" and "-" included
}

TEST(HotkeyNotation, WritesThePrefixOfItsFlagsThenTheName) {
  struct Case {
    uint16_t vk, flags;
    const char* stored;
  } cases[] = {
      {0x4E, 2, "0-C-N"},    {0x27, 12, "1-A-RIGHT"}, {0x74, 0, "0-F5"},
      {0x26, 9, "1-S-UP"},   {0x09, 1, "0-S-TAB"},    {0x4E, 7, "0-S-C-A-N"},
      {0x4E, 3, "0-C-S-N"},  {0x4E, 5, "0-S-A-N"},    {0x22, 15, "1-S-C-A-PGDOWN"},
      {0xA5, 6, "0-C-A-"},   {0x6C, 0, "0-"},         {0xDC, 0, "0-\\"},
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
  EXPECT_EQ(KeyCodeForName("F13"), 0);
  EXPECT_EQ(KeyCodeForName(""), 0);
  EXPECT_EQ(KeyCodeForName(nullptr), 0);
  EXPECT_EQ(KeyCodeForName("ESC "), 0);
  EXPECT_EQ(KeyNameForCode(0x6C), nullptr);
  EXPECT_EQ(KeyNameForCode(0xAA), nullptr);
  EXPECT_STREQ(KeyNameForCode(0xBB), "=");
}

TEST(HotkeyNotation, BrowserVolumeAndMediaKeysHaveNamesTheParserKeepsWhole) {
  const struct {
    uint8_t vk;
    const char* name;
    const char* lower;
  } cases[] = {
      {0xA6, "BROWSERBACK", "browserback"}, {0xA7, "BROWSERFORWARD", "browserforward"},
      {0xA8, "BROWSERREF", "browserref"},   {0xA9, "BROWSERSTOP", "browserstop"},
      {0xAB, "BROWSERFAV", "browserfav"},   {0xAD, "MUTE", "mute"},
      {0xAE, "VOLDOWN", "voldown"},         {0xAF, "VOLUP", "volup"},
      {0xB0, "MEDIANEXT", "medianext"},     {0xB1, "MEDIAPREV", "mediaprev"},
      {0xB2, "MEDIASTOP", "mediastop"},     {0xB3, "PLAYPAUSE", "playpause"},
  };
  for (const auto& c : cases) {
    ASSERT_NE(KeyNameForCode(c.vk), nullptr) << c.name;
    EXPECT_STREQ(KeyNameForCode(c.vk), c.name);
    EXPECT_EQ(KeyCodeForName(c.lower), c.vk) << c.lower;
    // The parser splits on these, and the longest prefix leaves 21 characters.
    EXPECT_EQ(std::strpbrk(c.name, "- ;"), nullptr) << c.name;
    EXPECT_LE(std::strlen(c.name), 21u) << c.name;
    const BUTTONSLOT slot = Parsed((std::string("1-S-C-A-") + c.lower + " ; note").c_str());
    EXPECT_EQ(slot.byKey, c.vk) << c.lower;
    EXPECT_STREQ(slot.szHotkey, c.lower);
  }
}

}  // namespace
}  // namespace k7
