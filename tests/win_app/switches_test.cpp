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
    DWORD code = 999;
    EXPECT_TRUE(StartWith(args).WaitForExit(30000, &code)) << args << " still runs";
    return code;
  }
};

TEST_F(ProgramSwitches, EachSwitchWithNoCopyRunningThenAgainstTheRunningCopy) {
  StartSim();
  harness::Program& program = MakeProgram();

  // "/?" lists them in a box that does not pass for a running copy.
  harness::Process help = StartWith("/?");
  HWND box = nullptr;
  ASSERT_TRUE(harness::WaitUntil([&] {
    const auto found = harness::ProcessWindows(help.Id(), kSwitchHelpTitle, "#32770");
    box = found.empty() || !IsWindowVisible(found.front()) ? nullptr : found.front();
    return box != nullptr;
  })) << "no list of the switches";
  char text[1024] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text control
  EXPECT_NE(std::string(text).find("/status"), std::string::npos) << text;
  EXPECT_EQ(Run("/status"), 1u);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  DWORD code = 999;
  EXPECT_TRUE(help.WaitForExit(harness::kWaitMs, &code) && code == 0) << code;

  for (const char* args : {"/exit", "/reload", "/disable", "/enable", "/events", "-STATUS"}) {
    EXPECT_EQ(Run(args), 1u) << args << " with no copy running";
  }
  EXPECT_EQ(Run("/start"), 2u);
  // A copy with more rights than ours: its mutex refuses us.
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, FALSE};
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
      "O:SYD:(A;;0x1F0001;;;SY)", SDDL_REVISION_1, &sa.lpSecurityDescriptor, nullptr));
  HANDLE refusing = CreateMutexA(&sa, TRUE, kSessionMutexName);
  LocalFree(sa.lpSecurityDescriptor);
  ASSERT_NE(refusing, nullptr);
  EXPECT_EQ(Run("/status"), 5u);
  CloseHandle(refusing);

  // None of those starts runs on as a copy, or this one would end at once.
  program.Start();
  ASSERT_TRUE(program.WaitReady(harness::kStartMs));
  ASSERT_TRUE(WaitConnected(harness::kStartMs));
  const struct {
    const char* args;
    DWORD code;
    std::function<void()> then;
  } steps[] = {
      {"/status", 0, nullptr},
      {"/disable", 0, nullptr},
      {"/Status", 3, nullptr},
      {"/enable", 0, nullptr},
      {"/status", 0, nullptr},
      {"-disable", 0, nullptr},
      {"/reload", 0, nullptr},  // which enables too
      {"/status", 0,
       [&] {
         // The poll sees the receiver gone within a second.
         ASSERT_EQ(sim_->Send("unplug"), "ok");
         EXPECT_TRUE(harness::WaitUntil([&] { return Run("/status") == 4; }, 10000, 100));
         ASSERT_EQ(sim_->Send("plug"), "ok");
       }},
      {"/reload", 0, nullptr},
      {"/events", 0, nullptr},
      {"/enable /exit", 2, [&] { EXPECT_TRUE(program.Running()); }},
      {"/EXIT", 0,
       [&] {
         // Ended, through the tray's Exit, by the time the start returned.
         EXPECT_TRUE(program.WaitForExit(0, &code) && code == 0) << code;
       }},
      {"/status", 1, nullptr},
  };
  for (const auto& step : steps) {
    ASSERT_EQ(Run(step.args), step.code) << step.args;
    if (step.then) step.then();
  }
}

}  // namespace
}  // namespace k7::apptest
