// Helpers of the browse tests: parent windows, browses over arrays, a fixed
// font, and reading ink and colour bands back from a canvas.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classes/font.h"
#include "classes/wbrowse.h"
#include "classes/window.h"
#include "draw/canvas.h"
#include "rt/value.h"

namespace browsetest {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);

// A top-level window that goes away with the test.
class Parent {
 public:
  explicit Parent(int width = 600, int height = 400)
      : w_(nx::TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = height, .nRight = width, .lPixel = true})) {}
  ~Parent() {
    if (w_ && w_->hWnd && IsWindow(w_->hWnd)) DestroyWindow(w_->hWnd);
  }
  Parent(const Parent&) = delete;
  Parent& operator=(const Parent&) = delete;
  const nx::TWindowPtr& get() const { return w_; }

 private:
  nx::TWindowPtr w_;
};

// One fixed font for all pixel tests, so widths and heights do not depend
// on the active window.
inline std::shared_ptr<nx::TFont> TestFont() {
  static auto font = nx::TFont::New({.cFaceName = "ANSI_VAR_FONT"});
  return font;
}
inline HFONT TestHFont() { return TestFont()->hFont; }

// Line height of the browse painter in a font: text height plus one.
inline int LineHeight(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return tm.tmHeight + 1;
}

// A table of rows of strings "R<row>C<col>".
inline nx::ArrayPtr Table(int rows, int cols) {
  auto t = nx::NewArray();
  for (int r = 1; r <= rows; ++r) {
    auto row = nx::NewArray();
    for (int c = 1; c <= cols; ++c) nx::AAdd(row, nx::Value("R" + std::to_string(r) + "C" + std::to_string(c)));
    nx::AAdd(t, nx::Value(row));
  }
  return t;
}

// A browse in pixels over aTable, its row block reading nAt each time.
inline nx::TWBrowsePtr ArrayBrowse(const nx::TWindowPtr& parent, const nx::ArrayPtr& aTable, int cols,
                                   std::vector<int> sizes, int width = 500, int height = 300) {
  auto b = nx::TWBrowse::New({.nRow = 0,
                              .nCol = 0,
                              .nWidth = width,
                              .nHeight = height,
                              .bLine = [cols](nx::TWBrowse&) { return nx::Array(size_t(cols), nx::Value("")); },
                              .aColSizes = std::move(sizes),
                              .oWnd = parent,
                              .oFont = TestFont(),
                              .lPixel = true});
  b->bLine = [aTable, cols](nx::TWBrowse& brw) {
    nx::Array values;
    int at = brw.nAtRow();
    if (at < 1 || size_t(at) > nx::Len(aTable)) return nx::Array(size_t(cols), nx::Value(""));
    nx::ArrayPtr row = nx::AGet(aTable, size_t(at)).AsArray();
    for (int c = 1; c <= cols; ++c) values.push_back(nx::AGet(row, size_t(c)));
    return values;
  };
  b->SetArray(aTable);
  return b;
}

// Paints a browse into a canvas of its client size through its own Paint.
inline void PaintInto(nx::TWBrowse& b, drawtest::Canvas& canvas) {
  HDC saved = b.hDC;
  b.hDC = canvas.dc();
  b.Paint();
  b.hDC = saved;
}

inline void DrawSelectInto(nx::TWBrowse& b, drawtest::Canvas& canvas) {
  HDC saved = b.hDC;
  b.hDC = canvas.dc();
  b.DrawSelect();
  b.hDC = saved;
}

// Columns [x0, x1) of rows [y0, y1) that hold a pixel other than `back`.
struct Span {
  int first = -1, last = -1;
  bool empty() const { return first < 0; }
};
inline Span InkColumns(const drawtest::Canvas& c, int x0, int x1, int y0, int y1, COLORREF back) {
  Span s;
  for (int x = x0; x < x1; ++x)
    for (int y = y0; y < y1; ++y)
      if (c.At(x, y) != back) {
        if (s.first < 0) s.first = x;
        s.last = x;
        break;
      }
  return s;
}

// Count of pixels of colour `colour` in [x0, x1) x [y0, y1).
inline int CountOf(const drawtest::Canvas& c, int x0, int x1, int y0, int y1, COLORREF colour) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += c.At(x, y) == colour;
  return n;
}

}  // namespace browsetest
