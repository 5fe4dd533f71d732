#include "base/dpi_win32.h"

#include "base/dpi.h"

namespace k7 {
namespace {

constexpr int kEffectiveDpi = 0;      // MDT_EFFECTIVE_DPI
constexpr int kDialogDisableAll = 1;  // DDC_DISABLE_ALL

// The address of an export, or null where this Windows lacks it. The cast
// goes through void(*)(), the one function type that matches any other.
template <typename Fn>
Fn Find(const char* dll, const char* name) {
  HMODULE module = GetModuleHandleA(dll);
  // shcore is no part of every process: loaded once and kept.
  if (module == nullptr) module = LoadLibraryA(dll);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

using DpiOfWindowFn = UINT(WINAPI*)(HWND);
using DpiOfSystemFn = UINT(WINAPI*)();
using MetricForDpiFn = int(WINAPI*)(int, UINT);
using DialogDpiChangeFn = BOOL(WINAPI*)(HWND, int, int);
using DpiOfMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

struct DpiCalls {
  DpiOfWindowFn getDpiForWindow = Find<DpiOfWindowFn>("user32.dll", "GetDpiForWindow");
  DpiOfSystemFn getDpiForSystem = Find<DpiOfSystemFn>("user32.dll", "GetDpiForSystem");
  MetricForDpiFn getSystemMetricsForDpi =
      Find<MetricForDpiFn>("user32.dll", "GetSystemMetricsForDpi");
  DialogDpiChangeFn setDialogDpiChangeBehavior =
      Find<DialogDpiChangeFn>("user32.dll", "SetDialogDpiChangeBehavior");
  DpiOfMonitorFn getDpiForMonitor = nullptr;
};

// Looked up once, on the first call from any thread (a function-local static
// is made under the compiler's own lock).
const DpiCalls& Calls() {
  static const DpiCalls calls = [] {
    DpiCalls c;
    // Windows 8.1 to 10 1511: the monitor's DPI, where GetDpiForWindow is
    // still missing. Not looked up where it would never be used.
    if (c.getDpiForWindow == nullptr) {
      c.getDpiForMonitor = Find<DpiOfMonitorFn>("shcore.dll", "GetDpiForMonitor");
    }
    return c;
  }();
  return calls;
}

UINT ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

}  // namespace

UINT DpiOfWindow(HWND hwnd) {
  const DpiCalls& calls = Calls();
  if (calls.getDpiForWindow != nullptr) {
    const UINT dpi = calls.getDpiForWindow(hwnd);
    if (dpi != 0) return dpi;
  }
  if (calls.getDpiForMonitor != nullptr) {
    UINT x = 0, y = 0;
    if (SUCCEEDED(calls.getDpiForMonitor(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST),
                                         kEffectiveDpi, &x, &y)) &&
        x != 0) {
      return x;
    }
  }
  return ScreenDpi();
}

UINT SystemDpi() {
  const DpiCalls& calls = Calls();
  if (calls.getDpiForSystem != nullptr) return calls.getDpiForSystem();
  return ScreenDpi();
}

int MetricForDpi(int index, UINT dpi) {
  const DpiCalls& calls = Calls();
  if (calls.getSystemMetricsForDpi != nullptr) return calls.getSystemMetricsForDpi(index, dpi);
  // Without it, the metrics are those of the session's DPI.
  return ScaleToDpi(GetSystemMetrics(index), static_cast<int>(SystemDpi()), static_cast<int>(dpi));
}

void LeaveDpiChangesToDialog(HWND dialog) {
  const DpiCalls& calls = Calls();
  if (calls.setDialogDpiChangeBehavior != nullptr) {
    calls.setDialogDpiChangeBehavior(dialog, kDialogDisableAll, kDialogDisableAll);
  }
}

HICON LoadIconForDpi(HINSTANCE instance, int iconId, bool small, UINT dpi) {
  const int cx = MetricForDpi(small ? SM_CXSMICON : SM_CXICON, dpi);
  const int cy = MetricForDpi(small ? SM_CYSMICON : SM_CYICON, dpi);
  return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, cx, cy, 0));
}

}  // namespace k7
