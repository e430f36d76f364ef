#include "native/gdi.h"

#include <windows.h>
#include <commdlg.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "native/draw.h"
#include "native/draw_internal.h"
#include "rt/strings.h"

namespace nx {

using detail::MemDC;
using detail::Select;
using detail::TempObj;
using detail::WindowDC;

// ---- Fonts ----------------------------------------------------------------------

namespace {

LOGFONTA ToLogFont(const FontDesc& d) {
  LOGFONTA lf{};
  lf.lfHeight = d.nHeight;
  lf.lfWidth = d.nWidth;
  lf.lfEscapement = d.nEscapement;
  lf.lfOrientation = d.nOrientation;
  lf.lfWeight = d.nWeight;
  lf.lfItalic = d.lItalic;
  lf.lfUnderline = d.lUnderline;
  lf.lfStrikeOut = d.lStrikeOut;
  lf.lfCharSet = static_cast<BYTE>(d.nCharSet);
  lf.lfOutPrecision = static_cast<BYTE>(d.nOutPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(d.nClipPrecision);
  lf.lfQuality = static_cast<BYTE>(d.nQuality);
  lf.lfPitchAndFamily = static_cast<BYTE>(d.nPitchFamily);
  lstrcpynA(lf.lfFaceName, d.cFaceName.c_str(), LF_FACESIZE);
  return lf;
}

FontDesc FromLogFont(const LOGFONTA& lf) {
  FontDesc d;
  d.nHeight = lf.lfHeight;
  d.nWidth = lf.lfWidth;
  d.nEscapement = lf.lfEscapement;
  d.nOrientation = lf.lfOrientation;
  d.nWeight = lf.lfWeight;
  d.lItalic = lf.lfItalic;
  d.lUnderline = lf.lfUnderline;
  d.lStrikeOut = lf.lfStrikeOut;
  d.nCharSet = lf.lfCharSet;
  d.nOutPrecision = lf.lfOutPrecision;
  d.nClipPrecision = lf.lfClipPrecision;
  d.nQuality = lf.lfQuality;
  d.nPitchFamily = lf.lfPitchAndFamily;
  d.cFaceName = lf.lfFaceName;
  return d;
}

}  // namespace

HFONT CREATEFONT(const FontDesc& aDesc) {
  const LOGFONTA lf = ToLogFont(aDesc);
  HFONT font = CreateFontIndirectA(&lf);
  RESADD(font, "FONT");
  return font;
}

FontInfo GETFONTINFO(HFONT hFont) {
  FontInfo info;
  if (!hFont) return info;
  HWND wnd = GetActiveWindow();
  WindowDC dc(wnd);
  if (!dc) return info;
  Select sel(dc, hFont);
  TEXTMETRICA tm{};
  if (!sel.ok() || !GetTextMetricsA(dc, &tm)) return info;
  char face[81] = {};
  GetTextFaceA(dc, sizeof face, face);
  info.nHeight = tm.tmHeight;
  info.nAveWidth = tm.tmAveCharWidth;
  info.lBold = tm.tmWeight == FW_BOLD;
  info.cFaceName = face;
  return info;
}

std::optional<FontDesc> CHOOSEFONT(const std::optional<FontDesc>& aDesc, COLORREF* pColor, HDC hDC,
                                   std::optional<DWORD> nFlags) {
  LOGFONTA lf = aDesc ? ToLogFont(*aDesc) : LOGFONTA{};
  CHOOSEFONTA cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = GetActiveWindow();
  cf.hDC = hDC;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS;
  if (aDesc) cf.Flags |= CF_INITTOLOGFONTSTRUCT;
  if (pColor) {
    cf.Flags |= CF_EFFECTS;
    cf.rgbColors = *pColor;
  }
  if (hDC) cf.Flags |= CF_BOTH;
  if (nFlags) cf.Flags = *nFlags;
  if (!ChooseFontA(&cf)) return std::nullopt;
  if (pColor) *pColor = cf.rgbColors;
  return FromLogFont(lf);
}

// ---- Brushes and pens ---------------------------------------------------------------

HBRUSH CREATESOLIDBRUSH(COLORREF nRGB) {
  HBRUSH brush = CreateSolidBrush(nRGB);
  RESADD(brush, "BRUSH");
  return brush;
}

HBRUSH CREATEHATCHBRUSH(int nHatchStyle, COLORREF nRGB) {
  if (nHatchStyle < HS_HORIZONTAL || nHatchStyle > HS_DIAGCROSS) return nullptr;
  HBRUSH brush = CreateHatchBrush(nHatchStyle, nRGB);
  RESADD(brush, "BRUSH");
  return brush;
}

HBRUSH CREATEPATTERNBRUSH(HBITMAP hBitmap) {
  if (!hBitmap) return nullptr;
  HBRUSH brush = CreatePatternBrush(hBitmap);
  RESADD(brush, "BRUSH");
  return brush;
}

HBITMAP NXBRUSHES(int n) {
  static const char* const patterns[4][8] = {
      {"LLLLLLLL", "LWLWLWLW", "LLLLLLLL", "LWLWLWLW", "LLLLLLLL", "LWLWLWLW", "LLLLLLLL", "LWLWLWLW"},
      {"LGGGLGGG", "WWWWWWWL", "WLLLLLLG", "WLLLLLLG", "LGGGGGGG", "WWWLWWWW", "LLLGWLLL", "LLLGWLLL"},
      {"WWWWWWWL", "WLLLLLLG", "WLLLLLLG", "WLLLLLLG", "WLLLLLLG", "WLLLLLLG", "WLLLLLLG", "LGGGGGGG"},
      {"WLWLWLWL", "LWLWLWLW", "WLWLWLWL", "LWLWLWLW", "WLWLWLWL", "LWLWLWLW", "WLWLWLWL", "LWLWLWLW"},
  };
  if (n < 1 || n > 4) return nullptr;
  uint32_t bits[64];
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const char c = patterns[n - 1][y][x];
      bits[y * 8 + x] = c == 'W' ? 0xFFFFFFu : c == 'L' ? 0xC0C0C0u : 0x808080u;
    }
  }
  return detail::ScreenBitmap(bits, 8, 8);
}

HPEN CREATEPEN(int nStyle, int nWidth, COLORREF nRGB) {
  HPEN pen = CreatePen(nStyle, nWidth, nRGB);
  RESADD(pen, "PEN");
  return pen;
}

bool DELETEOBJECT(HGDIOBJ hObject) {
  if (!hObject) return false;
  RESDEL(hObject);
  if (!GetObjectType(hObject)) return false;
  return DeleteObject(hObject) != 0;
}

HGDIOBJ GETSTOCKOBJECT(int n) { return GetStockObject(n); }
HGDIOBJ SELECTOBJECT(HDC hDC, HGDIOBJ hObject) { return hDC && hObject ? SelectObject(hDC, hObject) : nullptr; }
HDC GETDC(HWND hWnd) { return GetDC(hWnd); }
int RELEASEDC(HWND hWnd, HDC hDC) { return hDC ? ReleaseDC(hWnd, hDC) : 0; }
int GETDEVICECAPS(HDC hDC, int nIndex) { return hDC ? GetDeviceCaps(hDC, nIndex) : 0; }

// ---- Cursors ----------------------------------------------------------------------

HCURSOR LOADCURSOR(HINSTANCE hInstance, const char* cName) { return cName ? LoadCursorA(hInstance, cName) : nullptr; }
HCURSOR LOADCURSOR(HINSTANCE hInstance, int nId) { return LoadCursorA(hInstance, MAKEINTRESOURCEA(nId)); }

bool DESTROYCURSOR(HCURSOR hCursor) {
  if (!hCursor) return false;
  RESDEL(hCursor);
  return DestroyCursor(hCursor) != 0;
}

HCURSOR WSETCURSOR(HCURSOR hCursor) { return SetCursor(hCursor); }

namespace {

HCURSOR SetSystem(int nId) { return SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(nId))); }

// A 32 x 32 picture: '.' white, 'X' black, anything else transparent.
using Picture = std::array<std::array<char, 32>, 32>;

Picture Blank() {
  Picture p;
  for (auto& row : p) row.fill(' ');
  return p;
}

// Fills the given area white and rings it with black (8-neighbours).
Picture Outlined(const std::function<bool(int, int)>& inside) {
  Picture p = Blank();
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (inside(x, y)) p[y][x] = '.';
  Picture out = p;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (p[y][x] == '.') continue;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx >= 0 && nx < 32 && ny >= 0 && ny < 32 && p[ny][nx] == '.') out[y][x] = 'X';
        }
    }
  }
  return out;
}

bool In(int x, int y, int l, int t, int r, int b) { return x >= l && x <= r && y >= t && y <= b; }

Picture HandPicture() {
  return Outlined([](int x, int y) {
    return In(x, y, 5, 1, 7, 12) ||     // index finger, tip at the hot spot
           In(x, y, 9, 6, 11, 12) ||    // middle
           In(x, y, 13, 7, 15, 12) ||   // ring
           In(x, y, 17, 9, 18, 12) ||   // little
           In(x, y, 1, 12, 3, 15) ||    // thumb
           In(x, y, 3, 14, 4, 17) ||    //
           In(x, y, 5, 13, 18, 21) ||   // palm
           In(x, y, 7, 23, 17, 26);     // cuff
  });
}

Picture StopPicture() {
  return Outlined([](int x, int y) {
    const double dx = x - 8.0, dy = y - 8.0, d = std::sqrt(dx * dx + dy * dy);
    const bool ring = d >= 5.0 && d <= 7.5;
    const bool bar = std::fabs(dx - dy) <= 1.0 && d < 6.0;
    return ring || bar;
  });
}

Picture DragPicture() {
  Picture p = Outlined([](int x, int y) {
    const bool head = y >= 1 && y <= 10 && x >= 7 && x < 6 + y;
    const bool stem = In(x, y, 10, 10, 11, 15);
    return head || stem;
  });
  // A dotted rectangle under the arrow.
  for (int y = 19; y <= 27; ++y)
    for (int x = 8; x <= 22; ++x)
      if (y == 19 || y == 27 || x == 8 || x == 22) p[y][x] = (x + y) % 2 ? '.' : 'X';
  return p;
}

Picture CatchPicture() {
  return Outlined([](int x, int y) {
    return In(x, y, 9, 4, 11, 9) || In(x, y, 13, 4, 15, 9) || In(x, y, 17, 4, 19, 9) ||
           In(x, y, 21, 5, 22, 10) ||  // curled fingers
           In(x, y, 9, 8, 22, 20) ||   // fist
           In(x, y, 5, 10, 8, 15) ||   // thumb
           In(x, y, 11, 22, 21, 28);   // cuff
  });
}

Picture OpenHandPicture() {
  return Outlined([](int x, int y) {
    return In(x, y, 5, 1, 7, 9) || In(x, y, 9, 1, 11, 9) || In(x, y, 13, 2, 15, 9) ||
           In(x, y, 17, 4, 18, 10) ||  // spread fingers
           In(x, y, 1, 6, 3, 11) ||    // thumb
           In(x, y, 4, 9, 18, 14);     // palm
  });
}

HCURSOR FromPicture(const Picture& p, int nHotX, int nHotY) {
  BYTE andPlane[32 * 4], xorPlane[32 * 4];
  std::memset(andPlane, 0, sizeof andPlane);
  std::memset(xorPlane, 0, sizeof xorPlane);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
      const char c = p[y][x];
      if (c != '.' && c != 'X') andPlane[y * 4 + x / 8] |= bit;
      if (c == '.') xorPlane[y * 4 + x / 8] |= bit;
    }
  }
  return CreateCursor(GetModuleHandleA(nullptr), nHotX, nHotY, 32, 32, andPlane, xorPlane);
}

}  // namespace

HCURSOR NXBUILTINCURSOR(BuiltinCursor nKind) {
  static HCURSOR slots[5] = {};
  const int i = static_cast<int>(nKind);
  if (i < 0 || i > 4) return nullptr;
  if (!slots[i]) {
    switch (nKind) {
      case BuiltinCursor::Hand: slots[i] = FromPicture(HandPicture(), 6, 0); break;
      case BuiltinCursor::Stop: slots[i] = FromPicture(StopPicture(), 6, 0); break;
      case BuiltinCursor::Drag: slots[i] = FromPicture(DragPicture(), 6, 0); break;
      case BuiltinCursor::Catch: slots[i] = FromPicture(CatchPicture(), 16, 16); break;
      case BuiltinCursor::OpenHand: slots[i] = FromPicture(OpenHandPicture(), 6, 0); break;
    }
  }
  return slots[i];
}

HCURSOR CURSORARROW() { return SetSystem(32512); }
HCURSOR CURSORIBEAM() { return SetSystem(32513); }
void CURSORWAIT() { SetSystem(32514); }
HCURSOR CURSORWE() { return SetSystem(32644); }
HCURSOR CURSORNS() { return SetSystem(32645); }
HCURSOR CURSORNO() { return SetSystem(32648); }

HCURSOR GETCURSORHAND() {
  HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
  return hand ? hand : NXBUILTINCURSOR(BuiltinCursor::Hand);
}
HCURSOR CURSORHAND() { return SetCursor(GETCURSORHAND()); }
HCURSOR GETCURSORSTOP() { return NXBUILTINCURSOR(BuiltinCursor::Stop); }
HCURSOR GETCURSORDRAG() { return NXBUILTINCURSOR(BuiltinCursor::Drag); }
HCURSOR CURSORCATCH() { return SetCursor(NXBUILTINCURSOR(BuiltinCursor::Catch)); }
HCURSOR CURSOROPENHAND() { return NXBUILTINCURSOR(BuiltinCursor::OpenHand); }

namespace {

bool Matches(COLORREF c, const std::vector<COLORREF>& list, size_t cap, bool ranges) {
  const size_t n = std::min(list.size(), cap);
  if (!ranges) {
    for (size_t i = 0; i < n; ++i)
      if (list[i] == c) return true;
    return false;
  }
  for (size_t i = 0; i + 1 < n; i += 2) {
    const COLORREF lo = list[i], hi = list[i + 1];
    if (GetRValue(c) >= GetRValue(lo) && GetRValue(c) <= GetRValue(hi) && GetGValue(c) >= GetGValue(lo) &&
        GetGValue(c) <= GetGValue(hi) && GetBValue(c) >= GetBValue(lo) && GetBValue(c) <= GetBValue(hi))
      return true;
  }
  return false;
}

}  // namespace

HCURSOR CREATEBMPCURSOR(HBITMAP hBitmap, HPALETTE hPalette, int nRow, int nCol, bool lRanges,
                        const std::vector<COLORREF>& aClr1, const std::vector<COLORREF>& aClr2,
                        const std::vector<COLORREF>& aClr3, const std::vector<COLORREF>& aClr4) {
  BITMAP bm{};
  if (!hBitmap || !GetObject(hBitmap, sizeof bm, &bm)) return nullptr;
  const int w = (GetSystemMetrics(SM_CXCURSOR) + 15) / 16 * 16;
  const int h = GetSystemMetrics(SM_CYCURSOR);
  if (w <= 0 || h <= 0) return nullptr;
  const size_t rowBytes = static_cast<size_t>(w) / 8;
  std::vector<BYTE> andPlane, xorPlane;
  try {
    andPlane.assign(rowBytes * size_t(h), 0xFF);
    xorPlane.assign(rowBytes * size_t(h), 0x00);
  } catch (...) {
    return nullptr;
  }
  {
    WindowDC screen(nullptr);
    MemDC mem(screen);
    if (!screen || !mem) return nullptr;
    Select sel(mem, hBitmap);
    if (!sel.ok()) return nullptr;
    HPALETTE oldPal = hPalette ? SelectPalette(mem, hPalette, FALSE) : nullptr;
    if (hPalette) RealizePalette(mem);
    for (int y = 0; y < h && y < bm.bmHeight; ++y) {
      for (int x = 0; x < w && x < bm.bmWidth; ++x) {
        const COLORREF c = GetPixel(mem, x, y);
        const BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
        BYTE& a = andPlane[size_t(y) * rowBytes + size_t(x) / 8];
        BYTE& o = xorPlane[size_t(y) * rowBytes + size_t(x) / 8];
        if (Matches(c, aClr1, 48, lRanges)) {
          a &= BYTE(~bit);
        } else if (Matches(c, aClr2, 32, lRanges)) {
          a &= BYTE(~bit);
          o |= bit;
        } else if (Matches(c, aClr3, 16, lRanges)) {
          o |= bit;
        }
        // aClr4 and every other colour stay transparent.
      }
    }
    if (oldPal) SelectPalette(mem, oldPal, FALSE);
  }
  (void)aClr4;
  HCURSOR cursor = CreateCursor(GetModuleHandleA(nullptr), nCol, nRow, w, h, andPlane.data(), xorPlane.data());
  RESADD(cursor, "CUR");
  return cursor;
}

std::string GetSysFont() {
  OSVERSIONINFOA vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const bool known = GetVersionExA(&vi);
#pragma GCC diagnostic pop
  return known && (vi.dwPlatformId == VER_PLATFORM_WIN32_NT || vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
             ? "Ms Sans Serif"
             : "System";
}

bool LogFile(const std::string& cFile, const std::vector<Value>& aValues) {
  std::string line = DToC(Today()) + " " + Time() + ": ";
  for (const Value& v : aValues) line += cValToChar(v) + "\t";
  line += "\r\n";
  FILE* f = std::fopen(cFile.c_str(), "ab");
  if (!f) return false;
  const bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace nx
