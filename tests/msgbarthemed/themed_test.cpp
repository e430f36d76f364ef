// The message bar with visual styles: this program is given a manifest file
// named after it before anything asks whether it is themed. A maximized
// owner keeps the grip's margin of the themed look and shows no grip.
#include <gtest/gtest.h>

#include "common/themed_look.h"
#include "msgbar/support.h"
#include "native/draw.h"

using namespace nx;
using namespace msgtest;

namespace {

const bool kManifest = nxtest::ThemedLook();

// Whether anything but the pane colour lies in the grip's corner.
bool SomethingInTheCorner(const TMsgBar& bar) {
  const RECT c = Client(bar.hWnd);
  const RECT corner{c.right - 12, c.bottom - 13, c.right - 1, c.bottom - 1};
  const int all = (corner.right - corner.left) * (corner.bottom - corner.top);
  return CountColor(bar.hWnd, corner, bar.nClrPane) < all;
}

}  // namespace

TEST(MsgBarThemed, MaximizedKeepsTheMarginAndHidesTheGrip) {
  ASSERT_TRUE(kManifest);
  ASSERT_TRUE(ISAPPTHEMED());
  Scene s({.cMsg = "Themed", .lKbd = true});
  const auto& last = *s.bar->aItem.back();
  EXPECT_EQ(last.nLeft() + last.nWidth - 2, s.bar->nRight - 13);
  EXPECT_TRUE(SomethingInTheCorner(*s.bar)) << "the grip shows on a normal window";

  ShowWindow(s.wnd->hWnd, SW_MAXIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return IsZoomed(s.wnd->hWnd) && Client(s.bar->hWnd).right == Client(s.wnd->hWnd).right; }));
  UpdateWindow(s.bar->hWnd);
  EXPECT_EQ(s.bar->nRight, Client(s.wnd->hWnd).right + 1);
  EXPECT_EQ(last.nLeft() + last.nWidth - 2, s.bar->nRight - 13) << "the themed look keeps its margin";
  EXPECT_FALSE(SomethingInTheCorner(*s.bar)) << "no grip on a maximized window";
}
