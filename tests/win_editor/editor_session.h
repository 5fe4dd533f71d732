// Fixture of the hotkey editor's tests under Wine: the sim variant of the
// program in a scratch directory with INI files of the test's choosing, the
// virtual receiver, and the editor opened through the settings window's
// Advance and driven with messages from this process.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "harness/program.h"
#include "harness/program_test.h"
#include "harness/remote_sim_driver.h"

namespace k7::editortest {

constexpr char kEditorTitle[] = "HotKey Configuration";
constexpr char kDialogClass[] = "#32770";

// The value a hotkey control holds: flags in the high byte, key in the low.
constexpr WORD HotkeyOf(BYTE vk, BYTE flags = 0) {
  return static_cast<WORD>((flags << 8) | vk);
}

class EditorTest : public harness::ProgramTest {
 protected:
  // INI text written beside the program before it starts (CR LF line ends
  // are added: give lines with "\n"). QVCtrl.ini always gets Mark=1 (no
  // built-in profiles) and OSD=0 (no caption window) in front of ctrlExtra.
  void WriteFiles(const std::string& userDef, const std::string& userDefInf,
                  const std::string& ctrlExtra = "");
  // Starts the virtual receiver and the program, and waits until the
  // program's reader is connected and its start-up is over.
  void StartProgram();
  // Clicks Advance in the settings window and waits for the editor.
  HWND OpenEditor();

  HWND Editor() const { return editor_; }
  HWND Item(int id) const { return GetDlgItem(editor_, id); }
  std::string Text(int id) const;
  WORD Hotkey() const;
  void SetHotkey(WORD value) const;
  // Items of the profile list and the selected one (-1 for none).
  std::vector<std::string> ProfileItems() const;
  int SelectedProfile() const;
  // Picks entry index of the profile list, as a user's pick does.
  void PickProfile(int index) const;

  // A command the editor finishes before this returns.
  void Command(int id) const;
  // A command that opens a dialog of its own: posted, so this process does
  // not wait on the dialog's loop.
  void PostCommand(int id) const;
  // A visible dialog of the program with that caption; nullptr on timeout.
  HWND WaitDialog(const char* title, DWORD timeoutMs = harness::kWaitMs) const;
  bool WaitGone(HWND window, DWORD timeoutMs = harness::kWaitMs) const;
  // Text of a message box's message.
  static std::string MessageText(HWND box);
  // Types text into a control (WM_SETTEXT).
  static void SetText(HWND control, const std::string& text);
  // Waits for the Application Name dialog, types name and presses OK;
  // returns the dialog (nullptr when it never showed).
  HWND EnterAppName(const std::string& name) const;
  // Fills the file dialog's name and presses Open, or cancels it.
  void ChooseFile(HWND fileDialog, const std::string& path) const;
  static void CancelDialog(HWND dialog);

  // Types a key into the hotkey control as a person does: each modifier is
  // seen by the control before the next key goes down. (Injected in one
  // burst, a captured key's WM_HOTKEY, a posted message, would overtake the
  // modifiers' key messages, and the control would clear the value when it
  // sees them.)
  void TypeIntoHotkey(BYTE vk, std::initializer_list<BYTE> modifiers = {}) const;
  // Has the editor's thread take in what the X server told it so far
  // (harness::SettleThreadOf).
  void SettleInput() const;

  // Waits until the editor's description shows text; false on timeout.
  bool WaitDescription(const std::string& text, DWORD timeoutMs = harness::kWaitMs) const;

  // An INI value as the files hold it now; fallback when the key is missing.
  std::string Ini(const char* file, const char* section, const char* key,
                  const char* fallback = "<missing>") const;
  std::string FileBytes(const char* file) const;
  // The sections of a file with at least one key, in file order.
  std::vector<std::string> Profiles(const char* file) const;

  // Presses a code on the remote; the simulator must deliver it.
  void Press(unsigned code);
  // Key events injected by the program (the harness's own left out).
  std::vector<harness::HookEvent> ProgramKeys() const;

  HWND editor_ = nullptr;
};

// Injects a key with modifiers held around it, tagged as the harness's own.
void TypeKey(BYTE vk, std::initializer_list<BYTE> modifiers = {});

}  // namespace k7::editortest
