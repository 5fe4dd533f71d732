// The hotkey editor in the running program under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <set>
#include <string>

#include "editor_session.h"
#include "res/editor_ids.h"
#include "ui/editor_layout.h"

namespace k7::editortest {
namespace {

using harness::WaitUntil;

// Two profiles; "Zeta" comes first in the file, and its slots 1, 3, 13 and
// 33 differ from each other in hotkey and description.
const char kUserDef[] =
    "[Zeta]\n"
    "FilePath=C:\\Apps\\zeta.exe\n"
    "ExeFile=zeta.exe\n"
    "1=0-C-X\n"
    "3=0-S-N\n"
    "13=1-A-RIGHT\n"
    "33=0-F5\n"
    "[Alpha]\n"
    "FilePath=C:\\Alpha\\alpha.exe\n"
    "ExeFile=alpha.exe\n"
    "1=0-A\n";
const char kUserDefInf[] =
    "[Zeta]\n"
    "1=Zeta one\n"
    "3=Zeta three\n"
    "13=Zeta thirteen\n"
    "33=Zeta thirty-three\n"
    "[Alpha]\n"
    "1=Alpha one\n";

TEST_F(EditorTest, OpensOnSlotOneOfTheFirstProfile) {
  WriteFiles(kUserDef, kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  EXPECT_EQ(ProfileItems(), (std::vector<std::string>{"Zeta", "Alpha"}));
  EXPECT_EQ(SelectedProfile(), 0);
  EXPECT_EQ(Text(IDC_EDITOR_NAME), "Zeta");
  EXPECT_EQ(Text(IDC_EDITOR_PATH), "C:\\Apps\\zeta.exe");
  EXPECT_EQ(Hotkey(), HotkeyOf('X', HOTKEYF_CONTROL));
  EXPECT_EQ(Text(IDC_DESCRIPTION), "Zeta one");
  // The buttons no remote button reaches are disabled.
  for (int n = 0; n < 34; ++n) {
    const bool unreachable = n == 0 || n == 2 || n == 5 || n == 8 || n == 11 || n == 12;
    EXPECT_EQ(IsWindowEnabled(Item(2000 + n)) == FALSE, unreachable) << "button " << n;
  }
}

// Client rectangle of a child of the editor.
RECT ClientRectOf(HWND editor, HWND child) {
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return c;
}

// The colour of a button's top right corner, where a hold action's mark is.
constexpr COLORREF kHoldMark = RGB(0, 224, 255);
COLORREF CornerOf(HWND button) {
  RECT r;
  GetWindowRect(button, &r);
  return ScreenPixel(r.right - 2, r.top + 1);
}

class EditorAtDpi : public EditorTest {
 protected:
  void ExpectRemoteAt(int dpi);
};

// Every button lies on the remote's picture at its place, both scaled by
// dpi / 96 from the layout the picture was drawn from (to a pixel of the
// scaled picture; at 96 DPI exactly the layout), and the selected one blinks
// there, its hold action's mark in its corner all along. With
// K7_EDITOR_HOLD_MS set the editor stays open that long for a screenshot.
void EditorAtDpi::ExpectRemoteAt(int dpi) {
  harness::ScopedLogPixels logPixels(static_cast<DWORD>(dpi));
  // A path wider than its line: drawn shortened, its text stays whole.
  const std::string longPath =
      "C:\\Users\\Somebody\\AppData\\Local\\Programs\\Media Centre Player\\bin\\zeta.exe";
  std::string userDef = kUserDef;
  userDef.replace(userDef.find("C:\\Apps\\zeta.exe"), 16, longPath);
  userDef.insert(userDef.find("[Alpha]"), "Hold3=0-A-F4\n");
  WriteFiles(userDef, kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  EXPECT_EQ(Text(IDC_EDITOR_PATH), longPath);
  Press(0x59);
  ASSERT_TRUE(WaitDescription("Zeta three"));
  HWND picture = nullptr;  // the one static showing a bitmap
  while ((picture = FindWindowExA(Editor(), picture, "Static", nullptr)) != nullptr &&
         (GetWindowLongA(picture, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) {
  }
  ASSERT_NE(picture, nullptr);
  const RECT pic = ClientRectOf(Editor(), picture);
  const double scale = dpi / 96.0;
  const ButtonRect& laid = kRemotePictureRect;
  EXPECT_NEAR(pic.left, laid.left * scale, 1.0);
  EXPECT_NEAR(pic.top, laid.top * scale, 1.0);
  EXPECT_NEAR(pic.right - pic.left, (laid.right - laid.left) * scale, 1.0);
  EXPECT_NEAR(pic.bottom - pic.top, (laid.bottom - laid.top) * scale, 1.0);
  // The whole body of the remote shows.
  RECT client = {};
  GetClientRect(Editor(), &client);
  EXPECT_GE(client.bottom, pic.top + (kRemoteBodyBottom - laid.top) * scale - 1);
  for (int n = 0; n < 34; ++n) {
    SCOPED_TRACE("button " + std::to_string(n));
    HWND button = Item(2000 + n);
    ASSERT_NE(button, nullptr);
    const RECT r = ClientRectOf(Editor(), button);
    const ButtonRect& want = kEditorButtonRects[n];
    if (dpi == 96) {
      EXPECT_EQ(r.left, want.left);
      EXPECT_EQ(r.top, want.top);
      EXPECT_EQ(r.right, want.right);
      EXPECT_EQ(r.bottom, want.bottom);
    }
    // Its place in the picture, in the picture's own pixels.
    EXPECT_NEAR((r.left - pic.left) / scale, want.left - laid.left, 1.0);
    EXPECT_NEAR((r.top - pic.top) / scale, want.top - laid.top, 1.0);
    EXPECT_NEAR((r.right - pic.left) / scale, want.right - laid.left, 1.0);
    EXPECT_NEAR((r.bottom - pic.top) / scale, want.bottom - laid.top, 1.0);
  }
  // The selected button blinks with the main window's one-second timer; the
  // others hold still.
  auto centre = [&](int slot) {
    RECT r;
    GetWindowRect(Item(2000 + slot), &r);
    return ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  std::set<COLORREF> selected, other, marks;
  for (int i = 0; i < 25; ++i) {
    selected.insert(centre(3));
    other.insert(centre(4));
    marks.insert(CornerOf(Item(2003)));
    Sleep(100);
  }
  EXPECT_EQ(selected.size(), 2u) << ::testing::PrintToString(selected);
  EXPECT_EQ(other.size(), 1u) << ::testing::PrintToString(other);
  EXPECT_EQ(marks, std::set<COLORREF>{kHoldMark});
  EXPECT_NE(CornerOf(Item(2004)), kHoldMark);

  char hold[16] = "";
  if (GetEnvironmentVariableA("K7_EDITOR_HOLD_MS", hold, sizeof hold) > 0) Sleep(atoi(hold));
}

TEST_F(EditorAtDpi, ButtonsSitOnThePicture) {
  ExpectRemoteAt(96);
}

// 144 DPI, which has a set of images of its own; K7_EDITOR_DPI names
// another (for a screenshot, with K7_EDITOR_HOLD_MS).
TEST_F(EditorAtDpi, ButtonsSitOnThePictureAtAnotherDpi) {
  char dpi[16] = "";
  ExpectRemoteAt(GetEnvironmentVariableA("K7_EDITOR_DPI", dpi, sizeof dpi) > 0 ? atoi(dpi) : 144);
}

TEST_F(EditorTest, WithoutProfilesEverythingIsEmpty) {
  WriteFiles("", "");
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  EXPECT_EQ(ProfileItems(), std::vector<std::string>{});
  EXPECT_EQ(SelectedProfile(), CB_ERR);
  EXPECT_EQ(Text(IDC_EDITOR_NAME), "");
  EXPECT_EQ(Text(IDC_EDITOR_PATH), "");
  EXPECT_EQ(Hotkey(), 0);
  EXPECT_EQ(Text(IDC_DESCRIPTION), "");
  // Saving and deleting without a profile write nothing; there is nothing to
  // confirm.
  Command(IDC_EDITOR_SAVE);
  Command(IDC_EDITOR_DELETE);
  EXPECT_EQ(harness::FindProcessWindow(program_->Id(), "Delete HotKey", kDialogClass), nullptr);
  EXPECT_EQ(FileBytes("UserDef.ini"), "");
  EXPECT_EQ(FileBytes("UserDefInf.ini"), "");
}

// While the editor is open, a press selects the button of its code's slot,
// as a click does, and sends nothing to the application in front, even one
// with a profile.
TEST_F(EditorTest, PressesSelectButtonsAndSendNothing) {
  WriteFiles(std::string(kUserDef) + "[Target]\nExeFile=Target.exe\n1=0-Q\n3=0-W\n13=0-E\n33=0-R\n",
             kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  target_ = std::make_unique<harness::TargetApp>(scratch_, "Target.exe");
  ASSERT_TRUE(target_->RequestForeground());
  recorder_->Clear();

  struct Step {
    unsigned code;
    WORD hotkey;
    const char* description;
  } steps[] = {
      {0x59, HotkeyOf('N', HOTKEYF_SHIFT), "Zeta three"},
      {0x43, HotkeyOf(VK_RIGHT, HOTKEYF_ALT | HOTKEYF_EXT), "Zeta thirteen"},
      {0x00, HotkeyOf(VK_F5), "Zeta thirty-three"},
      {0x5C, HotkeyOf('X', HOTKEYF_CONTROL), "Zeta one"},
  };
  for (const Step& step : steps) {
    Press(step.code);
    EXPECT_TRUE(WaitDescription(step.description)) << "code 0x" << std::hex << step.code;
    EXPECT_EQ(Hotkey(), step.hotkey) << "code 0x" << std::hex << step.code;
  }

  // The mouse-mode key, a code outside the table and a report without the
  // remote's marker select nothing; the next press shows they were read.
  Press(0x47);
  Press(0x08);
  EXPECT_EQ(sim_->Send("raw 0x59 0x7E 0"), "ok sent=1");
  Sleep(300);
  EXPECT_EQ(Text(IDC_DESCRIPTION), "Zeta one");
  EXPECT_EQ(Hotkey(), HotkeyOf('X', HOTKEYF_CONTROL));
  Press(0x00);
  EXPECT_TRUE(WaitDescription("Zeta thirty-three"));

  ASSERT_TRUE(recorder_->Flush());
  EXPECT_TRUE(ProgramKeys().empty()) << "first injected key: " << ProgramKeys().front();
  EXPECT_TRUE(target_->KeyLog().empty());
}

// Keys typed into the hotkey control, the captured ones included, land in the
// slots with their modifiers and are saved in the stored notation; every
// slot is written to both files.
TEST_F(EditorTest, TypedHotkeysAreSavedWithTheirModifiers) {
  WriteFiles(kUserDef, kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  ASSERT_TRUE(harness::MakeForeground(Editor()));
  // A button's click gives the hotkey control the focus.
  Command(2001);
  ASSERT_EQ(harness::FocusOfOwner(Editor()), Item(IDC_HOTKEY));

  struct Typed {
    int slot;
    BYTE vk;
    std::initializer_list<BYTE> modifiers;
    WORD shown;
    const char* stored;
  } typed[] = {
      {1, VK_TAB, {VK_SHIFT}, HotkeyOf(VK_TAB, HOTKEYF_SHIFT), "0-S-TAB"},
      {3, VK_ESCAPE, {VK_MENU}, HotkeyOf(VK_ESCAPE, HOTKEYF_ALT), "0-A-ESC"},
      {4, VK_BACK, {}, HotkeyOf(VK_BACK), "0-BACK"},
      {6,
       VK_SPACE,
       {VK_CONTROL, VK_SHIFT},
       HotkeyOf(VK_SPACE, HOTKEYF_CONTROL | HOTKEYF_SHIFT),
       "0-C-S-SPACE"},
      {7, VK_RETURN, {}, HotkeyOf(VK_RETURN), "0-ENTER"},
      {9, VK_TAB, {}, HotkeyOf(VK_TAB), "0-TAB"},
      {15,
       VK_MEDIA_PLAY_PAUSE,
       {VK_CONTROL},
       HotkeyOf(VK_MEDIA_PLAY_PAUSE, HOTKEYF_CONTROL),
       "0-C-PLAYPAUSE"},
  };
  for (const Typed& t : typed) {
    Command(2000 + t.slot);
    TypeIntoHotkey(t.vk, t.modifiers);
    EXPECT_TRUE(WaitUntil([&] { return Hotkey() == t.shown; }))
        << "slot " << t.slot << " shows 0x" << std::hex << Hotkey();
  }
  // The editor holds the media key: the hotkey control alone would take it
  // too, but the system would also act on it.
  const bool free = RegisterHotKey(nullptr, 0x7000, MOD_CONTROL, VK_MEDIA_PLAY_PAUSE) != FALSE;
  if (free) UnregisterHotKey(nullptr, 0x7000);
  EXPECT_FALSE(free) << "Ctrl+Play/Pause is not captured";
  ASSERT_TRUE(WaitUntil([&] { return IsWindow(Editor()); }));
  Command(IDC_EDITOR_SAVE);
  for (const Typed& t : typed) {
    EXPECT_EQ(Ini("UserDef.ini", "Zeta", std::to_string(t.slot).c_str()), t.stored)
        << "slot " << t.slot;
  }
  // The slots nobody touched keep what they had, the empty ones as "0-".
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "13"), "1-A-RIGHT");
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "33"), "0-F5");
  for (int i : {0, 2, 5, 8, 10, 11, 12, 14, 20, 32}) {
    EXPECT_EQ(Ini("UserDef.ini", "Zeta", std::to_string(i).c_str()), "0-") << "slot " << i;
  }
  for (int i = 0; i < 34; ++i) {
    EXPECT_NE(Ini("UserDefInf.ini", "Zeta", std::to_string(i).c_str()), "<missing>")
        << "slot " << i;
  }
  EXPECT_EQ(Ini("UserDefInf.ini", "Zeta", "3"), "Zeta three");
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "FilePath"), "C:\\Apps\\zeta.exe");
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "ExeFile"), "zeta.exe");
  // The other profile is left alone.
  EXPECT_EQ(Ini("UserDef.ini", "Alpha", "0"), "<missing>");
}

// A key without a name is refused on moving to another button and on saving,
// and the slot keeps its hotkey; a key named for this purpose is saved.
TEST_F(EditorTest, AKeyWithoutANameIsRefusedANewlyNamedOneSaved) {
  WriteFiles(kUserDef, kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  ASSERT_TRUE(harness::MakeForeground(Editor()));
  Command(2003);
  for (int id : {2013, IDC_SAVE_EXIT}) {
    SetHotkey(HotkeyOf(0x07, HOTKEYF_CONTROL));  // a code Windows leaves unassigned
    PostCommand(id);
    HWND box = WaitDialog("Quorvan K7F3");
    ASSERT_NE(box, nullptr) << "no message after command " << id;
    EXPECT_NE(MessageText(box).find("code 0x07) has no name"), std::string::npos)
        << MessageText(box);
    harness::PostTo(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitGone(box));
    EXPECT_EQ(Hotkey(), HotkeyOf('N', HOTKEYF_SHIFT));
    EXPECT_EQ(Text(IDC_DESCRIPTION), "Zeta three");  // still selected, the editor open
  }
  // Wine without a window manager now and then leaves the foreground to
  // the desktop once a message box has gone; Windows gives it back to the
  // editor.
  ASSERT_TRUE(harness::MakeForeground(Editor()));
  TypeIntoHotkey(VK_F13, {VK_CONTROL});
  ASSERT_TRUE(WaitUntil([&] { return Hotkey() == HotkeyOf(VK_F13, HOTKEYF_CONTROL); }));
  PostCommand(IDC_SAVE_EXIT);
  ASSERT_TRUE(WaitGone(Editor()));
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "3"), "0-C-F13");
}

// Escape, Tab and Enter are the system's again once the editor has closed,
// and the next editor takes them again.
TEST_F(EditorTest, CapturedKeysAreReleasedWhenTheEditorCloses) {
  WriteFiles(kUserDef, kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  PostCommand(IDCANCEL);
  ASSERT_TRUE(WaitGone(Editor()));

  target_ = std::make_unique<harness::TargetApp>(scratch_, "Target.exe");
  ASSERT_TRUE(target_->RequestForeground());
  TypeKey(VK_TAB);
  TypeKey(VK_ESCAPE, {VK_SHIFT});
  ASSERT_TRUE(target_->WaitForKeyLog(6)) << "the keys did not reach the application";
  std::vector<unsigned> downs;
  for (const harness::TargetLogEntry& e : target_->KeyLog()) {
    if (e.IsKeyDown()) downs.push_back(e.vk);
  }
  EXPECT_EQ(downs, (std::vector<unsigned>{VK_TAB, VK_SHIFT, VK_ESCAPE}));

  ASSERT_NE(OpenEditor(), nullptr);
  ASSERT_TRUE(harness::MakeForeground(Editor()));
  Command(2001);
  TypeIntoHotkey(VK_TAB, {VK_SHIFT});
  EXPECT_TRUE(WaitUntil([&] { return Hotkey() == HotkeyOf(VK_TAB, HOTKEYF_SHIFT); }))
      << "shows 0x" << std::hex << Hotkey();
}

// Clear and typing change only the screen until the profile is saved; a
// description belongs to the slot it was typed for.
TEST_F(EditorTest, ClearAndEditsReachTheFilesOnlyWhenSaved) {
  WriteFiles(kUserDef, kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  const std::string userDef = FileBytes("UserDef.ini");
  const std::string userDefInf = FileBytes("UserDefInf.ini");

  Command(2003);
  ASSERT_EQ(Text(IDC_DESCRIPTION), "Zeta three");
  Command(IDC_EDITOR_CLEAR);
  EXPECT_EQ(Hotkey(), 0);
  EXPECT_EQ(Text(IDC_DESCRIPTION), "");
  // Another slot and back: the slot itself is empty, not just the controls.
  Command(2013);
  Command(2003);
  EXPECT_EQ(Hotkey(), 0);
  EXPECT_EQ(Text(IDC_DESCRIPTION), "");
  PostCommand(IDCANCEL);
  ASSERT_TRUE(WaitGone(Editor()));
  EXPECT_EQ(FileBytes("UserDef.ini"), userDef);
  EXPECT_EQ(FileBytes("UserDefInf.ini"), userDefInf);

  // The next editor reads the files again.
  ASSERT_NE(OpenEditor(), nullptr);
  Command(2003);
  ASSERT_EQ(Text(IDC_DESCRIPTION), "Zeta three");
  Command(IDC_EDITOR_CLEAR);
  Command(2013);
  SetText(Item(IDC_DESCRIPTION), "Next track");
  SetHotkey(HotkeyOf('T', HOTKEYF_CONTROL));
  PostCommand(IDC_SAVE_EXIT);
  ASSERT_TRUE(WaitGone(Editor()));
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "3"), "0-");
  EXPECT_EQ(Ini("UserDefInf.ini", "Zeta", "3"), "");
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "13"), "0-C-T");
  EXPECT_EQ(Ini("UserDefInf.ini", "Zeta", "13"), "Next track");
  EXPECT_EQ(Ini("UserDefInf.ini", "Zeta", "1"), "Zeta one");
}

TEST_F(EditorTest, SaveAsCopiesTheScreenUnderTheNewName) {
  WriteFiles(kUserDef, kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  const std::string zetaBefore = Ini("UserDef.ini", "Zeta", "1");
  Command(2003);
  SetHotkey(HotkeyOf('M', HOTKEYF_ALT));

  PostCommand(IDC_EDITOR_SAVEAS);
  HWND name = EnterAppName("Copy");
  ASSERT_NE(name, nullptr);
  ASSERT_TRUE(WaitGone(name));
  ASSERT_TRUE(WaitUntil([&] { return Text(IDC_EDITOR_NAME) == "Copy"; }));

  EXPECT_EQ(ProfileItems(), (std::vector<std::string>{"Zeta", "Alpha", "Copy"}));
  EXPECT_EQ(SelectedProfile(), 2);
  EXPECT_EQ(Ini("UserDef.ini", "Copy", "FilePath"), "C:\\Apps\\zeta.exe");
  EXPECT_EQ(Ini("UserDef.ini", "Copy", "ExeFile"), "zeta.exe");
  EXPECT_EQ(Ini("UserDef.ini", "Copy", "1"), "0-C-X");
  EXPECT_EQ(Ini("UserDef.ini", "Copy", "3"), "0-A-M");
  EXPECT_EQ(Ini("UserDef.ini", "Copy", "13"), "1-A-RIGHT");
  EXPECT_EQ(Ini("UserDefInf.ini", "Copy", "33"), "Zeta thirty-three");
  EXPECT_EQ(Ini("UserDef.ini", "Copy", "0"), "0-");
  // The old profile keeps what it had in the file.
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "3"), "0-S-N");
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "1"), zetaBefore);
}

// The name dialog refuses, each with its message, what the list already has
// (in any letter case), nothing, a name too long for a profile and names the
// INI files would change; it stays open for another try.
TEST_F(EditorTest, ApplicationNameRefusesNamesItCannotTake) {
  WriteFiles(kUserDef, kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  const std::string userDef = FileBytes("UserDef.ini");
  PostCommand(IDC_EDITOR_NEW);
  HWND name = WaitDialog("Application Name");
  ASSERT_NE(name, nullptr);
  const struct {
    std::string name;
    const char* message;
  } refused[] = {
      {"zETA", "Application name exist"},
      {"", "Please enter the application name"},
      {std::string(100, 'L'), "The application name is too long: at most 99 characters, please"},
      {" Padded ", "The application name cannot begin or end with a space or a tab"},
      {"Odd]Name", "The application name cannot contain \"[\" or \"]\""},
      {";Quiet", "The application name cannot begin with \";\""},
  };
  for (const auto& r : refused) {
    ASSERT_EQ(EnterAppName(r.name), name);
    HWND box = WaitDialog("");
    ASSERT_NE(box, nullptr) << "no message for \"" << r.name << "\"";
    EXPECT_EQ(MessageText(box), r.message);
    harness::PostTo(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitGone(box));
    EXPECT_TRUE(IsWindowVisible(name)) << "the dialog closed on \"" << r.name << "\"";
  }
  // 99 characters are fine; the file dialog follows, cancelled here.
  const std::string longest(99, 'L');
  ASSERT_EQ(EnterAppName(longest), name);
  ASSERT_TRUE(WaitGone(name));
  HWND open = WaitDialog("Open");
  ASSERT_NE(open, nullptr);
  CancelDialog(open);
  HWND error = WaitDialog("File path error");
  ASSERT_NE(error, nullptr);
  CancelDialog(error);
  ASSERT_TRUE(WaitGone(error));
  EXPECT_EQ(ProfileItems(), (std::vector<std::string>{"Zeta", "Alpha", longest}));
}

// New asks for a name, then for the program; without one, "Give up" drops
// the name again and closing the question keeps it without a program.
TEST_F(EditorTest, NewWithoutAProgram) {
  WriteFiles(kUserDef, kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);

  auto startNew = [&](const char* newName) -> HWND {
    PostCommand(IDC_EDITOR_NEW);
    if (EnterAppName(newName) == nullptr) return nullptr;
    HWND open = WaitDialog("Open");
    if (open == nullptr) return nullptr;
    CancelDialog(open);
    return WaitDialog("File path error");
  };

  HWND error = startNew("Dropped");
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(Profiles("UserDef.ini"), (std::vector<std::string>{"Zeta", "Alpha"}));
  harness::PostTo(error, WM_COMMAND, MAKEWPARAM(IDC_GIVEUP, BN_CLICKED), 0);
  ASSERT_TRUE(WaitGone(error));
  ASSERT_TRUE(WaitUntil([&] { return ProfileItems().size() == 2; }));
  EXPECT_EQ(ProfileItems(), (std::vector<std::string>{"Zeta", "Alpha"}));
  EXPECT_EQ(SelectedProfile(), 0);
  EXPECT_EQ(Text(IDC_EDITOR_NAME), "Zeta");

  error = startNew("Kept");
  ASSERT_NE(error, nullptr);
  CancelDialog(error);
  ASSERT_TRUE(WaitGone(error));
  EXPECT_EQ(ProfileItems(), (std::vector<std::string>{"Zeta", "Alpha", "Kept"}));
  EXPECT_EQ(SelectedProfile(), 2);
  // Nothing is written for it yet (Wine does not even write the empty
  // section's header), so it is not a profile until it is saved.
  EXPECT_EQ(Profiles("UserDef.ini"), (std::vector<std::string>{"Zeta", "Alpha"}));
}

// The program picked for a new profile is written with it at once; "Assign"
// asks again after a miss.
TEST_F(EditorTest, NewWithAProgramAfterAMiss) {
  WriteFiles(kUserDef, kUserDefInf);
  const std::string player = scratch_.CopyHelper(harness::HelperExe::kLaunchTarget, "Player.exe");
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);

  PostCommand(IDC_EDITOR_NEW);
  ASSERT_NE(EnterAppName("Player"), nullptr);
  HWND open = WaitDialog("Open");
  ASSERT_NE(open, nullptr);
  CancelDialog(open);
  HWND error = WaitDialog("File path error");
  ASSERT_NE(error, nullptr);
  harness::PostTo(error, WM_COMMAND, MAKEWPARAM(IDC_ASSIGN, BN_CLICKED), 0);
  ASSERT_TRUE(WaitGone(error));
  open = WaitDialog("Open");
  ASSERT_NE(open, nullptr);
  ChooseFile(open, player);
  ASSERT_TRUE(WaitUntil([&] { return Text(IDC_EDITOR_PATH) == player; }))
      << "shows " << Text(IDC_EDITOR_PATH);

  EXPECT_EQ(Text(IDC_EDITOR_NAME), "Player");
  EXPECT_EQ(ProfileItems(), (std::vector<std::string>{"Zeta", "Alpha", "Player"}));
  EXPECT_EQ(SelectedProfile(), 2);
  EXPECT_EQ(Ini("UserDef.ini", "Player", "FilePath"), player);
  EXPECT_EQ(Ini("UserDef.ini", "Player", "ExeFile"), "Player.exe");
  // A fresh profile: nothing in its slots.
  EXPECT_EQ(Hotkey(), 0);
  EXPECT_EQ(Text(IDC_DESCRIPTION), "");
}

TEST_F(EditorTest, DeleteEmptiesBothSectionsAndForgetsTheExactName) {
  WriteFiles(kUserDef, kUserDefInf,
             "[DVD]\nAPName=Zeta\n[Music]\nAPName=zeta\n[WWW]\nAPName=Alpha\n");
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  const std::string userDef = FileBytes("UserDef.ini");

  PostCommand(IDC_EDITOR_DELETE);
  HWND confirm = WaitDialog("Delete HotKey");
  ASSERT_NE(confirm, nullptr);
  EXPECT_EQ(harness::ReadWindowText(GetDlgItem(confirm, IDC_DELETE_PROMPT)).value_or(""),
            "Delete HotKey for \"Zeta\" Application ?");
  harness::PostTo(confirm, WM_COMMAND, MAKEWPARAM(IDC_DELETE_CANCEL, BN_CLICKED), 0);
  ASSERT_TRUE(WaitGone(confirm));
  EXPECT_EQ(FileBytes("UserDef.ini"), userDef);

  PostCommand(IDC_EDITOR_DELETE);
  confirm = WaitDialog("Delete HotKey");
  ASSERT_NE(confirm, nullptr);
  harness::PostTo(confirm, WM_COMMAND, MAKEWPARAM(IDC_DELETE_OK, BN_CLICKED), 0);
  ASSERT_TRUE(WaitGone(confirm));
  ASSERT_TRUE(WaitUntil([&] { return ProfileItems().size() == 1; }));

  EXPECT_EQ(ProfileItems(), std::vector<std::string>{"Alpha"});
  EXPECT_EQ(Text(IDC_EDITOR_NAME), "Alpha");
  EXPECT_EQ(Text(IDC_DESCRIPTION), "Alpha one");
  EXPECT_EQ(Profiles("UserDef.ini"), std::vector<std::string>{"Alpha"});
  EXPECT_EQ(Profiles("UserDefInf.ini"), std::vector<std::string>{"Alpha"});
  EXPECT_EQ(Ini("QVCtrl.ini", "DVD", "APName"), "");
  EXPECT_EQ(Ini("QVCtrl.ini", "Music", "APName"), "zeta");
  EXPECT_EQ(Ini("QVCtrl.ini", "WWW", "APName"), "Alpha");
}

// The box shows each profile's mark; Save and Save As store it on the profile
// saved and take it from the other, and unchecked the key goes, leaving the
// file as a save without it writes it.
TEST_F(EditorTest, TheAllOtherProgramsBoxKeepsTheMarkOnOneProfile) {
  WriteFiles(std::string(kUserDef) + "AllOtherPrograms=1\n", kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  auto checked = [&] {
    return harness::SendTo(Item(IDC_EDITOR_ALL_OTHERS), BM_GETCHECK, 0, 0) == BST_CHECKED;
  };
  auto check = [&](bool on) {
    harness::SendTo(Item(IDC_EDITOR_ALL_OTHERS), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  };
  EXPECT_FALSE(checked());
  PickProfile(1);
  EXPECT_TRUE(checked()) << "Alpha";
  PickProfile(0);
  EXPECT_FALSE(checked()) << "Zeta";
  Command(IDC_EDITOR_SAVE);
  const std::string savedWithout = FileBytes("UserDef.ini");
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "AllOtherPrograms"), "<missing>");

  check(true);
  Command(IDC_EDITOR_SAVE);
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "AllOtherPrograms"), "1");
  EXPECT_EQ(Ini("UserDef.ini", "Alpha", "AllOtherPrograms"), "<missing>");
  PickProfile(1);
  EXPECT_FALSE(checked()) << "Alpha";
  PickProfile(0);
  EXPECT_TRUE(checked()) << "Zeta";

  check(false);
  Command(IDC_EDITOR_SAVE);
  std::string want = savedWithout;
  const std::string alphaMark = "AllOtherPrograms=1\r\n";
  ASSERT_NE(want.find(alphaMark), std::string::npos);
  want.erase(want.find(alphaMark), alphaMark.size());
  EXPECT_EQ(FileBytes("UserDef.ini"), want);

  check(true);
  Command(IDC_EDITOR_SAVE);
  PostCommand(IDC_EDITOR_SAVEAS);
  HWND name = EnterAppName("Copy");
  ASSERT_NE(name, nullptr);
  ASSERT_TRUE(WaitGone(name));
  // Save As runs on once the name's dialog has gone: the new profile gets the
  // mark first, and the other loses it after.
  EXPECT_TRUE(WaitUntil([&] {
    return Ini("UserDef.ini", "Copy", "AllOtherPrograms") == "1" &&
           Ini("UserDef.ini", "Zeta", "AllOtherPrograms") == "<missing>";
  }));
  EXPECT_TRUE(checked());
}

// Browse writes the new path into the profile on screen, found by its whole
// name: a cut one would name the other profile here.
// A button's hold action with its caption, and a repeat rule: set on the
// screen (the key captured in the hold view), saved, read back from the
// files and by the next editor; Clear removes them.
TEST_F(EditorTest, HoldActionsAndRepeatRulesAreSavedReadBackAndCleared) {
  WriteFiles(kUserDef, kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  ASSERT_TRUE(harness::MakeForeground(Editor()));
  auto clickHold = [&] { harness::SendTo(Item(IDC_EDITOR_HOLD), BM_CLICK, 0, 0); };
  Press(0x59);
  ASSERT_TRUE(WaitDescription("Zeta three"));
  EXPECT_NE(CornerOf(Item(2003)), kHoldMark);
  clickHold();
  EXPECT_EQ(Hotkey(), 0);
  EXPECT_EQ(Text(IDC_DESCRIPTION), "");
  TypeIntoHotkey(VK_ESCAPE, {VK_MENU});
  SetText(Item(IDC_DESCRIPTION), "Close player");
  Command(2013);
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_EDITOR_REPEAT)));
  // A rule the list cannot read is refused, and the button stays selected.
  SetText(Item(IDC_EDITOR_REPEAT), "fast");
  PostCommand(2003);
  HWND box = WaitDialog("Quorvan K7F3");
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageText(box).find("100 to 2000 ms"), std::string::npos) << MessageText(box);
  harness::PostTo(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(WaitGone(box));
  EXPECT_EQ(Text(IDC_DESCRIPTION), "Zeta thirteen");
  SetText(Item(IDC_EDITOR_REPEAT), "750");
  Command(2003);
  // A button with a hold action does not repeat: its rule is not offered.
  EXPECT_EQ(Text(IDC_DESCRIPTION), "Zeta three");
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_EDITOR_REPEAT)));
  Command(IDC_EDITOR_SAVE);
  EXPECT_TRUE(WaitUntil([&] { return CornerOf(Item(2003)) == kHoldMark; }));
  EXPECT_NE(CornerOf(Item(2013)), kHoldMark);
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "3"), "0-S-N");
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "Hold3"), "0-A-ESC");
  EXPECT_EQ(Ini("UserDefInf.ini", "Zeta", "3"), "Zeta three");
  EXPECT_EQ(Ini("UserDefInf.ini", "Zeta", "Hold3"), "Close player");
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "Repeat13"), "750");
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "Repeat3") + Ini("UserDef.ini", "Zeta", "Hold13"),
            "<missing><missing>");
  PostCommand(IDCANCEL);
  ASSERT_TRUE(WaitGone(Editor()));

  // The next editor reads them back; Clear empties the hold action too.
  ASSERT_NE(OpenEditor(), nullptr);
  Command(2013);
  EXPECT_EQ(Text(IDC_EDITOR_REPEAT), "750 ms");
  Command(2003);
  EXPECT_EQ(CornerOf(Item(2003)), kHoldMark);
  EXPECT_EQ(Hotkey(), HotkeyOf('N', HOTKEYF_SHIFT));
  clickHold();
  EXPECT_EQ(Hotkey(), HotkeyOf(VK_ESCAPE, HOTKEYF_ALT));
  EXPECT_EQ(Text(IDC_DESCRIPTION), "Close player");
  Command(IDC_EDITOR_CLEAR);
  EXPECT_TRUE(WaitUntil([&] { return CornerOf(Item(2003)) != kHoldMark; }));
  PostCommand(IDC_SAVE_EXIT);
  ASSERT_TRUE(WaitGone(Editor()));
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "3"), "0-");
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "Hold3"), "<missing>");
  EXPECT_EQ(Ini("UserDefInf.ini", "Zeta", "Hold3"), "<missing>");
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "Repeat13"), "750");
}

TEST_F(EditorTest, BrowseWritesThePathOnly) {
  const std::string longName = "Long profile name " + std::string(42, 'x');
  const std::string cutName = longName.substr(0, 49);
  WriteFiles(std::string(kUserDef) + "[" + cutName + "]\nFilePath=C:\\cut.exe\nExeFile=cut.exe\n[" +
                 longName + "]\nFilePath=C:\\Long\\long.exe\nExeFile=long.exe\n1=0-L\n",
             kUserDefInf);
  const std::string player = scratch_.CopyHelper(harness::HelperExe::kLaunchTarget, "Player.exe");
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  PickProfile(3);
  ASSERT_EQ(Text(IDC_EDITOR_NAME), longName);
  const std::string userDef = FileBytes("UserDef.ini");

  PostCommand(IDC_EDITOR_BROWSE);
  HWND open = WaitDialog("Open");
  ASSERT_NE(open, nullptr);
  CancelDialog(open);
  ASSERT_TRUE(WaitGone(open));
  EXPECT_EQ(Text(IDC_EDITOR_PATH), "C:\\Long\\long.exe");
  EXPECT_EQ(FileBytes("UserDef.ini"), userDef);

  PostCommand(IDC_EDITOR_BROWSE);
  open = WaitDialog("Open");
  ASSERT_NE(open, nullptr);
  ChooseFile(open, player);
  ASSERT_TRUE(WaitUntil([&] { return Text(IDC_EDITOR_PATH) == player; }));
  EXPECT_EQ(Ini("UserDef.ini", longName.c_str(), "FilePath"), player);
  EXPECT_EQ(Ini("UserDef.ini", longName.c_str(), "ExeFile"), "long.exe");
  EXPECT_EQ(Ini("UserDef.ini", longName.c_str(), "1"), "0-L");
  EXPECT_EQ(Ini("UserDef.ini", longName.c_str(), "0"), "<missing>");
  EXPECT_EQ(Ini("UserDef.ini", cutName.c_str(), "FilePath"), "C:\\cut.exe");
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "FilePath"), "C:\\Apps\\zeta.exe");
}

// With "UserDef.ini" held open by another program without sharing, Save,
// Save and Exit and Delete each say which file they could not write; the
// editor stays open with what was typed, the list keeps the profile, and the
// file is unchanged. Once the file is free, Save and Exit stores the edit.
TEST_F(EditorTest, WritesTheFileRefusesAreReportedAndNothingIsLost) {
  WriteFiles(kUserDef, kUserDefInf);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  const std::string userDef = FileBytes("UserDef.ini");
  const std::string path = program_->IniPath("UserDef.ini");
  Command(2003);
  SetHotkey(HotkeyOf('M', HOTKEYF_ALT));
  SetText(Item(IDC_DESCRIPTION), "Marker");

  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  for (int id : {IDC_EDITOR_SAVE, IDC_SAVE_EXIT, IDC_EDITOR_DELETE}) {
    SCOPED_TRACE("command " + std::to_string(id));
    PostCommand(id);
    if (id == IDC_EDITOR_DELETE) {
      HWND confirm = WaitDialog("Delete HotKey");
      ASSERT_NE(confirm, nullptr);
      harness::PostTo(confirm, WM_COMMAND, MAKEWPARAM(IDC_DELETE_OK, BN_CLICKED), 0);
    }
    HWND box = WaitDialog("Quorvan K7F3");
    ASSERT_NE(box, nullptr) << "no message";
    EXPECT_NE(MessageText(box).find("\"" + path + "\""), std::string::npos) << MessageText(box);
    harness::PostTo(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitGone(box));
    EXPECT_TRUE(IsWindowVisible(Editor()));
    EXPECT_EQ(ProfileItems(), (std::vector<std::string>{"Zeta", "Alpha"}));
    EXPECT_EQ(Text(IDC_EDITOR_NAME), "Zeta");
  }
  CloseHandle(held);
  EXPECT_EQ(FileBytes("UserDef.ini"), userDef);

  Command(2003);
  EXPECT_EQ(Hotkey(), HotkeyOf('M', HOTKEYF_ALT));
  EXPECT_EQ(Text(IDC_DESCRIPTION), "Marker");
  PostCommand(IDC_SAVE_EXIT);
  ASSERT_TRUE(WaitGone(Editor()));
  EXPECT_EQ(Ini("UserDef.ini", "Zeta", "3"), "0-A-M");
  EXPECT_EQ(Ini("UserDefInf.ini", "Zeta", "3"), "Marker");
}

// What the editor saves is what the next press sends, without a restart.
TEST_F(EditorTest, ASavedProfileDrivesTheNextPress) {
  // Saving writes "ExeFile" from the path: the profile needs one.
  WriteFiles(std::string(kUserDef) + "[Target]\nFilePath=" + scratch_.File("Target.exe") +
                 "\nExeFile=Target.exe\n1=0-Q\n",
             kUserDefInf);
  StartProgram();
  target_ = std::make_unique<harness::TargetApp>(scratch_, "Target.exe");
  ASSERT_NE(OpenEditor(), nullptr);
  PickProfile(2);
  ASSERT_EQ(Text(IDC_EDITOR_NAME), "Target");
  ASSERT_EQ(Hotkey(), HotkeyOf('Q'));
  SetHotkey(HotkeyOf('K', HOTKEYF_SHIFT));
  PostCommand(IDC_SAVE_EXIT);
  ASSERT_TRUE(WaitGone(Editor()));

  ASSERT_TRUE(target_->RequestForeground());
  Press(0x5C);
  ASSERT_TRUE(target_->WaitForKeyLog(4)) << "nothing reached the application";
  std::vector<std::pair<unsigned, bool>> keys;
  for (const harness::TargetLogEntry& e : target_->KeyLog()) keys.push_back({e.vk, e.IsKeyDown()});
  EXPECT_EQ(keys, (std::vector<std::pair<unsigned, bool>>{
                      {VK_SHIFT, true}, {'K', true}, {'K', false}, {VK_SHIFT, false}}));
}

}  // namespace
}  // namespace k7::editortest
