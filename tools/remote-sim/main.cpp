// remote-sim: the virtual receiver. Serves \\.\pipe\K7F3-receiver and sends
// the input reports that the commands on standard input ask for, one answer
// line per command. See docs/VIRTUAL-RECEIVER.md.
#include <windows.h>

#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "tools/remote-sim/command.h"
#include "tools/remote-sim/pipe_server.h"

namespace k7::sim {
namespace {

// Lines of standard input, read on a thread of their own: a pipe or console
// handle cannot be waited on together with the pipe instances.
class InputLines {
 public:
  InputLines() : ready_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
  ~InputLines() {
    if (thread_.joinable()) thread_.join();
    CloseHandle(ready_);
  }
  InputLines(const InputLines&) = delete;
  InputLines& operator=(const InputLines&) = delete;

  void Start() {
    thread_ = std::thread([this] { Run(); });
  }
  // Signalled whenever a line (or the end) has been queued.
  HANDLE Ready() const { return ready_; }

  enum class Take { kNone, kLine, kEnd };
  Take Next(std::string* line) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!lines_.empty()) {
      *line = std::move(lines_.front());
      lines_.pop_front();
      return Take::kLine;
    }
    return ended_ ? Take::kEnd : Take::kNone;
  }

 private:
  void Run() {
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    LineSplitter splitter;
    char buf[4096];
    DWORD n = 0;
    while (in != nullptr && in != INVALID_HANDLE_VALUE &&
           ReadFile(in, buf, sizeof buf, &n, nullptr) && n > 0) {
      splitter.Feed(std::string_view(buf, n));
      while (std::optional<std::string> line = splitter.Next()) Push(std::move(*line));
    }
    if (std::optional<std::string> last = splitter.Rest()) Push(std::move(*last));
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    SetEvent(ready_);
  }

  void Push(std::string line) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(std::move(line));
    SetEvent(ready_);
  }

  HANDLE ready_;
  std::thread thread_;
  std::mutex mutex_;
  std::deque<std::string> lines_;
  bool ended_ = false;
};

// One line at once, unbuffered: whoever drives us waits for it.
void Answer(const std::string& text) {
  const std::string line = text + "\r\n";
  DWORD n = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &n,
            nullptr);
}

std::string Execute(PipeServer& server, const Options& options, const Command& command) {
  switch (command.verb) {
    case Verb::kPress:
    case Verb::kRaw: {
      LONGLONG written = 0;
      std::string answer = "ok sent=" + std::to_string(server.Send(command.report, &written));
      if (options.stamp) answer += " qpc=" + std::to_string(written);
      return answer;
    }
    case Verb::kMessage:
      return "ok sent=" + std::to_string(server.Send(command.message.data(),
                                                     static_cast<DWORD>(command.message.size())));
    case Verb::kWaitClient:
      if (server.Pump(nullptr, command.ms, [&] { return server.Clients() > 0; })) {
        return "ok clients=" + std::to_string(server.Clients());
      }
      return "error: no client within " + std::to_string(command.ms) + " ms";
    case Verb::kSleep:
      server.Pump(nullptr, command.ms);
      return "ok";
    case Verb::kUnplug:
      server.Unplug();
      return "ok";
    case Verb::kPlug: {
      std::string error;
      return server.Plug(&error) ? "ok" : "error: " + error;
    }
  }
  return "error: unhandled command";
}

int Run(int argc, char** argv) {
  std::string error;
  const std::optional<Options> options = ParseOptions(argc - 1, argv + 1, &error);
  if (!options) {
    std::fprintf(stderr, "remote-sim: %s\n", error.c_str());
    return 2;
  }
  PipeServer server(kPipeName);
  bool taken = false;
  if (!options->unplugged && !server.Plug(&error, &taken)) {
    std::fprintf(stderr, "remote-sim: %s\n", error.c_str());
    return taken ? 3 : 1;
  }

  InputLines input;
  input.Start();
  for (;;) {
    std::string line;
    const InputLines::Take take = input.Next(&line);
    if (take == InputLines::Take::kEnd) break;
    if (take == InputLines::Take::kNone) {
      server.Pump(input.Ready(), INFINITE);
      continue;
    }
    const ParsedLine parsed = ParseLine(line);
    switch (parsed.kind) {
      case ParsedLine::Kind::kSilent:
        break;
      case ParsedLine::Kind::kError:
        Answer("error: " + parsed.error);
        break;
      case ParsedLine::Kind::kCommand:
        Answer(Execute(server, *options, parsed.command));
        break;
    }
  }
  server.Unplug();
  return 0;
}

}  // namespace
}  // namespace k7::sim

int main(int argc, char** argv) {
  return k7::sim::Run(argc, argv);
}
