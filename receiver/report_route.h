// What the reader does with one input report once its read has completed:
// discard it, hand it to the editor's learning, or dispatch it and follow up
// with the acceleration timer or the on-screen display.
#pragma once

#include <cstdint>

#include "dispatch/dispatch.h"
#include "base/shared_flags.h"
#include "res/resource.h"

namespace k7 {

constexpr int kReportLen = 8;  // the reader's buffer; never shorter

// What the routing does to the rest of the program; the reader implements it
// on its own thread.
class IReportSink {
 public:
  virtual ~IReportSink() = default;
  virtual void SetTrayIcon(int iconId) = 0;
  virtual void LearnButton(int code, int marker) = 0;
  // KillTimer and SetTimer of timer 300 on the main window.
  virtual void RestartMouseTimer() = 0;
  // WM_OSD_SHOW, sent with the caption: returns once it is shown.
  virtual void ShowOsd(const Caption& caption) = 0;
  // Resets the report event and issues the next read.
  virtual void RearmRead() = 0;
};

// Handles one completed report (at least kReportLen bytes), taken at nowMs
// of a steady clock, and re-arms the read, in the order the tray flash and
// the follow-ups need. A report discarded or learned drops a pending tap.
void RouteReport(IReportSink& sink, const SharedFlags& flags, Dispatcher& dispatcher,
                 const uint8_t* report, uint64_t nowMs = 0);

// The reader's wait for a report ran out at nowMs while a tap was pending:
// sends it with the same follow-up as a report's, or drops it while
// reception is off or the editor is open.
void RouteReleaseTimeout(IReportSink& sink, const SharedFlags& flags, Dispatcher& dispatcher,
                         uint64_t nowMs);

}  // namespace k7
