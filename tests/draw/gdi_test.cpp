// Fonts and brushes shared by description, pens, cursors, rectangles and
// the persistence forms.
#include <gtest/gtest.h>

#include "canvas.h"
#include "classes/brush.h"
#include "classes/cursor.h"
#include "classes/font.h"
#include "classes/pen.h"
#include "classes/rect.h"
#include "native/draw.h"
#include "native/gdi.h"

using drawtest::Canvas;

namespace {

size_t Listed(const std::shared_ptr<nx::TFont>& f) {
  size_t n = 0;
  for (const auto& x : nx::TFont::FontList()) n += x == f;
  return n;
}
size_t Listed(const std::shared_ptr<nx::TBrush>& b) {
  size_t n = 0;
  for (const auto& x : nx::TBrush::aBrushes()) n += x == b;
  return n;
}

}  // namespace

TEST(Fonts, SharedByDescriptionAndDeletedAtTheLastEnd) {
  auto a = nx::TFont::New({.cFaceName = "Arial", .nWidth = 0, .nHeight = -12});
  ASSERT_TRUE(a->hFont);
  EXPECT_TRUE(a->lNew);
  EXPECT_EQ(a->nCount, 1);
  auto b = nx::TFont::New({.cFaceName = "Arial", .nWidth = 0, .nHeight = -12});
  EXPECT_EQ(a, b);
  EXPECT_EQ(b->nCount, 2);
  EXPECT_FALSE(b->lNew);
  EXPECT_EQ(Listed(a), 1u);
  const HFONT h = a->hFont;
  a->End();
  EXPECT_EQ(a->hFont, h);  // still usable
  EXPECT_NE(GetObjectType(h), 0u);
  b->End();
  EXPECT_EQ(a->hFont, nullptr);
  EXPECT_EQ(a->nCount, 0);
  EXPECT_EQ(GetObjectType(h), 0u);
  EXPECT_EQ(Listed(a), 0u);

  // Face names are compared exactly.
  auto c = nx::TFont::New({.cFaceName = "Arial", .nHeight = -12});
  auto d = nx::TFont::New({.cFaceName = "ARIAL", .nHeight = -12});
  EXPECT_NE(c, d);
  c->End();
  d->End();
}

TEST(Fonts, StockSystemFontIsNeverListedNorDeleted) {
  auto s = nx::TFont::New();
  EXPECT_EQ(s->cFaceName, "SYSTEM_FONT");
  EXPECT_EQ(s->hFont, GetStockObject(SYSTEM_FONT));
  EXPECT_FALSE(s->lDestroy);
  EXPECT_EQ(Listed(s), 0u);
  auto t = nx::TFont::New();
  EXPECT_NE(s, t);  // each call its own object
  s->End();
  s->End();
  EXPECT_EQ(s->hFont, GetStockObject(SYSTEM_FONT));
  EXPECT_NE(GetObjectType(s->hFont), 0u);
  t->End();
}

TEST(Fonts, DerivedSizesAndSysTahoma) {
  auto f = nx::TFont::New({.cFaceName = "Arial", .nWidth = 0, .nHeight = -12});
  EXPECT_DOUBLE_EQ(f->nHeight(), 12);
  EXPECT_DOUBLE_EQ(f->nWidth(), 12 * 0.44);
  f->End();
  auto small = nx::TFont::New({.cFaceName = "systahoma", .nHeight = -10});
  EXPECT_EQ(small->cFaceName, "TAHOMA");
  EXPECT_EQ(small->nInpHeight, -12);
  auto big = nx::TFont::New({.cFaceName = "systahoma", .nHeight = -14});
  EXPECT_EQ(big->nInpHeight, -14);
  small->End();
  big->End();
  auto bold = nx::TFont::New({.cFaceName = "Arial", .nHeight = -12, .lBold = true});
  EXPECT_EQ(bold->nWeight, 700);
  auto printer = nx::TFont::New({.cFaceName = "Arial", .nHeight = -12, .nDevLogPixelY = 144});
  EXPECT_EQ(printer->nInpHeight, -24);
  bold->End();
  printer->End();
}

TEST(Fonts, ModifyLeavesTheFontAndSharesTheResult) {
  auto f = nx::TFont::New({.cFaceName = "Arial", .nHeight = -13});
  auto b = f->Bold();
  EXPECT_NE(f, b);
  EXPECT_FALSE(f->lBold);
  EXPECT_TRUE(b->lBold);
  EXPECT_EQ(b->nInpHeight, -13);
  EXPECT_EQ(b->nInpWidth, 0);
  auto b2 = f->Bold();
  EXPECT_EQ(b, b2);
  EXPECT_EQ(b->nCount, 2);
  auto plain = b->Bold(false);
  EXPECT_EQ(plain, f);  // back to the same description
  auto r = f->Rotate(-900);
  EXPECT_EQ(r->nEscapement, 2700);
  for (auto& x : {b, b2, plain, r, f}) x->End();
  EXPECT_EQ(f->hFont, nullptr);
}

TEST(Fonts, FailedDeletionIsLoggedAndTheFontStaysListed) {
  DeleteFileA("resources.txt");
  auto f = nx::TFont::New({.cFaceName = "Courier New", .nHeight = -11});
  ASSERT_TRUE(f->hFont);
  DeleteObject(f->hFont);  // gone behind the class's back
  f->End();
  const std::string log = drawtest::ReadText("resources.txt");
  EXPECT_NE(log.find("DeleteObject( ::hFont ) failed from TFont:End()\t"), std::string::npos);
  EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
  EXPECT_EQ(Listed(f), 1u);
  f->hFont = nx::CREATEFONT(f->Desc());  // a live handle again, so that End can finish
  f->nCount = 1;
  f->End();
  EXPECT_EQ(Listed(f), 0u);
  DeleteFileA("resources.txt");
}

TEST(Fonts, GenPrgAndPersistence) {
  auto f = nx::TFont::New({.cFaceName = "Arial", .nHeight = -12, .lBold = true, .lItalic = true});
  EXPECT_EQ(f->cGenPrg(), "DEFINE FONT oFont NAME 'Arial' 0,-12 BOLD ITALIC");
  auto g = nx::TFont::New({.cFaceName = "Arial", .nHeight = -12, .nCharSet = 2});
  EXPECT_EQ(g->cGenPrg("o"),
            "o := TFont():New( 'Arial', 0, -12, .f., .f., 0, 0, 0, .f., .f., .f., 2, 0, 0, 0, , 0 )");

  const std::string rec = f->Save();
  ASSERT_GE(rec.size(), 3u);
  EXPECT_EQ(rec[0], 'O');
  EXPECT_EQ(size_t(uint8_t(rec[1]) | uint8_t(rec[2]) << 8), rec.size() - 3);
  EXPECT_EQ(rec.substr(3, 2), std::string("\x05\x00", 2));
  EXPECT_EQ(rec.substr(5, 5), "TFONT");
  EXPECT_NE(rec.find(std::string("\x05\x00", 2) + "lBoldL" + std::string("\x03\x00", 2) + ".T."), std::string::npos);

  auto back = std::dynamic_pointer_cast<nx::TFont>(nx::ORead(rec));
  ASSERT_TRUE(back);
  EXPECT_EQ(back, f);  // the same description is the same shared font
  back->End();

  const std::string text = f->SaveToText();
  EXPECT_EQ(text.rfind("TFONT\r\n\r\n", 0), 0u);
  EXPECT_NE(text.find("   ::cFaceName = \"Arial\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("   ::lItalic = .T.\r\n"), std::string::npos);
  const std::string nested = f->SaveToText(2);
  EXPECT_EQ(nested.rfind("  OBJECT ::oFont AS TFont\r\n", 0), 0u);
  EXPECT_EQ(nested.substr(nested.size() - 11), "  ENDOBJECT");

  // Malformed records are refused, not read past.
  nx::TFont probe;
  EXPECT_FALSE(probe.Load(""));
  EXPECT_FALSE(probe.Load(rec.substr(0, rec.size() - 1)));
  EXPECT_FALSE(probe.Load("O\xff\xff" + rec.substr(3)));
  EXPECT_EQ(nx::ORead("garbage"), nullptr);
  f->End();
  g->End();
}

TEST(Brushes, StockColoursAndSharing) {
  auto w = nx::TBrush::Solid(RGB(255, 255, 255));
  EXPECT_EQ(w->hBrush, GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(w->lSystem);
  w->End();
  EXPECT_NE(GetObjectType(GetStockObject(WHITE_BRUSH)), 0u);

  auto a = nx::TBrush::Solid(RGB(12, 34, 56));
  auto b = nx::TBrush::New({.nRGBColor = RGB(12, 34, 56)});
  EXPECT_EQ(a, b);
  EXPECT_EQ(a->nCount, 2);
  EXPECT_FALSE(a->lSystem);
  const HBRUSH h = a->hBrush;
  a->End();
  EXPECT_NE(GetObjectType(h), 0u);
  b->End();
  EXPECT_EQ(GetObjectType(h), 0u);
  EXPECT_EQ(Listed(a), 0u);

  auto face = nx::TBrush::SysColor(COLOR_BTNFACE);
  EXPECT_EQ(face->nRGBColor, GetSysColor(COLOR_BTNFACE));
  face->End();
  auto none = nx::TBrush::New({.cStyle = "NULL"});
  EXPECT_EQ(none->hBrush, GetStockObject(NULL_BRUSH));
  none->End();
}

TEST(Brushes, PatternsHatchesAndLowerCaseStyles) {
  auto bricks = nx::TBrush::New({.cStyle = "BRICKS"});
  ASSERT_TRUE(bricks->hBrush);
  ASSERT_TRUE(bricks->hBitmap);
  Canvas c(16, 8);
  nx::FILLRECT(c.dc(), {0, 0, 8, 16}, bricks->hBrush);
  // Row 0 "LGGGLGGG", row 1 "WWWWWWWL".
  EXPECT_EQ(c.At(0, 0), RGB(192, 192, 192));
  EXPECT_EQ(c.At(1, 0), RGB(128, 128, 128));
  EXPECT_EQ(c.At(12, 0), RGB(192, 192, 192));
  EXPECT_EQ(c.At(0, 1), RGB(255, 255, 255));
  EXPECT_EQ(c.At(7, 1), RGB(192, 192, 192));
  auto again = nx::TBrush::New({.cStyle = "BRICKS"});
  EXPECT_EQ(again, bricks);  // shared, and still painting
  again->End();
  EXPECT_NE(GetObjectType(bricks->hBrush), 0u);
  const HBITMAP bmp = bricks->hBitmap;
  bricks->End();
  EXPECT_EQ(GetObjectType(bmp), 0u);

  auto lower = nx::TBrush::New({.cStyle = "bricks"});
  EXPECT_EQ(lower->hBrush, nullptr);
  lower->End();

  auto hatch = nx::TBrush::New({.cStyle = "CROSS", .nRGBColor = RGB(255, 0, 0)});
  ASSERT_TRUE(hatch->hBrush);
  LOGBRUSH lb{};
  GetObject(hatch->hBrush, sizeof lb, &lb);
  EXPECT_EQ(lb.lbStyle, UINT(BS_HATCHED));
  EXPECT_EQ(lb.lbHatch, ULONG_PTR(HS_CROSS));
  EXPECT_EQ(lb.lbColor, RGB(255, 0, 0));
  hatch->End();

  EXPECT_EQ(nx::NXBRUSHES(0), nullptr);
  EXPECT_EQ(nx::NXBRUSHES(5), nullptr);
  auto missing = nx::TBrush::New({.cBmpFile = "no such file.bmp"});
  EXPECT_EQ(missing->hBrush, nullptr);
  EXPECT_EQ(missing->hBitmap, nullptr);
  missing->End();
}

TEST(Brushes, BitmapFileResizeAndGenPrg) {
  const auto bmpFile = drawtest::WriteFile(
      "draw_brush.bmp", drawtest::MakeBmp(4, 4, 24, {}, [](int x, int) { return x < 2 ? 0xFF0000u : 0x0000FFu; }));
  auto b = nx::TBrush::New({.cBmpFile = bmpFile});
  ASSERT_TRUE(b->hBrush);
  EXPECT_EQ(nx::NBMPWIDTH(b->hBitmap), 4);
  auto r = b->Resized(8, 2, 3);  // by the smaller ratio: 0.5
  ASSERT_TRUE(r);
  EXPECT_EQ(nx::NBMPWIDTH(r->hBitmap), 2);
  EXPECT_EQ(nx::NBMPHEIGHT(r->hBitmap), 2);
  auto r2 = b->Resized(8, 2, 2);  // by the larger: 2
  EXPECT_EQ(nx::NBMPWIDTH(r2->hBitmap), 8);
  EXPECT_EQ(nx::NBMPHEIGHT(r2->hBitmap), 8);
  EXPECT_EQ(b->cGenPRG(), "DEFINE BRUSH oBrush FILE 'draw_brush.bmp'");
  r->End();
  r2->End();
  b->End();
  auto s = nx::TBrush::New({.cStyle = "HORIZONTAL", .nRGBColor = 255});
  EXPECT_EQ(s->cGenPRG("x"), "DEFINE BRUSH x STYLE 'HORIZONTAL' COLOR 255");
  const std::string rec = s->Save();
  auto back = std::dynamic_pointer_cast<nx::TBrush>(nx::ORead(rec));
  EXPECT_EQ(back, s);
  back->End();
  EXPECT_NE(s->SaveToText(3).find("   OBJECT ::oBrush AS TBrush\r\n"), std::string::npos);
  s->End();
  DeleteFileA(bmpFile.c_str());
}

TEST(Brushes, FailedDeletionIsLogged) {
  DeleteFileA("resources.txt");
  auto b = nx::TBrush::Solid(RGB(1, 2, 250));
  DeleteObject(b->hBrush);
  b->End();
  EXPECT_NE(drawtest::ReadText("resources.txt").find("DeleteObject( ::hBrush ) failed from TBrush:End()"),
            std::string::npos);
  EXPECT_EQ(Listed(b), 0u);
  DeleteFileA("resources.txt");
}

TEST(Pens, CreatedScaledAndDeleted) {
  auto p = nx::TPen::New(PS_DASH, 1, RGB(1, 2, 3));
  ASSERT_TRUE(p->hPen);
  LOGPEN lp{};
  GetObject(p->hPen, sizeof lp, &lp);
  EXPECT_EQ(lp.lopnStyle, UINT(PS_DASH));
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  const HPEN h = p->hPen;
  p->End();
  EXPECT_EQ(p->hPen, nullptr);
  EXPECT_EQ(GetObjectType(h), 0u);
  auto q = nx::TPen::New(PS_SOLID, 2, 0, 144);
  EXPECT_EQ(q->nWidth, 4);
  GetObject(q->hPen, sizeof lp, &lp);
  EXPECT_EQ(lp.lopnWidth.x, 2);
}

TEST(Rects, InclusiveWidthAndHeight) {
  auto r = nx::TRect::New(10, 20, 30, 60);
  EXPECT_EQ(r->nWidth(), 41);
  EXPECT_EQ(r->nHeight(), 21);
}

namespace {

struct CursorPlanes {
  int w = 0, h = 0;
  POINT hot{};
  bool ok = false;
  std::vector<int> andBits, xorBits;
  int And(int x, int y) const { return andBits[y * w + x]; }
  int Xor(int x, int y) const { return xorBits[y * w + x]; }
};

// A monochrome cursor's mask bitmap holds the AND plane over the XOR plane.
CursorPlanes PlanesOf(HCURSOR cursor) {
  CursorPlanes p;
  ICONINFO ii{};
  if (!GetIconInfo(cursor, &ii)) return p;
  BITMAP bm{};
  GetObject(ii.hbmMask, sizeof bm, &bm);
  p.hot = {LONG(ii.xHotspot), LONG(ii.yHotspot)};
  p.w = bm.bmWidth;
  p.h = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, ii.hbmMask);
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      p.andBits.push_back(GetPixel(mem, x, y) != 0);
      p.xorBits.push_back(ii.hbmColor ? 0 : GetPixel(mem, x, y + p.h) != 0);
    }
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(ii.hbmMask);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  p.ok = true;
  return p;
}

}  // namespace

TEST(Cursors, BuiltInCursorsAreMadeOnceWithTheirHotSpots) {
  struct Want {
    nx::BuiltinCursor kind;
    POINT hot;
  };
  for (const Want& w : {Want{nx::BuiltinCursor::Hand, {6, 0}}, Want{nx::BuiltinCursor::Stop, {6, 0}},
                        Want{nx::BuiltinCursor::Drag, {6, 0}}, Want{nx::BuiltinCursor::Catch, {16, 16}},
                        Want{nx::BuiltinCursor::OpenHand, {6, 0}}}) {
    HCURSOR c = nx::NXBUILTINCURSOR(w.kind);
    ASSERT_TRUE(c);
    EXPECT_EQ(nx::NXBUILTINCURSOR(w.kind), c);  // kept
    const CursorPlanes p = PlanesOf(c);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.w, 32);
    EXPECT_EQ(p.h, 32);
    EXPECT_EQ(p.hot.x, w.hot.x);
    EXPECT_EQ(p.hot.y, w.hot.y);
    int black = 0, white = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        black += !p.And(x, y) && !p.Xor(x, y);
        white += !p.And(x, y) && p.Xor(x, y);
      }
    EXPECT_GT(black, 20);  // an outline
    EXPECT_GT(white, 10);  // a filled inside
  }
  const CursorPlanes hand = PlanesOf(nx::NXBUILTINCURSOR(nx::BuiltinCursor::Hand));
  EXPECT_EQ(hand.And(6, 0), 0);  // the fingertip is the hot spot
  EXPECT_EQ(nx::GETCURSORSTOP(), nx::NXBUILTINCURSOR(nx::BuiltinCursor::Stop));
  EXPECT_EQ(nx::CURSOROPENHAND(), nx::NXBUILTINCURSOR(nx::BuiltinCursor::OpenHand));
  EXPECT_TRUE(nx::GETCURSORHAND());
}

TEST(Cursors, SettersAnswerThePreviousCursor) {
  nx::CURSORARROW();
  const HCURSOR arrow = GetCursor();
  EXPECT_EQ(nx::CURSORCATCH(), arrow);
  EXPECT_EQ(GetCursor(), nx::NXBUILTINCURSOR(nx::BuiltinCursor::Catch));
  EXPECT_EQ(nx::WSETCURSOR(arrow), nx::NXBUILTINCURSOR(nx::BuiltinCursor::Catch));
  EXPECT_EQ(nx::CURSORIBEAM(), arrow);
  nx::CURSORARROW();
}

TEST(Cursors, TCursorPredefinedNamesAndAlert) {
  auto a = nx::TCursor::New("", "arrow");
  EXPECT_EQ(a->hCursor, LoadCursor(nullptr, IDC_ARROW));
  EXPECT_TRUE(a->lPredef);
  a->End();
  EXPECT_TRUE(LoadCursor(nullptr, IDC_ARROW));
  auto s = nx::TCursor::New("", "STOP");
  EXPECT_EQ(s->hCursor, nx::GETCURSORSTOP());
  s->End();
  EXPECT_EQ(nx::TCursor::New("", "STOP")->hCursor, nx::GETCURSORSTOP());  // survives End

  std::string said;
  auto saved = nx::TCursor::Alert;
  nx::TCursor::Alert = [&](const std::string& t) { said = t; };
  auto bad = nx::TCursor::New("", "PIRATE");
  nx::TCursor::Alert = saved;
  EXPECT_EQ(said, "Wrong predefined cursor type!");
  EXPECT_EQ(bad->hCursor, nullptr);
}

TEST(Cursors, BmpCursorClassesPixelsByColourList) {
  Canvas c(2, 2);
  // Columns: black-list colour, white-list, inverting, other (transparent).
  const COLORREF cols[4] = {RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3), RGB(4, 4, 4)};
  HBITMAP bmp = drawtest::MakeBitmap(c.dc(), 4, 2, [&](int x, int) { return cols[x]; });
  HCURSOR cur = nx::CREATEBMPCURSOR(bmp, nullptr, 1, 2, false, {cols[0]}, {cols[1]}, {cols[2]});
  ASSERT_TRUE(cur);
  const CursorPlanes p = PlanesOf(cur);
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.hot.x, 2);
  EXPECT_EQ(p.hot.y, 1);
  EXPECT_EQ(p.w % 16, 0);
  EXPECT_EQ(p.And(0, 0), 0); EXPECT_EQ(p.Xor(0, 0), 0);  // black
  EXPECT_EQ(p.And(1, 0), 0); EXPECT_EQ(p.Xor(1, 0), 1);  // white
  EXPECT_EQ(p.And(2, 1), 1); EXPECT_EQ(p.Xor(2, 1), 1);  // inverting
  EXPECT_EQ(p.And(3, 1), 1); EXPECT_EQ(p.Xor(3, 1), 0);  // transparent
  EXPECT_EQ(p.And(20, 20), 1); EXPECT_EQ(p.Xor(20, 20), 0);  // outside the bitmap
  EXPECT_TRUE(nx::DESTROYCURSOR(cur));

  // Ranges: { low, high } per component.
  cur = nx::CREATEBMPCURSOR(bmp, nullptr, 0, 0, true, {RGB(0, 0, 0), RGB(2, 2, 2)});
  const CursorPlanes r = PlanesOf(cur);
  EXPECT_EQ(r.And(0, 0), 0);
  EXPECT_EQ(r.And(1, 0), 0);
  EXPECT_EQ(r.And(2, 0), 1);
  nx::DESTROYCURSOR(cur);

  nx::TCursor t;
  t.NewBmp(bmp, nullptr, 0, 0, false, {cols[0]});
  EXPECT_TRUE(t.hCursor);
  EXPECT_FALSE(t.lPredef);
  t.End();
  EXPECT_EQ(nx::CREATEBMPCURSOR(nullptr, nullptr, 0, 0), nullptr);
  DeleteObject(bmp);
}

TEST(GdiNatives, DeleteObjectAndFontInfo) {
  EXPECT_FALSE(nx::DELETEOBJECT(nullptr));
  HBRUSH b = nx::CREATESOLIDBRUSH(RGB(1, 2, 3));
  EXPECT_TRUE(nx::DELETEOBJECT(b));
  EXPECT_FALSE(nx::DELETEOBJECT(b));  // the platform no longer knows it
  EXPECT_EQ(nx::CREATEHATCHBRUSH(9, 0), nullptr);

  nx::FontDesc d;
  d.nHeight = -20;
  d.nWeight = 700;
  d.cFaceName = "Arial";
  HFONT f = nx::CREATEFONT(d);
  ASSERT_TRUE(f);
  const nx::FontInfo info = nx::GETFONTINFO(f);
  EXPECT_GE(info.nHeight, 20);
  EXPECT_GT(info.nAveWidth, 0);
  EXPECT_TRUE(info.lBold);
  EXPECT_FALSE(info.cFaceName.empty());
  EXPECT_TRUE(nx::DELETEOBJECT(f));
  EXPECT_EQ(nx::GETFONTINFO(nullptr).nHeight, 0);
  EXPECT_FALSE(nx::GetSysFont().empty());
}
