#include "receiver/receiver_win32.h"

#include <windows.h>
#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
}

#include <algorithm>
#include <atomic>
#include <new>
#include <vector>

#include "osd/osd_win32.h"

namespace k7 {
namespace {

// Input reports the HID class driver keeps for the reader while a press is
// being handled; its default of 32 overflowed (the oldest reports lost) when
// reports came 10 ms apart for a second while presses took longer than that.
constexpr ULONG kHidInputBuffers = 128;

// Longer than any release time; short of INFINITE.
constexpr uint64_t kMaxWaitMs = 60000;

bool FindPipeReceiver() {
  // A probe that connects and closes at once; the server keeps another
  // instance listening. All instances busy still means a server is there.
  HANDLE probe = CreateFileA(kReceiverPipeName, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    return true;
  }
  return GetLastError() == ERROR_PIPE_BUSY;
}

void CloseIf(HANDLE& h) {
  if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  h = nullptr;
}

}  // namespace

void Win32Receiver::FreeDetail() {
  HeapFree(GetProcessHeap(), 0, m_pDeviceDetail);
  m_pDeviceDetail = nullptr;
}

bool Win32Receiver::FindHidReceiver() {
  GUID hidGuid;
  HidD_GetHidGuid(&hidGuid);
  HDEVINFO set =
      SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  for (DWORD index = 0; !found; ++index) {
    SP_DEVICE_INTERFACE_DATA data;
    data.cbSize = sizeof data;
    if (!SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, index, &data)) break;
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) continue;
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, required));
    if (detail == nullptr) continue;
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, nullptr)) {
      HeapFree(GetProcessHeap(), 0, detail);
      continue;
    }
    HANDLE probe =
        CreateFileA(detail->DevicePath, GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
      HIDD_ATTRIBUTES attributes;
      attributes.Size = sizeof attributes;
      if (HidD_GetAttributes(probe, &attributes) && attributes.VendorID == kReceiverVendorId &&
          attributes.ProductID == kReceiverProductId) {
        PHIDP_PREPARSED_DATA preparsed = nullptr;
        HIDP_CAPS caps{};
        if (HidD_GetPreparsedData(probe, &preparsed)) {
          HidP_GetCaps(preparsed, &caps);
          HidD_FreePreparsedData(preparsed);
        }
        m_nReportLength = static_cast<uint16_t>(caps.InputReportByteLength);
        m_pDeviceDetail = detail;
        detail = nullptr;
        found = true;
      }
      CloseHandle(probe);
    }
    if (detail != nullptr) HeapFree(GetProcessHeap(), 0, detail);
  }
  SetupDiDestroyDeviceInfoList(set);
  return found;
}

// Issues the next read of length bytes; false when the receiver refused it
// outright (gone), which ends the reader so that the poll can reconnect. A
// message longer than a report (pipe) completes at once with
// ERROR_MORE_DATA: issued, and the reader skips it.
bool Win32Receiver::IssueRead(std::vector<uint8_t>& buffer, DWORD length) {
  DWORD bytes = 0;
  if (ReadFile(m_hDevice, buffer.data(), length, &bytes, &m_ovReport)) return true;
  const DWORD error = GetLastError();
  return error == ERROR_IO_PENDING || error == ERROR_MORE_DATA;
}

// Reads and drops what is left of a message longer than a report; false when
// the receiver has gone meanwhile. The rest is already queued, so no read here
// waits for the sender.
bool Win32Receiver::DropRestOfMessage() {
  uint8_t rest[64];
  for (;;) {
    DWORD bytes = 0;
    ResetEvent(m_hReportEvent);
    BOOL ok = ReadFile(m_hDevice, rest, sizeof rest, &bytes, &m_ovReport);
    if (!ok && GetLastError() == ERROR_IO_PENDING) {
      ok = GetOverlappedResult(m_hDevice, &m_ovReport, &bytes, TRUE);
    }
    if (ok) return true;
    if (GetLastError() != ERROR_MORE_DATA) return false;
  }
}

// The reader's side of a report's effects: posted to the host window, the
// caption sent to the display (it waits until shown), the read re-armed here.
class Win32Receiver::ReaderSink : public IReportSink {
 public:
  ReaderSink(Win32Receiver& receiver, std::vector<uint8_t>& buffer, DWORD length)
      : receiver_(receiver), host_(receiver.host_), buffer_(buffer), length_(length) {}

  void SetTrayIcon(int iconId) override {
    PostMessageA(host_, WM_K7_TRAYICON, static_cast<WPARAM>(iconId), 0);
  }
  void LearnButton(int code, int marker) override {
    PostMessageA(host_, WM_K7_LEARN, static_cast<WPARAM>(code), marker);
  }
  void RestartMouseTimer() override { PostMessageA(host_, WM_K7_MOUSETIMER, 0, 0); }
  void ShowOsd(const Caption& caption) override {
    if (HWND osd = g_hOsdWnd) {
      SendMessageA(osd, WM_OSD_SHOW, 0, reinterpret_cast<LPARAM>(caption.text));
    }
  }
  void RearmRead() override {
    ResetEvent(receiver_.m_hReportEvent);
    readIssued_ = receiver_.IssueRead(buffer_, length_);
  }
  void RecordEvent(const PressEvent& event) override {
    // Stamped here with the time the report came (an action that fired on
    // its own: now), formatted and written by the host window's thread.
    auto* record = new (std::nothrow) PressEvent(event);
    if (record == nullptr) return;
    FILETIME utc = arrived_, local;
    if (event.fired) GetSystemTimeAsFileTime(&utc);
    SYSTEMTIME now{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &now)) {
      GetLocalTime(&now);
    }
    record->year = now.wYear;
    record->month = now.wMonth;
    record->day = now.wDay;
    record->hour = now.wHour;
    record->minute = now.wMinute;
    record->second = now.wSecond;
    record->millis = now.wMilliseconds;
    if (!PostMessageA(host_, WM_K7_EVENT, 0, reinterpret_cast<LPARAM>(record))) delete record;
  }

  bool readIssued_ = true;
  // When the report being handled came: the cheapest clock, taken for every
  // report; made local time only for a record.
  FILETIME arrived_{};

 private:
  Win32Receiver& receiver_;
  HWND host_;
  std::vector<uint8_t>& buffer_;
  DWORD length_;
};

DWORD WINAPI Win32Receiver::ReaderThreadProc(LPVOID self) {
  return static_cast<Win32Receiver*>(self)->ReadReports();
}

DWORD Win32Receiver::ReadReports() {
  // The receiver failed under the reader. Without this the poll would take a
  // receiver pulled out and plugged back within one period for still
  // connected, and never start another reader.
  auto receiverLost = [this] {
    flags_.bConnected = false;
    return DWORD{0};
  };
  // However the reader ends (stopped, receiver gone), a tap still pending
  // belongs to a press that cannot end normally: it is not sent.
  struct DropTapAtEnd {
    Dispatcher& dispatcher;
    ~DropTapAtEnd() { dispatcher.DropPendingTap(); }
  } dropTapAtEnd{dispatcher_};
  dispatcher_.DropPendingTap();
  // At least one whole report, and never less than the routing reads.
  const DWORD length = m_nReportLength.load();
  std::vector<uint8_t> buffer(std::max<size_t>(length, kReportLen), 0);
  ReaderSink sink(*this, buffer, length);
  if (!IssueRead(buffer, length)) return receiverLost();
  // Stop first: with both set the lower index wins, and reports that keep
  // coming faster than they are handled must not hold a stop off.
  const HANDLE waits[2] = {m_hStopEvent, m_hReportEvent};
  for (;;) {
    // A pending tap bounds the wait: it goes out once its press has had no
    // report for the release time. A report or a stop that comes first wins.
    DWORD timeout = INFINITE;
    if (dispatcher_.TapPending()) {
      const uint64_t now = GetTickCount64();
      const uint64_t due = dispatcher_.TapDueMs();
      timeout = due > now ? static_cast<DWORD>(std::min<uint64_t>(due - now, kMaxWaitMs)) : 0;
    }
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, timeout);
    if (woke == WAIT_TIMEOUT) {
      // Early by a tick of the clock at most: then the wait is made again.
      RouteReleaseTimeout(sink, flags_, dispatcher_, GetTickCount64());
      continue;
    }
    if (woke != WAIT_OBJECT_0 + 1) break;
    DWORD bytes = 0;
    GetSystemTimeAsFileTime(&sink.arrived_);
    if (!GetOverlappedResult(m_hDevice, &m_ovReport, &bytes, FALSE)) {
      if (GetLastError() == ERROR_MORE_DATA) {
        // Longer than any report (pipe): skip the whole message, keep the
        // connection.
        if (!DropRestOfMessage()) return receiverLost();
        sink.RearmRead();
        if (!sink.readIssued_) return receiverLost();
        continue;
      }
      if (GetLastError() == ERROR_IO_INCOMPLETE) {
        // Woken without a completed read: wait again, unless the read
        // completed between the check and the reset.
        ResetEvent(m_hReportEvent);
        if (HasOverlappedIoCompleted(&m_ovReport)) SetEvent(m_hReportEvent);
        continue;
      }
      return receiverLost();  // the receiver has gone: the poll reconnects it
    }
    if (bytes < kShortestReport) {
      // Nothing a button could have sent: skip it, do not hand on old bytes.
      RouteShortReport(sink, flags_, dispatcher_, buffer.data(), bytes);
    } else {
      RouteReport(sink, flags_, dispatcher_, buffer.data(), GetTickCount64());
    }
    if (!sink.readIssued_) return receiverLost();
  }
  // Stopped: the read in flight must not write into the buffer once it is gone.
  CancelIo(m_hDevice);
  DWORD bytes = 0;
  GetOverlappedResult(m_hDevice, &m_ovReport, &bytes, TRUE);
  return 0;
}

Win32Receiver::~Win32Receiver() {
  // The exit has ended the process already if a reader was stuck in a press.
  StopReader(kReaderStopWaitMs);
}

bool Win32Receiver::FindReceiver() {
  FreeDetail();
  if (kind_ == ReceiverKind::kPipe) {
    m_nReportLength = kReportLen;
    return FindPipeReceiver();
  }
  return FindHidReceiver();
}

void Win32Receiver::OpenReceiver() {
  // Only after the reader has ended: it no longer uses the old handle.
  if (m_hReaderThread != nullptr) return;
  if (m_hDevice != INVALID_HANDLE_VALUE) CloseHandle(m_hDevice);
  const char* path =
      kind_ == ReceiverKind::kPipe
          ? kReceiverPipeName
          : (m_pDeviceDetail != nullptr
                 ? static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(m_pDeviceDetail)->DevicePath
                 : "");
  // Whoever serves the pipe may identify this process but never act as it.
  const DWORD flags =
      FILE_FLAG_OVERLAPPED |
      (kind_ == ReceiverKind::kPipe ? SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION : 0);
  auto open = [&] {
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, flags, nullptr);
  };
  m_hDevice = open();
  if (m_hDevice == INVALID_HANDLE_VALUE && kind_ == ReceiverKind::kPipe &&
      GetLastError() == ERROR_PIPE_BUSY && WaitNamedPipeA(path, 1000)) {
    m_hDevice = open();  // every instance was taken a moment ago
  }
  if (kind_ == ReceiverKind::kPipe && m_hDevice != INVALID_HANDLE_VALUE) {
    // One read, one report: without message mode a read merges queued ones.
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(m_hDevice, &mode, nullptr, nullptr);
  }
  if (kind_ == ReceiverKind::kHid && m_hDevice != INVALID_HANDLE_VALUE) {
    HidD_SetNumInputBuffers(m_hDevice, kHidInputBuffers);  // the default stays if refused
  }
  FreeDetail();
}

bool Win32Receiver::StartReader() {
  if (m_hReaderThread != nullptr) return false;  // the previous one has not ended
  CloseIf(m_hReportEvent);
  CloseIf(m_hStopEvent);
  // Unnamed: no other process can signal or reset them.
  m_hReportEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  m_hStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ZeroMemory(&m_ovReport, sizeof m_ovReport);
  m_ovReport.hEvent = m_hReportEvent;
  if (m_hReportEvent == nullptr || m_hStopEvent == nullptr) return false;
  m_hReaderThread = CreateThread(nullptr, 0, ReaderThreadProc, this, 0, nullptr);
  return m_hReaderThread != nullptr;
}

bool Win32Receiver::StopReader(uint32_t waitMs) {
  if (m_hReaderThread == nullptr) return true;
  // It stays set: a reader busy in a press ends as soon as the press is over.
  SetEvent(m_hStopEvent);
  if (WaitForSingleObject(m_hReaderThread, waitMs) != WAIT_OBJECT_0) {
    // Still busy: its handles, the device and its buffer stay as they are
    // until it has ended.
    return false;
  }
  CloseIf(m_hReaderThread);
  CloseIf(m_hReportEvent);
  CloseIf(m_hStopEvent);
  return true;
}

bool Win32Receiver::ReaderRunning() const {
  return m_hReaderThread != nullptr && WaitForSingleObject(m_hReaderThread, 0) == WAIT_TIMEOUT;
}

}  // namespace k7
