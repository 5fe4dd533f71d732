#include "profiles/press_ini_win32.h"

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <vector>

namespace k7 {
namespace {

// Files read for the current press, open until it ends; under IniFilesLock.
std::vector<HANDLE> g_heldFiles;
// The program's own writes begun so far; under IniFilesLock. A read runs
// without the lock, so that a write never waits for a read that hangs; a read
// during which this changed may have seen a write half done and is not used.
uint64_t g_writesBegun = 0;

void CloseHeld() {
  for (HANDLE h : g_heldFiles) CloseHandle(h);
  g_heldFiles.clear();
}

// Closes the file, or hands it to the end of the press.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return h_; }
  void HoldForPress() {
    g_heldFiles.push_back(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

}  // namespace

void CloseFilesHeldForPress() {
  ++g_writesBegun;
  CloseHeld();
}

void Win32WholeFileReader::EndPress() {
  std::lock_guard<std::mutex> lock(IniFilesLock());
  CloseHeld();
}

FileBytes Win32WholeFileReader::ReadWhole(const char* file, size_t maxBytes) {
  FileBytes result;  // kUnreadable
  if (file == nullptr || *file == '\0') return result;
  uint64_t writesBefore = 0;
  {
    std::lock_guard<std::mutex> lock(IniFilesLock());
    writesBefore = g_writesBegun;
  }
  // Every share mode: a read must never make another program's write fail.
  FileHandle f(CreateFileA(file, GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (f.get() == INVALID_HANDLE_VALUE) {
    // A missing folder, a folder, no access, a sharing violation: not read.
    if (GetLastError() == ERROR_FILE_NOT_FOUND) result.state = IniFileState::kMissing;
    return result;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(f.get(), &size) || size.QuadPart < 0) return result;
  if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
    result.state = IniFileState::kTooLarge;
    return result;
  }
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(f.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                  nullptr) ||
        got == 0) {
      return result;  // shorter than it was a moment ago
    }
    done += got;
  }
  // Nothing beyond the size taken at the start: it did not grow meanwhile.
  char extra;
  DWORD got = 0;
  if (!ReadFile(f.get(), &extra, 1, &got, nullptr) || got != 0) return result;
  std::lock_guard<std::mutex> lock(IniFilesLock());
  if (g_writesBegun != writesBefore) return result;  // busy: the press reads it again
  result.state = IniFileState::kRead;
  result.bytes = std::move(bytes);
  f.HoldForPress();
  return result;
}

}  // namespace k7
