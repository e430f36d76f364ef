// Test support: the client area of a window, or the whole window with its
// frame and bars, as 0x00RRGGBB pixels, top row first, read back from its
// device context (under Wine the window surface keeps what was drawn).
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace nxtest {

// width x height pixels of dc from its origin.
inline std::vector<DWORD> DcPixels(HDC dc, int width, int height) {
  HDC mem = CreateCompatibleDC(dc);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  GdiFlush();
  auto* p = static_cast<const DWORD*>(bits);
  std::vector<DWORD> px(p, p + size_t(width) * size_t(height));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  return px;
}

inline std::vector<DWORD> ClientPixels(HWND hWnd, int& width, int& height) {
  RECT r{};
  GetClientRect(hWnd, &r);
  width = r.right;
  height = r.bottom;
  HDC dc = GetDC(hWnd);
  std::vector<DWORD> px = DcPixels(dc, width, height);
  ReleaseDC(hWnd, dc);
  return px;
}

// The whole window: frame, bars and client area.
inline std::vector<DWORD> WindowPixels(HWND hWnd) {
  RECT r{};
  GetWindowRect(hWnd, &r);
  HDC dc = GetWindowDC(hWnd);
  std::vector<DWORD> px = DcPixels(dc, r.right - r.left, r.bottom - r.top);
  ReleaseDC(hWnd, dc);
  return px;
}

// One pixel of a window's client area, as its device context holds it now.
inline COLORREF PixelAt(HWND hWnd, int x, int y) {
  HDC dc = GetDC(hWnd);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hWnd, dc);
  return c;
}

// Pixels that differ between two pictures of the same size (all of the
// larger one when the sizes differ).
inline size_t Differing(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
  if (a.size() != b.size()) return std::max(a.size(), b.size());
  size_t n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

}  // namespace nxtest
