// Numeric ids of the hotkey editor's resources, shared by res/editor.rc and
// the code, so plain macros only.
#pragma once

// Dialogs: the editor, and the three small questions it asks.
#define IDD_EDITOR 129
#define IDD_APPNAME 130
#define IDD_PATHERROR 133
#define IDD_DELETEHOTKEY 134

// The picture of the remote, and the images of its buttons: button n
// (0 to 33) has IDB_BUTTON_NORMAL + n, IDB_BUTTON_PRESSED + n and
// IDB_BUTTON_DISABLED + n, and the control id IDC_REMOTE_FIRST + n.
#define IDB_REMOTE 143
#define IDB_BUTTON_NORMAL 300
#define IDB_BUTTON_PRESSED 400
#define IDB_BUTTON_DISABLED 600
#define IDC_REMOTE_FIRST 2000

// Editor controls.
#define IDC_EDITOR_PROFILE 1057
#define IDC_EDITOR_DELETE 1058
#define IDC_EDITOR_NEW 1059
#define IDC_HOTKEY 1061
#define IDC_EDITOR_SAVE 1062
#define IDC_EDITOR_NAME 1063
#define IDC_EDITOR_PATH 1064
#define IDC_EDITOR_BROWSE 1065
#define IDC_EDITOR_SAVEAS 1080
#define IDC_DESCRIPTION 1111
#define IDC_EDITOR_CLEAR 1112
#define IDC_SAVE_EXIT 1120
#define IDC_EDITOR_ALL_OTHERS 1121
// The selected button held: its action (the key and caption fields show it
// while checked) and what its key's repeats do.
#define IDC_EDITOR_HOLD 1134
#define IDC_EDITOR_REPEAT_LABEL 1132
#define IDC_EDITOR_REPEAT 1133
// A profile written to a file of its own, or added from one.
#define IDC_EDITOR_EXPORT 1130
#define IDC_EDITOR_IMPORT 1131

// Application Name.
#define IDC_APPNAME_EDIT 1060

// File path error.
#define IDC_GIVEUP 1114
#define IDC_ASSIGN 1115

// Delete HotKey.
#define IDC_DELETE_OK 1116
#define IDC_DELETE_CANCEL 1117
#define IDC_DELETE_PROMPT 1118
