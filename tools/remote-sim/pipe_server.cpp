#include "tools/remote-sim/pipe_server.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace k7::sim {
namespace {

// One wait can watch this many handles; further clients are looked at on a
// short timer instead.
constexpr size_t kMaxWaitHandles = MAXIMUM_WAIT_OBJECTS;
constexpr DWORD kOverflowPollMs = 50;

bool Signalled(HANDLE event) {
  return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

std::string LastErrorText(const char* what) {
  return std::string(what) + " (error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

PipeServer::Instance::~Instance() {
  if (pipe != INVALID_HANDLE_VALUE) CloseHandle(pipe);
  if (ov.hEvent != nullptr) CloseHandle(ov.hEvent);
  if (writeOv.hEvent != nullptr) CloseHandle(writeOv.hEvent);
}

PipeServer::PipeServer(std::string pipeName) : pipeName_(std::move(pipeName)) {}

PipeServer::~PipeServer() {
  Unplug();
}

PipeServer::InstancePtr PipeServer::NewInstance(std::string* error, bool first) {
  auto instance = std::make_unique<Instance>();
  instance->ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  instance->writeOv.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (instance->ov.hEvent == nullptr || instance->writeOv.hEvent == nullptr) {
    *error = LastErrorText("cannot create an event");
    return nullptr;
  }
  // Local clients only; the first instance fails where another server holds
  // the name (Windows; Wine 8 does not check, see Plug).
  instance->pipe = CreateNamedPipeA(
      pipeName_.c_str(),
      PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
      PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
      PIPE_UNLIMITED_INSTANCES, kQueuedReports * kReportSize, sizeof instance->readBuf, 0, nullptr);
  if (instance->pipe == INVALID_HANDLE_VALUE) {
    *error = LastErrorText("cannot create the pipe");
    return nullptr;
  }
  return instance;
}

bool PipeServer::Listen(InstancePtr& listener) {
  Instance& l = *listener;
  l.connected = false;
  for (int attempt = 0; attempt < 3; ++attempt) {
    ResetEvent(l.ov.hEvent);
    if (ConnectNamedPipe(l.pipe, &l.ov)) {
      l.connected = true;
      SetEvent(l.ov.hEvent);
      return true;
    }
    switch (GetLastError()) {
      case ERROR_IO_PENDING:
        l.opPending = true;
        return true;
      case ERROR_PIPE_CONNECTED:
        // A client came between creation and this call.
        l.connected = true;
        SetEvent(l.ov.hEvent);
        return true;
      case ERROR_NO_DATA:
        // A client came and has already closed: free the instance again.
        DisconnectNamedPipe(l.pipe);
        break;
      default:
        return false;
    }
  }
  return false;
}

bool PipeServer::NameTaken() const {
  // Any server of the name answers a probe, or is busy. With two servers a
  // client connects to either, and a server may be a stranger.
  HANDLE probe = CreateFileA(pipeName_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    return true;
  }
  return GetLastError() != ERROR_FILE_NOT_FOUND;
}

bool PipeServer::Plug(std::string* error, bool* taken) {
  if (taken != nullptr) *taken = false;
  if (plugged_) return true;
  // Wine does not enforce FILE_FLAG_FIRST_PIPE_INSTANCE: look first.
  if (NameTaken()) {
    if (taken != nullptr) *taken = true;
    *error = "another server holds " + pipeName_ + "; run one server at a time";
    return false;
  }
  for (size_t i = 0; i < kListeners; ++i) {
    InstancePtr listener = NewInstance(error, i == 0);
    if (listener == nullptr && i == 0 && GetLastError() == ERROR_ACCESS_DENIED) {
      if (taken != nullptr) *taken = true;
      *error = "another server holds " + pipeName_ + "; run one server at a time";
      return false;
    }
    if (listener == nullptr || !Listen(listener)) {
      if (listener != nullptr) *error = LastErrorText("cannot listen on the pipe");
      for (InstancePtr& l : listeners_) CloseInstance(std::move(l), false);
      listeners_.clear();
      return false;
    }
    listeners_.push_back(std::move(listener));
  }
  plugged_ = true;
  return true;
}

void PipeServer::Unplug() {
  plugged_ = false;
  // Closing without disconnecting: clients see ERROR_BROKEN_PIPE, as when
  // the receiver is pulled out.
  for (InstancePtr& l : listeners_) CloseInstance(std::move(l), false);
  listeners_.clear();
  for (InstancePtr& c : clients_) CloseInstance(std::move(c), false);
  clients_.clear();
}

bool PipeServer::ArmRead(Instance& client) {
  // The server never expects data; the read is there to learn at once that a
  // client has closed (it fails with ERROR_BROKEN_PIPE). What a client writes
  // is read and thrown away.
  ResetEvent(client.ov.hEvent);
  if (ReadFile(client.pipe, client.readBuf, sizeof client.readBuf, nullptr, &client.ov)) {
    // Completed already; the event is set, so the next round handles it.
    client.opPending = true;
    return true;
  }
  const DWORD error = GetLastError();
  client.opPending = error == ERROR_IO_PENDING || error == ERROR_MORE_DATA;
  return client.opPending;
}

void PipeServer::Promote(InstancePtr instance) {
  instance->connected = true;
  if (ArmRead(*instance)) {
    clients_.push_back(std::move(instance));
  } else {
    CloseInstance(std::move(instance), true);
  }
}

void PipeServer::CloseInstance(InstancePtr instance, bool disconnect) {
  if (instance == nullptr) return;
  Instance& i = *instance;
  if (i.opPending || i.writePending) {
    // Every operation on the instance was issued by this thread.
    CancelIo(i.pipe);
    DWORD n = 0;
    if (i.opPending) GetOverlappedResult(i.pipe, &i.ov, &n, TRUE);
    if (i.writePending) GetOverlappedResult(i.pipe, &i.writeOv, &n, TRUE);
    i.opPending = i.writePending = false;
  }
  if (disconnect && i.connected) DisconnectNamedPipe(i.pipe);
  CloseHandle(i.pipe);
  i.pipe = INVALID_HANDLE_VALUE;
}

void PipeServer::HandleEvents() {
  for (size_t i = 0; i < listeners_.size();) {
    Instance& l = *listeners_[i];
    if (!Signalled(l.ov.hEvent)) {
      ++i;
      continue;
    }
    bool connected = l.connected;
    if (l.opPending) {
      DWORD n = 0;
      connected = GetOverlappedResult(l.pipe, &l.ov, &n, FALSE) != FALSE;
      l.opPending = false;
    }
    if (!connected) {
      DisconnectNamedPipe(l.pipe);
      if (Listen(listeners_[i])) {
        ++i;
      } else {
        CloseInstance(std::move(listeners_[i]), false);
        listeners_.erase(listeners_.begin() + static_cast<std::ptrdiff_t>(i));
      }
      continue;
    }
    InstancePtr client = std::move(listeners_[i]);
    listeners_.erase(listeners_.begin() + static_cast<std::ptrdiff_t>(i));
    Promote(std::move(client));
  }
  // Always keep instances listening while plugged.
  while (plugged_ && listeners_.size() < kListeners) {
    std::string error;
    InstancePtr listener = NewInstance(&error);
    if (listener != nullptr && !Listen(listener))
      error = LastErrorText("cannot listen on the pipe");
    if (listener == nullptr || !error.empty()) {
      std::fprintf(stderr, "remote-sim: %s\n", error.c_str());
      CloseInstance(std::move(listener), false);
      break;
    }
    listeners_.push_back(std::move(listener));
  }

  for (size_t i = 0; i < clients_.size();) {
    Instance& c = *clients_[i];
    if (!c.opPending || !Signalled(c.ov.hEvent)) {
      ++i;
      continue;
    }
    DWORD n = 0;
    const bool ok =
        GetOverlappedResult(c.pipe, &c.ov, &n, FALSE) != FALSE || GetLastError() == ERROR_MORE_DATA;
    c.opPending = false;
    if (ok && ArmRead(c)) {
      ++i;
    } else {
      CloseInstance(std::move(clients_[i]), true);
      clients_.erase(clients_.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

int PipeServer::Send(const Report& report, LONGLONG* writeQpc) {
  return Send(report.data(), kReportSize, writeQpc);
}

int PipeServer::Send(const uint8_t* bytes, DWORD size, LONGLONG* writeQpc) {
  HandleEvents();
  int delivered = 0;
  std::vector<Instance*> failed;
  std::vector<Instance*> waiting;
  LARGE_INTEGER writing;
  QueryPerformanceCounter(&writing);
  for (InstancePtr& c : clients_) {
    ResetEvent(c->writeOv.hEvent);
    // After the ResetEvent, itself a round trip to the wineserver.
    if (c == clients_.front()) QueryPerformanceCounter(&writing);
    if (WriteFile(c->pipe, bytes, size, nullptr, &c->writeOv)) {
      ++delivered;
    } else if (GetLastError() == ERROR_IO_PENDING) {
      c->writePending = true;
      waiting.push_back(c.get());
    } else {
      failed.push_back(c.get());
    }
  }

  if (writeQpc != nullptr) *writeQpc = writing.QuadPart;

  const ULONGLONG deadline = GetTickCount64() + kWriteTimeoutMs;
  while (!waiting.empty()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    std::vector<HANDLE> events;
    for (size_t i = 0; i < waiting.size() && i < kMaxWaitHandles; ++i) {
      events.push_back(waiting[i]->writeOv.hEvent);
    }
    WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE,
                           static_cast<DWORD>(deadline - now));
    for (size_t i = 0; i < waiting.size();) {
      Instance& c = *waiting[i];
      if (!Signalled(c.writeOv.hEvent)) {
        ++i;
        continue;
      }
      DWORD n = 0;
      const bool ok = GetOverlappedResult(c.pipe, &c.writeOv, &n, FALSE) != FALSE;
      c.writePending = false;
      if (ok) {
        ++delivered;
      } else {
        failed.push_back(&c);
      }
      waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  for (Instance* c : waiting) {
    // Too slow: take the write back. It may have completed meanwhile.
    CancelIoEx(c->pipe, &c->writeOv);
    DWORD n = 0;
    const bool ok = GetOverlappedResult(c->pipe, &c->writeOv, &n, TRUE) != FALSE;
    c->writePending = false;
    if (ok) {
      ++delivered;
    } else {
      failed.push_back(c);
    }
  }

  for (Instance* gone : failed) {
    auto it = std::find_if(clients_.begin(), clients_.end(),
                           [gone](const InstancePtr& c) { return c.get() == gone; });
    CloseInstance(std::move(*it), true);
    clients_.erase(it);
  }
  return delivered;
}

bool PipeServer::Pump(HANDLE wake, DWORD timeoutMs, const std::function<bool()>& done) {
  const bool forever = timeoutMs == INFINITE;
  const ULONGLONG deadline = GetTickCount64() + (forever ? 0 : timeoutMs);
  for (;;) {
    HandleEvents();
    if (done && done()) return true;
    DWORD wait = INFINITE;
    if (!forever) {
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline) return false;
      wait = static_cast<DWORD>(deadline - now);
    }

    std::vector<HANDLE> handles;
    if (wake != nullptr) handles.push_back(wake);
    for (const InstancePtr& l : listeners_) handles.push_back(l->ov.hEvent);
    bool overflow = false;
    for (const InstancePtr& c : clients_) {
      if (!c->opPending) continue;
      if (handles.size() == kMaxWaitHandles) {
        overflow = true;
        break;
      }
      handles.push_back(c->ov.hEvent);
    }
    if (overflow || handles.empty()) wait = std::min(wait, kOverflowPollMs);

    if (handles.empty()) {
      Sleep(wait);
      continue;
    }
    const DWORD r =
        WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, wait);
    if (wake != nullptr && r == WAIT_OBJECT_0) {
      HandleEvents();
      return done && done();
    }
    if (r == WAIT_FAILED) Sleep(kOverflowPollMs);
  }
}

}  // namespace k7::sim
