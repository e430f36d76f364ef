// Owner-drawn menu items measured and painted by the window's relays, read
// back from memory device contexts; and opening owner-drawn menus many
// times without growth of graphics objects.
#include <gtest/gtest.h>

#include <cstdlib>

#include "draw/canvas.h"
#include "menus/rig.h"
#include "native/draw.h"

using namespace nx;
using namespace menutest;
using drawtest::Canvas;

namespace {

struct EditMenu {
  TMenuPtr bar;
  TMenuPtr edit;
  TMenuItemPtr cut, separator, paste, checked;
};

// A bar with an Edit pull-down: Cut (with its shortcut label), a separator,
// a disabled Paste and a checked item.
EditMenu BuildEdit(bool l2007) {
  EditMenu m;
  MENUBEGIN(false, false, nullptr, l2007);
  MENUADDITEM({.cPrompt = "&Edit"});
  MENUBEGIN();
  m.cut = MENUADDITEM({.cPrompt = "Cu&t\tCtrl+X"});
  m.separator = MENUADDITEM();
  m.paste = MENUADDITEM({.cPrompt = "&Paste", .lActive = false});
  m.checked = MENUADDITEM({.cPrompt = "&Wrap", .lChecked = true});
  m.edit = MENUEND();
  m.bar = MENUEND();
  return m;
}

// What the system hands the window to paint one item.
DRAWITEMSTRUCT Request(const Canvas& c, const TMenuPtr& menu, const TMenuItemPtr& item, UINT state,
                       UINT action = ODA_DRAWENTIRE) {
  DRAWITEMSTRUCT d{};
  d.CtlType = ODT_MENU;
  d.itemID = item->nId;
  d.itemAction = action;
  d.itemState = state;
  d.hwndItem = reinterpret_cast<HWND>(menu->hMenu);
  d.hDC = c.dc();
  d.rcItem = RECT{0, 0, c.w(), c.h()};
  return d;
}

LRESULT Draw(const std::shared_ptr<MenuWindow>& w, DRAWITEMSTRUCT& d) {
  return SendMessageA(w->hWnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
}

int Distance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

// Leftmost and rightmost column between x0 and x1 holding text ink (far
// from the background) in the rows y0..y1; -1 when none.
std::pair<int, int> Ink(const Canvas& c, int x0, int x1, int y0, int y1, COLORREF background) {
  int first = -1, last = -1;
  for (int x = x0; x < x1; ++x)
    for (int y = y0; y < y1; ++y)
      if (Distance(c.At(x, y), background) > 200) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

}  // namespace

TEST(MenuDraw, SeparatorsOfThe2007LookAreTenPixelLinesFrom33) {
  EditMenu m = BuildEdit(true);
  auto w = MakeWindow(m.bar);
  // Appended owner-drawn, measured 10 pixels high.
  MENUITEMINFOA mii = ItemInfo(m.edit->hMenu, m.separator->nId, MIIM_FTYPE);
  ASSERT_NE(mii.cbSize, 0u);
  EXPECT_EQ(mii.fType & (MFT_SEPARATOR | MFT_OWNERDRAW), UINT(MFT_SEPARATOR | MFT_OWNERDRAW));
  MEASUREITEMSTRUCT mi{ODT_MENU, 0, m.separator->nId, 0, 0, reinterpret_cast<ULONG_PTR>(m.edit->hMenu)};
  SendMessageA(w->hWnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mi));
  EXPECT_EQ(mi.itemHeight, 10u);
  MEASUREITEMSTRUCT cut{ODT_MENU, 0, m.cut->nId, 0, 0, reinterpret_cast<ULONG_PTR>(m.edit->hMenu)};
  SendMessageA(w->hWnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&cut));
  EXPECT_EQ(cut.itemHeight, UINT(GetSystemMetrics(SM_CYMENU)));
  EXPECT_GT(cut.itemWidth, 100u);  // a pull-down's items leave room for the shortcut

  Canvas c(200, 10);
  DRAWITEMSTRUCT d = Request(c, m.edit, m.separator, 0);
  Draw(w, d);
  const COLORREF line = RGB(197, 197, 197), pane = RGB(250, 250, 250);
  EXPECT_EQ(c.At(10, 5), RGB(233, 238, 238));  // the gutter
  EXPECT_EQ(c.At(24, 5), line);                // its edge
  EXPECT_EQ(c.At(32, 3), pane);
  EXPECT_EQ(c.At(33, 3), line);
  EXPECT_EQ(c.At(199, 3), line);
  EXPECT_EQ(c.At(100, 2), pane);
  EXPECT_EQ(c.At(100, 4), pane);
  // A selected item: the orange gradient inside a one-pixel frame.
  Canvas hot(200, 20);
  d = Request(hot, m.edit, m.cut, ODS_SELECTED);
  Draw(w, d);
  EXPECT_EQ(hot.At(0, 0), RGB(221, 207, 155));
  EXPECT_EQ(hot.At(199, 19), RGB(221, 207, 155));
  EXPECT_LT(Distance(hot.At(190, 1), RGB(255, 255, 251)), 20);
  EXPECT_EQ(hot.At(190, 10), RGB(255, 215, 84));
  DestroyWindow(w->hWnd);
}

TEST(MenuDraw, ShortcutLabelsEnd21PixelsBeforeTheEdgeInBothLooks) {
  for (bool l2007 : {false, true}) {
    SCOPED_TRACE(l2007 ? "2007 look" : "classic look");
    EditMenu m = BuildEdit(l2007);
    auto w = MakeWindow(m.bar);
    const COLORREF pane = l2007 ? RGB(250, 250, 250) : GetSysColor(COLOR_MENU);
    Canvas c(240, 20);
    DRAWITEMSTRUCT d = Request(c, m.edit, m.cut, 0);
    Draw(w, d);
    // "Cut" from the text's start, "Ctrl+X" right-aligned against right - 21.
    const int start = l2007 ? 33 : 21;
    auto [cutFirst, cutLast] = Ink(c, 0, 120, 2, 20, pane);
    EXPECT_GE(cutFirst, start);
    EXPECT_LE(cutFirst, start + 3);
    EXPECT_LT(cutLast, start + 40);
    auto [keyFirst, keyLast] = Ink(c, 120, 240, 2, 20, pane);
    EXPECT_GT(keyFirst, 150);
    EXPECT_LE(keyLast, 240 - 21 - 1);
    EXPECT_GE(keyLast, 240 - 21 - 4);
    DestroyWindow(w->hWnd);
  }
}

TEST(MenuDraw, FocusOnlyRequestsPaintNothing) {
  for (bool l2007 : {false, true}) {
    EditMenu m = BuildEdit(l2007);
    auto w = MakeWindow(m.bar);
    Canvas c(200, 20, RGB(1, 2, 3));
    DRAWITEMSTRUCT d = Request(c, m.edit, m.cut, ODS_SELECTED | ODS_FOCUS, ODA_FOCUS);
    EXPECT_EQ(Draw(w, d), 0);
    EXPECT_EQ(c.CountNot(RGB(1, 2, 3)), 0);
    EXPECT_FALSE(MENUDRAWITEM(&d, m.cut->cPrompt, nullptr, nullptr, w->hWnd));
    EXPECT_FALSE(MENUDRAW2007(&d, m.cut->cPrompt, nullptr, nullptr, w->hWnd));
    EXPECT_EQ(c.CountNot(RGB(1, 2, 3)), 0);
    DestroyWindow(w->hWnd);
  }
}

TEST(MenuDraw, ClassicSelectedItemsHighlightButGreyOnesKeepTheMenuColourEmbossed) {
  const COLORREF menu = GetSysColor(COLOR_MENU), hilite = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF ink = GetSysColor(COLOR_MENUTEXT);
  ASSERT_NE(menu, hilite);
  ASSERT_NE(ink, shadow);
  EditMenu m = BuildEdit(false);
  auto w = MakeWindow(m.bar);
  // Disabled command items are owner-drawn in any look.
  MENUITEMINFOA mii = ItemInfo(m.edit->hMenu, m.paste->nId, MIIM_FTYPE | MIIM_STATE);
  ASSERT_NE(mii.cbSize, 0u);
  EXPECT_TRUE(mii.fType & MFT_OWNERDRAW);
  EXPECT_TRUE(mii.fState & MFS_GRAYED);

  Canvas on(200, 20);
  DRAWITEMSTRUCT d = Request(on, m.edit, m.cut, ODS_SELECTED);
  Draw(w, d);
  EXPECT_EQ(on.At(190, 10), hilite);
  EXPECT_EQ(on.At(5, 10), hilite);  // no picture: the gutter is highlighted too

  Canvas grey(200, 20);
  d = Request(grey, m.edit, m.paste, ODS_SELECTED | ODS_GRAYED);
  Draw(w, d);
  EXPECT_EQ(grey.At(190, 10), menu);
  EXPECT_EQ(grey.At(5, 10), menu);
  int lit = 0, shaded = 0, inked = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 21; x < 200; ++x) {
      lit += grey.At(x, y) == light;
      shaded += grey.At(x, y) == shadow;
      inked += grey.At(x, y) == ink;
    }
  if (light != menu) {
    EXPECT_GT(lit, 10);  // else the lit copy melts into the menu
  }
  EXPECT_GT(shaded, 10);
  EXPECT_EQ(inked, 0);

  // A checked item carries the check mark in its gutter, pressed-looking.
  Canvas check(200, 20);
  d = Request(check, m.edit, m.checked, ODS_CHECKED);
  Draw(w, d);
  int marked = 0;
  for (int y = 1; y < 19; ++y)
    for (int x = 1; x < 17; ++x) marked += check.At(x, y) != menu;
  EXPECT_GT(marked, 20);
  DestroyWindow(w->hWnd);
}

TEST(MenuDraw, OpeningOwnerDrawnMenusAThousandTimesLeavesNoObjectsBehind) {
  auto w = MakeWindow();
  RESREGISTER(true);
  const size_t objects = RESCOUNT(), ids = TMenuItem::nIdsHeld();
  const std::string bmp = drawtest::WriteFile(
      "menu_item.bmp",
      drawtest::MakeBmp(16, 16, 24, {}, [](int x, int y) { return (x + y) % 5 ? 0xFFFFFFu : 0x0000FFu; }));
  std::vector<HMENU> handles;
  int opened = 0;
  for (int i = 0; i < 1000; ++i) {
    MENUBEGIN(true, false, nullptr, i % 2 == 1);
    MENUADDITEM({.cPrompt = "&Open\tCtrl+O", .cBmpFile = bmp});
    MENUADDITEM();
    MENUADDITEM({.cPrompt = "&Wrap", .lChecked = true});
    MENUADDITEM({.cPrompt = "&More"});
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "&Inner"});
    MENUEND();
    MENUADDITEM({.cPrompt = "&Gone", .lActive = false});
    TMenuPtr popup = MENUEND();
    handles.push_back(popup->hMenu);
    // Down paints a selected item, Escape closes.
    PostKey(w->hWnd, VK_DOWN);
    PostKey(w->hWnd, VK_ESCAPE);
    const int before = w->draws;
    popup->Activate(20, 20, w);
    opened += w->draws > before;
  }
  EXPECT_EQ(opened, 1000);
  EXPECT_EQ(RESCOUNT(), objects) << "left in res.log: " << RESREPORT();
  EXPECT_EQ(TMenuItem::nIdsHeld(), ids);
  EXPECT_EQ(TMenuItem::nInitId(), 20000u);
  for (HMENU h : handles) ASSERT_FALSE(IsMenu(h));
  RESREGISTER(false);
  DeleteFileA(bmp.c_str());
  DestroyWindow(w->hWnd);
}
