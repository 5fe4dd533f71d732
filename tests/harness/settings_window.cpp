#include "harness/settings_window.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "harness/remote_window.h"
#include "harness/scratch_dir.h"
#include "harness/system_state.h"
#include "res/resource.h"

namespace k7::harness {
namespace {

constexpr int kCategoryIds[] = {IDC_CAT_DVD, IDC_CAT_MUSIC, IDC_CAT_WWW, IDC_CAT_SPEECH};

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  const size_t last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

// Lines of a text with CR LF or LF ends, the last one even without an end.
std::vector<std::string> AllLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The section name of a header line; nullopt for any other line.
std::optional<std::string> HeaderName(const std::string& line) {
  const std::string t = Trim(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  const size_t close = t.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

}  // namespace

HWND SettingsWindow::Item(int id) const {
  HWND main = Hwnd();
  return main != nullptr ? GetDlgItem(main, id) : nullptr;
}

bool SettingsWindow::Visible() const {
  HWND main = Hwnd();
  return main != nullptr && IsWindowVisible(main);
}

bool SettingsWindow::WaitVisible(bool visible, DWORD timeoutMs) const {
  return WaitUntil([&] { return Visible() == visible; }, timeoutMs, 5);
}

std::string SettingsWindow::Text(int id) const {
  HWND item = Item(id);
  if (item == nullptr) return "<no control>";
  return ReadWindowText(item).value_or("<unreadable>");
}

bool SettingsWindow::Checked(int id) const {
  HWND item = Item(id);
  return item != nullptr && SendTo(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int SettingsWindow::CheckedCategory() const {
  int checked = 0;
  for (int id : kCategoryIds) {
    if (!Checked(id)) continue;
    if (checked != 0) return 0;
    checked = id;
  }
  return checked;
}

void SettingsWindow::ClickRadio(int id) const {
  for (int other : kCategoryIds) {
    if (HWND radio = Item(other)) {
      SendTo(radio, BM_SETCHECK, other == id ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  SendTo(Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

void SettingsWindow::ClickCheckBox(int id, bool checked) const {
  SendTo(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  SendTo(Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

void SettingsWindow::MouseClick(int id) const {
  RECT r = {};
  GetWindowRect(Item(id), &r);
  // SetCursorPos moves the X pointer too, so Wine keeps the position.
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, kHarnessExtraInfo);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, kHarnessExtraInfo);
}

void SettingsWindow::ClickButton(int id) const {
  SendTo(Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

void SettingsWindow::PostClick(int id) const {
  PostTo(Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

bool SettingsWindow::PickProfile(const std::string& name) const {
  const std::vector<std::string> items = ProfileItems();
  const auto found = std::find(items.begin(), items.end(), name);
  if (found == items.end()) return false;
  HWND combo = Item(IDC_PROFILE);
  SendTo(combo, CB_SETCURSEL, static_cast<WPARAM>(found - items.begin()), 0);
  // The list notifies its parent of a pick; CB_SETCURSEL alone does not.
  SendTo(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_PROFILE, CBN_SELCHANGE),
         reinterpret_cast<LPARAM>(combo));
  return true;
}

std::vector<std::string> SettingsWindow::ProfileItems() const {
  std::vector<std::string> items;
  HWND combo = Item(IDC_PROFILE);
  if (combo == nullptr) return items;
  const LRESULT count = SendTo(combo, CB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) items.push_back(ReadComboItem(combo, i).value_or("?"));
  return items;
}

void SettingsWindow::SetText(int id, const std::string& text) const {
  const std::wstring wide(text.begin(), text.end());
  SendTo(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

bool SettingsWindow::Focus(int id, DWORD timeoutMs) const {
  HWND control = Item(id);
  if (control == nullptr) return false;
  SendTo(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  return WaitUntil([&] { return FocusedId() == id; }, timeoutMs, 5);
}

int SettingsWindow::FocusedId() const {
  HWND main = Hwnd();
  if (main == nullptr) return 0;
  HWND focus = FocusOfOwner(main);
  // The combo box's edit is a child of the combo box.
  while (focus != nullptr && GetParent(focus) != main) focus = GetParent(focus);
  return focus != nullptr ? GetDlgCtrlID(focus) : 0;
}

HWND FindCaptionWindow(DWORD pid) {
  for (HWND hwnd : ProcessWindows(pid, nullptr, "#32770")) {
    if (GetDlgItem(hwnd, IDC_OSD_TEXT) != nullptr) return hwnd;
  }
  return nullptr;
}

HWND WaitForCaptionWindow(DWORD pid, DWORD timeoutMs) {
  HWND hwnd = nullptr;
  WaitUntil([&] { return (hwnd = FindCaptionWindow(pid)) != nullptr; }, timeoutMs, 5);
  return hwnd;
}

double NowMs() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return QpcMs(0, t.QuadPart);
}

CaptionWatch::CaptionWatch(HWND caption) : caption_(caption) {
  thread_ = std::thread([this] { Run(); });
}

CaptionWatch::~CaptionWatch() {
  Stop();
}

void CaptionWatch::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void CaptionWatch::Run() {
  HWND text = GetDlgItem(caption_, IDC_OSD_TEXT);
  while (!stop_) {
    Sample s;
    s.visible = IsWindowVisible(caption_) != FALSE;
    // Read while shown only: a hidden window's text says nothing.
    if (s.visible) s.text = ReadWindowText(text).value_or("<unreadable>");
    s.ms = NowMs();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (changes_.empty() || changes_.back().visible != s.visible ||
          changes_.back().text != s.text) {
        changes_.push_back(s);
      }
    }
    Sleep(2);
  }
}

std::vector<CaptionWatch::Sample> CaptionWatch::Changes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return changes_;
}

std::optional<CaptionWatch::Sample> CaptionWatch::WaitFor(
    const std::function<bool(const Sample&)>& match, DWORD timeoutMs) const {
  std::optional<Sample> found;
  WaitUntil(
      [&] {
        for (const Sample& s : Changes()) {
          if (match(s)) {
            found = s;
            return true;
          }
        }
        return false;
      },
      timeoutMs, 2);
  return found;
}

std::optional<CaptionWatch::Sample> CaptionWatch::WaitShown(const std::string& text, double afterMs,
                                                            DWORD timeoutMs) const {
  return WaitFor([&](const Sample& s) { return s.ms >= afterMs && s.visible && s.text == text; },
                 timeoutMs);
}

std::optional<CaptionWatch::Sample> CaptionWatch::WaitHidden(double afterMs,
                                                             DWORD timeoutMs) const {
  return WaitFor([&](const Sample& s) { return s.ms >= afterMs && !s.visible; }, timeoutMs);
}

std::vector<CaptionWatch::Sample> CaptionWatch::ShownSince(double fromMs) const {
  std::vector<Sample> shown;
  for (const Sample& s : Changes()) {
    if (s.ms >= fromMs && s.visible) shown.push_back(s);
  }
  return shown;
}

IniText::IniText(std::string bytes) : bytes_(std::move(bytes)) {}

IniText IniText::Load(const std::string& path) {
  return IniText(ReadFileShared(path));
}

std::vector<std::string> IniText::Sections() const {
  std::vector<std::string> names;
  for (const std::string& line : AllLines(bytes_)) {
    if (std::optional<std::string> name = HeaderName(line)) names.push_back(*name);
  }
  return names;
}

bool IniText::HasSection(const std::string& section) const {
  const std::vector<std::string> names = Sections();
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& n) { return EqualNoCase(n, section); });
}

std::vector<std::string> IniText::Lines(const std::string& section) const {
  std::vector<std::string> lines;
  bool inside = false;
  bool seen = false;
  for (const std::string& line : AllLines(bytes_)) {
    if (std::optional<std::string> name = HeaderName(line)) {
      // The first section of that name only, as the API reads it.
      inside = !seen && EqualNoCase(*name, section);
      seen = seen || inside;
      continue;
    }
    if (inside && !Trim(line).empty()) lines.push_back(line);
  }
  return lines;
}

std::optional<std::string> IniText::Value(const std::string& section,
                                          const std::string& key) const {
  for (const std::string& line : Lines(section)) {
    const size_t eq = line.find('=');
    const std::string name = Trim(line.substr(0, eq));
    if (!EqualNoCase(name, key)) continue;
    return eq == std::string::npos ? std::string() : Trim(line.substr(eq + 1));
  }
  return std::nullopt;
}

}  // namespace k7::harness
