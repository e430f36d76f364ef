// The tab strip on real windows: how tabs are measured, laid out, scrolled
// and hit along their slanted edges; selection by click and by Alt and a hot
// key from another control; the hover highlight under real mouse moves; the
// docking menu read while it is open after a real right click; the look on
// each side, and the bitmaps it leaves behind (none).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "classes/bar.h"
#include "classes/button.h"
#include "classes/font.h"
#include "classes/menu.h"
#include "classes/msgbar.h"
#include "classes/tabs.h"
#include "common/client_pixels.h"
#include "common/pump.h"
#include "common/write_bmp.h"
#include "native/draw.h"
#include "native/tabs.h"
#include "rt/dlgitem.h"

using namespace nx;

namespace {

std::shared_ptr<TWindow> MakeWindow(int width = 420, int height = 240) {
  auto w = TWindow::New({.nTop = 40, .nLeft = 40, .nBottom = 40 + height, .nRight = 40 + width, .cTitle = "tabs",
                         .lPixel = true});
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  SetForegroundWindow(w->hWnd);
  UpdateWindow(w->hWnd);
  return w;
}

using nxtest::Pump;
using nxtest::PumpUntil;

void Repaint(HWND h) {
  InvalidateRect(h, nullptr, TRUE);
  UpdateWindow(h);
}

DWORD At(HWND h, int x, int y) {
  int w = 0, hh = 0;
  const auto px = nxtest::ClientPixels(h, w, hh);
  return x >= 0 && y >= 0 && x < w && y < hh ? px[size_t(y) * w + x] & 0xFFFFFF : 0xFFFFFFFF;
}

// The client point of a strip in screen coordinates.
POINT Screen(HWND h, int x, int y) {
  POINT p{x, y};
  ClientToScreen(h, &p);
  return p;
}

void MouseTo(POINT p) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = LONG((p.x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1));
  in.mi.dy = LONG((p.y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void Press(DWORD down, DWORD up) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = down;
  in[1].mi.dwFlags = up;
  SendInput(2, in, sizeof(INPUT));
}

void Keys(std::vector<std::pair<WORD, bool>> keys) {  // key, up
  std::vector<INPUT> in(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = keys[i].first;
    in[i].ki.dwFlags = keys[i].second ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(UINT(in.size()), in.data(), sizeof(INPUT));
}

// Moves the pointer to p (again while it is elsewhere: under Wine the
// display's own late report of an earlier move can put it back) until the
// condition holds with the pointer there.
bool MouseUntil(POINT p, const std::function<bool()>& done) {
  return PumpUntil([&] {
    POINT at{};
    GetCursorPos(&at);
    if (at.x != p.x || at.y != p.y) {
      MouseTo(p);
      return false;
    }
    return done();
  });
}

POINT Away() { return {GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2}; }

void MouseAway() { MouseTo(Away()); }

// The middle of tab n's body, on the strip's middle row.
int TabMiddle(const TTabs& t, int n) { return t.aLeft[size_t(n) - 1] + 4 + t.aSizes[size_t(n) - 1] / 2; }

int BoldWidth(const TTabs& t, const std::string& s) {
  HDC dc = GetDC(t.hWnd);
  HGDIOBJ old = SelectObject(dc, t.oBold->hFont);
  SIZE size{};
  GetTextExtentPoint32A(dc, s.data(), int(s.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(t.hWnd, dc);
  return size.cx;
}

std::string TemplateOf(const std::string& item) {
  std::string t(24, '\0');
  const uint32_t style = WS_POPUP | WS_VISIBLE | WS_CAPTION;
  std::memcpy(t.data(), &style, 4);
  const uint16_t count = 1, cx = 200, cy = 120;
  std::memcpy(t.data() + 8, &count, 2);
  std::memcpy(t.data() + 14, &cx, 2);
  std::memcpy(t.data() + 16, &cy, 2);
  return t + item;
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::function<void()> g_onTick;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (g_onTick) g_onTick();
}

constexpr DWORD kLine = 0x6593CF;  // the edge the tabs hang from
constexpr DWORD kWhite = 0xFFFFFF;

}  // namespace

TEST(TabsLayout, TabsAreMeasuredInBoldAndScrolledByTheArrowsWhenTheyDoNotFit) {
  auto w = MakeWindow();
  const std::string picture = nxtest::WriteBmp("tabs_test_pic.bmp", 16, 16);
  std::vector<std::pair<int, int>> changes;
  auto t = TTabs::New({.aPrompts = {"&Alpha", "&Beta", "&Gamma", "&Delta", "&Epsilon", "&Zeta"},
                       .bAction = [&](int n, int old, TTabs&) { changes.emplace_back(n, old); },
                       .oWnd = w,
                       .lPixel = true,
                       .nWidth = 260,
                       .nHeight = 17,
                       .acBitmaps = {"", picture}});
  ASSERT_TRUE(t->hWnd);
  ASSERT_EQ(t->aSizes.size(), 6u);
  EXPECT_EQ(t->aSizes[0], BoldWidth(*t, "Alpha") + 20);
  EXPECT_EQ(t->aSizes[1], BoldWidth(*t, "Beta") + 18 + 20) << "a tab with a picture makes room for it";
  for (size_t i = 1; i < t->aLeft.size(); ++i) EXPECT_EQ(t->aLeft[i], t->aLeft[i - 1] + t->aSizes[i - 1] + 7);
  Repaint(t->hWnd);
  // Tabs end before the last 40 pixels, where the arrows are.
  const int last = t->nLastShown();
  EXPECT_LT(last, 6);
  EXPECT_LT(t->aLeft[size_t(last)], 260 - 40);
  EXPECT_GE(t->aLeft[size_t(last) + 1], 260 - 40);
  ASSERT_TRUE(t->oBtnLeft && t->oBtnRight);
  EXPECT_TRUE(IsWindowVisible(t->oBtnLeft->hWnd));
  EXPECT_TRUE(IsWindowVisible(t->oBtnRight->hWnd));
  EXPECT_FALSE(IsWindowEnabled(t->oBtnLeft->hWnd)) << "at the first tab";
  EXPECT_TRUE(IsWindowEnabled(t->oBtnRight->hWnd));
  // The system's arrows: black on the enabled one, none on the disabled one.
  auto black = [](HWND h) {
    UpdateWindow(h);
    int bw = 0, bh = 0;
    const auto px = nxtest::ClientPixels(h, bw, bh);
    return std::count_if(px.begin(), px.end(), [](DWORD p) { return (p & 0xFFFFFF) == 0; });
  };
  EXPECT_EQ(black(t->oBtnLeft->hWnd), 0);
  EXPECT_GT(black(t->oBtnRight->hWnd), 4);
  RECT r{};
  GetWindowRect(t->oBtnRight->hWnd, &r);
  MapWindowPoints(HWND_DESKTOP, t->hWnd, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 260 - 13);
  EXPECT_EQ(r.right - r.left, 11);
  EXPECT_LE(r.bottom, 17) << "inside the strip";

  // The right arrow scrolls one tab at a time; once the last tab shows it
  // is disabled.
  int clicks = 0;
  while (t->nLastShown() < 6 && clicks < 6) {
    t->oBtnRight->Click();
    UpdateWindow(t->hWnd);
    ++clicks;
  }
  EXPECT_EQ(t->nOffset, 1 + clicks);
  EXPECT_EQ(t->aLeft[size_t(t->nOffset) - 1], 0) << "the first tab shown starts the strip";
  EXPECT_TRUE(IsWindowEnabled(t->oBtnLeft->hWnd));
  EXPECT_FALSE(IsWindowEnabled(t->oBtnRight->hWnd));
  // Their actions keep at least one tab beyond the first shown, and stop at the first.
  for (int i = 0; i < 8; ++i) t->oBtnRight->Click();
  EXPECT_EQ(t->nOffset, 5);
  for (int i = 0; i < 8; ++i) t->oBtnLeft->Click();
  EXPECT_EQ(t->nOffset, 1);

  // Room for all: no arrows.
  t->nOffset = 1;
  SetWindowPos(t->hWnd, nullptr, 0, 0, 400, 17, SWP_NOMOVE | SWP_NOZORDER);
  t->SetTabs({"&One", "&Two"});
  UpdateWindow(t->hWnd);
  EXPECT_FALSE(IsWindowVisible(t->oBtnLeft->hWnd));
  EXPECT_FALSE(IsWindowVisible(t->oBtnRight->hWnd));
  EXPECT_TRUE(changes.empty()) << "only a change of selection runs the action";
  DestroyWindow(w->hWnd);
}

TEST(TabsSelection, ClicksFollowTheSlantedEdgesAndDeletingKeepsOneTab) {
  auto w = MakeWindow();
  std::vector<std::pair<int, int>> changes;
  auto t = TTabs::New({.aPrompts = {"&One", "&Two", "T&hree"},
                       .bAction = [&](int n, int old, TTabs&) { changes.emplace_back(n, old); },
                       .oWnd = w,
                       .lPixel = true,
                       .nWidth = 300,
                       .nHeight = 17});
  w->oBottom = t;
  Repaint(t->hWnd);
  ASSERT_EQ(t->nOrientation, TABS_BOTTOM);
  // On a bottom strip tab 2 reaches 13 pixels past tab 3's start on the top
  // row and ends at it on row 13.
  const int start3 = t->aLeft[2];
  EXPECT_EQ(t->nOverPrompt(0, start3 + 10), 2);
  EXPECT_EQ(t->nOverPrompt(13, start3 + 1), 3);
  EXPECT_EQ(t->nOverPrompt(8, t->aLeft[3] + 30), 0) << "past the last tab";
  SendMessageA(t->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start3 + 10, 0));
  SendMessageA(t->hWnd, WM_LBUTTONUP, 0, MAKELPARAM(start3 + 10, 0));
  EXPECT_EQ(t->nOption, 2);
  SendMessageA(t->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(TabMiddle(*t, 3), 8));
  EXPECT_EQ(t->nOption, 3);
  // The selected tab's start is upright: its left neighbour does not reach over it.
  EXPECT_EQ(t->nOverPrompt(0, start3 + 1), 3);
  SendMessageA(t->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(TabMiddle(*t, 3), 8));
  EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{2, 1}, {3, 2}})) << "clicking the selected tab changes nothing";

  t->DelItem(1);
  EXPECT_EQ(t->aPrompts, (std::vector<std::string>{"&Two", "T&hree"}));
  EXPECT_EQ(t->nOption, 2) << "the selection stays on its tab";
  EXPECT_EQ(t->aLeft.size(), 3u);
  t->DelItem();
  EXPECT_EQ(t->aPrompts, (std::vector<std::string>{"&Two"}));
  EXPECT_EQ(t->nOption, 1);
  t->DelItem();
  t->DelItem(1);
  EXPECT_EQ(t->aPrompts, (std::vector<std::string>{"&Two"})) << "the only tab stays";
  EXPECT_EQ(t->nOption, 1);
  t->AddItem("&Four");
  EXPECT_EQ(t->aSizes.size(), 2u);
  EXPECT_EQ(t->GetHotPos('F'), 2);
  EXPECT_EQ(t->GetHotPos('f'), 2);
  EXPECT_EQ(t->GetHotPos('x'), 0);
  t->AddItem("R&&D &Notes");
  EXPECT_EQ(t->GetHotPos('n'), 3) << "an escaped \"&&\" is no hot mark";
  EXPECT_EQ(t->GetHotPos('&'), 0);
  DestroyWindow(w->hWnd);
}

TEST(TabsKeys, AltAndAHotKeySelectsTheTabWhileAnotherControlHasTheFocus) {
  auto w = MakeWindow();
  int ran = 0;
  auto t = TTabs::New({.bAction = [&](int, int, TTabs&) { ++ran; }, .oWnd = w, .lPixel = true, .nWidth = 300});
  auto ok = TButton::New({.nRow = 60, .nCol = 20, .cCaption = "&Save", .oWnd = w, .nWidth = 80, .nHeight = 24,
                          .lPixel = true});
  int saved = 0;
  ok->bAction = [&](TButton&) { ++saved; };
  SetForegroundWindow(w->hWnd);
  SetFocus(ok->hWnd);
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == ok->hWnd; }));
  // Alt+H: "T&hree".
  Keys({{VK_MENU, false}, {'H', false}, {'H', true}, {VK_MENU, true}});
  ASSERT_TRUE(PumpUntil([&] { return t->nOption == 3; }));
  EXPECT_EQ(ran, 1);
  // A key no tab has goes on as before; the strip takes nothing.
  Keys({{VK_MENU, false}, {'Q', false}, {'Q', true}, {VK_MENU, true}});
  Keys({{VK_MENU, false}, {'O', false}, {'O', true}, {VK_MENU, true}});
  ASSERT_TRUE(PumpUntil([&] { return t->nOption == 1; }));
  EXPECT_EQ(ran, 2);
  EXPECT_EQ(saved, 0);
  DestroyWindow(w->hWnd);
}

TEST(TabsHover, TheHighlightFollowsRealMouseMovesAndClearsOnLeave) {
  auto w = MakeWindow();
  auto t = TTabs::New({.oWnd = w, .lPixel = true, .nWidth = 300, .nHeight = 17});
  w->oBottom = t;
  w->ReSize();
  Repaint(t->hWnd);
  // The pointer may start over the strip (where an earlier program left it):
  // the reference colours are read once it has gone and the strip knows.
  ASSERT_TRUE(MouseUntil(Away(), [&] { return t->nOver == 0; }));
  // Row 3 of tab 2's body: unselected face before, selected face under the mouse.
  const int x = TabMiddle(*t, 2);
  const DWORD plain = At(t->hWnd, x, 3);
  const DWORD selected = At(t->hWnd, TabMiddle(*t, 1), 3);
  ASSERT_NE(plain, selected);
  ASSERT_TRUE(MouseUntil(Screen(t->hWnd, x, 8), [&] { return t->nOver == 2; }));
  EXPECT_EQ(At(t->hWnd, x, 3), selected);
  // Onto the selected tab: the highlight goes, none comes.
  ASSERT_TRUE(MouseUntil(Screen(t->hWnd, TabMiddle(*t, 1), 8), [&] { return t->nOver == 0; }));
  EXPECT_EQ(At(t->hWnd, x, 3), plain);
  ASSERT_TRUE(MouseUntil(Screen(t->hWnd, TabMiddle(*t, 3), 8), [&] { return t->nOver == 3; }));
  // A repaint keeps it.
  Repaint(t->hWnd);
  EXPECT_EQ(At(t->hWnd, TabMiddle(*t, 3), 3), selected);
  // Leaving the strip clears it.
  ASSERT_TRUE(MouseUntil(Screen(w->hWnd, 200, 60), [&] { return t->nOver == 0; }));
  EXPECT_EQ(At(t->hWnd, TabMiddle(*t, 3), 3), plain);
  MouseAway();
  DestroyWindow(w->hWnd);
}

TEST(TabsDocking, RightClickOnATopStripOffersTheFreeSidesAndMovesThere) {
  auto w = MakeWindow();
  TMsgBar::New({.oWnd = w, .cMsg = "ready"});
  auto bar = TBar::New({.oWnd = w, .l3D = true});
  auto t = TTabs::New({.oWnd = w, .lPixel = true, .nWidth = 300});
  w->oTop = t;  // the bar stays the window's button bar
  w->ReSize();
  Repaint(t->hWnd);
  RECT br{}, tr{};
  GetWindowRect(bar->hWnd, &br);
  GetWindowRect(t->hWnd, &tr);
  EXPECT_EQ(tr.top, br.bottom) << "the strip sits below the bar";
  ASSERT_EQ(t->nOrientation, TABS_TOP);

  std::vector<std::pair<std::string, bool>> shown;  // text, enabled
  // The pop-up's own loop runs the timer, which reads the items once the
  // pop-up shows and closes it.
  g_onTick = [&] {
    const HWND popup = FindWindowA("#32768", nullptr);
    if (shown.empty() && t->oPopup && t->oPopup->hMenu && popup && IsWindowVisible(popup)) {
      HMENU h = t->oPopup->hMenu;
      const auto& items = t->oPopup->aItems();
      for (int i = 0; i < GetMenuItemCount(h) && size_t(i) < items.size(); ++i) {
        const UINT state = GetMenuState(h, UINT(i), MF_BYPOSITION);
        shown.emplace_back(items[size_t(i)]->cPrompt, !(state & (MF_GRAYED | MF_DISABLED)));
      }
      Keys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    }
  };
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
  ASSERT_TRUE(MouseUntil(Screen(t->hWnd, 280, 8), [] { return true; }));
  Press(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  const bool closed = PumpUntil([&] { return !shown.empty() && t->oPopup == nullptr; });
  KillTimer(nullptr, timer);
  g_onTick = nullptr;
  ASSERT_TRUE(closed);
  const std::vector<std::pair<std::string, bool>> want{{"&Left", true}, {"&Right", true}, {"&Bottom", false}};
  EXPECT_EQ(shown, want);

  // What the items run: a refused side, then the left.
  EXPECT_FALSE(t->GoBottom());
  EXPECT_FALSE(t->GoTop()) << "already there";
  ASSERT_TRUE(t->GoLeft());
  EXPECT_EQ(w->oLeft, t);
  EXPECT_EQ(w->oTop, nullptr);
  EXPECT_EQ(w->oBar, bar);
  EXPECT_EQ(t->nOrientation, TABS_LEFT);
  RECT client{};
  GetClientRect(t->hWnd, &client);
  EXPECT_EQ(client.right, 17);
  EXPECT_GT(client.bottom, client.right);
  EXPECT_FALSE(t->lSideFree(TABS_LEFT));
  EXPECT_TRUE(t->lSideFree(TABS_RIGHT));
  DestroyWindow(w->hWnd);
}

TEST(TabsLook, EachSideMirrorsTheLookAndTheStripLeavesNoBitmapBehind) {
  RESREGISTER(true);
  const size_t start = RESCOUNT("BMP");
  {
    auto w = MakeWindow();
    auto t = TTabs::New({.oWnd = w, .lPixel = true, .nWidth = 300});
    w->oBottom = t;
    w->ReSize();
    Repaint(t->hWnd);
    RECT rc{};
    GetClientRect(t->hWnd, &rc);
    // Bottom: tabs hang from the top edge; the selected one opens into the
    // work area above, the others sit behind the line.
    EXPECT_EQ(At(t->hWnd, TabMiddle(*t, 1), 0), kWhite);
    EXPECT_EQ(At(t->hWnd, TabMiddle(*t, 2), 0), kLine);
    EXPECT_EQ(At(t->hWnd, rc.right - 30, 0), kLine);
    EXPECT_NE(At(t->hWnd, rc.right - 30, rc.bottom - 1), kLine);
    // Top: upside down.
    w->oBottom = nullptr;
    ASSERT_TRUE(t->GoTop());
    Repaint(t->hWnd);
    GetClientRect(t->hWnd, &rc);
    EXPECT_EQ(rc.bottom, 17);
    EXPECT_EQ(At(t->hWnd, TabMiddle(*t, 1), rc.bottom - 1), kWhite);
    EXPECT_EQ(At(t->hWnd, TabMiddle(*t, 2), rc.bottom - 1), kLine);
    EXPECT_NE(At(t->hWnd, rc.right - 30, 0), kLine);
    // Right and left: upright, the line on the side of the work area.
    ASSERT_TRUE(t->GoRight());
    Repaint(t->hWnd);
    GetClientRect(t->hWnd, &rc);
    EXPECT_EQ(rc.right, 17);
    EXPECT_EQ(At(t->hWnd, 0, TabMiddle(*t, 1)), kWhite);
    EXPECT_EQ(At(t->hWnd, 0, TabMiddle(*t, 2)), kLine);
    EXPECT_EQ(t->oFont->nEscapement, 2700);
    ASSERT_TRUE(t->GoLeft());
    Repaint(t->hWnd);
    EXPECT_EQ(At(t->hWnd, rc.right - 1, TabMiddle(*t, 1)), kWhite);
    EXPECT_EQ(At(t->hWnd, rc.right - 1, TabMiddle(*t, 2)), kLine);
    EXPECT_EQ(t->oBold->nEscapement, 900);
    // Hit testing turns with the strip.
    EXPECT_EQ(t->nOverPrompt(TabMiddle(*t, 2), 8), 2);
    EXPECT_GT(RESCOUNT("BMP"), start);
    DestroyWindow(w->hWnd);
    EXPECT_EQ(w->oLeft, nullptr) << "a destroyed strip leaves its slot";
  }
  EXPECT_EQ(RESCOUNT("BMP"), start);
  RESREGISTER(false);
  EXPECT_FALSE(nx::TRACKMOUSEEVENT(nullptr, TME_LEAVE));
}

TEST(TabsLayout, BoundToADialogItemItMeasuresAndMakesItsArrowsThen) {
  auto owner = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 100, .nRight = 100, .lPixel = true});
  auto t = TTabs::ReDefine({.nId = 301, .aPrompts = {"&Red", "&Green"}, .oWnd = owner, .nOption = 2});
  EXPECT_EQ(t->hWnd, nullptr);
  EXPECT_EQ(t->oBtnLeft, nullptr);
  const std::string tmpl = TemplateOf(DialogItemBytes(80, 2, 90, 150, 301, WS_CHILD | WS_VISIBLE, u"TTABS", u""));
  HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()),
                                        owner->hWnd, NoDialogProc, 0);
  ASSERT_TRUE(dlg);
  t->Initiate(dlg);
  ASSERT_TRUE(t->hWnd);
  EXPECT_EQ(t->aSizes[1], BoldWidth(*t, "Green") + 20);
  ASSERT_TRUE(t->oBtnLeft && t->oBtnRight);
  EXPECT_EQ(GetParent(t->oBtnLeft->hWnd), t->hWnd);
  // Alt and a letter with the focus on the strip itself.
  EXPECT_EQ(SendMessageA(t->hWnd, WM_SYSCOMMAND, SC_KEYMENU, 'r'), 0);
  EXPECT_EQ(t->nOption, 1);
  DestroyWindow(dlg);
  DestroyWindow(owner->hWnd);
}
