// The tabbed folder driven with posted clicks and keys: its default pages,
// disabled tabs, hot keys, pages added, deleted and loaded from resources,
// a folder of a resource dialog, and the controls' values across switches.
// This program runs in the classic look; tests/folderthemed has the themed one.
#include <gtest/gtest.h>

#include "classes/checkbox.h"
#include "classes/folder.h"
#include "classes/setget.h"
#include "classes/tget.h"
#include "common/client_pixels.h"
#include "dialogs/script.h"
#include "folder/folder_res.h"
#include "native/dispatch.h"
#include "native/folder.h"

using namespace nx;
using dlgtest::Checked;
using dlgtest::ModalScript;
using dlgtest::PostAltChar;
using dlgtest::PostKey;
using dlgtest::Script;

namespace {

// A folder whose refusals are counted instead of heard.
class CountingFolder : public TFolder {
 public:
  void Beep() override { ++beeps; }
  int beeps = 0;
};

TWindowPtr Window() {
  auto w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 320, .nRight = 440, .cTitle = "folder", .lPixel = true});
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  return w;
}

// A click in the middle of tab n (1-based), as the mouse delivers it.
void ClickTab(const TFolderPtr& f, int n) {
  RECT r{};
  SendMessageA(f->hWnd, TCM_GETITEMRECT, WPARAM(n - 1), reinterpret_cast<LPARAM>(&r));
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PostMessageA(f->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(f->hWnd, WM_LBUTTONUP, 0, at);
}

std::vector<bool> Shown(const TFolderPtr& f) {
  std::vector<bool> shown;
  for (auto& page : f->aDialogs) shown.push_back(page->hWnd && IsWindowVisible(page->hWnd));
  return shown;
}

}  // namespace

TEST(Folder, DefaultPromptsMakeEmptyPagesThatSwitchByClickAndHotKeyKeepingValues) {
  auto w = Window();
  const COLORREF pane = RGB(200, 220, 250);
  std::vector<std::pair<int, int>> changes;
  auto f = TFolder::NewAs<CountingFolder>({.nTop = 10, .nLeft = 10, .oWnd = w, .nClrBack = pane, .lPixel = true,
                                           .nWidth = 360, .nHeight = 240,
                                           .bChange = [&](int n, int old, TFolder&) { changes.push_back({n, old}); }});
  ASSERT_NE(f->hWnd, nullptr);
  EXPECT_EQ(GETCLASSNAME(f->hWnd), "SysTabControl32");
  EXPECT_EQ(GetWndDefault(), w);  // the pages made no lasting default window
  EXPECT_EQ(f->aPrompts, (std::vector<std::string>{"&One", "&Two", "T&hree"}));
  EXPECT_EQ(TABGETITEMCOUNT(f->hWnd), 3);
  ASSERT_EQ(f->aDialogs.size(), 3u);
  const RECT area = TABADJUSTRECT(f->hWnd);
  for (int i = 0; i < 3; ++i) {
    const TDialogPtr& page = f->aDialogs[size_t(i)];
    EXPECT_EQ(page->cVarName, "Page" + std::to_string(i + 1));
    ASSERT_NE(page->hWnd, nullptr);
    EXPECT_EQ(GetParent(page->hWnd), f->hWnd);
    EXPECT_EQ(WNDTOP(page->hWnd), area.top);
    EXPECT_EQ(page->nWidth(), 360 - 6);
  }
  EXPECT_EQ(Shown(f), (std::vector<bool>{true, false, false}));
  // The tabs share the width, all alike and inside the folder.
  RECT first{}, last{};
  SendMessageA(f->hWnd, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  SendMessageA(f->hWnd, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&last));
  EXPECT_EQ(first.right - first.left, last.right - last.left);
  EXPECT_GE(3 * (first.right - first.left), 360 - 12);
  EXPECT_LE(last.right, 360);
  EXPECT_EQ(TABGETROWCOUNT(f->hWnd), 1);
  // In the classic look a page is the folder's colour.
  RedrawWindow(f->aDialogs[0]->hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_EQ(nxtest::PixelAt(f->aDialogs[0]->hWnd, 200, 100), pane);

  Value name(std::string(8, ' ')), mute(false), shown("before");
  auto get = TGet::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(name), .oWnd = f->aDialogs[0], .nWidth = 150,
                        .lPixel = true});
  auto live = TGet::New({.nRow = 40, .nCol = 10, .bSetGet = BindVar(shown), .oWnd = f->aDialogs[0], .nWidth = 150,
                         .lPixel = true, .lUpdate = true});
  auto box = TCheckBox::New({.nRow = 10, .nCol = 10, .cCaption = "&Mute", .bSetGet = BindVar(mute),
                             .oWnd = f->aDialogs[1], .nWidth = 100, .lPixel = true});
  // A control on a page takes every key, so the page's own keys reach it.
  EXPECT_EQ(SendMessageA(box->hWnd, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
  // The window's Update reaches the controls on the pages.
  shown = Value("after ");
  w->Update();
  EXPECT_EQ(live->GetText(), "after ");

  SetFocus(get->hWnd);
  for (char c : std::string("Zoe")) PostMessageA(get->hWnd, WM_CHAR, WPARAM(c), 1);
  SYSREFRESH();
  EXPECT_EQ(name, Value("Zoe     "));

  ClickTab(f, 2);
  SYSREFRESH();
  EXPECT_EQ(f->nOption, 2);
  EXPECT_EQ(Shown(f), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(TABGETCURSEL(f->hWnd), 1);
  EXPECT_EQ(GetFocus(), box->hWnd);  // the page took the focus
  EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{2, 1}}));
  PostKey(VK_SPACE, box->hWnd);
  SYSREFRESH();
  EXPECT_EQ(mute, Value(true));

  // A disabled tab beeps and the page stays, by click and by hot key.
  f->aEnable[2] = false;
  ClickTab(f, 3);
  SYSREFRESH();
  auto counting = std::static_pointer_cast<CountingFolder>(f);
  EXPECT_EQ(counting->beeps, 1);
  EXPECT_EQ(f->nOption, 2);
  EXPECT_EQ(TABGETCURSEL(f->hWnd), 1);
  EXPECT_EQ(Shown(f), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(f->GetHotPos('H'), 0);
  PostAltChar('h', box->hWnd);
  SYSREFRESH();
  EXPECT_EQ(f->nOption, 2);

  // Alt and a tab's hot key from a control of a page selects that tab.
  EXPECT_EQ(f->GetHotPos('o'), 1);
  PostAltChar('o', box->hWnd);
  SYSREFRESH();
  EXPECT_EQ(f->nOption, 1);
  EXPECT_EQ(Shown(f), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(TABGETCURSEL(f->hWnd), 0);
  EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{2, 1}, {1, 2}}));
  // Both pages kept what was entered.
  EXPECT_EQ(get->GetText(), "Zoe     ");
  EXPECT_EQ(name, Value("Zoe     "));
  EXPECT_TRUE(Checked(box->hWnd));
  EXPECT_EQ(mute, Value(true));

  std::vector<HWND> pages;
  for (auto& page : f->aDialogs) pages.push_back(page->hWnd);
  DestroyWindow(w->hWnd);
  for (HWND h : pages) EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(f->aDialogs[0]->hWnd, nullptr);
}

TEST(Folder, PagesAreAddedDeletedAndLoadedFromResources) {
  auto w = Window();
  auto f = TFolder::New({.oWnd = w, .lPixel = true, .nWidth = 300, .nHeight = 200});
  ASSERT_EQ(f->aDialogs.size(), 3u);
  f->SetOption(3);
  HWND third = f->aDialogs[2]->hWnd;
  // Deleting the last page makes the previous one current.
  f->DelItem();
  EXPECT_FALSE(IsWindow(third));
  EXPECT_EQ(f->nOption, 2);
  EXPECT_EQ(f->aPrompts, (std::vector<std::string>{"&One", "&Two"}));
  EXPECT_EQ(TABGETITEMCOUNT(f->hWnd), 2);
  EXPECT_EQ(TABGETCURSEL(f->hWnd), 1);
  EXPECT_EQ(Shown(f), (std::vector<bool>{false, true}));

  auto added = f->AddItem("&Four", std::nullopt, {}, 77);
  EXPECT_EQ(GetWndDefault(), w);
  EXPECT_EQ(added->cVarName, "Page3");
  EXPECT_EQ(added->nHelpId, 77);
  EXPECT_EQ(f->nOption, 3);
  EXPECT_EQ(TABGETCURSEL(f->hWnd), 2);
  EXPECT_EQ(Shown(f), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(WNDTOP(added->hWnd), TABADJUSTRECT(f->hWnd).top);

  // Deleting a page in the middle: the one now in its place is current.
  f->SetOption(1);
  f->DelItem();
  EXPECT_EQ(f->aPrompts, (std::vector<std::string>{"&Two", "&Four"}));
  EXPECT_EQ(f->nOption, 1);
  EXPECT_EQ(f->aDialogs[1], added);
  EXPECT_EQ(Shown(f), (std::vector<bool>{true, false}));

  Value grid(true);
  TCheckBoxPtr gridBox;
  std::vector<int> redefined;
  f->LoadPages({IDD_PAGE_VIEW, IDD_PAGE_EDIT}, [&](TDialog& page, int n, TFolder&) {
    redefined.push_back(n);
    if (n == 1) gridBox = TCheckBox::ReDefine({.nId = ID_GRID, .bSetGet = BindVar(grid), .oWnd = page.SelfDlg()});
  });
  EXPECT_EQ(redefined, (std::vector<int>{1, 2}));
  ASSERT_EQ(f->aDialogs.size(), 2u);
  EXPECT_EQ(f->aPrompts, (std::vector<std::string>{"&Two", "&Four"}));  // the tabs stay
  EXPECT_EQ(f->nOption, 1);
  EXPECT_EQ(Shown(f), (std::vector<bool>{true, false}));
  ASSERT_TRUE(gridBox && gridBox->hWnd);
  EXPECT_EQ(GetParent(gridBox->hWnd), f->aDialogs[0]->hWnd);
  EXPECT_TRUE(Checked(gridBox->hWnd));
  EXPECT_NE(GetDlgItem(f->aDialogs[1]->hWnd, ID_AUTOSAVE), nullptr);
  EXPECT_EQ(WNDTOP(f->aDialogs[1]->hWnd), TABADJUSTRECT(f->hWnd).top);

  f->DelPages();
  EXPECT_TRUE(f->aDialogs.empty());
  EXPECT_EQ(TABGETITEMCOUNT(f->hWnd), 0);
  EXPECT_EQ(f->nOption, 0);
  EXPECT_EQ(gridBox->hWnd, nullptr);
  // An emptied folder takes pages again.
  auto again = f->AddItem("&Again");
  EXPECT_EQ(f->nOption, 1);
  EXPECT_EQ(Shown(f), (std::vector<bool>{true}));
  DestroyWindow(w->hWnd);
}

TEST(Folder, ResourceDialogBindsPagesAndSwitchesThemFromItsOwnLoop) {
  Value grid(false), autosave(true);
  std::vector<std::pair<int, int>> changes;
  auto dlg = TDialog::New({.cResName = DialogTemplate(IDD_OPTIONS)});
  auto f = TFolder::ReDefine({.nId = ID_TABS,
                              .aPrompts = {"&View", "&Edit"},
                              .aDialogs = {IDD_PAGE_VIEW, IDD_PAGE_EDIT},
                              .oWnd = dlg,
                              .bChange = [&](int n, int old, TFolder&) { changes.push_back({n, old}); }});
  EXPECT_EQ(GetWndDefault(), dlg);
  auto gridBox = TCheckBox::ReDefine({.nId = ID_GRID, .bSetGet = BindVar(grid), .oWnd = f->aDialogs[0]});
  auto saveBox = TCheckBox::ReDefine({.nId = ID_AUTOSAVE, .bSetGet = BindVar(autosave), .oWnd = f->aDialogs[1]});
  std::vector<HWND> pages;
  Script script = ModalScript(
      dlg,
      {[&] {
         ASSERT_NE(dlg->hWnd, nullptr);
         EXPECT_EQ(f->hWnd, GetDlgItem(dlg->hWnd, ID_TABS));
         EXPECT_EQ(TABGETITEMCOUNT(f->hWnd), 2);
         for (auto& page : f->aDialogs) pages.push_back(page->hWnd);
         EXPECT_EQ(GetParent(gridBox->hWnd), pages[0]);
         EXPECT_EQ(GetParent(saveBox->hWnd), pages[1]);
         EXPECT_EQ(Shown(f), (std::vector<bool>{true, false}));
         EXPECT_EQ(WNDTOP(pages[0]), TABADJUSTRECT(f->hWnd).top);
         EXPECT_TRUE(Checked(saveBox->hWnd));
         SetFocus(gridBox->hWnd);
         PostKey(VK_SPACE);
       },
       [&] {
         EXPECT_EQ(grid, Value(true));
         PostAltChar('e');
       },
       [&] {
         EXPECT_EQ(f->nOption, 2);
         EXPECT_EQ(Shown(f), (std::vector<bool>{false, true}));
         EXPECT_EQ(GetFocus(), saveBox->hWnd);
         PostKey(VK_SPACE);
       },
       [&] {
         EXPECT_EQ(autosave, Value(false));
         PostKey(VK_TAB);
       },
       [&] {
         // Tab past a page's last control goes on after the folder.
         EXPECT_EQ(GetFocus(), GetDlgItem(dlg->hWnd, IDOK));
         ClickTab(f, 1);
       },
       [&] {
         EXPECT_EQ(f->nOption, 1);
         EXPECT_EQ(Shown(f), (std::vector<bool>{true, false}));
         EXPECT_TRUE(Checked(gridBox->hWnd));
         EXPECT_FALSE(Checked(saveBox->hWnd));
         dlg->End(IDOK);
       }});
  dlg->Activate({.bInit = [&](TWindow&) { script.Start(); }});
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(dlg->nResult, Value(IDOK));
  EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{2, 1}, {1, 2}}));
  for (HWND h : pages) EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(grid, Value(true));
  EXPECT_EQ(autosave, Value(false));
}
