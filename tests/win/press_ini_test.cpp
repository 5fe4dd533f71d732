// The reader's per-press copy on the real file system: how long it keeps a
// file open, and what it does with a file another program holds.
#include <windows.h>

#include <string>

#include "profiles/press_ini_win32.h"
#include "win_test.h"

namespace k7::wintest {
namespace {

class PressIni : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    path_ = scratch_.File(kUserDefIni);
    ASSERT_TRUE(ini_.WriteString("P", "ExeFile", "WinDVD.exe", path_.c_str()));
  }
  // Whether another program could open the file for itself alone now.
  bool OthersCanOpenExclusively() const {
    HANDLE h = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
  }
  std::string Value(const char* key) {
    char out[64];
    press_.GetString("P", key, "-", out, sizeof out, path_.c_str());
    return out;
  }

  std::string path_;
  Win32WholeFileReader reader_;
  PressIniStore press_{reader_, ini_};
};

TEST_F(PressIni, AFileIsOpenOnlyUntilThePressEndsOrTheProgramWritesIt) {
  press_.BeginPress();
  EXPECT_EQ(Value("ExeFile"), "WinDVD.exe");
  EXPECT_FALSE(OthersCanOpenExclusively()) << "not held during the press";
  press_.EndPress();
  EXPECT_TRUE(OthersCanOpenExclusively()) << "still open after the press";

  // A write of the program's own, during a press: the handle goes first.
  press_.BeginPress();
  EXPECT_EQ(Value("ExeFile"), "WinDVD.exe");
  ASSERT_TRUE(ini_.WriteString("P", "ExeFile", "Other.exe", path_.c_str()));
  EXPECT_TRUE(OthersCanOpenExclusively()) << "the write met the reader's handle";
  press_.EndPress();
  press_.BeginPress();
  EXPECT_EQ(Value("ExeFile"), "Other.exe");
  press_.EndPress();
}

TEST_F(PressIni, AFileAnotherProgramHoldsIsReadThroughTheApiForThatPress) {
  HANDLE other = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  press_.BeginPress();
  // Nothing can read it now, the API neither: its default, not a copy of
  // nothing taken for the file.
  EXPECT_EQ(Value("ExeFile"), "-");
  EXPECT_EQ(press_.SourceOf(path_.c_str()), PressIniStore::Source::kApi);
  EXPECT_EQ(press_.file_reads(), uint64_t{PressIniStore::kReadAttempts});
  press_.EndPress();
  CloseHandle(other);

  press_.BeginPress();
  EXPECT_EQ(Value("ExeFile"), "WinDVD.exe");
  EXPECT_EQ(press_.SourceOf(path_.c_str()), PressIniStore::Source::kCopy);
  press_.EndPress();
}

}  // namespace
}  // namespace k7::wintest
