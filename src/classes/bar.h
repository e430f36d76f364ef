// TBar: a button bar docked to one side of its owner window (top, left,
// right, bottom) or floating in a small tool window. It holds TBtnBmp
// buttons in a row or column, split into groups 8 pixels apart. A right
// click offers to move it to a free side or let it float.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "classes/btnbmp.h"
#include "classes/control.h"
#include "native/bar.h"

namespace nx {

class TBar;
class TCursor;
class TMenu;
using TBarPtr = std::shared_ptr<TBar>;

// New's positional arguments, with their defaults.
struct TBarParams {
  TWindowPtr oWnd{};  // none: the default window
  int nBtnWidth = 28, nBtnHeight = 28;
  bool l3D = false;
  std::string cMode = "TOP";  // "TOP", "LEFT", "RIGHT", "BOTTOM"
  std::shared_ptr<TCursor> oCursor{};
  bool l2007 = false;
};

// NewAt's: a bar at an explicit place, not docked in its owner's slots.
struct TBarAtParams {
  int nRow = 0, nCol = 0, nWidth = 0, nHeight = 28;
  int nBtnWidth = 28, nBtnHeight = 28;
  TWindowPtr oWnd{};
  bool l3D = false;
  std::string cMode = "TOP";
  std::shared_ptr<TCursor> oCursor{};
};

// A side (BarMode 1..4) of a window a bar or a strip may dock to: nothing
// there yet (a button bar takes the top, a message bar the bottom).
bool BarSideFree(const TWindow& oOwner, int nSide);

class TBar : public TControl {
 public:
  static TBarPtr New(const TBarParams& p = {});
  static TBarPtr NewAt(const TBarAtParams& p);
  ~TBar() override;
  const char* ClassName() const override { return "TBAR"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  TBarPtr SelfBar() { return std::static_pointer_cast<TBar>(shared_from_this()); }

  // The buttons in order (the bar's controls that are bitmap buttons).
  std::vector<TBtnBmpPtr> Buttons() const;
  // Appends, or inserts before the button at nPos (1-based); later buttons
  // make room.
  void Add(const TBtnBmpPtr& oBtn, int nPos = 0);
  void AddGroup(int nPos);
  void Del(int nPos);
  void DelGroup(int nPos);
  int GetBtnTop(bool lGroup, int nPos = 0);
  int GetBtnLeft(bool lGroup, int nPos = 0);
  void BtnAdjust();

  // Fits the bar to its side of the owner (BARADJUST); the owner's resize
  // reaches it through its layout slot.
  void Adjust() override;
  void AdjTop() override { Adjust(); }
  void AdjLeft() override { Adjust(); }
  void AdjRight() override { Adjust(); }
  void AdjBottom() override { Adjust(); }

  void GoTop();
  void GoLeft();
  void GoRight();
  void GoDown();
  void Float();
  // The owner's side nMode (1..4) is free for the bar.
  bool lSideFree(int nMode) const;
  // The docking pop-up: the free sides (not the current one), and "&Float"
  // unless floating.
  std::shared_ptr<TMenu> DockMenu();
  void FloatClick(int nRow, int nCol, const TWindowPtr& oFloatWnd);

  Value RButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  Value Display() override;
  Value EraseBkGnd(HDC) override { return Value(1); }
  Value Paint() override;
  Value Destroy() override;

  void SaveIni(const std::string& cName, const std::string& cIniFile);
  std::string cGenPRG() const;

  // The window the bar docks to (its parent, also while it floats).
  TWindowPtr Owner() const { return oOwner_.lock(); }

  int nGroups = 0;
  int nMode = BAR_TOP;
  int nBtnWidth = 28, nBtnHeight = 28;
  bool l2007 = false;
  TWindowPtr oFloat;  // the tool window while floating

 private:
  bool lHorizontal() const { return nMode == BAR_TOP || nMode == BAR_BOTTOM; }
  bool l3DLook2() const { return l3DLook && !l2007; }  // the raised classic look
  int Cell(const TBtnBmp& oBtn) const;                   // the step one button takes
  void ShiftFrom(size_t nIndex, int nBy);                // moves buttons nIndex.. along the bar
  void Dock(int nMode);
  void ClearSlot();
  void SetSlot();
  std::weak_ptr<TWindow> oOwner_;
};

}  // namespace nx
