#include "native/brwedit.h"

#include <algorithm>

#include "native/draw_internal.h"

namespace nx {

std::optional<ARect> ABRWPOSRECT(HWND hWnd, int nRow, std::span<const int> aColSizes, int nColPos, int nCol,
                                 HFONT hFont) {
  int columns = int(aColSizes.size());
  if (!hWnd || !IsWindow(hWnd) || nCol < 1 || nCol > columns) return std::nullopt;
  detail::WindowDC dc(hWnd);
  if (!dc) return std::nullopt;
  detail::Select font(dc, hFont);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  int h = tm.tmHeight + 1;
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
