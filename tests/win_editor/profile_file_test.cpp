// Export and Import of a profile in the running program under Wine. The file
// dialogs are driven as a user fills them: the file name typed into the
// dialog's name field, then its OK.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "editor_session.h"
#include "res/editor_ids.h"

namespace k7::editortest {
namespace {

using harness::WaitUntil;

constexpr char kOthers[] = "[Zeta]\nFilePath=C:\\Apps\\zeta.exe\nExeFile=zeta.exe\n1=0-C-X\n";
constexpr char kOtherCaptions[] = "[Zeta]\n1=Zeta one\n";

// A section's lines in a file's bytes, from its header to the next one.
std::string SectionOf(const std::string& file, const std::string& name) {
  const std::string header = "[" + name + "]\r\n";
  size_t at = file.find(header);
  while (at != std::string::npos && at > 0 && file[at - 1] != '\n') {
    at = file.find(header, at + 1);
  }
  if (at == std::string::npos) return "<no section " + name + ">";
  const size_t next = file.find("\r\n[", at + header.size());
  return file.substr(at, next == std::string::npos ? std::string::npos : next + 2 - at);
}

class ProfileFileTest : public EditorTest {
 protected:
  // Import... with the file named; the editor then goes on by itself.
  void Import(const std::string& file) const {
    PostCommand(IDC_EDITOR_IMPORT);
    HWND open = WaitDialog("Import Profile");
    ASSERT_NE(open, nullptr) << "no file dialog";
    ChooseFile(open, file);
  }
  // The program's message box: its text, answered with the button.
  std::string Answer(int button) const {
    HWND box = WaitDialog("Quorvan K7F3");
    if (box == nullptr) return "<no message>";
    const std::string text = MessageText(box);
    harness::PostTo(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    EXPECT_TRUE(WaitGone(box));
    return text;
  }
  std::string WriteScratch(const char* name, const std::string& bytes) const {
    std::ofstream(scratch_.File(name), std::ios::binary) << bytes;
    return scratch_.File(name);
  }
};

// Export writes the profile as saved (an edit not saved is asked about, and
// "No" leaves it out); Import into fresh files gives its sections back byte
// for byte, hold and repeat keys included.
TEST_F(ProfileFileTest, ExportThenImportIntoFreshFilesGivesTheSameSections) {
  const std::string player = scratch_.CopyHelper(harness::HelperExe::kLaunchTarget, "Player.exe");
  WriteFiles(
      std::string(kOthers) + "[Player]\nFilePath=" + player +
          "\nExeFile=Player.exe\n0=\n1=0-C-N\nHold1=0-A-F4\nRepeat1=every\n3=ESC\n"
          "33=1-S-RIGHT\n",
      std::string(kOtherCaptions) + "[Player]\n0=\n1=Next \xE9pisode\nHold1=Quit\n33=Last\n");
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  PickProfile(1);
  ASSERT_EQ(Text(IDC_EDITOR_NAME), "Player");
  const std::string userDef = FileBytes("UserDef.ini");
  const std::string userDefInf = FileBytes("UserDefInf.ini");

  SetText(Item(IDC_DESCRIPTION), "Not saved");
  PostCommand(IDC_EDITOR_EXPORT);
  EXPECT_NE(Answer(IDNO).find("Save the changes to \"Player\""), std::string::npos);
  HWND save = WaitDialog("Export Profile");
  ASSERT_NE(save, nullptr);
  const std::string exported = scratch_.File("Player profile.ini");
  ChooseFile(save, exported);
  // Written in one piece; its last line is the last caption.
  ASSERT_TRUE(WaitUntil([&] {
    const std::string bytes = harness::ReadFileShared(exported);
    return bytes.size() > 9 && bytes.compare(bytes.size() - 9, 9, "33=Last\r\n") == 0;
  })) << harness::ReadFileShared(exported);
  EXPECT_EQ(FileBytes("UserDef.ini"), userDef);
  EXPECT_EQ(FileBytes("UserDefInf.ini"), userDefInf);

  PostCommand(IDCANCEL);
  ASSERT_TRUE(WaitGone(Editor()));
  ASSERT_TRUE(DeleteFileA(scratch_.File("UserDef.ini").c_str()));
  ASSERT_TRUE(DeleteFileA(scratch_.File("UserDefInf.ini").c_str()));
  ASSERT_NE(OpenEditor(), nullptr);
  ASSERT_TRUE(ProfileItems().empty());
  Import(exported);
  ASSERT_TRUE(WaitUntil([&] { return ProfileItems() == std::vector<std::string>{"Player"}; }));
  EXPECT_EQ(FileBytes("UserDef.ini"), SectionOf(userDef, "Player"));
  EXPECT_EQ(FileBytes("UserDefInf.ini"), SectionOf(userDefInf, "Player"));
  EXPECT_EQ(Text(IDC_EDITOR_NAME), "Player");
  EXPECT_EQ(Text(IDC_DESCRIPTION), "Next \xE9pisode");
}

// Text of another code page arrives in the system's (1252 here): UTF-8 is
// converted, a name already taken is asked again, a program not on this
// computer is picked; Polish letters 1252 lacks are refused, not replaced by
// look-alikes.
TEST_F(ProfileFileTest, ImportConvertsTheFilesCodePageOrRefusesIt) {
  ASSERT_EQ(GetACP(), 1252u) << "the test is written for the system code page 1252";
  const std::string player = scratch_.CopyHelper(harness::HelperExe::kLaunchTarget, "Player.exe");
  auto profileFile = [](const char* codePage, const char* name, const char* caption) {
    return std::string("[Profile]\r\nFormat=1\r\nCodePage=") + codePage + "\r\nName=" + name +
           "\r\n[UserDef]\r\nFilePath=C:\\Nowhere\\cafe.exe\r\nExeFile=cafe.exe\r\n1=0-C-K\r\n"
           "[UserDefInf]\r\n1=" +
           caption + "\r\n";
  };
  const std::string utf8 = WriteScratch(
      "utf8.ini",
      "\xEF\xBB\xBF" + profileFile("65001", "Caf\xC3\xA9", "Th\xC3\xA9 \xE2\x80\x93 noir"));
  const std::string polish = WriteScratch("polish.ini", profileFile("1250", "Miasto",
                                                                    "\xA3\xF3"
                                                                    "d\x9F"));
  WriteFiles(kOthers, kOtherCaptions);
  StartProgram();
  ASSERT_NE(OpenEditor(), nullptr);
  const std::string userDef = FileBytes("UserDef.ini");

  Import(polish);
  EXPECT_NE(Answer(IDOK).find("Line 10: the value of 1 in [UserDefInf] has characters that this "
                              "computer's code page 1252 cannot represent"),
            std::string::npos);
  EXPECT_EQ(ProfileItems(), std::vector<std::string>{"Zeta"});
  EXPECT_EQ(FileBytes("UserDef.ini"), userDef);

  Import(utf8);
  EXPECT_NE(Answer(IDOK).find("is not on this computer"), std::string::npos);
  HWND open = WaitDialog("Open");
  ASSERT_NE(open, nullptr);
  ChooseFile(open, player);
  ASSERT_TRUE(WaitUntil([&] { return Text(IDC_EDITOR_PATH) == player; }));
  EXPECT_EQ(ProfileItems(), (std::vector<std::string>{"Zeta", "Caf\xE9"}));
  EXPECT_EQ(Ini("UserDefInf.ini", "Caf\xE9", "1"), "Th\xE9 \x96 noir");
  EXPECT_EQ(Ini("UserDef.ini", "Caf\xE9", "FilePath"), player);
  EXPECT_EQ(Ini("UserDef.ini", "Caf\xE9", "ExeFile"), "Player.exe");

  Import(utf8);
  EXPECT_NE(Answer(IDOK).find("exists already"), std::string::npos);
  ASSERT_NE(EnterAppName("Cafe 2"), nullptr);
  EXPECT_NE(Answer(IDCANCEL).find("is not on this computer"), std::string::npos);
  EXPECT_EQ(ProfileItems(), (std::vector<std::string>{"Zeta", "Caf\xE9", "Cafe 2"}));
  EXPECT_EQ(Ini("UserDefInf.ini", "Cafe 2", "1"), "Th\xE9 \x96 noir");
  EXPECT_EQ(Ini("UserDef.ini", "Cafe 2", "FilePath"), "C:\\Nowhere\\cafe.exe");
  EXPECT_EQ(Ini("UserDef.ini", "Caf\xE9", "FilePath"), player);
}

}  // namespace
}  // namespace k7::editortest
