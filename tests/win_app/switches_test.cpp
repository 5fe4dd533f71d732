// Starts with a switch: each one's exit code with no copy running and
// against a running copy, and what the copy then does.
#include <windows.h>
#include <sddl.h>

#include <functional>
#include <string>

#include "app/single_instance_win32.h"
#include "app/switches_win32.h"
#include "app_test.h"

namespace k7::apptest {
namespace {

class ProgramSwitches : public AppTest {
 protected:
  harness::Process StartWith(const std::string& args) {
    return harness::Process::Start(program_->ExePath(), program_->Dir(), args);
  }
  // The exit code of a start with args; 999 when it did not end in time.
  DWORD Run(const std::string& args) {
    harness::Process start = StartWith(args);
    DWORD code = 999;
    EXPECT_TRUE(start.WaitForExit(30000, &code)) << args << " still runs";
    return code;
  }
  void ExpectPageDownArrives(const char* when) {
    ASSERT_TRUE(WaitConnected()) << when;
    ASSERT_TRUE(recorder_->Flush());
    const size_t before = InjectedKeys().size();
    Press(kCodePageDown);
    EXPECT_TRUE(WaitForKeys(before + 2)) << "no keys " << when;
  }
};

TEST_F(ProgramSwitches, EachSwitchWithNoCopyRunningThenAgainstTheRunningCopy) {
  StartSim();
  Front("WinDVD.exe");
  harness::Program& program = MakeProgram();

  // "/?" lists them in a box of its own; a copy is not confused by it.
  {
    harness::Process help = StartWith("/?");
    HWND box = nullptr;
    ASSERT_TRUE(harness::WaitUntil([&] {
      const auto found = harness::ProcessWindows(help.Id(), kSwitchHelpTitle, "#32770");
      box = found.empty() || !IsWindowVisible(found.front()) ? nullptr : found.front();
      return box != nullptr;
    })) << "no list of the switches";
    char text[1024] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text control
    for (const char* name : {"/exit", "/reload", "/disable", "/enable", "/events", "/status"}) {
      EXPECT_NE(std::string(text).find(name), std::string::npos) << name << " not listed";
    }
    EXPECT_EQ(Run("/status"), 1u) << "the box passed for a running copy";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    DWORD code = 999;
    EXPECT_TRUE(help.WaitForExit(harness::kWaitMs, &code));
    EXPECT_EQ(code, 0u);
  }

  for (const char* args : {"/exit", "/reload", "/disable", "/enable", "/events", "-STATUS"}) {
    EXPECT_EQ(Run(args), 1u) << args << " with no copy running";
  }
  EXPECT_EQ(Run("/start"), 2u);
  EXPECT_EQ(Run("/status /exit"), 2u);
  {
    // A copy with more rights than ours: its mutex refuses us.
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, FALSE};
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "O:SYD:(A;;0x1F0001;;;SY)", SDDL_REVISION_1, &sa.lpSecurityDescriptor, nullptr));
    HANDLE refusing = CreateMutexA(&sa, TRUE, kSessionMutexName);
    LocalFree(sa.lpSecurityDescriptor);
    ASSERT_NE(refusing, nullptr);
    EXPECT_EQ(Run("/status"), 5u);
    CloseHandle(refusing);
  }
  EXPECT_EQ(FindRunningCopy(harness::kProgramTitle), nullptr) << "a start with a switch runs on";
  EXPECT_EQ(GetFileAttributesA(program.IniPath("QVCtrl.ini").c_str()), INVALID_FILE_ATTRIBUTES)
      << "a start with a switch went on to the first-run files";

  program.Start();
  ASSERT_TRUE(program.WaitReady(harness::kStartMs));
  ASSERT_TRUE(WaitConnected(harness::kStartMs));
  struct Step {
    const char* args;
    DWORD code;
    std::function<void()> then;
  } const steps[] = {
      {"/status", 0, nullptr},
      {"/disable", 0, nullptr},
      {"/Status", 3, nullptr},
      {"/enable", 0, [&] { ExpectPageDownArrives("after /enable"); }},
      {"/status", 0, nullptr},
      {"-disable", 0, nullptr},
      {"/reload", 0, [&] { ExpectPageDownArrives("after /reload, which enables too"); }},
      {"/status", 0,
       [&] {
         // The poll sees the receiver gone within a second.
         ASSERT_EQ(sim_->Send("unplug"), "ok");
         EXPECT_TRUE(harness::WaitUntil([&] { return Run("/status") == 4; }, 10000, 100));
         ASSERT_EQ(sim_->Send("plug"), "ok");
       }},
      {"/reload", 0, [&] { ExpectPageDownArrives("after the plug and /reload"); }},
      {"/events", 0, nullptr},
      {"/enable /exit", 2, [&] { EXPECT_TRUE(program.Running()); }},
      {"/EXIT", 0,
       [&] {
         // Ended by the time the start returns, through the tray's Exit.
         DWORD code = 999;
         EXPECT_TRUE(program.WaitForExit(0, &code)) << "still runs after /exit";
         EXPECT_EQ(code, 0u);
       }},
      {"/status", 1, nullptr},
  };
  for (const Step& step : steps) {
    ASSERT_EQ(Run(step.args), step.code) << step.args;
    if (step.then) step.then();
  }
}

}  // namespace
}  // namespace k7::apptest
