#include "receiver/report_route.h"

namespace k7 {

void RouteReport(IReportSink& sink, const SharedFlags& flags, Dispatcher& dispatcher,
                 const uint8_t* report) {
  if (flags.bDisabled.load()) {
    sink.SetTrayIcon(IDI_OFF);
    sink.RearmRead();
    return;
  }
  sink.SetTrayIcon(IDI_RECEIVING);
  const int code = report[1];
  const int marker = report[2];
  if (flags.bEditorOpen.load()) {
    sink.LearnButton(code, marker);
  } else {
    const PressResult press = dispatcher.DispatchRemoteButton(code, marker, report[3]);
    if (press.restartMouseTimer) {
      sink.RestartMouseTimer();
    } else if (flags.bOsdEnabled.load()) {
      sink.ShowOsd(press.caption);
    }
  }
  sink.RearmRead();
  sink.SetTrayIcon(IDI_READY);
}

}  // namespace k7
