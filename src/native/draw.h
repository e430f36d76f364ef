// Native drawing layer: boxes and frames, fills and gradients, lines, text,
// bitmaps, icons, device-independent bitmaps and palettes, off-screen
// painting, visual styles, and the resource register that finds leaks.
//
// Every function restores what it selects into a device context and deletes
// what it creates, on every path; failure is a 0 handle, false or nothing
// drawn. None throws.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// wingdi.h names an obsolete printer escape EXTTEXTOUT (512); the native of
// that name is the library's.
#ifdef EXTTEXTOUT
#undef EXTTEXTOUT
#endif

namespace nx {

// A rectangle in the library's order; box functions treat right and bottom
// as inside, FILLRECT/INVERTRECT/text pass it on to GDI, which leaves them out.
struct ARect {
  int nTop = 0;
  int nLeft = 0;
  int nBottom = 0;
  int nRight = 0;
  RECT ToRECT() const { return RECT{nLeft, nTop, nRight, nBottom}; }
  static ARect From(const RECT& r) { return ARect{r.top, r.left, r.bottom, r.right}; }
  friend bool operator==(const ARect&, const ARect&) = default;
};

// ---- Resource register ------------------------------------------------------
// Off unless switched on. While on, the creating natives record each handle
// with a kind word ("FONT", "BRUSH", "PEN", "BMP", "PAL", "CUR", "DIB"), and
// the temporaries of every native ("TMP", "TMPDC"); DELETEOBJECT,
// DESTROYCURSOR, DIBFREE and the natives' own clean-up clear them.
void RESREGISTER(bool lOn);  // on: deletes an old "res.log"; off: forgets all entries
bool RESREGISTERED();
void RESADD(HANDLE hObject, const char* cKind);
void RESDEL(HANDLE hObject);
size_t RESCOUNT();                  // entries left
size_t RESCOUNT(std::string_view cKind);
// Writes what is left to "res.log" (one "KIND handle" line each, CR LF);
// answers the number of entries written.
size_t RESREPORT(const char* cFile = "res.log");

// ---- Boxes and frames -------------------------------------------------------
void WNDBOX(HDC hDC, int nTop, int nLeft, int nBottom, int nRight);
void WNDBOX2007(HDC hDC, int nTop, int nLeft, int nBottom, int nRight, COLORREF nRGB);
void WNDBOXRAISED(HDC hDC, int nTop, int nLeft, int nBottom, int nRight);
void WNDBOXIN(HDC hDC, int nTop, int nLeft, int nBottom, int nRight);
void WNDRAISED(HWND hWnd, HDC hDC = nullptr);
void FRAMEDOT(HDC hDC, int nTop, int nLeft, int nBottom, int nRight);
void ROUNDBOX(HDC hDC, int nLeft, int nTop, int nRight, int nBottom, int nEllipseWidth, int nEllipseHeight,
              COLORREF nRGB, int nPenWidth = 1);
bool RECTANGLE(HDC hDC, int nTop, int nLeft, int nBottom, int nRight, HPEN hPen = nullptr);
bool ELLIPSE(HDC hDC, int nLeft, int nTop, int nRight, int nBottom, HPEN hPen = nullptr);
void DRAWFOCUSRECT(HDC hDC, int nTop, int nLeft, int nBottom, int nRight);
void BTNDISABLE(HWND hWnd, HDC hDC);

// ---- Fills, gradients, pixels -----------------------------------------------
void FILLRECT(HDC hDC, const ARect& aRect, HBRUSH hBrush);
void INVERTRECT(HDC hDC, const ARect& aRect);
void GRADIENT(HDC hDC, const ARect& aRect, COLORREF nClrFrom, COLORREF nClrTo, bool lVertical);
bool FLOODFILL(HDC hDC, int nX, int nY, COLORREF nClrBorder, std::optional<COLORREF> nClrFill = std::nullopt);
COLORREF SETPIXEL(HDC hDC, int nX, int nY, COLORREF nRGB);
bool SETBRUSHORGEX(HDC hDC, int nX, int nY);
void PARENTIMAGE(HWND hWnd, HDC hDC);

// One stop of a multi-stop gradient: a share of the whole height (or width).
struct GradStop {
  double nFraction = 1.0;
  COLORREF nClrFrom = 0;
  COLORREF nClrTo = 0;
};
void GradientFill(HDC hDC, int nTop, int nLeft, int nBottom, int nRight, const std::vector<GradStop>& aGrad,
                  bool lVertical = true);

// ---- Lines ------------------------------------------------------------------
bool MOVETO(HDC hDC, int nX, int nY);
bool LINETO(HDC hDC, int nX, int nY, HPEN hPen = nullptr);

// ---- Text -------------------------------------------------------------------
constexpr UINT kDrawTextDefault = DT_SINGLELINE | DT_NOCLIP;  // 288
bool TEXTOUT(HDC hDC, int nRow, int nCol, std::string_view cText);
bool EXTTEXTOUT(HDC hDC, int nRow, int nCol, const ARect& aRect, std::string_view cText,
                UINT nOptions = ETO_OPAQUE | ETO_CLIPPED);
// Without aRect the rectangle is top 0, left 0, bottom 14, right 0.
int DRAWTEXT(HDC hDC, std::string_view cText, std::optional<ARect> aRect = std::nullopt,
             UINT nFlags = kDrawTextDefault);
int DRAWTEXTEX(HDC hDC, std::string_view cText, std::optional<ARect> aRect = std::nullopt,
               UINT nFlags = kDrawTextDefault);
void WSAY(HWND hWnd, HDC hDC, int nRow, int nCol, std::string_view cText, COLORREF nClrFore = 0,
          COLORREF nClrBack = RGB(255, 255, 255), HFONT hFont = nullptr, bool lPixels = false,
          bool lTransparent = false, UINT nAlign = 0);
void WSAYRECT(HWND hWnd, HDC hDC, int nRow, int nCol, std::string_view cText, COLORREF nClrFore, COLORREF nClrBack,
              int nWidth);
int GETTEXTWIDTH(HDC hDC, std::string_view cText, HFONT hFont = nullptr);
int GETTEXTHEIGHT(HWND hWnd, HDC hDC = nullptr);
UINT SETTEXTALIGN(HDC hDC, UINT nAlign);

// ---- Geometry, colours, modes -------------------------------------------------
ARect GETCLIENTRECT(HWND hWnd);  // { 0, 0, height, width }
ARect GETWNDRECT(HWND hWnd);     // screen coordinates
ARect GETCOORS(HWND hWnd);       // client coordinates of the parent
int GETSYSMETRICS(int nIndex);
std::string ANSITOOEM(std::string_view cText);
std::string OEMTOANSI(std::string_view cText);
COLORREF SETTEXTCOLOR(HDC hDC, COLORREF nRGB);
COLORREF SETBKCOLOR(HDC hDC, COLORREF nRGB);
int SETBKMODE(HDC hDC, int nMode);
COLORREF GETTEXTCOLOR(HDC hDC);
COLORREF GETBKCOLOR(HDC hDC);
COLORREF GETSYSCOLOR(int nIndex);

// ---- Bitmaps and icons --------------------------------------------------------
void DRAWBITMAP(HDC hDC, HBITMAP hBitmap, int nRow, int nCol, int nWidth = 0, int nHeight = 0, DWORD nRop = 0);
void DRAWMASKED(HDC hDC, HBITMAP hBitmap, int nRow, int nCol);
void TRANSBMP(HBITMAP hBitmap, int nBmpWidth, int nBmpHeight, COLORREF nClrTransparent, HDC hDC, int nX, int nY,
              int nWidth, int nHeight);
void PALBMPDRAW(HDC hDC, int nRow, int nCol, HBITMAP hBitmap, HPALETTE hPalette = nullptr, int nWidth = 0,
                int nHeight = 0, DWORD nRop = 0, bool lTransparent = false,
                std::optional<COLORREF> nClrBack = std::nullopt);
HBITMAP RESIZEBMP(HBITMAP hBitmap, int nWidth, int nHeight);
int NBMPWIDTH(HBITMAP hBitmap);
int NBMPHEIGHT(HBITMAP hBitmap);
HBITMAP LOADBITMAP(HINSTANCE hInstance, const char* cName);
HBITMAP LOADBITMAP(HINSTANCE hInstance, int nId);
HBITMAP READBITMAP(HDC hDC, const std::string& cFile);
// A bitmap from a BMP file image (or a packed DIB) held in memory; 0 when
// the bytes are not a sound bitmap. Registered as "BMP".
HBITMAP CREATEMEMBITMAP(HDC hDC, std::string_view cImage);
HBITMAP WNDBITMAP(HWND hWnd);
// Icon nIndex of an executable, or the icon of an icon file (index 0), the
// image that fits the system icon size. Registered as "ICO" (DESTROYICON).
HICON EXTRACTICON(const std::string& cFile, int nIndex = 0);
bool DRAWICON(HDC hDC, int nRow, int nCol, HICON hIcon);
bool DRAWICONFOCUS(HDC hDC, int nRow, int nCol, HICON hIcon);

// ---- Device-independent bitmaps and palettes -------------------------------------
struct PalBmp {
  HBITMAP hBitmap = nullptr;
  HPALETTE hPalette = nullptr;
};
// DIB blocks are movable global memory holding header, colour table and
// bits; the layer keeps a list of those it made and DIBFREE releases one.
HGLOBAL DIBREAD(const std::string& cFile);
bool DIBFREE(HGLOBAL hDib);
size_t DIBCOUNT();  // blocks made and not yet freed
bool DIBDRAW(HDC hDC, HGLOBAL hDib, HPALETTE hPalette, int nRow, int nCol, int nWidth = 0, int nHeight = 0,
             DWORD nRop = 0);
HPALETTE DIBPALETTE(HGLOBAL hDib);
PalBmp PALBMPREAD(HDC hDC, const std::string& cFile);
HGLOBAL DIBFROMBITMAP(HBITMAP hBitmap, HPALETTE hPalette = nullptr);
bool DIBWRITE(const std::string& cFile, HGLOBAL hDib);
std::string BMPTOSTR(HBITMAP hBitmap);
void PALBMPNEW(HWND hWnd, HBITMAP hBitmap, HPALETTE hPalette);
HPALETTE PALBMPCURRENT();  // the application palette set by PALBMPNEW
void PALBMPFORGET(HBITMAP hBitmap);  // drops the bitmap's table entry
bool HASALPHA(HBITMAP hBitmap, HPALETTE hPalette = nullptr);
// nWidth x nHeight (when both are given) blends the bitmap stretched.
void ABPAINT(HDC hDC, int nX, int nY, HBITMAP hBitmap, int nAlpha = 220, int nWidth = 0, int nHeight = 0);
PalBmp PALBMPLOAD(const char* cName);
PalBmp PALBMPLOAD(int nId);
void PalBmpFree(HBITMAP hBitmap, HPALETTE hPalette);

// ---- Off-screen painting ------------------------------------------------------
struct DispInfo {
  HWND hWnd = nullptr;
  HDC hDC = nullptr;
  HDC hMemDC = nullptr;
  HBITMAP hBitmap = nullptr;
  HBITMAP hOldBitmap = nullptr;
};
// Paint into hMemDC between the two; the window must keep its size.
DispInfo NXDISPBEGIN(HWND hWnd, HDC hDC);
HDC NXDISPEND(const DispInfo& aInfo);
// Frees a buffer without copying it (a paint abandoned midway).
HDC NXDISPDISCARD(const DispInfo& aInfo);

// ---- Visual styles --------------------------------------------------------------
bool ISAPPTHEMED();
bool ISTHEMEACTIVE();
// The visual style's rebar gripper over rc; false when there is no style.
bool DRAWGRIPPER(HWND hWnd, HDC hDC, const RECT& rc, bool lVertical);
void DRAWHEADER(HWND hWnd, HDC hDC, int nTop, int nLeft, int nBottom, int nRight, std::string_view cText,
                bool lHot = false);
// A row of header items, each drawn as DRAWHEADER draws it, with one theme
// for the row. In an off-screen picture an item of the size, state and
// underlying pixels of one drawn before is copied from it (the visual
// style's drawing is slow under Wine). What it makes is gone with it.
class HeaderRow {
 public:
  HeaderRow(HWND hWnd, HDC hDC);
  ~HeaderRow();
  HeaderRow(const HeaderRow&) = delete;
  HeaderRow& operator=(const HeaderRow&) = delete;
  void Item(int nTop, int nLeft, int nBottom, int nRight, std::string_view cText, bool lHot = false);

 private:
  struct Scratch {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    const uint32_t* bits = nullptr;  // 32-bit DIB section only
    int w = 0, h = 0;
    void Size(HDC like, int w, int h, bool dib);
    void Drop();
  };
  HDC hDC_;
  HANDLE theme_ = nullptr;
  Scratch under_, drawn_;          // the pixels under the item; the item drawn
  std::vector<uint32_t> seen_;     // the pixels under the item in drawn_
  int state_ = 0;
};
int DRAWPBACK(HWND hWnd, HDC hDC);
HBRUSH DRAWTHEMED(HWND hWnd, HDC hDC);
// The manifest rule behind ISAPPTHEMED, uncached: a manifest resource (type
// 24, id 1) in hModule, or a file cProgram + ".Manifest"; and the style
// library answering that the application is themed.
bool AppThemedRule(HMODULE hModule, const std::string& cProgram);

// XOR frame for moving or sizing a control with the mouse; a second equal
// call erases it. nMode 0 moves by the offsets, 1..8 drag an edge or corner.
void CTRLDRAWFOCUS(HWND hWnd, int nRowOff, int nColOff, int nMRow, int nMCol, int nMode = 0);

}  // namespace nx
