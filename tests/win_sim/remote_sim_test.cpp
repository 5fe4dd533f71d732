// remote-sim.exe under Wine, seen from clients that open and read the
// receiver pipe exactly as the program does.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "harness/common.h"
#include "harness/remote_sim_driver.h"

namespace k7::wintest {
namespace {

using harness::RemoteSim;
using Report = std::array<uint8_t, 8>;

constexpr char kPipe[] = "\\\\.\\pipe\\K7F3-receiver";

LONGLONG Qpc() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

// One reader of the receiver pipe, opened and read as the program does.
class Client {
 public:
  // nullptr when CreateFileA fails; its error goes to *error.
  static std::unique_ptr<Client> Open(DWORD* error = nullptr) {
    HANDLE h = CreateFileA(kPipe, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
    if (error != nullptr) *error = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    DWORD mode = PIPE_READMODE_MESSAGE;
    EXPECT_TRUE(SetNamedPipeHandleState(h, &mode, nullptr, nullptr)) << GetLastError();
    return std::unique_ptr<Client>(new Client(h));
  }
  ~Client() {
    CloseHandle(pipe_);
    CloseHandle(event_);
  }

  struct Read {
    bool timedOut = false;
    DWORD error = 0;  // 0 when a report came; ERROR_OPERATION_ABORTED on a timeout
    DWORD bytes = 0;
    Report data{};
    LONGLONG doneQpc = 0;  // QueryPerformanceCounter once the read had completed
  };

  // One overlapped read of one report, as the program's reader issues it.
  Read ReadReport(DWORD timeoutMs = harness::kWaitMs) {
    Read r;
    OVERLAPPED ov{};
    ov.hEvent = event_;
    ResetEvent(event_);
    // Queued data completes the read at once (TRUE, event set); else it pends.
    if (!ReadFile(pipe_, r.data.data(), static_cast<DWORD>(r.data.size()), nullptr, &ov) &&
        GetLastError() != ERROR_IO_PENDING) {
      r.error = GetLastError();
      return r;
    }
    if (WaitForSingleObject(event_, timeoutMs) != WAIT_OBJECT_0) CancelIo(pipe_);
    // A report may still have come just before the cancel.
    if (!GetOverlappedResult(pipe_, &ov, &r.bytes, TRUE)) {
      r.error = GetLastError();
      r.timedOut = r.error == ERROR_OPERATION_ABORTED;
    }
    r.doneQpc = Qpc();
    return r;
  }

  // Expects the next read to bring exactly this report.
  void Expect(const Report& want, const char* what) {
    const Read r = ReadReport();
    ASSERT_FALSE(r.timedOut) << what << ": no report";
    ASSERT_EQ(r.error, 0u) << what;
    EXPECT_EQ(r.bytes, 8u) << what;
    EXPECT_EQ(r.data, want) << what;
  }

  // Expects that no report is waiting (a read pends for a while).
  void ExpectNothing(DWORD forMs = 200) {
    const Read r = ReadReport(forMs);
    EXPECT_TRUE(r.timedOut) << "unexpected report, byte 1 = " << int{r.data[1]} << ", error "
                            << r.error;
  }

 private:
  explicit Client(HANDLE h) : pipe_(h), event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  HANDLE pipe_;
  HANDLE event_;
};

// A read issued on another thread; it is pending once this returns.
std::future<Client::Read> ReadLater(Client& client) {
  std::future<Client::Read> f =
      std::async(std::launch::async, [&client] { return client.ReadReport(); });
  // The thread has issued its read by then; nothing is queued, so it pends.
  Sleep(100);
  return f;
}

Report Press(uint8_t code, uint8_t repeat = 0) {
  return {0, code, 0x7F, repeat, 0, 0, 0, 0};
}

class RemoteSimTest : public ::testing::Test {
 protected:
  // Starts the simulator and waits until it takes commands.
  std::unique_ptr<RemoteSim> Start(const std::string& args = "") {
    auto sim = std::make_unique<RemoteSim>(K7_REMOTE_SIM_PATH, args);
    EXPECT_EQ(sim->Send("sleep 0"), "ok");
    return sim;
  }
  // Opens a client and waits until the simulator counts it.
  std::unique_ptr<Client> Connect(RemoteSim& sim, size_t expectClients) {
    DWORD error = 0;
    std::unique_ptr<Client> c = Client::Open(&error);
    EXPECT_NE(c, nullptr) << "CreateFileA failed with " << error;
    const std::string want = std::string("ok clients=").append(std::to_string(expectClients));
    EXPECT_TRUE(harness::WaitUntil([&] { return sim.Send("wait-client 0") == want; }))
        << "simulator never counted " << expectClients << " clients";
    return c;
  }
};

TEST_F(RemoteSimTest, ReportsArriveWholeAndInOrderOnePerRead) {
  auto sim = Start();
  auto client = Connect(*sim, 1);
  ASSERT_NE(client, nullptr);
  // Queued before the first read: message mode keeps them apart.
  EXPECT_EQ(sim->Send("press 0x41"), "ok sent=1");
  EXPECT_EQ(sim->Send("press 66 1"), "ok sent=1");
  EXPECT_EQ(sim->Send("raw 1 2 3 4 5 6 7"), "ok sent=1");
  EXPECT_EQ(sim->Send("raw 0x10 0x7F 0"), "ok sent=1");
  EXPECT_EQ(sim->Send("press 0 0xFF"), "ok sent=1");
  client->Expect(Press(0x41), "first");
  client->Expect(Press(66, 1), "second");
  client->Expect({0, 1, 2, 3, 4, 5, 6, 7}, "raw, all bytes");
  client->Expect({0, 0x10, 0x7F, 0, 0, 0, 0, 0}, "raw, short");
  client->Expect(Press(0, 0xFF), "last");
  client->ExpectNothing();

  // A read already pending when the report is sent completes with it.
  std::future<Client::Read> pending = ReadLater(*client);
  EXPECT_EQ(sim->Send("press 0x22"), "ok sent=1");
  ASSERT_EQ(pending.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  const Client::Read r = pending.get();
  EXPECT_EQ(r.error, 0u);
  EXPECT_EQ(r.data, Press(0x22));
}

TEST_F(RemoteSimTest, EveryConnectedClientGetsEachReport) {
  auto sim = Start();
  std::vector<std::unique_ptr<Client>> clients;
  for (size_t n = 1; n <= 3; ++n) clients.push_back(Connect(*sim, n));
  EXPECT_EQ(sim->Press(0x30), 3);
  EXPECT_EQ(sim->Press(0x31, 1), 3);
  for (auto& c : clients) {
    c->Expect(Press(0x30), "first");
    c->Expect(Press(0x31, 1), "second");
  }
  // One goes: the others still get everything, and the count says so.
  clients.erase(clients.begin() + 1);
  EXPECT_EQ(sim->Press(0x32), 2);
  for (auto& c : clients) c->Expect(Press(0x32), "after one left");
  EXPECT_EQ(sim->Send("wait-client 0"), "ok clients=2");
}

TEST_F(RemoteSimTest, ProbesThatConnectAndCloseAtOnceDoNotDisturb) {
  auto sim = Start();
  auto reader = Connect(*sim, 1);
  ASSERT_NE(reader, nullptr);
  for (int round = 0; round < 5; ++round) {
    // The program's discovery and its real open, back to back.
    DWORD error = 0;
    EXPECT_NE(Client::Open(&error), nullptr) << "probe, round " << round << ": error " << error;
    std::unique_ptr<Client> second = Client::Open(&error);
    ASSERT_NE(second, nullptr) << "open after the probe, round " << round << ": error " << error;
    EXPECT_TRUE(harness::WaitUntil([&] { return sim->Send("wait-client 0") == "ok clients=2"; }))
        << "a closed probe is still counted, round " << round;
    EXPECT_EQ(sim->Press(0x50 + round), 2);
    reader->Expect(Press(static_cast<uint8_t>(0x50 + round)), "reader");
    second->Expect(Press(static_cast<uint8_t>(0x50 + round)), "second client");
  }
  reader->ExpectNothing();
}

TEST_F(RemoteSimTest, ClientThatStopsReadingIsDroppedWithinASecond) {
  auto sim = Start();
  auto reader = Connect(*sim, 1);
  auto staller = Connect(*sim, 2);
  ASSERT_NE(reader, nullptr);
  ASSERT_NE(staller, nullptr);
  // The staller never reads: once its buffer is full, a write to it waits,
  // and after about a second it is dropped. The reader is not held up.
  int sentOne = -1;
  ULONGLONG slowMs = 0;
  for (int i = 0; i < 100 && sentOne < 0; ++i) {
    const ULONGLONG t0 = GetTickCount64();
    const int sent = sim->Press(static_cast<unsigned>(i));
    const ULONGLONG took = GetTickCount64() - t0;
    reader->Expect(Press(static_cast<uint8_t>(i)), "reader keeps getting reports");
    if (sent == 1) {
      sentOne = i;
      slowMs = took;
    } else {
      ASSERT_EQ(sent, 2) << "press " << i;
      EXPECT_LT(took, 500u) << "press " << i << " waited with room in the buffer";
    }
  }
  ASSERT_GE(sentOne, 1) << "the staller was never dropped";
  EXPECT_GE(slowMs, 800u);
  EXPECT_LE(slowMs, 3000u);
  EXPECT_EQ(sim->Send("wait-client 0"), "ok clients=1");

  const ULONGLONG t0 = GetTickCount64();
  EXPECT_EQ(sim->Press(0x60), 1);
  EXPECT_LT(GetTickCount64() - t0, 500u) << "a dropped client still holds up writes";
  reader->Expect(Press(0x60), "after the drop");

  // The staller's connection is gone: what it had not read is discarded.
  const Client::Read r = staller->ReadReport(2000);
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.error, static_cast<DWORD>(ERROR_PIPE_NOT_CONNECTED));
}

TEST_F(RemoteSimTest, UnplugBreaksReadsAndHidesThePipeUntilPlug) {
  auto sim = Start();
  auto client = Connect(*sim, 1);
  ASSERT_NE(client, nullptr);

  std::future<Client::Read> pending = ReadLater(*client);
  EXPECT_EQ(sim->Send("unplug"), "ok");
  ASSERT_EQ(pending.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  const Client::Read r = pending.get();
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.error, static_cast<DWORD>(ERROR_BROKEN_PIPE));
  EXPECT_EQ(client->ReadReport(500).error, static_cast<DWORD>(ERROR_BROKEN_PIPE));

  DWORD error = 0;
  EXPECT_EQ(Client::Open(&error), nullptr);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(WaitNamedPipeA(kPipe, 0));
  EXPECT_EQ(sim->Send("press 1"), "ok sent=0");
  EXPECT_EQ(sim->Send("unplug"), "ok");
  EXPECT_TRUE(sim->Send("wait-client 100").starts_with("error: "));

  EXPECT_EQ(sim->Send("plug"), "ok");
  EXPECT_EQ(sim->Send("plug"), "ok");
  auto again = Connect(*sim, 1);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(sim->Press(0x44), 1);
  again->Expect(Press(0x44), "after plug");
}

TEST_F(RemoteSimTest, StartedUnpluggedWaitsForPlug) {
  auto sim = Start("--unplugged");
  DWORD error = 0;
  EXPECT_EQ(Client::Open(&error), nullptr);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(sim->Send("plug"), "ok");
  auto client = Connect(*sim, 1);
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(sim->Press(7), 1);
  client->Expect(Press(7), "after plug");
}

TEST_F(RemoteSimTest, WaitClientAnswersOnceOneConnectsOrAfterItsTime) {
  auto sim = Start();
  ULONGLONG t0 = GetTickCount64();
  const std::string none = sim->Send("wait-client 300");
  const ULONGLONG took = GetTickCount64() - t0;
  EXPECT_TRUE(none.starts_with("error: ")) << none;
  EXPECT_GE(took, 250u);
  EXPECT_LT(took, 3000u);

  // Asked first, answered when the client comes.
  sim->Write("wait-client 10000\n");
  EXPECT_EQ(sim->ReadLine(300), std::nullopt);
  t0 = GetTickCount64();
  auto client = Client::Open();
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(sim->ReadLine(), std::optional<std::string>("ok clients=1"));
  EXPECT_LT(GetTickCount64() - t0, 2000u);
}

TEST_F(RemoteSimTest, BadCommandsAreAnsweredAndTheSimulatorCarriesOn) {
  auto sim = Start();
  // The parser's cases are tested natively; here: each gets one answer.
  for (const char* bad : {"press 256", "raw 1 2", "unplug 1", "fly 3"}) {
    const std::string answer = sim->Send(bad);
    EXPECT_TRUE(answer.starts_with("error: ")) << bad << " -> " << answer;
  }
  // Blank and comment lines get no answer: the next answer is the sleep's.
  sim->Write("\n   \n# press 1\r\n");
  const ULONGLONG t0 = GetTickCount64();
  EXPECT_EQ(sim->Send("sleep 200"), "ok");
  EXPECT_GE(GetTickCount64() - t0, 150u);
  EXPECT_EQ(sim->ReadLine(200), std::nullopt);

  auto client = Connect(*sim, 1);
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(sim->Press(9), 1);
  client->Expect(Press(9), "after the bad commands");
}

TEST_F(RemoteSimTest, StampedAnswersTellWhenTheReportWasWritten) {
  auto sim = Start("--stamp");
  auto client = Connect(*sim, 1);
  ASSERT_NE(client, nullptr);
  for (int round = 0; round < 20; ++round) {
    std::future<Client::Read> pending = ReadLater(*client);
    const LONGLONG asked = Qpc();
    LONGLONG written = 0;
    ASSERT_EQ(sim->Press(0x21, 0, &written), 1) << "round " << round;
    const LONGLONG answered = Qpc();
    // The counter is the same in every process: the write happened while
    // the command ran, and the pending read completed after it.
    EXPECT_GT(written, asked) << "round " << round;
    EXPECT_LT(written, answered) << "round " << round;
    ASSERT_EQ(pending.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    const Client::Read r = pending.get();
    EXPECT_EQ(r.data, Press(0x21));
    EXPECT_GT(r.doneQpc, written) << "round " << round;
  }
  EXPECT_TRUE(sim->Send("raw 1 2 3").starts_with("ok sent=1 qpc="));
  client->Expect({0, 1, 2, 3, 0, 0, 0, 0}, "raw");
  // Other answers keep their form; with nobody to write to, still a stamp.
  EXPECT_EQ(sim->Send("unplug"), "ok");
  LONGLONG none = 0;
  EXPECT_EQ(sim->Press(0x22, 0, &none), 0);
  EXPECT_NE(none, 0);
  sim.reset();

  // Without --stamp the answer has no stamp, and asking for one is refused.
  auto plain = Start();
  auto reader = Connect(*plain, 1);
  ASSERT_NE(reader, nullptr);
  LONGLONG unset = 0;
  EXPECT_EQ(plain->Press(0x23, 0, &unset), -1);
  reader->Expect(Press(0x23), "the report still went out");
}

TEST_F(RemoteSimTest, ASecondServerOfTheNameIsRefusedAndTheFirstServesOn) {
  auto first = Start();
  auto client = Connect(*first, 1);
  ASSERT_NE(client, nullptr);

  RemoteSim second(K7_REMOTE_SIM_PATH);
  DWORD code = 0;
  ASSERT_TRUE(second.WaitForExit(harness::kWaitMs, &code)) << "a second server runs";
  EXPECT_EQ(code, 3u);
  auto later = Start("--unplugged");
  EXPECT_TRUE(later->Send("plug").starts_with("error: another server holds")) << "plug";

  EXPECT_EQ(first->Press(0x12), 1);
  client->Expect(Press(0x12), "the first server still serves its client");
  // Once the name is free, the other may plug.
  EXPECT_EQ(first->Send("unplug"), "ok");
  EXPECT_EQ(later->Send("plug"), "ok");
}

TEST_F(RemoteSimTest, MessageSendsExactlyItsBytes) {
  auto sim = Start();
  auto client = Connect(*sim, 1);
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(sim->Send("message 0 1 2"), "ok sent=1");
  const Client::Read r = client->ReadReport();
  EXPECT_EQ(r.error, 0u);
  EXPECT_EQ(r.bytes, 3u);
  EXPECT_EQ(sim->Send("message 0 1 2 3 4 5 6 7 8"), "ok sent=1");
  EXPECT_EQ(client->ReadReport().error, static_cast<DWORD>(ERROR_MORE_DATA));
}

TEST_F(RemoteSimTest, EndOfInputUnplugsAndExits) {
  auto sim = Start();
  auto client = Connect(*sim, 1);
  ASSERT_NE(client, nullptr);
  // A last line without a line end is still carried out.
  sim->Write("press 0x11");
  sim->CloseInput();
  EXPECT_EQ(sim->ReadLine(), std::optional<std::string>("ok sent=1"));
  DWORD code = 99;
  ASSERT_TRUE(sim->WaitForExit(harness::kWaitMs, &code));
  EXPECT_EQ(code, 0u);
  client->Expect(Press(0x11), "last report");
  EXPECT_EQ(client->ReadReport(1000).error, static_cast<DWORD>(ERROR_BROKEN_PIPE));
  DWORD error = 0;
  EXPECT_EQ(Client::Open(&error), nullptr);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
}  // namespace k7::wintest
