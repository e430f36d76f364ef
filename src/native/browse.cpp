#include "native/browse.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

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

// The grid lines of a line's data cells, gathered and drawn with the line's
// one pen in one call (styles 2 and 5 to 8); the other styles draw their
// frames cell by cell. The pixels are those of the lines drawn per cell:
// no later cell's text reaches a grid line of an earlier one, and a bitmap
// cell (which may) has the lines before it drawn first.
class Grid {
 public:
  Grid(HDC dc, int nLineStyle) : dc_(dc), style_(nLineStyle) {}
  ~Grid() { Flush(); }
  Grid(const Grid&) = delete;
  Grid& operator=(const Grid&) = delete;

  void Cell(int top, int left, int bottom, int clip) {
    switch (style_) {
      case 1: WNDBOX(dc_, top - 1, left - 1, bottom, clip); break;
      case 2: Add({{left - 2, top - 2}, {left - 2, bottom}, {clip, bottom}}); break;
      case 3: WNDBOXRAISED(dc_, top, left, bottom, clip); break;
      case 4:
        SetTextColor(dc_, 0);
        FRAMEDOT(dc_, top - 1, left - 1, bottom, clip);
        break;
      case 5:
      case 6: Add({{left - 1, top - 2}, {left - 1, bottom}}); break;
      case 7:
      case 8: Add({{left - 2, bottom}, {clip, bottom}}); break;
      default: break;
    }
  }
  void Flush() {
    if (counts_.empty()) return;
    PolyPolyline(dc_, points_.data(), counts_.data(), DWORD(counts_.size()));
    // The current position where the last line ended, as line by line.
    MoveToEx(dc_, points_.back().x, points_.back().y, nullptr);
    points_.clear();
    counts_.clear();
  }

 private:
  void Add(std::initializer_list<POINT> polyline) {
    points_.insert(points_.end(), polyline);
    counts_.push_back(DWORD(polyline.size()));
  }
  HDC dc_;
  int style_;
  std::vector<POINT> points_;
  std::vector<DWORD> counts_;
};

COLORREF PenColor(int nLineStyle) { return nLineStyle == 5 || nLineStyle == 7 ? RGB(0, 0, 0) : kGrey; }
bool NeedsPen(int nLineStyle) { return nLineStyle == 2 || (nLineStyle >= 5 && nLineStyle <= 8); }

// The device context's text colours and alignment, set only when they change.
class TextState {
 public:
  explicit TextState(HDC dc) : dc_(dc), align_(GetTextAlign(dc)), oldAlign_(align_) {}
  ~TextState() { SetTextAlign(dc_, oldAlign_); }
  TextState(const TextState&) = delete;
  TextState& operator=(const TextState&) = delete;
  void Colours(COLORREF text, COLORREF pane) {
    if (!known_ || text_ != text) SetTextColor(dc_, text_ = text);
    if (!known_ || pane_ != pane) SetBkColor(dc_, pane_ = pane);
    known_ = true;
  }
  void Align(UINT align) {
    if (align_ != align) SetTextAlign(dc_, align_ = align);
  }
  void TextChanged() { text_ = CLR_INVALID; }  // set behind its back

 private:
  HDC dc_;
  bool known_ = false;
  COLORREF text_ = CLR_INVALID, pane_ = CLR_INVALID;
  UINT align_, oldAlign_;
};

BrowseClock g_clock;
double g_slept = 0;  // the substituted pauses, for the fine clock of a substituted sleep

}  // namespace

void WBRWLINE(const WBrwLineParams& p) {
  if (!p.hWnd) return;
  int right = -1;
  int w = OuterWidth(p.hWnd);
  if (p.lVScroll && p.bLogicLen && p.bLogicLen() > 1) w -= GetSystemMetrics(SM_CYHSCROLL) + 3;
  WindowDC dc(p.hWnd, p.hDC);
  if (!dc) return;
  HDC h = dc;
  // Selecting a font is slow under Wine: one a caller of many lines
  // selected already is used as it is.
  std::optional<SelectIn> font;
  if (p.hFont && GetCurrentObject(h, OBJ_FONT) != p.hFont) font.emplace(h, p.hFont);
  int height = p.nLineHeight > 0 ? p.nLineHeight : LineHeight(h);
  int top = height * p.nLine, bottom = top + height - 1;
  // Colour blocks of the line are evaluated once, without a column.
  COLORREF lineText = p.nClrText.Get(0), linePane = p.nClrPane.Get(0);
  TextState state(h);
  state.Colours(lineText, linePane);
  bool header = p.nLine == 0;
  bool themedHeader = header && ISAPPTHEMED() && ISTHEMEACTIVE();
  bool classicHeader = header && !ISAPPTHEMED();
  std::optional<HeaderRow> headerRow;
  if (themedHeader) headerRow.emplace(p.hWnd, h);
  bool gridded = !header && !p.lTree;
  TempObj<HPEN> pen(gridded && NeedsPen(p.nLineStyle) ? CreatePen(PS_SOLID, 1, PenColor(p.nLineStyle)) : nullptr);
  std::optional<SelectIn> linePen;  // deselected before the pen is deleted
  if (pen) linePen.emplace(h, pen);
  Grid grid(h, gridded ? p.nLineStyle : 0);  // drawn before the pen goes
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
      grid.Flush();  // a bitmap may reach the lines of the cells before it
      DRAWMASKED(h, reinterpret_cast<HBITMAP>(static_cast<intptr_t>(value.AsInt())), top, left);
    } else {
      if (active) {
        state.Colours(lineText, linePane);
      } else if (!header) {
        COLORREF text = p.nColAct ? p.nClrTextCell.Get(c) : p.nClrText.block ? p.nClrText.block(c) : lineText;
        COLORREF pane = p.nColAct ? p.nClrPaneCell.Get(c) : p.nClrPane.block ? p.nClrPane.block(c) : linePane;
        state.Colours(text, pane);
      }
      std::string converted = value.IsString() ? std::string() : cValToChar(value);
      const std::string& text = value.IsString() ? value.AsString() : converted;
      if (p.lTree) {
        DRAWTEXT(h, text, ARect{top, left + 4, bottom, clip});
      } else if (themedHeader) {
        headerRow->Item(top - 1, left, bottom, clip, ANSITOOEM(text));
      } else {
        bool toRight = p.aJustify && c <= int(p.aJustify->size()) && (*p.aJustify)[size_t(c - 1)];
        state.Align(toRight ? TA_RIGHT : TA_LEFT);
        RECT r{left, top, clip + extra, bottom};
        ExtTextOutA(h, toRight ? clip - 2 : left + 2, top, ETO_OPAQUE | ETO_CLIPPED, &r, text.data(),
                    UINT(text.size()), nullptr);
      }
    }
    if (classicHeader && !p.lTree) {
      WNDBOX(h, top - 1, left - 1, bottom, clip);
      WNDBOXRAISED(h, top, left, bottom - 1, clip - 1);
    } else if (gridded) {
      grid.Cell(top, left, bottom, clip);
      if (p.nLineStyle == 4) state.TextChanged();
    }
  }
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
  if (g_clock.sleep) {
    g_slept += nMilliseconds;
    g_clock.sleep(nMilliseconds);
  } else {
    Sleep(nMilliseconds);
  }
}

double GETFINETICK() {
  if (g_clock.fine) return g_clock.fine();
  if (g_clock.sleep) return g_slept;
  static const double perMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) / perMs;
}

BrowseClock SetBrowseClock(BrowseClock clock) { return std::exchange(g_clock, std::move(clock)); }

}  // namespace nx
