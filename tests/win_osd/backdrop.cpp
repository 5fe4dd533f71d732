#include "backdrop.h"

namespace k7::osdtest {
namespace {

constexpr char kClass[] = "K7F3OsdBackdrop";

}  // namespace

Backdrop::Backdrop(std::vector<COLORREF> colours, int bandHeight)
    : colours_(std::move(colours)), bandHeight_(bandHeight > 0 ? bandHeight : 1) {
  thread_ = std::thread([this] {
    HINSTANCE self = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = self;
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);  // fails harmlessly when a previous backdrop registered it
    // Never activated: it must not take the foreground from anyone.
    HWND hwnd = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kClass, "", WS_POPUP, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                nullptr, nullptr, self, this);
    if (hwnd != nullptr) {
      ShowWindow(hwnd, SW_SHOWNOACTIVATE);
      UpdateWindow(hwnd);
    }
    hwnd_ = hwnd;
    started_ = true;
    MSG msg;
    while (hwnd != nullptr && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  });
  while (!started_) Sleep(1);
}

Backdrop::~Backdrop() {
  if (hwnd_ != nullptr) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
  thread_.join();
}

LRESULT CALLBACK Backdrop::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Backdrop*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_PAINT:
      if (self != nullptr) {
        self->Paint(hwnd);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void Backdrop::Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  for (int top = 0, i = 0; top < client.bottom && !colours_.empty(); top += bandHeight_, ++i) {
    RECT band = {0, top, client.right, top + bandHeight_};
    HBRUSH brush = CreateSolidBrush(colours_[static_cast<size_t>(i) % colours_.size()]);
    FillRect(dc, &band, brush);
    DeleteObject(brush);
  }
  EndPaint(hwnd, &ps);
}

}  // namespace k7::osdtest
