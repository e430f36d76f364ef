// A memory device context over a 32-bit DIB section whose pixels the tests
// read back directly, and helpers to build bitmaps, windows and BMP files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace drawtest {

class Canvas {
 public:
  Canvas(int w, int h, COLORREF fill = RGB(255, 255, 255)) : w_(w), h_(h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bmp_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    old_ = SelectObject(dc_, bmp_);
    Fill(fill);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  int w() const { return w_; }
  int h() const { return h_; }
  void Fill(COLORREF c) {
    GdiFlush();
    for (int i = 0; i < w_ * h_; ++i) bits_[i] = uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
  }
  void Set(int x, int y, COLORREF c) {
    GdiFlush();
    bits_[y * w_ + x] = uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
  }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const uint32_t p = bits_[y * w_ + x];
    return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
  }
  // Number of pixels that are not c.
  int CountNot(COLORREF c) const {
    int n = 0;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) n += At(x, y) != c;
    return n;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

// Everything a native must leave as it found it.
struct DcState {
  HGDIOBJ pen, brush, font, bitmap, palette;
  COLORREF text, bk;
  int bkMode, rop2, stretch;
  UINT align;
  POINT pos;
  static DcState Of(HDC dc) {
    DcState s{};
    s.pen = GetCurrentObject(dc, OBJ_PEN);
    s.brush = GetCurrentObject(dc, OBJ_BRUSH);
    s.font = GetCurrentObject(dc, OBJ_FONT);
    s.bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    s.palette = GetCurrentObject(dc, OBJ_PAL);
    s.text = GetTextColor(dc);
    s.bk = GetBkColor(dc);
    s.bkMode = GetBkMode(dc);
    s.rop2 = GetROP2(dc);
    s.stretch = GetStretchBltMode(dc);
    s.align = GetTextAlign(dc);
    GetCurrentPositionEx(dc, &s.pos);
    return s;
  }
  bool operator==(const DcState& o) const {
    return pen == o.pen && brush == o.brush && font == o.font && bitmap == o.bitmap && palette == o.palette &&
           text == o.text && bk == o.bk && bkMode == o.bkMode && rop2 == o.rop2 && stretch == o.stretch &&
           align == o.align && pos.x == o.pos.x && pos.y == o.pos.y;
  }
};

// A device-dependent bitmap compatible with dc, painted by pixel(x, y).
inline HBITMAP MakeBitmap(HDC dc, int w, int h, const std::function<COLORREF(int, int)>& pixel) {
  HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, bmp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPixel(mem, x, y, pixel(x, y));
  SelectObject(mem, old);
  DeleteDC(mem);
  return bmp;
}

// A popup window whose client area is w x h (popups have no frame).
inline HWND MakeWindow(int w, int h, HWND parent = nullptr, const char* cls = "STATIC", DWORD style = 0) {
  return CreateWindowExA(0, cls, "", (parent ? WS_CHILD : WS_POPUP) | style, 0, 0, w, h, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// A BMP file image: 40-byte header, a table of `table` colours, bottom-up rows.
inline std::vector<uint8_t> MakeBmp(int w, int h, int bpp, const std::vector<COLORREF>& table,
                                    const std::function<uint32_t(int, int)>& value, uint32_t clrUsed = 0) {
  auto put32 = [](std::vector<uint8_t>& v, uint32_t n) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(n >> (8 * i)));
  };
  auto put16 = [](std::vector<uint8_t>& v, uint16_t n) {
    v.push_back(uint8_t(n));
    v.push_back(uint8_t(n >> 8));
  };
  const size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
  std::vector<uint8_t> bits(stride * size_t(h), 0);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = bits.data() + size_t(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x) {
      const uint32_t v = value(x, y);
      switch (bpp) {
        case 1: if (v) row[x / 8] |= uint8_t(0x80 >> (x % 8)); break;
        case 4: row[x / 2] |= uint8_t((x % 2) ? (v & 15) : (v << 4)); break;
        case 8: row[x] = uint8_t(v); break;
        case 24: row[x * 3] = uint8_t(v); row[x * 3 + 1] = uint8_t(v >> 8); row[x * 3 + 2] = uint8_t(v >> 16); break;
        case 32: for (int i = 0; i < 4; ++i) row[x * 4 + i] = uint8_t(v >> (8 * i)); break;
      }
    }
  }
  const size_t offset = 14 + 40 + table.size() * 4;
  std::vector<uint8_t> f = {'B', 'M'};
  put32(f, uint32_t(offset + bits.size()));
  put32(f, 0);
  put32(f, uint32_t(offset));
  put32(f, 40);
  put32(f, uint32_t(w));
  put32(f, uint32_t(h));
  put16(f, 1);
  put16(f, uint16_t(bpp));
  put32(f, 0);
  put32(f, uint32_t(bits.size()));
  put32(f, 2835);
  put32(f, 2835);
  put32(f, clrUsed);
  put32(f, 0);
  for (COLORREF c : table) {
    f.push_back(GetBValue(c));
    f.push_back(GetGValue(c));
    f.push_back(GetRValue(c));
    f.push_back(0);
  }
  f.insert(f.end(), bits.begin(), bits.end());
  return f;
}

inline std::string WriteFile(const std::string& name, const std::vector<uint8_t>& data) {
  FILE* f = std::fopen(name.c_str(), "wb");
  if (f) {
    if (!data.empty()) std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
  }
  return name;
}

inline std::string ReadText(const std::string& name) {
  std::string s;
  if (FILE* f = std::fopen(name.c_str(), "rb")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    std::fclose(f);
  }
  return s;
}

}  // namespace drawtest
