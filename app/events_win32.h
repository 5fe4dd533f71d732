// The events window, opened from the tray: one line per report, newest at
// the bottom, the last kEventLinesKept kept; "Copy all" and "Clear". Closing
// it only hides it, so it keeps its place, size and lines while the program
// runs; while it is hidden the reader hands on no records for it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/shared_flags.h"
#include "ui/dialog_win32.h"
#include "ui/dpi_layout_win32.h"

namespace k7 {

class CEventsWindow : public ui::CDialog {
 public:
  explicit CEventsWindow(SharedFlags& flags) : flags_(flags) {}
  ~CEventsWindow() override;

  // Shows the window (made at the first call) and brings it to the front:
  // the user asked for it.
  void Open(HINSTANCE instance);
  void Close();
  bool IsOpen() const { return flags_.bEventsOpen.load(); }
  // Appends a line without activating anything; the oldest beyond
  // kEventLinesKept goes. The list follows the newest line unless the user
  // has scrolled up. Kept for later when the window was never made.
  void AddLine(const std::string& line);

 protected:
  BOOL OnInitDialog() override;
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnCommand(int id, int code, HWND control) override;
  void OnOK() override {}
  void OnCancel() override { Close(); }

 private:
  // The list fills the window above a row of buttons: the left ones keep
  // to the left edge, Close to the right.
  void Layout();
  void CopyAll();
  void Clear();
  void Append(const std::string& line);
  // The horizontal scroll bar's reach, from every line in the list's font
  // (a DPI change gives it another).
  void MeasureLines();

  SharedFlags& flags_;
  ui::CDpiLayout dpiLayout_;
  // Margins and button sizes as the template made them, at captureDpi_.
  int captureDpi_ = 96;
  int margin_ = 0, gap_ = 0, buttonWidth_ = 0, buttonHeight_ = 0, clearLeft_ = 0;
  int dpi_ = 96;
  // The widest line's width in pixels, for the horizontal scroll bar.
  int widest_ = 0;
  std::vector<std::string> pending_;
};

}  // namespace k7
