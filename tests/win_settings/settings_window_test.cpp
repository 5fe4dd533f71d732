// The settings window of the running program, operated from the outside as a
// user would: what each control shows, what it writes (at once, and nothing
// else), and the keys and commands that must leave it alone.
#include <windows.h>

#include <functional>
#include <thread>

#include "res/resource.h"
#include "settings_test.h"

namespace k7::settingstest {
namespace {

using Strings = std::vector<std::string>;

class SettingsWindowTest : public SettingsTest {
 protected:
  // What the window shows for one category: its radio, the application
  // in the box and that application's path.
  void ExpectShows(int radioId, const std::string& application, const std::string& path) {
    EXPECT_EQ(settings_->CheckedCategory(), radioId);
    EXPECT_EQ(settings_->Text(IDC_PROFILE), application);
    EXPECT_EQ(settings_->Text(IDC_EXE_PATH), path);
  }
  // Wine's file dialog names the file in an edit inside a combo box (cmb13);
  // the older layout has a plain edit (edt1).
  static HWND FileNameEdit(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, 0x47C)) {
      if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
      return combo;
    }
    return GetDlgItem(dialog, 0x480);
  }
  static void ChooseFile(HWND dialog, const std::string& path) {
    HWND edit = FileNameEdit(dialog);
    ASSERT_NE(edit, nullptr) << "no file name field in the file dialog";
    const std::wstring wide(path.begin(), path.end());
    harness::SendTo(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    harness::PostTo(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  static void CancelFileDialog(HWND dialog) {
    harness::PostTo(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
  static bool WaitGone(HWND window) {
    return harness::WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
  }

  // The four labels, DVD, MUSIC, WWW, SPEECH.
  std::vector<std::string> Labels() const {
    return {settings_->Text(IDC_LABEL_DVD), settings_->Text(IDC_LABEL_MUSIC),
            settings_->Text(IDC_LABEL_WWW), settings_->Text(IDC_LABEL_SPEECH)};
  }
};

TEST_F(SettingsWindowTest, OpensOnDvdAndComesBackThereAfterWorkingOnSpeech) {
  StartProgram();
  EXPECT_FALSE(settings_->Visible()) << "the window showed by itself at start-up";
  OpenSettings();
  ExpectShows(IDC_CAT_DVD, "WinDVD", kWinDvdPath);
  EXPECT_EQ(Labels(), (Strings{"WinDVD", "WinRip", "IE", "PowerPoint"}));
  EXPECT_EQ(settings_->ProfileItems(), (Strings{"WinDVD", "WinRip", "IE", "PowerPoint"}));
  EXPECT_TRUE(settings_->Checked(IDC_OSD));

  // This one clicked with the mouse, as a user does.
  settings_->MouseClick(IDC_CAT_SPEECH);
  ASSERT_TRUE(harness::WaitUntil([&] { return settings_->Text(IDC_PROFILE) == "PowerPoint"; }))
      << "the click on SPEECH did nothing";
  ExpectShows(IDC_CAT_SPEECH, "PowerPoint", kPowerPointPath);
  settings_->ClickButton(IDOK);
  ASSERT_TRUE(settings_->WaitVisible(false)) << "OK did not hide the window";

  OpenSettings();
  ExpectShows(IDC_CAT_DVD, "WinDVD", kWinDvdPath);
  // Not only the radio: the category the buttons act on is DVD again.
  settings_->SetText(IDC_EXE_PATH, "C:\\Players\\dvd.exe");
  settings_->ClickButton(IDC_PATH_OK);
  EXPECT_EQ(Value("UserDef.ini", "WinDVD", "FilePath"), "C:\\Players\\dvd.exe");
  EXPECT_EQ(Value("UserDef.ini", "PowerPoint", "FilePath"), kPowerPointPath);
}

TEST_F(SettingsWindowTest, PickFromTheListAssignsTheCategoryAtOnceAndOkWritesNothingMore) {
  // MUSIC starts out with another application than the first run gives it.
  PlaceGoldenFiles();
  WriteIni("QVCtrl.ini", "Music", "APName", "IE");
  StartProgram();
  OpenSettings();
  settings_->ClickRadio(IDC_CAT_MUSIC);
  ExpectShows(IDC_CAT_MUSIC, "IE", kIePath);
  EXPECT_EQ(settings_->Text(IDC_LABEL_MUSIC), "IE");

  ASSERT_TRUE(settings_->PickProfile("WinRip"));
  // Written before the notification returned, and nothing else changed.
  EXPECT_EQ(Value("QVCtrl.ini", "Music", "APName"), "WinRip");
  EXPECT_EQ(Ini("QVCtrl.ini").Bytes(), Golden("QVCtrl.ini"));
  EXPECT_EQ(settings_->Text(IDC_EXE_PATH), kWinRipPath);
  EXPECT_EQ(Labels(), (Strings{"WinDVD", "WinRip", "IE", "PowerPoint"}));
  EXPECT_EQ(settings_->CheckedCategory(), IDC_CAT_MUSIC);

  const IniFiles afterPick = Files();
  settings_->ClickButton(IDOK);
  ASSERT_TRUE(settings_->WaitVisible(false)) << "OK did not hide the window";
  EXPECT_TRUE(program_->Running());
  EXPECT_EQ(Files(), afterPick) << "OK wrote something";
}

// Profiles another program added and removed while the window was hidden are
// listed when it opens again, and the pick made before stays selected.
TEST_F(SettingsWindowTest, HandEditsOfTheProfilesShowAtTheNextOpening) {
  StartProgram();
  OpenSettings();
  ASSERT_TRUE(settings_->PickProfile("WinRip"));
  settings_->ClickButton(IDOK);
  ASSERT_TRUE(settings_->WaitVisible(false)) << "OK did not hide the window";
  WriteIni("UserDef.ini", "IE", nullptr, nullptr);
  WriteIni("UserDef.ini", "Mine", "ExeFile", "mine.exe");
  OpenSettings();
  EXPECT_EQ(settings_->ProfileItems(), (Strings{"WinDVD", "WinRip", "PowerPoint", "Mine"}));
  EXPECT_EQ(harness::SendTo(settings_->Item(IDC_PROFILE), CB_GETCURSEL, 0, 0), 1);
}

TEST_F(SettingsWindowTest, TypingIntoTheBoxAndChoosingCategoriesWriteNothing) {
  StartProgram();
  OpenSettings();
  const IniFiles before = Files();

  settings_->ClickRadio(IDC_CAT_WWW);
  ExpectShows(IDC_CAT_WWW, "IE", kIePath);
  settings_->ClickRadio(IDC_CAT_MUSIC);
  ExpectShows(IDC_CAT_MUSIC, "WinRip", kWinRipPath);
  settings_->ClickRadio(IDC_CAT_SPEECH);
  ExpectShows(IDC_CAT_SPEECH, "PowerPoint", kPowerPointPath);
  EXPECT_EQ(Files(), before) << "choosing a category wrote something";

  // The name of another listed profile, typed: the list may follow the
  // typing, but only a pick assigns.
  ASSERT_TRUE(harness::MakeForeground(settings_->Hwnd())) << "the window did not take the focus";
  ASSERT_TRUE(settings_->Focus(IDC_PROFILE));
  settings_->SetText(IDC_PROFILE, "");
  Type("winrip");
  ASSERT_TRUE(
      harness::WaitUntil([&] { return settings_->Text(IDC_PROFILE) == "winrip"; }, 2000, 10))
      << "the typing never arrived; the box shows " << settings_->Text(IDC_PROFILE);
  // Focus elsewhere: leaving the box must not assign either.
  ASSERT_TRUE(settings_->Focus(IDC_EXE_PATH));

  EXPECT_EQ(Files(), before) << "typing into the box wrote something";
  EXPECT_EQ(settings_->Text(IDC_LABEL_SPEECH), "PowerPoint");
  EXPECT_EQ(settings_->Text(IDC_EXE_PATH), kPowerPointPath);
}

TEST_F(SettingsWindowTest, PathOkStoresThePathAndItsFileNameForTheCategoryProfile) {
  StartProgram();
  OpenSettings();
  settings_->ClickRadio(IDC_CAT_MUSIC);
  // As Explorer's "Copy as path" gives it, with a blank pasted along.
  settings_->SetText(IDC_EXE_PATH, " \"C:\\Tools\\player.exe\" ");
  const IniFiles before = Files();
  settings_->ClickButton(IDC_PATH_OK);
  EXPECT_EQ(Value("UserDef.ini", "WinRip", "FilePath"), "C:\\Tools\\player.exe");
  EXPECT_EQ(Value("UserDef.ini", "WinRip", "ExeFile"), "player.exe");
  EXPECT_EQ(Value("UserDef.ini", "WinDVD", "FilePath"), kWinDvdPath);
  EXPECT_EQ(Value("UserDef.ini", "WinDVD", "ExeFile"), "WinDVD.exe");
  EXPECT_EQ(Files().ctrl, before.ctrl);
  EXPECT_EQ(Files().userDefInf, before.userDefInf);

  // The new file name is what the program now recognises in front.
  settings_->ClickButton(IDOK);
  harness::TargetApp& player = Front("player.exe");
  Press(0x02);  // slot 28: "1-PGDOWN" in WinRip
  ASSERT_TRUE(player.WaitForKeyLog(2)) << "player.exe got no hotkey";
  EXPECT_EQ(player.KeyLog(),
            (std::vector<harness::TargetLogEntry>{{WM_KEYDOWN, VK_NEXT}, {WM_KEYUP, VK_NEXT}}));

  // A path ending in a backslash names no file.
  OpenSettings();
  settings_->ClickRadio(IDC_CAT_MUSIC);
  settings_->SetText(IDC_EXE_PATH, "C:\\Tools\\");
  settings_->ClickButton(IDC_PATH_OK);
  EXPECT_EQ(Value("UserDef.ini", "WinRip", "FilePath"), "C:\\Tools\\");
  EXPECT_EQ(Value("UserDef.ini", "WinRip", "ExeFile"), "");
}

// The file dialog only fills the field; Path OK stores it.
TEST_F(SettingsWindowTest, BrowseFillsThePathFieldOnly) {
  StartProgram();
  OpenSettings();
  const IniFiles before = Files();

  settings_->PostClick(IDC_BROWSE);
  HWND open = harness::WaitForProcessWindow(program_->Id(), "Open", "#32770");
  ASSERT_NE(open, nullptr) << "no file dialog";
  CancelFileDialog(open);
  ASSERT_TRUE(WaitGone(open)) << "the file dialog did not close";
  EXPECT_EQ(settings_->Text(IDC_EXE_PATH), kWinDvdPath) << "cancelling changed the field";

  // Any existing file will do: the program's own.
  settings_->PostClick(IDC_BROWSE);
  open = harness::WaitForProcessWindow(program_->Id(), "Open", "#32770");
  ASSERT_NE(open, nullptr) << "no file dialog";
  ChooseFile(open, program_->ExePath());
  ASSERT_TRUE(WaitGone(open)) << "the file dialog did not close";
  ASSERT_TRUE(harness::WaitUntil(
      [&] { return settings_->Text(IDC_EXE_PATH) == program_->ExePath(); }, 2000))
      << "the field shows " << settings_->Text(IDC_EXE_PATH);
  EXPECT_EQ(Files(), before) << "choosing a file wrote something";

  settings_->ClickButton(IDC_PATH_OK);
  EXPECT_EQ(Value("UserDef.ini", "WinDVD", "FilePath"), program_->ExePath());
  EXPECT_EQ(Value("UserDef.ini", "WinDVD", "ExeFile"),
            harness::ProgramExeName(harness::ProgramKind::kSim));
}

TEST_F(SettingsWindowTest, PathOkForACategoryWithoutApplicationWritesNothing) {
  PlaceGoldenFiles();
  WriteIni("QVCtrl.ini", "Speech", "APName", "");
  StartProgram();
  OpenSettings();
  settings_->ClickRadio(IDC_CAT_SPEECH);
  ExpectShows(IDC_CAT_SPEECH, "", "");
  EXPECT_EQ(settings_->Text(IDC_LABEL_SPEECH), "");

  const IniFiles before = Files();
  settings_->SetText(IDC_EXE_PATH, "C:\\Tools\\player.exe");
  settings_->ClickButton(IDC_PATH_OK);
  EXPECT_EQ(Files(), before) << "Path OK wrote something";
  EXPECT_FALSE(Ini("UserDef.ini").HasSection("")) << "a profile without a name was written";
  EXPECT_TRUE(program_->Running());
}

TEST_F(SettingsWindowTest, DefaultRestoresTheBuiltInProfilesAndShowsDvd) {
  StartProgram();
  OpenSettings();
  ASSERT_EQ(Files(),
            (IniFiles{Golden("QVCtrl.ini"), Golden("UserDef.ini"), Golden("UserDefInf.ini")}))
      << "the first run did not write the golden files";

  // Changes through every writing control, and one from outside.
  settings_->SetText(IDC_EXE_PATH, "D:\\Video\\dvdplay.exe");
  settings_->ClickButton(IDC_PATH_OK);
  settings_->ClickRadio(IDC_CAT_MUSIC);
  ASSERT_TRUE(settings_->PickProfile("PowerPoint"));
  settings_->ClickRadio(IDC_CAT_WWW);
  ASSERT_TRUE(settings_->PickProfile("WinDVD"));
  WriteIni("UserDefInf.ini", "WinDVD", "28", "Skip");
  WriteIni("UserDef.ini", "IE", "28", "0-F9");
  ASSERT_EQ(Value("QVCtrl.ini", "WWW", "APName"), "WinDVD");
  ASSERT_EQ(Value("UserDef.ini", "WinDVD", "ExeFile"), "dvdplay.exe");
  settings_->ClickRadio(IDC_CAT_SPEECH);

  settings_->ClickButton(IDC_DEFAULT);
  EXPECT_EQ(Files(),
            (IniFiles{Golden("QVCtrl.ini"), Golden("UserDef.ini"), Golden("UserDefInf.ini")}));
  ExpectShows(IDC_CAT_DVD, "WinDVD", kWinDvdPath);
  EXPECT_EQ(Labels(), (Strings{"WinDVD", "WinRip", "IE", "PowerPoint"}));
  EXPECT_EQ(settings_->ProfileItems(), (Strings{"WinDVD", "WinRip", "IE", "PowerPoint"}));
  EXPECT_TRUE(settings_->Visible());

  // The category the buttons act on is DVD too.
  settings_->SetText(IDC_EXE_PATH, "C:\\Players\\dvd.exe");
  settings_->ClickButton(IDC_PATH_OK);
  EXPECT_EQ(Value("UserDef.ini", "WinDVD", "FilePath"), "C:\\Players\\dvd.exe");
  EXPECT_EQ(Value("UserDef.ini", "PowerPoint", "FilePath"), kPowerPointPath);
}

TEST_F(SettingsWindowTest, DefaultBringsADeletedProfileBackIntoTheList) {
  PlaceGoldenFiles();
  WriteIni("UserDef.ini", "WinRip", nullptr, nullptr);
  WriteIni("UserDefInf.ini", "WinRip", nullptr, nullptr);
  ASSERT_FALSE(harness::IniText::Load(scratch_.File("UserDef.ini")).HasSection("WinRip"));
  StartProgram();
  OpenSettings();
  EXPECT_EQ(settings_->ProfileItems(), (Strings{"WinDVD", "IE", "PowerPoint"}));

  settings_->ClickButton(IDC_DEFAULT);
  // The list keeps file order: the profile written anew comes last.
  EXPECT_EQ(settings_->ProfileItems(), (Strings{"WinDVD", "IE", "PowerPoint", "WinRip"}));
  const harness::IniText golden(Golden("UserDef.ini"));
  EXPECT_EQ(Ini("UserDef.ini").Lines("WinRip"), golden.Lines("WinRip"));
  EXPECT_EQ(Ini("UserDefInf.ini").Lines("WinRip"),
            harness::IniText(Golden("UserDefInf.ini")).Lines("WinRip"));
  // Now in the list, it can be picked.
  settings_->ClickRadio(IDC_CAT_WWW);
  ASSERT_TRUE(settings_->PickProfile("WinRip"));
  EXPECT_EQ(Value("QVCtrl.ini", "WWW", "APName"), "WinRip");
  EXPECT_EQ(settings_->Text(IDC_EXE_PATH), kWinRipPath);
}

// A file held open by another program without sharing: a pick from the list
// and Default each say which file they could not write and why, and change neither
// the files nor what the window shows. Once the file is free, Default works.
TEST_F(SettingsWindowTest, WritesAFileRefusesAreReportedAndChangeNothing) {
  PlaceGoldenFiles();
  WriteIni("UserDef.ini", "IE", "1", "0-Q");  // an edit Default would undo
  StartProgram();
  OpenSettings();
  settings_->ClickRadio(IDC_CAT_WWW);
  ExpectShows(IDC_CAT_WWW, "IE", kIePath);
  const IniFiles before = Files();

  const struct {
    const char* file;
    std::function<void()> command;
  } refused[] = {
      {"QVCtrl.ini", [&] { EXPECT_TRUE(settings_->PickProfile("WinRip")); }},
      {"UserDef.ini", [&] { settings_->PostClick(IDC_DEFAULT); }},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.file);
    const std::string path = program_->IniPath(r.file);
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    // The pick is sent and waits for the message box: post from a thread.
    std::thread command(r.command);
    HWND box = harness::WaitForProcessWindow(program_->Id(), "Quorvan K7F3", "#32770");
    std::string text;
    if (box != nullptr) text = harness::ReadWindowText(GetDlgItem(box, 0xFFFF)).value_or("");
    EXPECT_NE(text.find("\"" + path + "\": the file is in use by another program."),
              std::string::npos)
        << text;
    if (box != nullptr) harness::PostTo(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    command.join();
    CloseHandle(held);
    ASSERT_NE(box, nullptr) << "no message";
    ASSERT_TRUE(WaitGone(box));
    ExpectShows(IDC_CAT_WWW, "IE", kIePath);
    EXPECT_EQ(settings_->Text(IDC_LABEL_WWW), "IE");
    EXPECT_EQ(Files(), before);
  }

  settings_->ClickButton(IDC_DEFAULT);
  EXPECT_EQ(Files(),
            (IniFiles{Golden("QVCtrl.ini"), Golden("UserDef.ini"), Golden("UserDefInf.ini")}));
  ExpectShows(IDC_CAT_DVD, "WinDVD", kWinDvdPath);
}

// Enter, Escape and Space, typed while each kind of control has the focus:
// a push button (Enter and Space would click it, OK would hide the window,
// Default would write), the check box (Space would toggle the display), the
// box and the path field.
TEST_F(SettingsWindowTest, EnterEscapeAndSpaceChangeNothing) {
  StartProgram();
  OpenSettings();
  ASSERT_TRUE(harness::MakeForeground(settings_->Hwnd())) << "the window did not take the focus";
  const IniFiles before = Files();
  const std::string pathBefore = settings_->Text(IDC_EXE_PATH);

  for (int id : {IDOK, IDC_DEFAULT, IDC_PATH_OK, IDC_OSD, IDC_PROFILE, IDC_EXE_PATH}) {
    SCOPED_TRACE("focus on control " + std::to_string(id));
    ASSERT_TRUE(settings_->Focus(id)) << "the control did not take the focus";
    harness::TapKey(VK_RETURN);
    harness::TapKey(VK_ESCAPE);
    harness::TapKey(VK_SPACE);
    // Keys are handled in order: once Tab has moved the focus on, the three
    // before it have been handled.
    harness::TapKey(VK_TAB);
    ASSERT_TRUE(harness::WaitUntil([&] { return settings_->FocusedId() != id; }, 2000))
        << "the keys were not handled (window visible: " << settings_->Visible() << ")";
    EXPECT_TRUE(settings_->Visible());
    EXPECT_TRUE(settings_->Checked(IDC_OSD));
  }
  EXPECT_TRUE(program_->Running());
  EXPECT_EQ(Files(), before);
  EXPECT_EQ(settings_->Text(IDC_PROFILE), "WinDVD");
  EXPECT_EQ(settings_->Text(IDC_EXE_PATH), pathBefore);
}

TEST_F(SettingsWindowTest, CloseBoxEndsTheProgram) {
  StartProgram();
  OpenSettings();
  const IniFiles before = Files();
  EXPECT_TRUE(program_->Send(WM_SYSCOMMAND, SC_CLOSE, 0)) << "the window did not answer";
  DWORD exitCode = 1;
  ASSERT_TRUE(program_->WaitForExit(harness::kWaitMs, &exitCode)) << "still running 5 s later";
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(Files(), before);
}

}  // namespace
}  // namespace k7::settingstest
