// Column browse natives: the cell painter every header and data cell of a
// column browse goes through, the line geometry it shares with the plain
// browse, a cell's rectangle for an editor, and the tone of a refused key.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string_view>

#include "native/draw.h"
#include "rt/value.h"

namespace nx {

// Frames of a cell (nLineStyle of TCDRAWCELL).
enum TcLineStyle : int {
  TC_LINE_NONE = 0,
  TC_LINE_BLACK = 1,   // black lines at the right and bottom edges
  TC_LINE_SHADOW = 2,  // the same in the button-shadow colour
  TC_LINE_RAISED = 3,  // highlight at the top and left, shadow at the bottom and right
  TC_LINE_DOTTED = 4,  // a dotted box
};

// What a cell holds (nBitmap of TCDRAWCELL).
enum TcCellKind : int { TC_CELL_TEXT = 0, TC_CELL_BITMAP = 1, TC_CELL_BITMAP_LIT = 2 };

// Draws one cell of line nLine (0: the header) from x nLeft, nWidth pixels
// wide (-1: to the client's right edge), filled with nClrBack: the text of
// uValue aligned by nAlign (0 left, 1 centre, 2 right), or for nBitmap 1 or 2
// the bitmap whose handle uValue holds. hDC 0: the window's own device
// context. The line is as high as the font's text plus one pixel.
void TCDRAWCELL(HWND hWnd, HDC hDC, int nLine, int nLeft, int nWidth, const Value& uValue, int nAlign,
                COLORREF nClrFore, COLORREF nClrBack, HFONT hFont, int nBitmap, const Value& uUnused,
                int nLineStyle);

// The cells of one line drawn as TCDRAWCELL draws each, with the device
// context, font and measures set up once for the line. Whatever it selects
// or gets is given back when it goes.
class TcCellLine {
 public:
  TcCellLine(HWND hWnd, HDC hDC, int nLine, HFONT hFont);
  ~TcCellLine();
  TcCellLine(const TcCellLine&) = delete;
  TcCellLine& operator=(const TcCellLine&) = delete;

  void Text(int nLeft, int nWidth, std::string_view cText, int nAlign, COLORREF nClrFore, COLORREF nClrBack,
            int nLineStyle);
  void Bitmap(int nLeft, int nWidth, HBITMAP hBitmap, COLORREF nClrBack, int nLineStyle);
  int Height() const { return height_; }

 private:
  bool Place(int nLeft, int nWidth, RECT& cell) const;
  void Frame(const RECT& cell, int nLineStyle);

  HWND hWnd_;
  HDC dc_;
  bool own_;
  int line_;
  int height_ = 0;
  RECT client_{};
  HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr;
  COLORREF oldText_ = 0, oldBack_ = 0, oldPenColor_ = 0;
  POINT oldPos_{};
  UINT oldAlign_ = 0;
};

// Shifts the data lines by nLines (positive: up), as WBRWSCROLL does.
void TCBRWSCROLL(HWND hWnd, int nLines, HFONT hFont);
// The line (0: the header) under client y coordinate nY, as NWROW answers.
int NTCWROW(HWND hWnd, HDC hDC, int nY, HFONT hFont);
// Screen rectangle of the cell of line nRow from client x nLeft, nWidth wide
// (-1: to the right edge), kept inside the client area; none without a window.
std::optional<ARect> ATCBRWPOSRECT(HWND hWnd, int nRow, int nLeft, int nWidth, HFONT hFont);

// Sounds a tone of nFrequency Hz for nDuration clock ticks (18.2 a second).
// Tests may substitute it (an empty function: the system's); answers the
// previous one.
void TONE(double nFrequency, double nDuration);
using ToneHook = std::function<void(double nFrequency, double nDuration)>;
ToneHook SetTone(ToneHook hook);

}  // namespace nx
