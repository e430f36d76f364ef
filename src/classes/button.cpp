#include "classes/button.h"

#include <algorithm>
#include <utility>

#include "classes/simple_internal.h"

namespace nx {

using namespace simple;

TButtonPtr TButton::New(const TButtonParams& p) {
  auto btn = std::make_shared<TButton>();
  Build(*btn, p);
  return btn;
}

void TButton::Build(TButton& self, const TButtonParams& p) {
  TButton* btn = &self;
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  btn->oWnd = parent;
  btn->cCaption = p.cCaption;
  int width = p.nWidth.value_or(std::max(int(p.cCaption.size()) * 6, 30));
  btn->nTop = p.lPixel ? int(p.nRow) : int(p.nRow * 18);
  btn->nLeft = p.lPixel ? int(p.nCol) : int(p.nCol * 6);
  btn->nBottom = btn->nTop + p.nHeight;
  btn->nRight = btn->nLeft + width;
  btn->bAction = p.bAction;
  btn->nHelpId = p.nHelpId;
  btn->lDefault = p.lDefault;
  btn->nStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (p.lDefault ? BS_DEFPUSHBUTTON : 0) |
                (p.lDesign ? WS_CLIPSIBLINGS : 0);
  btn->lDrag = p.lDesign;
  btn->cMsg = p.cMsg;
  btn->lUpdate_ = p.lUpdate;
  btn->bWhen = p.bWhen;
  btn->bValid = p.bValid;
  btn->lCancel = p.lCancel;
  btn->lProcessing = false;
  TakeFont(*btn, p.oFont);
  btn->CreateOrDefer(parent, "BUTTON", [&] { btn->ApplyFont(); });
}

TButtonPtr TButton::ReDefine(const TButtonRedefineParams& p) {
  auto btn = std::make_shared<TButton>();
  Rebind(*btn, p);
  return btn;
}

void TButton::Rebind(TButton& self, const TButtonRedefineParams& p) {
  TButton* btn = &self;
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  btn->bAction = p.bAction;
  btn->nHelpId = p.nHelpId;
  btn->cMsg = p.cMsg;
  btn->lUpdate_ = p.lUpdate;
  btn->bWhen = p.bWhen;
  btn->bValid = p.bValid;
  btn->cCaption = p.cCaption;
  btn->lCancel = p.lCancel;
  btn->Redefine(p.nId, parent);
}

void TButton::Initiate(HWND hDlg) {
  bool cancel = lCancel;  // binding to the item must not lose it
  TControl::Initiate(hDlg);
  lCancel = cancel;
  if (!hWnd) return;
  lDefault = GetWindowLongA(hWnd, GWL_STYLE) & BS_DEFPUSHBUTTON;
  lProcessing = false;
  if (!cCaption.empty()) SetWindowTextA(hWnd, cCaption.c_str());
}

Value TButton::Click() {
  if (lProcessing) return Value();
  TControlPtr keep = SelfCtl();
  lProcessing = true;
  struct Processing {
    bool& flag;
    ~Processing() { flag = false; }
  } processing{lProcessing};
  if (bWhen && !bWhen(*this)) return Value();
  TWindowPtr parent = Parent();
  if (hWnd && GetFocus() != hWnd) {
    // Taking the focus must not run the validation of the control it leaves.
    if (parent) parent->lValidating = true;
    ::SetFocus(hWnd);
    if (parent) parent->lValidating = false;
  }
  if (bAction) bAction(*this);
  if (!lCancel && parent && IsWindow(parent->hWnd)) TControl::Click();
  if (hWnd) {
    if (GetFocus() == hWnd) PostMessageA(hWnd, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    else if (!lDefault) SendMessageA(hWnd, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
  return Value();
}

Value TButton::GotFocus(HWND hWndOld) {
  if (hWnd) PostMessageA(hWnd, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  return TControl::GotFocus(hWndOld);
}

Value TButton::LostFocus(HWND hWndNew) {
  if (hWnd && !lDefault) PostMessageA(hWnd, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  return TControl::LostFocus(hWndNew);
}

Value TButton::KeyDown(int nKey, int nFlags) {
  TControlPtr keep = SelfCtl();
  TWindowPtr parent = Parent();
  if (parent) parent->nLastKey = nKey;
  switch (nKey) {
    case VK_UP:
    case VK_LEFT:
      if (bKeyDown) bKeyDown(nKey, nFlags, *this);
      else if (parent) parent->GoPrevCtrl(hWnd);
      return Value(0);
    case VK_DOWN:
    case VK_RIGHT:
      if (bKeyDown) bKeyDown(nKey, nFlags, *this);
      else if (parent) parent->GoNextCtrl(hWnd);
      return Value(0);
    case VK_RETURN:
      if (bKeyDown) bKeyDown(nKey, nFlags, *this);
      else PostMessageA(hWnd, WM_NX_CLICK, 0, 0);
      return Value(0);
    default: return TControl::KeyDown(nKey, nFlags);
  }
}

Value TButton::LButtonUp(int nRow, int nCol, int nKeyFlags) {
  if (OnClick) OnClick.Eval({Value(Self())});
  // Outside design mode the button's own release makes the click.
  return lDrag ? TControl::LButtonUp(nRow, nCol, nKeyFlags) : Value();
}

Value TButton::MouseMove(int nRow, int nCol, int nKeyFlags) {
  TControl::MouseMove(nRow, nCol, nKeyFlags);
  return Value();
}

std::string TButton::cToChar(const std::string& cClassName) {
  return TControl::cToChar(cClassName.empty() ? "BUTTON" : cClassName);
}

std::string TButton::cGenPRG() const {
  return "   @ " + std::to_string(nTop) + ", " + std::to_string(nLeft) + " BUTTON \"" + cCaption + "\" SIZE " +
         std::to_string(nRight - nLeft) + ", " + std::to_string(nBottom - nTop) + " PIXEL OF oWnd ;\r\n" +
         "      ACTION MsgInfo( \"Not defined yet!\" )";
}

}  // namespace nx
