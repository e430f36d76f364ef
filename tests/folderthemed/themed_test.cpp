// The tabbed folder in the themed look (this program carries the library's
// manifest): a page shows the tab control's own background, not the
// folder's colour, and its labels and check boxes paint over it.
#include <gtest/gtest.h>

#include "classes/checkbox.h"
#include "classes/folder.h"
#include "classes/say.h"
#include "native/draw.h"

using namespace nx;

namespace {

// What the tab control paints in its own client area, read from memory.
class Printed {
 public:
  explicit Printed(HWND h) {
    RECT r{};
    GetClientRect(h, &r);
    HDC screen = GetDC(h);
    dc_ = CreateCompatibleDC(screen);
    bmp_ = CreateCompatibleBitmap(screen, r.right, r.bottom);
    old_ = SelectObject(dc_, bmp_);
    ReleaseDC(h, screen);
    SendMessageA(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT | PRF_ERASEBKGND);
  }
  ~Printed() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  Printed(const Printed&) = delete;
  Printed& operator=(const Printed&) = delete;
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HDC dc_ = nullptr;
  HBITMAP bmp_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

TEST(FolderThemed, PagesShowTheTabControlsBackgroundUnderTheirControls) {
  ASSERT_TRUE(ISAPPTHEMED());
  auto w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 320, .nRight = 440, .cTitle = "themed", .lPixel = true});
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  const COLORREF pane = RGB(255, 0, 255);
  auto f = TFolder::New({.nTop = 10, .nLeft = 10, .oWnd = w, .nClrBack = pane, .lPixel = true, .nWidth = 360,
                         .nHeight = 240});
  ASSERT_NE(f->hWnd, nullptr);
  const TDialogPtr& page = f->aDialogs[0];
  auto say = TSay::New({.nRow = 10, .nCol = 10, .cText = "Label", .oWnd = page, .lPixels = true, .nWidth = 200,
                        .nHeight = 20});
  auto box = TCheckBox::New({.nRow = 40, .nCol = 10, .cCaption = "&Check", .oWnd = page, .nWidth = 200,
                             .lPixel = true});
  RedrawWindow(w->hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Printed tab(f->hWnd);
  HDC dc = GetDC(page->hWnd);
  // Points of the page: open space, the label's empty right part, the
  // check box's empty right part.
  const POINT points[] = {{250, 150}, {180, 20}, {180, 50}};
  for (POINT p : points) {
    POINT inTab = p;
    MapWindowPoints(page->hWnd, f->hWnd, &inTab, 1);
    const COLORREF shown = GetPixel(dc, p.x, p.y);
    EXPECT_EQ(shown, tab.At(inTab.x, inTab.y)) << p.x << "," << p.y;
    EXPECT_NE(shown, pane) << p.x << "," << p.y;
  }
  ReleaseDC(page->hWnd, dc);
  DestroyWindow(w->hWnd);
}
