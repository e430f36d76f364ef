#include "native/lbx.h"

#include "native/draw.h"

namespace nx {

bool LBXDRAWITEM(const DRAWITEMSTRUCT* p, const std::vector<HBITMAP>& aBitmaps, const std::vector<std::string>& aItems,
                 int nBmpWidth, const BmpIndexHook& bDrawItem) {
  if (!p) return false;
  HDC dc = p->hDC;
  RECT r = p->rcItem;
  bool focused = p->itemState & ODS_FOCUS;
  if (int(p->itemID) < 0) {  // an empty list: only where the focus is
    if (focused) DrawFocusRect(dc, &r);
    return true;
  }
  if (p->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
    bool selected = p->itemState & ODS_SELECTED;
    COLORREF oldText = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    COLORREF oldBack = SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    int n = int(p->itemID) + 1;
    std::string text = n <= int(aItems.size()) ? aItems[size_t(n - 1)] : std::string();
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    int y = r.top + (r.bottom - r.top - tm.tmHeight) / 2;
    ExtTextOutA(dc, r.left + nBmpWidth + 3, y, ETO_OPAQUE, &r, text.data(), UINT(text.size()), nullptr);
    int index = bDrawItem ? bDrawItem(n) : n;
    if (index >= 1 && index <= int(aBitmaps.size()) && aBitmaps[size_t(index - 1)]) {
      HBITMAP bmp = aBitmaps[size_t(index - 1)];
      int top = r.top + (r.bottom - r.top - NBMPHEIGHT(bmp)) / 2;
      DRAWMASKED(dc, bmp, top > r.top ? top : r.top, r.left + 1);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    if (focused) DrawFocusRect(dc, &r);
  } else if (p->itemAction & ODA_FOCUS) {
    DrawFocusRect(dc, &r);
  }
  return true;
}

void LBXMEASURE(MEASUREITEMSTRUCT* pMeasure, int nHeight) {
  if (pMeasure && nHeight > 0) pMeasure->itemHeight = UINT(nHeight);
}

std::string LBXGETITEM(HWND hWnd, int n) {
  if (!hWnd || n < 1) return {};
  LRESULT len = SendMessageA(hWnd, LB_GETTEXTLEN, WPARAM(n - 1), 0);
  if (len == LB_ERR || len <= 0) return {};
  std::string text(size_t(len) + 1, '\0');
  LRESULT got = SendMessageA(hWnd, LB_GETTEXT, WPARAM(n - 1), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : size_t(got));
  return text;
}

std::vector<int> LBXGETSELITEMS(HWND hWnd) {
  std::vector<int> out;
  if (!hWnd) return out;
  LRESULT count = SendMessageA(hWnd, LB_GETSELCOUNT, 0, 0);
  if (count == LB_ERR || count <= 0) return out;
  std::vector<int> items(size_t(count), 0);
  LRESULT got = SendMessageA(hWnd, LB_GETSELITEMS, WPARAM(count), reinterpret_cast<LPARAM>(items.data()));
  if (got == LB_ERR) return out;
  for (LRESULT i = 0; i < got; ++i) out.push_back(items[size_t(i)] + 1);
  return out;
}

}  // namespace nx
