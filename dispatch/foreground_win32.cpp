#include "dispatch/foreground_win32.h"

#include <tlhelp32.h>

#include <string>

#include "base/ansi_path_win32.h"
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
  wchar_t path[1024];
  DWORD length = ARRAYSIZE(path);
  if (!QueryFullProcessImageNameW(process, 0, path, &length)) return false;
  // A name the code page cannot write is known by its short form, as a
  // profile picked with Browse stores it; a best-fit name would match
  // another program's.
  std::string ansi;
  if (!AnsiPathOf(std::wstring(path, length), ansi) || ansi.size() >= size) return false;
  CopyBounded(out, size, ansi.c_str());
  return true;
}

bool Win32ProcessNameCalls::SnapshotName(uint32_t processId, char* out, uint32_t size) {
  return GetProcessExeName(processId, out, size);
}

namespace {

TokenIntegrity TokenIntegrityOf(HANDLE process) {
  TokenIntegrity result;
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return result;
  // A label is a SID and its attributes.
  alignas(TOKEN_MANDATORY_LABEL) unsigned char
      label[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
  DWORD length = 0;
  if (GetTokenInformation(token, TokenIntegrityLevel, label, sizeof label, &length)) {
    const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label)->Label.Sid;
    const UCHAR count = IsValidSid(sid) ? *GetSidSubAuthorityCount(sid) : 0;
    if (count > 0) {
      result.read = true;
      result.level = *GetSidSubAuthority(sid, count - 1);
    }
  }
  CloseHandle(token);
  return result;
}

}  // namespace

TokenIntegrity Win32ProcessNameCalls::Integrity(HANDLE process, uint32_t processId) {
  if (process == nullptr) return TokenIntegrityOf(GetCurrentProcess());
  TokenIntegrity result = TokenIntegrityOf(process);
  if (result.read) return result;
  // Before Windows 8.1 a token cannot be opened through the limited handle
  // Open gives. A process that grants the full query right runs with no more
  // rights than this one; an elevated one refuses it.
  HANDLE full = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
  if (full == nullptr) return result;
  result = TokenIntegrityOf(full);
  CloseHandle(full);
  return result;
}

Win32ForegroundProcess::~Win32ForegroundProcess() {
  Release();
}

void Win32ForegroundProcess::Release() {
  if (held_ != nullptr) calls_.Close(held_);
  held_ = nullptr;
  heldId_ = 0;
  heldName_.clear();
  heldElevated_ = false;
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
    if (!ownRead_) {
      own_ = calls_.Integrity(nullptr, 0);
      ownRead_ = true;
    }
    heldElevated_ = DropsInjectedInput(own_, calls_.Integrity(process, processId));
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
