// The browse's mouse cases other than the drag itself (column borders, the
// header, leaving the window, empty browses, double clicks), the glide's
// schedules, and the scroll-bar codes and dialog code.
#include "kinetic/rig.h"

using namespace kin;

namespace {

constexpr int kX = 150;  // inside column 2

void Send(Rig& r, UINT nMsg, int x, int line, WPARAM keys = 0) {
  SendMessageA(r.b->hWnd, nMsg, keys, MAKELPARAM(x, r.Y(line)));
}
// A press, moves over `lines` lines upwards from `from` within `ms`, and a release.
void Flick(Rig& r, FakeClock& c, int from, int lines, DWORD ms) {
  c.now = 1000;
  Send(r, WM_LBUTTONDOWN, kX, from, MK_LBUTTON);
  for (int i = 1; i <= lines; ++i) {
    c.now = 1000 + ms * DWORD(i) / DWORD(lines);
    Send(r, WM_MOUSEMOVE, kX, from - i, MK_LBUTTON);
  }
  Send(r, WM_LBUTTONUP, kX, from - lines);
}

}  // namespace

TEST(GlideSchedule, FortyRowsFromSpeed320AndTwelveFromSpeed100) {
  {
    Rig r(1000);
    FakeClock c;
    r.Place(300, 15);
    Flick(r, c, 15, 10, 100);  // 400 lines per 4 s: 40 steps of 4 i ms, at most 120
    std::vector<DWORD> expected;
    for (DWORD i = 1; i <= 40; ++i) expected.push_back(std::min<DWORD>(120, 4 * i));
    EXPECT_EQ(c.pauses, expected);
    EXPECT_EQ(r.b->nAtRow(), 300 + 19 - 14 + 10 + 40);  // the last line's row, then 40 rows on
  }
  {
    Rig r(1000);
    FakeClock c;
    r.Place(300, 15);
    Flick(r, c, 15, 10, 400);  // speed 100: n = 12.5, unit 12.8 ms
    EXPECT_EQ(c.pauses, (std::vector<DWORD>{12, 25, 38, 51, 64, 76, 89, 102, 115, 120, 120, 120}));
  }
}

TEST(BrowseMouse, ColumnBordersAreHitWithinOnePixelAndKeepFivePixels) {
  Rig r(1000);
  r.Place(100, 5);
  // One pixel beside the border at 100 is not on it: an ordinary press.
  Send(r, WM_LBUTTONDOWN, 97, 0, MK_LBUTTON);
  EXPECT_FALSE(r.b->lCaptured);
  Send(r, WM_LBUTTONUP, 97, 0);
  for (int x : {99, 100, 101}) {
    Send(r, WM_LBUTTONDOWN, x, 0, MK_LBUTTON);
    EXPECT_TRUE(r.b->lCaptured) << x;
    Send(r, WM_LBUTTONUP, x, 0);
    EXPECT_FALSE(r.b->lCaptured);
    EXPECT_EQ(r.b->aColSizes, (std::vector<int>{100, 100, 100})) << "released where it was pressed";
  }
  Send(r, WM_LBUTTONDOWN, 101, 3, MK_LBUTTON);
  Send(r, WM_MOUSEMOVE, 160, 3, MK_LBUTTON);
  Send(r, WM_LBUTTONUP, 160, 3);
  EXPECT_EQ(r.b->aColSizes, (std::vector<int>{160, 100, 100}));
  EXPECT_EQ(r.b->nAtRow(), 100) << "resizing a column moves no row";
  // Dragged past the column's left edge it keeps five pixels.
  Send(r, WM_LBUTTONDOWN, 159, 3, MK_LBUTTON);
  Send(r, WM_MOUSEMOVE, 2, 3, MK_LBUTTON);
  Send(r, WM_LBUTTONUP, 2, 3);
  EXPECT_EQ(r.b->aColSizes, (std::vector<int>{5, 100, 100}));
  // Without lMChange a border is an ordinary place.
  r.b->lMChange = false;
  Send(r, WM_LBUTTONDOWN, 105, 0, MK_LBUTTON);
  EXPECT_FALSE(r.b->lCaptured);
  Send(r, WM_LBUTTONUP, 105, 0);
}

TEST(BrowseMouse, HeaderRunsTheColumnsActionAndMovesNoRow) {
  Rig r(1000);
  r.Place(100, 5);
  std::vector<std::pair<int, int>> calls;
  r.b->aActions = std::vector<HeaderAction>{
      [&](TWBrowse&, int nRow, int nCol) { calls.emplace_back(nRow, nCol); }, HeaderAction{}};
  Send(r, WM_LBUTTONDOWN, 50, 0, MK_LBUTTON);
  Send(r, WM_LBUTTONUP, 50, 0);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], std::make_pair(r.Y(0), 50));
  // Column 2 has no action and column 3 none at all: a beep only.
  Send(r, WM_LBUTTONDOWN, kX, 0, MK_LBUTTON);
  Send(r, WM_LBUTTONUP, kX, 0);
  Send(r, WM_LBUTTONDOWN, 250, 0, MK_LBUTTON);
  Send(r, WM_LBUTTONUP, 250, 0);
  EXPECT_EQ(calls.size(), 1u);
  EXPECT_EQ(r.b->nAtRow(), 100);
  EXPECT_EQ(r.b->nRowPos, 5);
}

TEST(BrowseMouse, LeavingTheWindowEndsTheDragWithoutAGlide) {
  Rig r(1000);
  FakeClock c;
  r.Place(300, 15);
  c.now = 1000;
  Send(r, WM_LBUTTONDOWN, kX, 15, MK_LBUTTON);
  for (int i = 1; i <= 10; ++i) {
    c.now = 1000 + 10 * DWORD(i);
    Send(r, WM_MOUSEMOVE, kX, 15 - i, MK_LBUTTON);
  }
  int at = r.b->nAtRow();
  SendMessageA(r.b->hWnd, WM_MOUSELEAVE, 0, 0);
  Send(r, WM_LBUTTONUP, kX, 5);
  EXPECT_TRUE(c.pauses.empty()) << "a fast drag that left the window must not glide";
  EXPECT_EQ(r.b->nAtRow(), at);
}

// The real pointer leaves: the system's report ends the drag, every time,
// though the browse asks for the report once and not at every move.
namespace {
int g_leaves = 0;
WNDPROC g_beforeLeaves = nullptr;
LRESULT CALLBACK CountLeaves(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_MOUSELEAVE) ++g_leaves;
  return CallWindowProcA(g_beforeLeaves, h, m, w, l);
}
}  // namespace

TEST(BrowseMouse, EveryDragEndsWhenTheRealPointerLeaves) {
  Rig r(1000);
  FakeClock c;
  r.Place(300, 15);
  g_leaves = 0;
  g_beforeLeaves = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(r.b->hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountLeaves)));
  POINT in{kX, r.Y(15)};
  ClientToScreen(r.b->hWnd, &in);
  for (int round = 1; round <= 2; ++round) {
    SetCursorPos(in.x, in.y);
    Pump();  // a leave the last round's move outside may have brought
    const int before = g_leaves;
    Send(r, WM_LBUTTONDOWN, kX, 15, MK_LBUTTON);
    for (int line = 14; line >= 12; --line) Send(r, WM_MOUSEMOVE, kX, line, MK_LBUTTON);
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    ASSERT_TRUE(nxtest::PumpUntil([&] { return g_leaves > before; }, 30)) << "no leave reported in drag " << round;
    // The drag is over: a move with the button down no longer moves rows.
    int top = r.Top();
    Send(r, WM_MOUSEMOVE, kX, 5, MK_LBUTTON);
    EXPECT_EQ(r.Top(), top) << "drag " << round;
    Send(r, WM_LBUTTONUP, kX, 5);
  }
  EXPECT_TRUE(c.pauses.empty());
}

TEST(BrowseMouse, ClicksOnAnEmptyBrowseChangeNothing) {
  Rig r(0);
  int changes = 0, edits = 0;
  r.b->bChange = [&](TWBrowse&) { ++changes; };
  r.b->lAutoEdit = true;
  r.b->bEdit = [&](TWBrowse&, int) { ++edits; };
  for (int line : {1, 3, 0}) {
    Send(r, WM_LBUTTONDOWN, kX, line, MK_LBUTTON);
    Send(r, WM_LBUTTONUP, kX, line);
    Send(r, WM_LBUTTONDBLCLK, kX, line, MK_LBUTTON);
    Send(r, WM_LBUTTONUP, kX, line);
  }
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(edits, 0);
  EXPECT_EQ(r.b->nLen, 0);
  EXPECT_EQ(r.b->nRowPos, 1);
}

TEST(BrowseMouse, DoubleClickOnTheCurrentLineEditsOrReachesTheHook) {
  Rig r(1000);
  r.Place(100, 5);
  std::vector<int> edited;
  int hooks = 0;
  r.b->bEdit = [&](TWBrowse&, int nCol) { edited.push_back(nCol); };
  r.b->bLDblClick = [&](int, int, int, TWindow&) { return ++hooks, Value(); };
  r.b->lAutoEdit = true;
  Send(r, WM_LBUTTONDBLCLK, 250, 5, MK_LBUTTON);  // column 3 of the current line
  Send(r, WM_LBUTTONDBLCLK, kX, 6, MK_LBUTTON);   // another line: nothing
  EXPECT_EQ(edited, std::vector<int>{3});
  EXPECT_EQ(hooks, 0);
  r.b->lAutoEdit = false;
  Send(r, WM_LBUTTONDBLCLK, kX, 5, MK_LBUTTON);
  EXPECT_EQ(edited.size(), 1u);
  EXPECT_EQ(hooks, 1);
}

TEST(BrowseScrollCodes, VerticalCodesMoveTheRowsOthersAreLeftToTheSystem) {
  Rig r(1000);
  r.Place(100, 5);
  auto code = [&](int c, int pos = 0, LPARAM bar = 0) {
    return r.b->VScroll(MAKEWPARAM(c, pos), bar);
  };
  EXPECT_EQ(code(SB_LINEDOWN).AsInt(), 0);
  EXPECT_EQ(r.b->nAtRow(), 101);
  code(SB_LINEUP);
  EXPECT_EQ(r.b->nAtRow(), 100);
  code(SB_PAGEDOWN);
  int paged = r.b->nAtRow();
  EXPECT_GT(paged, 110);
  code(SB_PAGEUP);
  EXPECT_LT(r.b->nAtRow(), paged - 10);
  EXPECT_TRUE(code(SB_THUMBTRACK, 500).IsNil());
  EXPECT_TRUE(code(SB_ENDSCROLL).IsNil());
  EXPECT_EQ(r.b->nAtRow(), 100);
  EXPECT_EQ(code(SB_BOTTOM, 0, LPARAM(r.w->hWnd)).AsInt(), 0);  // another bar's message
  EXPECT_EQ(r.b->nAtRow(), 100);
  code(SB_BOTTOM);
  EXPECT_EQ(r.b->nAtRow(), 1000);
  code(SB_TOP);
  EXPECT_EQ(r.b->nAtRow(), 1);
  EXPECT_EQ(r.b->nRowPos, 1);
}

TEST(BrowseScrollCodes, HorizontalCodesCellCursorAndDialogCode) {
  Rig r(1000);
  r.b->aColSizes = {150, 150, 150};  // two columns wholly on the screen
  r.Paint();
  auto code = [&](int c, int pos = 0) { return r.b->HScroll(MAKEWPARAM(c, pos), 0); };
  EXPECT_EQ(code(SB_RIGHT).AsInt(), 0);
  EXPECT_EQ(r.b->nColPos, 3);
  code(SB_LEFT);
  EXPECT_EQ(r.b->nColPos, 1);
  code(SB_PAGERIGHT);
  EXPECT_EQ(r.b->nColPos, 3);  // past the columns wholly shown
  EXPECT_EQ(r.b->nColAct, 3);
  code(SB_PAGELEFT);
  EXPECT_EQ(r.b->nColPos, 1);
  code(SB_THUMBPOSITION, 2);
  EXPECT_EQ(r.b->nColPos, 2);
  code(SB_LINELEFT);
  EXPECT_EQ(r.b->nColPos, 1);
  code(SB_LINERIGHT);
  EXPECT_EQ(r.b->nColPos, 2);
  EXPECT_TRUE(code(SB_THUMBTRACK, 3).IsNil());
  EXPECT_EQ(r.b->nColPos, 2);
  // With the cell cursor a visible column becomes current without scrolling.
  code(SB_LEFT);
  r.b->lCellStyle = true;
  r.b->GoRight();
  EXPECT_EQ(r.b->nColAct, 2);
  EXPECT_EQ(r.b->nColPos, 1);
  r.b->GoRight();  // column 3 is not wholly shown: the columns scroll
  EXPECT_EQ(r.b->nColAct, 3);
  EXPECT_EQ(r.b->nColPos, 2);
  r.b->GoLeft();
  EXPECT_EQ(r.b->nColAct, 2);
  EXPECT_EQ(r.b->nColPos, 2);

  // The keys the parent remembers, and all keys wanted while enabled.
  EXPECT_EQ(r.b->GetDlgCode(VK_UP).AsInt(), DLGC_WANTALLKEYS);
  EXPECT_EQ(r.w->nLastKey, VK_UP);
  r.b->GetDlgCode('A');
  EXPECT_EQ(r.w->nLastKey, 0);
  r.w->lValidating = true;
  r.b->GetDlgCode(VK_TAB);
  EXPECT_EQ(r.w->nLastKey, 0);
  r.w->lValidating = false;
  EnableWindow(r.b->hWnd, FALSE);
  EXPECT_EQ(r.b->GetDlgCode(VK_TAB).AsInt(), 0);
  EnableWindow(r.b->hWnd, TRUE);
}
