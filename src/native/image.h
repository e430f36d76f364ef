// Natives of the picture controls: the module named resources come from,
// icons from resources and files, bitmaps through the clipboard, the
// foreground palette of a bitmap window, and the meter's face.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace nx {

// The module the library loads named icons and bitmaps from: the program,
// unless SETRESOURCES named another (a resource library). SETRESOURCES
// answers the previous module; 0 goes back to the program.
HMODULE GETRESOURCES();
HMODULE SETRESOURCES(HMODULE hModule);

// An icon of the system icon size from the resources, a private copy that
// DESTROYICON frees; registered as "ICO". 0 when there is no such icon.
HICON LOADICON(HINSTANCE hInstance, const std::string& cName);
HICON LOADICON(HINSTANCE hInstance, int nId);
// Destroys an icon of the library and clears its register entry.
bool DESTROYICON(HICON hIcon);

// A copy of the bitmap on the clipboard (format CF_BITMAP), registered as
// "BMP"; 0 when there is none. The clipboard keeps its own.
HBITMAP BMPFROMCLIPBOARD(HWND hWnd);
// Puts a copy of the bitmap on the clipboard; the caller keeps hBitmap.
bool BMPTOCLIPBOARD(HWND hWnd, HBITMAP hBitmap);

// Selects and realises the palette in the foreground for the window.
void SETFOREBMP(HWND hWnd, HPALETTE hPalette);

// The meter's face over the client area of hWnd: the part done in nClrBar
// with the text in nClrBText, the rest in nClrPane with the text in
// nClrText, a box around. The text is the caption (up to a NUL) and a blank,
// then with lPercentage the percentage in four characters ("  7%", "100%").
// nPercent is kept to 0..100. Answers 0.
int METERPAINT(HWND hWnd, HDC hDC, double nActual, double nTotal, int nPercent, std::string_view cText,
               bool lPercentage, COLORREF nClrPane, COLORREF nClrText, COLORREF nClrBar, COLORREF nClrBText,
               HFONT hFont = nullptr);

}  // namespace nx
