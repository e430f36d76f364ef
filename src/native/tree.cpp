#include "native/tree.h"

#include "native/draw.h"
#include "native/draw_internal.h"

namespace nx {

namespace {

using detail::MemDC;
using detail::Select;
using detail::TempObj;

constexpr COLORREF kClear = RGB(255, 0, 255);  // transparent
constexpr COLORREF kLine = RGB(128, 128, 128);
constexpr COLORREF kBoxFrame = RGB(128, 128, 128);
constexpr COLORREF kBoxInside = RGB(255, 255, 255);
constexpr COLORREF kSign = RGB(0, 0, 0);

// What each role is made of: the centre lines it draws and its box.
struct Shape {
  bool down;  // the vertical line goes on below the centre
  bool right;  // a branch to the item's text
  int box;  // 0 none, 1 plus, 2 minus
};
constexpr Shape kShapes[7] = {
    {true, false, 0}, {true, true, 0}, {false, true, 0}, {true, true, 1},
    {true, true, 2},  {false, true, 1}, {false, true, 2},
};

constexpr int kMid = 7;  // centre row and column
constexpr int kBoxLo = 3, kBoxHi = 11;

TreeBmps g_bmps{};
bool g_made = false;

void Paint(HDC dc, const Shape& s) {
  RECT all{0, 0, kTreeBmpSize, kTreeBmpSize};
  TempObj<HBRUSH> clear(CreateSolidBrush(kClear));
  FillRect(dc, &all, clear);
  const int bottom = s.down ? kTreeBmpSize - 1 : kMid;
  for (int y = 0; y <= bottom; ++y) SetPixelV(dc, kMid, y, kLine);
  if (s.right)
    for (int x = kMid; x < kTreeBmpSize; ++x) SetPixelV(dc, x, kMid, kLine);
  if (!s.box) return;
  for (int y = kBoxLo; y <= kBoxHi; ++y)
    for (int x = kBoxLo; x <= kBoxHi; ++x) {
      bool frame = y == kBoxLo || y == kBoxHi || x == kBoxLo || x == kBoxHi;
      SetPixelV(dc, x, y, frame ? kBoxFrame : kBoxInside);
    }
  for (int x = kBoxLo + 2; x <= kBoxHi - 2; ++x) SetPixelV(dc, x, kMid, kSign);
  if (s.box == 1)
    for (int y = kBoxLo + 2; y <= kBoxHi - 2; ++y) SetPixelV(dc, kMid, y, kSign);
}

HBITMAP Make(HDC screen, const Shape& s) {
  TempObj<HBITMAP> bmp(CreateCompatibleBitmap(screen, kTreeBmpSize, kTreeBmpSize));
  MemDC mem(screen);
  if (!bmp || !mem) return nullptr;
  {
    Select sel(mem, bmp);
    if (!sel.ok()) return nullptr;
    Paint(mem, s);
  }
  HBITMAP h = bmp.Release();
  RESADD(h, "BMP");
  return h;
}

}  // namespace

const TreeBmps& ATREEBMPS() {
  if (g_made) return g_bmps;
  HDC screen = GetDC(nullptr);
  if (!screen) return g_bmps;
  for (size_t i = 0; i < g_bmps.size(); ++i) g_bmps[i] = Make(screen, kShapes[i]);
  ReleaseDC(nullptr, screen);
  g_made = true;
  return g_bmps;
}

void DELTREEBMPS() {
  for (HBITMAP& h : g_bmps) {
    if (h) {
      RESDEL(h);
      DeleteObject(h);
    }
    h = nullptr;
  }
  g_made = false;
}

}  // namespace nx
