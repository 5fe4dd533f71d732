#include "keys/hotkey_notation.h"

#include <cstring>
#include <initializer_list>

#include "base/text.h"
#include "keys/input.h"

namespace k7 {
namespace {

struct KeyName {
  uint8_t code;
  const char* name;
};

// Names the writing side produces, one per code, here and below.
constexpr KeyName kWriteNames[] = {
    {0x08, "BACK"},        {0x09, "TAB"},
    {0x0D, "ENTER"},       {0x13, "PAUSE"},
    {0x14, "CAPITAL"},     {0x1B, "ESC"},
    {0x20, "SPACE"},       {0x21, "PGUP"},
    {0x22, "PGDOWN"},      {0x23, "END"},
    {0x24, "HOME"},        {0x25, "LEFT"},
    {0x26, "UP"},          {0x27, "RIGHT"},
    {0x28, "DOWN"},        {0x2D, "INS"},
    {0x2E, "DEL"},         {0x30, "0"},
    {0x31, "1"},           {0x32, "2"},
    {0x33, "3"},           {0x34, "4"},
    {0x35, "5"},           {0x36, "6"},
    {0x37, "7"},           {0x38, "8"},
    {0x39, "9"},           {0x41, "A"},
    {0x42, "B"},           {0x43, "C"},
    {0x44, "D"},           {0x45, "E"},
    {0x46, "F"},           {0x47, "G"},
    {0x48, "H"},           {0x49, "I"},
    {0x4A, "J"},           {0x4B, "K"},
    {0x4C, "L"},           {0x4D, "M"},
    {0x4E, "N"},           {0x4F, "O"},
    {0x50, "P"},           {0x51, "Q"},
    {0x52, "R"},           {0x53, "S"},
    {0x54, "T"},           {0x55, "U"},
    {0x56, "V"},           {0x57, "W"},
    {0x58, "X"},           {0x59, "Y"},
    {0x5A, "Z"},           {0x60, "NUMPAD0"},
    {0x61, "NUMPAD1"},     {0x62, "NUMPAD2"},
    {0x63, "NUMPAD3"},     {0x64, "NUMPAD4"},
    {0x65, "NUMPAD5"},     {0x66, "NUMPAD6"},
    {0x67, "NUMPAD7"},     {0x68, "NUMPAD8"},
    {0x69, "NUMPAD9"},     {0x6A, "MULTIPLY"},
    {0x6B, "ADD"},         {0x6D, "SUBTRACT"},
    {0x6E, "DECIMAL"},     {0x6F, "DIVIDE"},
    {0x70, "F1"},          {0x71, "F2"},
    {0x72, "F3"},          {0x73, "F4"},
    {0x74, "F5"},          {0x75, "F6"},
    {0x76, "F7"},          {0x77, "F8"},
    {0x78, "F9"},          {0x79, "F10"},
    {0x7A, "F11"},         {0x7B, "F12"},
    {0x90, "NUMLOCK"},     {0x91, "SCROLL"},
    {0xBA, ";"},           {0xBB, "="},
    {0xBC, ","},           {0xBD, "-"},
    {0xBE, "."},           {0xBF, "/"},
    {0xC0, "`"},           {0xDB, "["},
    {0xDC, "\\"},          {0xDD, "]"},
    {0xA6, "BROWSERBACK"}, {0xA7, "BROWSERFORWARD"},
    {0xA8, "BROWSERREF"},  {0xA9, "BROWSERSTOP"},
    {0xAB, "BROWSERFAV"},  {0xAD, "MUTE"},
    {0xAE, "VOLDOWN"},     {0xAF, "VOLUP"},
    {0xB0, "MEDIANEXT"},   {0xB1, "MEDIAPREV"},
    {0xB2, "MEDIASTOP"},   {0xB3, "PLAYPAUSE"},
};

// The names of every other key a keyboard can give the editor's hotkey
// control, so that none is lost on saving: capitals, no "-", blank or ";" (the
// parser splits on them), at most 21 characters (room behind the longest
// prefix "1-S-C-A-" in a 30-byte buffer).
constexpr KeyName kMoreWriteNames[] = {
    {0x03, "BREAK"},        {0x0C, "CLEAR"},      {0x15, "KANA"},        {0x16, "IMEON"},
    {0x17, "JUNJA"},        {0x18, "FINAL"},      {0x19, "KANJI"},       {0x1A, "IMEOFF"},
    {0x1C, "CONVERT"},      {0x1D, "NONCONVERT"}, {0x1E, "ACCEPT"},      {0x1F, "MODECHANGE"},
    {0x29, "SELECT"},       {0x2A, "PRINT"},      {0x2B, "EXECUTE"},     {0x2C, "SNAPSHOT"},
    {0x2F, "HELP"},         {0x5B, "LWIN"},       {0x5C, "RWIN"},        {0x5D, "APPS"},
    {0x5F, "SLEEP"},        {0x6C, "SEPARATOR"},  {0x7C, "F13"},         {0x7D, "F14"},
    {0x7E, "F15"},          {0x7F, "F16"},        {0x80, "F17"},         {0x81, "F18"},
    {0x82, "F19"},          {0x83, "F20"},        {0x84, "F21"},         {0x85, "F22"},
    {0x86, "F23"},          {0x87, "F24"},        {0x92, "OEMNECEQUAL"}, {0x93, "OEMFJMASSHOU"},
    {0x94, "OEMFJTOUROKU"}, {0x95, "OEMFJLOYA"},  {0x96, "OEMFJROYA"},   {0xAA, "BROWSERSEARCH"},
    {0xAC, "BROWSERHOME"},  {0xB4, "LAUNCHMAIL"}, {0xB5, "LAUNCHMEDIA"}, {0xB6, "LAUNCHAPP1"},
    {0xB7, "LAUNCHAPP2"},   {0xC1, "ABNTC1"},     {0xC2, "ABNTC2"},      {0xDE, "'"},
    {0xDF, "OEM8"},         {0xE1, "OEMAX"},      {0xE2, "OEM102"},      {0xE3, "ICOHELP"},
    {0xE4, "ICO00"},        {0xE6, "ICOCLEAR"},   {0xE9, "OEMRESET"},    {0xEA, "OEMJUMP"},
    {0xEB, "OEMPA1"},       {0xEC, "OEMPA2"},     {0xED, "OEMPA3"},      {0xEE, "OEMWSCTRL"},
    {0xEF, "OEMCUSEL"},     {0xF0, "OEMATTN"},    {0xF1, "OEMFINISH"},   {0xF2, "OEMCOPY"},
    {0xF3, "OEMAUTO"},      {0xF4, "OEMENLW"},    {0xF5, "OEMBACKTAB"},  {0xF6, "ATTN"},
    {0xF7, "CRSEL"},        {0xF8, "EXSEL"},      {0xF9, "EREOF"},       {0xFA, "PLAY"},
    {0xFB, "ZOOM"},         {0xFD, "PA1"},        {0xFE, "OEMCLEAR"},
};

// Names only the reading side accepts (older files, hand edits).
constexpr KeyName kReadOnlyNames[] = {
    {0xBB, "+"},
    // The Korean names of two keys that share their codes with Japanese ones.
    {0x15, "HANGUL"},
    {0x19, "HANJA"},
};

constexpr const char* kPrefixes[16] = {
    "0-", "0-S-", "0-C-", "0-C-S-", "0-A-", "0-S-A-", "0-C-A-", "0-S-C-A-",
    "1-", "1-S-", "1-C-", "1-C-S-", "1-A-", "1-S-A-", "1-C-A-", "1-S-C-A-",
};

struct ModifierRule {
  const char* text;
  uint8_t mods[3];
};

// First match wins; the order of the held modifiers is always Ctrl, Alt, Shift.
constexpr ModifierRule kModifierRules[] = {
    {"c-a-s-", {kVkCtrl, kVkAlt, kVkShift}},
    {"c-s-a-", {kVkCtrl, kVkAlt, kVkShift}},
    {"a-c-s-", {kVkCtrl, kVkAlt, kVkShift}},
    {"a-s-c-", {kVkCtrl, kVkAlt, kVkShift}},
    {"s-c-a-", {kVkCtrl, kVkAlt, kVkShift}},
    {"s-a-c-", {kVkCtrl, kVkAlt, kVkShift}},
    {"c-a-", {kVkCtrl, kVkAlt, 0}},
    {"a-c-", {kVkCtrl, kVkAlt, 0}},
    {"c-s-", {kVkCtrl, kVkShift, 0}},
    {"s-c-", {kVkCtrl, kVkShift, 0}},
    {"a-s-", {kVkAlt, kVkShift, 0}},
    {"s-a-", {kVkAlt, kVkShift, 0}},
    {"c-", {kVkCtrl, 0, 0}},
    {"a-", {kVkAlt, 0, 0}},
    {"s-", {kVkShift, 0, 0}},
};

}  // namespace

const char* KeyNameForCode(uint8_t vk) {
  for (const KeyName& k : kWriteNames) {
    if (k.code == vk) return k.name;
  }
  for (const KeyName& k : kMoreWriteNames) {
    if (k.code == vk) return k.name;
  }
  return nullptr;
}

uint8_t KeyCodeForName(const char* name) {
  if (name == nullptr || *name == '\0') return 0;
  for (const KeyName& k : kWriteNames) {
    if (EqualsNoCase(k.name, name)) return k.code;
  }
  for (const KeyName& k : kMoreWriteNames) {
    if (EqualsNoCase(k.name, name)) return k.code;
  }
  for (const KeyName& k : kReadOnlyNames) {
    if (EqualsNoCase(k.name, name)) return k.code;
  }
  return 0;
}

void HotkeyValueToString(const HOTKEYVALUE& value, char (&szHotkey)[kHotkeyLen]) {
  CopyBounded(szHotkey, kPrefixes[value.wFlags & 0x0F]);
  if (value.wVirtualKey <= 0xFF) {
    const char* name = KeyNameForCode(static_cast<uint8_t>(value.wVirtualKey));
    if (name != nullptr) AppendBounded(szHotkey, name);
  }
}

void ParseHotkeyString(BUTTONSLOT& slot) {
  // The buffer may come from anywhere: never look past its end.
  char s[kHotkeyLen];
  CopyBounded(s, sizeof s, slot.szHotkey);
  const size_t len = std::strlen(s);

  if (StartsWithNoCase(s, "1-")) {
    slot.byExtended = 1;
  } else if (StartsWithNoCase(s, "0-")) {
    slot.byExtended = 0;
  }

  // Modifiers count only behind a two-character flag prefix, whatever it is.
  if (len >= 2) {
    for (const ModifierRule& rule : kModifierRules) {
      if (StartsWithNoCase(s + 2, rule.text)) {
        slot.byModifier1 = rule.mods[0];
        slot.byModifier2 = rule.mods[1];
        slot.byModifier3 = rule.mods[2];
        break;
      }
    }
  }

  // A space ends the hotkey, and so does a semicolon, except one that stands
  // where the key name begins (straight after a dash, or first): that one is
  // the key ";" itself.
  for (size_t i = 0; i < len; ++i) {
    if (s[i] == ' ' || (s[i] == ';' && i > 0 && s[i - 1] != '-')) {
      s[i] = '\0';
      break;
    }
  }
  const size_t cut = std::strlen(s);
  const char* name = s;
  const char* lastDash = std::strrchr(s, '-');
  if (lastDash != nullptr) {
    name = lastDash + 1;
    // A string that ends in two dashes ("0-C--") names the key "-".
    if (*name == '\0' && (cut == 1 || (lastDash > s && lastDash[-1] == '-'))) name = lastDash;
  }
  char key[kHotkeyLen];
  CopyBounded(key, sizeof key, name);
  CopyBounded(slot.szHotkey, key);
  slot.byKey = KeyCodeForName(key);
}

void SlotToHotkeyValue(const BUTTONSLOT& slot, HOTKEYVALUE& value) {
  value.wVirtualKey = slot.byKey;
  uint16_t flags = 0;
  for (uint8_t m : {slot.byModifier1, slot.byModifier2, slot.byModifier3}) {
    if (m == kVkShift) flags |= kHotkeyShift;
    if (m == kVkCtrl) flags |= kHotkeyControl;
    if (m == kVkAlt) flags |= kHotkeyAlt;
  }
  if (slot.byExtended == 1) flags |= kHotkeyExt;
  value.wFlags = flags;
}

}  // namespace k7
