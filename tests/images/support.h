// Pictures made in code for the picture controls' tests: BMP files, icon
// images and a resource module built at run time, and pixel reads from
// real windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/pump.h"
#include "draw/canvas.h"
#include "rt/icofile.h"

namespace imgtest {

using drawtest::MakeBmp;
using drawtest::WriteFile;

// A 24-bit picture whose every pixel tells where it is.
inline COLORREF Where(int x, int y) { return RGB(x & 255, y & 255, (x >> 8) * 16 + (y >> 8) * 64 + 8); }
inline std::vector<uint8_t> WhereBmp(int w, int h) {
  return MakeBmp(w, h, 24, {}, [](int x, int y) {
    const COLORREF c = Where(x, y);
    return uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
  });
}

// A 32 x 32 icon image: the left half opaque in `color`, the right half
// transparent.
inline nx::ico::Image HalfIcon(COLORREF color) {
  std::vector<uint8_t> d(40 + 32 * 32 * 4 + 32 * 4, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + size_t(i)] = uint8_t(v >> (8 * i));
  };
  put32(0, 40);
  put32(4, 32);
  put32(8, 64);
  d[12] = 1;
  d[14] = 32;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const size_t at = 40 + size_t(y * 32 + x) * 4;
      if (x < 16) put32(at, 0xFF000000u | GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color));
    }
  for (int y = 0; y < 32; ++y) put32(40 + 32 * 32 * 4 + size_t(y) * 4, 0x0000FFFFu);  // right 16 bits: transparent
  return *nx::ico::NormaliseImage(d);
}

// A copy of this program carrying an icon "APPICON" (image `icon`) and a
// bitmap "LOGO" (the packed DIB of `bmpFile`), loaded as a data file.
inline HMODULE ResourceModule(const std::string& path, const nx::ico::Image& icon,
                              const std::vector<uint8_t>& bmpFile) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (!CopyFileA(self, path.c_str(), FALSE)) return nullptr;
  HANDLE upd = BeginUpdateResourceA(path.c_str(), FALSE);
  if (!upd) return nullptr;
  std::vector<uint8_t> group = {0, 0, 1, 0, 1, 0, uint8_t(icon.width), uint8_t(icon.height), 0, 0, 1, 0,
                                uint8_t(icon.bitCount), 0};
  const uint32_t size = uint32_t(icon.dib.size());
  for (int i = 0; i < 4; ++i) group.push_back(uint8_t(size >> (8 * i)));
  group.push_back(1);
  group.push_back(0);
  std::vector<uint8_t> dib(bmpFile.begin() + 14, bmpFile.end());
  bool ok = UpdateResourceA(upd, MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(1), 0, const_cast<uint8_t*>(icon.dib.data()),
                            size) &&
            UpdateResourceA(upd, MAKEINTRESOURCEA(14), "APPICON", 0, group.data(), DWORD(group.size())) &&
            UpdateResourceA(upd, MAKEINTRESOURCEA(2), "LOGO", 0, dib.data(), DWORD(dib.size()));
  if (!EndUpdateResourceA(upd, !ok) || !ok) return nullptr;
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

using nxtest::Pump;

// The client area of a window as painted, read back from its device context.
class Shot {
 public:
  explicit Shot(HWND hWnd) {
    Pump();
    UpdateWindow(hWnd);
    RECT r{};
    GetClientRect(hWnd, &r);
    w_ = r.right;
    h_ = r.bottom;
    drawtest::Canvas c(w_, h_);
    HDC dc = GetDC(hWnd);
    BitBlt(c.dc(), 0, 0, w_, h_, dc, 0, 0, SRCCOPY);
    ReleaseDC(hWnd, dc);
    px_.resize(size_t(w_) * size_t(h_));
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) px_[size_t(y) * size_t(w_) + size_t(x)] = c.At(x, y);
  }
  int w() const { return w_; }
  int h() const { return h_; }
  COLORREF At(int x, int y) const { return px_[size_t(y) * size_t(w_) + size_t(x)]; }

 private:
  int w_ = 0, h_ = 0;
  std::vector<COLORREF> px_;
};

}  // namespace imgtest
