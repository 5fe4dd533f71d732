// Writes that fail: a command stops at the file that refused and names it,
// and a first run that cannot be recorded writes nothing else.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/text.h"
#include "fakes/refusing_ini.h"
#include "fakes/temp_dir.h"
#include "profiles/default_profiles.h"
#include "profiles/first_run.h"
#include "profiles/ini_paths.h"
#include "ui/editor_logic.h"
#include "ui/write_messages.h"

namespace k7 {
namespace {

const char kCtrl[] = "[Default]\r\nMark=1\r\n[DVD]\r\nAPName=Mine\r\n";
const char kUserDef[] =
    "[Mine]\r\nFilePath=C:\\Program Files\\Mine\\mine.exe\r\nExeFile=mine.exe\r\n1=0-C-Q\r\n";
const char kUserDefInf[] = "[Mine]\r\n1=Quit\r\n";

class WriteFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyBounded(g_szCtrlIniPath, dir.Path("QVCtrl.ini").c_str());
    CopyBounded(g_szUserDefIniPath, dir.Path("UserDef.ini").c_str());
    CopyBounded(g_szUserDefInfIniPath, dir.Path("UserDefInf.ini").c_str());
    CopyBounded(g_szProgramFilesDir, "D:\\Apps");
  }
  void Place(bool withCtrl) {
    std::filesystem::remove(dir.Path("QVCtrl.ini"));
    if (withCtrl) dir.Write("QVCtrl.ini", kCtrl);
    dir.Write("UserDef.ini", kUserDef);
    dir.Write("UserDefInf.ini", kUserDefInf);
  }
  static std::vector<std::string> Bytes() {
    std::vector<std::string> bytes;
    for (const char* path : {g_szCtrlIniPath, g_szUserDefIniPath, g_szUserDefInfIniPath}) {
      bytes.push_back(std::filesystem::is_directory(path) ? "<folder>" : test::TempDir::Read(path));
    }
    return bytes;
  }

  test::TempDir dir;
  test::RefusingIni ini;
};

// Every command, with each file it writes refused in turn: the command
// reports that file, leaves it as it was, and tries it once only.
TEST_F(WriteFailureTest, ACommandStopsAtTheRefusedFileAndNamesIt) {
  const EditorFiles files{g_szCtrlIniPath, g_szUserDefIniPath, g_szUserDefInfIniPath};
  HOTKEYVALUE values[kSlotCount] = {};
  values[1].wVirtualKey = 'N';
  CHotkeyTable table;
  const struct {
    const char* name;
    std::function<void(IIniStore&)> run;
  } commands[] = {
      {"Save",
       [&](IIniStore& w) {
         SaveEditorProfile(w, files, "Mine", "C:\\n.exe", values, table);
         SaveAllOtherProgramsMark(w, files, "Mine", true);
       }},
      {"Save As",
       [&](IIniStore& w) {
         w.WriteSection("Copy", "\0", files.userDef);
         SaveEditorProfile(w, files, "Copy", "C:\\n.exe", values, table);
       }},
      {"Delete",
       [&](IIniStore& w) {
         EmptyProfile(w, files, "Mine");
         ForgetCategoryApplication(w, files, "Mine");
       }},
      {"Path", [&](IIniStore& w) { WriteProfilePath(w, files, "Mine", "C:\\n.exe"); }},
      {"Default", [&](IIniStore& w) { WriteDefaultProfiles(w); }},
  };
  const char* const paths[] = {g_szCtrlIniPath, g_szUserDefIniPath, g_szUserDefInfIniPath};

  for (const auto& command : commands) {
    Place(true);
    const std::vector<std::string> before = Bytes();
    ini.refused.clear();
    CheckedWrites all(ini);
    command.run(all);
    ASSERT_FALSE(all.Failed()) << command.name;
    const std::vector<std::string> done = Bytes();

    for (int f = 0; f < 3; ++f) {
      SCOPED_TRACE(std::string(command.name) + ", refused " + paths[f]);
      Place(true);
      ini.refused = paths[f];
      ini.refusedWrites = 0;
      CheckedWrites writes(ini);
      command.run(writes);
      const bool writesIt = done[f] != before[f];
      EXPECT_EQ(writes.Failed(), writesIt);
      EXPECT_EQ(writes.FailedFile(), writesIt ? paths[f] : "");
      EXPECT_EQ(ini.refusedWrites, writesIt ? 1 : 0);
      EXPECT_EQ(Bytes()[f], before[f]);
    }
  }
}

// A control file that cannot be written keeps the first run from being
// recorded: nothing else is written (the user's profile keeps its path and
// hotkeys), and every start says so again. Once the marker is written, a
// refused profile file is reported on that start only.
TEST_F(WriteFailureTest, AFirstRunThatCannotBeRecordedWritesNothingElse) {
  struct Box : IProfileList {
    void Clear() override { names.clear(); }
    void Append(const char* name) override { names.push_back(name); }
    void SelectFirst() override {}
    std::vector<std::string> names;
  };
  struct NoRegistry : IRegistry {
    void ReadProgramFilesDir(char* out, uint32_t size) override { CopyBounded(out, size, ""); }
  };
  const struct {
    const char* name;
    bool ctrlIsFolder;
    const char* refused;
    const char* reported;  // at the first start
    int mark;
    const char* reportedAgain;
    const char* told;  // in the start-up message, beside the file's name
  } cases[] = {
      {"a folder named QVCtrl.ini", true, "", g_szCtrlIniPath, 0, g_szCtrlIniPath,
       "The built-in profiles were not installed"},
      {"QVCtrl.ini held open", false, g_szCtrlIniPath, g_szCtrlIniPath, 0, g_szCtrlIniPath,
       "in use by another program.\n\nThe built-in profiles were not installed"},
      {"UserDef.ini held open", false, g_szUserDefIniPath, g_szUserDefIniPath, 1, "",
       "in use by another program.\n\nThe built-in profiles may be incomplete. Nothing tries "
       "them again by itself: once the file can be written, click Default"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Place(false);
    if (c.ctrlIsFolder) std::filesystem::create_directory(g_szCtrlIniPath);
    ini.refused = c.refused;
    ini.refusedWrites = 0;
    const std::vector<std::string> before = Bytes();
    Box box;
    NoRegistry registry;
    uint32_t error = 0;
    EXPECT_EQ(LoadProfilesAtStartup(ini, box, registry, &error), c.reported);
    EXPECT_EQ(g_nMark, c.mark);
    const std::string told = StartupWriteFailedText(c.reported, error, "", g_nMark != 0);
    EXPECT_NE(told.find("\"" + std::string(c.reported) + "\": "), std::string::npos) << told;
    EXPECT_NE(told.find(c.told), std::string::npos) << told;
    EXPECT_EQ(Bytes()[1], before[1]) << "UserDef.ini changed";
    EXPECT_EQ(Bytes()[2], before[2]) << "UserDefInf.ini changed";
    EXPECT_EQ(box.names, std::vector<std::string>{"Mine"});
    EXPECT_EQ(LoadProfilesAtStartup(ini, box, registry), c.reportedAgain);
    EXPECT_EQ(Bytes()[1], before[1]) << "UserDef.ini changed at the second start";
    std::filesystem::remove_all(g_szCtrlIniPath);
  }
}

}  // namespace
}  // namespace k7
