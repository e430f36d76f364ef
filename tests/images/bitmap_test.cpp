// TBitmap on real windows: stretching, scrolling with the window's bars and
// the children on the picture, the drawing modes, and loading from
// resources, files, strings and the clipboard, damaged ones included.
#include <gtest/gtest.h>

#include "common/raised_errors.h"

#include <cstdlib>

#include "classes/bitmap.h"
#include "classes/icon.h"
#include "classes/scrllbar.h"
#include "native/draw.h"
#include "native/image.h"
#include "rt/error.h"
#include "support.h"

using namespace nx;
using imgtest::Shot;
using imgtest::Where;

namespace {

TWindowPtr Owner(COLORREF back = RGB(0, 128, 0)) {
  auto w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 400, .nRight = 500, .nClrBack = back, .lPixel = true});
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  UpdateWindow(w->hWnd);
  return w;
}

bool Near(COLORREF a, COLORREF b, int tol = 0) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tol && std::abs(GetGValue(a) - GetGValue(b)) <= tol &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tol;
}

using Errors = nxtest::RaisedErrors;

const std::string kBig = "img_where.bmp";

}  // namespace

TEST(BitmapView, StretchedFillsScrolledMovesWithBarsAndChildren) {
  imgtest::WriteFile(kBig, imgtest::WhereBmp(600, 500));
  auto w = Owner();

  // Stretched: the whole picture in the window, and never a scroll range.
  auto s = TBitmap::New({.nTop = 10, .nLeft = 10, .nWidth = 150, .nHeight = 120, .cBmpFile = kBig, .oWnd = w,
                         .lScroll = true, .lStretch = true, .lPixel = true});
  ASSERT_TRUE(s->hWnd);
  EXPECT_EQ(s->cBmpFile, kBig);
  EXPECT_EQ(s->nWidth(), 600);  // the image's size, not the window's
  EXPECT_EQ(GETSCROLLRANGE(s->hWnd, SB_VERT), std::make_pair(0, 0));
  EXPECT_EQ(GETSCROLLRANGE(s->hWnd, SB_HORZ), std::make_pair(0, 0));
  {
    Shot shot(s->hWnd);
    EXPECT_TRUE(Near(shot.At(0, 0), Where(0, 0), 4));
    EXPECT_TRUE(Near(shot.At(shot.w() - 1, shot.h() - 1), Where(599, 499), 5));
    const int mx = shot.w() / 2, my = shot.h() / 2;
    EXPECT_TRUE(Near(shot.At(mx, my), Where(mx * 600 / shot.w(), my * 500 / shot.h()), 5));
  }

  // At its own size in a smaller window: both ranges, and the picture
  // follows posted scroll messages.
  auto b = TBitmap::New({.nTop = 10, .nLeft = 200, .nWidth = 200, .nHeight = 160, .cBmpFile = kBig, .oWnd = w,
                         .lScroll = true, .lPixel = true});
  ASSERT_TRUE(b->hWnd);
  RECT view{};
  GetClientRect(b->hWnd, &view);
  EXPECT_EQ(GETSCROLLRANGE(b->hWnd, SB_VERT), std::make_pair(0, 500 - int(view.bottom)));
  EXPECT_EQ(GETSCROLLRANGE(b->hWnd, SB_HORZ), std::make_pair(0, 600 - int(view.right)));
  // A control placed on the picture.
  auto icon = TIcon::New({.nRow = 0, .nCol = 0, .oWnd = b});
  ASSERT_TRUE(icon->hWnd);
  icon->Move(20, 30);
  EXPECT_EQ(Shot(b->hWnd).At(100, 100), Where(100, 100));

  for (int i = 0; i < 3; ++i) PostMessageA(b->hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
  PostMessageA(b->hWnd, WM_HSCROLL, SB_PAGERIGHT, 0);
  imgtest::Pump();
  EXPECT_EQ(b->nX, -3);
  EXPECT_EQ(b->nY, -view.right);
  EXPECT_EQ(GETSCROLLPOS(b->hWnd, SB_VERT), 3);
  {
    Shot shot(b->hWnd);
    EXPECT_EQ(shot.At(0, 0), Where(view.right, 3));
    EXPECT_EQ(shot.At(100, 50), Where(view.right + 100, 53));
  }
  EXPECT_EQ(WNDTOP(icon->hWnd), 20 - 3);
  EXPECT_EQ(WNDLEFT(icon->hWnd), 30 - view.right);

  // To the far end: the last row and column of the picture are in view.
  PostMessageA(b->hWnd, WM_VSCROLL, SB_BOTTOM, 0);
  PostMessageA(b->hWnd, WM_HSCROLL, SB_RIGHT, 0);
  imgtest::Pump();
  {
    Shot shot(b->hWnd);
    EXPECT_EQ(shot.At(shot.w() - 1, shot.h() - 1), Where(599, 499));
  }
  EXPECT_EQ(GETSCROLLPOS(b->hWnd, SB_VERT), 500 - int(view.bottom));
  // Back up a line with the keyboard, and a page beyond the top stops there.
  b->KeyDown(VK_UP, 0);
  EXPECT_EQ(b->nX, -(500 - int(view.bottom)) + 1);
  b->PageUp();
  b->PageUp();
  b->PageUp();
  EXPECT_EQ(b->nX, 0);
  EXPECT_EQ(WNDTOP(icon->hWnd), 20);

  // A larger window needs no vertical bar any more; the view stays whole.
  b->ScrollUp();
  SetWindowPos(b->hWnd, nullptr, 0, 0, 300, 520, SWP_NOMOVE | SWP_NOZORDER);
  imgtest::Pump();
  EXPECT_EQ(GETSCROLLRANGE(b->hWnd, SB_VERT), std::make_pair(0, 0));
  EXPECT_EQ(b->nX, 0);
  EXPECT_EQ(WNDTOP(icon->hWnd), 20);
  DestroyWindow(w->hWnd);
  DeleteFileA(kBig.c_str());
}

TEST(BitmapView, TransparentZoomedAndAlphaPictures) {
  const COLORREF back = RGB(0, 128, 0);
  auto w = Owner(back);
  // Magenta corner colour: transparent where the picture is magenta.
  const auto file = imgtest::WriteFile("img_trans.bmp", imgtest::MakeBmp(20, 20, 24, {}, [](int x, int) {
                                         return x < 10 ? 0xFF00FFu : 0x0000FFu;
                                       }));
  auto t = TBitmap::New({.nTop = 0, .nLeft = 0, .nWidth = 40, .nHeight = 40, .cBmpFile = file,
                         .lNoBorder = true, .oWnd = w, .lPixel = true});
  t->lTransparent = true;
  t->Zoom(2);
  {
    Shot shot(t->hWnd);
    EXPECT_EQ(shot.At(5, 5), back);                 // magenta: the owner shows through
    EXPECT_EQ(shot.At(25, 35), RGB(0, 0, 255));     // blue, twice as large
    EXPECT_EQ(shot.At(39, 39), RGB(0, 0, 255));
  }
  // Per-pixel alpha: a transparent top half over the owner's colour, an
  // opaque red bottom half.
  HBITMAP alpha = nullptr;
  {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 20, -20, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    alpha = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* p = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 400; ++i) p[i] = i < 200 ? 0u : 0xFFFF0000u;
  }
  const std::string image = BMPTOSTR(alpha);
  DeleteObject(alpha);
  auto a = TBitmap::New({.nTop = 0, .nLeft = 100, .nWidth = 20, .nHeight = 20, .lNoBorder = true, .oWnd = w,
                         .lPixel = true});
  ASSERT_TRUE(a->LoadFromString(image));
  if (a->lHasAlpha) {
    Shot shot(a->hWnd);
    EXPECT_EQ(shot.At(10, 5), back);
    EXPECT_EQ(shot.At(10, 15), RGB(255, 0, 0));
  } else {
    ADD_FAILURE() << "a 32-bit screen was expected";
  }
  DestroyWindow(w->hWnd);
  DeleteFileA(file.c_str());
}

TEST(BitmapLoad, SourcesHoldersAndDamagedPictures) {
  RESREGISTER(true);
  const size_t start = RESCOUNT();
  const auto small = imgtest::MakeBmp(30, 20, 24, {}, [](int, int) { return 0x00FF00u; });
  HMODULE mod = imgtest::ResourceModule("img_res.exe", imgtest::HalfIcon(RGB(255, 0, 0)), small);
  ASSERT_TRUE(mod);
  HMODULE old = SETRESOURCES(mod);
  const auto file = imgtest::WriteFile(kBig, imgtest::WhereBmp(60, 50));
  Errors errors;
  {
    // A holder without a window: the resource wins and the file is forgotten.
    auto h = TBitmap::Define("LOGO", file);
    EXPECT_EQ(h->hWnd, nullptr);
    ASSERT_TRUE(h->hBitmap);
    EXPECT_EQ(NBMPWIDTH(h->hBitmap), 30);
    EXPECT_EQ(h->cResName, "LOGO");
    EXPECT_EQ(h->cBmpFile, "");
    EXPECT_TRUE(h->LoadImage("", file));
    EXPECT_EQ(h->cBmpFile, file);
    EXPECT_EQ(h->cResName, "");
    EXPECT_TRUE(h->LoadImage("LOGO", file));
    EXPECT_EQ(h->cBmpFile, "");
    EXPECT_EQ(RESCOUNT("BMP"), 1u);

    // Strings: empty keeps the picture; a file image replaces it.
    HBITMAP before = h->hBitmap;
    EXPECT_FALSE(h->LoadFromString(""));
    EXPECT_EQ(h->hBitmap, before);
    ASSERT_TRUE(h->LoadFromString(BMPTOSTR(before)));
    EXPECT_EQ(NBMPWIDTH(h->hBitmap), 30);
    EXPECT_TRUE(errors.errors.empty());

    // Damaged pictures: a clear error, the picture there was stays.
    const auto big = imgtest::WhereBmp(60, 50);
    HBITMAP kept = h->hBitmap;
    size_t reported = 0;
    for (size_t n = 0; n < big.size(); n += n < 80 ? 1 : 397) {
      std::string cut(big.begin(), big.begin() + std::ptrdiff_t(n));
      EXPECT_FALSE(h->LoadFromString(cut.empty() ? std::string("x") : cut)) << n;
      imgtest::WriteFile("img_cut.bmp", std::vector<uint8_t>(big.begin(), big.begin() + std::ptrdiff_t(n)));
      EXPECT_FALSE(h->LoadImage("", "img_cut.bmp")) << n;
      reported += 2;
      EXPECT_EQ(h->hBitmap, kept);
    }
    std::vector<uint8_t> hostile = big;
    hostile[18] = 0xFF, hostile[19] = 0xFF, hostile[20] = 0xFF, hostile[21] = 0x7F;  // width 2^31 - 1
    EXPECT_FALSE(h->LoadFromString(std::string(hostile.begin(), hostile.end())));
    ++reported;
    ASSERT_EQ(errors.errors.size(), reported);
    EXPECT_EQ(errors.errors.back()->GenCode, EG_CORRUPTION);
    EXPECT_EQ(errors.errors[1]->FileName, "img_cut.bmp");
    EXPECT_EQ(errors.errors[1]->Description, "Not a valid bitmap file");
    EXPECT_TRUE(errors.errors[1]->CanDefault);
    // A missing resource is reported; a missing file is only not read.
    errors.errors.clear();
    EXPECT_FALSE(h->LoadImage("NOSUCH", ""));
    EXPECT_FALSE(h->LoadImage("", "no_such.bmp"));
    ASSERT_EQ(errors.errors.size(), 1u);
    EXPECT_EQ(errors.errors[0]->Description, "Bitmap resource not found");
    EXPECT_EQ(h->hBitmap, kept);

    // The clipboard: a copy out and a copy back.
    auto w = Owner();
    auto c = TBitmap::New({.nWidth = 50, .nHeight = 50, .oWnd = w, .lPixel = true});
    ASSERT_TRUE(h->LoadImage("", file));
    ASSERT_TRUE(h->CopyToClipboard());
    ASSERT_TRUE(c->LoadFromClipboard());
    EXPECT_EQ(NBMPWIDTH(c->hBitmap), 60);
    EXPECT_EQ(NBMPHEIGHT(c->hBitmap), 50);
    EXPECT_EQ(Shot(c->hWnd).At(7, 9), Where(7, 9));
    DestroyWindow(w->hWnd);
    EXPECT_EQ(RESCOUNT("BMP"), 1u) << "the window's bitmap went with it";
    h->End();
    EXPECT_EQ(h->hBitmap, nullptr);
  }
  EXPECT_EQ(RESCOUNT(), start);
  SETRESOURCES(old);
  FreeLibrary(mod);
  DeleteFileA("img_res.exe");
  DeleteFileA("img_cut.bmp");
  DeleteFileA(file.c_str());
  RESREGISTER(false);
}
