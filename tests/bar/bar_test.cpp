// The button bar and the bitmap buttons on real windows: where buttons go
// and how groups move them, the drop-down zone, latched buttons, docking
// beside a message bar, the docking menu, and the bitmap push button's
// picture read back from the screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "classes/bar.h"
#include "classes/buttonbmp.h"
#include "classes/menu.h"
#include "common/client_pixels.h"
#include "common/pump.h"
#include "common/write_bmp.h"
#include "native/dispatch.h"

using namespace nx;

namespace {

// A top-level window that runs a function from inside whatever message loop
// is running (a menu's among them) when it gets kRun.
class Rig : public TWindow {
 public:
  static constexpr UINT kRun = WM_APP + 0x41;
  const char* ClassName() const override { return "TBARTESTWND"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  std::function<void()> onRun;
  Value HandleEvent(UINT nMsg, WPARAM w, LPARAM l) override {
    if (nMsg == kRun) {
      if (onRun) onRun();
      return Value(0);
    }
    return TWindow::HandleEvent(nMsg, w, l);
  }
};

std::shared_ptr<Rig> MakeRig(int width = 480, int height = 320) {
  auto w = TWindow::NewAs<Rig>({.nTop = 30, .nLeft = 30, .nBottom = 30 + height, .nRight = 30 + width,
                                .cTitle = "bar", .lPixel = true});
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  SetForegroundWindow(w->hWnd);
  UpdateWindow(w->hWnd);
  return w;
}

using nxtest::Pump;

// A window's rectangle in its parent's client coordinates.
RECT InParent(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

using nxtest::WriteBmp;

// The bounding box of the pixels of one colour (0x00RRGGBB) in a client
// area; left > right when there is none.
RECT BoxOf(HWND h, DWORD colour) {
  int w = 0, hh = 0;
  const auto px = nxtest::ClientPixels(h, w, hh);
  RECT box{w, hh, -1, -1};
  for (int y = 0; y < hh; ++y)
    for (int x = 0; x < w; ++x)
      if ((px[size_t(y) * w + x] & 0xFFFFFF) == colour) {
        box.left = std::min<LONG>(box.left, x), box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x), box.bottom = std::max<LONG>(box.bottom, y);
      }
  return box;
}

void Repaint(HWND h) {
  InvalidateRect(h, nullptr, TRUE);
  UpdateWindow(h);
}

}  // namespace

TEST(BarGeometry, ThreeButtonsWithAGroupAndTheGroupPassedOnWhenTheSecondGoes) {
  auto w = MakeRig();
  RECT client{};
  GetClientRect(w->hWnd, &client);
  for (bool l3D : {true, false}) {
    SCOPED_TRACE(l3D ? "3D" : "flat");
    auto bar = TBar::New({.oWnd = w, .l3D = l3D});
    ASSERT_TRUE(bar->hWnd);
    EXPECT_EQ(w->oBar, bar);
    EXPECT_EQ(w->oTop, bar);
    const RECT br = InParent(bar->hWnd);
    EXPECT_EQ(br.left, -1);
    EXPECT_EQ(br.top, -1);
    EXPECT_EQ(br.right - br.left, client.right + 2);
    EXPECT_EQ(br.bottom - br.top, 28 + 2);
    std::vector<TBtnBmpPtr> b;
    for (int i = 0; i < 3; ++i) b.push_back(TBtnBmp::NewBar({.lGroup = i == 1, .oBar = bar}));
    // Raised bars start past the grip and leave 2 pixels between buttons;
    // flat ones share their borders. A group start adds 8.
    const std::vector<int> lefts = l3D ? std::vector<int>{11, 47, 75} : std::vector<int>{0, 36, 64};
    for (int i = 0; i < 3; ++i) {
      const RECT r = InParent(b[size_t(i)]->hWnd);
      EXPECT_EQ(r.left, lefts[size_t(i)]) << i;
      EXPECT_EQ(r.top, l3D ? 3 : -1) << i;
      EXPECT_EQ(r.right - r.left, l3D ? 27 : 29) << i;
      EXPECT_EQ(r.bottom - r.top, l3D ? 23 : 30) << i;
    }
    EXPECT_EQ(bar->nGroups, 1);
    bar->Del(2);
    ASSERT_EQ(bar->Buttons().size(), 2u);
    EXPECT_FALSE(IsWindow(b[1]->hWnd));
    EXPECT_TRUE(b[2]->lGroup);
    EXPECT_EQ(bar->nGroups, 1);
    EXPECT_EQ(InParent(b[2]->hWnd).left, lefts[1]);
    // Inserting before the group start makes room for one more cell.
    auto inserted = TBtnBmp::NewBar({.oBar = bar, .nPos = 2});
    EXPECT_EQ(InParent(inserted->hWnd).left, l3D ? 39 : 28);
    EXPECT_EQ(InParent(b[2]->hWnd).left, lefts[2]);
    EXPECT_EQ(bar->Buttons()[1], inserted);
    DestroyWindow(bar->hWnd);
    w->oBar = w->oTop = nullptr;
  }
  DestroyWindow(w->hWnd);
}

TEST(BarButtons, DropDownOpensOnlyFromTheArrowZoneAndALatchedButtonDoesNotAct) {
  auto w = MakeRig();
  auto bar = TBar::New({.oWnd = w, .l3D = true});
  int opened = 0, ran = 0, latchedRan = 0;
  bool tracking = false;
  TMenuPtr menu;
  MENUBEGIN(true);
  MENUADDITEM({.cPrompt = "&Open", .bWhen = [&](TMenuItem&) {
                 // The menu is about to track for the bar: let it close at once.
                 if (menu && bar->oPopup == menu && !tracking) {
                   tracking = true;
                   ++opened;
                   PostMessageA(bar->hWnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                 }
                 return Value(true);
               }});
  menu = MENUEND();
  auto drop = TBtnBmp::NewBar({.bAction = [&](TBtnBmp&) { ++ran; }, .oBar = bar, .oPopup = menu});
  auto latched = TBtnBmp::NewBar({.bAction = [&](TBtnBmp&) { ++latchedRan; }, .oBar = bar, .lPressed = true});
  RECT rc{};
  GetClientRect(drop->hWnd, &rc);
  EXPECT_EQ(rc.right, 26 + 13 - 1);  // a drop-down button is 13 pixels wider
  auto click = [&](const TBtnBmpPtr& b, int x) {
    tracking = false;
    SetFocus(b->hWnd);
    SendMessageA(b->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 8));
    SendMessageA(b->hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, 8));
    Pump();
  };
  click(drop, rc.right - 14);  // one pixel before the zone
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(opened, 0);
  click(drop, rc.right - 13);  // the zone's first pixel
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(ran, 1);
  click(drop, rc.right - 1);
  EXPECT_EQ(opened, 2);
  EXPECT_EQ(ran, 1);
  EXPECT_FALSE(drop->lPressed);
  // Latched down: clicks do nothing and it stays down; released, it acts.
  click(latched, 10);
  EXPECT_EQ(latchedRan, 0);
  EXPECT_TRUE(latched->lPressed);
  latched->GoUp();
  click(latched, 10);
  EXPECT_EQ(latchedRan, 1);
  latched->Toggle();
  EXPECT_TRUE(latched->lBtnDown && latched->lPressed);
  click(latched, 10);
  EXPECT_EQ(latchedRan, 1);
  DestroyWindow(w->hWnd);
}

TEST(BarDocking, SideBarsLeaveTheMessageBarFreeAndFollowTheOwnersSize) {
  auto w = MakeRig(400, 300);
  // A plain child window stands in for the message bar.
  auto msg = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 23, .nRight = 100, .nStyle = WS_CHILD | WS_VISIBLE,
                           .oWnd = w, .lPixel = true});
  w->oMsgBar = msg;
  auto left = TBar::New({.oWnd = w, .l3D = true, .cMode = "LEFT"});
  auto right = TBar::New({.oWnd = w, .cMode = "RIGHT"});
  EXPECT_EQ(w->oLeft, left);
  EXPECT_EQ(w->oRight, right);
  for (int height : {300, 240}) {
    SetWindowPos(w->hWnd, nullptr, 0, 0, 400, height, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(w->hWnd, &client);
    const int W = client.right, H = client.bottom;
    SetWindowPos(msg->hWnd, nullptr, 0, H - 24, W, 24, SWP_NOZORDER);
    SendMessageA(w->hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(W, H));
    const RECT l = InParent(left->hWnd), r = InParent(right->hWnd);
    EXPECT_EQ(l.left, -1);
    EXPECT_EQ(l.top, -1);
    // Down to the message bar's top border, which it overlaps by one row.
    EXPECT_EQ(l.bottom, H - 24 + 1);
    EXPECT_EQ(r.bottom, H - 24 + 1);
    EXPECT_EQ(r.right, W + 1);
    RECT lc{};
    GetClientRect(left->hWnd, &lc);
    EXPECT_EQ(l.right - l.left, lc.right + 2);
  }
  // Without a message bar they run to the bottom edge.
  w->oMsgBar = nullptr;
  DestroyWindow(msg->hWnd);
  RECT client{};
  GetClientRect(w->hWnd, &client);
  SendMessageA(w->hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  EXPECT_EQ(InParent(left->hWnd).bottom, client.bottom);
  // Moved to the bottom: the slots follow, the bar spans the width.
  left->GoDown();
  EXPECT_EQ(w->oLeft, nullptr);
  EXPECT_EQ(w->oBottom, left);
  const RECT b = InParent(left->hWnd);
  EXPECT_EQ(b.left, -1);
  EXPECT_EQ(b.right, client.right + 1);
  EXPECT_EQ(b.bottom, client.bottom);
  EXPECT_EQ(b.bottom - b.top, 28 + 2);
  // Floating: out of the owner's slots into a tool window, whose system
  // menu docks it again on a free side.
  left->Float();
  EXPECT_EQ(left->nMode, BAR_FLOAT);
  EXPECT_EQ(w->oBottom, nullptr);
  ASSERT_TRUE(left->oFloat && left->oFloat->hWnd);
  const HWND floatWnd = left->oFloat->hWnd;
  EXPECT_EQ(GetParent(left->hWnd), floatWnd);
  EXPECT_TRUE(GetWindowLongA(floatWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  SendMessageA(floatWnd, WM_SYSCOMMAND, 0x0100 + 16 * BAR_TOP, 0);
  EXPECT_EQ(left->nMode, BAR_TOP);
  EXPECT_EQ(w->oTop, left);
  EXPECT_EQ(w->oBar, left);
  EXPECT_EQ(GetParent(left->hWnd), w->hWnd);
  EXPECT_FALSE(IsWindow(floatWnd));
  EXPECT_EQ(InParent(left->hWnd).top, -1);
  DestroyWindow(w->hWnd);
}

TEST(BarDocking, ContextMenuOffersOtherSidesAndDisablesTakenOnes) {
  auto w = MakeRig();
  auto msg = TWindow::New({.nTop = 280, .nLeft = 0, .nBottom = 300, .nRight = 100, .nStyle = WS_CHILD | WS_VISIBLE,
                           .oWnd = w, .lPixel = true});
  w->oMsgBar = msg;
  auto top = TBar::New({.oWnd = w, .l3D = true});
  auto left = TBar::New({.oWnd = w, .l3D = true, .cMode = "LEFT"});
  std::vector<std::pair<std::string, bool>> shown;  // text, enabled
  bool done = false;
  w->onRun = [&] {
    ASSERT_TRUE(top->oPopup);
    // The items' texts are the objects' (the platform's items are owner-drawn).
    HMENU h = top->oPopup->hMenu;
    const auto& items = top->oPopup->aItems();
    ASSERT_EQ(GetMenuItemCount(h), int(items.size()));
    for (int i = 0; i < GetMenuItemCount(h); ++i) {
      const UINT state = GetMenuState(h, UINT(i), MF_BYPOSITION);
      if (state & MF_SEPARATOR) shown.emplace_back("-", false);
      else shown.emplace_back(items[size_t(i)]->cPrompt, !(state & (MF_GRAYED | MF_DISABLED)));
    }
    PostMessageA(top->hWnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    done = true;
  };
  // The right click opens the pop-up; the request to look at it is
  // delivered by the pop-up's own loop.
  PostMessageA(top->hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 10));
  PostMessageA(w->hWnd, Rig::kRun, 0, 0);
  const DWORD start = GetTickCount();
  while (!done && GetTickCount() - start < 60000) {
    MSG m;
    if (GetMessageA(&m, nullptr, 0, 0) <= 0) break;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  Pump();
  const std::vector<std::pair<std::string, bool>> want{
      {"&Left", false}, {"&Right", true}, {"&Bottom", false}, {"-", false}, {"&Float", true}};
  EXPECT_EQ(shown, want);
  // Freed sides become available; the pop-up is gone after closing.
  EXPECT_EQ(top->oPopup, nullptr);
  w->oMsgBar = nullptr;
  EXPECT_TRUE(top->lSideFree(BAR_BOTTOM));
  EXPECT_FALSE(left->lSideFree(BAR_TOP));
  DestroyWindow(w->hWnd);
}

TEST(ButtonBmp, BitmapSitsOverThePlatformFacePressedGreyedAndPlaced) {
  auto w = MakeRig();
  const std::string file = WriteBmp("bar_test_red.bmp", 16, 16);
  const std::string alpha = WriteBmp("bar_test_alpha.bmp", 16, 16, true);
  // With no bitmap the face is the platform's own push button.
  auto plain = TButton::New({.nRow = 10, .nCol = 10, .cCaption = "Go", .oWnd = w, .nWidth = 60, .nHeight = 30,
                             .lPixel = true});
  auto bare = TButtonBmp::New({.nRow = 10, .nCol = 100, .cCaption = "Go", .oWnd = w, .nWidth = 60, .nHeight = 30,
                               .lPixel = true});
  SetFocus(w->hWnd);
  Repaint(plain->hWnd);
  Repaint(bare->hWnd);
  int pw = 0, ph = 0, bw = 0, bh = 0;
  const auto p1 = nxtest::ClientPixels(plain->hWnd, pw, ph);
  const auto p2 = nxtest::ClientPixels(bare->hWnd, bw, bh);
  ASSERT_EQ(pw, bw);
  ASSERT_EQ(ph, bh);
  EXPECT_EQ(p1, p2);

  auto btn = TButtonBmp::New({.nRow = 60, .nCol = 10, .oWnd = w, .nWidth = 40, .nHeight = 40, .lPixel = true,
                              .cBitmap = file});
  ASSERT_TRUE(btn->hBitmap);
  Repaint(btn->hWnd);
  RECT rc{};
  GetClientRect(btn->hWnd, &rc);
  const POINT at = btn->BitmapPos(rc.right, rc.bottom);
  EXPECT_EQ(at.x, rc.right / 2 - 8);
  RECT red = BoxOf(btn->hWnd, 0xFF0000);
  EXPECT_EQ(red.left, at.x + 4);
  EXPECT_EQ(red.top, at.y + 4);
  EXPECT_EQ(red.right - red.left, 7);
  EXPECT_EQ(BoxOf(btn->hWnd, 0xFF00FF).right, -1);  // the corner colour stays undrawn
  // Held down, the platform reports it pushed and the bitmap moves.
  SendMessageA(btn->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  UpdateWindow(btn->hWnd);
  Repaint(btn->hWnd);
  red = BoxOf(btn->hWnd, 0xFF0000);
  EXPECT_EQ(red.left, at.x + 5);
  EXPECT_EQ(red.top, at.y + 5);
  SendMessageA(btn->hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Pump();
  Repaint(btn->hWnd);
  EXPECT_EQ(BoxOf(btn->hWnd, 0xFF0000).left, at.x + 4);
  // Disabled: grey, level 255/3 + 255/768 raised by 20.
  btn->Disable();
  Repaint(btn->hWnd);
  EXPECT_EQ(BoxOf(btn->hWnd, 0xFF0000).right, -1);
  const RECT grey = BoxOf(btn->hWnd, 0x696969);
  EXPECT_EQ(grey.left, at.x + 4);
  EXPECT_EQ(grey.right - grey.left, 7);

  // An alpha bitmap blends where alpha drawing is on, and greys too.
  const bool wasAlpha = SetAlpha();
  SetAlpha(true);
  auto ab = TButtonBmp::New({.nRow = 60, .nCol = 100, .oWnd = w, .lPixel = true, .cBitmap = alpha});
  ASSERT_TRUE(ab->hBitmap);
  if (ab->lHasAlpha) {
    Repaint(ab->hWnd);
    GetClientRect(ab->hWnd, &rc);
    const POINT a = ab->BitmapPos(rc.right, rc.bottom);
    EXPECT_EQ(BoxOf(ab->hWnd, 0xFF0000).left, a.x + 4);
    ab->Disable();
    Repaint(ab->hWnd);
    EXPECT_EQ(BoxOf(ab->hWnd, 0xFF0000).right, -1);
    EXPECT_EQ(BoxOf(ab->hWnd, 0x696969).top, a.y + 4);
  } else {
    ADD_FAILURE() << "the display has no 32-bit colour: alpha not tested";
  }
  SetAlpha(wasAlpha);

  // Caption below: the bitmap sits 7 pixels from the top, centred across.
  auto below = TButtonBmp::New({.nRow = 120, .nCol = 10, .cCaption = "Save", .oWnd = w, .nWidth = 60,
                                .nHeight = 50, .lPixel = true, .cBitmap = file, .cPosText = "textbottom"});
  Repaint(below->hWnd);
  red = BoxOf(below->hWnd, 0xFF0000);
  EXPECT_EQ(red.top, 7 + 4);
  GetClientRect(below->hWnd, &rc);
  EXPECT_EQ(red.left, rc.right / 2 - 8 + 4);
  DestroyWindow(w->hWnd);
  std::remove(file.c_str());
  std::remove(alpha.c_str());
}

TEST(BarButtons, FacesShiftWhenPressedGreyWhenDisabledAndThe2007BarIsAGradientWithSeparators) {
  auto w = MakeRig();
  const std::string file = WriteBmp("bar_test_face.bmp", 16, 16);
  for (bool l2007 : {false, true}) {
    SCOPED_TRACE(l2007 ? "2007" : "classic");
    auto bar = TBar::New({.oWnd = w, .l3D = true, .l2007 = l2007});
    auto first = TBtnBmp::NewBar({.cBmpFile1 = file, .oBar = bar});
    auto second = TBtnBmp::NewBar({.cBmpFile1 = file, .lGroup = true, .oBar = bar});
    EXPECT_EQ(first->cBmpFile[0], file);
    Repaint(bar->hWnd);
    Repaint(second->hWnd);
    RECT rc{};
    GetClientRect(second->hWnd, &rc);
    // Centred; the magenta corner colour never shows.
    const RECT up = BoxOf(second->hWnd, 0xFF0000);
    EXPECT_EQ(up.left, (rc.right - 16) / 2 + 4);
    EXPECT_EQ(up.top, (rc.bottom - 16) / 2 + 4);
    EXPECT_EQ(BoxOf(second->hWnd, 0xFF00FF).right, -1);
    second->GoDown();
    Repaint(second->hWnd);
    const RECT down = BoxOf(second->hWnd, 0xFF0000);
    EXPECT_EQ(down.left, up.left + 1);
    EXPECT_EQ(down.top, up.top + 1);
    second->GoUp();
    second->Disable();
    Repaint(second->hWnd);
    EXPECT_EQ(BoxOf(second->hWnd, 0xFF0000).right, -1);
    EXPECT_EQ(BoxOf(second->hWnd, 0x696969).left, up.left);
    if (l2007) {
      // The bar: its normal gradient from the top row, and the group's
      // separator 5 and 4 pixels left of the group's first button.
      int bw = 0, bh = 0;
      const auto px = nxtest::ClientPixels(bar->hWnd, bw, bh);
      const int x = bw - 2;  // past the buttons
      EXPECT_EQ(px[size_t(x)] & 0xFFFFFF, 0xDBE6F4u);  // RGB(219, 230, 244)
      const RECT sr = InParent(second->hWnd);
      const int row = bh / 2;
      const DWORD shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
      auto rgb = [](COLORREF c) { return DWORD(GetRValue(c)) << 16 | DWORD(GetGValue(c)) << 8 | GetBValue(c); };
      EXPECT_EQ(px[size_t(row) * bw + sr.left - 5] & 0xFFFFFF, rgb(shadow));
      EXPECT_EQ(px[size_t(row) * bw + sr.left - 4] & 0xFFFFFF, rgb(light));
      // No border in the 2007 look: the button's face runs to its edge.
      int fw = 0, fh = 0;
      const auto face = nxtest::ClientPixels(first->hWnd, fw, fh);
      EXPECT_EQ(fw, 28 + 1);
      EXPECT_NE(face[size_t(fw) * (fh / 2) + fw - 1] & 0xFFFFFF, 0u);
    }
    DestroyWindow(bar->hWnd);
    w->oBar = w->oTop = nullptr;
  }
  DestroyWindow(w->hWnd);
  std::remove(file.c_str());
}
