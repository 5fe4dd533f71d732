#include "profiles/profile_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/temp_dir.h"
#include "fakes/portable_ini_store.h"

namespace k7 {
namespace {

class RecordingList : public IProfileList {
 public:
  void Clear() override { log.push_back("clear"); }
  void Append(const char* name) override { log.push_back(name); }
  void SelectFirst() override { log.push_back("select 0"); }
  std::vector<std::string> log;
};

class ProfileStoreTest : public ::testing::Test {
 protected:
  std::string UserDef(const std::string& bytes) { return dir.Write("UserDef.ini", bytes); }
  test::TempDir dir;
  PortableIniStore ini;
};

TEST(ExeFileFromPath, TakesTheNameBehindTheLastBackslash) {
  EXPECT_EQ(ExeFileFromPath("C:\\Tools\\player.exe"), "player.exe");
  EXPECT_EQ(ExeFileFromPath("C:\\Tools\\"), "");
  EXPECT_EQ(ExeFileFromPath("player.exe"), "player.exe");
  EXPECT_EQ(ExeFileFromPath(""), "");
  EXPECT_EQ(ExeFileFromPath("\\a"), "a");
  EXPECT_EQ(ExeFileFromPath("C:/Tools/player.exe"), "C:/Tools/player.exe");
}

TEST(PathFromTypedText, DropsOnePairOfQuotesAndTheBlanksAround) {
  const std::pair<const char*, const char*> cases[] = {
      {"\"C:\\Program Files\\Player\\player.exe\"", "C:\\Program Files\\Player\\player.exe"},
      {"  \t\"C:\\p.exe\" \t", "C:\\p.exe"},
      {"\" C:\\p.exe \"", "C:\\p.exe"},
      {"  C:\\My Apps\\p.exe  ", "C:\\My Apps\\p.exe"},
      {"\"\"C:\\p.exe\"\"", "\"C:\\p.exe\""},  // one pair only
      {"\"C:\\p.exe", "\"C:\\p.exe"},          // no pair: kept as typed
      {"C:\\p.exe\"", "C:\\p.exe\""},
      {"\"", "\""},
      {"\"\"", ""},
      {"   ", ""},
      {"", ""},
  };
  for (const auto& [typed, stored] : cases) {
    EXPECT_EQ(PathFromTypedText(typed), stored) << typed;
  }
  EXPECT_EQ(ExeFileFromPath(PathFromTypedText("\"C:\\Player\\player.exe\"").c_str()), "player.exe");
}

TEST_F(ProfileStoreTest, ListsProfilesInFileOrderAndSkipsEmptiedSections) {
  const std::string file = UserDef(
      "[Zeta]\r\nExeFile=z.exe\r\n[Alpha]\r\nFilePath=C:\\a.exe\r\n[Deleted]\r\n[Beta]\r\n0=0-"
      "X\r\n");
  RecordingList list;
  FillProfileList(ini, list, file.c_str());
  EXPECT_EQ(list.log, (std::vector<std::string>{"Zeta", "Alpha", "Beta", "select 0"}));

  // Deleting a profile empties its section and keeps the header.
  ini.WriteSection("Alpha", "\0", file.c_str());
  EXPECT_EQ(ReadProfileNames(ini, file.c_str()), (std::vector<std::string>{"Zeta", "Beta"}));
  EXPECT_EQ(ReadSectionNames(ini, file.c_str()).size(), 4u);

  // The emptied name can be used again.
  ini.WriteString("Deleted", "FilePath", "C:\\d.exe", file.c_str());
  EXPECT_EQ(ReadProfileNames(ini, file.c_str()),
            (std::vector<std::string>{"Zeta", "Deleted", "Beta"}));
}

TEST_F(ProfileStoreTest, AMissingFileGivesAnEmptyList) {
  RecordingList list;
  FillProfileList(ini, list, dir.Path("UserDef.ini").c_str());
  EXPECT_EQ(list.log, (std::vector<std::string>{"select 0"}));
}

TEST_F(ProfileStoreTest, EveryProfileIsListedWholeHoweverManyAndLong) {
  std::string bytes;
  std::vector<std::string> expected;
  for (int i = 0; i < 1000; ++i) {
    std::string name = "Profile number " + std::to_string(i) + " with a long name";
    name.resize(30 + i % 70, 'x');              // 30 to 99 characters
    if (name.back() == ' ') name.back() = '_';  // the API trims blanks around names
    expected.push_back(name);
    bytes += "[" + name + "]\r\nExeFile=app" + std::to_string(i) + ".exe\r\n";
  }
  bytes += "[" + std::string(100, 'L') + "]\r\nExeFile=long.exe\r\n";  // too long to be a name
  const std::string file = UserDef(bytes);
  EXPECT_EQ(ReadProfileNames(ini, file.c_str()), expected);
  EXPECT_EQ(ReadSectionNames(ini, file.c_str()).back(), std::string(100, 'L'));
}

TEST_F(ProfileStoreTest, FirstRunRewriteReplacesTheDeliveredFolderOnlyAndOnce) {
  const std::string longDir = "\\" + std::string(2000, 'd');
  const std::string longPath = "C:\\Program Files" + longDir + "\\l.exe";
  struct Case {
    const char* stored;  // null: no "FilePath"
    const char* programFiles;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\Program Files\\Foo\\foo.exe", "D:\\Apps", "D:\\Apps\\Foo\\foo.exe"},
      {"c:\\PROGRAM FILES\\Foo\\foo.exe", "D:\\Apps", "D:\\Apps\\Foo\\foo.exe"},
      {"D:\\Media\\Player\\player.exe", "D:\\Apps", "D:\\Media\\Player\\player.exe"},
      {"C:\\Program Files (x86)\\a.exe", "D:\\Apps", "C:\\Program Files (x86)\\a.exe"},
      {"C:\\Program Filesx\\a.exe", "D:\\Apps", "C:\\Program Filesx\\a.exe"},
      {"C:\\Program Files", "D:\\Apps", "C:\\Program Files"},
      {"C:\\x.exe", "D:\\Apps", "C:\\x.exe"},
      {"", "D:\\Apps", ""},
      {nullptr, "D:\\Apps", "<none>"},
      {"C:\\Program Files\\Foo\\foo.exe", "C:\\Program Files (x86)",
       "C:\\Program Files (x86)\\Foo\\foo.exe"},
      // A target inside the delivered folder is not added twice.
      {"C:\\Program Files\\Foo\\foo.exe", "C:\\Program Files\\Sub",
       "C:\\Program Files\\Sub\\Foo\\foo.exe"},
      // Without the registry value the delivered path is the best there is.
      {"C:\\Program Files\\Foo\\foo.exe", "", "C:\\Program Files\\Foo\\foo.exe"},
      {longPath.c_str(), "D:\\Apps", "D:\\Apps" + longDir + "\\l.exe"},
  };
  for (const Case& c : cases) {
    const std::string stored = c.stored != nullptr ? c.stored : "<none>";
    std::string bytes = "[P]\r\nExeFile=p.exe\r\n";
    if (c.stored != nullptr) bytes += "FilePath=" + stored + "\r\n";
    const std::string file = UserDef(bytes + "[Emptied]\r\n");
    char value[4096];
    auto path = [&] {
      ini.GetString("P", "FilePath", "<none>", value, sizeof value, file.c_str());
      return std::string(value);
    };
    RecordingList list;
    FillProfileList(ini, list, file.c_str(), true, c.programFiles);
    EXPECT_EQ(path(), c.expected) << stored << " with " << c.programFiles;
    // A second rewrite changes nothing, and a deleted profile stays deleted.
    const std::string once = test::TempDir::Read(file);
    RewriteDeliveredPaths(ini, file.c_str(), c.programFiles);
    EXPECT_EQ(test::TempDir::Read(file), once) << stored << " with " << c.programFiles;
    EXPECT_EQ(ini.GetSection("Emptied", value, sizeof value, file.c_str()), 0u);
    EXPECT_EQ(list.log, (std::vector<std::string>{"P", "select 0"}));
  }
}

TEST_F(ProfileStoreTest, RefreshReplacesTheBox) {
  const std::string file = UserDef("[A]\r\nExeFile=a.exe\r\n[B]\r\nExeFile=b.exe\r\n");
  RecordingList box;
  RefreshProfileList(ini, box, file.c_str());
  EXPECT_EQ(box.log, (std::vector<std::string>{"clear", "A", "B", "select 0"}));

  ini.WriteSection("A", "\0", file.c_str());
  box.log.clear();
  RefreshProfileList(ini, box, file.c_str());
  EXPECT_EQ(box.log, (std::vector<std::string>{"clear", "B", "select 0"}));
}

}  // namespace
}  // namespace k7
