#include "native/bar.h"

#include <algorithm>
#include <string>

#include "native/draw_internal.h"

namespace nx {

using namespace detail;

namespace {

void Line(HDC hDC, int x1, int y1, int x2, int y2, HPEN pen) {
  Select sel(hDC, pen);
  MoveToEx(hDC, x1, y1, nullptr);
  LineTo(hDC, x2, y2);
}

// A one-pixel frame: light on the top and left, dark on the bottom and right
// (bottom and right inclusive).
void Edges(HDC hDC, int t, int l, int b, int r, COLORREF light, COLORREF dark) {
  TempObj<HPEN> lp(CreatePen(PS_SOLID, 1, light)), dp(CreatePen(PS_SOLID, 1, dark));
  if (!lp || !dp) return;
  Line(hDC, l, b, l, t, lp);
  Line(hDC, l, t, r, t, lp);
  Line(hDC, r, t, r, b, dp);
  Line(hDC, r, b, l - 1, b, dp);
}

bool MaximizedDocument(HWND hWnd) {
  HWND parent = GetParent(hWnd);
  return parent && (GetWindowLongA(parent, GWL_EXSTYLE) & WS_EX_MDICHILD) && IsZoomed(parent);
}

void StretchMasked(HDC hDC, HBITMAP hBitmap, int x, int y, int w, int h) {
  const BmpSize size = SizeOf(hBitmap);
  if (!size.w || w <= 0 || h <= 0) return;
  MemDC src(hDC);
  Select sel(src, hBitmap);
  if (!src || !sel.ok()) return;
  const int oldMode = SetStretchBltMode(hDC, COLORONCOLOR);
  TransparentBlt(hDC, x, y, w, h, src, 0, 0, size.w, size.h, GetPixel(src, 0, 0));
  SetStretchBltMode(hDC, oldMode);
}

}  // namespace

CaptionSize MEASURECAPTION(HDC hDC, std::string_view cCaption, HFONT hFont) {
  CaptionSize size;
  if (!hDC || cCaption.empty()) return size;
  Select font(hDC, hFont);
  TEXTMETRICA tm{};
  GetTextMetricsA(hDC, &tm);
  size_t start = 0;
  while (start <= cCaption.size()) {
    size_t end = cCaption.find("\r\n", start);
    std::string_view line = cCaption.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    SIZE ext{};
    GetTextExtentPoint32A(hDC, line.data(), int(line.size()), &ext);
    size.nWidth = std::max<int>(size.nWidth, ext.cx);
    ++size.nLines;
    if (end == std::string_view::npos) break;
    start = end + 2;
  }
  size.nHeight = size.nLines * tm.tmHeight;
  return size;
}

void BARPAINT(HWND hWnd, HDC hDC) {
  RECT rc{};
  if (!hWnd || !hDC || !GetClientRect(hWnd, &rc)) return;
  const int w = rc.right, h = rc.bottom;
  const bool vertical = h > w;
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  if (!MaximizedDocument(hWnd)) {
    TempObj<HPEN> pen(CreatePen(PS_SOLID, 1, dark));
    Line(hDC, 0, 0, w, 0, pen);
  }
  Edges(hDC, 0, 0, h - 2, w - 2, light, dark);
  if (vertical) {
    if (ISAPPTHEMED() && DRAWGRIPPER(hWnd, hDC, RECT{2, 2, w - 2, 12}, true)) return;
    Edges(hDC, 2, 2, 4, w - 3, light, dark);
    Edges(hDC, 5, 2, 7, w - 3, light, dark);
  } else {
    if (ISAPPTHEMED() && DRAWGRIPPER(hWnd, hDC, RECT{2, 2, 12, h - 2}, false)) return;
    Edges(hDC, 2, 4, h - 2, 6, light, dark);
    Edges(hDC, 2, 7, h - 2, 9, light, dark);
  }
}

void BARADJUST(HWND hWnd, int nMode, bool lMsgBar, int nMsgBarHeight) {
  HWND parent = hWnd ? GetParent(hWnd) : nullptr;
  RECT pc{}, bc{};
  if (!parent || !GetClientRect(parent, &pc) || !GetClientRect(hWnd, &bc)) return;
  const int W = pc.right, H = pc.bottom, bw = bc.right, bh = bc.bottom;
  const int msg = lMsgBar ? nMsgBarHeight - 1 : 0;
  constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE;
  switch (nMode) {
    case BAR_TOP: SetWindowPos(hWnd, nullptr, -1, -1, W + 2, bh + 2, kFlags); break;
    case BAR_LEFT: SetWindowPos(hWnd, nullptr, -1, -1, bw + 2, H - msg + 1, kFlags); break;
    case BAR_RIGHT: SetWindowPos(hWnd, nullptr, W - bw - 1, -1, bw + 2, H - msg + 1, kFlags); break;
    case BAR_BOTTOM: SetWindowPos(hWnd, nullptr, -1, H - msg - bh - 2, W + 2, bh + 2, kFlags); break;
    default: break;
  }
}

void DROPARROW(HDC hDC, int nX, int nY) {
  if (!hDC) return;
  TempObj<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
  // Rows of 5, 3 and 1 pixels.
  for (int i = 0; i < 3; ++i) Line(hDC, nX - 2 + i, nY - 1 + i, nX + 3 - i, nY - 1 + i, pen);
}

void DRAWGRAY(HDC hDC, HBITMAP hBitmap, int nRow, int nCol) {
  const BmpSize size = SizeOf(hBitmap);
  if (!hDC || !size.w) return;
  PixelBuffer px;
  if (!px.Create(size.w, size.h)) return;
  {
    MemDC src(hDC), dst(hDC);
    Select sSrc(src, hBitmap), sDst(dst, px.hBitmap);
    if (!src || !dst || !sSrc.ok() || !sDst.ok()) return;
    BitBlt(dst, 0, 0, size.w, size.h, src, 0, 0, SRCCOPY);
    GdiFlush();
  }
  const uint32_t clear = px.pBits[0] & 0xFFFFFF;
  for (int y = 0; y < size.h; ++y) {
    for (int x = 0; x < size.w; ++x) {
      const uint32_t p = px.pBits[size_t(y) * size.w + x] & 0xFFFFFF;
      if (p == clear) continue;
      const int red = (p >> 16) & 0xFF, green = (p >> 8) & 0xFF, blue = p & 0xFF;
      int g = red / 3 + (green * 256 + red) / 768 + blue / 3;
      if (g) g = g > 234 ? 255 : g + 20;
      SetPixelV(hDC, nCol + x, nRow + y, RGB(g, g, g));
    }
  }
}

void PALBTNPAINT(HWND hWnd, HBITMAP hBitmap1, HPALETTE hPalette1, HBITMAP hBitmap2, HPALETTE hPalette2,
                 HBITMAP hBitmap3, HPALETTE hPalette3, bool lPressed, bool lAdjust, bool lBorder, bool lPopup,
                 COLORREF nClrPane, std::string_view cCaption, int nLayout, HFONT hFont, COLORREF nClrText,
                 HDC hDC, bool lNotOnBar) {
  RECT rc{};
  if (!hWnd || !hDC || !GetClientRect(hWnd, &rc)) return;
  (void)lNotOnBar;
  SavedDC saved(hDC);
  const bool disabled = !IsWindowEnabled(hWnd);
  const int w = rc.right - (lPopup ? 13 : 0), h = rc.bottom;
  {
    TempObj<HBRUSH> pane(CreateSolidBrush(nClrPane));
    FillRect(hDC, &rc, pane);
  }
  // The bitmap to show and how far a press moves it.
  HBITMAP bmp = hBitmap1;
  HPALETTE pal = hPalette1;
  int shift = lPressed ? 1 : 0;
  bool grey = false;
  if (disabled && hBitmap3) {
    bmp = hBitmap3, pal = hPalette3, shift = 0;
  } else if (disabled) {
    grey = true, shift = 0;
  } else if (hBitmap2 && lPressed) {
    bmp = hBitmap2, pal = hPalette2, shift = 2;
  }
  HPALETTE oldPal = pal ? SelectPalette(hDC, pal, FALSE) : nullptr;
  if (oldPal) RealizePalette(hDC);
  const BmpSize bs = SizeOf(bmp);
  const CaptionSize cs = MEASURECAPTION(hDC, cCaption, hFont);
  const bool caption = !cCaption.empty();
  int bx = (w - bs.w) / 2, by = (h - bs.h) / 2, tx = (w - cs.nWidth) / 2, ty = (h - cs.nHeight) / 2;
  if (caption && bmp) {
    switch (nLayout) {
      case LAYOUT_LEFT:
        bx = (w - bs.w - cs.nWidth - 4) / 2, tx = bx + bs.w + 4;
        break;
      case LAYOUT_RIGHT:
        tx = (w - bs.w - cs.nWidth - 4) / 2, bx = tx + cs.nWidth + 4;
        break;
      case LAYOUT_BOTTOM:
        ty = (h - bs.h - cs.nHeight - 2) / 2, by = ty + cs.nHeight + 2;
        break;
      default:
        by = (h - bs.h - cs.nHeight - 2) / 2, ty = by + bs.h + 2;
        break;
    }
  }
  if (bmp) {
    if (lAdjust && !caption) {
      const int inset = shift == 2 ? 2 : 1;
      StretchMasked(hDC, bmp, inset + (shift == 1), inset + (shift == 1), w - 2 * inset, h - 2 * inset);
    } else if (grey) {
      DRAWGRAY(hDC, bmp, by, bx);
    } else {
      DRAWMASKED(hDC, bmp, by + shift, bx + shift);
    }
  }
  if (oldPal) SelectPalette(hDC, oldPal, TRUE);
  if (caption) {
    Select font(hDC, hFont);
    SetBkMode(hDC, TRANSPARENT);
    const int d = lPressed ? 1 : 0;
    const UINT flags = cs.nLines > 1 ? DT_CENTER | DT_WORDBREAK : DT_LEFT | DT_SINGLELINE;
    auto out = [&](int dx, COLORREF c) {
      SetTextColor(hDC, c);
      RECT tr{tx + dx, ty + dx, tx + dx + cs.nWidth + 1, ty + dx + cs.nHeight};
      DrawTextA(hDC, cCaption.data(), int(cCaption.size()), &tr, flags | DT_NOCLIP);
    };
    if (disabled) {
      out(lPressed ? 2 : 1, GetSysColor(COLOR_BTNHIGHLIGHT));
      out(0, GetSysColor(COLOR_BTNSHADOW));
    } else {
      out(d, nClrText);
    }
  }
  if (lPopup) {
    DROPARROW(hDC, rc.right - 7 + (lPressed ? 1 : 0), h / 2 + (lPressed ? 1 : 0));
    if (lBorder || lPressed) {
      TempObj<HPEN> dark(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
      TempObj<HPEN> light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
      Line(hDC, rc.right - 13, 2, rc.right - 13, h - 2, dark);
      Line(hDC, rc.right - 12, 2, rc.right - 12, h - 2, light);
    }
  }
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  if (lPressed) {
    const bool onShadow = nClrPane == shadow;
    Edges(hDC, 0, 0, h - 1, rc.right - 1, onShadow ? RGB(0, 0, 0) : shadow, light);
  } else if (lBorder) {
    Edges(hDC, 0, 0, h - 1, rc.right - 1, light, shadow);
  }
}

}  // namespace nx
