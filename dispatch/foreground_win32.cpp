#include "dispatch/foreground_win32.h"

#include <tlhelp32.h>

#include "base/text.h"

namespace k7 {

bool GetProcessExeName(uint32_t processId, char* out, uint32_t size) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == processId) {
      entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
      CopyBounded(out, size, entry.szExeFile);
      found = true;
      break;
    }
  }
  CloseHandle(snapshot);
  return found;
}

HANDLE Win32ProcessNameCalls::Open(uint32_t processId) {
  return OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
}

void Win32ProcessNameCalls::Close(HANDLE process) {
  CloseHandle(process);
}

bool Win32ProcessNameCalls::ImagePath(HANDLE process, char* out, uint32_t size) {
  DWORD length = size;
  return QueryFullProcessImageNameA(process, 0, out, &length) != FALSE;
}

bool Win32ProcessNameCalls::SnapshotName(uint32_t processId, char* out, uint32_t size) {
  return GetProcessExeName(processId, out, size);
}

Win32ForegroundProcess::~Win32ForegroundProcess() {
  Release();
}

void Win32ForegroundProcess::Release() {
  if (held_ != nullptr) calls_.Close(held_);
  held_ = nullptr;
  heldId_ = 0;
  heldName_.clear();
}

std::string Win32ForegroundProcess::ExeNameOf(uint32_t processId) {
  if (held_ != nullptr && processId == heldId_) return heldName_;
  Release();
  // Room for long paths; a longer one fails the query and takes the snapshot.
  char path[1024];
  HANDLE process = calls_.Open(processId);
  if (process != nullptr && calls_.ImagePath(process, path, sizeof path)) {
    held_ = process;
    heldId_ = processId;
    // The snapshot's szExeFile is the file part of this same path.
    heldName_ = BaseName(path);
    return heldName_;
  }
  if (process != nullptr) calls_.Close(process);
  char name[MAX_PATH] = "";
  if (!calls_.SnapshotName(processId, name, sizeof name)) return std::string();
  return name;
}

std::string Win32ForegroundProcess::ForegroundExeName() {
  DWORD processId = 0;  // stays 0 with no foreground window, and is looked up as such
  HWND window = GetForegroundWindow();
  if (window != nullptr) GetWindowThreadProcessId(window, &processId);
  return ExeNameOf(processId);
}

}  // namespace k7
