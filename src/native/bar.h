// Natives of the button bar and the bitmap buttons: the bar's classic frame
// and grip, fitting a docked bar to its owner, the classic face of a bitmap
// button, banded gradients and greyed bitmaps.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "native/draw.h"

namespace nx {

// Bar modes: the side a bar is docked to, or floating.
enum BarMode : int { BAR_TOP = 1, BAR_LEFT = 2, BAR_RIGHT = 3, BAR_BOTTOM = 4, BAR_FLOAT = 5 };

// The classic 3-D bar: a shadow line along the top (not under a maximized
// document window), a raised frame and the grip where the buttons start.
// A bar taller than wide is vertical.
void BARPAINT(HWND hWnd, HDC hDC);

// Places a docked bar along its side of the parent's client area, leaving
// the bottom rows of a message bar of nMsgBarHeight pixels free.
void BARADJUST(HWND hWnd, int nMode, bool lMsgBar, int nMsgBarHeight);

// Caption sides of a bitmap button.
enum BtnLayout : int { LAYOUT_TOP = 1, LAYOUT_LEFT = 2, LAYOUT_BOTTOM = 3, LAYOUT_RIGHT = 4 };

// The classic face of a bitmap button into hDC (its client area): bitmaps 1
// normal, 2 pressed, 3 disabled; the caption on side nLayout of the bitmap;
// raised or sunken frames; a drop-down arrow when lPopup. A disabled window
// without a disabled bitmap shows the normal one greyed.
void PALBTNPAINT(HWND hWnd, HBITMAP hBitmap1, HPALETTE hPalette1, HBITMAP hBitmap2, HPALETTE hPalette2,
                 HBITMAP hBitmap3, HPALETTE hPalette3, bool lPressed, bool lAdjust, bool lBorder, bool lPopup,
                 COLORREF nClrPane, std::string_view cCaption, int nLayout, HFONT hFont, COLORREF nClrText,
                 HDC hDC, bool lNotOnBar);

// Bands of a gradient, top to bottom (or left to right); the far side
// across the bands (right, or bottom) is left out, as GDI leaves it.
inline void GRADIENTFILL(HDC hDC, int nTop, int nLeft, int nBottom, int nRight, const std::vector<GradStop>& aGrad,
                         bool lVertical = true) {
  GradientFill(hDC, nTop, nLeft, nBottom, nRight, aGrad, lVertical);
}

// The bitmap in grey at (nCol, nRow); its top-left colour stays undrawn.
void DRAWGRAY(HDC hDC, HBITMAP hBitmap, int nRow, int nCol);

// The small black triangle of a drop-down button, centred on (nX, nY).
void DROPARROW(HDC hDC, int nX, int nY);

// Lines of a caption split at CR LF; the widest line's width and the
// block's height in the font.
struct CaptionSize {
  int nWidth = 0, nHeight = 0, nLines = 0;
};
CaptionSize MEASURECAPTION(HDC hDC, std::string_view cCaption, HFONT hFont);

}  // namespace nx
