#include "ui/dialog_win32.h"

namespace k7::ui {
namespace {

// The modal dialogs running on this thread, innermost first, and the one
// filter hook they share.
thread_local CDialog* t_innermost = nullptr;
thread_local HHOOK t_filter = nullptr;
// The modeless dialog of this thread, if any: the modal loops hand it its keys.
thread_local HWND t_modeless = nullptr;

}  // namespace

CDialog::~CDialog() {
  if (hwnd_ != nullptr) SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
}

INT_PTR CDialog::DoModal(HINSTANCE instance, int templateId, HWND parent) {
  outer_ = t_innermost;
  t_innermost = this;
  if (t_filter == nullptr) {
    t_filter = SetWindowsHookExA(WH_MSGFILTER, FilterProc, nullptr, GetCurrentThreadId());
  }
  const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), parent, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
  t_innermost = outer_;
  outer_ = nullptr;
  if (t_innermost == nullptr && t_filter != nullptr) {
    UnhookWindowsHookEx(t_filter);
    t_filter = nullptr;
  }
  return result;
}

bool CDialog::Create(HINSTANCE instance, int templateId, HWND parent) {
  if (hwnd_ != nullptr) return true;
  CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), parent, DialogProc,
                     reinterpret_cast<LPARAM>(this));
  if (hwnd_ != nullptr) t_modeless = hwnd_;
  return hwnd_ != nullptr;
}

void CDialog::SetItemText(int id, const char* text) const {
  SetDlgItemTextA(hwnd_, id, text);
}

int CDialog::GetItemText(int id, char* buffer, int size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  int length = static_cast<int>(GetDlgItemTextA(hwnd_, id, buffer, size));
  if (length < 0) length = 0;
  if (length > size - 1) length = size - 1;
  buffer[length] = '\0';
  return length;
}

void CDialog::CheckRadio(int firstId, int lastId, int checkedId) const {
  CheckRadioButton(hwnd_, firstId, lastId, checkedId);
}

bool CDialog::IsChecked(int id) const {
  return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED;
}

bool CDialog::AddTooltip(int id) {
  HWND control = Item(id);
  if (control == nullptr) return false;
  if (tooltip_ == nullptr) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    // Always tip: a tray program's window is often not the active one.
    tooltip_ = CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE)), nullptr);
    if (tooltip_ == nullptr) return false;
  }
  TTTOOLINFOA tool = {};
  // The size every comctl32 version accepts; the fields after it are unused.
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  return SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}

INT_PTR CDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      return OnInitDialog();
    }
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      if (id == IDOK) {
        OnOK();
      } else if (id == IDCANCEL) {
        OnCancel();
      } else {
        OnCommand(id, HIWORD(wp), reinterpret_cast<HWND>(lp));
      }
      return TRUE;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      if (header->code == TTN_NEEDTEXTA && header->hwndFrom == tooltip_) {
        OnNeedText(*reinterpret_cast<NMTTDISPINFOA*>(lp));
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

void CDialog::OnNeedText(NMTTDISPINFOA& info) {
  const int id = (info.uFlags & TTF_IDISHWND) != 0
                     ? GetDlgCtrlID(reinterpret_cast<HWND>(info.hdr.idFrom))
                     : static_cast<int>(info.hdr.idFrom);
  const char* text = TooltipText(id);
  tipText_ = text != nullptr ? text : "";
  info.hinst = nullptr;
  info.szText[0] = '\0';
  info.lpszText = tipText_.data();
}

bool CDialog::HandleFirstShow(UINT msg, LPARAM lp) {
  if (msg == WM_WINDOWPOSCHANGING && stripShow_) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
    if (pos->flags & SWP_SHOWWINDOW) {
      pos->flags = (pos->flags & ~SWP_SHOWWINDOW) | SWP_NOACTIVATE;
      stripShow_ = false;
      hideOnPaint_ = false;
    }
    return false;
  }
  if (msg == WM_PAINT && hideOnPaint_) {
    stripShow_ = false;
    hideOnPaint_ = false;
    ValidateRect(hwnd_, nullptr);
    ShowWindow(hwnd_, SW_HIDE);
    return true;
  }
  return false;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CDialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lp);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, lp);
  } else {
    self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  // Messages before WM_INITDIALOG (WM_SETFONT) have no object yet.
  if (self == nullptr) return FALSE;
  if (self->HandleFirstShow(msg, lp)) return TRUE;
  const INT_PTR result = self->HandleMessage(msg, wp, lp);
  if (msg == WM_INITDIALOG && self->hideFirstShow_) {
    self->stripShow_ = true;
    self->hideOnPaint_ = true;
  }
  if (msg == WM_NCDESTROY) {
    if (t_modeless == hwnd) t_modeless = nullptr;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->tooltip_ = nullptr;
  }
  return result;
}

LRESULT CALLBACK CDialog::FilterProc(int code, WPARAM wp, LPARAM lp) {
  if (code == MSGF_DIALOGBOX) {
    MSG* msg = reinterpret_cast<MSG*>(lp);
    // The message may be for any control: its top-level window is the dialog.
    HWND root = msg->hwnd != nullptr ? GetAncestor(msg->hwnd, GA_ROOT) : nullptr;
    for (CDialog* d = t_innermost; d != nullptr; d = d->outer_) {
      if (d->hwnd_ != nullptr && d->hwnd_ == root) {
        if (d->PreTranslateMessage(*msg)) return 1;
        break;
      }
    }
    if (root != nullptr && root == t_modeless && IsDialogMessageA(root, msg)) return 1;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace k7::ui
