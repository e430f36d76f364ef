// TWindow: creation defaults, styles, activation and the loop, closing rules,
// painting, layout slots, keyboard navigation and event return values.
#include <gtest/gtest.h>

#include <functional>

#include "classes/brush.h"
#include "classes/scrllbar.h"
#include "classes/window.h"
#include "native/dispatch.h"
#include "rt/setkey.h"

using namespace nx;

namespace {

DWORD StyleOf(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }

RECT WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

std::function<void()> g_pending;

void CALLBACK RunPending(HWND h, UINT, UINT_PTR id, DWORD) {
  KillTimer(h, id);
  auto f = std::move(g_pending);
  f();
}

void CALLBACK CloseLater(HWND h, UINT, UINT_PTR id, DWORD) {
  KillTimer(h, id);
  PostMessageA(h, WM_CLOSE, 0, 0);
}

// Runs fn from inside the application loop, once it is running.
void InLoop(HWND hWnd, std::function<void()> fn) {
  g_pending = std::move(fn);
  SetTimer(hWnd, 77, 1, RunPending);
}

std::vector<std::pair<UINT, WPARAM>> g_barMessages;

LRESULT CALLBACK RecordBarMessages(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m >= 0x0800 && m <= 0x080E) g_barMessages.emplace_back(m, wp);
  return DefWindowProcA(h, m, wp, lp);
}

}  // namespace

TEST(WindowNew, DefaultsGiveCharacterCellRectangleAndStyle) {
  auto w = TWindow::New();
  ASSERT_NE(w->hWnd, nullptr);
  EXPECT_EQ(w->nTop, 32);
  EXPECT_EQ(w->nLeft, 16);
  EXPECT_EQ(w->nBottom, 320);
  EXPECT_EQ(w->nRight, 560);
  RECT r = WindowRect(w->hWnd);
  EXPECT_EQ(r.left, 16);
  EXPECT_EQ(r.top, 32);
  EXPECT_EQ(r.right - r.left, 545);
  EXPECT_EQ(r.bottom - r.top, 289);
  DWORD expected = WS_CLIPCHILDREN | WS_THICKFRAME | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  EXPECT_EQ(w->nStyle, expected);
  EXPECT_EQ(StyleOf(w->hWnd) & expected, expected);
  EXPECT_FALSE(StyleOf(w->hWnd) & (WS_VSCROLL | WS_HSCROLL | WS_POPUP | WS_CHILD));
  EXPECT_EQ(w->nClrText, GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(w->nClrPane, GetSysColor(COLOR_WINDOW));
  ASSERT_NE(w->oBrush, nullptr);
  EXPECT_EQ(GetWndDefault(), w);
  EXPECT_TRUE(w->lVisible);
  DestroyWindow(w->hWnd);
  EXPECT_EQ(GetWndDefault(), nullptr);
}

TEST(WindowNew, BorderNoneIsAPopupWithCaption) {
  auto w = TWindow::New({.cBorder = "NONE"});
  EXPECT_TRUE(w->nStyle & WS_POPUP);
  EXPECT_FALSE(w->nStyle & WS_THICKFRAME);
  EXPECT_EQ(w->nStyle & WS_CAPTION, DWORD(WS_CAPTION));
  auto bare = TWindow::New({.cBorder = "NONE", .lCaption = false});
  EXPECT_FALSE(bare->nStyle & WS_CAPTION);
  EXPECT_FALSE(bare->nStyle & WS_SYSMENU);  // no caption: no caption buttons
  auto other = TWindow::New({.cBorder = "DOUBLE"});
  EXPECT_FALSE(other->nStyle & (WS_POPUP | WS_THICKFRAME));
  auto bars = TWindow::New({.lVScroll = true, .lHScroll = true});
  EXPECT_EQ(bars->nStyle & (WS_VSCROLL | WS_HSCROLL), DWORD(WS_VSCROLL | WS_HSCROLL));
  EXPECT_NE(bars->oVScroll, nullptr);
  EXPECT_NE(bars->oHScroll, nullptr);
  for (auto& x : {w, bare, other, bars}) DestroyWindow(x->hWnd);
}

TEST(WindowNew, ClassRegistersOnce) {
  auto a = TWindow::New();
  EXPECT_TRUE(a->lRegistered());
  ASSERT_TRUE(GETCLASSINFO(GetModuleHandleA(nullptr), "TWINDOW").has_value());
  auto b = TWindow::New();
  EXPECT_NE(b->hWnd, nullptr);
  char cls[32] = "";
  GetClassNameA(b->hWnd, cls, sizeof cls);
  EXPECT_STREQ(cls, "TWINDOW");
  DestroyWindow(a->hWnd);
  DestroyWindow(b->hWnd);
}

TEST(WindowClose, ValidFalseKeepsTheWindow) {
  auto w = TWindow::New({.cTitle = "valid"});
  int asked = 0;
  w->bValid = [&](TWindow&) {
    ++asked;
    return false;
  };
  EXPECT_EQ(SendMessageA(w->hWnd, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(w->SysCommand(SC_CLOSE, 0).AsLogical());
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, w->hWnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
  EXPECT_TRUE(IsWindow(w->hWnd));
  // Allowed: End posts WM_CLOSE and the window goes.
  w->bValid = nullptr;
  HWND h = w->hWnd;
  EXPECT_TRUE(w->End());
  while (PeekMessageA(&msg, h, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(w->hWnd, nullptr);
}

TEST(WindowActivate, FirstTopLevelRunsTheLoopSecondDoesNot) {
  auto main = TWindow::New({.cTitle = "main"});
  HWND mainHandle = main->hWnd;
  TWindowPtr second;
  bool secondReturned = false, loopAlive = false;
  HWND appDuringLoop = nullptr;
  InLoop(main->hWnd, [&] {
    EXPECT_TRUE(LWRUNNING());
    appDuringLoop = GETWNDAPP();
    second = TWindow::New({.cTitle = "second"});
    second->Activate();  // must return at once: the loop already runs
    secondReturned = true;
    EXPECT_EQ(GETWNDAPP(), mainHandle);
    // Closing the second window does not end the program.
    SendMessageA(second->hWnd, WM_CLOSE, 0, 0);
    SetTimer(main->hWnd, 78, 20, CloseLater);
    loopAlive = true;
  });
  main->Activate({.cShow = "NORMAL"});
  // Activate returned: the main window was destroyed and the loop ended.
  EXPECT_TRUE(secondReturned);
  EXPECT_TRUE(loopAlive);
  EXPECT_EQ(appDuringLoop, mainHandle);
  EXPECT_EQ(main->hWnd, nullptr);
  EXPECT_EQ(second->hWnd, nullptr);
  EXPECT_FALSE(main->lVisible);
  EXPECT_FALSE(LWRUNNING());
}

TEST(WindowActivate, ShowStatesAndHooks) {
  auto w = TWindow::New({.cTitle = "states"});
  int inits = 0, resizes = 0;
  w->bInit = [&](TWindow&) { ++inits; };
  w->bResized = [&](int, int, int, TWindow&) { ++resizes; };
  InLoop(w->hWnd, [&] {
    EXPECT_TRUE(IsZoomed(w->hWnd));
    PostMessageA(w->hWnd, WM_CLOSE, 0, 0);
  });
  w->Activate({.cShow = "MAXIMIZED"});
  EXPECT_EQ(inits, 1);
  EXPECT_GE(resizes, 1);  // Activate lays the window out once itself
}

TEST(WindowPaint, WithoutHooksFillsWithTheBrush) {
  const COLORREF green = RGB(10, 200, 30);
  auto w = TWindow::New({.nTop = 50, .nLeft = 50, .nBottom = 200, .nRight = 300, .nClrBack = green, .lPixel = true});
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  UpdateWindow(w->hWnd);
  InvalidateRect(w->hWnd, nullptr, TRUE);
  UpdateWindow(w->hWnd);
  HDC dc = GetDC(w->hWnd);
  RECT c;
  GetClientRect(w->hWnd, &c);
  EXPECT_EQ(GetPixel(dc, 0, 0), green);
  EXPECT_EQ(GetPixel(dc, c.right - 1, c.bottom - 1), green);
  EXPECT_EQ(GetPixel(dc, c.right / 2, c.bottom / 2), green);
  ReleaseDC(w->hWnd, dc);
  // The window never lets Windows erase its background.
  EXPECT_EQ(w->EraseBkGnd(nullptr).AsInt(), 1);
  DestroyWindow(w->hWnd);
}

TEST(WindowPaint, PaintedHookDrawsIntoTheBufferAndItsResultIsKept) {
  auto w = TWindow::New({.nTop = 50, .nLeft = 50, .nBottom = 200, .nRight = 300, .lPixel = true});
  HDC seen = nullptr;
  w->bPainted = [&](HDC hDC, const std::string& cPS, TWindow& self) {
    seen = hDC;
    EXPECT_EQ(cPS.size(), sizeof(PAINTSTRUCT));
    EXPECT_EQ(self.hDC, hDC);
    RECT r{0, 0, 10, 10};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(hDC, &r, red);
    DeleteObject(red);
    return Value(5);
  };
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  InvalidateRect(w->hWnd, nullptr, TRUE);
  UpdateWindow(w->hWnd);
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(GetObjectType(seen), 0u) << "the memory DC is gone after the paint";
  HDC dc = GetDC(w->hWnd);
  EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 20, 20), GetSysColor(COLOR_WINDOW));
  ReleaseDC(w->hWnd, dc);
  EXPECT_EQ(w->hDC, nullptr);
  EXPECT_EQ(w->nPaintCount, 0);
  DestroyWindow(w->hWnd);
}

namespace {
class Docked : public TWindow {
 public:
  explicit Docked(const char* cls) : cls_(cls) {}
  const char* ClassName() const override { return cls_; }
  void AdjTop() override { log.push_back("top"); }
  void AdjBottom() override { log.push_back("bottom"); }
  void Adjust() override { log.push_back("adjust"); }
  void AdjLeft() override { log.push_back("left"); }
  void AdjRight() override { log.push_back("right"); }
  void AdjClient() override { log.push_back("client"); }
  std::vector<std::string> log;

 private:
  const char* cls_;
};
}  // namespace

TEST(WindowLayout, SlotsInOrderAndTheMessageBarOnce) {
  auto w = TWindow::New();
  auto bar = std::make_shared<Docked>("TMSGBAR");
  auto top = std::make_shared<Docked>("TBAR");
  auto client = std::make_shared<Docked>("TWBROWSE");
  auto left = std::make_shared<Docked>("TX");
  w->oMsgBar = bar;
  w->oBottom = bar;
  w->oTop = top;
  w->oBar = top;
  w->oClient = client;
  w->oLeft = left;
  int resized = 0;
  w->bResized = [&](int type, int width, int height, TWindow&) {
    ++resized;
    EXPECT_EQ(type, 0);
    EXPECT_EQ(width, 100);
    EXPECT_EQ(height, 50);
  };
  EXPECT_TRUE(w->ReSize(0, 100, 50).IsNil());
  EXPECT_EQ(bar->log, (std::vector<std::string>{"bottom"}));
  EXPECT_EQ(top->log, (std::vector<std::string>{"top"}));
  EXPECT_EQ(left->log, (std::vector<std::string>{"left"}));
  EXPECT_EQ(client->log, (std::vector<std::string>{"client"}));
  EXPECT_EQ(resized, 1);
  // A separate message bar is adjusted on its own.
  auto own = std::make_shared<Docked>("TMSGBAR");
  w->oMsgBar = own;
  w->ReSize(0, 100, 50);
  EXPECT_EQ(own->log, (std::vector<std::string>{"adjust"}));
  DestroyWindow(w->hWnd);
}

TEST(WindowKeys, TabMovesThroughControlsAndWraps) {
  auto parent = TWindow::New({.cTitle = "tabs"});
  std::vector<TWindowPtr> kids;
  for (int i = 0; i < 3; ++i) {
    auto c = TWindow::New({.nTop = 10 + 30 * i, .nLeft = 10, .nBottom = 30 + 30 * i, .nRight = 100,
                           .oWnd = parent, .cBorder = "NONE", .lCaption = false, .lPixel = true});
    parent->AddControl(c);
    kids.push_back(c);
  }
  ShowWindow(parent->hWnd, SW_SHOWNORMAL);
  SetForegroundWindow(parent->hWnd);
  SetFocus(kids[0]->hWnd);
  ASSERT_EQ(GetFocus(), kids[0]->hWnd);
  EXPECT_EQ(SendMessageA(kids[0]->hWnd, WM_KEYDOWN, VK_TAB, 0), 0);
  EXPECT_EQ(GetFocus(), kids[1]->hWnd);
  SendMessageA(kids[1]->hWnd, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(GetFocus(), kids[2]->hWnd);
  SendMessageA(kids[2]->hWnd, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(GetFocus(), kids[0]->hWnd);  // wrapped
  parent->GoPrevCtrl(kids[0]->hWnd);
  EXPECT_EQ(GetFocus(), kids[2]->hWnd);  // and backwards
  DestroyWindow(parent->hWnd);
  for (auto& k : kids) EXPECT_EQ(k->hWnd, nullptr);
}

TEST(WindowEvents, ResultsWithoutHooks) {
  auto w = TWindow::New();
  Value move = w->MouseMove(1, 2, 0);
  ASSERT_TRUE(move.IsNumber());
  EXPECT_EQ(move.AsInt(), 0);
  EXPECT_TRUE(w->LButtonDown(1, 2, 0).IsNil());
  EXPECT_TRUE(w->LButtonUp(1, 2, 0).IsNil());
  EXPECT_TRUE(w->RButtonDown(1, 2, 0).IsNil());
  EXPECT_TRUE(w->MouseWheel(0, 120, 0, 0).IsNil());
  EXPECT_TRUE(w->KeyDown('A', 0).IsNil());
  EXPECT_EQ(w->KeyDown(VK_F1, 0).AsInt(), 0);
  EXPECT_EQ(w->VScroll(SB_LINEDOWN, 0).AsInt(), 0);
  EXPECT_EQ(w->QueryEndSession().AsInt(), 1);
  // With hooks, their values are the results; right clicks still answer NIL.
  w->bLClicked = [](int r, int c, int, TWindow&) { return Value(r * 100 + c); };
  w->bRClicked = [](int, int, int, TWindow&) { return Value(7); };
  w->bMMoved = [](int, int, int, TWindow&) { return Value(3); };
  EXPECT_EQ(w->LButtonDown(4, 5, 0).AsInt(), 405);
  EXPECT_TRUE(w->RButtonDown(4, 5, 0).IsNil());
  EXPECT_EQ(w->MouseMove(0, 0, 0).AsInt(), 3);
  DestroyWindow(w->hWnd);
}

TEST(WindowEvents, ScrollMessagesFromControlsBecomeLibraryMessages) {
  auto w = TWindow::New();
  HWND bar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | SBS_VERT, 0, 0, 16, 100, w->hWnd, nullptr, nullptr, nullptr);
  auto& got = g_barMessages;
  got.clear();
  auto old = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordBarMessages)));
  SendMessageA(w->hWnd, WM_VSCROLL, SB_LINEUP, LPARAM(bar));
  SendMessageA(w->hWnd, WM_VSCROLL, SB_PAGEDOWN, LPARAM(bar));
  SendMessageA(w->hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 1234), LPARAM(bar));
  SendMessageA(w->hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 4321), LPARAM(bar));
  SendMessageA(w->hWnd, WM_VSCROLL, SB_ENDSCROLL, LPARAM(bar));
  std::vector<std::pair<UINT, WPARAM>> expected{{0x0801, 0}, {0x0804, 0}, {0x080E, 1234}, {0x080A, 4321}};
  EXPECT_EQ(got, expected);
  SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
  DestroyWindow(w->hWnd);
}

TEST(WindowEvents, OwnScrollBarCallsItsBlocks) {
  auto w = TWindow::New({.lVScroll = true});
  std::vector<std::string> calls;
  w->oVScroll->SetRange(0, 10);
  w->oVScroll->bGoDown = [&] {
    calls.push_back("down");
    return Value();
  };
  w->oVScroll->bPos = [&](int pos) {
    calls.push_back("pos " + std::to_string(pos));
    return Value();
  };
  SendMessageA(w->hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessageA(w->hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7), 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"down", "pos 7"}));
  EXPECT_EQ(GetScrollPos(w->hWnd, SB_VERT), 2);  // WinNew left the thumb at its first range, 1
  DestroyWindow(w->hWnd);
}

TEST(WindowKeys, SetKeyBlocksWinOverHooks) {
  auto w = TWindow::New();
  int hookCalls = 0;
  Value self;
  w->bKeyDown = [&](int, int, TWindow&) {
    ++hookCalls;
    return Value(9);
  };
  Block previous = SetKey(VK_F7, MakeBlock([&](std::span<const Value> args) {
    if (args.size() == 3) self = args[2];
    return Value();
  }));
  EXPECT_FALSE(previous);
  EXPECT_EQ(w->KeyDown(VK_F7, 0).AsInt(), 0);
  EXPECT_EQ(self.As<TWindow>(), w);
  EXPECT_EQ(hookCalls, 0);
  SetKey(VK_F7, Block{});
  EXPECT_EQ(w->KeyDown(VK_F7, 0).AsInt(), 9);
  EXPECT_EQ(hookCalls, 1);
  DestroyWindow(w->hWnd);
}
