// Menu natives: thin wrappers over the platform's menu calls, and the
// measuring and painting of owner-drawn menu items in the classic and the
// 2007 look. None throws; failure is 0, false or nothing drawn.
#pragma once

#include <windows.h>

#include <string>

namespace nx {

HMENU CREATEMENU();
HMENU CREATEPOPUPMENU();
bool DESTROYMENU(HMENU hMenu);
bool SETMENU(HWND hWnd, HMENU hMenu);
HMENU GETSYSTEMMENU(HWND hWnd, bool lRevert);
HMENU GETSUBMENU(HMENU hMenu, int nPos);  // 0 when the item opens none
int GETMITEMCOUNT(HMENU hMenu);
UINT GETMITEMID(HMENU hMenu, int nPos);
UINT GETMENUSTATE(HMENU hMenu, UINT nId, UINT nFlags);
std::string GETMENUSTRING(HMENU hMenu, UINT nId, UINT nFlags);  // at most 199 characters

// The item's data is its text; an owner-drawn item keeps no text (its object
// paints it) and carries the menu's handle as its item data instead.
bool APPENDMENU(HMENU hMenu, UINT nFlags, UINT_PTR nId, const std::string& cText);
bool APPENDMENU(HMENU hMenu, UINT nFlags, UINT_PTR nId, HBITMAP hBitmap);
bool INSERTMENU(HMENU hMenu, UINT nPos, UINT nFlags, UINT_PTR nId, const std::string& cText);
bool INSERTMENU(HMENU hMenu, UINT nPos, UINT nFlags, UINT_PTR nId, HBITMAP hBitmap);
bool MODIFYMENU(HMENU hMenu, UINT nPos, UINT nFlags, UINT_PTR nId, const std::string& cText);
bool MODIFYMENU(HMENU hMenu, UINT nPos, UINT nFlags, UINT_PTR nId, HBITMAP hBitmap);
bool REMOVEMENU(HMENU hMenu, UINT nPos, UINT nFlags);
int CHECKMENUITEM(HMENU hMenu, UINT nId, UINT nFlags);   // the previous state, -1 for no item
int ENABLEMENUITEM(HMENU hMenu, UINT nId, UINT nFlags);  // the previous state, -1 for no item
bool HILITEMENUITEM(HWND hWnd, HMENU hMenu, UINT nPos, UINT nFlags);
bool DRAWMENUBAR(HWND hWnd);
HMENU LOADMENU(HINSTANCE hInstance, const char* cName);
HMENU LOADMENU(HINSTANCE hInstance, int nId);
bool ISMENU(HMENU hMenu);
bool ISMENU(UINT_PTR nHandle);
// Modal until the menu closes; the choice arrives as a posted WM_COMMAND.
// nRow is the screen y, nCol the screen x.
bool TRACKPOPUP(HMENU hMenu, UINT nFlags, int nRow, int nCol, int nReserved, HWND hWnd);

// The platform's version name ("95", "98", "ME", "NT", "2000", "XP",
// "Vista", "7", "8", "8.1", "10") and whether it is of the NT family.
std::string CWINVERSION();
bool ISWINNT();

// ---- Owner-drawn items ------------------------------------------------------
UINT GETMEAITEM(const MEASUREITEMSTRUCT* p);
UINT GETDRAWITEM(const DRAWITEMSTRUCT* p);
HMENU GETDRAWMENU(const DRAWITEMSTRUCT* p);
bool ISMENUITEM(const DRAWITEMSTRUCT* p);
// Asked of the item itself in its menu, by command id.
bool ISSEPARATOR(const DRAWITEMSTRUCT* p);
std::string MISTEXT(const DRAWITEMSTRUCT* p);
// For a measure request: the item data is the menu's handle (false for 0).
bool ISMISEPARATOR(const MEASUREITEMSTRUCT* p);
std::string MISTEXT(const MEASUREITEMSTRUCT* p);
// Width as given; height 10 for a separator, else the menu-bar height.
void MENUMEASUREITEM(MEASUREITEMSTRUCT* p, int nWidth, bool lSeparator);
// Paint one item; a focus-only request paints nothing and answers false.
bool MENUDRAWITEM(const DRAWITEMSTRUCT* p, const std::string& cPrompt, HMENU hBarMenu, HBITMAP hBitmap, HWND hWnd);
bool MENUDRAW2007(const DRAWITEMSTRUCT* p, const std::string& cPrompt, HMENU hBarMenu, HBITMAP hBitmap, HWND hWnd);
// Makes every top-level item that is not yet owner-drawn owner-drawn, with
// the menu's handle as its item data; answers the item count.
int MITEMS2007(HMENU hMenu);

}  // namespace nx
