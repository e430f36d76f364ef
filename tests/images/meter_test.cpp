// TMeter: the value kept to its range, repaints counted, and the face read
// back pixel by pixel from a real window.
#include <gtest/gtest.h>

#include "classes/font.h"
#include "classes/meter.h"
#include "native/draw.h"
#include "native/image.h"
#include "support.h"

using namespace nx;
using imgtest::Shot;

namespace {

class CountingMeter : public TMeter {
 public:
  Value Paint() override {
    ++paints;
    return TMeter::Paint();
  }
  int paints = 0;
};

TWindowPtr Owner() {
  auto w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 200, .nRight = 400, .lPixel = true});
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  UpdateWindow(w->hWnd);
  return w;
}

// The text the meter should show, drawn alone as METERPAINT centres it.
std::vector<COLORREF> Expected(HWND hWnd, HFONT font, const std::string& text, COLORREF back, COLORREF fore) {
  RECT rc{};
  GetClientRect(hWnd, &rc);
  drawtest::Canvas c(rc.right, rc.bottom, back);
  HGDIOBJ old = SelectObject(c.dc(), font);
  SIZE size{};
  GetTextExtentPoint32A(c.dc(), text.data(), int(text.size()), &size);
  SetBkColor(c.dc(), back);
  SetTextColor(c.dc(), fore);
  ExtTextOutA(c.dc(), rc.right / 2 - size.cx / 2, rc.bottom / 2 - size.cy / 2, ETO_OPAQUE, &rc, text.data(),
              UINT(text.size()), nullptr);
  SelectObject(c.dc(), old);
  std::vector<COLORREF> px;
  for (int y = 0; y < c.h(); ++y)
    for (int x = 0; x < c.w(); ++x) px.push_back(c.At(x, y));
  return px;
}

}  // namespace

TEST(Meter, SetKeepsTheValueInRangeAndRepaintsOnlyWithATotal) {
  auto w = Owner();
  Value var = 0;
  auto m = std::make_shared<CountingMeter>();
  SetWndDefault(w);
  // New's body on the counting subclass: the same members as New gives.
  auto made = TMeter::New({.nRow = 1, .nCol = 1, .bSetGet = [&](std::optional<Value> u) {
                             if (u) var = *u;
                             return var;
                           },
                           .nTotal = 40, .oWnd = w});
  EXPECT_EQ(WNDWIDTH(made->hWnd), 300);
  EXPECT_EQ(WNDHEIGHT(made->hWnd), 20);
  EXPECT_EQ(WNDTOP(made->hWnd), 14);
  EXPECT_EQ(WNDLEFT(made->hWnd), 8);
  made->Set(45);
  EXPECT_EQ(var.AsNumber(), 40);
  made->Set(-3);
  EXPECT_EQ(var.AsNumber(), 0);
  made->Set(10);
  EXPECT_EQ(made->nPercent(), 25);
  EXPECT_EQ(made->nRefresh, 100 + 0 + 25);

  // Repaints counted on a subclass over a window of its own.
  m->oWnd = w;
  m->nTop = 100, m->nLeft = 10, m->nBottom = 119, m->nRight = 209;
  m->nStyle = WS_CHILD | WS_VISIBLE;
  m->bSetGet = [&](std::optional<Value> u) {
    if (u) var = *u;
    return var;
  };
  m->nTotal = 0;
  m->Register(CS_VREDRAW | CS_HREDRAW);
  m->Create();
  ASSERT_TRUE(m->hWnd);
  m->Default();
  UpdateWindow(m->hWnd);
  imgtest::Pump();
  const int first = m->paints;
  EXPECT_GE(first, 1);
  m->Set(5);
  m->Set(0);
  imgtest::Pump();
  EXPECT_EQ(m->paints, first) << "a total of 0 never repaints";
  EXPECT_EQ(var.AsNumber(), 0);
  var = 7;  // a value the meter was not told of
  EXPECT_EQ(m->nPercent(), 0) << "a total of 0 shows 0 %";
  m->nTotal = 100;
  m->Set(50);
  EXPECT_EQ(m->paints, first + 1);
  m->Set(0);
  EXPECT_EQ(m->paints, first + 2) << "back to 0 % shows";
  m->Set(0);
  EXPECT_EQ(m->paints, first + 2);
  DestroyWindow(w->hWnd);
}

TEST(Meter, FaceInTwoColourPairs) {
  auto w = Owner();
  const COLORREF pane = w->nClrPane, text = w->nClrText;
  Value var = 50;
  auto m = TMeter::New({.nRow = 2, .nCol = 2, .bSetGet = [&](std::optional<Value> u) {
                          if (u) var = *u;
                          return var;
                        },
                        .nTotal = 100, .oWnd = w, .nWidth = 200, .nHeight = 24});
  ASSERT_TRUE(m->hWnd);
  RECT rc{};
  GetClientRect(m->hWnd, &rc);
  const int split = 50 * (rc.right - 1) / 100;
  {
    // Half done: blue with white text on the left, the window's colours on
    // the right, the text across both, a black box around.
    Shot shot(m->hWnd);
    int whites = 0, inks = 0;
    for (int y = 1; y < shot.h() - 1; ++y) {
      for (int x = 1; x < shot.w() - 1; ++x) {
        const COLORREF c = shot.At(x, y);
        if (x < split) {
          ASSERT_TRUE(c == RGB(0, 0, 255) || c == RGB(255, 255, 255)) << x << "," << y;
          whites += c == RGB(255, 255, 255);
        } else {
          ASSERT_TRUE(c == pane || c == text) << x << "," << y;
          inks += c == text;
        }
      }
    }
    EXPECT_GT(whites, 10);
    EXPECT_GT(inks, 10);
    for (int x = 0; x < shot.w(); ++x) EXPECT_EQ(shot.At(x, 0), RGB(0, 0, 0));
    for (int y = 0; y < shot.h(); ++y) EXPECT_EQ(shot.At(shot.w() - 1, y), RGB(0, 0, 0));
  }
  // 7 %: two blanks, the digit, the percent sign, over the window's colours.
  var = 7;
  m->Refresh(false);
  {
    Shot shot(m->hWnd);
    const auto want = Expected(m->hWnd, m->oFont->hFont, "  7%", pane, text);
    const auto other = Expected(m->hWnd, m->oFont->hFont, " 7%", pane, text);
    int diff = 0, otherDiff = 0;
    for (int y = 1; y < shot.h() - 1; ++y)
      for (int x = 7 * (rc.right - 1) / 100; x < shot.w() - 1; ++x) {
        diff += shot.At(x, y) != want[size_t(y * shot.w() + x)];
        otherDiff += shot.At(x, y) != other[size_t(y * shot.w() + x)];
      }
    EXPECT_EQ(diff, 0);
    EXPECT_GT(otherDiff, 0);
  }
  // 100 %: the digits and the sign, all in the bar's colours.
  m->Set(100);
  {
    Shot shot(m->hWnd);
    const auto want = Expected(m->hWnd, m->oFont->hFont, "100%", RGB(0, 0, 255), RGB(255, 255, 255));
    int diff = 0;
    for (int y = 1; y < shot.h() - 1; ++y)
      for (int x = 1; x < shot.w() - 1; ++x) diff += shot.At(x, y) != want[size_t(y * shot.w() + x)];
    EXPECT_EQ(diff, 0);
  }
  DestroyWindow(w->hWnd);
}
