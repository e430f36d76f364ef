// Array sources, painting of whole browses (header, lines, selection), the
// column geometry methods, and the demo's table and browse.
#include <gtest/gtest.h>

#include "browse_support.h"
#include "native/draw.h"
#include "rt/strings.h"
#include "rt/workarea.h"

// The demo is a program, not part of the library: its unit joins this test.
#include "app/demo.cpp"

using namespace nx;
using namespace browsetest;
using drawtest::Canvas;

namespace {

constexpr COLORREF kPane = RGB(255, 255, 220);

class ArraySource : public testing::Test {
 protected:
  Parent parent;
  int h = LineHeight(TestHFont());

  TWBrowsePtr Make(const ArrayPtr& t, int cols = 3, std::vector<int> sizes = {100, 100, 100}) {
    auto b = ArrayBrowse(parent.get(), t, cols, std::move(sizes));
    b->SetColor(kBlack, kPane);
    return b;
  }
  static RECT Client(const TWBrowse& b) {
    RECT r{};
    GetClientRect(b.hWnd, &r);
    return r;
  }
};

}  // namespace

TEST_F(ArraySource, EmptyArrayCountsZeroAndSkipsNowhere) {
  auto t = NewArray();
  auto b = Make(t);
  EXPECT_EQ(b->cAlias, "ARRAY");
  EXPECT_EQ(b->bLogicLen(*b), 0);
  EXPECT_EQ(b->nLen, 0);
  EXPECT_EQ(b->nAtRow(), 1);
  // No rows: a skip either way moves none, and the position becomes 0.
  EXPECT_EQ(b->Skip(1), 0);
  EXPECT_EQ(b->nAtRow(), 0);
  EXPECT_EQ(b->Skip(-1), 0);
  EXPECT_EQ(b->Skip(5), 0);
  EXPECT_EQ(b->nAtRow(), 0);
  b->bGoBottom(*b);
  EXPECT_EQ(b->nAtRow(), 0);
  b->bGoTop(*b);
  EXPECT_EQ(b->nAtRow(), 1);
}

TEST_F(ArraySource, SkipAnswersTheRowsReallyMoved) {
  auto b = Make(Table(10, 3));
  EXPECT_EQ(b->Skip(7), 7);
  EXPECT_EQ(b->nAtRow(), 8);
  EXPECT_EQ(b->Skip(5), 2);  // two rows left
  EXPECT_EQ(b->nAtRow(), 10);
  EXPECT_EQ(b->Skip(1), 0);  // at the last element
  EXPECT_EQ(b->Skip(-20), -9);
  EXPECT_EQ(b->nAtRow(), 1);
  EXPECT_EQ(b->Skip(-1), 0);
  EXPECT_EQ(b->Skip(0), 0);
  EXPECT_EQ(b->nAtRow(), 1);
}

TEST_F(ArraySource, TheArrayIsReadLive) {
  auto t = Table(2, 3);
  auto b = Make(t);
  AAdd(t, AGet(t, 1));
  AAdd(t, AGet(t, 1));
  EXPECT_EQ(b->bLogicLen(*b), 4);
  EXPECT_EQ(b->nLen, 4);
  b->bGoBottom(*b);
  EXPECT_EQ(b->nAtRow(), 4);
  b->bGoTop(*b);
  EXPECT_EQ(b->nAtRow(), 1);
}

TEST_F(ArraySource, SetArrayDoesNotPaint) {
  auto b = Make(Table(5, 3));
  ValidateRect(b->hWnd, nullptr);
  b->SetArray(Table(6, 3));
  RECT r{};
  EXPECT_FALSE(GetUpdateRect(b->hWnd, &r, FALSE));
}

TEST_F(ArraySource, EmptySourcePaintsTheHeaderAndBackgroundOnly) {
  auto b = Make(NewArray());
  RECT r = Client(*b);
  Canvas c(r.right, r.bottom, RGB(0, 200, 0));
  PaintInto(*b, c);
  EXPECT_EQ(c.At(150, h / 2), b->nClrBackHead);
  EXPECT_EQ(CountOf(c, 0, r.right, h, r.bottom, kPane), r.right * (r.bottom - h));
  // Nothing was asked of the (empty) array.
  EXPECT_EQ(b->nAtRow(), 1);
}

TEST_F(ArraySource, NoSourcePaintsTheHeaderOnly) {
  auto b = TWBrowse::New({.nWidth = 400, .nHeight = 200, .bLine = [](TWBrowse&) { return Array(2, Value("x")); },
                          .aColSizes = std::vector<int>{100, 100}, .oWnd = parent.get(), .oFont = TestFont(),
                          .nClrBack = kPane, .cAlias = "", .lPixel = true});
  EXPECT_EQ(b->bLogicLen(*b), 0);
  RECT r = Client(*b);
  Canvas c(r.right, r.bottom, RGB(0, 200, 0));
  PaintInto(*b, c);
  EXPECT_EQ(c.At(150, h / 2), b->nClrBackHead);
  EXPECT_EQ(CountOf(c, 0, r.right, h, r.bottom, kPane), r.right * (r.bottom - h));
}

TEST_F(ArraySource, PaintDrawsRowsFromTheTopLineAndSelectsTheCurrentOne) {
  auto b = Make(Table(50, 3));
  std::vector<int> drawn;
  LineBlock inner = b->bLine;
  b->bLine = [&drawn, inner](TWBrowse& brw) {
    drawn.push_back(brw.nAtRow());
    return inner(brw);
  };
  b->Skip(9);  // row 10 ...
  b->nRowPos = 3;  // ... on line 3
  RECT r = Client(*b);
  Canvas c(r.right, r.bottom, RGB(0, 200, 0));
  b->lFocused = false;
  PaintInto(*b, c);
  int rows = b->nRowCount();
  ASSERT_GT(rows, 5);
  ASSERT_GE(drawn.size(), size_t(rows));
  for (int line = 1; line <= rows; ++line) EXPECT_EQ(drawn[size_t(line - 1)], 7 + line) << line;
  EXPECT_EQ(b->nAtRow(), 10);  // back on the current row
  EXPECT_EQ(b->nRowPos, 3);
  // Line 3 carries the no-focus selection; lines 2 and 4 the normal pane.
  EXPECT_EQ(c.At(150, 3 * h + h / 2), kGrey);
  EXPECT_EQ(c.At(150, 2 * h + h / 2), kPane);
  EXPECT_EQ(c.At(150, 4 * h + h / 2), kPane);
  // The third column is stretched to the visible width (the window's less
  // the bar and 3); past it only the background brush shows.
  int visible = WNDWIDTH(b->hWnd) - GetSystemMetrics(SM_CYHSCROLL) - 3;
  ASSERT_LE(visible, r.right);
  EXPECT_EQ(c.At(visible - 1, 3 * h + h / 2), kGrey);
  if (visible < r.right) {
    EXPECT_EQ(c.At(visible, 3 * h + h / 2), kPane);
  }
}

TEST_F(ArraySource, FewerRowsThanLinesLeaveTheRestBlankAndTheCurrentLineMovesUp) {
  auto b = Make(Table(3, 3));
  b->Skip(2);
  b->nRowPos = 5;
  RECT r = Client(*b);
  Canvas c(r.right, r.bottom, RGB(0, 200, 0));
  b->lFocused = false;
  PaintInto(*b, c);
  EXPECT_EQ(b->nRowPos, 3);
  EXPECT_EQ(b->nAtRow(), 3);
  EXPECT_EQ(c.At(150, 3 * h + h / 2), kGrey);
  EXPECT_EQ(CountOf(c, 0, r.right, 4 * h, r.bottom, kPane), r.right * (r.bottom - 4 * h));
}

TEST_F(ArraySource, SelectionIsGreyWithoutFocusAndHighlightedWithIt) {
  auto b = Make(Table(20, 3));
  b->nClrForeFocus = RGB(255, 255, 0);
  b->nClrBackFocus = RGB(0, 0, 128);
  RECT r = Client(*b);
  Canvas c(r.right, r.bottom, kWhite);
  b->nRowPos = 2;
  b->lFocused = false;
  DrawSelectInto(*b, c);
  int y0 = 2 * h, y1 = 3 * h - 1;
  EXPECT_EQ(c.At(90, y0 + h / 2), RGB(128, 128, 128));
  EXPECT_GT(CountOf(c, 0, 100, y0, y1, RGB(255, 255, 0)), 0);  // the text in the focus text colour
  EXPECT_EQ(CountOf(c, 0, 100, y0, y1, kBlack), 0);
  b->lFocused = true;
  DrawSelectInto(*b, c);
  EXPECT_EQ(c.At(90, y0 + h / 2), RGB(0, 0, 128));
  EXPECT_GT(CountOf(c, 0, 100, y0, y1, RGB(255, 255, 0)), 0);
  // Hidden while rows are dragged.
  c.Fill(kWhite);
  b->lDrawSelected = false;
  DrawSelectInto(*b, c);
  EXPECT_EQ(CountOf(c, 0, r.right, 0, r.bottom, kWhite), r.right * r.bottom);
}

TEST_F(ArraySource, CellCursorHighlightsOnlyTheCurrentColumn) {
  auto b = Make(Table(20, 3));
  b->nClrBackFocus = RGB(0, 0, 128);
  b->lCellStyle = true;
  b->nColAct = 2;
  b->nRowPos = 1;
  RECT r = Client(*b);
  Canvas c(r.right, r.bottom, kWhite);
  b->lFocused = true;
  DrawSelectInto(*b, c);
  int y = h + h / 2;
  EXPECT_EQ(c.At(90, y), kPane);
  EXPECT_EQ(c.At(190, y), RGB(0, 0, 128));
  EXPECT_EQ(c.At(290, y), kPane);
  b->lFocused = false;
  DrawSelectInto(*b, c);
  EXPECT_EQ(c.At(190, y), kGrey);
  EXPECT_EQ(c.At(90, y), kPane);
}

TEST_F(ArraySource, RowCountIsWholeLinesUnderTheHeader) {
  auto b = Make(Table(3, 3));
  RECT r = Client(*b);
  EXPECT_EQ(b->nRowCount(), r.bottom / h - 1);
  EXPECT_EQ(NWROWS(b->hWnd, nullptr, TestHFont()), r.bottom / h);
}

TEST_F(ArraySource, ColumnUnderAPointAndColumnVisibility) {
  auto b = Make(Table(3, 4), 4, {100, 100, 100, 200});
  EXPECT_EQ(b->nAtCol(0), 0);
  EXPECT_EQ(b->nAtCol(1), 1);
  EXPECT_EQ(b->nAtCol(100), 1);
  EXPECT_EQ(b->nAtCol(101), 2);
  EXPECT_EQ(b->nAtCol(300), 3);
  EXPECT_EQ(b->nAtCol(5000), 4);
  b->nColPos = 2;
  EXPECT_EQ(b->nAtCol(0), 1);
  EXPECT_EQ(b->nAtCol(50), 2);
  EXPECT_EQ(b->nAtCol(150), 3);
  b->nColPos = 1;
  // A 500-pixel browse with a vertical bar uses 484: columns up to 300 fit, the fourth ends at 500.
  ASSERT_EQ(b->nWidth(), 500);
  EXPECT_TRUE(b->IsColVisible(1));
  EXPECT_TRUE(b->IsColVisible(3));
  EXPECT_FALSE(b->IsColVisible(4));
  b->nColPos = 2;
  EXPECT_FALSE(b->IsColVisible(1));
  EXPECT_TRUE(b->IsColVisible(4));
}

// ---- the demo -------------------------------------------------------------------------------

TEST(DemoTable, ThousandRowsOfEightPrefixedStrings) {
  ArrayPtr t = demo::BuildTable();
  ASSERT_EQ(Len(t), 1000u);
  ArrayPtr row7 = AGet(t, 7).AsArray();
  ASSERT_EQ(Len(row7), 8u);
  const char* expected[] = {"Row: 0007", "Col2:0007", "Col3:0007", "Col4:0007",
                            "Col5:0007", "Col6:0007", "Col7:0007", "Col8:0007"};
  for (size_t c = 1; c <= 8; ++c) EXPECT_EQ(AGet(row7, c).AsString(), expected[c - 1]);
  EXPECT_EQ(AGet(AGet(t, 1).AsArray(), 1).AsString(), "Row: 0001");
  EXPECT_EQ(AGet(AGet(t, 1000).AsArray(), 1).AsString(), "Row: 1000");
}

TEST(DemoBrowse, SevenNumberedColumnsOfHundredPixelsThatNeverShowColumnEight) {
  ASSERT_EQ(Alias(), "");  // no work area open, as in the demo
  Parent parent(800, 400);
  ArrayPtr t = demo::BuildTable();
  auto b = demo::TableBrowse(parent.get(), t);
  EXPECT_EQ(parent.get()->oClient, b);
  EXPECT_EQ(b->cAlias, "ARRAY");
  ASSERT_EQ(b->aHeaders.size(), 7u);
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(b->aHeaders[i].AsString(), std::to_string(i + 1));
  EXPECT_EQ(b->aColSizes, (std::vector<int>(7, 100)));
  EXPECT_EQ(b->bLogicLen(*b), 1000);
  // Every row the browse can reach shows seven values, none from column 8.
  auto check = [&] {
    Array row = b->bLine(*b);
    ASSERT_EQ(row.size(), 7u);
    std::string n = StrZero(Value(b->nAtRow()), 4);
    EXPECT_EQ(row[0].AsString(), "Row: " + n);
    for (const Value& v : row) EXPECT_NE(v.AsString().substr(0, 5), "Col8:");
  };
  check();
  b->bGoBottom(*b);
  EXPECT_EQ(b->nAtRow(), 1000);
  check();
  EXPECT_EQ(b->Skip(1), 0);  // no row 1001
  b->bGoTop(*b);
  EXPECT_EQ(b->Skip(-1), 0);  // no row 0
  EXPECT_EQ(b->nAtRow(), 1);
}

// ---- column blocks and printing aids ------------------------------------------------------------

TEST_F(ArraySource, SetColsMakesRowsFromBlocksAndSizesMissingWidths) {
  auto b = Make(Table(3, 3));
  int n = 0;
  std::vector<std::function<Value()>> blocks = {[&] { return Value("abc"); }, [&] { return Value(++n); },
                                                [] { return Value("a much longer value"); }};
  b->SetCols(blocks, Array{Value("H1"), Value("H2"), Value("H3")}, std::vector<int>{40});
  Array row = b->bLine(*b);
  ASSERT_EQ(row.size(), 3u);
  EXPECT_EQ(row[0].AsString(), "abc");
  EXPECT_TRUE(row[1].IsNumber());
  EXPECT_EQ(b->aHeaders[2].AsString(), "H3");
  EXPECT_EQ(*b->aJustify, (std::vector<bool>{false, false, false}));
  ASSERT_EQ(b->aColSizes.size(), 3u);
  EXPECT_EQ(b->aColSizes[0], 40);  // given
  EXPECT_EQ(b->aColSizes[1], 15);  // a number
  EXPECT_EQ(b->aColSizes[2], GETTEXTWIDTH(nullptr, std::string(20, 'B'), TestHFont()));
  // Headers stay when none are given.
  b->SetCols(blocks);
  EXPECT_EQ(b->aHeaders[0].AsString(), "H1");
}

TEST(PrintingAids, GenLocalAndGenBlockReadOneColumn) {
  auto a = NewArray({Value("x"), Value("y")});
  EXPECT_EQ(GENLOCAL(a, 2)().AsString(), "y");
  EXPECT_EQ(GENLOCAL(a, 3)().AsString(), "  ");  // beyond the end: two blanks
  Parent parent;
  auto t = Table(5, 3);
  auto b = ArrayBrowse(parent.get(), t, 3, {100, 100, 100});
  auto second = GENBLOCK(b->bLine, *b, 2);
  EXPECT_EQ(second().AsString(), "R1C2");
  b->Skip(3);
  EXPECT_EQ(second().AsString(), "R4C2");
}
