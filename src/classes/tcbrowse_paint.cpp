// TCBrowse: the column walk with frozen columns, headers, lines, the
// selection and the column geometry.
#include <algorithm>

#include "classes/tcbrowse.h"
#include "native/tcbrowse.h"
#include "rt/strings.h"
#include "rt/transform.h"

namespace nx {

namespace {
constexpr COLORREF kNoFocusGrey = RGB(128, 128, 128);

COLORREF CellColour(const CellColor& block, int nLine, int nCol, COLORREF fallback) {
  if (!block) return fallback;
  COLORREF c = block(nLine, nCol);
  return c == CLR_INVALID ? fallback : c;
}
}  // namespace

// The frozen columns first, then the scrolled ones from nColPos, until the
// client width is covered; the last column reaches the right edge.
std::vector<TCBrowse::DrawnColumn> TCBrowse::ColumnWalk() {
  SyncSizes();
  std::vector<DrawnColumn> walk;
  int n = int(aColumns.size());
  if (n == 0 || !hWnd) return walk;
  nFreeze = std::max(nFreeze, 0);
  if (nColPos <= nFreeze) nColPos = nFreeze + 1;
  nColPos = std::min(nColPos, std::max(n, nFreeze + 1));
  RECT r{};
  GetClientRect(hWnd, &r);
  int x = 0, frozen = 0;
  walk.reserve(size_t(n));
  for (int i = std::max(1, std::min(nColPos - nFreeze, n)); i <= n; ++i) {
    int c = i < nColPos ? ++frozen : i;
    if (c > n) break;
    int w = aColSizes[size_t(c - 1)];
    walk.push_back({c, x, c == n ? -1 : w});
    x += w;
    if (x >= r.right) break;
  }
  return walk;
}

int TCBrowse::FrozenWidth() {
  SyncSizes();
  int w = 0;
  for (int c = 1; c <= std::min(nFreeze, int(aColSizes.size())); ++c) w += aColSizes[size_t(c - 1)];
  return w;
}

int TCBrowse::nAtCol(int nColPix, bool lNoFreeze) {
  SyncSizes();
  int n = int(aColSizes.size());
  if (nColPos <= nFreeze) nColPos = nFreeze + 1;
  int x = 0, k = 0;
  if (!lNoFreeze && nFreeze > 0) {
    // Within the frozen columns the answer is the frozen column there.
    while (x < nColPix && k < std::min(nFreeze, n)) x += aColSizes[size_t(k++)];
    if (x >= nColPix) return k;
  }
  k = nColPos - 1;
  while (x < nColPix && k < n) x += aColSizes[size_t(k++)];
  return k;
}

bool TCBrowse::IsColVisible(int nCol) {
  SyncSizes();
  if (!hWnd || nCol < 1 || nCol > int(aColSizes.size())) return false;
  RECT r{};
  GetClientRect(hWnd, &r);
  if (nCol <= nFreeze) {
    int right = 0;
    for (int c = 1; c <= nCol; ++c) right += aColSizes[size_t(c - 1)];
    return right <= r.right;
  }
  int first = std::max(nColPos, nFreeze + 1);
  if (nCol < first) return false;
  int right = FrozenWidth();
  for (int c = first; c <= nCol; ++c) right += aColSizes[size_t(c - 1)];
  return right <= r.right;
}

// ---- painting ------------------------------------------------------------------------------

Value TCBrowse::Paint() {
  TCBrowsePtr keep = SelfCBrw();
  if (!lRePaint) {
    // This paint is skipped: the picture on the screen stays.
    lRePaint = true;
    return Value(0);
  }
  if (oCtx && !lFocused) oCtx->Restore();
  Value r = TWBrowse::Paint();
  if (oCtx && !lFocused) oCtx->Save();
  return r;
}

void TCBrowse::HeaderLine(HDC dc) {
  if (!hWnd) return;
  TcCellLine cells(hWnd, dc, 0, FontHandle());
  for (const DrawnColumn& d : ColumnWalk()) {
    const TCColumn& col = *aColumns[size_t(d.nCol - 1)];
    COLORREF fore = AllTrim(col.cOrder).empty() ? nClrForeHead : nOClrForeHead.value_or(nClrForeHead);
    COLORREF back = d.nCol == nColOrder ? nOClrBackHead.value_or(nClrBackHead) : nClrBackHead;
    cells.Text(d.nLeft, d.nWidth, col.cHeading, col.nAlign, fore, back, TC_LINE_RAISED);
  }
}

void TCBrowse::DrawHeaders() { HeaderLine(hDC); }

void TCBrowse::DrawLine(std::optional<int> nLine) { DrawCells(hDC, nLine.value_or(nRowPos), false); }

Value TCBrowse::DrawSelect() {
  if (!lDrawSelected) return Value();
  if (lNoLiteBar || (lNoGrayBar && !lFocused)) DrawLine();
  else DrawCells(hDC, nRowPos, true);
  return Value();
}

// One data line; lSelect draws it as the current line.
void TCBrowse::DrawCells(HDC dc, int nLine, bool lSelect) {
  if (!hWnd || nLen <= 0) return;
  TcCellLine cells(hWnd, dc, nLine, FontHandle());
  COLORREF litFore = nClrForeFocus, litBack = lFocused ? nClrBackFocus : kNoFocusGrey;
  for (const DrawnColumn& d : ColumnWalk()) {
    const TCColumn& col = *aColumns[size_t(d.nCol - 1)];
    if (lSelect && d.nCol == 1 && hBmpCursor) {
      cells.Bitmap(d.nLeft, d.nWidth, hBmpCursor, CellColour(col.bClrBack, nLine, 1, nClrPane), nLineStyle);
      continue;
    }
    bool lit = lSelect && !col.lNoLite && (!lCellStyle || d.nCol == nColAct);
    COLORREF fore = lit ? litFore : CellColour(col.bClrFore, nLine, d.nCol, nClrText);
    COLORREF back = lit ? litBack : CellColour(col.bClrBack, nLine, d.nCol, nClrPane);
    Value value = col.Get();
    if (col.cPicture) {
      cells.Text(d.nLeft, d.nWidth, Transform(value, *col.cPicture), col.nAlign, fore, back, nLineStyle);
    } else if (col.lBitMap) {
      Value handle = value;
      if (!aBitmaps.empty()) {
        int i = value.IsNumber() ? value.AsInt() : 0;
        handle = i >= 1 && i <= int(aBitmaps.size()) ? Value(int64_t(reinterpret_cast<intptr_t>(aBitmaps[size_t(i - 1)])))
                                                     : Value();
      }
      HBITMAP bmp = handle.IsNumber() ? reinterpret_cast<HBITMAP>(static_cast<intptr_t>(handle.AsInt())) : nullptr;
      cells.Bitmap(d.nLeft, d.nWidth, bmp, back, nLineStyle);
    } else if (value.IsString()) {
      cells.Text(d.nLeft, d.nWidth, value.AsString(), col.nAlign, fore, back, nLineStyle);
    } else {
      cells.Text(d.nLeft, d.nWidth, cValToChar(value), col.nAlign, fore, back, nLineStyle);
    }
  }
}

}  // namespace nx
