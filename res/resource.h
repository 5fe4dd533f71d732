// Numeric ids of the resources; shared by the resource script and the code,
// so plain macros only.
#pragma once

// Icons: the program's own, and the three tray states.
#define IDI_APP 128
#define IDI_READY 135
#define IDI_RECEIVING 136
#define IDI_OFF 137

// Dialogs.
#define IDD_MAIN 102
#define IDD_NODEVICE 381
#define IDD_OSD 132

// Settings window. Id 1 is IDOK, the window's own OK button.
#define IDC_CAT_DVD 1000
#define IDC_CAT_MUSIC 1001
#define IDC_CAT_WWW 1002
#define IDC_CAT_SPEECH 1003
#define IDC_PROFILE 1004
#define IDC_ADVANCE 1008
#define IDC_DEFAULT 1067
#define IDC_LABEL_DVD 1068
#define IDC_LABEL_WWW 1069
#define IDC_LABEL_MUSIC 1070
#define IDC_LABEL_SPEECH 1071
#define IDC_EXE_PATH 1077
#define IDC_BROWSE 1078
#define IDC_PATH_OK 1079
#define IDC_OSD 1113

// On-screen display: its one text control.
#define IDC_OSD_TEXT 1110

// Timers of the main window.
#define IDT_POLL 1000
#define IDT_MOUSEACCEL 300
#define IDT_AUTOCLOSE 3000

// Private window messages (WM_USER + 2 and + 3).
#define WM_TRAYNOTIFY 1026
#define WM_OSD_SHOW 1027

// The tray takes the ids 200 (its icon) to 206 (its menu commands); their
// names live with the tray code.
#define IDM_TRAY_FIRST 200
#define IDM_TRAY_LAST 206
#include "editor_ids.h"
