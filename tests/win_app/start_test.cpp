// Start-up of the program: one copy at a time, its INI files beside the
// executable, and what happens when no receiver is plugged in.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/single_instance_win32.h"
#include "app_test.h"

namespace k7::apptest {
namespace {

using harness::Program;
using harness::ProgramKind;
using harness::TargetLogEntry;

class ProgramStart : public AppTest {
 protected:
  // A working directory other than the program's own. It goes after the
  // program has been ended: a process's current directory cannot be removed.
  harness::ScratchDir& OtherWorkDir() {
    workDir_ = std::make_unique<harness::ScratchDir>("cwd");
    return *workDir_;
  }
  void TearDown() override {
    AppTest::TearDown();
    if (HasFailure() && workDir_ != nullptr) workDir_->Keep();
  }

  static std::string Golden(const char* name) {
    return harness::ReadFileShared(std::string(K7_TEST_DATA_DIR "/first_run/") + name);
  }

  // Names of the files in a directory.
  static std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      const std::string name = data.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
  }

  // The notice shows by itself for about three seconds; then the program
  // runs on. started: a time before the program started, so that a late
  // look at the notice cannot make it seem short.
  void ExpectNoticeThenRunsOn(Program& program, ULONGLONG started) {
    HWND notice = program.WaitForNotice();
    ASSERT_NE(notice, nullptr) << "no receiver-missing notice";
    EXPECT_EQ(Program::NoticeText(notice), harness::kReceiverMissingText);
    EXPECT_NE(GetWindowLongA(notice, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "has a caption";
    EXPECT_TRUE(
        harness::WaitUntil([&] { return !IsWindow(notice) || !IsWindowVisible(notice); }, 6000, 5))
        << "the notice never closed";
    EXPECT_GE(GetTickCount64() - started, 2500u) << "the notice closed early";

    EXPECT_TRUE(program.WaitReady()) << "start-up did not go on after the notice";
    EXPECT_TRUE(program.Running());
    EXPECT_NE(program.MainWindow(), nullptr);
    EXPECT_TRUE(program.Send(WM_NULL, 0, 0)) << "the main window does not answer";
    EXPECT_EQ(program.Notice(), nullptr) << "a notice showed again";
  }

  std::unique_ptr<harness::ScratchDir> workDir_;
};

TEST_F(ProgramStart, SecondCopyEndsAtOnceAndTheFirstCarriesOn) {
  Program& first = StartConnected();
  harness::TargetApp& player = Front("WinDVD.exe");

  // A copy in a directory of its own: it can know the first only by its window.
  harness::ScratchDir otherDir("second-copy");
  Program second(otherDir.Path(), ProgramKind::kSim);
  second.Start();
  DWORD exitCode = 1;
  ASSERT_TRUE(second.WaitForExit(harness::kWaitMs, &exitCode)) << "the second copy still runs";
  EXPECT_EQ(exitCode, 0u);
  EXPECT_FALSE(otherDir.Exists("QVCtrl.ini")) << "the second copy went on to its INI files";
  EXPECT_EQ(sim_->Send("wait-client 0"), "ok clients=1");

  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(first.Send(WM_NULL, 0, 0)) << "the first copy does not answer";
  Press(kCodePageDown);
  ASSERT_TRUE(player.WaitForKeyLog(2)) << "the first copy no longer injects";
  const std::vector<TargetLogEntry> expected = {{WM_KEYDOWN, VK_NEXT}, {WM_KEYUP, VK_NEXT}};
  EXPECT_EQ(player.KeyLog(), expected);
}

TEST_F(ProgramStart, OtherWindowsWithTheProgramsTitleDoNotStopIt) {
  StartSim();
  // An Explorer window on a folder of that name, a plain window of a program
  // named as ours, and a dialog of this process.
  harness::ScratchDir dir("namesakes");
  harness::TargetApp explorer(dir, "explorer.exe");
  harness::TargetApp namesake(dir, "K7F3.exe");
  SetWindowTextA(explorer.Window(), harness::kProgramTitle);
  SetWindowTextA(namesake.Window(), harness::kProgramTitle);
  HWND dialog = CreateWindowExA(0, "#32770", harness::kProgramTitle, WS_POPUP, 0, 0, 10, 10,
                                nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(FindRunningCopy(harness::kProgramTitle), nullptr);

  Program& program = StartConnected();
  EXPECT_TRUE(program.Running());
  // A running copy is still known by its window.
  EXPECT_EQ(FindRunningCopy(harness::kProgramTitle), program.MainWindow());
  DestroyWindow(dialog);
}

TEST_F(ProgramStart, OfThreeCopiesStartedTogetherExactlyOneRuns) {
  StartSim();
  Front("WinDVD.exe");
  // Each in a directory of its own, started suspended and let go together,
  // so that none has its window yet when the others look for one.
  struct Copy {
    std::unique_ptr<harness::ScratchDir> dir;
    std::unique_ptr<Program> program;  // the copy of the executable
    PROCESS_INFORMATION pi{};
    ~Copy() {
      if (pi.hProcess == nullptr) return;
      TerminateProcess(pi.hProcess, 1);
      WaitForSingleObject(pi.hProcess, harness::kWaitMs);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
    bool Running() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
  };
  Copy copies[3];
  for (Copy& c : copies) {
    c.dir = std::make_unique<harness::ScratchDir>("copy");
    c.program = std::make_unique<Program>(c.dir->Path(), ProgramKind::kSim);
    std::string commandLine = "\"" + c.program->ExePath() + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    ASSERT_TRUE(CreateProcessA(c.program->ExePath().c_str(), commandLine.data(), nullptr, nullptr,
                               FALSE, CREATE_SUSPENDED, nullptr, c.dir->Path().c_str(), &si,
                               &c.pi));
  }
  for (Copy& c : copies) ResumeThread(c.pi.hThread);

  auto running = [&] {
    int n = 0;
    for (const Copy& c : copies) n += c.Running();
    return n;
  };
  ASSERT_TRUE(harness::WaitUntil([&] { return running() == 1; })) << running() << " copies run";
  for (const Copy& c : copies) {
    if (c.Running()) continue;
    DWORD exitCode = 1;
    EXPECT_TRUE(GetExitCodeProcess(c.pi.hProcess, &exitCode) && exitCode == 0);
  }
  ASSERT_TRUE(WaitConnected());
  EXPECT_EQ(running(), 1);

  // One reader, so each report is injected once.
  Press(kCodePageDown);
  ASSERT_TRUE(WaitForKeys(2));
  ASSERT_TRUE(recorder_->Flush());
  EXPECT_EQ(InjectedKeys(), (std::vector<Key>{Down(VK_NEXT), Up(VK_NEXT)}));
}

TEST_F(ProgramStart, FirstRunWritesTheIniFilesBesideTheExecutableNotTheWorkingDirectory) {
  StartSim();
  harness::ScratchDir& workDir = OtherWorkDir();
  Program& program = MakeProgram();
  program.Start(workDir.Path());
  ASSERT_TRUE(program.WaitReady());

  for (const char* name : harness::kProgramIniFiles) {
    const std::string golden = Golden(name);
    ASSERT_FALSE(golden.empty()) << name;
    EXPECT_TRUE(harness::WaitUntil(
        [&] { return harness::ReadFileShared(program.IniPath(name)) == golden; }, 2000))
        << name << " beside the executable is not the built-in file";
  }
  EXPECT_EQ(FilesIn(workDir.Path()), std::vector<std::string>{})
      << "files in the working directory";
}

TEST_F(ProgramStart, PreparedIniFilesBesideTheExecutableRuleWhateverTheWorkingDirectory) {
  StartSim();
  // Beside the executable: the built-in files with one slot changed. In the
  // working directory: the same files with that slot changed another way.
  harness::ScratchDir& workDir = OtherWorkDir();
  Program& program = MakeProgram();
  for (const char* name : harness::kProgramIniFiles) {
    const std::string golden = std::string(K7_TEST_DATA_DIR "/first_run/") + name;
    program.CopyIniIn(golden, name);
    workDir.CopyIn(golden, name);
  }
  ASSERT_TRUE(
      WritePrivateProfileStringA("WinDVD", "28", "1-HOME", program.IniPath("UserDef.ini").c_str()));
  workDir.WriteIni("UserDef.ini", "WinDVD", "28", "0-Q");

  program.Start(workDir.Path());
  ASSERT_TRUE(program.WaitReady());
  ASSERT_TRUE(WaitConnected());
  harness::TargetApp& player = Front("WinDVD.exe");
  Press(kCodePageDown);
  ASSERT_TRUE(player.WaitForKeyLog(2));
  const std::vector<TargetLogEntry> expected = {{WM_KEYDOWN, VK_HOME}, {WM_KEYUP, VK_HOME}};
  EXPECT_EQ(player.KeyLog(), expected);
  // Not a first run: the prepared file stays as it was.
  EXPECT_EQ(program.IniValue("UserDef.ini", "WinDVD", "28"), "1-HOME");
}

TEST_F(ProgramStart, HidVariantFindsNoReceiverAmongWinesDevicesShowsNoticeAndRunsOn) {
  Program& program = MakeProgram(ProgramKind::kHid);
  const ULONGLONG started = GetTickCount64();
  program.Start();
  ExpectNoticeThenRunsOn(program, started);
}

TEST_F(ProgramStart, SimVariantWithoutPipeShowsNoticeRunsOnAndConnectsOncePlugged) {
  // Nothing may serve the pipe, or this tests nothing.
  HANDLE pipe = CreateFileA("\\\\.\\pipe\\K7F3-receiver", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  const DWORD error = GetLastError();
  if (pipe != INVALID_HANDLE_VALUE) CloseHandle(pipe);
  ASSERT_EQ(pipe, INVALID_HANDLE_VALUE) << "a receiver pipe is already served";
  ASSERT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  Program& program = MakeProgram(ProgramKind::kSim);
  const ULONGLONG started = GetTickCount64();
  program.Start();
  ExpectNoticeThenRunsOn(program, started);

  // Reception was never disabled: the poll picks up a receiver plugged in now.
  StartSim();
  EXPECT_TRUE(WaitConnected(3000)) << "the poll did not connect the receiver";
}

}  // namespace
}  // namespace k7::apptest
