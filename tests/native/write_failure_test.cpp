// Writes that fail: a command stops at the file that refused and names it.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/text.h"
#include "fakes/refusing_ini.h"
#include "fakes/temp_dir.h"
#include "profiles/default_profiles.h"
#include "profiles/ini_paths.h"
#include "ui/editor_logic.h"

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
       [&](IIniStore& w) { SaveEditorProfile(w, files, "Mine", "C:\\n.exe", values, table); }},
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

}  // namespace
}  // namespace k7
