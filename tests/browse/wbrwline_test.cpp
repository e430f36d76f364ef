// The line painter on memory device contexts: cell geometry, justification,
// the stretched last column, the visible width, grid styles, header frames,
// cell and line colours.
#include <gtest/gtest.h>

#include <set>

#include "browse_support.h"
#include "native/browse.h"
#include "native/draw.h"

using namespace nx;
using namespace browsetest;
using drawtest::Canvas;

namespace {

constexpr COLORREF kPane = RGB(255, 255, 200);
constexpr COLORREF kText = RGB(0, 0, 160);
constexpr COLORREF kCanvas = RGB(0, 200, 0);  // never drawn by the painter
// A style outside 0..8: no grid and no extra width, so the cells show alone.
constexpr int kNoGrid = 9;

// A frameless popup: its window width (what the painter reads) is `width`.
class Wnd {
 public:
  explicit Wnd(int width, int height = 200) : h_(drawtest::MakeWindow(width, height)) {}
  ~Wnd() { DestroyWindow(h_); }
  Wnd(const Wnd&) = delete;
  Wnd& operator=(const Wnd&) = delete;
  HWND get() const { return h_; }

 private:
  HWND h_;
};

Array Strings(std::initializer_list<const char*> s) {
  Array a;
  for (const char* t : s) a.emplace_back(t);
  return a;
}

struct Line {
  Line(HWND w, HDC d) : hWnd(w), dc(d) {}
  HWND hWnd;
  HDC dc;
  int nLine = 1;
  Array values;
  std::vector<int> sizes;
  int nColPos = 1;
  BrwColor text = kText, pane = kPane;
  const std::vector<bool>* justify = nullptr;
  int style = kNoGrid;
  std::optional<int> colAct;
  bool vscroll = false;
  std::function<int()> logicLen;
  BrwColor textCell = {}, paneCell = {};
  bool tree = false;
  void Draw() const {
    WBRWLINE({.hWnd = hWnd, .hDC = dc, .nLine = nLine, .aValues = values, .aColSizes = sizes, .nColPos = nColPos,
              .nClrText = text, .nClrPane = pane, .hFont = TestHFont(), .lTree = tree, .aJustify = justify,
              .nLineStyle = style, .nColAct = colAct, .lVScroll = vscroll, .bLogicLen = logicLen,
              .nClrTextCell = textCell, .nClrPaneCell = paneCell});
  }
};

// Ink columns of a text drawn alone at x (left or right aligned) on a blank canvas.
Span Reference(const std::string& text, int x, bool right) {
  Canvas c(400, 40, kWhite);
  HGDIOBJ old = SelectObject(c.dc(), TestHFont());
  SetTextColor(c.dc(), kBlack);
  SetBkMode(c.dc(), TRANSPARENT);
  SetTextAlign(c.dc(), right ? TA_RIGHT : TA_LEFT);
  TextOutA(c.dc(), x, 0, text.data(), int(text.size()));
  SelectObject(c.dc(), old);
  return InkColumns(c, 0, 400, 0, 40, kWhite);
}

class LinePainter : public testing::Test {
 protected:
  int h = LineHeight(TestHFont());
  int top = h, bottom = 2 * h - 1, mid = h + h / 2;  // line 1
};

}  // namespace

TEST_F(LinePainter, LeftTextStartsTwoPixelsInRightTextEndsTwoPixelsShort) {
  Wnd w(400);
  Canvas c(420, 3 * h, kCanvas);
  std::vector<bool> justify{false, true, false};
  Line l(w.get(), c.dc());
  l.values = Strings({"WIW", "WIW", ""});
  l.sizes = {100, 100, 100};
  l.text = kBlack;
  l.pane = kWhite;
  l.justify = &justify;
  l.Draw();
  Span ref = Reference("WIW", 50, false), refRight = Reference("WIW", 150, true);
  ASSERT_FALSE(ref.empty());
  // Each cell paints [left, clip): 0..98 and 100..198.
  Span col1 = InkColumns(c, 0, 99, top, bottom, kWhite);
  Span col2 = InkColumns(c, 100, 199, top, bottom, kWhite);
  EXPECT_EQ(col1.first - (0 + 2), ref.first - 50);
  EXPECT_EQ(col1.last - (0 + 2), ref.last - 50);
  // Column 2 spans 100..199: its text ends at 199 - 2.
  EXPECT_EQ(col2.first - (199 - 2), refRight.first - 150);
  EXPECT_EQ(col2.last - (199 - 2), refRight.last - 150);
}

TEST_F(LinePainter, TreeLabelsStartFourPixelsIn) {
  Wnd w(400);
  Canvas c(420, 3 * h, kWhite);
  Line l(w.get(), c.dc());
  l.values = Strings({"WIW", ""});
  l.sizes = {100, 100};
  l.text = kBlack;
  l.pane = kWhite;
  l.tree = true;
  l.Draw();
  Span ref = Reference("WIW", 50, false);
  Span col1 = InkColumns(c, 0, 100, top, bottom + 1, kWhite);
  ASSERT_FALSE(col1.empty());
  EXPECT_EQ(col1.first - 4, ref.first - 50);
}

TEST_F(LinePainter, CellsCoverTheirColumnsAndTheLastStretchesToTheWindowWidth) {
  Wnd w(400);
  Canvas c(460, 3 * h, kCanvas);
  Line l(w.get(), c.dc());
  l.values = Strings({"", ""});
  l.sizes = {100, 30};
  l.Draw();
  // A cell fills [left, clip) x [top, bottom): the last column reaches 399.
  EXPECT_EQ(c.At(0, top), kPane);
  EXPECT_EQ(c.At(98, mid), kPane);
  EXPECT_EQ(c.At(99, mid), kCanvas);  // the column's own right edge is left to the grid
  EXPECT_EQ(c.At(100, mid), kPane);
  EXPECT_EQ(c.At(200, mid), kPane);
  EXPECT_EQ(c.At(399, mid), kPane);
  EXPECT_EQ(c.At(400, mid), kCanvas);
  EXPECT_EQ(c.At(200, bottom), kCanvas);
  EXPECT_EQ(c.At(200, top - 1), kCanvas);
  EXPECT_EQ(CountOf(c, 0, 460, 0, top, kCanvas), 460 * top);  // nothing above the line
}

TEST_F(LinePainter, ColumnsStartingPastTheVisibleWidthAreNotDrawn) {
  Wnd w(250);
  Canvas c(460, 3 * h, kCanvas);
  std::vector<int> asked;
  Line l(w.get(), c.dc());
  l.values = Strings({"A", "B", "C", "D"});
  l.sizes = {100, 100, 100, 100};
  l.pane = BrwColor([&](int col) {
    asked.push_back(col);
    return kPane;
  });
  l.Draw();
  // Column 3 starts at 200 and is clipped at 250; column 4 starts at 300.
  EXPECT_EQ(c.At(249, mid), kPane);
  EXPECT_EQ(c.At(250, mid), kCanvas);
  EXPECT_EQ(CountOf(c, 250, 460, 0, 3 * h, kCanvas), 210 * 3 * h);
  EXPECT_EQ(asked, (std::vector<int>{0, 1, 2, 3}));  // once for the line, then per drawn column
}

TEST_F(LinePainter, ColumnsLeftOfTheFirstShownAreSkipped) {
  Wnd w(400);
  Canvas c(420, 3 * h, kWhite);
  Line l(w.get(), c.dc());
  l.values = Strings({"WWWW", "", ""});
  l.sizes = {100, 100, 100};
  l.nColPos = 2;
  l.text = kBlack;
  l.pane = kWhite;
  l.Draw();
  EXPECT_TRUE(InkColumns(c, 0, 420, 0, 3 * h, kWhite).empty());
  // nColPos below 1 counts as 1.
  l.nColPos = 0;
  l.Draw();
  EXPECT_FALSE(InkColumns(c, 0, 100, top, bottom, kWhite).empty());
}

TEST_F(LinePainter, VerticalScrollBarNarrowsTheWidthOnlyForMoreThanOneRow) {
  Parent parent;
  auto b = ArrayBrowse(parent.get(), Table(3, 2), 2, {100, 100}, 400, 200);
  ASSERT_TRUE(b->oVScroll);
  int full = WNDWIDTH(b->hWnd);
  ASSERT_EQ(full, 400);
  int narrow = full - (GetSystemMetrics(SM_CYHSCROLL) + 3);
  Canvas c(460, 3 * h, kCanvas);
  Line l(b->hWnd, c.dc());
  l.values = Strings({"", ""});
  l.sizes = {100, 100};
  l.vscroll = b->oVScroll != nullptr;
  for (int rows : {0, 1, 2, 1000}) {
    SCOPED_TRACE(rows);
    c.Fill(kCanvas);
    l.logicLen = [rows] { return rows; };
    l.Draw();
    int edge = rows > 1 ? narrow : full;
    EXPECT_EQ(c.At(edge - 1, mid), kPane);
    EXPECT_EQ(c.At(edge, mid), kCanvas);
  }
  // Without a vertical bar the count does not matter.
  c.Fill(kCanvas);
  l.vscroll = false;
  l.logicLen = [] { return 1000; };
  l.Draw();
  EXPECT_EQ(c.At(full - 1, mid), kPane);
}

// Pixels of one data cell (column 2 of three, 100..199, on line 1) per grid style.
class GridStyles : public LinePainter {
 protected:
  Canvas c{460, 4 * h, kCanvas};
  Wnd w{400};
  void Draw(int style, int line = 1) {
    c.Fill(kCanvas);
    Line l(w.get(), c.dc());
    l.nLine = line;
    l.values = Strings({"", "", ""});
    l.sizes = {100, 100, 100};
    l.style = style;
    l.Draw();
  }
  COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
};

TEST_F(GridStyles, NoneFillsTheWholeLineWithTheTwoPixelExtra) {
  Draw(0);
  // Each cell reaches 2 pixels past its clip, so no gap is left between cells.
  EXPECT_EQ(CountOf(c, 0, 400, top, bottom, kPane), 400 * (bottom - top));
  EXPECT_EQ(c.At(401, mid), kPane);  // the last column: clip 400 plus 2
  EXPECT_EQ(c.At(402, mid), kCanvas);
  EXPECT_EQ(CountOf(c, 0, 460, bottom, bottom + 1, kCanvas), 460);
}

TEST_F(GridStyles, BoxFramesEachCellInBlack) {
  Draw(1);
  EXPECT_EQ(c.At(99, mid), kBlack);       // left edge: left - 1
  EXPECT_EQ(c.At(150, top - 1), kBlack);  // top edge: top - 1
  EXPECT_EQ(c.At(150, bottom), kBlack);
  EXPECT_EQ(c.At(199, mid), kBlack);  // right edge: clip
  EXPECT_EQ(c.At(100, mid), kPane);
  EXPECT_EQ(c.At(150, top), kPane);
  EXPECT_EQ(c.At(198, bottom - 1), kPane);
}

TEST_F(GridStyles, DefaultDrawsGreyLeftAndBottomLines) {
  Draw(2);
  for (int y = top - 2; y <= bottom; ++y) EXPECT_EQ(c.At(98, y), kGrey) << y;  // left - 2, from top - 2
  EXPECT_EQ(c.At(98, top - 3), kCanvas);
  for (int x = 98; x < 400; ++x) EXPECT_EQ(c.At(x, bottom), kGrey) << x;  // to each clip, cells continue it
  EXPECT_EQ(c.At(400, bottom), kCanvas);
  EXPECT_EQ(c.At(99, mid), kCanvas);  // between the cells
  EXPECT_EQ(c.At(100, mid), kPane);
  EXPECT_EQ(c.At(197, mid), kPane);
  EXPECT_EQ(c.At(198, mid), kGrey);  // column 3's left line
  EXPECT_EQ(CountOf(c, 0, 460, top, bottom, kBlack), 0);
}

TEST_F(GridStyles, RaisedFrameLightTopLeftDarkBottomRight) {
  Draw(3);
  EXPECT_EQ(c.At(100, mid), light);
  EXPECT_EQ(c.At(150, top), light);
  EXPECT_EQ(c.At(150, bottom), dark);
  EXPECT_EQ(c.At(199, mid), dark);
  EXPECT_EQ(c.At(150, mid), kPane);
}

TEST_F(GridStyles, DottedFrameAlternatesBlackAndThePane) {
  Draw(4);
  // The frame runs on left - 1, top - 1, clip and bottom.
  for (int y = top; y < bottom; ++y) {
    EXPECT_TRUE(c.At(99, y) == kBlack || c.At(99, y) == kPane) << y;
    EXPECT_NE(c.At(99, y), c.At(99, y + 1)) << y;
  }
  for (int x = 100; x < 198; ++x) {
    EXPECT_TRUE(c.At(x, bottom) == kBlack || c.At(x, bottom) == kPane) << x;
    EXPECT_NE(c.At(x, bottom), c.At(x + 1, bottom)) << x;
  }
  EXPECT_EQ(c.At(150, mid), kPane);
}

TEST_F(GridStyles, VerticalLinesOnly) {
  for (int style : {5, 6}) {
    SCOPED_TRACE(style);
    Draw(style);
    COLORREF ink = style == 5 ? kBlack : kGrey;
    for (int y = top - 2; y < bottom; ++y) EXPECT_EQ(c.At(99, y), ink) << y;  // left - 1
    EXPECT_NE(c.At(99, bottom), ink);
    EXPECT_EQ(CountOf(c, 100, 199, top - 2, bottom + 1, ink), 0);  // no horizontal line
    EXPECT_EQ(c.At(98, mid), kPane);
  }
}

TEST_F(GridStyles, HorizontalLinesOnlyWithTheExtra) {
  for (int style : {7, 8}) {
    SCOPED_TRACE(style);
    Draw(style);
    COLORREF ink = style == 7 ? kBlack : kGrey;
    for (int x = 98; x < 400; ++x) EXPECT_EQ(c.At(x, bottom), ink) << x;
    EXPECT_EQ(c.At(400, bottom), kCanvas);
    EXPECT_EQ(CountOf(c, 0, 460, top, bottom, ink), 0);  // no vertical line
    EXPECT_EQ(c.At(99, mid), kPane);                      // the extra closes the gap
    EXPECT_EQ(c.At(401, mid), kPane);
  }
}

TEST_F(GridStyles, ClassicHeaderHasABoxAndARaisedFrameWhateverTheStyle) {
  // Test programs carry no manifest: the classic look.
  ASSERT_FALSE(ISAPPTHEMED());
  for (int style : {0, 2, 5}) {
    SCOPED_TRACE(style);
    Draw(style, 0);
    int hb = h - 1;  // the header's bottom
    EXPECT_EQ(c.At(99, hb / 2), kBlack);   // box left: left - 1
    EXPECT_EQ(c.At(150, hb), kBlack);      // box bottom
    EXPECT_EQ(c.At(199, hb / 2), kBlack);  // box right: clip
    EXPECT_EQ(c.At(100, hb / 2), light);   // raised frame inside it
    EXPECT_EQ(c.At(150, 0), light);
    EXPECT_EQ(c.At(150, hb - 1), dark);
    EXPECT_EQ(c.At(198, hb / 2), dark);
    EXPECT_EQ(c.At(150, hb / 2), kPane);
    EXPECT_EQ(c.At(401, hb / 2), kCanvas);  // no extra on the header
  }
}

TEST_F(LinePainter, CellCursorSwapsTheColoursOfTheActiveCell) {
  Wnd w(400);
  Canvas c(420, 3 * h, kCanvas);
  Line l(w.get(), c.dc());
  l.values = Strings({"", "", ""});
  l.sizes = {100, 100, 100};
  l.text = kWhite;
  l.pane = RGB(0, 0, 128);
  l.colAct = 2;
  l.textCell = kBlack;
  l.paneCell = kPane;
  l.Draw();
  EXPECT_EQ(c.At(50, mid), kPane);
  EXPECT_EQ(c.At(150, mid), RGB(0, 0, 128));
  EXPECT_EQ(c.At(250, mid), kPane);
}

TEST_F(LinePainter, ColourBlocksRunPerColumnOnDataLinesOncePerHeader) {
  Wnd w(400);
  Canvas c(420, 3 * h, kCanvas);
  const COLORREF byCol[] = {kPane, RGB(200, 0, 0), RGB(0, 200, 200), RGB(9, 9, 9)};
  Line l(w.get(), c.dc());
  l.values = Strings({"", "", ""});
  l.sizes = {100, 100, 100};
  l.pane = BrwColor([&](int col) { return byCol[col]; });
  l.Draw();
  EXPECT_EQ(c.At(50, mid), byCol[1]);
  EXPECT_EQ(c.At(150, mid), byCol[2]);
  EXPECT_EQ(c.At(250, mid), byCol[3]);
  l.nLine = 0;
  l.Draw();
  for (int x : {50, 150, 250}) EXPECT_EQ(c.At(x, h / 2), byCol[0]) << x;
}

TEST_F(LinePainter, BitmapCellsFillWithTheBackgroundAndDrawTheBitmapAtTheCellCorner) {
  Wnd w(400);
  Canvas c(420, 3 * h, kCanvas);
  // A bitmap whose border is its transparent colour and whose centre is red.
  HBITMAP bmp = drawtest::MakeBitmap(c.dc(), 8, 8, [](int x, int y) {
    return x >= 2 && x < 6 && y >= 2 && y < 6 ? RGB(255, 0, 0) : RGB(255, 255, 255);
  });
  Line l(w.get(), c.dc());
  l.values = Array{Value(""), Value(int64_t(reinterpret_cast<intptr_t>(bmp))), Value("")};
  l.sizes = {100, 100, 100};
  l.Draw();
  EXPECT_EQ(c.At(100 + 3, top + 3), RGB(255, 0, 0));
  EXPECT_EQ(c.At(150, mid), kPane);  // filled with the line's background
  EXPECT_EQ(c.At(100, top), kPane);  // the transparent border shows it
  DeleteObject(bmp);
}

TEST_F(LinePainter, LeavesFontAndAlignmentAsFound) {
  Wnd w(400);
  Canvas c(420, 3 * h, kCanvas);
  std::vector<bool> justify{true, false};
  SetTextAlign(c.dc(), TA_BASELINE);
  auto before = drawtest::DcState::Of(c.dc());
  Line l(w.get(), c.dc());
  l.values = Strings({"a", "b"});
  l.sizes = {100, 100};
  l.justify = &justify;
  for (int style = 0; style <= 8; ++style) {
    l.style = style;
    l.Draw();
  }
  auto after = drawtest::DcState::Of(c.dc());
  EXPECT_EQ(after.font, before.font);
  EXPECT_EQ(after.pen, before.pen);
  EXPECT_EQ(after.brush, before.brush);
  EXPECT_EQ(after.align, before.align);
}
