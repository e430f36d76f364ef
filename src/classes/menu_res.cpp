// Menus from the program's menu resources: the loaded menu (or its copy in a
// pop-up handle) mirrored by objects that take no command ids of their own.
#include "classes/menu.h"
#include "native/menu.h"
#include "rt/error.h"

namespace nx {

namespace {

// Copies every item of hFrom into hTo, sub-menus into new pop-up handles.
void Clone(HMENU hFrom, HMENU hTo) {
  const int n = GETMITEMCOUNT(hFrom);
  for (int i = 0; i < n; ++i) {
    const UINT state = GETMENUSTATE(hFrom, UINT(i), MF_BYPOSITION);
    const std::string text = GETMENUSTRING(hFrom, UINT(i), MF_BYPOSITION);
    if (HMENU sub = GETSUBMENU(hFrom, i)) {
      HMENU copy = CREATEPOPUPMENU();
      Clone(sub, copy);
      APPENDMENU(hTo, (state & 0xFF) | MF_POPUP, reinterpret_cast<UINT_PTR>(copy), text);
    } else if (state & MF_SEPARATOR) {
      APPENDMENU(hTo, MF_SEPARATOR, GETMITEMID(hFrom, i), std::string());
    } else {
      APPENDMENU(hTo, state & 0xFF, GETMITEMID(hFrom, i), text);
    }
  }
}

// Objects for every item of the menu's handle, sub-menus included.
void Rebuild(const TMenuPtr& menu) {
  const int n = GETMITEMCOUNT(menu->hMenu);
  for (int i = 0; i < n; ++i) {
    auto item = std::make_shared<TMenuItem>();
    const UINT state = GETMENUSTATE(menu->hMenu, UINT(i), MF_BYPOSITION);
    const UINT id = GETMITEMID(menu->hMenu, i);
    item->nId = id == UINT(-1) ? 0 : id;
    item->cPrompt = GETMENUSTRING(menu->hMenu, UINT(i), MF_BYPOSITION);
    item->lChecked = state & MF_CHECKED;
    item->lActive = !(state & (MF_DISABLED | MF_GRAYED));
    item->lBreak = state & MF_MENUBREAK;
    item->oMenu = menu;
    if (HMENU h = GETSUBMENU(menu->hMenu, i)) {
      auto sub = std::make_shared<TMenu>();
      sub->hMenu = h;
      item->bAction = sub;
      Rebuild(sub);
    }
    menu->aMenuItems.push_back(item);
  }
}

TMenuPtr FromResource(HMENU hLoaded, const std::string& cName, bool lPopup) {
  TMenuPtr menu = TMenu::New(lPopup);
  if (!hLoaded) {
    RaiseError(ErrorNew("Novaxis", EG_OPEN, 0, "Menu resource not found: " + cName, "TMENU:REDEFINE"));
    return menu;
  }
  if (lPopup) {
    // Tracked menus want a pop-up handle.
    Clone(hLoaded, menu->hMenu);
    DESTROYMENU(hLoaded);
  } else {
    DESTROYMENU(menu->hMenu);
    menu->hMenu = hLoaded;
  }
  Rebuild(menu);
  return menu;
}

}  // namespace

TMenuPtr TMenu::ReDefine(const std::string& cResName, bool lPopup) {
  return FromResource(LOADMENU(nullptr, cResName.c_str()), cResName, lPopup);
}

TMenuPtr TMenu::ReDefine(int nResId, bool lPopup) {
  return FromResource(LOADMENU(nullptr, nResId), "#" + std::to_string(nResId), lPopup);
}

}  // namespace nx
