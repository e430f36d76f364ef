// Boxes, frames, fills, gradients, lines and text, read back pixel by pixel.
#include <gtest/gtest.h>

#include "canvas.h"
#include "native/draw.h"
#include "native/gdi.h"

using drawtest::Canvas;
using drawtest::DcState;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

bool OnBorder(int x, int y, int l, int t, int r, int b) {
  return (x == l || x == r) && y >= t && y <= b ? true : (y == t || y == b) && x >= l && x <= r;
}

}  // namespace

TEST(Boxes, WndBoxPaintsExactlyTheBorder) {
  Canvas c(16, 16);
  nx::WNDBOX(c.dc(), 0, 0, 9, 9);
  int painted = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool border = OnBorder(x, y, 0, 0, 9, 9);
      EXPECT_EQ(c.At(x, y), border ? kBlack : kWhite) << x << "," << y;
      painted += c.At(x, y) == kBlack;
    }
  EXPECT_EQ(painted, 36);
}

TEST(Boxes, EdgeRuleFirstPenLeftTopSecondPenBottomRightAndCorners) {
  Canvas c(20, 20);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  ASSERT_NE(light, dark);
  nx::WNDBOXRAISED(c.dc(), 2, 3, 12, 15);  // top 2, left 3, bottom 12, right 15
  EXPECT_EQ(c.At(3, 2), light);    // top-left corner: first pen
  EXPECT_EQ(c.At(3, 7), light);    // left edge
  EXPECT_EQ(c.At(9, 2), light);    // top edge
  EXPECT_EQ(c.At(3, 12), dark);    // bottom-left corner: second pen
  EXPECT_EQ(c.At(15, 2), dark);    // top-right corner: second pen
  EXPECT_EQ(c.At(15, 12), dark);   // bottom-right corner
  EXPECT_EQ(c.At(15, 7), dark);    // right edge
  EXPECT_EQ(c.At(9, 12), dark);    // bottom edge
  EXPECT_EQ(c.At(15, 1), kWhite);  // nothing above the top-right corner
  EXPECT_EQ(c.At(9, 7), kWhite);   // inside untouched

  c.Fill(kWhite);
  nx::WNDBOXIN(c.dc(), 2, 3, 12, 15);
  EXPECT_EQ(c.At(3, 2), dark);
  EXPECT_EQ(c.At(3, 12), light);
  EXPECT_EQ(c.At(15, 2), light);

  c.Fill(kWhite);
  nx::WNDBOX2007(c.dc(), 0, 0, 4, 4, RGB(10, 20, 30));
  EXPECT_EQ(c.CountNot(kWhite), 16);
  EXPECT_EQ(c.At(4, 4), RGB(10, 20, 30));
}

TEST(Boxes, WndRaisedUsesClientRectLessOne) {
  HWND wnd = drawtest::MakeWindow(12, 8);
  ASSERT_TRUE(wnd);
  Canvas c(20, 20);
  nx::WNDRAISED(wnd, c.dc());
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(c.At(11, 7), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(12, 7), kWhite);
  EXPECT_EQ(c.At(11, 8), kWhite);
  DestroyWindow(wnd);
}

TEST(Boxes, FrameDotIsACheckerboardInTheDcColours) {
  Canvas c(16, 16, RGB(1, 2, 3));
  const COLORREF bk = RGB(200, 0, 0), text = RGB(0, 0, 200);
  SetBkColor(c.dc(), bk);
  SetTextColor(c.dc(), text);
  nx::FRAMEDOT(c.dc(), 1, 2, 9, 12);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const COLORREF want = OnBorder(x, y, 2, 1, 12, 9) ? (((x + y) % 2 == 0) ? bk : text) : RGB(1, 2, 3);
      EXPECT_EQ(c.At(x, y), want) << x << "," << y;
    }
}

TEST(Boxes, RoundBoxIsHollowAndRectangleUsesTheGivenPen) {
  Canvas c(30, 30);
  nx::ROUNDBOX(c.dc(), 2, 2, 27, 27, 6, 6, RGB(0, 128, 0));
  EXPECT_EQ(c.At(14, 2), RGB(0, 128, 0));
  EXPECT_EQ(c.At(14, 14), kWhite);  // hollow

  c.Fill(kWhite);
  HPEN pen = nx::CREATEPEN(PS_SOLID, 1, RGB(255, 0, 0));
  const DcState before = DcState::Of(c.dc());
  EXPECT_TRUE(nx::RECTANGLE(c.dc(), 1, 1, 10, 10, pen));
  EXPECT_TRUE(DcState::Of(c.dc()) == before);
  EXPECT_EQ(c.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(c.At(9, 9), RGB(255, 0, 0));  // the platform's rectangle leaves right/bottom out
  EXPECT_EQ(c.At(5, 5), kWhite);           // the default white brush
  EXPECT_TRUE(nx::ELLIPSE(c.dc(), 12, 12, 28, 28, pen));
  EXPECT_EQ(c.At(20, 12), RGB(255, 0, 0));
  EXPECT_TRUE(nx::DELETEOBJECT(pen));
  EXPECT_FALSE(nx::RECTANGLE(nullptr, 0, 0, 1, 1));
}

TEST(Boxes, FocusRectIsSelfInverse) {
  Canvas c(20, 20, RGB(50, 60, 70));
  nx::DRAWFOCUSRECT(c.dc(), 2, 2, 12, 12);
  EXPECT_GT(c.CountNot(RGB(50, 60, 70)), 0);
  nx::DRAWFOCUSRECT(c.dc(), 2, 2, 12, 12);
  EXPECT_EQ(c.CountNot(RGB(50, 60, 70)), 0);
}

TEST(Fills, FillRectLeavesRightAndBottomOutAndZeroBrushDrawsNothing) {
  Canvas c(10, 10);
  HBRUSH red = nx::CREATESOLIDBRUSH(RGB(255, 0, 0));
  nx::FILLRECT(c.dc(), {.nTop = 1, .nLeft = 2, .nBottom = 4, .nRight = 6}, red);
  EXPECT_EQ(c.CountNot(kWhite), 3 * 4);
  EXPECT_EQ(c.At(2, 1), RGB(255, 0, 0));
  EXPECT_EQ(c.At(5, 3), RGB(255, 0, 0));
  EXPECT_EQ(c.At(6, 3), kWhite);
  EXPECT_EQ(c.At(5, 4), kWhite);
  c.Fill(kWhite);
  nx::FILLRECT(c.dc(), {0, 0, 10, 10}, nullptr);
  nx::FILLRECT(nullptr, {0, 0, 10, 10}, red);
  EXPECT_EQ(c.CountNot(kWhite), 0);
  nx::DELETEOBJECT(red);

  nx::INVERTRECT(c.dc(), {0, 0, 2, 3});
  EXPECT_EQ(c.At(2, 1), kBlack);
  EXPECT_EQ(c.At(3, 1), kWhite);
}

TEST(Fills, SetPixelAndFloodFill) {
  Canvas c(10, 10);
  EXPECT_EQ(nx::SETPIXEL(c.dc(), 3, 4, RGB(9, 8, 7)), RGB(9, 8, 7));
  EXPECT_EQ(c.At(3, 4), RGB(9, 8, 7));
  c.Fill(kWhite);
  nx::WNDBOX(c.dc(), 2, 2, 7, 7);
  const DcState before = DcState::Of(c.dc());
  EXPECT_TRUE(nx::FLOODFILL(c.dc(), 4, 4, kBlack, RGB(0, 0, 255)));
  EXPECT_TRUE(DcState::Of(c.dc()) == before);
  EXPECT_EQ(c.At(4, 4), RGB(0, 0, 255));
  EXPECT_EQ(c.At(3, 6), RGB(0, 0, 255));
  EXPECT_EQ(c.At(0, 0), kWhite);  // outside the border
}

TEST(Gradient, BandColoursFollowTheIntegerSteps) {
  // bottom - top = 100: step 652 per band, grey level i * 652 / 256.
  Canvas c(4, 110);
  nx::GRADIENT(c.dc(), {0, 0, 100, 4}, RGB(0, 0, 0), RGB(255, 255, 255), true);
  const int expect[] = {0, 2, 5, 7};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(c.At(0, i), RGB(expect[i], expect[i], expect[i])) << i;
  EXPECT_EQ(c.At(3, 51), RGB(129, 129, 129));
  EXPECT_EQ(c.At(0, 99), RGB(252, 252, 252));
  EXPECT_EQ(c.At(0, 100), RGB(252, 252, 252));  // the last band runs to the bottom, inclusive
  EXPECT_EQ(c.At(0, 101), kWhite);
}

TEST(Gradient, AtMostOneHundredBands) {
  Canvas c(2, 510);
  nx::GRADIENT(c.dc(), {0, 0, 500, 2}, RGB(0, 0, 0), RGB(0, 0, 200), true);
  int changes = 0;
  for (int y = 1; y <= 500; ++y) changes += c.At(0, y) != c.At(0, y - 1);
  EXPECT_LE(changes, 99);
  // Bands are five rows apart: rows 0..4 share band 0, row 5 is band 1 (200*256/100 = 512 -> 2).
  EXPECT_EQ(c.At(0, 4), RGB(0, 0, 0));
  EXPECT_EQ(c.At(0, 5), RGB(0, 0, 2));
}

TEST(Gradient, HeightOneIsOneBandAndHeightZeroNothing) {
  Canvas c(6, 12);
  nx::GRADIENT(c.dc(), {5, 0, 6, 6}, RGB(10, 20, 30), RGB(200, 200, 200), true);
  EXPECT_EQ(c.At(2, 5), RGB(10, 20, 30));
  EXPECT_EQ(c.At(2, 6), RGB(10, 20, 30));
  EXPECT_EQ(c.At(2, 4), kWhite);
  EXPECT_EQ(c.At(2, 7), kWhite);
  c.Fill(kWhite);
  nx::GRADIENT(c.dc(), {5, 0, 5, 6}, RGB(10, 20, 30), RGB(200, 200, 200), true);
  nx::GRADIENT(c.dc(), {5, 0, 3, 6}, RGB(10, 20, 30), RGB(200, 200, 200), true);
  EXPECT_EQ(c.CountNot(kWhite), 0);
}

TEST(Gradient, HorizontalRunsAcrossColumns) {
  Canvas c(12, 4);
  nx::GRADIENT(c.dc(), {0, 0, 4, 10}, RGB(0, 0, 0), RGB(100, 0, 0), false);
  EXPECT_EQ(c.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(c.At(1, 0), RGB(10, 0, 0));
  EXPECT_EQ(c.At(9, 3), RGB(90, 0, 0));
  EXPECT_EQ(c.At(10, 0), RGB(90, 0, 0));
  EXPECT_EQ(c.At(11, 0), kWhite);
}

TEST(Gradient, GradientFillLastStopRunsToTheEnd) {
  Canvas c(4, 30);
  nx::GradientFill(c.dc(), 0, 0, 19, 4, {{0.5, RGB(255, 0, 0), RGB(255, 0, 0)}});
  for (int y = 0; y < 20; ++y) EXPECT_EQ(c.At(1, y), RGB(255, 0, 0)) << y;
  EXPECT_EQ(c.At(1, 20), kWhite);

  c.Fill(kWhite);
  nx::GradientFill(c.dc(), 0, 0, 19, 4,
                   {{0.5, RGB(255, 0, 0), RGB(255, 0, 0)}, {0.5, RGB(0, 0, 255), RGB(0, 0, 255)}});
  EXPECT_EQ(c.At(1, 9), RGB(255, 0, 0));
  EXPECT_EQ(c.At(1, 10), RGB(0, 0, 255));
  EXPECT_EQ(c.At(1, 19), RGB(0, 0, 255));

  c.Fill(kWhite);
  nx::GradientFill(c.dc(), 0, 0, 19, 4, {});
  EXPECT_EQ(c.CountNot(kWhite), 0);
}

TEST(Lines, LineToExcludesTheEndPointAndRestoresThePen) {
  Canvas c(10, 10);
  HPEN pen = nx::CREATEPEN(PS_SOLID, 1, RGB(0, 0, 255));
  const HGDIOBJ oldPen = GetCurrentObject(c.dc(), OBJ_PEN);
  EXPECT_TRUE(nx::MOVETO(c.dc(), 1, 1));
  EXPECT_TRUE(nx::LINETO(c.dc(), 6, 1, pen));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), oldPen);
  EXPECT_EQ(c.At(1, 1), RGB(0, 0, 255));
  EXPECT_EQ(c.At(5, 1), RGB(0, 0, 255));
  EXPECT_EQ(c.At(6, 1), kWhite);
  nx::DELETEOBJECT(pen);
}

TEST(Text, DrawTextDefaultsAndState) {
  Canvas c(200, 40);
  // Without a rectangle: single line, no clipping, from (0, 0).
  EXPECT_GT(nx::DRAWTEXT(c.dc(), "Hello"), 0);
  EXPECT_GT(c.CountNot(kWhite), 0);
  EXPECT_EQ(nx::DRAWTEXT(nullptr, "Hello"), 0);
  c.Fill(kWhite);
  EXPECT_GT(nx::DRAWTEXTEX(c.dc(), "A long text that ends in an ellipsis", nx::ARect{0, 0, 20, 40},
                           DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING),
            0);
  EXPECT_GT(c.CountNot(kWhite), 0);
  EXPECT_EQ(c.At(60, 5), kWhite);  // clipped at the right edge

  c.Fill(kWhite);
  const DcState before = DcState::Of(c.dc());
  nx::WSAY(nullptr, c.dc(), 0, 0, "Hi", RGB(255, 0, 0), RGB(0, 255, 0), nullptr, true, false);
  EXPECT_TRUE(DcState::Of(c.dc()) == before);
  EXPECT_EQ(c.At(0, 0), RGB(0, 255, 0));  // opaque background in nClrBack
  nx::WSAYRECT(nullptr, c.dc(), 1, 0, "x", RGB(0, 0, 0), RGB(0, 0, 255), 30);
  const int h = nx::GETTEXTHEIGHT(nullptr, c.dc());
  ASSERT_GT(h, 0);
  EXPECT_EQ(c.At(29, h), RGB(0, 0, 255));
  EXPECT_NE(c.At(30, h), RGB(0, 0, 255));
  EXPECT_TRUE(DcState::Of(c.dc()) == before);

  EXPECT_GT(nx::GETTEXTWIDTH(c.dc(), "WWWW"), nx::GETTEXTWIDTH(c.dc(), "W"));
  EXPECT_EQ(nx::GETTEXTWIDTH(c.dc(), ""), 0);
  EXPECT_TRUE(nx::TEXTOUT(c.dc(), 0, 0, "t"));
  EXPECT_TRUE(nx::EXTTEXTOUT(c.dc(), 0, 0, {0, 0, 10, 10}, "t"));
}

TEST(Geometry, RectanglesOfWindowsAndZeroHandles) {
  HWND wnd = drawtest::MakeWindow(33, 21);
  ASSERT_TRUE(wnd);
  EXPECT_EQ(nx::GETCLIENTRECT(wnd), (nx::ARect{0, 0, 21, 33}));
  EXPECT_EQ(nx::GETCLIENTRECT(nullptr), nx::ARect{});
  EXPECT_EQ(nx::GETWNDRECT(nullptr), nx::ARect{});
  EXPECT_EQ(nx::GETCOORS(nullptr), nx::ARect{});
  HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 5, 7, 10, 4, wnd, nullptr, nullptr, nullptr);
  EXPECT_EQ(nx::GETCOORS(child), (nx::ARect{7, 5, 11, 15}));
  DestroyWindow(wnd);
  EXPECT_EQ(nx::ANSITOOEM("abc").size(), 3u);
  EXPECT_EQ(nx::OEMTOANSI("abc"), "abc");
}

TEST(Colours, RgbAndOr) {
  static_assert(nx::NRGB(256 + 1, 2, 3) == nx::NRGB(1, 2, 3));
  EXPECT_EQ(nx::NRGB(1, 2, 3), 1u + 2u * 256 + 3u * 65536);
  EXPECT_EQ(nx::NOR({1, 2, 8}), 11);
  EXPECT_EQ(nx::NOR({}), 0);
  Canvas c(2, 2);
  EXPECT_EQ(nx::SETTEXTCOLOR(c.dc(), RGB(1, 1, 1)), kBlack);
  EXPECT_EQ(nx::GETTEXTCOLOR(c.dc()), RGB(1, 1, 1));
  EXPECT_EQ(nx::SETBKMODE(c.dc(), TRANSPARENT), OPAQUE);
}
