// The resource register as leak detector: a large batch of calls through
// every creating and drawing native leaves no entry, and a GDI budget run
// that would exhaust the handle table if a single call leaked.
#include <gtest/gtest.h>

#include "canvas.h"
#include "classes/brush.h"
#include "classes/cursor.h"
#include "classes/font.h"
#include "classes/pen.h"
#include "native/draw.h"
#include "native/gdi.h"

using drawtest::Canvas;
using drawtest::DcState;

namespace {

class Register : public ::testing::Test {
 protected:
  void SetUp() override { nx::RESREGISTER(true); }
  void TearDown() override { nx::RESREGISTER(false); }
};

HICON SmallIcon() {
  BYTE andBits[32 * 4], xorBits[32 * 4];
  for (int i = 0; i < 128; ++i) {
    andBits[i] = i % 4 < 2 ? 0x00 : 0xFF;
    xorBits[i] = 0x0F;
  }
  return CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andBits, xorBits);
}

// One pass over the natives, good paths and early returns alike.
void EveryNative(Canvas& c, HWND wnd, HBITMAP bmp, HICON icon, const std::string& goodFile,
                 const std::string& badFile) {
  HDC dc = c.dc();
  nx::WNDBOX(dc, 1, 1, 20, 20);
  nx::WNDBOX2007(dc, 1, 1, 20, 20, RGB(1, 2, 3));
  nx::WNDBOXRAISED(dc, 1, 1, 20, 20);
  nx::WNDBOXIN(dc, 1, 1, 20, 20);
  nx::WNDRAISED(wnd, dc);
  nx::WNDRAISED(wnd);
  nx::FRAMEDOT(dc, 1, 1, 20, 20);
  nx::ROUNDBOX(dc, 1, 1, 20, 20, 4, 4, RGB(0, 0, 255), 2);
  nx::RECTANGLE(dc, 1, 1, 5, 5);
  nx::ELLIPSE(dc, 1, 1, 5, 5);
  nx::DRAWFOCUSRECT(dc, 1, 1, 9, 9);
  nx::BTNDISABLE(wnd, dc);
  nx::INVERTRECT(dc, {0, 0, 3, 3});
  nx::GRADIENT(dc, {0, 0, 40, 40}, RGB(0, 0, 0), RGB(255, 255, 255), true);
  nx::GRADIENT(dc, {0, 0, 40, 40}, RGB(0, 0, 0), RGB(255, 255, 255), false);
  nx::GradientFill(dc, 0, 0, 30, 30, {{0.3, 0, 255}, {0.7, 255, 0}});
  nx::FLOODFILL(dc, 30, 30, RGB(1, 2, 3), RGB(9, 9, 9));
  nx::MOVETO(dc, 1, 1);
  nx::LINETO(dc, 5, 5, static_cast<HPEN>(GetStockObject(WHITE_PEN)));
  nx::MOVETO(dc, 0, 0);  // moving the position is what the two are for
  nx::DRAWTEXT(dc, "text");
  nx::DRAWTEXTEX(dc, "longer text", nx::ARect{0, 0, 10, 20}, DT_END_ELLIPSIS | DT_MODIFYSTRING);
  nx::WSAY(wnd, nullptr, 0, 0, "say");
  nx::WSAY(nullptr, dc, 1, 1, "say", 0, 0, static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT)), false, true, TA_RIGHT);
  nx::WSAYRECT(nullptr, dc, 1, 1, "rect", 0, RGB(255, 255, 255), 30);
  nx::GETTEXTWIDTH(dc, "w", static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT)));
  nx::GETTEXTHEIGHT(wnd);
  nx::DRAWBITMAP(dc, bmp, 0, 0);
  nx::DRAWBITMAP(dc, bmp, 0, 0, 20, 10, SRCAND);
  nx::DRAWMASKED(dc, bmp, 2, 2);
  nx::TRANSBMP(bmp, 8, 8, RGB(255, 0, 255), dc, 0, 0, 16, 16);
  nx::PALBMPDRAW(dc, 0, 0, bmp, nullptr, 0, 0, 0, true, RGB(0, 255, 0));
  nx::PALBMPDRAW(dc, 0, 0, bmp, nullptr, 12, 12);
  nx::DRAWICON(dc, 0, 0, icon);
  nx::DRAWICONFOCUS(dc, 0, 0, icon);
  nx::DELETEOBJECT(nx::RESIZEBMP(bmp, 5, 5));
  nx::DELETEOBJECT(nx::WNDBITMAP(wnd));
  nx::HASALPHA(bmp);
  nx::ABPAINT(dc, 0, 0, bmp, 100);
  nx::BMPTOSTR(bmp);
  nx::DIBFREE(nx::DIBFROMBITMAP(bmp));
  {
    const nx::DispInfo info = nx::NXDISPBEGIN(wnd, dc);
    nx::WNDBOX(info.hMemDC, 0, 0, 5, 5);
    nx::NXDISPEND(info);
  }
  // Files: good and bad.
  nx::DELETEOBJECT(nx::READBITMAP(nullptr, goodFile));
  nx::DELETEOBJECT(nx::READBITMAP(dc, badFile));
  if (HGLOBAL dib = nx::DIBREAD(goodFile)) {
    nx::DIBDRAW(dc, dib, nullptr, 0, 0);
    nx::DIBDRAW(dc, dib, nullptr, 0, 0, 30, 30);
    nx::DELETEOBJECT(nx::DIBPALETTE(dib));
    nx::DIBFREE(dib);
  }
  nx::DIBREAD(badFile);
  const nx::PalBmp pb = nx::PALBMPREAD(nullptr, goodFile);
  nx::PALBMPDRAW(dc, 0, 0, pb.hBitmap, pb.hPalette);
  nx::PalBmpFree(pb.hBitmap, pb.hPalette);
  nx::PALBMPREAD(nullptr, badFile);
  // Creating natives and their deletion.
  nx::FontDesc d;
  d.nHeight = -12;
  d.cFaceName = "Arial";
  nx::DELETEOBJECT(nx::CREATEFONT(d));
  nx::DELETEOBJECT(nx::CREATESOLIDBRUSH(RGB(3, 4, 5)));
  nx::DELETEOBJECT(nx::CREATEHATCHBRUSH(HS_CROSS, RGB(3, 4, 5)));
  HBITMAP pattern = nx::NXBRUSHES(2);
  nx::DELETEOBJECT(nx::CREATEPATTERNBRUSH(pattern));
  nx::DELETEOBJECT(pattern);
  nx::DELETEOBJECT(nx::CREATEPEN(PS_DOT, 1, 0));
  nx::DESTROYCURSOR(nx::CREATEBMPCURSOR(bmp, nullptr, 0, 0, false, {RGB(255, 0, 255)}));
  // Classes.
  auto f1 = nx::TFont::New({.cFaceName = "Arial", .nHeight = -15});
  auto f2 = f1->Bold();
  f2->End();
  f1->End();
  auto b1 = nx::TBrush::New({.cStyle = "TILED"});
  auto b2 = nx::TBrush::New({.cStyle = "DIAGCROSS", .nRGBColor = 255});
  auto b3 = nx::TBrush::New({.cBmpFile = goodFile});
  auto b4 = b3->Resized(3, 3, 1);
  for (auto& b : {b1, b2, b3, b4}) b->End();
  nx::TPen::New(PS_SOLID, 3, 0)->End();
  nx::TCursor t;
  t.NewBmp(bmp, nullptr, 0, 0, false, {RGB(255, 0, 255)});
  t.End();
}

}  // namespace

TEST_F(Register, ABatchOfEveryNativeLeavesNothing) {
  Canvas c(64, 64);
  HWND wnd = drawtest::MakeWindow(40, 30);
  ASSERT_TRUE(wnd);
  HBITMAP bmp = drawtest::MakeBitmap(c.dc(), 8, 8, [](int x, int y) {
    return (x + y) % 3 ? RGB(255, 0, 255) : RGB(x * 30, y * 30, 0);
  });
  HICON icon = SmallIcon();
  std::vector<COLORREF> table;
  for (int i = 0; i < 256; ++i) table.push_back(RGB(i, 255 - i, i / 2));
  const std::string good = drawtest::WriteFile(
      "draw_leak.bmp", drawtest::MakeBmp(9, 9, 8, table, [](int x, int y) { return uint32_t(x * y); }));
  auto badData = drawtest::MakeBmp(9, 9, 8, table, [](int, int) { return 0u; });
  badData.resize(badData.size() - 3);
  const std::string bad = drawtest::WriteFile("draw_leak_bad.bmp", badData);

  const DcState before = DcState::Of(c.dc());
  for (int i = 0; i < 200; ++i) EveryNative(c, wnd, bmp, icon, good, bad);
  EXPECT_TRUE(DcState::Of(c.dc()) == before);
  EXPECT_EQ(nx::RESCOUNT(), 0u);
  EXPECT_EQ(nx::DIBCOUNT(), 0u);
  EXPECT_EQ(nx::RESREPORT(), 0u);
  EXPECT_EQ(drawtest::ReadText("res.log"), "");

  DestroyIcon(icon);
  DeleteObject(bmp);
  DestroyWindow(wnd);
  DeleteFileA(good.c_str());
  DeleteFileA(bad.c_str());
  DeleteFileA("res.log");
}

TEST_F(Register, LeaksShowWithTheirKindAndGoToResLog) {
  HBRUSH brush = nx::CREATESOLIDBRUSH(RGB(7, 7, 7));
  HFONT font = nx::CREATEFONT({});
  HBITMAP pattern = nx::NXBRUSHES(1);
  Canvas c(4, 4);
  HWND wnd = drawtest::MakeWindow(4, 4);
  const nx::DispInfo open = nx::NXDISPBEGIN(wnd, c.dc());  // never ended
  EXPECT_EQ(nx::RESCOUNT("BRUSH"), 1u);
  EXPECT_EQ(nx::RESCOUNT("FONT"), 1u);
  EXPECT_EQ(nx::RESCOUNT("BMP"), 1u);
  EXPECT_EQ(nx::RESCOUNT("TMPDC"), 1u);
  EXPECT_EQ(nx::RESCOUNT(), 5u);
  EXPECT_EQ(nx::RESREPORT(), 5u);
  const std::string log = drawtest::ReadText("res.log");
  EXPECT_NE(log.find("BRUSH " + std::to_string(reinterpret_cast<uintptr_t>(brush)) + "\r\n"), std::string::npos);
  EXPECT_NE(log.find("FONT "), std::string::npos);
  nx::NXDISPEND(open);
  nx::DELETEOBJECT(brush);
  nx::DELETEOBJECT(font);
  nx::DELETEOBJECT(pattern);
  EXPECT_EQ(nx::RESCOUNT(), 0u);
  DestroyWindow(wnd);

  // Switching on again starts afresh and removes the old report.
  nx::RESREGISTER(true);
  EXPECT_EQ(GetFileAttributesA("res.log"), INVALID_FILE_ATTRIBUTES);
}

TEST(RegisterOff, RecordsNothing) {
  nx::RESREGISTER(false);
  HBRUSH brush = nx::CREATESOLIDBRUSH(RGB(7, 7, 7));
  EXPECT_EQ(nx::RESCOUNT(), 0u);
  nx::DELETEOBJECT(brush);
}

// Wine's GetGuiResources answers 0, so the budget is proved by use: more
// calls than the GDI handle table holds (16384 under Wine, 10000 per process
// by default on Windows); one leaked object per call would make creation fail.
TEST(HandleBudget, MoreCallsThanTheHandleTableHolds) {
  Canvas c(48, 48);
  HWND wnd = drawtest::MakeWindow(40, 30);
  HBITMAP bmp = drawtest::MakeBitmap(c.dc(), 6, 6, [](int x, int) { return x ? RGB(0, 0, 255) : RGB(255, 0, 255); });
  for (int i = 0; i < 20000; ++i) {
    nx::GRADIENT(c.dc(), {0, 0, 2, 40}, RGB(0, 0, 0), RGB(200, 0, 0), true);
    nx::WNDBOXRAISED(c.dc(), 0, 0, 10, 10);
    nx::FRAMEDOT(c.dc(), 0, 0, 10, 10);
    nx::DRAWMASKED(c.dc(), bmp, 20, 20);
    nx::NXDISPEND(nx::NXDISPBEGIN(wnd, c.dc()));
    nx::DELETEOBJECT(nx::CREATESOLIDBRUSH(RGB(i & 255, 0, 0)));
    auto f = nx::TFont::New({.cFaceName = "Arial", .nHeight = -10.0 - i % 3});
    f->End();
  }
  HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_TRUE(probe);
  DeleteObject(probe);
  c.Fill(RGB(255, 255, 255));
  nx::DRAWMASKED(c.dc(), bmp, 0, 0);
  EXPECT_EQ(c.At(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(c.At(1, 0), RGB(0, 0, 255));
  DeleteObject(bmp);
  DestroyWindow(wnd);
}
