#include "classes/btnbmp.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "classes/bar.h"
#include "classes/cursor.h"
#include "classes/font.h"
#include "classes/menu.h"
#include "classes/simple_internal.h"
#include "native/bar.h"
#include "native/dispatch.h"
#include "rt/strings.h"

namespace nx {

using namespace simple;

// ---- gradients -----------------------------------------------------------------------------

std::vector<GradStop> GradBands(const Value& aGrad) {
  std::vector<GradStop> bands;
  if (!aGrad.IsArray()) return bands;
  for (const Value& band : *aGrad.AsArray()) {
    if (!band.IsArray() || band.AsArray()->size() < 3) continue;
    const Array& b = *band.AsArray();
    if (!b[0].IsNumber() || !b[1].IsNumber() || !b[2].IsNumber()) continue;
    bands.push_back({b[0].AsNumber(), COLORREF(b[1].AsInt()), COLORREF(b[2].AsInt())});
  }
  return bands;
}

Block GradBlock(std::vector<GradStop> aNormal, std::vector<GradStop> aHover) {
  auto toValue = [](const std::vector<GradStop>& g) {
    Array a;
    for (const GradStop& s : g) a.push_back(Value(Array{Value(s.nFraction), Value(int64_t(s.nClrFrom)), Value(int64_t(s.nClrTo))}));
    return Value(std::move(a));
  };
  Value normal = toValue(aNormal), hover = toValue(aHover);
  return MakeBlock([normal, hover](std::span<const Value> args) {
    const bool over = !args.empty() && args[0].IsLogical() && args[0].AsLogical();
    return over ? hover : normal;
  });
}

namespace {

Block StandAloneGradient() {
  return GradBlock({{0.5, RGB(219, 230, 244), RGB(157, 196, 255)}, {0.5, RGB(151, 192, 255), RGB(231, 242, 255)}},
                   {{1.0 / 3, RGB(255, 253, 222), RGB(255, 231, 151)}, {2.0 / 3, RGB(255, 215, 84), RGB(255, 233, 162)}});
}

int LayoutOf(const std::string& cLayout) {
  const std::string l = Upper(AllTrim(cLayout));
  if (l == "LEFT") return LAYOUT_LEFT;
  if (l == "BOTTOM") return LAYOUT_BOTTOM;
  if (l == "RIGHT") return LAYOUT_RIGHT;
  return LAYOUT_TOP;
}

bool FileThere(const std::string& cFile) {
  if (cFile.empty()) return false;
  const DWORD attr = GetFileAttributesA(cFile.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool InsideClient(HWND hWnd, int nRow, int nCol) {
  RECT rc{};
  GetClientRect(hWnd, &rc);
  return nCol >= 0 && nRow >= 0 && nCol < rc.right && nRow < rc.bottom;
}

// The transparent copy of a bitmap (its top-left colour left out), stretched
// to w x h when they are given.
void DrawTransparent(HDC hDC, HBITMAP hBitmap, int x, int y, int w = 0, int h = 0) {
  BITMAP bm{};
  if (!hBitmap || !GetObjectA(hBitmap, sizeof bm, &bm)) return;
  if (w <= 0 || h <= 0) {
    DRAWMASKED(hDC, hBitmap, y, x);
    return;
  }
  HDC mem = CreateCompatibleDC(hDC);
  HGDIOBJ old = SelectObject(mem, hBitmap);
  TransparentBlt(hDC, x, y, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, GetPixel(mem, 0, 0));
  SelectObject(mem, old);
  DeleteDC(mem);
}

}  // namespace

// ---- construction ----------------------------------------------------------------------------

template <class P>
void TBtnBmp::TakeParams(const TWindowPtr& parent, const P& p) {
  bAction = p.bAction;
  cMsg = p.cMsg;
  bWhen = p.bWhen;
  lAdjust = p.lAdjust;
  lUpdate_ = p.lUpdate;
  cCaption = p.cPrompt;
  lBorder = p.lBorder;
  nLayout = LayoutOf(p.cLayout);
  l2007 = p.l2007;
  lTransparent = p.lTransparent;
  cToolTip = p.cToolTip;
  hAlphaLevel = 255;
  SetColor(parent ? parent->nClrText : GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE));
  TakeFont(*this, p.oFont);
  bClrGrad = parent && parent->bClrGrad ? parent->bClrGrad : StandAloneGradient();
  cResName = {p.cResName1, p.cResName2, p.cResName3, p.cResName4};
  cBmpFile = {p.cBmpFile1, p.cBmpFile2, p.cBmpFile3, p.cBmpFile4};
}

TBtnBmpPtr TBtnBmp::New(const TBtnBmpParams& p) {
  auto b = std::make_shared<TBtnBmp>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  b->oWnd = parent;
  b->nTop = p.nTop;
  b->nLeft = p.nLeft;
  b->nBottom = p.nTop + p.nHeight - 1;
  b->nRight = p.nLeft + p.nWidth - 1;
  b->TakeParams(parent, p);
  const std::string owner = parent ? Upper(parent->ClassName()) : std::string();
  const bool inBar = owner == "TBAR" || owner == "TOUTLOOK" || owner == "TXBROWSE";
  b->nStyle = WS_CHILD | WS_VISIBLE | (p.lBorder && !p.l2007 ? WS_BORDER : 0) |
              (p.lBorder && !inBar ? WS_TABSTOP : 0);
  b->l97Look = !p.lBorder;
  b->nDlgCode = owner == "TBAR" ? Value() : Value(4);
  b->Register(CS_VREDRAW | CS_HREDRAW);
  if (Live(parent)) {
    b->nId = GetNewId();
    b->Create();
    if (b->hWnd) {
      if (b->oFont) b->SetFont(b->oFont);
      else if (parent->oFont) b->SetFont(parent->oFont);
      parent->AddControl(b);
    }
  } else if (parent) {
    b->nId = GetNewId();
    parent->DefControl(b);
  }
  b->LoadBitmaps(p.cResName1, p.cResName2, p.cBmpFile1, p.cBmpFile2, p.cResName3, p.cBmpFile3, p.cResName4,
                 p.cBmpFile4);
  return b;
}

TBtnBmpPtr TBtnBmp::NewBar(const TBtnBmpBarParams& p) {
  auto b = std::make_shared<TBtnBmp>();
  std::shared_ptr<TBar> bar = p.oBar;
  if (!bar) return b;
  b->oWnd = bar;
  b->bAction = p.bAction;
  b->cMsg = p.cMsg;
  b->bWhen = p.bWhen;
  b->lAdjust = p.lAdjust;
  b->cToolTip = p.cToolTip;
  b->bDropOver = p.bDrop;
  b->cAction = p.cAction;
  b->cCaption = p.cPrompt;
  b->lBorder = p.lBorder;
  b->l97Look = !p.lBorder;
  b->oPopup = p.oPopup;
  b->nLayout = LayoutOf(p.cLayout);
  b->lTransparent = p.lTransparent;
  b->lGroup = p.lGroup;
  b->lBtnDown = b->lPressed = p.lPressed;
  b->lBarBtn = true;
  b->l2007 = bar->l2007;
  b->hAlphaLevel = 255;
  const bool b3 = bar->l3D() && !bar->l2007;
  const int top = bar->GetBtnTop(p.lGroup, p.nPos);
  const int left = bar->GetBtnLeft(p.lGroup, p.nPos);
  b->nTop = top;
  b->nLeft = left;
  b->nBottom = top + bar->nBtnHeight + 1 - (b3 ? 7 : 0);
  b->nRight = left + bar->nBtnWidth - (b3 ? 2 : 0) + (p.oPopup ? 13 : 0);
  b->nStyle = WS_CHILD | WS_VISIBLE | (p.lBorder && !bar->l2007 ? WS_BORDER : 0);
  b->SetColor(bar->nClrText, GetSysColor(COLOR_BTNFACE));
  TakeFont(*b, p.oFont ? p.oFont : bar->oFont);
  if (bar->oCursor) {
    b->oCursor = bar->oCursor;
  }
  b->Register(CS_VREDRAW | CS_HREDRAW);
  b->nId = GetNewId();
  if (bar->hWnd) {
    b->Create();
    if (b->hWnd && b->oFont) b->SetFont(b->oFont);
  }
  bar->Add(b, p.nPos);
  b->LoadBitmaps(p.cResName1, p.cResName2, p.cBmpFile1, p.cBmpFile2, p.cResName3, p.cBmpFile3, p.cResName4,
                 p.cBmpFile4);
  if (b->bWhen && !b->bWhen(*b)) b->Disable();
  return b;
}

TBtnBmpPtr TBtnBmp::ReDefine(const TBtnBmpRedefineParams& p) {
  auto b = std::make_shared<TBtnBmp>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  b->TakeParams(parent, p);
  b->l97Look = !p.lBorder;
  b->nDlgCode = Value(4);
  b->Redefine(p.nId, parent);
  return b;
}

void TBtnBmp::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (!hWnd) return;
  if (!cCaption.empty()) SetWindowTextA(hWnd, cCaption.c_str());
  const auto res = cResName;
  const auto files = cBmpFile;
  LoadBitmaps(res[0], res[1], files[0], files[1], res[2], files[2], res[3], files[3]);
}

// ---- bitmaps -----------------------------------------------------------------------------------

bool TBtnBmp::LoadBitmaps(const std::string& cRes1, const std::string& cRes2, const std::string& cFile1,
                          const std::string& cFile2, const std::string& cRes3, const std::string& cFile3,
                          const std::string& cRes4, const std::string& cFile4) {
  const std::array<const std::string*, 4> res{&cRes1, &cRes2, &cRes3, &cRes4};
  const std::array<const std::string*, 4> files{&cFile1, &cFile2, &cFile3, &cFile4};
  bool any = false;
  for (size_t i = 0; i < 4; ++i) {
    PalBmp pb;
    if (!res[i]->empty()) {
      pb = PALBMPLOAD(res[i]->c_str());
      if (pb.hBitmap) cResName[i] = *res[i];
    } else if (FileThere(*files[i])) {
      pb = PALBMPREAD(nullptr, *files[i]);
      if (pb.hBitmap) cBmpFile[i] = *files[i];
    }
    if (!pb.hBitmap) continue;
    if (hBitmap[i]) PalBmpFree(hBitmap[i], hPalette[i]);
    hBitmap[i] = pb.hBitmap;
    hPalette[i] = pb.hPalette;
    aAlpha[i] = HASALPHA(pb.hBitmap, pb.hPalette);
    PALBMPNEW(hWnd, pb.hBitmap, pb.hPalette);
    any = true;
  }
  return any;
}

void TBtnBmp::FreeBitmaps() {
  for (size_t i = 0; i < 4; ++i) {
    if (hBitmap[i] || hPalette[i]) PalBmpFree(hBitmap[i], hPalette[i]);
    hBitmap[i] = nullptr;
    hPalette[i] = nullptr;
    aAlpha[i] = false;
  }
}

void TBtnBmp::SetFile(const std::string& cFile1, const std::string& cFile2) {
  FreeBitmaps();
  LoadBitmaps({}, {}, cFile1, cFile2);
  Refresh(false);
}

// ---- state -------------------------------------------------------------------------------------

std::shared_ptr<TBar> TBtnBmp::Bar() const {
  TWindowPtr p = Parent();
  if (!p || Upper(p->ClassName()) != "TBAR") return nullptr;
  return std::static_pointer_cast<TBar>(p);
}

int TBtnBmp::nBitmapShown() const {
  const bool over = lMOver;
  if (lPressed) {
    if (hBitmap[1]) return 2;
    return over && hBitmap[3] ? 4 : 1;
  }
  if (!lActive && hBitmap[2]) return 3;
  if (over && hBitmap[3]) return 4;
  return 1;
}

bool TBtnBmp::lInDropZone(int nCol) const {
  if (!oPopup || !hWnd) return false;
  RECT rc{};
  GetClientRect(hWnd, &rc);
  return nCol >= rc.right - 13 && nCol < rc.right;
}

void TBtnBmp::Toggle() {
  lBtnDown = !lBtnDown;
  lPressed = lBtnDown;
  Refresh(false);
}

void TBtnBmp::GoUp() {
  lPressed = lBtnDown = false;
  Refresh(false);
}

void TBtnBmp::GoDown() {
  lPressed = lBtnDown = true;
  Refresh(false);
}

void TBtnBmp::Enable() {
  TWindow::Enable();
  Refresh(false);
}

void TBtnBmp::Disable() {
  TWindow::Disable();
  Refresh(false);
}

int TBtnBmp::nAlphaLevel() {
  if (bAlphaLevel) {
    const Value v = bAlphaLevel.Eval({Value(SelfBtn())});
    if (v.IsNumber()) hAlphaLevel = int(v.AsInt());
  }
  return hAlphaLevel;
}

void TBtnBmp::SetColor(COLORREF text, COLORREF pane) {
  Block keep = bClrText;
  TWindow::SetColor(text, pane);
  bClrText = keep;
}

COLORREF TBtnBmp::TextColour() {
  if (!lActive) return RGB(192, 192, 192);
  if (bClrText) {
    const Value v = bClrText.Eval({Value(lMOver)});
    if (v.IsNumber()) return COLORREF(v.AsInt());
  }
  return nClrText;
}

std::vector<GradStop> TBtnBmp::Gradient(bool lOver) {
  Block grad = bClrGrad;
  if (!grad) {
    if (TWindowPtr p = Parent()) grad = p->bClrGrad;
  }
  if (!grad) grad = StandAloneGradient();
  return GradBands(grad.Eval({Value(lOver)}));
}

void TBtnBmp::ShowPopup() {
  if (!oPopup || !hWnd) return;
  TBtnBmpPtr keep = SelfBtn();
  TWindowPtr owner = Parent();
  // A button of a bar inside a bar drops its menu for the outer bar's window.
  if (owner && Upper(owner->ClassName()) == "TBAR") {
    if (TWindowPtr outer = owner->Parent(); outer && Upper(outer->ClassName()) == "TBAR") owner = outer;
  }
  if (!owner || !owner->hWnd) return;
  RECT rc{};
  GetWindowRect(hWnd, &rc);
  POINT below{rc.left, rc.bottom};
  ScreenToClient(owner->hWnd, &below);
  std::shared_ptr<TMenu> menu = oPopup;
  menu->Activate(below.y, below.x, owner, false);
  Refresh(false);
}

Value TBtnBmp::Click() {
  TBtnBmpPtr keep = SelfBtn();
  if (bWhen && !bWhen(*this)) {
    MessageBeep(0);
    return Value();
  }
  if (lProcessing || lBtnDown) return Value();
  lProcessing = true;
  struct Processing {
    bool& flag;
    ~Processing() { flag = false; }
  } processing{lProcessing};
  if (bAction) bAction(*this);
  TControl::Click();
  return Value();
}

bool TBtnBmp::End() {
  return TControl::End();
}

Value TBtnBmp::Destroy() {
  FreeBitmaps();
  if (oPopup) {
    oPopup->End();
    oPopup = nullptr;
  }
  if (hRgn) hRgn = nullptr;  // the window owns its region
  return TControl::Destroy();
}

// ---- geometry ------------------------------------------------------------------------------------

void TBtnBmp::Place(int top, int left, int width, int height) {
  nTop = top;
  nLeft = left;
  nBottom = top + height - 1;
  nRight = left + width - 1;
  if (hWnd) SetWindowPos(hWnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- events --------------------------------------------------------------------------------------

Value TBtnBmp::HandleEvent(UINT nMsg, WPARAM w, LPARAM l) {
  if (nMsg == WM_MOUSELEAVE) return MouseLeave();
  return TControl::HandleEvent(nMsg, w, l);
}

void TBtnBmp::TrackLeave() {
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hWnd, 0};
  lTracking_ = TrackMouseEvent(&tme);
}

Value TBtnBmp::MouseMove(int nRow, int nCol, int nKeyFlags) {
  TBtnBmpPtr keep = SelfBtn();
  if (lDrag || (lMouseDown && oDragCursor)) return TControl::MouseMove(nRow, nCol, nKeyFlags);
  nRow = short(nRow);
  nCol = short(nCol);
  // A move to where the mouse already was comes from a window appearing or
  // going under it (a tool tip, a repaint under Wine): answering it with
  // messages and tips again would only bring the next one.
  if (lMOver && nRow == nLastMoveRow_ && nCol == nLastMoveCol_) return Value(0);
  nLastMoveRow_ = nRow;
  nLastMoveCol_ = nCol;
  if (!lMOver) {
    lMOver = true;
    Refresh(false);
  }
  TrackLeave();
  if (lCaptured) {
    // Held down: pressed while over the button, released outside it.
    const bool pressed = InsideClient(hWnd, nRow, nCol) || lBtnDown;
    if (pressed != lPressed) {
      lPressed = pressed;
      Refresh(false);
    }
  }
  // The cursor, the owner's message bar, the tool tip and bMMoved.
  TControl::MouseMove(nRow, nCol, nKeyFlags);
  return Value(0);
}

Value TBtnBmp::MouseLeave() {
  lTracking_ = false;
  nLastMoveRow_ = nLastMoveCol_ = -32768;
  if (lMOver) {
    lMOver = false;
    Refresh(false);
  }
  return Value(0);
}

Value TBtnBmp::LButtonDown(int nRow, int nCol, int nKeyFlags) {
  TBtnBmpPtr keep = SelfBtn();
  if (lDrag) return TControl::LButtonDown(nRow, nCol, nKeyFlags);
  if (TWindowPtr parent = Parent()) parent->nLastKey = 1002;
  if (bLClicked) bLClicked(nRow, nCol, nKeyFlags, *this);
  // Taking the focus may run the validation of the control left, which may
  // refuse it: only a button that really got the focus goes down. A release
  // handled meanwhile is kept for afterwards.
  lDownPending_ = true;
  lUpArrived_ = false;
  if (GetFocus() != hWnd) {
    ::SetFocus(hWnd);
    SYSREFRESH();
  }
  lDownPending_ = false;
  if (!hWnd || GetFocus() != hWnd) return Value(0);
  SetCapture(hWnd);
  lCaptured = true;
  lPressed = true;
  Refresh(false);
  UpdateWindow(hWnd);
  if (lUpArrived_) LButtonUp(upRow_, upCol_, 0);
  return Value(0);
}

Value TBtnBmp::LButtonUp(int nRow, int nCol, int nKeyFlags) {
  TBtnBmpPtr keep = SelfBtn();
  if (lDrag) return TControl::LButtonUp(nRow, nCol, nKeyFlags);
  nRow = short(nRow);
  nCol = short(nCol);
  if (bLButtonUp) bLButtonUp(nRow, nCol, nKeyFlags, *this);
  if (lDownPending_) {
    lUpArrived_ = true;
    upRow_ = nRow;
    upCol_ = nCol;
    return Value(0);
  }
  if (!lCaptured) return Value(0);
  lCaptured = false;
  lMouseDown = false;
  if (GetCapture() == hWnd) ReleaseCapture();
  lPressed = lBtnDown;
  Refresh(false);
  if (hWnd && InsideClient(hWnd, nRow, nCol)) {
    if (oPopup && lInDropZone(nCol)) {
      ShowPopup();
    } else {
      Click();
    }
  }
  return Value(0);
}

Value TBtnBmp::KeyDown(int nKey, int nFlags) {
  TBtnBmpPtr keep = SelfBtn();
  TWindowPtr parent = Parent();
  switch (nKey) {
    case VK_RETURN:
    case VK_SPACE:
      if (!(nFlags & 0x40000000)) {  // not a repeat
        lPressed = true;
        Refresh(false);
      }
      return Value(0);
    case VK_UP:
    case VK_LEFT:
      if (parent) parent->GoPrevCtrl(hWnd);
      return Value(0);
    case VK_DOWN:
    case VK_RIGHT:
      if (parent) parent->GoNextCtrl(hWnd);
      return Value(0);
    default: {
      Value r = TControl::KeyDown(nKey, nFlags);
      Refresh(false);
      return r;
    }
  }
}

Value TBtnBmp::KeyUp(WPARAM nKey, LPARAM) {
  TBtnBmpPtr keep = SelfBtn();
  if ((nKey == VK_RETURN || nKey == VK_SPACE) && lPressed && !lBtnDown) {
    lPressed = lBtnDown;
    Refresh(false);
    Click();
    return Value(0);
  }
  return Value();
}

Value TBtnBmp::SysChar(int nKey, int nFlags) {
  TBtnBmpPtr keep = SelfBtn();
  const int letter = std::toupper(nKey & 0xFF);
  if (TWindowPtr parent = Parent()) {
    const auto controls = parent->aControls;
    for (const TWindowPtr& c : controls) {
      auto btn = std::dynamic_pointer_cast<TBtnBmp>(c);
      if (!btn || btn->lBarBtn || !btn->hWnd) continue;
      const size_t amp = btn->cCaption.find('&');
      if (amp == std::string::npos || amp + 1 >= btn->cCaption.size()) continue;
      if (std::toupper(static_cast<unsigned char>(btn->cCaption[amp + 1])) != letter) continue;
      ::SetFocus(btn->hWnd);
      btn->Click();
      return Value(0);
    }
  }
  return TControl::SysChar(nKey, nFlags);
}

Value TBtnBmp::GotFocus(HWND hCtlLost) {
  Value r = TControl::GotFocus(hCtlLost);
  Refresh(false);
  return r;
}

Value TBtnBmp::LostFocus(HWND hWndNew) {
  Value r = TControl::LostFocus(hWndNew);
  if (l97Look) lMOver = false;
  if (!lCaptured) lPressed = lBtnDown;
  Refresh(false);
  return r;
}

// ---- painting ----------------------------------------------------------------------------------------

Value TBtnBmp::Display() {
  BeginPaint();
  Paint();
  EndPaint();
  return Value(0);
}

Value TBtnBmp::Paint() {
  TBtnBmpPtr keep = SelfBtn();
  if (!hWnd) return Value(0);
  auto rec = DispBegin();
  std::shared_ptr<TBar> bar = Bar();
  if (bar && bar->l2007 != l2007) l2007 = bar->l2007;
  if (l2007) Paint2007(hDC);
  else PaintClassic(hDC);
  if (bPainted) bPainted(hDC, cPS, *this);
  DispEnd(rec);
  return Value(0);
}

void TBtnBmp::PaintClassic(HDC dc) {
  const int shown = nBitmapShown() - 1;
  const bool popup = oPopup != nullptr;
  // A flat button shows its border only while the mouse is over it.
  const bool border = l97Look ? (lMOver || lPressed) : lBorder;
  HFONT font = FontOf(*this);
  if (aAlpha[shown] && hBitmap[shown]) {
    PALBTNPAINT(hWnd, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, lPressed, lAdjust, border, popup,
                nClrPane, cCaption, nLayout, font, TextColour(), dc, !lBarBtn);
    RECT rc{};
    GetClientRect(hWnd, &rc);
    BITMAP bm{};
    GetObjectA(hBitmap[shown], sizeof bm, &bm);
    const int w = rc.right - (popup ? 13 : 0);
    const int d = lPressed ? 1 : 0;
    const int x = (w - bm.bmWidth) / 2 + d, y = (rc.bottom - bm.bmHeight) / 2 + d;
    if (!lActive && !hBitmap[2]) DRAWGRAY(dc, hBitmap[shown], y, x);
    else ABPAINT(dc, x, y, hBitmap[shown], nAlphaLevel());
    return;
  }
  PALBTNPAINT(hWnd, hBitmap[shown], hPalette[shown], hBitmap[1], hPalette[1], hBitmap[2], hPalette[2], lPressed,
              lAdjust, border, popup, nClrPane, cCaption, nLayout, font, TextColour(), dc, !lBarBtn);
  if (lFocused && (nStyle & WS_TABSTOP) && !lBarBtn && nWidth() > 25) {
    RECT rc{};
    GetClientRect(hWnd, &rc);
    const int in = 4;
    DRAWFOCUSRECT(dc, in, in, rc.bottom - in, rc.right - in);
  }
}

void TBtnBmp::Paint2007(HDC dc) {
  RECT rc{};
  GetClientRect(hWnd, &rc);
  const int W = rc.right, H = rc.bottom;
  const bool popup = oPopup != nullptr;
  if (!lBarBtn && lRound && !hRgn) {
    RECT wr{};
    GetWindowRect(hWnd, &wr);
    hRgn = CreateRoundRectRgn(0, 0, wr.right - wr.left + 1, wr.bottom - wr.top + 1, 6, 6);
    if (hRgn && !SetWindowRgn(hWnd, hRgn, TRUE)) {
      DeleteObject(hRgn);
      hRgn = nullptr;
    }
  }
  const auto grad = Gradient(lMOver);
  if (lBarBtn) {
    GRADIENTFILL(dc, 0, 0, H - 1, W, grad);
  } else if (lBorder && lRound) {
    GRADIENTFILL(dc, 0, 0, H - 1, W, grad);
    ROUNDBOX(dc, 1, 1, W - 2, H - 2, 6, 6, RGB(237, 242, 248));
    ROUNDBOX(dc, 0, 0, W - 1, H - 1, 6, 6, RGB(141, 178, 227));
  } else if (lBorder) {
    WNDBOX2007(dc, 0, 0, H - 1, W - 1, RGB(141, 178, 227));
    GRADIENTFILL(dc, 1, 1, H - 2, W - 1, grad);
  } else {
    GRADIENTFILL(dc, 0, 0, H - 1, W, grad);
  }
  const int d = lPressed ? 1 : 0;
  const int shown = nBitmapShown() - 1;
  HBITMAP bmp = hBitmap[shown];
  BITMAP bm{};
  if (bmp) GetObjectA(bmp, sizeof bm, &bm);
  HFONT font = FontOf(*this);
  const CaptionSize cs = MEASURECAPTION(dc, cCaption, font);
  const bool caption = !cCaption.empty();
  const int aw = W - (popup ? 12 : 0);
  int bx = (aw - bm.bmWidth) / 2, by = (H - bm.bmHeight) / 2;
  RECT text{0, 0, aw, H};
  if (caption) {
    switch (nLayout) {
      case LAYOUT_LEFT:
        bx = (aw - bm.bmWidth - cs.nWidth - 4) / 2;
        text = {bx + bm.bmWidth + 4, (H - cs.nHeight) / 2, aw, (H - cs.nHeight) / 2 + cs.nHeight};
        break;
      case LAYOUT_RIGHT:
        bx = (aw + cs.nWidth + 4 - bm.bmWidth) / 2;
        text = {0, (H - cs.nHeight) / 2, bx - 4, (H - cs.nHeight) / 2 + cs.nHeight};
        break;
      case LAYOUT_BOTTOM:
        by = (H - bm.bmHeight - cs.nHeight - 4) / 2 + cs.nHeight + 4;
        text = {0, by - 4 - cs.nHeight, aw, by - 4};
        break;
      default:
        by = (H - bm.bmHeight - cs.nHeight - 4) / 2;
        text = bmp ? RECT{0, by + bm.bmHeight + 4, aw, by + bm.bmHeight + 4 + cs.nHeight}
                   : RECT{0, H - cs.nHeight - 4, aw, H - 4};
        break;
    }
  }
  if (bmp) {
    if (!lActive && !hBitmap[2]) {
      DRAWGRAY(dc, bmp, by + d, bx + d);
    } else if (aAlpha[shown]) {
      if (lAdjust) ABPAINT(dc, d, d, bmp, nAlphaLevel(), aw, H);
      else ABPAINT(dc, bx + d, by + d, bmp, nAlphaLevel());
    } else if (lAdjust) {
      DrawTransparent(dc, bmp, d, d, aw, H);
    } else {
      DrawTransparent(dc, bmp, bx + d, by + d);
    }
  }
  if (caption) {
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TextColour());
    OffsetRect(&text, d, d);
    const UINT flags = DT_CENTER | (cs.nLines > 1 ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER);
    DrawTextA(dc, cCaption.c_str(), int(cCaption.size()), &text, flags);
    SelectObject(dc, old);
  }
  if (lMOver && lBoxSelect) {
    if (lRound && !lBarBtn) ROUNDBOX(dc, 2, 2, W - 3, H - 3, 6, 6, RGB(221, 207, 155));
    else WNDBOX2007(dc, lBorder ? 1 : 0, lBorder ? 1 : 0, H - (lBorder ? 2 : 1), W - (lBorder ? 2 : 1), RGB(221, 207, 155));
  }
  if (popup) {
    DROPARROW(dc, W - 7 + d, H / 2 + d);
    if (lBorder || lPressed || lMOver) {
      HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
      HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
      HGDIOBJ old = SelectObject(dc, dark);
      MoveToEx(dc, W - 13, 2, nullptr);
      LineTo(dc, W - 13, H - 2);
      SelectObject(dc, light);
      MoveToEx(dc, W - 12, 2, nullptr);
      LineTo(dc, W - 12, H - 2);
      SelectObject(dc, old);
      DeleteObject(dark);
      DeleteObject(light);
    }
  }
  if (lFocused && (nStyle & WS_TABSTOP) && !lBarBtn && W > 25) {
    const int in = 4;
    DRAWFOCUSRECT(dc, in, in, H - in, W - in);
  }
}

std::string TBtnBmp::cGenPRG() const {
  return "   @ " + std::to_string(nTop) + ", " + std::to_string(nLeft) + " BTNBMP SIZE " +
         std::to_string(nRight - nLeft + 1) + ", " + std::to_string(nBottom - nTop + 1) + " PIXEL OF oWnd" +
         (cCaption.empty() ? std::string() : " PROMPT \"" + cCaption + "\"");
}

}  // namespace nx
