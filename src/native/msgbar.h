// Natives of the message bar and timers: the bar's text area, size grip and
// panels in the classic look, the 2007 background, window timers and the
// keyboard's toggle state. None throws; each restores what it selects and
// deletes what it creates.
#pragma once

#include <windows.h>

#include <string_view>

namespace nx {

// Wrap the platform calls: SETTIMER answers the timer's id (0 on failure),
// KILLTIMER whether a timer was stopped.
UINT_PTR SETTIMER(HWND hWnd, UINT_PTR nId, UINT nElapse, TIMERPROC pProc = nullptr);
bool KILLTIMER(HWND hWnd, UINT_PTR nId);

// True when the key is toggled on or held down.
bool GETKEYTOGGLE(int nVKey);
// Flips the key's toggle bit in this thread's keyboard state.
void KEYTOGGLE(int nVKey);

// The text and pane colours of a colour pair such as "W+/B" (letters W, N,
// B, G, R, BG, RB, GR; '+' for the bright variant). A missing half is black.
COLORREF NGETFORERGB(std::string_view cColorPair);
COLORREF NGETBACKRGB(std::string_view cColorPair);

// The message area: the text (cMsgDef when cMsg is empty) filling the
// client less 4 pixels, ending 11 pixels left of nItemsLeft when that is not
// 0. With lFrame also the raised frame and, with lInset, the sunken one.
void MSGPAINT(HWND hWnd, std::string_view cMsg, std::string_view cMsgDef, bool lFrame, bool lCentered,
              int nItemsLeft, COLORREF nClrText, COLORREF nClrPane, HFONT hFont, bool lInset, HDC hDC);
// The size grip in the bottom-right corner, unless the parent is maximized:
// the style's gripper with visual styles, else three embossed diagonals on
// the pane colour (CLR_INVALID: button face).
void MSGPAINT3L(HWND hWnd, COLORREF nClrPane, HDC hDC);
// A panel: the rectangle { top, left, bottom, right } filled with the pane
// colour (CLR_INVALID: light grey) and the text centred on it.
void DRAWMSGITEM(HDC hDC, std::string_view cMsg, const RECT& aRect, COLORREF nClrText, COLORREF nClrPane,
                 HFONT hFont);
// The 2007 background: 26 x 23 pixels, one colour per row, white at the top
// to light blue at the bottom. The caller owns it.
HBITMAP MSGBAR2007(HDC hDC);

}  // namespace nx
