// BMP files and DIB blocks: good files read to the right pixels, bad ones
// give 0 without reading past their data.
#include <gtest/gtest.h>

#include <random>

#include "canvas.h"
#include "native/draw.h"
#include "native/gdi.h"
#include "rt/bmpfile.h"

using drawtest::Canvas;
using drawtest::MakeBmp;
using drawtest::WriteFile;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

std::vector<COLORREF> Palette(int n) {
  std::vector<COLORREF> t;
  for (int i = 0; i < n; ++i) t.push_back(RGB(i * 37 % 256, i * 91 % 256, i * 13 % 256));
  return t;
}

void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (8 * i));
}

// Draws a bitmap and answers pixel (x, y).
COLORREF PixelOf(HBITMAP bmp, int x, int y) {
  Canvas c(64, 64);
  nx::DRAWBITMAP(c.dc(), bmp, 0, 0);
  return c.At(x, y);
}

}  // namespace

TEST(BmpRead, EveryDepthReadsToItsPixels) {
  const auto table = Palette(256);
  struct Case {
    int bpp;
    int colors;
  };
  for (const Case cs : {Case{1, 2}, Case{4, 16}, Case{8, 256}, Case{24, 0}, Case{32, 0}}) {
    std::vector<COLORREF> t(table.begin(), table.begin() + cs.colors);
    auto value = [&](int x, int y) -> uint32_t {
      if (cs.colors) return uint32_t((x + 3 * y) % cs.colors);
      return uint32_t((x * 20) << 16 | (y * 30) << 8 | 7);
    };
    auto expect = [&](int x, int y) {
      if (cs.colors) return t[value(x, y)];
      const uint32_t v = value(x, y);
      return RGB(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF);
    };
    const std::string file = WriteFile("draw_depth.bmp", MakeBmp(7, 5, cs.bpp, t, value));
    HBITMAP bmp = nx::READBITMAP(nullptr, file);
    ASSERT_TRUE(bmp) << cs.bpp;
    EXPECT_EQ(nx::NBMPWIDTH(bmp), 7);
    EXPECT_EQ(nx::NBMPHEIGHT(bmp), 5);
    Canvas c(8, 8);
    nx::DRAWBITMAP(c.dc(), bmp, 0, 0);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) EXPECT_EQ(c.At(x, y), expect(x, y)) << cs.bpp << " " << x << "," << y;
    EXPECT_TRUE(nx::DELETEOBJECT(bmp));
  }
  DeleteFileA("draw_depth.bmp");
}

TEST(BmpRead, Rle8IsDecodedWithinItsData) {
  // 4 x 2, RLE8: the bottom row is 3 x index 1 and 1 x index 2, then end of line and of bitmap.
  std::vector<uint8_t> f = MakeBmp(4, 2, 8, {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0)},
                                   [](int, int) { return 0u; }, 3);
  const size_t off = 14 + 40 + 12;
  f.resize(off);
  const uint8_t rle[] = {3, 1, 1, 2, 0, 0, 0, 1};
  f.insert(f.end(), std::begin(rle), std::end(rle));
  Put32(f, 14 + 16, 1);  // BI_RLE8
  Put32(f, 14 + 20, sizeof rle);
  Put32(f, 2, uint32_t(f.size()));
  const std::string file = WriteFile("draw_rle.bmp", f);
  HBITMAP bmp = nx::READBITMAP(nullptr, file);
  ASSERT_TRUE(bmp);
  // Bottom-up: the first decoded row is the bottom one (y = 1).
  EXPECT_EQ(PixelOf(bmp, 0, 1), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(bmp, 2, 1), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(bmp, 3, 1), RGB(0, 255, 0));
  EXPECT_EQ(PixelOf(bmp, 0, 0), RGB(0, 0, 0));
  nx::DELETEOBJECT(bmp);
  // A run that claims more data than there is stops at the end of the data.
  f.resize(f.size() - 4);
  Put32(f, 14 + 20, 0);
  f.push_back(0);  // a dangling half pair
  WriteFile(file, f);
  bmp = nx::READBITMAP(nullptr, file);
  EXPECT_TRUE(bmp);
  nx::DELETEOBJECT(bmp);
  DeleteFileA(file.c_str());
}

TEST(BmpRead, BadFilesGiveZero) {
  const auto good = MakeBmp(8, 8, 8, Palette(256), [](int x, int y) { return uint32_t(x * y); });
  std::vector<std::pair<const char*, std::vector<uint8_t>>> bad;
  bad.push_back({"empty", {}});
  bad.push_back({"not bmp", std::vector<uint8_t>(good.size(), 'x')});
  bad.push_back({"header only", std::vector<uint8_t>(good.begin(), good.begin() + 14)});
  bad.push_back({"truncated bits", std::vector<uint8_t>(good.begin(), good.end() - 1)});
  bad.push_back({"truncated table", std::vector<uint8_t>(good.begin(), good.begin() + 14 + 40 + 100)});
  auto patched = [&](size_t at, uint32_t v) {
    auto f = good;
    Put32(f, at, v);
    return f;
  };
  bad.push_back({"width lies", patched(14 + 4, 9)});
  bad.push_back({"height lies", patched(14 + 8, 9)});
  bad.push_back({"huge width", patched(14 + 4, 0x7FFFFFFF)});
  bad.push_back({"negative width", patched(14 + 4, uint32_t(-8))});
  bad.push_back({"zero height", patched(14 + 8, 0)});
  bad.push_back({"colour count lies", patched(14 + 32, 300)});
  bad.push_back({"colour table past the end", patched(14 + 32, 256 + 1)});
  bad.push_back({"pixel offset past the end", patched(10, uint32_t(good.size() + 10))});
  bad.push_back({"pixel offset inside the header", patched(10, 20)});
  bad.push_back({"header size lies", patched(14, 4000)});
  bad.push_back({"core header", patched(14, 12)});
  bad.push_back({"bit count", patched(14 + 14, 7)});
  bad.push_back({"compression", patched(14 + 16, 4)});
  bad.push_back({"rle4 on 8 bits", patched(14 + 16, 2)});
  for (const auto& [name, data] : bad) {
    const std::string file = WriteFile("draw_bad.bmp", data);
    EXPECT_EQ(nx::READBITMAP(nullptr, file), nullptr) << name;
    EXPECT_EQ(nx::DIBREAD(file), nullptr) << name;
    const nx::PalBmp pb = nx::PALBMPREAD(nullptr, file);
    EXPECT_EQ(pb.hBitmap, nullptr) << name;
    EXPECT_EQ(pb.hPalette, nullptr) << name;
  }
  EXPECT_EQ(nx::READBITMAP(nullptr, "no such file.bmp"), nullptr);
  EXPECT_EQ(nx::DIBREAD("no such file.bmp"), nullptr);
  EXPECT_EQ(nx::DIBCOUNT(), 0u);
  DeleteFileA("draw_bad.bmp");
}

TEST(BmpRead, MutatedFilesNeverReadPastTheirData) {
  // Bounded mutation loop over the whole path (file, validation, GDI); the
  // host fuzz target runs the validation alone for longer.
  std::mt19937 rng(4);
  const auto seed = MakeBmp(9, 7, 4, Palette(16), [](int x, int y) { return uint32_t(x ^ y) & 15; });
  for (int i = 0; i < 300; ++i) {
    auto f = seed;
    const int edits = 1 + int(rng() % 4);
    for (int e = 0; e < edits; ++e) {
      switch (rng() % 3) {
        case 0: f[rng() % f.size()] = uint8_t(rng()); break;
        case 1: f.resize(rng() % f.size()); break;
        case 2: Put32(f, 14 + 4 * (rng() % 10), uint32_t(rng())); break;
      }
      if (f.size() < 60) f.resize(60, 0);
    }
    const std::string file = WriteFile("draw_mut.bmp", f);
    HBITMAP bmp = nx::READBITMAP(nullptr, file);
    // Whatever was accepted must be consistent with its own data.
    EXPECT_EQ(bmp != nullptr, !nx::bmp::NormaliseFile(f).empty());
    if (bmp) nx::DELETEOBJECT(bmp);
    if (HGLOBAL dib = nx::DIBREAD(file)) {
      EXPECT_TRUE(nx::DIBFREE(dib));
    }
  }
  DeleteFileA("draw_mut.bmp");
}

TEST(Dib, ReadDrawWriteRoundTrip) {
  const auto table = Palette(256);
  auto value = [](int x, int y) { return uint32_t((x * 5 + y) % 256); };
  const std::string file = WriteFile("draw_dib.bmp", MakeBmp(6, 4, 8, table, value));
  HGLOBAL dib = nx::DIBREAD(file);
  ASSERT_TRUE(dib);
  EXPECT_EQ(nx::DIBCOUNT(), 1u);
  Canvas c(10, 10);
  EXPECT_TRUE(nx::DIBDRAW(c.dc(), dib, nullptr, 1, 2));
  EXPECT_EQ(c.At(2, 1), table[value(0, 0)]);
  EXPECT_EQ(c.At(7, 4), table[value(5, 3)]);
  EXPECT_EQ(c.At(8, 1), kWhite);
  c.Fill(kWhite);
  Canvas big(16, 12);
  EXPECT_TRUE(nx::DIBDRAW(big.dc(), dib, nullptr, 0, 0, 12, 8));  // stretched to twice the size
  EXPECT_EQ(big.At(1, 1), table[value(0, 0)]);
  EXPECT_EQ(big.At(2, 0), table[value(1, 0)]);
  EXPECT_EQ(big.At(11, 7), table[value(5, 3)]);
  EXPECT_EQ(big.At(12, 0), kWhite);
  EXPECT_FALSE(nx::DIBDRAW(nullptr, dib, nullptr, 0, 0));
  EXPECT_FALSE(nx::DIBDRAW(c.dc(), nullptr, nullptr, 0, 0));

  HPALETTE pal = nx::DIBPALETTE(dib);
  ASSERT_TRUE(pal);
  PALETTEENTRY e{};
  ASSERT_EQ(GetPaletteEntries(pal, 7, 1, &e), 1u);
  EXPECT_EQ(RGB(e.peRed, e.peGreen, e.peBlue), table[7]);
  EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 256u);
  nx::DELETEOBJECT(pal);

  EXPECT_TRUE(nx::DIBWRITE("draw_dib2.bmp", dib));
  const std::string written = drawtest::ReadText("draw_dib2.bmp");
  ASSERT_GE(written.size(), 14u);
  EXPECT_EQ(written.substr(0, 2), "BM");
  EXPECT_EQ(uint8_t(written[10]) | uint8_t(written[11]) << 8, 14 + 40 + 4 * 256);
  EXPECT_EQ(written.size(), GlobalSize(dib) + 14);
  EXPECT_TRUE(nx::DIBFREE(dib));
  EXPECT_FALSE(nx::DIBFREE(dib));
  EXPECT_EQ(nx::DIBCOUNT(), 0u);
  DeleteFileA(file.c_str());
  DeleteFileA("draw_dib2.bmp");
}

TEST(Dib, PalBmpReadMakesAPaletteAboveSixteenColours) {
  const std::string f8 = WriteFile("draw_pal8.bmp", MakeBmp(4, 4, 8, Palette(256), [](int x, int) { return uint32_t(x); }));
  const std::string f4 = WriteFile("draw_pal4.bmp", MakeBmp(4, 4, 4, Palette(16), [](int x, int) { return uint32_t(x); }));
  const nx::PalBmp p8 = nx::PALBMPREAD(nullptr, f8);
  EXPECT_TRUE(p8.hBitmap);
  EXPECT_TRUE(p8.hPalette);
  const nx::PalBmp p4 = nx::PALBMPREAD(nullptr, f4);
  EXPECT_TRUE(p4.hBitmap);
  EXPECT_EQ(p4.hPalette, nullptr);
  Canvas c(8, 8);
  nx::PALBMPDRAW(c.dc(), 0, 0, p8.hBitmap, p8.hPalette);
  EXPECT_EQ(c.At(3, 0), Palette(256)[3]);
  nx::PalBmpFree(p8.hBitmap, p8.hPalette);
  nx::PalBmpFree(p4.hBitmap, p4.hPalette);
  EXPECT_EQ(GetObjectType(p8.hPalette), 0u);
  EXPECT_EQ(nx::PALBMPLOAD("NO_SUCH_BITMAP").hBitmap, nullptr);
  DeleteFileA(f8.c_str());
  DeleteFileA(f4.c_str());
}

TEST(Dib, FromBitmapAndBmpToStrGiveAReadableFile) {
  Canvas c(4, 4);
  HBITMAP bmp = drawtest::MakeBitmap(c.dc(), 5, 3, [](int x, int y) { return RGB(x * 40, y * 60, 9); });
  HGLOBAL dib = nx::DIBFROMBITMAP(bmp);
  ASSERT_TRUE(dib);
  const auto* bih = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
  EXPECT_EQ(bih->biSize, 40u);
  EXPECT_EQ(bih->biWidth, 5);
  EXPECT_EQ(bih->biHeight, 3);
  EXPECT_EQ(bih->biPlanes, 1);
  EXPECT_EQ(bih->biCompression, DWORD(BI_RGB));
  GlobalUnlock(dib);
  EXPECT_TRUE(nx::DIBFREE(dib));

  const std::string s = nx::BMPTOSTR(bmp);
  ASSERT_FALSE(s.empty());
  const std::string file = WriteFile("draw_str.bmp", std::vector<uint8_t>(s.begin(), s.end()));
  HBITMAP back = nx::READBITMAP(nullptr, file);
  ASSERT_TRUE(back);
  EXPECT_EQ(PixelOf(back, 4, 2), RGB(160, 120, 9));
  nx::DELETEOBJECT(back);
  DeleteObject(bmp);
  EXPECT_EQ(nx::BMPTOSTR(nullptr), "");
  DeleteFileA(file.c_str());
}

TEST(Dib, PalBmpNewSetsTheApplicationPalette) {
  HWND wnd = drawtest::MakeWindow(4, 4);
  Canvas c(2, 2);
  HBITMAP bmp = drawtest::MakeBitmap(c.dc(), 1, 1, [](int, int) { return RGB(1, 2, 3); });
  LOGPALETTE lp{0x300, 1, {{1, 2, 3, 0}}};
  HPALETTE pal = CreatePalette(&lp);
  nx::PALBMPNEW(nullptr, bmp, pal);
  EXPECT_EQ(nx::PALBMPCURRENT(), nullptr);
  nx::PALBMPNEW(wnd, bmp, pal);
  EXPECT_EQ(nx::PALBMPCURRENT(), pal);
  nx::PalBmpFree(bmp, pal);
  EXPECT_EQ(nx::PALBMPCURRENT(), nullptr);
  DestroyWindow(wnd);
}
