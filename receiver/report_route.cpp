#include "receiver/report_route.h"

#include "dispatch/dispatch.h"

namespace k7 {

std::atomic<bool> g_bDisabled{false};
std::atomic<bool> g_bEditorOpen{false};
std::atomic<bool> g_bOsdEnabled{true};

bool InMouseSetM(int code) {
  switch (code & 0xFF) {
    case 64:
    case 66:
    case 69:
    case 72:
    case 74:
      return true;
    default:
      return false;
  }
}

bool InMouseSetS(int code) {
  switch (code & 0xFF) {
    case 65:
    case 68:
    case 70:
    case 73:
      return true;
    default:
      return false;
  }
}

FollowUp FollowUpFor(int code, bool mouseMode, bool osdEnabled) {
  if (InMouseSetM(code) || (mouseMode && InMouseSetS(code))) return FollowUp::kRestartMouseTimer;
  return osdEnabled ? FollowUp::kShowOsd : FollowUp::kNothing;
}

void RouteReport(IReportSink& sink, const uint8_t* report) {
  if (g_bDisabled.load()) {
    sink.SetTrayIcon(IDI_OFF);
    sink.RearmRead();
    return;
  }
  sink.SetTrayIcon(IDI_RECEIVING);
  const int code = report[1];
  const int marker = report[2];
  if (g_bEditorOpen.load()) {
    sink.LearnButton(code, marker);
  } else {
    sink.Dispatch(code, marker, report[3]);
    // The dispatcher may just have toggled mouse mode: read it afterwards.
    switch (FollowUpFor(code, g_bMouseMode.load(), g_bOsdEnabled.load())) {
      case FollowUp::kRestartMouseTimer:
        sink.RestartMouseTimer();
        break;
      case FollowUp::kShowOsd:
        sink.ShowOsd();
        break;
      case FollowUp::kNothing:
        break;
    }
  }
  sink.RearmRead();
  sink.SetTrayIcon(IDI_READY);
}

}  // namespace k7
