#include "profiles/ini_paths.h"

namespace k7 {

char g_szCtrlIniPath[kMaxPath];
char g_szUserDefIniPath[kMaxPath];
char g_szUserDefInfIniPath[kMaxPath];

}  // namespace k7
