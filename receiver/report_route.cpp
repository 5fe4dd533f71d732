#include "receiver/report_route.h"

#include <algorithm>

#include "base/text.h"

namespace k7 {
namespace {

// Code, marker and repeat flag as they came: taken before the next read is
// issued into the same buffer. report holds at least length bytes.
struct ReportBytes {
  ReportBytes(const uint8_t* report, size_t length)
      : count(uint8_t(std::min<size_t>(length > 0 ? length - 1 : 0, sizeof bytes))) {
    std::copy(report + 1, report + 1 + count, bytes);
  }
  uint8_t bytes[kShortestReport - 1] = {};
  uint8_t count;
};

// The record goes out only when someone reads it; the log switch is read
// afresh for every report, after its action, so the press's keys never wait
// for it.
void Record(IReportSink& sink, const SharedFlags& flags, Dispatcher& dispatcher,
            const ReportBytes& report, ReportDrop drop, const PressResult* press, bool fired) {
  const bool log = dispatcher.LogSwitchOn();
  if (!log && !flags.bEventsOpen.load()) return;
  PressEvent event;
  event.byteCount = report.count;
  std::copy(report.bytes, report.bytes + report.count, event.bytes);
  event.drop = drop;
  event.fired = fired;
  event.log = log;
  if (press != nullptr) {
    event.outcome = press->outcome;
    CopyBounded(event.caption.text, press->caption.text);
  }
  sink.RecordEvent(event);
}

}  // namespace

namespace {

void FollowUpPress(IReportSink& sink, const SharedFlags& flags, const PressResult& press) {
  if (press.silent) return;
  if (press.restartMouseTimer) {
    sink.RestartMouseTimer();
  } else if (flags.bOsdEnabled.load()) {
    sink.ShowOsd(press.caption);
  }
}

}  // namespace

void RouteReport(IReportSink& sink, const SharedFlags& flags, Dispatcher& dispatcher,
                 const uint8_t* report, uint64_t nowMs) {
  const ReportBytes bytes(report, kShortestReport);
  if (flags.bDisabled.load()) {
    dispatcher.DropPendingTap();
    sink.SetTrayIcon(IDI_OFF);
    sink.RearmRead();
    Record(sink, flags, dispatcher, bytes, ReportDrop::kDisabled, nullptr, false);
    return;
  }
  sink.SetTrayIcon(IDI_RECEIVING);
  const int code = report[1];
  const int marker = report[2];
  PressResult press;
  const bool learning = flags.bEditorOpen.load();
  if (learning) {
    dispatcher.DropPendingTap();
    sink.LearnButton(code, marker);
  } else {
    press = dispatcher.DispatchRemoteButton(code, marker, report[3], nowMs);
    FollowUpPress(sink, flags, press);
  }
  sink.RearmRead();
  sink.SetTrayIcon(IDI_READY);
  Record(sink, flags, dispatcher, bytes, learning ? ReportDrop::kLearning : ReportDrop::kNone,
         learning ? nullptr : &press, false);
}

void RouteShortReport(IReportSink& sink, const SharedFlags& flags, Dispatcher& dispatcher,
                      const uint8_t* report, size_t length) {
  const ReportBytes bytes(report, length);
  sink.RearmRead();
  Record(sink, flags, dispatcher, bytes, ReportDrop::kTooShort, nullptr, false);
}

void RecordFiredAction(IReportSink& sink, const SharedFlags& flags, Dispatcher& dispatcher,
                       int code, const PressResult& result) {
  const uint8_t bytes[kShortestReport] = {0, uint8_t(code), uint8_t(kMarker), 0};
  Record(sink, flags, dispatcher, ReportBytes(bytes, 2), ReportDrop::kNone, &result, true);
}

void RouteReleaseTimeout(IReportSink& sink, const SharedFlags& flags, Dispatcher& dispatcher,
                         uint64_t nowMs) {
  if (!dispatcher.TapPending()) return;
  if (flags.bDisabled.load() || flags.bEditorOpen.load()) {
    dispatcher.DropPendingTap();
    return;
  }
  const int code = dispatcher.PendingCode();
  const PressResult press = dispatcher.ReleaseTimedOut(nowMs);
  FollowUpPress(sink, flags, press);
  RecordFiredAction(sink, flags, dispatcher, code, press);
}

}  // namespace k7
