// Natives that create, query and delete fonts, brushes, pens and cursors,
// and the built-in cursors of the library.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "rt/value.h"

namespace nx {

// The 14 logical-font fields in platform order.
struct FontDesc {
  LONG nHeight = 0;
  LONG nWidth = 0;
  LONG nEscapement = 0;
  LONG nOrientation = 0;
  LONG nWeight = 0;
  bool lItalic = false;
  bool lUnderline = false;
  bool lStrikeOut = false;
  int nCharSet = 0;
  int nOutPrecision = 0;
  int nClipPrecision = 0;
  int nQuality = 0;
  int nPitchFamily = 0;
  std::string cFaceName;
};

struct FontInfo {
  int nHeight = 0;
  int nAveWidth = 0;
  bool lBold = false;  // weight exactly 700
  std::string cFaceName;
};

// Registered as "FONT".
HFONT CREATEFONT(const FontDesc& aDesc);
FontInfo GETFONTINFO(HFONT hFont);
// The font dialog owned by the active window. pColor adds the colour and
// effects choices and receives the colour; hDC adds that device's fonts;
// nFlags replaces all flags. Cancelled: no value.
std::optional<FontDesc> CHOOSEFONT(const std::optional<FontDesc>& aDesc = std::nullopt, COLORREF* pColor = nullptr,
                                   HDC hDC = nullptr, std::optional<DWORD> nFlags = std::nullopt);

// Registered as "BRUSH".
HBRUSH CREATESOLIDBRUSH(COLORREF nRGB);
HBRUSH CREATEHATCHBRUSH(int nHatchStyle, COLORREF nRGB);
HBRUSH CREATEPATTERNBRUSH(HBITMAP hBitmap);
// Built-in 8 x 8 patterns 1..4 (registered as "BMP"); 0 for any other n.
HBITMAP NXBRUSHES(int n);
// Registered as "PEN" so that the register also finds leaked pens.
HPEN CREATEPEN(int nStyle, int nWidth, COLORREF nRGB);

// false for 0 and for objects the platform no longer knows; clears the
// register entry in every case.
bool DELETEOBJECT(HGDIOBJ hObject);
HGDIOBJ GETSTOCKOBJECT(int n);
HGDIOBJ SELECTOBJECT(HDC hDC, HGDIOBJ hObject);
HDC GETDC(HWND hWnd);
int RELEASEDC(HWND hWnd, HDC hDC);
int GETDEVICECAPS(HDC hDC, int nIndex);

// r + g * 256 + b * 65536, each cut to 8 bits.
constexpr COLORREF NRGB(long r, long g, long b) {
  return static_cast<COLORREF>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16);
}
constexpr long NOR(std::initializer_list<long> aValues) {
  long n = 0;
  for (long v : aValues) n |= v;
  return n;
}

// ---- Cursors ------------------------------------------------------------------
HCURSOR LOADCURSOR(HINSTANCE hInstance, const char* cName);
HCURSOR LOADCURSOR(HINSTANCE hInstance, int nId);
bool DESTROYCURSOR(HCURSOR hCursor);
HCURSOR WSETCURSOR(HCURSOR hCursor);  // answers the previous cursor
HCURSOR CURSORARROW();
HCURSOR CURSORIBEAM();
void CURSORWAIT();
HCURSOR CURSORWE();
HCURSOR CURSORNS();
HCURSOR CURSORNO();
HCURSOR GETCURSORHAND();
HCURSOR CURSORHAND();
HCURSOR GETCURSORSTOP();
HCURSOR GETCURSORDRAG();
HCURSOR CURSORCATCH();  // answers the previous cursor
HCURSOR CURSOROPENHAND();

// The library's own 32 x 32 cursors, made at run time on first use and kept
// for the life of the process (never destroyed by the classes).
enum class BuiltinCursor { Hand, Stop, Drag, Catch, OpenHand };
HCURSOR NXBUILTINCURSOR(BuiltinCursor nKind);

// A cursor of the system cursor size from a bitmap. Colours of aClr1 paint
// black, of aClr2 white, of aClr3 inverted; aClr4 and all other colours are
// transparent. lRanges reads each list as pairs { low, high } compared
// per component. Registered as "CUR"; 0 on failure.
HCURSOR CREATEBMPCURSOR(HBITMAP hBitmap, HPALETTE hPalette, int nRow, int nCol, bool lRanges = false,
                        const std::vector<COLORREF>& aClr1 = {}, const std::vector<COLORREF>& aClr2 = {},
                        const std::vector<COLORREF>& aClr3 = {}, const std::vector<COLORREF>& aClr4 = {});

// Face name for dialogs.
std::string GetSysFont();

// Appends "date time: v1<TAB>v2<TAB>...<CR><LF>" to cFile.
bool LogFile(const std::string& cFile, const std::vector<Value>& aValues);

// A handle as the number the library shows in logs.
inline Value HandleValue(const void* h) {
  return Value(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(h)));
}

}  // namespace nx
