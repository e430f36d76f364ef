#include "classes/control.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "classes/brush.h"
#include "classes/cursor.h"
#include "classes/folder.h"
#include "classes/font.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "native/draw.h"
#include "rt/dlgitem.h"
#include "rt/strings.h"

namespace nx {

namespace {

int g_colStep = 8, g_rowStep = 8;
int g_originRow = 0, g_originCol = 0;  // snapped start of a design move or resize
bool g_dragging = false;
HWND g_dotsParent = nullptr;

std::string UpperClassOf(HWND h) { return Upper(GETCLASSNAME(h)); }

// Mouse words above 32767 are negative 16-bit values.
int Signed16(int v) { return v > 32767 ? v - 65536 : v; }

RECT ClientOf(HWND h) {
  RECT r{};
  if (h) GetClientRect(h, &r);
  return r;
}

int HeightOf(HWND h) {
  RECT r{};
  if (h && GetWindowRect(h, &r)) return r.bottom - r.top;
  return 0;
}

int WidthOf(HWND h) {
  RECT r{};
  if (h && GetWindowRect(h, &r)) return r.right - r.left;
  return 0;
}

// 1 when the window's parent is top-level, 0 when it is itself a child.
int TopLevelParent(HWND hWnd) {
  HWND parent = GetParent(hWnd);
  return parent && (GetWindowLongA(parent, GWL_STYLE) & WS_CHILD) ? 0 : 1;
}

void Place(HWND h, int x, int y, int w, int hgt) {
  SetWindowPos(h, nullptr, x, y, w, hgt, SWP_NOZORDER | SWP_NOACTIVATE);
}

HCURSOR SystemCursor(int id) { return LoadCursorA(nullptr, MAKEINTRESOURCEA(id)); }

}  // namespace

// ---- natives -------------------------------------------------------------------------------

int WNDTOP(HWND hWnd) {
  RECT r{};
  if (!hWnd || !GetWindowRect(hWnd, &r)) return 0;
  if (HWND p = GetParent(hWnd)) MapWindowPoints(HWND_DESKTOP, p, reinterpret_cast<POINT*>(&r), 2);
  return r.top;
}

int WNDLEFT(HWND hWnd) {
  RECT r{};
  if (!hWnd || !GetWindowRect(hWnd, &r)) return 0;
  if (HWND p = GetParent(hWnd)) MapWindowPoints(HWND_DESKTOP, p, reinterpret_cast<POINT*>(&r), 2);
  return r.left;
}

void WNDTOP(HWND hWnd, int nValue) {
  if (hWnd) SetWindowPos(hWnd, nullptr, WNDLEFT(hWnd), nValue, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WNDLEFT(HWND hWnd, int nValue) {
  if (hWnd) SetWindowPos(hWnd, nullptr, nValue, WNDTOP(hWnd), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int WNDWIDTH(HWND hWnd) { return WidthOf(hWnd); }
int WNDHEIGHT(HWND hWnd) { return HeightOf(hWnd); }

void WNDWIDTH(HWND hWnd, int nValue) {
  if (hWnd)
    SetWindowPos(hWnd, nullptr, 0, 0, nValue, HeightOf(hWnd), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WNDHEIGHT(HWND hWnd, int nValue) {
  if (hWnd) SetWindowPos(hWnd, nullptr, 0, 0, WidthOf(hWnd), nValue, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WNDADJTOP(HWND hWnd) {
  if (!hWnd) return;
  RECT pc = ClientOf(GetParent(hWnd));
  std::string cls = UpperClassOf(hWnd);
  int o = (cls == "REBARWINDOW32" || cls == "TOOLBARWINDOW32") ? 0 : 1;
  Place(hWnd, -o, -o, pc.right + 2, HeightOf(hWnd));
}

void WNDADJBOTTOM(HWND hWnd) {
  if (!hWnd) return;
  RECT pc = ClientOf(GetParent(hWnd));
  int h = HeightOf(hWnd);
  Place(hWnd, -1, pc.bottom + TopLevelParent(hWnd) - h, pc.right + 2, h);
}

void WNDADJLEFT(HWND hWnd, HWND hTop, HWND hBottom) {
  if (!hWnd) return;
  RECT pc = ClientOf(GetParent(hWnd));
  int g = TopLevelParent(hWnd), t = HeightOf(hTop), b = HeightOf(hBottom);
  Place(hWnd, 0, t - 3 + g, WidthOf(hWnd), pc.bottom + g + 1 - t - b);
}

void WNDADJRIGHT(HWND hWnd, HWND hTop, HWND hBottom) {
  if (!hWnd) return;
  RECT pc = ClientOf(GetParent(hWnd));
  int g = TopLevelParent(hWnd), t = HeightOf(hTop), b = HeightOf(hBottom), w = WidthOf(hWnd);
  Place(hWnd, pc.right - w, t - 1 + g, w, pc.bottom + g + 1 - t - b);
}

void WNDADJCLIENT(HWND hWnd, HWND hTop, HWND hBottom, HWND hLeft, HWND hRight, bool lFlat, int nBevel) {
  if (!hWnd) return;
  RECT pc = ClientOf(GetParent(hWnd));
  int W = pc.right, H = pc.bottom;
  int t = HeightOf(hTop) + (hTop && UpperClassOf(hTop) == "TOOLBARWINDOW32" ? 2 : 0);
  int b = HeightOf(hBottom);
  int l = hLeft ? WidthOf(hLeft) - 1 : 0;
  int r = WidthOf(hRight);
  if (nBevel > 0) {
    Place(hWnd, l + nBevel, t + nBevel, W - l - r - 2 * nBevel, H - t - b - 2 * nBevel);
  } else if (!TopLevelParent(hWnd)) {
    Place(hWnd, l, t - (t ? 2 : 0), W - l - r, H - t - b + 1 + (t ? 1 : 0));
  } else {
    int y = t == 0 ? t - 1 : t - 2 + (lFlat ? 1 : 0);
    int h = H - t - b + 3 - (lFlat ? 2 : 1) + (t ? 1 : 0) + (t == 0 && !lFlat ? 1 : 0);
    Place(hWnd, l - 1, y, W - l - r + 2, h);
  }
}

void DOTSADJUST(HWND hWnd, const std::array<HWND, 8>& aDots) {
  if (!hWnd) return;
  int w = WidthOf(hWnd), h = HeightOf(hWnd);
  const POINT at[8] = {{-3, -2},        {w / 2 - 2, -2},    {w - 3, -2}, {w - 3, h / 2 - 2},
                       {w - 3, h - 3}, {w / 2 - 2, h - 3}, {-3, h - 3}, {-3, h / 2 - 2}};
  HWND parent = GetParent(hWnd);
  for (int i = 0; i < 8; ++i) {
    if (!aDots[size_t(i)]) continue;
    POINT p = at[i];
    MapWindowPoints(hWnd, parent, &p, 1);
    SetWindowPos(aDots[size_t(i)], HWND_TOP, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    InvalidateRect(aDots[size_t(i)], nullptr, TRUE);
    UpdateWindow(aDots[size_t(i)]);
  }
}

std::string CCTRL2CHR(int nTop, int nLeft, int nBottom, int nRight, int nId, DWORD nStyle,
                      const std::string& cClassName, const std::string& cCaption) {
  auto wide = [](const std::string& s, UINT codePage) {
    std::u16string w;
    if (s.empty()) return w;
    int n = MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), nullptr, 0);
    if (n <= 0) return w;
    std::wstring buf(size_t(n), L'\0');
    MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), buf.data(), n);
    w.assign(buf.begin(), buf.end());
    return w;
  };
  return DialogItemBytes(nTop, nLeft, nBottom, nRight, nId, nStyle, wide(cClassName, CP_OEMCP),
                         wide(cCaption, CP_ACP));
}

bool CTL3DLOOK(HWND hWnd, bool lOn) {
  // The optional three-dimensional controls library of old systems.
  static HMODULE lib = [] {
    HMODULE h = LoadLibraryA("CTL3D32.DLL");
    if (h) {
      if (auto reg = LibEntry<BOOL(WINAPI*)(HINSTANCE)>(h, "Ctl3dRegister"))
        reg(GetModuleHandleA(nullptr));
      if (auto autoSub = LibEntry<BOOL(WINAPI*)(HINSTANCE)>(h, "Ctl3dAutoSubclass"))
        autoSub(GetModuleHandleA(nullptr));
    }
    return h;
  }();
  if (!lib || !hWnd) return false;
  if (lOn) {
    auto sub = LibEntry<BOOL(WINAPI*)(HWND)>(lib, "Ctl3dSubclassCtl");
    return sub && sub(hWnd);
  }
  auto unsub = LibEntry<BOOL(WINAPI*)(HWND)>(lib, "Ctl3dUnsubclassCtl");
  return unsub && unsub(hWnd);
}

LONG GETDLGBASEUNITS() { return GetDialogBaseUnits(); }

void SetGridSize(int nColStep, int nRowStep) {
  g_colStep = std::max(nColStep, 1);
  g_rowStep = std::max(nRowStep, 1);
}

std::pair<int, int> GetGridSize() { return {g_colStep, g_rowStep}; }

// ---- identifiers and binding ----------------------------------------------------------------

int& TControl::nInitID() {
  static int id = 100;
  return id;
}

int TControl::GetNewId() {
  int& id = nInitID();
  id = id < 30000 ? id + 1 : 100;
  return id;
}

void TControl::CreateControl(const char* cClassName) {
  Register();
  Create(cClassName);
  if (TWindowPtr parent = Parent(); parent && hWnd) parent->AddControl(Self());
}

bool TControl::CreateOrDefer(const TWindowPtr& parent, const char* cClassName, const std::function<void()>& setUp) {
  if (parent && parent->hWnd) {
    nId = GetNewId();
    Create(cClassName);
    if (!hWnd) return false;
    parent->AddControl(Self());
    if (setUp) setUp();
  } else if (parent) {
    parent->DefControl(Self());
  }
  return true;
}

void TControl::ApplyFont() {
  if (oFont) SetFont(oFont);
  else GetFont();
}

void TControl::Redefine(int id, const TWindowPtr& parent) {
  nId = id;
  oWnd = parent;
  lValidating = false;
  Register();
  if (parent) parent->DefControl(Self());
}

void TControl::Initiate(HWND hDlg) {
  hWnd = hDlg ? GetDlgItem(hDlg, nId) : nullptr;
  if (!hWnd) {
    RaiseError(_NXGENERROR(1, "No: " + Str(Value(nId), 6)));
    return;
  }
  if (lActive) Enable();
  else Disable();
  Link();
  if (oFont) SetFont(oFont);
  else GetFont();
  if (lTransparent) {
    if (TWindowPtr parent = Parent()) SetBrush(parent->oBrush);
  }
}

std::string TControl::cToChar(const std::string& cClassName) {
  std::string cls = cClassName.empty() ? std::string(ClassName()) : cClassName;
  if (nId == 0) nId = GetNewId();
  DWORD style = nStyle ? nStyle : (WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  LONG units = GETDLGBASEUNITS();
  int bx = std::max(int(LOWORD(units)), 1), by = std::max(int(HIWORD(units)), 1);
  // A generated dialog has the system font, whose dialog units are a quarter
  // of bx across and an eighth of by down.
  return CCTRL2CHR(8 * nTop / by, 4 * nLeft / bx, 8 * nBottom / by, 4 * nRight / bx, nId, style, cls, cCaption);
}

// ---- events ------------------------------------------------------------------------------------

Value TControl::HandleEvent(UINT nMsg, WPARAM w, LPARAM l) {
  switch (nMsg) {
    case WM_HELP:
      if (nHelpId == 0) return Value();  // no topic: the request goes on to the parent
      HelpTopic();
      return Value(0);
    case WM_NX_CLICK: return Click();
    case 25:  // WM_CTLCOLOR of a child of this control
      return CtlColor(reinterpret_cast<HWND>(l), reinterpret_cast<HDC>(w));
    case WM_KEYUP: return KeyUp(w, l);
    case WM_KILLFOCUS: return KillFocus(reinterpret_cast<HWND>(w));
    case WM_PAINT: return Display();
    case WM_NX_CHANGE: return Change();
    case WM_NX_CTLCOLOR: return Colors(reinterpret_cast<HDC>(w));
    case WM_NX_LOSTFOCUS: return NXLostFocus(reinterpret_cast<HWND>(w));
    case WM_SYSCOMMAND: return SysCommand(w, LOWORD(l), HIWORD(l));
    case WM_SYSCHAR: return SysChar(int(w), int(l));
    case WM_SYSKEYDOWN: return SysKeyDown(int(w), int(l));
    case WM_UPDATEUISTATE: {
      Value r = TWindow::HandleEvent(nMsg, w, l);
      if (DrawsKeyboardCues()) Refresh();
      if (TWindowPtr parent = Parent()) parent->Refresh();
      return r;
    }
    case WM_WINDOWPOSCHANGED:
      // However the window moved (alignment, the dialog manager, a direct
      // call), the coordinates read back are where it is.
      if (hWnd) {
        RECT r{};
        GetWindowRect(hWnd, &r);
        HWND parent = (GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) ? GetParent(hWnd) : nullptr;
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
        nTop = r.top, nLeft = r.left, nBottom = r.bottom - 1, nRight = r.right - 1;
      }
      return TWindow::HandleEvent(nMsg, w, l);
    default: return TWindow::HandleEvent(nMsg, w, l);
  }
}

Value TControl::Click() {
  if (TWindowPtr parent = Parent()) parent->AEvalWhen();
  return Value();
}

Value TControl::Colors(HDC hDC) {
  if (!lClrPaneSet) {
    nClrText = GetTextColor(hDC);
    nClrPane = GetBkColor(hDC);
    lClrPaneSet = true;
  }
  if (!oBrush) oBrush = TBrush::New({.nRGBColor = nClrPane});
  SetTextColor(hDC, nClrText);
  SetBkColor(hDC, nClrPane);
  bool parentBack = ShowsParentBackground();
  if (lTransparent) {
    SetBkMode(hDC, TRANSPARENT);
    if (ISAPPTHEMED() && parentBack) {
      if (TWindowPtr parent = Parent()) {
        PARENTIMAGE(hWnd, hDC);
        if (ParentErasesBehind()) SendMessageA(parent->hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
      }
    }
  } else if (ISAPPTHEMED() && parentBack) {
    DRAWPBACK(hWnd, hDC);
  }
  return Value(int64_t(reinterpret_cast<intptr_t>(oBrush ? oBrush->hBrush : nullptr)));
}

Value TControl::EraseBkGnd(HDC hDC) {
  if (bEraseBkGnd) return bEraseBkGnd(hDC, *this);
  if (oBrush && oBrush->hBrush && !lTransparent) {
    RECT r = ClientOf(hWnd);
    FillRect(hDC, &r, oBrush->hBrush);
    return Value(1);
  }
  return Value();
}

Value TControl::GetDlgCode(WPARAM nKey) {
  TWindowPtr parent = Parent();
  if (parent && !parent->lValidating && (nKey == VK_RETURN || nKey == VK_TAB || nKey == VK_DOWN || nKey == VK_UP))
    parent->nLastKey = int(nKey);
  if (TWindowPtr folder = parent ? parent->Parent() : nullptr; folder && folder->IsFolder())
    return Value(DLGC_WANTALLKEYS);
  return nDlgCode;
}

Value TControl::GotFocus(HWND hCtlLost) {
  TControlPtr keep = SelfCtl();
  lFocused = true;
  if (TWindowPtr parent = Parent()) {
    parent->nResult = Value(Self());
    parent->oCtlFocus = Self();
    parent->hCtlFocus = hWnd;
  }
  SetMsg(cMsg);
  if (lDrag) ShowDots();
  return bGotFocus ? bGotFocus(*this, hCtlLost) : Value();
}

Value TControl::LostFocus(HWND hWndGetFocus) {
  SetMsg();
  return TWindow::LostFocus(hWndGetFocus);
}

Value TControl::KillFocus(HWND hNew) {
  TControlPtr keep = SelfCtl();
  TWindowPtr parent = Parent();
  auto target = std::dynamic_pointer_cast<TControl>(oWndFromHwnd(hNew));
  if (hNew && bValid && parent && WndParents(hNew, hWnd) && target && target->IsPushButton() && target->lCancel &&
      parent->nLastKey != VK_TAB && parent->nLastKey != VK_RETURN && parent->nLastKey != VK_DOWN &&
      parent->nLastKey != VK_UP) {
    parent->lValidating = true;
    parent->nLastKey = 0;
    ForWhen();
    parent->lValidating = false;
    LostFocus(hNew);
    return Value();
  }
  if (parent && target && target->ForgetsLastKeyOnFocus()) parent->nLastKey = 0;
  if (hNew && parent && !parent->lValidating && IsWindowVisible(parent->hWnd) && WndParents(hNew, hWnd))
    PostMessageA(hWnd, WM_NX_LOSTFOCUS, reinterpret_cast<WPARAM>(hNew), 0);
  return LostFocus(hNew);
}

Value TControl::NXLostFocus(HWND hNew) {
  TControlPtr keep = SelfCtl();
  TWindowPtr parent = Parent();
  if (!parent || parent->lValidating) return Value();
  parent->lValidating = true;
  TWindowPtr other;
  if (HWND newParent = hNew ? GetParent(hNew) : nullptr; newParent && newParent != parent->hWnd) {
    other = oWndFromHwnd(newParent);
    if (other) {
      if (other->lValidating) {
        parent->lValidating = false;
        return Value();
      }
      other->lValidating = true;
    }
  }
  if (!lValid()) {
    if (hWnd) ::SetFocus(hWnd);
  } else if (!IsFolder()) {
    ForWhen();
  }
  parent->lValidating = false;
  if (other) other->lValidating = false;
  return Value();
}

void TControl::ForWhen() {
  TControlPtr keep = SelfCtl();
  TWindowPtr parent = Parent();
  if (!parent) return;
  parent->AEvalWhen();
  lCaptured = false;
  if (TWindowPtr jump = oJump.lock()) {
    oJump.reset();
    jump->SetFocus();
  } else if (parent->nLastKey == VK_UP || (parent->nLastKey == VK_TAB && (GetKeyState(VK_SHIFT) & 0x8000))) {
    parent->GoPrevCtrl(hWnd);
  } else if (parent->nLastKey == VK_DOWN || parent->nLastKey == VK_RETURN || parent->nLastKey == VK_TAB) {
    parent->GoNextCtrl(hWnd);
  } else if (!GetFocus() && hWnd) {
    ::SetFocus(hWnd);
  }
  parent->nLastKey = 0;
}

Value TControl::KeyChar(int nKey, int nFlags) {
  TControlPtr keep = SelfCtl();
  TWindowPtr parent = Parent();
  if (nKey == VK_ESCAPE) {
    if (parent) parent->KeyChar(nKey, nFlags);
    return Value(0);
  }
  if (nKey == VK_TAB && parent) {
    if (GetKeyState(VK_SHIFT) & 0x8000) parent->GoPrevCtrl(hWnd);
    else parent->GoNextCtrl(hWnd);
    return Value(0);
  }
  if (nKey == VK_RETURN && parent) {
    SYSREFRESH();
    LRESULT def = parent->hWnd ? SendMessageA(parent->hWnd, DM_GETDEFID, 0, 0) : 0;
    if (HIWORD(def) == DC_HASDEFID) {
      HWND button = GetDlgItem(parent->hWnd, LOWORD(def));
      if (button && button != hWnd && (GetWindowLongA(button, GWL_STYLE) & BS_DEFPUSHBUTTON)) {
        SendMessageA(button, WM_KEYDOWN, VK_RETURN, 0);
        return Value(0);
      }
    }
    for (auto& c : parent->aControls) {
      if (c && c->nId == IDOK) {
        if (auto ctl = std::dynamic_pointer_cast<TControl>(c); ctl && ctl->ClickedAsOkOnEnter()) ctl->Click();
        return Value(0);
      }
    }
  }
  return TWindow::KeyChar(nKey, nFlags);
}

Value TControl::KeyDown(int nKey, int nFlags) {
  TControlPtr keep = SelfCtl();
  if (nKey == VK_ESCAPE) {
    if (TWindowPtr parent = Parent()) parent->KeyDown(nKey, nFlags);
    return Value(0);
  }
  if (lDrag) {
    if (nKey == VK_DELETE && MessageBoxA(hWnd, "Delete this control ?", "Select an option", MB_YESNO) == IDYES) {
      TWindowPtr parent = Parent();
      End();
      if (parent && parent->aControls.empty()) HideDots();
    }
    return Value();
  }
  return TWindow::KeyDown(nKey, nFlags);
}

Value TControl::SysCommand(WPARAM nType, int nLoWord, int) {
  if (nType != SC_KEYMENU) return Value();
  TWindowPtr parent = Parent();
  auto folder = std::dynamic_pointer_cast<TFolder>(parent ? parent->Parent() : nullptr);
  if (!folder) return parent && parent->OfferHotKey(nLoWord) ? Value(0) : Value();
  TControlPtr keep = SelfCtl();
  // Alt+letter on a folder page: the tab with that hot key, else the control
  // of the page, then of the folder's own window, whose caption carries it,
  // else a control with hot keys of its own there.
  if (int tab = folder->GetHotPos(nLoWord)) {
    folder->SetOption(tab);
    return Value(0);
  }
  auto hot = [&](const TWindowPtr& c) {
    std::string text = Upper(c->GetText());
    auto amp = text.find('&');
    return amp != std::string::npos && amp + 1 < text.size() && text[amp + 1] == char(toupper(nLoWord));
  };
  auto press = [&](const TWindowPtr& c) {
    c->SetFocus();
    SYSREFRESH();
    if (GetFocus() != hWnd) PostMessageA(c->hWnd, WM_NX_CLICK, 0, 0);
    return Value(0);
  };
  for (auto& c : parent->aControls)
    if (c && hot(c) && !c->lCancel) return press(c);
  if (TWindowPtr outer = folder->Parent())
    for (auto& c : outer->aControls)
      if (c && c != folder && hot(c)) return press(c);
  folder->OfferHotKey(nLoWord);
  return Value(0);
}

Value TControl::SysChar(int nKey, int) {
  TWindowPtr parent = Parent();
  if (!parent || !parent->IsMdiChild()) return Value();
  for (auto& c : parent->aControls) {
    if (!c) continue;
    std::string text = Upper(c->GetText());
    auto amp = text.find('&');
    if (amp != std::string::npos && amp + 1 < text.size() && text[amp + 1] == char(toupper(nKey))) {
      c->SetFocus();
      if (auto ctl = std::dynamic_pointer_cast<TControl>(c)) ctl->Click();
      return Value(0);
    }
  }
  return Value();
}

Value TControl::SysKeyDown(int nKey, int nFlags) {
  if (bSysKeyDown) bSysKeyDown(nKey, nFlags, *this);
  return Value();
}

bool TControl::End() {
  TControlPtr keep = SelfCtl();
  if (TWindowPtr parent = Parent()) {
    auto& list = parent->aControls;
    list.erase(std::remove_if(list.begin(), list.end(), [&](const TWindowPtr& c) { return c && c->hWnd == hWnd; }),
               list.end());
    if (parent->oCtlFocus.get() == this) parent->oCtlFocus = nullptr;
  }
  return TWindow::End();
}

void TControl::ChangeFocus() { PostMessageA(hWnd, WM_NX_CHANGEFOCUS, 0, 0); }

void TControl::Default() {
  lDrag = false;
  lCaptured = false;
}

void TControl::SetFocus() {
  if (!hWnd) return;
  if (lWhen()) {
    ::SetFocus(hWnd);
    return;
  }
  HWND next = GetWindow(hWnd, GW_HWNDNEXT);
  if (next && GetParent(next) == GetParent(hWnd)) ::SetFocus(next);
  else if (HWND first = GetWindow(GetParent(hWnd), GW_CHILD)) ::SetFocus(first);
}

Value TControl::VarGet() { return bSetGet ? bSetGet(std::nullopt) : Value(); }

void TControl::VarPut(const Value& uValue) {
  if (bSetGet) bSetGet(uValue);
}

void TControl::DragBegin(int nRow, int nCol, int nKeyFlags) {
  if (!g_dragging) {
    g_dragging = true;
    SetCapture(hWnd);
  }
  if (bDragBegin) bDragBegin(nRow, nCol, nKeyFlags, *this);
}

// ---- mouse -------------------------------------------------------------------------------------------

Value TControl::LButtonDown(int nRow, int nCol, int nKeyFlags) {
  TControlPtr keep = SelfCtl();
  if (TWindowPtr parent = Parent()) parent->nLastKey = 1002;
  lMouseDown = true;
  nLastRow = nRow;
  nLastCol = nCol;
  if (!lDrag) return TWindow::LButtonDown(nRow, nCol, nKeyFlags);
  HideDots();
  SetCursor(CURSORCATCH());
  if (!lCaptured) {
    int r = nRow - nRow % g_rowStep, c = nCol - nCol % g_colStep;
    nPoint = MAKELONG(r, c);
    g_originRow = r;
    g_originCol = c;
    CTRLDRAWFOCUS(hWnd, 0, 0, r, c, nMResize);
    SetCapture(hWnd);
    lCaptured = true;
  }
  return Value(0);
}

Value TControl::MouseMove(int nRow, int nCol, int nKeyFlags) {
  TControlPtr keep = SelfCtl();
  nRow = Signed16(nRow);
  nCol = Signed16(nCol);
  if (lDrag) {
    if (lCaptured) {
      if (!nMResize) SetCursor(CURSORCATCH());
      int pr = nPoint ? short(LOWORD(*nPoint)) : 0, pc = nPoint ? short(HIWORD(*nPoint)) : 0;
      if (std::abs(nRow - pr) >= g_rowStep || std::abs(nCol - pc) >= g_colStep) {
        CTRLDRAWFOCUS(hWnd, pr - g_originRow, pc - g_originCol, pr, pc, nMResize);
        int r = nRow - nRow % g_rowStep, c = nCol - nCol % g_colStep;
        nPoint = MAKELONG(r, c);
        CTRLDRAWFOCUS(hWnd, r - g_originRow, c - g_originCol, r, c, nMResize);
      }
    } else if (oCursor && oCursor->hCursor) {
      SetCursor(oCursor->hCursor);
    }
    return Value(0);
  }
  if (lMouseDown && oDragCursor && (std::abs(nRow - nLastRow) > 5 || std::abs(nCol - nLastCol) > 5)) {
    if (!g_dragging) {
      DragBegin(nRow, nCol, nKeyFlags);
      SetCursor(oDragCursor->hCursor);
    } else {
      if (bMMoved) bMMoved(nRow, nCol, nKeyFlags, *this);
      POINT pt{nCol, nRow};
      ClientToScreen(hWnd, &pt);
      HWND under = WindowFromPoint(pt);
      TWindowPtr target = oWndFromHwnd(under);
      bool takes = under == hWnd || (target && target->bDropOver);
      SetCursor(takes ? oDragCursor->hCursor : CURSORNO());
    }
    return Value(0);
  }
  return TWindow::MouseMove(nRow, nCol, nKeyFlags);
}

Value TControl::LButtonUp(int nRow, int nCol, int nKeyFlags) {
  TControlPtr keep = SelfCtl();
  lMouseDown = false;
  if (g_dragging) {
    g_dragging = false;
    ReleaseCapture();
    POINT pt{Signed16(nCol), Signed16(nRow)};
    ClientToScreen(hWnd, &pt);
    if (HWND under = WindowFromPoint(pt)) {
      POINT local{Signed16(nCol), Signed16(nRow)};
      SendMessageA(under, WM_NX_DROPOVER, WPARAM(nKeyFlags), MAKELPARAM(local.y, local.x));
    }
    return Value();
  }
  if (lDrag && lCaptured) {
    ReleaseCapture();
    lCaptured = false;
    int pr = nPoint ? short(LOWORD(*nPoint)) : 0, pc = nPoint ? short(HIWORD(*nPoint)) : 0;
    CTRLDRAWFOCUS(hWnd, pr - g_originRow, pc - g_originCol, pr, pc, nMResize);
    int r = Signed16(nRow), c = Signed16(nCol);
    r -= r % g_rowStep;
    c -= c % g_colStep;
    CoorsUpdate();
    int top = WNDTOP(hWnd), left = WNDLEFT(hWnd), width = WNDWIDTH(hWnd), height = WNDHEIGHT(hWnd);
    if (!nMResize) {
      Move(top + r - g_originRow, left + c - g_originCol, 0, 0, true);
    } else {
      POINT p{c, r};
      MapWindowPoints(hWnd, GetParent(hWnd), &p, 1);
      int pr2 = p.y, pc2 = p.x;
      switch (nMResize) {
        case 1: Move(pr2, pc2, width + left - pc2, height + top - pr2); break;
        case 2: Move(pr2, left, width, height + top - pr2); break;
        case 3: Move(pr2, left, pc2 - left, height + top - pr2); break;
        case 4: SetSize(pc2 - left, height); break;
        case 5: SetSize(pc2 - left, pr2 - top); break;
        case 6: SetSize(width, pr2 - top); break;
        case 7: Move(top, pc2, width + left - pc2, pr2 - top); break;
        case 8: Move(top, pc2, width + left - pc2, height); break;
        default: break;
      }
      nPoint.reset();
    }
    if (int a = nAlign(); a > ALIGN_NONE) {
      if (TWindowPtr parent = Parent()) parent->ReSize();
    }
    if (aDots[0] && aDots[0]->hWnd) ShowDots();
    nMResize = 0;
    if (GetFocus() != hWnd) ::SetFocus(hWnd);
    return Value(0);
  }
  if (lDrag) {
    if (GetFocus() != hWnd) ::SetFocus(hWnd);
    return Value(0);
  }
  return TWindow::LButtonUp(nRow, nCol, nKeyFlags);
}

Value TControl::LDblClick(int nRow, int nCol, int nKeyFlags) {
  if (lDrag) {
    if (bLDblClick) bLDblClick(nRow, nCol, nKeyFlags, *this);
    return LButtonUp(nRow, nCol, nKeyFlags);
  }
  return TWindow::LDblClick(nRow, nCol, nKeyFlags);
}

// ---- alignment ----------------------------------------------------------------------------------------

void TControl::AdjTop() {
  WNDADJTOP(hWnd);
  if (lDrag && lFocused) ShowDots();
}

void TControl::AdjBottom() {
  WNDADJBOTTOM(hWnd);
  if (lDrag && lFocused) ShowDots();
}

namespace {
HWND TopNeighbour(const TWindowPtr& p) { return p->oBar ? p->oBar->hWnd : p->oTop ? p->oTop->hWnd : nullptr; }
HWND BottomNeighbour(const TWindowPtr& p) {
  return p->oMsgBar ? p->oMsgBar->hWnd : p->oBottom ? p->oBottom->hWnd : nullptr;
}
}  // namespace

void TControl::AdjLeft() {
  if (TWindowPtr p = Parent()) WNDADJLEFT(hWnd, TopNeighbour(p), BottomNeighbour(p));
  if (lDrag && lFocused) ShowDots();
}

void TControl::AdjRight() {
  if (TWindowPtr p = Parent()) WNDADJRIGHT(hWnd, TopNeighbour(p), BottomNeighbour(p));
  if (lDrag && lFocused) ShowDots();
}

void TControl::AdjClient() {
  if (TWindowPtr p = Parent()) {
    WNDADJCLIENT(hWnd, TopNeighbour(p), BottomNeighbour(p), p->oLeft ? p->oLeft->hWnd : nullptr,
                 p->oRight ? p->oRight->hWnd : nullptr, false, nClientBevel);
  }
  if (lDrag && lFocused) ShowDots();
}

int TControl::nAlign() {
  TWindowPtr p = Parent();
  if (!p) return 0;
  TWindow* self = this;
  if (p->oTop.get() == self) return ALIGN_TOP;
  if (p->oLeft.get() == self) return ALIGN_LEFT;
  if (p->oBottom.get() == self) return ALIGN_BOTTOM;
  if (p->oRight.get() == self) return ALIGN_RIGHT;
  if (p->oClient.get() == self) return ALIGN_CLIENT;
  return ALIGN_NONE;
}

void TControl::nAlign(int n) {
  TWindowPtr p = Parent();
  if (!p) return;
  TWindowPtr* slots[] = {&p->oTop, &p->oLeft, &p->oBottom, &p->oRight, &p->oClient};
  for (int i = 0; i < 5; ++i)
    if (slots[i]->get() == this && n != i + 2) *slots[i] = nullptr;
  if (n >= ALIGN_TOP && n <= ALIGN_CLIENT) *slots[n - 2] = Self();
  p->ReSize();
}

void TControl::Move(int top, int left, int width, int height, bool lRepaint) {
  TWindow::Move(top, left, width, height, lRepaint);
  if (lDrag && lFocused && aDots[0]) ShowDots();
}

void TControl::SetWidth(int n) {
  WNDWIDTH(hWnd, n);
  if (lDrag) ShowDots();
}

void TControl::SetHeight(int n) {
  WNDHEIGHT(hWnd, n);
  if (lDrag) ShowDots();
}

// ---- design mode -----------------------------------------------------------------------------------------

void TControl::CheckDots() {
  if (!lDrag) return;
  int width = nRight - nLeft + 1, height = nBottom - nTop + 1;
  int top = nTop - nTop % g_rowStep, left = nLeft - nLeft % g_colStep;
  width -= width % g_colStep;
  height -= height % g_rowStep;
  if (hWnd) SetWindowPos(hWnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  nTop = top, nLeft = left, nBottom = top + height - 1, nRight = left + width - 1;
  if (aDots[0] && aDots[0]->hWnd) return;
  static const int kCursors[8] = {32642, 32645, 32643, 32644, 32642, 32645, 32643, 32644};  // NWSE NS NESW WE
  TWindowPtr parent = Parent();
  for (int i = 0; i < 8; ++i) {
    auto cursor = std::make_shared<TCursor>();
    cursor->hCursor = SystemCursor(kCursors[i]);
    cursor->lPredef = true;  // the system's: ending the handles must not destroy it
    auto dot = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 2, .nRight = 2, .nStyle = WS_CHILD | WS_CLIPSIBLINGS,
                             .oWnd = parent, .nClrFore = RGB(0, 0, 0), .nClrBack = RGB(0, 0, 0),
                             .oCursor = cursor, .lPixel = true});
    int handle = i + 1;
    dot->bLClicked = [handle](int nRow, int nCol, int, TWindow& d) {
      HideDots();
      if (TWindowPtr p = d.Parent()) {
        if (auto focused = std::dynamic_pointer_cast<TControl>(p->oCtlFocus))
          focused->MResize(handle, nRow, nCol, d.Self());
      }
      return Value();
    };
    ShowWindow(dot->hWnd, SW_HIDE);
    aDots[size_t(i)] = dot;
  }
  g_dotsParent = parent ? parent->hWnd : nullptr;
}

void TControl::ShowDots() {
  if (!aDots[0] || !aDots[0]->hWnd) return;
  TWindowPtr parent = Parent();
  HWND hParent = parent ? parent->hWnd : nullptr;
  if (hParent && g_dotsParent != hParent) {
    for (auto& d : aDots) {
      if (!d) continue;
      ShowWindow(d->hWnd, SW_HIDE);
      d->oWnd = parent;
      SetParent(d->hWnd, hParent);
    }
    g_dotsParent = hParent;
  }
  std::array<HWND, 8> handles{};
  for (size_t i = 0; i < 8; ++i) handles[i] = aDots[i] ? aDots[i]->hWnd : nullptr;
  DOTSADJUST(hWnd, handles);
  for (HWND h : handles)
    if (h) ShowWindow(h, SW_SHOWNA);
}

void TControl::HideDots() {
  for (auto& d : aDots)
    if (d && d->hWnd) ShowWindow(d->hWnd, SW_HIDE);
  SYSREFRESH();
}

void TControl::MResize(int nHandle, int nRow, int nCol, const TWindowPtr& oDot) {
  if (oDot && oDot->oCursor) SetCursor(oDot->oCursor->hCursor);
  POINT p{nCol + (oDot ? oDot->nWidth() : 0), nRow + (oDot ? oDot->nHeight() : 0)};
  if (oDot && oDot->hWnd) MapWindowPoints(oDot->hWnd, hWnd, &p, 1);
  int r = p.y - p.y % g_rowStep, c = p.x - p.x % g_colStep;
  nPoint = MAKELONG(r, c);
  g_originRow = r;
  g_originCol = c;
  nMResize = nHandle;
  CTRLDRAWFOCUS(hWnd, 0, 0, r, c, nMResize);
  lCaptured = true;
  SetCapture(hWnd);
}

void TControl::l3D(bool lOn) {
  l3DLook = lOn;
  if (lOn) Set3DLook(true);
}

bool TControl::Set3DLook(bool lOn) { return CTL3DLOOK(hWnd, lOn); }

}  // namespace nx
