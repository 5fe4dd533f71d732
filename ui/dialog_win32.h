// A dialog from a resource template, as a class: the dialog procedure finds
// the object through the window's user data and hands every message to the
// virtual HandleMessage, which in turn calls the On... handlers.
//
// A modal dialog runs its own message loop, which the program cannot reach.
// While one runs, a message-filter hook on its thread offers each message of
// that loop to PreTranslateMessage first, so a dialog can swallow keys (Enter,
// Escape) before the dialog manager turns them into commands.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace k7::ui {

class CDialog {
 public:
  CDialog() = default;
  // Detaches the object from a window that outlives it, so that no later
  // message reaches a destroyed object.
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Shows the dialog from template templateId and returns when it ends: the
  // value given to EndDialog, or -1 when the dialog could not be created.
  INT_PTR DoModal(HINSTANCE instance, int templateId, HWND parent);
  // Makes the dialog modeless, hidden unless its template says otherwise;
  // false when it could not be made. While a modal dialog of the same thread
  // runs, its loop lets this one see its keys (Tab, Escape) too. Destroy
  // with DestroyWindow.
  bool Create(HINSTANCE instance, int templateId, HWND parent);

  HWND Hwnd() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

  void SetItemText(int id, const char* text) const;
  // Copies at most size - 1 characters and always terminates (when size > 0);
  // returns the number of characters copied.
  int GetItemText(int id, char* buffer, int size) const;
  // Checks checkedId and clears the other radio buttons firstId..lastId.
  void CheckRadio(int firstId, int lastId, int checkedId) const;
  bool IsChecked(int id) const;

  // Gives control id a tooltip whose text is asked of TooltipText each time
  // it shows. Needs the window (call it from OnInitDialog or later).
  bool AddTooltip(int id);

 protected:
  // Every message after WM_INITDIALOG (and that one too); returns what a
  // dialog procedure returns: nonzero when the message was handled.
  virtual INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  // Return TRUE to let the dialog manager set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  // WM_COMMAND of any id but IDOK and IDCANCEL.
  virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }

  // Sees each message of the modal loop before the dialog manager does;
  // true swallows it.
  virtual bool PreTranslateMessage(MSG& /*msg*/) { return false; }

  // Tooltip text of control id; null or empty shows none.
  virtual const char* TooltipText(int /*id*/) { return nullptr; }

  void EndDialog(INT_PTR result) const { ::EndDialog(hwnd_, result); }

  // For a window that must not appear when its modal run starts (call before
  // DoModal). The run shows the window once its loop is idle: that show is
  // stripped of showing and activating, so the foreground stays with the
  // application the user is working in; should a show still get through, the
  // first paint hides the window again. Later shows are left alone.
  void StayHiddenOnFirstShow() { hideFirstShow_ = true; }
  // The window was shown on purpose before the run's show: its first paint
  // must not hide it.
  void KeepShownOnFirstPaint() { hideOnPaint_ = false; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK FilterProc(int code, WPARAM wp, LPARAM lp);
  void OnNeedText(NMTTDISPINFOA& info);
  // The first-show handling; true when the message needs nothing more.
  bool HandleFirstShow(UINT msg, LPARAM lp);

  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  // The tooltip shows text it was pointed at after the notification returns.
  std::string tipText_;
  // The modal dialog of the same thread that this one runs inside, if any.
  CDialog* outer_ = nullptr;
  bool hideFirstShow_ = false;
  // Armed once WM_INITDIALOG is handled.
  bool stripShow_ = false;
  bool hideOnPaint_ = false;
};

}  // namespace k7::ui
