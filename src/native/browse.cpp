#include "native/browse.h"

#include <algorithm>
#include <utility>

#include "classes/scrllbar.h"
#include "native/draw.h"
#include "rt/expr.h"
#include "rt/set.h"
#include "rt/strings.h"
#include "rt/workarea.h"

namespace nx {

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);

// Selects an object for the length of a scope and restores the previous one.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
  ~Selected() {
    if (old_) SelectObject(dc_, old_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The window's device context when the caller gave none.
class WindowDC {
 public:
  WindowDC(HWND hWnd, HDC given) : hWnd_(hWnd), dc_(given ? given : GetDC(hWnd)), own_(!given) {}
  ~WindowDC() {
    if (own_ && dc_) ReleaseDC(hWnd_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hWnd_;
  HDC dc_;
  bool own_;
};

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

void WBRWLINE(HWND hWnd, HDC hDC, int nLine, const Array& aValues, const std::vector<int>& aColSizes, int nColPos,
              const BrwColor& nClrText, const BrwColor& nClrPane, HFONT hFont, bool lTree,
              const std::vector<bool>* aJustify, const Value&, int nLineStyle, std::optional<int> nColAct,
              const Value&, const TScrollBar* oVScroll, const std::function<int()>& bLogicLen,
              const BrwColor& nClrTextCell, const BrwColor& nClrPaneCell) {
  if (!hWnd) return;
  int right = -1;
  int w = WNDWIDTH(hWnd);
  if (oVScroll && bLogicLen && bLogicLen() > 1) w -= GetSystemMetrics(SM_CYHSCROLL) + 3;
  WindowDC dc(hWnd, hDC);
  if (!dc.get()) return;
  HDC h = dc.get();
  Selected font(h, hFont);
  int height = LineHeight(h);
  int top = height * nLine, bottom = top + height - 1;
  // Colour blocks of the line are evaluated once, without a column.
  COLORREF lineText = nClrText.Get(0), linePane = nClrPane.Get(0);
  SetTextColor(h, lineText);
  SetBkColor(h, linePane);
  UINT oldAlign = GetTextAlign(h);
  bool themedHeader = nLine == 0 && ISAPPTHEMED() && ISTHEMEACTIVE();
  bool classicHeader = nLine == 0 && !ISAPPTHEMED();
  std::optional<HeaderRow> headerRow;
  if (themedHeader) headerRow.emplace(hWnd, h);
  HPEN pen = nLine != 0 && !lTree && NeedsPen(nLineStyle) ? CreatePen(PS_SOLID, 1, PenColor(nLineStyle)) : nullptr;
  std::optional<Selected> linePen;
  if (pen) linePen.emplace(h, pen);
  int extra = nLine != 0 && (nLineStyle == 0 || nLineStyle == 7 || nLineStyle == 8) ? 2 : 0;
  nColPos = std::max(nColPos, 1);
  int count = int(aValues.size());
  for (int c = nColPos; c <= count; ++c) {
    int left = right + 1;
    int size = c <= int(aColSizes.size()) ? aColSizes[size_t(c - 1)] : 0;
    right = left + size - 1;
    int clip = std::min(right, w);
    if (left > w) break;
    if (c >= count) clip = w;
    const Value& value = aValues[size_t(c - 1)];
    bool active = nColAct && c == *nColAct;
    if (value.IsNumber()) {
      COLORREF back = nColAct ? nClrPaneCell.Get(c) : GetBkColor(h);
      HBRUSH brush = CreateSolidBrush(back);
      RECT r{left, top, clip + extra, bottom};
      FillRect(h, &r, brush);
      DeleteObject(brush);
      DRAWMASKED(h, reinterpret_cast<HBITMAP>(static_cast<intptr_t>(value.AsInt())), top, left);
    } else {
      if (active) {
        SetTextColor(h, lineText);
        SetBkColor(h, linePane);
      } else if (nLine != 0) {
        SetTextColor(h, nColAct ? nClrTextCell.Get(c) : nClrText.block ? nClrText.block(c) : lineText);
        SetBkColor(h, nColAct ? nClrPaneCell.Get(c) : nClrPane.block ? nClrPane.block(c) : linePane);
      }
      std::string text = cValToChar(value);
      if (lTree) {
        DRAWTEXT(h, text, ARect{top, left + 4, bottom, clip});
      } else if (themedHeader) {
        headerRow->Item(top - 1, left, bottom, clip, ANSITOOEM(text));
      } else if (aJustify && c <= int(aJustify->size()) && (*aJustify)[size_t(c - 1)]) {
        SetTextAlign(h, TA_RIGHT);
        EXTTEXTOUT(h, top, clip - 2, ARect{top, left, bottom, clip + extra}, text);
      } else {
        SetTextAlign(h, TA_LEFT);
        EXTTEXTOUT(h, top, left + 2, ARect{top, left, bottom, clip + extra}, text);
      }
    }
    if (!lTree) {
      if (nLine == 0) {
        if (classicHeader) {
          WNDBOX(h, top - 1, left - 1, bottom, clip);
          WNDBOXRAISED(h, top, left, bottom - 1, clip - 1);
        }
      } else {
        GridCell(h, nLineStyle, top, left, bottom, clip);
      }
    }
  }
  SetTextAlign(h, oldAlign);
  linePen.reset();  // deselected before it is deleted
  if (pen) DeleteObject(pen);
}

int NWROWS(HWND hWnd, HDC hDC, HFONT hFont) {
  if (!hWnd) return 0;
  WindowDC dc(hWnd, hDC);
  Selected font(dc.get(), hFont);
  RECT r{};
  GetClientRect(hWnd, &r);
  return int(uint16_t((r.bottom - r.top) / LineHeight(dc.get())));
}

int NWROW(HWND hWnd, HDC hDC, int nY, HFONT hFont) {
  if (!hWnd) return 0;
  WindowDC dc(hWnd, hDC);
  Selected font(dc.get(), hFont);
  int y = int(uint16_t(nY));
  return int(uint16_t(y / LineHeight(dc.get())));
}

void WBRWSCROLL(HWND hWnd, int nLines, HFONT hFont) {
  if (!hWnd) return;
  WindowDC dc(hWnd, nullptr);
  Selected font(dc.get(), hFont);
  RECT r{};
  GetClientRect(hWnd, &r);
  int h = LineHeight(dc.get());
  r.top += h;
  r.bottom -= (r.bottom - r.top) % h;
  // Without a region to report to, Wine invalidates the whole client area
  // (a full repaint per step); Windows invalidates nothing either way.
  HRGN uncovered = CreateRectRgn(0, 0, 0, 0);
  ScrollWindowEx(hWnd, 0, -(h * nLines), &r, &r, uncovered, nullptr, 0);
  if (uncovered) DeleteObject(uncovered);
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
  std::string text;
  if (uValue1.IsString()) {
    text = "{||" + cField + ">= '" + uValue1.AsString() + "' .and." + cField + "<= '" + uValue2.AsString() + "' }";
  } else if (uValue1.IsDate()) {
    // Date text in the set format may drop the century; YYYYMMDD keeps it.
    text = "{||" + cField + ">= SToD( '" + DToS(uValue1.AsDate()) + "') .and." + cField + "<= SToD( '" +
           DToS(uValue2.AsDate()) + "') }";
  } else if (uValue1.IsNumber() || uValue1.IsLogical()) {
    text = "{||" + cField + ">= " + cValToChar(uValue1) + " .and." + cField + "<= " + cValToChar(uValue2) + " }";
  } else {
    return {};
  }
  return [cAlias, text](int n) {
    return int(InAlias(cAlias, [&] { return BRWGOTO(n, Compile(text)); }));
  };
}

// ---- clock --------------------------------------------------------------------------------

DWORD GETTICKCOUNT() { return g_clock.tick ? g_clock.tick() : GetTickCount(); }

void SLEEP(DWORD nMilliseconds) {
  if (g_clock.sleep) g_clock.sleep(nMilliseconds);
  else Sleep(nMilliseconds);
}

BrowseClock SetBrowseClock(BrowseClock clock) { return std::exchange(g_clock, std::move(clock)); }

}  // namespace nx
