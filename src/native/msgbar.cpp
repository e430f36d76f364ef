// The message bar's natives, its timers and the keyboard's toggle state.
#include "native/msgbar.h"

#include <windows.h>
#include <uxtheme.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "native/dispatch.h"
#include "native/draw.h"
#include "native/draw_internal.h"

namespace nx {

using detail::MemDC;
using detail::SavedDC;
using detail::Select;
using detail::TempObj;
using detail::WindowDC;

UINT_PTR SETTIMER(HWND hWnd, UINT_PTR nId, UINT nElapse, TIMERPROC pProc) {
  return SetTimer(hWnd, nId, nElapse, pProc);
}

bool KILLTIMER(HWND hWnd, UINT_PTR nId) { return KillTimer(hWnd, nId) != FALSE; }

bool GETKEYTOGGLE(int nVKey) { return GetKeyState(nVKey) != 0; }

void KEYTOGGLE(int nVKey) {
  if (nVKey < 0 || nVKey > 255) return;
  BYTE state[256] = {};
  if (!GetKeyboardState(state)) return;
  state[nVKey] ^= 1;
  SetKeyboardState(state);
}

// ---- colour pairs -----------------------------------------------------------------

namespace {
COLORREF ColorLetters(std::string_view cSpec) {
  std::string s;
  bool bright = false;
  for (char c : cSpec) {
    if (c == '+') bright = true;
    else if (c != ' ') s += char(std::toupper(static_cast<unsigned char>(c)));
  }
  const int lo = bright ? 255 : 128;
  if (s == "W") return bright ? RGB(255, 255, 255) : RGB(192, 192, 192);
  if (s == "N" || s.empty()) return bright ? RGB(128, 128, 128) : RGB(0, 0, 0);
  if (s == "B") return RGB(0, 0, lo);
  if (s == "G") return RGB(0, lo, 0);
  if (s == "R") return RGB(lo, 0, 0);
  if (s == "BG" || s == "GB") return RGB(0, lo, lo);
  if (s == "RB" || s == "BR") return RGB(lo, 0, lo);
  if (s == "GR" || s == "RG") return bright ? RGB(255, 255, 0) : RGB(128, 128, 0);
  return RGB(0, 0, 0);
}
}  // namespace

COLORREF NGETFORERGB(std::string_view cColorPair) { return ColorLetters(cColorPair.substr(0, cColorPair.find('/'))); }

COLORREF NGETBACKRGB(std::string_view cColorPair) {
  const size_t slash = cColorPair.find('/');
  return slash == std::string_view::npos ? RGB(0, 0, 0) : ColorLetters(cColorPair.substr(slash + 1));
}

// ---- painting ----------------------------------------------------------------------

void MSGPAINT(HWND hWnd, std::string_view cMsg, std::string_view cMsgDef, bool lFrame, bool lCentered,
              int nItemsLeft, COLORREF nClrText, COLORREF nClrPane, HFONT hFont, bool lInset, HDC hDC) {
  if (!hWnd) return;
  WindowDC own(hDC ? nullptr : hWnd);
  if (!hDC) hDC = own;
  if (!hDC) return;
  RECT client{};
  GetClientRect(hWnd, &client);
  if (nClrPane == CLR_INVALID) nClrPane = GetSysColor(COLOR_BTNFACE);
  {
    SavedDC saved(hDC);
    if (hFont) SelectObject(hDC, hFont);
    SetTextColor(hDC, nClrText);
    SetBkColor(hDC, nClrPane);
    RECT text{client.left + 4, client.top + 4, client.right - 4, client.bottom - 4};
    if (nItemsLeft != 0) text.right = nItemsLeft - 11;
    ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &text, "", 0, nullptr);
    const std::string_view shown = cMsg.empty() ? cMsgDef : cMsg;
    std::string s(shown);
    SetBkMode(hDC, TRANSPARENT);
    DrawTextA(hDC, s.c_str(), int(s.size()), &text,
              DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | (lCentered ? DT_CENTER : DT_LEFT));
  }
  if (!lFrame) return;
  WNDBOXRAISED(hDC, client.top, client.left, client.bottom - 1, client.right - 1);
  if (lInset) WNDBOXIN(hDC, 3, 3, client.bottom - 4, nItemsLeft != 0 ? nItemsLeft - 9 : client.right - 4);
}

namespace {
using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);

// The style's gripper over rc; false when the style library cannot draw it.
bool ThemedGrip(HWND hWnd, HDC hDC, const RECT& rc) {
  static HMODULE lib = LoadLibraryA("UXTHEME.DLL");
  static auto open = LibEntry<OpenThemeDataFn>(lib, "OpenThemeData");
  static auto close = LibEntry<CloseThemeDataFn>(lib, "CloseThemeData");
  static auto draw = LibEntry<DrawThemeBackgroundFn>(lib, "DrawThemeBackground");
  if (!open || !close || !draw) return false;
  HTHEME theme = open(hWnd, L"Status");
  if (!theme) return false;
  constexpr int kGripper = 3;  // SP_GRIPPER
  const bool ok = SUCCEEDED(draw(theme, hDC, kGripper, 0, &rc, nullptr));
  close(theme);
  return ok;
}
}  // namespace

void MSGPAINT3L(HWND hWnd, COLORREF nClrPane, HDC hDC) {
  if (!hWnd) return;
  HWND parent = GetParent(hWnd);
  if (parent && IsZoomed(parent)) return;
  WindowDC own(hDC ? nullptr : hWnd);
  if (!hDC) hDC = own;
  if (!hDC) return;
  RECT client{};
  GetClientRect(hWnd, &client);
  if (ISAPPTHEMED()) {
    RECT grip{client.right - 20, client.top, client.right, client.bottom - 1};
    if (ThemedGrip(hWnd, hDC, grip)) return;
  }
  if (nClrPane == CLR_INVALID) nClrPane = GetSysColor(COLOR_BTNFACE);
  const int x = client.right - 2, y = client.bottom - 1;
  TempObj<HBRUSH> pane(CreateSolidBrush(nClrPane));
  RECT area{x - 10, y - 11, x + 1, y + 1};
  FillRect(hDC, &area, pane);
  TempObj<HPEN> shadow(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
  TempObj<HPEN> light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
  SavedDC saved(hDC);
  for (int d = 0; d <= 8; d += 4) {
    SelectObject(hDC, shadow);
    MoveToEx(hDC, x, y - d - 3, nullptr);
    LineTo(hDC, x - d - 3, y);
    MoveToEx(hDC, x, y - d - 2, nullptr);
    LineTo(hDC, x - d - 2, y);
    SelectObject(hDC, light);
    MoveToEx(hDC, x, y - d - 4, nullptr);
    LineTo(hDC, x - d - 4, y);
  }
}

void DRAWMSGITEM(HDC hDC, std::string_view cMsg, const RECT& aRect, COLORREF nClrText, COLORREF nClrPane,
                 HFONT hFont) {
  if (!hDC) return;
  if (nClrPane == CLR_INVALID) nClrPane = RGB(192, 192, 192);
  TempObj<HBRUSH> pane(CreateSolidBrush(nClrPane));
  SavedDC saved(hDC);
  FillRect(hDC, &aRect, pane);
  if (hFont) SelectObject(hDC, hFont);
  SetTextColor(hDC, nClrText);
  SetBkMode(hDC, TRANSPARENT);
  RECT rc = aRect;
  std::string s(cMsg);
  DrawTextA(hDC, s.c_str(), int(s.size()), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

HBITMAP MSGBAR2007(HDC hDC) {
  static constexpr COLORREF kRows[] = {
      RGB(255, 255, 255), RGB(227, 239, 255), RGB(223, 236, 255), RGB(219, 234, 255), RGB(215, 232, 255),
      RGB(212, 230, 255), RGB(208, 228, 255), RGB(204, 226, 255), RGB(201, 224, 255), RGB(197, 222, 255),
      RGB(173, 209, 255), RGB(174, 209, 255), RGB(176, 210, 255), RGB(177, 211, 255), RGB(179, 212, 255),
      RGB(180, 212, 255), RGB(182, 213, 255), RGB(183, 214, 255), RGB(185, 215, 255), RGB(186, 216, 255),
      RGB(188, 216, 255), RGB(189, 217, 255), RGB(191, 218, 255)};
  constexpr int kWidth = 26, kHeight = int(std::size(kRows));
  WindowDC screen(nullptr);
  HDC like = hDC ? hDC : HDC(screen);
  if (!like) return nullptr;
  TempObj<HBITMAP> bmp(CreateCompatibleBitmap(like, kWidth, kHeight));
  MemDC mem(like);
  if (!bmp || !mem) return nullptr;
  {
    Select sel(mem, bmp);
    if (!sel.ok()) return nullptr;
    for (int row = 0; row < kHeight; ++row) {
      TempObj<HBRUSH> brush(CreateSolidBrush(kRows[row]));
      RECT line{0, row, kWidth, row + 1};
      FillRect(mem, &line, brush);
    }
  }
  HBITMAP result = bmp.Release();
  RESADD(result, "BMP");
  return result;
}

}  // namespace nx
