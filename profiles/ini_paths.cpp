#include "profiles/ini_paths.h"

#include <cstring>
#include <string>

namespace k7 {

char g_szCtrlIniPath[kMaxPath];
char g_szUserDefIniPath[kMaxPath];
char g_szUserDefInfIniPath[kMaxPath];

bool BuildIniPaths(const char* modulePath) {
  const char* slash = std::strrchr(modulePath, '\\');
  const std::string folder(modulePath, slash == nullptr ? 0 : size_t(slash - modulePath) + 1);
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
