// A browse over an array of numbered rows in its own top-level window, sized
// to an exact number of whole data lines, and helpers to drive and read it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "classes/wbrowse.h"
#include "common/client_pixels.h"
#include "common/pump.h"
#include "classes/window.h"
#include "native/browse.h"
#include "rt/strings.h"

namespace kin {

using namespace nx;

using nxtest::Pump;

// Rows "R0001", "A0001", "B0001": every line of the screen is unique.
inline ArrayPtr Table(int rows) {
  auto table = NewArray();
  table->reserve(size_t(rows));
  for (int n = 1; n <= rows; ++n) {
    std::string number = StrZero(Value(n), 5);
    auto row = NewArray();
    for (const char* prefix : {"R", "A", "B"}) AAdd(row, Value(prefix + number));
    AAdd(table, Value(row));
  }
  return table;
}

struct Rig {
  TWindowPtr w;
  TWBrowsePtr b;
  ArrayPtr table;
  int h = 0;  // line height

  // A browse of `rows` rows showing exactly `lines` whole data lines.
  explicit Rig(int rows, int lines = 20) {
    Rig& r = *this;
    // The pointer must not wander over the test windows and send real moves.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    r.w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 700, .nRight = 500, .lPixel = true});
    r.table = Table(rows);
    ArrayPtr table = r.table;
    r.b = TWBrowse::New({.nRow = 0,
                         .nCol = 0,
                         .nWidth = 400,
                         .nHeight = 300,
                         .bLine = [table](TWBrowse& brw) {
                           ArrayPtr row = AGet(table, size_t(brw.nAtRow())).AsArray();
                           return Array{AGet(row, 1), AGet(row, 2), AGet(row, 3)};
                         },
                         .aColSizes = std::vector<int>{100, 100, 100},
                         .oWnd = r.w,
                         .lPixel = true});
    r.b->SetArray(r.table);
    HDC dc = GetDC(r.b->hWnd);
    HGDIOBJ old = r.b->FontHandle() ? SelectObject(dc, r.b->FontHandle()) : nullptr;
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    if (old) SelectObject(dc, old);
    ReleaseDC(r.b->hWnd, dc);
    r.h = tm.tmHeight + 1;
    RECT outer{}, client{};
    GetWindowRect(r.b->hWnd, &outer);
    GetClientRect(r.b->hWnd, &client);
    int frame = (outer.bottom - outer.top) - client.bottom;
    // Header and data lines, plus a partial strip that is not a whole line.
    SetWindowPos(r.b->hWnd, nullptr, 0, 0, 400, frame + (lines + 1) * r.h + r.h / 2, SWP_NOZORDER | SWP_NOMOVE);
    r.w->Show();
    UpdateWindow(r.w->hWnd);
    r.Paint();
  }
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;

  ~Rig() {
    if (w && w->hWnd) DestroyWindow(w->hWnd);
    Pump();
  }

  // Client y in the middle of screen line `line` (0: the header).
  int Y(int line) const { return line * h + h / 2; }
  int Top() const { return b->nAtRow() - b->nRowPos + 1; }
  // Puts row `at` on line `rowPos` and paints.
  void Place(int at, int rowPos) {
    b->nAt = at;
    b->nRowPos = rowPos;
    b->VSetPos(at);
    b->lHitTop = b->lHitBottom = false;
    Paint();
  }
  void Paint() {
    InvalidateRect(b->hWnd, nullptr, FALSE);
    UpdateWindow(b->hWnd);
    Pump();
  }
};

// The client area of a window as 0x00RRGGBB pixels.
struct Shot {
  int width = 0, height = 0;
  std::vector<DWORD> px;
  static Shot Of(HWND hWnd) {
    Shot s;
    s.px = nxtest::ClientPixels(hWnd, s.width, s.height);
    return s;
  }
  // Pixel rows [top, top + count) of this shot equal those of `o` from oTop.
  bool BandEquals(int top, const Shot& o, int oTop, int count) const {
    for (int y = 0; y < count; ++y)
      for (int x = 0; x < width; ++x)
        if (px[size_t(top + y) * size_t(width) + size_t(x)] != o.px[size_t(oTop + y) * size_t(o.width) + size_t(x)])
          return false;
    return true;
  }
  DWORD At(int x, int y) const { return px[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFF; }
};

// A substituted clock: the tick is set by the test; pauses are recorded and
// advance it; an optional hook runs inside each pause.
struct FakeClock {
  DWORD now = 1000;
  std::vector<DWORD> pauses;
  std::function<void(size_t step)> onSleep;
  BrowseClock previous;
  FakeClock() {
    previous = SetBrowseClock({[this] { return now; }, [this](DWORD ms) {
                                 pauses.push_back(ms);
                                 now += ms;
                                 if (onSleep) onSleep(pauses.size());
                               }});
  }
  ~FakeClock() { SetBrowseClock(previous); }
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;
};

}  // namespace kin
