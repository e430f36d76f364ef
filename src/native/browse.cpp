#include "native/browse.h"

#include <algorithm>
#include <utility>

#include "native/draw.h"
#include "native/draw_internal.h"
#include "rt/expr.h"
#include "rt/set.h"
#include "rt/strings.h"
#include "rt/workarea.h"

namespace nx {

namespace {

using detail::TempObj;
using detail::WindowDC;
using SelectIn = detail::Select;  // rt's Select() names the work area

// The window's outer width, as WNDWIDTH answers it.
int OuterWidth(HWND hWnd) {
  RECT r{};
  return hWnd && GetWindowRect(hWnd, &r) ? int(r.right - r.left) : 0;
}

constexpr COLORREF kGrey = RGB(128, 128, 128);

int LineHeight(HDC dc) {
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  return tm.tmHeight + 1;
}

// Grid lines of one data cell. One pen, selected once, serves a whole line
// (styles 2 and 5 to 8): the pixels are those of a pen made per cell, and
// nothing else in a line draws with the selected pen.
void GridCell(HDC dc, int nLineStyle, int top, int left, int bottom, int clip) {
  switch (nLineStyle) {
    case 1: WNDBOX(dc, top - 1, left - 1, bottom, clip); break;
    case 2:
      MoveToEx(dc, left - 2, top - 2, nullptr);
      LineTo(dc, left - 2, bottom);
      LineTo(dc, clip, bottom);
      break;
    case 3: WNDBOXRAISED(dc, top, left, bottom, clip); break;
    case 4:
      SetTextColor(dc, 0);
      FRAMEDOT(dc, top - 1, left - 1, bottom, clip);
      break;
    case 5:
    case 6:
      MoveToEx(dc, left - 1, top - 2, nullptr);
      LineTo(dc, left - 1, bottom);
      break;
    case 7:
    case 8:
      MoveToEx(dc, left - 2, bottom, nullptr);
      LineTo(dc, clip, bottom);
      break;
    default: break;
  }
}

COLORREF PenColor(int nLineStyle) { return nLineStyle == 5 || nLineStyle == 7 ? RGB(0, 0, 0) : kGrey; }
bool NeedsPen(int nLineStyle) { return nLineStyle == 2 || (nLineStyle >= 5 && nLineStyle <= 8); }

BrowseClock g_clock;

}  // namespace

void WBRWLINE(const WBrwLineParams& p) {
  if (!p.hWnd) return;
  int right = -1;
  int w = OuterWidth(p.hWnd);
  if (p.lVScroll && p.bLogicLen && p.bLogicLen() > 1) w -= GetSystemMetrics(SM_CYHSCROLL) + 3;
  WindowDC dc(p.hWnd, p.hDC);
  if (!dc) return;
  HDC h = dc;
  SelectIn font(h, p.hFont);
  int height = LineHeight(h);
  int top = height * p.nLine, bottom = top + height - 1;
  // Colour blocks of the line are evaluated once, without a column.
  COLORREF lineText = p.nClrText.Get(0), linePane = p.nClrPane.Get(0);
  SetTextColor(h, lineText);
  SetBkColor(h, linePane);
  UINT oldAlign = GetTextAlign(h);
  bool header = p.nLine == 0;
  bool themedHeader = header && ISAPPTHEMED() && ISTHEMEACTIVE();
  bool classicHeader = header && !ISAPPTHEMED();
  std::optional<HeaderRow> headerRow;
  if (themedHeader) headerRow.emplace(p.hWnd, h);
  TempObj<HPEN> pen(!header && !p.lTree && NeedsPen(p.nLineStyle) ? CreatePen(PS_SOLID, 1, PenColor(p.nLineStyle))
                                                                   : nullptr);
  std::optional<SelectIn> linePen;  // deselected before the pen is deleted
  if (pen) linePen.emplace(h, pen);
  int extra = !header && (p.nLineStyle == 0 || p.nLineStyle == 7 || p.nLineStyle == 8) ? 2 : 0;
  int count = int(p.aValues.size());
  for (int c = std::max(p.nColPos, 1); c <= count; ++c) {
    int left = right + 1;
    int size = c <= int(p.aColSizes.size()) ? p.aColSizes[size_t(c - 1)] : 0;
    right = left + size - 1;
    int clip = std::min(right, w);
    if (left > w) break;
    if (c >= count) clip = w;
    const Value& value = p.aValues[size_t(c - 1)];
    bool active = p.nColAct && c == *p.nColAct;
    if (value.IsNumber()) {
      COLORREF back = p.nColAct ? p.nClrPaneCell.Get(c) : GetBkColor(h);
      RECT r{left, top, clip + extra, bottom};
      TempObj<HBRUSH> brush(CreateSolidBrush(back));
      FillRect(h, &r, brush);
      brush.Reset();
      DRAWMASKED(h, reinterpret_cast<HBITMAP>(static_cast<intptr_t>(value.AsInt())), top, left);
    } else {
      if (active) {
        SetTextColor(h, lineText);
        SetBkColor(h, linePane);
      } else if (!header) {
        SetTextColor(h, p.nColAct ? p.nClrTextCell.Get(c) : p.nClrText.block ? p.nClrText.block(c) : lineText);
        SetBkColor(h, p.nColAct ? p.nClrPaneCell.Get(c) : p.nClrPane.block ? p.nClrPane.block(c) : linePane);
      }
      std::string text = cValToChar(value);
      if (p.lTree) {
        DRAWTEXT(h, text, ARect{top, left + 4, bottom, clip});
      } else if (themedHeader) {
        headerRow->Item(top - 1, left, bottom, clip, ANSITOOEM(text));
      } else if (p.aJustify && c <= int(p.aJustify->size()) && (*p.aJustify)[size_t(c - 1)]) {
        SetTextAlign(h, TA_RIGHT);
        EXTTEXTOUT(h, top, clip - 2, ARect{top, left, bottom, clip + extra}, text);
      } else {
        SetTextAlign(h, TA_LEFT);
        EXTTEXTOUT(h, top, left + 2, ARect{top, left, bottom, clip + extra}, text);
      }
    }
    if (!p.lTree) {
      if (header) {
        if (classicHeader) {
          WNDBOX(h, top - 1, left - 1, bottom, clip);
          WNDBOXRAISED(h, top, left, bottom - 1, clip - 1);
        }
      } else {
        GridCell(h, p.nLineStyle, top, left, bottom, clip);
      }
    }
  }
  SetTextAlign(h, oldAlign);
}

int NWROWS(HWND hWnd, HDC hDC, HFONT hFont) {
  if (!hWnd) return 0;
  WindowDC dc(hWnd, hDC);
  SelectIn font(dc, hFont);
  RECT r{};
  GetClientRect(hWnd, &r);
  return int(uint16_t((r.bottom - r.top) / LineHeight(dc)));
}

int NWROW(HWND hWnd, HDC hDC, int nY, HFONT hFont) {
  if (!hWnd) return 0;
  WindowDC dc(hWnd, hDC);
  SelectIn font(dc, hFont);
  int y = int(uint16_t(nY));
  return int(uint16_t(y / LineHeight(dc)));
}

void WBRWSCROLL(HWND hWnd, int nLines, HFONT hFont) {
  if (!hWnd) return;
  WindowDC dc(hWnd);
  SelectIn font(dc, hFont);
  RECT r{};
  GetClientRect(hWnd, &r);
  int h = LineHeight(dc);
  r.top += h;
  r.bottom -= (r.bottom - r.top) % h;
  // Without a region to report to, Wine invalidates the whole client area
  // (a full repaint per step); Windows invalidates nothing either way.
  TempObj<HRGN> uncovered(CreateRectRgn(0, 0, 0, 0));
  ScrollWindowEx(hWnd, 0, -(h * nLines), &r, &r, uncovered, nullptr, 0);
}

// ---- key ranges over a work area ----------------------------------------------------------

long BRWGOTO(long nSkip, const Block& bWhile) {
  long step = nSkip > 0 ? 1 : -1;
  long moved = 0;
  auto holds = [&] { return bWhile.Eval().AsLogical(); };
  while (moved < std::labs(nSkip) && holds() && !Eof() && !Bof()) {
    DbSkip(step);
    ++moved;
  }
  if (Eof()) {
    DbSkip(-1);
    --moved;
  } else if (Bof()) {
    DbGoTo(RecNo());  // clears the flag
    --moved;          // the step that met the beginning moved nothing
  } else if (!holds()) {
    DbSkip(-step);
    --moved;
  }
  return moved * step;
}

void BRWGOBOTTOM(const Value& uValue) {
  Value old = Set(_SET_SOFTSEEK, Value(true));
  Value above;
  if (uValue.IsString()) {
    std::string s = uValue.AsString();
    if (!s.empty()) s.back() = char(static_cast<unsigned char>(s.back()) + 1);
    above = Value(s);
  } else if (uValue.IsDate()) {
    above = Value(Date{uValue.AsDate().julian + 1});
  } else {
    above = Value(uValue.AsNumber() + 1);
  }
  DbSeek(above, true);
  DbSkip(-1);
  Set(_SET_SOFTSEEK, old);
}

std::function<int(int)> BUILDSKIP(const std::string& cAlias, const std::string& cField, const Value& uValue1,
                                  const Value& uValue2) {
  if (!uValue1.IsString() && !uValue1.IsDate() && !uValue1.IsNumber() && !uValue1.IsLogical()) return {};
  // The bounds go in as the block's arguments, never spliced into its text,
  // so any key text (quotes included) compares as it is. The parameter names
  // are longer than a field name can be.
  Block range = Compile("{|uLowerBound,uUpperBound| " + cField + " >= uLowerBound .and. " + cField +
                        " <= uUpperBound }");
  Block bWhile{std::make_shared<const BlockFn>([range, uValue1, uValue2](std::span<const Value>) {
                 return range ? range.Eval({uValue1, uValue2}) : Value(false);
               }),
               range.text};
  return [cAlias, bWhile](int n) { return int(InAlias(cAlias, [&] { return BRWGOTO(n, bWhile); })); };
}

// ---- clock --------------------------------------------------------------------------------

DWORD GETTICKCOUNT() { return g_clock.tick ? g_clock.tick() : GetTickCount(); }

void SLEEP(DWORD nMilliseconds) {
  if (g_clock.sleep) g_clock.sleep(nMilliseconds);
  else Sleep(nMilliseconds);
}

BrowseClock SetBrowseClock(BrowseClock clock) { return std::exchange(g_clock, std::move(clock)); }

}  // namespace nx
