#include "editor_session.h"

#include <iostream>

#include "res/editor_ids.h"
#include "res/resource.h"

namespace k7::editortest {
namespace {

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) harness::ThrowLastError("cannot create " + path);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// Wine's file dialog names the file in an edit inside a combo box (cmb13);
// the older layout has a plain edit (edt1).
HWND FileNameEdit(HWND dialog) {
  if (HWND combo = GetDlgItem(dialog, 0x47C)) {
    if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
    return combo;
  }
  return GetDlgItem(dialog, 0x480);
}

}  // namespace

void TypeKey(BYTE vk, std::initializer_list<BYTE> modifiers) {
  for (BYTE m : modifiers) keybd_event(m, 0, 0, harness::kHarnessExtraInfo);
  harness::TapKey(vk);
  for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) {
    keybd_event(*m, 0, KEYEVENTF_KEYUP, harness::kHarnessExtraInfo);
  }
}

void EditorTest::WriteFiles(const std::string& userDef, const std::string& userDefInf,
                            const std::string& ctrlExtra) {
  WriteBytes(scratch_.File("UserDef.ini"), WithCrLf(userDef));
  WriteBytes(scratch_.File("UserDefInf.ini"), WithCrLf(userDefInf));
  WriteBytes(scratch_.File("QVCtrl.ini"), WithCrLf("[Default]\nMark=1\nOSD=0\n" + ctrlExtra));
}

void EditorTest::StartProgram() {
  sim_ = std::make_unique<harness::RemoteSim>(K7_REMOTE_SIM_PATH);
  ASSERT_EQ(sim_->Send("sleep 0"), "ok");
  program_ = std::make_unique<harness::Program>(scratch_.Path(), harness::ProgramKind::kSim);
  program_->Start();
  ASSERT_NE(program_->WaitForMainWindow(), nullptr) << "the program did not start";
  // The discovery probe comes and goes; the reader stays.
  int seen = 0;
  ASSERT_TRUE(harness::WaitUntil(
      [&] {
        seen = sim_->Send("wait-client 0") == "ok clients=1" ? seen + 1 : 0;
        return seen >= 3;
      },
      harness::kWaitMs, 20))
      << "the program never connected to the receiver";
}

HWND EditorTest::OpenEditor() {
  // Posted: the settings window answers once its start-up is over, and the
  // click returns only when the editor closes.
  EXPECT_TRUE(program_->Post(WM_COMMAND, MAKEWPARAM(IDC_ADVANCE, BN_CLICKED), 0));
  editor_ = harness::WaitForProcessWindow(program_->Id(), kEditorTitle, kDialogClass);
  return editor_;
}

std::string EditorTest::Text(int id) const {
  return harness::ReadWindowText(Item(id)).value_or("<unreadable>");
}

WORD EditorTest::Hotkey() const {
  return static_cast<WORD>(harness::SendTo(Item(IDC_HOTKEY), HKM_GETHOTKEY, 0, 0));
}

void EditorTest::SetHotkey(WORD value) const {
  harness::SendTo(Item(IDC_HOTKEY), HKM_SETHOTKEY, value, 0);
}

std::vector<std::string> EditorTest::ProfileItems() const {
  std::vector<std::string> items;
  HWND combo = Item(IDC_EDITOR_PROFILE);
  const LRESULT count = harness::SendTo(combo, CB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) items.push_back(harness::ReadComboItem(combo, i).value_or("?"));
  return items;
}

int EditorTest::SelectedProfile() const {
  return static_cast<int>(harness::SendTo(Item(IDC_EDITOR_PROFILE), CB_GETCURSEL, 0, 0));
}

void EditorTest::PickProfile(int index) const {
  harness::SendTo(Item(IDC_EDITOR_PROFILE), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  harness::SendTo(editor_, WM_COMMAND, MAKEWPARAM(IDC_EDITOR_PROFILE, CBN_SELCHANGE),
                  reinterpret_cast<LPARAM>(Item(IDC_EDITOR_PROFILE)));
}

void EditorTest::Command(int id) const {
  harness::SendTo(editor_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                  reinterpret_cast<LPARAM>(Item(id)));
}

void EditorTest::PostCommand(int id) const {
  harness::PostTo(editor_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                  reinterpret_cast<LPARAM>(Item(id)));
}

HWND EditorTest::WaitDialog(const char* title, DWORD timeoutMs) const {
  return harness::WaitForProcessWindow(program_->Id(), title, kDialogClass, timeoutMs);
}

bool EditorTest::WaitGone(HWND window, DWORD timeoutMs) const {
  return harness::WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); },
                            timeoutMs, 10);
}

std::string EditorTest::MessageText(HWND box) {
  // The message's static control has id 0xFFFF.
  HWND text = GetDlgItem(box, 0xFFFF);
  return text != nullptr ? harness::ReadWindowText(text).value_or("") : std::string();
}

void EditorTest::SetText(HWND control, const std::string& text) {
  const std::wstring wide(text.begin(), text.end());
  harness::SendTo(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

HWND EditorTest::EnterAppName(const std::string& name) const {
  HWND dialog = WaitDialog("Application Name");
  if (dialog == nullptr) return nullptr;
  SetText(GetDlgItem(dialog, IDC_APPNAME_EDIT), name);
  harness::PostTo(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return dialog;
}

void EditorTest::ChooseFile(HWND fileDialog, const std::string& path) const {
  HWND edit = FileNameEdit(fileDialog);
  ASSERT_NE(edit, nullptr) << "no file name field in the file dialog";
  SetText(edit, path);
  harness::PostTo(fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void EditorTest::CancelDialog(HWND dialog) {
  harness::PostTo(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void EditorTest::SettleInput() const {
  // Among the editor thread's X events is the focus it got when it was
  // shown; handled between a modifier and its key, it would let go of the
  // modifier.
  constexpr WPARAM kMarker = 0x2FF;  // Ctrl with the unassigned key 0xFF
  ASSERT_TRUE(harness::SettleThreadOf(Item(IDC_HOTKEY), HKM_SETHOTKEY, HKM_GETHOTKEY, kMarker))
      << "the editor's thread did not take in its X events";
}

void EditorTest::TypeIntoHotkey(BYTE vk, std::initializer_list<BYTE> modifiers) const {
  if (modifiers.size() > 0) SettleInput();
  // Any key going down empties the control: a value to see that happen.
  constexpr WORD kSentinel = 'Z';
  for (BYTE m : modifiers) {
    SetHotkey(kSentinel);
    keybd_event(m, 0, 0, harness::kHarnessExtraInfo);
    EXPECT_TRUE(harness::WaitUntil([&] { return Hotkey() == 0; }))
        << "the control never saw modifier 0x" << std::hex << int{m};
  }
  harness::TapKey(vk);
  for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) {
    keybd_event(*m, 0, KEYEVENTF_KEYUP, harness::kHarnessExtraInfo);
  }
}

bool EditorTest::WaitDescription(const std::string& text, DWORD timeoutMs) const {
  return harness::WaitUntil([&] { return Text(IDC_DESCRIPTION) == text; }, timeoutMs, 10);
}

std::string EditorTest::Ini(const char* file, const char* section, const char* key,
                            const char* fallback) const {
  return program_->IniValue(file, section, key, fallback);
}

std::string EditorTest::FileBytes(const char* file) const {
  return harness::ReadFileShared(scratch_.File(file));
}

std::vector<std::string> EditorTest::Profiles(const char* file) const {
  const std::string path = scratch_.File(file);
  std::vector<char> names(65536);
  GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), path.c_str());
  std::vector<std::string> out;
  for (const char* p = names.data(); *p != '\0'; p += strlen(p) + 1) {
    char section[4096];
    if (GetPrivateProfileSectionA(p, section, sizeof section, path.c_str()) > 0) out.push_back(p);
  }
  return out;
}

void EditorTest::Press(unsigned code) {
  EXPECT_EQ(sim_->Press(code), 1) << "press 0x" << std::hex << code;
}

std::vector<harness::HookEvent> EditorTest::ProgramKeys() const {
  std::vector<harness::HookEvent> keys;
  for (const harness::HookEvent& e : recorder_->Keys()) {
    if (e.Injected() && e.extraInfo != harness::kHarnessExtraInfo) keys.push_back(e);
  }
  return keys;
}

}  // namespace k7::editortest
