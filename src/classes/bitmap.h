// TBitmap: a bitmap in a child window of its own, from a resource, a file,
// the clipboard or an image held in memory; drawn at its size times a zoom
// factor or stretched over the window, transparently or alpha-blended;
// scrolled with the window's own bars, the child controls placed on it
// moving with the picture. Define() makes a holder without a window.
//
// nX and nY are the vertical and horizontal drawing offsets: 0, or negative
// while the picture is scrolled.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "classes/control.h"

// windows.h maps LoadImage to LoadImageA; the method keeps its own name.
#ifdef LoadImage
#undef LoadImage
#endif

namespace nx {

class TCursor;

// New's positional arguments, with their defaults.
struct TBitmapParams {
  int nTop = 0, nLeft = 0;  // character cells (14 x 8 pixels) unless lPixel
  std::optional<int> nWidth{}, nHeight{};  // pixels; none: the image's, within the owner
  std::string cResName{}, cBmpFile{};  // both: the resource wins
  bool lNoBorder = false;
  TWindowPtr oWnd{};  // none: the default window
  MouseHook bLClicked{}, bRClicked{};
  bool lScroll = false, lStretch = false;
  std::shared_ptr<TCursor> oCursor{};
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
  bool lPixel = false;
  CondHook bValid{};
  bool lDesign = false;
};

struct TBitmapRedefineParams {
  int nId = 0;
  std::string cResName{}, cBmpFile{};
  TWindowPtr oWnd{};
  MouseHook bLClicked{}, bRClicked{};
  std::optional<bool> lScroll{};  // none: the item's own scroll bars decide
  bool lStretch = false;
  std::shared_ptr<TCursor> oCursor{};
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{}, bValid{};
  bool lTransparent = false;
};

class TBitmap;
using AlphaHook = std::function<int(TBitmap& self)>;

class TBitmap : public TControl {
 public:
  static std::shared_ptr<TBitmap> New(const TBitmapParams& p = {});
  static std::shared_ptr<TBitmap> ReDefine(const TBitmapRedefineParams& p);
  // A holder without a window: the resource wins over the file; a file is
  // read only when it exists.
  static std::shared_ptr<TBitmap> Define(const std::string& cResName = {}, const std::string& cBmpFile = {},
                                         const TWindowPtr& oWnd = nullptr);
  ~TBitmap() override;

  const char* ClassName() const override { return "TBITMAP"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  static constexpr std::array<const char*, 7> aProperties{"cBmpFile", "lStretch", "nTop",   "nLeft",
                                                           "nWidth",   "nHeight",  "nZoom"};

  void Initiate(HWND hDlg) override;
  void Default();

  // ---- the picture ------------------------------------------------------------
  // From the resource (which wins) or an existing file; on success the
  // source is remembered and the previous bitmap freed. A missing resource
  // or a damaged file is reported and keeps the picture there was.
  bool LoadImage();
  bool LoadImage(const std::string& cResName, const std::string& cBmpFile);
  // LoadImage, then the view starts again at the top left.
  bool ReLoad(const std::string& cResName, const std::string& cBmpFile = {});
  bool SetBMP(const std::string& cResName) { return ReLoad(cResName); }
  bool LoadBMP(const std::string& cFile);
  bool LoadFromClipboard();
  // A BMP file image held in a string; "" or bytes that are no bitmap keep
  // the picture there was and answer false.
  bool LoadFromString(std::string_view cImage);
  bool CopyToClipboard();

  // ---- geometry -----------------------------------------------------------------
  // The image size (bitmap size x nZoom, 0 without a bitmap); in design mode
  // the window size. The window's own size is TWindow's.
  int nWidth();
  int nHeight();
  void nWidth(int n) { TWindow::nWidth(n); }
  void nHeight(int n) { TWindow::nHeight(n); }
  int nXExtra();  // image height - window height + 1
  int nYExtra();  // image width - window width + 1
  // Centres the window in the owner's client area, never at negative coordinates.
  void Center();
  double Zoom(std::optional<double> nNewZoom = std::nullopt);
  int nAlphaLevel();
  void nAlphaLevel(int n) { hAlphaLevel = n; }

  // ---- scrolling ------------------------------------------------------------------
  void ScrollUp();     // the picture moves up by nVStep
  void ScrollDown();
  void ScrollLeft();   // the picture moves left by nHStep
  void ScrollRight();
  void PageUp();
  void PageDown();
  void PageLeft();
  void PageRight();
  void ScrollAdjust();
  // Moves the child controls by the change of the offsets.
  void AdjControls(bool lReverse = false);

  // ---- events -----------------------------------------------------------------------
  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  Value VScroll(WPARAM nWParam, LPARAM nLParam) override;
  Value HScroll(WPARAM nWParam, LPARAM nLParam) override;
  Value KeyDown(int nKey, int nFlags) override;
  Value Command(WPARAM nWParam, LPARAM nLParam) override;
  Value EraseBkGnd(HDC hDC) override;
  Value GotFocus(HWND hCtlLost) override;
  Value ReSize(int nSizeType, int nWidth, int nHeight) override;
  Value Paint() override;
  Value Display() override;
  Value Destroy() override;
  bool End() override;
  // "cBmpFile": a block that asks for a BMP file and loads it.
  Value Inspect(const std::string& cData) override;

  int nX = 0, nY = 0, nOldX = 0, nOldY = 0;
  HBITMAP hBitmap = nullptr;
  HPALETTE hPalette = nullptr;
  std::string cBmpFile, cResName;
  bool lScroll = false, lStretch = false;
  Array aHotAreas;
  int nVStep = 1, nHStep = 1;
  double nZoom = 1;
  bool lHasAlpha = false;
  AlphaHook bAlphaLevel;
  int hAlphaLevel = 255;

 private:
  bool Load(const std::string& res, const std::string& file, bool lReport);
  void Take(HBITMAP bmp, HPALETTE pal);
  void FreeBitmap();
  void ResetView();
  // The client area and the excess of the picture over it.
  struct View {
    int width = 0, height = 0, extraV = 0, extraH = 0;
  };
  View GetView();
  void MoveTo(int x, int y);  // new offsets, clamped; bars, children and repaint follow
  bool adjusting_ = false;
  std::optional<bool> lScrollGiven_;
};

}  // namespace nx
