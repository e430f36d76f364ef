// The picture a browse keeps between paints and the bar it redraws only when
// the thumb moves: after every kind of move the window (bar included) shows
// exactly what a full repaint of it shows, and a paint reads the data as a
// full one does.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "browse/browse_support.h"
#include "native/browse.h"
#include "native/dispatch.h"
#include "rt/value.h"

using namespace nx;
using namespace browsetest;

namespace {

// The whole window, frame and bars included, as pixels.
std::vector<DWORD> WindowPixels(HWND hWnd) {
  RECT r{};
  GetWindowRect(hWnd, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  HDC dc = GetWindowDC(hWnd);
  HDC mem = CreateCompatibleDC(dc);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, dc, 0, 0, SRCCOPY);
  GdiFlush();
  auto* p = static_cast<const DWORD*>(bits);
  std::vector<DWORD> px(p, p + size_t(w) * size_t(h));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(hWnd, dc);
  return px;
}

size_t Differing(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
  if (a.size() != b.size()) return std::max(a.size(), b.size());
  size_t n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

// The demo's shape: 1000 rows of eight texts, seven 100-pixel columns, a
// browse filling a window, with its vertical bar; row 5 shows a bitmap
// taller than a line in its eighth column.
struct Demo {
  Parent parent{820, 560};
  ArrayPtr table = Table(1000, 8);
  TWBrowsePtr b;
  HBITMAP tall = nullptr;
  std::vector<int> reads;  // nAt at every row block call

  Demo() {
    tall = CreateBitmap(12, 40, 1, 1, nullptr);
    b = ArrayBrowse(parent.get(), table, 8, {100, 100, 100, 100, 100, 100, 100}, 780, 500);
    auto plain = b->bLine;
    b->bLine = [this, plain](TWBrowse& brw) {
      reads.push_back(brw.nAtRow());
      Array row = plain(brw);
      if (brw.nAtRow() == 5) row[7] = Value(int64_t(reinterpret_cast<intptr_t>(tall)));
      return row;
    };
    ShowWindow(parent.get()->hWnd, SW_SHOW);
    UpdateWindow(parent.get()->hWnd);
  }
  ~Demo() {
    if (parent.get()->hWnd) DestroyWindow(parent.get()->hWnd);
    DeleteObject(tall);
  }

  void Settle() {
    SYSREFRESH();
    UpdateWindow(b->hWnd);
  }
  // The window now against a full repaint of it and its frame.
  void Expect(const std::string& step) {
    Settle();
    std::vector<DWORD> shown = WindowPixels(b->hWnd);
    b->ForgetPicture();
    RedrawWindow(b->hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(Differing(shown, WindowPixels(b->hWnd)), 0u) << step << ", line style " << b->nLineStyle;
  }
  LPARAM At(int line) const { return MAKELPARAM(150, line * LineHeight(TestHFont()) + 3); }
};

TEST(KeptPicture, EveryMoveShowsWhatAFullRepaintShows) {
  Demo d;
  TWBrowse& b = *d.b;
  ASSERT_TRUE(b.oVScroll);
  BrowseClock standing = SetBrowseClock({.tick = [] { return DWORD(5000); }, .sleep = [](DWORD) {}});
  for (int style : {2, 0, 1, 3, 4, 5, 6, 7, 8}) {
    b.nLineStyle = style;
    b.GoTop();
    b.Refresh();
    d.Expect("top");
    for (int i = 0; i < 30; ++i) {
      b.GoDown();
      if (i % 7 == 6) d.Expect("down " + std::to_string(i));
    }
    d.Expect("down past the last line");
    for (int i = 0; i < 3; ++i) b.GoUp();
    b.Refresh();
    d.Expect("up and refreshed");
    b.PageDown();
    d.Expect("page down");
    b.PageUp();
    d.Expect("page up");
    if (style != 2 && style != 4) continue;
    b.GoBottom();
    d.Expect("bottom");
    b.GoUp();
    b.Refresh();
    d.Expect("up from the bottom");
    b.GoTop();
    d.Expect("top again");
    // A drag down and back: the rows follow the pointer, the bar moves and
    // moves back.
    SendMessageA(b.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, d.At(10));
    for (int line = 11; line <= 16; ++line) SendMessageA(b.hWnd, WM_MOUSEMOVE, MK_LBUTTON, d.At(line));
    d.Expect("dragged");
    for (int line = 15; line >= 4; --line) SendMessageA(b.hWnd, WM_MOUSEMOVE, MK_LBUTTON, d.At(line));
    SendMessageA(b.hWnd, WM_LBUTTONUP, 0, d.At(4));
    d.Expect("dragged back and released");
    // The cell cursor.
    b.lCellStyle = true;
    b.GoRight();
    b.GoRight();
    b.GoDown();
    d.Expect("cell cursor");
    b.lCellStyle = false;
    b.Refresh();
    // Out of focus and back.
    SetFocus(d.parent.get()->hWnd);
    d.Expect("focus away");
    SetFocus(b.hWnd);
    d.Expect("focus back");
  }
  // A glide: ten lines in 50 ticks, released, run without pauses.
  DWORD tick = 1000;
  SetBrowseClock({.tick = [&] { return tick; }, .sleep = [](DWORD) {}});
  b.GoTop();
  SendMessageA(b.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, d.At(25));
  for (int line = 24; line >= 15; --line) {
    tick += 5;
    SendMessageA(b.hWnd, WM_MOUSEMOVE, MK_LBUTTON, d.At(line));
  }
  SendMessageA(b.hWnd, WM_LBUTTONUP, 0, d.At(15));
  d.Expect("glided");
  // A new brush and a new width drop the picture.
  b.SetColor(RGB(0, 0, 128), RGB(255, 255, 224));
  b.Refresh();
  d.Expect("new colours");
  MoveWindow(b.hWnd, 0, 0, 640, 420, TRUE);
  d.Expect("resized");
  SetBrowseClock(standing);
}

TEST(KeptPicture, APaintReadsTheRowsAFullPaintReads) {
  Demo d;
  TWBrowse& b = *d.b;
  for (int i = 0; i < 40; ++i) b.GoDown();
  d.Settle();
  d.reads.clear();
  b.Refresh();
  d.Settle();  // the picture is kept: nothing changed
  std::vector<int> kept = d.reads;
  d.reads.clear();
  b.ForgetPicture();
  b.Refresh();
  d.Settle();
  EXPECT_FALSE(kept.empty());
  EXPECT_EQ(kept, d.reads);
}

}  // namespace
