// The profile store and the foreground match through the real API: the
// private-profile calls, the registry, a real combo box, the process snapshot.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "dispatch/foreground_match.h"
#include "dispatch/foreground_win32.h"
#include "profiles/default_profiles.h"
#include "profiles/first_run.h"
#include "profiles/press_ini_win32.h"
#include "profiles/profile_list_win32.h"
#include "profiles/registry_win32.h"
#include "win_test.h"

namespace k7::wintest {
namespace {

using harness::TargetLogEntry;

class NamesList : public IProfileList {
 public:
  void Clear() override { names.clear(); }
  void Append(const char* name) override { names.push_back(name); }
  void SelectFirst() override {}
  std::vector<std::string> names;
};

class ProfileStore : public WinTest {
 protected:
  std::string Golden(const char* name) {
    return harness::ReadFileShared(std::string(K7_TEST_DATA_DIR "/first_run/") + name);
  }
  NamesList box_;
  Win32Registry registry_;
};

TEST_F(ProfileStore, FirstRunWritesExactlyTheBuiltInFiles) {
  LoadProfilesAtStartup(ini_, box_, registry_);
  EXPECT_STREQ(g_szProgramFilesDir, "C:\\Program Files");
  for (const char* name : {kCtrlIni, kUserDefIni, kUserDefInfIni}) {
    const std::string golden = Golden(name);
    ASSERT_FALSE(golden.empty()) << name;
    EXPECT_EQ(harness::ReadFileShared(scratch_.File(name)), golden) << name;
  }
  EXPECT_EQ(box_.names, (std::vector<std::string>{"WinDVD", "WinRip", "IE", "PowerPoint"}));
  WriteDefaultProfiles(ini_);
  EXPECT_EQ(harness::ReadFileShared(scratch_.File(kUserDefIni)), Golden(kUserDefIni));
}

TEST_F(ProfileStore, RegistryValuesWithoutTerminatorReadSafely) {
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                          KEY_READ | KEY_WRITE, &key),
            ERROR_SUCCESS);
  char saved[MAX_PATH] = "";
  DWORD savedBytes = sizeof saved;
  ASSERT_EQ(RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(saved), &savedBytes),
            ERROR_SUCCESS);
  auto readWith = [&](const std::string& stored) {
    RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(stored.data()),
                   DWORD(stored.size()));  // no terminator stored
    char value[100];
    std::memset(value, 'x', sizeof value);
    registry_.ReadProgramFilesDir(value, sizeof value);
    const bool terminated = std::memchr(value, '\0', sizeof value) != nullptr;
    return terminated ? std::string(value) : std::string("<unterminated>");
  };
  const std::string shortValue = readWith("D:\\Apps");
  const std::string fullValue = readWith(std::string(100, 'D'));
  RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved),
                 savedBytes);
  RegCloseKey(key);
  EXPECT_EQ(shortValue, "D:\\Apps");
  // A value too long for the buffer reads as no value, never as an open string.
  EXPECT_EQ(fullValue, "");
}

TEST_F(ProfileStore, TheComboBoxKeepsFileOrderDespiteItsSortStyle) {
  HWND combo = CreateWindowA("COMBOBOX", "", WS_POPUP | CBS_DROPDOWN | CBS_SORT, 0, 0, 100, 200,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(combo, nullptr);
  scratch_.WriteIni(kUserDefIni, "Zeta", "ExeFile", "z.exe");
  scratch_.WriteIni(kUserDefIni, "Alpha", "ExeFile", "a.exe");
  ComboProfileList list(combo);
  RefreshProfileList(ini_, list, g_szUserDefIniPath);
  char text[100];
  ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
  SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Zeta");
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
  DestroyWindow(combo);
}

// What the settings window and the editor ask of their boxes: the selected
// name (none when nothing is selected or the entry is too long to be a
// profile's), a lookup in any letter case, and a new name that goes to the end
// of a sorted box selected and is taken back out.
TEST_F(ProfileStore, TheComboListReadsFindsAndTakesBackNames) {
  HWND combo = CreateWindowA("COMBOBOX", "", WS_POPUP | CBS_DROPDOWN | CBS_SORT, 0, 0, 100, 200,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(combo, nullptr);
  ComboProfileList list(combo);
  const std::string longest(kMaxProfileName, 'L');
  const std::string tooLong(kMaxProfileName + 1, 'T');
  for (const std::string& name : {std::string("Zeta"), longest, tooLong}) list.Append(name.c_str());
  const struct {
    int select;
    bool named;
    std::string name;
  } cases[] = {{-1, false, ""}, {0, true, "Zeta"}, {1, true, longest}, {2, false, ""}};
  for (const auto& c : cases) {
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(c.select), 0);
    std::string name = "stale";
    EXPECT_EQ(list.SelectedIndex(), c.select);
    EXPECT_EQ(list.SelectedName(name), c.named) << c.select;
    EXPECT_EQ(name, c.name) << c.select;
  }
  EXPECT_TRUE(list.Contains("zETA"));
  EXPECT_FALSE(list.Contains("Zet"));

  list.AppendAndSelect("Alpha");
  std::string name;
  EXPECT_EQ(list.SelectedIndex(), 3);
  EXPECT_TRUE(list.SelectedName(name));
  EXPECT_EQ(name, "Alpha");
  list.DropLastAndSelect(0);
  EXPECT_FALSE(list.Contains("Alpha"));
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(list.SelectedIndex(), 0);
  DestroyWindow(combo);
}

TEST_F(ProfileStore, TheSnapshotNamesAProcessWithItsLetterCase) {
  char name[MAX_PATH] = "";
  ASSERT_TRUE(GetProcessExeName(GetCurrentProcessId(), name, sizeof name));
  EXPECT_STREQ(name, "k7_win_tests.exe");
  EXPECT_FALSE(GetProcessExeName(0xFFFFFFF0u, name, sizeof name));
}

// A press with the real foreground window, process snapshot, INI files and
// injection: the profile of the application in front decides what is sent.
TEST_F(ProfileStore, APressSendsTheHotkeyOfTheApplicationInFront) {
  LoadProfilesAtStartup(ini_, box_, registry_);
  Win32ForegroundProcess foreground;
  Win32WholeFileReader reader;
  PressIniStore files(reader, ini_);
  ForegroundProfileMatcher matcher(files, foreground);
  Dispatcher dispatcher({input_, launcher_, files, matcher, &files});
  PressResult press;
  ASSERT_TRUE(harness::SetNumLock(false));

  harness::TargetApp player(scratch_, "WinDVD.exe");
  ASSERT_TRUE(player.WaitForeground());
  press = dispatcher.DispatchRemoteButton(0x02, 0x7F, 0);  // slot 28: "1-PGDOWN", "Next"
  ASSERT_TRUE(player.WaitForKeyLog(2));
  EXPECT_EQ(player.KeyLog(),
            (std::vector<TargetLogEntry>{{WM_KEYDOWN, VK_NEXT}, {WM_KEYUP, VK_NEXT}}));
  EXPECT_STREQ(press.caption.text, "Next");
  EXPECT_STREQ(dispatcher.CurProfile(), "WinDVD");

  // Another application in front: its press sends nothing and empties the caption.
  harness::TargetApp other(scratch_, "Notepad2.exe");
  ASSERT_TRUE(other.WaitForeground());
  press = dispatcher.DispatchRemoteButton(0x02, 0x7F, 0);
  Sleep(200);
  EXPECT_TRUE(other.KeyLog().empty());
  EXPECT_TRUE(dispatcher.NoProfile());
  EXPECT_STREQ(press.caption.text, "");

  // An edit saved between two presses takes effect at the second.
  ASSERT_TRUE(player.RequestForeground());
  scratch_.WriteIni(kUserDefIni, "WinDVD", "28", "0-C-N");
  press = dispatcher.DispatchRemoteButton(0x02, 0x7F, 0);
  ASSERT_TRUE(player.WaitForKeyLog(6));
  const std::vector<TargetLogEntry> log = player.KeyLog();
  EXPECT_EQ(
      std::vector<TargetLogEntry>(log.begin() + 2, log.end()),
      (std::vector<TargetLogEntry>{
          {WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, 'N'}, {WM_KEYUP, 'N'}, {WM_KEYUP, VK_CONTROL}}));
}

}  // namespace
}  // namespace k7::wintest
