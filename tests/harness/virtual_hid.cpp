#include "harness/virtual_hid.h"

#include <stdexcept>

namespace k7::harness {
namespace {

// A command line: the name, then each number (in hex when wide).
std::string Line(const char* name, const std::vector<unsigned>& numbers) {
  std::string line = name;
  for (unsigned n : numbers) {
    char buf[16];
    wsprintfA(buf, n > 255 ? " 0x%04X" : " %u", n);
    line.append(buf);
  }
  return line;
}

std::string Expect(const std::string& command, const std::string& answer) {
  if (answer.compare(0, 2, "ok") != 0) {
    throw std::runtime_error("vhid-ctl: \"" + command + "\" -> " + answer);
  }
  return answer;
}

unsigned Queued(const std::string& answer) {
  const size_t at = answer.find("queued=");
  return at == std::string::npos ? 0 : static_cast<unsigned>(std::stoul(answer.substr(at + 7)));
}

}  // namespace

VirtualHid::VirtualHid() : ctl_(std::make_unique<RemoteSim>(K7_VHID_CTL_PATH, "serve")) {
  std::string answer;
  try {
    answer = ctl_->Send("sleep 0", 15000);
  } catch (const std::runtime_error&) {
    DWORD code = 0;
    if (ctl_->WaitForExit(0, &code)) {
      throw std::runtime_error("vhid-ctl serve exited with code " + std::to_string(code) +
                               ": the virtual HID bus is not installed (VirtualHid.Install)");
    }
    throw;
  }
  Expect("sleep 0", answer);
}

VirtualHid::~VirtualHid() {
  // Unplugging waits for each removal: give it the time.
  ctl_->CloseInput();
  ctl_->WaitForExit(15000);
}

std::string VirtualHid::Command(const std::string& line) {
  return ctl_->Send(line, 15000);
}

void VirtualHid::Plug(const HidDevice& d) {
  std::string line =
      Line("plug", {d.slot, d.vendor, d.product, d.inputLength, d.reportId}).append(" ");
  line.append(d.name);
  Expect(line, Command(line));
}

unsigned VirtualHid::Send(unsigned slot, const std::vector<uint8_t>& report) {
  std::vector<unsigned> numbers{slot};
  numbers.insert(numbers.end(), report.begin(), report.end());
  const std::string line = Line("send", numbers);
  return Queued(Expect(line, Command(line)));
}

unsigned VirtualHid::Press(unsigned slot, unsigned code, unsigned repeat) {
  const std::string line = Line("press", {slot, code, repeat});
  return Queued(Expect(line, Command(line)));
}

unsigned VirtualHid::Unplug(unsigned slot) {
  const std::string line = Line("unplug", {slot});
  const std::string answer = Expect(line, Command(line));
  const size_t at = answer.find("ms=");
  return at == std::string::npos ? 0 : static_cast<unsigned>(std::stoul(answer.substr(at + 3)));
}

void VirtualHid::Batch(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all.append(line).append("\n");
  ctl_->Write(all);
  for (const std::string& line : lines) {
    const auto answer = ctl_->ReadLine(15000);
    if (!answer) throw std::runtime_error("vhid-ctl: no answer to \"" + line + "\"");
    Expect(line, *answer);
  }
}

}  // namespace k7::harness
