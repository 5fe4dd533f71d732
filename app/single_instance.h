// Which window with the main window's title is a running copy of the program.
#pragma once

namespace k7 {

// True when a window with the main window's title belongs to a running copy:
// a dialog (the main window is one) of a process running K7F3.exe or
// K7F3-sim.exe. An Explorer window on a folder of that name, or any other
// program's window, does not keep the program from starting.
bool IsRunningCopyWindow(const char* windowClass, const char* exeFileName);

}  // namespace k7
