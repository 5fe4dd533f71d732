#include "profiles/ini_paths.h"

#include <cstring>
#include <string>

#include "base/text.h"

namespace k7 {

char g_szCtrlIniPath[kMaxPath];
char g_szUserDefIniPath[kMaxPath];
char g_szUserDefInfIniPath[kMaxPath];

bool BuildIniPaths(const char* modulePath) {
  const size_t slash = LastBackslash(modulePath);
  const std::string folder(modulePath, slash == std::string::npos ? 0 : slash + 1);
  const struct {
    char* path;
    const char* name;
  } files[] = {{g_szCtrlIniPath, "QVCtrl.ini"},
               {g_szUserDefIniPath, "UserDef.ini"},
               {g_szUserDefInfIniPath, "UserDefInf.ini"}};
  bool fit = true;
  for (const auto& f : files) fit = fit && folder.size() + std::strlen(f.name) < size_t(kMaxPath);
  for (const auto& f : files) {
    const std::string full = fit ? folder + f.name : std::string();
    std::memcpy(f.path, full.c_str(), full.size() + 1);
  }
  return fit;
}

}  // namespace k7
