#include "classes/scrllbar.h"

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

std::shared_ptr<TScrollBar> TScrollBar::WinNew(const TScrollBarWinParams& p) {
  auto bar = std::make_shared<TScrollBar>();
  bar->lIsChild = true;
  bar->lReDraw = true;
  bar->lVertical = p.lVertical;
  bar->nPgStep = p.nPgStep;
  bar->owner_ = p.oWnd;
  bar->oWnd = p.oWnd;
  bar->bGoUp = p.bUp;
  bar->bGoDown = p.bDown;
  bar->bPageUp = p.bPgUp;
  bar->bPageDown = p.bPgDn;
  bar->bPos = p.bPos;
  bar->SetRange(p.nMin, p.nMax);
  return bar;
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
