// Resource balance over a long run: with the resource register on, a soak
// of navigation, glides, windows and font and brush churn ends with exactly
// the registered objects it started with.
#include <gtest/gtest.h>

#include "classes/brush.h"
#include "classes/font.h"
#include "native/dispatch.h"
#include "native/draw.h"
#include "rt/error.h"
#include "support.h"

using namespace nx;

namespace {

struct Counts {
  size_t all, font, brush, pen, bmp, tmp, tmpdc;
  static Counts Now() {
    return {RESCOUNT(), RESCOUNT("FONT"), RESCOUNT("BRUSH"), RESCOUNT("PEN"),
            RESCOUNT("BMP"), RESCOUNT("TMP"), RESCOUNT("TMPDC")};
  }
  friend bool operator==(const Counts&, const Counts&) = default;
};

void PrintTo(const Counts& c, std::ostream* os) {
  *os << "all " << c.all << " font " << c.font << " brush " << c.brush << " pen " << c.pen << " bmp " << c.bmp
      << " tmp " << c.tmp << " tmpdc " << c.tmpdc;
}

// GDI objects of the process; Wine answers 0 (not tracked), Windows counts.
DWORD GdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

constexpr int kNavigationSteps = 10000;
constexpr int kGlides = 100;
constexpr int kWindows = 100;
constexpr int kChurn = 300;

void Navigate(TWBrowse& brw, int steps) {
  static const WPARAM keys[] = {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_DOWN, VK_END, VK_HOME, VK_UP};
  for (int i = 0; i < steps; ++i) {
    PostMessageA(brw.hWnd, WM_KEYDOWN, keys[(i * 7 + i / 13) % 10], 0);
    if (i % 50 == 49) {
      SYSREFRESH();
      UpdateWindow(brw.hWnd);
    }
  }
  SYSREFRESH();
}

void Glides(TWBrowse& brw, int n) {
  for (int i = 0; i < n; ++i) {
    if (i % 2) rel::PostDrag(brw.hWnd, brw, 3, 12);
    else rel::PostDrag(brw.hWnd, brw, 12, 3);
    SYSREFRESH();
    UpdateWindow(brw.hWnd);
  }
}

void Windows(int n) {
  for (int i = 0; i < n; ++i) {
    auto s = rel::MakeScene(30 + i, "soak window");
    ShowWindow(s.wnd->hWnd, SW_SHOWNOACTIVATE);
    UpdateWindow(s.wnd->hWnd);
    s.brw->GoBottom();
    UpdateWindow(s.brw->hWnd);
    if (i % 2) DestroyWindow(s.wnd->hWnd);
    else SendMessageA(s.wnd->hWnd, WM_CLOSE, 0, 0);
  }
  SYSREFRESH();
}

void Churn(TWBrowse& brw, int n) {
  for (int i = 0; i < n; ++i) {
    auto font = TFont::New({.cFaceName = i % 3 ? "Arial" : "Courier New", .nHeight = -double(8 + i % 17),
                            .lBold = i % 2 == 0, .lItalic = i % 5 == 0});
    auto same = TFont::New({.cFaceName = i % 3 ? "Arial" : "Courier New", .nHeight = -double(8 + i % 17),
                            .lBold = i % 2 == 0, .lItalic = i % 5 == 0});
    auto solid = TBrush::Solid(RGB(i % 256, (i * 7) % 256, 40));
    auto hatch = TBrush::New({.cStyle = i % 2 ? "CROSS" : "FDIAGONAL", .nRGBColor = RGB(0, i % 256, 0)});
    if (i % 10 == 0) {
      // A window that takes the font and the brush and ends them when it goes.
      auto w = TWindow::New({.cTitle = "churn", .lPixel = true});
      w->SetBrush(solid);
      w->SetFont(font);
      ShowWindow(w->hWnd, SW_SHOWNOACTIVATE);
      UpdateWindow(w->hWnd);
      DestroyWindow(w->hWnd);
    }
    UpdateWindow(brw.hWnd);
    same->End();
    hatch->End();
    solid->End();
    font->End();
  }
}

}  // namespace

TEST(Soak, NavigationGlidesWindowsAndChurnEndBalanced) {
  rel::HangGuard guard(600000);
  RESREGISTER(true);
  ErrorHandler saved = ErrorBlock([](const ErrorPtr& e) -> Value {
    ADD_FAILURE() << "error during the soak: " << (e ? e->Description : "");
    return Value();
  });
  rel::FakeClock clock;
  const Counts empty = Counts::Now();
  const DWORD gdiBefore = GdiObjects();
  {
    auto s = rel::MakeScene(1000, "soak");
    ShowWindow(s.wnd->hWnd, SW_SHOWNORMAL);
    UpdateWindow(s.wnd->hWnd);
    rel::PointerOver(s.brw->hWnd);
    // One round of everything first: lazily made shared objects settle.
    Navigate(*s.brw, 100);
    Glides(*s.brw, 2);
    Windows(2);
    Churn(*s.brw, 10);
    const Counts start = Counts::Now();

    Navigate(*s.brw, kNavigationSteps);
    int moves = 0;
    s.brw->bChange = [&](TWBrowse&) { ++moves; };
    Glides(*s.brw, kGlides);
    s.brw->bChange = nullptr;
    // A drag alone moves about 10 rows; the glides after them add up to 40.
    EXPECT_GE(moves, kGlides * 20);
    Windows(kWindows);
    Churn(*s.brw, kChurn);
    SYSREFRESH();

    EXPECT_EQ(Counts::Now(), start);
    EXPECT_EQ(Counts::Now().tmp, 0u);
    EXPECT_EQ(Counts::Now().tmpdc, 0u);
    DestroyWindow(s.wnd->hWnd);
  }
  SYSREFRESH();
  EXPECT_EQ(Counts::Now(), empty);
  if (gdiBefore) {
    EXPECT_LE(GdiObjects(), gdiBefore + 2);  // Windows may keep a cached object or two
  }
  ErrorBlock(saved);
  RESREGISTER(false);
}
