#include "receiver/report_route.h"

namespace k7 {

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
  if (flags.bDisabled.load()) {
    dispatcher.DropPendingTap();
    sink.SetTrayIcon(IDI_OFF);
    sink.RearmRead();
    return;
  }
  sink.SetTrayIcon(IDI_RECEIVING);
  const int code = report[1];
  const int marker = report[2];
  if (flags.bEditorOpen.load()) {
    dispatcher.DropPendingTap();
    sink.LearnButton(code, marker);
  } else {
    FollowUpPress(sink, flags, dispatcher.DispatchRemoteButton(code, marker, report[3], nowMs));
  }
  sink.RearmRead();
  sink.SetTrayIcon(IDI_READY);
}

void RouteReleaseTimeout(IReportSink& sink, const SharedFlags& flags, Dispatcher& dispatcher,
                         uint64_t nowMs) {
  if (!dispatcher.TapPending()) return;
  if (flags.bDisabled.load() || flags.bEditorOpen.load()) {
    dispatcher.DropPendingTap();
    return;
  }
  FollowUpPress(sink, flags, dispatcher.ReleaseTimedOut(nowMs));
}

}  // namespace k7
