// The flags that the user-interface thread and the reader thread both touch.
// One object, made by the main window and handed to whoever needs it; each
// flag is written by one side and read by the other, and a change takes
// effect at the reader's next report.
#pragma once

#include <atomic>

namespace k7 {

struct SharedFlags {
  // Reception switched off from the tray: reports are read and discarded.
  std::atomic<bool> bDisabled{false};
  // Receiver found, opened and a reader started; cleared when the poll finds
  // it gone or when the reader loses it.
  std::atomic<bool> bConnected{false};
  // The hotkey editor is open: reports go to its learning.
  std::atomic<bool> bEditorOpen{false};
  // The on-screen display is switched on.
  std::atomic<bool> bOsdEnabled{true};
  // The events window is open: the reader hands on a record of each report.
  std::atomic<bool> bEventsOpen{false};
};

}  // namespace k7
