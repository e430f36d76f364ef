// Boxes, fills, gradients, lines, text, geometry and the double buffer.
#include "native/draw.h"

#include <algorithm>
#include <new>
#include <vector>

#include "native/draw_internal.h"

namespace nx {

using detail::MemDC;
using detail::SavedDC;
using detail::Select;
using detail::TempObj;
using detail::WindowDC;

namespace {

// Which pen paints which pixel of a box: the first pen the left and top
// edges, the second the bottom and right ones, both bottom corners and the
// top-right corner. The current position is kept.
void BoxEdges(HDC hDC, int nTop, int nLeft, int nBottom, int nRight, HPEN hPen1, HPEN hPen2) {
  if (!hDC || !hPen1 || !hPen2) return;
  POINT old{};
  Select pen(hDC, hPen1);
  if (!pen.ok()) return;
  MoveToEx(hDC, nLeft, nBottom, &old);
  LineTo(hDC, nLeft, nTop);
  LineTo(hDC, nRight, nTop);
  SelectObject(hDC, hPen2);
  MoveToEx(hDC, nLeft, nBottom, nullptr);
  LineTo(hDC, nRight, nBottom);
  LineTo(hDC, nRight, nTop - 1);
  MoveToEx(hDC, old.x, old.y, nullptr);
}

int Red(COLORREF c) { return GetRValue(c); }
int Green(COLORREF c) { return GetGValue(c); }
int Blue(COLORREF c) { return GetBValue(c); }

}  // namespace

// ---- Boxes and frames -------------------------------------------------------

void WNDBOX(HDC hDC, int nTop, int nLeft, int nBottom, int nRight) {
  auto black = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  BoxEdges(hDC, nTop, nLeft, nBottom, nRight, black, black);
}

void WNDBOX2007(HDC hDC, int nTop, int nLeft, int nBottom, int nRight, COLORREF nRGB) {
  if (!hDC) return;
  TempObj<HPEN> pen(CreatePen(PS_SOLID, 1, nRGB));
  BoxEdges(hDC, nTop, nLeft, nBottom, nRight, pen, pen);
}

void WNDBOXRAISED(HDC hDC, int nTop, int nLeft, int nBottom, int nRight) {
  if (!hDC) return;
  TempObj<HPEN> light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
  TempObj<HPEN> dark(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
  BoxEdges(hDC, nTop, nLeft, nBottom, nRight, light, dark);
}

void WNDBOXIN(HDC hDC, int nTop, int nLeft, int nBottom, int nRight) {
  if (!hDC) return;
  TempObj<HPEN> dark(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
  TempObj<HPEN> light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
  BoxEdges(hDC, nTop, nLeft, nBottom, nRight, dark, light);
}

void WNDRAISED(HWND hWnd, HDC hDC) {
  if (!hWnd) return;
  RECT rc{};
  if (!GetClientRect(hWnd, &rc)) return;
  if (hDC) {
    WNDBOXRAISED(hDC, rc.top, rc.left, rc.bottom - 1, rc.right - 1);
    return;
  }
  WindowDC dc(hWnd);
  if (dc) WNDBOXRAISED(dc, rc.top, rc.left, rc.bottom - 1, rc.right - 1);
}

void FRAMEDOT(HDC hDC, int nTop, int nLeft, int nBottom, int nRight) {
  if (!hDC) return;
  // Rows of a monochrome bitmap are word-aligned: one pattern byte, one pad.
  static const BYTE rows[16] = {170, 0, 85, 0, 170, 0, 85, 0, 170, 0, 85, 0, 170, 0, 85, 0};
  TempObj<HBITMAP> bmp(CreateBitmap(8, 8, 1, 1, rows));
  if (!bmp) return;
  TempObj<HBRUSH> brush(CreatePatternBrush(bmp));
  if (!brush) return;
  RECT rc{nLeft, nTop, nRight + 1, nBottom + 1};
  FrameRect(hDC, &rc, brush);
}

void ROUNDBOX(HDC hDC, int nLeft, int nTop, int nRight, int nBottom, int nEllipseWidth, int nEllipseHeight,
              COLORREF nRGB, int nPenWidth) {
  if (!hDC) return;
  TempObj<HPEN> pen(CreatePen(PS_SOLID, nPenWidth, nRGB));
  if (!pen) return;
  Select selPen(hDC, pen);
  Select selBrush(hDC, GetStockObject(NULL_BRUSH));
  RoundRect(hDC, nLeft, nTop, nRight, nBottom, nEllipseWidth, nEllipseHeight);
}

bool RECTANGLE(HDC hDC, int nTop, int nLeft, int nBottom, int nRight, HPEN hPen) {
  if (!hDC) return false;
  Select pen(hDC, hPen);
  return Rectangle(hDC, nLeft, nTop, nRight, nBottom) != 0;
}

bool ELLIPSE(HDC hDC, int nLeft, int nTop, int nRight, int nBottom, HPEN hPen) {
  if (!hDC) return false;
  Select pen(hDC, hPen);
  return Ellipse(hDC, nLeft, nTop, nRight, nBottom) != 0;
}

void DRAWFOCUSRECT(HDC hDC, int nTop, int nLeft, int nBottom, int nRight) {
  if (!hDC) return;
  RECT rc{nLeft, nTop, nRight, nBottom};
  DrawFocusRect(hDC, &rc);
}

void BTNDISABLE(HWND hWnd, HDC hDC) {
  if (!hWnd || !hDC) return;
  RECT rc{};
  if (!GetClientRect(hWnd, &rc)) return;
  InflateRect(&rc, -1, -1);
  detail::Emboss(hDC, rc, GetSysColor(COLOR_BTNFACE));
}

void detail::Emboss(HDC hDC, const RECT& rc, COLORREF nClrFace) {
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (!hDC || w <= 0 || h <= 0) return;
  MemDC mem(hDC);
  TempObj<HBITMAP> mask(CreateBitmap(w, h, 1, 1, nullptr));
  if (!mem || !mask) return;
  TempObj<HBRUSH> light(CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT)));
  TempObj<HBRUSH> dark(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
  if (!light || !dark) return;
  Select selMask(mem, mask);
  SavedDC saved(hDC);
  // Face and highlight pixels become 1, then the inversion leaves the ink at 1.
  SetBkColor(hDC, nClrFace);
  BitBlt(mem, 0, 0, w, h, hDC, rc.left, rc.top, SRCCOPY);
  SetBkColor(hDC, GetSysColor(COLOR_BTNHIGHLIGHT));
  BitBlt(mem, 0, 0, w, h, hDC, rc.left, rc.top, SRCPAINT);
  BitBlt(mem, 0, 0, w, h, nullptr, 0, 0, DSTINVERT);
  // A monochrome source reaches a colour target through the target's text
  // (0) and background (1) colours: black and white make it a true mask.
  SetTextColor(hDC, RGB(0, 0, 0));
  SetBkColor(hDC, RGB(255, 255, 255));
  constexpr DWORD kPatternWhereMask = 0x00E20746;  // D ^ (S & (P ^ D))
  SelectObject(hDC, light);
  BitBlt(hDC, rc.left + 1, rc.top + 1, w, h, mem, 0, 0, kPatternWhereMask);
  SelectObject(hDC, dark);
  BitBlt(hDC, rc.left, rc.top, w, h, mem, 0, 0, kPatternWhereMask);
}

// ---- Fills, gradients, pixels -----------------------------------------------

void FILLRECT(HDC hDC, const ARect& aRect, HBRUSH hBrush) {
  if (!hDC || !hBrush) return;
  RECT rc = aRect.ToRECT();
  FillRect(hDC, &rc, hBrush);
}

void INVERTRECT(HDC hDC, const ARect& aRect) {
  if (!hDC) return;
  RECT rc = aRect.ToRECT();
  InvertRect(hDC, &rc);
}

void GRADIENT(HDC hDC, const ARect& aRect, COLORREF nClrFrom, COLORREF nClrTo, bool lVertical) {
  if (!hDC) return;
  const int t = aRect.nTop, l = aRect.nLeft, b = aRect.nBottom, r = aRect.nRight;
  const int n = std::min(lVertical ? b - t : r - l, 100);
  if (n <= 0) return;
  const int d = n < 2 ? 1 : n;
  const int stepR = (Red(nClrTo) - Red(nClrFrom)) * 256 / d;
  const int stepG = (Green(nClrTo) - Green(nClrFrom)) * 256 / d;
  const int stepB = (Blue(nClrTo) - Blue(nClrFrom)) * 256 / d;
  int runR = Red(nClrFrom) * 256, runG = Green(nClrFrom) * 256, runB = Blue(nClrFrom) * 256;
  const int band = lVertical ? (b - t) / d : (r - l) / d;
  int pos = lVertical ? t : l;
  for (int i = 0; i < n; ++i) {
    const int end = i == n - 1 ? (lVertical ? b : r) : pos + band;
    TempObj<HBRUSH> brush(CreateSolidBrush(RGB(runR / 256, runG / 256, runB / 256)));
    if (!brush) return;
    RECT rc = lVertical ? RECT{l, pos, r, end + 1} : RECT{pos, t, end + 1, b};
    FillRect(hDC, &rc, brush);
    pos = end;
    runR += stepR;
    runG += stepG;
    runB += stepB;
  }
}

void GradientFill(HDC hDC, int nTop, int nLeft, int nBottom, int nRight, const std::vector<GradStop>& aGrad,
                  bool lVertical) {
  if (!hDC || aGrad.empty()) return;
  const int first = lVertical ? nTop : nLeft, last = lVertical ? nBottom : nRight;
  const double size = last - first + 1;
  int start = first;
  for (size_t i = 0; i < aGrad.size() && start <= last; ++i) {
    const GradStop& stop = aGrad[i];
    const int end = i + 1 == aGrad.size() ? last
                                          : static_cast<int>(std::min<double>(last, start + size * stop.nFraction - 1));
    if (lVertical)
      GRADIENT(hDC, ARect{start, nLeft, end, nRight}, stop.nClrFrom, stop.nClrTo, true);
    else
      GRADIENT(hDC, ARect{nTop, start, nBottom, end}, stop.nClrFrom, stop.nClrTo, false);
    start = end + 1;
  }
}

bool FLOODFILL(HDC hDC, int nX, int nY, COLORREF nClrBorder, std::optional<COLORREF> nClrFill) {
  if (!hDC) return false;
  TempObj<HBRUSH> brush(nClrFill ? CreateSolidBrush(*nClrFill) : nullptr);
  Select sel(hDC, brush);
  return FloodFill(hDC, nX, nY, nClrBorder) != 0;
}

COLORREF SETPIXEL(HDC hDC, int nX, int nY, COLORREF nRGB) {
  return hDC ? SetPixel(hDC, nX, nY, nRGB) : CLR_INVALID;
}

bool SETBRUSHORGEX(HDC hDC, int nX, int nY) { return hDC && SetBrushOrgEx(hDC, nX, nY, nullptr); }

void PARENTIMAGE(HWND hWnd, HDC hDC) {
  HWND parent = hWnd ? GetParent(hWnd) : nullptr;
  if (!parent || !hDC) return;
  RECT rc{};
  GetWindowRect(hWnd, &rc);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
  WindowDC dc(parent);
  if (dc) BitBlt(hDC, 0, 0, rc.right - rc.left, rc.bottom - rc.top, dc, rc.left, rc.top, SRCCOPY);
}

// ---- Lines ------------------------------------------------------------------

bool MOVETO(HDC hDC, int nX, int nY) { return hDC && MoveToEx(hDC, nX, nY, nullptr); }

bool LINETO(HDC hDC, int nX, int nY, HPEN hPen) {
  if (!hDC) return false;
  Select pen(hDC, hPen);
  return LineTo(hDC, nX, nY) != 0;
}

// ---- Text -------------------------------------------------------------------

bool TEXTOUT(HDC hDC, int nRow, int nCol, std::string_view cText) {
  return hDC && TextOutA(hDC, nCol, nRow, cText.data(), static_cast<int>(cText.size()));
}

bool EXTTEXTOUT(HDC hDC, int nRow, int nCol, const ARect& aRect, std::string_view cText, UINT nOptions) {
  if (!hDC) return false;
  RECT rc = aRect.ToRECT();
  return ExtTextOutA(hDC, nCol, nRow, nOptions, &rc, cText.data(), static_cast<UINT>(cText.size()), nullptr);
}

int DRAWTEXT(HDC hDC, std::string_view cText, std::optional<ARect> aRect, UINT nFlags) {
  if (!hDC) return 0;
  RECT rc = aRect ? aRect->ToRECT() : RECT{0, 0, 0, 14};
  return DrawTextA(hDC, cText.data(), static_cast<int>(cText.size()), &rc, nFlags);
}

int DRAWTEXTEX(HDC hDC, std::string_view cText, std::optional<ARect> aRect, UINT nFlags) {
  if (!hDC) return 0;
  RECT rc = aRect ? aRect->ToRECT() : RECT{0, 0, 0, 14};
  // An ellipsis may be written into the text: a private copy with spare room.
  std::vector<char> text;
  try {
    text.assign(cText.begin(), cText.end());
    text.resize(cText.size() + 5, '\0');
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return DrawTextExA(hDC, text.data(), static_cast<int>(cText.size()), &rc, nFlags, nullptr);
}

namespace {

void Say(HDC hDC, int nRow, int nCol, std::string_view cText, COLORREF nClrFore, COLORREF nClrBack, HFONT hFont,
         bool lPixels, bool lTransparent, UINT nAlign) {
  TEXTMETRICA tm{};
  GetTextMetricsA(hDC, &tm);
  SavedDC saved(hDC);
  SetTextColor(hDC, nClrFore);
  SetBkColor(hDC, nClrBack);
  SetBkMode(hDC, lTransparent ? TRANSPARENT : OPAQUE);
  if (hFont) SelectObject(hDC, hFont);
  if (nAlign) SetTextAlign(hDC, nAlign);
  const int x = lPixels ? nCol : nCol * tm.tmAveCharWidth;
  const int y = lPixels ? nRow : nRow * tm.tmHeight;
  TextOutA(hDC, x, y, cText.data(), static_cast<int>(cText.size()));
}

void SayRect(HDC hDC, int nRow, int nCol, std::string_view cText, COLORREF nClrFore, COLORREF nClrBack, int nWidth) {
  TEXTMETRICA tm{};
  GetTextMetricsA(hDC, &tm);
  SavedDC saved(hDC);
  RECT rc;
  rc.top = nRow * tm.tmHeight;
  rc.bottom = (nRow + 1) * tm.tmHeight;
  rc.left = nCol * tm.tmAveCharWidth;
  rc.right = rc.left + nWidth;
  SetTextColor(hDC, nClrFore);
  SetBkColor(hDC, nClrBack);
  ExtTextOutA(hDC, rc.left, rc.top, ETO_OPAQUE, &rc, cText.data(), static_cast<UINT>(cText.size()), nullptr);
}

}  // namespace

void WSAY(HWND hWnd, HDC hDC, int nRow, int nCol, std::string_view cText, COLORREF nClrFore, COLORREF nClrBack,
          HFONT hFont, bool lPixels, bool lTransparent, UINT nAlign) {
  if (hDC) {
    Say(hDC, nRow, nCol, cText, nClrFore, nClrBack, hFont, lPixels, lTransparent, nAlign);
    return;
  }
  if (!hWnd) return;
  WindowDC dc(hWnd);
  if (dc) Say(dc, nRow, nCol, cText, nClrFore, nClrBack, hFont, lPixels, lTransparent, nAlign);
}

void WSAYRECT(HWND hWnd, HDC hDC, int nRow, int nCol, std::string_view cText, COLORREF nClrFore, COLORREF nClrBack,
              int nWidth) {
  if (hDC) {
    SayRect(hDC, nRow, nCol, cText, nClrFore, nClrBack, nWidth);
    return;
  }
  if (!hWnd) return;
  WindowDC dc(hWnd);
  if (dc) SayRect(dc, nRow, nCol, cText, nClrFore, nClrBack, nWidth);
}

int GETTEXTWIDTH(HDC hDC, std::string_view cText, HFONT hFont) {
  auto measure = [&](HDC dc) {
    Select font(dc, hFont);
    SIZE size{};
    GetTextExtentPoint32A(dc, cText.data(), static_cast<int>(cText.size()), &size);
    return static_cast<int>(size.cx);
  };
  if (hDC) return measure(hDC);
  WindowDC dc(GetActiveWindow());
  return dc ? measure(dc) : 0;
}

int GETTEXTHEIGHT(HWND hWnd, HDC hDC) {
  auto height = [](HDC dc) {
    TEXTMETRICA tm{};
    return GetTextMetricsA(dc, &tm) ? static_cast<int>(tm.tmHeight) : 0;
  };
  if (hDC) return height(hDC);
  WindowDC dc(hWnd ? hWnd : GetActiveWindow());
  return dc ? height(dc) : 0;
}

UINT SETTEXTALIGN(HDC hDC, UINT nAlign) { return hDC ? SetTextAlign(hDC, nAlign) : GDI_ERROR; }

// ---- Geometry, colours, modes -------------------------------------------------

ARect GETCLIENTRECT(HWND hWnd) {
  RECT rc{};
  if (!hWnd || !GetClientRect(hWnd, &rc)) return {};
  return ARect::From(rc);
}

ARect GETWNDRECT(HWND hWnd) {
  RECT rc{};
  if (!hWnd || !GetWindowRect(hWnd, &rc)) return {};
  return ARect::From(rc);
}

ARect GETCOORS(HWND hWnd) {
  RECT rc{};
  if (!hWnd || !GetWindowRect(hWnd, &rc)) return {};
  if (HWND parent = GetParent(hWnd)) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
  return ARect::From(rc);
}

int GETSYSMETRICS(int nIndex) { return GetSystemMetrics(nIndex); }

std::string ANSITOOEM(std::string_view cText) {
  std::string out(cText);
  if (!out.empty()) CharToOemBuffA(out.data(), out.data(), static_cast<DWORD>(out.size()));
  return out;
}

std::string OEMTOANSI(std::string_view cText) {
  std::string out(cText);
  if (!out.empty()) OemToCharBuffA(out.data(), out.data(), static_cast<DWORD>(out.size()));
  return out;
}

COLORREF SETTEXTCOLOR(HDC hDC, COLORREF nRGB) { return hDC ? SetTextColor(hDC, nRGB) : CLR_INVALID; }
COLORREF SETBKCOLOR(HDC hDC, COLORREF nRGB) { return hDC ? SetBkColor(hDC, nRGB) : CLR_INVALID; }
int SETBKMODE(HDC hDC, int nMode) { return hDC ? SetBkMode(hDC, nMode) : 0; }
COLORREF GETTEXTCOLOR(HDC hDC) { return hDC ? GetTextColor(hDC) : CLR_INVALID; }
COLORREF GETBKCOLOR(HDC hDC) { return hDC ? GetBkColor(hDC) : CLR_INVALID; }
COLORREF GETSYSCOLOR(int nIndex) { return GetSysColor(nIndex); }

// ---- Off-screen painting ------------------------------------------------------

DispInfo NXDISPBEGIN(HWND hWnd, HDC hDC) {
  DispInfo info{hWnd, hDC, nullptr, nullptr, nullptr};
  RECT rc{};
  if (!hWnd || !hDC || !GetClientRect(hWnd, &rc)) return info;
  HDC mem = CreateCompatibleDC(hDC);
  HBITMAP bmp = mem ? CreateCompatibleBitmap(hDC, std::max<LONG>(rc.right, 1), std::max<LONG>(rc.bottom, 1))
                    : nullptr;
  HGDIOBJ old = bmp ? SelectObject(mem, bmp) : nullptr;
  if (!old || old == HGDI_ERROR) {
    if (bmp) DeleteObject(bmp);
    if (mem) DeleteDC(mem);
    return info;
  }
  RESADD(mem, "TMPDC");
  RESADD(bmp, "TMP");
  info.hMemDC = mem;
  info.hBitmap = bmp;
  info.hOldBitmap = static_cast<HBITMAP>(old);
  return info;
}

HDC NXDISPEND(const DispInfo& aInfo) {
  if (!aInfo.hMemDC) return aInfo.hDC;
  RECT rc{};
  if (aInfo.hDC && GetClientRect(aInfo.hWnd, &rc))
    BitBlt(aInfo.hDC, 0, 0, rc.right, rc.bottom, aInfo.hMemDC, 0, 0, SRCCOPY);
  return NXDISPDISCARD(aInfo);
}

HDC NXDISPDISCARD(const DispInfo& aInfo) {
  if (!aInfo.hMemDC) return aInfo.hDC;
  if (aInfo.hOldBitmap) SelectObject(aInfo.hMemDC, aInfo.hOldBitmap);
  if (aInfo.hBitmap) {
    RESDEL(aInfo.hBitmap);
    DeleteObject(aInfo.hBitmap);
  }
  RESDEL(aInfo.hMemDC);
  DeleteDC(aInfo.hMemDC);
  return aInfo.hDC;
}

// ---- Control drag frame -----------------------------------------------------------

void CTRLDRAWFOCUS(HWND hWnd, int nRowOff, int nColOff, int nMRow, int nMCol, int nMode) {
  HWND parent = hWnd ? GetParent(hWnd) : nullptr;
  if (!parent) return;
  RECT rc{}, parentRc{};
  if (!GetWindowRect(hWnd, &rc) || !GetWindowRect(parent, &parentRc)) return;
  if (nMode >= 1 && nMode <= 8) {
    POINT pt{nMCol, nMRow};
    ClientToScreen(hWnd, &pt);
    if (nMode == 1 || nMode == 2 || nMode == 3) rc.top = pt.y;
    if (nMode == 5 || nMode == 6 || nMode == 7) rc.bottom = pt.y;
    if (nMode == 1 || nMode == 7 || nMode == 8) rc.left = pt.x;
    if (nMode == 3 || nMode == 4 || nMode == 5) rc.right = pt.x;
  } else {
    OffsetRect(&rc, nColOff, nRowOff);
  }
  // The parent's window DC has its origin at the parent's window corner.
  OffsetRect(&rc, -parentRc.left, -parentRc.top);
  HDC dc = GetWindowDC(parent);
  if (!dc) return;
  {
    TempObj<HBRUSH> grey(CreateSolidBrush(RGB(127, 127, 127)));
    Select sel(dc, grey);
    if (sel.ok()) {
      const RECT o{rc.left - 2, rc.top - 2, rc.right + 2, rc.bottom + 2};
      const int w = o.right - o.left, h = o.bottom - o.top;
      PatBlt(dc, o.left, o.top, w, 2, PATINVERT);
      PatBlt(dc, o.left, o.bottom - 2, w, 2, PATINVERT);
      PatBlt(dc, o.left, o.top + 2, 2, h - 4, PATINVERT);
      PatBlt(dc, o.right - 2, o.top + 2, 2, h - 4, PATINVERT);
    }
  }
  ReleaseDC(parent, dc);
}

}  // namespace nx
