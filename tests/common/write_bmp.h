// Writes small BMP files for tests that need a bitmap on disk.
#pragma once

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

namespace nxtest {

// A BMP file of w x h: a magenta ground (the transparent corner colour) with
// a pure red square from (4, 4) to (w - 5, h - 5). With lAlpha, 32 bits
// with a transparent black ground and an opaque square.
inline std::string WriteBmp(const std::string& name, int w, int h, bool lAlpha = false) {
  const int bpp = lAlpha ? 32 : 24;
  const int stride = ((w * bpp / 8) + 3) & ~3;
  std::vector<unsigned char> bits(size_t(stride) * h, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool in = x >= 4 && y >= 4 && x < w - 4 && y < h - 4;
      unsigned char* p = &bits[size_t(h - 1 - y) * stride + size_t(x) * (bpp / 8)];
      if (lAlpha) {
        if (in) p[0] = 0, p[1] = 0, p[2] = 255, p[3] = 255;
      } else {
        p[0] = in ? 0 : 255, p[1] = 0, p[2] = 255;
      }
    }
  }
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{sizeof ih, w, h, 1, WORD(bpp), BI_RGB, DWORD(bits.size()), 2835, 2835, 0, 0};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = DWORD(fh.bfOffBits + bits.size());
  std::ofstream f(name, std::ios::binary);
  f.write(reinterpret_cast<const char*>(&fh), sizeof fh);
  f.write(reinterpret_cast<const char*>(&ih), sizeof ih);
  f.write(reinterpret_cast<const char*>(bits.data()), std::streamsize(bits.size()));
  return name;
}

}  // namespace nxtest
