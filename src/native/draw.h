// Interim: the double buffer until the drawing natives land.
#pragma once
#include <windows.h>
namespace nx {
struct DispInfo {
  HWND hWnd = nullptr;
  HDC hDC = nullptr;
  HDC hMemDC = nullptr;
  HBITMAP hBitmap = nullptr;
  HBITMAP hOldBitmap = nullptr;
};
DispInfo NXDISPBEGIN(HWND hWnd, HDC hDC);
HDC NXDISPEND(const DispInfo& aInfo);
}  // namespace nx
