#include "dispatch/foreground_match.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/text.h"
#include "fakes/fake_platform.h"
#include "fakes/recording_input.h"
#include "fakes/temp_dir.h"
#include "profiles/ini_file.h"
#include "profiles/ini_paths.h"

namespace k7 {
namespace {

class FakeForeground : public IForegroundProcess {
 public:
  std::string ForegroundExeName() override { return exe; }
  std::string exe;
};

class NullList : public IProfileList {
 public:
  void Clear() override {}
  void Append(const char*) override {}
  void SelectFirst() override {}
};

class ForegroundMatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyBounded(g_szCtrlIniPath, dir.Path("QVCtrl.ini").c_str());
    CopyBounded(g_szUserDefIniPath, dir.Path("UserDef.ini").c_str());
    CopyBounded(g_szUserDefInfIniPath, dir.Path("UserDefInf.ini").c_str());
    g_bNoProfile = true;
    CopyBounded(g_szCurProfile, "before");
    g_bMouseMode = false;
  }
  void Profile(const std::string& name, const std::string& exeFile, const std::string& slot33) {
    ini.WriteString(name.c_str(), "ExeFile", exeFile.c_str(), g_szUserDefIniPath);
    ini.WriteString(name.c_str(), "33", slot33.c_str(), g_szUserDefIniPath);
    ini.WriteString(name.c_str(), "33", (name + " caption").c_str(), g_szUserDefInfIniPath);
  }
  void Refresh() { RefreshProfileList(ini, box, g_szUserDefIniPath); }
  // A press of code 0 (slot 33) as the dispatcher makes it.
  std::string Press() {
    input.events.clear();
    DispatchRemoteButton(platform, 0x00, kMarker, 0);
    return test::Describe(input.events);
  }

  test::TempDir dir;
  PortableIniStore ini;
  NullList box;
  FakeForeground foreground;
  ForegroundProfileMatcher matcher{ini, foreground, g_ProfileNames};
  test::RecordingInput input;
  test::FakeLauncher launcher;
  DispatchPlatform platform{input, launcher, ini, matcher};
};

TEST_F(ForegroundMatchTest, MatchesTheBaseNameWithoutRegardToCase) {
  Profile("WinDVD", "windvd.EXE", "0-A");
  Refresh();
  for (const char* exe :
       {"C:\\Program Files\\InterVideo\\WinDVD\\WinDVD.exe", "WinDVD.exe", "WINDVD.EXE"}) {
    g_bNoProfile = true;
    foreground.exe = exe;
    matcher.MatchForegroundProfile();
    EXPECT_FALSE(g_bNoProfile.load()) << exe;
    EXPECT_STREQ(g_szCurProfile, "WinDVD");
    EXPECT_EQ(g_HotkeyTable.Slot(33).byKey, 'A');
  }
  for (const char* exe : {"WinDVD", "WinDVD.exe.bak", "C:\\WinDVD.exe\\other.exe", "*.exe"}) {
    foreground.exe = exe;
    matcher.MatchForegroundProfile();
    EXPECT_TRUE(g_bNoProfile.load()) << exe;
    EXPECT_STREQ(g_szCurProfile, "WinDVD");  // kept when nothing matches
  }
}

TEST_F(ForegroundMatchTest, TheFirstProfileInListOrderWins) {
  Profile("Zeta", "IEXPLORE.EXE", "0-Z");
  Profile("Alpha", "iexplore.exe", "0-A");
  Refresh();
  foreground.exe = "iexplore.exe";
  EXPECT_EQ(Press(), test::Describe({test::Down('Z'), test::Up('Z')}));
  EXPECT_STREQ(g_szOsdText, "Zeta caption");
}

TEST_F(ForegroundMatchTest, NoProfilesOrAnUnknownProcessMatchNothing) {
  Refresh();
  foreground.exe = "WinDVD.exe";
  EXPECT_EQ(Press(), "");
  EXPECT_TRUE(g_bNoProfile.load());
  EXPECT_STREQ(g_szOsdText, "");

  Profile("WinDVD", "WinDVD.exe", "0-A");
  Refresh();
  foreground.exe = "notepad.exe";
  EXPECT_EQ(Press(), "");
  EXPECT_TRUE(g_bNoProfile.load());
}

TEST_F(ForegroundMatchTest, AProcessWhoseNameIsUnknownMatchesAProfileWithoutExeFile) {
  Profile("Named", "named.exe", "0-N");
  ini.WriteString("Bare", "33", "0-B", g_szUserDefIniPath);  // no "ExeFile" at all
  Refresh();
  foreground.exe = "";
  EXPECT_EQ(Press(), test::Describe({test::Down('B'), test::Up('B')}));
  EXPECT_STREQ(g_szCurProfile, "Bare");
}

TEST_F(ForegroundMatchTest, SwitchingApplicationsAndEditsTakeEffectAtTheNextPress) {
  Profile("WinDVD", "WinDVD.exe", "0-A");
  Refresh();
  foreground.exe = "WinDVD.exe";
  EXPECT_EQ(Press(), test::Describe({test::Down('A'), test::Up('A')}));
  foreground.exe = "explorer.exe";
  EXPECT_EQ(Press(), "");
  foreground.exe = "WinDVD.exe";
  ini.WriteString("WinDVD", "33", "0-C-Q", g_szUserDefIniPath);
  EXPECT_EQ(Press(), test::Describe(
                         {test::Down(kVkCtrl), test::Down('Q'), test::Up('Q'), test::Up(kVkCtrl)}));
}

TEST_F(ForegroundMatchTest, ADeletedProfileIsNeverMatched) {
  Profile("WinDVD", "WinDVD.exe", "0-A");
  Profile("Backup", "WinDVD.exe", "0-B");
  Refresh();
  foreground.exe = "WinDVD.exe";
  ini.WriteSection("WinDVD", "\0", g_szUserDefIniPath);
  ini.WriteSection("WinDVD", "\0", g_szUserDefInfIniPath);
  Refresh();
  EXPECT_EQ(Press(), test::Describe({test::Down('B'), test::Up('B')}));
}

TEST_F(ForegroundMatchTest, LongNamesAreComparedWhole) {
  const std::string longExe = std::string(150, 'e') + ".exe";
  Profile("Cut", std::string(99, 'e'), "0-C");  // equals the first 99 characters only
  Profile("Whole", longExe, "0-W");
  Refresh();
  foreground.exe = "C:\\Apps\\" + longExe;
  EXPECT_EQ(Press(), test::Describe({test::Down('W'), test::Up('W')}));
  foreground.exe = std::string(99, 'e');
  EXPECT_EQ(Press(), test::Describe({test::Down('C'), test::Up('C')}));
}

}  // namespace
}  // namespace k7
