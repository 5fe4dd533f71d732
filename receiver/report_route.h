// What the reader does with one input report once its read has completed:
// discard it, hand it to the editor's learning, or dispatch it and follow up
// with the acceleration timer or the on-screen display.
#pragma once

#include <atomic>
#include <cstdint>

#include "res/resource.h"

namespace k7 {

constexpr int kReportLen = 8;  // the reader's buffer; never shorter

extern std::atomic<bool> g_bDisabled;
extern std::atomic<bool> g_bEditorOpen;
extern std::atomic<bool> g_bOsdEnabled;

// Everything the routing does to the rest of the program.
class IReportSink {
 public:
  virtual ~IReportSink() = default;
  virtual void SetTrayIcon(int iconId) = 0;
  virtual void LearnButton(int code, int marker) = 0;
  virtual void Dispatch(int code, int marker, int repeat) = 0;
  // KillTimer and SetTimer of timer 300 on the main window.
  virtual void RestartMouseTimer() = 0;
  // WM_OSD_SHOW, sent: returns once the caption is shown.
  virtual void ShowOsd() = 0;
  // Resets the report event and issues the next read.
  virtual void RearmRead() = 0;
};

enum class FollowUp { kNothing, kRestartMouseTimer, kShowOsd };

// The follow-up after a dispatch, from the code and the state after it.
FollowUp FollowUpFor(int code, bool mouseMode, bool osdEnabled);

// True for the codes that always restart the acceleration timer (64, 66, 69,
// 72, 74), and for those that do so in mouse mode (65, 68, 70, 73).
bool InMouseSetM(int code);
bool InMouseSetS(int code);

// Handles one completed report (at least kReportLen bytes) and re-arms the
// read, in the order the tray flash and the follow-ups need.
void RouteReport(IReportSink& sink, const uint8_t* report);

}  // namespace k7
