// TBtnBmp: the library's own bitmap button, on a button bar or alone on a
// window or dialog. Up to four bitmaps (normal, pressed, disabled, hover),
// a caption on one side of the bitmap, an optional drop-down menu opened
// from the last 13 pixels, a latched (toggle) state, and two looks: the
// classic raised/sunken face and the 2007 gradient face.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/control.h"
#include "native/draw.h"

namespace nx {

class TBar;
class TBtnBmp;
class TMenu;
using TBtnBmpPtr = std::shared_ptr<TBtnBmp>;
using BtnBmpAction = std::function<void(TBtnBmp& self)>;

// New's positional arguments (a stand-alone button), with their defaults.
struct TBtnBmpParams {
  int nTop = 0, nLeft = 0, nWidth = 20, nHeight = 20;
  std::string cResName1{}, cResName2{}, cBmpFile1{}, cBmpFile2{};
  BtnBmpAction bAction{};
  TWindowPtr oWnd{};  // none: the default window
  std::string cMsg = " ";
  CondHook bWhen{};
  bool lAdjust = false, lUpdate = false;
  std::string cPrompt{};
  std::shared_ptr<TFont> oFont{};
  std::string cResName3{}, cBmpFile3{};
  bool lBorder = true;
  std::string cLayout = "TOP";  // "TOP", "LEFT", "BOTTOM", "RIGHT": where the caption goes
  bool l2007 = false;
  std::string cResName4{}, cBmpFile4{};
  bool lTransparent = false;
  Value cToolTip{};
};

// NewBar's positional arguments (a button of a bar).
struct TBtnBmpBarParams {
  std::string cResName1{}, cResName2{}, cBmpFile1{}, cBmpFile2{};
  std::string cMsg{};
  BtnBmpAction bAction{};
  bool lGroup = false;
  std::shared_ptr<TBar> oBar{};
  bool lAdjust = false;
  CondHook bWhen{};
  Value cToolTip{};
  bool lPressed = false;  // starts latched down
  Block bDrop{};
  std::string cAction{};
  int nPos = 0;  // 0: appended
  std::string cPrompt{};
  std::shared_ptr<TFont> oFont{};
  std::string cResName3{}, cBmpFile3{};
  bool lBorder = true;
  std::shared_ptr<TMenu> oPopup{};  // drop-down menu
  std::string cLayout = "TOP";
  std::string cResName4{}, cBmpFile4{};
  bool lTransparent = false;
};

// ReDefine's arguments (an item of a dialog resource).
struct TBtnBmpRedefineParams {
  int nId = 0;
  std::string cResName1{}, cResName2{}, cBmpFile1{}, cBmpFile2{};
  std::string cMsg{};
  BtnBmpAction bAction{};
  TWindowPtr oWnd{};
  CondHook bWhen{};
  bool lAdjust = false, lUpdate = false;
  std::string cPrompt{};
  std::shared_ptr<TFont> oFont{};
  std::string cResName3{}, cBmpFile3{};
  bool lBorder = true;
  std::string cLayout = "TOP";
  bool l2007 = false;
  std::string cResName4{}, cBmpFile4{};
  bool lTransparent = false;
  Value cToolTip{};
};

// A gradient description {{nFraction, nClrFrom, nClrTo}, ...} as bands.
std::vector<GradStop> GradBands(const Value& aGrad);
// A block answering the gradient for a flag (hover or selected: .T.).
Block GradBlock(std::vector<GradStop> aNormal, std::vector<GradStop> aHover);

class TBtnBmp : public TControl {
 public:
  static TBtnBmpPtr New(const TBtnBmpParams& p = {});
  static TBtnBmpPtr NewBar(const TBtnBmpBarParams& p);
  static TBtnBmpPtr ReDefine(const TBtnBmpRedefineParams& p);
  const char* ClassName() const override { return "TBTNBMP"; }
  bool TracksHover() const override { return true; }
  bool DrawsKeyboardCues() const override { return true; }
  bool IsPushButton() const override { return true; }
  bool ForgetsLastKeyOnFocus() const override { return true; }
  bool ClickedAsOkOnEnter() const override { return true; }
  bool StaysOpaque() const override { return true; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  TBtnBmpPtr SelfBtn() { return std::static_pointer_cast<TBtnBmp>(shared_from_this()); }

  void Initiate(HWND hDlg) override;
  bool LoadBitmaps(const std::string& cRes1 = {}, const std::string& cRes2 = {}, const std::string& cFile1 = {},
                   const std::string& cFile2 = {}, const std::string& cRes3 = {}, const std::string& cFile3 = {},
                   const std::string& cRes4 = {}, const std::string& cFile4 = {});
  void FreeBitmaps();
  void SetFile(const std::string& cFile1, const std::string& cFile2 = {});

  Value Click() override;
  void Toggle();
  void GoUp();
  void GoDown();
  void ResetBorder() { lBorder = false; }
  void Enable();
  void Disable();
  void ShowPopup();
  int nAlphaLevel();
  void nAlphaLevel(int n) { hAlphaLevel = n; }
  void SetColor(COLORREF nClrText, COLORREF nClrPane);
  bool End() override;
  Value Destroy() override;

  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  Value Paint() override;
  Value Display() override;
  Value EraseBkGnd(HDC) override { return Value(1); }
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  Value MouseLeave();
  Value LButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value LButtonUp(int nRow, int nCol, int nKeyFlags) override;
  Value KeyDown(int nKey, int nFlags) override;
  Value KeyUp(WPARAM nKey, LPARAM nFlags) override;
  Value SysChar(int nKey, int nFlags) override;
  Value GotFocus(HWND hCtlLost) override;
  Value LostFocus(HWND hWndNew) override;
  std::string cGenPRG() const;

  // The bar this button sits on, when it does.
  std::shared_ptr<TBar> Bar() const;
  // The bitmap (1..4) the face shows now.
  int nBitmapShown() const;
  // True when a click at client column nCol falls in the drop-down zone.
  bool lInDropZone(int nCol) const;

  BtnBmpAction bAction;
  std::string cAction;
  bool lPressed = false, lAdjust = false, lGroup = false;
  bool lWorking = false, lBtnUp = false, lBtnDown = false;
  bool lBoxSelect = true;
  std::array<HBITMAP, 4> hBitmap{};
  std::array<HPALETTE, 4> hPalette{};
  HRGN hRgn = nullptr;
  std::array<std::string, 4> cResName{}, cBmpFile{};
  bool lProcessing = false, lBorder = true, lRound = true;
  int nLayout = 1;
  bool lMOver = false;
  bool l2007 = false, lBarBtn = false;
  std::array<bool, 4> aAlpha{};
  Block bAlphaLevel;
  int hAlphaLevel = 255;
  Block bClrText;  // when set, the text colour for (lMOver)

 private:
  // What New and ReDefine take alike from their parameters.
  template <class P>
  void TakeParams(const TWindowPtr& parent, const P& p);
  void Place(int nTop, int nLeft, int nWidth, int nHeight);
  void PaintClassic(HDC hDC);
  void Paint2007(HDC hDC);
  COLORREF TextColour();
  std::vector<GradStop> Gradient(bool lOver);
  void TrackLeave();
  bool lTracking_ = false;
  // A release that arrived while the press was taking the focus.
  bool lDownPending_ = false, lUpArrived_ = false;
  int upRow_ = 0, upCol_ = 0;
  int nLastMoveRow_ = -32768, nLastMoveCol_ = -32768;  // where the last mouse move was
  friend class TBar;
};

}  // namespace nx
