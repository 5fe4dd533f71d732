// What the resource tests read off windows built from the program's dialog
// templates: places and sizes in pixels, classes, styles, the children in
// tab order, and a dialog made from a template without the dialog layer.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <ostream>
#include <string>
#include <vector>

namespace k7::uitest {

inline HINSTANCE Self() {
  return GetModuleHandleA(nullptr);
}

struct Box {
  LONG left, top, right, bottom;
  bool operator==(const Box&) const = default;
  LONG Width() const { return right - left; }
  LONG Height() const { return bottom - top; }
};
inline std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "(" << b.left << "," << b.top << ")-(" << b.right << "," << b.bottom << ")";
}

// A window's rectangle in its parent's client pixels (screen pixels for a
// window without a parent).
inline Box PlaceOf(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  if (GetParent(hwnd) != nullptr) {
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  }
  return {r.left, r.top, r.right, r.bottom};
}

inline Box ClientOf(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  return {r.left, r.top, r.right, r.bottom};
}

// The window class, in lower case.
inline std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  CharLowerA(name);
  return name;
}

inline DWORD StyleOf(HWND hwnd) {
  return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
}

inline std::vector<HWND> ChildrenInOrder(HWND dialog) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    children.push_back(c);
  }
  return children;
}

// A dialog from a template, not shown. With focus, WM_INITDIALOG asks the
// dialog manager to focus the first tab stop, which may change which push
// button is the default one; without, the controls keep the template's
// styles.
class TemplateWindow {
 public:
  explicit TemplateWindow(int id, bool focus = false) {
    // The editor's hotkey control is a common control.
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&icc);
    hwnd_ = CreateDialogParamA(Self(), MAKEINTRESOURCEA(id), nullptr, focus ? Focus : Keep, 0);
  }
  ~TemplateWindow() { DestroyWindow(hwnd_); }
  TemplateWindow(const TemplateWindow&) = delete;
  TemplateWindow& operator=(const TemplateWindow&) = delete;
  HWND Hwnd() const { return hwnd_; }

  // A place in dialog units, in client pixels; position and size are
  // converted each on its own, as the dialog manager does.
  Box Pixels(int x, int y, int w, int h) const {
    RECT r = {x, y, w, h};
    MapDialogRect(hwnd_, &r);
    return {r.left, r.top, r.left + r.right, r.top + r.bottom};
  }

  // The id of the last WM_COMMAND a dialog made with focus received.
  static inline int lastCommand = 0;

 private:
  static INT_PTR CALLBACK Focus(HWND, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_COMMAND) lastCommand = LOWORD(wp);
    return msg == WM_INITDIALOG || msg == WM_COMMAND;
  }
  static INT_PTR CALLBACK Keep(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
  HWND hwnd_ = nullptr;
};

}  // namespace k7::uitest
