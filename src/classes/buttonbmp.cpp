#include "classes/buttonbmp.h"

#include <utility>

#include "native/bar.h"
#include "native/gdi.h"
#include "native/image.h"
#include "rt/strings.h"

namespace nx {

namespace {

HBITMAP LoadNamed(const std::string& cName) {
  if (cName.empty()) return nullptr;
  const DWORD attr = GetFileAttributesA(cName.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY)) return READBITMAP(nullptr, cName);
  return LOADBITMAP(GETRESOURCES(), cName.c_str());
}

}  // namespace

TButtonBmpPtr TButtonBmp::New(const TButtonBmpParams& p) {
  auto btn = std::make_shared<TButtonBmp>();
  btn->hBitmap = LoadNamed(p.cBitmap);
  btn->cBitmap = p.cBitmap;
  btn->cPosText = Upper(AllTrim(p.cPosText));
  btn->HasAlpha();
  const int bw = NBMPWIDTH(btn->hBitmap), bh = NBMPHEIGHT(btn->hBitmap);
  // TButton's construction, on this object.
  TButtonParams b{.nRow = p.nRow,
                  .nCol = p.nCol,
                  .cCaption = p.cCaption,
                  .oWnd = p.oWnd,
                  .bAction = p.bAction,
                  .nWidth = p.nWidth ? p.nWidth : std::optional<int>(bw + 9),
                  .nHeight = p.nHeight.value_or(bh + 9),
                  .nHelpId = p.nHelpId,
                  .oFont = p.oFont,
                  .lDefault = p.lDefault,
                  .lPixel = p.lPixel,
                  .lDesign = p.lDesign,
                  .cMsg = p.cMsg,
                  .lUpdate = p.lUpdate,
                  .bWhen = p.bWhen,
                  .bValid = p.bValid,
                  .lCancel = p.lCancel};
  TButton::Build(*btn, b);
  return btn;
}

TButtonBmpPtr TButtonBmp::ReDefine(const TButtonBmpRedefineParams& p) {
  auto btn = std::make_shared<TButtonBmp>();
  btn->hBitmap = LoadNamed(p.cBitmap);
  btn->cBitmap = p.cBitmap;
  btn->cPosText = Upper(AllTrim(p.cPosText));
  btn->cToolTip = p.cToolTip;
  btn->HasAlpha();
  TButton::Rebind(*btn, {.nId = p.nId,
                         .bAction = p.bAction,
                         .oWnd = p.oWnd,
                         .nHelpId = p.nHelpId,
                         .cMsg = p.cMsg,
                         .lUpdate = p.lUpdate,
                         .bWhen = p.bWhen,
                         .bValid = p.bValid,
                         .cCaption = p.cCaption,
                         .lCancel = p.lCancel});
  return btn;
}

void TButtonBmp::LoadBitmap(const std::string& cName) {
  if (hBitmap) DELETEOBJECT(hBitmap);
  hBitmap = LoadNamed(cName);
  cBitmap = cName;
  HasAlpha();
  Refresh(false);
}

bool TButtonBmp::HasAlpha() {
  lHasAlpha = hBitmap && HASALPHA(hBitmap);
  return lHasAlpha;
}

int TButtonBmp::nAlphaLevel() {
  if (bAlphaLevel) {
    const Value v = bAlphaLevel.Eval({Value(Self())});
    if (v.IsNumber()) hAlphaLevel = int(v.AsInt());
  }
  return hAlphaLevel;
}

POINT TButtonBmp::BitmapPos(int w, int h) const {
  const int bw = NBMPWIDTH(hBitmap), bh = NBMPHEIGHT(hBitmap);
  POINT at{w / 2 - bw / 2, h / 2 - bh / 2};  // x = left, y = top
  if (cPosText == "TEXTBOTTOM") at.y = 7;
  else if (cPosText == "TEXTTOP") at.y = h - 6 - bh;
  if (cPosText == "TEXTRIGHT") at.x = 7;
  else if (cPosText == "TEXTLEFT") at.x = w - 6 - bw;
  return at;
}

Value TButtonBmp::HandleEvent(UINT nMsg, WPARAM w, LPARAM l) {
  if (nMsg == WM_MOUSELEAVE) {
    lOver_ = false;
    Refresh(false);
    return Value();  // the platform's button drops its hot look too
  }
  switch (nMsg) {
    // The platform repaints its face at once on these: the bitmap follows.
    case WM_UPDATEUISTATE:
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      Value r = TButton::HandleEvent(nMsg, w, l);
      Refresh(false);
      return r;
    }
    default: return TButton::HandleEvent(nMsg, w, l);
  }
}

Value TButtonBmp::Display() {
  BeginPaint();
  Paint();
  EndPaint();
  return Value(0);
}

Value TButtonBmp::Paint() {
  TControlPtr keep = SelfCtl();
  if (!hWnd) return Value(1);
  auto rec = DispBegin();
  // The platform paints the face, frame and caption into the off-screen picture.
  if (nOldProc) CallWindowProcA(nOldProc, hWnd, WM_PAINT, reinterpret_cast<WPARAM>(hDC), 0);
  if (hBitmap) {
    const int d = (SendMessageA(hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED) ? 1 : 0;
    RECT rc{};
    GetClientRect(hWnd, &rc);
    const POINT at = BitmapPos(rc.right, rc.bottom);
    if (!lActive || !IsWindowEnabled(hWnd)) {
      DRAWGRAY(hDC, hBitmap, at.y + d, at.x + d);
    } else if (SetAlpha() && lHasAlpha) {
      ABPAINT(hDC, at.x + d, at.y + d, hBitmap, nAlphaLevel());
    } else {
      DRAWMASKED(hDC, hBitmap, at.y + d, at.x + d);
    }
  }
  DispEnd(rec);
  return Value(1);
}

Value TButtonBmp::MouseMove(int nRow, int nCol, int nKeyFlags) {
  Value r = TButton::MouseMove(nRow, nCol, nKeyFlags);
  SetMsg(cMsg);
  // The platform repaints its face when the mouse comes and goes: the
  // bitmap follows then, not on every move (a repaint may bring another move).
  if (!lOver_) {
    lOver_ = true;
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hWnd, 0};
    TrackMouseEvent(&tme);
    Refresh(false);
  }
  return r;
}

void TButtonBmp::Enable() {
  TWindow::Enable();
  Refresh(false);
}

void TButtonBmp::Disable() {
  TWindow::Disable();
  Refresh(false);
}

Value TButtonBmp::Destroy() {
  if (hBitmap) DELETEOBJECT(std::exchange(hBitmap, nullptr));
  return TButton::Destroy();
}

}  // namespace nx
