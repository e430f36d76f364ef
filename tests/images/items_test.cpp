// The picture controls bound to the items of a dialog made from a template:
// nothing is shown until the dialog initiates them, then each takes its
// item's window (and the bitmap its item's scroll bars).
#include <gtest/gtest.h>

#include <cstring>

#include "classes/bitmap.h"
#include "classes/icon.h"
#include "classes/meter.h"
#include "classes/scrllbar.h"
#include "rt/dlgitem.h"
#include "support.h"

using namespace nx;

namespace {

std::string TemplateOf(const std::vector<std::string>& items) {
  std::string t(24, '\0');
  const uint32_t style = WS_POPUP | WS_VISIBLE | WS_CAPTION;
  std::memcpy(t.data(), &style, 4);
  const uint16_t count = uint16_t(items.size()), cx = 200, cy = 120;
  std::memcpy(t.data() + 8, &count, 2);
  std::memcpy(t.data() + 14, &cx, 2);
  std::memcpy(t.data() + 16, &cy, 2);
  for (const auto& item : items) t += item;
  return t;
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

TEST(PictureItems, BoundToADialogResource) {
  const std::string bmp = imgtest::WriteFile("items_where.bmp", imgtest::WhereBmp(600, 500));
  const std::string ico = imgtest::WriteFile("items.ico", nx::ico::FileFromImage(imgtest::HalfIcon(RGB(0, 0, 255))));
  auto owner = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 100, .nRight = 100, .lPixel = true});
  Value var = 3;
  auto b = TBitmap::ReDefine({.nId = 201, .cBmpFile = bmp, .oWnd = owner});
  auto i = TIcon::ReDefine({.nId = 202, .cIcoFile = ico, .oWnd = owner});
  auto m = TMeter::ReDefine({.nId = 203,
                             .bSetGet = [&](std::optional<Value> u) {
                               if (u) var = *u;
                               return var;
                             },
                             .nTotal = 4,
                             .oWnd = owner});
  ASSERT_TRUE(b->hBitmap) << "a file is read at once";
  EXPECT_EQ(i->hIcon, nullptr) << "an icon waits for its item";
  const std::string tmpl = TemplateOf(
      {DialogItemBytes(2, 2, 60, 90, 201, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, u"TBITMAP", u""),
       DialogItemBytes(2, 100, 20, 120, 202, WS_CHILD | WS_VISIBLE, u"TICON", u""),
       DialogItemBytes(70, 2, 80, 150, 203, WS_CHILD | WS_VISIBLE, u"TMETER", u"")});
  HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()),
                                        owner->hWnd, NoDialogProc, 0);
  ASSERT_TRUE(dlg);
  b->Initiate(dlg);
  i->Initiate(dlg);
  m->Initiate(dlg);
  ASSERT_TRUE(b->hWnd && i->hWnd && m->hWnd);
  EXPECT_TRUE(b->lScroll) << "the item's scroll bars decide";
  RECT view{};
  GetClientRect(b->hWnd, &view);
  EXPECT_EQ(GETSCROLLRANGE(b->hWnd, SB_VERT), std::make_pair(0, 500 - int(view.bottom)));
  ASSERT_TRUE(i->hIcon);
  EXPECT_EQ(var.AsNumber(), 3);
  m->Refresh();
  imgtest::Shot shot(m->hWnd);
  EXPECT_EQ(shot.At(shot.w() * 70 / 100, 2), RGB(0, 0, 255));
  EXPECT_EQ(shot.At(shot.w() * 80 / 100, 2), m->nClrPane);
  DestroyWindow(dlg);
  EXPECT_EQ(b->hBitmap, nullptr);
  EXPECT_EQ(i->hIcon, nullptr);
  DestroyWindow(owner->hWnd);
  DeleteFileA(bmp.c_str());
  DeleteFileA(ico.c_str());
}
