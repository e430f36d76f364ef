// Bitmap and icon drawing, the double buffer and the disabled-button emboss.
#include <gtest/gtest.h>

#include "canvas.h"
#include "native/draw.h"
#include "native/gdi.h"

using drawtest::Canvas;
using drawtest::DcState;
using drawtest::MakeBitmap;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A background where every pixel differs from its neighbours.
COLORREF Ground(int x, int y) { return RGB(x * 7 % 256, y * 11 % 256, 100); }

}  // namespace

TEST(Bitmaps, DrawMaskedLeavesCornerColourPixelsUntouched) {
  Canvas c(24, 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) c.Set(x, y, Ground(x, y));
  // Magenta corner (the transparent colour), a magenta diagonal, green and black ink.
  auto pixel = [](int x, int y) {
    if ((x == 0 && y == 0) || x == y) return kMagenta;
    return (x + y) % 3 ? RGB(0, 200, 0) : RGB(0, 0, 0);
  };
  HBITMAP bmp = MakeBitmap(c.dc(), 10, 8, pixel);
  const DcState before = DcState::Of(c.dc());
  nx::DRAWMASKED(c.dc(), bmp, 3, 4);  // row 3, column 4
  EXPECT_TRUE(DcState::Of(c.dc()) == before);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const bool inside = x >= 4 && x < 14 && y >= 3 && y < 11;
      const COLORREF want = inside && pixel(x - 4, y - 3) != kMagenta ? pixel(x - 4, y - 3) : Ground(x, y);
      EXPECT_EQ(c.At(x, y), want) << x << "," << y;
    }
  DeleteObject(bmp);
  nx::DRAWMASKED(c.dc(), nullptr, 0, 0);  // no bitmap: nothing, no crash
}

TEST(Bitmaps, DrawBitmapCopiesAndStretches) {
  Canvas c(12, 12);
  HBITMAP bmp = MakeBitmap(c.dc(), 2, 2, [](int x, int y) { return RGB(x * 100, y * 100, 50); });
  nx::DRAWBITMAP(c.dc(), bmp, 1, 2);
  EXPECT_EQ(c.At(2, 1), RGB(0, 0, 50));
  EXPECT_EQ(c.At(3, 2), RGB(100, 100, 50));
  EXPECT_EQ(c.At(4, 1), kWhite);
  c.Fill(kWhite);
  nx::DRAWBITMAP(c.dc(), bmp, 0, 0, 4, 4);
  EXPECT_EQ(c.At(1, 1), RGB(0, 0, 50));
  EXPECT_EQ(c.At(3, 1), RGB(100, 0, 50));
  EXPECT_EQ(c.At(3, 3), RGB(100, 100, 50));
  EXPECT_EQ(c.At(4, 4), kWhite);
  c.Fill(kWhite);
  nx::DRAWBITMAP(nullptr, bmp, 0, 0);
  nx::DRAWBITMAP(c.dc(), nullptr, 0, 0);
  EXPECT_EQ(c.CountNot(kWhite), 0);
  EXPECT_EQ(nx::NBMPWIDTH(bmp), 2);
  EXPECT_EQ(nx::NBMPHEIGHT(bmp), 2);
  EXPECT_EQ(nx::NBMPWIDTH(nullptr), 0);
  DeleteObject(bmp);
}

TEST(Bitmaps, TransBmpStretchesAroundTheTransparentColour) {
  Canvas c(10, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) c.Set(x, y, Ground(x, y));
  HBITMAP bmp = MakeBitmap(c.dc(), 2, 2, [](int x, int y) { return x == y ? kMagenta : RGB(0, 0, 255); });
  nx::TRANSBMP(bmp, 2, 2, kMagenta, c.dc(), 1, 1, 4, 4);
  EXPECT_EQ(c.At(1, 1), Ground(1, 1));  // transparent quadrant
  EXPECT_EQ(c.At(4, 4), Ground(4, 4));
  EXPECT_EQ(c.At(3, 1), RGB(0, 0, 255));
  EXPECT_EQ(c.At(1, 3), RGB(0, 0, 255));
  EXPECT_EQ(c.At(5, 5), Ground(5, 5));
  DeleteObject(bmp);
}

TEST(Bitmaps, PalBmpDrawRecoloursTheCornerColourInTheBitmap) {
  Canvas c(8, 8);
  HBITMAP bmp = MakeBitmap(c.dc(), 3, 3, [](int x, int) { return x == 1 ? RGB(0, 0, 0) : kMagenta; });
  nx::PALBMPDRAW(c.dc(), 0, 0, bmp, nullptr, 0, 0, 0, true, RGB(0, 128, 0));
  EXPECT_EQ(c.At(0, 0), RGB(0, 128, 0));
  EXPECT_EQ(c.At(1, 1), RGB(0, 0, 0));
  EXPECT_EQ(c.At(2, 2), RGB(0, 128, 0));
  // The change stays in the bitmap: a plain draw shows it again.
  c.Fill(kWhite);
  nx::DRAWBITMAP(c.dc(), bmp, 0, 0);
  EXPECT_EQ(c.At(0, 0), RGB(0, 128, 0));
  // Stretching ignores transparency.
  c.Fill(kWhite);
  nx::PALBMPDRAW(c.dc(), 0, 0, bmp, nullptr, 6, 6, 0, true, RGB(255, 0, 0));
  EXPECT_EQ(c.At(0, 0), RGB(0, 128, 0));
  EXPECT_EQ(c.At(3, 3), RGB(0, 0, 0));
  DeleteObject(bmp);
}

TEST(Bitmaps, ResizeBmpMakesANewStretchedBitmap) {
  Canvas c(8, 8);
  HBITMAP bmp = MakeBitmap(c.dc(), 2, 1, [](int x, int) { return x ? RGB(255, 0, 0) : RGB(0, 0, 255); });
  HBITMAP big = nx::RESIZEBMP(bmp, 6, 3);
  ASSERT_TRUE(big);
  EXPECT_EQ(nx::NBMPWIDTH(big), 6);
  EXPECT_EQ(nx::NBMPHEIGHT(big), 3);
  nx::DRAWBITMAP(c.dc(), big, 0, 0);
  EXPECT_EQ(c.At(0, 2), RGB(0, 0, 255));
  EXPECT_EQ(c.At(5, 0), RGB(255, 0, 0));
  EXPECT_TRUE(nx::DELETEOBJECT(big));
  EXPECT_EQ(nx::RESIZEBMP(nullptr, 4, 4), nullptr);
  EXPECT_EQ(nx::RESIZEBMP(bmp, 0, 4), nullptr);
  DeleteObject(bmp);
}

namespace {

// A 32 x 32 icon: left half opaque red, right half transparent.
HICON HalfRedIcon() {
  HDC screen = GetDC(nullptr);
  HBITMAP color = MakeBitmap(screen, 32, 32, [](int x, int) { return x < 16 ? RGB(255, 0, 0) : RGB(0, 0, 0); });
  ReleaseDC(nullptr, screen);
  BYTE maskBits[32 * 4];
  for (int y = 0; y < 32; ++y) {
    maskBits[y * 4] = maskBits[y * 4 + 1] = 0x00;      // opaque
    maskBits[y * 4 + 2] = maskBits[y * 4 + 3] = 0xFF;  // transparent
  }
  HBITMAP mask = CreateBitmap(32, 32, 1, 1, maskBits);
  ICONINFO ii{TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(mask);
  DeleteObject(color);
  return icon;
}

}  // namespace

TEST(Icons, DrawIconFocusTintsOpaquePixelsOnly) {
  HICON icon = HalfRedIcon();
  ASSERT_TRUE(icon);
  Canvas c(40, 40, RGB(100, 100, 100));
  ASSERT_GT(GetDeviceCaps(c.dc(), BITSPIXEL), 8);
  const DcState before = DcState::Of(c.dc());
  EXPECT_TRUE(nx::DRAWICONFOCUS(c.dc(), 2, 3, icon));
  EXPECT_TRUE(DcState::Of(c.dc()) == before);
  // Opaque red (255, 0, 0) becomes (127, 0, 64); the rest keeps the ground.
  EXPECT_EQ(c.At(3, 2), RGB(127, 0, 64));
  EXPECT_EQ(c.At(18, 33), RGB(127, 0, 64));
  EXPECT_EQ(c.At(19, 2), RGB(100, 100, 100));
  EXPECT_EQ(c.At(34, 33), RGB(100, 100, 100));
  EXPECT_EQ(c.At(2, 2), RGB(100, 100, 100));  // outside the icon
  EXPECT_FALSE(nx::DRAWICONFOCUS(c.dc(), 0, 0, nullptr));

  c.Fill(RGB(100, 100, 100));
  EXPECT_TRUE(nx::DRAWICON(c.dc(), 0, 0, icon));
  EXPECT_EQ(c.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.At(20, 0), RGB(100, 100, 100));
  DestroyIcon(icon);
}

TEST(DoubleBuffer, DispEndCopiesExactlyTheClientArea) {
  HWND wnd = drawtest::MakeWindow(40, 30);
  ASSERT_TRUE(wnd);
  Canvas target(64, 48);
  const nx::DispInfo info = nx::NXDISPBEGIN(wnd, target.dc());
  ASSERT_TRUE(info.hMemDC);
  EXPECT_EQ(info.hWnd, wnd);
  EXPECT_EQ(info.hDC, target.dc());
  EXPECT_EQ(GetCurrentObject(info.hMemDC, OBJ_BITMAP), info.hBitmap);
  EXPECT_EQ(nx::NBMPWIDTH(info.hBitmap), 40);
  EXPECT_EQ(nx::NBMPHEIGHT(info.hBitmap), 30);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  RECT all{0, 0, 500, 500};
  FillRect(info.hMemDC, &all, blue);
  DeleteObject(blue);
  EXPECT_EQ(target.CountNot(kWhite), 0);  // nothing shows before the end
  EXPECT_EQ(nx::NXDISPEND(info), target.dc());
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      EXPECT_EQ(target.At(x, y), x < 40 && y < 30 ? RGB(0, 0, 255) : kWhite) << x << "," << y;
  EXPECT_EQ(GetObjectType(info.hBitmap), 0u);  // off-screen bitmap deleted
  EXPECT_EQ(GetObjectType(info.hMemDC), 0u);
  DestroyWindow(wnd);

  const nx::DispInfo none = nx::NXDISPBEGIN(nullptr, target.dc());
  EXPECT_EQ(none.hMemDC, nullptr);
  EXPECT_EQ(nx::NXDISPEND(none), target.dc());
}

TEST(Boxes, BtnDisableEmbossesTheInk) {
  HWND wnd = drawtest::MakeWindow(20, 20);
  ASSERT_TRUE(wnd);
  const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT),
                 dark = GetSysColor(COLOR_BTNSHADOW);
  Canvas c(20, 20, face);
  c.Set(5, 5, RGB(0, 0, 0));    // ink
  c.Set(10, 4, light);          // highlight counts as ground
  c.Set(0, 0, RGB(0, 0, 0));    // outside the area (client less one pixel)
  const DcState before = DcState::Of(c.dc());
  nx::BTNDISABLE(wnd, c.dc());
  EXPECT_TRUE(DcState::Of(c.dc()) == before);
  EXPECT_EQ(c.At(5, 5), dark);
  EXPECT_EQ(c.At(6, 6), light);
  EXPECT_EQ(c.At(10, 4), light);
  EXPECT_EQ(c.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(c.At(12, 12), face);
  DestroyWindow(wnd);
}

TEST(Boxes, CtrlDrawFocusIsItsOwnEraser) {
  // The frame goes to the parent's window DC; a second call must undo it.
  HWND parent = drawtest::MakeWindow(120, 80);
  HWND child = drawtest::MakeWindow(30, 20, parent);
  ASSERT_TRUE(parent && child);
  SetWindowPos(child, nullptr, 20, 20, 30, 20, SWP_NOZORDER);
  ShowWindow(parent, SW_SHOWNA);
  UpdateWindow(parent);
  HBITMAP before = nx::WNDBITMAP(parent);
  nx::CTRLDRAWFOCUS(child, 5, 5, 0, 0);
  HBITMAP during = nx::WNDBITMAP(parent);
  nx::CTRLDRAWFOCUS(child, 5, 5, 0, 0);
  HBITMAP after = nx::WNDBITMAP(parent);
  ASSERT_TRUE(before && during && after);
  EXPECT_EQ(nx::BMPTOSTR(before), nx::BMPTOSTR(after));
  EXPECT_NE(nx::BMPTOSTR(before), nx::BMPTOSTR(during));
  nx::DELETEOBJECT(before);
  nx::DELETEOBJECT(during);
  nx::DELETEOBJECT(after);
  DestroyWindow(parent);
}
