// TMsgItem: a fixed-width panel of a message bar (a text, an optional
// bitmap, an action on click). Panels are laid out from the bar's right
// edge leftwards, the last one rightmost, afresh on every use.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "rt/value.h"

namespace nx {

class TFont;
class TMsgBar;
class TMsgItem;
using TMsgItemPtr = std::shared_ptr<TMsgItem>;
using TMsgBarPtr = std::shared_ptr<TMsgBar>;

// New's positional arguments after the bar.
struct TMsgItemParams {
  std::string cMsg{};
  std::optional<int> nWidth{};  // none: the first bitmap's width + 7, else 40
  std::shared_ptr<TFont> oFont{};  // none: the bar's
  Value xClrFore{};  // a colour, or a colour pair such as "W+/B" (text and pane); NIL: the bar's
  std::optional<COLORREF> nClrBack{};  // none: the bar's
  bool lAdd = false;  // add the panel to the bar
  std::function<void(int nRow, int nCol)> bAction{};
  std::string cBmp1{}, cBmp2{};  // a bitmap file, else a resource: shown while active / inactive
  Value cToolTip{};  // a text or a block answering one
};

class TMsgItem : public Object {
 public:
  static TMsgItemPtr New(const TMsgBarPtr& oMsgBar, const TMsgItemParams& p = {});
  const char* ClassName() const override { return "TMSGITEM"; }
  ~TMsgItem() override;

  int nLeft() const;
  bool IsOver(int nRow, int nCol) const;
  void Paint();
  // Asks bMsg for the text; repaints when it or the active state changed.
  void Refresh();
  void SetText(const Value& x);
  void Click(int nRow, int nCol);
  void SetFont(std::shared_ptr<TFont> oFont);
  // Frees the bitmaps (the bar's Destroy).
  void FreeBitmaps();
  TMsgBarPtr Bar() const { return oMsgBar.lock(); }

  std::weak_ptr<TMsgBar> oMsgBar;  // the bar owns its panels
  std::string cMsg;
  int nWidth = 40;
  COLORREF nClrText = 0, nClrPane = 0, nClrDisabled = 0;
  std::function<Value()> bMsg;  // the current text; makes the panel refreshable
  std::function<void(int nRow, int nCol)> bAction;
  std::shared_ptr<TFont> oFont;
  bool lActive = true, lTimer = false, lWasActive = true;
  HBITMAP hBitmap1 = nullptr, hBitmap2 = nullptr;
  HPALETTE hPalette1 = nullptr, hPalette2 = nullptr;
  Value cToolTip;
};

}  // namespace nx
