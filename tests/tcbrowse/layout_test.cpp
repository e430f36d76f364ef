// Column layout of the column browse, read from its pixels: frozen columns,
// horizontal scrolling, exchanging columns by dragging a header, resizing by
// dragging a border, the selection's colours, and the cell painter itself.
#include <algorithm>

#include "draw/canvas.h"
#include "native/draw.h"
#include "support.h"
#include "rt/strings.h"

using namespace nx;
using namespace tctest;

namespace {

constexpr int kCols = 6, kWidth = 60;
// Column c's cells: background kBack[c - 1], text of the same colour, so a
// pixel row through a data line shows one run per drawn column.
constexpr COLORREF kBack[kCols] = {RGB(200, 0, 0), RGB(0, 200, 0),   RGB(0, 0, 200),
                                   RGB(200, 200, 0), RGB(0, 200, 200), RGB(200, 0, 200)};

int ColumnOf(COLORREF c) {
  for (int i = 0; i < kCols; ++i)
    if (kBack[i] == c) return i + 1;
  return 0;
}

// A browse of 30 rows and six 60-pixel columns that tell themselves apart
// by colour (numbered by their original position).
void Fill(Host& h) {
  auto table = NewArray();
  for (int r = 1; r <= 30; ++r) AAdd(table, Value("R" + std::to_string(r)));
  h.b->SetArray(table);
  for (int c = 1; c <= kCols; ++c) {
    TCBrowse* brw = h.b.get();
    auto col = TCColumn::New({.cHeading = "H" + std::to_string(c),
                              .bData = [brw](std::optional<Value>) { return AGet(brw->aArray, size_t(brw->nAtRow())); },
                              .bClrFore = [c](int, int) { return Value(int64_t(kBack[c - 1])); },
                              .bClrBack = [c](int, int) { return Value(int64_t(kBack[c - 1])); }});
    col->nWidth = kWidth;
    h.b->AddColumn(col);
  }
  h.b->nLineStyle = 0;
}

// The original numbers of the columns drawn on data line 3, left to right,
// with the x where each starts.
std::vector<std::pair<int, int>> Drawn(Host& h) {
  Shot s = Shot::Of(h.b->hWnd);
  std::vector<std::pair<int, int>> cols;
  for (const auto& run : s.Runs(h.Y(3))) cols.emplace_back(ColumnOf(run.c), run.x);
  return cols;
}

}  // namespace

TEST(ColumnLayout, FrozenColumnsStayWhileTheOthersScroll) {
  Host h(300, 300);
  Fill(h);
  h.b->nFreeze = 2;
  h.b->nColPos = 1;
  h.Show();
  int client = h.ClientWidth();
  ASSERT_GT(client, 4 * kWidth);
  ASSERT_LT(client, 5 * kWidth);
  // Frozen 1 and 2, then the scrolled part from 3, until the client's edge.
  std::vector<std::pair<int, int>> first{{1, 0}, {2, 60}, {3, 120}, {4, 180}, {5, 240}};
  EXPECT_EQ(Drawn(h), first);
  EXPECT_EQ(h.b->nColPos, 3);

  // Scrolling right by the bar moves the scrolled part only.
  SendMessageA(h.b->hWnd, WM_HSCROLL, SB_LINERIGHT, 0);
  h.Paint();
  std::vector<std::pair<int, int>> right{{1, 0}, {2, 60}, {4, 120}, {5, 180}, {6, 240}};
  EXPECT_EQ(Drawn(h), right);
  EXPECT_EQ(h.b->nColPos, 4);
  // The last column is reached: no further; and left goes back to 3, not
  // into the frozen ones.
  SendMessageA(h.b->hWnd, WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageA(h.b->hWnd, WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageA(h.b->hWnd, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(h.b->nColPos, 6);
  for (int i = 0; i < 5; ++i) SendMessageA(h.b->hWnd, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(h.b->nColPos, 3);
  h.Paint();
  EXPECT_EQ(Drawn(h), first);

  // Column numbers under x: frozen ones over the frozen part.
  EXPECT_EQ(h.b->nAtCol(10), 1);
  EXPECT_EQ(h.b->nAtCol(70), 2);
  EXPECT_EQ(h.b->nAtCol(130), 3);
  EXPECT_EQ(h.b->nAtCol(10, true), 3);  // as if nothing were frozen

  // SwitchCols refuses the frozen columns and exchanges the others.
  EXPECT_FALSE(h.b->SwitchCols(1, 3));
  EXPECT_FALSE(h.b->SwitchCols(4, 2));
  EXPECT_FALSE(h.b->SwitchCols(3, 7));
  EXPECT_TRUE(h.b->SwitchCols(3, 5));
  h.Paint();
  std::vector<std::pair<int, int>> switched{{1, 0}, {2, 60}, {5, 120}, {4, 180}, {3, 240}};
  EXPECT_EQ(Drawn(h), switched);

  // Without a horizontal bar one more, partial, line shows below the whole ones.
  h.b->lNoHScroll = true;
  h.FitLines(12);
  Shot s = Shot::Of(h.b->hWnd);
  int partial = (h.b->nRowCount() + 1) * h.LineHeight();
  ASSERT_LT(partial, s.height);
  EXPECT_EQ(s.At(10, partial), kBack[0]);
  EXPECT_EQ(s.At(10, s.height - 1), kBack[0]);
}

// A header dragged onto another exchanges the two columns, and the sort
// colour moves with the sorting column; a border dragged resizes its column
// down to nothing but not below, and the pointer leaving the header ends the
// drag with the width reached.
TEST(ColumnLayout, HeaderAndBorderDrags) {
  Host h(300, 300);
  Fill(h);
  h.b->nFreeze = 1;
  h.b->nColOrder = 3;
  h.b->nOClrBackHead = RGB(10, 20, 30);
  h.Show();
  int y = h.Y(0);
  auto headerBack = [&](int x) { return Shot::Of(h.b->hWnd).At(x, 4); };
  EXPECT_EQ(headerBack(150), RGB(10, 20, 30));

  h.Send(WM_LBUTTONDOWN, 150, y, MK_LBUTTON);  // header of column 3
  EXPECT_TRUE(h.b->lColDrag);
  EXPECT_EQ(h.b->nDragCol, 3);
  h.Send(WM_MOUSEMOVE, 270, y, MK_LBUTTON);
  h.Send(WM_LBUTTONUP, 270, y);  // dropped on column 5
  EXPECT_FALSE(h.b->lColDrag);
  EXPECT_EQ(h.b->nColOrder, 5);
  h.Paint();
  std::vector<std::pair<int, int>> exchanged{{1, 0}, {2, 60}, {5, 120}, {4, 180}, {3, 240}};
  EXPECT_EQ(Drawn(h), exchanged);
  EXPECT_EQ(headerBack(270), RGB(10, 20, 30));
  EXPECT_NE(headerBack(150), RGB(10, 20, 30));

  // A frozen header dropped on a scrolled one changes nothing.
  h.Send(WM_LBUTTONDOWN, 30, y, MK_LBUTTON);
  h.Send(WM_LBUTTONUP, 150, y);
  h.Paint();
  EXPECT_EQ(Drawn(h), exchanged);

  // The border of the third drawn column (x 180) dragged to 125: width 5;
  // on to 40, over the frozen column, the drag ends there.
  ASSERT_EQ(h.b->aColumns[2]->cHeading, "H5");
  h.Send(WM_LBUTTONDOWN, 181, y, MK_LBUTTON);
  EXPECT_TRUE(h.b->lLineDrag);
  h.Send(WM_MOUSEMOVE, 125, y, MK_LBUTTON);
  h.Send(WM_MOUSEMOVE, 40, y, MK_LBUTTON);
  EXPECT_FALSE(h.b->lLineDrag);
  EXPECT_EQ(h.b->aColSizes[2], 5);
  EXPECT_EQ(h.b->aColumns[2]->nWidth, 5);
  h.Send(WM_LBUTTONUP, 40, y);
  EXPECT_EQ(h.b->aColSizes[2], 5);

  // Column 4 (now from 125 to 185) dragged left past its own left edge
  // shrinks to nothing, not below.
  h.Send(WM_LBUTTONDOWN, 185, y, MK_LBUTTON);
  h.Send(WM_MOUSEMOVE, 121, y, MK_LBUTTON);
  h.Send(WM_LBUTTONUP, 121, y);
  EXPECT_EQ(h.b->aColSizes[3], 0);
  h.Paint();
  std::vector<std::pair<int, int>> shrunk{{1, 0}, {2, 60}, {5, 120}, {3, 125}, {6, 185}};
  EXPECT_EQ(Drawn(h), shrunk);
  // Its border now lies on its neighbour's: the press takes the rightmost,
  // so the vanished column can be widened again.
  h.Send(WM_LBUTTONDOWN, 125, y, MK_LBUTTON);
  h.Send(WM_MOUSEMOVE, 155, y, MK_LBUTTON);
  h.Send(WM_LBUTTONUP, 155, y);
  EXPECT_EQ(h.b->aColSizes[3], 30);
  EXPECT_EQ(h.b->aColSizes[2], 5);
}

// The current line: focus colours on the lit cells, grey without the focus,
// own colours for lNoLite columns, only the current cell with a cell cursor,
// and no highlight at all with lNoGrayBar while unfocused.
TEST(ColumnLayout, SelectionColours) {
  Host h(300, 300);
  Fill(h);
  h.b->aColumns[1]->lNoLite = true;
  h.b->nClrForeFocus = RGB(1, 2, 3);
  h.b->nClrBackFocus = RGB(4, 5, 6);
  h.Show();
  SetFocus(h.b->hWnd);
  Pump();
  h.Paint();
  int line = h.b->nRowPos, y = h.Y(line);
  auto at = [&](int x) { return Shot::Of(h.b->hWnd).At(x, y); };
  EXPECT_EQ(at(45), RGB(4, 5, 6));
  EXPECT_EQ(at(105), kBack[1]);  // lNoLite
  EXPECT_EQ(at(165), RGB(4, 5, 6));
  EXPECT_EQ(Shot::Of(h.b->hWnd).At(45, h.Y(line + 1)), kBack[0]);

  // The focus goes to another control of the window.
  HWND other = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 320, 50, 20, h.w->hWnd, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  SetFocus(other);
  Pump();
  ASSERT_FALSE(h.b->lFocused);
  h.Paint();
  EXPECT_EQ(at(45), RGB(128, 128, 128));
  h.b->lNoGrayBar = true;
  h.Paint();
  EXPECT_EQ(at(45), kBack[0]);

  h.b->lNoGrayBar = false;
  h.b->lCellStyle = true;
  h.b->nColAct = 3;
  SetFocus(h.b->hWnd);
  Pump();
  h.Paint();
  EXPECT_EQ(at(45), kBack[0]);
  EXPECT_EQ(at(165), RGB(4, 5, 6));
  EXPECT_EQ(at(225), kBack[3]);
}

// TCDRAWCELL: the fill, the text 2 pixels in by its alignment, the frames of
// the line styles, a header's dark edges, a bitmap, the last column to the
// right edge, and the device context left as it was.
TEST(ColumnCells, PainterPixels) {
  Host h(300, 200);
  h.Show();
  HWND hw = h.b->hWnd;
  int client = h.ClientWidth(), lh = h.LineHeight();
  drawtest::Canvas c(client, 200, RGB(255, 255, 255));
  HFONT font = TestFont()->hFont;
  const COLORREF back = RGB(255, 255, 200), fore = RGB(0, 0, 0);
  drawtest::DcState before = drawtest::DcState::Of(c.dc());
  auto ink = [&](int line, int x0, int x1) {
    std::pair<int, int> span{-1, -1};
    for (int x = x0; x < x1; ++x)
      for (int y = line * lh + 2; y < line * lh + lh - 2; ++y)
        if (c.At(x, y) == fore) {
          if (span.first < 0) span.first = x;
          span.second = x;
        }
    return span;
  };
  // Line 2, cells 100 pixels wide from x 10: left, centre, right.
  for (int align = 0; align <= 2; ++align) {
    c.Fill(RGB(255, 255, 255));
    TCDRAWCELL(hw, c.dc(), 2, 10, 100, Value("IIII"), align, fore, back, font, 0, Value(), 0);
    EXPECT_EQ(c.At(10, 2 * lh), back);
    EXPECT_EQ(c.At(109, 3 * lh - 1), back);
    EXPECT_EQ(c.At(110, 2 * lh + 3), RGB(255, 255, 255));
    EXPECT_EQ(c.At(10, 2 * lh - 1), RGB(255, 255, 255));
    auto [l, r] = ink(2, 10, 110);
    ASSERT_GE(l, 0) << align;
    // A glyph may start or end a pixel inside its advance.
    if (align == 0) {
      EXPECT_TRUE(l == 12 || l == 13) << l;
    } else if (align == 2) {
      EXPECT_TRUE(r == 107 || r == 106) << r;
    } else {
      EXPECT_LE(std::abs((l - 10) - (109 - r)), 1);
    }
  }
  // Frames: black and shadow lines at the right and bottom edges.
  for (int style : {1, 2}) {
    c.Fill(RGB(255, 255, 255));
    TCDRAWCELL(hw, c.dc(), 1, 10, 100, Value(""), 0, fore, back, font, 0, Value(), style);
    COLORREF line = style == 1 ? RGB(0, 0, 0) : GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(c.At(109, lh + 3), line);
    EXPECT_EQ(c.At(50, 2 * lh - 1), line);
    EXPECT_EQ(c.At(10, lh + 3), back);
  }
  c.Fill(RGB(255, 255, 255));
  TCDRAWCELL(hw, c.dc(), 1, 10, 100, Value(""), 0, fore, back, font, 0, Value(), 3);
  EXPECT_EQ(c.At(10, lh + 3), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(c.At(50, lh), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(c.At(109, lh + 3), GetSysColor(COLOR_BTNSHADOW));
  // A header: raised, with a dark outer bottom and right edge.
  c.Fill(RGB(255, 255, 255));
  TCDRAWCELL(hw, c.dc(), 0, 10, 100, Value("H"), 0, fore, back, font, 0, Value(), 3);
  EXPECT_EQ(c.At(109, 3), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.At(50, lh - 1), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.At(108, 3), GetSysColor(COLOR_BTNSHADOW));
  // Dotted: some of the frame, not all of it.
  c.Fill(RGB(255, 255, 255));
  TCDRAWCELL(hw, c.dc(), 1, 10, 100, Value(""), 0, fore, back, font, 0, Value(), 4);
  int dots = 0;
  for (int x = 10; x < 110; ++x) dots += c.At(x, lh) != back;
  EXPECT_GT(dots, 20);
  EXPECT_LT(dots, 80);
  // Width -1 and a width past the edge reach the client's right edge.
  c.Fill(RGB(255, 255, 255));
  TCDRAWCELL(hw, c.dc(), 1, 200, -1, Value(""), 0, fore, back, font, 0, Value(), 0);
  EXPECT_EQ(c.At(client - 1, lh + 2), back);
  // A bitmap 2 pixels in, over the back colour, clipped to the cell.
  // Its corner colour is the transparent one.
  HBITMAP bmp = drawtest::MakeBitmap(c.dc(), 8, 40, [](int x, int y) {
    return x == 0 && y == 0 ? RGB(255, 255, 255) : RGB(0, 128, 0);
  });
  c.Fill(RGB(255, 255, 255));
  TCDRAWCELL(hw, c.dc(), 1, 10, 100, Value(int64_t(reinterpret_cast<intptr_t>(bmp))), 0, fore, back, font, 1,
             Value(), 0);
  EXPECT_EQ(c.At(11, lh + 4), back);
  EXPECT_EQ(c.At(12, lh + 4), RGB(0, 128, 0));
  EXPECT_EQ(c.At(12, 2 * lh), RGB(255, 255, 255));
  DeleteObject(bmp);
  EXPECT_TRUE(drawtest::DcState::Of(c.dc()) == before);
}

// Column objects as New makes them: alignment words, widths in dialog
// units or measured, colours by block or by colour pair; and a column that
// takes the browse's spare width.
TEST(ColumnObject, NewAndSpareWidth) {
  for (auto [align, n] : std::vector<std::pair<Value, int>>{
           {Value("LEFT"), 0}, {Value("right"), 2}, {Value("R"), 2}, {Value("C"), 1}, {Value("ENT"), 1},
           {Value("IGHT"), 2}, {Value("x"), 0}, {Value(2), 2}, {Value(5), 0}, {Value(), 0}})
    EXPECT_EQ(TCColumn::New({.cAlign = align})->nAlign, n) << cValToChar(align);

  EXPECT_EQ(TCColumn::New({.nWidth = 40})->nWidth, int(40 * double(LOWORD(GetDialogBaseUnits())) / 8));
  EXPECT_EQ(TCColumn::New({.lBitmap = true})->nWidth, 16);
  auto measured = TCColumn::New({.cHeading = "Name", .bData = [](std::optional<Value>) { return Value("abc"); }});
  EXPECT_EQ(measured->nWidth, int(0.67 * GETTEXTWIDTH(nullptr, "BBBBB")));
  EXPECT_EQ(measured->cMsg, "Press Esc to cancel");
  EXPECT_EQ(TCColumn::New({.cMsg = "Name"})->cMsg, "Name,   press Esc to cancel");
  auto price = TCColumn::New({.bData = [](std::optional<Value>) { return Value(1234.5, 2); }, .cPicture = "9,999.99"});
  EXPECT_EQ(price->Text(), "1,234.50");

  auto pair = TCColumn::New({.bClrFore = [](int, int) { return Value("W+/B"); }});
  ASSERT_TRUE(pair->bClrFore && pair->bClrBack);
  EXPECT_EQ(pair->bClrFore(1, 1), RGB(255, 255, 255));
  EXPECT_EQ(pair->bClrBack(1, 1), RGB(0, 0, 128));
  // Black is a colour; a back colour may come alone; NIL is none.
  auto black = TCColumn::New({.bClrFore = [](int, int) { return Value(0); },
                              .bClrBack = [](int line, int) { return Value(int64_t(line ? RGB(1, 1, 1) : RGB(2, 2, 2))); }});
  ASSERT_TRUE(black->bClrFore && black->bClrBack);
  EXPECT_EQ(black->bClrFore(3, 1), RGB(0, 0, 0));
  EXPECT_EQ(black->bClrBack(3, 1), RGB(1, 1, 1));
  EXPECT_FALSE(TCColumn::New({.bClrFore = [](int, int) { return Value(); }})->bClrFore);
  EXPECT_TRUE(TCColumn::New({.bClrBack = [](int, int) { return Value(5); }})->bClrBack);

  Host h(300, 200);
  for (int c = 1; c <= 3; ++c) {
    auto col = TCColumn::New({.cHeading = std::to_string(c)});
    col->nWidth = 50;
    h.b->AddColumn(col);
  }
  h.b->nAdjColumn = 2;
  h.Show();
  int spare = h.ClientWidth() - 150;
  ASSERT_GT(spare, 0);
  EXPECT_EQ(h.b->aColSizes, (std::vector<int>{50, 50 + spare, 50}));
  EXPECT_EQ(h.b->aColumns[1]->nWidth, 50 + spare);
  EXPECT_FALSE(h.b->nAdjColumn);
}
