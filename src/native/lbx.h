// Natives of the list and combo boxes: owner-drawn items with a bitmap each,
// the item height, and reading items and selections back from a list box.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace nx {

// The bitmap index (1-based) of an item, given the item's 1-based number.
using BmpIndexHook = std::function<int(int nItem)>;

// Draws one owner-drawn item: the text at nBmpWidth + 3 past the item's left
// edge, vertically centred, then the item's bitmap at the left; selected items
// in the system highlight colours; the focus rectangle when focused. Answers true.
bool LBXDRAWITEM(const DRAWITEMSTRUCT* pDrawItem, const std::vector<HBITMAP>& aBitmaps,
                 const std::vector<std::string>& aItems, int nBmpWidth, const BmpIndexHook& bDrawItem = {});
// Sets the item height asked for by WM_MEASUREITEM.
void LBXMEASURE(MEASUREITEMSTRUCT* pMeasure, int nHeight);
// The text of item n (1-based) of a list box; empty when there is none.
std::string LBXGETITEM(HWND hWnd, int n);
// The 1-based positions of the selected items of a multiple-selection list box.
std::vector<int> LBXGETSELITEMS(HWND hWnd);

}  // namespace nx
