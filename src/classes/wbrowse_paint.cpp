// TWBrowse: painting, the selection, column geometry and the icon view.
#include <algorithm>
#include <optional>
#include <utility>

#include "classes/brush.h"
#include "classes/font.h"
#include "classes/scrllbar.h"
#include "classes/wbrowse.h"
#include "native/draw.h"
#include "native/image.h"
#include "rt/strings.h"
#include "rt/workarea.h"

namespace nx {

namespace detail {
BrowsePaintMark g_browsePaintMark = nullptr;
}  // namespace detail

BrowsePaintMark SetBrowsePaintMark(BrowsePaintMark fn) { return std::exchange(detail::g_browsePaintMark, fn); }

namespace {
using Part = BrowsePaintPart;
using detail::PaintMark;

constexpr COLORREF kNoFocusGrey = RGB(128, 128, 128);

// Whether setting this range on the window's own bar would change nothing
// but redraw it: same range, shown, enabled, both arrows enabled, range
// wider than the page. A redraw costs more than the rest of a paint under Wine.
bool SameRangeShown(HWND hWnd, int nBar, int nMin, int nMax) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  if (!hWnd || !GetScrollInfo(hWnd, nBar, &si)) return false;
  if (si.nMin != nMin || si.nMax != nMax || nMin >= nMax - std::max(int(si.nPage) - 1, 0)) return false;
  SCROLLBARINFO sbi{};
  sbi.cbSize = sizeof sbi;
  if (!GetScrollBarInfo(hWnd, nBar == SB_HORZ ? LONG(OBJID_HSCROLL) : LONG(OBJID_VSCROLL), &sbi)) return false;
  constexpr DWORD kOff = STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_OFFSCREEN;
  return !(sbi.rgstate[0] & kOff) && !(sbi.rgstate[1] & kOff) && !(sbi.rgstate[5] & kOff);
}
}  // namespace

Value TWBrowse::Display() {
  TWBrowsePtr keep = SelfBrw();
  {
    PaintMark mark(Part::Begin);
    BeginPaint();
  }
  try {
    std::optional<PaintMark> bars(std::in_place, Part::Bars);
    if (oVScroll) {
      int len = bLogicLen ? bLogicLen(*this) : 0;
      if (VGetMax() != len || len != nLen) {
        nLen = len;
        VSetRange();
        oVScroll->SetPage(std::min(nRowCount(), nLen - 1), true);
      }
    }
    // Re-setting an unchanged range would only redraw the bar.
    if (oHScroll) {
      int columns = nColumns();
      bool same = oHScroll->lIsChild && !oHScroll->lVertical && oHScroll->nMin == 1 && oHScroll->nMax == columns &&
                  SameRangeShown(hWnd, SB_HORZ, 1, columns);
      if (!same) oHScroll->SetRange(1, columns);
    }
    bars.reset();
    Paint();
  } catch (...) {
    // The paint cycle ends even when a data block fails inside it.
    EndPaint();
    throw;
  }
  PaintMark mark(Part::End);
  EndPaint();
  return Value(0);
}

Value TWBrowse::Paint() {
  TWBrowsePtr keep = SelfBrw();
  HDC paintDC = hDC;
  std::optional<PaintMark> setup(std::in_place, Part::Setup);
  HDC keptDC = lIconView ? nullptr : KeptBegin(paintDC);
  setup.reset();
  if (keptDC) {
    hDC = keptDC;
    try {
      PaintRows();
    } catch (...) {
      KeptAbandon();
      hDC = paintDC;
      throw;
    }
    if (kept_) KeptEnd(paintDC);  // Destroy in a row block drops it
    hDC = paintDC;
    return Value(0);
  }
  auto aInfo = DispBegin();
  if (oBrush && oBrush->hBrush) {
    RECT r{};
    GetClientRect(hWnd, &r);
    FillRect(hDC, &r, oBrush->hBrush);
  }
  if (lIconView) {
    DrawIcons();
    DispEnd(aInfo);
    return Value(0);
  }
  PaintRows();
  DispEnd(aInfo);
  return Value(0);
}

void TWBrowse::PaintRows() {
  bool workArea = IsWorkArea();
  if (workArea && nRowPos == 1) {
    InAlias(cAlias, [] {
      if (!Eof()) {
        DbSkip(-1);
        if (!Bof()) DbSkip(1);
      }
    });
  }
  HeaderLine(hDC);
  nLen = bLogicLen ? bLogicLen(*this) : 0;
  if (nLen > 0) {
    auto skip = [this](int n) {
      PaintMark mark(Part::Data);
      return Skip(n);
    };
    skip(1 - nRowPos);
    int line = 1, rows = LinesToPaint();
    while (line <= rows) {
      DrawLine(line);
      if (skip(1) != 1) break;
      ++line;
    }
    // The source stands on the row after the last line, or on the last row
    // when the data ended: back to the current row.
    skip(nRowPos - line);
    if (nLen < nRowPos) nRowPos = nLen;
    DrawSelect();
  }
  if (workArea) {
    InAlias(cAlias, [&] {
      lHitTop = Bof();
      lHitBottom = Eof();
    });
  }
}

WBrwLineParams TWBrowse::LineParams(HDC dc, int nLine, std::span<const Value> aValues,
                                    std::span<const int> aColSizes) {
  return {.hWnd = hWnd,
          .hDC = dc,
          .nLine = nLine,
          .aValues = aValues,
          .aColSizes = aColSizes,
          .nColPos = nColPos,
          .nClrText = nClrText,
          .nClrPane = nClrPane,
          .hFont = FontHandle(),
          .lTree = bool(bColSizes),
          .aJustify = aJustify ? &*aJustify : nullptr,
          .nLineStyle = nLineStyle,
          .lVScroll = oVScroll != nullptr,
          .bLogicLen = LogicLenFn()};
}

void TWBrowse::HeaderLine(HDC dc) {
  std::vector<int> sizes = GetColSizes();
  WBrwLineParams p = LineParams(dc, 0, aHeaders, sizes);
  p.nClrText = nClrForeHead;
  p.nClrPane = nClrBackHead;
  p.lTree = false;
  Line(p);
}

void TWBrowse::DrawLine(std::optional<int> nLine) {
  if (!bLine || !hWnd) return;
  std::vector<int> sizes = GetColSizes();
  Array row = RowValues();
  Line(LineParams(hDC, nLine.value_or(nRowPos), row, sizes));
}

Value TWBrowse::DrawSelect() {
  if (!lDrawSelected || !bLine || !hWnd) return Value();
  COLORREF back = lFocused ? nClrBackFocus : kNoFocusGrey;
  std::vector<int> sizes = GetColSizes();
  if (!lCellStyle) {
    Array row = RowValues();
    WBrwLineParams p = LineParams(hDC, nRowPos, row, sizes);
    p.nClrText = nClrForeFocus;
    p.nClrPane = back;
    Line(p);
  } else {
    DrawLine();
    Array row = RowValues();
    WBrwLineParams p = LineParams(hDC, nRowPos, row, sizes);
    p.nClrText = nClrForeFocus;
    p.nClrPane = back;
    p.nColAct = nColAct;
    p.nClrTextCell = nClrText;
    p.nClrPaneCell = nClrPane;
    Line(p);
  }
  return Value();
}

Array TWBrowse::RowValues() {
  PaintMark mark(Part::Data);
  return bLine(*this);
}

Value TWBrowse::GotFocus(HWND hCtlLost) {
  Value r = TControl::GotFocus(hCtlLost);
  if (nLen > 0 && !cAlias.empty() && !lIconView) DrawSelect();
  return r;
}

Value TWBrowse::LostFocus(HWND hWndGetFocus) {
  Value r = TControl::LostFocus(hWndGetFocus);
  if (nLen > 0 && !cAlias.empty() && !lIconView) DrawSelect();
  return r;
}

int TWBrowse::nAtCol(int nColPix) {
  std::vector<int> sizes = GetColSizes();
  int col = nColPos - 1, pos = 0;
  while (pos < nColPix && col < int(sizes.size())) {
    pos += sizes[size_t(col)];
    ++col;
  }
  return col;
}

bool TWBrowse::IsColVisible(int nCol) {
  int usable = nWidth() - (oVScroll ? 16 : 0);
  if (nCol < nColPos) return false;
  std::vector<int> sizes = GetColSizes();
  int sum = 0, c = nColPos;
  while (sum < usable && c <= nCol && c <= int(sizes.size())) {
    sum += sizes[size_t(c - 1)];
    ++c;
  }
  return c > nCol && sum <= usable;
}

// ---- icon view ---------------------------------------------------------------------------

namespace {
HICON DefaultIcon() { return EXTRACTICON("user.exe", 0); }
}  // namespace

void TWBrowse::DrawIcons() {
  if (!IsWorkArea() || !hWnd) return;
  RECT r{};
  GetClientRect(hWnd, &r);
  int width = r.right, height = r.bottom;
  int capacity = (width / 50) * (height / 50);
  HICON fallback = DefaultIcon();
  auto font = TFont::New({.cFaceName = "System", .nHeight = -8, .lUnderline = true});
  HGDIOBJ old = SelectObject(hDC, font->hFont);
  COLORREF oldText = SetTextColor(hDC, RGB(255, 255, 255));
  COLORREF oldBack = SetBkColor(hDC, RGB(0, 0, 128));
  InAlias(cAlias, [&] {
    long start = RecNo();
    int row = 10, col = 10;
    for (int i = 0; i < capacity && !Eof(); ++i) {
      HICON icon = fallback;
      if (!aIcons.empty() && bIconDraw) {
        int k = bIconDraw();
        if (k >= 1 && k <= int(aIcons.size())) icon = aIcons[size_t(k - 1)];
      }
      DRAWICON(hDC, row, col, icon);
      std::string caption = bIconText ? cValToChar(bIconText()) : Str(Value(RecNo()));
      DRAWTEXT(hDC, caption, ARect{row + 35, col - 5, row + 48, col + 40}, DT_CENTER);
      col += 50;
      if (col >= width - 32) {
        row += 50;
        col = 10;
      }
      DbSkip(1);
    }
    DbGoTo(start);
  });
  SetTextColor(hDC, oldText);
  SetBkColor(hDC, oldBack);
  SelectObject(hDC, old);
  font->End();
  DESTROYICON(fallback);
}

void TWBrowse::DrawIcon(int nIcon, bool focused) {
  if (!hWnd || nIcon < 1) return;
  RECT r{};
  GetClientRect(hWnd, &r);
  int perRow = std::max(int(r.right) / 50, 1);
  int row = (nIcon - 1) / perRow, col = (nIcon - 1) % perRow;
  HICON icon = DefaultIcon();
  HDC dc = GetDC();
  if (focused) DRAWICONFOCUS(dc, row * 50 + 10, col * 50 + 10, icon);
  else DRAWICON(dc, row * 50 + 10, col * 50 + 10, icon);
  ReleaseDC();
  DESTROYICON(icon);
}

int TWBrowse::nAtIcon(int nRow, int nCol) {
  RECT r{};
  if (hWnd) GetClientRect(hWnd, &r);
  int perRow = int(r.right) / 50;
  nRow -= 9;
  nCol -= 1;
  int within = nCol % 50;
  if (within >= 9 && within <= 41) return perRow * (nRow / 50) + nCol / 50 + 1;
  return 0;
}

}  // namespace nx
