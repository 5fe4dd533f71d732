// The receiver on the real system, and the reader thread that reads its
// input reports. Two kinds of receiver share everything but discovery: the
// USB HID device (K7F3.exe) and the named pipe of the virtual receiver
// (K7F3-sim.exe, see docs/VIRTUAL-RECEIVER.md).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "receiver/connection.h"
#include "receiver/report_route.h"

namespace k7 {

// The receiver's USB ids: a test id of the open pid.codes range, which none
// of Wine's virtual HID devices (vendor 0x845E) carries.
constexpr uint16_t kReceiverVendorId = 0x1209;
constexpr uint16_t kReceiverProductId = 0x0007;

constexpr char kReceiverPipeName[] = "\\\\.\\pipe\\K7F3-receiver";

enum class ReceiverKind { kHid, kPipe };

// Posted by the reader thread to its host window, so that it never waits on
// the user-interface thread.
constexpr UINT WM_K7_TRAYICON = WM_APP + 1;    // wParam: icon id
constexpr UINT WM_K7_MOUSETIMER = WM_APP + 2;  // restart timer 300
constexpr UINT WM_K7_LEARN = WM_APP + 3;       // wParam: code, lParam: marker
// lParam: a PressEvent made with new; the host owns it from then on.
constexpr UINT WM_K7_EVENT = WM_APP + 23;

class Win32Receiver : public IReceiver {
 public:
  // Each report is pressed through dispatcher on the reader thread; the
  // tray, the timer and learning are posted to the host window.
  Win32Receiver(ReceiverKind kind, Dispatcher& dispatcher, SharedFlags& flags)
      : kind_(kind), dispatcher_(dispatcher), flags_(flags) {}
  ~Win32Receiver() override;

  // Before the first reader starts.
  void SetHostWindow(HWND host) { host_ = host; }

  bool FindReceiver() override;
  void OpenReceiver() override;
  bool StartReader() override;
  bool StopReader(uint32_t waitMs) override;

  // True while a reader thread runs.
  bool ReaderRunning() const;

 private:
  class ReaderSink;

  bool FindHidReceiver();
  void FreeDetail();
  static DWORD WINAPI ReaderThreadProc(LPVOID self);
  DWORD ReadReports();
  // The next read; false when the receiver refused it (gone).
  bool IssueRead(std::vector<uint8_t>& buffer, DWORD length);
  // Skips the rest of a message longer than a report; false when gone.
  bool DropRestOfMessage();

  ReceiverKind kind_;
  Dispatcher& dispatcher_;
  SharedFlags& flags_;
  HWND host_ = nullptr;

  // Owned by the user-interface thread; the reader uses the device, the
  // OVERLAPPED and the events, which are replaced only after it has ended.
  // The interface found by FindReceiver (an SP_DEVICE_INTERFACE_DETAIL_DATA_A).
  void* m_pDeviceDetail = nullptr;
  // InputReportByteLength of the matched receiver; set by the poll, taken
  // once by each reader when it starts (a reader still running from before a
  // reconnection keeps the length its buffer was made for).
  std::atomic<uint16_t> m_nReportLength{kReportLen};
  HANDLE m_hDevice = INVALID_HANDLE_VALUE;
  HANDLE m_hReportEvent = nullptr;
  HANDLE m_hStopEvent = nullptr;
  OVERLAPPED m_ovReport{};
  HANDLE m_hReaderThread = nullptr;
};

}  // namespace k7
