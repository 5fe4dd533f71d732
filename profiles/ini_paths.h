// Full paths of the three INI files beside the executable; built once at
// start-up, before the reader thread exists, and only read afterwards.
#pragma once

namespace k7 {

constexpr int kMaxPath = 260;

extern char g_szCtrlIniPath[kMaxPath];
extern char g_szUserDefIniPath[kMaxPath];
extern char g_szUserDefInfIniPath[kMaxPath];

// Fills the three paths with the folder of the program's file (everything up
// to its last backslash; none: relative names) and each file's name. False,
// with all three emptied, when one would be longer than kMaxPath - 1: a cut
// path could name another of the files, or none of them.
bool BuildIniPaths(const char* modulePath);

// Told to the user when the program refuses to start for that reason.
constexpr char kIniPathsTooLongText[] =
    "Quorvan K7F3 cannot start: the path of its folder is too long for its "
    "settings files (QVCtrl.ini, UserDef.ini, UserDefInf.ini).\n\n"
    "Move the program to a folder whose path has at most 244 characters.";

}  // namespace k7
