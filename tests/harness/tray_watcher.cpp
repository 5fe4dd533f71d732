#include "harness/tray_watcher.h"

#include <chrono>
#include <future>
#include <stdexcept>

#include "res/resource.h"

namespace k7::harness {
namespace {

constexpr char kTrayClass[] = "Shell_TrayWnd";

// Mask and colour bits of an icon, as the shell's side of Shell_NotifyIcon
// sends them over (GetBitmapBits of each).
std::vector<BYTE> IconBits(HICON icon) {
  std::vector<BYTE> bits;
  ICONINFO info;
  if (!GetIconInfo(icon, &info)) return bits;
  for (HBITMAP bitmap : {info.hbmMask, info.hbmColor}) {
    BITMAP bm;
    if (bitmap == nullptr || !GetObjectA(bitmap, sizeof bm, &bm)) continue;
    const size_t at = bits.size();
    bits.resize(at + static_cast<size_t>(bm.bmWidthBytes) * bm.bmHeight);
    GetBitmapBits(bitmap, static_cast<LONG>(bits.size() - at), bits.data() + at);
  }
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  return bits;
}

LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

}  // namespace

TrayWatcher::TrayWatcher(const std::string& exePath) {
  HMODULE module = LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) ThrowLastError("loading the icons of " + exePath);
  for (int id : {IDI_READY, IDI_RECEIVING, IDI_OFF}) {
    // At the size the program loads its tray pictures.
    HICON icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    if (icon == nullptr) continue;
    pictures_.push_back({id, IconBits(icon)});
    DestroyIcon(icon);
  }
  FreeLibrary(module);
  if (pictures_.size() != 3) throw std::runtime_error("tray pictures missing in " + exePath);

  std::promise<HWND> ready;
  std::future<HWND> made = ready.get_future();
  thread_ = std::thread([this, &ready] { Run(&ready); });
  window_ = made.get();
  if (window_ == nullptr) {
    thread_.join();
    throw std::runtime_error("cannot create the stand-in tray window");
  }
  // Shell_NotifyIcon sends to the first tray window in the z-order.
  if (FindWindowExA(nullptr, nullptr, kTrayClass, nullptr) != window_) {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
    throw std::runtime_error("another tray window comes before the stand-in one");
  }
}

TrayWatcher::~TrayWatcher() {
  PostMessageA(window_, WM_CLOSE, 0, 0);
  if (thread_.joinable()) thread_.join();
}

void TrayWatcher::Run(std::promise<HWND>* ready) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kTrayClass;
  RegisterClassA(&wc);
  // Topmost, and never shown: ahead of Wine's tray window, which another
  // test's program may have made show itself.
  HWND hwnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTrayClass, "", WS_POPUP, 0, 0, 0,
                              0, nullptr, nullptr, wc.hInstance, this);
  if (hwnd != nullptr) SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ready->set_value(hwnd);
  if (hwnd == nullptr) return;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
}

LRESULT CALLBACK TrayWatcher::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TrayWatcher*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == WM_COPYDATA && self != nullptr) {
    const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    self->Received(static_cast<DWORD>(cds->dwData), static_cast<const BYTE*>(cds->lpData),
                   cds->cbData);
    return TRUE;
  }
  if (msg == WM_CLOSE) {
    DestroyWindow(hwnd);
    return 0;
  }
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void TrayWatcher::Received(DWORD message, const BYTE* data, DWORD size) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (message == NIM_DELETE) {
    current_ = 0;
    lastWasAdd_ = false;
  } else if (message == NIM_ADD || message == NIM_MODIFY) {
    // The icon's bits close the message, whatever comes before them.
    int icon = -1;
    for (const Picture& p : pictures_) {
      if (size >= p.bits.size() &&
          std::equal(p.bits.begin(), p.bits.end(), data + size - p.bits.size())) {
        icon = p.icon;
      }
    }
    // The program shows a picture with NIM_ADD and then NIM_MODIFY: one change.
    const bool pair = message == NIM_MODIFY && lastWasAdd_ && icon == current_;
    lastWasAdd_ = message == NIM_ADD;
    if (pair) return;
    current_ = icon;
    history_.push_back({icon, Now()});
  } else {
    return;
  }
  changed_.notify_all();
}

int TrayWatcher::Current() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return current_;
}

std::vector<TrayWatcher::Change> TrayWatcher::History() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return history_;
}

size_t TrayWatcher::Count(int icon) const {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t n = 0;
  for (const Change& c : history_) n += c.icon == icon;
  return n;
}

bool TrayWatcher::WaitFor(int icon, DWORD timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return current_ == icon; });
}

}  // namespace k7::harness
