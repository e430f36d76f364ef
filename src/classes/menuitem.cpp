// TMenuItem: construction, command ids, state changes, end.
#include "classes/menuitem.h"

#include <set>

#include "classes/menu.h"
#include "native/draw.h"
#include "native/gdi.h"
#include "native/menu.h"

namespace nx {

namespace {

UINT g_firstId = 20000;

// Command ids held by live items. A number is free when no item holds it and
// it is not a live menu handle: sub-menu titles are found by their handle
// with the same search as commands by their id.
std::set<UINT>& HeldIds() {
  static std::set<UINT> held;
  return held;
}

UINT NextFreeId() {
  UINT n = g_firstId;
  for (auto it = HeldIds().lower_bound(n);; ++n) {
    while (it != HeldIds().end() && *it < n) ++it;
    if (it != HeldIds().end() && *it == n) continue;
    if (ISMENU(UINT_PTR(n))) continue;
    return n;
  }
}

}  // namespace

UINT TMenuItem::nInitId() { return NextFreeId(); }
void TMenuItem::nInitId(UINT nFrom) { g_firstId = nFrom; }
size_t TMenuItem::nIdsHeld() { return HeldIds().size(); }

void TMenuItem::AllocateId() {
  nId = NextFreeId();
  HeldIds().insert(nId);
  lIdHeld_ = true;
}

void TMenuItem::TakeId(UINT nNewId) {
  // Another live item's number stays that item's.
  if (nNewId == nId || !nNewId || HeldIds().count(nNewId)) return;
  if (lIdHeld_) HeldIds().erase(nId);
  nId = nNewId;
  HeldIds().insert(nId);
  lIdHeld_ = true;
}

void TMenuItem::LoadBitmaps(const std::string& cBmpFile, const std::string& cResName) {
  // A missing file is skipped; a resource replaces the file's picture.
  if (!cBmpFile.empty() && GetFileAttributesA(cBmpFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (HBITMAP h = READBITMAP(nullptr, cBmpFile)) {
      if (hBitmap) DELETEOBJECT(hBitmap);
      hBitmap = h;
    }
  }
  if (!cResName.empty()) {
    if (HBITMAP h = LOADBITMAP(GetModuleHandleA(nullptr), cResName.c_str())) {
      if (hBitmap) DELETEOBJECT(hBitmap);
      hBitmap = h;
    }
  }
}

TMenuItemPtr TMenuItem::New(const TMenuItemParams& p) {
  auto item = std::make_shared<TMenuItem>();
  item->cPrompt = p.cPrompt;
  item->cMsg = p.cMsg;
  item->lChecked = p.lChecked;
  item->lActive = p.lActive;
  item->bAction = p.bBlock ? p.bBlock : p.bAction;
  item->lHelp = p.lHelp;
  item->nHelpId = p.nHelpId;
  item->bWhen = p.bWhen;
  item->lBreak = p.lBreak;
  item->hBitmap = nullptr;
  item->AllocateId();
  item->cVarName = "oMItem" + std::to_string(item->nId);
  item->LoadBitmaps(p.cBmpFile, p.cResName);
  if (p.nVirtKey) {
    item->nVKState = p.nVKState;
    item->nVirtKey = p.nVirtKey;
  }
  return item;
}

TMenuItemPtr TMenuItem::ReDefine(const TMenuItemRedefine& p) {
  TMenuPtr menu = p.oMenu;
  TMenuItemPtr held = menu ? menu->GetMenuItem(p.nId) : nullptr;
  TMenuItemPtr item = held ? held : std::make_shared<TMenuItem>();
  if (!held) {
    item->nId = p.nId;
    item->oMenu = menu;
  }
  HMENU hMenu = menu ? menu->hMenu : nullptr;
  if (p.lChecked && *p.lChecked != item->lChecked) {
    item->lChecked = *p.lChecked;
    CHECKMENUITEM(hMenu, UINT(item->CommandId()), item->lChecked ? MF_CHECKED : MF_UNCHECKED);
  }
  if (p.lActive && *p.lActive != item->lActive) {
    item->lActive = *p.lActive;
    ENABLEMENUITEM(hMenu, UINT(item->CommandId()), item->lActive ? MF_ENABLED : MF_DISABLED | MF_GRAYED);
  }
  if (p.cMsg) item->cMsg = *p.cMsg;
  if (p.nHelpId) item->nHelpId = *p.nHelpId;
  if (p.bWhen) item->bWhen = p.bWhen;
  if (p.bBlock) item->bAction = p.bBlock;
  else if (p.bAction) item->bAction = p.bAction;
  item->LoadBitmaps(p.cBmpFile, p.cResName);
  if (p.cPrompt && !p.cPrompt->empty()) item->SetPrompt(*p.cPrompt);
  if (p.nVirtKey && menu) {
    item->nVKState = p.nVKState;
    item->nVirtKey = p.nVirtKey;
    if (!menu->oAccTable) menu->oAccTable = TAccTable::New();
    menu->oAccTable->Add(p.nVirtKey, p.nVKState, UINT(item->nId));
  }
  return item;
}

TMenuItem::~TMenuItem() {
  // An item dropped without End still frees its id and bitmap.
  End();
}

UINT_PTR TMenuItem::CommandId() const {
  if (const TMenuPtr& sub = bAction.Menu()) return reinterpret_cast<UINT_PTR>(sub->hMenu);
  return nId;
}

void TMenuItem::SetCheck(bool lOnOff) {
  lChecked = lOnOff;
  if (TMenuPtr menu = Menu()) CHECKMENUITEM(menu->hMenu, UINT(CommandId()), lOnOff ? MF_CHECKED : MF_UNCHECKED);
}

void TMenuItem::Enable() {
  lActive = true;
  if (TMenuPtr menu = Menu()) ENABLEMENUITEM(menu->hMenu, UINT(CommandId()), MF_ENABLED);
  if (TMenuPtr sub = SubMenu()) sub->Enable();
}

void TMenuItem::Disable() {
  lActive = false;
  if (TMenuPtr menu = Menu()) ENABLEMENUITEM(menu->hMenu, UINT(CommandId()), MF_DISABLED | MF_GRAYED);
  if (TMenuPtr sub = SubMenu()) sub->Disable();
}

void TMenuItem::SetPrompt(const std::string& cText) {
  cPrompt = cText;
  TMenuPtr menu = Menu();
  if (!menu) return;
  UINT flags;
  UINT_PTR id;
  if (TMenuPtr sub = SubMenu()) {
    flags = MF_POPUP;
    id = reinterpret_cast<UINT_PTR>(sub->hMenu);
  } else {
    flags = (lActive ? 0 : MF_DISABLED | MF_GRAYED) | (lChecked ? MF_CHECKED : 0) | (lHelp ? MF_HELP : 0) |
            (lBreak ? MF_MENUBREAK : 0);
    id = nId;
  }
  MODIFYMENU(menu->hMenu, UINT(CommandId()), flags, id, cPrompt);
  if (TWindowPtr wnd = menu->Window()) DRAWMENUBAR(wnd->hWnd);
}

void TMenuItem::Destroy() {
  TMenuItemPtr keep = Self();
  if (TMenuPtr menu = Menu()) {
    // Out of the platform menu first: the sub-menu's handle dies next.
    REMOVEMENU(menu->hMenu, UINT(CommandId()), MF_BYCOMMAND);
    auto& items = menu->aMenuItems;
    for (auto it = items.begin(); it != items.end(); ++it) {
      if (it->get() == this) {
        items.erase(it);
        break;
      }
    }
  }
  if (TMenuPtr sub = SubMenu()) sub->End();
}

void TMenuItem::End() {
  if (hBitmap) DELETEOBJECT(std::exchange(hBitmap, nullptr));
  if (lIdHeld_) {
    HeldIds().erase(nId);
    lIdHeld_ = false;
  }
}

void TMenuItem::HelpTopic() {
  TMenuPtr menu = Menu();
  if (nHelpId == 0 && menu) menu->HelpTopic();
  else if (TWindowPtr wnd = menu ? menu->Window() : nullptr) wnd->HelpTopic();
}

void TMenuItem::Run(const TWindowPtr& oWnd) {
  TMenuItemPtr keep = Self();
  if (bAction.IsBlock()) bAction.Eval(*this);
  else if (!bAction && OnClick) OnClick(oWnd, *this);
}

std::string TMenuItem::Property(int n) {
  return n >= 1 && n <= PropCount() ? aProperties()[size_t(n - 1)] : std::string();
}

std::string TMenuItem::Event(int n) { return n >= 1 && n <= EveCount() ? aEvents()[size_t(n - 1)].first : std::string(); }

}  // namespace nx
