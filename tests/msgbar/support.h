// Message bar and timer test support: a window with a bar, a message pump
// that waits for a condition, and pixels read back from the bar.
#pragma once

#include <windows.h>

#include <functional>

#include "classes/font.h"
#include "classes/msgbar.h"
#include "common/client_pixels.h"
#include "common/pump.h"
#include "native/dispatch.h"

namespace msgtest {

using nxtest::Pump;
using nxtest::PumpUntil;

using nxtest::PixelAt;

inline int CountColor(HWND h, const RECT& rc, COLORREF color) {
  HDC dc = GetDC(h);
  int n = 0;
  for (int y = rc.top; y < rc.bottom; ++y)
    for (int x = rc.left; x < rc.right; ++x) n += GetPixel(dc, x, y) == color;
  ReleaseDC(h, dc);
  return n;
}

inline void Mark(HWND h, const RECT& rc, COLORREF color) {
  HDC dc = GetDC(h);
  HBRUSH b = CreateSolidBrush(color);
  FillRect(dc, &rc, b);
  DeleteObject(b);
  ReleaseDC(h, dc);
}

inline RECT Client(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  return r;
}

struct Scene {
  nx::TWindowPtr wnd;
  nx::TMsgBarPtr bar;
  Scene(const Scene&) = delete;
  Scene(nx::TMsgBarParams p, int nShow = SW_SHOWNORMAL) {
    wnd = nx::TWindow::New({.nTop = 20, .nLeft = 20, .nBottom = 320, .nRight = 620, .cTitle = "bar test",
                            .lPixel = true});
    ShowWindow(wnd->hWnd, nShow);
    p.oWnd = wnd;
    if (!p.oFont) p.oFont = nx::TFont::New({.cFaceName = "Arial", .nHeight = -12, .nQuality = NONANTIALIASED_QUALITY});
    bar = nx::TMsgBar::New(p);
    p.oFont->End();  // the bar holds its own use
    wnd->ReSize();
    UpdateWindow(wnd->hWnd);
    Pump();
  }
  ~Scene() {
    if (wnd->hWnd) DestroyWindow(wnd->hWnd);
    Pump();
  }
};

}  // namespace msgtest
