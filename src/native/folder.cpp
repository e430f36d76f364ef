#include "native/folder.h"

#include <commctrl.h>

#include "native/dispatch.h"

namespace nx {

int TABINSERTITEM(HWND hWnd, int nIndex, const std::string& cText) {
  if (!hWnd) return -1;
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(cText.c_str());
  return int(SendMessageA(hWnd, TCM_INSERTITEMA, WPARAM(nIndex), reinterpret_cast<LPARAM>(&item)));
}

bool TABDELETEITEM(HWND hWnd, int nIndex) {
  return hWnd && SendMessageA(hWnd, TCM_DELETEITEM, WPARAM(nIndex), 0);
}

bool TABDELETEALLITEMS(HWND hWnd) { return hWnd && SendMessageA(hWnd, TCM_DELETEALLITEMS, 0, 0); }

bool TABSETITEMTEXT(HWND hWnd, int nIndex, const std::string& cText) {
  if (!hWnd) return false;
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(cText.c_str());
  return SendMessageA(hWnd, TCM_SETITEMA, WPARAM(nIndex), reinterpret_cast<LPARAM>(&item));
}

int TABGETITEMCOUNT(HWND hWnd) { return hWnd ? int(SendMessageA(hWnd, TCM_GETITEMCOUNT, 0, 0)) : 0; }

int TABHITTEST(HWND hWnd, int nRow, int nCol) {
  if (!hWnd) return -1;
  TCHITTESTINFO hit{};
  hit.pt = {nCol, nRow};
  return int(SendMessageA(hWnd, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

int TABGETCURSEL(HWND hWnd) { return hWnd ? int(SendMessageA(hWnd, TCM_GETCURSEL, 0, 0)) : -1; }

int TABSETCURSEL(HWND hWnd, int nIndex) {
  return hWnd ? int(SendMessageA(hWnd, TCM_SETCURSEL, WPARAM(nIndex), 0)) : -1;
}

RECT TABADJUSTRECT(HWND hWnd) {
  RECT r{};
  if (!hWnd) return r;
  GetClientRect(hWnd, &r);
  SendMessageA(hWnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

int TABGETROWCOUNT(HWND hWnd) { return hWnd ? int(SendMessageA(hWnd, TCM_GETROWCOUNT, 0, 0)) : 0; }

void SYSWAIT(double nSeconds) {
  const DWORD start = GetTickCount();
  const DWORD span = nSeconds > 0 ? DWORD(nSeconds * 1000) : 0;
  for (;;) {
    if (!SYSREFRESH()) return;  // the program is ending: the quit waits for its loop
    const DWORD gone = GetTickCount() - start;
    if (gone >= span) return;
    // Sleeps until the time is up or an event arrives, whichever is first.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, span - gone, QS_ALLINPUT);
  }
}

}  // namespace nx
