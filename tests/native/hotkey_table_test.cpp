#include "keys/hotkey_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dispatch/profile_hotkeys.h"
#include "fakes/fake_ini.h"
#include "fakes/recording_input.h"

namespace k7 {
namespace {

using test::Down;
using test::FakeIni;
using test::InputEvent;
using test::NumLockDown;
using test::NumLockUp;
using test::RecordingInput;
using test::Up;

constexpr char kHotkeys[] = "C:\\K7\\UserDef.ini";
constexpr char kCaptions[] = "C:\\K7\\UserDefInf.ini";

CHotkeyTable LoadedWith(const std::string& hotkey, const std::string& caption = "") {
  FakeIni ini;
  ini.Set(kHotkeys, "P", "0", hotkey);
  ini.Set(kCaptions, "P", "0", caption);
  CHotkeyTable table;
  LoadHotkeyTable(table, ini, "P", kHotkeys, kCaptions, kSlotCount);
  return table;
}

InputEvent Ext(uint8_t vk, uint8_t scan) {
  return InputEvent::Key(vk, scan, kKeyExtended);
}
InputEvent ExtUp(uint8_t vk, uint8_t scan) {
  return InputEvent::Key(vk, scan, kKeyExtended | kKeyUp);
}

struct SendCase {
  const char* stored;
  bool numLockBefore;
  std::vector<InputEvent> expected;
  bool numLockAfter;
};

TEST(HotkeyTable, SendsTheExactEventsOfASlot) {
  const uint8_t C = kVkCtrl, A = kVkAlt, S = kVkShift;
  const SendCase cases[] = {
      {"0-C-N", false, {Down(C), Down(0x4E), Up(0x4E), Up(C)}, false},
      {"1-S-C-A-RIGHT",
       true,
       {NumLockDown(), NumLockUp(), Down(C), Down(A), Down(S), Down(0x27), Up(0x27), Up(S), Up(A),
        Up(C)},
       false},
      {"0-NUMPAD5", false, {NumLockDown(), NumLockUp(), Down(0x65), Up(0x65)}, true},
      {"0-NUMPAD5", true, {Down(0x65), Up(0x65)}, true},
      {"0-decimal", false, {NumLockDown(), NumLockUp(), Down(0x6E), Up(0x6E)}, true},
      {"0-MULTIPLY", true, {NumLockDown(), NumLockUp(), Down(0x6A), Up(0x6A)}, false},
      {"", true, {NumLockDown(), NumLockUp()}, false},
      {"", false, {}, false},
      {"0-C-", false, {Down(C), Up(C)}, false},
      // The extended flag of the string never reaches the events.
      {"1-UP", false, {Down(0x26), Up(0x26)}, false},
      {"0-UP", false, {Down(0x26), Up(0x26)}, false},
      {"0-C-A-", false, {Down(C), Down(A), Up(A), Up(C)}, false},
      // Volume and media keys alone go out extended, with their scan codes.
      {"0-MUTE", false, {Ext(0xAD, 0x20), ExtUp(0xAD, 0x20)}, false},
      {"0-VOLDOWN", false, {Ext(0xAE, 0x2E), ExtUp(0xAE, 0x2E)}, false},
      {"1-S-VOLUP", false, {Down(S), Ext(0xAF, 0x30), ExtUp(0xAF, 0x30), Up(S)}, false},
      {"0-MEDIANEXT", false, {Ext(0xB0, 0x19), ExtUp(0xB0, 0x19)}, false},
      {"0-MEDIAPREV", false, {Ext(0xB1, 0x10), ExtUp(0xB1, 0x10)}, false},
      {"0-MEDIASTOP", false, {Ext(0xB2, 0x24), ExtUp(0xB2, 0x24)}, false},
      {"0-PLAYPAUSE", false, {Ext(0xB3, 0x22), ExtUp(0xB3, 0x22)}, false},
      {"0-BROWSERBACK", false, {Down(0xA6), Up(0xA6)}, false},
  };
  for (const SendCase& c : cases) {
    SCOPED_TRACE(std::string("slot \"") + c.stored + "\" num lock " +
                 (c.numLockBefore ? "on" : "off"));
    CHotkeyTable table = LoadedWith(c.stored);
    RecordingInput input;
    input.numLock = c.numLockBefore;
    table.SendHotkey(input, 0);
    EXPECT_EQ(test::Describe(input.events), test::Describe(c.expected));
    // In one piece, so that no key of the user's lands between its events.
    EXPECT_EQ(input.batches.size(), c.expected.empty() ? 0u : 1u);
    EXPECT_EQ(input.numLock, c.numLockAfter);
  }
}

TEST(HotkeyTable, WhateverEndsTheProgramMidHotkeyLeavesNoKeyDown) {
  // The whole hotkey, then the program ended after each of its events: every
  // key still down goes up as it went down, and nothing passes afterwards.
  RecordingInput whole;
  whole.numLock = true;
  LoadedWith("1-S-C-A-RIGHT").SendHotkey(whole, 0);
  whole.events.push_back(InputEvent::Mouse(kMouseLeftDown, 0, 0));
  whole.events.push_back(InputEvent::Mouse(kMouseLeftUp, 0, 0));
  for (size_t cut = 0; cut <= whole.events.size(); ++cut) {
    SCOPED_TRACE("ended after " + std::to_string(cut) + " events");
    RecordingInput seen;
    ReleasingInput input(seen);
    for (size_t i = 0; i < cut; ++i) {
      const InputEvent& e = whole.events[i];
      if (e.kind == InputEvent::kKey) input.KeyEvent(uint8_t(e.a), uint8_t(e.b), e.flags);
      if (e.kind == InputEvent::kMouse) input.MouseEvent(e.a, e.dx, e.dy);
    }
    input.ReleaseAll();
    input.KeyEvent(kVkCtrl, 0, 0);
    input.MouseEvent(kMouseLeftDown, 0, 0);
    input.ReleaseAll();

    std::vector<InputEvent> expected(whole.events.begin(), whole.events.begin() + cut);
    std::vector<InputEvent> stillDown;
    bool leftDown = false;
    for (const InputEvent& e : expected) {
      if (e.kind == InputEvent::kMouse) {
        leftDown = e.a == kMouseLeftDown;
        continue;
      }
      std::erase_if(stillDown, [&](const InputEvent& d) { return d.a == e.a; });
      if ((e.flags & kKeyUp) == 0) stillDown.push_back(e);
    }
    std::sort(stillDown.begin(), stillDown.end(),
              [](const InputEvent& x, const InputEvent& y) { return x.a < y.a; });
    for (const InputEvent& d : stillDown) {
      expected.push_back(InputEvent::Key(uint8_t(d.a), uint8_t(d.b), d.flags | kKeyUp));
    }
    if (leftDown) expected.push_back(InputEvent::Mouse(kMouseLeftUp, 0, 0));
    EXPECT_EQ(test::Describe(seen.events), test::Describe(expected));
  }
}

TEST(HotkeyTable, LoadReadsBothFilesAndParses) {
  FakeIni ini;
  for (int i = 0; i < 10; ++i) {
    ini.Set(kHotkeys, "WinDVD", std::to_string(i), "0-C-N");
    ini.Set(kCaptions, "WinDVD", std::to_string(i), "caption " + std::to_string(i));
  }
  ini.Set(kHotkeys, "WinDVD", "34", "0-F1");  // not a slot: never read
  CHotkeyTable table;
  LoadHotkeyTable(table, ini, "windvd", kHotkeys, kCaptions, kSlotCount);
  EXPECT_EQ(ini.reads, 2 * kSlotCount);
  EXPECT_STREQ(table.Slot(9).szHotkey, "N");
  EXPECT_EQ(table.Slot(9).byModifier1, kVkCtrl);
  EXPECT_STREQ(table.Slot(9).szDescription, "caption 9");
  for (int i = 10; i < kSlotCount; ++i) {
    EXPECT_EQ(table.Slot(i).byKey, 0);
    EXPECT_EQ(table.Slot(i).byModifier1, 0);
    EXPECT_STREQ(table.Slot(i).szHotkey, "");
    EXPECT_STREQ(table.Slot(i).szDescription, "");
  }
}

TEST(HotkeyTable, ALoadLeavesNothingOfThePreviousProfile) {
  FakeIni ini;
  ini.Set(kHotkeys, "A", "5", "1-S-C-A-RIGHT");
  ini.Set(kCaptions, "A", "5", "Forward");
  ini.Set(kHotkeys, "B", "5", "0-X");
  CHotkeyTable table;
  LoadHotkeyTable(table, ini, "A", kHotkeys, kCaptions, kSlotCount);
  LoadHotkeyTable(table, ini, "B", kHotkeys, kCaptions, kSlotCount);
  const BUTTONSLOT& s = table.Slot(5);
  EXPECT_EQ(s.byModifier1, 0);
  EXPECT_EQ(s.byModifier2, 0);
  EXPECT_EQ(s.byModifier3, 0);
  EXPECT_EQ(s.byExtended, 0);
  EXPECT_EQ(s.byKey, 0x58);
  EXPECT_STREQ(s.szDescription, "");
}

TEST(HotkeyTable, LongValuesAreCutToTheirBuffers) {
  const std::string longHotkey = "0-C-" + std::string(40, 'N');
  const std::string longCaption(400, 'c');
  CHotkeyTable table = LoadedWith(longHotkey, longCaption);
  // Cut at 29 characters: "0-C-" and 25 N's, which is no key name.
  EXPECT_EQ(std::string(table.Slot(0).szHotkey), std::string(25, 'N'));
  EXPECT_EQ(table.Slot(0).byKey, 0);
  EXPECT_EQ(std::string(table.Slot(0).szDescription), std::string(254, 'c'));
  // Handed over directly, the strings are cut the same way.
  CHotkeyTable direct;
  direct.SetHotkey(0, longHotkey.c_str());
  direct.SetDescription(0, longCaption.c_str());
  EXPECT_EQ(std::string(direct.Slot(0).szHotkey), std::string(25, 'N'));
  EXPECT_EQ(std::string(direct.Slot(0).szDescription), std::string(254, 'c'));
}

TEST(HotkeyTable, SlotNumbersOutsideTheTableAreIgnored) {
  CHotkeyTable table = LoadedWith("0-C-N");
  RecordingInput input;
  input.numLock = true;
  table.SendHotkey(input, -1);
  table.SendHotkey(input, kSlotCount);
  EXPECT_TRUE(input.events.empty());
  for (int n : {-1, kSlotCount}) {
    table.SetHotkey(n, "0-X");
    table.SetDescription(n, "x");
  }
  EXPECT_EQ(table.Slot(0).byKey, 0x4E);

  FakeIni ini;
  LoadHotkeyTable(table, ini, "P", kHotkeys, kCaptions, 1000);  // more than the table holds
  EXPECT_EQ(ini.reads, 2 * kSlotCount);
}

TEST(HotkeyTable, KeypadNamesAreTheDigitsAndDecimalOnly) {
  for (const char* name : {"NUMPAD0", "numpad9", "Decimal", "DECIMAL"}) {
    EXPECT_TRUE(IsKeypadKeyName(name)) << name;
  }
  for (const char* name :
       {"MULTIPLY", "ADD", "SUBTRACT", "DIVIDE", "NUMPAD", "NUMPAD10", "NUMLOCK", "", "5"}) {
    EXPECT_FALSE(IsKeypadKeyName(name)) << name;
  }
}

}  // namespace
}  // namespace k7
