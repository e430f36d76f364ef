// TScrollBar: a window's own scroll bar (the bar the platform draws in the
// owner's frame). Range, page step, thumb and the user blocks run on it.
#pragma once

#include <functional>
#include <memory>

#include "classes/window.h"

namespace nx {

// Scroll-bar natives: nBar is SB_HORZ (0), SB_VERT (1) or SB_CTL (2).
void SETSCROLLRANGE(HWND hWnd, int nBar, int nMin, int nMax, bool lRedraw);
int SETSCROLLPOS(HWND hWnd, int nBar, int nPos, bool lRedraw);
std::pair<int, int> GETSCROLLRANGE(HWND hWnd, int nBar);
int GETSCROLLPOS(HWND hWnd, int nBar);

struct TScrollBarWinParams {
  int nMin = 0, nMax = 0, nPgStep = 1;
  bool lVertical = true;
  TWindowPtr oWnd;
  std::function<Value()> bUp{}, bDown{}, bPgUp{}, bPgDn{};
  std::function<Value(int nPos)> bPos{};
};

class TScrollBar : public TWindow {
 public:
  // The owner window's own vertical or horizontal bar.
  static std::shared_ptr<TScrollBar> WinNew(const TScrollBarWinParams& p);
  const char* ClassName() const override { return "TSCROLLBAR"; }

  int GetPos();
  std::pair<int, int> GetRange();
  Value GoUp();
  Value GoDown();
  Value GoTop();
  Value GoBottom();
  Value PageUp();
  Value PageDown();
  int SetPos(int nPos);
  void SetRange(int nMin, int nMax);
  Value ThumbPos(int nPos);
  Value ThumbTrack(int nPos);
  int nOrientation() const { return lVertical ? 1 : 2; }

  bool lVertical = true, lReDraw = true, lIsChild = false;
  int nMin = 0, nMax = 0, nPgStep = 1;
  std::function<Value()> bGoUp, bGoDown, bGoTop, bGoBottom, bPageUp, bPageDown;
  std::function<Value(int nPos)> bPos, bTrack;

 private:
  HWND Target() const;
  int Bar() const { return lIsChild ? (lVertical ? SB_VERT : SB_HORZ) : SB_CTL; }
  std::weak_ptr<TWindow> owner_;
};

}  // namespace nx
