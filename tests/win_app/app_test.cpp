#include "app_test.h"

#include <cstdio>
#include <iostream>

namespace k7::apptest {
namespace {

// The program injects with no extra info; the harness tags its own events.
bool FromProgram(const harness::HookEvent& e) {
  return e.Injected() && e.extraInfo != harness::kHarnessExtraInfo;
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const Key& k) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "{vk=0x%02X %s}", k.vk, k.up ? "up" : "down");
  return os << buf;
}

harness::RemoteSim& AppTest::StartSim(const std::string& args) {
  sim_ = std::make_unique<harness::RemoteSim>(K7_REMOTE_SIM_PATH, args);
  EXPECT_EQ(sim_->Send("sleep 0"), "ok");
  return *sim_;
}

harness::Program& AppTest::MakeProgram(harness::ProgramKind kind) {
  program_ = std::make_unique<harness::Program>(scratch_.Path(), kind);
  return *program_;
}

harness::Program& AppTest::StartConnected() {
  if (sim_ == nullptr) StartSim();
  harness::Program& program = MakeProgram(harness::ProgramKind::kSim);
  program.Start();
  EXPECT_TRUE(program.WaitReady(harness::kStartMs)) << "start-up did not finish";
  EXPECT_TRUE(WaitConnected(harness::kStartMs)) << "the program never connected to the receiver";
  EXPECT_EQ(program.Notice(), nullptr) << "receiver-missing notice with the receiver plugged in";
  return program;
}

bool AppTest::WaitConnected(DWORD timeoutMs) {
  int seen = 0;
  return harness::WaitUntil(
      [&] {
        seen = sim_->Send("wait-client 0") == "ok clients=1" ? seen + 1 : 0;
        return seen >= 3;
      },
      timeoutMs, 20);
}

harness::TargetApp& AppTest::Front(const std::string& exeName) {
  target_ = std::make_unique<harness::TargetApp>(scratch_, exeName);
  EXPECT_TRUE(target_->RequestForeground()) << exeName << " did not come to the front";
  return *target_;
}

std::vector<Key> AppTest::InjectedKeys() {
  std::vector<Key> keys;
  for (const harness::HookEvent& e : recorder_->Keys()) {
    if (FromProgram(e)) keys.push_back({e.vkCode, e.KeyUp()});
  }
  return keys;
}

std::vector<harness::HookEvent> AppTest::InjectedMice() {
  std::vector<harness::HookEvent> mice;
  for (const harness::HookEvent& e : recorder_->Mice()) {
    if (FromProgram(e)) mice.push_back(e);
  }
  return mice;
}

bool AppTest::WaitForKeys(size_t n, DWORD timeoutMs) {
  return recorder_->WaitFor(
      [n](const std::vector<harness::HookEvent>& events) {
        size_t keys = 0;
        for (const harness::HookEvent& e : events) keys += e.IsKey() && FromProgram(e);
        return keys >= n;
      },
      timeoutMs);
}

void AppTest::Press(unsigned code, unsigned repeat) {
  EXPECT_EQ(sim_->Press(code, repeat), 1) << "press 0x" << std::hex << code;
}

}  // namespace k7::apptest
