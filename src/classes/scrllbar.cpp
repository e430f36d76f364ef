#include "classes/scrllbar.h"

#include "native/dispatch.h"

namespace nx {

void SETSCROLLRANGE(HWND hWnd, int nBar, int nMin, int nMax, bool lRedraw) {
  if (hWnd) SetScrollRange(hWnd, nBar, nMin, nMax, lRedraw);
}

int SETSCROLLPOS(HWND hWnd, int nBar, int nPos, bool lRedraw) {
  return hWnd ? SetScrollPos(hWnd, nBar, nPos, lRedraw) : 0;
}

std::pair<int, int> GETSCROLLRANGE(HWND hWnd, int nBar) {
  int lo = 0, hi = 0;
  if (hWnd) GetScrollRange(hWnd, nBar, &lo, &hi);
  return {lo, hi};
}

int GETSCROLLPOS(HWND hWnd, int nBar) { return hWnd ? GetScrollPos(hWnd, nBar) : 0; }

namespace {
// The blocks and conditions every constructor takes from its arguments.
template <class Params>
void TakeBlocks(TScrollBar& bar, const Params& p) {
  bar.bGoUp = p.bUp;
  bar.bGoDown = p.bDown;
  bar.bPageUp = p.bPgUp;
  bar.bPageDown = p.bPgDn;
  bar.bPos = p.bPos;
  bar.lUpdate_ = p.lUpdate;
  bar.bWhen = p.bWhen;
  bar.bValid = p.bValid;
}
}  // namespace

std::shared_ptr<TScrollBar> TScrollBar::New(const TScrollBarParams& p) {
  auto bar = std::make_shared<TScrollBar>();
  TWindowPtr owner = p.oWnd ? p.oWnd : GetWndDefault();
  int width = p.nWidth.value_or(p.lVertical ? 16 : 100);
  int height = p.nHeight.value_or(p.lVertical ? 100 : 17);
  bar->cCaption = "";
  bar->nTop = p.lPixel ? p.nRow : p.nRow * 14;
  bar->nLeft = p.lPixel ? p.nCol : p.nCol * 8;
  bar->nBottom = bar->nTop + height - 1;
  bar->nRight = bar->nLeft + width - 1;
  bar->nMin = p.nMin;
  bar->nMax = p.nMax;
  bar->nPgStep = p.nPgStep;
  bar->lVertical = p.lVertical;
  bar->lReDraw = true;
  bar->nStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (p.lVertical ? SBS_VERT : 0) | (p.lDesign ? WS_CLIPSIBLINGS : 0);
  TakeBlocks(*bar, p);
  bar->oWnd = owner;
  bar->lIsChild = false;
  bar->lDrag = p.lDesign;
  bar->lCaptured = false;
  bar->cMsg = p.cMsg;
  bar->SetColor(p.nClrText.value_or(GetSysColor(COLOR_WINDOW)), p.nClrBack.value_or(GetSysColor(COLOR_SCROLLBAR)));
  if (owner && owner->hWnd) {
    bar->nId = GetNewId();
    bar->Create("SCROLLBAR");
    bar->SetRange(p.nMin, p.nMax);
    bar->SetPos(p.nMin);
    if (bar->hWnd) owner->AddControl(bar);
  } else if (owner) {
    owner->DefControl(bar);
  }
  if (p.lDesign) bar->CheckDots();
  return bar;
}

std::shared_ptr<TScrollBar> TScrollBar::WinNew(const TScrollBarWinParams& p) {
  auto bar = std::make_shared<TScrollBar>();
  bar->owner_ = p.oWnd;
  bar->oWnd = p.oWnd;
  bar->lVertical = p.lVertical;
  bar->lReDraw = true;
  bar->lIsChild = true;
  bar->nPgStep = p.nPgStep;
  TakeBlocks(*bar, p);
  bar->hWnd = nullptr;
  bar->SetRange(p.nMin, p.nMax);
  bar->SetPos(p.nMin);
  return bar;
}

std::shared_ptr<TScrollBar> TScrollBar::ReDefine(const TScrollBarRedefineParams& p) {
  auto bar = std::make_shared<TScrollBar>();
  TWindowPtr owner = p.oWnd ? p.oWnd : GetWndDefault();
  bar->nId = p.nId;
  bar->nMin = p.nMin;
  bar->nMax = p.nMax;
  bar->nPgStep = p.nPgStep;
  bar->lVertical = false;
  bar->lReDraw = true;
  TakeBlocks(*bar, p);
  bar->oWnd = owner;
  bar->lIsChild = false;
  bar->lDrag = false;
  bar->lCaptured = false;
  bar->cMsg = p.cMsg;
  bar->SetColor(p.nClrText.value_or(GetSysColor(COLOR_WINDOW)), p.nClrBack.value_or(GetSysColor(COLOR_SCROLLBAR)));
  if (owner) owner->DefControl(bar);
  return bar;
}

Value TScrollBar::HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  switch (nMsg) {
    case WM_NX_SBLINEUP: GoUp(); return Value(0);
    case WM_NX_SBLINEDOWN: GoDown(); return Value(0);
    case WM_NX_SBPAGEUP: PageUp(); return Value(0);
    case WM_NX_SBPAGEDOWN: PageDown(); return Value(0);
    case WM_NX_SBTHUMBPOS: ThumbPos(int(nWParam)); return Value(0);
    case WM_NX_SBTHUMBTRACK: ThumbTrack(int(nWParam)); return Value(0);
    default: return TControl::HandleEvent(nMsg, nWParam, nLParam);
  }
}

void TScrollBar::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  SetRange(nMin, nMax);
  SetPos(nMin);
}

Value TScrollBar::MouseMove(int nRow, int nCol, int nKeyFlags) {
  Value r = TControl::MouseMove(nRow, nCol, nKeyFlags);
  return lDrag ? r : Value();
}

void TScrollBar::nOrientation(int n) {
  if (!hWnd) return;
  LONG style = GetWindowLongA(hWnd, GWL_STYLE);
  if ((style & SBS_VERT) && n == 2) style &= ~SBS_VERT;
  else if (!(style & SBS_VERT) && n == 1) style |= SBS_VERT;
  SetWindowLongA(hWnd, GWL_STYLE, style);
}

HWND TScrollBar::Target() const {
  if (!lIsChild) return hWnd;
  auto owner = owner_.lock();
  return owner ? owner->hWnd : nullptr;
}

int TScrollBar::GetPos() { return GETSCROLLPOS(Target(), Bar()); }
std::pair<int, int> TScrollBar::GetRange() { return GETSCROLLRANGE(Target(), Bar()); }

Value TScrollBar::GoUp() {
  int pos = GetPos();
  if (pos > nMin) SetPos(pos - 1);
  return bGoUp ? bGoUp() : Value();
}

Value TScrollBar::GoDown() {
  int pos = GetPos();
  if (pos < nMax) SetPos(pos + 1);
  return bGoDown ? bGoDown() : Value();
}

Value TScrollBar::GoTop() {
  SetPos(nMin);
  return bGoTop ? bGoTop() : Value();
}

Value TScrollBar::GoBottom() {
  SetPos(nMax);
  return bGoBottom ? bGoBottom() : Value();
}

Value TScrollBar::PageUp() {
  Value r = bPageUp ? bPageUp() : Value();
  SetPos(GetPos() - nPgStep);
  return r;
}

Value TScrollBar::PageDown() {
  Value r = bPageDown ? bPageDown() : Value();
  SetPos(GetPos() + nPgStep);
  return r;
}

int TScrollBar::SetPos(int nPos) { return SETSCROLLPOS(Target(), Bar(), nPos, lReDraw); }

void TScrollBar::SetRange(int min, int max) {
  nMin = min;
  nMax = max;
  SETSCROLLRANGE(Target(), Bar(), min, max, lReDraw);
}

Value TScrollBar::ThumbPos(int nPos) { return bPos ? bPos(nPos) : Value(); }
Value TScrollBar::ThumbTrack(int nPos) { return bTrack ? bTrack(nPos) : Value(); }

}  // namespace nx
