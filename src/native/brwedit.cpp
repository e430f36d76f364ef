#include "native/brwedit.h"

#include <algorithm>

#include "native/draw_internal.h"

namespace nx {

std::optional<ARect> ABRWPOSRECT(HWND hWnd, int nRow, std::span<const int> aColSizes, int nColPos, int nCol,
                                 HFONT hFont) {
  int columns = int(aColSizes.size());
  if (!hWnd || !IsWindow(hWnd) || nCol < 1 || nCol > columns) return std::nullopt;
  const int h = detail::LineHeightIn(hWnd, hFont);
  if (!h) return std::nullopt;
  RECT window{};
  GetWindowRect(hWnd, &window);
  ARect r;
  r.nTop = window.top + nRow * h;
  r.nBottom = r.nTop + h;
  r.nLeft = window.left;
  for (int c = std::max(nColPos, 1); c < nCol; ++c) r.nLeft += aColSizes[size_t(c - 1)];
  r.nRight = nCol == columns ? window.right : r.nLeft + aColSizes[size_t(nCol - 1)];
  if (r.nRight >= window.right) r.nRight = window.right - 18;
  return r;
}

}  // namespace nx
