#include "classes/checkbox.h"

#include "classes/setget.h"
#include "classes/simple_internal.h"

namespace nx {

using namespace simple;

void TCheckBox::BindLogical(SetGet get) {
  bSetGet = get ? std::move(get) : OwnVar(Value(false));
  if (!bSetGet(std::nullopt).IsLogical()) bSetGet(Value(false));
}

TCheckBoxPtr TCheckBox::New(const TCheckBoxParams& p) {
  auto box = std::make_shared<TCheckBox>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  box->oWnd = parent;
  box->cCaption = p.cCaption;
  box->BindLogical(p.bSetGet);
  int width = p.nWidth.value_or(int(p.cCaption.size()) * 7);
  box->nTop = p.lPixel ? int(p.nRow) : int(p.nRow * 13);
  box->nLeft = p.lPixel ? int(p.nCol) : int(p.nCol * 7);
  box->nBottom = box->nTop + p.nHeight;
  box->nRight = box->nLeft + width - (p.lPixel ? 0 : 24);
  box->nHelpId = p.nHelpTopic;
  box->bChange = p.bChange;
  box->bValid = p.bValid;
  box->bWhen = p.bWhen;
  box->cMsg = p.cMsg;
  box->lUpdate_ = p.lUpdate;
  box->lDrag = p.lDesign;
  box->nStyle = WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | WS_TABSTOP | (p.lDesign ? WS_CLIPSIBLINGS : 0);
  TakeFont(*box, p.oFont);
  box->SetColor(TextColor(p.nClrFore, parent), PaneColor(p.nClrBack, parent));
  box->CreateOrDefer(parent, "BUTTON", [&] { box->Default(); });
  return box;
}

TCheckBoxPtr TCheckBox::ReDefine(const TCheckBoxRedefineParams& p) {
  auto box = std::make_shared<TCheckBox>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  box->BindLogical(p.bSetGet);
  box->nHelpId = p.nHelpId;
  box->bChange = p.bChange;
  box->bValid = p.bValid;
  box->bWhen = p.bWhen;
  box->cMsg = p.cMsg;
  box->lUpdate_ = p.lUpdate;
  box->SetColor(TextColor(p.nClrFore, parent), PaneColor(p.nClrBack, parent));
  box->Redefine(p.nId, parent);
  return box;
}

bool TCheckBox::lChecked() { return bSetGet && bSetGet(std::nullopt).AsLogical(); }

void TCheckBox::Check() { SetCheck(true); }
void TCheckBox::UnCheck() { SetCheck(false); }

void TCheckBox::SetCheck(bool lOnOff) {
  if (bSetGet) bSetGet(Value(lOnOff));
  if (hWnd) SendMessageA(hWnd, BM_SETCHECK, lOnOff ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::Refresh(bool) {
  if (hWnd) SendMessageA(hWnd, BM_SETCHECK, lChecked() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::Default() {
  Refresh();
  if (oFont) SetFont(oFont);
  else GetFont();
}

void TCheckBox::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (!hWnd) return;
  cCaption = GetText();
  Refresh();
}

void TCheckBox::SetText(const std::string& cText) {
  if (ISAPPTHEMED() && !lTransparent) RepaintParentBack(hWnd);
  TWindow::SetText(cText);
}

Value TCheckBox::Click() {
  TControlPtr keep = SelfCtl();
  if (bSetGet) {
    bSetGet(Value(!lChecked()));
    Refresh();
  }
  if (bChange) bChange(lChecked(), *this);
  return TControl::Click();
}

Value TCheckBox::EraseBkGnd(HDC hDC) {
  if (ISAPPTHEMED() && !lTransparent) return Value(1);
  return TControl::EraseBkGnd(hDC);
}

Value TCheckBox::MouseMove(int nRow, int nCol, int nKeyFlags) {
  Value r = TControl::MouseMove(nRow, nCol, nKeyFlags);
  return lDrag ? r : Value();
}

std::string TCheckBox::cToChar(const std::string& cClassName) {
  return TControl::cToChar(cClassName.empty() ? "BUTTON" : cClassName);
}

std::string TCheckBox::cGenPrg() const {
  return "   @ " + std::to_string(nTop) + ", " + std::to_string(nLeft) + " CHECKBOX \"" + cCaption + "\" SIZE " +
         std::to_string(nRight - nLeft) + ", " + std::to_string(nBottom - nTop) + " PIXEL OF oWnd";
}

}  // namespace nx
