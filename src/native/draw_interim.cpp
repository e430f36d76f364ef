#include "native/draw.h"
namespace nx {
DispInfo NXDISPBEGIN(HWND hWnd, HDC hDC) {
  DispInfo d{hWnd, hDC};
  RECT r{};
  GetClientRect(hWnd, &r);
  d.hMemDC = CreateCompatibleDC(hDC);
  d.hBitmap = CreateCompatibleBitmap(hDC, r.right, r.bottom);
  d.hOldBitmap = static_cast<HBITMAP>(SelectObject(d.hMemDC, d.hBitmap));
  return d;
}
HDC NXDISPEND(const DispInfo& d) {
  RECT r{};
  GetClientRect(d.hWnd, &r);
  BitBlt(d.hDC, 0, 0, r.right, r.bottom, d.hMemDC, 0, 0, SRCCOPY);
  SelectObject(d.hMemDC, d.hOldBitmap);
  DeleteObject(d.hBitmap);
  DeleteDC(d.hMemDC);
  return d.hDC;
}
}  // namespace nx
