// TIcon: holders without a window (a window's icon among them) that free
// their icon, controls that show it, and icon files damaged on purpose.
#include <gtest/gtest.h>

#include "common/raised_errors.h"

#include "classes/icon.h"
#include "native/draw.h"
#include "native/image.h"
#include "rt/error.h"
#include "support.h"

using namespace nx;
using imgtest::Shot;

namespace {

using Errors = nxtest::RaisedErrors;

}  // namespace

TEST(Icons, HoldersControlsAndDamagedFiles) {
  RESREGISTER(true);
  const size_t start = RESCOUNT();
  HMODULE mod = imgtest::ResourceModule("ico_res.exe", imgtest::HalfIcon(RGB(255, 0, 0)),
                                        imgtest::MakeBmp(4, 4, 24, {}, [](int, int) { return 0u; }));
  ASSERT_TRUE(mod);
  HMODULE old = SETRESOURCES(mod);
  const auto greenIco = nx::ico::FileFromImage(imgtest::HalfIcon(RGB(0, 255, 0)));
  const auto green = imgtest::WriteFile("ico_green.ico", greenIco);
  Errors errors;
  {
    // A resource name and no parent: a holder without a window that frees
    // its icon at End().
    auto holder = TIcon::New({.cResName = "APPICON"});
    EXPECT_EQ(holder->hWnd, nullptr);
    ASSERT_TRUE(holder->hIcon);
    EXPECT_EQ(RESCOUNT("ICO"), 1u);
    // A file that is not there changes nothing.
    HICON before = holder->hIcon;
    holder->SetFile("no_such.ico");
    EXPECT_EQ(holder->hIcon, before);
    EXPECT_EQ(holder->cIcoFile, "");
    holder->End();
    EXPECT_EQ(holder->hIcon, nullptr);
    EXPECT_EQ(RESCOUNT(), start);

    // A window's icon by name (a file here) lives as long as the window.
    auto w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 200, .nRight = 300, .cIcon = green,
                           .nClrBack = RGB(0, 0, 255), .lPixel = true});
    ASSERT_TRUE(w->oIcon && w->oIcon->hIcon);
    EXPECT_EQ(w->oIcon->hWnd, nullptr);
    EXPECT_EQ(w->oIcon->cIcoFile, green);
    ShowWindow(w->hWnd, SW_SHOWNORMAL);

    // File and resource: the control shows the resource's red icon, over
    // the parent's blue where the icon is transparent.
    auto c = TIcon::New({.nRow = 1, .nCol = 2, .cResName = "APPICON", .cIcoFile = green, .oWnd = w});
    ASSERT_TRUE(c->hWnd);
    EXPECT_EQ(WNDTOP(c->hWnd), 14);
    EXPECT_EQ(WNDLEFT(c->hWnd), 16);
    EXPECT_EQ(WNDWIDTH(c->hWnd), 32);
    {
      Shot shot(c->hWnd);
      EXPECT_EQ(shot.At(4, 10), RGB(255, 0, 0));
      EXPECT_EQ(shot.At(28, 10), RGB(0, 0, 255));
    }
    // Another file: green now.
    c->SetFile(green);
    EXPECT_EQ(Shot(c->hWnd).At(4, 10), RGB(0, 255, 0));
    // The icon takes the clicks that reach it.
    int clicks = 0;
    c->bLClicked = [&](int, int, int, TWindow&) {
      ++clicks;
      return Value();
    };
    POINT at{3, 3};
    ClientToScreen(c->hWnd, &at);
    EXPECT_EQ(SendMessageA(c->hWnd, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)), HTCLIENT);
    SendMessageA(c->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(errors.errors.empty());

    // Damaged icon files: every cut of a good one, and lying sizes. Each is
    // reported and leaves the icon shown before.
    HICON shown = c->hIcon;
    size_t bad = 0;
    for (size_t n = 0; n < greenIco.size(); n += n < 60 ? 1 : 211) {
      imgtest::WriteFile("ico_cut.ico", std::vector<uint8_t>(greenIco.begin(), greenIco.begin() + std::ptrdiff_t(n)));
      c->SetFile("ico_cut.ico");
      ++bad;
      EXPECT_EQ(c->hIcon, shown) << n;
    }
    auto lie = greenIco;
    lie[6 + 8] = 0xFF, lie[6 + 9] = 0xFF, lie[6 + 10] = 0xFF, lie[6 + 11] = 0x7F;  // bytes in the image
    imgtest::WriteFile("ico_cut.ico", lie);
    c->SetFile("ico_cut.ico");
    lie = greenIco;
    lie[22 + 8] = 200;  // a height that the bits do not hold
    imgtest::WriteFile("ico_cut.ico", lie);
    c->SetFile("ico_cut.ico");
    bad += 2;
    EXPECT_EQ(c->hIcon, shown);
    EXPECT_EQ(c->cIcoFile, green);
    ASSERT_EQ(errors.errors.size(), bad);
    EXPECT_EQ(errors.errors.back()->Description, "Not a valid icon file");
    EXPECT_EQ(errors.errors.back()->FileName, "ico_cut.ico");
    // A missing resource is reported too, and changes nothing either.
    c->SetName("NOSUCH");
    EXPECT_EQ(errors.errors.back()->Description, "Icon resource not found");
    EXPECT_EQ(c->hIcon, shown);

    DestroyWindow(w->hWnd);
    EXPECT_EQ(c->hIcon, nullptr);
    EXPECT_EQ(w->oIcon, nullptr);
  }
  EXPECT_EQ(RESCOUNT(), start);
  SETRESOURCES(old);
  FreeLibrary(mod);
  DeleteFileA("ico_res.exe");
  DeleteFileA("ico_cut.ico");
  DeleteFileA(green.c_str());
  RESREGISTER(false);
}
