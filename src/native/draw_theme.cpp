// Visual styles through the style library, loaded at run time so that the
// classic look remains when it is missing.
#include <windows.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "native/dispatch.h"
#include "native/draw.h"
#include "native/draw_internal.h"

namespace nx {

namespace {

using IsAppThemedFn = BOOL(WINAPI*)();
using IsThemeActiveFn = BOOL(WINAPI*)();
using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
using DrawThemeParentBackgroundFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
using DrawThemeTextFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
using IsPartlyTransparentFn = BOOL(WINAPI*)(HTHEME, int, int);


// Loaded once per process, on first need, and kept.
struct StyleLib {
  HMODULE lib = nullptr;
  IsAppThemedFn isAppThemed = nullptr;
  OpenThemeDataFn openThemeData = nullptr;
  CloseThemeDataFn closeThemeData = nullptr;
  DrawThemeBackgroundFn drawThemeBackground = nullptr;
  DrawThemeParentBackgroundFn drawThemeParentBackground = nullptr;
  DrawThemeTextFn drawThemeText = nullptr;
  IsPartlyTransparentFn isPartlyTransparent = nullptr;
  StyleLib() {
    lib = LoadLibraryA("UXTHEME.DLL");
    isAppThemed = LibEntry<IsAppThemedFn>(lib, "IsAppThemed");
    openThemeData = LibEntry<OpenThemeDataFn>(lib, "OpenThemeData");
    closeThemeData = LibEntry<CloseThemeDataFn>(lib, "CloseThemeData");
    drawThemeBackground = LibEntry<DrawThemeBackgroundFn>(lib, "DrawThemeBackground");
    drawThemeParentBackground = LibEntry<DrawThemeParentBackgroundFn>(lib, "DrawThemeParentBackground");
    drawThemeText = LibEntry<DrawThemeTextFn>(lib, "DrawThemeText");
    isPartlyTransparent = LibEntry<IsPartlyTransparentFn>(lib, "IsThemeBackgroundPartiallyTransparent");
  }
};

const StyleLib& Style() {
  static const StyleLib style;
  return style;
}


}  // namespace

bool AppThemedRule(HMODULE hModule, const std::string& cProgram) {
  const StyleLib& style = Style();
  if (!style.isAppThemed) return false;
  if (hModule && FindResourceA(hModule, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) && style.isAppThemed())
    return true;
  const DWORD attr = GetFileAttributesA((cProgram + ".Manifest").c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool ISAPPTHEMED() {
  static const bool themed = [] {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return AppThemedRule(GetModuleHandleA(nullptr), n && n < MAX_PATH ? std::string(path, n) : std::string());
  }();
  return themed;
}

bool ISTHEMEACTIVE() {
  HMODULE lib = LoadLibraryA("UXTHEME.DLL");
  if (!lib) return false;
  auto fn = LibEntry<IsThemeActiveFn>(lib, "IsThemeActive");
  const bool active = fn && fn();
  FreeLibrary(lib);
  return active;
}

namespace {

constexpr int kHeaderItem = 1;

bool HeaderStyleReady(const StyleLib& style, HDC hDC) {
  return hDC && style.openThemeData && style.closeThemeData && style.drawThemeBackground && style.drawThemeText;
}

void HeaderText(const StyleLib& style, HTHEME theme, HDC hDC, int state, int nTop, int nLeft, int nBottom,
                int nRight, std::string_view cText) {
  const int len = cText.empty() ? 0
                                : MultiByteToWideChar(CP_OEMCP, 0, cText.data(), static_cast<int>(cText.size()),
                                                      nullptr, 0);
  if (len > 0) {
    std::wstring wide(static_cast<size_t>(len), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, cText.data(), static_cast<int>(cText.size()), wide.data(), len);
    RECT text{nLeft + 4, nTop + 1, nRight, nBottom + 1};
    style.drawThemeText(theme, hDC, kHeaderItem, state, wide.c_str(), len, 0, 0, &text);
  }
}

}  // namespace

bool DRAWGRIPPER(HWND hWnd, HDC hDC, const RECT& rc, bool lVertical) {
  const StyleLib& style = Style();
  if (!hDC || !style.openThemeData || !style.closeThemeData || !style.drawThemeBackground) return false;
  HTHEME theme = style.openThemeData(hWnd, L"Rebar");
  if (!theme) return false;
  constexpr int kGripper = 1, kGripperVert = 2;
  const bool ok = SUCCEEDED(style.drawThemeBackground(theme, hDC, lVertical ? kGripperVert : kGripper, 0, &rc, nullptr));
  style.closeThemeData(theme);
  return ok;
}

void DRAWHEADER(HWND hWnd, HDC hDC, int nTop, int nLeft, int nBottom, int nRight, std::string_view cText,
                bool lHot) {
  const StyleLib& style = Style();
  if (!HeaderStyleReady(style, hDC)) return;
  HTHEME theme = style.openThemeData(hWnd, L"Header");
  if (!theme) return;
  const int state = lHot ? 2 : 1;
  RECT rc{nLeft, nTop, nRight, nBottom};
  style.drawThemeBackground(theme, hDC, kHeaderItem, state, &rc, nullptr);
  HeaderText(style, theme, hDC, state, nTop, nLeft, nBottom, nRight, cText);
  style.closeThemeData(theme);
}

HeaderRow::HeaderRow(HWND hWnd, HDC hDC) : hDC_(hDC) {
  const StyleLib& style = Style();
  if (HeaderStyleReady(style, hDC)) theme_ = style.openThemeData(hWnd, L"Header");
  // Copies only within an off-screen picture, where reading back is exact.
  if (theme_ && GetObjectType(hDC) == OBJ_MEMDC) {
    under_.dc = CreateCompatibleDC(hDC);
    drawn_.dc = CreateCompatibleDC(hDC);
    if (under_.dc) RESADD(under_.dc, "TMPDC");
    if (drawn_.dc) RESADD(drawn_.dc, "TMPDC");
  }
}

void HeaderRow::Scratch::Size(HDC like, int w, int h, bool dib) {
  if (bmp && w == this->w && h == this->h) return;
  Drop();
  if (!dc) return;
  if (dib) {
    const BITMAPINFO bi = detail::TopDown32(w, h);
    void* p = nullptr;
    bmp = CreateDIBSection(like, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<const uint32_t*>(p);
  } else {
    bmp = CreateCompatibleBitmap(like, w, h);
  }
  if (!bmp) return;
  RESADD(bmp, "TMP");
  old = SelectObject(dc, bmp);
  this->w = w, this->h = h;
}

void HeaderRow::Scratch::Drop() {
  if (!bmp) return;
  SelectObject(dc, old);
  RESDEL(bmp);
  DeleteObject(bmp);
  bmp = nullptr, bits = nullptr, w = h = 0;
}

HeaderRow::~HeaderRow() {
  for (Scratch* s : {&under_, &drawn_}) {
    s->Drop();
    if (s->dc) {
      RESDEL(s->dc);
      DeleteDC(s->dc);
    }
  }
  if (theme_) Style().closeThemeData(static_cast<HTHEME>(theme_));
}

void HeaderRow::Item(int nTop, int nLeft, int nBottom, int nRight, std::string_view cText, bool lHot) {
  if (!theme_) return;
  const StyleLib& style = Style();
  HTHEME theme = static_cast<HTHEME>(theme_);
  const int state = lHot ? 2 : 1;
  const int w = nRight - nLeft, h = nBottom - nTop;
  // The style's background depends on the size, the state and the pixels
  // under it: an item like one drawn before in all three is copied.
  bool read = false;
  if (under_.dc && drawn_.dc && w > 0 && h > 0) {
    under_.Size(hDC_, w, h, true);
    if (under_.bmp && BitBlt(under_.dc, 0, 0, w, h, hDC_, nLeft, nTop, SRCCOPY)) {
      GdiFlush();
      read = true;
      const size_t n = size_t(w) * size_t(h);
      if (drawn_.bmp && state == state_ && drawn_.w == w && drawn_.h == h && seen_.size() == n &&
          std::equal(seen_.begin(), seen_.end(), under_.bits)) {
        BitBlt(hDC_, nLeft, nTop, w, h, drawn_.dc, 0, 0, SRCCOPY);
        HeaderText(style, theme, hDC_, state, nTop, nLeft, nBottom, nRight, cText);
        return;
      }
      seen_.assign(under_.bits, under_.bits + n);
    }
  }
  RECT rc{nLeft, nTop, nRight, nBottom};
  style.drawThemeBackground(theme, hDC_, kHeaderItem, state, &rc, nullptr);
  if (read) {
    drawn_.Size(hDC_, w, h, false);
    if (drawn_.bmp && BitBlt(drawn_.dc, 0, 0, w, h, hDC_, nLeft, nTop, SRCCOPY)) state_ = state;
    else seen_.clear();
  }
  HeaderText(style, theme, hDC_, state, nTop, nLeft, nBottom, nRight, cText);
}

int DRAWPBACK(HWND hWnd, HDC hDC) {
  const StyleLib& style = Style();
  if (!hWnd || !hDC || !ISAPPTHEMED() || !style.drawThemeParentBackground) return 0;
  RECT rc{};
  GetClientRect(hWnd, &rc);
  return SUCCEEDED(style.drawThemeParentBackground(hWnd, hDC, &rc)) ? 1 : 0;
}

HBRUSH DRAWTHEMED(HWND hWnd, HDC hDC) {
  const std::string cls = GETCLASSNAME(hWnd);
  const LONG styleBits = hWnd ? GetWindowLongA(hWnd, GWL_STYLE) : 0;
  const bool groupBox = cls == "Button" && (styleBits & 7) == 7;
  if (hDC && cls == "Static") {
    SetBkMode(hDC, TRANSPARENT);
  } else if (hDC && cls == "Button" && !groupBox && (styleBits & 1)) {
    HWND parent = GetParent(hWnd);
    HWND source = parent && GetParent(parent) ? GetParent(parent) : parent;
    if (source) {
      RECT rc{};
      GetWindowRect(hWnd, &rc);
      MapWindowPoints(HWND_DESKTOP, source, reinterpret_cast<POINT*>(&rc), 2);
      detail::WindowDC dc(source);
      if (dc) BitBlt(hDC, 0, 0, rc.right - rc.left, rc.bottom - rc.top, dc, rc.left, rc.top, SRCCOPY);
    }
  }
  return static_cast<HBRUSH>(GetStockObject(groupBox ? WHITE_BRUSH : NULL_BRUSH));
}

}  // namespace nx
