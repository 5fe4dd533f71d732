#include "win_test.h"

#include <cstdio>
#include <iostream>

#include "base/text.h"
#include "harness/program_test.h"
#include "profiles/ini_paths.h"

namespace k7::wintest {
namespace {

void ResetCore() {
  g_szCtrlIniPath[0] = '\0';
  g_szUserDefIniPath[0] = '\0';
  g_szUserDefInfIniPath[0] = '\0';
}

}  // namespace

WinTest::WinTest() : scratch_(harness::CurrentTestName()) {}

void WinTest::SetUp() {
  ResetCore();
  harness::ReleaseModifiers();
  // Absolute paths: a bare name would resolve to the Windows directory.
  CopyBounded(g_szCtrlIniPath, scratch_.File(kCtrlIni).c_str());
  CopyBounded(g_szUserDefIniPath, scratch_.File(kUserDefIni).c_str());
  CopyBounded(g_szUserDefInfIniPath, scratch_.File(kUserDefInfIni).c_str());
}

void WinTest::TearDown() {
  harness::ReleaseModifiers();
  ResetCore();
  if (HasFailure()) {
    scratch_.Keep();
    std::cout << "scratch directory kept: " << scratch_.Path() << std::endl;
  }
}

std::ostream& operator<<(std::ostream& os, const Stroke& s) {
  char buf[80];
  std::snprintf(buf, sizeof buf, "{vk=0x%02X %s scan=0x%02X%s%s}", s.vk, s.up ? "up" : "down",
                s.scan, s.extended ? " extended" : "", s.injected ? " injected" : "");
  return os << buf;
}

std::vector<Stroke> StrokesOf(const std::vector<harness::HookEvent>& keys) {
  std::vector<Stroke> out;
  for (const harness::HookEvent& e : keys) {
    const bool upMessage = e.message == WM_KEYUP || e.message == WM_SYSKEYUP;
    EXPECT_EQ(upMessage, e.KeyUp()) << "message and LLKHF_UP disagree: " << e;
    out.push_back({e.vkCode, e.KeyUp(), e.scanCode, e.Extended(), e.Injected()});
  }
  return out;
}

}  // namespace k7::wintest
