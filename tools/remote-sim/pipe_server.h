// The virtual receiver's pipe: a message-type named pipe server that keeps
// instances listening, sends each report to every connected client without
// letting one client hold up the others, and drops clients that have gone or
// stopped reading. Everything runs on the thread that owns the object: all
// overlapped operations are issued and cancelled there.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/remote-sim/command.h"

namespace k7::sim {

class PipeServer {
 public:
  // A client whose write has not completed after this long is dropped.
  static constexpr DWORD kWriteTimeoutMs = 1000;
  // Reports a client may leave unread before writes to it wait: the pipe's
  // outbound buffer holds this many.
  static constexpr DWORD kQueuedReports = 32;
  // Instances kept listening, so that a probe that connects and closes,
  // followed at once by the real open, still finds a free one.
  static constexpr size_t kListeners = 2;

  explicit PipeServer(std::string pipeName);
  ~PipeServer();
  PipeServer(const PipeServer&) = delete;
  PipeServer& operator=(const PipeServer&) = delete;

  // Creates the listening instances; true when already plugged. On failure
  // *error says why and nothing is left behind; *taken (may be null) tells
  // whether another server holds the name.
  bool Plug(std::string* error, bool* taken = nullptr);
  // Closes every instance, connected or listening: clients' reads fail with
  // ERROR_BROKEN_PIPE and the name no longer resolves.
  void Unplug();
  bool Plugged() const { return plugged_; }

  size_t Clients() const { return clients_.size(); }

  // Writes the report to every client connected now; returns how many took
  // it. Waits at most kWriteTimeoutMs, and only for clients whose buffer is
  // full. *writeQpc (may be null) gets the QueryPerformanceCounter value
  // taken just before the first WriteFile; with no client, the moment the
  // writes would have begun.
  int Send(const Report& report, LONGLONG* writeQpc = nullptr);
  // The same for one message of any size up to the instances' buffer.
  int Send(const uint8_t* bytes, DWORD size, LONGLONG* writeQpc = nullptr);

  // Serves connections and disconnections until wake is signalled (may be
  // null), timeoutMs have passed (INFINITE allowed) or done() holds (may be
  // empty); true when done() held.
  bool Pump(HANDLE wake, DWORD timeoutMs, const std::function<bool()>& done = {});

 private:
  struct Instance {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    OVERLAPPED ov{};  // ConnectNamedPipe on a listener, ReadFile on a client
    OVERLAPPED writeOv{};
    char readBuf[64] = {};
    bool connected = false;     // a client is (or was) on the other end
    bool opPending = false;     // ov is in use: issued, maybe completed, not yet collected
    bool writePending = false;  // the same for writeOv
    Instance() = default;
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    ~Instance();
  };
  using InstancePtr = std::unique_ptr<Instance>;

  // first: the instance that claims the name (none of another server may exist).
  InstancePtr NewInstance(std::string* error, bool first = false);
  // True when a pipe of our name exists that is not ours.
  bool NameTaken() const;
  // Issues ConnectNamedPipe; a client may already be there, connected or
  // gone. Returns false on an error that makes the instance useless.
  bool Listen(InstancePtr& listener);
  void Promote(InstancePtr instance);
  // Issues the client's next read, through which the server notices that the
  // client closed; false when the client has gone.
  bool ArmRead(Instance& client);
  void HandleEvents();
  void CloseInstance(InstancePtr instance, bool disconnect);

  std::string pipeName_;
  bool plugged_ = false;
  std::vector<InstancePtr> listeners_;
  std::vector<InstancePtr> clients_;
};

}  // namespace k7::sim
