// Scoped owners for the temporaries of the natives: every temporary is
// entered in the resource register while it lives, so a leak shows there.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "native/draw.h"

namespace nx::detail {

// A GDI object created for one call and deleted when the scope ends.
template <class H>
class TempObj {
 public:
  TempObj() = default;
  explicit TempObj(H h) : h_(h) {
    if (h_) RESADD(h_, "TMP");
  }
  TempObj(const TempObj&) = delete;
  TempObj& operator=(const TempObj&) = delete;
  ~TempObj() { Reset(); }
  void Reset(H h = nullptr) {
    if (h_) {
      RESDEL(h_);
      DeleteObject(h_);
    }
    h_ = h;
    if (h_) RESADD(h_, "TMP");
  }
  // Hands the object to the caller (it becomes a result of the native).
  H Release() {
    if (h_) RESDEL(h_);
    return std::exchange(h_, nullptr);
  }
  H get() const { return h_; }
  operator H() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  H h_ = nullptr;
};

// A memory device context for one call.
class MemDC {
 public:
  explicit MemDC(HDC hCompatible) : h_(CreateCompatibleDC(hCompatible)) {
    if (h_) RESADD(h_, "TMPDC");
  }
  MemDC(const MemDC&) = delete;
  MemDC& operator=(const MemDC&) = delete;
  ~MemDC() {
    if (h_) {
      RESDEL(h_);
      DeleteDC(h_);
    }
  }
  operator HDC() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HDC h_;
};

// Selects an object for the scope and selects the previous one back.
class Select {
 public:
  Select(HDC hDC, HGDIOBJ hObj) : dc_(hDC), old_(hDC && hObj ? SelectObject(hDC, hObj) : nullptr) {}
  Select(const Select&) = delete;
  Select& operator=(const Select&) = delete;
  ~Select() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  bool ok() const { return old_ && old_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Saves every attribute of a device context (colours, modes, objects) and
// restores them when the scope ends. Declare it after the TempObj owners so
// that the restore runs before their deletion.
class SavedDC {
 public:
  explicit SavedDC(HDC hDC) : dc_(hDC), level_(hDC ? SaveDC(hDC) : 0) {}
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;
  ~SavedDC() {
    if (level_) RestoreDC(dc_, level_);
  }
  bool ok() const { return level_ != 0; }

 private:
  HDC dc_;
  int level_;
};

// A device context of a window (or of the screen for 0), released at the
// end; with a given one, that one, left to its owner.
class WindowDC {
 public:
  explicit WindowDC(HWND hWnd, HDC hGiven = nullptr)
      : wnd_(hWnd), h_(hGiven ? hGiven : GetDC(hWnd)), own_(!hGiven) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (own_ && h_) ReleaseDC(wnd_, h_);
  }
  operator HDC() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HWND wnd_;
  HDC h_;
  bool own_;
};

// The height of a browse line in a window with a font (0: the device
// context's own): the font's height and one pixel; 0 without a device context.
inline int LineHeightIn(HWND hWnd, HFONT hFont) {
  WindowDC dc(hWnd);
  if (!dc) return 0;
  Select font(dc, hFont);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  return tm.tmHeight + 1;
}

// The header of a 32-bit bitmap whose rows run from the top.
inline BITMAPINFO TopDown32(int nWidth, int nHeight) {
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), nWidth, -nHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  return bi;
}

// A bitmap for the screen made of 0x00RRGGBB pixels (rows from the top),
// entered in the register as "BMP"; 0 when it cannot be made.
inline HBITMAP ScreenBitmap(const uint32_t* pBits, int nWidth, int nHeight) {
  const BITMAPINFO bi = TopDown32(nWidth, nHeight);
  WindowDC screen(nullptr);
  if (!screen) return nullptr;
  HBITMAP bmp = CreateDIBitmap(screen, &bi.bmiHeader, CBM_INIT, pBits, &bi, DIB_RGB_COLORS);
  RESADD(bmp, "BMP");
  return bmp;
}

// A 32-bit top-down DIB section, for natives that work on pixels directly.
struct PixelBuffer {
  TempObj<HBITMAP> hBitmap;
  uint32_t* pBits = nullptr;  // 0x00RRGGBB, row-major from the top
  int nWidth = 0;
  int nHeight = 0;
  bool Create(int nW, int nH);
};

// A bitmap's size; 0 x 0 for no bitmap.
struct BmpSize {
  int w = 0, h = 0;
};
inline BmpSize SizeOf(HBITMAP hBitmap) {
  BITMAP bm{};
  if (!hBitmap || !GetObjectA(hBitmap, sizeof bm, &bm)) return {};
  return {bm.bmWidth, bm.bmHeight};
}

// A solid pen for one call.
HPEN NewPen(int nStyle, int nWidth, COLORREF nColor);

// The embossed look of disabled ink over rc: every pixel that is neither
// nClrFace nor the highlight colour is ink, painted in the highlight colour
// one pixel right of and below its place, then in the shadow colour at it.
void Emboss(HDC hDC, const RECT& rc, COLORREF nClrFace);

}  // namespace nx::detail
