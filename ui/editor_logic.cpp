#include "ui/editor_logic.h"

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
constexpr uint8_t kVkDelete = 0x2E;
constexpr uint8_t kVkVolumeMute = 0xAD;
constexpr uint8_t kVkVolumeDown = 0xAE;
constexpr uint8_t kVkVolumeUp = 0xAF;
constexpr uint8_t kVkMediaNext = 0xB0;
constexpr uint8_t kVkMediaPrev = 0xB1;
constexpr uint8_t kVkMediaStop = 0xB2;
constexpr uint8_t kVkMediaPlayPause = 0xB3;

constexpr uint8_t kNone = 0;
constexpr uint8_t kS = kModShift;
constexpr uint8_t kA = kModAlt;
constexpr uint8_t kC = kModControl;

}  // namespace

const CaptureHotkey kCaptureHotkeys[kCaptureHotkeyCount] = {
    {1, kVkEscape, kNone},
    {2, kVkEscape, kS},
    {3, kVkEscape, kA},
    {4, kVkEscape, kC},
    {5, kVkEscape, kS | kA},
    {6, kVkEscape, kS | kC},
    {7, kVkEscape, kA | kC},
    {8, kVkEscape, kS | kA | kC},
    // A plain Enter reaches the dialog as a key (see the key filter).
    {10, kVkReturn, kS},
    {11, kVkReturn, kA},
    {12, kVkReturn, kC},
    {13, kVkReturn, kS | kA},
    {14, kVkReturn, kS | kC},
    {15, kVkReturn, kA | kC},
    {16, kVkReturn, kS | kA | kC},
    {17, kVkTab, kNone},
    {18, kVkTab, kS},
    {19, kVkTab, kA},
    {20, kVkTab, kC},
    {21, kVkTab, kS | kA},
    {22, kVkTab, kS | kC},
    {23, kVkTab, kA | kC},
    {24, kVkTab, kS | kA | kC},
    // So does a plain Space.
    {26, kVkSpace, kS},
    {27, kVkSpace, kA},
    {28, kVkSpace, kC},
    {29, kVkSpace, kS | kA},
    {30, kVkSpace, kS | kC},
    {31, kVkSpace, kA | kC},
    {32, kVkSpace, kS | kA | kC},
    {34, kVkPause, kNone},
    {35, kVkDelete, kNone},
    {36, kVkPrint, kNone},
    // Volume and media keys would otherwise act on the whole system.
    {37, kVkVolumeMute, kNone},
    {38, kVkVolumeMute, kS},
    {39, kVkVolumeMute, kA},
    {40, kVkVolumeMute, kC},
    {41, kVkVolumeMute, kS | kA},
    {42, kVkVolumeMute, kS | kC},
    {43, kVkVolumeMute, kA | kC},
    {44, kVkVolumeMute, kS | kA | kC},
    {45, kVkVolumeDown, kNone},
    {46, kVkVolumeDown, kS},
    {47, kVkVolumeDown, kA},
    {48, kVkVolumeDown, kC},
    {49, kVkVolumeDown, kS | kA},
    {50, kVkVolumeDown, kS | kC},
    {51, kVkVolumeDown, kA | kC},
    {52, kVkVolumeDown, kS | kA | kC},
    {53, kVkVolumeUp, kNone},
    {54, kVkVolumeUp, kS},
    {55, kVkVolumeUp, kA},
    {56, kVkVolumeUp, kC},
    {57, kVkVolumeUp, kS | kA},
    {58, kVkVolumeUp, kS | kC},
    {59, kVkVolumeUp, kA | kC},
    {60, kVkVolumeUp, kS | kA | kC},
    {61, kVkMediaNext, kNone},
    {62, kVkMediaNext, kS},
    {63, kVkMediaNext, kA},
    {64, kVkMediaNext, kC},
    {65, kVkMediaNext, kS | kA},
    {66, kVkMediaNext, kS | kC},
    {67, kVkMediaNext, kA | kC},
    {68, kVkMediaNext, kS | kA | kC},
    {69, kVkMediaPrev, kNone},
    {70, kVkMediaPrev, kS},
    {71, kVkMediaPrev, kA},
    {72, kVkMediaPrev, kC},
    {73, kVkMediaPrev, kS | kA},
    {74, kVkMediaPrev, kS | kC},
    {75, kVkMediaPrev, kA | kC},
    {76, kVkMediaPrev, kS | kA | kC},
    {77, kVkMediaStop, kNone},
    {78, kVkMediaStop, kS},
    {79, kVkMediaStop, kA},
    {80, kVkMediaStop, kC},
    {81, kVkMediaStop, kS | kA},
    {82, kVkMediaStop, kS | kC},
    {83, kVkMediaStop, kA | kC},
    {84, kVkMediaStop, kS | kA | kC},
    {85, kVkMediaPlayPause, kNone},
    {86, kVkMediaPlayPause, kS},
    {87, kVkMediaPlayPause, kA},
    {88, kVkMediaPlayPause, kC},
    {89, kVkMediaPlayPause, kS | kA},
    {90, kVkMediaPlayPause, kS | kC},
    {91, kVkMediaPlayPause, kA | kC},
    {92, kVkMediaPlayPause, kS | kA | kC},
};

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
  if (std::strpbrk(name, "[]") != nullptr) return AppNameCheck::kBracket;
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

}  // namespace k7
