// The message bar for real: what SetMsg paints, where the panels sit and
// whether the grip shows, the Caps panel following a real key press, the
// standard panels and the resource figures in the owner's caption.
#include <gtest/gtest.h>

#include "classes/msgbar.h"
#include "native/draw.h"
#include "support.h"

using namespace nx;
using namespace msgtest;

namespace {
// A spot inside the message area, away from its text.
RECT Spot(const TMsgBar& bar) {
  const RECT c = Client(bar.hWnd);
  return {c.right / 3, 6, c.right / 3 + 6, 10};
}
}  // namespace

TEST(MsgBarMessage, RepaintsOnlyWhatChanged) {
  Scene s({.cMsg = "Ready"});
  ASSERT_TRUE(s.bar->hWnd);
  EXPECT_EQ(s.wnd->oMsgBar, s.bar);
  const COLORREF magenta = RGB(255, 0, 255), pane = s.bar->nClrPane;
  const RECT spot = Spot(*s.bar);
  const RECT text{5, 5, 40, Client(s.bar->hWnd).bottom - 5};
  ASSERT_GT(CountColor(s.bar->hWnd, text, 0), 0) << "the default text shows";

  s.wnd->SetMsg("Working");  // through the owner, as menus and controls do
  EXPECT_EQ(s.bar->cMsg, "Working");
  Mark(s.bar->hWnd, spot, magenta);
  s.bar->SetMsg("Working");
  EXPECT_EQ(PixelAt(s.bar->hWnd, spot.left, spot.top), magenta) << "the same text paints nothing";

  s.bar->SetMsg("");
  EXPECT_EQ(PixelAt(s.bar->hWnd, spot.left, spot.top), pane) << "the first empty text repaints";
  Mark(s.bar->hWnd, spot, magenta);
  s.bar->SetMsg("");
  EXPECT_EQ(PixelAt(s.bar->hWnd, spot.left, spot.top), magenta) << "the second paints nothing";

  // A new default shows at once while no message is up; a message hides it.
  s.wnd->SetMsg("Idle", true);
  EXPECT_EQ(s.bar->cMsgDef, "Idle");
  EXPECT_EQ(s.bar->cMsg, "");
  EXPECT_EQ(PixelAt(s.bar->hWnd, spot.left, spot.top), pane);
}

namespace {
// The right column of the last panel's sunken frame, found from the right
// edge of the bar on its middle row: the highlight colour.
int LastFrameColumn(HWND bar) {
  const RECT c = Client(bar);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  for (int x = c.right - 2; x > c.right - 40; --x)
    if (PixelAt(bar, x, 5) == light) return x;
  return -1;
}
// The first shadow diagonal of the grip, at its corner.
bool GripShows(HWND bar) {
  const RECT c = Client(bar);
  return PixelAt(bar, c.right - 2, c.bottom - 1 - 3) == GetSysColor(COLOR_BTNSHADOW);
}
}  // namespace

TEST(MsgBarLayout, MaximizedWithoutStylesEndsThreePixelsFromTheEdgeWithoutGrip) {
  ASSERT_FALSE(ISAPPTHEMED());
  Scene s({.cMsg = "Layout", .lClock = true, .lKbd = true});
  ASSERT_EQ(s.bar->GetItem(), 4);
  const auto& items = s.bar->aItem;
  EXPECT_EQ(items[0], s.bar->oKeyNum);
  EXPECT_EQ(items[3], s.bar->oClock);
  // Panels follow each other from the right, 4 pixels apart.
  for (size_t i = 1; i < items.size(); ++i)
    EXPECT_EQ(items[i]->nLeft(), items[i - 1]->nLeft() + items[i - 1]->nWidth + 4);

  const int width = Client(s.wnd->hWnd).right;
  EXPECT_EQ(Client(s.bar->hWnd).right, width);
  EXPECT_EQ(LastFrameColumn(s.bar->hWnd), width - 14);
  EXPECT_TRUE(GripShows(s.bar->hWnd));

  ShowWindow(s.wnd->hWnd, SW_MAXIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return Client(s.bar->hWnd).right == Client(s.wnd->hWnd).right && IsZoomed(s.wnd->hWnd); }));
  UpdateWindow(s.bar->hWnd);
  const int maxWidth = Client(s.wnd->hWnd).right;
  ASSERT_GT(maxWidth, width);
  EXPECT_EQ(LastFrameColumn(s.bar->hWnd), maxWidth - 4) << "3 pixels to the edge";
  EXPECT_EQ(PixelAt(s.bar->hWnd, maxWidth - 3, 5), s.bar->nClrPane);
  EXPECT_FALSE(GripShows(s.bar->hWnd));
  // The bar stays on the owner's bottom edge.
  RECT br{}, wr{};
  GetWindowRect(s.bar->hWnd, &br);
  GetClientRect(s.wnd->hWnd, &wr);
  MapWindowPoints(s.wnd->hWnd, nullptr, reinterpret_cast<POINT*>(&wr), 2);
  EXPECT_EQ(br.bottom - 1, wr.bottom) << "the bottom border lies outside";
  EXPECT_EQ(br.top, wr.bottom - s.bar->Height());

  ShowWindow(s.wnd->hWnd, SW_RESTORE);
  ASSERT_TRUE(PumpUntil([&] { return Client(s.bar->hWnd).right == width; }));
  UpdateWindow(s.bar->hWnd);
  EXPECT_EQ(LastFrameColumn(s.bar->hWnd), width - 14);
  EXPECT_TRUE(GripShows(s.bar->hWnd));
}

namespace {
void PressCapsLock() {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = VK_CAPITAL;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}
// Pixels of the Caps panel's text in the colour it shows while active.
int ActiveInk(const TMsgBar& bar) {
  const auto& caps = *bar.oKeyCaps;
  const RECT rc{caps.nLeft() + 2, 5, caps.nLeft() + caps.nWidth - 4, bar.Height() - 6};
  return CountColor(bar.hWnd, rc, caps.nClrText);
}
int InactiveInk(const TMsgBar& bar) {
  const auto& caps = *bar.oKeyCaps;
  const RECT rc{caps.nLeft() + 2, 5, caps.nLeft() + caps.nWidth - 4, bar.Height() - 6};
  return CountColor(bar.hWnd, rc, caps.nClrDisabled);
}
}  // namespace

TEST(MsgBarKeys, CapsLockPressChangesThePanelColourOnATick) {
  Scene s({.lKbd = true});
  SetForegroundWindow(s.wnd->hWnd);
  SetFocus(s.wnd->hWnd);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == s.wnd->hWnd; }));
  auto& caps = *s.bar->oKeyCaps;
  ASSERT_NE(caps.nClrText, caps.nClrDisabled);
  const bool wasOn = GetKeyState(VK_CAPITAL) & 1;
  ASSERT_EQ(caps.lActive, wasOn);
  for (int round = 0; round < 2; ++round) {
    const bool on = GetKeyState(VK_CAPITAL) & 1;
    PressCapsLock();
    ASSERT_TRUE(PumpUntil([&] { return bool(GetKeyState(VK_CAPITAL) & 1) != on; })) << "the key press arrives";
    ASSERT_TRUE(PumpUntil([&] { return caps.lActive != on; })) << "a tick follows the key";
    // The colour changed, the text did not.
    EXPECT_EQ(caps.cMsg, "Caps");
    if (!on) {
      EXPECT_GT(ActiveInk(*s.bar), 0);
      EXPECT_EQ(InactiveInk(*s.bar), 0);
    } else {
      EXPECT_GT(InactiveInk(*s.bar), 0);
      EXPECT_EQ(ActiveInk(*s.bar), 0);
    }
  }
  EXPECT_EQ(bool(GetKeyState(VK_CAPITAL) & 1), wasOn);
}

TEST(MsgBarPanels, StandardPanelsOnceAndOffAgain) {
  Scene s({.cMsg = "Panels"});
  const size_t timers = TimerList().size();
  s.bar->ClockOn();
  ASSERT_TRUE(s.bar->oClock);
  ASSERT_TRUE(s.bar->oTimer);
  EXPECT_EQ(TimerList().size(), timers + 1);
  auto timer = s.bar->oTimer;
  s.bar->ClockOn();
  s.bar->DateOn();
  s.bar->DateOn();
  EXPECT_EQ(s.bar->GetItem(), 2) << "a second ClockOn adds no panel";
  EXPECT_EQ(s.bar->oTimer, timer) << "nor a timer";
  EXPECT_EQ(TimerList().size(), timers + 1);
  EXPECT_EQ(s.bar->aItem.back(), s.bar->oDate) << "panels line up in the order they were switched on";
  EXPECT_EQ(s.bar->oClock->cMsg.size(), 8u);  // hh:mm:ss

  // The clock follows the time on the bar's ticks.
  s.bar->oClock->cMsg = "--:--:--";
  ASSERT_TRUE(PumpUntil([&] { return s.bar->oClock->cMsg != "--:--:--"; }));
  EXPECT_EQ(s.bar->oClock->cMsg[2], ':');

  s.bar->ClockOff();
  EXPECT_FALSE(s.bar->oClock);
  EXPECT_EQ(s.bar->GetItem(), 1);
  auto mine = TMsgItem::New(s.bar, {.cMsg = "Mine", .xClrFore = Value(std::string("W+/B"))});
  s.bar->InsItem(mine, std::nullopt);
  EXPECT_EQ(s.bar->GetItem(), 1) << "no position, no insert";
  s.bar->InsItem(mine, 1);
  EXPECT_EQ(s.bar->aItem.front(), mine);
  EXPECT_EQ(mine->nClrText, RGB(255, 255, 255));
  EXPECT_EQ(mine->nClrPane, RGB(0, 0, 128));
  EXPECT_EQ(mine->nWidth, 40);

  // Destroying the bar's window ends its timer.
  DestroyWindow(s.bar->hWnd);
  EXPECT_EQ(TimerList().size(), timers);
  EXPECT_FALSE(s.bar->oTimer);
}

TEST(MsgBarPanels, ClickRunsTheActionOfThePanelUnderThePointer) {
  Scene s({});
  std::vector<int> clicks;
  auto a = TMsgItem::New(s.bar, {.cMsg = "A", .lAdd = true, .bAction = [&](int, int) { clicks.push_back(1); }});
  auto b = TMsgItem::New(s.bar, {.cMsg = "B", .nWidth = 60, .lAdd = true,
                                  .bAction = [&](int, int) { clicks.push_back(2); }});
  const int row = s.bar->Height() / 2;
  SendMessageA(s.bar->hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(b->nLeft() + 10, row));
  SendMessageA(s.bar->hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(a->nLeft() + 10, row));
  SendMessageA(s.bar->hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(a->nLeft() + 10, 2));  // above the panels
  SendMessageA(s.bar->hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(5, row));              // the message area
  EXPECT_EQ(clicks, (std::vector<int>{2, 1}));
  SendMessageA(s.bar->hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(b->nLeft() + 10, row));
  EXPECT_EQ(s.bar->nItem, 2);
  SendMessageA(s.bar->hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, row));
  EXPECT_EQ(s.bar->nItem, 0);
}

TEST(MsgBarResources, DoubleClicksShowTheFiguresThenRestoreTheCaption) {
  Scene s({.lClock = true});
  SendMessageA(s.bar->hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(s.bar->lCheckRes);
  ASSERT_TRUE(PumpUntil([&] { return s.wnd->GetText().rfind("(32 bits) MemUsed: ", 0) == 0; }));
  const std::string shown = s.wnd->GetText();
  EXPECT_NE(shown.find(" MemMax: "), std::string::npos);
  EXPECT_NE(shown.find("% Running time: "), std::string::npos);
  EXPECT_EQ(shown.substr(shown.size() - 6), " secs ");
  SendMessageA(s.bar->hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(s.bar->lCheckRes);
  ASSERT_TRUE(PumpUntil([&] { return s.wnd->GetText() == "bar test"; }));
  EXPECT_TRUE(s.bar->Cargo.IsNil());
}

TEST(MsgBarResources, RunningTimeCountsWholeDays) {
  EXPECT_EQ(RunningTime(100, 3600.5, 100, 3725.9), "0 hours 2 mins 5 secs ");
  EXPECT_EQ(RunningTime(100, 86000, 101, 400), "0 hours 13 mins 20 secs ");
  EXPECT_EQ(RunningTime(100, 0, 102, 0), "48 hours 0 mins 0 secs ");
  EXPECT_EQ(RunningTime(100, 500, 100, 400), "0 hours 0 mins 0 secs ") << "the clock went back";
  EXPECT_EQ(RunningTime(100, 500, 99, 900), "0 hours 0 mins 0 secs ");
}

TEST(MsgBar2007, GradientUnderTextAndPanels) {
  Scene s({.cMsg = "", .lClock = true, .l2007 = true});
  const RECT c = Client(s.bar->hWnd);
  EXPECT_EQ(PixelAt(s.bar->hWnd, c.right / 2, 0), RGB(255, 255, 255)) << "the gradient's top row";
  EXPECT_EQ(GetBValue(PixelAt(s.bar->hWnd, c.right / 2, c.bottom - 1)), 255);
  // Every SetMsg repaints the whole bar in this look.
  const RECT spot = Spot(*s.bar);
  Mark(s.bar->hWnd, spot, RGB(255, 0, 255));
  s.bar->SetMsg("");
  UpdateWindow(s.bar->hWnd);
  EXPECT_NE(PixelAt(s.bar->hWnd, spot.left, spot.top), RGB(255, 0, 255));
}
