// Fixture of the tests of the whole program under Wine: a copy of the program
// in a fresh scratch directory, the virtual receiver, a target window in
// front, and the input the program injects as the low-level hooks see it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "harness/program.h"
#include "harness/program_test.h"
#include "harness/remote_sim_driver.h"

namespace k7::apptest {

// Codes of the remote, with what the built-in "WinDVD" profile makes of them.
constexpr unsigned kCodePageDown = 0x02;  // slot 28, "1-PGDOWN"
constexpr unsigned kCodeX = 0x5C;         // slot 1, "0-X"
constexpr unsigned kCodeRight = 0x41;     // slot 19 "1-RIGHT"; a move right in mouse mode
constexpr unsigned kCodeMouseToggle = 0x47;
constexpr unsigned kCodeClick = 0x45;

// One key event the program injected: what a test states.
struct Key {
  unsigned vk;
  bool up;
  bool operator==(const Key&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Key& k);
inline Key Down(unsigned vk) {
  return {vk, false};
}
inline Key Up(unsigned vk) {
  return {vk, true};
}

class AppTest : public harness::ProgramTest {
 protected:
  // Starts remote-sim, plugged in, and waits until it takes commands.
  harness::RemoteSim& StartSim(const std::string& args = "");
  // Copies the program into the scratch directory; does not start it.
  harness::Program& MakeProgram(harness::ProgramKind kind = harness::ProgramKind::kSim);
  // The sim variant with the receiver plugged in: started, its start-up done
  // and its reader connected to the simulator.
  harness::Program& StartConnected();
  // Waits until the simulator counts exactly one client for a while (the
  // program's discovery probe comes and goes; its reader stays).
  bool WaitConnected(DWORD timeoutMs = harness::kWaitMs);
  // A target window under exeName, in front with the keyboard focus.
  harness::TargetApp& Front(const std::string& exeName);

  // The keys and mouse events the program injected so far (the harness's own
  // events and markers left out); Flush first to have all of them.
  std::vector<Key> InjectedKeys();
  std::vector<harness::HookEvent> InjectedMice();
  // Waits until the program has injected n keys; false on timeout.
  bool WaitForKeys(size_t n, DWORD timeoutMs = harness::kWaitMs);
  // Presses a code and expects the simulator to deliver it to one client.
  void Press(unsigned code, unsigned repeat = 0);
};

}  // namespace k7::apptest
