#include "classes/meter.h"

#include <algorithm>
#include <cmath>

#include "classes/font.h"
#include "native/dispatch.h"
#include "native/image.h"

namespace nx {

namespace {
// A meter without a variable of its own keeps one.
SetGet OwnValue() {
  auto value = std::make_shared<Value>(1);
  return [value](std::optional<Value> u) {
    if (u) *value = *u;
    return *value;
  };
}
}  // namespace

template <class Params>
void TMeter::TakeArguments(const Params& p, const TWindowPtr& parent) {
  bSetGet = p.bSetGet ? p.bSetGet : OwnValue();
  nTotal = p.nTotal;
  cText = p.cText;
  lPercentage = !p.lNoPercentage;
  nClrBar = p.nClrBar;
  nClrBText = p.nClrBText;
  oFont = p.oFont;
  if (oFont) ++oFont->nCount;
  COLORREF text = parent ? parent->nClrText : GetSysColor(COLOR_WINDOWTEXT);
  COLORREF pane = parent ? parent->nClrPane : GetSysColor(COLOR_WINDOW);
  SetColor(p.nClrText.value_or(text), p.nClrPane.value_or(pane));
  oWnd = parent;
  nRefresh = 0;
}

std::shared_ptr<TMeter> TMeter::New(const TMeterParams& p) {
  auto m = std::make_shared<TMeter>();
  TWindowPtr parent = p.oWnd ? p.oWnd : GetWndDefault();
  m->nTop = p.lPixel ? p.nRow : p.nRow * 14;
  m->nLeft = p.lPixel ? p.nCol : p.nCol * 8;
  // Bottom and right are inside: the window is nWidth x nHeight.
  m->nBottom = m->nTop + p.nHeight - 1;
  m->nRight = m->nLeft + p.nWidth - 1;
  m->nStyle = WS_CHILD | WS_VISIBLE | (p.lDesign ? WS_CLIPSIBLINGS | WS_TABSTOP : 0);
  m->nId = GetNewId();
  m->TakeArguments(p, parent);
  m->lCaptured = false;
  m->lUpdate_ = false;
  m->Register(CS_VREDRAW | CS_HREDRAW);
  if (parent && parent->hWnd) {
    m->Create();
    if (m->hWnd) {
      m->Default();
      m->lVisible = true;
      parent->AddControl(m);
    }
  } else {
    m->lVisible = false;
    if (parent) parent->DefControl(m);
  }
  m->lDrag = p.lDesign;
  if (p.lDesign) m->CheckDots();
  return m;
}

std::shared_ptr<TMeter> TMeter::ReDefine(const TMeterRedefineParams& p) {
  auto m = std::make_shared<TMeter>();
  TWindowPtr parent = p.oWnd ? p.oWnd : GetWndDefault();
  m->TakeArguments(p, parent);
  m->lUpdate_ = p.lUpdate;
  m->Redefine(p.nId, parent);
  return m;
}

void TMeter::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (hWnd) Default();
}

void TMeter::Default() {
  if (VarGet().IsNil()) VarPut(Value(0));
  TWindowPtr parent = Parent();
  std::shared_ptr<TFont> font = oFont ? oFont : parent ? parent->oFont : nullptr;
  if (font) SetFont(font);
}

double TMeter::nActual() {
  const Value v = VarGet();
  return v.IsNumber() ? v.AsNumber() : 0.0;
}

int TMeter::nPercent() {
  if (!(nTotal > 0)) return 0;
  return int(std::clamp(std::floor(nActual() * 100.0 / nTotal), 0.0, 100.0));
}

void TMeter::Set(std::optional<double> nValue) {
  TControlPtr keep = SelfCtl();
  double value = nValue.value_or(nActual());
  if (!std::isfinite(value)) value = 0;
  value = std::clamp(value, 0.0, std::max(nTotal, 0.0));
  // Whole numbers stay whole for the bound variable.
  VarPut(value == std::floor(value) && value < 1e15 ? Value(static_cast<long long>(value)) : Value(value));
  if (!(nTotal > 0)) return;
  const int p = nPercent();
  // At least 1 % repaints; so does a fall back under 1 % that shows 0 %.
  if (value * 100.0 >= nTotal || p != nShown_) {
    nRefresh += p;
    Refresh(false);
    SYSREFRESH();
  }
}

void TMeter::SetTotal(double n) {
  nTotal = n;
  Refresh();
}

Value TMeter::Paint() {
  nShown_ = nPercent();
  METERPAINT(hWnd, hDC, nActual(), nTotal, nShown_, cText, lPercentage, nClrPane, nClrText, nClrBar, nClrBText,
             oFont ? oFont->hFont : nullptr);
  return Value(0);
}

Value TMeter::Display() {
  TControlPtr keep = SelfCtl();
  BeginPaint();
  Paint();
  EndPaint();
  return Value(0);
}

}  // namespace nx
