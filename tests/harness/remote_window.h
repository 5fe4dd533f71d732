// Windows of other processes: finding them, messages, text reads, focus.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "harness/common.h"

namespace k7::harness {

// A visible top-level window of process pid whose title and class equal the
// given ones (a null one matches anything); nullptr when there is none.
HWND FindProcessWindow(DWORD pid, const char* title, const char* className);

// FindProcessWindow until it finds one or timeoutMs have passed. A dialog can
// exist before its controls do: visibility is the sign it is complete.
HWND WaitForProcessWindow(DWORD pid, const char* title, const char* className,
                          DWORD timeoutMs = kWaitMs);

// SendMessageTimeoutW; *delivered (when given) tells whether the window
// answered in time.
LRESULT SendTo(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs = kWaitMs,
               bool* delivered = nullptr);
bool PostTo(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0);

// Text of a window or control of another process (WM_GETTEXT). Wide messages
// on purpose: Wine answers a cross-process ANSI read in UTF-16.
std::optional<std::string> ReadWindowText(HWND hwnd);
// One item of a combo box of another process (CB_GETLBTEXT), wide as above.
std::optional<std::string> ReadComboItem(HWND combo, int index);

// Keyboard focus of the thread that owns hwnd; nullptr when unknown.
HWND FocusOfOwner(HWND hwnd);

// True once hwnd has been the foreground window holding the keyboard focus
// (itself or one of its children) for a tenth of a second without a break.
bool WaitForForeground(HWND hwnd, DWORD timeoutMs = kWaitMs);

// Under Wine a thread handles the events the X server sends it only when it
// goes idle or has taken 200 messages, and the focus a newly shown window
// gets from X makes Wine copy X's key state over its own. X knows nothing of
// injected keys: a Shift injected before that moment is let go, and the next
// key arrives without it. Before holding a modifier for a window that was
// just shown (or before bringing another to the front, which a late focus
// event would take back), make its thread take in its X events: SettleThreadOf.
//
// QueueXEventsOf has the thread that owns hwnd ask the X server something, so
// that the events due to its earlier requests are queued (Wine skips the
// question while the pointer moved in the last 100 ms).
bool QueueXEventsOf(HWND hwnd, DWORD timeoutMs = kWaitMs);

// QueueXEventsOf, then makes the thread handle what is queued: Wine does that
// when the thread goes idle or has taken more than 200 messages, so this posts
// that many to control, the last one setMsg with marker (a value getMsg then
// reads back, different from the control's own), waits until getMsg reads the
// marker, and puts the control's own value back. True when it all happened.
bool SettleThreadOf(HWND control, UINT setMsg, UINT getMsg, WPARAM marker,
                    DWORD timeoutMs = kWaitMs);

// SetForegroundWindow from this process, then WaitForForeground.
bool MakeForeground(HWND hwnd, DWORD timeoutMs = kWaitMs);

}  // namespace k7::harness
