#include "app/events_win32.h"

#include <algorithm>

#include "app/event_log.h"
#include "base/dpi.h"
#include "base/dpi_win32.h"
#include "res/resource.h"

namespace k7 {
namespace {

// The width of a line in the list's font, with room for the item's margin.
int LineWidth(HDC dc, const char* text, int length) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text, length, &size);
  return size.cx + 8;
}

}  // namespace

CEventsWindow::~CEventsWindow() {
  flags_.bEventsOpen = false;
  if (Hwnd() != nullptr) DestroyWindow(Hwnd());
}

void CEventsWindow::Open(HINSTANCE instance) {
  if (Hwnd() == nullptr && !Create(instance, IDD_EVENTS, nullptr)) return;
  flags_.bEventsOpen = true;
  ShowWindow(Hwnd(), IsIconic(Hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(Hwnd());
}

void CEventsWindow::Close() {
  flags_.bEventsOpen = false;
  if (Hwnd() != nullptr) ShowWindow(Hwnd(), SW_HIDE);
}

BOOL CEventsWindow::OnInitDialog() {
  dpiLayout_.Capture(Hwnd());
  captureDpi_ = dpi_ = static_cast<int>(DpiOfWindow(Hwnd()));
  RECT list, copy, clear;
  GetWindowRect(Item(IDC_EVENTS_LIST), &list);
  GetWindowRect(Item(IDC_EVENTS_COPY), &copy);
  GetWindowRect(Item(IDC_EVENTS_CLEAR), &clear);
  MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&list), 2);
  MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&copy), 2);
  MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&clear), 2);
  margin_ = list.left;
  gap_ = copy.top - list.bottom;
  buttonWidth_ = copy.right - copy.left;
  buttonHeight_ = copy.bottom - copy.top;
  clearLeft_ = clear.left;
  for (const std::string& line : pending_) Append(line);
  pending_.clear();
  return TRUE;
}

void CEventsWindow::Layout() {
  if (Hwnd() == nullptr || margin_ == 0) return;
  const auto scale = [&](int v) { return ScaleToDpi(v, captureDpi_, dpi_); };
  RECT client;
  GetClientRect(Hwnd(), &client);
  const int m = scale(margin_), w = scale(buttonWidth_), h = scale(buttonHeight_);
  const int buttonsTop = client.bottom - m - h;
  const int listBottom = buttonsTop - scale(gap_);
  const auto place = [&](int id, int x, int y, int cx, int cy) {
    SetWindowPos(Item(id), nullptr, x, y, cx > 0 ? cx : 0, cy > 0 ? cy : 0,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(IDC_EVENTS_LIST, m, m, client.right - 2 * m, listBottom - m);
  place(IDC_EVENTS_COPY, m, buttonsTop, w, h);
  place(IDC_EVENTS_CLEAR, scale(clearLeft_), buttonsTop, w, h);
  place(IDCANCEL, client.right - m - w, buttonsTop, w, h);
}

INT_PTR CEventsWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      Layout();
      return TRUE;
    case WM_DPICHANGED:
      dpi_ = HIWORD(wp);
      dpiLayout_.OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      Layout();
      MeasureLines();
      return TRUE;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      info->ptMinTrackSize.x = ScaleToDpi(240, kBaseDpi, dpi_);
      info->ptMinTrackSize.y = ScaleToDpi(140, kBaseDpi, dpi_);
      return TRUE;
    }
    default:
      return CDialog::HandleMessage(msg, wp, lp);
  }
}

void CEventsWindow::OnCommand(int id, int, HWND) {
  if (id == IDC_EVENTS_COPY) CopyAll();
  if (id == IDC_EVENTS_CLEAR) Clear();
}

void CEventsWindow::AddLine(const std::string& line) {
  if (Hwnd() == nullptr) {
    if (pending_.size() >= size_t(kEventLinesKept)) pending_.erase(pending_.begin());
    pending_.push_back(line);
    return;
  }
  Append(line);
}

void CEventsWindow::Append(const std::string& line) {
  HWND list = Item(IDC_EVENTS_LIST);
  const auto count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  // Following the newest line: the last one is in view (or the list is empty).
  RECT client;
  GetClientRect(list, &client);
  const auto itemHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  const int visible = itemHeight > 0 ? client.bottom / itemHeight : 1;
  const auto top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  const bool following = count == 0 || top + visible >= count;

  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  if (count >= kEventLinesKept) SendMessageA(list, LB_DELETESTRING, 0, 0);
  const auto index =
      static_cast<int>(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str())));
  if (following && index >= 0) SendMessageA(list, LB_SETTOPINDEX, index, 0);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);

  // The horizontal scroll bar reaches the widest line.
  HDC dc = GetDC(list);
  if (dc == nullptr) return;
  const auto font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
  const HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
  const int width = LineWidth(dc, line.c_str(), static_cast<int>(line.size()));
  if (old != nullptr) SelectObject(dc, old);
  ReleaseDC(list, dc);
  if (width > widest_) {
    widest_ = width;
    SendMessageA(list, LB_SETHORIZONTALEXTENT, widest_, 0);
  }
}

void CEventsWindow::MeasureLines() {
  HWND list = Item(IDC_EVENTS_LIST);
  HDC dc = GetDC(list);
  if (dc == nullptr) return;
  const auto font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
  const HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
  widest_ = 0;
  const auto count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  std::string text;
  for (int i = 0; i < count; ++i) {
    const auto length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
    if (length == LB_ERR) continue;
    text.assign(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    widest_ = std::max(widest_, LineWidth(dc, text.c_str(), static_cast<int>(length)));
  }
  if (old != nullptr) SelectObject(dc, old);
  ReleaseDC(list, dc);
  SendMessageA(list, LB_SETHORIZONTALEXTENT, widest_, 0);
}

void CEventsWindow::CopyAll() {
  HWND list = Item(IDC_EVENTS_LIST);
  const auto count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  std::string text;
  for (int i = 0; i < count; ++i) {
    const auto length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
    if (length == LB_ERR) continue;
    std::string line(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
    line.resize(static_cast<size_t>(length));
    text += line + "\r\n";
  }
  if (!OpenClipboard(Hwnd())) return;
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    if (void* bytes = GlobalLock(memory)) {
      memcpy(bytes, text.c_str(), text.size() + 1);
      GlobalUnlock(memory);
      if (SetClipboardData(CF_TEXT, memory) == nullptr) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

void CEventsWindow::Clear() {
  HWND list = Item(IDC_EVENTS_LIST);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  widest_ = 0;
  SendMessageA(list, LB_SETHORIZONTALEXTENT, 0, 0);
}

}  // namespace k7
