// Natives of the tab control ("SysTabControl32") under the tabbed folder:
// thin calls of the platform control. Tab indexes are 0-based, as the
// control counts them; a missing window or a refused request answers -1,
// false or an empty rectangle.
#pragma once

#include <windows.h>

#include <string>

namespace nx {

// Inserts a tab with cText before nIndex; answers its index or -1.
int TABINSERTITEM(HWND hWnd, int nIndex, const std::string& cText);
bool TABDELETEITEM(HWND hWnd, int nIndex);
bool TABDELETEALLITEMS(HWND hWnd);
bool TABSETITEMTEXT(HWND hWnd, int nIndex, const std::string& cText);
int TABGETITEMCOUNT(HWND hWnd);
// The tab under a point of the control's client area, or -1.
int TABHITTEST(HWND hWnd, int nRow, int nCol);
int TABGETCURSEL(HWND hWnd);
// Selects a tab without the selection notifications; answers the previous one.
int TABSETCURSEL(HWND hWnd, int nIndex);
// The display area (where a page goes) in the control's client coordinates.
RECT TABADJUSTRECT(HWND hWnd);
int TABGETROWCOUNT(HWND hWnd);

// Processes pending events until nSeconds have passed.
void SYSWAIT(double nSeconds = 0.1);

}  // namespace nx
