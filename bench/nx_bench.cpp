// The browse benchmark: the demo's browse against the shortest drawing code
// and the platform's list view, one-line steps, drag latency, glide fidelity,
// scale over large sources, the resource balance, and the data layer on
// index files. Medians of QueryPerformanceCounter readings; see
// docs/PERFORMANCE.md.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <uxtheme.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/demo.h"
#include "classes/control.h"
#include "classes/scrllbar.h"
#include "classes/tcbrowse.h"
#include "classes/wbrowse.h"
#include "classes/window.h"
#include "errors/errors.h"
#include "native/browse.h"
#include "native/dispatch.h"
#include "native/draw.h"
#include "report.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;

namespace {

// ---- clock and statistics ---------------------------------------------------------------

double g_qpcPerMs = 0;

double Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) / g_qpcPerMs;
}

struct Stats {
  double median = 0, p99 = 0, min = 0, max = 0, mean = 0;
  double cpu = -1;  // this thread's processor time per run (ms), when known
  size_t n = 0;
};

// This thread's user and kernel time in ms: unlike the wall clock it does not
// count the time other processes of a busy machine take.
double ThreadCpuMs() {
  FILETIME c, e, k, u;
  if (!GetThreadTimes(GetCurrentThread(), &c, &e, &k, &u)) return 0;
  auto ms = [](const FILETIME& f) { return double((uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e4; };
  return ms(k) + ms(u);
}

struct Samples {
  std::vector<double> t;
  double cpu = -1;
};

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  // Nearest rank: with fewer than 100 samples p99 is the maximum.
  size_t rank = size_t(std::ceil(p / 100.0 * double(v.size())));
  return v[std::clamp<size_t>(rank, 1, v.size()) - 1];
}

Stats Summarize(const std::vector<double>& v);
Stats Summarize(const Samples& v) {
  Stats s = Summarize(v.t);
  s.cpu = v.cpu;
  return s;
}

Stats Summarize(const std::vector<double>& v) {
  Stats s;
  if (v.empty()) return s;
  s.n = v.size();
  std::vector<double> sorted = v;
  std::sort(sorted.begin(), sorted.end());
  size_t m = sorted.size() / 2;
  s.median = sorted.size() % 2 ? sorted[m] : (sorted[m - 1] + sorted[m]) / 2;
  s.p99 = Percentile(v, 99);
  s.min = sorted.front();
  s.max = sorted.back();
  s.mean = std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
  return s;
}

std::string Fmt(const char* f, double a, double b = 0, double c = 0) {
  char buf[160];
  std::snprintf(buf, sizeof buf, f, a, b, c);
  return buf;
}

std::string Spread(const Stats& s) {
  std::string text = Fmt("n=%.0f, min %.2f, max %.2f", double(s.n), s.min, s.max);
  if (s.cpu >= 0) text += Fmt(", cpu %.2f ms/run", s.cpu);
  return text;
}

// Runs fn reps times after `warm` untimed runs and answers the times in ms.
Samples Time(int warm, int reps, const std::function<void()>& fn, const std::function<void()>& between = {}) {
  for (int i = 0; i < warm; ++i) {
    if (between) between();
    fn();
  }
  Samples out;
  out.t.reserve(size_t(reps));
  double cpu = 0;
  for (int i = 0; i < reps; ++i) {
    if (between) between();
    double c0 = ThreadCpuMs();
    double t0 = Now();
    fn();
    out.t.push_back(Now() - t0);
    cpu += ThreadCpuMs() - c0;
  }
  out.cpu = reps > 0 ? cpu / reps : -1;
  return out;
}

// ---- messages ---------------------------------------------------------------------------------

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void Settle(int ms) {
  double end = Now() + ms;
  while (Now() < end) {
    Pump();
    Sleep(1);
  }
  Pump();
}

// The end of every paint of one window, seen from a subclass on top of the
// library's own.
struct PaintWatch {
  HWND hWnd = nullptr;
  WNDPROC old = nullptr;
  double lastEnd = 0;
  long paints = 0;
  double paintTook = 0, moveTook = 0;  // the last paint's and mouse move's handling
} g_watch;

LRESULT CALLBACK WatchProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  double start = Now();
  LRESULT r = CallWindowProcA(g_watch.old, h, m, wp, lp);
  if (m == WM_PAINT) {
    g_watch.lastEnd = Now();
    g_watch.paintTook = g_watch.lastEnd - start;
    ++g_watch.paints;
  } else if (m == WM_MOUSEMOVE) {
    g_watch.moveTook = Now() - start;
  }
  return r;
}

void Watch(HWND h) {
  g_watch.hWnd = h;
  g_watch.old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchProc)));
}

void Unwatch() {
  if (g_watch.hWnd && IsWindow(g_watch.hWnd))
    SetWindowLongPtrA(g_watch.hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_watch.old));
  g_watch = {};
}

// Pumps until the watched window has painted after `since` and has nothing
// left to paint; answers the end of that paint (0 on a time-out).
double UntilPainted(long paintsBefore, double timeoutMs = 2000) {
  double limit = Now() + timeoutMs;
  while (Now() < limit) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (g_watch.paints > paintsBefore && !GetUpdateRect(g_watch.hWnd, nullptr, FALSE)) return g_watch.lastEnd;
  }
  return 0;
}

void FullRepaint(HWND h) {
  InvalidateRect(h, nullptr, FALSE);
  UpdateWindow(h);
  GdiFlush();
}

// ---- the demo's browse ------------------------------------------------------------------------

struct Demo {
  ArrayPtr table;
  TWindowPtr wnd;
  TWBrowsePtr brw;
};

// The demo's window and browse (src/app/demo.cpp), over any array.
void BuildDemo(Demo& d, const ArrayPtr& table, const char* title) {
  d.table = table;
  d.wnd = demo::MainWindow(title);
  d.brw = demo::TableBrowse(d.wnd, table);
}

// An array of n demo-shaped rows; the number grows to 7 digits past 9999.
ArrayPtr BuildArray(int n) {
  if (n == demo::kRows) return demo::BuildTable();
  static constexpr const char* kPrefixes[] = {"Row: ", "Col2:", "Col3:", "Col4:", "Col5:", "Col6:", "Col7:", "Col8:"};
  auto table = NewArray();
  table->reserve(size_t(n));
  int digits = n > 9999 ? 7 : 4;
  for (int i = 1; i <= n; ++i) {
    std::string number = StrZero(Value(i), digits);
    auto row = NewArray();
    row->reserve(8);
    for (const char* prefix : kPrefixes) row->emplace_back(prefix + number);
    table->emplace_back(row);
  }
  return table;
}

HFONT BrowseFont(const TWBrowse& b) {
  HFONT f = b.FontHandle();
  return f ? f : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

int LineHeightOf(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight + 1;
}

RECT RectInParent(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// ---- B2: the floor ------------------------------------------------------------------------------
// The same picture as the demo browse on its first page, by the shortest
// code: one kept memory DC, one fill, the header items drawn once per width
// and copied, colours set only when they change, one ExtTextOut per visible
// cell, the grid with one pen in one call, one BitBlt.

struct FloorModel {
  ArrayPtr table;
  std::vector<std::string> headers;
  std::vector<int> sizes;
  int width = 0;  // the browse's visible width
  int lineHeight = 0;
  int topRow = 1, selRow = 1;
  HFONT font = nullptr;
  COLORREF text = 0, pane = 0, headText = 0, headPane = 0, selText = 0, selPane = 0;
  bool headerFrames = false, themedHeader = false;
  std::vector<std::wstring> wideHeaders;
  HBRUSH paneBrush = nullptr;
  HPEN grid = nullptr, black = nullptr, light = nullptr, dark = nullptr;
} g_floor;

// The floor's kept picture and its header items, one per width.
struct FloorKept {
  HDC mem = nullptr;
  HBITMAP bmp = nullptr;
  HGDIOBJ oldBmp = nullptr;
  int w = 0, h = 0;
  struct Item {
    int width = 0;
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
  };
  std::vector<Item> items;
  void Free() {
    for (Item& i : items) {
      SelectObject(i.dc, i.old);
      DeleteObject(i.bmp);
      DeleteDC(i.dc);
    }
    items.clear();
    if (mem) {
      SelectObject(mem, oldBmp);
      DeleteObject(bmp);
      DeleteDC(mem);
    }
    mem = nullptr, bmp = nullptr, w = h = 0;
  }
  HDC Picture(HDC like, int cw, int ch) {
    if (mem && cw == w && ch == h) return mem;
    Free();
    mem = CreateCompatibleDC(like);
    bmp = CreateCompatibleBitmap(like, cw, ch);
    oldBmp = SelectObject(mem, bmp);
    w = cw, h = ch;
    return mem;
  }
  // A header item's background of this width, drawn once on the pane.
  HDC ItemOf(HWND hWnd, int width, int hgt) {
    for (Item& i : items)
      if (i.width == width) return i.dc;
    Item i{width, CreateCompatibleDC(mem), CreateCompatibleBitmap(mem, width, hgt), nullptr};
    i.old = SelectObject(i.dc, i.bmp);
    RECT all{0, 0, width, hgt};
    FillRect(i.dc, &all, g_floor.paneBrush);
    HTHEME theme = OpenThemeData(hWnd, L"Header");
    RECT r{0, -1, width, hgt - 1};
    DrawThemeBackground(theme, i.dc, 1, 1, &r, nullptr);
    CloseThemeData(theme);
    items.push_back(i);
    return i.dc;
  }
} g_floorKept;

// The floor's paint in parts (--profile): the time each took, when set.
constexpr const char* kFloorParts[] = {"BeginPaint", "fill, font and header", "lines (ExtTextOut)", "grid",
                                       "copy to the window", "EndPaint"};
std::vector<double>* g_floorSplit = nullptr;

void PaintFloor(HWND h) {
  const FloorModel& m = g_floor;
  double mark = Now();
  auto part = [&](size_t i) {
    if (!g_floorSplit) return;
    double t = Now();
    (*g_floorSplit)[i] += t - std::exchange(mark, t);
  };
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  part(0);
  RECT cr;
  GetClientRect(h, &cr);
  HDC mem = g_floorKept.Picture(dc, cr.right, cr.bottom);
  FillRect(mem, &cr, m.paneBrush);
  HGDIOBJ oldFont = SelectObject(mem, m.font);
  int hgt = m.lineHeight, lines = cr.bottom / hgt - 1;
  int rows = int(m.table->size());
  int cols = int(m.sizes.size());
  std::vector<int> lefts(static_cast<size_t>(cols)), clips(static_cast<size_t>(cols));
  for (int c = 0, x = 0; c < cols; ++c) {
    lefts[size_t(c)] = x;
    clips[size_t(c)] = c == cols - 1 ? m.width : std::min(x + m.sizes[size_t(c)] - 1, m.width);
    x += m.sizes[size_t(c)];
  }
  auto cells = [&](int line, const std::function<const std::string&(int)>& text) {
    int top = line * hgt, bottom = top + hgt - 1;
    for (int c = 0; c < cols; ++c) {
      RECT r{lefts[size_t(c)], top, clips[size_t(c)], bottom};
      const std::string& s = text(c);
      ExtTextOutA(mem, lefts[size_t(c)] + 2, top, ETO_OPAQUE | ETO_CLIPPED, &r, s.data(), UINT(s.size()), nullptr);
    }
  };
  SetTextColor(mem, m.headText);
  SetBkColor(mem, m.headPane);
  if (m.themedHeader) {
    // The header as the browse draws it with visual styles: each item's
    // background copied from the one drawn for its width, then its text.
    HTHEME theme = OpenThemeData(h, L"Header");
    for (int c = 0; c < cols; ++c) {
      int iw = clips[size_t(c)] - lefts[size_t(c)];
      BitBlt(mem, lefts[size_t(c)], 0, iw, hgt - 1, g_floorKept.ItemOf(h, iw, hgt), 0, 0, SRCCOPY);
      RECT t{lefts[size_t(c)] + 4, 0, clips[size_t(c)], hgt};
      const std::wstring& s = m.wideHeaders[size_t(c)];
      DrawThemeText(theme, mem, 1, 1, s.c_str(), int(s.size()), 0, 0, &t);
    }
    CloseThemeData(theme);
  } else {
    cells(0, [&](int c) -> const std::string& { return m.headers[size_t(c)]; });
  }
  part(1);
  int drawn = 0;
  COLORREF text = CLR_INVALID, pane = CLR_INVALID;
  for (int line = 1; line <= lines && m.topRow + line - 1 <= rows; ++line) {
    int row = m.topRow + line - 1;
    bool sel = row == m.selRow;
    if (std::exchange(text, sel ? m.selText : m.text) != text) SetTextColor(mem, text);
    if (std::exchange(pane, sel ? m.selPane : m.pane) != pane) SetBkColor(mem, pane);
    const Array& values = *(*m.table)[size_t(row - 1)].AsArray();
    cells(line, [&](int c) -> const std::string& { return values[size_t(c)].AsString(); });
    drawn = line;
  }
  part(2);
  // Grid: one vertical per column border, one horizontal per line.
  std::vector<POINT> pts;
  std::vector<DWORD> counts;
  int lastBottom = (drawn + 1) * hgt - 1;
  for (int c = 1; c < cols && drawn > 0; ++c) {
    pts.push_back({lefts[size_t(c)] - 2, hgt - 2});
    pts.push_back({lefts[size_t(c)] - 2, lastBottom});
    counts.push_back(2);
  }
  for (int line = 1; line <= drawn; ++line) {
    int bottom = (line + 1) * hgt - 1;
    pts.push_back({-2, bottom});
    pts.push_back({m.width, bottom});
    counts.push_back(2);
  }
  HGDIOBJ oldPen = SelectObject(mem, m.grid);
  if (!counts.empty()) PolyPolyline(mem, pts.data(), counts.data(), DWORD(counts.size()));
  if (m.headerFrames) {  // the unthemed header's boxes
    for (int c = 0; c < cols; ++c) {
      int l = lefts[size_t(c)], r = clips[size_t(c)], b = hgt - 1;
      auto box = [&](int t, int l2, int b2, int r2, HPEN p1, HPEN p2) {
        SelectObject(mem, p1);
        MoveToEx(mem, l2, b2, nullptr);
        LineTo(mem, l2, t);
        LineTo(mem, r2, t);
        SelectObject(mem, p2);
        MoveToEx(mem, l2, b2, nullptr);
        LineTo(mem, r2, b2);
        LineTo(mem, r2, t - 1);
      };
      box(-1, l - 1, b, r, m.black, m.black);
      box(0, l, b - 1, r - 1, m.light, m.dark);
    }
  }
  SelectObject(mem, oldPen);
  part(3);
  BitBlt(dc, 0, 0, cr.right, cr.bottom, mem, 0, 0, SRCCOPY);
  SelectObject(mem, oldFont);
  part(4);
  EndPaint(h, &ps);
  part(5);
}

// The browse's paint in parts (--profile), from its marks.
constexpr const char* kBrowseParts[] = {"BeginPaint",
                                        "scroll bars checked",
                                        "kept picture set up (DC state, font measured)",
                                        "data: Skip and row blocks",
                                        "lines recorded (values copied, texts made)",
                                        "records compared, rows to draw found",
                                        "fill",
                                        "lines drawn (WBRWLINE; the kept header copied)",
                                        "records kept for the next paint",
                                        "copy to the window",
                                        "EndPaint"};
static_assert(std::size(kBrowseParts) == size_t(BrowsePaintPart::Count));
std::vector<double> g_browseSplit(size_t(BrowsePaintPart::Count));
double g_browseSince[size_t(BrowsePaintPart::Count)];

void BrowseMark(BrowsePaintPart part, bool begin) {
  double t = Now();
  if (begin) g_browseSince[size_t(part)] = t;
  else g_browseSplit[size_t(part)] += t - g_browseSince[size_t(part)];
}

// A paint's parts (--profile): what the marks added to `marks` during each
// timed paint, and each paint's whole time.
struct PaintSplit {
  std::vector<std::vector<double>> parts;
  std::vector<double> total;
};

// Times `paint` as Time does; with `profile`, each run's parts too.
Samples TimeSplit(int warm, int reps, bool profile, std::vector<double>& marks, PaintSplit& split,
                  const std::function<void()>& paint) {
  split.parts.assign(marks.size(), {});
  return Time(warm, reps, [&] {
    std::fill(marks.begin(), marks.end(), 0.0);
    double t0 = Now();
    paint();
    if (!profile) return;
    split.total.push_back(Now() - t0);
    for (size_t i = 0; i < marks.size(); ++i) split.parts[i].push_back(marks[i]);
  });
}

// Per part, the median of its time per paint, from the paints' splits.
void AddSplit(bench::Report& rep, const char* id, const char* what, const char* const* names,
              const PaintSplit& split) {
  std::vector<double> rest = split.total;
  for (size_t i = 0; i < split.parts.size(); ++i) {
    Stats s = Summarize(split.parts[i]);
    rep.Add(id, std::string(what) + names[i], s.median, "ms", Spread(s));
    for (size_t n = 0; n < rest.size(); ++n) rest[n] -= split.parts[i][n];
  }
  Stats s = Summarize(rest);
  rep.Add(id, std::string(what) + "the rest (dispatch, arguments, ...)", s.median, "ms", Spread(s));
}

// One line of the floor's picture, straight on the window: its cells, its
// part of the column borders and its bottom grid line.
void FloorLine(HWND h, int line, int row, bool sel) {
  const FloorModel& m = g_floor;
  HDC dc = GetDC(h);
  HGDIOBJ oldFont = SelectObject(dc, m.font);
  SetTextColor(dc, sel ? m.selText : m.text);
  SetBkColor(dc, sel ? m.selPane : m.pane);
  int hgt = m.lineHeight, top = line * hgt, bottom = top + hgt - 1;
  const Array& values = *(*m.table)[size_t(row - 1)].AsArray();
  std::vector<POINT> pts;
  std::vector<DWORD> counts;
  int cols = int(m.sizes.size());
  for (int c = 0, x = 0; c < cols; ++c) {
    int clip = c == cols - 1 ? m.width : std::min(x + m.sizes[size_t(c)] - 1, m.width);
    RECT r{x, top, clip, bottom};
    const std::string& s = values[size_t(c)].AsString();
    ExtTextOutA(dc, x + 2, top, ETO_OPAQUE | ETO_CLIPPED, &r, s.data(), UINT(s.size()), nullptr);
    if (c > 0) {
      pts.push_back({x - 2, top - 2});
      pts.push_back({x - 2, bottom});
      counts.push_back(2);
    }
    x += m.sizes[size_t(c)];
  }
  pts.push_back({-2, bottom});
  pts.push_back({m.width, bottom});
  counts.push_back(2);
  HGDIOBJ oldPen = SelectObject(dc, m.grid);
  PolyPolyline(dc, pts.data(), counts.data(), DWORD(counts.size()));
  SelectObject(dc, oldPen);
  SelectObject(dc, oldFont);
  ReleaseDC(h, dc);
}

// The floor of a one-line step on the last line: the lines shift by
// ScrollWindowEx, the new line is drawn, the bar moves one position.
void FloorStep(HWND h, int row) {
  const FloorModel& m = g_floor;
  RECT r{};
  GetClientRect(h, &r);
  int hgt = m.lineHeight, lines = r.bottom / hgt - 1;
  r.top = hgt;
  r.bottom = hgt + lines * hgt;
  ScrollWindowEx(h, 0, -hgt, &r, &r, nullptr, nullptr, 0);
  FloorLine(h, lines, row, true);
  SetScrollPos(h, SB_VERT, row, TRUE);
}

LRESULT CALLBACK FloorProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_PAINT: PaintFloor(h); return 0;
    case WM_ERASEBKGND: return 1;
    default: return DefWindowProcA(h, m, wp, lp);
  }
}

// ---- B3: the list view ----------------------------------------------------------------------------

ArrayPtr g_lvTable;

LRESULT CALLBACK LvHostProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    if (hdr->code == LVN_GETDISPINFOA) {
      auto* di = reinterpret_cast<NMLVDISPINFOA*>(lp);
      if ((di->item.mask & LVIF_TEXT) && g_lvTable && di->item.iItem >= 0 &&
          size_t(di->item.iItem) < g_lvTable->size()) {
        const Array& row = *(*g_lvTable)[size_t(di->item.iItem)].AsArray();
        const std::string& s = row[size_t(di->item.iSubItem)].AsString();
        lstrcpynA(di->item.pszText, s.c_str(), di->item.cchTextMax);
      }
      return 0;
    }
    if (hdr->code == LVN_GETDISPINFOW) {
      auto* di = reinterpret_cast<NMLVDISPINFOW*>(lp);
      if ((di->item.mask & LVIF_TEXT) && g_lvTable && di->item.iItem >= 0 &&
          size_t(di->item.iItem) < g_lvTable->size()) {
        const Array& row = *(*g_lvTable)[size_t(di->item.iItem)].AsArray();
        const std::string& s = row[size_t(di->item.iSubItem)].AsString();
        int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, di->item.pszText, di->item.cchTextMax);
        if (n == 0 && di->item.cchTextMax > 0) di->item.pszText[0] = 0;
      }
      return 0;
    }
  }
  if (m == WM_ERASEBKGND) return 1;
  return DefWindowProcA(h, m, wp, lp);
}

void RegisterClasses() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = FloorProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.lpszClassName = "NxBenchFloor";
  RegisterClassA(&wc);
  wc.lpfnWndProc = LvHostProc;
  wc.lpszClassName = "NxBenchLvHost";
  RegisterClassA(&wc);
}

// The client area's pixels, top row first, 0x00RRGGBB.
std::vector<uint32_t> Grab(HWND h, int* width = nullptr, int* height = nullptr) {
  RECT c;
  GetClientRect(h, &c);
  if (width) *width = c.right;
  if (height) *height = c.bottom;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), c.right, -c.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC wdc = GetDC(h);
  HDC mem = CreateCompatibleDC(wdc);
  HBITMAP dib = CreateDIBSection(wdc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, c.right, c.bottom, wdc, 0, 0, SRCCOPY);
  GdiFlush();
  std::vector<uint32_t> px(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + c.right * c.bottom);
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(h, wdc);
  return px;
}

// Saves a window's client area as a 32-bit BMP file (for looking at the pictures).
void SaveShot(HWND h, const std::string& file) {
  int w = 0, hgt = 0;
  std::vector<uint32_t> px = Grab(h, &w, &hgt);
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{sizeof ih, w, -hgt, 1, 32, BI_RGB, DWORD(px.size() * 4), 0, 0, 0, 0};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + ih.biSizeImage;
  if (FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::fwrite(px.data(), 4, px.size(), f);
    std::fclose(f);
  }
}

// ---- the run --------------------------------------------------------------------------------------

struct Options {
  bool quick = false;
  bool profile = false;
  bool dataOnly = false;  // B9 alone
  std::string json = "bench-results.json";
  std::string cache;  // DBF cache folder
  std::string shots;  // a folder for the pictures of B1 to B3
  std::string only;   // "B5,B6": these parts alone (B4 brings B1 to B3, which it compares with)
};

struct Bench {
  Options opt;
  bench::Report rep;
  Demo demo;
  HFONT font = nullptr;
  int lineHeight = 0;
  double b1 = 0, b1Same = 0, b2 = 0, b4Floor = 0, lvScroll = 0;

  int Reps(int full, int quick) const { return opt.quick ? quick : full; }

  void Run();
  void B1B2B3();
  void B4();
  void ColumnBrowse();
  Samples StepDown(TWBrowse& b, size_t nRows, int steps);
  void B5();
  void B5x();
  void B6();
  void B8();
  void B7();
  void B9();
  std::string CacheFolder();
  void Memory(const char* when);
  void Profile();

  // A glide of nMaxRowToAdvance rows down the data, driven by sent messages
  // with a stand-in tick for the speed; the SLEEP hook is `sleep`, the fine
  // clock `fine` (none: the substituted pauses alone, every step on time).
  // The time from the release to the glide's last paint; cpu: this thread's processor time meanwhile.
  double Glide(TWBrowse& b, const std::function<void(DWORD)>& sleep, double* cpu = nullptr,
               const std::function<double()>& fine = {});
};

DWORD g_tick = 0;

double Bench::Glide(TWBrowse& b, const std::function<void(DWORD)>& sleep, double* cpu,
                    const std::function<double()>& fine) {
  HWND h = b.hWnd;
  int hgt = lineHeight;
  auto at = [&](int line) { return MAKELPARAM(150, line * hgt + hgt / 2); };
  BrowseClock old = SetBrowseClock({.tick = [] { return g_tick; }, .sleep = sleep, .fine = fine});
  g_tick = 100000;
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at(30));
  for (int line = 29; line >= 19; --line) {
    g_tick += 5;
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, at(line));
  }
  Pump();
  long before = g_watch.paints;
  double c0 = ThreadCpuMs();
  double t0 = Now();
  SendMessageA(h, WM_LBUTTONUP, 0, at(19));  // 10 lines in 50 ms: the longest glide
  double end = UntilPainted(before);
  if (cpu) *cpu = ThreadCpuMs() - c0;
  SetBrowseClock(old);
  return (end ? end : Now()) - t0;
}

void Bench::Memory(const char* when) {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) {
    rep.Add("B8", std::string("peak working set, ") + when, double(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0),
            "MB");
    rep.Add("B8", std::string("peak private bytes, ") + when, double(pmc.PeakPagefileUsage) / (1024.0 * 1024.0),
            "MB");
  }
}

void Bench::B1B2B3() {
  TWBrowse& b = *demo.brw;
  HWND hb = b.hWnd;
  b.GoTop();
  SetFocus(hb);
  Settle(50);
  int warm = Reps(10, 3), reps = Reps(200, 20);

  // B1: the browse, repainted with nothing changed (its kept picture holds
  // every line), with every data line changed (the lines dropped first, as
  // after a page move: the header is copied as drawn for this width), and
  // with everything drawn anew (the header too, as after a change of look).
  // With --profile, each paint's parts too.
  PaintSplit split;
  if (opt.profile) SetBrowsePaintMark(BrowseMark);
  Stats s1 = Summarize(TimeSplit(warm, reps, opt.profile, g_browseSplit, split, [&] {
    b.ForgetPicture(false);
    FullRepaint(hb);
  }));
  SetBrowsePaintMark(nullptr);
  b1 = s1.median;
  Stats s1n = Summarize(Time(warm, reps, [&] { FullRepaint(hb); }));
  b1Same = s1n.median;
  Stats s1a = Summarize(Time(warm, reps, [&] {
    b.ForgetPicture();
    FullRepaint(hb);
  }));
  RECT cr;
  GetClientRect(hb, &cr);
  rep.Add("B1", "browse repaint, every line changed (demo, maximized)", s1.median, "ms",
          Fmt("client %.0fx%.0f; ", cr.right, cr.bottom) +
              (ISAPPTHEMED() && ISTHEMEACTIVE() ? "header drawn by the visual style" : "classic header") +
              ", kept per width; " + Spread(s1));
  if (opt.profile) AddSplit(rep, "B1", "every line changed, part: ", kBrowseParts, split);
  rep.Add("B1", "browse refresh, nothing changed", s1n.median, "ms", Spread(s1n));
  rep.Add("B1", "browse repaint, everything drawn anew (header too)", s1a.median, "ms", Spread(s1a));

  // The floor and the list view take the browse's place, one at a time.
  RECT r = RectInParent(hb);
  int w = r.right - r.left, hgt = r.bottom - r.top;
  HWND parent = demo.wnd->hWnd;
  g_floor.table = demo.table;
  g_floor.headers.clear();
  for (const Value& v : b.aHeaders) g_floor.headers.push_back(cValToChar(v));
  g_floor.sizes = b.GetColSizes();
  g_floor.width = WNDWIDTH(hb) - (GetSystemMetrics(SM_CYHSCROLL) + 3);
  g_floor.lineHeight = lineHeight;
  g_floor.font = font;
  g_floor.text = b.nClrText;
  g_floor.pane = b.nClrPane;
  g_floor.headText = b.nClrForeHead;
  g_floor.headPane = b.nClrBackHead;
  g_floor.selText = b.nClrForeFocus;
  g_floor.selPane = b.nClrBackFocus;
  g_floor.headerFrames = !ISAPPTHEMED();
  g_floor.themedHeader = ISAPPTHEMED() && ISTHEMEACTIVE();
  g_floor.wideHeaders.clear();
  for (const std::string& text : g_floor.headers) {
    std::string oem = ANSITOOEM(text);
    std::wstring wide(oem.size(), L'\0');
    int n = MultiByteToWideChar(CP_OEMCP, 0, oem.data(), int(oem.size()), wide.data(), int(wide.size()));
    wide.resize(size_t(std::max(n, 0)));
    g_floor.wideHeaders.push_back(wide);
  }
  g_floor.paneBrush = CreateSolidBrush(b.nClrPane);
  g_floor.grid = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
  g_floor.black = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  g_floor.light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  g_floor.dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  g_floor.topRow = 1;
  g_floor.selRow = b.nAtRow();
  // The browse's own frame and bars, so that the client areas are equal.
  DWORD style = WS_CHILD | WS_BORDER | WS_VSCROLL | WS_HSCROLL;
  HWND floor = CreateWindowExA(0, "NxBenchFloor", "", style, r.left, r.top, w, hgt, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  RECT fr;
  GetClientRect(floor, &fr);

  FullRepaint(hb);
  std::vector<uint32_t> browsePx = Grab(hb);
  if (!opt.shots.empty()) SaveShot(hb, opt.shots + "\\b1-browse.bmp");

  ShowWindow(hb, SW_HIDE);
  ShowWindow(floor, SW_SHOW);
  Settle(30);
  std::vector<double> floorMarks(std::size(kFloorParts));
  PaintSplit floorSplit;
  if (opt.profile) g_floorSplit = &floorMarks;
  Stats s2 = Summarize(TimeSplit(warm, reps, opt.profile, floorMarks, floorSplit, [&] { FullRepaint(floor); }));
  g_floorSplit = nullptr;
  b2 = s2.median;
  std::vector<uint32_t> floorPx = Grab(floor);
  if (!opt.shots.empty()) SaveShot(floor, opt.shots + "\\b2-floor.bmp");
  size_t differ = 0;
  if (browsePx.size() == floorPx.size())
    for (size_t i = 0; i < browsePx.size(); ++i) differ += (browsePx[i] & 0xFFFFFF) != (floorPx[i] & 0xFFFFFF);
  else
    differ = size_t(-1);
  rep.Add("B2", "floor full repaint (same picture, kept buffer, header per width)", s2.median, "ms",
          Fmt("client %.0fx%.0f; ", fr.right, fr.bottom) + Spread(s2));
  if (opt.profile) AddSplit(rep, "B2", "floor, part: ", kFloorParts, floorSplit);
  rep.Add("B2", "pixels differing between browse and floor pictures", double(differ), "count",
          "0 means the floor draws exactly the browse's picture");
  // B4's floor, on the floor window with the browse's bar range.
  {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    GetScrollInfo(hb, SB_VERT, &si);
    si.nPos = 1;
    SetScrollInfo(floor, SB_VERT, &si, TRUE);
    FullRepaint(floor);
    std::vector<double> t;
    int row = int(fr.bottom / lineHeight);
    for (int i = 0; i < Reps(300, 30); ++i) {
      if (row >= int(demo.table->size())) row = int(fr.bottom / lineHeight);
      ++row;
      double t0 = Now();
      FloorStep(floor, row);
      UpdateWindow(floor);
      GdiFlush();
      t.push_back(Now() - t0);
    }
    Stats s4f = Summarize(t);
    b4Floor = s4f.median;
    rep.Add("B4", "floor one-line step (ScrollWindowEx, one line, one bar move)", s4f.median, "ms", Spread(s4f));
  }
  double inTurns = 0;
  // The two in turns, a browse paint and a floor paint, so that both meet
  // the same load: on a busy machine the medians of the two runs above can
  // meet different loads and their ratio swings with them.
  {
    std::vector<double> tb, tf;
    double cb = 0, cf = 0;
    auto timed = [](const std::function<void()>& paint, std::vector<double>& t, double& cpu) {
      double c0 = ThreadCpuMs(), t0 = Now();
      paint();
      t.push_back(Now() - t0);
      cpu += ThreadCpuMs() - c0;
    };
    FullRepaint(floor);
    for (int i = 0; i < warm + reps; ++i) {
      ShowWindow(floor, SW_HIDE);
      ShowWindow(hb, SW_SHOW);
      SetFocus(hb);
      UpdateWindow(hb);
      Pump();
      timed([&] {
        b.ForgetPicture(false);
        FullRepaint(hb);
      }, tb, cb);
      ShowWindow(hb, SW_HIDE);
      ShowWindow(floor, SW_SHOW);
      UpdateWindow(floor);
      Pump();
      timed([&] { FullRepaint(floor); }, tf, cf);
      if (i + 1 == warm) tb.clear(), tf.clear(), cb = cf = 0;
    }
    Samples sb{tb, cb / reps}, sf{tf, cf / reps};
    Stats pb = Summarize(sb), pf = Summarize(sf);
    rep.Add("B1", "browse repaint, every line changed, in turns with the floor", pb.median, "ms", Spread(pb));
    rep.Add("B2", "floor full repaint, in turns with the browse", pf.median, "ms", Spread(pf));
    rep.Add("B1/B2", "browse / floor, every line changed, in turns", pb.median / pf.median, "ratio",
            Fmt("processor time %.3f", pb.cpu / std::max(pf.cpu, 1e-9)));
    inTurns = pb.median / pf.median;
  }
  ShowWindow(floor, SW_HIDE);

  // B3: the list view, owner data, same rows, columns, widths and font.
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  g_lvTable = demo.table;
  HWND host = CreateWindowExA(0, "NxBenchLvHost", "", WS_CHILD | WS_CLIPCHILDREN, r.left, r.top, w, hgt, parent,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND lv = CreateWindowExA(0, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                            0, 0, w, hgt, host, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(lv, WM_SETFONT, WPARAM(font), TRUE);
  SendMessageA(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  for (int c = 0; c < 7; ++c) {
    std::string text = g_floor.headers[size_t(c)];
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    // The browse stretches its last column to the visible width.
    col.cx = c == 6 ? g_floor.width - 600 : 100;
    col.pszText = text.data();
    col.iSubItem = c;
    SendMessageA(lv, LVM_INSERTCOLUMNA, WPARAM(c), LPARAM(&col));
  }
  SendMessageA(lv, LVM_SETITEMCOUNT, WPARAM(demo.table->size()), 0);
  LVITEMA sel{};
  sel.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  sel.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(lv, LVM_SETITEMSTATE, 0, LPARAM(&sel));
  ShowWindow(host, SW_SHOW);
  SetFocus(lv);
  Settle(30);
  auto lvRepaint = [&] {
    RedrawWindow(lv, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
  };
  Stats s3 = Summarize(Time(warm, reps, lvRepaint));
  if (!opt.shots.empty()) SaveShot(lv, opt.shots + "\\b3-listview.bmp");
  int perPage = int(SendMessageA(lv, LVM_GETCOUNTPERPAGE, 0, 0));
  rep.Add("B3", "list view full repaint (report, owner data)", s3.median, "ms",
          Fmt("%.0f rows per page; ", perPage) + Spread(s3));

  // B4's reference: the list view's one-line scroll, and its one-line key step.
  int steps = Reps(300, 30);
  std::vector<double> scroll, key;
  for (int done = 0; done < steps;) {
    SendMessageA(lv, LVM_ENSUREVISIBLE, 0, FALSE);
    UpdateWindow(lv);
    for (int i = 0; i < 100 && done < steps; ++i, ++done) {
      double t0 = Now();
      SendMessageA(lv, WM_VSCROLL, SB_LINEDOWN, 0);
      UpdateWindow(lv);
      GdiFlush();
      scroll.push_back(Now() - t0);
    }
  }
  for (int done = 0; done < steps;) {
    // Focus on the last fully visible row, then Down moves and scrolls by one.
    SendMessageA(lv, LVM_ENSUREVISIBLE, 0, FALSE);
    sel.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(lv, LVM_SETITEMSTATE, WPARAM(perPage - 1), LPARAM(&sel));
    UpdateWindow(lv);
    for (int i = 0; i < 100 && done < steps; ++i, ++done) {
      double t0 = Now();
      SendMessageA(lv, WM_KEYDOWN, VK_DOWN, 0);
      UpdateWindow(lv);
      GdiFlush();
      key.push_back(Now() - t0);
    }
    Pump();
  }
  Stats ss = Summarize(scroll), sk = Summarize(key);
  lvScroll = ss.median;
  rep.Add("B4", "list view one-line scroll (SB_LINEDOWN)", ss.median, "ms", Spread(ss));
  rep.Add("B4", "list view one-line key step on the last row (VK_DOWN)", sk.median, "ms", Spread(sk));

  DestroyWindow(host);
  DestroyWindow(floor);
  g_lvTable = nullptr;
  DeleteObject(g_floor.paneBrush);
  DeleteObject(g_floor.grid);
  DeleteObject(g_floor.light);
  DeleteObject(g_floor.dark);
  ShowWindow(hb, SW_SHOW);
  SetFocus(hb);
  Settle(30);

  rep.Add("B1/B2", "browse / floor, every line changed", s1.median / s2.median, "ratio");
  rep.Add("B1/B2", "browse / floor, nothing changed", b1Same / s2.median, "ratio");
  rep.Add("B1/B3", "browse / list view", s1.median / s3.median, "ratio");
  rep.AtMost("B2", "every line changed: B1 / B2 <= 1.25", s1.median / s2.median, 1.25);
  rep.AtMost("B2", "every line changed, in turns: B1 / B2 <= 1.25", inTurns, 1.25);
  rep.AtMost("B2", "nothing changed: B1 / B2 <= 0.5", b1Same / s2.median, 0.5);
  rep.AtMost("B3", "B1 / B3 <= 1.0", s1.median / s3.median, 1.0);
}


// Component costs of a one-line step, for finding where the time goes.
// WBRWLINE's arguments for a line of the demo's browse, its length fixed.
WBrwLineParams LineArgs(TWBrowse& b, HDC dc, int nLine, const Array& values, const std::vector<int>& sizes) {
  return {.hWnd = b.hWnd, .hDC = dc, .nLine = nLine, .aValues = values, .aColSizes = sizes, .nColPos = 1,
          .nClrText = b.nClrText, .nClrPane = b.nClrPane, .hFont = b.FontHandle(), .nLineStyle = b.nLineStyle,
          .lVScroll = b.oVScroll != nullptr, .bLogicLen = [] { return 1000; }};
}

void Bench::Profile() {
  TWBrowse& b = *demo.brw;
  HWND hb = b.hWnd;
  b.GoTop();
  UpdateWindow(hb);
  int reps = 100;
  std::vector<int> sizes = b.GetColSizes();
  Array values = b.bLine(b);
  auto line = [&](HDC dc) {
    WBRWLINE(LineArgs(b, dc, 3, values, sizes));
  };
  auto add = [&](const char* what, const Samples& t) {
    Stats s = Summarize(t);
    rep.Add("P", what, s.median, "ms", Spread(s));
  };
  add("WBRWLINE on the window DC (hDC 0)", Time(3, reps, [&] { line(nullptr); GdiFlush(); }));
  HDC wdc = GetDC(hb);
  HDC mem = CreateCompatibleDC(wdc);
  HBITMAP bmp = CreateCompatibleBitmap(wdc, 1300, 800);
  HGDIOBJ old = SelectObject(mem, bmp);
  add("WBRWLINE on a memory DC", Time(3, reps, [&] { line(mem); }));
  int lines = b.nRowCount();
  add("46 lines by WBRWLINE on a memory DC", Time(3, reps, [&] {
        for (int i = 1; i <= lines; ++i)
          WBRWLINE(LineArgs(b, mem, i, values, sizes));
      }));
  add("46 lines by WBRWLINE on a memory DC, the font selected once", Time(3, reps, [&] {
        HGDIOBJ f = SelectObject(mem, font);
        for (int i = 1; i <= lines; ++i)
          WBRWLINE(LineArgs(b, mem, i, values, sizes));
        SelectObject(mem, f);
      }));
  add("header line by WBRWLINE on a memory DC (on a fill)", Time(3, reps, [&] {
        RECT all{0, 0, 1300, 800};
        FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        WBrwLineParams p = LineArgs(b, mem, 0, b.aHeaders, sizes);
        p.nClrText = b.nClrForeHead;
        p.nClrPane = b.nClrBackHead;
        WBRWLINE(p);
      }));
  add("fill alone", Time(3, reps, [&] {
        RECT all{0, 0, 1300, 800};
        FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      }));
  add("DRAWHEADER one cell", Time(3, reps, [&] { DRAWHEADER(hb, mem, -1, 0, 16, 99, "1"); }));
  {
    HTHEME th = OpenThemeData(hb, L"Header");
    RECT rc{0, -1, 99, 16};
    add("OpenThemeData + CloseThemeData", Time(3, reps, [&] { CloseThemeData(OpenThemeData(hb, L"Header")); }));
    add("DrawThemeBackground header item", Time(3, reps, [&] { DrawThemeBackground(th, mem, 1, 1, &rc, nullptr); }));
    RECT tr{4, 0, 99, 17};
    add("DrawThemeText header item", Time(3, reps, [&] { DrawThemeText(th, mem, 1, 1, L"1", 1, 0, 0, &tr); }));
    rep.Add("P", "header item partly transparent", double(IsThemeBackgroundPartiallyTransparent(th, 1, 1)), "flag");
    CloseThemeData(th);
  }
  rep.Add("P", "ISAPPTHEMED / ISTHEMEACTIVE", double(ISAPPTHEMED()) * 10 + double(ISTHEMEACTIVE()), "flags");
  add("46 lines of 7 ExtTextOut on a memory DC", Time(3, reps, [&] {
        HGDIOBJ f = SelectObject(mem, font);
        for (int i = 1; i <= lines; ++i)
          for (int c = 0; c < 7; ++c) {
            RECT rc{c * 100, i * lineHeight, c * 100 + 99, i * lineHeight + lineHeight - 1};
            const std::string& t = values[size_t(c)].AsString();
            ExtTextOutA(mem, rc.left + 2, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, t.data(), UINT(t.size()), nullptr);
          }
        SelectObject(mem, f);
      }));
  {
    // Where the line painter's time goes beside the text: each of its calls
    // a line or a cell makes, over the 46 lines' 322 cells, on the memory DC.
    const int cols = int(values.size());
    HPEN grey = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    add("46 lines: window width, font select, text metrics", Time(3, reps, [&] {
          for (int i = 1; i <= lines; ++i) {
            RECT wr;
            GetWindowRect(hb, &wr);
            HGDIOBJ f = SelectObject(mem, font);
            TEXTMETRICA tm;
            GetTextMetricsA(mem, &tm);
            SelectObject(mem, f);
          }
        }));
    add("46 lines: window width alone", Time(3, reps, [&] {
          for (int i = 1; i <= lines; ++i) {
            RECT wr;
            GetWindowRect(hb, &wr);
          }
        }));
    add("46 lines: font selected in and out alone", Time(3, reps, [&] {
          for (int i = 1; i <= lines; ++i) SelectObject(mem, SelectObject(mem, font));
        }));
    {
      HGDIOBJ f = SelectObject(mem, font);
      add("46 lines: text metrics alone", Time(3, reps, [&] {
            for (int i = 1; i <= lines; ++i) {
              TEXTMETRICA tm;
              GetTextMetricsA(mem, &tm);
            }
          }));
      SelectObject(mem, f);
    }
    add("46 lines: a grid pen made, selected and deleted", Time(3, reps, [&] {
          for (int i = 1; i <= lines; ++i) {
            HPEN p = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
            HGDIOBJ o = SelectObject(mem, p);
            SelectObject(mem, o);
            DeleteObject(p);
          }
        }));
    add("322 cells: text and pane colours set", Time(3, reps, [&] {
          for (int i = 0; i < lines * cols; ++i) {
            SetTextColor(mem, b.nClrText);
            SetBkColor(mem, b.nClrPane);
          }
        }));
    add("322 cells: alignment set", Time(3, reps, [&] {
          for (int i = 0; i < lines * cols; ++i) SetTextAlign(mem, TA_LEFT);
        }));
    add("322 cells: value to text", Time(3, reps, [&] {
          for (int i = 1; i <= lines; ++i)
            for (const Value& v : values) cValToChar(v);
        }));
    HGDIOBJ oldPen = SelectObject(mem, grey);
    add("322 cells: grid by MoveToEx and two LineTo", Time(3, reps, [&] {
          for (int i = 1; i <= lines; ++i)
            for (int c = 0, x = 0; c < cols; ++c, x += 100) {
              MoveToEx(mem, x - 2, i * lineHeight - 2, nullptr);
              LineTo(mem, x - 2, i * lineHeight + lineHeight - 1);
              LineTo(mem, x + 99, i * lineHeight + lineHeight - 1);
            }
        }));
    add("46 lines: grid by one PolyPolyline a line", Time(3, reps, [&] {
          std::vector<POINT> pts;
          std::vector<DWORD> counts;
          for (int i = 1; i <= lines; ++i) {
            pts.clear(), counts.clear();
            for (int c = 0, x = 0; c < cols; ++c, x += 100) {
              int bottom = i * lineHeight + lineHeight - 1;
              pts.insert(pts.end(), {POINT{x - 2, i * lineHeight - 2}, POINT{x - 2, bottom}, POINT{x + 99, bottom}});
              counts.push_back(3);
            }
            PolyPolyline(mem, pts.data(), counts.data(), DWORD(counts.size()));
          }
        }));
    SelectObject(mem, oldPen);
    DeleteObject(grey);
    GdiFlush();
  }
  add("bitmap + fill + BitBlt of the client", Time(3, reps, [&] {
        RECT c;
        GetClientRect(hb, &c);
        HDC w2 = GetDC(hb);
        HDC m2 = CreateCompatibleDC(w2);
        HBITMAP b2 = CreateCompatibleBitmap(w2, c.right, c.bottom);
        HGDIOBJ o2 = SelectObject(m2, b2);
        FillRect(m2, &c, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        BitBlt(w2, 0, 0, c.right, c.bottom, m2, 0, 0, SRCCOPY);
        SelectObject(m2, o2);
        DeleteObject(b2);
        DeleteDC(m2);
        ReleaseDC(hb, w2);
        GdiFlush();
      }));
  add("Paint() alone, outside WM_PAINT", Time(3, reps, [&] {
        b.GetDC();
        b.Paint();
        b.ReleaseDC();
        GdiFlush();
      }));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(hb, wdc);
  add("GetDC + ReleaseDC", Time(3, reps, [&] { ReleaseDC(hb, GetDC(hb)); }));
  add("WBRWSCROLL one line", Time(3, reps, [&] {
        WBRWSCROLL(hb, 1, b.FontHandle());
        GdiFlush();
      }));
  ValidateRect(hb, nullptr);
  add("vertical bar SetPos", Time(3, reps, [&] { b.oVScroll->SetPos(b.VGetPos() % 2 + 1); }));
  add("SetScrollPos vertical, redraw", Time(3, reps, [&] { SetScrollPos(hb, SB_VERT, GetScrollPos(hb, SB_VERT) % 2 + 1, TRUE); }));
  add("SetScrollPos vertical, no redraw", Time(3, reps, [&] { SetScrollPos(hb, SB_VERT, GetScrollPos(hb, SB_VERT) % 2 + 1, FALSE); }));
  add("SetScrollRange horizontal unchanged, redraw", Time(3, reps, [&] { SetScrollRange(hb, SB_HORZ, 1, 7, TRUE); }));
  add("Display + EndPaint via UpdateWindow", Time(3, reps, [&] { FullRepaint(hb); }));
  {
    int rows = b.nRowCount();
    while (b.nRowPos < rows) b.GoDown();
    UpdateWindow(hb);
    add("GoDown on the last line (no UpdateWindow)", Time(3, reps, [&] { b.GoDown(); }));
    {
      b.GoDown();
      RECT u{};
      GetUpdateRect(hb, &u, FALSE);
      rep.Add("P", "update rect after GoDown (l,t,r,b)", 0, "", Fmt("%.0f,%.0f,", u.left, u.top) + Fmt("%.0f,%.0f", u.right, u.bottom));
      UpdateWindow(hb);
      WBRWSCROLL(hb, 1, b.FontHandle());
      GetUpdateRect(hb, &u, FALSE);
      rep.Add("P", "update rect after WBRWSCROLL", 0, "", Fmt("%.0f,%.0f,", u.left, u.top) + Fmt("%.0f,%.0f", u.right, u.bottom));
      UpdateWindow(hb);
      RECT cr;
      GetClientRect(hb, &cr);
      cr.top += lineHeight;
      HDC sdc = GetDC(hb);
      ScrollDC(sdc, 0, -lineHeight, &cr, &cr, nullptr, nullptr);
      ReleaseDC(hb, sdc);
      GetUpdateRect(hb, &u, FALSE);
      rep.Add("P", "update rect after ScrollDC", 0, "", Fmt("%.0f,%.0f,", u.left, u.top) + Fmt("%.0f,%.0f", u.right, u.bottom));
      UpdateWindow(hb);
      HRGN rg = CreateRectRgn(0, 0, 0, 0);
      ScrollWindowEx(hb, 0, -lineHeight, &cr, &cr, rg, nullptr, 0);
      DeleteObject(rg);
      GetUpdateRect(hb, &u, FALSE);
      rep.Add("P", "update rect after ScrollWindowEx with region", 0, "", Fmt("%.0f,%.0f,", u.left, u.top) + Fmt("%.0f,%.0f", u.right, u.bottom));
      UpdateWindow(hb);
      ScrollWindowEx(hb, 0, -lineHeight, nullptr, nullptr, nullptr, nullptr, 0);
      GetUpdateRect(hb, &u, FALSE);
      rep.Add("P", "update rect after ScrollWindowEx whole client", 0, "", Fmt("%.0f,%.0f,", u.left, u.top) + Fmt("%.0f,%.0f", u.right, u.bottom));
      UpdateWindow(hb);
      ScrollWindow(hb, 0, -lineHeight, &cr, &cr);
      GetUpdateRect(hb, &u, FALSE);
      rep.Add("P", "update rect after ScrollWindow", 0, "", Fmt("%.0f,%.0f,", u.left, u.top) + Fmt("%.0f,%.0f", u.right, u.bottom));
      UpdateWindow(hb);
      b.oVScroll->SetPos(b.VGetPos() % 2 + 1);
      GetUpdateRect(hb, &u, FALSE);
      rep.Add("P", "update rect after SetPos", 0, "", Fmt("%.0f,%.0f,", u.left, u.top) + Fmt("%.0f,%.0f", u.right, u.bottom));
      UpdateWindow(hb);
    }
    add("GoDown on the last line + UpdateWindow", Time(3, reps, [&] { b.GoDown(); UpdateWindow(hb); }));
  }
  {
    // The pieces of one glide step, in its order.
    b.GoTop();
    UpdateWindow(hb);
    int rows = b.nRowCount();
    while (b.nRowPos < rows) b.GoDown();
    UpdateWindow(hb);
    Pump();
    std::vector<double> go, peek, pump, whole;
    for (int i = 0; i < 100; ++i) {
      double t0 = Now();
      b.GoDown();
      b.Refresh();
      double t1 = Now();
      MSG msg;
      PeekMessageA(&msg, hb, WM_LBUTTONDOWN, WM_LBUTTONUP, PM_REMOVE);
      double t2 = Now();
      SYSREFRESH();
      double t3 = Now();
      go.push_back(t1 - t0), peek.push_back(t2 - t1), pump.push_back(t3 - t2), whole.push_back(t3 - t0);
    }
    add("glide step: GoDown + Refresh", Samples{go});
    add("glide step: PeekMessage for a click", Samples{peek});
    add("glide step: SYSREFRESH (the paint)", Samples{pump});
    add("glide step: all", Samples{whole});
  }
  add("nRowCount", Time(3, reps, [&] { b.nRowCount(); }));
  add("row block (bLine)", Time(3, reps, [&] { b.bLine(b); }));
  add("ISTHEMEACTIVE", Time(3, reps, [&] { ISTHEMEACTIVE(); }));
  add("WNDWIDTH", Time(3, reps, [&] { WNDWIDTH(hb); }));
  b.GoTop();
  FullRepaint(hb);
}

// One-line steps from the last line: each GoDown shifts the lines and
// draws the new one.
Samples Bench::StepDown(TWBrowse& b, size_t nRows, int steps) {
  HWND hb = b.hWnd;
  std::vector<double> t;
  double cpu = 0;
  while (int(t.size()) < steps) {
    b.GoTop();
    UpdateWindow(hb);
    int rows = b.nRowCount();
    while (b.nRowPos < rows) b.GoDown();
    UpdateWindow(hb);
    for (int i = 0; i < 200 && int(t.size()) < steps && size_t(b.nAtRow()) < nRows; ++i) {
      double c0 = ThreadCpuMs();
      double t0 = Now();
      b.GoDown();
      UpdateWindow(hb);
      GdiFlush();
      t.push_back(Now() - t0);
      cpu += ThreadCpuMs() - c0;
    }
  }
  b.GoTop();
  UpdateWindow(hb);
  return Samples{t, cpu / double(t.size())};
}

void Bench::B4() {
  Stats s = Summarize(StepDown(*demo.brw, demo.table->size(), Reps(300, 30)));
  rep.Add("B4", "browse GoDown on the last line", s.median, "ms", Spread(s));
  rep.Add("B4/B4f", "one-line step / its floor", s.median / b4Floor, "ratio");
  rep.AtMost("B4", "B4 <= 1.25 x its floor", s.median / b4Floor, 1.25);
  rep.AtMost("B4", "B4 <= list view one-line scroll (ms)", s.median, lvScroll);
}

// The column browse in the demo browse's place: the same client area, the
// same rows in seven 100-pixel columns, the same line style and font.
void Bench::ColumnBrowse() {
  TWBrowse& plain = *demo.brw;
  HWND hb = plain.hWnd;
  RECT r = RectInParent(hb);
  auto cb = TCBrowse::New({.nRow = 0,
                           .nCol = 0,
                           .nWidth = r.right - r.left,
                           .nHeight = r.bottom - r.top,
                           .oWnd = demo.wnd,
                           .oFont = plain.oFont,
                           .cAlias = std::string()});
  cb->SetArray(demo.table);
  TCBrowse* brw = cb.get();
  for (size_t c = 1; c <= 7; ++c) {
    auto col = TCColumn::New({.cHeading = cValToChar(plain.aHeaders[c - 1]), .bData = [brw, c](std::optional<Value>) {
                                return AGet(AGet(brw->aArray, size_t(brw->nAtRow())).AsArray(), c);
                              }});
    col->nWidth = 100;
    cb->AddColumn(col);
  }
  cb->nLineStyle = plain.nLineStyle;
  cb->Default();
  cb->GoTop();
  // The two browses take turns, block by block, so that a busy machine
  // weighs on both alike; the ratios compare these paired runs.
  auto only = [&](HWND on, HWND off) {
    ShowWindow(off, SW_HIDE);
    ShowWindow(on, SW_SHOW);
    SetFocus(on);
    Settle(30);
  };
  auto pool = [](Samples& into, const Samples& block, int blocks) {
    into.t.insert(into.t.end(), block.t.begin(), block.t.end());
    into.cpu = std::max(into.cpu, 0.0) + block.cpu / blocks;
  };
  int blocks = Reps(5, 4), warm = Reps(3, 1), per = Reps(40, 5), steps = Reps(60, 8);
  Samples plainPaint, columnPaint, plainStep, columnStep;
  for (int k = 0; k < blocks; ++k) {
    only(hb, cb->hWnd);
    pool(plainPaint, Time(warm, per, [&] {
           plain.ForgetPicture();  // a full repaint, as the column browse's
           FullRepaint(hb);
         }), blocks);
    pool(plainStep, StepDown(plain, demo.table->size(), steps), blocks);
    only(cb->hWnd, hb);
    pool(columnPaint, Time(warm, per, [&] { FullRepaint(cb->hWnd); }), blocks);
    pool(columnStep, StepDown(*cb, demo.table->size(), steps), blocks);
  }
  Stats p1 = Summarize(plainPaint), s1 = Summarize(columnPaint);
  Stats p4 = Summarize(plainStep), s4 = Summarize(columnStep);
  RECT cr;
  GetClientRect(cb->hWnd, &cr);
  if (!opt.shots.empty()) SaveShot(cb->hWnd, opt.shots + "\\b1c-column-browse.bmp");
  rep.Add("B1c", "column browse full repaint (same table and window)", s1.median, "ms",
          Fmt("client %.0fx%.0f; header by the cell painter; ", cr.right, cr.bottom) + Spread(s1));
  rep.Add("B1p", "browse full repaint, in turns with B1c", p1.median, "ms", Spread(p1));
  rep.Add("B4c", "column browse GoDown on the last line", s4.median, "ms", Spread(s4));
  rep.Add("B4p", "browse GoDown on the last line, in turns with B4c", p4.median, "ms", Spread(p4));
  rep.Add("B1c/B1p", "column browse / browse, full repaint", s1.median / p1.median, "ratio",
          Fmt("processor time %.2f", s1.cpu / p1.cpu));
  rep.Add("B1c/B2", "column browse / floor, full repaint", s1.median / b2, "ratio");
  rep.Add("B4c/B4p", "column browse / browse, one-line step", s4.median / p4.median, "ratio",
          Fmt("processor time %.2f", s4.cpu / p4.cpu));
  rep.AtMost("B1c", "B1c / B1p <= 1.3", s1.median / p1.median, 1.3);
  rep.AtMost("B4c", "B4c / B4p <= 1.3", s4.median / p4.median, 1.3);
  cb->End();
  ShowWindow(hb, SW_SHOW);
  SetFocus(hb);
  Settle(30);
}

// The drag of B5 and B5x: from the browse's top, a press on line 30, then
// one-line moves in a saw-tooth between lines 5 and 30 (rows go forward,
// then back), then the release.
struct SawToothDrag {
  HWND hb;
  int hgt;
  int line = 30, dir = -1;
  BrowseClock old;
  SawToothDrag(TWBrowse& b, int lineHeight) : hb(b.hWnd), hgt(lineHeight) {
    b.GoTop();
    UpdateWindow(hb);
    // The real pointer rests on the browse: a pointer elsewhere ends the
    // drag with a mouse-leave message.
    RECT wr;
    GetWindowRect(hb, &wr);
    SetCursorPos((wr.left + wr.right) / 2, (wr.top + wr.bottom) / 2);
    Settle(50);
  }
  LPARAM At(int l) const { return MAKELPARAM(150, l * hgt + hgt / 2); }
  void Press() {
    // A standing tick: the release then has no speed and does not glide.
    old = SetBrowseClock({.tick = [] { return DWORD(5000); }, .sleep = {}});
    PostMessageA(hb, WM_LBUTTONDOWN, MK_LBUTTON, At(line));
    UntilPainted(g_watch.paints, 200);
  }
  void Move() {
    if (line + dir < 5 || line + dir > 30) dir = -dir;
    line += dir;
    PostMessageA(hb, WM_MOUSEMOVE, MK_LBUTTON, At(line));
  }
  void Release() {
    PostMessageA(hb, WM_LBUTTONUP, 0, At(line));
    Settle(20);
    SetBrowseClock(old);
  }
};

void Bench::B5() {
  TWBrowse& b = *demo.brw;
  HWND hb = b.hWnd;
  SawToothDrag drag(b, lineHeight);
  drag.Press();
  int events = Reps(400, 40);
  std::vector<double> lat, handled, painted;
  double c0 = ThreadCpuMs();
  for (int i = 0; i < events; ++i) {
    long before = g_watch.paints;
    double t0 = Now();
    drag.Move();
    double end = UntilPainted(before);
    if (!end) continue;
    lat.push_back(end - t0);
    handled.push_back(g_watch.moveTook);
    painted.push_back(g_watch.paintTook);
  }
  const double cpu = events > 0 ? (ThreadCpuMs() - c0) / events : 0;
  drag.Release();
  Stats s = Summarize(lat);
  // The processor time includes the wait for each paint, spent in PeekMessage.
  rep.Add("B5", "drag-follow latency, median", s.median, "ms", Spread(s) + Fmt(", cpu %.2f ms a move", cpu));
  rep.Add("B5", "drag-follow latency, p99", s.p99, "ms",
          Fmt("%.0f of %.0f moves painted", double(lat.size()), double(events)));
  // Where a move's time goes: the mouse message (rows moved, the picture
  // scrolled), then the paint; the rest is the wait in the message queue.
  Stats h = Summarize(handled), p = Summarize(painted);
  rep.Add("B5", "drag move: mouse message handled, median", h.median, "ms", Spread(h) + Fmt(", p99 %.2f", h.p99));
  rep.Add("B5", "drag move: paint, median", p.median, "ms", Spread(p) + Fmt(", p99 %.2f", p.p99));
  rep.AtMost("B5", "drag-follow p99 <= 8.3 ms", s.p99, 8.3);
  b.GoTop();
  UpdateWindow(hb);
}

// A strip of pixels read into a DIB: from the window's own DC (the picture
// the paint left in Wine's window surface) or from the screen's (what the X
// server shows).
struct Strip {
  HDC mem = nullptr;
  HBITMAP dib = nullptr, old = nullptr;
  uint32_t* bits = nullptr;
  int w = 0, h = 0;
  Strip(int width, int height) : w(width), h(height) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    mem = CreateCompatibleDC(screen);
    void* p = nullptr;
    dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    ReleaseDC(nullptr, screen);
    bits = static_cast<uint32_t*>(p);
    old = static_cast<HBITMAP>(SelectObject(mem, dib));
  }
  ~Strip() {
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
  }
  Strip(const Strip&) = delete;
  Strip& operator=(const Strip&) = delete;
  void Read(HDC from, int x, int y) {
    BitBlt(mem, 0, 0, w, h, from, x, y, SRCCOPY);
    GdiFlush();
  }
  bool Same(const Strip& o) const { return std::memcmp(bits, o.bits, size_t(w) * h * 4) == 0; }
  void CopyFrom(const Strip& o) { std::memcpy(bits, o.bits, size_t(w) * h * 4); }
};

// What B5x's observer and the bench share: the strip to watch and the
// picture it should come to show (a hash), numbered by move.
struct ScreenWatch {
  volatile LONG stop, move, seenMove, polls;
  int x, y, w, h;
  volatile uint32_t want;
  volatile double seenAt;  // QueryPerformanceCounter ms when seenMove was seen
};
constexpr const char* kWatchMap = "nx_bench_b5x_watch";

uint32_t Hash(const Strip& s) {
  uint32_t h = 2166136261u;
  for (int i = 0; i < s.w * s.h; ++i) h = (h ^ s.bits[i]) * 16777619u;
  return h;
}

// The observer: another process, so that its reads of the screen copy no
// surface of the bench's (Wine copies a process's own surfaces before such
// a read). It polls the strip until told to stop.
int Observe(DWORD parentId) {
  HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, parentId);
  if (!parent) return 1;
  HANDLE map = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kWatchMap);
  auto* sw = map ? static_cast<ScreenWatch*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ScreenWatch))) : nullptr;
  if (!sw) return 1;
  Strip seen(sw->w, sw->h);
  // Told to stop, or the bench is gone.
  HDC sdc = GetDC(nullptr);
  while (!sw->stop && WaitForSingleObject(parent, 0) == WAIT_TIMEOUT) {
    LONG move = sw->move;
    uint32_t want = sw->want;
    seen.Read(sdc, sw->x, sw->y);
    double t = Now();
    InterlockedIncrement(&sw->polls);
    if (move != sw->seenMove && move == sw->move && Hash(seen) == want) {
      sw->seenAt = t;
      MemoryBarrier();
      sw->seenMove = move;
    }
  }
  ReleaseDC(nullptr, sdc);
  UnmapViewOfFile(sw);
  CloseHandle(map);
  CloseHandle(parent);
  return 0;
}

// B5 measures a drag move up to the end of its paint, which leaves the new
// rows in Wine's copy of the window (its surface); the X server shows them
// once Wine copies that surface over. This measures the copy apart: for the
// same kind of moves, from the end of the paint until a strip of rows read
// from the screen by another process shows what the window shows. The moves
// take turns: back to a message loop (PeekMessage, as a program does) until
// the rows are seen; or 100 ms with no call of any kind, to see whether
// anything but the loop copies the surface; or one read of the screen by
// the bench itself right after the paint, which shows what such a read does.
void Bench::B5x() {
  TWBrowse& b = *demo.brw;
  HWND hb = b.hWnd;
  int hgt = lineHeight;
  SawToothDrag drag(b, hgt);
  RECT cr;
  GetClientRect(hb, &cr);
  // Four lines of the first 400 pixels across, from line 10 down: rows that
  // change with every move of the saw-tooth below.
  Strip want(std::min<int>(400, cr.right), 4 * hgt), seen(want.w, want.h), before(want.w, want.h);
  POINT org{0, 10 * hgt};
  ClientToScreen(hb, &org);
  HDC wdc = GetDC(hb), sdc = GetDC(nullptr);

  // One read of the screen, at rest.
  Settle(30);
  int polls = Reps(200, 20);
  std::vector<double> rest;
  for (int i = 0; i < polls; ++i) {
    double t = Now();
    seen.Read(sdc, org.x, org.y);
    rest.push_back(Now() - t);
  }
  want.Read(wdc, 0, 10 * hgt);
  const bool atRestSame = want.Same(seen);

  HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ScreenWatch), kWatchMap);
  auto* sw = map ? static_cast<ScreenWatch*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ScreenWatch))) : nullptr;
  PROCESS_INFORMATION pi{};
  bool observing = false;
  if (sw) {
    sw->stop = 0;
    sw->move = 0;
    sw->seenMove = 0;
    sw->polls = 0;
    sw->x = org.x, sw->y = org.y, sw->w = want.w, sw->h = want.h;
    sw->want = Hash(want);
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string cmd = std::string("\"") + exe + "\" --observe " + std::to_string(GetCurrentProcessId());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    observing = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    // Ready once it has read the screen twice.
    for (double limit = Now() + 10000; observing && sw->polls < 2 && Now() < limit;) Settle(5);
    observing = observing && sw->polls >= 2;
  }

  drag.Press();
  Settle(20);
  // Pumps until the browse has painted, and stops right after that paint:
  // no further message call, so nothing idle has happened since.
  auto painted = [&](long paintsBefore) -> double {
    double limit = Now() + 2000;
    MSG msg;
    while (Now() < limit) {
      if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      if (g_watch.paints > paintsBefore && !GetUpdateRect(hb, nullptr, FALSE)) return g_watch.lastEnd;
    }
    return 0;
  };
  enum Way { kLoop, kBusy, kSelf, kWays };
  struct Tally {
    std::vector<double> shown;
    int moves = 0, early = 0;
  } way[kWays];
  std::vector<double> selfPoll;
  int events = Reps(300, 30), unchanged = 0, selfNew = 0, selfOld = 0;
  long pollsBefore = sw ? sw->polls : 0;
  double tPolls = Now();
  for (int i = 0; i < events; ++i) {
    before.Read(wdc, 0, 10 * hgt);
    long n = g_watch.paints;
    drag.Move();
    double end = painted(n);
    if (!end) continue;
    want.Read(wdc, 0, 10 * hgt);
    if (want.Same(before)) {
      ++unchanged;
      continue;
    }
    const Way w = Way(i % kWays);
    Tally& t = way[w];
    ++t.moves;
    if (w == kSelf) {
      double p0 = Now();
      seen.Read(sdc, org.x, org.y);
      selfPoll.push_back(Now() - p0);
      if (seen.Same(want)) ++selfNew;
      else if (seen.Same(before)) ++selfOld;
    } else if (observing) {
      sw->want = Hash(want);
      MemoryBarrier();
      const LONG move = InterlockedIncrement(&sw->move);
      const double limit = end + (w == kLoop ? 500 : 100);
      while (sw->seenMove != move && Now() < limit)
        if (w == kLoop) Pump();
      if (sw->seenMove == move) {
        // The observer saw the rows before the paint's end was known here:
        // they were on the screen when it looked, the latency is under a poll.
        t.shown.push_back(std::max(sw->seenAt - end, 0.0));
        if (sw->seenAt < end) ++t.early;
      }
    }
    Settle(5);  // whatever copy is still due happens here, unmeasured
  }
  const double observerPoll = sw && sw->polls > pollsBefore ? (Now() - tPolls) / double(sw->polls - pollsBefore) : 0;
  drag.Release();
  if (observing) {
    sw->stop = 1;
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  }
  if (pi.hProcess) CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
  if (sw) UnmapViewOfFile(sw);
  if (map) CloseHandle(map);
  ReleaseDC(nullptr, sdc);
  ReleaseDC(hb, wdc);

  Stats r = Summarize(rest), f = Summarize(selfPoll);
  rep.Add("B5x", "one read of the screen at rest (400 x 4 lines)", r.median, "ms",
          Spread(r) + "; the screen " + (atRestSame ? "equals" : "differs from") + " the window's picture" +
              Fmt("; the observer's reads during the moves: one every %.2f ms", observerPoll));
  const char* names[2] = {"back to the message loop", "100 ms without any call"};
  for (int w = kLoop; w <= kBusy; ++w) {
    const Tally& t = way[w];
    Stats s = Summarize(t.shown);
    rep.Add("B5x", std::string("paint end to rows on the screen, median (") + names[w] + ")", s.median, "ms",
            Spread(s) + Fmt("; p99 %.2f; seen in %.0f of %.0f moves", s.p99, double(t.shown.size()), double(t.moves)) +
                (observing ? Fmt(", %.0f before the paint's end was known", double(t.early))
                           : std::string("; no observer process")));
  }
  rep.Add("B5x", "the bench's own read of the screen right after the paint", f.median, "ms",
          Spread(f) + Fmt("; it showed the new rows %.0f times, the old %.0f, of %.0f", double(selfNew), double(selfOld),
                          double(way[kSelf].moves)));
  if (unchanged) rep.Add("B5x", "moves that left the strip unchanged (not counted)", double(unchanged), "moves");
  b.GoTop();
  UpdateWindow(hb);
}

void Bench::B6() {
  TWBrowse& b = *demo.brw;
  HWND hb = b.hWnd;
  // A recording SLEEP: the requested pauses and when each began and ended.
  std::vector<DWORD> asked;
  std::vector<double> begins, ends;
  bool real = false;
  auto recorder = [&](DWORD ms) {
    asked.push_back(ms);
    begins.push_back(Now());
    if (real) Sleep(ms);
    ends.push_back(Now());
  };

  // Without pauses: what the steps themselves cost.
  b.GoTop();
  UpdateWindow(hb);
  Samples work;
  double pauses = 0, cpu = 0;
  int dry = Reps(10, 2);
  for (int i = 0; i < dry; ++i) {
    b.GoTop();
    UpdateWindow(hb);
    asked.clear(), begins.clear(), ends.clear();
    double used = 0;
    double total = Glide(b, recorder, &used);
    cpu += used;
    pauses = std::accumulate(asked.begin(), asked.end(), 0.0);
    work.t.push_back(total);
  }
  work.cpu = cpu / dry;
  Stats sw = Summarize(work);
  rep.Add("B6", "glide requested pauses (sum)", pauses, "ms", Fmt("%.0f steps", double(asked.size())));
  rep.Add("B6", "glide work without pauses (40 steps)", sw.median, "ms", Spread(sw));

  // The bar's part of that work: the steps of a glide that move the thumb a
  // pixel (the browse redraws its themed bar for those alone), and one such
  // redraw alone.
  {
    auto thumb = [&] {
      SCROLLBARINFO sbi{};
      sbi.cbSize = sizeof sbi;
      GetScrollBarInfo(hb, LONG(OBJID_VSCROLL), &sbi);
      return std::pair(sbi.xyThumbTop, sbi.xyThumbBottom);
    };
    b.GoTop();
    UpdateWindow(hb);
    auto last = thumb();
    int moves = 0;
    Glide(b, [&](DWORD) {
      auto now = thumb();
      moves += now != last;
      last = now;
    });
    int pos = GetScrollPos(hb, SB_VERT), other = pos;
    while (other < pos + 10 && thumb() == last) SetScrollPos(hb, SB_VERT, ++other, FALSE);
    int flip = 0;
    Stats sb = Summarize(Time(3, Reps(100, 6), [&] {
      SetScrollPos(hb, SB_VERT, ++flip % 2 ? pos : other, TRUE);
      GdiFlush();
    }));
    SetScrollPos(hb, SB_VERT, pos, TRUE);
    rep.Add("B6", "steps of a glide that redraw the bar (the thumb moves a pixel)", moves, "count",
            Fmt("of %.0f steps", double(asked.size())));
    rep.Add("B6", "one themed bar redraw (SetScrollPos, the thumb a pixel on)", sb.median, "ms", Spread(sb));
    // In processor time: wall times of single redraws swing with the load.
    if (sb.cpu > 0 && sw.cpu > 0)
      rep.Add("B6", "those redraws' share of the glide's processor time without pauses", moves * sb.cpu / sw.cpu * 100.0,
              "%", Fmt("%.0f x ", moves) + Fmt("%.2f ms of ", sb.cpu) + Fmt("%.0f ms", sw.cpu));
  }

  // With real pauses, paced by the real fine clock: the pauses asked are
  // what each step's work left of its planned pause.
  const std::vector<DWORD> plan = asked;
  real = true;
  double anchor = 0;
  auto fine = [&] {
    double t = Now();
    if (!anchor) anchor = t;
    return t;
  };
  std::vector<double> totals, over, dev, between, overslept, behind, endBehind;
  int runs = Reps(5, 1);
  for (int i = 0; i < runs; ++i) {
    b.GoTop();
    UpdateWindow(hb);
    Settle(20);
    asked.clear(), begins.clear(), ends.clear();
    anchor = 0;
    double total = Glide(b, recorder, nullptr, fine);
    totals.push_back(total);
    over.push_back((total - pauses) / pauses * 100.0);
    // The work from one pause's end to the next's start, and what the pauses
    // took beyond the time asked.
    double work = 0, slept = 0;
    for (size_t k = 0; k + 1 < begins.size(); ++k) work += begins[k + 1] - ends[k];
    for (size_t k = 0; k < begins.size(); ++k) slept += ends[k] - begins[k] - asked[k];
    between.push_back(work);
    overslept.push_back(slept);
    // A step starts when the pause before it ends. Its deviation: the
    // interval from the previous step's start beyond the planned pause
    // between them; and how far it started behind the plan's schedule,
    // counted from the first step (the pacing's first reading).
    if (ends.size() != plan.size() || !anchor) continue;
    double due = anchor;
    for (size_t k = 0; k < ends.size(); ++k) {
      due += plan[k];
      if (k > 0) dev.push_back(ends[k] - ends[k - 1] - plan[k]);
      behind.push_back(ends[k] - due);
    }
    endBehind.push_back(ends.back() - due);
  }
  Stats st = Summarize(totals), so = Summarize(over), sd = Summarize(dev);
  Stats sbw = Summarize(between), sos = Summarize(overslept), sbh = Summarize(behind), seb = Summarize(endBehind);
  rep.Add("B6", "glide total with real pauses", st.median, "ms", Spread(st));
  rep.Add("B6", "glide overhead over the pauses", so.median, "%", Spread(so));
  rep.Add("B6", "with real pauses: the work between them (sum of a glide)", sbw.median, "ms", Spread(sbw));
  rep.Add("B6", "with real pauses: their time beyond the time asked (sum of a glide)", sos.median, "ms", Spread(sos));
  rep.Add("B6", "with real pauses: the pauses asked (sum of a glide, what the work left)",
          std::accumulate(asked.begin(), asked.end(), 0.0), "ms", "the last run");
  rep.Add("B6", "per-step deviation (interval beyond the planned pause), median", sd.median, "ms", Spread(sd));
  rep.Add("B6", "per-step deviation, p99", sd.p99, "ms");
  rep.Add("B6", "a step's start behind its due time, median", sbh.median, "ms", Spread(sbh));
  rep.Add("B6", "a step's start behind its due time, p99", sbh.p99, "ms");
  rep.Add("B6", "the last pause's end behind the schedule", seb.median, "ms", Spread(seb));
  rep.AtMost("B6", "glide overhead <= 5 %", so.median, 5.0);
  b.GoTop();
  UpdateWindow(hb);
}

void Bench::B8() {
  TWBrowse& b = *demo.brw;
  HWND hb = b.hWnd;
  b.GoTop();
  FullRepaint(hb);
  Pump();
  size_t before = RESCOUNT();
  DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  int steps = Reps(10000, 1000), glides = Reps(100, 10);
  double t0 = Now();
  int done = 0;
  while (done < steps) {
    for (int i = 0; i < 300 && done < steps; ++i, ++done) b.GoDown();
    for (int i = 0; i < 300 && done < steps; ++i, ++done) b.GoUp();
    Pump();
  }
  double stepsMs = Now() - t0;
  size_t afterSteps = RESCOUNT();
  t0 = Now();
  for (int i = 0; i < glides; ++i) {
    b.GoTop();
    UpdateWindow(hb);
    Glide(b, [](DWORD) {});
  }
  double glidesMs = Now() - t0;
  Pump();
  size_t after = RESCOUNT();
  DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  rep.Add("B8", "registered graphics objects before", double(before), "count");
  rep.Add("B8", Fmt("registered graphics objects after %.0f steps", steps), double(afterSteps), "count",
          Fmt("%.0f ms for the steps", stepsMs));
  rep.Add("B8", Fmt("registered graphics objects after %.0f glides", glides), double(after), "count",
          Fmt("%.0f ms for the glides (no pauses)", glidesMs));
  rep.Add("B8", "GDI objects of the process before / after (GetGuiResources)", double(gdiAfter) - double(gdiBefore),
          "count", Fmt("%.0f -> %.0f; Wine may report 0", gdiBefore, gdiAfter));
  rep.AtMost("B8", "zero growth of registered graphics objects", double(after) - double(before), 0);
  b.GoTop();
  UpdateWindow(hb);
}

// ---- B7 ------------------------------------------------------------------------------------------

struct Source {
  std::string name;
  int rows = 0;
  bool dbf = false, ordered = false;
};

bool FileExists(const std::string& f) { return GetFileAttributesA(f.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A cached table of n records: seven 12-letter fields, the second one
// counting down so that an order on it differs from the natural order.
std::string CachedDbf(const std::string& folder, int n, double* createdMs) {
  std::string file = folder + "\\bench_" + std::to_string(n) + ".dbf";
  *createdMs = 0;
  if (FileExists(file)) {
    bool ok = DbUseArea(true, kDbfDriver, file, "CHECK", false, true);
    ok = ok && RecCount() == n && FCount() == 7;
    if (Used()) DbCloseArea();
    if (ok) return file;
    DeleteFileA(file.c_str());
  }
  double t0 = Now();
  auto field = [](const char* name) { return Value(NewArray({Value(name), Value("C"), Value(12), Value(0)})); };
  Value fields(NewArray({field("ROW"), field("COL2"), field("COL3"), field("COL4"), field("COL5"), field("COL6"),
                         field("COL7")}));
  DbCreate(file, fields, kDbfDriver);
  DbUseArea(true, kDbfDriver, file, "MAKE", false, false);
  static constexpr const char* kPrefixes[] = {"Row: ", "Col2:", "Col3:", "Col4:", "Col5:", "Col6:", "Col7:"};
  for (int i = 1; i <= n; ++i) {
    DbAppend();
    for (int c = 0; c < 7; ++c) {
      int k = c == 1 ? n - i + 1 : i;
      FieldPut(c + 1, Value(std::string(kPrefixes[c]) + StrZero(Value(k), 7)));
    }
  }
  DbCloseArea();
  *createdMs = Now() - t0;
  return file;
}

void Bench::B7() {
  std::vector<Source> sources;
  int big = opt.quick ? 10000 : 1000000;
  for (int n : {1000, opt.quick ? 3000 : 100000, big}) sources.push_back({"array", n});
  for (int n : {1000, big})
    for (bool ordered : {false, true}) sources.push_back({ordered ? "DBF ordered" : "DBF", n, true, ordered});
  std::string folder = CacheFolder();

  const char* ops[] = {"GoTop", "GoBottom", "PageDown", "thumb to the middle", "full repaint"};
  std::vector<std::vector<double>> medians;  // per source, per op
  int reps = Reps(15, 5);
  for (const Source& src : sources) {
    ArrayPtr table;
    Demo d;
    std::string label = src.name + " " + std::to_string(src.rows);
    if (src.dbf) {
      double created = 0;
      std::string file = CachedDbf(folder, src.rows, &created);
      if (created > 0) rep.Add("B7", "create " + label + " (once, cached)", created, "ms", file);
      DbUseArea(true, kDbfDriver, file, "BENCH", false, true);
      if (src.ordered) {
        double t0 = Now();
        OrdCreate("BYCOL2", "COL2");
        rep.Add("B7", "OrdCreate on " + label, Now() - t0, "ms", "not part of the operations");
      }
      DbGoTop();
      d.wnd = TWindow::New({.cTitle = "bench", .lPixel = false});
      d.brw = TWBrowse::New({.aColSizes = std::vector<int>{100, 100, 100, 100, 100, 100, 100},
                             .oWnd = d.wnd,
                             .cAlias = std::string("BENCH")});
      d.wnd->oClient = d.brw;
    } else {
      double t0 = Now();
      table = BuildArray(src.rows);
      if (src.rows > 1000) rep.Add("B7", "build " + label, Now() - t0, "ms", "not part of the operations");
      BuildDemo(d, table, "bench");
    }
    d.wnd->Activate({.cShow = "MAXIMIZED"});  // the loop runs already: returns at once
    Settle(50);
    TWBrowse& b = *d.brw;
    HWND hb = b.hWnd;
    FullRepaint(hb);
    auto paint = [&](const std::function<void()>& f) {
      return [&, f] {
        f();
        UpdateWindow(hb);
        GdiFlush();
      };
    };
    auto top = [&] {
      b.GoTop();
      UpdateWindow(hb);
    };
    auto bottom = [&] {
      b.GoBottom();
      UpdateWindow(hb);
    };
    int barMax = b.oVScroll ? b.oVScroll->GetRange().second : 0;
    std::vector<double> m(5);
    m[0] = Summarize(Time(1, reps, paint([&] { b.GoTop(); }), bottom)).median;
    m[1] = Summarize(Time(1, reps, paint([&] { b.GoBottom(); }), top)).median;
    m[2] = Summarize(Time(1, reps, paint([&] { b.PageDown(); }), top)).median;
    m[3] = Summarize(Time(1, reps, paint([&] { SendMessageA(hb, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, barMax / 2), 0); }),
                          top))
               .median;
    m[4] = Summarize(Time(1, reps, [&] {
                       b.ForgetPicture();
                       FullRepaint(hb);
                     })).median;
    for (int k = 0; k < 5; ++k) rep.Add("B7", label + ": " + ops[k], m[size_t(k)], "ms");
    medians.push_back(m);
    d.wnd->End();
    Settle(30);
    d = {};
    table = nullptr;
    if (src.dbf) InAlias("BENCH", [] { DbCloseArea(); });
  }
  // Ratios: the largest against the 1e3 source of the same kind.
  auto ratios = [&](size_t small, size_t large, double limit, const std::string& what) {
    double worst = 0;
    std::string worstOp;
    for (int k = 0; k < 5; ++k) {
      double r = medians[large][size_t(k)] / medians[small][size_t(k)];
      rep.Add("B7", what + ": " + ops[k] + " ratio", r, "ratio");
      if (r > worst) worst = r, worstOp = ops[k];
    }
    rep.AtMost("B7", what + ": every operation within " + Fmt("%.0fx", limit), worst, limit, "worst: " + worstOp);
  };
  std::string bigName = std::to_string(big);
  ratios(0, 2, 2.0, "array " + bigName + " / 1000");
  ratios(3, 5, 3.0, "DBF " + bigName + " / 1000");
  ratios(4, 6, 3.0, "DBF ordered " + bigName + " / 1000");
}

std::string Bench::CacheFolder() {
  std::string folder = opt.cache;
  if (folder.empty()) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    folder = std::string(tmp) + "nx_bench";
  }
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// ---- B9: the data layer on index files ----------------------------------------------------------

namespace {

// What a browse reads for its first screen: 40 rows of 7 fields in key order.
void FirstScreen() {
  DbGoTop();
  for (int row = 0; row < 40 && !Eof(); ++row) {
    for (int f = 1; f <= 7; ++f) cValToChar(FieldGet(f));
    DbSkip();
  }
}

}  // namespace

void Bench::B9() {
  std::string folder = CacheFolder();
  int big = opt.quick ? 10000 : 1000000;
  int reps = Reps(9, 3);
  std::vector<double> opens;
  for (int n : {1000, big}) {
    double created = 0;
    std::string file = CachedDbf(folder, n, &created);
    std::string label = std::to_string(n);
    if (created > 0) rep.Add("B9", "create DBF " + label + " (once, cached)", created, "ms", file);
    std::string index = folder + "\\bench_" + label + "_col2";
    // The rebuild: what opening costs when orders live only in memory.
    Samples rebuild = Time(0, opt.quick ? 2 : 3, [&] {
      DbUseArea(true, kDbfDriver, file, "B9", false);
      OrdCreate(index, "COL2");
      FirstScreen();
      DbCloseArea();
    });
    Stats r = Summarize(rebuild);
    rep.Add("B9", "DBF " + label + ": open, rebuild the order, first screen", r.median, "ms", Spread(r));
    Stats o = Summarize(Time(1, reps, [&] {
      DbUseArea(true, kDbfDriver, file, "B9", false, false, {index});
      FirstScreen();
      DbCloseArea();
    }));
    rep.Add("B9", "DBF " + label + ": open with its index file, first screen", o.median, "ms", Spread(o));
    opens.push_back(o.median);
    if (n == big) rep.Add("B9", "rebuild / open with the index file, " + label, r.median / o.median, "ratio");
  }
  rep.AtMost("B9", "open with an index file: " + std::to_string(big) + " records within 2x of 1000", opens[1] / opens[0], 2.0);

  // Seeks of random keys, in exclusive and in shared use (shared: a lock and
  // a header read per seek, so that other programs' changes are seen).
  {
    double created = 0;
    std::string file = CachedDbf(folder, big, &created);
    std::string index = folder + "\\bench_" + std::to_string(big) + "_col2";
    int seeks = opt.quick ? 1000 : 10000;
    for (bool shared : {false, true}) {
      DbUseArea(true, kDbfDriver, file, "B9", shared, false, {index});
      std::mt19937 rng(9);
      int found = 0;
      double t0 = Now();
      for (int i = 0; i < seeks; ++i) {
        long k = long(rng() % uint32_t(big)) + 1;
        found += DbSeek(std::string("Col2:") + StrZero(Value(k), 7)) ? 1 : 0;
        FieldGet(1);
      }
      double ms = Now() - t0;
      DbCloseArea();
      std::string what = std::to_string(seeks) + " seeks of random keys, " + std::to_string(big) + " records, " +
                         (shared ? "shared" : "exclusive");
      rep.Add("B9", what, ms, "ms", Fmt("%.1f us a seek; %.0f found", ms * 1000 / seeks, found));
    }
  }

  // Appends with two open indexes, both on keys that change with every record.
  for (bool shared : {false, true}) {
    int appends = shared ? (opt.quick ? 1000 : 10000) : (opt.quick ? 10000 : 100000);
    std::string file = folder + "\\bench_appends.dbf";
    auto field = [](const char* name, const char* type, int len) {
      return Value(NewArray({Value(name), Value(type), Value(len), Value(0)}));
    };
    DbCreate(file, Value(NewArray({field("NAME", "C", 12), field("CODE", "N", 8), field("NOTE", "C", 20)})), kDbfDriver);
    DbUseArea(true, kDbfDriver, file, "B9", false);
    OrdCreate(folder + "\\bench_appends_name", "NAME");
    OrdCreate(folder + "\\bench_appends_code", "CODE");
    DbCloseArea();
    DbUseArea(true, kDbfDriver, file, "B9", shared, false,
              {folder + "\\bench_appends_name", folder + "\\bench_appends_code"});
    std::mt19937 rng(100);
    double t0 = Now();
    for (int i = 0; i < appends; ++i) {
      DbAppend();
      FieldPut(1, std::string("Name ") + StrZero(Value(long(rng() % 1000000)), 7));
      FieldPut(2, long(rng() % 10000000));
      FieldPut(3, "appended");
    }
    DbCommit();
    double ms = Now() - t0;
    long keys = OrdKeyCount();
    DbCloseArea();
    rep.Add("B9", "append " + std::to_string(appends) + " records with two open indexes, " + (shared ? "shared" : "exclusive"),
            ms, "ms", Fmt("%.1f us a record; %.0f keys in the index", ms * 1000 / appends, double(keys)));
  }
}

// ---- the whole run ------------------------------------------------------------------------------

std::function<void()> g_inLoop;

void CALLBACK RunInLoop(HWND h, UINT, UINT_PTR id, DWORD) {
  KillTimer(h, id);
  auto f = std::move(g_inLoop);
  f();
}

void Bench::Run() {
  rep.mode = opt.quick ? "quick" : "full";
  RESREGISTER(true);
  RegisterClasses();
  BuildDemo(demo, demo::BuildTable(), demo::kTitle);
  font = BrowseFont(*demo.brw);
  lineHeight = LineHeightOf(font);
  g_inLoop = [this] {
    Settle(100);
    Watch(demo.brw->hWnd);
    if (opt.profile || opt.dataOnly) {
      if (opt.profile) {
        Profile();
        B1B2B3();
      } else {
        B9();
      }
      Unwatch();
      demo.wnd->End();
      return;
    }
    auto want = [&](const char* part) {
      return opt.only.empty() || ("," + opt.only + ",").find(std::string(",") + part + ",") != std::string::npos;
    };
    if (want("B1") || want("B2") || want("B3") || want("B4")) B1B2B3();
    if (want("B4")) B4();
    if (want("B1c")) ColumnBrowse();
    if (want("B5")) B5();
    if (want("B5x")) B5x();
    if (want("B6")) B6();
    if (want("B8")) B8();
    Memory("demo");
    Unwatch();
    if (want("B7")) B7();
    if (want("B9")) B9();
    Memory("end of run (after B7's large sources)");
    demo.wnd->End();
  };
  SetTimer(demo.wnd->hWnd, 1, 1, RunInLoop);
  demo.wnd->Activate({.cShow = "MAXIMIZED"});
}

}  // namespace

int main(int argc, char** argv) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  g_qpcPerMs = double(f.QuadPart) / 1000.0;
  if (argc == 3 && std::string(argv[1]) == "--observe") return Observe(DWORD(std::strtoul(argv[2], nullptr, 10)));
  Bench b;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--quick") b.opt.quick = true;
    else if (a == "--profile") b.opt.profile = b.opt.quick = true;
    else if (a == "--data") b.opt.dataOnly = true;
    else if (a == "--json" && i + 1 < argc) b.opt.json = argv[++i];
    else if (a == "--cache" && i + 1 < argc) b.opt.cache = argv[++i];
    else if (a == "--shots" && i + 1 < argc) b.opt.shots = argv[++i];
    else if (a == "--only" && i + 1 < argc) b.opt.only = argv[++i];
    else if (a == "--machine" && i + 1 < argc) b.rep.machine = argv[++i];
    else {
      std::fprintf(stderr, "usage: nx_bench [--quick] [--data] [--only B1,B5,...] [--json FILE] [--cache FOLDER] [--shots FOLDER] "
                   "[--machine TEXT] [--profile]\n");
      return 2;
    }
  }
  ErrorSys();
  b.Run();
  FREERESOURCES();
  std::string table = b.rep.Table();
  std::fputs(table.c_str(), stdout);
  if (FILE* out = std::fopen(b.opt.json.c_str(), "wb")) {
    std::string json = b.rep.Json();
    std::fwrite(json.data(), 1, json.size(), out);
    std::fclose(out);
    std::printf("\nJSON: %s\n", b.opt.json.c_str());
  } else {
    std::fprintf(stderr, "cannot write %s\n", b.opt.json.c_str());
    return 1;
  }
  bool ran = !b.rep.figures.empty();
  return ran ? 0 : 1;
}
