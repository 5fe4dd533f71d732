// The running program's settings window and caption window, operated from
// another process as a user would: a radio checked and its click notified, a
// pick from the profile list notified as the list does, text typed or set.
// Also a reader for the INI files as they lie on disk, and a watcher that
// records when the caption window shows, hides and what it says.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "harness/common.h"
#include "harness/program.h"

namespace k7::harness {

class SettingsWindow {
 public:
  // The window is looked up afresh on every call: it exists only while the
  // program runs.
  explicit SettingsWindow(const Program& program) : program_(program) {}

  HWND Hwnd() const { return program_.MainWindow(); }
  HWND Item(int id) const;
  bool Visible() const;
  bool WaitVisible(bool visible, DWORD timeoutMs = kWaitMs) const;

  // Text of a control; "<unreadable>" when the window does not answer.
  std::string Text(int id) const;
  bool Checked(int id) const;
  // The category radio that is checked; 0 when none or more than one is.
  int CheckedCategory() const;

  // Checks the radio (and clears the others of the group), then notifies
  // the click.
  void ClickRadio(int id) const;
  // Sets the check box and notifies the click.
  void ClickCheckBox(int id, bool checked) const;
  // A click with the mouse in the middle of a control, injected; the window
  // must be on top there. Returns at once: wait for its effect.
  void MouseClick(int id) const;
  // A push button's click, finished when this returns.
  void ClickButton(int id) const;
  // A click on a button that opens a dialog of its own: posted, so that
  // this process does not wait on the dialog's loop.
  void PostClick(int id) const;
  // Picks the profile list's entry named name and notifies the change of
  // selection; false when the list has no such entry.
  bool PickProfile(const std::string& name) const;
  std::vector<std::string> ProfileItems() const;
  // WM_SETTEXT, as a paste would leave the field.
  void SetText(int id, const std::string& text) const;

  // Moves the keyboard focus to a control (the dialog manager's way), and
  // waits until the focus is in it or in one of its children. The window
  // must be the foreground one for typed keys to reach it.
  bool Focus(int id, DWORD timeoutMs = kWaitMs) const;
  // The control (or the child of one) that holds the focus: its id, or 0.
  int FocusedId() const;

 private:
  const Program& program_;
};

// The program's caption window: a top-level dialog of its process holding
// the caption control; nullptr while it does not exist.
HWND FindCaptionWindow(DWORD pid);
HWND WaitForCaptionWindow(DWORD pid, DWORD timeoutMs = kWaitMs);

// Changes of the caption window, polled every few milliseconds on a thread
// of its own from construction until Stop.
class CaptionWatch {
 public:
  struct Sample {
    double ms = 0;  // QueryPerformanceCounter time
    bool visible = false;
    std::string text;  // read only while visible
  };

  explicit CaptionWatch(HWND caption);
  ~CaptionWatch();
  CaptionWatch(const CaptionWatch&) = delete;
  CaptionWatch& operator=(const CaptionWatch&) = delete;

  void Stop();
  // Every change of visibility or text, the first state included.
  std::vector<Sample> Changes() const;
  // Waits until a change satisfies match and returns it; nullopt on timeout.
  std::optional<Sample> WaitFor(const std::function<bool(const Sample&)>& match,
                                DWORD timeoutMs = kWaitMs) const;
  // The first shown (or hidden) state after time afterMs.
  std::optional<Sample> WaitShown(const std::string& text, double afterMs = 0,
                                  DWORD timeoutMs = kWaitMs) const;
  std::optional<Sample> WaitHidden(double afterMs, DWORD timeoutMs = kWaitMs) const;
  // Every visible state recorded at or after time fromMs.
  std::vector<Sample> ShownSince(double fromMs) const;

 private:
  void Run();

  HWND caption_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<Sample> changes_;
  std::thread thread_;
};

// Now, on the QueryPerformanceCounter clock of the samples, in milliseconds.
double NowMs();

// An INI file as it lies on disk, parsed as the private-profile functions
// read it: names compared without regard to case, the first of duplicates
// wins.
class IniText {
 public:
  explicit IniText(std::string bytes);
  static IniText Load(const std::string& path);

  const std::string& Bytes() const { return bytes_; }
  // Section names in file order, empty ones (a "[]" header) included.
  std::vector<std::string> Sections() const;
  bool HasSection(const std::string& section) const;
  // nullopt when the key (or its section) is missing.
  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  // The key=value lines of a section, as written; empty when it is missing.
  std::vector<std::string> Lines(const std::string& section) const;

 private:
  std::string bytes_;
};

}  // namespace k7::harness
