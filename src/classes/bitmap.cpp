#include "classes/bitmap.h"

#include <commdlg.h>

#include <algorithm>
#include <cmath>

#include "classes/brush.h"
#include "classes/icon.h"
#include "classes/scrllbar.h"
#include "native/dispatch.h"
#include "native/draw.h"
#include "native/draw_internal.h"
#include "native/image.h"
#include "rt/error.h"

namespace nx {

namespace {

bool FileExists(const std::string& cFile) {
  const DWORD attr = cFile.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(cFile.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

int CeilDiv(int n, int d) { return d > 0 ? (n + d - 1) / d : n; }

COLORREF CornerColor(HBITMAP hBitmap) {
  detail::MemDC dc(nullptr);
  detail::Select sel(dc, hBitmap);
  return sel.ok() ? GetPixel(dc, 0, 0) : CLR_INVALID;
}

}  // namespace

// ---- construction -------------------------------------------------------------------

std::shared_ptr<TBitmap> TBitmap::New(const TBitmapParams& p) {
  auto b = std::make_shared<TBitmap>();
  TWindowPtr parent = p.oWnd ? p.oWnd : GetWndDefault();
  b->oWnd = parent;
  b->lStretch = p.lStretch;
  b->lScroll = p.lScroll;
  b->lScrollGiven_ = p.lScroll;
  b->Load(p.cResName, p.cBmpFile, true);
  // A file that is not there yet is read when it comes (see Paint).
  if (!b->hBitmap && !FileExists(p.cBmpFile)) b->cBmpFile = p.cBmpFile;
  b->nTop = p.lPixel ? p.nTop : p.nTop * 14;
  b->nLeft = p.lPixel ? p.nLeft : p.nLeft * 8;
  // By default the client area takes the whole image, within the owner.
  const int border = p.lNoBorder ? 0 : 2;
  RECT owner{0, 0, 0, 0};
  if (parent && parent->hWnd) GetClientRect(parent->hWnd, &owner);
  else if (parent) owner = RECT{0, 0, parent->nWidth(), parent->nHeight()};
  auto fit = [&](int image, int room) { return room > 0 ? std::min(image + border, room) : image + border; };
  const int width = p.nWidth.value_or(b->hBitmap ? fit(b->nWidth(), int(owner.right)) : 100);
  const int height = p.nHeight.value_or(b->hBitmap ? fit(b->nHeight(), int(owner.bottom)) : 100);
  b->nBottom = b->nTop + height - 1;
  b->nRight = b->nLeft + width - 1;
  b->nStyle = (p.lNoBorder ? 0 : WS_BORDER) | (p.lScroll ? WS_VSCROLL | WS_HSCROLL : 0) | WS_CHILD | WS_VISIBLE |
              WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_GROUP;
  b->nId = GetNewId();
  b->SetColor(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_BTNFACE));
  b->bLClicked = p.bLClicked;
  b->bRClicked = p.bRClicked;
  b->oCursor = p.oCursor;
  b->cMsg = p.cMsg;
  b->lUpdate_ = p.lUpdate;
  b->bWhen = p.bWhen;
  b->bValid = p.bValid;
  b->Register(CS_VREDRAW | CS_HREDRAW);
  if (parent && parent->hWnd) {
    b->Create();
    if (b->hWnd) {
      b->Default();
      b->lVisible = true;
      parent->AddControl(b);
    }
  } else {
    b->lVisible = false;
    if (parent) parent->DefControl(b);
  }
  b->lDrag = p.lDesign;
  if (p.lDesign) b->CheckDots();
  return b;
}

std::shared_ptr<TBitmap> TBitmap::ReDefine(const TBitmapRedefineParams& p) {
  auto b = std::make_shared<TBitmap>();
  TWindowPtr parent = p.oWnd ? p.oWnd : GetWndDefault();
  b->oWnd = parent;
  b->lStretch = p.lStretch;
  b->lScrollGiven_ = p.lScroll;
  b->lScroll = p.lScroll.value_or(false);
  b->lTransparent = p.lTransparent;
  b->SetColor(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_BTNFACE));
  b->bLClicked = p.bLClicked;
  b->bRClicked = p.bRClicked;
  b->oCursor = p.oCursor;
  b->cMsg = p.cMsg;
  b->lUpdate_ = p.lUpdate;
  b->bWhen = p.bWhen;
  b->bValid = p.bValid;
  if (!p.cResName.empty() || !p.cBmpFile.empty()) b->Load(p.cResName, p.cBmpFile, true);
  if (!b->hBitmap && !FileExists(p.cBmpFile)) b->cBmpFile = p.cBmpFile;
  b->Redefine(p.nId, parent);
  return b;
}

std::shared_ptr<TBitmap> TBitmap::Define(const std::string& res, const std::string& file, const TWindowPtr& owner) {
  auto b = std::make_shared<TBitmap>();
  b->oWnd = owner ? owner : GetWndDefault();
  b->Load(res, file, true);
  return b;
}

TBitmap::~TBitmap() { FreeBitmap(); }

void TBitmap::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (hWnd) Default();
}

void TBitmap::Default() {
  if (!lScrollGiven_) lScroll = hWnd && (GetWindowLongA(hWnd, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
  if (lScroll && hWnd) {
    AttachScrollBars(true, true);
    ScrollAdjust();
  }
  PALBMPNEW(hWnd, hBitmap, hPalette);
}

// ---- the picture -------------------------------------------------------------------------

bool TBitmap::Load(const std::string& res, const std::string& file, bool lReport) {
  PalBmp pb;
  if (!res.empty()) {
    pb = PALBMPLOAD(res.c_str());
    if (!pb.hBitmap && lReport) PictureError(EG_OPEN, "Bitmap resource not found", "TBITMAP:LOADIMAGE", res);
  } else if (FileExists(file)) {
    pb = PALBMPREAD(nullptr, file);
    if (!pb.hBitmap && lReport) PictureError(EG_CORRUPTION, "Not a valid bitmap file", "TBITMAP:LOADIMAGE", file);
    // Painting would only try it again.
    if (!pb.hBitmap && file == cBmpFile && !hBitmap) cBmpFile.clear();
  }
  if (!pb.hBitmap) return false;
  if (!res.empty()) {
    cResName = res;
    cBmpFile.clear();
  } else {
    cBmpFile = file;
    cResName.clear();
  }
  Take(pb.hBitmap, pb.hPalette);
  return true;
}

void TBitmap::Take(HBITMAP bmp, HPALETTE pal) {
  FreeBitmap();
  hBitmap = bmp;
  hPalette = pal;
  PALBMPNEW(hWnd, hBitmap, hPalette);
  lHasAlpha = HASALPHA(hBitmap, hPalette);
}

void TBitmap::FreeBitmap() {
  if (hBitmap || hPalette) PalBmpFree(hBitmap, hPalette);
  hBitmap = nullptr;
  hPalette = nullptr;
  lHasAlpha = false;
}

bool TBitmap::LoadImage() { return Load(cResName, cBmpFile, true); }

bool TBitmap::LoadImage(const std::string& res, const std::string& file) { return Load(res, file, true); }

void TBitmap::ResetView() {
  nX = nY = 0;
  AdjControls(false);
  ScrollAdjust();
  Refresh(false);
}

bool TBitmap::ReLoad(const std::string& res, const std::string& file) {
  if (!Load(res, file, true)) return false;
  if (hWnd) ResetView();
  return true;
}

bool TBitmap::LoadBMP(const std::string& cFile) {
  const auto first = cFile.find_first_not_of(' ');
  const auto last = cFile.find_last_not_of(' ');
  return ReLoad({}, first == std::string::npos ? std::string() : cFile.substr(first, last - first + 1));
}

bool TBitmap::LoadFromClipboard() {
  HBITMAP bmp = BMPFROMCLIPBOARD(hWnd);
  if (!bmp) return false;
  Take(bmp, nullptr);
  cBmpFile.clear();
  cResName.clear();
  if (hWnd) ResetView();
  return true;
}

bool TBitmap::LoadFromString(std::string_view cImage) {
  if (cImage.empty()) return false;
  HBITMAP bmp = CREATEMEMBITMAP(nullptr, cImage);
  if (!bmp) {
    PictureError(EG_CORRUPTION, "Not a valid bitmap image", "TBITMAP:LOADFROMSTRING", {});
    return false;
  }
  Take(bmp, nullptr);
  cBmpFile.clear();
  cResName.clear();
  if (hWnd) ResetView();
  return true;
}

bool TBitmap::CopyToClipboard() { return BMPTOCLIPBOARD(hWnd, hBitmap); }

Value TBitmap::Inspect(const std::string& cData) {
  if (cData != "cBmpFile") return TControl::Inspect(cData);
  // The designer's editor for the member: pick a file, then load it.
  std::weak_ptr<TBitmap> self = std::static_pointer_cast<TBitmap>(shared_from_this());
  return Value(MakeBlock([self](std::span<const Value>) -> Value {
    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    auto b = self.lock();
    ofn.hwndOwner = b ? b->hWnd : nullptr;
    ofn.lpstrFilter = "*.bmp\0*.bmp\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = "Select a BMP file";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!b || !GetOpenFileNameA(&ofn)) return Value();
    b->LoadImage({}, file);
    return Value(std::string(file));
  }));
}

// ---- geometry ----------------------------------------------------------------------------

int TBitmap::nWidth() {
  if (lDrag) return TWindow::nWidth();
  return hBitmap && nZoom > 0 ? int(std::lround(NBMPWIDTH(hBitmap) * nZoom)) : 0;
}

int TBitmap::nHeight() {
  if (lDrag) return TWindow::nHeight();
  return hBitmap && nZoom > 0 ? int(std::lround(NBMPHEIGHT(hBitmap) * nZoom)) : 0;
}

int TBitmap::nXExtra() { return nHeight() - TWindow::nHeight() + 1; }
int TBitmap::nYExtra() { return nWidth() - TWindow::nWidth() + 1; }

void TBitmap::Center() {
  TWindowPtr owner = Parent();
  if (!hWnd || !owner || !owner->hWnd) return;
  RECT area{};
  GetClientRect(owner->hWnd, &area);
  const int w = TWindow::nWidth(), h = TWindow::nHeight();
  SetWindowPos(hWnd, nullptr, std::max(0, (int(area.right) - w) / 2), std::max(0, (int(area.bottom) - h) / 2), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  CoorsUpdate();
}

double TBitmap::Zoom(std::optional<double> nNewZoom) {
  if (nNewZoom && *nNewZoom != nZoom) {
    nZoom = *nNewZoom;
    ScrollAdjust();
    Refresh(false);
  }
  return nZoom;
}

int TBitmap::nAlphaLevel() {
  if (bAlphaLevel) hAlphaLevel = bAlphaLevel(*this);
  return hAlphaLevel;
}

// ---- scrolling ------------------------------------------------------------------------------

TBitmap::View TBitmap::GetView() {
  View v;
  RECT rc{};
  if (hWnd) GetClientRect(hWnd, &rc);
  v.width = rc.right;
  v.height = rc.bottom;
  if (lScroll && !lStretch && hBitmap) {
    const int iw = hBitmap && nZoom > 0 ? int(std::lround(NBMPWIDTH(hBitmap) * nZoom)) : 0;
    const int ih = hBitmap && nZoom > 0 ? int(std::lround(NBMPHEIGHT(hBitmap) * nZoom)) : 0;
    v.extraV = std::max(0, ih - v.height);
    v.extraH = std::max(0, iw - v.width);
  }
  return v;
}

void TBitmap::MoveTo(int x, int y) {
  const View v = GetView();
  const int newX = std::clamp(x, -v.extraV, 0), newY = std::clamp(y, -v.extraH, 0);
  if (newX == nX && newY == nY) return;
  // Children nearer the way they move go first.
  const bool reverse = newX > nX || newY > nY;
  nX = newX;
  nY = newY;
  if (oVScroll) oVScroll->SetPos(CeilDiv(-nX, nVStep));
  if (oHScroll) oHScroll->SetPos(CeilDiv(-nY, nHStep));
  AdjControls(reverse);
  Refresh(false);
}

void TBitmap::ScrollUp() { MoveTo(nX - std::max(nVStep, 1), nY); }
void TBitmap::ScrollDown() { MoveTo(nX + std::max(nVStep, 1), nY); }
void TBitmap::ScrollLeft() { MoveTo(nX, nY - std::max(nHStep, 1)); }
void TBitmap::ScrollRight() { MoveTo(nX, nY + std::max(nHStep, 1)); }
void TBitmap::PageUp() { MoveTo(nX + GetView().height, nY); }
void TBitmap::PageDown() { MoveTo(nX - GetView().height, nY); }
void TBitmap::PageLeft() { MoveTo(nX, nY + GetView().width); }
void TBitmap::PageRight() { MoveTo(nX, nY - GetView().width); }

void TBitmap::ScrollAdjust() {
  if (!lScroll || !hBitmap || !oVScroll || !oHScroll || !hWnd || adjusting_) return;
  adjusting_ = true;
  RECT rc{};
  GetClientRect(hWnd, &rc);
  const LONG style = GetWindowLongA(hWnd, GWL_STYLE);
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  // The client area without bars, then which bars the picture needs.
  const int w0 = rc.right + ((style & WS_VSCROLL) ? cx : 0), h0 = rc.bottom + ((style & WS_HSCROLL) ? cy : 0);
  const int iw = int(std::lround(NBMPWIDTH(hBitmap) * std::max(nZoom, 0.0)));
  const int ih = int(std::lround(NBMPHEIGHT(hBitmap) * std::max(nZoom, 0.0)));
  bool needV = !lStretch && ih > h0, needH = !lStretch && iw > w0;
  if (needV && !needH) needH = !lStretch && iw > w0 - cx;
  if (needH && !needV) needV = !lStretch && ih > h0 - cy;
  const int extraV = needV ? ih - (h0 - (needH ? cy : 0)) : 0;
  const int extraH = needH ? iw - (w0 - (needV ? cx : 0)) : 0;
  nX = std::clamp(nX, -extraV, 0);
  nY = std::clamp(nY, -extraH, 0);
  oVScroll->SetRange(0, needV ? CeilDiv(extraV, std::max(nVStep, 1)) : 0);
  oHScroll->SetRange(0, needH ? CeilDiv(extraH, std::max(nHStep, 1)) : 0);
  oVScroll->SetPos(CeilDiv(-nX, std::max(nVStep, 1)));
  oHScroll->SetPos(CeilDiv(-nY, std::max(nHStep, 1)));
  adjusting_ = false;
  AdjControls(false);
}

void TBitmap::AdjControls(bool lReverse) {
  const int dy = nX - nOldX, dx = nY - nOldY;
  nOldX = nX;
  nOldY = nY;
  if (!dx && !dy) return;
  auto children = aControls;  // a child may leave the list while it moves
  if (lReverse) std::reverse(children.begin(), children.end());
  for (auto& c : children) {
    if (!c || !c->hWnd || GetParent(c->hWnd) != hWnd) continue;
    SetWindowPos(c->hWnd, nullptr, WNDLEFT(c->hWnd) + dx, WNDTOP(c->hWnd) + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    c->CoorsUpdate();
  }
}

// ---- events ----------------------------------------------------------------------------------

Value TBitmap::HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  // The picture takes mouse clicks, whatever its item's class would do.
  if (nMsg == WM_NCHITTEST && hWnd) return Value(int64_t(DefWindowProcA(hWnd, nMsg, nWParam, nLParam)));
  return TControl::HandleEvent(nMsg, nWParam, nLParam);
}

namespace {
// The thumb's position: the 16 bits of the message, or the 32 of the bar.
int ThumbPos(HWND hWnd, int nBar, WPARAM nWParam) {
  SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  if (GetScrollInfo(hWnd, nBar, &si)) return si.nTrackPos;
  return HIWORD(nWParam);
}
}  // namespace

Value TBitmap::VScroll(WPARAM nWParam, LPARAM nLParam) {
  if (nLParam) return TControl::VScroll(nWParam, nLParam);  // a scroll-bar control placed on the picture
  TControlPtr keep = SelfCtl();
  switch (LOWORD(nWParam)) {
    case SB_LINEUP: ScrollDown(); break;
    case SB_LINEDOWN: ScrollUp(); break;
    case SB_PAGEUP: PageUp(); break;
    case SB_PAGEDOWN: PageDown(); break;
    case SB_TOP: MoveTo(0, nY); break;
    case SB_BOTTOM: MoveTo(-GetView().extraV, nY); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: MoveTo(-ThumbPos(hWnd, SB_VERT, nWParam) * std::max(nVStep, 1), nY); break;
    default: break;
  }
  return Value(0);
}

Value TBitmap::HScroll(WPARAM nWParam, LPARAM nLParam) {
  if (nLParam) return TControl::HScroll(nWParam, nLParam);
  TControlPtr keep = SelfCtl();
  switch (LOWORD(nWParam)) {
    case SB_LINELEFT: ScrollRight(); break;
    case SB_LINERIGHT: ScrollLeft(); break;
    case SB_PAGELEFT: PageLeft(); break;
    case SB_PAGERIGHT: PageRight(); break;
    case SB_LEFT: MoveTo(nX, 0); break;
    case SB_RIGHT: MoveTo(nX, -GetView().extraH); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: MoveTo(nX, -ThumbPos(hWnd, SB_HORZ, nWParam) * std::max(nHStep, 1)); break;
    default: break;
  }
  return Value(0);
}

Value TBitmap::KeyDown(int nKey, int nFlags) {
  if (lScroll) {
    switch (nKey) {
      case VK_UP: ScrollDown(); return Value(0);
      case VK_DOWN: ScrollUp(); return Value(0);
      case VK_LEFT: ScrollRight(); return Value(0);
      case VK_RIGHT: ScrollLeft(); return Value(0);
      case VK_PRIOR: PageUp(); return Value(0);
      case VK_NEXT: PageDown(); return Value(0);
      default: break;
    }
  }
  return TControl::KeyDown(nKey, nFlags);
}

Value TBitmap::Command(WPARAM nWParam, LPARAM nLParam) {
  // A child control placed on the picture hears its own click.
  if (nLParam) {
    SendMessageA(reinterpret_cast<HWND>(nLParam), WM_NX_CLICK, 0, 0);
    return Value(0);
  }
  return TControl::Command(nWParam, nLParam);
}

Value TBitmap::EraseBkGnd(HDC hDC) {
  if (bEraseBkGnd) return bEraseBkGnd(hDC, *this);
  if (hBitmap) return Value(1);
  if (oBrush && oBrush->hBrush && hWnd) {
    RECT r{};
    GetClientRect(hWnd, &r);
    FillRect(hDC, &r, oBrush->hBrush);
    return Value(1);
  }
  return Value();
}

Value TBitmap::GotFocus(HWND hCtlLost) {
  Value r = TControl::GotFocus(hCtlLost);
  SETFOREBMP(hWnd, hPalette);
  return r;
}

Value TBitmap::ReSize(int nSizeType, int nWidth, int nHeight) {
  ScrollAdjust();
  return TControl::ReSize(nSizeType, nWidth, nHeight);
}

Value TBitmap::Paint() {
  TControlPtr keep = SelfCtl();
  auto buffer = DispBegin();
  RECT rc{};
  GetClientRect(hWnd, &rc);
  // The owner's background, its pattern lined up with the owner's own.
  TWindowPtr owner = Parent();
  std::shared_ptr<TBrush> brush = owner && owner->oBrush && owner->oBrush->hBrush ? owner->oBrush : oBrush;
  if (brush && brush->hBrush) {
    POINT at{0, 0};
    if (owner && owner->hWnd) MapWindowPoints(hWnd, owner->hWnd, &at, 1);
    POINT oldOrg{};
    SetBrushOrgEx(hDC, -at.x, -at.y, &oldOrg);
    FillRect(hDC, &rc, brush->hBrush);
    SetBrushOrgEx(hDC, oldOrg.x, oldOrg.y, nullptr);
  }
  // A themed owner (a dialog page) paints what lies behind the picture.
  if (ISAPPTHEMED() && brush && !brush->hBitmap) DRAWPBACK(hWnd, hDC);
  if (!hBitmap && FileExists(cBmpFile)) Load({}, cBmpFile, false);
  if (hBitmap) {
    int w = 0, h = 0;
    if (lStretch) {
      w = rc.right;
      h = rc.bottom;
    } else if (nZoom > 0) {
      w = int(std::lround(NBMPWIDTH(hBitmap) * nZoom));
      h = int(std::lround(NBMPHEIGHT(hBitmap) * nZoom));
    }
    if (w > 0 && h > 0) {
      if (lHasAlpha && SetAlpha()) {
        ABPAINT(hDC, nY, nX, hBitmap, nAlphaLevel(), w, h);
      } else if (!lTransparent) {
        PALBMPDRAW(hDC, nX, nY, hBitmap, hPalette, w, h);
      } else {
        TRANSBMP(hBitmap, NBMPWIDTH(hBitmap), NBMPHEIGHT(hBitmap), CornerColor(hBitmap), hDC, nY, nX, w, h);
      }
    }
  }
  if (bPainted) bPainted(hDC, cPS, *this);
  DispEnd(buffer);
  return Value(0);
}

Value TBitmap::Display() {
  TControlPtr keep = SelfCtl();
  BeginPaint();
  Paint();
  EndPaint();
  return Value(0);
}

Value TBitmap::Destroy() {
  FreeBitmap();
  if (!hWnd) {
    oVScroll = nullptr;
    oHScroll = nullptr;
    return Value();
  }
  return TControl::Destroy();
}

bool TBitmap::End() {
  if (!hWnd) {
    Destroy();
    return true;
  }
  return TControl::End();
}

}  // namespace nx
