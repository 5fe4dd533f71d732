#include "harness/hook_recorder.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace k7::harness {
namespace {

std::atomic<HookRecorder*> g_active{nullptr};

// Markers carry this tag in the high half of dwExtraInfo and the flush
// sequence number in the low half.
constexpr ULONG_PTR kMarkerTag = 0x4B530000;
constexpr ULONG_PTR kMarkerTagMask = 0xFFFF0000;
// An unassigned virtual key: a key-up of it means nothing to any program.
constexpr BYTE kMarkerVk = 0xE8;

LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

const char* MessageName(UINT m) {
  switch (m) {
    case WM_KEYDOWN:
      return "WM_KEYDOWN";
    case WM_KEYUP:
      return "WM_KEYUP";
    case WM_SYSKEYDOWN:
      return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP:
      return "WM_SYSKEYUP";
    case WM_MOUSEMOVE:
      return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN:
      return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
      return "WM_LBUTTONUP";
    case WM_RBUTTONDOWN:
      return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP:
      return "WM_RBUTTONUP";
    case WM_MOUSEWHEEL:
      return "WM_MOUSEWHEEL";
    default:
      return nullptr;
  }
}

}  // namespace

bool HookEvent::Injected() const {
  return IsKey() ? (flags & LLKHF_INJECTED) != 0 : (flags & LLMHF_INJECTED) != 0;
}

std::string Describe(const HookEvent& e) {
  char buf[160];
  const char* name = MessageName(e.message);
  char number[16];
  if (name == nullptr) {
    std::snprintf(number, sizeof number, "0x%04X", e.message);
    name = number;
  }
  if (e.IsKey()) {
    std::snprintf(buf, sizeof buf, "%s vk=0x%02lX scan=0x%02lX flags=0x%02lX extra=0x%lX", name,
                  e.vkCode, e.scanCode, e.flags, static_cast<unsigned long>(e.extraInfo));
  } else {
    std::snprintf(buf, sizeof buf, "%s pt=(%ld,%ld) flags=0x%lX data=0x%lX extra=0x%lX", name,
                  e.pt.x, e.pt.y, e.flags, e.mouseData, static_cast<unsigned long>(e.extraInfo));
  }
  return buf;
}

std::ostream& operator<<(std::ostream& os, const HookEvent& e) {
  return os << Describe(e);
}

HookRecorder::HookRecorder() {
  HookRecorder* none = nullptr;
  if (!g_active.compare_exchange_strong(none, this)) {
    throw std::logic_error("only one HookRecorder may exist at a time");
  }
  std::promise<bool> installed;
  std::future<bool> ready = installed.get_future();
  // The thread owns the promise: nothing here may vanish while it still uses it.
  thread_ = std::thread([this, promise = std::move(installed)]() mutable { Run(promise); });
  if (!ready.get()) {
    thread_.join();
    g_active.store(nullptr);
    throw std::runtime_error("cannot install the low-level hooks");
  }
}

HookRecorder::~HookRecorder() {
  Stop();
}

void HookRecorder::Run(std::promise<bool>& installed) {
  threadId_ = GetCurrentThreadId();
  MSG msg;
  // The queue must exist before Stop can post WM_QUIT to it.
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  HINSTANCE self = GetModuleHandleA(nullptr);
  HHOOK keyboard = SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardProc, self, 0);
  HHOOK mouse = SetWindowsHookExA(WH_MOUSE_LL, &MouseProc, self, 0);
  if (keyboard == nullptr || mouse == nullptr) {
    if (keyboard != nullptr) UnhookWindowsHookEx(keyboard);
    if (mouse != nullptr) UnhookWindowsHookEx(mouse);
    installed.set_value(false);
    return;
  }
  installed.set_value(true);
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  UnhookWindowsHookEx(keyboard);
  UnhookWindowsHookEx(mouse);
}

void HookRecorder::Stop() {
  if (!thread_.joinable()) return;
  PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
  thread_.join();
  g_active.store(nullptr);
}

LRESULT CALLBACK HookRecorder::KeyboardProc(int code, WPARAM wp, LPARAM lp) {
  const LONGLONG now = Now();
  HookRecorder* self = g_active.load();
  if (code == HC_ACTION && self != nullptr) {
    const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
    HookEvent e;
    e.source = HookEvent::Source::kKeyboard;
    e.message = static_cast<UINT>(wp);
    e.vkCode = k->vkCode;
    e.scanCode = k->scanCode;
    e.flags = k->flags;
    e.extraInfo = k->dwExtraInfo;
    e.qpc = now;
    if (self->Record(e)) return 1;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK HookRecorder::MouseProc(int code, WPARAM wp, LPARAM lp) {
  const LONGLONG now = Now();
  HookRecorder* self = g_active.load();
  if (code == HC_ACTION && self != nullptr) {
    const auto* m = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
    HookEvent e;
    e.source = HookEvent::Source::kMouse;
    e.message = static_cast<UINT>(wp);
    e.pt = m->pt;
    e.mouseData = m->mouseData;
    e.flags = m->flags;
    e.extraInfo = m->dwExtraInfo;
    e.qpc = now;
    if (self->Record(e)) return 1;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

bool HookRecorder::Record(const HookEvent& e) {
  const bool marker = (e.extraInfo & kMarkerTagMask) == kMarkerTag && e.Injected();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (marker) {
      const unsigned seq = static_cast<unsigned>(e.extraInfo & ~kMarkerTagMask);
      if (e.IsKey()) {
        keyMarkerSeen_ = seq;
      } else {
        mouseMarkerSeen_ = seq;
        markerPt_ = e.pt;
      }
    } else {
      events_.push_back(e);
    }
  }
  changed_.notify_all();
  return marker;
}

std::vector<HookEvent> HookRecorder::Snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

std::vector<HookEvent> HookRecorder::Keys() const {
  std::vector<HookEvent> out;
  for (const HookEvent& e : Snapshot()) {
    if (e.IsKey()) out.push_back(e);
  }
  return out;
}

std::vector<HookEvent> HookRecorder::Mice() const {
  std::vector<HookEvent> out;
  for (const HookEvent& e : Snapshot()) {
    if (e.IsMouse()) out.push_back(e);
  }
  return out;
}

void HookRecorder::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  events_.clear();
}

bool HookRecorder::WaitForCount(size_t n, DWORD timeoutMs) {
  return WaitFor([n](const std::vector<HookEvent>& events) { return events.size() >= n; },
                 timeoutMs);
}

bool HookRecorder::WaitFor(const std::function<bool(const std::vector<HookEvent>&)>& done,
                           DWORD timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return done(events_); });
}

bool HookRecorder::Flush(DWORD timeoutMs) {
  unsigned seq;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    flushSeq_ = flushSeq_ % 0xFFFF + 1;
    seq = flushSeq_;
  }
  keybd_event(kMarkerVk, 0, KEYEVENTF_KEYUP, kMarkerTag | seq);
  mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, kMarkerTag | seq);
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return keyMarkerSeen_ == seq && mouseMarkerSeen_ == seq; });
}

POINT HookRecorder::CursorAtLastFlush() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return markerPt_;
}

}  // namespace k7::harness
