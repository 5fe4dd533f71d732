// Full paths of the three INI files beside the executable; built once at
// start-up, before the reader thread exists, and only read afterwards.
#pragma once

namespace k7 {

constexpr int kMaxPath = 260;

extern char g_szCtrlIniPath[kMaxPath];
extern char g_szUserDefIniPath[kMaxPath];
extern char g_szUserDefInfIniPath[kMaxPath];

}  // namespace k7
