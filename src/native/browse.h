// Browse natives: the line painter every header and data line goes through,
// line geometry, whole-line scrolling, the work-area range helpers, and the
// clock the drag and glide read.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "rt/value.h"

namespace nx {

// A colour of the line painter: an RGB value, or a block evaluated with the
// column number (or with 0, once per line, for the line colours).
struct BrwColor {
  COLORREF rgb = 0;
  std::function<COLORREF(int nCol)> block;
  BrwColor(COLORREF c = 0) : rgb(c) {}
  BrwColor(std::function<COLORREF(int)> b) : block(std::move(b)) {}
  COLORREF Get(int nCol) const { return block ? block(nCol) : rgb; }
};

// What WBRWLINE draws: line nLine (0: the header) of a browse, one cell per
// value from column nColPos on, the last column stretched to the visible
// width. hDC 0: the window's own device context. nColAct set: that cell in
// nClrText on nClrPane, the others in nClrTextCell on nClrPaneCell. A number
// value is a bitmap handle. With lVScroll (the browse has a vertical bar)
// bLogicLen is asked first, and more than one row narrows the visible width
// by the bar.
struct WBrwLineParams {
  HWND hWnd = nullptr;
  HDC hDC = nullptr;
  int nLine = 0;
  std::span<const Value> aValues{};
  std::span<const int> aColSizes{};
  int nColPos = 1;
  BrwColor nClrText{}, nClrPane{};
  HFONT hFont = nullptr;
  bool lTree = false;
  const std::vector<bool>* aJustify = nullptr;
  int nLineStyle = 0;
  std::optional<int> nColAct{};
  bool lVScroll = false;
  std::function<int()> bLogicLen{};
  BrwColor nClrTextCell{}, nClrPaneCell{};
  int nLineHeight = 0;  // the line height with hFont selected, when the caller measured it; 0: measured here
};
void WBRWLINE(const WBrwLineParams& p);

// Whole lines that fit in the client area (header included).
int NWROWS(HWND hWnd, HDC hDC, HFONT hFont);
// The screen line (0: the header) under client y coordinate nY.
int NWROW(HWND hWnd, HDC hDC, int nY, HFONT hFont);
// Shifts the data lines by nLines (positive: up); the header stays and the
// uncovered strip is left for the caller to draw.
void WBRWSCROLL(HWND hWnd, int nLines, HFONT hFont);

// Work-area helpers for key-range browses (in the selected area).
long BRWGOTO(long nSkip, const Block& bWhile);
void BRWGOBOTTOM(const Value& uValue);
// A skip block for the key range [uValue1, uValue2] over cField in cAlias,
// or an empty function for a bound of another type.
std::function<int(int)> BUILDSKIP(const std::string& cAlias, const std::string& cField, const Value& uValue1,
                                  const Value& uValue2);

// The clock of the drag and glide: milliseconds since start-up, a pause,
// and the fine clock that paces a glide (milliseconds, monotonic, far finer
// than the tick). Tests may substitute each. A substituted pause takes no
// real time, so without a fine clock of its own the fine one then counts
// the substituted pauses alone: every glide step is on time.
DWORD GETTICKCOUNT();
void SLEEP(DWORD nMilliseconds);
double GETFINETICK();
struct BrowseClock {
  std::function<DWORD()> tick;
  std::function<void(DWORD)> sleep;
  std::function<double()> fine = {};
};
BrowseClock SetBrowseClock(BrowseClock clock);  // empty members: the system's; answers the previous

}  // namespace nx
