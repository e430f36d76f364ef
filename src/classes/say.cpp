#include "classes/say.h"

#include <cstdlib>

#include "classes/brush.h"
#include "classes/simple_internal.h"
#include "rt/strings.h"
#include "rt/transform.h"

namespace nx {

using namespace simple;

std::string TSay::Format(const Value& uValue) const {
  return cPicture.empty() ? cValToChar(uValue) : Transform(uValue, cPicture);
}

TSayPtr TSay::New(const TSayParams& p) {
  auto say = std::make_shared<TSay>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  say->oWnd = parent;
  say->bGet = p.bText ? p.bText : [text = p.cText] { return Value(text); };
  say->bSetGet = [get = say->bGet](std::optional<Value>) { return get(); };
  say->cPicture = p.cPicture;
  TakeFont(*say, p.oFont);
  say->cCaption = say->Format(say->bGet());
  int height = p.nHeight.value_or(p.oFont ? std::abs(int(p.oFont->nHeight())) : 15);
  int width = p.nWidth ? *p.nWidth : TextWidth(say->cCaption, FontOf(*say));
  say->nTop = p.lPixels ? int(p.nRow) : int(p.nRow * 15 + 2);
  say->nLeft = p.lPixels ? int(p.nCol) : int(p.nCol * 6);
  say->nBottom = say->nTop + height - 1;
  say->nRight = say->nLeft + width - 1;
  say->nStyle = WS_CHILD | WS_VISIBLE | (p.lDesign ? WS_CLIPSIBLINGS | WS_TABSTOP : 0) |
                (p.lCentered ? SS_CENTER : p.lRight ? SS_RIGHT : 0) | (p.lBorder ? WS_BORDER : 0) |
                (p.lShaded ? 4 : 0) | (p.lBox ? 5 : 0) | (p.lRaised ? 6 : 0);
  say->l3DLook = p.lShaded || p.lBox || p.lRaised;
  say->lDrag = p.lDesign;
  say->lWantClick = false;
  say->lAdjust = p.lAdjust;
  say->lUpdate_ = p.lUpdate;
  say->lTransparent = p.lTransparent;
  bool plainParent = parent && std::string(parent->ClassName()) == "TWINDOW";
  say->SetColor(TextColor(p.nClrText, parent),
                p.nClrBack ? *p.nClrBack : plainParent ? parent->nClrPane : GetSysColor(COLOR_BTNFACE));
  if (say->lTransparent && parent && parent->oBrush && say->oBrush) {
    std::string cls = parent->ClassName();
    if (!ISAPPTHEMED() || cls == "TWINDOW" || cls == "TPANEL") say->SetBrush(parent->oBrush);
  }
  say->CreateOrDefer(parent, "STATIC", [&] {
    say->Default();
    if (say->l3DLook) say->Set3DLook(true);
  });
  return say;
}

TSayPtr TSay::ReDefine(const TSayRedefineParams& p) {
  auto say = std::make_shared<TSay>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  say->cPicture = p.cPicture;
  say->l3DLook = false;
  say->bGet = p.bText;
  if (p.bText) {
    say->bSetGet = [get = p.bText](std::optional<Value>) { return get(); };
    say->cCaption = say->Format(p.bText());
  }
  say->lUpdate_ = p.lUpdate;
  say->lAdjust = p.lAdjust;
  say->lTransparent = p.lTransparent;
  TakeFont(*say, p.oFont);
  say->SetColor(TextColor(p.nClrText, parent), p.nClrBack.value_or(GetSysColor(COLOR_BTNFACE)));
  say->hWnd = nullptr;
  say->Redefine(p.nId, parent);
  return say;
}

void TSay::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (!hWnd) return;
  if (!ISAPPTHEMED() && lTransparent) {
    if (TWindowPtr parent = Parent(); parent && parent->oBrush && parent->oBrush->hBitmap) SetBrush(parent->oBrush);
  }
  if (bGet) SetWindowTextA(hWnd, cCaption.c_str());
  else cCaption = GetText();
}

void TSay::Default() {
  if (oFont) SetFont(oFont);
  else GetFont();
}

void TSay::SetText(const Value& uValue) {
  cCaption = Format(uValue);
  if (!hWnd) return;
  TWindowPtr parent = Parent();
  if (parent && parent->oBrush && !parent->oBrush->hBitmap && (ISAPPTHEMED() || lTransparent))
    RepaintParentBack(hWnd);
  if (lAdjust && !(nStyle & (SS_CENTER | SS_RIGHT))) {
    int wanted = TextWidth(cCaption, FontOf(*this)) + 20;
    if (wanted > nWidth()) {
      SetWidth(wanted);
      nRight = nLeft + wanted - 1;
    }
  }
  SetWindowTextA(hWnd, cCaption.c_str());
}

void TSay::Refresh(bool) {
  if (bGet) SetText(bGet());
}

void TSay::VarPut(const Value& uValue) {
  bGet = [text = Format(uValue)] { return Value(text); };
}

Value TSay::HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  // A label is transparent to the mouse unless it is dragged or wants clicks.
  if (nMsg == WM_NCHITTEST && (lDrag || lWantClick))
    return Value(int64_t(DefWindowProcA(hWnd, nMsg, nWParam, nLParam)));
  return TControl::HandleEvent(nMsg, nWParam, nLParam);
}

Value TSay::EraseBkGnd(HDC hDC) {
  if (ISAPPTHEMED() || lTransparent) return Value(1);
  return TControl::EraseBkGnd(hDC);
}

std::string TSay::cToChar(const std::string& cClassName) {
  return TControl::cToChar(cClassName.empty() ? "STATIC" : cClassName);
}

std::string TSay::cGenPrg() const {
  return "   @ " + std::to_string(nTop) + ", " + std::to_string(nLeft) + " SAY \"" + cCaption + "\" SIZE " +
         std::to_string(nRight - nLeft + 1) + ", " + std::to_string(nBottom - nTop + 1) + " PIXEL OF oWnd";
}

}  // namespace nx
