// Numeric ids of the events window's resources, shared by res/events.rc and
// the code, so plain macros only.
#pragma once

#define IDD_EVENTS 150
#define IDC_EVENTS_LIST 1500
#define IDC_EVENTS_COPY 1501
#define IDC_EVENTS_CLEAR 1502
