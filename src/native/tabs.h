// Natives of the tab strip: the built-in bitmaps of its look, drawing one
// piece of them (stretched, mirrored, magenta left out), and asking for the
// mouse-leave notice.
//
// The bitmaps are drawn for a strip docked at the bottom (horizontal ones:
// tabs hanging from the top edge) or on the right (vertical ones: tabs
// hanging from the left edge); strips on the other sides draw them
// mirrored. Each native answers a new bitmap, entered in the resource
// register as "BMP"; magenta (RGB 255, 0, 255) pixels are transparent.
#pragma once

#include <windows.h>

namespace nx {

// Backgrounds, stretched over the whole strip.
HBITMAP BMP_BACK();
HBITMAP BMP_BACKV();
// Horizontal tabs: body (stretched along the strip), left edge (4 pixels)
// and right edge (15 pixels), selected and unselected.
HBITMAP BMP_TABSEL();
HBITMAP BMP_TABSELL();
HBITMAP BMP_TABSELR();
HBITMAP BMP_TABUNSEL();
HBITMAP BMP_TABUNSL();
HBITMAP BMP_TABUNSR();
// The same for vertical strips.
HBITMAP BMP_TABSELV();
HBITMAP BMP_TABSELLV();
HBITMAP BMP_TABSELRV();
HBITMAP BMP_TABUNSELV();
HBITMAP BMP_TABUNSLV();
HBITMAP BMP_TABUNSRV();

// The colour left out of the pieces drawn transparent.
constexpr COLORREF kTabsClear = RGB(255, 0, 255);

// What TABSBMPDRAW leaves undrawn: nothing, kTabsClear pixels, or the
// pixels of the bitmap's top-left colour.
enum TabsClear : int { CLEAR_NONE = 0, CLEAR_MAGENTA = 1, CLEAR_CORNER = 2 };

// Draws hBitmap stretched over (nX, nY, nWidth, nHeight) of hDC, mirrored
// left to right and/or upside down.
void TABSBMPDRAW(HDC hDC, HBITMAP hBitmap, int nX, int nY, int nWidth, int nHeight, bool lMirrorX, bool lMirrorY,
                 int nClear);

// The system bitmap nId (an arrow button's face) inside a one-pixel frame
// of kTabsClear, so that a copy that leaves out its corner colour shows all
// of it. Registered as "BMP"; 0 when the system has no such bitmap.
HBITMAP TABSARROW(int nId);

// Asks for the notices of nFlags (2: the mouse leaving) for hWnd. The
// function is looked up in "user32" at each call; false when it is missing
// or refuses.
bool TRACKMOUSEEVENT(HWND hWnd, DWORD nFlags);

}  // namespace nx
