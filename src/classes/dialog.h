// TDialog: the dialog box window, modal or modeless. The platform's dialog
// manager creates its native window and runs its keyboard navigation (Tab,
// arrow keys, Enter, Esc, Alt+hot keys); the object keeps the TWindow event
// model.
//
// A dialog comes from one of three sources:
//   - a dialog resource (cResName): its controls are bound to the resource's
//     items with the controls' ReDefine constructors;
//   - a ready template (cResData), bound the same way;
//   - neither: the controls are built in code (their New constructors, with
//     the dialog as parent) and Activate generates the template from the
//     dialog's rectangle and the controls (cToChar).
//
// Life: New (or Define) → controls join with DefControl (automatically, as
// their constructors see the dialog has no window yet) → Activate → the
// dialog manager creates the window and Initiate binds every control →
// running (a modal Activate returns when the dialog has ended, with the end
// code in nResult; a modeless one returns at once and the application loop
// serves the dialog's keyboard) → End / Close → Destroy.
//
//   auto dlg = TDialog::New({.cCaption = "Settings", .nWidth = 300, .nHeight = 200});
//   auto chk = TCheckBox::New({.nRow = 1, .nCol = 2, .cCaption = "&Sound", .bSetGet = BindVar(lSound)});
//   TButton::New({.nRow = 5, .nCol = 2, .cCaption = "&OK", .bAction = [](TButton& b) { ToDialog(b)->End(1); }});
//   dlg->Activate();
//   if (dlg->nResult == Value(1)) ...
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "classes/control.h"
#include "native/dispatch.h"

namespace nx {

class TDialog;
using TDialogPtr = std::shared_ptr<TDialog>;

// New's positional arguments, with their defaults.
struct TDialogParams {
  int nTop = 0, nLeft = 0, nBottom = 10, nRight = 40;  // character cells unless lPixel
  std::string cCaption{};                               // empty: a resource dialog keeps its own
  std::optional<DialogTemplate> cResName{};             // dialog resource name or number
  HINSTANCE hResources = nullptr;                       // module with the resource; nullptr: the program
  bool lVbx = false;                                    // legacy custom controls: not supported, ignored
  DWORD nStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  std::optional<COLORREF> nClrText{}, nClrBack{};       // none: COLOR_BTNTEXT, COLOR_BTNFACE
  std::shared_ptr<TBrush> oBrush{};
  TWindowPtr oWnd{};  // owner window
  bool lPixel = false;
  std::shared_ptr<TIcon> oIcon{};
  std::string cIcon{};  // icon file name (when such a file exists) or resource name
  std::shared_ptr<TFont> oFont{};
  int nHelpId = 0;
  int nWidth = 0, nHeight = 0;  // either non-zero: a dialog of exactly this size in pixels
  bool lTransparent = false;    // labels and most controls paint over the dialog's background
};

// Define's positional arguments: a dialog whose rectangle is in pixels.
struct TDialogDefineParams {
  int nTop = 0, nLeft = 0, nBottom = 150, nRight = 316;
  std::string cCaption{};
  DWORD nStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  bool lVbx = false;
  std::optional<COLORREF> nClrText{}, nClrBack{};
  std::shared_ptr<TBrush> oBrush{};
};

// Activate's positional arguments. Every hook is stored, given or not.
struct TDialogActivateParams {
  MouseHook bLClicked{};
  MovedHook bMoved{};
  PaintHook bPainted{};
  bool lCentered = false;
  CondHook bValid{};  // false keeps the dialog open
  bool lModal = true;
  // Runs when the window and its controls exist; a hook that moves the focus
  // into the dialog keeps it there (the dialog manager then sets none).
  WindowHook bInit{};
  MouseHook bRClicked{};
  CondHook bWhen{};  // false: the dialog does not open and nResult is 2
  bool lResize16 = false;  // resource dialogs: widen the dialog and its items by 1.16668
};

class TDialog : public TWindow {
 public:
  // ---- construction ---------------------------------------------------------------
  static TDialogPtr New(const TDialogParams& p = {});
  static TDialogPtr Define(const TDialogDefineParams& p = {});
  // New for a subclass: builds a T and runs the same construction.
  template <class T>
  static std::shared_ptr<T> NewAs(const TDialogParams& p = {}) {
    auto d = std::make_shared<T>();
    d->Init(p);
    return d;
  }

  const char* ClassName() const override { return "TDIALOG"; }
  bool TabsByDialogManager() const override { return true; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  TDialogPtr SelfDlg() { return std::static_pointer_cast<TDialog>(shared_from_this()); }

  // ---- activation and ending -------------------------------------------------------------
  // Hides TWindow's Activate: a dialog is activated through TDialog. A
  // dialog whose window is open is only shown again.
  void Activate(const TDialogActivateParams& p = {});
  // Ends the dialog with nResult (default 2): a modal dialog unless bValid
  // refuses; a modeless one is sent WM_CLOSE, where bValid decides.
  bool End() override { return End(IDCANCEL); }
  bool End(int nResult);
  // WM_INITDIALOG: binds the window and every control; false when the bInit
  // hook set the focus itself.
  virtual bool Initiate(HWND hWndFocus, HWND hDlg);
  // The in-memory template: header and every control's item.
  std::string cToChar(HWND hWndOwner);

  // ---- events ----------------------------------------------------------------------------------
  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  Value Close(WPARAM nWParam) override;
  Value Destroy() override;
  Value Command(WPARAM nWParam, LPARAM nLParam) override;
  Value CtlColor(HWND hWndCtl, HDC hDC) override;
  Value KeyChar(int nKey, int nFlags) override;
  Value KeyDown(int nKey, int nFlags) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  Value Paint() override;
  Value EraseBkGnd(HDC hDC) override;
  Value SysCommand(WPARAM nWParam, LPARAM nLParam) override;
  Value Help(WPARAM nWParam, LPARAM nLParam) override;
  Value GotFocus(HWND hWndLost) override;
  Value LostFocus(HWND hWndNew) override;
  Value NcActivate(bool lActive) override;
  Value QueryEndSession() override;
  virtual Value Display();
  virtual Value PrintClient(HDC hDC);
  void Help95();

  // ---- controls ---------------------------------------------------------------------------------
  // A control defined before the window exists: a new id when it has none;
  // a duplicated id raises library error 2.
  void DefControl(TWindowPtr oCtrl) override;
  HWND GetItem(int nId) const;
  // The enabled child (other than hWndExcept) whose text has nChar after
  // "&", ignoring case; for a label, the next child that is not one. 0: none.
  HWND GetHotPos(int nChar, HWND hWndExcept = nullptr) const;
  // The control of aControls with that id, or nullptr.
  TControlPtr ControlOf(int nId) const;
  void SetControl(TWindowPtr oCtrl);
  void SetFont(std::shared_ptr<TFont> oFont) override;
  void AdjTop() override;
  bool IsModelessDialog() const override { return !lModal; }

  // ---- instance data -----------------------------------------------------------------------------
  std::optional<DialogTemplate> cResName;
  std::string cResData;  // a ready template
  HINSTANCE hResources = nullptr;
  bool lCentered = false, lModal = true, lModify = true;
  WindowHook bStart;  // once, after the first paint
  // Context help: unset or true shows the caption's help button; true while
  // help mode is armed.
  std::optional<bool> lHelpIcon;
  bool lResize16 = false;
  bool lTransparent = false;
  std::function<Value(bool lActive, TDialog& self)> bNcActivate;

 protected:
  void Init(const TDialogParams& p);

 private:
  HWND OwnerForActivation();
  void RunModal(HWND hOwner);
  void RunModeless(HWND hOwner);
  bool EscEnds(bool lKeyDown);
  void Resize16();
  bool released_ = false;  // Destroy released the resources of a dialog End left without a handle
};

// Turns Esc ending dialogs (KeyDown/KeyChar of dialogs owned by dialogs and
// multiple-document windows) on or off; answers the previous setting.
bool SetDialogEsc();
bool SetDialogEsc(bool lOnOff);
// Raises library error 3 for a dialog the platform could not create.
Value CreateDlgError(const TDialog& oDlg);
// The dialog a control lives in, or nullptr.
TDialogPtr ToDialog(const TWindow& oCtrl);

}  // namespace nx
