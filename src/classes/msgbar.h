// TMsgBar: the message bar along the bottom of a window: a message on the
// left (the default text unless a menu item or control shows its own) and
// panels (TMsgItem) on the right, among them the lock keys, the date and
// the clock, kept current by the bar's 400 ms timer. Classic 3D look, or
// the 2007 look over a stretched gradient.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classes/msgitem.h"
#include "classes/timer.h"
#include "classes/window.h"

namespace nx {

// New's positional arguments.
struct TMsgBarParams {
  TWindowPtr oWnd{};
  std::string cMsg{};
  bool lCentered = false, lClock = false, lDate = false, lKbd = false;
  COLORREF nClrFore = 0;
  std::optional<COLORREF> nClrBack{};  // none: the button face
  std::shared_ptr<TFont> oFont{};      // none: the system face at height -8
  bool lInset = true, l2007 = false;
};

class TMsgBar : public TWindow {
 public:
  // Creates the bar on oWnd and makes it the window's oMsgBar.
  static TMsgBarPtr New(const TMsgBarParams& p);
  const char* ClassName() const override { return "TMSGBAR"; }
  bool EndsHelpSearch() const override { return false; }
  bool ShowsMessages() const override { return true; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  TMsgBarPtr SelfBar() { return std::static_pointer_cast<TMsgBar>(shared_from_this()); }

  void Default();
  // Shows cText (empty: the default text), painting only what changed.
  void SetMsg(const std::string& cText = {});
  void ShowMsg(const std::string& cText, bool lDefault) override;
  void AddItem(const TMsgItemPtr& oItem);
  void InsItem(const TMsgItemPtr& oItem, std::optional<int> nPos);
  void DelItem(const TMsgItemPtr& oItem);
  int GetItem() const { return int(aItem.size()); }

  void ClockOn();
  void ClockOff();
  void DateOn();
  void DateOff();
  void KeybOn();
  void KeybOff();
  void CheckTimer();
  void TimerEval();

  Value Paint() override;
  void PaintBar(int nLeft = 0, std::optional<int> nWidth = std::nullopt);
  Value Display();
  Value EraseBkGnd(HDC) override { return Value(1); }
  int Height() const { return nSizeItem; }
  void Adjust() override;
  // Placed as the owner's bottom object, the bar keeps the bottom edge all the same.
  void AdjBottom() override { Adjust(); }
  Value Destroy() override;

  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  Value LButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value LDblClick(int nRow, int nCol, int nKeyFlags) override;

  // The text the resource figures show in the owner's caption.
  std::string ResourceFigures() const;

  std::string cMsgDef;
  bool lCentered = false, lInset = true;
  TTimerPtr oTimer;
  std::vector<TMsgItemPtr> aItem;
  int nItem = 0;
  TMsgItemPtr oKeyNum, oKeyCaps, oKeyIns, oClock, oDate;
  int nSizeItem = 0;  // the bar's height in pixels (the window's nHeight() is its native height)
  bool lCheckRes = false, lInfoRes = true, l2007 = false, lPainting = false, lPaint3L = true;

 private:
  void PaintMessage();
  int TextWidth(const std::string& cText);
  TMsgItemPtr StandardItem(const std::string& cText, const std::function<Value(TMsgItem&)>& bMsg,
                           const std::function<void(TMsgItem&)>& bAction);
};

// The running time since the program started: "h hours m mins s secs ".
std::string RunningTime();
// The same from a start day and second to another (Julian days, seconds since midnight).
std::string RunningTime(int nStartDay, double nStartSecs, int nDay, double nSecs);

}  // namespace nx
