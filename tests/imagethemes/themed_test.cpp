// The bitmap control in the themed look: this program is given a manifest
// file named after it before anything asks whether it is themed (the other
// picture tests run in the classic look).
#include <gtest/gtest.h>

#include "classes/bitmap.h"
#include "common/themed_look.h"
#include "images/support.h"
#include "native/draw.h"

using namespace nx;

namespace {

const bool kManifest = nxtest::ThemedLook();

}  // namespace

TEST(BitmapThemed, TheOwnersBackgroundAroundThePicture) {
  ASSERT_TRUE(kManifest);
  ASSERT_TRUE(ISAPPTHEMED());
  const COLORREF back = RGB(0, 128, 0);
  auto w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 200, .nRight = 300, .nClrBack = back, .lPixel = true});
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  const auto file = imgtest::WriteFile("themed_red.bmp", imgtest::MakeBmp(20, 20, 24, {}, [](int, int) {
                                         return 0xFF0000u;
                                       }));
  auto b = TBitmap::New({.nTop = 10, .nLeft = 10, .nWidth = 80, .nHeight = 60, .cBmpFile = file, .lNoBorder = true,
                         .oWnd = w, .lPixel = true});
  ASSERT_TRUE(b->hWnd);
  imgtest::Shot shot(b->hWnd);
  EXPECT_EQ(shot.At(5, 5), RGB(255, 0, 0));
  EXPECT_EQ(shot.At(50, 40), back);
  EXPECT_EQ(shot.At(79, 59), back);
  DestroyWindow(w->hWnd);
  DeleteFileA(file.c_str());
}
