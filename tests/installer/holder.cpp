// Holds what stops an installer, as another program would, until the test
// lets go:
//   holder file PATH READY   PATH held open with share mode 0 (a scanner)
//   holder mutex NAME READY  NAME created so that opening it is refused
//                            (a copy running with rights above ours)
//   holder window TITLE READY  a dialog of another program under the
//                            program's title
// READY is created once held; the holder lets go when the test deletes it,
// or after two minutes at most.
//   holder running MUTEX TITLE  exits 0 when the mutex exists and a window
//                               has the title (the program runs), else 1
//   holder click TITLE TEXT     clicks the enabled control TEXT of a window
//                               whose title starts with TITLE, once there
//                               (30 s at most; 1 when it never is)
#include <windows.h>
#include <sddl.h>

#include <cstring>

namespace {

struct Find {
  const char* text;
  HWND found;
};

BOOL CALLBACK FindControl(HWND control, LPARAM param) {
  Find* find = reinterpret_cast<Find*>(param);
  char text[256];
  GetWindowTextA(control, text, sizeof text);
  if (std::strcmp(text, find->text) != 0 || !IsWindowVisible(control) || !IsWindowEnabled(control))
    return TRUE;
  find->found = control;
  return FALSE;
}

BOOL CALLBACK FindWindowOf(HWND window, LPARAM param) {
  Find* find = reinterpret_cast<Find*>(param);
  char title[256];
  GetWindowTextA(window, title, sizeof title);
  if (!IsWindowVisible(window) || std::strncmp(title, find[0].text, std::strlen(find[0].text)) != 0)
    return TRUE;
  EnumChildWindows(window, FindControl, reinterpret_cast<LPARAM>(&find[1]));
  return find[1].found == nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  if (std::strcmp(argv[1], "running") == 0) {
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, argv[2]);
    if (mutex == nullptr) return 1;
    CloseHandle(mutex);
    return FindWindowA(nullptr, argv[3]) != nullptr ? 0 : 1;
  }
  if (std::strcmp(argv[1], "click") == 0) {
    Find find[2] = {{argv[2], nullptr}, {argv[3], nullptr}};
    for (int i = 0; i < 300 && find[1].found == nullptr; ++i) {
      EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(find));
      if (find[1].found == nullptr) Sleep(100);
    }
    if (find[1].found == nullptr) return 1;
    SendMessageA(find[1].found, BM_CLICK, 0, 0);
    return 0;
  }
  HANDLE held = nullptr;
  if (std::strcmp(argv[1], "file") == 0) {
    held = CreateFileA(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
  } else if (std::strcmp(argv[1], "mutex") == 0) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, FALSE};
    // Owned by and open to SYSTEM alone, as a copy running with higher
    // rights would be to us. (Wine lets an owner that is us in whatever the
    // DACL says.)
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
            "O:SYD:(A;;0x1F0001;;;SY)", SDDL_REVISION_1, &sa.lpSecurityDescriptor, nullptr))
      return 1;
    held = CreateMutexA(&sa, TRUE, argv[2]);
    if (held == nullptr) return 1;
  } else if (std::strcmp(argv[1], "window") == 0) {
    // Made after the program's window, so a search by title meets it first.
    if (CreateWindowExA(0, "#32770", argv[2], WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                        nullptr) == nullptr)
      return 1;
  } else {
    return 2;
  }
  HANDLE ready = CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (ready == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(ready);
  for (int i = 0; i < 1200 && GetFileAttributesA(argv[3]) != INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(100);
  CloseHandle(held);
  return 0;
}
