// Menus as objects over platform menus: command ids, what Add and Insert put
// into the platform menu, state changes, resources and persistence.
#include <gtest/gtest.h>

#include "common/raised_errors.h"
#include "menus/rig.h"
#include "rt/error.h"

using namespace nx;
using namespace menutest;

namespace {

void CollectIds(const TMenuPtr& m, std::vector<UINT>& ids, std::vector<HMENU>& subs) {
  for (const auto& item : m->aMenuItems) {
    ids.push_back(item->nId);
    if (TMenuPtr sub = item->SubMenu()) {
      subs.push_back(sub->hMenu);
      CollectIds(sub, ids, subs);
    }
  }
}

UINT TypeOf(HMENU h, UINT_PTR id) {
  MENUITEMINFOA mii = ItemInfo(h, id, MIIM_FTYPE);
  return mii.cbSize ? mii.fType : 0xFFFFFFFF;
}

using ErrorCapture = nxtest::RaisedErrors;

}  // namespace

TEST(MenuIds, BarsNumberFrom20000AndEndingThemGivesEveryNumberBack) {
  ASSERT_EQ(TMenuItem::nIdsHeld(), 0u);
  std::vector<HMENU> handles;
  for (int round = 0; round < 200; ++round) {
    MENUBEGIN();
    LASTMENU()->AddFile();
    LASTMENU()->AddEdit();
    TMenuPtr bar = MENUEND();
    std::vector<UINT> ids;
    CollectIds(bar, ids, handles);
    handles.push_back(bar->hMenu);
    ASSERT_EQ(ids.size(), 11u + 15u);  // titles and items of File and Edit
    for (size_t i = 0; i < ids.size(); ++i) ASSERT_EQ(ids[i], 20000u + i) << "round " << round;
    ASSERT_EQ(bar->oAccTable->aItems.size(), 7u);  // six of File's and Edit's Ctrl+F
    bar->End();
    ASSERT_EQ(TMenuItem::nIdsHeld(), 0u);
  }
  for (HMENU h : handles) ASSERT_FALSE(IsMenu(h));

  // A number that is a live menu handle is never a command id.
  TMenuPtr live = TMenu::New(true);
  const UINT h = UINT(reinterpret_cast<UINT_PTR>(live->hMenu));
  TMenuItem::nInitId(h - 2);
  auto a = TMenuItem::New(), b = TMenuItem::New(), c = TMenuItem::New();
  EXPECT_EQ(a->nId, h - 2);
  EXPECT_EQ(b->nId, h - 1);
  EXPECT_EQ(c->nId, h + 1);
  // Numbers come back out of order too, and are taken again lowest first.
  b->End();
  EXPECT_EQ(TMenuItem::nInitId(), h - 1);
  for (auto& i : {a, c}) i->End();
  TMenuItem::nInitId(20000);
  live->End();
  EXPECT_EQ(TMenuItem::nIdsHeld(), 0u);
  EXPECT_EQ(TMenuItem::nInitId(), 20000u);
}

TEST(MenuTree, ItemsReachThePlatformMenuAsTheirKindWants) {
  ErrorCapture capture;
  EXPECT_EQ(MENUADDITEM({.cPrompt = "stray"}), nullptr);
  ASSERT_EQ(capture.errors.size(), 1u);
  EXPECT_EQ(capture.errors[0]->Operation, "MENUADDITEM");

  MENUBEGIN();
  TMenuItemPtr file = MENUADDITEM({.cPrompt = "&File"});
  MENUBEGIN();
  TMenuItemPtr open = MENUADDITEM({.cPrompt = "&Open"});
  TMenuItemPtr sep = MENUADDITEM();
  TMenuItemPtr recent = MENUADDITEM({.cPrompt = "&Recent"});
  MENUBEGIN();
  TMenuItemPtr one = MENUADDITEM({.cPrompt = "&1 one.txt"});
  MENUEND();
  MENUEND();
  TMenuItemPtr off = MENUADDITEM({.cPrompt = "&Off", .lActive = false});
  TMenuItemPtr help = MENUADDITEM({.cPrompt = "&Help", .lHelp = true});
  TMenuPtr bar = MENUEND();
  TMenuPtr fileMenu = file->SubMenu();
  ASSERT_TRUE(fileMenu && recent->SubMenu());

  // On the bar only disabled items are owner-drawn; below it every item
  // with a prompt is; separators are the system's in the classic look.
  EXPECT_FALSE(TypeOf(bar->hMenu, file->CommandId()) & MFT_OWNERDRAW);
  EXPECT_TRUE(TypeOf(bar->hMenu, off->nId) & MFT_OWNERDRAW);
  EXPECT_TRUE(TypeOf(bar->hMenu, help->nId) & MFT_RIGHTJUSTIFY);
  EXPECT_TRUE(TypeOf(fileMenu->hMenu, open->nId) & MFT_OWNERDRAW);
  EXPECT_TRUE(TypeOf(fileMenu->hMenu, recent->CommandId()) & MFT_OWNERDRAW);
  EXPECT_EQ(TypeOf(fileMenu->hMenu, sep->nId), UINT(MFT_SEPARATOR));
  EXPECT_EQ(GetSubMenu(bar->hMenu, 0), fileMenu->hMenu);

  // Sub-menu titles are found by their menu's handle, items depth first.
  EXPECT_EQ(bar->GetMenuItem(reinterpret_cast<UINT_PTR>(recent->SubMenu()->hMenu)), recent);
  EXPECT_EQ(bar->GetMenuItem(one->nId), one);
  EXPECT_EQ(bar->GetSubMenu(recent->SubMenu()->hMenu), recent->SubMenu());
  EXPECT_EQ(TMenu::GetPopup(fileMenu->hMenu), fileMenu);

  // Insert goes before the item at the position, in the object and the menu.
  TMenuItemPtr save = TMenuItem::New({.cPrompt = "&Save"});
  fileMenu->Insert(save, 2);
  EXPECT_EQ(fileMenu->aMenuItems[1], save);
  EXPECT_EQ(GetMenuItemID(fileMenu->hMenu, 1), save->nId);

  // State follows the object; a sub-menu's title is reached by its handle.
  open->SetCheck(true);
  EXPECT_TRUE(GetMenuState(fileMenu->hMenu, open->nId, MF_BYCOMMAND) & MF_CHECKED);
  recent->Disable();
  EXPECT_TRUE(GetMenuState(fileMenu->hMenu, 3, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(recent->SubMenu()->hMenu, one->nId, MF_BYCOMMAND) & MF_GRAYED);
  recent->Enable();
  EXPECT_FALSE(GetMenuState(fileMenu->hMenu, 3, MF_BYPOSITION) & MF_GRAYED);
  open->SetPrompt("&Open...");
  EXPECT_EQ(GETMENUSTRING(fileMenu->hMenu, open->nId, MF_BYCOMMAND), "&Open...");
  EXPECT_FALSE(TypeOf(fileMenu->hMenu, open->nId) & MFT_OWNERDRAW);

  // Destroy takes an item out of both; a sub-menu goes with its title.
  HMENU recentMenu = recent->SubMenu()->hMenu;
  recent->Destroy();
  EXPECT_EQ(fileMenu->aMenuItems.size(), 3u);
  EXPECT_EQ(GetMenuItemCount(fileMenu->hMenu), 3);
  EXPECT_FALSE(IsMenu(recentMenu));
  bar->End();
  for (auto& i : {save, recent}) i->End();
  EXPECT_EQ(TMenuItem::nIdsHeld(), 0u);
}

TEST(MenuTree, AcceleratorTablesReplaceKeysAndLeaveTheLoopWhenEnded) {
  auto table = TAccTable::New();
  table->Add('X', FCONTROL, 20001);
  table->Add('X', FCONTROL, 20002);
  table->Add('X', FALT, 20003);
  ASSERT_EQ(table->aItems.size(), 2u);
  EXPECT_EQ(table->aItems[0].nId, 20002u);
  table->Del('X', FALT);
  EXPECT_EQ(table->aItems.size(), 1u);
  table->Activate();
  ASSERT_NE(table->nHandle, nullptr);
  EXPECT_EQ(GETACCTABLE(), table->nHandle);
  table->End();
  EXPECT_EQ(GETACCTABLE(), nullptr);
  EXPECT_EQ(table->nHandle, nullptr);
}

TEST(MenuResource, ReDefineMirrorsTheResourceWithoutTakingIds) {
  TMenuPtr bar = TMenu::ReDefine("MAINMENU");
  ASSERT_EQ(bar->aMenuItems.size(), 2u);
  TMenuPtr file = bar->aMenuItems[0]->SubMenu();
  ASSERT_TRUE(file);
  ASSERT_EQ(file->aMenuItems.size(), 3u);
  EXPECT_EQ(file->aMenuItems[0]->nId, 101u);
  EXPECT_EQ(file->aMenuItems[0]->cPrompt, "&Open");
  EXPECT_FALSE(file->aMenuItems[2]->lActive);
  EXPECT_TRUE(bar->aMenuItems[1]->lChecked);
  EXPECT_EQ(TMenuItem::nIdsHeld(), 0u);

  // Binding an action and an accelerator to a resource item.
  int ran = 0;
  TMenuItemPtr open = TMenuItem::ReDefine(
      {.bAction = [&](TMenuItem&) { ++ran; }, .oMenu = bar, .nId = 101, .nVKState = FCONTROL, .nVirtKey = 'O'});
  EXPECT_EQ(open, file->aMenuItems[0]);
  bar->Command(101);
  EXPECT_EQ(ran, 1);
  ASSERT_TRUE(bar->oAccTable);
  EXPECT_EQ(bar->oAccTable->aItems[0].nId, 101u);
  bar->End();

  TMenuPtr popup = TMenu::ReDefine("MAINMENU", true);
  EXPECT_TRUE(popup->lPopup);
  EXPECT_EQ(GetMenuItemCount(popup->hMenu), 2);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(popup->hMenu, 0)), 3);
  EXPECT_EQ(popup->GetMenuItem(102)->cPrompt, "E&xit");
  popup->End();

  ErrorCapture capture;
  TMenuPtr missing = TMenu::ReDefine("NOSUCHMENU");
  ASSERT_EQ(capture.errors.size(), 1u);
  EXPECT_NE(capture.errors[0]->Description.find("NOSUCHMENU"), std::string::npos);
  EXPECT_TRUE(missing->aMenuItems.empty());
  missing->End();
}

TEST(MenuPersist, RecordsLoadBackIntoTheSameTreeAndRefuseDamage) {
  MENUBEGIN();
  MENUADDITEM({.cPrompt = "&File"});
  MENUBEGIN();
  MENUADDITEM({.cPrompt = "&Open", .cMsg = "Opens"});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "E&xit", .lChecked = true, .lActive = false});
  MENUEND();
  TMenuPtr menu = MENUEND();
  menu->cVarName = "oMain";
  const std::string record = menu->Save();

  TMenuPtr copy = TMenu::New();
  ASSERT_TRUE(copy->Load(record));
  EXPECT_EQ(copy->cVarName, "oMain");
  ASSERT_EQ(copy->aMenuItems.size(), 1u);
  TMenuPtr file = copy->aMenuItems[0]->SubMenu();
  ASSERT_TRUE(file);
  ASSERT_EQ(file->aMenuItems.size(), 3u);
  EXPECT_EQ(file->aMenuItems[0]->cMsg, "Opens");
  EXPECT_FALSE(file->aMenuItems[2]->lActive);
  EXPECT_TRUE(file->aMenuItems[2]->lChecked);
  EXPECT_EQ(GetMenuItemCount(file->hMenu), 3);
  EXPECT_TRUE(GetMenuState(file->hMenu, 2, MF_BYPOSITION) & MF_CHECKED);

  const std::string text = menu->SaveToText(0);
  EXPECT_EQ(text.rfind("OBJECT ::oMain AS TMenu\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("::cCaption = \"E&xit\""), std::string::npos) << text;
  EXPECT_NE(text.find("::lActive = .F."), std::string::npos) << text;

  // Every shortened record is refused without harm.
  for (size_t n = 0; n < record.size(); ++n) ASSERT_FALSE(TMenu::New()->Load(record.substr(0, n))) << n;
  menu->End();
  copy->End();
}
