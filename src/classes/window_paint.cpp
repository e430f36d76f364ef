// TWindow's painting, colours, fonts, icons, scroll bars and tool tips.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "classes/brush.h"
#include "classes/cursor.h"
#include "classes/font.h"
#include "classes/icon.h"
#include "classes/menu.h"
#include "classes/scrllbar.h"
#include "classes/window.h"
#include "native/draw.h"
#include "native/msgbar.h"
#include "rt/strings.h"

namespace nx {

// ---- painting ------------------------------------------------------------------------------

struct TWindow::DispRecord {
  DispInfo info;
  bool ended = false;
  // A paint left by an exception frees its memory device context unshown.
  ~DispRecord() {
    if (!ended) NXDISPDISCARD(info);
  }
};

Value TWindow::BeginPaint() {
  ++nPaintCount;
  PAINTSTRUCT ps{};
  hDC = ::BeginPaint(hWnd, &ps);
  cPS.assign(reinterpret_cast<const char*>(&ps), sizeof ps);
  return Value();
}

Value TWindow::Paint() {
  TWindowPtr keep = Self();
  if (hWnd && IsIconic(hWnd)) {
    SendMessageA(hWnd, IsMdiChild() ? WM_ERASEBKGND : WM_ICONERASEBKGND,
                 reinterpret_cast<WPARAM>(hDC), 0);
    HICON icon = oIcon && oIcon->hIcon ? oIcon->hIcon : LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    DrawIcon(hDC, 0, 0, icon);
    return Value(0);
  }
  auto aInfo = DispBegin();
  if (bEraseBkGnd) {
    bEraseBkGnd(hDC, *this);
  } else if (oBrush && oBrush->hBrush) {
    RECT r{};
    GetClientRect(hWnd, &r);
    FillRect(hDC, &r, oBrush->hBrush);
  }
  Value result(0);
  if (bPainted) result = bPainted(hDC, cPS, *this);
  DispEnd(aInfo);
  return result;
}

Value TWindow::EndPaint() {
  --nPaintCount;
  if (cPS.size() == sizeof(PAINTSTRUCT)) {
    PAINTSTRUCT ps{};
    std::memcpy(&ps, cPS.data(), sizeof ps);
    ::EndPaint(hWnd, &ps);
  }
  cPS.clear();
  hDC = nullptr;
  return Value(0);
}

Value TWindow::EraseBkGnd(HDC) { return Value(1); }

std::shared_ptr<TWindow::DispRecord> TWindow::DispBegin() {
  auto rec = std::make_shared<DispRecord>();
  rec->info = NXDISPBEGIN(hWnd, hDC);
  if (rec->info.hMemDC) hDC = rec->info.hMemDC;
  return rec;
}

void TWindow::DispEnd(const std::shared_ptr<DispRecord>& aInfo) {
  if (!aInfo || aInfo->ended) return;
  aInfo->ended = true;
  HDC painted = NXDISPEND(aInfo->info);
  hDC = painted ? painted : aInfo->info.hDC;
}

HDC TWindow::GetDC() {
  if (!hDC) hDC = ::GetDC(hWnd);
  ++nPaintCount;
  return hDC;
}

void TWindow::ReleaseDC() {
  if (--nPaintCount <= 0) {
    nPaintCount = 0;
    if (hDC) ::ReleaseDC(hWnd, hDC);
    hDC = nullptr;
  }
}

void TWindow::Refresh(bool lErase) {
  if (hWnd) InvalidateRect(hWnd, nullptr, lErase);
}

Value TWindow::QueryDragIcon() {
  HICON icon = oIcon && oIcon->hIcon ? oIcon->hIcon : LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
  return Value(int64_t(reinterpret_cast<intptr_t>(icon)));
}

// ---- colours, brush, font, icon ----------------------------------------------------------------

void TWindow::SetColor(COLORREF text, COLORREF pane, std::shared_ptr<TBrush> brush) {
  nClrText = text;
  nClrPane = pane;
  lClrPaneSet = true;
  // Taking the same brush again must not release it first.
  std::shared_ptr<TBrush> old = std::exchange(oBrush, nullptr);
  if (brush) {
    if (brush != old) ++brush->nCount;
    oBrush = brush;
    if (old && old != brush) old->End();
  } else {
    if (old) old->End();
    oBrush = TBrush::New({.nRGBColor = pane});
  }
}

void TWindow::SetColor(const std::string& cColorSpec) {
  // "fore/back" in the classic colour letters; without a back the pane stays.
  SetColor(NGETFORERGB(cColorSpec), cColorSpec.find('/') == std::string::npos ? nClrPane : NGETBACKRGB(cColorSpec));
}

void TWindow::SetBrush(std::shared_ptr<TBrush> brush) {
  if (brush == oBrush) return;
  if (oBrush) oBrush->End();
  oBrush = std::move(brush);
  if (oBrush) ++oBrush->nCount;
  Refresh();
}

void TWindow::SetFont(std::shared_ptr<TFont> font) {
  // The current font is ended unless the new one is the same native font.
  if (oFont && font != oFont && !(font && oFont->hFont == font->hFont)) oFont->End();
  if (font && font != oFont) ++font->nCount;
  oFont = std::move(font);
  if (hWnd && oFont) SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(oFont->hFont), TRUE);
}

std::shared_ptr<TFont> TWindow::GetFont() {
  if (oFont) return oFont;
  if (TWindowPtr parent = Parent(); parent && parent->oFont) {
    oFont = parent->oFont;
    ++oFont->nCount;
    if (hWnd) SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(oFont->hFont), FALSE);
  } else if (HFONT h = hWnd ? reinterpret_cast<HFONT>(SendMessageA(hWnd, WM_GETFONT, 0, 0)) : nullptr) {
    oFont = TFont::Borrowed(h);
  } else {
    oFont = TFont::New({.cFaceName = "SYSTEM_FONT", .nHeight = -12});
  }
  nChrHeight = int(oFont->nHeight());
  HDC dc = ::GetDC(hWnd);
  HGDIOBJ old = SelectObject(dc, oFont->hFont);
  SIZE size{};
  GetTextExtentPoint32A(dc, "B", 1, &size);
  SelectObject(dc, old);
  ::ReleaseDC(hWnd, dc);
  nChrWidth = size.cx;
  return oFont;
}

int TWindow::nGetChrHeight() {
  HDC dc = ::GetDC(hWnd);
  HGDIOBJ old = oFont ? SelectObject(dc, oFont->hFont) : nullptr;
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  if (old) SelectObject(dc, old);
  ::ReleaseDC(hWnd, dc);
  nChrHeight = tm.tmHeight;
  return nChrHeight;
}

void TWindow::SetIcon(std::shared_ptr<TIcon> icon) {
  if (oIcon && oIcon != icon) oIcon->End();
  oIcon = std::move(icon);
  if (hWnd) SendMessageA(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(oIcon ? oIcon->hIcon : nullptr));
}

void TWindow::SetMenu(std::shared_ptr<TMenu> menu) {
  oMenu = std::move(menu);
  AttachMenu(*this, oMenu);
}

void TWindow::SelColor(bool lFore) {
  static COLORREF custom[16] = {};
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = hWnd;
  cc.rgbResult = lFore ? nClrText : nClrPane;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorA(&cc)) return;
  if (lFore) SetColor(cc.rgbResult, nClrPane);
  else SetColor(nClrText, cc.rgbResult);
  Refresh();
}

void TWindow::SelFont() {
  COLORREF color = nClrText;
  std::shared_ptr<TFont> font;
  if (oFont) {
    ++oFont->nCount;  // Choose ends the font it was asked on when the user picks another
    font = oFont->Choose(&color);
  } else {
    font = TFont::New({.lFromUser = true});
  }
  if (!font || font == oFont) {
    if (font) font->End();
    return;
  }
  SetFont(font);
  font->End();  // SetFont took its own reference
  SetColor(color, nClrPane);
  Refresh();
}

void TWindow::ReleaseResources() {
  if (auto b = std::exchange(oBrush, nullptr)) b->End();
  if (auto c = std::exchange(oCursor, nullptr)) c->End();
  if (auto c = std::exchange(oDragCursor, nullptr)) c->End();
  if (auto i = std::exchange(oIcon, nullptr)) i->End();
  if (auto f = std::exchange(oFont, nullptr)) f->End();
  ReleaseMenus(*this);
  oVScroll = nullptr;
  oHScroll = nullptr;
}

// ---- own scroll bars ----------------------------------------------------------------------------

void TWindow::AttachScrollBars(bool lVScroll, bool lHScroll) {
  if (lVScroll) oVScroll = TScrollBar::WinNew({.lVertical = true, .oWnd = Self()});
  if (lHScroll) oHScroll = TScrollBar::WinNew({.lVertical = false, .oWnd = Self()});
}

void TWindow::SetScrollBlocks(const ActivateParams& p) {
  auto wrap = [](const ScrollHook& h) -> std::function<Value()> {
    if (!h) return nullptr;
    return [h] {
      h();
      return Value();
    };
  };
  if (oVScroll) {
    if (p.bUp) oVScroll->bGoUp = wrap(p.bUp);
    if (p.bDown) oVScroll->bGoDown = wrap(p.bDown);
    if (p.bPgUp) oVScroll->bPageUp = wrap(p.bPgUp);
    if (p.bPgDn) oVScroll->bPageDown = wrap(p.bPgDn);
  }
  if (oHScroll) {
    if (p.bLeft) oHScroll->bGoUp = wrap(p.bLeft);
    if (p.bRight) oHScroll->bGoDown = wrap(p.bRight);
    if (p.bPgLeft) oHScroll->bPageUp = wrap(p.bPgLeft);
    if (p.bPgRight) oHScroll->bPageDown = wrap(p.bPgRight);
  }
}

void TWindow::OwnBarScroll(bool lVertical, int nCode, int nPos) {
  std::shared_ptr<TScrollBar> bar = lVertical ? oVScroll : oHScroll;
  if (!bar) return;
  switch (nCode) {
    case SB_LINEUP: bar->GoUp(); break;
    case SB_LINEDOWN: bar->GoDown(); break;
    case SB_PAGEUP: bar->PageUp(); break;
    case SB_PAGEDOWN: bar->PageDown(); break;
    case SB_THUMBPOSITION: bar->ThumbPos(nPos); break;
    case SB_THUMBTRACK: bar->ThumbTrack(nPos); break;
    default: break;
  }
}

// ---- tool tips --------------------------------------------------------------------------------------

namespace {
struct ToolTipState {
  HWND hTip = nullptr;     // the tool-tip control
  HWND hOwner = nullptr;   // window whose tip is shown
  HWND hParent = nullptr;  // that window's parent
  bool shown = false;
} g_tip;

void EndTip() {
  if (g_tip.hTip) DestroyWindow(std::exchange(g_tip.hTip, nullptr));
  g_tip.shown = false;
}
}  // namespace

HWND CREATETOOLTIP(HWND hWnd, const std::string& cText, bool lBalloon) {
  if (!hWnd) return nullptr;
  DWORD style = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | (lBalloon ? TTS_BALLOON : 0);
  HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, hWnd, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!tip) return nullptr;
  OSVERSIONINFOA vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExA(&vi) && (vi.dwMajorVersion > 5 || (vi.dwMajorVersion == 5 && vi.dwMinorVersion >= 1)))
#pragma GCC diagnostic pop
    SetClassLongPtrA(tip, GCL_STYLE, GetClassLongPtrA(tip, GCL_STYLE) | 0x20000);
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.uFlags = TTF_SUBCLASS | TTF_TRANSPARENT;
  ti.hwnd = hWnd;
  ti.hinst = GetModuleHandleA(nullptr);
  GetClientRect(hWnd, &ti.rect);
  std::string text = cText;
  ti.lpszText = text.data();
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  SendMessageA(tip, TTM_ACTIVATE, TRUE, 0);
  SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 120);
  return tip;
}

void TWindow::CheckToolTip() {
  bool hasTip = !cToolTip.IsNil() && !(cToolTip.IsString() && cToolTip.AsString().empty());
  if (!hasTip) {
    if (hWnd != g_tip.hParent && hWnd != g_tip.hTip) g_tip.shown = false;
    if (g_tip.hOwner != hWnd) {
      g_tip.hOwner = hWnd;
      EndTip();
    }
    return;
  }
  if (g_tip.hOwner != hWnd) {
    g_tip.hParent = GetParent(hWnd);
    g_tip.hOwner = hWnd;
    EndTip();
    ShowToolTip();
  }
}

void TWindow::ShowToolTip(std::optional<int>, std::optional<int>, const Value& cTip) {
  if (g_tip.shown) return;
  Value tip = cTip.IsNil() ? cToolTip : cTip;
  if (tip.IsBlock()) tip = tip.Eval({Value(Self())});
  std::string text;
  ArrayPtr parts;
  if (tip.IsArray()) {
    parts = tip.AsArray();
    text = cValToChar(AGet(parts, 1));
  } else {
    text = cValToChar(tip);
  }
  g_tip.hTip = CREATETOOLTIP(hWnd, text, lBalloon.value_or(SetBalloon()));
  if (g_tip.hTip && parts) {
    Value title = AGet(parts, 2), icon = AGet(parts, 3), fore = AGet(parts, 4), back = AGet(parts, 5);
    if (title.IsString() && !title.AsString().empty())
      SendMessageA(g_tip.hTip, 0x420, WPARAM(icon.IsNumber() ? icon.AsInt() : 1),
                   reinterpret_cast<LPARAM>(title.AsString().c_str()));
    if (fore.IsNumber()) SendMessageA(g_tip.hTip, 0x414, WPARAM(fore.AsInt()), 0);
    if (back.IsNumber()) SendMessageA(g_tip.hTip, 0x413, WPARAM(back.AsInt()), 0);
  }
  g_tip.shown = g_tip.hTip != nullptr;
}

void TWindow::DestroyToolTip() {
  EndTip();
  g_tip.hOwner = nullptr;
  g_tip.hParent = nullptr;
}

}  // namespace nx
