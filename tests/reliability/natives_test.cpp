// Bad arguments to the natives: zero handles, empty arrays, values of the
// wrong kind and handles that are not what they claim. Each answers its
// failure value (0, false, nothing drawn), creates nothing it keeps, and
// never crashes.
#include <gtest/gtest.h>

#include <climits>

#include "classes/control.h"
#include "native/browse.h"
#include "native/dispatch.h"
#include "native/draw.h"
#include "native/gdi.h"
#include "rt/error.h"
#include "rt/strings.h"
#include "support.h"

using namespace nx;

namespace {

struct Register {
  Register() { RESREGISTER(true); }
  ~Register() { RESREGISTER(false); }
};

}  // namespace

TEST(BadArguments, ZeroHandlesAnswerFailureValuesAndDrawNothing) {
  Register reg;
  ErrorHandler saved = ErrorBlock([](const ErrorPtr& e) -> Value {
    ADD_FAILURE() << "a native raised: " << (e ? e->Description : "");
    return Value();
  });
  std::vector<int> sizes{50, 50};
  Array values{Value("a"), Value("b")};
  WBRWLINE({.nLine = 1, .aValues = values, .aColSizes = sizes, .nClrPane = BrwColor(0xFFFFFF), .nLineStyle = 2});
  EXPECT_EQ(NWROWS(nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(NWROW(nullptr, nullptr, 100, nullptr), 0);
  WBRWSCROLL(nullptr, 3, nullptr);
  DispInfo info = NXDISPBEGIN(nullptr, nullptr);
  EXPECT_EQ(info.hMemDC, nullptr);
  EXPECT_EQ(NXDISPEND(info), nullptr);
  WNDBOX(nullptr, 0, 0, 10, 10);
  WNDRAISED(nullptr);
  EXPECT_FALSE(RECTANGLE(nullptr, 0, 0, 10, 10));
  EXPECT_FALSE(ELLIPSE(nullptr, 0, 0, 10, 10));
  FILLRECT(nullptr, ARect{0, 0, 10, 10}, nullptr);
  INVERTRECT(nullptr, ARect{0, 0, 10, 10});
  GRADIENT(nullptr, ARect{0, 0, 10, 10}, 0, 0xFFFFFF, true);
  GradientFill(nullptr, 0, 0, 10, 10, {});
  EXPECT_FALSE(TEXTOUT(nullptr, 0, 0, "x"));
  EXPECT_EQ(DRAWTEXT(nullptr, "x"), 0);
  DRAWBITMAP(nullptr, nullptr, 0, 0);
  DRAWMASKED(nullptr, nullptr, 0, 0);
  PALBMPDRAW(nullptr, 0, 0, nullptr);
  EXPECT_EQ(RESIZEBMP(nullptr, 10, 10), nullptr);
  EXPECT_EQ(NBMPWIDTH(nullptr), 0);
  EXPECT_EQ(NBMPHEIGHT(nullptr), 0);
  EXPECT_EQ(WNDBITMAP(nullptr), nullptr);
  EXPECT_EQ(READBITMAP(nullptr, ""), nullptr);
  EXPECT_EQ(READBITMAP(nullptr, "no such file.bmp"), nullptr);
  EXPECT_EQ(DIBREAD(""), nullptr);
  EXPECT_FALSE(DIBFREE(nullptr));
  EXPECT_FALSE(DIBDRAW(nullptr, nullptr, nullptr, 0, 0));
  EXPECT_EQ(DIBFROMBITMAP(nullptr), nullptr);
  EXPECT_EQ(BMPTOSTR(nullptr), "");
  EXPECT_FALSE(DELETEOBJECT(nullptr));
  EXPECT_EQ(SELECTOBJECT(nullptr, nullptr), nullptr);
  EXPECT_EQ(CREATEPATTERNBRUSH(nullptr), nullptr);
  EXPECT_FALSE(DESTROYCURSOR(nullptr));
  ARect none = GETCLIENTRECT(nullptr);
  EXPECT_EQ(none, ARect{});
  // Windows natives with no window.
  EXPECT_EQ(XCHANGEPROC(nullptr, 1), nullptr);
  EXPECT_EQ(RESTPROC(nullptr, nullptr), nullptr);
  EXPECT_FALSE(DEREGDIALOG(nullptr));
  EXPECT_EQ(DIALOGBOXINDIRECT(nullptr, "", nullptr, nullptr), 0);
  EXPECT_EQ(DIALOGBOXINDIRECT(nullptr, "short", nullptr, nullptr), 0);
  EXPECT_EQ(CREATEDLGINDIRECT(nullptr, "", nullptr, nullptr), nullptr);
  // Wrong kinds of value for the accelerator table answer 0 and install nothing.
  HACCEL before = GETACCTABLE();
  EXPECT_EQ(SETACCTABLE(Value("keys")), nullptr);
  EXPECT_EQ(SETACCTABLE(Value(42)), nullptr);
  EXPECT_EQ(GETACCTABLE(), before);
  EXPECT_EQ(RESCOUNT(), 0u);
  ErrorBlock(saved);
}

TEST(BadArguments, BrowseLinePainterTakesEmptyAndWrongValuesOnARealWindow) {
  Register reg;
  auto s = rel::MakeScene(10);
  ShowWindow(s.wnd->hWnd, SW_SHOWNORMAL);
  UpdateWindow(s.wnd->hWnd);
  HWND h = s.brw->hWnd;
  const size_t before = RESCOUNT();
  std::vector<int> none;
  std::vector<int> sizes{40, 0, -30, 100000};
  HBITMAP bogus = reinterpret_cast<HBITMAP>(uintptr_t(0x7FFF1234));
  // Every kind of value in a cell, and a number that is no bitmap handle.
  Array odd{Value(),
            Value(int64_t(reinterpret_cast<uintptr_t>(bogus))),
            Value(NewArray({Value(1), Value("nested")})),
            Value(MakeDate(2024, 2, 29)),
            Value(true),
            Value(-1e300, 2),
            Value(std::string(5000, 'W')),
            Value(MakeBlock([](std::span<const Value>) { return Value(1); }))};
  for (int line : {0, 1, 5, -3, 100000}) {
    WBrwLineParams p{.hWnd = h, .nLine = line, .aColSizes = none, .nClrPane = BrwColor(0xFFFFFF), .nLineStyle = 2};
    WBRWLINE(p);
    WBRWLINE({.hWnd = h, .nLine = line, .aValues = odd, .aColSizes = sizes, .nClrPane = BrwColor(0xFFFFFF),
              .nLineStyle = 2, .nColAct = 2});
    WBRWLINE({.hWnd = h, .nLine = line, .aValues = odd, .aColSizes = none, .nColPos = 50,
              .nClrPane = BrwColor(0xFFFFFF), .lTree = true, .nColAct = -7, .bLogicLen = [] { return -1; }});
    std::vector<bool> justify;  // shorter than the values
    WBRWLINE({.hWnd = h, .nLine = line, .aValues = odd, .aColSizes = sizes, .nColPos = 0,
              .nClrPane = BrwColor(0xFFFFFF), .aJustify = &justify, .nLineStyle = 1, .nColAct = 99});
  }
  WBRWSCROLL(h, 0, nullptr);
  WBRWSCROLL(h, 100000, nullptr);
  WBRWSCROLL(h, -100000, nullptr);
  EXPECT_GE(NWROW(h, nullptr, -5, nullptr), 0);
  EXPECT_EQ(RESCOUNT(), before);
  // The same browse, given an empty array and no columns, paints and moves.
  s.brw->SetArray(NewArray());
  s.brw->bLine = [](TWBrowse&) { return Array{}; };
  s.brw->aColSizes.clear();
  InvalidateRect(h, nullptr, TRUE);
  UpdateWindow(h);
  for (WPARAM key : {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_END, VK_HOME, VK_LEFT, VK_RIGHT})
    SendMessageA(h, WM_KEYDOWN, key, 0);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 40));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(10, 40));
  SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 40));
  EXPECT_EQ(s.brw->nLen, 0);
  EXPECT_EQ(RESCOUNT(), before);
  DestroyWindow(s.wnd->hWnd);
}

TEST(BadArguments, DialogItemTemplateOfExtremeValuesKeepsItsLayout) {
  std::string t = CCTRL2CHR(-1, 70000, INT_MIN, INT_MAX, -5, 0xFFFFFFFF, "", "");
  ASSERT_EQ(t.size() % 4, 0u);
  EXPECT_EQ(t.size(), 24u);  // header, two empty texts, the creation-data word, padding
  std::string wide = CCTRL2CHR(0, 0, 0, 0, 0, 0, std::string(300, 'C'), std::string(3000, 'x'));
  EXPECT_EQ(wide.size() % 4, 0u);
  EXPECT_EQ(wide.size(), 18u + 2 * 301 + 2 * 3001 + 2);
}
