// The program from folders whose names its ANSI code page writes as they
// are, writes only as best-fit letters or '?' (1252), or writes with
// backslash bytes inside characters (Big5, 950): it starts, writes its INI
// files beside itself, a press acts, and a program launched from its folder
// starts in that folder. A program named like the folder gets its profile.
#include <windows.h>

#include <string>
#include <vector>

#include "app_test.h"

namespace k7::apptest {
namespace {

constexpr unsigned kCodeLaunchDvd = 0x55;  // the DVD category's program

std::string InCodePage(const std::wstring& text, UINT codePage) {
  const int n = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(codePage, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring FromCodePage(const std::string& bytes, UINT codePage) {
  const int n = MultiByteToWideChar(codePage, 0, bytes.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
  if (n > 1) MultiByteToWideChar(codePage, 0, bytes.c_str(), -1, out.data(), n);
  return out;
}

std::wstring LongPath(const std::wstring& path) {
  wchar_t longPath[1024];
  const DWORD n = GetLongPathNameW(path.c_str(), longPath, ARRAYSIZE(longPath));
  return n > 0 && n < ARRAYSIZE(longPath) ? std::wstring(longPath, n) : std::wstring();
}

std::wstring Widened(const std::string& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

std::string Golden(const char* name) {
  return harness::ReadFileShared(std::string(K7_TEST_DATA_DIR "/first_run/") + name);
}

class FolderNames : public AppTest {};

TEST_F(FolderNames, TheProgramWorksFromAFolderOfAnyNameInAnyCodePage) {
  const std::wstring xuGong = L"\u8A31\u529F";  // Big5 B3 5C A5 5C
  const struct {
    const char* label;
    const char* locale;
    UINT codePage;
    std::wstring folder;
  } rows[] = {
      {"ASCII on 1252", "C.UTF-8", 1252, L"Plain"},
      {"Polish on 1252", "C.UTF-8", 1252, L"\u0141ukasz"},
      {"Cyrillic on 1252", "C.UTF-8", 1252, L"\u042E\u043B\u0438\u044F"},
      {"Big5 on 950", "zh_TW.UTF-8", 950, xuGong},
  };
  StartSim();
  // Where a best-fit form of "Łukasz" would lead the program instead.
  const std::wstring decoy = Widened(scratch_.Path()) + L"\\Lukasz";
  ASSERT_TRUE(CreateDirectoryW(decoy.c_str(), nullptr));

  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const std::wstring folder = Widened(scratch_.Path()) + L"\\" + row.folder;
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::string shortFolder = harness::ShortPathOf(folder);
    ASSERT_FALSE(shortFolder.empty());
    // A path as the program names it with the ANSI API: its own bytes where
    // the code page writes them, else its short form.
    const auto ansiForm = [&](const std::wstring& path) {
      const std::string bytes = InCodePage(path, row.codePage);
      return FromCodePage(bytes, row.codePage) == path ? bytes : harness::ShortPathOf(path);
    };
    const std::string ansiFolder = ansiForm(folder);
    const bool big5 = row.codePage == 950;
    const bool plain = row.folder == L"Plain";
    const std::wstring launchName = big5 ? xuGong + L".exe" : L"launch.exe";
    ASSERT_TRUE(
        CopyFileW(Widened(harness::HelperExePath(harness::HelperExe::kLaunchTarget)).c_str(),
                  (folder + L"\\" + launchName).c_str(), FALSE));
    // A program named like the folder, and a profile for it in place before
    // the first start lists the profiles: on 950 the profile's name is in
    // Big5 too; on 1252 its ExeFile is the short name Browse stores.
    const std::wstring named = Widened(scratch_.Path()) + L"\\" + row.folder + L".exe";
    ASSERT_TRUE(CopyFileW(Widened(harness::HelperExePath(harness::HelperExe::kTargetApp)).c_str(),
                          named.c_str(), FALSE));
    const std::string namedPath = ansiForm(named);
    std::string profile = "[";
    profile.append(big5 ? InCodePage(xuGong, 950) : std::string("Named"));
    // Its file name: on 950 split in UTF-16, a byte 0x5C may end a character.
    const std::string exeFile =
        big5 ? InCodePage(row.folder + L".exe", 950) : namedPath.substr(namedPath.rfind('\\') + 1);
    profile.append("]\r\nExeFile=").append(exeFile);
    profile.append("\r\n28=1-HOME\r\n");
    if (plain) profile.clear();
    if (!plain) {
      HANDLE file = CreateFileW((folder + L"\\UserDef.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE);
      DWORD written = 0;
      WriteFile(file, profile.data(), static_cast<DWORD>(profile.size()), &written, nullptr);
      CloseHandle(file);
    }

    harness::Program& program =
        *(program_ = std::make_unique<harness::Program>(shortFolder, harness::ProgramKind::kSim));
    program.StartUnderLocale(row.locale);
    ASSERT_TRUE(program.WaitReady()) << "start-up did not finish";
    ASSERT_TRUE(WaitConnected());
    EXPECT_EQ(program.Notice(), nullptr) << "a message at start-up";
    for (const char* name : harness::kProgramIniFiles) {
      std::string expected = Golden(name);
      if (std::string(name) == "UserDef.ini") expected.insert(0, profile);
      EXPECT_EQ(harness::ReadFileShared(program.IniPath(name)), expected) << name;
    }
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((decoy + L"\\*.ini").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "INI files written into another folder";
    if (find != INVALID_HANDLE_VALUE) FindClose(find);

    // A press in front of the built-in profile's program.
    DeleteFileA(scratch_.File("WinDVD.log").c_str());
    harness::TargetApp& player = Front("WinDVD.exe");
    Press(kCodePageDown);
    ASSERT_TRUE(player.WaitForKeyLog(2)) << "the press did nothing";

    // A launch of a program in the program's folder, named as the user's
    // Browse would have stored it.
    const std::string launchPath = ansiFolder + "\\" + InCodePage(launchName, row.codePage);
    ASSERT_TRUE(WritePrivateProfileStringA("WinDVD", "FilePath", launchPath.c_str(),
                                           program.IniPath("UserDef.ini").c_str()));
    Press(kCodeLaunchDvd);
    const std::string launched = shortFolder + "\\launched.log";
    ASSERT_TRUE(harness::WaitUntil([&] { return !harness::ReadFileShared(launched).empty(); }))
        << "nothing was launched";
    const std::vector<std::string> args =
        harness::SplitCompleteLines(harness::ReadFileShared(shortFolder + "\\launch-args.log"));
    ASSERT_EQ(args.size(), 2u);
    EXPECT_EQ(LongPath(FromCodePage(args[1], row.codePage)), folder) << "launched in " << args[1];

    if (!plain) {
      // The program named like the folder in front: its profile's hotkey,
      // not the built-in's.
      target_ = std::make_unique<harness::TargetApp>(named);
      ASSERT_TRUE(target_->RequestForeground());
      recorder_.reset();
      recorder_ = std::make_unique<harness::HookRecorder>();
      Press(kCodePageDown);
      ASSERT_TRUE(WaitForKeys(2));
      ASSERT_TRUE(recorder_->Flush());
      EXPECT_EQ(InjectedKeys(), (std::vector<Key>{Down(VK_HOME), Up(VK_HOME)}));
    }
    target_.reset();
    program_.reset();
  }
}

}  // namespace
}  // namespace k7::apptest
