// A profile's own file: what export writes comes back line for line, and a
// file that is no such profile is refused with what is wrong with it.
#include <gtest/gtest.h>

#include <string>

#include "fakes/portable_ini_store.h"
#include "fakes/temp_dir.h"
#include "profiles/profile_file.h"
#include "ui/editor_logic.h"

namespace k7 {
namespace {

// A system on code page 1252 that also reads UTF-8 "é" and knows 1251,
// whose letters it lacks.
class FakeConverter : public IProfileTextConverter {
 public:
  unsigned SystemCodePage() const override { return 1252; }
  bool Knows(unsigned codePage) const override {
    return codePage == 1252 || codePage == 1251 || codePage == 65001;
  }
  bool ToSystem(unsigned codePage, std::string& text) const override {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      const auto c = static_cast<unsigned char>(text[i]);
      if (c < 0x80) {
        out += text[i];
      } else if (codePage == 65001 && text.compare(i, 2, "\xC3\xA9") == 0) {
        out += '\xE9';
        ++i;
      } else {
        return false;
      }
    }
    text = out;
    return true;
  }
};

std::string File(const std::string& profile, const std::string& userDef,
                 const std::string& userDefInf = "[UserDefInf]\n1=Next\n") {
  return "[Profile]\n" + profile + "[UserDef]\n" + userDef + userDefInf;
}

const std::string kHead = "Format=1\nCodePage=1252\nName=Player\n";
const std::string kProgram = "FilePath=C:\\P\\player.exe\nExeFile=player.exe\n";

TEST(ProfileFile, ARefusedFileSaysWhatIsWrong) {
  const struct {
    std::string bytes;
    std::string said;  // part of the message
  } rows[] = {
      {"", "The file is empty."},
      {std::string(kMaxProfileFileBytes + 1, ';'), "larger than a profile file can be"},
      {"\xFF\xFE[\0P\0", "UTF-16 text or binary data"},
      {std::string("[Profile]\nName=A\0B\n", 19), "UTF-16 text or binary data"},
      {"Hello,\nthis is a letter.\n", "Line 1: text outside any section"},
      {"[UserDef]\n" + kProgram, "no [Profile] section"},
      {"[Profile\n", "Line 1: a section header without its closing"},
      {File(kHead, kProgram) + "[Extra]\n", "Line 10: a profile file has no section [Extra]"},
      {File(kHead, kProgram) + "[userdef]\n", "Line 10: the section [UserDef] comes a second"},
      {File(kHead, kProgram + "just text\n"), "Line 8: not a line of the form key=value"},
      {File(kHead + "Owner=me\n", kProgram), "Line 5: \"Owner\" is not a key of [Profile]"},
      {File(kHead, kProgram + "AllOtherPrograms=1\n"), "\"AllOtherPrograms\" is not a key"},
      {File(kHead, kProgram + "03=0-A\n"), "Line 8: \"03\" is not a key of a profile's [UserDef]"},
      {File(kHead, kProgram, "[UserDefInf]\nRepeat1=every\n"), "\"Repeat1\" is not a key"},
      {File(kHead, kProgram + "Hold2=0-A\nhold2=0-B\n"),
       "Line 9: the key \"hold2\" comes a second"},
      {File("Format=2\nCodePage=1252\nName=P\n", kProgram), "Line 2: Format=2 is not a format"},
      {File("Format=1\nCodePage=cp1252\nName=P\n", kProgram), "CodePage=cp1252 is not a code page"},
      {File("CodePage=1252\nName=P\n", kProgram), "[Profile] has no Format key."},
      {File("Format=1\nName=P\n", kProgram), "[Profile] has no CodePage key."},
      {File("Format=1\nCodePage=1252\n", kProgram), "[Profile] has no Name key."},
      {File("Format=1\nCodePage=1252\nName=\n", kProgram), "Line 4: the Name is empty."},
      {"\xEF\xBB\xBF" + File(kHead, kProgram), "Line 3: the file begins as UTF-8 text"},
      {"[Profile]\n" + kHead, "There is no [UserDef] section"},
      {File(kHead, "FilePath=C:\\p.exe\n"), "[UserDef] has no ExeFile key."},
      {File(kHead, "ExeFile=p.exe\n"), "[UserDef] has no FilePath key."},
      {File("Format=1\nCodePage=437\nName=P\n", kProgram), "code page 437, which this computer"},
      {File("Format=1\nCodePage=1251\nName=P\n", kProgram, "[UserDefInf]\n1=\xCF\xF3\xF1\xEA\n"),
       "Line 9: the value of 1 in [UserDefInf] has characters that this computer's code page "
       "1252 cannot represent"},
      {File("Format=1\nCodePage=65001\nName=Caf\xC3\xA9 \xE2\x82\xAC\n", kProgram),
       "Line 4: the Name has characters"},
      {File(kHead, "FilePath=C:\\" + std::string(257, 'p') + "\nExeFile=p.exe\n"),
       "Line 6: FilePath in [UserDef] is longer than 259 bytes."},
      {File(kHead, "FilePath=C:\\p.exe\nExeFile=" + std::string(100, 'p') + "\n"),
       "ExeFile in [UserDef] is longer than 99 bytes."},
      {File(kHead, kProgram + "5=0-C-A-S-" + std::string(22, 'X') + "\n"),
       "Line 8: 5 in [UserDef] is longer than 29 bytes."},
      {File(kHead, kProgram + "5=0-C-NOSUCHKEY\n"), "Line 8: 5=0-C-NOSUCHKEY names no key"},
      {File(kHead, kProgram + "Hold5=1-A-LEFTT\n"), "Hold5=1-A-LEFTT names no key"},
      {File(kHead, kProgram + "Repeat5=fast\n"), "Line 8: Repeat5=fast is not a repeat rule"},
      {File(kHead, kProgram, "[UserDefInf]\nHold1=" + std::string(255, 'c') + "\n"),
       "Line 9: Hold1 in [UserDefInf] is longer than 254 bytes."},
      {File("Format=1\nCodePage=1252\nName=" + std::string(100, 'n') + "\n", kProgram),
       "Line 4: the Name \"nnn"},
      {File("Format=1\nCodePage=1252\nName=[P]\n", kProgram), "cannot contain \"[\" or \"]\""},
      {File("Format=1\nCodePage=1252\nName=;P\n", kProgram), "cannot begin with \";\""},
  };
  const FakeConverter converter;
  for (const auto& row : rows) {
    ProfileFile profile;
    const std::string said = ReadImportedProfile(row.bytes, converter, profile);
    EXPECT_NE(said.find(row.said), std::string::npos)
        << "for:\n"
        << row.bytes.substr(0, 200) << "\nsaid: " << said;
  }
}

// Exported from files the program wrote and imported into fresh ones, the
// profile's sections come back byte for byte, without the mark for all
// other programs and keys that are none of a profile's. Text of another code
// page arrives converted.
TEST(ProfileFile, AnExportedProfileImportsIntoFreshFilesLineForLine) {
  const std::string section =
      "[Player]\r\nFilePath=C:\\Program Files\\Player\\player.exe\r\nExeFile=player.exe\r\n"
      "0=\r\n1=0-C-N\r\nHold1=0-A-F4\r\nRepeat1=every\r\n3=ESC\r\nRepeat4=400\r\n33=1-S-RIGHT\r\n";
  const std::string captions =
      "[Player]\r\n0=\r\n1=Next \xE9pisode; = more\r\nHold1=Quit\r\n33=\"Quoted\"\r\n";
  test::TempDir dir;
  const std::string userDef = dir.Write(
      "UserDef.ini", "[Other]\r\n1=0-X\r\n" + section + "AllOtherPrograms=1\r\nNotes=mine\r\n");
  const std::string userDefInf = dir.Write("UserDefInf.ini", captions + "[Other]\r\n1=X\r\n");
  PortableIniStore ini;
  const std::string text = FormatProfileFile(
      ReadProfileForFile(ini, "Player", userDef.c_str(), userDefInf.c_str(), 1252));

  ProfileFile profile;
  const FakeConverter converter;
  ASSERT_EQ(ReadImportedProfile(text, converter, profile), "") << text;
  EXPECT_EQ(profile.name, "Player");
  const std::string freshDef = dir.Path("fresh.ini");
  const std::string freshInf = dir.Path("freshInf.ini");
  const EditorFiles fresh{"", freshDef.c_str(), freshInf.c_str()};
  WriteImportedProfile(ini, fresh, profile, profile.name.c_str());
  EXPECT_EQ(test::TempDir::Read(freshDef), section);
  EXPECT_EQ(test::TempDir::Read(freshInf), captions);

  // The same file saved as UTF-8 by an editor, with its signature.
  std::string utf8 = "\xEF\xBB\xBF" + text;
  utf8.replace(utf8.find("CodePage=1252"), 13, "CodePage=65001");
  utf8.replace(utf8.find('\xE9'), 1, "\xC3\xA9");
  ASSERT_EQ(ReadImportedProfile(utf8, converter, profile), "");
  WriteImportedProfile(ini, fresh, profile, "Player 2");
  char caption[64] = "";
  ini.GetString("Player 2", "1", "", caption, sizeof caption, freshInf.c_str());
  EXPECT_STREQ(caption, "Next \xE9pisode; = more");
}

}  // namespace
}  // namespace k7
