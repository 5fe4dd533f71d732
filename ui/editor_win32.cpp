#include "ui/editor_win32.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "base/dpi_win32.h"
#include "base/text.h"
#include "dispatch/dispatch.h"
#include "dispatch/launcher_win32.h"
#include "profiles/ini_paths.h"
#include "profiles/profile_file_win32.h"
#include "ui/file_dialog_win32.h"
#include "profiles/profile_store.h"
#include "res/editor_ids.h"
#include "ui/editor_layout.h"
#include "ui/aux_dialogs_win32.h"
#include "ui/write_messages.h"

namespace k7 {

namespace {

constexpr char kKeyRefusedCaption[] = "Quorvan K7F3";

// Bitmap resource id as a w x h bitmap, stretched smoothly when it has
// another size; nullptr when it cannot be loaded.
HBITMAP LoadBitmapSized(HINSTANCE instance, HWND window, int id, int w, int h) {
  HBITMAP source = LoadBitmapA(instance, MAKEINTRESOURCEA(id));
  if (source == nullptr) return nullptr;
  BITMAP bm = {};
  GetObjectA(source, sizeof bm, &bm);
  if (bm.bmWidth == w && bm.bmHeight == h) return source;
  HDC screen = GetDC(window);
  HBITMAP sized = CreateCompatibleBitmap(screen, w, h);
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  ReleaseDC(window, screen);
  if (sized != nullptr && from != nullptr && to != nullptr) {
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, sized);
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, w, h, from, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
  }
  if (from != nullptr) DeleteDC(from);
  if (to != nullptr) DeleteDC(to);
  DeleteObject(source);
  return sized;
}

// Text of the system's ANSI code page, for the wide message boxes that also
// show a file's wide path.
std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) {
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  }
  return wide;
}

// Why a file could not be read or written, in a few words.
std::wstring ErrorReason(DWORD error) {
  char text[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, sizeof text, nullptr);
  text[sizeof text - 1] = '\0';
  return Widen(WriteErrorReason(error, text));
}

void Tell(HWND owner, const std::wstring& text) {
  MessageBoxW(owner, text.c_str(), L"Quorvan K7F3", MB_OK | MB_ICONWARNING);
}

}  // namespace

CHotkeyEditorDlg::CHotkeyEditorDlg(HWND owner, HINSTANCE instance, SharedFlags& flags,
                                   const EditorFiles& files)
    : m_hEditorOwner(owner), m_hInstance(instance), m_flags(flags), m_files(files) {
  for (int n = 0; n < kSlotCount; ++n) {
    const ButtonRect& r = kEditorButtonRects[n];
    m_rcButton[n] = {r.left, r.top, r.right, r.bottom};
  }
}

INT_PTR CHotkeyEditorDlg::Run() {
  return DoModal(m_hInstance, IDD_EDITOR, m_hEditorOwner);
}

BOOL CHotkeyEditorDlg::OnInitDialog() {
  m_nCurButton = kFirstEditorSlot;
  m_EditorCombo = ComboProfileList(Item(IDC_EDITOR_PROFILE));
  FillProfileList(m_ini, m_EditorCombo, m_files.userDef);
  m_pHotKeyCtrl = Item(IDC_HOTKEY);
  SetHotkeyControl(0);
  m_bHoldView = false;
  HWND repeat = Item(IDC_EDITOR_REPEAT);
  for (const RepeatRule& rule : kRepeatChoices) {
    SendMessageA(repeat, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(RepeatChoiceText(rule).c_str()));
  }
  SendMessageA(repeat, CB_LIMITTEXT, 31, 0);
  RegisterCaptureHotkeys();
  AddTooltips();
  // The window's own DPI: with per-monitor awareness the screen's
  // LOGPIXELSX is the session's, not that of the monitor the editor is on.
  ApplyDpi(static_cast<int>(DpiOfWindow(Hwnd())));
  CreateButtons();
  // The picture under the buttons (it was the first child, on top): it then
  // clips them out when it paints, and never covers one for a moment.
  SetWindowPos(PictureControl(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  m_dpiLayout.Capture(Hwnd());
  SelectButton(kFirstEditorSlot);
  OnSelchangeProfile();
  for (int slot : kDisabledSlots) EnableWindow(m_Buttons[slot].Hwnd(), FALSE);
  return TRUE;
}

void CHotkeyEditorDlg::AddTooltips() {
  // Every control of the template; TooltipText decides which ones say
  // something.
  std::vector<int> ids;
  for (HWND child = GetWindow(Hwnd(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    // Labels and frames share the id 0xFFFF and say nothing.
    const int id = GetDlgCtrlID(child);
    if (id > 0 && id != 0xFFFF) ids.push_back(id);
  }
  for (int id : ids) AddTooltip(id);
}

HWND CHotkeyEditorDlg::PictureControl() const {
  for (HWND child = GetWindow(Hwnd(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[16] = "";
    GetClassNameA(child, cls, sizeof cls);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_BITMAP) return child;
  }
  return nullptr;
}

void CHotkeyEditorDlg::ApplyDpi(int dpi) {
  const EditorRemoteLayout layout = EditorRemoteLayoutForDpi(dpi);
  m_nBitmapOffset = layout.bitmapOffset;
  HWND picture = PictureControl();
  const ButtonRect& p = layout.picture;
  HBITMAP image = LoadBitmapSized(m_hInstance, Hwnd(), IDB_REMOTE + m_nBitmapOffset,
                                  p.right - p.left, p.bottom - p.top);
  if (picture != nullptr && image != nullptr) {
    // The control forgets the bitmap it showed before: delete it, whether
    // the template's or one of ours.
    HGDIOBJ old = reinterpret_cast<HGDIOBJ>(
        SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image)));
    if (old != nullptr) DeleteObject(old);
    m_hPicture = image;
    SetWindowPos(picture, nullptr, p.left, p.top, p.right - p.left, p.bottom - p.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (image != nullptr) {
    DeleteObject(image);
  }
  for (int n = 0; n < kSlotCount; ++n) {
    const ButtonRect& r = layout.buttons[n];
    m_rcButton[n] = {r.left, r.top, r.right, r.bottom};
    CBitmapButton& button = m_Buttons[n];
    if (button.Hwnd() == nullptr) continue;
    button.SetBitmapOffset(m_nBitmapOffset);
    SetWindowPos(button.Hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RECT client = {};
  GetClientRect(Hwnd(), &client);
  if (client.bottom < layout.minClientBottom) {
    RECT window = {};
    GetWindowRect(Hwnd(), &window);
    SetWindowPos(Hwnd(), nullptr, 0, 0, window.right - window.left,
                 window.bottom - window.top + layout.minClientBottom - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CHotkeyEditorDlg::CreateButtons() {
  for (int n = 0; n < kSlotCount; ++n) {
    CBitmapButton& button = m_Buttons[n];
    button.Create(Hwnd(), m_rcButton[n], kEditorButtonBase + n, m_hInstance);
    button.SetBitmapOffset(m_nBitmapOffset);
    button.LoadBitmaps(kBitmapNormal + n, kBitmapPressed + n, kBitmapPressed + n,
                       kBitmapDisabled + n);
  }
}

INT_PTR CHotkeyEditorDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DRAWITEM: {
      const int n = static_cast<int>(wp) - kEditorButtonBase;
      if (n < 0 || n >= kSlotCount) break;
      m_Buttons[n].Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    }
    case WM_HOTKEY:
      OnHotKey(lp);
      return TRUE;
    case WM_DPICHANGED:
      // The template's controls and the window first, then the remote's
      // picture and buttons, which are placed for the DPI from their own
      // layout.
      m_dpiLayout.OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      ApplyDpi(HIWORD(wp));
      return TRUE;
    case WM_DESTROY:
      // Left registered, Escape, Tab and Enter would stay captured for the
      // whole system, and the next editor could not take them.
      UnregisterCaptureHotkeys();
      for (CBitmapButton& button : m_Buttons) button.Detach();
      // The picture's bitmap is ours: taken back from the static first, so
      // that nothing can draw or delete it after.
      if (m_hPicture != nullptr) {
        if (HWND picture = PictureControl()) SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, 0);
        DeleteObject(m_hPicture);
        m_hPicture = nullptr;
      }
      m_pHotKeyCtrl = nullptr;
      m_EditorCombo = ComboProfileList();
      break;
    default:
      break;
  }
  return CDialog::HandleMessage(msg, wp, lp);
}

void CHotkeyEditorDlg::OnCommand(int id, int code, HWND) {
  if (id >= kEditorButtonBase && id < kEditorButtonBase + kSlotCount) {
    if (code == BN_CLICKED) SelectButton(id - kEditorButtonBase);
    return;
  }
  switch (id) {
    case IDC_EDITOR_PROFILE:
      if (code == CBN_SELCHANGE) OnSelchangeProfile();
      break;
    case IDC_EDITOR_DELETE:
      OnDeleteProfile();
      break;
    case IDC_EDITOR_NEW:
      OnNewProfile();
      break;
    case IDC_EDITOR_SAVE:
      OnSaveProfile();
      break;
    case IDC_EDITOR_BROWSE:
      OnBrowse();
      break;
    case IDC_EDITOR_SAVEAS:
      OnSaveAs();
      break;
    case IDC_EDITOR_CLEAR:
      OnClear();
      break;
    case IDC_EDITOR_HOLD:
      if (code == BN_CLICKED) OnHoldView();
      break;
    case IDC_HOTKEY:
      if (code == EN_CHANGE) OnHotkeyEdited();
      break;
    case IDC_EDITOR_EXPORT:
      OnExport();
      break;
    case IDC_EDITOR_IMPORT:
      OnImport();
      break;
    case IDC_SAVE_EXIT:
      OnOK();
      break;
    default:
      break;
  }
}

void CHotkeyEditorDlg::OnOK() {
  // Closed only once saved: a failed save keeps everything on screen.
  if (!OnSaveProfile()) return;
  m_flags.bEditorOpen = false;
  EndDialog(1);
}

void CHotkeyEditorDlg::OnCancel() {
  m_flags.bEditorOpen = false;
  EndDialog(1);
}

bool CHotkeyEditorDlg::PreTranslateMessage(MSG& msg) {
  // Keys the hotkey control would take as editing keys (Backspace clears it)
  // or never sees (Enter, Space): stored as the hotkey itself.
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.wParam != VK_BACK && msg.wParam != VK_SPACE && msg.wParam != VK_RETURN) return false;
  if (m_pHotKeyCtrl == nullptr || GetFocus() != m_pHotKeyCtrl) return false;
  SetHotkeyControl(static_cast<uint16_t>(msg.wParam));
  OnHotkeyEdited();
  return true;
}

const char* CHotkeyEditorDlg::TooltipText(int id) {
  if (id == IDC_EDITOR_PATH) {
    // The path is often wider than its control.
    GetItemText(id, m_szTip, sizeof m_szTip);
    return m_szTip;
  }
  if (LoadStringA(m_hInstance, static_cast<UINT>(id), m_szTip, sizeof m_szTip) <= 0) return nullptr;
  return m_szTip;
}

void CHotkeyEditorDlg::RegisterCaptureHotkeys() {
  // Another program may hold one of them: the editor works without it.
  for (const CaptureHotkey& h : kCaptureHotkeys) RegisterHotKey(Hwnd(), h.id, h.modifiers, h.vk);
}

void CHotkeyEditorDlg::UnregisterCaptureHotkeys() {
  for (const CaptureHotkey& h : kCaptureHotkeys) UnregisterHotKey(Hwnd(), h.id);
}

void CHotkeyEditorDlg::OnHotKey(LPARAM lp) {
  if (m_pHotKeyCtrl == nullptr || GetFocus() != m_pHotKeyCtrl) return;
  const uint8_t vk = LOBYTE(HIWORD(lp));
  const uint8_t flags = HotkeyFlagsForModifiers(LOWORD(lp));
  SetHotkeyControl(static_cast<uint16_t>((flags << 8) | vk));
  OnHotkeyEdited();
}

void CHotkeyEditorDlg::SetHotkeyControl(uint16_t value) {
  SendMessageA(m_pHotKeyCtrl, HKM_SETHOTKEY, value, 0);
}

void CHotkeyEditorDlg::RedrawButton(int n) {
  // The buttons are children of the dialog: include them in the redraw.
  // Nothing is erased, and the picture clips the buttons out: the screen
  // goes from one whole image of the button to the next, never showing the
  // dialog or the picture there in between.
  RedrawWindow(Hwnd(), &m_rcButton[n], nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CHotkeyEditorDlg::ShowSlot(int n) {
  const EditorHoldSlot& held = m_HoldSlots[n];
  if (m_bHoldView) {
    SetHotkeyControl(HotkeyControlValue(held.hold));
    SetItemText(IDC_DESCRIPTION, held.szCaption);
  } else {
    SetHotkeyControl(HotkeyControlValue(m_EditorHotKeys[n]));
    SetItemText(IDC_DESCRIPTION, m_EditorTable.Slot(n).szDescription);
  }
  CheckDlgButton(Hwnd(), IDC_EDITOR_HOLD, m_bHoldView ? BST_CHECKED : BST_UNCHECKED);
  HWND repeat = Item(IDC_EDITOR_REPEAT);
  const std::string rule = RepeatChoiceText(held.repeat);
  const LRESULT choice = SendMessageA(repeat, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(rule.c_str()));
  SendMessageA(repeat, CB_SETCURSEL, static_cast<WPARAM>(choice), 0);
  if (choice == CB_ERR) SetWindowTextA(repeat, rule.c_str());
  ShowHoldState(n);
}

void CHotkeyEditorDlg::ShowHoldState(int n, bool hasHold) {
  m_Buttons[n].SetMarked(hasHold);
  if (n != m_nCurButton) return;
  EnableWindow(Item(IDC_EDITOR_REPEAT), !hasHold);
  EnableWindow(Item(IDC_EDITOR_REPEAT_LABEL), !hasHold);
}

void CHotkeyEditorDlg::OnHotkeyEdited() {
  if (!m_bHoldView || m_pHotKeyCtrl == nullptr) return;
  const LRESULT value = SendMessageA(m_pHotKeyCtrl, HKM_GETHOTKEY, 0, 0);
  ShowHoldState(m_nCurButton, (value & 0xFF) != 0);
}

bool CHotkeyEditorDlg::CommitShownSlot() {
  // What the controls show belongs to the selected slot: to its press, or
  // to its hold action in the hold view.
  const int c = m_nCurButton;
  EditorHoldSlot& held = m_HoldSlots[c];
  GetItemText(IDC_DESCRIPTION, m_bHoldView ? held.szCaption : m_EditorTable.Slot(c).szDescription,
              kDescriptionLen);
  HOTKEYVALUE& target = m_bHoldView ? held.hold : m_EditorHotKeys[c];
  const LRESULT value = SendMessageA(m_pHotKeyCtrl, HKM_GETHOTKEY, 0, 0);
  const HOTKEYVALUE shown = HotkeyValueFromControl(static_cast<uintptr_t>(value));
  if (!IsStorableHotkey(shown)) {
    // Saved, the key would be lost without a word: the slot keeps its
    // hotkey, and stays selected for another key.
    SetHotkeyControl(HotkeyControlValue(target));
    ShowHoldState(c);
    MessageBoxA(Hwnd(), UnnamedKeyMessage(shown).c_str(), kKeyRefusedCaption,
                MB_OK | MB_ICONWARNING);
    SetFocus(m_pHotKeyCtrl);
    return false;
  }
  target = shown;
  // Modifiers without a key are no hold action.
  if (!HasHoldAction(held)) held.hold = HOTKEYVALUE{};
  ShowHoldState(c);
  return CommitRepeatRule(c);
}

bool CHotkeyEditorDlg::CommitRepeatRule(int c) {
  if (ParseRepeatChoice(ItemString(IDC_EDITOR_REPEAT).c_str(), m_HoldSlots[c].repeat)) return true;
  // The typed text stays for correcting; the slot keeps its rule.
  MessageBoxA(Hwnd(), RepeatRefusedMessage(), kKeyRefusedCaption, MB_OK | MB_ICONWARNING);
  SetFocus(Item(IDC_EDITOR_REPEAT));
  return false;
}

void CHotkeyEditorDlg::OnHoldView() {
  const bool hold = IsDlgButtonChecked(Hwnd(), IDC_EDITOR_HOLD) == BST_CHECKED;
  if (hold == m_bHoldView) return;
  if (!CommitShownSlot()) {
    CheckDlgButton(Hwnd(), IDC_EDITOR_HOLD, m_bHoldView ? BST_CHECKED : BST_UNCHECKED);
    return;
  }
  m_bHoldView = hold;
  ShowSlot(m_nCurButton);
  // Ready for the key, as after a button is selected.
  SetFocus(m_pHotKeyCtrl);
}

bool CHotkeyEditorDlg::SelectButton(int n) {
  if (n < 0 || n >= kSlotCount) return false;
  SetFocus(m_pHotKeyCtrl);
  if (!CommitShownSlot()) return false;
  const int c = m_nCurButton;
  // The blink may have left it on either bitmap.
  m_Buttons[c].LoadBitmaps(kBitmapNormal + c, kBitmapPressed + c, kBitmapPressed + c,
                           kBitmapNormal + c);
  RedrawButton(c);
  m_nCurButton = n;
  // A selected button shows its press first; "Hold" turns to its hold.
  m_bHoldView = false;
  ShowSlot(n);
  return true;
}

void CHotkeyEditorDlg::Blink() {
  if (Hwnd() == nullptr) return;
  const int bitmap = NextBlinkBitmap(m_nBlinkBase, m_nCurButton);
  m_Buttons[m_nCurButton].LoadBitmaps(bitmap);
  RedrawButton(m_nCurButton);
}

void CHotkeyEditorDlg::Learn(int code, int marker) {
  if (Hwnd() == nullptr) return;
  const int slot = LearnedSlot(code, marker);
  if (slot < 0 || !IsWindowEnabled(m_Buttons[slot].Hwnd())) return;
  SelectButton(slot);
}

std::string CHotkeyEditorDlg::ItemString(int id) const {
  HWND control = Item(id);
  const int length = control != nullptr ? GetWindowTextLengthA(control) : 0;
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(control, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

void CHotkeyEditorDlg::OnSelchangeProfile() {
  std::string name;
  // Nothing selected shows an empty profile; a name too long is not loaded.
  if (m_EditorCombo.SelectedIndex() >= 0 && !m_EditorCombo.SelectedName(name)) return;
  LoadEditorProfile(m_ini, m_files, name.c_str(), m_EditorTable, m_EditorHotKeys);
  LoadEditorHoldKeys(m_ini, m_files, name.c_str(), m_HoldSlots);
  for (int n = 0; n < kSlotCount; ++n) ShowHoldState(n);
  SetItemText(IDC_EDITOR_NAME, name.c_str());
  char path[kMaxPath] = "";
  if (!name.empty()) {
    m_ini.GetString(name.c_str(), "FilePath", "", path, sizeof path, m_files.userDef);
  }
  SetItemText(IDC_EDITOR_PATH, path);
  const bool marked =
      !name.empty() && HoldsAllOtherProgramsMark(m_ini, name.c_str(), m_files.userDef);
  CheckDlgButton(Hwnd(), IDC_EDITOR_ALL_OTHERS, marked ? BST_CHECKED : BST_UNCHECKED);
  // The selection commits what the controls show: let them show the loaded
  // slot first.
  ShowSlot(m_nCurButton);
  SelectButton(kFirstEditorSlot);
}

bool CHotkeyEditorDlg::OnSaveProfile() {
  if (!SelectButton(kFirstEditorSlot)) return false;
  const std::string name = ItemString(IDC_EDITOR_NAME);
  const std::string path = ItemString(IDC_EDITOR_PATH);
  if (name.empty() || name.size() > static_cast<size_t>(kMaxProfileName)) return true;
  char fittedPath[kMaxPath];
  CopyBounded(fittedPath, path.c_str());
  CheckedWrites writes(m_ini);
  SaveEditorProfile(writes, m_files, name.c_str(), fittedPath, m_EditorHotKeys, m_EditorTable);
  SaveEditorHoldKeys(writes, m_files, name.c_str(), m_HoldSlots);
  SaveAllOtherProgramsMark(writes, m_files, name.c_str(),
                           IsDlgButtonChecked(Hwnd(), IDC_EDITOR_ALL_OTHERS) == BST_CHECKED);
  return !ReportIfWriteFailed(Hwnd(), writes);
}

void CHotkeyEditorDlg::RefillProfileList() {
  m_EditorCombo.Clear();
  FillProfileList(m_ini, m_EditorCombo, m_files.userDef);
}

void CHotkeyEditorDlg::OnSaveAs() {
  // A refused key is said before the new name is asked for.
  if (!CommitShownSlot()) return;
  std::string name;
  if (RunAppNameDialog(m_hInstance, m_hEditorOwner, m_EditorCombo, name) != 1) return;
  const int previous = m_EditorCombo.SelectedIndex();
  const std::string previousName = ItemString(IDC_EDITOR_NAME);
  m_EditorCombo.AppendAndSelect(name.c_str());
  CheckedWrites writes(m_ini);
  writes.WriteSection(name.c_str(), "\0", m_files.userDef);
  if (!ReportIfWriteFailed(Hwnd(), writes)) {
    SetItemText(IDC_EDITOR_NAME, name.c_str());
    if (OnSaveProfile()) return;
  }
  // Not saved under the new name: the list and the name are as before, the
  // hotkeys and descriptions on screen stay for another try.
  m_EditorCombo.DropLastAndSelect(previous);
  SetItemText(IDC_EDITOR_NAME, previousName.c_str());
}

bool CHotkeyEditorDlg::AskForFile(char (&path)[MAX_PATH]) {
  return ui::ChooseProgramFile(Hwnd(), path);
}

void CHotkeyEditorDlg::OnNewProfile() {
  std::string name;
  if (RunAppNameDialog(m_hInstance, m_hEditorOwner, m_EditorCombo, name) != 1) return;
  const int previous = m_EditorCombo.SelectedIndex();
  m_EditorCombo.AppendAndSelect(name.c_str());
  CheckedWrites writes(m_ini);
  writes.WriteSection(name.c_str(), "\0", m_files.userDef);
  if (ReportIfWriteFailed(Hwnd(), writes)) {
    m_EditorCombo.DropLastAndSelect(previous);
    return;
  }
  AssignNewProfilePath(name.c_str());
}

void CHotkeyEditorDlg::AssignNewProfilePath(const char* name) {
  Win32Launcher files;
  char path[MAX_PATH];
  AskForFile(path);
  for (;;) {
    if (files.PathExists(path)) {
      CheckedWrites writes(m_ini);
      WriteProfilePath(writes, m_files, name, path);
      // Left as a name without a program, as when the question is closed.
      if (ReportIfWriteFailed(Hwnd(), writes)) return;
      SetItemText(IDC_EDITOR_PATH, path);
      SetItemText(IDC_EDITOR_NAME, name);
      OnSelchangeProfile();
      return;
    }
    CPathErrorDlg error;
    const INT_PTR choice = error.DoModal(m_hInstance, IDD_PATHERROR, Hwnd());
    if (choice == CPathErrorDlg::kAssign) {
      AskForFile(path);
      continue;
    }
    if (choice == CPathErrorDlg::kGiveUp) {
      std::string selected;
      CheckedWrites writes(m_ini);
      if (m_EditorCombo.SelectedName(selected)) EmptyProfile(writes, m_files, selected.c_str());
      // The name stays listed, as when the question is closed.
      if (ReportIfWriteFailed(Hwnd(), writes)) return;
      RefillProfileList();
      OnSelchangeProfile();
    }
    // Closed: the new name stays, with an empty section.
    return;
  }
}

void CHotkeyEditorDlg::OnDeleteProfile() {
  std::string name;
  // Nothing selected: there is no profile to delete, and an empty name
  // would make a section without a name.
  if (!m_EditorCombo.SelectedName(name) || name.empty()) return;
  CDeleteHotkeyDlg confirm;
  confirm.SetPrompt(name.c_str());
  if (confirm.DoModal(m_hInstance, IDD_DELETEHOTKEY, Hwnd()) != 1) return;
  CheckedWrites writes(m_ini);
  EmptyProfile(writes, m_files, name.c_str());
  ForgetCategoryApplication(writes, m_files, name.c_str());
  // Still listed and on screen: it was not deleted.
  if (ReportIfWriteFailed(Hwnd(), writes)) return;
  RefillProfileList();
  OnSelchangeProfile();
}

void CHotkeyEditorDlg::OnBrowse() {
  char path[MAX_PATH];
  if (!AskForFile(path)) return;
  SetItemText(IDC_EDITOR_PATH, path);
  // The whole name: a cut one could name another profile.
  const std::string name = ItemString(IDC_EDITOR_NAME);
  if (name.empty()) return;
  // The path stays shown: Save writes it once the file can be written.
  CheckedWrites writes(m_ini);
  writes.WriteString(name.c_str(), "FilePath", path, m_files.userDef);
  ReportIfWriteFailed(Hwnd(), writes);
}

void CHotkeyEditorDlg::OnClear() {
  m_EditorTable.Slot(m_nCurButton) = BUTTONSLOT{};
  m_EditorHotKeys[m_nCurButton] = HOTKEYVALUE{};
  m_HoldSlots[m_nCurButton] = EditorHoldSlot{};
  ShowSlot(m_nCurButton);
}

bool CHotkeyEditorDlg::OfferToSave(const std::string& name, const char* before) {
  if (!CommitShownSlot()) return false;
  if (name.empty()) return true;
  const std::string path = ItemString(IDC_EDITOR_PATH);
  const bool mark = IsDlgButtonChecked(Hwnd(), IDC_EDITOR_ALL_OTHERS) == BST_CHECKED;
  if (!EditorDiffersFromSaved(m_ini, m_files, name.c_str(), path.c_str(), mark, m_EditorHotKeys,
                              m_EditorTable, m_HoldSlots)) {
    return true;
  }
  const std::string question = "Save the changes to \"" + name + "\" before " + before +
                               "?\n\nNo leaves the profile as it was last saved.";
  const int answer =
      MessageBoxA(Hwnd(), question.c_str(), kKeyRefusedCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL) return false;
  return answer != IDYES || OnSaveProfile();
}

void CHotkeyEditorDlg::OnExport() {
  const std::string name = ItemString(IDC_EDITOR_NAME);
  if (name.empty() || name.size() > static_cast<size_t>(kMaxProfileName)) return;
  if (!OfferToSave(name, "exporting it")) return;
  const ProfileFile profile =
      ReadProfileForFile(m_ini, name.c_str(), m_files.userDef, m_files.userDefInf, GetACP());
  const std::string text = FormatProfileFile(profile);
  // What cannot be imported is not exported: the file would only be refused
  // elsewhere.
  ProfileFile check;
  std::string problem;
  if (!ParseProfileFile(text, check, problem) || !CheckProfileFileValues(check, problem)) {
    Tell(Hwnd(), L"\"" + Widen(name) + L"\" cannot be exported as it is saved:\n\n" +
                     Widen(problem) + L"\n\n(The line is that of the file it would write.)");
    return;
  }
  std::wstring path;
  if (!ui::ChooseProfileFileToSave(Hwnd(), Widen(ProfileFileNameFor(name.c_str())), path)) return;
  DWORD error = 0;
  if (!WriteProfileFileBytes(path, text, error)) {
    Tell(Hwnd(), L"Could not write to \"" + path + L"\": " + ErrorReason(error) +
                     L".\n\nThe profile was not exported.");
  }
}

void CHotkeyEditorDlg::OnImport() {
  if (!OfferToSave(ItemString(IDC_EDITOR_NAME), "importing another")) return;
  std::wstring path;
  if (!ui::ChooseProfileFileToOpen(Hwnd(), path)) return;
  const std::wstring refused = L"Could not import \"" + path + L"\":\n\n";
  std::string bytes;
  DWORD error = 0;
  if (!ReadProfileFileBytes(path, bytes, error)) {
    Tell(Hwnd(), refused + (error == ERROR_FILE_TOO_LARGE
                                ? L"The file is larger than a profile file can be."
                                : L"The file could not be read: " + ErrorReason(error) + L"."));
    return;
  }
  ProfileFile profile;
  Win32ProfileTextConverter converter;
  const std::string problem = ReadImportedProfile(bytes, converter, profile);
  if (!problem.empty()) {
    Tell(Hwnd(), refused + Widen(problem) + L"\n\nNothing was changed.");
    return;
  }
  // The list as the editor opened it, and the file as it is now: another
  // program may have added a profile since.
  auto taken = [this](const std::string& name) {
    if (m_EditorCombo.Contains(name.c_str())) return true;
    for (const std::string& listed : ReadProfileNames(m_ini, m_files.userDef)) {
      if (EqualsNoCase(listed.c_str(), name.c_str())) return true;
    }
    return false;
  };
  std::string name = profile.name;
  while (taken(name)) {
    const std::string ask =
        "A profile named \"" + name + "\" exists already. Give the imported profile another name.";
    if (MessageBoxA(Hwnd(), ask.c_str(), kKeyRefusedCaption, MB_OKCANCEL | MB_ICONINFORMATION) !=
            IDOK ||
        RunAppNameDialog(m_hInstance, m_hEditorOwner, m_EditorCombo, name) != 1) {
      return;
    }
  }
  CheckedWrites writes(m_ini);
  WriteImportedProfile(writes, m_files, profile, name.c_str());
  if (ReportIfWriteFailed(Hwnd(), writes)) {
    // Captions written without their profile would greet a later profile of
    // that name.
    m_ini.WriteSection(name.c_str(), "\0", m_files.userDefInf);
    return;
  }
  m_EditorCombo.AppendAndSelect(name.c_str());
  OnSelchangeProfile();
  OfferToPickProgram(name);
}

void CHotkeyEditorDlg::OfferToPickProgram(const std::string& name) {
  const std::string program = ReadWholeString(m_ini, name.c_str(), "FilePath", m_files.userDef);
  Win32Launcher files;
  if (files.PathExists(program.c_str())) return;
  const std::string ask = "The program of \"" + name + "\"\n\n" + program +
                          "\n\nis not on this computer. Pick the program the profile is for.";
  if (MessageBoxA(Hwnd(), ask.c_str(), kKeyRefusedCaption, MB_OKCANCEL | MB_ICONINFORMATION) !=
      IDOK) {
    return;
  }
  char path[MAX_PATH];
  if (!AskForFile(path)) return;
  // The file name too: the profile applies by it.
  CheckedWrites writes(m_ini);
  WriteProfilePath(writes, m_files, name.c_str(), path);
  if (!ReportIfWriteFailed(Hwnd(), writes)) SetItemText(IDC_EDITOR_PATH, path);
}

}  // namespace k7
