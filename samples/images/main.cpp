// Pictures on the library: a large picture scrolled in a bitmap control with
// two icons riding on it, the same picture stretched to fit, icons from an
// icon file (the window's own among them), and a meter that a long
// operation, started by a timer, drives to 100 %. Every picture is drawn
// here at start-up; the icon file goes to the temporary folder and is
// removed at the end.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "classes/bitmap.h"
#include "classes/icon.h"
#include "classes/meter.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "native/draw.h"
#include "rt/icofile.h"

using namespace nx;

namespace {

constexpr int kMapWidth = 640, kMapHeight = 480;
constexpr UINT_PTR kStartTimer = 1;
constexpr int kSteps = 100;

// The picture: a sky-to-sea gradient, a grid of coloured discs with their
// coordinates, and a caption. Answered as a BMP file image.
std::string DrawMap() {
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), kMapWidth, -kMapHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  GradientFill(dc, 0, 0, kMapHeight - 1, kMapWidth - 1,
               {{0.5, RGB(250, 214, 120), RGB(120, 190, 235)}, {0.5, RGB(60, 150, 200), RGB(20, 60, 110)}});
  SetBkMode(dc, TRANSPARENT);
  for (int row = 0; row < 6; ++row) {
    for (int col = 0; col < 8; ++col) {
      const int x = 40 + col * 80, y = 40 + row * 80;
      HBRUSH brush = CreateSolidBrush(RGB(40 + col * 28, 200 - row * 30, 90 + (row + col) * 12));
      HGDIOBJ oldBrush = SelectObject(dc, brush);
      ELLIPSE(dc, x - 24, y - 24, x + 24, y + 24);
      SelectObject(dc, oldBrush);
      DeleteObject(brush);
      char label[16];
      std::snprintf(label, sizeof label, "%c%d", 'A' + row, col + 1);
      SetTextColor(dc, RGB(255, 255, 255));
      TEXTOUT(dc, y - 8, x - 8, label);
    }
  }
  SetTextColor(dc, RGB(20, 20, 20));
  TEXTOUT(dc, kMapHeight - 24, 12, "Novaxis: a picture larger than its window");
  SelectObject(dc, old);
  DeleteDC(dc);
  std::string image = BMPTOSTR(bmp);
  DeleteObject(bmp);
  return image;
}

// A 32 x 32 icon file: a disc of `color` with a darker rim, transparent
// around it.
std::vector<uint8_t> DiscIcon(COLORREF color) {
  std::vector<uint8_t> d(40 + 32 * 32 * 4 + 32 * 4, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + size_t(i)] = uint8_t(v >> (8 * i));
  };
  put32(0, 40);
  put32(4, 32);
  put32(8, 64);
  d[12] = 1;
  d[14] = 32;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const double r = std::hypot(x - 15.5, y - 15.5);
      const size_t px = 40 + size_t((31 - y) * 32 + x) * 4;  // bottom-up rows
      const size_t mask = 40 + 32 * 32 * 4 + size_t(31 - y) * 4 + size_t(x / 8);
      if (r <= 14) {
        const int k = r > 11 ? 2 : 1;
        put32(px, 0xFF000000u | uint32_t(GetRValue(color) / k) << 16 | uint32_t(GetGValue(color) / k) << 8 |
                      uint32_t(GetBValue(color) / k));
      } else {
        d[mask] |= uint8_t(0x80 >> (x % 8));
      }
    }
  }
  auto image = ico::NormaliseImage(d);
  return image ? ico::FileFromImage(*image) : std::vector<uint8_t>{};
}

std::string WriteTemp(const char* name, const std::vector<uint8_t>& data) {
  char dir[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  std::string path = std::string(dir) + name;
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
  }
  return path;
}

class ImagesWindow : public TWindow {
 public:
  const char* ClassName() const override { return "TIMAGESWINDOW"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  // The first tick starts the long operation: a hundred units of work, each
  // reported to the meter, which repaints and lets the window go on working
  // (the picture scrolls meanwhile).
  Value Timer(WPARAM nTimerId, LPARAM) override {
    if (nTimerId != kStartTimer) return Value();
    KillTimer(hWnd, kStartTimer);
    TWindowPtr keep = Self();
    for (int step = 1; step <= kSteps && meter && meter->hWnd; ++step) {
      Sleep(30);
      meter->Set(step);
    }
    if (hWnd) SetText("Novaxis images - done");
    return Value(0);
  }
  std::shared_ptr<TMeter> meter;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ErrorSys();
  const std::string sun = WriteTemp("novaxis_sun.ico", DiscIcon(RGB(250, 190, 30)));
  const std::string leaf = WriteTemp("novaxis_leaf.ico", DiscIcon(RGB(60, 170, 80)));
  {
    auto w = TWindow::NewAs<ImagesWindow>({.nTop = 40, .nLeft = 40, .nBottom = 40 + 460, .nRight = 40 + 640,
                                           .cTitle = "Novaxis images", .cIcon = sun,
                                           .nClrBack = RGB(236, 236, 240), .lPixel = true});
    const std::string map = DrawMap();

    // The picture at its own size: the window's bars scroll it, and the
    // icons on it go along.
    auto scrolled = TBitmap::New({.nTop = 10, .nLeft = 10, .nWidth = 300, .nHeight = 260, .oWnd = w,
                                  .lScroll = true, .lPixel = true});
    scrolled->LoadFromString(map);
    TIcon::New({.nRow = 3, .nCol = 9, .cIcoFile = sun, .oWnd = scrolled});
    TIcon::New({.nRow = 9, .nCol = 24, .cIcoFile = leaf, .oWnd = scrolled});

    // The same picture stretched over a window of its own.
    auto stretched = TBitmap::New({.nTop = 10, .nLeft = 320, .nWidth = 300, .nHeight = 260, .oWnd = w,
                                   .lStretch = true, .lPixel = true});
    stretched->LoadFromString(map);

    // Icons in controls of their own, one with a border.
    TIcon::New({.nRow = 20, .nCol = 2, .cIcoFile = sun, .lBorder = true, .oWnd = w});
    TIcon::New({.nRow = 20, .nCol = 8, .cIcoFile = leaf, .oWnd = w});

    w->meter = TMeter::New({.nRow = 24, .nCol = 2, .nTotal = kSteps, .oWnd = w, .nWidth = 600, .nHeight = 24,
                            .cText = "Working"});
    w->meter->Set(0);
    SetTimer(w->hWnd, kStartTimer, 300, nullptr);
    scrolled->SetFocus();
    w->Activate({.cShow = "NORMAL"});
  }
  DeleteFileA(sun.c_str());
  DeleteFileA(leaf.c_str());
  FREERESOURCES();
  return 0;
}
