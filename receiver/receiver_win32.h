// The receiver on the real system, and the reader thread that reads its
// input reports. Two kinds of receiver share everything but discovery: the
// USB HID device (K7F3.exe) and the named pipe of the virtual receiver
// (K7F3-sim.exe, see docs/VIRTUAL-RECEIVER.md).
#pragma once

#include <cstdint>

#include "receiver/connection.h"
#include "receiver/report_route.h"

namespace k7 {

// The receiver's USB ids: a test id of the open pid.codes range, which none
// of Wine's virtual HID devices (vendor 0x845E) carries.
constexpr uint16_t kReceiverVendorId = 0x1209;
constexpr uint16_t kReceiverProductId = 0x0007;

constexpr char kReceiverPipeName[] = "\\\\.\\pipe\\K7F3-receiver";

enum class ReceiverKind { kHid, kPipe };

class Win32Receiver : public IReceiver {
 public:
  // host receives every effect of a report but the re-arming of the read,
  // which the reader does itself; it is called on the reader thread.
  Win32Receiver(ReceiverKind kind, IReportSink& host) : kind_(kind), host_(host) {}
  ~Win32Receiver() override;

  bool FindReceiver() override;
  void OpenReceiver() override;
  void StartReader() override;
  void StopReader() override;

  // True while a reader thread runs (for tests and the soak benchmark).
  bool ReaderRunning() const;

 private:
  ReceiverKind kind_;
  IReportSink& host_;
};

}  // namespace k7
