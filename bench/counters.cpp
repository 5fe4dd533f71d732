// Which process counters move at all under Wine: a child process of this
// program allocates and touches memory, opens handles and makes GDI and USER
// objects on request, and every counter the soak reads is taken from outside
// before and after, as the soak takes them from the program.
//
//   k7_bench_counters.exe
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "bench_common.h"

namespace k7::bench {
namespace {

constexpr char kGo[] = "K7F3BenchCountersGo";
constexpr char kDone[] = "K7F3BenchCountersDone";
constexpr size_t kBytes = 64u << 20;
constexpr int kHandles = 1000;
constexpr int kObjects = 200;

int Child() {
  HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, kGo);
  HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, kDone);
  if (go == nullptr || done == nullptr) return 1;
  WaitForSingleObject(go, INFINITE);
  auto* block =
      static_cast<char*>(VirtualAlloc(nullptr, kBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (block == nullptr) return 1;
  std::memset(block, 1, kBytes);
  std::vector<HANDLE> events;
  for (int i = 0; i < kHandles; ++i) events.push_back(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  std::vector<HBRUSH> brushes;
  std::vector<HMENU> menus;
  for (int i = 0; i < kObjects; ++i) {
    brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    menus.push_back(CreateMenu());
  }
  SetEvent(done);
  Sleep(INFINITE);
  return 0;
}

struct Row {
  const char* name;
  double before, after, expected;
  const char* unit;
};

int Parent() {
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, kGo);
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, kDone);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  harness::Process child = harness::Process::Start(self, ".", "--child");
  Sleep(300);
  const ProcessCounters before = ReadCounters(child.Handle());
  SetEvent(go);
  if (WaitForSingleObject(done, 10000) != WAIT_OBJECT_0) Fail("the child did not finish");
  const ProcessCounters after = ReadCounters(child.Handle());

  const double kb = 1024.0;
  const Row rows[] = {
      {"PagefileUsage", before.pagefileUsage / kb, after.pagefileUsage / kb, kBytes / kb, "KB"},
      {"WorkingSetSize", before.workingSet / kb, after.workingSet / kb, kBytes / kb, "KB"},
      {"PrivateUsage", before.privateUsage / kb, after.privateUsage / kb, kBytes / kb, "KB"},
      {"GetProcessHandleCount", double(before.handles), double(after.handles), kHandles, ""},
      {"system handle table", double(before.systemHandles), double(after.systemHandles), kHandles,
       ""},
      {"GetGuiResources GDI", double(before.gdiObjects), double(after.gdiObjects), kObjects, ""},
      {"GetGuiResources USER", double(before.userObjects), double(after.userObjects), kObjects, ""},
  };
  std::printf(
      "counters of another process, before and after it commits and touches %zu MB, "
      "opens %d handles and makes %d brushes and %d menus:\n",
      kBytes >> 20, kHandles, kObjects, kObjects);
  for (const Row& r : rows) {
    const double moved = r.after - r.before;
    const char* verdict = moved >= 0.9 * r.expected ? "real" : (moved != 0 ? "moves, off" : "STUB");
    std::printf(
        "  %-22s before=%10.0f after=%10.0f change=%+10.0f (expected about %+.0f) %-3s %s\n",
        r.name, r.before, r.after, moved, r.expected, r.unit, verdict);
  }
  child.Terminate();
  CloseHandle(go);
  CloseHandle(done);
  return 0;
}

}  // namespace
}  // namespace k7::bench

int main(int argc, char** argv) {
  return k7::bench::RunGuarded([&] {
    if (argc > 1 && std::string(argv[1]) == "--child") return k7::bench::Child();
    return k7::bench::Parent();
  });
}
