// Test support: the client area of a window as 0x00RRGGBB pixels, top row
// first, read back from its device context (under Wine the window surface
// keeps what was drawn).
#pragma once

#include <windows.h>

#include <vector>

namespace nxtest {

inline std::vector<DWORD> ClientPixels(HWND hWnd, int& width, int& height) {
  RECT r{};
  GetClientRect(hWnd, &r);
  width = r.right;
  height = r.bottom;
  HDC dc = GetDC(hWnd);
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
  ReleaseDC(hWnd, dc);
  return px;
}

}  // namespace nxtest
