// Naming the foreground process: the image-path query, the handle kept
// between presses, and the snapshot it falls back to, against the snapshot.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "dispatch/foreground_win32.h"
#include "win_test.h"

namespace k7::wintest {
namespace {

// The real calls, counted; the quick ones fail on demand.
class CountedCalls : public IProcessNameCalls {
 public:
  HANDLE Open(uint32_t id) override {
    HANDLE h = failOpen ? nullptr : real.Open(id);
    if (h != nullptr) ++open;
    return h;
  }
  void Close(HANDLE h) override {
    --open;
    real.Close(h);
  }
  bool ImagePath(HANDLE h, char* out, uint32_t size) override {
    return !failQuery && real.ImagePath(h, out, size);
  }
  bool SnapshotName(uint32_t id, char* out, uint32_t size) override {
    ++snapshots;
    return real.SnapshotName(id, out, size);
  }
  TokenIntegrity Integrity(HANDLE h, uint32_t id) override {
    if (h == nullptr) return real.Integrity(h, id);
    ++tokenReads;
    return refuseToken ? TokenIntegrity{} : real.Integrity(h, id);
  }
  Win32ProcessNameCalls real;
  bool failOpen = false, failQuery = false, refuseToken = false;
  int tokenReads = 0;  // of other processes
  int open = 0;        // handles given out and not closed
  int snapshots = 0;
};

// What the program named a process with before the quick query existed.
std::string SnapshotName(DWORD pid) {
  char name[MAX_PATH] = "";
  return GetProcessExeName(pid, name, sizeof name) ? name : "";
}

using ForegroundProcess = WinTest;

TEST_F(ForegroundProcess, NamesEveryProcessAsTheSnapshotDoes) {
  // The longest name whose path target_app.exe still accepts.
  const std::string longName =
      std::string(MAX_PATH - 2 - scratch_.Path().size() - 8, 'L') + "ong.Exe";
  CountedCalls calls;
  std::vector<std::unique_ptr<harness::TargetApp>> apps;
  {
    Win32ForegroundProcess foreground(calls);
    for (const std::string& name : {std::string("WinDVD.exe"), std::string("MiXeD.Case.EXE"),
                                    std::string("with two spaces.exe"), longName}) {
      apps.push_back(std::make_unique<harness::TargetApp>(scratch_, name));
      EXPECT_EQ(foreground.ExeNameOf(apps.back()->Id()), name);
      EXPECT_EQ(SnapshotName(apps.back()->Id()), name);
      // The window that came up is in front, named from the handle kept.
      ASSERT_TRUE(apps.back()->WaitForeground());
      EXPECT_EQ(foreground.ForegroundExeName(), name);
      EXPECT_EQ(calls.open, 1);
    }
    EXPECT_EQ(foreground.ExeNameOf(GetCurrentProcessId()), SnapshotName(GetCurrentProcessId()));
    ASSERT_TRUE(apps.front()->RequestForeground());
    EXPECT_EQ(foreground.ForegroundExeName(), "WinDVD.exe");
  }
  EXPECT_EQ(calls.snapshots, 0);  // all named by the quick query
  EXPECT_EQ(calls.open, 0);
}

TEST_F(ForegroundProcess, FallsBackToTheSnapshotWhenTheQuickQueryFails) {
  harness::TargetApp app(scratch_, "MiXeD.Case.EXE");
  ASSERT_EQ(SnapshotName(app.Id()), "MiXeD.Case.EXE");
  const std::vector<DWORD> pids = {app.Id(), GetCurrentProcessId(), 0, 0xFFFFFFF0u};
  CountedCalls calls;
  {
    Win32ForegroundProcess foreground(calls);
    for (bool failOpen : {true, false}) {
      calls.failOpen = failOpen;
      calls.failQuery = !failOpen;
      for (DWORD pid : pids) {
        const int snapshots = calls.snapshots;
        EXPECT_EQ(foreground.ExeNameOf(pid), SnapshotName(pid)) << pid;
        EXPECT_EQ(calls.snapshots, snapshots + 1) << pid;
        EXPECT_EQ(calls.open, 0) << pid;
      }
    }
    // With the quick query back, no process is no name, as before.
    calls.failQuery = false;
    EXPECT_EQ(foreground.ExeNameOf(0xFFFFFFF0u), SnapshotName(0xFFFFFFF0u));
    EXPECT_EQ(foreground.ExeNameOf(0), SnapshotName(0));
  }
  EXPECT_EQ(calls.open, 0);
}

// Under Wine every process gets the same full token, so the real check reads
// both levels, finds them equal and lets the keys go. A token that cannot be
// read stands for an elevated program. Either verdict is read once while the
// same process stays in front.
TEST_F(ForegroundProcess, ReadsTheRightsOfAProcessOnceWhileItStaysInFront) {
  harness::TargetApp player(scratch_, "WinDVD.exe"), other(scratch_, "Taskmgr.exe");
  CountedCalls calls;
  const TokenIntegrity own = calls.real.Integrity(nullptr, 0);
  ASSERT_TRUE(own.read);
  HANDLE process = calls.real.Open(player.Id());
  ASSERT_NE(process, nullptr);
  const TokenIntegrity theirs = calls.real.Integrity(process, player.Id());
  calls.real.Close(process);
  EXPECT_TRUE(theirs.read);
  EXPECT_EQ(theirs.level, own.level);

  for (bool refuse : {false, true}) {
    Win32ForegroundProcess foreground(calls);
    calls.refuseToken = refuse;
    for (DWORD pid : {player.Id(), other.Id(), player.Id()}) {
      const int reads = calls.tokenReads;
      for (int press = 0; press < 3; ++press) {
        EXPECT_FALSE(foreground.ExeNameOf(pid).empty());
        EXPECT_EQ(foreground.ForegroundElevated(), refuse) << pid;
      }
      EXPECT_EQ(calls.tokenReads, reads + 1) << pid;
    }
  }
}

}  // namespace
}  // namespace k7::wintest
