// A screen-wide window painted in coloured bands, on a thread of its own,
// never activated: something for the display's caption to float over.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

namespace k7::osdtest {

class Backdrop {
 public:
  // Horizontal bands of bandHeight pixels, top down, in the given colours
  // (repeated down the screen).
  explicit Backdrop(std::vector<COLORREF> colours, int bandHeight = 768);
  ~Backdrop();
  Backdrop(const Backdrop&) = delete;
  Backdrop& operator=(const Backdrop&) = delete;

  // Null when the window could not be made.
  HWND Window() const { return hwnd_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Paint(HWND hwnd);

  std::vector<COLORREF> colours_;
  int bandHeight_;
  std::atomic<HWND> hwnd_{nullptr};
  std::atomic<bool> started_{false};
  std::thread thread_;
};

}  // namespace k7::osdtest
