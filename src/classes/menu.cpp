// TMenu and TAccTable: building, commands, pop-ups, state and end; and the
// building functions MENUBEGIN / MENUADDITEM / MENUEND.
#include "classes/menu.h"

#include <algorithm>
#include <utility>

#include "native/dispatch.h"
#include "native/menu.h"
#include "rt/error.h"

namespace nx {

namespace {

// Every pop-up menu and every sub-menu added to a menu, by handle. The
// registry does not keep them alive.
std::vector<std::weak_ptr<TMenu>>& Popups() {
  static std::vector<std::weak_ptr<TMenu>> popups;
  return popups;
}

// The window whose menu bar this is, if it is still shown there.
HWND AttachedTo(const TMenu& m) {
  TWindowPtr wnd = m.Window();
  return wnd && wnd->hWnd && m.hMenu && GetMenu(wnd->hWnd) == m.hMenu ? wnd->hWnd : nullptr;
}

void CallerError(const char* cOperation, const char* cText) {
  RaiseError(ErrorNew("Novaxis", EG_ARG, 0, cText, cOperation));
}

}  // namespace

// ---- TAccTable ----------------------------------------------------------------------------

TAccTable::~TAccTable() { End(); }

void TAccTable::Add(int nVirtKey, int nVKState, UINT nId) {
  for (auto& item : aItems) {
    if (item.nVirtKey == nVirtKey && item.nVKState == nVKState) {
      item.nId = nId;
      return;
    }
  }
  aItems.push_back({nVirtKey, nVKState, nId});
}

void TAccTable::Del(int nVirtKey, int nVKState) {
  std::erase_if(aItems, [&](const Item& i) { return i.nVirtKey == nVirtKey && i.nVKState == nVKState; });
}

void TAccTable::Activate() {
  End();
  auto keys = NewArray();
  for (const auto& item : aItems) AAdd(keys, Value(Array{item.nVirtKey, item.nVKState, int64_t(item.nId)}));
  nHandle = SETACCTABLE(Value(keys));
}

void TAccTable::DeActivate() {
  if (nHandle && GETACCTABLE() == nHandle) nHandle = nullptr;
  SETACCTABLE();
}

void TAccTable::End() {
  if (!nHandle) return;
  // The message loop must not go on translating through a destroyed table.
  if (GETACCTABLE() == nHandle) SETACCTABLE();
  else DestroyAcceleratorTable(nHandle);
  nHandle = nullptr;
}

// ---- TMenu: construction ------------------------------------------------------------------

TMenuPtr TMenu::New(bool lPopup, const TWindowPtr& oWnd, bool l2007) {
  auto menu = std::make_shared<TMenu>();
  menu->hMenu = lPopup ? CREATEPOPUPMENU() : CREATEMENU();
  menu->lPopup = lPopup;
  menu->l2007 = l2007;
  if (lPopup) menu->Register();
  if (oWnd) oWnd->SetMenu(menu);
  return menu;
}

TMenuPtr TMenu::NewSys(const TWindowPtr& oWnd) {
  auto menu = std::make_shared<TMenu>();
  menu->oWnd = oWnd;
  menu->hMenu = oWnd ? GETSYSTEMMENU(oWnd->hWnd, false) : nullptr;
  menu->lSysMenu = true;
  return menu;
}

TMenu::~TMenu() {
  Unregister();
  // A menu dropped without End: its platform menu goes with it, unless a
  // window still shows it or the system owns it.
  if (hMenu && !lSysMenu && ISMENU(hMenu) && !AttachedTo(*this)) DESTROYMENU(hMenu);
}

void TMenu::Register() {
  auto& popups = Popups();
  std::erase_if(popups, [](const std::weak_ptr<TMenu>& w) { return w.expired(); });
  for (const auto& w : popups)
    if (w.lock().get() == this) return;
  popups.push_back(Self());
}

void TMenu::Unregister() {
  std::erase_if(Popups(), [this](const std::weak_ptr<TMenu>& w) {
    auto m = w.lock();
    return !m || m.get() == this;
  });
}

TMenuPtr TMenu::GetPopup(HMENU h) {
  if (!h) return nullptr;
  for (const auto& w : Popups())
    if (auto m = w.lock(); m && m->hMenu == h) return m;
  return nullptr;
}

// ---- Adding items ------------------------------------------------------------------------------

namespace {
UINT CommonBits(const TMenuItem& i) {
  return (i.lHelp ? MF_HELP : 0) | (i.lChecked ? MF_CHECKED : 0) | (i.lBreak ? MF_MENUBREAK : 0);
}
}  // namespace

void TMenu::Add(const TMenuItemPtr& oItem, bool lRoot) {
  if (!oItem) return;
  oItem->oMenu = Self();
  aMenuItems.push_back(oItem);
  const TMenuItem& i = *oItem;
  // Owner-drawn: every item of a 2007-look tree, every item with a picture
  // and, on NT, every item with a prompt below the bar and outside the
  // system menu; disabled command items always.
  const bool drawn = l2007 || i.hBitmap || (ISWINNT() && !lRoot && !lSysMenu);
  if (TMenuPtr sub = i.SubMenu()) {
    const UINT bits = CommonBits(i) | (i.lActive ? 0 : MF_GRAYED);
    const auto id = reinterpret_cast<UINT_PTR>(sub->hMenu);
    if (!i.cPrompt.empty()) APPENDMENU(hMenu, MF_POPUP | (drawn ? MF_OWNERDRAW : 0) | bits, id, i.cPrompt);
    else APPENDMENU(hMenu, MF_POPUP | bits, id, i.hBitmap);
    sub->Register();
  } else if (!i.cPrompt.empty()) {
    const UINT state = i.lActive ? (drawn ? MF_OWNERDRAW : 0) : MF_DISABLED | MF_GRAYED | MF_OWNERDRAW;
    APPENDMENU(hMenu, state | CommonBits(i), i.nId, i.cPrompt);
  } else if (i.hBitmap) {
    APPENDMENU(hMenu, i.lBreak ? MF_MENUBREAK : 0, i.nId, i.hBitmap);
  } else {
    APPENDMENU(hMenu, MF_SEPARATOR | (l2007 ? MF_OWNERDRAW : 0), i.nId, std::string());
  }
}

void TMenu::Insert(const TMenuItemPtr& oItem, int nPos) {
  if (!oItem) return;
  if (nPos < 1 || size_t(nPos) > aMenuItems.size()) {
    Add(oItem);
    return;
  }
  const UINT before = UINT(aMenuItems[size_t(nPos - 1)]->CommandId());
  aMenuItems.insert(aMenuItems.begin() + (nPos - 1), oItem);
  oItem->oMenu = Self();
  const TMenuItem& i = *oItem;
  const UINT helpBreak = (i.lHelp ? MF_HELP : 0) | (i.lBreak ? MF_MENUBREAK : 0);
  if (TMenuPtr sub = i.SubMenu()) {
    const auto id = reinterpret_cast<UINT_PTR>(sub->hMenu);
    if (!i.hBitmap) INSERTMENU(hMenu, before, MF_BYCOMMAND | MF_POPUP | helpBreak, id, i.cPrompt);
    else INSERTMENU(hMenu, before, MF_BYCOMMAND | MF_POPUP | helpBreak, id, i.hBitmap);
    sub->Register();
  } else if (!i.cPrompt.empty()) {
    const bool drawn = i.hBitmap || (ISWINNT() && !lSysMenu);
    const UINT state = i.lActive ? (drawn ? MF_OWNERDRAW : 0) : MF_DISABLED | MF_GRAYED;
    INSERTMENU(hMenu, before, MF_BYCOMMAND | state | CommonBits(i), i.nId, i.cPrompt);
  } else if (i.hBitmap) {
    INSERTMENU(hMenu, before, MF_BYCOMMAND | (i.lBreak ? MF_MENUBREAK : 0), i.nId, i.hBitmap);
  } else {
    INSERTMENU(hMenu, before, MF_BYCOMMAND | MF_SEPARATOR, i.nId, std::string());
  }
}

void TMenu::aItems(const std::vector<TMenuItemPtr>& aArray) {
  for (const auto& item : aArray) Add(item);
}

// ---- Finding items -------------------------------------------------------------------------------

TMenuItemPtr TMenu::GetMenuItem(UINT_PTR nId) const {
  if (!nId) return nullptr;
  for (const auto& item : aMenuItems) {
    if (!item) continue;
    if (item->nId == nId) return item;
    if (const TMenuPtr& sub = item->SubMenu()) {
      if (reinterpret_cast<UINT_PTR>(sub->hMenu) == nId) return item;
      if (TMenuItemPtr found = sub->GetMenuItem(nId)) return found;
    }
  }
  return nullptr;
}

TMenuPtr TMenu::GetSubMenu(HMENU h) const {
  if (!h) return nullptr;
  for (const auto& item : aMenuItems) {
    if (const TMenuPtr& sub = item ? item->SubMenu() : nullptr) {
      if (sub->hMenu == h) return sub;
      if (TMenuPtr found = sub->GetSubMenu(h)) return found;
    }
  }
  return nullptr;
}

// ---- Commands and pop-ups ---------------------------------------------------------------------------

void TMenu::Command(UINT_PTR nId) {
  TMenuPtr keep = Self();
  TMenuItemPtr item = GetMenuItem(nId);
  if (!item || !(item->bAction.IsBlock() || (!item->bAction && item->OnClick))) return;
  if (item->bWhen) {
    Value when = item->bWhen(*item);
    if (when.IsLogical() && !when.AsLogical()) return;
  }
  oLastItem = item;
  // A pop-up runs its choice once it has closed (Activate).
  if (lPopup) {
    oMenuItemPopup = item;
    return;
  }
  item->Run(Window());
}

void TMenu::Activate(int nRow, int nCol, const TWindowPtr& wnd, bool lEnd) {
  if (!wnd || !wnd->hWnd || !hMenu) return;
  TMenuPtr self = Self();
  TWindowPtr owner = wnd;
  POINT pt{nCol, nRow};
  ClientToScreen(owner->hWnd, &pt);
  if (lEnd && owner->oPopup && owner->oPopup != self) owner->oPopup->End();
  owner->oPopup = self;
  oWnd = owner;
  // However the chosen action ends, the window stops routing commands to a
  // pop-up that is no longer open, and a pop-up shown for once is ended.
  struct Closing {
    TMenu& menu;
    TWindow& owner;
    bool lEnd;
    ~Closing() {
      if (owner.oPopup.get() == &menu) owner.oPopup = nullptr;
      menu.oMenuItemPopup = nullptr;
      if (lEnd) menu.End();
    }
  } closing{*this, *owner, lEnd};
  Initiate();
  TRACKPOPUP(hMenu, TPM_RIGHTBUTTON, pt.y, pt.x, 0, owner->hWnd);
  // The choice was posted as WM_COMMAND: let it arrive and be remembered.
  SYSREFRESH();
  if (TMenuItemPtr chosen = std::exchange(oMenuItemPopup, nullptr)) chosen->Run(owner);
}

void TMenu::Initiate() {
  TMenuPtr keep = Self();
  if (l2007 && CWINVERSION() != "98") MITEMS2007(hMenu);
  // A bWhen may change the menu: walk a copy.
  const auto items = aMenuItems;
  for (const auto& item : items) {
    if (!item || !item->bWhen) continue;
    Value when = item->bWhen(*item);
    if (!when.IsLogical()) continue;
    if (when.AsLogical()) item->Enable();
    else item->Disable();
  }
}

// ---- State --------------------------------------------------------------------------------------------

void TMenu::Hilite(int nPos) {
  if (TWindowPtr wnd = Window()) HILITEMENUITEM(wnd->hWnd, hMenu, UINT(nPos - 1), MF_HILITE | MF_BYPOSITION);
}

void TMenu::UnHilite(int nPos) {
  if (TWindowPtr wnd = Window()) HILITEMENUITEM(wnd->hWnd, hMenu, UINT(nPos - 1), MF_BYPOSITION);
}

void TMenu::Enable() {
  const auto items = aMenuItems;
  for (const auto& item : items)
    if (item) item->Enable();
  if (!oWnd.expired()) Refresh();
}

void TMenu::Disable() {
  const auto items = aMenuItems;
  for (const auto& item : items)
    if (item) item->Disable();
}

void TMenu::Refresh() {
  // Only a bar is shown by its window; a pop-up or system menu redraws itself.
  TWindowPtr wnd = Window();
  if (wnd && !lPopup && !lSysMenu) wnd->SetMenu(Self());
}

void TMenu::Reset() {
  TMenuPtr keep = Self();
  Destroy();
  aMenuItems.clear();
  if (lSysMenu) {
    TWindowPtr wnd = Window();
    HWND h = wnd ? wnd->hWnd : nullptr;
    GETSYSTEMMENU(h, true);
    hMenu = GETSYSTEMMENU(h, false);
    return;
  }
  HWND shownIn = AttachedTo(*this);
  DESTROYMENU(hMenu);
  hMenu = lPopup ? CREATEPOPUPMENU() : CREATEMENU();
  if (shownIn) SETMENU(shownIn, hMenu);
}

void TMenu::Destroy() {
  for (const auto& item : aMenuItems) {
    if (!item) continue;
    if (TMenuPtr sub = item->SubMenu()) sub->Destroy();
    item->End();
  }
}

void TMenu::DelItems() {
  TMenuPtr keep = Self();
  while (!aMenuItems.empty()) {
    TMenuItemPtr last = aMenuItems.back();
    const size_t before = aMenuItems.size();
    if (last) last->Destroy();
    // An item that is not this menu's own cannot take itself out.
    if (aMenuItems.size() == before) aMenuItems.pop_back();
  }
}

void TMenu::End() {
  TMenuPtr keep = Self();
  if (HWND shownIn = AttachedTo(*this)) SETMENU(shownIn, nullptr);
  if (TWindowPtr wnd = Window(); wnd && wnd->oMenu.get() == this && !lSysMenu) wnd->oMenu = nullptr;
  Destroy();
  DelItems();
  // The system owns the system menu: taking our items out leaves it as it was.
  if (hMenu && !lSysMenu) DESTROYMENU(hMenu);
  hMenu = nullptr;
  Unregister();
  if (oAccTable) oAccTable->End();
}

void TMenu::HelpTopic() {
  if (TWindowPtr wnd = Window()) wnd->HelpTopic();
}

// ---- Building functions --------------------------------------------------------------------------------

namespace {
struct Level {
  TMenuPtr oMenu;
  std::vector<TMenuItemPtr> aPending;
};
struct Building {
  std::vector<Level> stack;
  TAccTablePtr oAccTable;
  bool l2007 = false;
};
Building& Build() {
  static Building b;
  return b;
}
}  // namespace

TMenuPtr MENUBEGIN(bool lPopup, bool lSystem, const TWindowPtr& oWnd, bool l2007) {
  Building& b = Build();
  if (b.stack.empty()) b.l2007 = l2007;
  TMenuPtr menu;
  if (lSystem) {
    menu = TMenu::NewSys(oWnd);
    if (oWnd) oWnd->oSysMenu = menu;
  } else {
    menu = TMenu::New(lPopup, nullptr, b.l2007);
  }
  b.stack.push_back({menu, {}});
  return menu;
}

TMenuItemPtr MENUADDITEM(const TMenuItemParams& p) {
  Building& b = Build();
  if (b.stack.empty()) {
    CallerError("MENUADDITEM", "Menu item outside MENUBEGIN ... MENUEND");
    return nullptr;
  }
  TMenuItemPtr item = TMenuItem::New(p);
  b.stack.back().aPending.push_back(item);
  if (p.nVirtKey) {
    if (!b.oAccTable) b.oAccTable = TAccTable::New();
    b.oAccTable->Add(p.nVirtKey, p.nVKState, item->nId);
  }
  return item;
}

TMenuPtr MENUEND() {
  Building& b = Build();
  if (b.stack.empty()) {
    CallerError("MENUEND", "MENUEND without MENUBEGIN");
    return nullptr;
  }
  Level level = std::move(b.stack.back());
  b.stack.pop_back();
  const bool outermost = b.stack.empty();
  for (const auto& item : level.aPending) level.oMenu->Add(item, outermost && !level.oMenu->lPopup);
  if (!outermost) {
    auto& outer = b.stack.back().aPending;
    if (outer.empty()) {
      level.oMenu->End();
      CallerError("MENUEND", "A sub-menu needs an item before its MENUBEGIN to open it");
      return nullptr;
    }
    outer.back()->bAction = level.oMenu;
    return level.oMenu;
  }
  level.oMenu->oAccTable = std::exchange(b.oAccTable, nullptr);
  b.l2007 = false;
  level.oMenu->Initiate();
  return level.oMenu;
}

TMenuPtr LASTMENU() {
  const Building& b = Build();
  return b.stack.empty() ? nullptr : b.stack.back().oMenu;
}

int LASTITEMPOS() {
  const Building& b = Build();
  return b.stack.empty() ? 0 : int(b.stack.back().aPending.size());
}

}  // namespace nx
