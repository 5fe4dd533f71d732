#include "ui/editor_logic.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "base/text.h"
#include "dispatch/dispatch.h"
#include "dispatch/profile_hotkeys.h"
#include "profiles/profile_store.h"

namespace k7 {

namespace {

constexpr uint8_t kVkTab = 0x09;
constexpr uint8_t kVkReturn = 0x0D;
constexpr uint8_t kVkPause = 0x13;
constexpr uint8_t kVkEscape = 0x1B;
constexpr uint8_t kVkSpace = 0x20;
constexpr uint8_t kVkPrint = 0x2A;
constexpr uint8_t kVkSnapshot = 0x2C;
constexpr uint8_t kVkDelete = 0x2E;
constexpr uint8_t kVkBrowserSearch = 0xAA;
constexpr uint8_t kVkBrowserHome = 0xAC;
constexpr uint8_t kVkVolumeMute = 0xAD;
constexpr uint8_t kVkVolumeDown = 0xAE;
constexpr uint8_t kVkVolumeUp = 0xAF;
constexpr uint8_t kVkMediaNext = 0xB0;
constexpr uint8_t kVkMediaPrev = 0xB1;
constexpr uint8_t kVkMediaStop = 0xB2;
constexpr uint8_t kVkMediaPlayPause = 0xB3;
constexpr uint8_t kVkLaunchMail = 0xB4;
constexpr uint8_t kVkLaunchMedia = 0xB5;
constexpr uint8_t kVkLaunchApp1 = 0xB6;
constexpr uint8_t kVkLaunchApp2 = 0xB7;

constexpr uint8_t kNone = 0;
constexpr uint8_t kS = kModShift;
constexpr uint8_t kA = kModAlt;
constexpr uint8_t kC = kModControl;

// A captured key takes consecutive ids from its first one: the plain key
// where it is captured, then each combination of modifiers in this order.
constexpr uint8_t kCombinations[] = {kS, kA, kC, kS | kA, kS | kC, kA | kC, kS | kA | kC};

struct CaptureGroup {
  uint8_t vk;
  int firstId;
  bool plain;         // the key without modifiers
  bool combinations;  // the key with each of kCombinations
};

constexpr CaptureGroup kCaptureGroups[] = {
    {kVkEscape, 1, true, true},
    // A plain Enter or Space reaches the dialog as a key (see the key filter).
    {kVkReturn, 10, false, true},
    {kVkTab, 17, true, true},
    {kVkSpace, 26, false, true},
    {kVkPause, 34, true, false},
    {kVkDelete, 35, true, false},
    {kVkPrint, 36, true, false},
    // Volume and media keys would otherwise act on the whole system.
    {kVkVolumeMute, 37, true, true},
    {kVkVolumeDown, 45, true, true},
    {kVkVolumeUp, 53, true, true},
    {kVkMediaNext, 61, true, true},
    {kVkMediaPrev, 69, true, true},
    {kVkMediaStop, 77, true, true},
    {kVkMediaPlayPause, 85, true, true},
    // So would these: they open the browser, the search, mail, the media
    // player, the computer or the calculator, or take a screenshot.
    {kVkBrowserSearch, 93, true, true},
    {kVkBrowserHome, 101, true, true},
    {kVkLaunchMail, 109, true, true},
    {kVkLaunchMedia, 117, true, true},
    {kVkLaunchApp1, 125, true, true},
    {kVkLaunchApp2, 133, true, true},
    {kVkSnapshot, 141, true, true},
};

constexpr int CaptureCount() {
  int n = 0;
  for (const CaptureGroup& g : kCaptureGroups) {
    n += (g.plain ? 1 : 0) + (g.combinations ? int(sizeof kCombinations) : 0);
  }
  return n;
}
static_assert(CaptureCount() == kCaptureHotkeyCount);

constexpr std::array<CaptureHotkey, kCaptureHotkeyCount> CaptureHotkeys() {
  std::array<CaptureHotkey, kCaptureHotkeyCount> out{};
  int n = 0;
  for (const CaptureGroup& g : kCaptureGroups) {
    int id = g.firstId;
    if (g.plain) out[n++] = {id++, g.vk, kNone};
    if (!g.combinations) continue;
    for (uint8_t m : kCombinations) out[n++] = {id++, g.vk, m};
  }
  return out;
}

}  // namespace

const std::array<CaptureHotkey, kCaptureHotkeyCount> kCaptureHotkeys = CaptureHotkeys();

bool IsDisabledSlot(int slot) {
  for (int s : kDisabledSlots) {
    if (s == slot) return true;
  }
  return false;
}

uint8_t HotkeyFlagsForModifiers(unsigned modifiers) {
  uint8_t flags = 0;
  if (modifiers & kModAlt) flags |= kHotkeyAlt;
  if (modifiers & kModControl) flags |= kHotkeyControl;
  if (modifiers & kModShift) flags |= kHotkeyShift;
  return flags;
}

uint16_t HotkeyControlValue(const HOTKEYVALUE& value) {
  return static_cast<uint16_t>(((value.wFlags & 0xFF) << 8) | (value.wVirtualKey & 0xFF));
}

HOTKEYVALUE HotkeyValueFromControl(uintptr_t controlValue) {
  HOTKEYVALUE value{};
  value.wVirtualKey = static_cast<uint16_t>(controlValue & 0xFF);
  value.wFlags = static_cast<uint16_t>((controlValue >> 8) & 0xFF);
  return value;
}

bool IsStorableHotkey(const HOTKEYVALUE& value) {
  return value.wVirtualKey == 0 ||
         (value.wVirtualKey <= 0xFF &&
          KeyNameForCode(static_cast<uint8_t>(value.wVirtualKey)) != nullptr);
}

std::string UnnamedKeyMessage(const HOTKEYVALUE& value) {
  char code[8];
  std::snprintf(code, sizeof code, "0x%02X", unsigned(value.wVirtualKey));
  return std::string("This key (virtual-key code ") + code +
         ") has no name in the profile files, so it cannot be saved.\n\nThe button keeps "
         "its hotkey. Choose another key.";
}

int LearnedSlot(int code, int marker) {
  if ((marker & 0xFF) != kMarker) return -1;
  return SlotForCode(code);
}

int NextBlinkBitmap(int& base, int slot) {
  if (base > kBitmapPressed) base = kBitmapNormal;
  const int bitmap = base + slot;
  base += kBitmapPressed - kBitmapNormal;
  return bitmap;
}

AppNameCheck CheckAppName(const char* name, bool listHoldsName) {
  if (listHoldsName) return AppNameCheck::kDuplicate;
  const size_t length = std::strlen(name);
  if (length == 0) return AppNameCheck::kEmpty;
  if (length > static_cast<size_t>(kMaxProfileName)) return AppNameCheck::kTooLong;
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (blank(name[0]) || blank(name[length - 1])) return AppNameCheck::kBlankAtEnd;
  // A bracket of its own: the second byte of a double-byte character may
  // be 0x5B or 0x5D.
  for (const char* p = name; *p != '\0'; p += AnsiCodePage().CharLength(p)) {
    if (*p == '[' || *p == ']') return AppNameCheck::kBracket;
  }
  if (name[0] == ';') return AppNameCheck::kLeadingSemicolon;
  for (size_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if ((c < 0x20 && c != '\t') || c == 0x7F) return AppNameCheck::kControlCharacter;
  }
  return AppNameCheck::kOk;
}

const char* AppNameMessage(AppNameCheck check) {
  switch (check) {
    case AppNameCheck::kOk:
      return "";
    case AppNameCheck::kDuplicate:
      return "Application name exist";
    case AppNameCheck::kEmpty:
      return "Please enter the application name";
    case AppNameCheck::kTooLong:
      return "The application name is too long: at most 99 characters, please";
    case AppNameCheck::kBlankAtEnd:
      return "The application name cannot begin or end with a space or a tab";
    case AppNameCheck::kBracket:
      return "The application name cannot contain \"[\" or \"]\"";
    case AppNameCheck::kLeadingSemicolon:
      return "The application name cannot begin with \";\"";
    case AppNameCheck::kControlCharacter:
      return "The application name cannot contain line breaks or control characters";
  }
  return "";
}

std::string DeletePrompt(const char* name) {
  return std::string("Delete HotKey for \"") + name + "\" Application ?";
}

namespace {

void SlotKey(int n, char (&key)[4]) {
  std::snprintf(key, sizeof key, "%d", n);
}

// The list's own words for the rules the files call by other names.
constexpr const char* kDefaultRuleWord = "default";
constexpr const char* kEveryRuleWord = "always";
constexpr const char* kFirstRuleWord = "never";

// Each launch category names the application it starts here.
constexpr const char* kCategories[] = {"DVD", "Music", "WWW", "Speech"};

}  // namespace

void LoadEditorProfile(IIniStore& ini, const EditorFiles& files, const char* name,
                       CHotkeyTable& table, HOTKEYVALUE (&values)[kSlotCount]) {
  if (name[0] == '\0') {
    table = CHotkeyTable{};
  } else {
    LoadHotkeyTable(table, ini, name, files.userDef, files.userDefInf, kSlotCount);
  }
  for (int i = 0; i < kSlotCount; ++i) {
    values[i] = HOTKEYVALUE{};
    SlotToHotkeyValue(table.Slot(i), values[i]);
  }
}

void SaveEditorProfile(IIniStore& ini, const EditorFiles& files, const char* name, const char* path,
                       const HOTKEYVALUE (&values)[kSlotCount], CHotkeyTable& table) {
  // An empty name would make a section without a name.
  if (name[0] == '\0') return;
  WriteProfilePath(ini, files, name, path);
  for (int i = 0; i < kSlotCount; ++i) {
    BUTTONSLOT& slot = table.Slot(i);
    HotkeyValueToString(values[i], slot.szHotkey);
    char key[4];
    SlotKey(i, key);
    ini.WriteString(name, key, slot.szHotkey, files.userDef);
    ini.WriteString(name, key, slot.szDescription, files.userDefInf);
  }
}

bool HasHoldAction(const EditorHoldSlot& slot) {
  return slot.hold.wVirtualKey != 0;
}

std::string RepeatChoiceText(const RepeatRule& rule) {
  switch (rule.kind) {
    case RepeatKind::kEvery:
      return kEveryRuleWord;
    case RepeatKind::kFirst:
      return kFirstRuleWord;
    case RepeatKind::kAfterMs:
      return std::to_string(rule.ms) + " ms";
    case RepeatKind::kDefault:
      break;
  }
  return kDefaultRuleWord;
}

bool ParseRepeatChoice(const char* text, RepeatRule& rule) {
  std::string word(text);
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  auto trim = [&] {
    while (!word.empty() && blank(word.back())) word.pop_back();
    size_t start = 0;
    while (start < word.size() && blank(word[start])) ++start;
    word.erase(0, start);
  };
  trim();
  if (word.size() > 2 && EqualsNoCase(word.c_str() + word.size() - 2, "ms")) {
    word.resize(word.size() - 2);
    trim();
  }
  RepeatRule parsed;
  if (word.empty() || EqualsNoCase(word.c_str(), kDefaultRuleWord)) {
    parsed.kind = RepeatKind::kDefault;
  } else if (EqualsNoCase(word.c_str(), kEveryRuleWord)) {
    parsed.kind = RepeatKind::kEvery;
  } else if (EqualsNoCase(word.c_str(), kFirstRuleWord)) {
    parsed.kind = RepeatKind::kFirst;
  } else {
    parsed = ParseRepeatRule(word.c_str());
    if (parsed.kind == RepeatKind::kDefault) return false;
  }
  rule = parsed;
  return true;
}

const char* RepeatRefusedMessage() {
  return "While a button is held, its key can repeat as by default, always, never, or only "
         "after the button has been held for a time from 100 to 2000 ms (type the number).\n\n"
         "Choose one of these.";
}

void LoadEditorHoldKeys(IIniStrings& ini, const EditorFiles& files, const char* name,
                        EditorHoldSlot (&slots)[kSlotCount]) {
  for (int i = 0; i < kSlotCount; ++i) {
    EditorHoldSlot& slot = slots[i];
    slot = EditorHoldSlot{};
    if (name[0] == '\0') continue;
    const std::string holdKey = HoldKeyName(i);
    BUTTONSLOT hold{};
    ini.GetString(name, holdKey.c_str(), "", hold.szHotkey, sizeof hold.szHotkey, files.userDef);
    ParseHotkeyString(hold);
    SlotToHotkeyValue(hold, slot.hold);
    if (!HasHoldAction(slot)) slot.hold = HOTKEYVALUE{};
    ini.GetString(name, holdKey.c_str(), "", slot.szCaption, sizeof slot.szCaption,
                  files.userDefInf);
    char rule[32];
    ini.GetString(name, RepeatKeyName(i).c_str(), "", rule, sizeof rule, files.userDef);
    slot.repeat = ParseRepeatRule(rule);
  }
}

void SaveEditorHoldKeys(IIniStore& ini, const EditorFiles& files, const char* name,
                        const EditorHoldSlot (&slots)[kSlotCount]) {
  if (name[0] == '\0') return;
  for (int i = 0; i < kSlotCount; ++i) {
    const EditorHoldSlot& slot = slots[i];
    const std::string holdKey = HoldKeyName(i);
    if (HasHoldAction(slot)) {
      char hotkey[kHotkeyLen];
      HotkeyValueToString(slot.hold, hotkey);
      ini.WriteString(name, holdKey.c_str(), hotkey, files.userDef);
      ini.WriteString(name, holdKey.c_str(), slot.szCaption, files.userDefInf);
    } else {
      ini.WriteString(name, holdKey.c_str(), nullptr, files.userDef);
      ini.WriteString(name, holdKey.c_str(), nullptr, files.userDefInf);
    }
    const std::string rule = FormatRepeatRule(slot.repeat);
    ini.WriteString(name, RepeatKeyName(i).c_str(), rule.empty() ? nullptr : rule.c_str(),
                    files.userDef);
  }
}

void SaveAllOtherProgramsMark(IIniStore& ini, const EditorFiles& files, const char* name,
                              bool marked) {
  if (name[0] == '\0') return;
  ini.WriteString(name, kAllOtherProgramsKey, marked ? "1" : nullptr, files.userDef);
  if (!marked) return;
  // Deleting a key a section does not hold leaves the file untouched.
  for (const std::string& other : ReadSectionNames(ini, files.userDef)) {
    if (EqualsNoCase(other.c_str(), name)) continue;
    ini.WriteString(other.c_str(), kAllOtherProgramsKey, nullptr, files.userDef);
  }
}

void WriteProfilePath(IIniStore& ini, const EditorFiles& files, const char* name,
                      const char* path) {
  ini.WriteString(name, "FilePath", path, files.userDef);
  ini.WriteString(name, "ExeFile", ExeFileFromPath(path).c_str(), files.userDef);
}

void EmptyProfile(IIniStore& ini, const EditorFiles& files, const char* name) {
  ini.WriteSection(name, "\0", files.userDef);
  ini.WriteSection(name, "\0", files.userDefInf);
}

void ForgetCategoryApplication(IIniStore& ini, const EditorFiles& files, const char* name) {
  for (const char* category : kCategories) {
    if (ReadWholeString(ini, category, "APName", files.ctrl) == name) {
      ini.WriteString(category, "APName", "", files.ctrl);
    }
  }
}

bool EditorDiffersFromSaved(IIniStore& ini, const EditorFiles& files, const char* name,
                            const char* shownPath, bool shownMark,
                            const HOTKEYVALUE (&values)[kSlotCount], const CHotkeyTable& table,
                            const EditorHoldSlot (&holds)[kSlotCount]) {
  if (name[0] == '\0') return false;
  CHotkeyTable saved;
  HOTKEYVALUE savedValues[kSlotCount];
  LoadEditorProfile(ini, files, name, saved, savedValues);
  for (int i = 0; i < kSlotCount; ++i) {
    if (values[i].wVirtualKey != savedValues[i].wVirtualKey ||
        values[i].wFlags != savedValues[i].wFlags ||
        std::strcmp(table.Slot(i).szDescription, saved.Slot(i).szDescription) != 0) {
      return true;
    }
  }
  EditorHoldSlot savedHolds[kSlotCount];
  LoadEditorHoldKeys(ini, files, name, savedHolds);
  for (int i = 0; i < kSlotCount; ++i) {
    if (holds[i].hold.wVirtualKey != savedHolds[i].hold.wVirtualKey ||
        holds[i].hold.wFlags != savedHolds[i].hold.wFlags ||
        !(holds[i].repeat == savedHolds[i].repeat) ||
        std::strcmp(holds[i].szCaption, savedHolds[i].szCaption) != 0) {
      return true;
    }
  }
  return ReadWholeString(ini, name, "FilePath", files.userDef) != shownPath ||
         HoldsAllOtherProgramsMark(ini, name, files.userDef) != shownMark;
}

std::string ProfileFileNameFor(const char* name) {
  std::string file;
  for (const char* p = name; *p != '\0';) {
    const size_t n = AnsiCodePage().CharLength(p);
    const auto c = static_cast<unsigned char>(*p);
    // A trail byte may be a backslash: only single-byte characters are replaced.
    if (n == 1 && (c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr)) {
      file += '_';
    } else {
      file.append(p, n);
    }
    p += n;
  }
  return file + ".ini";
}

std::string ReadImportedProfile(std::string_view bytes, const IProfileTextConverter& converter,
                                ProfileFile& profile) {
  std::string problem;
  if (!ParseProfileFile(bytes, profile, problem) ||
      !ConvertProfileFile(profile, converter, problem) ||
      !CheckProfileFileValues(profile, problem)) {
    return problem;
  }
  const AppNameCheck check = CheckAppName(profile.name.c_str(), false);
  if (check != AppNameCheck::kOk) {
    return "Line " + std::to_string(profile.nameLine) + ": the Name \"" + profile.name +
           "\" cannot be a profile's name. " + AppNameMessage(check) + ".";
  }
  return std::string();
}

void WriteImportedProfile(IIniStore& ini, const EditorFiles& files, const ProfileFile& profile,
                          const char* name) {
  ini.WriteSection(name, SectionKeyValues(profile.userDefInf).c_str(), files.userDefInf);
  ini.WriteSection(name, SectionKeyValues(profile.userDef).c_str(), files.userDef);
}

}  // namespace k7
