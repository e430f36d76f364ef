// Visual styles through the style library, loaded at run time so that the
// classic look remains when it is missing.
#include <windows.h>
#include <uxtheme.h>

#include <cstring>
#include <string>

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

template <class F>
F Entry(HMODULE lib, const char* name) {
  return lib ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(lib, name))) : nullptr;
}

// Loaded once per process, on first need, and kept.
struct StyleLib {
  HMODULE lib = nullptr;
  IsAppThemedFn isAppThemed = nullptr;
  OpenThemeDataFn openThemeData = nullptr;
  CloseThemeDataFn closeThemeData = nullptr;
  DrawThemeBackgroundFn drawThemeBackground = nullptr;
  DrawThemeParentBackgroundFn drawThemeParentBackground = nullptr;
  DrawThemeTextFn drawThemeText = nullptr;
  StyleLib() {
    lib = LoadLibraryA("UXTHEME.DLL");
    isAppThemed = Entry<IsAppThemedFn>(lib, "IsAppThemed");
    openThemeData = Entry<OpenThemeDataFn>(lib, "OpenThemeData");
    closeThemeData = Entry<CloseThemeDataFn>(lib, "CloseThemeData");
    drawThemeBackground = Entry<DrawThemeBackgroundFn>(lib, "DrawThemeBackground");
    drawThemeParentBackground = Entry<DrawThemeParentBackgroundFn>(lib, "DrawThemeParentBackground");
    drawThemeText = Entry<DrawThemeTextFn>(lib, "DrawThemeText");
  }
};

const StyleLib& Style() {
  static const StyleLib style;
  return style;
}

std::string ClassOf(HWND hWnd) {
  char name[64] = {};
  GetClassNameA(hWnd, name, sizeof name);
  return name;
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
  auto fn = Entry<IsThemeActiveFn>(lib, "IsThemeActive");
  const bool active = fn && fn();
  FreeLibrary(lib);
  return active;
}

void DRAWHEADER(HWND hWnd, HDC hDC, int nTop, int nLeft, int nBottom, int nRight, std::string_view cText,
                bool lHot) {
  const StyleLib& style = Style();
  if (!hDC || !style.openThemeData || !style.closeThemeData || !style.drawThemeBackground || !style.drawThemeText)
    return;
  HTHEME theme = style.openThemeData(hWnd, L"Header");
  if (!theme) return;
  constexpr int kHeaderItem = 1;
  const int state = lHot ? 2 : 1;
  RECT rc{nLeft, nTop, nRight, nBottom};
  style.drawThemeBackground(theme, hDC, kHeaderItem, state, &rc, nullptr);
  const int len = cText.empty() ? 0
                                : MultiByteToWideChar(CP_OEMCP, 0, cText.data(), static_cast<int>(cText.size()),
                                                      nullptr, 0);
  if (len > 0) {
    std::wstring wide(static_cast<size_t>(len), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, cText.data(), static_cast<int>(cText.size()), wide.data(), len);
    RECT text{nLeft + 4, nTop + 1, nRight, nBottom + 1};
    style.drawThemeText(theme, hDC, kHeaderItem, state, wide.c_str(), len, 0, 0, &text);
  }
  style.closeThemeData(theme);
}

int DRAWPBACK(HWND hWnd, HDC hDC) {
  const StyleLib& style = Style();
  if (!hWnd || !hDC || !ISAPPTHEMED() || !style.drawThemeParentBackground) return 0;
  RECT rc{};
  GetClientRect(hWnd, &rc);
  return SUCCEEDED(style.drawThemeParentBackground(hWnd, hDC, &rc)) ? 1 : 0;
}

HBRUSH DRAWTHEMED(HWND hWnd, HDC hDC) {
  const std::string cls = hWnd ? ClassOf(hWnd) : std::string();
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
