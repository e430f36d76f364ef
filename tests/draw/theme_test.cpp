// Visual styles: the manifest rule, the themed header and the classic look.
#include <gtest/gtest.h>

#include "canvas.h"
#include "native/draw.h"

using drawtest::Canvas;
using drawtest::DcState;

namespace {

std::string Cwd() {
  char buf[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, buf);
  return buf;
}

bool StyleLibSaysThemed() {
  HMODULE lib = LoadLibraryA("uxtheme.dll");
  auto fn = lib ? reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(lib, "IsAppThemed")))
                : nullptr;
  return fn && fn();
}

}  // namespace

TEST(Themes, ManifestFileNamedAfterTheProgram) {
  const std::string prog = Cwd() + "\\draw_themed_prog.exe";
  DeleteFileA((prog + ".Manifest").c_str());
  EXPECT_FALSE(nx::AppThemedRule(nullptr, prog));
  drawtest::WriteFile(prog + ".Manifest", {'<', '?', 'x', 'm', 'l'});
  EXPECT_TRUE(nx::AppThemedRule(nullptr, prog));
  DeleteFileA((prog + ".Manifest").c_str());
}

TEST(Themes, ManifestResourceInTheModule) {
  // A copy of this program with a manifest resource (type 24, id 1) added.
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string copy = Cwd() + "\\draw_manifest_copy.exe";
  ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
  HANDLE upd = BeginUpdateResourceA(copy.c_str(), FALSE);
  ASSERT_TRUE(upd);
  static const char manifest[] = "<assembly xmlns='urn:schemas-microsoft-com:asm.v1' manifestVersion='1.0'/>";
  ASSERT_TRUE(UpdateResourceA(upd, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), 0, const_cast<char*>(manifest),
                              sizeof manifest - 1));
  ASSERT_TRUE(EndUpdateResourceA(upd, FALSE));
  HMODULE mod = LoadLibraryExA(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(mod);
  ASSERT_TRUE(FindResourceA(mod, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)));
  EXPECT_EQ(nx::AppThemedRule(mod, Cwd() + "\\no_such_program.exe"), StyleLibSaysThemed());
  FreeLibrary(mod);
  DeleteFileA(copy.c_str());

  // The process-wide answer follows the same rule for this program.
  HMODULE exe = GetModuleHandleA(nullptr);
  EXPECT_EQ(nx::ISAPPTHEMED(), nx::AppThemedRule(exe, self));
  EXPECT_EQ(nx::ISAPPTHEMED(), nx::ISAPPTHEMED());
}

TEST(Themes, ThemedHeaderDrawsInsideItsRectangle) {
  // Wine 8 ships an active built-in theme; on a classic Windows desktop the
  // caller draws the classic look instead, and so does this test.
  HWND wnd = drawtest::MakeWindow(100, 30);
  Canvas c(100, 30, RGB(255, 0, 255));
  const DcState before = DcState::Of(c.dc());
  if (nx::ISTHEMEACTIVE()) {
    nx::DRAWHEADER(wnd, c.dc(), 2, 3, 22, 80, "Name");
    int changed = 0;
    for (int y = 2; y < 22; ++y)
      for (int x = 3; x < 80; ++x) changed += c.At(x, y) != RGB(255, 0, 255);
    EXPECT_GT(changed, 20 * 77 / 2);
    for (int x = 0; x < 100; ++x) EXPECT_EQ(c.At(x, 25), RGB(255, 0, 255)) << x;
    for (int y = 0; y < 30; ++y) EXPECT_EQ(c.At(90, y), RGB(255, 0, 255)) << y;
  } else {
    nx::WNDBOXRAISED(c.dc(), 2, 3, 22, 80);
    EXPECT_EQ(c.At(3, 2), GetSysColor(COLOR_BTNHIGHLIGHT));
  }
  EXPECT_TRUE(DcState::Of(c.dc()) == before);
  DestroyWindow(wnd);
}

TEST(Themes, DrawThemedAnswersStockBrushes) {
  HWND parent = drawtest::MakeWindow(60, 60);
  HWND label = drawtest::MakeWindow(10, 10, parent, "Static");
  HWND group = drawtest::MakeWindow(10, 10, parent, "Button", BS_GROUPBOX);
  HWND check = drawtest::MakeWindow(10, 10, parent, "Button", BS_AUTOCHECKBOX);
  Canvas c(10, 10);
  SetBkMode(c.dc(), OPAQUE);
  EXPECT_EQ(nx::DRAWTHEMED(label, c.dc()), GetStockObject(NULL_BRUSH));
  EXPECT_EQ(GetBkMode(c.dc()), TRANSPARENT);
  EXPECT_EQ(nx::DRAWTHEMED(group, c.dc()), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(nx::DRAWTHEMED(check, c.dc()), GetStockObject(NULL_BRUSH));
  if (!nx::ISAPPTHEMED()) {
    EXPECT_EQ(nx::DRAWPBACK(label, c.dc()), 0);
  }
  EXPECT_EQ(nx::DRAWPBACK(nullptr, c.dc()), 0);
  DestroyWindow(parent);
}
