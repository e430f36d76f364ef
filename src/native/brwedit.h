// Geometry of a browse cell for the editors placed over it.
#pragma once

#include <windows.h>

#include <optional>
#include <span>

#include "native/draw.h"

namespace nx {

// Screen rectangle of column nCol on line nRow of a browse showing the
// widths aColSizes from column nColPos on. It is measured from the window
// rectangle (border included) with the line height of hFont (0: the
// device context's own font); the last column reaches the window's right edge, and a
// right edge at or past it stops 18 pixels short (the vertical bar). None
// for column 0, a column beyond the widths, or no window.
std::optional<ARect> ABRWPOSRECT(HWND hWnd, int nRow, std::span<const int> aColSizes, int nColPos, int nCol,
                                 HFONT hFont);

}  // namespace nx
