// What the hotkey editor decides, apart from its windows: where its buttons
// sit, which keys it takes over while open, what a remote press selects,
// which application names it accepts, and how a profile is written, marked,
// emptied and forgotten in the INI files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "keys/hotkey_table.h"
#include "profiles/hold_keys.h"
#include "profiles/ini_store.h"
#include "profiles/profile_file.h"
#include "ui/editor_layout.h"

namespace k7 {

// Control id of the button of slot 0; slot n has kEditorButtonBase + n.
constexpr int kEditorButtonBase = 2000;
// Bitmaps of slot n: base + n.
constexpr int kBitmapNormal = 300;
constexpr int kBitmapPressed = 400;
constexpr int kBitmapDisabled = 600;
// The slot selected when the editor opens and after every load and save.
constexpr int kFirstEditorSlot = 1;

static_assert(kEditorButtonCount == kSlotCount, "one editor button per slot");

bool IsDisabledSlot(int slot);

// RegisterHotKey modifiers (MOD_*).
enum HotkeyModifiers : uint8_t {
  kModAlt = 0x01,
  kModControl = 0x02,
  kModShift = 0x04,
};

// A key the editor registers as a system hotkey while it is open, so that
// Escape, Enter, Tab, Space, the volume, media, browser and launch keys and a
// few others reach the hotkey control instead of moving the focus, closing the
// dialog or acting on the whole system.
struct CaptureHotkey {
  int id;
  uint8_t vk;
  uint8_t modifiers;  // HotkeyModifiers
};
constexpr int kCaptureHotkeyCount = 145;
extern const std::array<CaptureHotkey, kCaptureHotkeyCount> kCaptureHotkeys;

// Hotkey-control flags (HotkeyFlags) of a WM_HOTKEY's modifiers; only the
// Alt, Control and Shift bits count.
uint8_t HotkeyFlagsForModifiers(unsigned modifiers);

// The value HKM_SETHOTKEY takes and HKM_GETHOTKEY gives: flags in the high
// byte, virtual key in the low byte.
uint16_t HotkeyControlValue(const HOTKEYVALUE& value);
HOTKEYVALUE HotkeyValueFromControl(uintptr_t controlValue);

// A control value a slot can take: no key, or a key the notation names. Any
// other would be saved as modifiers alone, and the key lost.
bool IsStorableHotkey(const HOTKEYVALUE& value);
// What the editor says when it refuses such a key.
std::string UnnamedKeyMessage(const HOTKEYVALUE& value);

// Slot a report selects while the editor is open: that of its code, for a
// report with the remote's marker; -1 for none.
int LearnedSlot(int code, int marker);

// Bitmap of the next blink of the selected slot's button; base alternates
// between the normal and the pressed bitmaps.
int NextBlinkBitmap(int& base, int slot);

// What the Application Name dialog says of a name, in the order checked.
enum class AppNameCheck {
  kOk,
  kDuplicate,  // the list holds it already (any letter case)
  kEmpty,
  kTooLong,           // more than kMaxProfileName characters
  kBlankAtEnd,        // a space or tab first or last: the INI API trims them
  kBracket,           // "[" or "]": would end or break the section header
  kLeadingSemicolon,  // the line would read as a comment
  kControlCharacter,  // a line break or another control character
};

AppNameCheck CheckAppName(const char* name, bool listHoldsName);
// The message box text for a refused name; empty for kOk.
const char* AppNameMessage(AppNameCheck check);

// Text of the delete confirmation for a profile.
std::string DeletePrompt(const char* name);

// The files the editor writes (full paths).
struct EditorFiles {
  const char* ctrl;        // QVCtrl.ini
  const char* userDef;     // UserDef.ini
  const char* userDefInf;  // UserDefInf.ini
};

// Reads profile name into table and the control values of its slots; an
// empty name gives empty slots.
void LoadEditorProfile(IIniStore& ini, const EditorFiles& files, const char* name,
                       CHotkeyTable& table, HOTKEYVALUE (&values)[kSlotCount]);

// Writes the profile: its path and program file, then every slot's hotkey
// (from values, also left in the table's szHotkey) and description. Nothing
// for an empty name.
void SaveEditorProfile(IIniStore& ini, const EditorFiles& files, const char* name, const char* path,
                       const HOTKEYVALUE (&values)[kSlotCount], CHotkeyTable& table);

// Saved with the profile: marked, the profile applies to every program no
// profile names, and every other section loses the mark, so at most one holds
// it; unmarked, the profile loses it. The key is deleted, never written "0":
// a file without it stays as it was.
void SaveAllOtherProgramsMark(IIniStore& ini, const EditorFiles& files, const char* name,
                              bool marked);

// "FilePath" and "ExeFile" of a profile.
void WriteProfilePath(IIniStore& ini, const EditorFiles& files, const char* name, const char* path);

// What the editor holds of a slot besides its tap: the action of a held
// button (no key: none), its caption, and what the button's repeats do.
struct EditorHoldSlot {
  HOTKEYVALUE hold = {};
  char szCaption[kDescriptionLen] = "";
  RepeatRule repeat;
};

bool HasHoldAction(const EditorHoldSlot& slot);

// The rules the editor's list offers, the one of a slot without a rule first.
inline constexpr RepeatRule kRepeatChoices[] = {
    {RepeatKind::kDefault, 0},   {RepeatKind::kEvery, 0},     {RepeatKind::kFirst, 0},
    {RepeatKind::kAfterMs, 300}, {RepeatKind::kAfterMs, 500}, {RepeatKind::kAfterMs, 1000},
};
// How the list names a rule: "default", "always", "never", "500 ms".
std::string RepeatChoiceText(const RepeatRule& rule);
// A rule chosen or typed: the list's words, the files' "every" and "first",
// or milliseconds in the rule's range with or without "ms" (case and blanks
// around ignored; empty is the default). False for anything else.
bool ParseRepeatChoice(const char* text, RepeatRule& rule);
// What the editor says when it refuses a typed rule.
const char* RepeatRefusedMessage();

// Reads the hold actions, their captions and the repeat rules of profile
// name; an empty name, a missing key or a value that does not read gives
// none.
void LoadEditorHoldKeys(IIniStrings& ini, const EditorFiles& files, const char* name,
                        EditorHoldSlot (&slots)[kSlotCount]);

// Writes them with the profile: a hold action and its caption, a rule other
// than the default; the keys of a slot without one are deleted, so a profile
// that never had them is written as before. Nothing for an empty name.
void SaveEditorHoldKeys(IIniStore& ini, const EditorFiles& files, const char* name,
                        const EditorHoldSlot (&slots)[kSlotCount]);

// Empties the profile's sections in both profile files: it is no longer
// listed, and its name may be used again.
void EmptyProfile(IIniStore& ini, const EditorFiles& files, const char* name);

// Clears the "APName" of every launch category that names the profile,
// letter case included.
void ForgetCategoryApplication(IIniStore& ini, const EditorFiles& files, const char* name);

// Whether what the editor shows of profile name differs from what its files
// hold: the program path, the mark for all other programs, a slot's hotkey
// or description.
bool EditorDiffersFromSaved(IIniStore& ini, const EditorFiles& files, const char* name,
                            const char* shownPath, bool shownMark,
                            const HOTKEYVALUE (&values)[kSlotCount], const CHotkeyTable& table,
                            const EditorHoldSlot (&holds)[kSlotCount]);

// The file name an export suggests: the profile's name, with the characters a
// file name cannot hold replaced, and ".ini".
std::string ProfileFileNameFor(const char* name);

// A profile file's bytes as a profile the editor can add: parsed, its text in
// the system's code page, its values and its name checked (whether the name
// is taken is the caller's question). Empty when it can be imported, else
// what is wrong, for the user.
std::string ReadImportedProfile(std::string_view bytes, const IProfileTextConverter& converter,
                                ProfileFile& profile);

// Adds the profile under name: its sections in both profile files replaced by
// its keys, captions first, so that a refused write leaves no listed half.
void WriteImportedProfile(IIniStore& ini, const EditorFiles& files, const ProfileFile& profile,
                          const char* name);

}  // namespace k7
