#include "recording_dialog.h"

namespace k7::uitest {
namespace {

// Asks the dialog's thread to run a std::function (lParam).
constexpr UINT kCallMessage = WM_APP + 1;

}  // namespace

std::ostream& operator<<(std::ostream& os, const Command& c) {
  return os << "{id " << c.id << ", code " << c.code << ", control " << c.control << "}";
}

std::ostream& operator<<(std::ostream& os, const KeySeen& k) {
  return os << "{vk 0x" << std::hex << k.vk << std::dec << ", control " << k.controlId << "}";
}

void RecordingDialog::Call(const std::function<void()>& fn) {
  SendMessageA(initWindow_.load(), kCallMessage, 0, reinterpret_cast<LPARAM>(&fn));
}

std::vector<Command> RecordingDialog::Commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

std::vector<KeySeen> RecordingDialog::Keys() const {
  std::lock_guard lock(mutex_);
  return keys_;
}

std::vector<int> RecordingDialog::TooltipRequests() const {
  std::lock_guard lock(mutex_);
  return tipRequests_;
}

INT_PTR RecordingDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kCallMessage) {
    (*reinterpret_cast<const std::function<void()>*>(lp))();
    return TRUE;
  }
  return CDialog::HandleMessage(msg, wp, lp);
}

BOOL RecordingDialog::OnInitDialog() {
  initSawItself_ = GetWindowLongPtrA(Hwnd(), GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this);
  bool added = true;
  for (const auto& tip : tips_) added = AddTooltip(tip.first) && added;
  tooltipsAdded_ = added;
  initWindow_ = Hwnd();
  return TRUE;
}

void RecordingDialog::OnCommand(int id, int code, HWND control) {
  std::lock_guard lock(mutex_);
  commands_.push_back({id, code, control});
}

void RecordingDialog::OnOK() {
  ++ok_;
  CDialog::OnOK();
}

void RecordingDialog::OnCancel() {
  ++cancel_;
  CDialog::OnCancel();
}

bool RecordingDialog::PreTranslateMessage(MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  HWND control = msg.hwnd;
  while (control != nullptr && GetParent(control) != Hwnd()) control = GetParent(control);
  const UINT vk = static_cast<UINT>(msg.wParam);
  {
    std::lock_guard lock(mutex_);
    keys_.push_back({vk, control != nullptr ? GetDlgCtrlID(control) : 0});
  }
  return swallow_.count(vk) != 0;
}

const char* RecordingDialog::TooltipText(int id) {
  std::lock_guard lock(mutex_);
  tipRequests_.push_back(id);
  auto it = tips_.find(id);
  return it != tips_.end() ? it->second.c_str() : nullptr;
}

namespace {

struct WindowSearch {
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchClass(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<WindowSearch*>(lp);
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (IsWindowVisible(hwnd) && lstrcmpiA(name, search->className) == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindThreadWindow(DWORD threadId, const char* className) {
  WindowSearch search{className, nullptr};
  EnumThreadWindows(threadId, MatchClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string WindowText(HWND hwnd) {
  char text[512] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

ModalRun::ModalRun(ui::CDialog& dialog, int templateId) {
  thread_ = std::thread([this, &dialog, templateId] {
    threadId_ = GetCurrentThreadId();
    result_ = dialog.DoModal(GetModuleHandleA(nullptr), templateId, nullptr);
    done_ = true;
  });
  harness::WaitUntil([this] {
    if (done_) return true;
    hwnd_ = threadId_ != 0 ? FindThreadWindow(threadId_, "#32770") : nullptr;
    return hwnd_ != nullptr;
  });
}

ModalRun::~ModalRun() {
  if (!done_ && hwnd_ != nullptr) PostMessageA(hwnd_, WM_COMMAND, IDCANCEL, 0);
  thread_.join();
}

bool ModalRun::WaitForEnd(DWORD timeoutMs) const {
  return harness::WaitUntil([this] { return done_.load(); }, timeoutMs);
}

}  // namespace k7::uitest
