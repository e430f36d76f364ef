// TWindow: construction, registration, creation, activation, destruction,
// geometry, show state, children and module functions.
#include "classes/window.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "classes/brush.h"
#include "classes/cursor.h"
#include "classes/font.h"
#include "classes/icon.h"
#include "classes/rect.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "rt/strings.h"

namespace nx {

namespace {
std::weak_ptr<TWindow> g_defaultWindow;
bool g_balloon = false;
bool g_alpha = true;
Value g_dropInfo;

std::string SystemErrorText(DWORD code) {
  char* text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string s = n && text ? std::string(text, n) : "Error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

}  // namespace

// ---- construction ----------------------------------------------------------------

TWindow::TWindow() = default;

TWindow::~TWindow() = default;

bool& TWindow::lRegistered() {
  static bool registered = false;
  return registered;
}

TWindowPtr TWindow::New(const TWindowParams& p) {
  auto w = std::make_shared<TWindow>();
  w->Init(p);
  return w;
}

void TWindow::Init(const TWindowParams& p) {
  DWORD style = p.nStyle;
  if (style == 0) {
    style = WS_CLIPCHILDREN;
    if (p.cBorder == "NONE") style |= WS_POPUP;
    if (p.cBorder == "SINGLE") style |= WS_THICKFRAME;
    if (p.lCaption) {
      style |= WS_CAPTION;
      if (p.lSysMenu) style |= WS_SYSMENU;
      if (p.lMin) style |= WS_MINIMIZEBOX;
      if (p.lMax) style |= WS_MAXIMIZEBOX;
    }
    if (p.lVScroll) style |= WS_VSCROLL;
    if (p.lHScroll) style |= WS_HSCROLL;
  }
  if (p.lPixel) {
    nTop = p.nTop, nLeft = p.nLeft, nBottom = p.nBottom, nRight = p.nRight;
  } else {
    nTop = p.nTop * 16, nLeft = p.nLeft * 8, nBottom = p.nBottom * 16, nRight = p.nRight * 8;
  }
  nStyle = style;
  cCaption = p.cTitle;
  oCursor = p.oCursor;
  oMenu = p.oMenu;
  oWnd = p.oWnd;
  oIcon = p.oIcon;
  if (!oIcon && !p.cIcon.empty()) oIcon = TIcon::FromName(p.cIcon);
  lVisible = true;
  aControls.clear();
  nLastKey = 0;
  lValidating = false;

  oBrush = p.oBrush;
  Register();
  Create();
  SetColor(p.nClrFore.value_or(GetSysColor(COLOR_WINDOWTEXT)), p.nClrBack.value_or(GetSysColor(COLOR_WINDOW)),
           p.oBrush);
  if (oMenu) SetMenu(oMenu);
  AttachScrollBars(p.lVScroll, p.lHScroll);
  GetFont();
  SetWndDefault(Self());
}

void TWindow::Register(std::optional<UINT> nClassStyle) {
  bool& registered = lRegistered();
  if (registered) return;
  UINT style = nClassStyle.value_or(CS_VREDRAW | CS_HREDRAW) | CS_GLOBALCLASS | CS_DBLCLKS;
  if (!lClrPaneSet) {
    nClrPane = GetSysColor(COLOR_WINDOW);
    lClrPaneSet = true;
  }
  if (!oBrush) oBrush = TBrush::New({.nRGBColor = nClrPane});
  HINSTANCE hInstance = GetModuleHandleA(nullptr);
  if (!GETCLASSINFO(hInstance, ClassName())) {
    registered = REGISTERCLASS(ClassName(), style, 0, 0, hInstance, nullptr, oBrush ? oBrush->hBrush : nullptr, "",
                               nullptr, oIcon ? oIcon->hIcon : nullptr);
  } else {
    registered = true;
  }
}

void TWindow::Create(const char* cClassName) {
  std::string cls = cClassName ? cClassName : ClassName();
  DWORD style = nStyle ? nStyle : WS_OVERLAPPEDWINDOW;
  TWindowPtr parent = Parent();
  if (parent) style |= WS_CHILD;
  // 32768 is the library's "not given": the platform chooses place and size.
  auto given = [](int n) { return n != 32768; };
  int x = given(nLeft) ? nLeft : CW_USEDEFAULT, y = given(nTop) ? nTop : CW_USEDEFAULT;
  int width = given(nLeft) && given(nRight) ? nRight - nLeft + 1 : CW_USEDEFAULT;
  int height = given(nTop) && given(nBottom) ? nBottom - nTop + 1 : CW_USEDEFAULT;
  hWnd = CREATEWINDOW(cls, cCaption, style, x, y, width, height, parent ? parent->hWnd : nullptr,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nId)));
  if (!hWnd) {
    WndCreateError(*this);
    return;
  }
  Link();
}

Value WndCreateError(TWindow& oWnd) {
  DWORD code = GetLastError();
  std::string text = "\r\nClass: " + std::string(oWnd.ClassName()) + "\r\nCaption: " + oWnd.cCaption +
                     "\r\nSystem Error: " + SystemErrorText(code);
  return RaiseError(_NXGENERROR(6, text));
}

void TWindow::Activate(const ActivateParams& p) {
  static constexpr const char* kShow[] = {"HIDDEN", "NORMAL", "ICONIZED", "MAXIMIZED"};
  auto show = std::find(std::begin(kShow), std::end(kShow), Upper(p.cShow));
  int nShow = show == std::end(kShow) ? SW_SHOWNORMAL : int(show - std::begin(kShow));
  nResult = Value();
  lValidating = false;
  if (p.bValid) bValid = p.bValid;
  if (p.bDropFiles) {
    bDropFiles = p.bDropFiles;
    if (hWnd) DragAcceptFiles(hWnd, TRUE);
  }
  if (p.bPainted) bPainted = p.bPainted;
  if (p.bLClicked) bLClicked = p.bLClicked;
  if (p.bRClicked) bRClicked = p.bRClicked;
  SetScrollBlocks(p);
  AEvalWhen();
  // Hold a reference: the loop below outlives the native window.
  TWindowPtr self = Self();
  if (hWnd) {
    ShowWindow(hWnd, nShow);
    UpdateWindow(hWnd);
  }
  lVisible = true;
  if (!LWRUNNING()) SETWNDAPP(hWnd);
  if (bInit) bInit(*this);
  ReSize();
  if (!Parent() && !LWRUNNING()) WINRUN(hWnd);
  lVisible = false;
}

bool TWindow::lValid() { return bValid ? bValid(*this) : true; }
bool TWindow::lWhen() { return bWhen ? bWhen(*this) : true; }

bool TWindow::End() {
  bool ok = lValid();
  if (ok && hWnd) PostMessageA(hWnd, WM_CLOSE, 0, 0);
  return ok;
}

Value TWindow::Destroy() {
  if (!hWnd) return Value();
  TWindowPtr keep = Self();
  ReleaseResources();
  UnLink();
  if (hWnd == GETWNDAPP()) PostQuitMessage(0);
  if (IsModelessDialog()) DEREGDIALOG(hWnd);
  if (GetWndDefault().get() == this) g_defaultWindow.reset();
  hWnd = nullptr;
  return Value();
}

// ---- geometry ----------------------------------------------------------------------

void TWindow::CoorsUpdate() {
  if (!hWnd) return;
  RECT r{};
  GetWindowRect(hWnd, &r);
  if (HWND parent = GetParent(hWnd); parent && (GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  nTop = r.top, nLeft = r.left, nBottom = r.bottom, nRight = r.right;
}

int TWindow::nWidth() {
  if (hWnd) {
    RECT r{};
    GetWindowRect(hWnd, &r);
    return r.right - r.left;
  }
  return nRight - nLeft + 1;
}

void TWindow::nWidth(int n) {
  if (hWnd) SetWindowPos(hWnd, nullptr, 0, 0, n, nHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TWindow::nHeight() {
  if (hWnd) {
    RECT r{};
    GetWindowRect(hWnd, &r);
    return r.bottom - r.top;
  }
  return nBottom - nTop + 1;
}

void TWindow::nHeight(int n) {
  if (hWnd) SetWindowPos(hWnd, nullptr, 0, 0, nWidth(), n, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWindow::SetCoors(const TRect& oRect) {
  if (hWnd)
    SetWindowPos(hWnd, nullptr, oRect.nLeft, oRect.nTop, oRect.nRight - oRect.nLeft, oRect.nBottom - oRect.nTop,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  nTop = oRect.nTop, nLeft = oRect.nLeft, nBottom = oRect.nBottom, nRight = oRect.nRight;
}

void TWindow::SetBounds(int left, int top, int right, int bottom) {
  if (hWnd) SetWindowPos(hWnd, nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWindow::Move(int top, int left, int width, int height, bool lRepaint) {
  if (!hWnd) return;
  if (width == 0) {  // a width of 0 keeps the size
    width = nWidth();
    height = nHeight();
  }
  MoveWindow(hWnd, left, top, width, height, lRepaint);
  CoorsUpdate();
}

void TWindow::SetSize(int width, int height, bool lRepaint) {
  if (!hWnd) return;
  SetWindowPos(hWnd, nullptr, 0, 0, width, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (lRepaint ? 0 : SWP_NOREDRAW));
  CoorsUpdate();
}

std::shared_ptr<TRect> TWindow::GetRect() {
  RECT r{};
  if (hWnd) GetWindowRect(hWnd, &r);
  return TRect::New(r.top, r.left, r.bottom, r.right);
}

std::shared_ptr<TRect> TWindow::GetCliRect() {
  RECT r{};
  if (hWnd) GetClientRect(hWnd, &r);
  return TRect::New(r.top, r.left, r.bottom, r.right);
}

void TWindow::Center(const TWindowPtr& over) {
  if (!hWnd) return;
  RECT mine{}, area{};
  GetWindowRect(hWnd, &mine);
  if (over && over->hWnd) GetWindowRect(over->hWnd, &area);
  else SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  int w = mine.right - mine.left, h = mine.bottom - mine.top;
  POINT pos{area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2};
  if (HWND parent = GetParent(hWnd); parent && (GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
    ScreenToClient(parent, &pos);
  SetWindowPos(hWnd, nullptr, pos.x, pos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- show state ----------------------------------------------------------------------

void TWindow::Show() { ShowWindow(hWnd, SW_SHOWNA); }
void TWindow::Hide() { ShowWindow(hWnd, SW_HIDE); }
void TWindow::Maximize() { ShowWindow(hWnd, SW_MAXIMIZE); }
void TWindow::Minimize() { ShowWindow(hWnd, SW_MINIMIZE); }
void TWindow::Normal() { ShowWindow(hWnd, SW_SHOWNORMAL); }
void TWindow::Restore() { ShowWindow(hWnd, SW_RESTORE); }
void TWindow::Iconize() { CloseWindow(hWnd); }
void TWindow::GoTop() { BringWindowToTop(hWnd); }

void TWindow::ToolWindow() {
  nExStyle |= WS_EX_TOOLWINDOW;
  if (!hWnd) return;
  SetWindowLongA(hWnd, GWL_EXSTYLE, LONG(GetWindowLongA(hWnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW));
  SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, 0x37);
}

void TWindow::ClientEdge() {
  nExStyle |= WS_EX_CLIENTEDGE;
  if (!hWnd) return;
  SetWindowLongA(hWnd, GWL_EXSTYLE, LONG(GetWindowLongA(hWnd, GWL_EXSTYLE) | WS_EX_CLIENTEDGE));
  SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, 0x37);
  Refresh();
}

// ---- text --------------------------------------------------------------------------------

void TWindow::SetText(const std::string& cText) {
  cCaption = cText;
  if (hWnd) SetWindowTextA(hWnd, cText.c_str());
}

std::string TWindow::GetText() {
  if (!hWnd) return cCaption;
  int n = GetWindowTextLengthA(hWnd);
  std::string s(size_t(n) + 1, '\0');
  s.resize(size_t(GetWindowTextA(hWnd, s.data(), n + 1)));
  return s;
}

std::string TWindow::cTitle() { return GetText(); }
std::string TWindow::cTitle(const std::string& cText) {
  SetText(cText);
  return GetText();
}

// ---- children and focus ---------------------------------------------------------------------

void TWindow::AddControl(TWindowPtr oCtrl) {
  aControls.push_back(std::move(oCtrl));
  lValidating = false;
}

void TWindow::AEvalWhen() {
  // Copy: a bWhen block may add or remove controls.
  auto controls = aControls;
  for (auto& c : controls) {
    if (!c || !c->bWhen) continue;
    if (c->bWhen(*c)) c->Enable();
    else c->Disable();
  }
}

namespace {
bool Tabbable(const TWindowPtr& c) {
  return c && c->hWnd && IsWindowEnabled(c->hWnd) && (GetWindowLongA(c->hWnd, GWL_STYLE) & WS_TABSTOP);
}
}  // namespace

TWindowPtr TWindow::FirstActiveCtrl() {
  if (aControls.size() == 1) return aControls.front();
  for (auto& c : aControls)
    if (Tabbable(c)) return c;
  return aControls.empty() ? nullptr : aControls.front();
}

TWindowPtr TWindow::LastActiveCtrl() {
  if (aControls.size() == 1) return aControls.front();
  for (auto it = aControls.rbegin(); it != aControls.rend(); ++it)
    if (Tabbable(*it)) return *it;
  return aControls.empty() ? nullptr : aControls.front();
}

void TWindow::Update() {
  auto controls = aControls;
  for (auto& c : controls) {
    if (!c) continue;
    if (c->IsFolder()) c->Update();
    else if (c->lUpdate()) c->Refresh();
  }
}

void TWindow::Enable() {
  lActive = true;
  if (hWnd) EnableWindow(hWnd, TRUE);
}

void TWindow::Disable() {
  lActive = false;
  if (hWnd) EnableWindow(hWnd, FALSE);
}

void TWindow::SetFocus() {
  if (hWnd && lWhen()) ::SetFocus(hWnd);
}

void TWindow::GoNextCtrl(HWND hWndCurrent) {
  if (aControls.empty()) return;
  if (!TabsByDialogManager()) {
    auto it = std::find_if(aControls.begin(), aControls.end(),
                           [&](const TWindowPtr& c) { return c && c->hWnd == hWndCurrent; });
    if (it == aControls.end()) return;
    auto next = std::next(it) == aControls.end() ? aControls.begin() : std::next(it);
    if (*next && (*next)->hWnd) ::SetFocus((*next)->hWnd);
    return;
  }
  // Past the last control of a folder's page the way goes on after the folder.
  if (TWindowPtr folder = Parent(); folder && folder->IsFolder()) {
    TWindowPtr last = LastActiveCtrl(), outer = folder->Parent();
    if (last && last->hWnd == hWndCurrent && outer) return outer->GoNextCtrl(folder->hWnd);
  }
  HWND next = GetNextDlgTabItem(hWnd, hWndCurrent, FALSE);
  if (next) {
    hCtlFocus = next;
    ::SetFocus(next);
  }
}

void TWindow::GoPrevCtrl(HWND hWndCurrent) {
  if (aControls.empty()) return;
  if (!TabsByDialogManager()) {
    auto it = std::find_if(aControls.begin(), aControls.end(),
                           [&](const TWindowPtr& c) { return c && c->hWnd == hWndCurrent; });
    if (it == aControls.end()) return;
    auto prev = it == aControls.begin() ? std::prev(aControls.end()) : std::prev(it);
    if (*prev && (*prev)->hWnd) ::SetFocus((*prev)->hWnd);
    return;
  }
  if (TWindowPtr folder = Parent(); folder && folder->IsFolder()) {
    TWindowPtr first = FirstActiveCtrl(), outer = folder->Parent();
    if (first && first->hWnd == hWndCurrent && outer) return outer->GoPrevCtrl(folder->hWnd);
  }
  HWND prev = GetNextDlgTabItem(hWnd, hWndCurrent, TRUE);
  if (prev) {
    hCtlFocus = prev;
    ::SetFocus(prev);
  }
}

// ---- messages ------------------------------------------------------------------------------

BOOL TWindow::PostMsg(UINT nMsg, WPARAM w, LPARAM l) { return PostMessageA(hWnd, nMsg, w, l); }
LRESULT TWindow::SendMsg(UINT nMsg, WPARAM w, LPARAM l) { return SendMessageA(hWnd, nMsg, w, l); }

void TWindow::SetMsg(const std::string& cText, bool lDefault) {
  TWindowPtr bar = oMsgBar;
  if (!bar && oBottom && oBottom->ShowsMessages()) bar = oBottom;
  if (bar) {
    bar->ShowMsg(cText, lDefault);
    return;
  }
  if (TWindowPtr parent = Parent()) parent->SetMsg(cText, lDefault);
}

// ---- module functions --------------------------------------------------------------------------

TWindowPtr GetWndDefault() { return g_defaultWindow.lock(); }
void SetWndDefault(TWindowPtr oWnd) { g_defaultWindow = oWnd; }

TWindowPtr WndMain() {
  HWND app = GETWNDAPP();
  return app ? oWndFromHwnd(app) : nullptr;
}

namespace {
std::vector<HWND> Ancestors(HWND h) {
  std::vector<HWND> chain;
  for (HWND parent = GetParent(h); parent; parent = GetParent(parent)) {
    std::string cls = GETCLASSNAME(parent);
    if (Upper(cls).find("BROWSE") != std::string::npos) break;
    chain.push_back(parent);
    if (cls == "#32770" && !(GetWindowLongA(parent, GWL_STYLE) & WS_CHILD)) break;
    if (Upper(cls) == "TMDICHILD" || Upper(cls) == "TWINDOW") break;
  }
  return chain;
}
}  // namespace

bool WndParents(HWND h1, HWND h2) {
  auto a = Ancestors(h1), b = Ancestors(h2);
  for (HWND x : a)
    if (std::find(b.begin(), b.end(), x) != b.end()) return true;
  return false;
}

bool SetBalloon() { return g_balloon; }
bool SetBalloon(bool lOnOff) { return std::exchange(g_balloon, lOnOff); }
bool SetAlpha() { return g_alpha; }
bool SetAlpha(bool lOnOff) { return std::exchange(g_alpha, lOnOff); }
void SetDropInfo(Value x) { g_dropInfo = std::move(x); }
Value GetDropInfo() { return std::exchange(g_dropInfo, Value()); }

}  // namespace nx
