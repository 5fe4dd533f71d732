// The stored hotkey notation ("0-C-N", "1-A-RIGHT") and its conversions to and
// from the value of a hotkey control.
#pragma once

#include <cstdint>

namespace k7 {

constexpr int kSlotCount = 34;
constexpr int kHotkeyLen = 30;        // szHotkey, terminator included
constexpr int kDescriptionLen = 255;  // szDescription, terminator included

// Hotkey-control flags (HOTKEYF_*).
enum HotkeyFlags : uint16_t {
  kHotkeyShift = 0x01,
  kHotkeyControl = 0x02,
  kHotkeyAlt = 0x04,
  kHotkeyExt = 0x08,
};

struct HOTKEYVALUE {
  uint16_t wVirtualKey;
  uint16_t wFlags;  // HotkeyFlags, 0 to 15
  uint16_t wReserved;
};

struct BUTTONSLOT {
  uint8_t byModifier1;  // pressed first, released last
  uint8_t byModifier2;
  uint8_t byModifier3;
  uint8_t byKey;
  uint8_t byExtended;
  char szHotkey[kHotkeyLen];  // stored string; after parsing, the key name only
  char szDescription[kDescriptionLen];
};

// Name of a virtual-key code as the writing side stores it; nullptr when the
// code has none.
const char* KeyNameForCode(uint8_t vk);

// Code of a key name, ignoring ASCII case; also knows the names that only the
// reading side accepts ("+", "HANGUL", "HANJA"). 0 when the name is unknown.
uint8_t KeyCodeForName(const char* name);

// Stored string of a control value: the prefix of its flags, then the key name
// (nothing when the code has no name: the editor refuses such keys before).
// Always terminated within 30 bytes.
void HotkeyValueToString(const HOTKEYVALUE& value, char (&szHotkey)[kHotkeyLen]);

// Parses slot.szHotkey in place: modifiers in the order Ctrl, Alt, Shift, the
// key code, the extended flag; szHotkey is left holding the key name.
void ParseHotkeyString(BUTTONSLOT& slot);

// Control value of a parsed slot.
void SlotToHotkeyValue(const BUTTONSLOT& slot, HOTKEYVALUE& value);

}  // namespace k7
