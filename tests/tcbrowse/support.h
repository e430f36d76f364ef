// Helpers of the column browse tests: a parent window, a fixed font, a
// column browse in pixels, reading its client area back, and mouse
// messages sent through the window procedure as in life.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "classes/font.h"
#include "common/client_pixels.h"
#include "common/pump.h"
#include "classes/tcbrowse.h"
#include "classes/window.h"
#include "native/tcbrowse.h"
#include "common/raised_errors.h"
#include "rt/error.h"

namespace tctest {

using namespace nx;

using nxtest::Pump;

inline std::shared_ptr<TFont> TestFont() {
  static auto font = TFont::New({.cFaceName = "ANSI_VAR_FONT"});
  return font;
}

// The browse's line height in the test font: text height plus one.
inline int FontLineHeight() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, TestFont()->hFont);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight + 1;
}

// A shown top-level window with a column browse of the given outer size.
struct Host {
  TWindowPtr w;
  TCBrowsePtr b;
  explicit Host(int width = 420, int height = 300, const std::string& alias = "") {
    // The pointer must not wander over the test windows and send real moves.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 500, .nRight = 700, .lPixel = true});
    b = TCBrowse::New({.nRow = 0,
                       .nCol = 0,
                       .nWidth = width,
                       .nHeight = height,
                       .oWnd = w,
                       .oFont = TestFont(),
                       .cAlias = alias,
                       .lPixel = true});
  }
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;
  ~Host() {
    if (w && w->hWnd) DestroyWindow(w->hWnd);
    Pump();
  }
  // Shows the window and paints the browse once its columns are in.
  void Show() {
    b->Default();
    w->Show();
    Paint();
  }
  void Paint() {
    InvalidateRect(b->hWnd, nullptr, FALSE);
    UpdateWindow(b->hWnd);
    Pump();
  }
  int LineHeight() const { return FontLineHeight(); }
  // Sizes the browse to `lines` whole data lines and half a line more.
  void FitLines(int lines) {
    RECT outer{}, client{};
    GetWindowRect(b->hWnd, &outer);
    GetClientRect(b->hWnd, &client);
    int frame = (outer.bottom - outer.top) - client.bottom;
    SetWindowPos(b->hWnd, nullptr, 0, 0, outer.right - outer.left, frame + (lines + 1) * LineHeight() + LineHeight() / 2,
                 SWP_NOZORDER | SWP_NOMOVE);
    Paint();
  }
  int Y(int line) const { return line * LineHeight() + LineHeight() / 2; }
  int ClientWidth() const {
    RECT r{};
    GetClientRect(b->hWnd, &r);
    return r.right;
  }
  LRESULT Send(UINT msg, int x, int y, WPARAM keys = 0) {
    return SendMessageA(b->hWnd, msg, keys, MAKELPARAM(x, y));
  }
};

// The client area of a window as COLORREFs.
struct Shot {
  int width = 0, height = 0;
  std::vector<COLORREF> px;
  static Shot Of(HWND hWnd) {
    Shot s;
    for (DWORD p : nxtest::ClientPixels(hWnd, s.width, s.height))
      s.px.push_back(RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF));
    return s;
  }
  COLORREF At(int x, int y) const { return px[size_t(y) * size_t(width) + size_t(x)]; }
  // The colours along pixel row y, as runs { colour, first x, length }.
  struct Run {
    COLORREF c;
    int x, n;
  };
  std::vector<Run> Runs(int y) const {
    std::vector<Run> runs;
    for (int x = 0; x < width; ++x) {
      if (runs.empty() || runs.back().c != At(x, y)) runs.push_back({At(x, y), x, 0});
      ++runs.back().n;
    }
    return runs;
  }
};

// Counts the tones sounded while it lives.
struct Tones {
  int count = 0;
  ToneHook previous;
  Tones() {
    previous = SetTone([this](double f, double) {
      EXPECT_EQ(f, 500);
      ++count;
    });
  }
  ~Tones() { SetTone(previous); }
  Tones(const Tones&) = delete;
  Tones& operator=(const Tones&) = delete;
};

using Errors = nxtest::RaisedErrors;

}  // namespace tctest
