// What a window does with the menu messages it receives: commands, the
// owner-drawn items' measuring and painting, opening, highlighting and
// mnemonics.
#include <algorithm>

#include "classes/menu.h"
#include "native/draw.h"
#include "native/menu.h"
#include "rt/strings.h"

namespace nx {

namespace {

// The menus a window's menu messages may concern, searched in this order:
// the pop-up being shown, the system menu, the bar.
TMenuItemPtr FindItem(const TWindow& w, UINT_PTR nId) {
  for (const TMenuPtr& menu : {w.oPopup, w.oSysMenu, w.oMenu})
    if (menu)
      if (TMenuItemPtr item = menu->GetMenuItem(nId)) return item;
  return nullptr;
}

int MeasuredWidth(const std::string& cPrompt, bool lInBar) {
  if (cPrompt.empty()) return 0;
  return int(0.9 * GETTEXTWIDTH(nullptr, WithoutHotMark(cPrompt))) + (lInBar ? 0 : 100);
}

char Upper(int c) {
  return char(LOWORD(reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<LPSTR>(UINT_PTR(BYTE(c)))))));
}

}  // namespace

bool MenuCommand(TWindow& w, UINT nId, bool lFromMenu) {
  TWindowPtr keep = w.Self();
  // The pop-up being shown takes what it knows; the bar takes what comes
  // from a menu or an accelerator.
  if (TMenuPtr popup = w.oPopup; popup && popup->GetMenuItem(nId)) {
    popup->Command(nId);
    return true;
  }
  if (lFromMenu && w.oMenu) {
    TMenuPtr bar = w.oMenu;
    bar->Command(nId);
    return true;
  }
  return false;
}

bool MenuSysCommand(TWindow& w, WPARAM nWParam) {
  if (!w.oSysMenu || nWParam >= 0xF000) return false;
  TWindowPtr keep = w.Self();
  TMenuPtr sys = w.oSysMenu;
  sys->Command(nWParam);
  return true;
}

Value MenuDrawItem(TWindow& w, DRAWITEMSTRUCT* p) {
  if (!ISMENUITEM(p)) return Value();
  HMENU bar = w.oMenu ? w.oMenu->hMenu : nullptr;
  if (TMenuItemPtr item = FindItem(w, p->itemID)) {
    TMenuPtr menu = item->Menu();
    if (menu && menu->l2007) return Value(MENUDRAW2007(p, item->cPrompt, bar, item->hBitmap, w.hWnd));
    return Value(MENUDRAWITEM(p, item->cPrompt, bar, item->hBitmap, w.hWnd));
  }
  // An item the 2007 look made owner-drawn without an object of its own.
  return Value(MENUDRAW2007(p, ISSEPARATOR(p) ? std::string() : MISTEXT(p), bar, nullptr, w.hWnd));
}

Value MenuMeasureItem(TWindow& w, MEASUREITEMSTRUCT* p) {
  if (!p || p->CtlType != ODT_MENU) return Value(false);
  if (TMenuItemPtr item = FindItem(w, p->itemID)) {
    const bool inBar = w.oMenu && item->Menu() == w.oMenu;
    MENUMEASUREITEM(p, MeasuredWidth(item->cPrompt, inBar), item->cPrompt.empty() && !item->hBitmap);
  } else {
    const bool inBar = w.oMenu && reinterpret_cast<HMENU>(p->itemData) == w.oMenu->hMenu;
    MENUMEASUREITEM(p, MeasuredWidth(MISTEXT(p), inBar), ISMISEPARATOR(p));
  }
  return Value(false);
}

void MenuInitPopup(TWindow& w, HMENU hMenu, bool lSysMenu) {
  TWindowPtr keep = w.Self();
  if (lSysMenu) {
    if (TMenuPtr sys = w.oSysMenu) sys->Initiate();
    return;
  }
  TMenuPtr menu = w.oPopup ? w.oPopup : w.oMenu;
  if (!menu) return;
  menu->Initiate();
  if (menu->hMenu == hMenu) return;
  TMenuPtr sub = menu->GetSubMenu(hMenu);
  if (!sub) sub = TMenu::GetPopup(hMenu);
  if (sub) sub->Initiate();
}

TMenuItemPtr MenuSelectItem(TWindow& w, int nIdItem, int nFlags, HMENU hMenu) {
  if (nFlags == -1 && !hMenu) return nullptr;
  // A sub-menu's title is reported by its position in the menu.
  const UINT_PTR id = (nFlags & MF_POPUP) ? reinterpret_cast<UINT_PTR>(GETSUBMENU(hMenu, nIdItem)) : UINT_PTR(nIdItem);
  TMenuPtr menu = w.oPopup ? w.oPopup : w.oMenu;
  if ((nFlags & MF_SYSMENU) && w.oSysMenu) menu = w.oSysMenu;
  return menu ? menu->GetMenuItem(id) : nullptr;
}

Value MenuCharSearch(TWindow& w, int nChar, HMENU hMenu) {
  TMenuPtr menu = w.oPopup ? w.oPopup : w.oMenu;
  if (!menu) return Value();
  if (menu->hMenu != hMenu) menu = menu->GetSubMenu(hMenu);
  if (!menu) return Value();  // not ours: the system's answer
  const char typed = Upper(nChar);
  const auto& items = menu->aMenuItems;
  for (size_t i = 0; i < items.size(); ++i) {
    const char m = items[i] ? HotKeyOf(items[i]->cPrompt) : 0;
    if (m && Upper(BYTE(m)) == typed) return Value(int64_t(MAKELONG(WORD(i), MNC_EXECUTE)));
  }
  return Value(0);
}

void AttachMenu(TWindow& w, const TMenuPtr& oMenu) {
  if (!oMenu) {
    if (w.hWnd) SETMENU(w.hWnd, nullptr);
    return;
  }
  oMenu->oWnd = w.Self();
  if (w.hWnd) SETMENU(w.hWnd, oMenu->hMenu);
  if (oMenu->oAccTable) oMenu->oAccTable->Activate();
}

void ReleaseMenus(TWindow& w) {
  if (TMenuPtr bar = std::exchange(w.oMenu, nullptr)) bar->End();
  if (TMenuPtr sys = std::exchange(w.oSysMenu, nullptr)) sys->End();
}

}  // namespace nx
