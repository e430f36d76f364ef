// Real menus on real windows, driven through the message loop with posted
// keys and clicks: bar, pop-up and system menus, mnemonics, accelerators and
// enabling conditions.
#include <gtest/gtest.h>

#include "menus/rig.h"

using namespace nx;
using namespace menutest;

namespace {

struct Bar {
  TMenuPtr menu;
  TMenuItemPtr open, cut, copy, paste;
  std::vector<std::string> ran;
  std::vector<bool> ranInCommand;
};

// File (New, Open, separator, Exit) and Edit (Cut with Ctrl+X, Copy with
// Ctrl+C, Paste whose condition is pasteWhen) through the building functions.
std::unique_ptr<Bar> BuildBar(std::shared_ptr<MenuWindow>& wnd, bool l2007 = false, bool* pasteWhen = nullptr) {
  auto bar = std::make_unique<Bar>();
  Bar* b = bar.get();
  auto record = [b, &wnd](const char* name) {
    return [b, &wnd, name](TMenuItem&) {
      b->ran.push_back(name);
      b->ranInCommand.push_back(wnd && wnd->inCommand);
    };
  };
  MENUBEGIN(false, false, nullptr, l2007);
  MENUADDITEM({.cPrompt = "&File"});
  MENUBEGIN();
  MENUADDITEM({.cPrompt = "&New", .bAction = record("New")});
  b->open = MENUADDITEM({.cPrompt = "&Open...", .bAction = record("Open")});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "E&xit", .bAction = record("Exit")});
  MENUEND();
  MENUADDITEM({.cPrompt = "&Edit"});
  MENUBEGIN();
  b->cut = MENUADDITEM({.cPrompt = "Cu&t\tCtrl+X", .bAction = record("Cut"), .nVKState = FCONTROL, .nVirtKey = 'X'});
  b->copy = MENUADDITEM({.cPrompt = "&Copy\tCtrl+C", .bAction = record("Copy"), .nVKState = FCONTROL, .nVirtKey = 'C'});
  b->paste = MENUADDITEM({.cPrompt = "&Paste",
                          .bAction = record("Paste"),
                          .bWhen = [pasteWhen](TMenuItem&) { return pasteWhen ? Value(*pasteWhen) : Value(); }});
  MENUEND();
  b->menu = MENUEND();
  return bar;
}

}  // namespace

TEST(MenuLoop, KeysOpenTheBarAndTheChosenItemRunsInsideItsCommand) {
  std::shared_ptr<MenuWindow> w;
  auto bar = BuildBar(w);
  w = MakeWindow(bar->menu);
  ASSERT_EQ(GetMenu(w->hWnd), bar->menu->hMenu);
  TMenu::oLastItem = nullptr;
  // Alt takes the bar, Down opens File, Down moves to Open, Enter chooses.
  PostAlt(w->hWnd);
  PostKey(w->hWnd, VK_DOWN);
  PostKey(w->hWnd, VK_DOWN);
  PostKey(w->hWnd, VK_RETURN);
  RunThenClose(w);
  EXPECT_EQ(bar->ran, (std::vector<std::string>{"Open"}));
  EXPECT_EQ(bar->ranInCommand, (std::vector<bool>{true}));
  EXPECT_EQ(TMenu::oLastItem, bar->open);
  // The pull-down's items are owner-drawn: the window measured and painted them.
  EXPECT_GT(w->measures, 0);
  EXPECT_GT(w->draws, 0);
  // The window ended its bar with it: the platform menu and its ids are gone.
  EXPECT_FALSE(IsMenu(bar->menu->hMenu));
  EXPECT_EQ(bar->menu->hMenu, nullptr);
  EXPECT_EQ(GETACCTABLE(), nullptr);
}

TEST(MenuLoop, MnemonicOfAnOwnerDrawnItemIsFoundByTheWindow) {
  std::shared_ptr<MenuWindow> w;
  auto bar = BuildBar(w, true);
  w = MakeWindow(bar->menu);
  // Alt+E opens Edit; Alt+T has no text in the menu to match, the window
  // finds "Cu&t".
  HMENU edit = bar->cut->Menu()->hMenu;
  w->onPopup = [&](HMENU h) {
    if (h == edit) PostKey(w->hWnd, 'T', true);
  };
  PostKey(w->hWnd, 'E', true);
  RunThenClose(w);
  EXPECT_GT(w->chars, 0);
  EXPECT_EQ(bar->ran, (std::vector<std::string>{"Cut"}));
}

TEST(MenuLoop, AcceleratorsFireWithoutTheMenuOpen) {
  std::shared_ptr<MenuWindow> w;
  bool pasteOk = true;
  auto bar = BuildBar(w, false, &pasteOk);
  w = MakeWindow(bar->menu);
  ASSERT_NE(GETACCTABLE(), nullptr);
  // The loop reads the modifiers from the thread's key state.
  SetKeyDown(VK_CONTROL, true);
  PostKey(w->hWnd, 'C');
  PostKey(w->hWnd, 'X');
  RunThenClose(w);
  SetKeyDown(VK_CONTROL, false);
  EXPECT_EQ(bar->ran, (std::vector<std::string>{"Copy", "Cut"}));
  EXPECT_EQ(w->draws, 0);
}

TEST(MenuLoop, AnItemWhoseConditionFailsDoesNothing) {
  std::shared_ptr<MenuWindow> w;
  bool pasteOk = false;
  auto bar = BuildBar(w, false, &pasteOk);
  w = MakeWindow(bar->menu);
  HMENU edit = bar->paste->Menu()->hMenu;
  TMenu::oLastItem = bar->copy;
  // Opening Edit evaluates the condition: Paste shows greyed.
  UINT pasteState = 0;
  w->onPopup = [&](HMENU h) {
    if (h != edit) return;
    pasteState = GetMenuState(edit, bar->paste->nId, MF_BYCOMMAND);
    PostKey(w->hWnd, VK_ESCAPE);
    PostKey(w->hWnd, VK_ESCAPE);
    // A command that still arrives (an accelerator, a stale message) is refused.
    PostMessageA(w->hWnd, WM_COMMAND, MAKEWPARAM(bar->paste->nId, 1), 0);
  };
  PostKey(w->hWnd, 'E', true);
  RunThenClose(w);
  EXPECT_TRUE(pasteState & MF_GRAYED);
  EXPECT_TRUE(bar->ran.empty());
  EXPECT_EQ(TMenu::oLastItem, bar->copy);
}

TEST(MenuLoop, PopUpRunsTheClickedItemAfterTrackingEnds) {
  std::shared_ptr<MenuWindow> w = MakeWindow();
  std::vector<std::string> ran;
  bool inCommand = true;
  TMenuPtr popup;
  TMenuItemPtr second;
  w->bRClicked = [&](int nRow, int nCol, int, TWindow& self) {
    MENUBEGIN(true, false, nullptr, true);
    MENUADDITEM({.cPrompt = "&First", .bAction = [&](TMenuItem&) { ran.push_back("First"); }});
    second = MENUADDITEM({.cPrompt = "&Second", .bAction = [&](TMenuItem& i) {
                            ran.push_back("Second");
                            inCommand = w->inCommand;
                            EXPECT_EQ(i.Menu()->oMenuItemPopup, nullptr);
                          }});
    popup = MENUEND();
    popup->Activate(nRow, nCol, self.Self());
    return Value();
  };
  // Once the pop-up shows, a click on its second item.
  w->onPopup = [&](HMENU h) {
    if (h == popup->hMenu) PostMessageA(w->hWnd, MenuWindow::WM_RUN, 0, 0);
  };
  w->onRun = [&] {
    RECT rc{};
    ASSERT_TRUE(GetMenuItemRect(nullptr, popup->hMenu, 1, &rc));
    const POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    SetCursorPos(pt.x, pt.y);
    // While a menu tracks, the mouse is captured for it and Wine's loop reads
    // a message's point from lParam in screen coordinates.
    PostMessageA(w->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PostMessageA(w->hWnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
  };
  PostMessageA(w->hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 40));
  RunThenClose(w);
  EXPECT_EQ(ran, (std::vector<std::string>{"Second"}));
  EXPECT_FALSE(inCommand);
  EXPECT_EQ(TMenu::oLastItem, second);
  // Shown once and ended: the window routes commands to it no more.
  EXPECT_EQ(popup->hMenu, nullptr);
  EXPECT_EQ(w->oPopup, nullptr);
}

TEST(MenuLoop, SystemMenuItemsRunFromTheSystemCommand) {
  std::shared_ptr<MenuWindow> w = MakeWindow();
  int ran = 0;
  MENUBEGIN(false, true, w);
  MENUADDITEM();
  auto item = MENUADDITEM({.cPrompt = "&Always on top", .bAction = [&](TMenuItem&) { ++ran; }});
  TMenuPtr sys = MENUEND();
  ASSERT_EQ(w->oSysMenu, sys);
  HMENU h = GetSystemMenu(w->hWnd, FALSE);
  EXPECT_EQ(GETMENUSTRING(h, item->nId, MF_BYCOMMAND), "&Always on top");
  PostMessageA(w->hWnd, WM_SYSCOMMAND, item->nId, 0);
  RunThenClose(w);
  EXPECT_EQ(ran, 1);
}
