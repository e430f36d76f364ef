// Navigation: what each move shows, its bookkeeping, and the scroll bar.
// Pixels are read back from the window's device context: under Wine (and
// with desktop composition on Windows) the window keeps what was drawn.
#include "kinetic/rig.h"

using namespace kin;

namespace {

// What a move drew at once equals a full repaint. (The move's own drawing is
// read before any message runs: under Wine ScrollWindowEx without
// SW_INVALIDATE still leaves the whole client invalid, unlike Windows, so a
// repaint follows there anyway.)
void ExpectDrawnAsPainted(Rig& r, int lines) {
  Shot drawn = Shot::Of(r.b->hWnd);
  r.Paint();
  Shot painted = Shot::Of(r.b->hWnd);
  for (int line = 0; line <= lines; ++line)
    EXPECT_TRUE(drawn.BandEquals(line * r.h, painted, line * r.h, r.h)) << "line " << line;
}

void SetCtrl(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

}  // namespace

TEST(BrowseRows, GoUpOnTheFirstRowHitsTopRedrawsAndStillChanges) {
  Rig r(100);
  r.Place(1, 1);
  int changes = 0;
  r.b->bChange = [&](TWBrowse&) { ++changes; };
  Shot before = Shot::Of(r.b->hWnd);
  HDC dc = GetDC(r.b->hWnd);
  RECT line1{2, r.h + 1, 97, 2 * r.h - 1};  // inside the first cell's borders
  FillRect(dc, &line1, HBRUSH(GetStockObject(BLACK_BRUSH)));
  r.b->GoUp();
  EXPECT_TRUE(r.b->lHitTop);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(r.b->nAtRow(), 1);
  Shot after = Shot::Of(r.b->hWnd);
  EXPECT_TRUE(after.BandEquals(r.h, before, r.h, r.h)) << "the selection was not redrawn";


  // A second GoUp does nothing at all.
  FillRect(dc, &line1, HBRUSH(GetStockObject(BLACK_BRUSH)));
  r.b->GoUp();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Shot::Of(r.b->hWnd).At(50, r.h + r.h / 2), 0u) << "the second GoUp drew";
  ReleaseDC(r.b->hWnd, dc);
}

TEST(BrowseRows, GoDownOnTheLastLineShiftsTheLinesByOneLine) {
  Rig r(100);
  r.Place(20, 20);
  Shot a = Shot::Of(r.b->hWnd);
  r.b->GoDown();
  EXPECT_EQ(r.b->nAtRow(), 21);
  EXPECT_EQ(r.b->nRowPos, 20);
  EXPECT_EQ(r.b->VGetPos(), 21);
  Shot b = Shot::Of(r.b->hWnd);
  EXPECT_TRUE(b.BandEquals(0, a, 0, r.h)) << "the header moved";
  for (int line = 1; line <= 18; ++line)
    EXPECT_TRUE(b.BandEquals(line * r.h, a, (line + 1) * r.h, r.h)) << "line " << line;
  ExpectDrawnAsPainted(r, 20);
}

TEST(BrowsePages, PageDownWithAPageAndAHalfLeftShowsTheLastRowOnTheLastLine) {
  Rig r(100);
  r.Place(70, 1);  // 30 rows after the current one
  r.b->PageDown();
  EXPECT_EQ(r.b->nAtRow(), 81);
  EXPECT_EQ(r.b->nRowPos, 1);
  EXPECT_EQ(r.Top() + 19, 100);
  EXPECT_FALSE(r.b->lHitBottom);
  EXPECT_EQ(r.b->VGetPos(), 81);
  ExpectDrawnAsPainted(r, 20);
}

TEST(BrowsePages, PageDownWithFiveRowsLeftFromLine18MakesTheLastRowCurrent) {
  Rig r(100);
  r.Place(95, 18);
  r.b->PageDown();
  EXPECT_EQ(r.b->nAtRow(), 100);
  EXPECT_EQ(r.b->nRowPos, 20);
  EXPECT_EQ(r.Top(), 81);
  EXPECT_TRUE(r.b->lHitBottom);
  EXPECT_EQ(r.b->VGetPos(), 100);
  ExpectDrawnAsPainted(r, 20);
  // At the bottom a further PageDown does nothing.
  r.b->PageDown();
  EXPECT_EQ(r.b->nAtRow(), 100);
}

TEST(BrowseScrollBar, ThumbOfA25000RowSourceMapsThroughTenThousandPositions) {
  Rig r(25000);
  int lo = -1, hi = -1;
  GetScrollRange(r.b->hWnd, SB_VERT, &lo, &hi);
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(hi, 10000);
  SendMessageA(r.b->hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5000), 0);
  EXPECT_EQ(r.b->nAtRow(), 12500);
  EXPECT_EQ(r.b->VGetPos(), 12500);
  EXPECT_EQ(GetScrollPos(r.b->hWnd, SB_VERT), 5000);
  // One row down moves the bar by its share only.
  r.b->GoDown();
  EXPECT_EQ(GetScrollPos(r.b->hWnd, SB_VERT), int(12501LL * 10000 / 25000));
}

TEST(BrowseScrollBar, ThumbDropsNearTheEndsAlignTheScreen) {
  Rig r(1000);
  r.Place(500, 10);
  SendMessageA(r.b->hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), 0);
  EXPECT_EQ(r.b->nAtRow(), 5);
  EXPECT_EQ(r.b->nRowPos, 1);
  SendMessageA(r.b->hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 995), 0);
  EXPECT_EQ(r.b->nAtRow(), 995);
  EXPECT_EQ(r.Top() + 19, 1000) << "the last row is not on the last line";
  SendMessageA(r.b->hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1000), 0);
  EXPECT_EQ(r.b->nAtRow(), 1000);
  EXPECT_EQ(r.b->nRowPos, 20);
  // Messages of another scroll bar are not the browse's.
  SendMessageA(r.b->hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), LPARAM(r.w->hWnd));
  EXPECT_EQ(r.b->nAtRow(), 1000);
}

TEST(BrowseWheel, LowestFifthScrollsColumnsMiddleButtonPagesElseRows) {
  Rig r(1000);
  r.Place(1, 1);
  auto wheel = [&](int line, int keys, int delta) {
    POINT p{150, r.Y(line)};
    ClientToScreen(r.b->hWnd, &p);
    SendMessageA(r.b->hWnd, WM_MOUSEWHEEL, MAKEWPARAM(keys, delta), MAKELPARAM(p.x, p.y));
  };
  wheel(20, 0, -WHEEL_DELTA);
  EXPECT_EQ(r.b->nColPos, 2);
  EXPECT_EQ(r.b->nAtRow(), 1);
  wheel(20, 0, WHEEL_DELTA);
  EXPECT_EQ(r.b->nColPos, 1);
  wheel(5, 0, -3 * WHEEL_DELTA);  // one move whatever the delta
  EXPECT_EQ(r.b->nAtRow(), 2);
  EXPECT_EQ(r.b->nColPos, 1);
  wheel(5, MK_MBUTTON, -WHEEL_DELTA);
  EXPECT_GT(r.b->nAtRow(), 20);
  int paged = r.b->nAtRow();
  wheel(5, MK_MBUTTON, WHEEL_DELTA);
  EXPECT_LT(r.b->nAtRow(), paged);
}

TEST(BrowseKeys, CtrlPageDownGoesToTheLastRowCtrlPageUpToTheFirst) {
  Rig r(100);
  r.Place(1, 1);
  SendMessageA(r.b->hWnd, WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ(r.b->nAtRow(), 21);
  SetCtrl(true);
  SendMessageA(r.b->hWnd, WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ(r.b->nAtRow(), 100);
  EXPECT_EQ(r.b->nRowPos, 20);
  EXPECT_TRUE(r.b->lHitBottom);
  SendMessageA(r.b->hWnd, WM_KEYDOWN, VK_PRIOR, 0);
  SetCtrl(false);
  EXPECT_EQ(r.b->nAtRow(), 1);
  EXPECT_TRUE(r.b->lHitTop);
}
