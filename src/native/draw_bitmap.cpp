// Bitmaps, icons, device-independent bitmaps and palettes. Every byte that
// comes from a file or a resource is validated by rt/bmpfile before GDI
// sees it.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <new>
#include <cstring>
#include <optional>
#include <vector>

#include "native/draw.h"
#include "native/draw_internal.h"
#include "native/gdi.h"
#include "native/image.h"
#include "rt/bmpfile.h"
#include "rt/icofile.h"

namespace nx {

using detail::BmpSize;
using detail::MemDC;
using detail::PixelBuffer;
using detail::SavedDC;
using detail::Select;
using detail::SizeOf;
using detail::TempObj;
using detail::WindowDC;

namespace {

constexpr DWORD kMaskKeepPattern = 0x00E20746;  // D ^ (S & (P ^ D)): P where S is 1
constexpr DWORD kAndNotSource = 0x00220326;     // D & ~S
// Files beyond this size are not bitmaps the library reads.
constexpr LONGLONG kMaxFile = 256LL * 1024 * 1024;

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& cFile) {
  HANDLE h = CreateFileA(cFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::vector<uint8_t>> result;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(h, &size) && size.QuadPart >= 0 && size.QuadPart <= kMaxFile) {
    try {
      std::vector<uint8_t> data(static_cast<size_t>(size.QuadPart));
      DWORD got = 0;
      if (data.empty() || (ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &got, nullptr) &&
                           got == data.size()))
        result = std::move(data);
    } catch (...) {
    }
  }
  CloseHandle(h);
  return result;
}

const BITMAPINFO* AsInfo(const std::vector<uint8_t>& dib) { return reinterpret_cast<const BITMAPINFO*>(dib.data()); }

HPALETTE PaletteFromTable(const uint8_t* table, uint32_t colors) {
  if (!colors || colors > 256) return nullptr;
  // LOGPALETTE with room for 256 entries: no allocation, nothing to throw.
  alignas(LOGPALETTE) uint8_t buf[sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY)];
  auto* lp = reinterpret_cast<LOGPALETTE*>(buf);
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(colors);
  for (uint32_t i = 0; i < colors; ++i) {
    lp->palPalEntry[i].peRed = table[i * 4 + 2];
    lp->palPalEntry[i].peGreen = table[i * 4 + 1];
    lp->palPalEntry[i].peBlue = table[i * 4];
    lp->palPalEntry[i].peFlags = 0;
  }
  return CreatePalette(lp);
}

// A device-dependent bitmap (and, above 16 colours when asked, its palette)
// from a canonical packed DIB.
PalBmp FromCanonical(HDC hDC, const std::vector<uint8_t>& dib, bool withPalette) {
  const auto info = bmp::ParseDib(dib);
  if (!info) return {};
  WindowDC screen(nullptr);
  HDC dc = hDC ? hDC : static_cast<HDC>(screen);
  if (!dc) return {};
  TempObj<HPALETTE> pal(withPalette && info->colors > 16 ? PaletteFromTable(dib.data() + info->tableOffset,
                                                                            info->colors)
                                                         : nullptr);
  HPALETTE oldPal = pal ? SelectPalette(dc, pal, FALSE) : nullptr;
  if (pal) RealizePalette(dc);
  HBITMAP bmp = CreateDIBitmap(dc, &AsInfo(dib)->bmiHeader, CBM_INIT, dib.data() + info->bitsOffset, AsInfo(dib),
                               DIB_RGB_COLORS);
  if (oldPal) SelectPalette(dc, oldPal, FALSE);
  if (!bmp) return {};
  RESADD(bmp, "BMP");
  HPALETTE hPal = pal.Release();
  if (hPal) RESADD(hPal, "PAL");
  return {bmp, hPal};
}

// A locked view of a DIB block, validated against the block's size.
class DibLock {
 public:
  explicit DibLock(HGLOBAL h) : h_(h) {
    if (!h_) return;
    size_ = GlobalSize(h_);
    p_ = static_cast<uint8_t*>(GlobalLock(h_));
    if (!p_) return;
    info_ = bmp::ParseDib(std::span<const uint8_t>(p_, size_));
    // GDI decodes RLE itself without a length: only plain pixels pass.
    if (info_ && (info_->compression == bmp::kRle8 || info_->compression == bmp::kRle4)) info_.reset();
  }
  DibLock(const DibLock&) = delete;
  DibLock& operator=(const DibLock&) = delete;
  ~DibLock() {
    if (p_) GlobalUnlock(h_);
  }
  const std::optional<bmp::Info>& info() const { return info_; }
  const uint8_t* data() const { return p_; }
  size_t size() const { return size_; }
  const BITMAPINFO* bmi() const { return reinterpret_cast<const BITMAPINFO*>(p_); }

 private:
  HGLOBAL h_;
  uint8_t* p_ = nullptr;
  size_t size_ = 0;
  std::optional<bmp::Info> info_;
};

std::vector<HGLOBAL>& DibList() {
  static std::vector<HGLOBAL> list;
  return list;
}

HGLOBAL NewDibBlock(const uint8_t* data, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!h) return nullptr;
  void* p = GlobalLock(h);
  if (!p) {
    GlobalFree(h);
    return nullptr;
  }
  std::memcpy(p, data, size);
  GlobalUnlock(h);
  try {
    DibList().push_back(h);
  } catch (...) {
    GlobalFree(h);
    return nullptr;
  }
  RESADD(h, "DIB");
  return h;
}

// The block DIBFROMBITMAP makes, as bytes.
std::vector<uint8_t> DibBytes(HBITMAP hBitmap, HPALETTE hPalette) {
  BITMAP bm{};
  if (!hBitmap || !GetObject(hBitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return {};
  int bpp = bm.bmPlanes * bm.bmBitsPixel;
  bpp = bpp <= 1 ? 1 : bpp <= 4 ? 4 : bpp <= 8 ? 8 : bpp <= 16 ? 16 : bpp <= 24 ? 24 : 32;
  const uint32_t colors = bpp <= 8 ? 1u << bpp : 0;
  const size_t stride = bmp::Stride(bm.bmWidth, static_cast<uint16_t>(bpp));
  if (!stride || bm.bmHeight > bmp::kMaxSide) return {};
  std::vector<uint8_t> dib;
  try {
    dib.resize(sizeof(BITMAPINFOHEADER) + colors * 4 + stride * size_t(bm.bmHeight));
  } catch (...) {
    return {};
  }
  auto* bih = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
  bih->biSize = sizeof(BITMAPINFOHEADER);
  bih->biWidth = bm.bmWidth;
  bih->biHeight = bm.bmHeight;
  bih->biPlanes = 1;
  bih->biBitCount = static_cast<WORD>(bpp);
  bih->biCompression = BI_RGB;
  bih->biSizeImage = static_cast<DWORD>(stride * size_t(bm.bmHeight));
  bih->biClrUsed = colors;
  WindowDC screen(nullptr);
  if (!screen) return {};
  HPALETTE pal = hPalette ? hPalette : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  HPALETTE old = SelectPalette(screen, pal, FALSE);
  RealizePalette(screen);
  const int lines = GetDIBits(screen, hBitmap, 0, bm.bmHeight, dib.data() + sizeof(BITMAPINFOHEADER) + colors * 4,
                              reinterpret_cast<BITMAPINFO*>(dib.data()), DIB_RGB_COLORS);
  if (old) SelectPalette(screen, old, FALSE);
  if (lines != bm.bmHeight) return {};
  // GetDIBits may rewrite the header; keep the layout this block promises.
  bih->biSize = sizeof(BITMAPINFOHEADER);
  bih->biCompression = BI_RGB;
  bih->biClrUsed = colors;
  bih->biSizeImage = static_cast<DWORD>(stride * size_t(bm.bmHeight));
  return dib;
}

PalBmp FromResource(LPCSTR name) {
  HMODULE mod = GETRESOURCES();
  HRSRC res = FindResourceA(mod, name, reinterpret_cast<LPCSTR>(RT_BITMAP));
  if (!res) return {};
  HGLOBAL data = LoadResource(mod, res);
  const void* p = data ? LockResource(data) : nullptr;
  if (!p) return {};
  const auto dib = bmp::NormaliseDib(std::span<const uint8_t>(static_cast<const uint8_t*>(p), SizeofResource(mod, res)));
  return dib.empty() ? PalBmp{} : FromCanonical(nullptr, dib, true);
}

struct PalEntry {
  HWND hWnd;
  HBITMAP hBitmap;
  HPALETTE hPalette;
};
std::vector<PalEntry>& PalTable() {
  static std::vector<PalEntry> table;
  return table;
}
HPALETTE g_appPalette = nullptr;

}  // namespace

// ---- Bitmaps -----------------------------------------------------------------

void DRAWBITMAP(HDC hDC, HBITMAP hBitmap, int nRow, int nCol, int nWidth, int nHeight, DWORD nRop) {
  const BmpSize size = SizeOf(hBitmap);
  if (!hDC || !size.w) return;
  const DWORD rop = nRop ? nRop : SRCCOPY;
  MemDC src(hDC);
  if (!src) return;
  Select sel(src, hBitmap);
  if (!sel.ok()) return;
  if (nWidth && nHeight) {
    const int oldMode = SetStretchBltMode(hDC, COLORONCOLOR);
    StretchBlt(hDC, nCol, nRow, nWidth, nHeight, src, 0, 0, size.w, size.h, rop);
    if (oldMode) SetStretchBltMode(hDC, oldMode);
  } else {
    BitBlt(hDC, nCol, nRow, size.w, size.h, src, 0, 0, rop);
  }
}

void DRAWMASKED(HDC hDC, HBITMAP hBitmap, int nRow, int nCol) {
  const BmpSize size = SizeOf(hBitmap);
  if (!hDC || !size.w) return;
  const int w = size.w, h = size.h;
  MemDC colorDC(hDC), maskDC(hDC);
  TempObj<HBITMAP> copy(CreateCompatibleBitmap(hDC, w, h));
  TempObj<HBITMAP> mask(CreateBitmap(w, h, 1, 1, nullptr));
  if (!colorDC || !maskDC || !copy || !mask) return;
  Select selCopy(colorDC, copy);
  Select selMask(maskDC, mask);
  {
    MemDC src(hDC);
    Select sel(src, hBitmap);
    if (!src || !sel.ok()) return;
    BitBlt(colorDC, 0, 0, w, h, src, 0, 0, SRCCOPY);
  }
  // Pixels of the corner colour become 1 in the mask, then black in the copy.
  SetBkColor(colorDC, GetPixel(colorDC, 0, 0));
  BitBlt(maskDC, 0, 0, w, h, colorDC, 0, 0, SRCCOPY);
  SetBkColor(colorDC, RGB(255, 255, 255));
  SetTextColor(colorDC, RGB(0, 0, 0));
  BitBlt(colorDC, 0, 0, w, h, maskDC, 0, 0, kAndNotSource);
  SavedDC saved(hDC);
  SetBkColor(hDC, RGB(255, 255, 255));
  SetTextColor(hDC, RGB(0, 0, 0));
  BitBlt(hDC, nCol, nRow, w, h, maskDC, 0, 0, SRCAND);
  BitBlt(hDC, nCol, nRow, w, h, colorDC, 0, 0, SRCPAINT);
}

void TRANSBMP(HBITMAP hBitmap, int nBmpWidth, int nBmpHeight, COLORREF nClrTransparent, HDC hDC, int nX, int nY,
              int nWidth, int nHeight) {
  if (!hBitmap || !hDC || nBmpWidth <= 0 || nBmpHeight <= 0) return;
  MemDC src(hDC), maskDC(hDC);
  TempObj<HBITMAP> mask(CreateBitmap(nBmpWidth, nBmpHeight, 1, 1, nullptr));
  if (!src || !maskDC || !mask) return;
  Select selSrc(src, hBitmap);
  Select selMask(maskDC, mask);
  if (!selSrc.ok()) return;
  SetBkColor(src, nClrTransparent);
  BitBlt(maskDC, 0, 0, nBmpWidth, nBmpHeight, src, 0, 0, SRCCOPY);
  SavedDC saved(hDC);
  SetStretchBltMode(hDC, COLORONCOLOR);
  SetBkColor(hDC, RGB(255, 255, 255));
  SetTextColor(hDC, RGB(0, 0, 0));
  StretchBlt(hDC, nX, nY, nWidth, nHeight, src, 0, 0, nBmpWidth, nBmpHeight, SRCINVERT);
  StretchBlt(hDC, nX, nY, nWidth, nHeight, maskDC, 0, 0, nBmpWidth, nBmpHeight, SRCAND);
  StretchBlt(hDC, nX, nY, nWidth, nHeight, src, 0, 0, nBmpWidth, nBmpHeight, SRCINVERT);
}

void PALBMPDRAW(HDC hDC, int nRow, int nCol, HBITMAP hBitmap, HPALETTE hPalette, int nWidth, int nHeight,
                DWORD nRop, bool lTransparent, std::optional<COLORREF> nClrBack) {
  const BmpSize size = SizeOf(hBitmap);
  if (!hDC || !size.w) return;
  MemDC src(hDC);
  if (!src) return;
  Select sel(src, hBitmap);
  if (!sel.ok()) return;
  const bool natural = !nWidth || !nHeight || (nWidth == size.w && nHeight == size.h);
  if (natural && lTransparent && nClrBack) {
    const COLORREF corner = GetPixel(src, 0, 0);
    if (corner != CLR_INVALID && corner != *nClrBack) {
      // Recolour the corner colour inside the bitmap itself, through a mask.
      MemDC maskDC(hDC);
      TempObj<HBITMAP> mask(CreateBitmap(size.w, size.h, 1, 1, nullptr));
      TempObj<HBRUSH> brush(CreateSolidBrush(*nClrBack));
      if (maskDC && mask && brush) {
        Select selMask(maskDC, mask);
        SavedDC savedSrc(src);
        SetBkColor(src, corner);
        BitBlt(maskDC, 0, 0, size.w, size.h, src, 0, 0, SRCCOPY);
        SetBkColor(src, RGB(255, 255, 255));
        SetTextColor(src, RGB(0, 0, 0));
        SelectObject(src, brush);
        BitBlt(src, 0, 0, size.w, size.h, maskDC, 0, 0, kMaskKeepPattern);
      }
    }
  }
  HPALETTE oldPal = nullptr, oldSrcPal = nullptr;
  if (hPalette) {
    oldPal = SelectPalette(hDC, hPalette, hPalette != g_appPalette);
    RealizePalette(hDC);
    oldSrcPal = SelectPalette(src, hPalette, TRUE);
  }
  if (natural) {
    BitBlt(hDC, nCol, nRow, size.w, size.h, src, 0, 0, nRop ? nRop : SRCCOPY);
  } else {
    const int oldMode = SetStretchBltMode(hDC, COLORONCOLOR);
    StretchBlt(hDC, nCol, nRow, nWidth, nHeight, src, 0, 0, size.w, size.h, SRCCOPY);
    if (oldMode) SetStretchBltMode(hDC, oldMode);
  }
  if (oldSrcPal) SelectPalette(src, oldSrcPal, TRUE);
  if (oldPal) SelectPalette(hDC, oldPal, TRUE);
}

HBITMAP RESIZEBMP(HBITMAP hBitmap, int nWidth, int nHeight) {
  const BmpSize size = SizeOf(hBitmap);
  if (!size.w || nWidth <= 0 || nHeight <= 0) return nullptr;
  WindowDC screen(nullptr);
  if (!screen) return nullptr;
  MemDC src(screen), dst(screen);
  TempObj<HBITMAP> out(CreateCompatibleBitmap(screen, nWidth, nHeight));
  if (!src || !dst || !out) return nullptr;
  {
    Select selSrc(src, hBitmap);
    Select selDst(dst, out);
    if (!selSrc.ok() || !selDst.ok()) return nullptr;
    SetStretchBltMode(dst, COLORONCOLOR);
    StretchBlt(dst, 0, 0, nWidth, nHeight, src, 0, 0, size.w, size.h, SRCCOPY);
  }
  HBITMAP result = out.Release();
  RESADD(result, "BMP");
  return result;
}

int NBMPWIDTH(HBITMAP hBitmap) { return SizeOf(hBitmap).w; }
int NBMPHEIGHT(HBITMAP hBitmap) { return SizeOf(hBitmap).h; }

HBITMAP LOADBITMAP(HINSTANCE hInstance, const char* cName) {
  if (!cName) return nullptr;
  HBITMAP bmp = LoadBitmapA(hInstance, cName);
  RESADD(bmp, "BMP");
  return bmp;
}

HBITMAP LOADBITMAP(HINSTANCE hInstance, int nId) {
  HBITMAP bmp = LoadBitmapA(hInstance, MAKEINTRESOURCEA(nId));
  RESADD(bmp, "BMP");
  return bmp;
}

HBITMAP READBITMAP(HDC hDC, const std::string& cFile) {
  const auto data = ReadWholeFile(cFile);
  if (!data) return nullptr;
  const auto dib = bmp::NormaliseFile(*data);
  return dib.empty() ? nullptr : FromCanonical(hDC, dib, false).hBitmap;
}

HBITMAP WNDBITMAP(HWND hWnd) {
  RECT rc{};
  if (!hWnd || !GetWindowRect(hWnd, &rc)) return nullptr;
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  HDC wdc = GetWindowDC(hWnd);
  if (!wdc) return nullptr;
  HBITMAP result = nullptr;
  {
    MemDC mem(wdc);
    TempObj<HBITMAP> bmp(CreateCompatibleBitmap(wdc, std::max(w, 1), std::max(h, 1)));
    if (mem && bmp) {
      {
        Select sel(mem, bmp);
        if (sel.ok()) BitBlt(mem, 0, 0, w, h, wdc, 0, 0, SRCCOPY);
      }
      result = bmp.Release();
    }
  }
  ReleaseDC(hWnd, wdc);
  RESADD(result, "BMP");
  return result;
}

HBITMAP CREATEMEMBITMAP(HDC hDC, std::string_view cImage) {
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(cImage.data()), cImage.size());
  auto dib = bmp::NormaliseFile(bytes);
  if (dib.empty()) dib = bmp::NormaliseDib(bytes);
  return dib.empty() ? nullptr : FromCanonical(hDC, dib, false).hBitmap;
}

HICON EXTRACTICON(const std::string& cFile, int nIndex) {
  if (nIndex < 0) return nullptr;  // -1 would ask for a count, not an icon
  // An icon file is read and checked here; only executables go to the shell.
  // Found as the shell finds it: also in the system folders.
  char found[MAX_PATH] = {};
  const DWORD n = SearchPathA(nullptr, cFile.c_str(), nullptr, MAX_PATH, found, nullptr);
  const std::string path = n > 0 && n < MAX_PATH ? std::string(found, n) : cFile;
  char head[6] = {};
  DWORD got = 0;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  const bool read = ReadFile(h, head, sizeof head, &got, nullptr);
  CloseHandle(h);
  if (!read) return nullptr;
  const std::span<const uint8_t> sig(reinterpret_cast<const uint8_t*>(head), got);
  HICON icon = nullptr;
  if (ico::IsIconFile(sig)) {
    if (nIndex != 0) return nullptr;
    const auto data = ReadWholeFile(path);
    const auto img = data ? ico::Pick(*data, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON))
                          : std::nullopt;
    if (!img) return nullptr;
    icon = CreateIconFromResourceEx(const_cast<uint8_t*>(img->dib.data()), DWORD(img->dib.size()), TRUE, 0x00030000,
                                    img->width, img->height, LR_DEFAULTCOLOR);
  } else if (got >= 2 && head[0] == 'M' && head[1] == 'Z') {
    icon = ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), static_cast<UINT>(nIndex));
    // 1 means "not a file with icons"; callers test for 0.
    if (reinterpret_cast<UINT_PTR>(icon) <= 1) icon = nullptr;
  }
  if (icon) RESADD(icon, "ICO");
  return icon;
}

bool DRAWICON(HDC hDC, int nRow, int nCol, HICON hIcon) { return hDC && hIcon && DrawIcon(hDC, nCol, nRow, hIcon); }

bool DRAWICONFOCUS(HDC hDC, int nRow, int nCol, HICON hIcon) {
  if (!hDC || !hIcon) return false;
  constexpr int kSide = 32;
  MemDC mem(hDC);
  PixelBuffer onWhite, onBlack, area;
  if (!mem || !onWhite.Create(kSide, kSide) || !onBlack.Create(kSide, kSide) || !area.Create(kSide, kSide))
    return false;
  // Opaque pixels come out the same on white and on black.
  std::fill_n(onWhite.pBits, kSide * kSide, 0x00FFFFFFu);
  std::fill_n(onBlack.pBits, kSide * kSide, 0u);
  {
    Select sel(mem, onWhite.hBitmap);
    DrawIconEx(mem, 0, 0, hIcon, kSide, kSide, 0, nullptr, DI_NORMAL);
    SelectObject(mem, onBlack.hBitmap);
    DrawIconEx(mem, 0, 0, hIcon, kSide, kSide, 0, nullptr, DI_NORMAL);
    SelectObject(mem, area.hBitmap);
    BitBlt(mem, 0, 0, kSide, kSide, hDC, nCol, nRow, SRCCOPY);
    DrawIconEx(mem, 0, 0, hIcon, kSide, kSide, 0, nullptr, DI_NORMAL);
    GdiFlush();
    const bool deep = GetDeviceCaps(hDC, BITSPIXEL) * GetDeviceCaps(hDC, PLANES) > 8;
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) {
        const int i = y * kSide + x;
        if ((onWhite.pBits[i] & 0xFFFFFF) != (onBlack.pBits[i] & 0xFFFFFF)) continue;
        const uint32_t c = area.pBits[i];
        if (deep) {
          const uint32_t r = (c >> 16 & 0xFF) / 2, g = (c >> 8 & 0xFF) / 2, b = (c & 0xFF) / 2 + 64;
          area.pBits[i] = r << 16 | g << 8 | b;
        } else if (((y & 1) ? 0xAA : 0x55) & (0x80 >> (x & 7))) {
          area.pBits[i] = 192;  // dark blue through a 50 % checkerboard
        }
      }
    }
    BitBlt(hDC, nCol, nRow, kSide, kSide, mem, 0, 0, SRCCOPY);
  }
  return true;
}

// ---- Device-independent bitmaps and palettes -------------------------------------

HGLOBAL DIBREAD(const std::string& cFile) {
  const auto data = ReadWholeFile(cFile);
  if (!data) return nullptr;
  const auto dib = bmp::NormaliseFile(*data);
  return dib.empty() ? nullptr : NewDibBlock(dib.data(), dib.size());
}

bool DIBFREE(HGLOBAL hDib) {
  auto& list = DibList();
  auto it = std::find(list.begin(), list.end(), hDib);
  if (!hDib || it == list.end()) return false;
  list.erase(it);
  RESDEL(hDib);
  return GlobalFree(hDib) == nullptr;
}

size_t DIBCOUNT() { return DibList().size(); }

bool DIBDRAW(HDC hDC, HGLOBAL hDib, HPALETTE hPalette, int nRow, int nCol, int nWidth, int nHeight, DWORD nRop) {
  if (!hDC || !hDib) return false;
  DibLock dib(hDib);
  if (!dib.info()) return false;
  const bmp::Info& info = *dib.info();
  HPALETTE oldPal = nullptr;
  if (hPalette) {
    oldPal = SelectPalette(hDC, hPalette, FALSE);
    RealizePalette(hDC);
  }
  const bool stretch = nWidth && nHeight;
  const int oldMode = stretch ? SetStretchBltMode(hDC, COLORONCOLOR) : 0;
  const int lines = StretchDIBits(hDC, nCol, nRow, stretch ? nWidth : info.width, stretch ? nHeight : info.height, 0,
                                  0, info.width, info.height, dib.data() + info.bitsOffset, dib.bmi(), DIB_RGB_COLORS,
                                  nRop ? nRop : SRCCOPY);
  if (oldMode) SetStretchBltMode(hDC, oldMode);
  if (oldPal) SelectPalette(hDC, oldPal, TRUE);
  return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

HPALETTE DIBPALETTE(HGLOBAL hDib) {
  DibLock dib(hDib);
  if (!dib.info() || !dib.info()->colors) return nullptr;
  HPALETTE pal = PaletteFromTable(dib.data() + dib.info()->tableOffset, dib.info()->colors);
  RESADD(pal, "PAL");
  return pal;
}

PalBmp PALBMPREAD(HDC hDC, const std::string& cFile) {
  const auto data = ReadWholeFile(cFile);
  if (!data) return {};
  const auto dib = bmp::NormaliseFile(*data);
  return dib.empty() ? PalBmp{} : FromCanonical(hDC, dib, true);
}

HGLOBAL DIBFROMBITMAP(HBITMAP hBitmap, HPALETTE hPalette) {
  const auto dib = DibBytes(hBitmap, hPalette);
  return dib.empty() ? nullptr : NewDibBlock(dib.data(), dib.size());
}

bool DIBWRITE(const std::string& cFile, HGLOBAL hDib) {
  std::vector<uint8_t> file;
  {
    DibLock dib(hDib);
    if (!dib.info()) return false;
    file = bmp::FileFromDib(std::span<const uint8_t>(dib.data(), dib.size()));
  }
  if (file.empty()) return false;
  HANDLE h = CreateFileA(cFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(h, file.data(), static_cast<DWORD>(file.size()), &written, nullptr) &&
                  written == file.size();
  CloseHandle(h);
  return ok;
}

std::string BMPTOSTR(HBITMAP hBitmap) {
  const auto dib = DibBytes(hBitmap, nullptr);
  if (dib.empty()) return {};
  const auto file = bmp::FileFromDib(dib);
  try {
    return std::string(file.begin(), file.end());
  } catch (const std::bad_alloc&) {
    return {};
  }
}

void PALBMPNEW(HWND hWnd, HBITMAP hBitmap, HPALETTE hPalette) {
  if (!hBitmap) return;
  auto& table = PalTable();
  auto it = std::find_if(table.begin(), table.end(), [&](const PalEntry& e) { return e.hBitmap == hBitmap; });
  if (it == table.end())
    it = std::find_if(table.begin(), table.end(), [](const PalEntry& e) { return e.hBitmap == nullptr; });
  try {
    if (it == table.end()) it = table.insert(table.end(), PalEntry{});
  } catch (...) {
    return;
  }
  *it = PalEntry{hWnd, hBitmap, hPalette};
  if (hWnd && hPalette) g_appPalette = hPalette;
}

HPALETTE PALBMPCURRENT() { return g_appPalette; }

void PALBMPFORGET(HBITMAP hBitmap) {
  for (PalEntry& e : PalTable()) {
    if (e.hBitmap == hBitmap) {
      if (e.hPalette == g_appPalette) g_appPalette = nullptr;
      e = PalEntry{};
    }
  }
}

bool HASALPHA(HBITMAP hBitmap, HPALETTE hPalette) {
  {
    WindowDC screen(nullptr);
    if (!screen || GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) < 32) return false;
  }
  const auto dib = DibBytes(hBitmap, hPalette);
  const auto info = bmp::ParseDib(dib);
  if (!info || info->bitCount != 32) return false;
  for (size_t i = info->bitsOffset + 3; i < dib.size(); i += 4)
    if (dib[i]) return true;
  return false;
}

void ABPAINT(HDC hDC, int nX, int nY, HBITMAP hBitmap, int nAlpha, int nWidth, int nHeight) {
  const BmpSize size = SizeOf(hBitmap);
  if (!hDC || !size.w) return;
  MemDC src(hDC);
  if (!src) return;
  Select sel(src, hBitmap);
  if (!sel.ok()) return;
  BLENDFUNCTION bf{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(nAlpha, 0, 255)), AC_SRC_ALPHA};
  const bool stretch = nWidth > 0 && nHeight > 0;
  AlphaBlend(hDC, nX, nY, stretch ? nWidth : size.w, stretch ? nHeight : size.h, src, 0, 0, size.w, size.h, bf);
}

PalBmp PALBMPLOAD(const char* cName) { return cName ? FromResource(cName) : PalBmp{}; }
PalBmp PALBMPLOAD(int nId) { return FromResource(MAKEINTRESOURCEA(nId)); }

void PalBmpFree(HBITMAP hBitmap, HPALETTE hPalette) {
  PALBMPFORGET(hBitmap);
  DELETEOBJECT(hBitmap);
  DELETEOBJECT(hPalette);
}

}  // namespace nx
