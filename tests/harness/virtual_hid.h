// Driving tools/virtual-hid (the virtual USB receiver) from a test: its
// controller, vhid-ctl.exe serve, started with pipes on its standard input
// and output, one command line in, one answer line out. The bus driver must
// be installed in the prefix (the VirtualHid.Install test does that). See
// tools/virtual-hid/README.md.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "harness/common.h"
#include "harness/remote_sim_driver.h"

namespace k7::harness {

// One device to plug in; by default the receiver the program looks for.
struct HidDevice {
  unsigned slot = 0;  // 0 to 7: several devices may be plugged at once
  uint16_t vendor = 0x1209;
  uint16_t product = 0x0007;
  // InputReportByteLength as HidP_GetCaps gives it: byte 0 included.
  unsigned inputLength = 8;
  // The report id the descriptor declares; 0 for none.
  unsigned reportId = 0;
  std::string name = "Virtual receiver";
};

class VirtualHid {
 public:
  // Starts the controller; throws when it does not take commands (the bus is
  // not installed, or it cannot start).
  VirtualHid();
  // Ends its input: it unplugs what is still plugged in and exits.
  ~VirtualHid();
  VirtualHid(const VirtualHid&) = delete;
  VirtualHid& operator=(const VirtualHid&) = delete;

  // Each throws std::runtime_error with the controller's answer when it fails.
  void Plug(const HidDevice& device);
  // A report as the program reads it: byte 0 is the report id (or 0); padded
  // with zeros to the device's length. Returns how many reports wait in the
  // device for the HID class driver's next read.
  unsigned Send(unsigned slot, const std::vector<uint8_t>& report);
  // A button: code, marker 0x7F, repeat flag.
  unsigned Press(unsigned slot, unsigned code, unsigned repeat = 0);
  // Returns once the device is gone; the milliseconds that took.
  unsigned Unplug(unsigned slot);

  // Any command and its answer line, for what the calls above do not cover.
  std::string Command(const std::string& line);
  // Sends several commands at once and then reads their answers: reports
  // back to back. Throws when an answer is not "ok...".
  void Batch(const std::vector<std::string>& lines);

 private:
  std::unique_ptr<RemoteSim> ctl_;  // any line-driven console program
};

}  // namespace k7::harness
