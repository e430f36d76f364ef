// TButtonBmp: a platform push button that also shows a bitmap. The platform
// paints the face, frame and caption; the class paints the bitmap over it,
// one pixel right and down while the button is pushed, greyed while it is
// disabled, and blended when the bitmap carries an alpha channel.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "classes/button.h"

namespace nx {

class TButtonBmp;
using TButtonBmpPtr = std::shared_ptr<TButtonBmp>;

// New's positional arguments: TButton's, then the bitmap and where the
// caption goes ("TEXTBOTTOM", "TEXTTOP", "TEXTRIGHT", "TEXTLEFT" or empty
// for the bitmap in the centre).
struct TButtonBmpParams {
  double nRow = 0, nCol = 0;
  std::string cCaption{};
  TWindowPtr oWnd{};
  ButtonAction bAction{};
  std::optional<int> nWidth{}, nHeight{};  // none: the bitmap's size + 9
  int nHelpId = 0;
  std::shared_ptr<TFont> oFont{};
  bool lDefault = false, lPixel = false, lDesign = false;
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{}, bValid{};
  bool lCancel = false;
  std::string cBitmap{};   // a BMP file when one of that name exists, else a resource
  std::string cPosText{};
};

struct TButtonBmpRedefineParams {
  int nId = 0;
  ButtonAction bAction{};
  TWindowPtr oWnd{};
  int nHelpId = 0;
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{}, bValid{};
  std::string cCaption{};
  bool lCancel = false;
  std::string cBitmap{};
  std::string cPosText{};
  Value cToolTip{};
};

class TButtonBmp : public TButton {
 public:
  static TButtonBmpPtr New(const TButtonBmpParams& p = {});
  static TButtonBmpPtr ReDefine(const TButtonBmpRedefineParams& p);
  const char* ClassName() const override { return "TBUTTONBMP"; }

  // Replaces the bitmap (a file of that name, else a resource).
  void LoadBitmap(const std::string& cName);
  bool HasAlpha();
  int nAlphaLevel();
  void nAlphaLevel(int n) { hAlphaLevel = n; }
  // Where the bitmap goes in a button of the given size (top, left).
  POINT BitmapPos(int nWidth, int nHeight) const;

  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  Value Paint() override;
  Value Display() override;
  Value EraseBkGnd(HDC) override { return Value(1); }
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  void Enable();
  void Disable();
  Value Destroy() override;

  HBITMAP hBitmap = nullptr;
  std::string cBitmap, cPosText;
  bool lHasAlpha = false;
  Block bAlphaLevel;
  int hAlphaLevel = 255;

 private:
  bool lOver_ = false;  // the mouse is over the button
};

}  // namespace nx
