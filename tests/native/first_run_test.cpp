#include "profiles/first_run.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/text.h"
#include "fakes/temp_dir.h"
#include "profiles/default_profiles.h"
#include "fakes/portable_ini_store.h"
#include "profiles/ini_paths.h"

namespace k7 {
namespace {

class FixedRegistry : public IRegistry {
 public:
  explicit FixedRegistry(std::string value) : value_(std::move(value)) {}
  void ReadProgramFilesDir(char* out, uint32_t size) override {
    CopyBounded(out, size, value_.c_str());
  }

 private:
  std::string value_;
};

class RecordingList : public IProfileList {
 public:
  void Clear() override { names.clear(); }
  void Append(const char* name) override { names.push_back(name); }
  void SelectFirst() override {}
  std::vector<std::string> names;
};

std::string Golden(const std::string& name) {
  return test::TempDir::Read(std::string(K7_TEST_DATA_DIR) + "/first_run/" + name);
}

class FirstRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyBounded(g_szCtrlIniPath, dir.Path("QVCtrl.ini").c_str());
    CopyBounded(g_szUserDefIniPath, dir.Path("UserDef.ini").c_str());
    CopyBounded(g_szUserDefInfIniPath, dir.Path("UserDefInf.ini").c_str());
    g_nMark = -1;
  }
  std::string File(const std::string& name) { return test::TempDir::Read(dir.Path(name)); }

  test::TempDir dir;
  PortableIniStore ini;
  RecordingList box;
  FixedRegistry registry{"C:\\Program Files"};
};

const std::vector<std::string> kBuiltins = {"WinDVD", "WinRip", "IE", "PowerPoint"};

TEST_F(FirstRunTest, FromNoFilesAtAllWritesExactlyTheBuiltInProfiles) {
  LoadProfilesAtStartup(ini, box, registry);
  EXPECT_EQ(g_nMark, 1);
  EXPECT_STREQ(g_szProgramFilesDir, "C:\\Program Files");
  for (const char* name : {"QVCtrl.ini", "UserDef.ini", "UserDefInf.ini"}) {
    EXPECT_EQ(File(name), Golden(name)) << name;
  }
  EXPECT_EQ(box.names, kBuiltins);
}

TEST_F(FirstRunTest, DefaultTwiceGivesTheSameFiles) {
  LoadProfilesAtStartup(ini, box, registry);
  WriteDefaultProfiles(ini);
  for (const char* name : {"QVCtrl.ini", "UserDef.ini", "UserDefInf.ini"}) {
    EXPECT_EQ(File(name), Golden(name)) << name;
  }
}

TEST_F(FirstRunTest, DefaultKeepsTheUsersOwnProfilesAndSettings) {
  LoadProfilesAtStartup(ini, box, registry);
  ini.WriteString("Default", "OSD", "0", g_szCtrlIniPath);
  ini.WriteString("Mine", "FilePath", "C:\\mine.exe", g_szUserDefIniPath);
  ini.WriteString("Mine", "5", "0-C-Q", g_szUserDefIniPath);
  ini.WriteString("DVD", "APName", "Mine", g_szCtrlIniPath);
  ini.WriteString("WinDVD", "1", "0-Q", g_szUserDefIniPath);      // an edit, lost
  ini.WriteString("WinDVD", "Note", "kept", g_szUserDefIniPath);  // another key, kept
  // Held-button keys: a built-in profile has none; the user's own keeps its.
  ini.WriteString("WinDVD", "Hold30", "0-A-F4", g_szUserDefIniPath);
  ini.WriteString("WinDVD", "Hold30", "Close", g_szUserDefInfIniPath);
  ini.WriteString("WinRip", "Repeat10", "first", g_szUserDefIniPath);
  ini.WriteString("Mine", "Hold5", "0-C-W", g_szUserDefIniPath);
  ini.WriteSection("IE", "\0", g_szUserDefIniPath);  // deleted, restored
  ini.WriteSection("IE", "\0", g_szUserDefInfIniPath);

  WriteDefaultProfiles(ini);
  char value[260];
  ini.GetString("Mine", "5", "", value, sizeof value, g_szUserDefIniPath);
  EXPECT_STREQ(value, "0-C-Q");
  EXPECT_EQ(ini.GetInt("Default", "OSD", 1, g_szCtrlIniPath), 0);
  EXPECT_EQ(ini.GetInt("Default", "Mark", 0, g_szCtrlIniPath), 1);
  ini.GetString("DVD", "APName", "", value, sizeof value, g_szCtrlIniPath);
  EXPECT_STREQ(value, "WinDVD");
  ini.GetString("WinDVD", "1", "", value, sizeof value, g_szUserDefIniPath);
  EXPECT_STREQ(value, "0-X");
  ini.GetString("WinDVD", "Note", "", value, sizeof value, g_szUserDefIniPath);
  EXPECT_STREQ(value, "kept");
  ini.GetString("IE", "33", "", value, sizeof value, g_szUserDefInfIniPath);
  EXPECT_STREQ(value, "New Page");
  for (const char* file : {g_szUserDefIniPath, g_szUserDefInfIniPath}) {
    ini.GetString("WinDVD", "Hold30", "gone", value, sizeof value, file);
    EXPECT_STREQ(value, "gone") << file;
  }
  ini.GetString("WinRip", "Repeat10", "gone", value, sizeof value, g_szUserDefIniPath);
  EXPECT_STREQ(value, "gone");
  ini.GetString("Mine", "Hold5", "", value, sizeof value, g_szUserDefIniPath);
  EXPECT_STREQ(value, "0-C-W");
  RefreshProfileList(ini, box, g_szUserDefIniPath);
  EXPECT_EQ(box.names, (std::vector<std::string>{"WinDVD", "WinRip", "IE", "PowerPoint", "Mine"}));
}

TEST_F(FirstRunTest, TheDeliveredFileIsRewrittenOnTheFirstRunOnly) {
  const std::string delivered =
      "[Old]\r\nFilePath=C:\\Program Files\\Old\\old.exe\r\nExeFile=old.exe\r\n[Gone]\r\n";
  dir.Write("UserDef.ini", delivered);
  FixedRegistry elsewhere("D:\\Apps");
  LoadProfilesAtStartup(ini, box, elsewhere);
  char value[260];
  ini.GetString("Old", "FilePath", "", value, sizeof value, g_szUserDefIniPath);
  EXPECT_STREQ(value, "D:\\Apps\\Old\\old.exe");
  ini.GetString("WinDVD", "FilePath", "", value, sizeof value, g_szUserDefIniPath);
  EXPECT_STREQ(value, "D:\\Apps\\InterVideo\\WinDVD\\WinDVD.exe");
  EXPECT_EQ(ini.GetSection("Gone", value, sizeof value, g_szUserDefIniPath), 0u);
  EXPECT_EQ(box.names, (std::vector<std::string>{"Old", "WinDVD", "WinRip", "IE", "PowerPoint"}));

  // The next start finds Mark=1: nothing is rewritten or restored.
  ini.WriteString("Old", "FilePath", "C:\\Program Files\\Old\\old.exe", g_szUserDefIniPath);
  ini.WriteSection("WinRip", "\0", g_szUserDefIniPath);
  const std::string before = File("UserDef.ini");
  LoadProfilesAtStartup(ini, box, elsewhere);
  EXPECT_EQ(File("UserDef.ini"), before);
  EXPECT_EQ(box.names, (std::vector<std::string>{"Old", "WinDVD", "IE", "PowerPoint"}));
}

TEST(BuildIniPaths, RefusesAFolderWhosePathsWouldBeCut) {
  // The folder, with its backslash, that just fits the longest name
  // ("UserDefInf.ini", 14 characters) into 259.
  const std::string fits = "C:\\" + std::string(241, 'f') + "\\";
  ASSERT_EQ(fits.size(), 245u);
  const struct {
    std::string module;
    bool ok;
    std::string inf;  // "UserDefInf.ini"'s path
  } cases[] = {
      {"C:\\K7F3\\K7F3.exe", true, "C:\\K7F3\\UserDefInf.ini"},
      {"K7F3.exe", true, "UserDefInf.ini"},
      {fits + "K7F3.exe", true, fits + "UserDefInf.ini"},
      {fits + std::string(300, 'x'), true, fits + "UserDefInf.ini"},
      // One longer: "UserDef.ini" and "UserDefInf.ini" would be cut alike.
      {"C:\\" + std::string(242, 'f') + "\\K7F3.exe", false, ""},
      {"C:\\" + std::string(252, 'f') + "\\K7F3.exe", false, ""},
      {"C:\\" + std::string(5000, 'f') + "\\K7F3.exe", false, ""},
  };
  for (const auto& c : cases) {
    CopyBounded(g_szCtrlIniPath, "stale");
    EXPECT_EQ(BuildIniPaths(c.module.c_str()), c.ok) << c.module.size();
    EXPECT_EQ(g_szUserDefInfIniPath, c.inf) << c.module.size();
    const std::string folder = c.inf.substr(0, c.inf.size() - std::strlen("UserDefInf.ini"));
    EXPECT_EQ(g_szCtrlIniPath, c.ok ? folder + "QVCtrl.ini" : "") << c.module.size();
    EXPECT_EQ(g_szUserDefIniPath, c.ok ? folder + "UserDef.ini" : "") << c.module.size();
  }
}

TEST_F(FirstRunTest, BuiltInPathsFollowTheRegistryValue) {
  APPPROFILE profile{};
  CopyBounded(g_szProgramFilesDir, "");
  BuildDefaultProfile(&profile, 3);
  EXPECT_STREQ(profile.szFilePath, "\\Microsoft Office\\Office\\powerpnt.exe");
  EXPECT_STREQ(profile.szAppName, "PowerPoint");
  EXPECT_STREQ(profile.szExeFile, "powerpnt.exe");
  EXPECT_STREQ(profile.slots[16].szHotkey, "1-Up");

  // The longest registry value still gives a terminated path.
  CopyBounded(g_szProgramFilesDir, std::string(99, 'p').c_str());
  BuildDefaultProfile(&profile, 0);
  EXPECT_EQ(std::string(profile.szFilePath),
            std::string(99, 'p') + "\\InterVideo\\WinDVD\\WinDVD.exe");

  APPPROFILE untouched{};
  CopyBounded(untouched.szAppName, "keep");
  BuildDefaultProfile(&untouched, 4);
  BuildDefaultProfile(&untouched, -1);
  EXPECT_STREQ(untouched.szAppName, "keep");
}

}  // namespace
}  // namespace k7
