#include "osd/osd_win32.h"

#include <atomic>
#include <cstring>
#include <string_view>

#include "base/dpi_win32.h"
#include "dispatch/dispatch.h"
#include "res/resource.h"

namespace k7 {

HWND g_hOsdWnd = nullptr;

namespace {

std::atomic<long> g_fontsCreated{0};
std::atomic<long> g_fontsDeleted{0};

HFONT MakeCaptionFont(int height) {
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, "Arial");
}

// Every caption font goes through these two, so that a leak shows in the
// counts.
HFONT CreateOsdFont(int height) {
  HFONT font = MakeCaptionFont(height);
  if (font != nullptr) ++g_fontsCreated;
  return font;
}

void DeleteOsdFont(HFONT font) {
  if (font != nullptr && DeleteObject(font)) ++g_fontsDeleted;
}

// How a left-aligned static control draws its text (it has no SS_NOPREFIX,
// so an ampersand marks the next letter there as here).
constexpr UINT kStaticTextFlags = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK;

// The caption measured in the text control's own device context, in a font
// made for each measure and deleted at once.
class ControlTextMeasure final : public IOsdTextMeasure {
 public:
  explicit ControlTextMeasure(HWND control) : control_(control), dc_(GetDC(control)) {}
  ~ControlTextMeasure() override {
    if (dc_ != nullptr) ReleaseDC(control_, dc_);
  }
  ControlTextMeasure(const ControlTextMeasure&) = delete;
  ControlTextMeasure& operator=(const ControlTextMeasure&) = delete;

  OsdSize Measure(std::string_view text, int fontHeight, int wrapWidth) override {
    // Nothing to measure with: taken as fitting, the caption keeps the
    // height it starts at.
    if (dc_ == nullptr) return {};
    HFONT font = MakeCaptionFont(fontHeight);
    if (font == nullptr) return {};
    const HGDIOBJ old = SelectObject(dc_, font);
    RECT r = {0, 0, wrapWidth, 0};
    DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &r, kStaticTextFlags | DT_CALCRECT);
    SelectObject(dc_, old);
    DeleteObject(font);
    return {r.right - r.left, r.bottom - r.top};
  }

 private:
  HWND control_;
  HDC dc_;
};

constexpr UINT kQuietFlags = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;

// Pixels of this colour are not shown; the text's smoothed edges against it
// come out dark red, a thin outline.
constexpr COLORREF kSeeThrough = RGB(0, 0, 0);

// More screens than this are not met; the rest are left out of the choice.
constexpr std::size_t kMaxMonitors = 16;

struct MonitorList {
  OsdRect rects[kMaxMonitors];
  std::size_t count = 0;
};

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM param) {
  auto* list = reinterpret_cast<MonitorList*>(param);
  if (list->count < kMaxMonitors && rect != nullptr) {
    list->rects[list->count++] = {rect->left, rect->top, rect->right, rect->bottom};
  }
  return TRUE;
}

// Worked out afresh for each caption: monitors come and go, and the
// foreground window moves between them.
OsdLayout CurrentOsdLayout() {
  // A lone screen goes the same way: its monitor is the primary one, at the
  // origin and the screen's size, so its figures are the ones it always had.
  MonitorList monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.count == 0) {
    return ComputeOsdLayout(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  }
  // No foreground window, or none to measure, leaves an empty rectangle:
  // it touches no monitor, and the primary one is taken.
  OsdRect foreground;
  RECT rect;
  HWND hwnd = GetForegroundWindow();
  if (hwnd != nullptr && GetWindowRect(hwnd, &rect)) {
    foreground = {rect.left, rect.top, rect.right, rect.bottom};
  }
  return ComputeOsdLayout(std::span<const OsdRect>(monitors.rects, monitors.count), foreground);
}

}  // namespace

OsdFontCounts GetOsdFontCounts() {
  OsdFontCounts counts;
  // Deletions first: read the other way round, a font created in between
  // could make the live count look negative.
  counts.deleted = g_fontsDeleted.load();
  counts.created = g_fontsCreated.load();
  return counts;
}

void COsdWnd::ApplyLayout(UINT flags) const {
  SetWindowPos(Hwnd(), HWND_TOPMOST, m_layout.x, m_layout.y, m_layout.width, m_layout.height,
               flags | kQuietFlags);
}

void COsdWnd::PlaceText() const {
  const OsdRect r = OsdTextRect(m_textAt96, m_layout.width, m_layout.height, m_dpi);
  SetWindowPos(Item(IDC_OSD_TEXT), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void COsdWnd::SetFittedCaption() {
  HWND text = Item(IDC_OSD_TEXT);
  RECT area = {};
  GetClientRect(text, &area);
  OsdCaptionFit fit;
  {
    ControlTextMeasure measure(text);
    fit = FitOsdCaption(std::string_view(m_caption, m_nTextLen), m_layout.height,
                        {area.right, area.bottom}, m_dpi, measure);
  }
  HFONT previous = m_hFont;
  m_hFont = CreateOsdFont(fit.fontHeight);
  SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
  SetItemText(IDC_OSD_TEXT, fit.text.c_str());
  // Only now does the text control let go of the previous font.
  DeleteOsdFont(previous);
}

void COsdWnd::RelayoutForDpi(int dpi) {
  m_dpi = dpi > 0 ? dpi : 96;
  PlaceText();
  if (IsWindowVisible(Hwnd())) SetFittedCaption();
}

BOOL COsdWnd::OnInitDialog() {
  g_hOsdWnd = Hwnd();
  m_layout = CurrentOsdLayout();
  ApplyLayout(0);
  // Where the template put the text control, in the DPI the dialog was made
  // in: taken back to 96 DPI, the text can be placed for any other.
  // The window's own DPI, the one its dialog units were made for: with
  // per-monitor awareness the screen's LOGPIXELSY is the session's.
  const int dpi = static_cast<int>(DpiOfWindow(Hwnd()));
  // Its box is a share of a monitor and its text is placed here: the dialog
  // manager must not rescale either on a DPI change.
  LeaveDpiChangesToDialog(Hwnd());
  RECT r = {};
  GetWindowRect(Item(IDC_OSD_TEXT), &r);
  MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
  m_textAt96 = {MulDiv(r.left, 96, dpi), MulDiv(r.top, 96, dpi), MulDiv(r.right, 96, dpi),
                MulDiv(r.bottom, 96, dpi)};
  RelayoutForDpi(dpi);
  // No taskbar button, and a click on the caption does not activate it.
  // Layered with a colour key: under Wine a window that leaves its
  // background unpainted shows a black box, so the background is painted in
  // the key colour instead, which shows what lies beneath.
  SetWindowLongA(
      Hwnd(), GWL_EXSTYLE,
      GetWindowLongA(Hwnd(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED);
  SetLayeredWindowAttributes(Hwnd(), kSeeThrough, 0, LWA_COLORKEY);
  if (m_hReady != nullptr) SetEvent(m_hReady);
  // FALSE: no focus for the text control. The dialog manager's SetFocus on
  // it would make this window the active one, and under Wine the foreground
  // application then stops receiving the keys injected into it.
  return FALSE;
}

INT_PTR COsdWnd::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return TRUE;
    case WM_OSD_SHOW:
      OnShowCaption(reinterpret_cast<const char*>(lp));
      SetWindowLongPtrA(Hwnd(), DWLP_MSGRESULT, 0);
      return TRUE;
    case WM_TIMER:
      OnTimer(wp);
      return TRUE;
    case WM_DPICHANGED:
      // The box keeps its share of the monitor (placed at each show), so
      // the suggested rectangle is not taken; the text is laid out anew.
      RelayoutForDpi(HIWORD(wp));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) == Item(IDC_OSD_TEXT)) {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 0, 0));
      }
      return reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
    case WM_CTLCOLORDLG:
      // The key colour: the caption floats over whatever lies beneath.
      return reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));
    case WM_DESTROY:
      OnDestroy();
      return TRUE;
    default:
      break;
  }
  return CDialog::HandleMessage(msg, wp, lp);
}

void COsdWnd::OnPaint() {
  PAINTSTRUCT ps;
  BeginPaint(Hwnd(), &ps);
  EndPaint(Hwnd(), &ps);
}

void COsdWnd::OnShowCaption(const char* caption) {
  // A caption asked for before the start-up show came must not be hidden
  // by that show's paint.
  KeepShownOnFirstPaint();
  KillTimer(Hwnd(), kHideTimer);
  m_layout = CurrentOsdLayout();
  ApplyLayout(SWP_HIDEWINDOW);
  Sleep(5);

  m_nTextLen = caption != nullptr ? OsdTextLength(caption) : 0;
  if (m_nTextLen != 0) memcpy(m_caption, caption, m_nTextLen);
  m_caption[m_nTextLen] = '\0';
  // The text follows the window, which may have moved to a monitor of
  // another size.
  PlaceText();
  SetFittedCaption();
  SetTimer(Hwnd(), kHideTimer, kShowMs, nullptr);
  ApplyLayout(SWP_SHOWWINDOW);
}

void COsdWnd::OnTimer(UINT_PTR id) {
  if (id != kHideTimer) return;
  ApplyLayout(SWP_HIDEWINDOW);
  KillTimer(Hwnd(), kHideTimer);
}

void COsdWnd::OnDestroy() {
  // The text control still points at the font, but it is going too and
  // draws nothing more.
  DeleteOsdFont(m_hFont);
  m_hFont = nullptr;
  if (g_hOsdWnd == Hwnd()) g_hOsdWnd = nullptr;
  EndDialog(0);
}

bool COsdWnd::PreTranslateMessage(MSG& msg) {
  // The dialog manager would turn these into OK, Cancel or a click: the
  // display never closes by keyboard.
  if (msg.message != WM_KEYDOWN) return false;
  return msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE || msg.wParam == VK_SPACE;
}

DWORD WINAPI OSDThread(LPVOID ready) {
  COsdWnd window(static_cast<HANDLE>(ready));
  window.DoModal(GetModuleHandleA(nullptr), IDD_OSD, nullptr);
  return 0;
}

namespace {

// Never closed: a thread that reports late must not signal a handle that has
// been reused meanwhile.
HANDLE OsdReadyEvent() {
  static HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  return ready;
}

HANDLE g_hOsdThread = nullptr;

}  // namespace

bool StartOsdThread(DWORD waitMs) {
  const HANDLE ready = OsdReadyEvent();
  if (g_hOsdThread != nullptr) {
    if (WaitForSingleObject(g_hOsdThread, 0) == WAIT_TIMEOUT) {
      WaitForSingleObject(ready, waitMs);
      return g_hOsdWnd != nullptr;
    }
    CloseHandle(g_hOsdThread);
    g_hOsdThread = nullptr;
  }
  if (ready == nullptr) return false;
  ResetEvent(ready);
  g_hOsdThread = CreateThread(nullptr, 0, OSDThread, ready, 0, nullptr);
  if (g_hOsdThread == nullptr) return false;
  const HANDLE waits[] = {ready, g_hOsdThread};
  WaitForMultipleObjects(2, waits, FALSE, waitMs);
  return g_hOsdWnd != nullptr;
}

bool StopOsdThread(DWORD waitMs) {
  if (g_hOsdThread == nullptr) return true;
  // A thread still starting gets its window first, then the close.
  const HANDLE waits[] = {OsdReadyEvent(), g_hOsdThread};
  if (waits[0] != nullptr) WaitForMultipleObjects(2, waits, FALSE, waitMs);
  if (HWND hwnd = g_hOsdWnd) PostMessageA(hwnd, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(g_hOsdThread, waitMs) != WAIT_OBJECT_0) return false;
  CloseHandle(g_hOsdThread);
  g_hOsdThread = nullptr;
  return true;
}

}  // namespace k7
