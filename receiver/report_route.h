// What the reader does with one input report once its read has completed:
// discard it, hand it to the editor's learning, or dispatch it and follow up
// with the acceleration timer or the on-screen display.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dispatch/dispatch.h"
#include "base/shared_flags.h"
#include "res/resource.h"

namespace k7 {

constexpr int kReportLen = 8;       // the reader's buffer; never shorter
constexpr int kShortestReport = 4;  // report ID, code, marker, repeat flag

// Why the reader handed a report to nobody.
enum class ReportDrop : uint8_t {
  kNone,      // dispatched
  kTooShort,  // fewer bytes than a button sends
  kDisabled,  // reception is switched off
  kLearning,  // the hotkey editor took it
};

// One report, or one action that fires later without a report, for the
// events window and the log: plain data, handed to the user-interface
// thread, which formats it. The sink stamps the time.
struct PressEvent {
  // Local time when the record was made.
  uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millis = 0;
  uint8_t bytes[kShortestReport - 1] = {};  // code, marker, repeat flag
  uint8_t byteCount = kShortestReport - 1;  // how many of them arrived
  ReportDrop drop = ReportDrop::kNone;
  bool fired = false;  // fired on its own (a held button's timeout)
  bool log = false;    // "Log" was on: the line goes to the log file too
  PressOutcome outcome;
  Caption caption;  // the caption the press left
};

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
  // Hands a report's record on (to the user-interface thread); asked only
  // while the events window is open or the log is on.
  virtual void RecordEvent(const PressEvent& /*event*/) {}
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

// A report of fewer than kShortestReport bytes: skipped (the read re-armed),
// and recorded.
void RouteShortReport(IReportSink& sink, const SharedFlags& flags, Dispatcher& dispatcher,
                      const uint8_t* report, size_t length);

// The record of an action that fired without a report of its own (a held
// button's tap or hold action on its timeout): code is the button's, result
// what the dispatcher returned. Reads the log switch; does nothing more while
// the events window is closed and the log off.
void RecordFiredAction(IReportSink& sink, const SharedFlags& flags, Dispatcher& dispatcher,
                       int code, const PressResult& result);

}  // namespace k7
