// Menu natives and the painting of owner-drawn menu items.
#define OEMRESOURCE
#include "native/menu.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "native/dispatch.h"
#include "native/draw.h"
#include "native/draw_internal.h"

namespace nx {

using detail::BmpSize;
using detail::MemDC;
using detail::PixelBuffer;
using detail::SavedDC;
using detail::Select;
using detail::SizeOf;
using detail::TempObj;

// ---- Thin wrappers --------------------------------------------------------------

HMENU CREATEMENU() { return CreateMenu(); }
HMENU CREATEPOPUPMENU() { return CreatePopupMenu(); }
bool DESTROYMENU(HMENU hMenu) { return hMenu && DestroyMenu(hMenu); }
bool SETMENU(HWND hWnd, HMENU hMenu) { return hWnd && SetMenu(hWnd, hMenu); }
HMENU GETSYSTEMMENU(HWND hWnd, bool lRevert) { return hWnd ? GetSystemMenu(hWnd, lRevert) : nullptr; }

HMENU GETSUBMENU(HMENU hMenu, int nPos) { return hMenu ? GetSubMenu(hMenu, nPos) : nullptr; }

int GETMITEMCOUNT(HMENU hMenu) { return hMenu ? std::max(GetMenuItemCount(hMenu), 0) : 0; }

UINT GETMITEMID(HMENU hMenu, int nPos) { return hMenu ? GetMenuItemID(hMenu, nPos) : UINT(-1); }

UINT GETMENUSTATE(HMENU hMenu, UINT nId, UINT nFlags) { return hMenu ? GetMenuState(hMenu, nId, nFlags) : UINT(-1); }

std::string GETMENUSTRING(HMENU hMenu, UINT nId, UINT nFlags) {
  char text[200] = "";
  int n = hMenu ? GetMenuStringA(hMenu, nId, text, sizeof text, nFlags) : 0;
  return std::string(text, size_t(std::max(n, 0)));
}

namespace {
// What the item carries: an owner-drawn item its menu's handle, any other
// its text.
LPCSTR ItemData(HMENU hMenu, UINT nFlags, const std::string& cText) {
  if (nFlags & MF_OWNERDRAW) return reinterpret_cast<LPCSTR>(hMenu);
  return cText.c_str();
}
}  // namespace

bool APPENDMENU(HMENU hMenu, UINT nFlags, UINT_PTR nId, const std::string& cText) {
  return hMenu && AppendMenuA(hMenu, nFlags & ~MF_BITMAP, nId, ItemData(hMenu, nFlags, cText));
}

bool APPENDMENU(HMENU hMenu, UINT nFlags, UINT_PTR nId, HBITMAP hBitmap) {
  return hMenu && AppendMenuA(hMenu, nFlags | MF_BITMAP, nId, reinterpret_cast<LPCSTR>(hBitmap));
}

bool INSERTMENU(HMENU hMenu, UINT nPos, UINT nFlags, UINT_PTR nId, const std::string& cText) {
  return hMenu && InsertMenuA(hMenu, nPos, nFlags & ~MF_BITMAP, nId, ItemData(hMenu, nFlags, cText));
}

bool INSERTMENU(HMENU hMenu, UINT nPos, UINT nFlags, UINT_PTR nId, HBITMAP hBitmap) {
  return hMenu && InsertMenuA(hMenu, nPos, nFlags | MF_BITMAP, nId, reinterpret_cast<LPCSTR>(hBitmap));
}

bool MODIFYMENU(HMENU hMenu, UINT nPos, UINT nFlags, UINT_PTR nId, const std::string& cText) {
  return hMenu && ModifyMenuA(hMenu, nPos, nFlags & ~MF_BITMAP, nId, ItemData(hMenu, nFlags, cText));
}

bool MODIFYMENU(HMENU hMenu, UINT nPos, UINT nFlags, UINT_PTR nId, HBITMAP hBitmap) {
  return hMenu && ModifyMenuA(hMenu, nPos, nFlags | MF_BITMAP, nId, reinterpret_cast<LPCSTR>(hBitmap));
}

bool REMOVEMENU(HMENU hMenu, UINT nPos, UINT nFlags) { return hMenu && RemoveMenu(hMenu, nPos, nFlags); }

int CHECKMENUITEM(HMENU hMenu, UINT nId, UINT nFlags) {
  return hMenu ? int(CheckMenuItem(hMenu, nId, nFlags)) : -1;
}

int ENABLEMENUITEM(HMENU hMenu, UINT nId, UINT nFlags) {
  return hMenu ? int(EnableMenuItem(hMenu, nId, nFlags)) : -1;
}

bool HILITEMENUITEM(HWND hWnd, HMENU hMenu, UINT nPos, UINT nFlags) {
  return hWnd && hMenu && HiliteMenuItem(hWnd, hMenu, nPos, nFlags);
}

bool DRAWMENUBAR(HWND hWnd) { return hWnd && DrawMenuBar(hWnd); }

HMENU LOADMENU(HINSTANCE hInstance, const char* cName) {
  return cName ? LoadMenuA(hInstance ? hInstance : GetModuleHandleA(nullptr), cName) : nullptr;
}

HMENU LOADMENU(HINSTANCE hInstance, int nId) {
  return LoadMenuA(hInstance ? hInstance : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nId));
}

bool ISMENU(HMENU hMenu) { return hMenu && IsMenu(hMenu); }
bool ISMENU(UINT_PTR nHandle) { return ISMENU(reinterpret_cast<HMENU>(nHandle)); }

bool TRACKPOPUP(HMENU hMenu, UINT nFlags, int nRow, int nCol, int nReserved, HWND hWnd) {
  return hMenu && hWnd && TrackPopupMenu(hMenu, nFlags, nCol, nRow, nReserved, hWnd, nullptr);
}

namespace {
// The true version: GetVersionEx answers what the program's manifest allows.
OSVERSIONINFOA Version() {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  if (auto rtl = LibEntry<RtlGetVersionFn>(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")) {
    OSVERSIONINFOW w{};
    w.dwOSVersionInfoSize = sizeof w;
    if (rtl(&w) == 0) {
      v.dwMajorVersion = w.dwMajorVersion;
      v.dwMinorVersion = w.dwMinorVersion;
      v.dwPlatformId = w.dwPlatformId;
      return v;
    }
  }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&v);
#pragma GCC diagnostic pop
  return v;
}
}  // namespace

std::string CWINVERSION() {
  const OSVERSIONINFOA v = Version();
  const DWORD major = v.dwMajorVersion, minor = v.dwMinorVersion;
  if (v.dwPlatformId != VER_PLATFORM_WIN32_NT) return minor >= 90 ? "ME" : minor >= 10 ? "98" : "95";
  if (major <= 4) return "NT";
  if (major == 5) return minor == 0 ? "2000" : "XP";
  if (major == 6) return minor == 0 ? "Vista" : minor == 1 ? "7" : minor == 2 ? "8" : "8.1";
  return std::to_string(major);
}

bool ISWINNT() { return Version().dwPlatformId == VER_PLATFORM_WIN32_NT; }

// ---- Owner-drawn items ------------------------------------------------------------

UINT GETMEAITEM(const MEASUREITEMSTRUCT* p) { return p ? p->itemID : 0; }
UINT GETDRAWITEM(const DRAWITEMSTRUCT* p) { return p ? p->itemID : 0; }
HMENU GETDRAWMENU(const DRAWITEMSTRUCT* p) { return p ? reinterpret_cast<HMENU>(p->hwndItem) : nullptr; }
bool ISMENUITEM(const DRAWITEMSTRUCT* p) { return p && p->CtlType == ODT_MENU; }

namespace {
UINT ItemType(HMENU hMenu, UINT nId) {
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_FTYPE;
  return hMenu && GetMenuItemInfoA(hMenu, nId, FALSE, &mii) ? mii.fType : 0;
}

std::string ItemText(HMENU hMenu, UINT nId) {
  char text[200] = "";
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_STRING;
  mii.dwTypeData = text;
  mii.cch = sizeof text;
  if (!hMenu || !GetMenuItemInfoA(hMenu, nId, FALSE, &mii) || !mii.dwTypeData) return {};
  return std::string(text, std::min<size_t>(mii.cch, sizeof text - 1));
}
}  // namespace

bool ISSEPARATOR(const DRAWITEMSTRUCT* p) { return p && (ItemType(GETDRAWMENU(p), p->itemID) & MFT_SEPARATOR); }
std::string MISTEXT(const DRAWITEMSTRUCT* p) { return p ? ItemText(GETDRAWMENU(p), p->itemID) : std::string(); }

bool ISMISEPARATOR(const MEASUREITEMSTRUCT* p) {
  if (!p || !p->itemData) return false;
  return ItemType(reinterpret_cast<HMENU>(p->itemData), p->itemID) & MFT_SEPARATOR;
}

std::string MISTEXT(const MEASUREITEMSTRUCT* p) {
  if (!p || !p->itemData) return {};
  return ItemText(reinterpret_cast<HMENU>(p->itemData), p->itemID);
}

void MENUMEASUREITEM(MEASUREITEMSTRUCT* p, int nWidth, bool lSeparator) {
  if (!p) return;
  p->itemWidth = UINT(std::max(nWidth, 0));
  p->itemHeight = lSeparator ? 10 : UINT(GetSystemMetrics(SM_CYMENU));
}

namespace {

void Fill(HDC hDC, int left, int top, int right, int bottom, COLORREF color) {
  if (right <= left || bottom <= top) return;
  TempObj<HBRUSH> brush(CreateSolidBrush(color));
  RECT rc{left, top, right, bottom};
  if (brush) FillRect(hDC, &rc, brush);
}

// The pressed look behind a checked item's picture.
void Checkerboard(HDC hDC, int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  static const WORD kPattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  TempObj<HBITMAP> bits(CreateBitmap(8, 8, 1, 1, kPattern));
  TempObj<HBRUSH> brush(bits ? CreatePatternBrush(bits) : nullptr);
  if (!brush) return;
  SavedDC saved(hDC);
  // A monochrome pattern takes the text (0) and background (1) colours.
  SetTextColor(hDC, GetSysColor(COLOR_BTNFACE));
  SetBkColor(hDC, GetSysColor(COLOR_BTNHIGHLIGHT));
  RECT rc{left, top, right, bottom};
  FillRect(hDC, &rc, brush);
}

COLORREF TopLeftPixel(HDC hDC, HBITMAP hBitmap) {
  MemDC mem(hDC);
  if (!mem) return RGB(255, 255, 255);
  Select sel(mem, hBitmap);
  return sel.ok() ? GetPixel(mem, 0, 0) : RGB(255, 255, 255);
}

// The bitmap at (x, y), its top-left pixel's colour see-through; over the
// pressed-look checkerboard when asked.
void Picture(HDC hDC, HBITMAP hBitmap, int x, int y, bool lPressed) {
  const BmpSize size = SizeOf(hBitmap);
  if (!size.w) return;
  if (lPressed) Checkerboard(hDC, x, y, x + size.w, y + size.h);
  TRANSBMP(hBitmap, size.w, size.h, TopLeftPixel(hDC, hBitmap), hDC, x, y, size.w, size.h);
}

// The system's check mark, or one drawn by the frame-control call where the
// platform has no such bitmap.
HBITMAP SystemCheckMark(HDC hDC) {
  if (HBITMAP h = LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECK))) return h;
  const int w = GetSystemMetrics(SM_CXMENUCHECK), h = GetSystemMetrics(SM_CYMENUCHECK);
  HBITMAP bmp = CreateCompatibleBitmap(hDC, w, h);
  MemDC mem(hDC);
  if (!bmp || !mem) return bmp;
  Select sel(mem, bmp);
  RECT rc{0, 0, w, h};
  FillRect(mem, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawFrameControl(mem, &rc, DFC_MENU, DFCS_MENUCHECK);
  return bmp;
}

// The 2007 look's own check mark: dark ink on a see-through magenta ground.
HBITMAP CheckMark2007(PixelBuffer& buffer) {
  static constexpr const char* kRows[] = {
      "..............", "..............", "..............", "..........##..", ".........###..",
      "........###...", "..#....###....", "..##..###.....", "..######......", "...####.......",
      "....##........", "..............", "..............", "..............",
  };
  constexpr int n = int(std::size(kRows));
  if (!buffer.Create(n, n)) return nullptr;
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) buffer.pBits[y * n + x] = kRows[y][x] == '#' ? 0x00203060 : 0x00FF00FF;
  return buffer.hBitmap;
}

// Draws text with the prefix character; a tab splits it into a left part and
// a right part that ends nRightInset pixels before the right edge.
void PromptText(HDC hDC, const std::string& cPrompt, RECT rc, UINT nAlign, int nRightInset) {
  const auto tab = cPrompt.find('\t');
  const std::string left = cPrompt.substr(0, tab);
  DrawTextA(hDC, left.c_str(), int(left.size()), &rc, DT_SINGLELINE | nAlign);
  if (tab == std::string::npos) return;
  const std::string right = cPrompt.substr(tab + 1);
  RECT r = rc;
  r.right -= nRightInset;
  DrawTextA(hDC, right.c_str(), int(right.size()), &r, DT_SINGLELINE | DT_RIGHT);
}

bool PaintRequest(const DRAWITEMSTRUCT* p) {
  return p && p->hDC && (p->itemAction & (ODA_DRAWENTIRE | ODA_SELECT));
}

bool Grayed(const DRAWITEMSTRUCT* p) { return p->itemState & (ODS_GRAYED | ODS_DISABLED); }

}  // namespace

bool MENUDRAWITEM(const DRAWITEMSTRUCT* p, const std::string& cPrompt, HMENU, HBITMAP hBitmap, HWND) {
  if (!PaintRequest(p)) return false;
  HDC dc = p->hDC;
  SavedDC saved(dc);
  const RECT rc = p->rcItem;
  const bool grayed = Grayed(p);
  const bool selected = (p->itemState & ODS_SELECTED) && !grayed;
  const bool checked = p->itemState & ODS_CHECKED;
  const COLORREF menu = GetSysColor(COLOR_MENU), hilite = GetSysColor(COLOR_HIGHLIGHT);

  Fill(dc, rc.left, rc.top, rc.right, rc.bottom, menu);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  // The gutter beside the text keeps the menu colour.
  if (selected) Fill(dc, rc.left + 19, rc.top, rc.right, rc.bottom, hilite);

  const RECT box{rc.left, rc.top, rc.left + 17, rc.bottom - 1};
  if (selected && !checked) {
    if (hBitmap) WNDBOXRAISED(dc, box.top, box.left, box.bottom, box.right);
    else Fill(dc, box.left, box.top, box.right + 2, box.bottom + 1, hilite);
  }
  if (checked) {
    TempObj<HBITMAP> mark(SystemCheckMark(dc));
    Picture(dc, mark, rc.left + 1, rc.top + 1, !selected);
  }
  if (hBitmap) Picture(dc, hBitmap, rc.left + 1, rc.top + 1, checked && !selected);

  const RECT text{rc.left + 21, rc.top + 2, rc.right, rc.bottom};
  SetBkMode(dc, TRANSPARENT);
  PromptText(dc, cPrompt, text, DT_LEFT, 21);
  if (grayed) detail::Emboss(dc, text, menu);
  return true;
}

namespace {
bool IsVersion6OrLater() {
  static const bool six = [] {
    OSVERSIONINFOA v = Version();
    return v.dwPlatformId == VER_PLATFORM_WIN32_NT && v.dwMajorVersion >= 6;
  }();
  return six;
}

bool IsBarColour(COLORREF c) {
  static constexpr COLORREF kBar[] = {RGB(254, 254, 255), RGB(255, 255, 255), RGB(255, 248, 255),
                                      RGB(239, 240, 240), RGB(245, 254, 255)};
  return std::find(std::begin(kBar), std::end(kBar), c) != std::end(kBar);
}
}  // namespace

bool MENUDRAW2007(const DRAWITEMSTRUCT* p, const std::string& cPrompt, HMENU hBarMenu, HBITMAP hBitmap, HWND hWnd) {
  if (!PaintRequest(p)) return false;
  HDC dc = p->hDC;
  SavedDC saved(dc);
  RECT rc = p->rcItem;
  const bool bar = hBarMenu && GETDRAWMENU(p) == hBarMenu;
  const bool grayed = Grayed(p);
  const bool selected = (p->itemState & ODS_SELECTED) && !grayed;
  const bool checked = p->itemState & ODS_CHECKED;
  const bool six = IsVersion6OrLater();

  if (selected) {
    const int mid = rc.top + (rc.bottom - rc.top) / 2;
    GRADIENT(dc, ARect{rc.top, rc.left, mid - 1, rc.right}, RGB(255, 255, 251), RGB(255, 235, 180), true);
    GRADIENT(dc, ARect{mid, rc.left, rc.bottom - 1, rc.right}, RGB(255, 215, 84), RGB(255, 233, 162), true);
    TempObj<HBRUSH> frame(CreateSolidBrush(RGB(221, 207, 155)));
    if (frame) FrameRect(dc, &rc, frame);
  } else if (bar) {
    // The last item stretches the bar's background to the window's edge.
    if (!IsBarColour(GetPixel(dc, rc.right + 2, rc.top)) && hWnd) {
      RECT client{};
      if (GetClientRect(hWnd, &client)) rc.right = client.right + (six ? 8 : 3);
    }
    GRADIENT(dc, ARect{rc.top, rc.left, rc.top + 7, rc.right}, RGB(254, 254, 255), RGB(229, 234, 245), true);
    GRADIENT(dc, ARect{rc.top + 8, rc.left, rc.bottom - 1, rc.right}, RGB(212, 219, 237), RGB(225, 230, 246), true);
    Fill(dc, rc.left, rc.bottom - 2, rc.right, rc.bottom - 1, RGB(182, 188, 204));
    Fill(dc, rc.left, rc.bottom - 1, rc.right, rc.bottom, six ? RGB(240, 240, 240) : RGB(255, 255, 255));
  } else {
    Fill(dc, rc.left, rc.top, rc.left + 24, rc.bottom, RGB(233, 238, 238));
    Fill(dc, rc.left + 24, rc.top, rc.left + 25, rc.bottom, RGB(197, 197, 197));
    Fill(dc, rc.left + 25, rc.top, rc.right, rc.bottom, RGB(250, 250, 250));
  }

  if (checked) {
    PixelBuffer buffer;
    if (HBITMAP mark = CheckMark2007(buffer)) Picture(dc, mark, rc.left + 1, rc.top, false);
  }
  if (hBitmap) {
    if (checked) Picture(dc, hBitmap, rc.left + 1, rc.top + 1, !selected);
    else Picture(dc, hBitmap, rc.left + 4, rc.top + 2, false);
  }

  if (cPrompt.empty()) {
    if (!bar && !hBitmap) Fill(dc, rc.left + 33, rc.top + 3, rc.right, rc.top + 4, RGB(197, 197, 197));
    return true;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, grayed ? RGB(192, 192, 192) : RGB(0, 0, 0));
  RECT text = p->rcItem;
  text.top += 2;
  if (bar) {
    PromptText(dc, cPrompt, text, DT_CENTER, 21);
  } else {
    text.left += 33;
    PromptText(dc, cPrompt, text, DT_LEFT, 21);
  }
  return true;
}

int MITEMS2007(HMENU hMenu) {
  const int n = GETMITEMCOUNT(hMenu);
  for (int i = 0; i < n; ++i) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoA(hMenu, UINT(i), TRUE, &mii) || (mii.fType & MFT_OWNERDRAW)) continue;
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    mii.fType |= MFT_OWNERDRAW;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(hMenu);
    SetMenuItemInfoA(hMenu, UINT(i), TRUE, &mii);
  }
  return n;
}

}  // namespace nx
