// Multiple-document windows for real: a frame with its platform client and
// document windows, driven by posted keys and commands through the message
// loop; menus read back from the platform.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "classes/mdichild.h"
#include "classes/mdiclien.h"
#include "classes/mdiframe.h"
#include "classes/menu.h"
#include "classes/menuitem.h"
#include "classes/wbrowse.h"
#include "kinetic/rig.h"
#include "menus/rig.h"
#include "native/dispatch.h"

using namespace nx;
using menutest::HangGuard;
using menutest::PostKey;
using menutest::SetKeyDown;

namespace {

// Runs the pending messages until cond holds (false if it never does).
bool PumpUntil(const std::function<bool()>& cond) {
  for (int round = 0; round < 400; ++round) {
    SYSREFRESH();
    if (cond()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return cond();
}

std::string MenuText(HMENU h, UINT pos) { return GETMENUSTRING(h, pos, MF_BYPOSITION); }

// A shown frame at a known place; destroyed with its windows at the end.
struct Frame {
  TMdiFramePtr f;
  explicit Frame(TMdiFrameParams p = {}) {
    // The pointer must not wander over the windows and send real moves.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    p.nTop = 10, p.nLeft = 10, p.nBottom = 609, p.nRight = 809, p.lPixel = true;
    if (p.cTitle.empty()) p.cTitle = "frame";
    f = TMdiFrame::New(p);
    ShowWindow(f->hWnd, SW_SHOWNORMAL);
    UpdateWindow(f->hWnd);
    SetForegroundWindow(f->hWnd);
    kin::Pump();
  }
  ~Frame() {
    if (f->hWnd) DestroyWindow(f->hWnd);
    kin::Pump();
  }
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;
  TMdiClient& client() const { return *f->oWndClient; }
  HWND Active() const {
    return reinterpret_cast<HWND>(SendMessageA(f->oWndClient->hWnd, WM_MDIGETACTIVE, 0, 0));
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> t;
    for (const auto& c : f->oWndClient->aWnd) t.push_back(c->cCaption);
    return t;
  }
};

RECT InClient(const TMdiChildPtr& c) {
  RECT r{};
  GetWindowRect(c->hWnd, &r);
  MapWindowPoints(nullptr, GetParent(c->hWnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A bar with "&File", "&Window" and "&Help", each with one item.
TMenuPtr ThreeBar(std::vector<std::string>* ran = nullptr) {
  MENUBEGIN();
  for (const char* prompt : {"&File", "&Window", "&Help"}) {
    MENUADDITEM({.cPrompt = prompt});
    MENUBEGIN();
    MENUADDITEM({.cPrompt = std::string(prompt) + " item", .bAction = [ran, prompt](TMenuItem&) {
                   if (ran) ran->push_back(prompt);
                 }});
    MENUEND();
  }
  return MENUEND();
}

}  // namespace

// ---- construction and the default menu ----------------------------------------------

TEST(MdiFrame, WithoutAMenuItHasChildsWindowAndHelpAndListsTheChildrenInTheSecond) {
  Frame fr;
  TMdiFrame& f = *fr.f;
  ASSERT_NE(f.hWnd, nullptr);
  ASSERT_NE(f.oWndClient, nullptr);
  EXPECT_EQ(GetWndFrame(), fr.f);
  EXPECT_EQ(GetWndDefault(), fr.f);
  EXPECT_EQ(lstrcmpiA(GETCLASSNAME(f.oWndClient->hWnd).c_str(), "MDICLIENT"), 0);
  EXPECT_EQ(GetParent(f.oWndClient->hWnd), f.hWnd);
  EXPECT_EQ(GetDlgCtrlID(f.oWndClient->hWnd), 1);
  // The client covers the frame's client area (its edge just outside).
  RECT frameClient{}, client{};
  GetClientRect(f.hWnd, &frameClient);
  GetWindowRect(f.oWndClient->hWnd, &client);
  MapWindowPoints(nullptr, f.hWnd, reinterpret_cast<POINT*>(&client), 2);
  EXPECT_LE(client.left, 0);
  EXPECT_LE(client.top, 0);
  EXPECT_GE(client.right, frameClient.right);
  EXPECT_GE(client.bottom, frameClient.bottom);
  EXPECT_LE(client.right - client.left, frameClient.right + 2);

  HMENU bar = GetMenu(f.hWnd);
  ASSERT_EQ(bar, f.oMenu->hMenu);
  EXPECT_EQ(f.oMenuStart, f.oMenu);
  EXPECT_EQ(f.nMenuInfo, 2);
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  EXPECT_EQ(MenuText(bar, 0), "&Childs");
  EXPECT_EQ(MenuText(bar, 1), "&Window");
  EXPECT_EQ(MenuText(bar, 2), "&Help");
  HMENU childs = GetSubMenu(bar, 0), window = GetSubMenu(bar, 1);
  ASSERT_EQ(GetMenuItemCount(childs), 3);
  // The library draws the pull-downs' items: their prompts are its own.
  TMenuPtr childsMenu = f.oMenu->GetSubMenu(childs);
  ASSERT_NE(childsMenu, nullptr);
  EXPECT_EQ(childsMenu->aItems()[0]->cPrompt, "New...");
  EXPECT_EQ(childsMenu->aItems()[2]->cPrompt, "E&xit");
  EXPECT_EQ(f.oMenu->GetSubMenu(window)->aItems()[0]->cPrompt, "&Tile Vertical");
  const int windowItems = GetMenuItemCount(window);
  EXPECT_EQ(windowItems, 8);

  // Childs > New... through the loop, three times: untitled children are
  // numbered, the newest is active and the platform lists them all in the
  // Window pull-down, under ids from 1.
  const UINT newId = GetMenuItemID(childs, 0);
  for (int i = 0; i < 3; ++i) PostMessageA(f.hWnd, WM_COMMAND, newId, 0);
  ASSERT_TRUE(PumpUntil([&] { return f.oWndClient->aWnd.size() == 3; }));
  EXPECT_EQ(fr.Titles(), (std::vector<std::string>{"MDI Child 1", "MDI Child 2", "MDI Child 3"}));
  const auto& aWnd = f.oWndClient->aWnd;
  for (const auto& c : aWnd) {
    EXPECT_EQ(GETCLASSNAME(c->hWnd), "TMDICHILD");
    EXPECT_EQ(GetParent(c->hWnd), f.oWndClient->hWnd);
    char text[64] = {};
    GetWindowTextA(c->hWnd, text, sizeof text);
    EXPECT_EQ(text, c->cCaption);
  }
  EXPECT_EQ(fr.Active(), aWnd[2]->hWnd);
  EXPECT_EQ(f.oWndClient->GetActive(), aWnd[2]);
  EXPECT_EQ(f.oWndActive.lock(), aWnd[2]);
  PumpUntil([&] { return GetMenuItemCount(window) == windowItems + 4; });
  ASSERT_EQ(GetMenuItemCount(window), windowItems + 4);  // a separator and three windows
  for (UINT i = 0; i < 3; ++i) {
    const UINT pos = UINT(windowItems) + 1 + i;
    EXPECT_EQ(GetMenuItemID(window, int(pos)), 1 + i);
    EXPECT_NE(MenuText(window, pos).find("MDI Child " + std::to_string(i + 1)), std::string::npos);
  }
  // The list is enough for the items that need windows: Next Window is enabled.
  EXPECT_EQ(fr.client().GetActive()->cCaption, "MDI Child 3");
}

TEST(MdiFrame, AGivenMenuKeepsItsWindowPullDownForTheList) {
  // By its "&Window" prompt, else the last but one, and at least the first.
  {
    Frame fr({.oMenu = ThreeBar()});
    EXPECT_EQ(fr.f->nMenuInfo, 2);
    EXPECT_EQ(GetMenu(fr.f->hWnd), fr.f->oMenuStart->hMenu);
    fr.f->ChildNew();
    HMENU window = GetSubMenu(GetMenu(fr.f->hWnd), 1);
    ASSERT_TRUE(PumpUntil([&] { return GetMenuItemCount(window) == 3; }));
    EXPECT_EQ(GetMenuItemID(window, 2), 1u);
  }
  {
    MENUBEGIN();
    for (const char* p : {"&Tables", "&Views", "&About"}) {
      MENUADDITEM({.cPrompt = p});
      MENUBEGIN();
      MENUADDITEM({.cPrompt = "x"});
      MENUEND();
    }
    Frame fr({.oMenu = MENUEND()});
    EXPECT_EQ(fr.f->nMenuInfo, 2);
  }
  {
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "&Only"});
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "x"});
    MENUEND();
    Frame fr({.oMenu = MENUEND()});
    EXPECT_EQ(fr.f->nMenuInfo, 1);
  }
}

TEST(MdiNatives, TheCreationRecordTakesRightAndBottomInclusive) {
  MdiCreateRecord r = CMDISTRUCT("TMDICHILD", "doc", 20, 10, 119, 209, WS_CHILD, 7);
  const MDICREATESTRUCTA* p = r.Record();
  EXPECT_STREQ(p->szClass, "TMDICHILD");
  EXPECT_STREQ(p->szTitle, "doc");
  EXPECT_EQ(p->hOwner, GetModuleHandleA(nullptr));
  EXPECT_EQ(p->x, 10);
  EXPECT_EQ(p->y, 20);
  EXPECT_EQ(p->cx, 200);
  EXPECT_EQ(p->cy, 100);
  EXPECT_EQ(p->style, DWORD(WS_CHILD));
  EXPECT_EQ(p->lParam, 7);
  // Not given: the platform's choice.
  MdiCreateRecord d = CMDISTRUCT("TMDICHILD", "", 32768, 32768, 32768, 32768, 0);
  EXPECT_EQ(d.Record()->x, CW_USEDEFAULT);
  EXPECT_EQ(d.Record()->cx, CW_USEDEFAULT);
  EXPECT_EQ(d.Record()->cy, CW_USEDEFAULT);
  EXPECT_EQ(GETMDICHLPROC(), reinterpret_cast<WNDPROC>(DefMDIChildProcA));
}

// ---- arrangement ----------------------------------------------------------------------------

TEST(MdiClient, TileAndCascadeMoveTheChildrenAsThePlatformArrangesThem) {
  Frame fr;
  TMdiFrame& f = *fr.f;
  for (int i = 0; i < 3; ++i) f.ChildNew(TMdiChildParams{.nTop = 10, .nLeft = 10, .nBottom = 109, .nRight = 159,
                                                         .lPixel = true});
  const auto aWnd = f.oWndClient->aWnd;
  ASSERT_EQ(aWnd.size(), 3u);
  // Placed where asked (pixels, right and bottom inclusive).
  RECT r0 = InClient(aWnd[0]);
  EXPECT_EQ(r0.left, 10);
  EXPECT_EQ(r0.top, 10);
  EXPECT_EQ(r0.right - r0.left, 150);
  EXPECT_EQ(r0.bottom - r0.top, 100);
  RECT area{};
  GetClientRect(f.oWndClient->hWnd, &area);

  // Vertical tiles: side by side, full height, together the full width.
  f.Tile();
  kin::Pump();
  std::vector<RECT> rs;
  for (const auto& c : aWnd) rs.push_back(InClient(c));
  std::sort(rs.begin(), rs.end(), [](const RECT& a, const RECT& b) { return a.left < b.left; });
  int width = 0;
  for (size_t i = 0; i < rs.size(); ++i) {
    EXPECT_EQ(rs[i].top, 0);
    EXPECT_EQ(rs[i].bottom, area.bottom);
    if (i) {
      EXPECT_EQ(rs[i].left, rs[i - 1].right);
    }
    width += rs[i].right - rs[i].left;
  }
  EXPECT_EQ(rs.front().left, 0);
  // Each tile the same share, rounded down.
  EXPECT_LE(width, area.right);
  EXPECT_GT(width, area.right - 3);

  // Horizontal tiles: stacked, full width.
  f.Tile(true);
  kin::Pump();
  rs.clear();
  for (const auto& c : aWnd) rs.push_back(InClient(c));
  std::sort(rs.begin(), rs.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
  for (size_t i = 0; i < rs.size(); ++i) {
    EXPECT_EQ(rs[i].left, 0);
    EXPECT_EQ(rs[i].right, area.right);
    if (i) {
      EXPECT_EQ(rs[i].top, rs[i - 1].bottom);
    }
  }
  EXPECT_LE(rs.back().bottom, area.bottom);
  EXPECT_GT(rs.back().bottom, area.bottom - 3);

  // Cascade: the same size, each one a step right and down from the one
  // behind it; the active window in front, last.
  const HWND active = fr.Active();
  f.Cascade();
  kin::Pump();
  rs.clear();
  for (const auto& c : aWnd) rs.push_back(InClient(c));
  std::sort(rs.begin(), rs.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
  EXPECT_EQ(rs[0].left, 0);
  EXPECT_EQ(rs[0].top, 0);
  const int step = rs[1].top - rs[0].top;
  EXPECT_GT(step, 0);
  for (size_t i = 1; i < rs.size(); ++i) {
    EXPECT_EQ(rs[i].top - rs[i - 1].top, step);
    EXPECT_EQ(rs[i].left - rs[i - 1].left, step);
    EXPECT_EQ(rs[i].right - rs[i].left, rs[0].right - rs[0].left);
  }
  EXPECT_EQ(InClient(f.oWndClient->GetActive()).top, rs.back().top);
  EXPECT_EQ(fr.Active(), active);

  // Iconize All minimizes every one; Select and Maximize go through the platform.
  f.IconizeAll();
  kin::Pump();
  for (const auto& c : aWnd) EXPECT_TRUE(c->IsIconic());
  f.Select(1);
  EXPECT_EQ(fr.Active(), aWnd[0]->hWnd);
  aWnd[0]->Maximize();
  EXPECT_TRUE(aWnd[0]->IsZoomed());
  aWnd[0]->Restore();
  EXPECT_FALSE(aWnd[0]->IsZoomed());
}

// ---- keys -------------------------------------------------------------------------------------

TEST(MdiKeys, CtrlF6CyclesCtrlF4AndEscCloseEnterRestores) {
  Frame fr;
  TMdiFrame& f = *fr.f;
  for (int i = 0; i < 4; ++i) f.ChildNew();
  auto aWnd = f.oWndClient->aWnd;
  ASSERT_EQ(aWnd.size(), 4u);
  ASSERT_EQ(fr.Active(), aWnd[3]->hWnd);

  // Ctrl+F6 visits every window once and comes back.
  SetKeyDown(VK_CONTROL, true);
  std::vector<HWND> seen;
  for (int i = 0; i < 4; ++i) {
    const HWND before = fr.Active();
    PostKey(before, VK_F6);
    ASSERT_TRUE(PumpUntil([&] { return fr.Active() != before; }));
    seen.push_back(fr.Active());
  }
  EXPECT_EQ(seen.back(), aWnd[3]->hWnd);
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
  EXPECT_EQ(f.oWndActive.lock(), aWnd[3]);

  // Ctrl+F4 closes the active one.
  PostKey(aWnd[3]->hWnd, VK_F4);
  ASSERT_TRUE(PumpUntil([&] { return f.oWndClient->aWnd.size() == 3; }));
  SetKeyDown(VK_CONTROL, false);
  EXPECT_EQ(aWnd[3]->hWnd, nullptr);
  EXPECT_NE(fr.Active(), nullptr);

  // Esc closes the active one (the key, translated into a character).
  const HWND active = fr.Active();
  PostKey(active, VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return f.oWndClient->aWnd.size() == 2; }));
  EXPECT_FALSE(IsWindow(active));
  EXPECT_EQ(fr.Titles(), (std::vector<std::string>{"MDI Child 1", "MDI Child 2"}));

  // Enter on the client restores the maximized active window.
  aWnd[0]->Maximize();
  ASSERT_TRUE(aWnd[0]->IsZoomed());
  PostKey(f.oWndClient->hWnd, VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return !aWnd[0]->IsZoomed(); }));
  EXPECT_EQ(fr.Active(), aWnd[0]->hWnd);
}

TEST(MdiKeys, TheKeysReachTheDocumentWindowFromAControlInsideIt) {
  Frame fr;
  TMdiFrame& f = *fr.f;
  f.ChildNew();
  TMdiChildPtr second = f.ChildNew();
  ArrayPtr table = kin::Table(50);
  auto brw = TWBrowse::New({.bLine = [table](TWBrowse& b) { return Array{AGet(AGet(table, size_t(b.nAtRow())).AsArray(), 1)}; },
                            .oWnd = second,
                            .lPixel = true});
  brw->SetArray(table);
  second->SetControl(brw);
  EXPECT_EQ(second->oClient, brw);
  // Filled by it.
  RECT outer{};
  GetClientRect(second->hWnd, &outer);
  RECT brwWindow{};
  GetWindowRect(brw->hWnd, &brwWindow);
  EXPECT_EQ(brwWindow.right - brwWindow.left, outer.right);
  EXPECT_GE(brwWindow.bottom - brwWindow.top, outer.bottom);

  // Two browses of different documents share no window; one in the same does.
  EXPECT_FALSE(WndParents(brw->hWnd, f.oWndClient->aWnd[0]->hWnd));
  EXPECT_TRUE(WndParents(brw->hWnd, GetWindow(second->hWnd, GW_CHILD)));

  SetKeyDown(VK_CONTROL, true);
  PostKey(brw->hWnd, VK_F6);
  ASSERT_TRUE(PumpUntil([&] { return fr.Active() == f.oWndClient->aWnd[0]->hWnd; }));
  f.Select(2);
  PostKey(brw->hWnd, VK_F4);
  const bool closed = PumpUntil([&] { return f.oWndClient->aWnd.size() == 1; });
  SetKeyDown(VK_CONTROL, false);
  ASSERT_TRUE(closed);
  EXPECT_EQ(second->hWnd, nullptr);
  EXPECT_EQ(brw->hWnd, nullptr);
}

// ---- menus and commands ---------------------------------------------------------------------

TEST(MdiMenus, AChildsMenuIsTheBarWhileItIsActiveAndTheFramesComesBack) {
  Frame fr;
  TMdiFrame& f = *fr.f;
  const TMenuPtr start = f.oMenuStart;
  std::vector<std::string> ran;
  TMenuPtr own = ThreeBar(&ran);
  TMdiChildPtr a = f.ChildNew(TMdiChildParams{.oMenu = own, .nMenuInfo = 2});
  ASSERT_NE(a->hWnd, nullptr);
  PumpUntil([&] { return GetMenu(f.hWnd) == own->hMenu; });
  EXPECT_EQ(GetMenu(f.hWnd), own->hMenu);
  EXPECT_EQ(f.oMenu, own);
  // The child's Window pull-down lists the windows now.
  HMENU ownWindow = GetSubMenu(own->hMenu, 1);
  EXPECT_EQ(GetMenuItemCount(ownWindow), 3);
  // Its commands run from the frame's bar.
  PostMessageA(f.hWnd, WM_COMMAND, GetMenuItemID(GetSubMenu(own->hMenu, 0), 0), 0);
  ASSERT_TRUE(PumpUntil([&] { return !ran.empty(); }));
  EXPECT_EQ(ran, (std::vector<std::string>{"&File"}));

  // A child without a menu: the frame's own comes back.
  TMdiChildPtr b = f.ChildNew();
  EXPECT_EQ(GetMenu(f.hWnd), start->hMenu);
  EXPECT_EQ(f.oMenu, start);
  // Back and forth.
  f.Select(1);
  EXPECT_EQ(GetMenu(f.hWnd), own->hMenu);
  f.Select(2);
  EXPECT_EQ(GetMenu(f.hWnd), start->hMenu);
  f.Select(1);
  EXPECT_EQ(GetMenu(f.hWnd), own->hMenu);

  // Ending the child ends its menu, and the bar is the frame's again.
  EXPECT_TRUE(a->End());
  kin::Pump();
  EXPECT_EQ(GetMenu(f.hWnd), start->hMenu);
  EXPECT_EQ(f.oMenu, start);
  EXPECT_FALSE(IsMenu(ownWindow));
  EXPECT_EQ(own->hMenu, nullptr);
  EXPECT_EQ(f.oWndClient->aWnd, (std::vector<TMdiChildPtr>{b}));
  // The frame's Window pull-down lists the remaining window.
  HMENU window = GetSubMenu(start->hMenu, 1);
  EXPECT_EQ(GetMenuItemID(window, GetMenuItemCount(window) - 1), 1u);

  // A kept menu outlives its window.
  TMenuPtr kept = ThreeBar();
  TMdiChildPtr c = f.ChildNew(TMdiChildParams{.oMenu = kept});
  c->lKeepMenu = true;
  EXPECT_EQ(GetMenu(f.hWnd), kept->hMenu);
  EXPECT_TRUE(c->End());
  kin::Pump();
  EXPECT_EQ(GetMenu(f.hWnd), start->hMenu);
  EXPECT_TRUE(IsMenu(kept->hMenu));
  kept->End();
}

TEST(MdiMenus, CommandsBelow100AreThePlatformsAndEditingCommandsReachTheActiveControl) {
  std::vector<std::string> ran;
  MENUBEGIN();
  MENUADDITEM({.cPrompt = "&File"});
  MENUBEGIN();
  MENUADDITEM({.cPrompt = "&New", .bAction = [&](TMenuItem&) { ran.push_back("New"); }});
  // Numbered 2, as an item of a resource menu may be: it never hears of 2.
  MENUADDITEM({.cPrompt = "&Low", .bAction = [&](TMenuItem&) { ran.push_back("Low"); }})->nId = 2;
  MENUEND();
  TMenuPtr bar = LASTMENU();
  bar->AddEdit();
  bar->AddMdi();
  Frame fr({.oMenu = MENUEND()});
  TMdiFrame& f = *fr.f;
  EXPECT_EQ(f.nMenuInfo, 3);
  TMdiChildPtr first = f.ChildNew(), second = f.ChildNew(), third = f.ChildNew();
  ASSERT_EQ(fr.Active(), third->hWnd);

  // The Window pull-down's second entry (id 2) is the platform's: it
  // activates the second window; the frame's own items (100 and up) still run.
  PostMessageA(f.hWnd, WM_COMMAND, 2, 0);
  PostMessageA(f.hWnd, WM_COMMAND, GetMenuItemID(GetSubMenu(bar->hMenu, 0), 0), 0);
  ASSERT_TRUE(PumpUntil([&] { return !ran.empty(); }));
  EXPECT_EQ(fr.Active(), second->hWnd);
  EXPECT_EQ(f.oWndActive.lock(), second);
  EXPECT_EQ(ran, (std::vector<std::string>{"New"}));

  // Editing commands go to the active window's control, or nowhere.
  std::vector<std::string> got;
  auto control = [&](const char* name) {
    auto brw = TWBrowse::New({.bLine = [](TWBrowse&) { return Array{Value("x")}; }, .oWnd = second, .lPixel = true});
    auto hook = [&got, name](const char* what) {
      return MakeBlock([&got, name, what](std::span<const Value> a) {
        got.push_back(std::string(name) + " " + what + (a.size() > 1 ? " " + a[1].AsString() : ""));
        return Value(true);
      });
    };
    brw->bCopy = hook("copy");
    brw->bPaste = hook("paste");
    return brw;
  };
  second->SetControl(control("second"));
  EXPECT_TRUE(f.Copy().AsLogical());
  EXPECT_TRUE(f.Paste(Value("clip")).AsLogical());
  // The Edit pull-down's Copy.
  PostMessageA(f.hWnd, WM_COMMAND, GetMenuItemID(GetSubMenu(bar->hMenu, 1), 4), 0);
  ASSERT_TRUE(PumpUntil([&] { return got.size() == 3; }));
  EXPECT_EQ(got, (std::vector<std::string>{"second copy", "second paste clip", "second copy"}));
  // A window without a control, and a frame without an active window, answer NIL.
  f.Select(1);
  EXPECT_EQ(f.oWndActive.lock(), first);
  EXPECT_TRUE(f.Copy().IsNil());
  EXPECT_TRUE(f.SelectAll().IsNil());
  // Print prefers the window's own block.
  second->bPrint = MakeBlock([&](std::span<const Value>) {
    got.push_back("second print");
    return Value(1);
  });
  f.Select(2);
  EXPECT_EQ(f.Print().AsInt(), 1);
  EXPECT_EQ(got.back(), "second print");
}

// ---- closing ------------------------------------------------------------------------------------

TEST(MdiClose, ARefusingChildKeepsItselfAndTheOlderOnesAndTheFrameAnswersFalse) {
  Frame fr;
  TMdiFrame& f = *fr.f;
  std::vector<std::string> asked;
  bool refuse = true;
  for (int i = 0; i < 4; ++i) {
    TMdiChildPtr c = f.ChildNew();
    c->bValid = [&asked, &refuse, i](TWindow& w) {
      asked.push_back(w.cCaption);
      return !(i == 1 && refuse);
    };
  }
  const auto aWnd = f.oWndClient->aWnd;
  EXPECT_FALSE(f.End());
  EXPECT_EQ(asked, (std::vector<std::string>{"MDI Child 4", "MDI Child 3", "MDI Child 2"}));
  EXPECT_EQ(fr.Titles(), (std::vector<std::string>{"MDI Child 1", "MDI Child 2"}));
  EXPECT_NE(aWnd[1]->hWnd, nullptr);
  EXPECT_EQ(aWnd[2]->hWnd, nullptr);
  kin::Pump();
  ASSERT_TRUE(IsWindow(f.hWnd));
  // The frame's own bValid comes first and keeps everything.
  asked.clear();
  f.bValid = [](TWindow&) { return false; };
  EXPECT_FALSE(f.End());
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(f.oWndClient->aWnd.size(), 2u);
  f.bValid = nullptr;

  // Now agreeing: the rest end newest first, and the loop of the frame ends.
  refuse = false;
  asked.clear();
  // Childs > Exit, through the application loop.
  HMENU childs = GetSubMenu(GetMenu(f.hWnd), 0);
  PostMessageA(f.hWnd, WM_COMMAND, GetMenuItemID(childs, 2), 0);
  {
    HangGuard guard;
    WINRUN(f.hWnd);
  }
  EXPECT_EQ(asked, (std::vector<std::string>{"MDI Child 2", "MDI Child 1"}));
  EXPECT_EQ(f.hWnd, nullptr);
  EXPECT_TRUE(f.oWndClient->aWnd.empty());
  EXPECT_EQ(f.oWndActive.lock(), nullptr);
}

TEST(MdiClose, CloseAllFromTheWindowMenuAsksEveryChild) {
  Frame fr;
  TMdiFrame& f = *fr.f;
  int asked = 0;
  for (int i = 0; i < 3; ++i) f.ChildNew()->bValid = [&asked](TWindow&) {
    ++asked;
    return true;
  };
  HMENU window = GetSubMenu(GetMenu(f.hWnd), 1);
  PostMessageA(f.hWnd, WM_COMMAND, GetMenuItemID(window, 7), 0);  // C&lose All
  ASSERT_TRUE(PumpUntil([&] { return f.oWndClient->aWnd.empty(); }));
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(SendMessageA(f.oWndClient->hWnd, WM_MDIGETACTIVE, 0, 0), 0);
  EXPECT_EQ(GetWindow(f.oWndClient->hWnd, GW_CHILD), nullptr);
  EXPECT_TRUE(IsWindow(f.hWnd));
}

// ---- the browse inside a document window ---------------------------------------------------

TEST(MdiBrowse, AFlickInADocumentWindowGlidesAsInAPlainWindow) {
  // The same drag (six lines in 400 ms) on a plain window's browse and on
  // one filling a document window: the same pauses and the same rows.
  struct Result {
    std::vector<DWORD> pauses;
    int at = 0, rowPos = 0;
  };
  auto fling = [](TWBrowse& b, int lineHeight) {
    kin::FakeClock c;
    auto y = [&](int line) { return MAKELPARAM(150, line * lineHeight + lineHeight / 2); };
    b.nAt = 200;
    b.nRowPos = 5;
    b.VSetPos(200);
    InvalidateRect(b.hWnd, nullptr, FALSE);
    UpdateWindow(b.hWnd);
    c.now = 1000;
    SendMessageA(b.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, y(5));
    for (int i = 1; i <= 6; ++i) {
      c.now = DWORD(1000 + 400 * i / 6);
      SendMessageA(b.hWnd, WM_MOUSEMOVE, MK_LBUTTON, y(5 + i));
    }
    SendMessageA(b.hWnd, WM_LBUTTONUP, 0, y(11));
    return Result{c.pauses, b.nAtRow(), b.nRowPos};
  };
  auto lineHeight = [](TWBrowse& b) {
    HDC dc = GetDC(b.hWnd);
    HGDIOBJ old = SelectObject(dc, b.FontHandle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(b.hWnd, dc);
    return tm.tmHeight + 1;
  };

  Result plain;
  {
    kin::Rig r(1000);
    plain = fling(*r.b, r.h);
  }
  ASSERT_FALSE(plain.pauses.empty());

  Frame fr;
  TMdiChildPtr child = fr.f->ChildNew(TMdiChildParams{.nTop = 0, .nLeft = 0, .nBottom = 499, .nRight = 499,
                                                      .lPixel = true});
  ArrayPtr table = kin::Table(1000);
  auto brw = TWBrowse::New({.bLine = [table](TWBrowse& b) {
                              ArrayPtr row = AGet(table, size_t(b.nAtRow())).AsArray();
                              return Array{AGet(row, 1), AGet(row, 2), AGet(row, 3)};
                            },
                            .aColSizes = std::vector<int>{100, 100, 100},
                            .oWnd = child,
                            .lPixel = true});
  brw->SetArray(table);
  child->SetControl(brw);
  kin::Pump();
  const Result inChild = fling(*brw, lineHeight(*brw));
  EXPECT_EQ(inChild.pauses, plain.pauses);
  EXPECT_EQ(inChild.at, plain.at);
  EXPECT_EQ(inChild.rowPos, plain.rowPos);
  EXPECT_EQ(inChild.at, 183);
}
