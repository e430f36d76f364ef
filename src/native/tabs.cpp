#include "native/tabs.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "native/dispatch.h"
#include "native/draw_internal.h"

namespace nx {

using namespace detail;

namespace {

// ---- the look ----------------------------------------------------------------------------
//
// Every piece is 17 pixels across the strip. Row 0 lies on the edge the
// tabs hang from: the dark line between the strip and the window's work
// area, which a selected tab opens into. An unselected tab hangs 14 rows and
// has its outline on row 14; a selected one hangs a row further. Right edges
// slant back to the start of the next tab.

constexpr int kAcross = 17;
constexpr uint32_t kClear = 0xFF00FF;  // 0x00RRGGBB
constexpr uint32_t kLine = 0x6593CF;

struct Shade {
  uint32_t from, to;  // first and last row of the face
  uint32_t outline;
  int last;  // the outline's row
  uint32_t top;  // row 0
};
constexpr Shade kUnselected{0xF1F6FD, 0xCEDEF3, 0x7699C7, 14, kLine};
constexpr Shade kSelected{0xFFFFFF, 0xE2ECFA, 0x6593CF, 15, 0xFFFFFF};

uint32_t Mix(uint32_t a, uint32_t b, int i, int n) {
  if (n <= 0) return a;
  auto ch = [&](int shift) {
    const int x = int((a >> shift) & 0xFF), y = int((b >> shift) & 0xFF);
    return uint32_t(x + (y - x) * i / n) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

// The face colour of row r (1 .. last - 1).
uint32_t Face(const Shade& s, int r) { return Mix(s.from, s.to, r - 1, s.last - 2); }

// A piece: nAlong x kAcross pixels, [along][across] flattened across-major
// so that horizontal and vertical pieces come from the same rows.
struct Piece {
  int along = 1;
  std::vector<uint32_t> px;  // px[across * along + a]
  uint32_t& at(int a, int r) { return px[size_t(r) * along + a]; }
};

Piece Blank(int along) {
  Piece p;
  p.along = along;
  p.px.assign(size_t(along) * kAcross, kClear);
  return p;
}

Piece Background() {
  Piece p = Blank(1);
  p.at(0, 0) = kLine;
  for (int r = 1; r < kAcross; ++r) p.at(0, r) = Mix(0xD5E3F5, 0xB2C9E8, r - 1, kAcross - 2);
  return p;
}

Piece Body(const Shade& s) {
  Piece p = Blank(1);
  p.at(0, 0) = s.top;
  for (int r = 1; r < s.last; ++r) p.at(0, r) = Face(s, r);
  p.at(0, s.last) = s.outline;
  return p;
}

Piece LeftEdge(const Shade& s) {
  Piece p = Blank(4);
  p.at(0, 0) = kLine;
  for (int a = 1; a < 4; ++a) p.at(a, 0) = s.top;
  for (int r = 1; r < s.last; ++r) {
    p.at(0, r) = s.outline;
    for (int a = 1; a < 4; ++a) p.at(a, r) = Face(s, r);
  }
  for (int a = 1; a < 4; ++a) p.at(a, s.last) = s.outline;  // the corner stays clear
  return p;
}

Piece RightEdge(const Shade& s) {
  Piece p = Blank(15);
  for (int a = 0; a < 15; ++a) p.at(a, 0) = s.top;
  for (int r = 1; r < s.last; ++r) {
    const int edge = std::min(14, 16 - r);
    for (int a = 0; a < edge; ++a) p.at(a, r) = Face(s, r);
    p.at(edge, r) = s.outline;
  }
  for (int a = 0; a <= 16 - s.last; ++a) p.at(a, s.last) = s.outline;
  return p;
}

// A device-compatible bitmap from a top-down 32-bit DIB of the piece, along
// the x axis for horizontal strips and the y axis for vertical ones.
HBITMAP Make(const Piece& p, bool lVertical) {
  const int w = lVertical ? kAcross : p.along, h = lVertical ? p.along : kAcross;
  std::vector<uint32_t> bits(size_t(w) * h);
  for (int r = 0; r < kAcross; ++r)
    for (int a = 0; a < p.along; ++a) {
      const uint32_t c = p.px[size_t(r) * p.along + a];
      if (lVertical) bits[size_t(a) * w + r] = c;
      else bits[size_t(r) * w + a] = c;
    }
  return ScreenBitmap(bits.data(), w, h);
}

}  // namespace

HBITMAP BMP_BACK() { return Make(Background(), false); }
HBITMAP BMP_BACKV() { return Make(Background(), true); }
HBITMAP BMP_TABSEL() { return Make(Body(kSelected), false); }
HBITMAP BMP_TABSELL() { return Make(LeftEdge(kSelected), false); }
HBITMAP BMP_TABSELR() { return Make(RightEdge(kSelected), false); }
HBITMAP BMP_TABUNSEL() { return Make(Body(kUnselected), false); }
HBITMAP BMP_TABUNSL() { return Make(LeftEdge(kUnselected), false); }
HBITMAP BMP_TABUNSR() { return Make(RightEdge(kUnselected), false); }
HBITMAP BMP_TABSELV() { return Make(Body(kSelected), true); }
HBITMAP BMP_TABSELLV() { return Make(LeftEdge(kSelected), true); }
HBITMAP BMP_TABSELRV() { return Make(RightEdge(kSelected), true); }
HBITMAP BMP_TABUNSELV() { return Make(Body(kUnselected), true); }
HBITMAP BMP_TABUNSLV() { return Make(LeftEdge(kUnselected), true); }
HBITMAP BMP_TABUNSRV() { return Make(RightEdge(kUnselected), true); }

void TABSBMPDRAW(HDC hDC, HBITMAP hBitmap, int nX, int nY, int nWidth, int nHeight, bool lMirrorX, bool lMirrorY,
                 int nClear) {
  const BmpSize size = SizeOf(hBitmap);
  if (!hDC || !size.w || !size.h || nWidth <= 0 || nHeight <= 0) return;
  // The pieces are tiny: mirroring their pixels is simpler and surer than
  // negative extents, which transparent copies do not take.
  PixelBuffer px;
  if (!px.Create(size.w, size.h)) return;
  MemDC work(hDC);
  Select selWork(work, px.hBitmap);
  if (!work || !selWork.ok()) return;
  {
    MemDC src(hDC);
    Select selSrc(src, hBitmap);
    if (!src || !selSrc.ok()) return;
    BitBlt(work, 0, 0, size.w, size.h, src, 0, 0, SRCCOPY);
  }
  GdiFlush();
  const uint32_t corner = px.pBits[0] & 0xFFFFFF;  // before any mirroring
  if (lMirrorX)
    for (int y = 0; y < size.h; ++y) std::reverse(px.pBits + size_t(y) * size.w, px.pBits + size_t(y + 1) * size.w);
  if (lMirrorY)
    for (int y = 0; y < size.h / 2; ++y)
      std::swap_ranges(px.pBits + size_t(y) * size.w, px.pBits + size_t(y + 1) * size.w,
                       px.pBits + size_t(size.h - 1 - y) * size.w);
  const COLORREF key = nClear == CLEAR_CORNER ? RGB(corner >> 16, (corner >> 8) & 0xFF, corner & 0xFF) : kTabsClear;
  const int oldMode = SetStretchBltMode(hDC, COLORONCOLOR);
  if (nClear != CLEAR_NONE) TransparentBlt(hDC, nX, nY, nWidth, nHeight, work, 0, 0, size.w, size.h, key);
  else StretchBlt(hDC, nX, nY, nWidth, nHeight, work, 0, 0, size.w, size.h, SRCCOPY);
  SetStretchBltMode(hDC, oldMode);
}

HBITMAP TABSARROW(int nId) {
  TempObj<HBITMAP> face(LoadBitmapA(nullptr, MAKEINTRESOURCEA(nId)));
  const BmpSize size = SizeOf(face);
  WindowDC screen(nullptr);
  if (!size.w || !screen) return nullptr;
  TempObj<HBITMAP> framed(CreateCompatibleBitmap(screen, size.w + 2, size.h + 2));
  MemDC dst(screen), src(screen);
  if (!framed || !dst || !src) return nullptr;
  {
    Select selDst(dst, framed), selSrc(src, face);
    TempObj<HBRUSH> clear(CreateSolidBrush(kTabsClear));
    const RECT all{0, 0, size.w + 2, size.h + 2};
    FillRect(dst, &all, clear);
    BitBlt(dst, 1, 1, size.w, size.h, src, 0, 0, SRCCOPY);
  }
  HBITMAP bmp = framed.Release();
  RESADD(bmp, "BMP");
  return bmp;
}

bool TRACKMOUSEEVENT(HWND hWnd, DWORD nFlags) {
  HMODULE user = LoadLibraryA("user32");
  if (!user) return false;
  bool ok = false;
  if (auto track = LibEntry<BOOL(WINAPI*)(LPTRACKMOUSEEVENT)>(user, "TrackMouseEvent")) {
    ::TRACKMOUSEEVENT tme{sizeof tme, nFlags, hWnd, 0};
    ok = track(&tme) != FALSE;
  }
  FreeLibrary(user);
  return ok;
}

}  // namespace nx
