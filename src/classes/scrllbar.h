// TScrollBar: one object for two kinds of bar: a "SCROLLBAR" control, and a
// window's own bar (drawn by the platform in the owner's frame, no window of
// its own). Either keeps the range and page step, moves the thumb and turns
// the platform's scroll notifications into calls of the user blocks.
#pragma once

#include <functional>
#include <memory>

#include "classes/control.h"

namespace nx {

// Scroll-bar natives: nBar is SB_HORZ (0), SB_VERT (1) or SB_CTL (2).
void SETSCROLLRANGE(HWND hWnd, int nBar, int nMin, int nMax, bool lRedraw);
int SETSCROLLPOS(HWND hWnd, int nBar, int nPos, bool lRedraw);
std::pair<int, int> GETSCROLLRANGE(HWND hWnd, int nBar);
int GETSCROLLPOS(HWND hWnd, int nBar);

// New's positional arguments (a scroll-bar control), with their defaults.
struct TScrollBarParams {
  int nRow = 0, nCol = 0, nMin = 0, nMax = 0, nPgStep = 1;
  bool lVertical = true;
  TWindowPtr oWnd = {};  // none: the default window
  std::optional<int> nWidth = {}, nHeight = {};  // none: 16x100 vertical, 100x17 horizontal
  std::function<Value()> bUp = {}, bDown = {}, bPgUp = {}, bPgDn = {};
  std::function<Value(int nPos)> bPos = {};
  bool lPixel = false;
  std::optional<COLORREF> nClrText = {}, nClrBack = {};
  std::string cMsg = {};
  bool lUpdate = false;
  CondHook bWhen = {}, bValid = {};
  bool lDesign = false;
};

struct TScrollBarWinParams {
  int nMin = 1, nMax = 2, nPgStep = 1;
  bool lVertical = true;
  TWindowPtr oWnd = {};
  std::function<Value()> bUp{}, bDown{}, bPgUp{}, bPgDn{};
  std::function<Value(int nPos)> bPos{};
  bool lUpdate = false;
  CondHook bWhen = {}, bValid = {};
};

struct TScrollBarRedefineParams {
  int nId = 0, nMin = 0, nMax = 0, nPgStep = 1;
  TWindowPtr oWnd = {};
  std::function<Value()> bUp = {}, bDown = {}, bPgUp = {}, bPgDn = {};
  std::function<Value(int nPos)> bPos = {};
  std::optional<COLORREF> nClrText = {}, nClrBack = {};
  std::string cMsg = {};
  bool lUpdate = false;
  CondHook bWhen = {}, bValid = {};
};

class TScrollBar : public TControl {
 public:
  // A scroll-bar control in oWnd.
  static std::shared_ptr<TScrollBar> New(const TScrollBarParams& p = {});
  // The owner window's own vertical or horizontal bar.
  static std::shared_ptr<TScrollBar> WinNew(const TScrollBarWinParams& p = {});
  // A scroll-bar item of a dialog resource.
  static std::shared_ptr<TScrollBar> ReDefine(const TScrollBarRedefineParams& p);
  const char* ClassName() const override { return "TSCROLLBAR"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  void Register(std::optional<UINT>) override {}  // a system class

  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  void Initiate(HWND hDlg) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  std::string cToChar(const std::string& cClassName = {}) override {
    return TControl::cToChar(cClassName.empty() ? "SCROLLBAR" : cClassName);
  }
  Value SetPage(int, bool) { return Value(); }
  void nOrientation(int n);

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
