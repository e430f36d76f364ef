// Icons, the resource module, the clipboard bitmap and the meter's face.
#include "native/image.h"

#include <algorithm>
#include <string>

#include "native/draw.h"
#include "native/draw_internal.h"

namespace nx {

using detail::SavedDC;
using detail::WindowDC;

namespace {
HMODULE g_resources = nullptr;
}  // namespace

HMODULE GETRESOURCES() { return g_resources ? g_resources : GetModuleHandleA(nullptr); }

HMODULE SETRESOURCES(HMODULE hModule) {
  HMODULE old = GETRESOURCES();
  g_resources = hModule;
  return old;
}

namespace {
HICON LoadIconNamed(HINSTANCE hInstance, LPCSTR name) {
  // Without LR_SHARED the icon is the caller's, to destroy when done.
  HICON icon = static_cast<HICON>(LoadImageA(hInstance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_DEFAULTCOLOR));
  if (icon) RESADD(icon, "ICO");
  return icon;
}
}  // namespace

HICON LOADICON(HINSTANCE hInstance, const std::string& cName) {
  return cName.empty() ? nullptr : LoadIconNamed(hInstance, cName.c_str());
}

HICON LOADICON(HINSTANCE hInstance, int nId) {
  return nId > 0 && nId < 65536 ? LoadIconNamed(hInstance, MAKEINTRESOURCEA(nId)) : nullptr;
}

bool DESTROYICON(HICON hIcon) {
  if (!hIcon) return false;
  RESDEL(hIcon);
  return DestroyIcon(hIcon);
}

HBITMAP BMPFROMCLIPBOARD(HWND hWnd) {
  if (!OpenClipboard(hWnd)) return nullptr;
  HBITMAP copy = nullptr;
  if (HANDLE h = GetClipboardData(CF_BITMAP))
    copy = static_cast<HBITMAP>(CopyImage(h, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  CloseClipboard();
  if (copy) RESADD(copy, "BMP");
  return copy;
}

bool BMPTOCLIPBOARD(HWND hWnd, HBITMAP hBitmap) {
  if (!hBitmap) return false;
  // The clipboard owns what it is given: it gets a copy.
  HBITMAP copy = static_cast<HBITMAP>(CopyImage(hBitmap, IMAGE_BITMAP, 0, 0, 0));
  if (!copy) return false;
  bool ok = false;
  if (OpenClipboard(hWnd)) {
    ok = EmptyClipboard() && SetClipboardData(CF_BITMAP, copy);
    CloseClipboard();
  }
  if (!ok) DeleteObject(copy);
  return ok;
}

void SETFOREBMP(HWND hWnd, HPALETTE hPalette) {
  if (!hWnd || !hPalette) return;
  WindowDC dc(hWnd);
  if (!dc) return;
  HPALETTE old = SelectPalette(dc, hPalette, FALSE);
  RealizePalette(dc);
  if (old) SelectPalette(dc, old, TRUE);
}

int METERPAINT(HWND hWnd, HDC hDC, double, double, int nPercent, std::string_view cText, bool lPercentage,
               COLORREF nClrPane, COLORREF nClrText, COLORREF nClrBar, COLORREF nClrBText, HFONT hFont) {
  RECT rc{};
  if (!hWnd || !hDC || !GetClientRect(hWnd, &rc)) return 0;
  const int p = std::clamp(nPercent, 0, 100);
  std::string text(cText.substr(0, cText.find('\0')));
  if (!text.empty()) text += ' ';
  if (lPercentage) {
    if (p == 100) {
      text += "100%";
    } else {
      text += ' ';
      text += p >= 10 ? char('0' + p / 10) : ' ';
      text += char('0' + p % 10);
      text += '%';
    }
  }
  SavedDC saved(hDC);
  if (hFont) SelectObject(hDC, hFont);
  SIZE size{};
  GetTextExtentPoint32A(hDC, text.data(), int(text.size()), &size);
  const int x = rc.right / 2 - size.cx / 2, y = rc.bottom / 2 - size.cy / 2;
  // The two parts meet without a gap: the rest starts where the bar ends.
  const RECT done{1, 1, std::max(1, p * int(rc.right - 1) / 100), rc.bottom - 1};
  const RECT rest{done.right, 1, rc.right - 1, rc.bottom - 1};
  if (done.right > done.left) {
    SetBkColor(hDC, nClrBar);
    SetTextColor(hDC, nClrBText);
    ExtTextOutA(hDC, x, y, ETO_OPAQUE | ETO_CLIPPED, &done, text.data(), UINT(text.size()), nullptr);
  }
  WNDBOX(hDC, 0, 0, rc.bottom - 1, rc.right - 1);
  if (p < 100 && rest.right > rest.left) {
    SetBkColor(hDC, nClrPane);
    SetTextColor(hDC, nClrText);
    ExtTextOutA(hDC, x, y, ETO_OPAQUE | ETO_CLIPPED, &rest, text.data(), UINT(text.size()), nullptr);
  }
  return 0;
}

}  // namespace nx
