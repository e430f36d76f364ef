#include "classes/dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "classes/brush.h"
#include "classes/cursor.h"
#include "classes/font.h"
#include "classes/icon.h"
#include "classes/menu.h"
#include "errors/errors.h"
#include "native/dialog.h"
#include "native/draw.h"
#include "native/msgbox.h"
#include "rt/dlgitem.h"
#include "rt/frames.h"
#include "rt/strings.h"

namespace nx {

namespace {

int g_activating = 0;  // dialogs inside Activate: nested ones take the active window as owner
bool g_inHelp = false;
bool g_dialogEsc = true;

constexpr double kResize16 = 1.16668;
constexpr int kFailedDialog = 65535;  // the platform's -1 in 16 bits

struct ActivatingScope {
  ActivatingScope() { ++g_activating; }
  ~ActivatingScope() { --g_activating; }
  ActivatingScope(const ActivatingScope&) = delete;
  ActivatingScope& operator=(const ActivatingScope&) = delete;
};

std::string UpperClassOf(HWND h) { return Upper(GETCLASSNAME(h)); }

std::string WindowText(HWND h) {
  char buf[512] = "";
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

}  // namespace

// ---- construction -----------------------------------------------------------------------------

TDialogPtr TDialog::New(const TDialogParams& p) { return NewAs<TDialog>(p); }

void TDialog::Init(const TDialogParams& p) {
  if (p.nWidth || p.nHeight) {
    // A size in pixels: the top left corner is in pixels too.
    nTop = p.nTop, nLeft = p.nLeft;
    nBottom = p.nHeight ? nTop + p.nHeight - 1 : (p.lPixel ? p.nBottom : int(p.nBottom * 15.1));
    nRight = p.nWidth ? nLeft + p.nWidth - 1 : (p.lPixel ? p.nRight : int(p.nRight * 7.9));
  } else if (p.lPixel) {
    nTop = p.nTop, nLeft = p.nLeft, nBottom = p.nBottom, nRight = p.nRight;
  } else {
    nTop = int(p.nTop * 15.1), nLeft = int(p.nLeft * 7.9);
    nBottom = int(p.nBottom * 15.1), nRight = int(p.nRight * 7.9);
  }
  aControls.clear();
  cResName = p.cResName;
  cCaption = p.cCaption;
  hResources = p.hResources;
  lModify = true;
  lVbx = p.lVbx;
  lVisible = false;
  nResult = Value(0);
  nStyle = p.nStyle;
  oWnd = p.oWnd;
  oIcon = p.oIcon;
  if (!oIcon && !p.cIcon.empty()) oIcon = TIcon::FromName(p.cIcon);
  if (p.oFont) {
    oFont = p.oFont;
    ++oFont->nCount;  // the dialog holds a use of the font until Destroy
  }
  nLastKey = 0;
  nHelpId = p.nHelpId;
  lResize16 = false;
  lTransparent = p.lTransparent;
  SetColor(p.nClrText.value_or(GetSysColor(COLOR_BTNTEXT)), p.nClrBack.value_or(GetSysColor(COLOR_BTNFACE)),
           p.oBrush);
  Register(CS_VREDRAW | CS_HREDRAW);
  SetWndDefault(Self());
}

TDialogPtr TDialog::Define(const TDialogDefineParams& p) {
  auto d = std::make_shared<TDialog>();
  d->hWnd = nullptr;
  d->nTop = p.nTop, d->nLeft = p.nLeft, d->nBottom = p.nBottom, d->nRight = p.nRight;
  d->cCaption = p.cCaption;
  d->nStyle = p.nStyle;
  d->lVbx = p.lVbx;
  d->nLastKey = 0;
  d->nResult = Value(0);
  d->SetColor(p.nClrText.value_or(GetSysColor(COLOR_BTNTEXT)), p.nClrBack.value_or(GetSysColor(COLOR_BTNFACE)),
              p.oBrush);
  d->Register(CS_VREDRAW | CS_HREDRAW);
  // Its controls are defined in code next, with the default window as parent.
  SetWndDefault(d);
  return d;
}

// ---- the template -----------------------------------------------------------------------------

std::string TDialog::cToChar(HWND hWndOwner) {
  RECT owner{};
  if (hWndOwner) GetWindowRect(hWndOwner, &owner);
  LONG units = GETDLGBASEUNITS();
  int bx = std::max(int(LOWORD(units)), 1), by = std::max(int(HIWORD(units)), 1);
  auto y = [&](int py) { return 8 * (py - int(owner.top)) / by; };
  auto x = [&](int px) { return 4 * (px - int(owner.left)) / bx; };
  std::string tpl = CDLG2CHR(int(aControls.size()), y(nTop), x(nLeft), y(nBottom), x(nRight), cCaption, nStyle);
  for (const TWindowPtr& c : aControls)
    if (auto ctl = std::dynamic_pointer_cast<TControl>(c)) tpl += ctl->cToChar();
  return tpl;
}

// ---- activation -------------------------------------------------------------------------------------

HWND TDialog::OwnerForActivation() {
  if (TWindowPtr owner = Parent(); owner && owner->hWnd) return owner->hWnd;
  if (g_activating > 1 || LWRUNNING()) return GetActiveWindow();
  return GETWNDAPP();
}

void TDialog::Activate(const TDialogActivateParams& p) {
  TDialogPtr self = SelfDlg();
  if (hWnd && IsWindow(hWnd)) {
    // Already open (a modeless dialog activated again): one window per object.
    ShowWindow(hWnd, SW_SHOW);
    SetActiveWindow(hWnd);
    return;
  }
  nLastKey = 0;
  ActivatingScope activating;
  HWND owner = OwnerForActivation();
  lCentered = p.lCentered;
  lModal = p.lModal;
  bLClicked = p.bLClicked;
  bRClicked = p.bRClicked;
  bWhen = p.bWhen;
  bValid = p.bValid;
  bInit = p.bInit;
  bPainted = p.bPainted;
  bMoved = p.bMoved;
  nResult = Value();
  lValidating = false;
  lVisible = true;
  lResize16 = p.lResize16;
  if (bWhen && !bWhen(*this)) {
    nResult = Value(IDCANCEL);
    lVisible = false;
    return;
  }
  if (lModal) {
    RunModal(owner);
    lVisible = false;
  } else {
    RunModeless(owner);
  }
}

void TDialog::RunModal(HWND hOwner) {
  int code = kFailedDialog;
  if (cResName) {
    code = DIALOGBOX(hResources, *cResName, hOwner, Self());
  } else {
    std::string tpl = cResData.empty() ? cToChar(hOwner) : cResData;
    if (DialogTemplateExtent(tpl)) code = DIALOGBOXINDIRECT(nullptr, tpl, hOwner, Self());
  }
  nResult = Value(code);
  if (code == kFailedDialog) CreateDlgError(*this);
}

void TDialog::RunModeless(HWND hOwner) {
  static constexpr const char* kTooMany = "Not possible to create more non-modal Dialogs";
  if (!aControls.empty() && !CANREGDIALOG()) {
    MsgAlert(kTooMany);
    return;
  }
  HWND h = nullptr;
  if (cResName) {
    h = CREATEDLG(hResources, *cResName, hOwner, Self());
  } else {
    std::string tpl = cResData.empty() ? cToChar(hOwner) : cResData;
    if (DialogTemplateExtent(tpl)) h = CREATEDLGINDIRECT(nullptr, tpl, hOwner, Self());
  }
  if (!h) {
    CreateDlgError(*this);
    return;
  }
  hWnd = h;
  if (!aControls.empty() && !REGDIALOG(h)) {
    SendMessageA(h, WM_CLOSE, 0, 0);
    MsgAlert(kTooMany);
    return;
  }
  ShowWindow(h, SW_SHOW);
}

Value CreateDlgError(const TDialog& oDlg) {
  std::string text = "\r\n" + std::string(22, ' ');
  if (oDlg.cResName) {
    const DialogTemplate& name = *oDlg.cResName;
    text += "Resource: " + (std::holds_alternative<int>(name) ? Str(Value(std::get<int>(name)))
                                                              : std::get<std::string>(name));
  } else {
    text += "Title: " + oDlg.cCaption;
  }
  return RaiseError(_NXGENERROR(3, text));
}

bool TDialog::Initiate(HWND, HWND hDlg) {
  TDialogPtr keep = SelfDlg();
  hWnd = hDlg;
  // A modal dialog is reached through the modal dialog procedure alone.
  if (!lModal) Link();
  if (oFont) {
    SetFont(oFont);
  } else if (HFONT own = reinterpret_cast<HFONT>(SendMessageA(hDlg, WM_GETFONT, 0, 0))) {
    // The template named a font: the dialog and its items keep it rather
    // than take the owner's.
    oFont = TFont::Borrowed(own);
  } else {
    GetFont();
  }
  if (lTransparent) {
    FIXSAYS(hDlg);
    for (const TWindowPtr& c : aControls)
      if (auto ctl = std::dynamic_pointer_cast<TControl>(c); ctl && !ctl->StaysOpaque()) ctl->lTransparent = true;
  }
  // Copy: a control's Initiate may raise an error whose handler ends controls.
  auto controls = aControls;
  for (const TWindowPtr& c : controls)
    if (auto ctl = std::dynamic_pointer_cast<TControl>(c)) ctl->Initiate(hDlg);
  if (lResize16 && cResName) Resize16();
  if (lCentered) {
    HWND owner = GetWindow(hDlg, GW_OWNER);
    RECT mine{}, area{};
    GetWindowRect(hDlg, &mine);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
    else SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int w = mine.right - mine.left, h = mine.bottom - mine.top;
    SetWindowPos(hDlg, nullptr, area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (!cResName && cResData.empty()) {
    // Dialog units round the generated template: place the window exactly.
    SetWindowPos(hDlg, nullptr, nLeft, nTop, nRight - nLeft + 1, nBottom - nTop + 1, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (!cCaption.empty()) SetWindowTextA(hDlg, cCaption.c_str());
  else cCaption = WindowText(hDlg);
  if (cResName) nStyle = DWORD(GetWindowLongA(hDlg, GWL_STYLE));
  AttachScrollBars(nStyle & WS_VSCROLL, nStyle & WS_HSCROLL);
  if (oIcon && oIcon->hIcon) SendMessageA(hDlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(oIcon->hIcon));
  bool lDefaultFocus = true;
  if (bInit) {
    bInit(*this);
    HWND focus = GetFocus();
    // The hook placed the focus itself: the dialog manager must not move it.
    if (focus && (focus == hDlg || IsChild(hDlg, focus))) lDefaultFocus = false;
  }
  Help95();
  AEvalWhen();
  return lDefaultFocus;
}

void TDialog::Help95() {
  if (lHelpIcon == false || !hWnd) return;
  SetWindowLongA(hWnd, GWL_EXSTYLE, GetWindowLongA(hWnd, GWL_EXSTYLE) | WS_EX_CONTEXTHELP);
  SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TDialog::Resize16() {
  RECT r{};
  GetWindowRect(hWnd, &r);
  constexpr UINT kQuiet = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE;
  SetWindowPos(hWnd, nullptr, 0, 0, int((r.right - r.left) * kResize16), r.bottom - r.top, kQuiet | SWP_NOMOVE);
  for (HWND c = GetWindow(hWnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT cr{};
    GetWindowRect(c, &cr);
    MapWindowPoints(HWND_DESKTOP, hWnd, reinterpret_cast<POINT*>(&cr), 2);
    SetWindowPos(c, nullptr, int(cr.left * kResize16), cr.top, int((cr.right - cr.left) * kResize16),
                 cr.bottom - cr.top, kQuiet);
  }
}

// ---- ending ---------------------------------------------------------------------------------------

bool TDialog::End(int nEnd) {
  TDialogPtr keep = SelfDlg();
  if (!lModal) {
    if (hWnd) PostMessageA(hWnd, WM_CLOSE, WPARAM(nEnd), 0);
  } else {
    if (bValid && !bValid(*this)) return false;
    nResult = Value(nEnd);
    if (hWnd) ENDDIALOG(hWnd, nEnd);
    hWnd = nullptr;
  }
  SYSREFRESH();
  return true;
}

Value TDialog::Close(WPARAM nWParam) {
  if (lModal) return Value();
  TDialogPtr keep = SelfDlg();
  if (bValid && !bValid(*this)) return Value(false);
  nResult = Value(int(nWParam));
  lVisible = false;
  if (hWnd) DestroyWindow(hWnd);
  return Value(true);
}

Value TDialog::Destroy() {
  TDialogPtr keep = SelfDlg();
  if (hWnd) {
    TWindow::Destroy();
  } else if (lModal) {
    // End forgot the handle when it ended the dialog: release what the
    // window held all the same.
    ReleaseResources();
    if (GetWndDefault().get() == this) SetWndDefault(nullptr);
  }
  return lModal ? Value() : Value(true);
}

Value TDialog::QueryEndSession() { return Value(!End()); }

// ---- events -----------------------------------------------------------------------------------------

Value TDialog::HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  switch (nMsg) {
    case WM_INITDIALOG: {
      NX_METHOD(ClassName(), "INITIATE");
      return Value(Initiate(reinterpret_cast<HWND>(nWParam), reinterpret_cast<HWND>(nLParam)));
    }
    case WM_PAINT: {
      NX_METHOD(ClassName(), "DISPLAY");
      return Display();
    }
    case WM_PRINTCLIENT: {
      NX_METHOD(ClassName(), "PRINTCLIENT");
      return PrintClient(reinterpret_cast<HDC>(nWParam));
    }
    case WM_LBUTTONDOWN:
      if (lHelpIcon == true) {
        NX_METHOD(ClassName(), "HELP");
        Help(0, 0);
        return Value();
      }
      [[fallthrough]];
    default: return TWindow::HandleEvent(nMsg, nWParam, nLParam);
  }
}

Value TDialog::Display() {
  TDialogPtr keep = SelfDlg();
  BeginPaint();
  try {
    Paint();
  } catch (...) {
    EndPaint();
    throw;
  }
  EndPaint();
  if (bStart) {
    WindowHook start = std::exchange(bStart, nullptr);
    start(*this);
  }
  return Value(false);
}

Value TDialog::Paint() { return bPainted ? bPainted(hDC, cPS, *this) : Value(); }

Value TDialog::EraseBkGnd(HDC hDCErase) {
  if (bEraseBkGnd) return bEraseBkGnd(hDCErase, *this);
  if (oBrush && oBrush->hBrush) {
    RECT r{};
    GetClientRect(hWnd, &r);
    FillRect(hDCErase, &r, oBrush->hBrush);
    return Value(1);
  }
  return Value();
}

Value TDialog::PrintClient(HDC hDCPrint) {
  EraseBkGnd(hDCPrint);
  if (bPainted) bPainted(hDCPrint, std::string(), *this);
  return Value(1);
}

Value TDialog::Command(WPARAM nWParam, LPARAM nLParam) {
  TDialogPtr keep = SelfDlg();
  int code = HIWORD(nWParam), id = LOWORD(nWParam);
  HWND control = reinterpret_cast<HWND>(nLParam);
  // Menus and tool bars take their own commands. Without a control, IDOK
  // and IDCANCEL are the dialog manager's Enter and Esc, not a menu's.
  if (MenuCommand(*this, UINT(id), !control && id != IDOK && id != IDCANCEL)) return Value();
  if (control && GETCLASSNAME(control) == TOOLBARCLASSNAMEA) return TWindow::Command(nWParam, nLParam);
  if (id == 0) return Value();
  if (control && code == 1) {
    SendMessageA(control, WM_NX_CHANGE, 0, 0);
    return Value();
  }
  if (control && code == 8) {
    SendMessageA(control, WM_NX_CLOSEUP, 0, 0);
    return Value();
  }
  if (code != 0) return Value();
  TControlPtr target = ControlOf(id);
  if (control && id != IDCANCEL) {
    // The control that has the focus must be valid before another one is
    // clicked, unless the clicked one cancels.
    if (auto focused = nResult.As<TControl>(); focused && focused->nId != id && !focused->lValid()) {
      if (!(target && target->lCancel)) return Value();
    }
    if (target && target->hWnd) SendMessageA(target->hWnd, WM_NX_CLICK, 0, 0);
    else if (!target && id == IDOK) End(IDOK);
    return Value();
  }
  // Enter without a default button (IDOK, no control) or Esc (IDCANCEL).
  if (id == IDOK && !target) GoNextCtrl(GetFocus());
  else if (target && target->hWnd) SendMessageA(target->hWnd, WM_NX_CLICK, 0, 0);
  else if (!target) End(IDCANCEL);
  return Value();
}

Value TDialog::CtlColor(HWND hWndCtl, HDC hDCCtl) {
  TWindowPtr owner = Parent();
  std::string cls = GETCLASSNAME(hWndCtl);
  if (owner && owner->IsFolder() && (cls == "Button" || cls == "Static") && ISAPPTHEMED()) {
    HBRUSH themed = DRAWTHEMED(hWndCtl, hDCCtl);
    SendMessageA(hWndCtl, WM_NX_CTLCOLOR, reinterpret_cast<WPARAM>(hDCCtl), 0);
    return Value(int64_t(reinterpret_cast<intptr_t>(themed)));
  }
  if (!oWndFromHwnd(hWndCtl)) {
    // An item no control object is bound to: the platform's colours, or
    // transparent for the labels FIXSAYS made so.
    if (!ISFIXEDSAY(hWndCtl)) return Value();
    SetBkMode(hDCCtl, TRANSPARENT);
    return Value(int64_t(reinterpret_cast<intptr_t>(GetStockObject(NULL_BRUSH))));
  }
  return TWindow::CtlColor(hWndCtl, hDCCtl);
}

bool TDialog::EscEnds(bool lKeyDown) {
  if (!g_dialogEsc) return false;
  HWND owner = hWnd ? GetWindow(hWnd, GW_OWNER) : nullptr;
  if (!owner) return lKeyDown;
  if (UpperClassOf(owner) == "#32770" || UpperClassOf(owner) == "TMDIFRAME") return true;
  for (HWND h = owner; h; h = GetParent(h))
    if (UpperClassOf(h) == "TMDICHILD") return true;
  return false;
}

Value TDialog::KeyDown(int nKey, int nFlags) {
  if (nKey == VK_ESCAPE && EscEnds(true)) {
    End();
    return Value(0);
  }
  return TWindow::KeyDown(nKey, nFlags);
}

Value TDialog::KeyChar(int nKey, int nFlags) {
  if (nKey == VK_ESCAPE && EscEnds(false)) {
    End();
    return Value(0);
  }
  return TWindow::KeyChar(nKey, nFlags);
}

Value TDialog::MouseMove(int nRow, int nCol, int nKeyFlags) {
  TDialogPtr keep = SelfDlg();
  if (lHelpIcon == false)
    SetCursor(oCursor && oCursor->hCursor ? oCursor->hCursor : LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
  SetMsg(cMsg);
  CheckToolTip();
  return bMMoved ? bMMoved(nRow, nCol, nKeyFlags, *this) : Value(false);
}

Value TDialog::SysCommand(WPARAM nWParam, LPARAM nLParam) {
  UINT cmd = UINT(nWParam) & 0xFFF0;
  if (cmd == SC_CLOSE && lModal) {
    ReleaseCapture();
    return Value(false);  // the dialog manager turns it into Esc
  }
  if (cmd == SC_CONTEXTHELP) {
    lHelpIcon = true;
    return Value(false);
  }
  return TWindow::SysCommand(nWParam, nLParam);
}

Value TDialog::Help(WPARAM, LPARAM nLParam) {
  TDialogPtr keep = SelfDlg();
  lHelpIcon = false;
  if (!g_inHelp) {
    g_inHelp = true;
    auto* info = reinterpret_cast<const HELPINFO*>(nLParam);
    TWindowPtr item;
    if (info && info->iContextType == HELPINFO_WINDOW) item = oWndFromHwnd(static_cast<HWND>(info->hItemHandle));
    if (item && item->nHelpId) item->HelpTopic();
    else HelpTopic();
    g_inHelp = false;
  }
  return Value(1);
}

Value TDialog::GotFocus(HWND) {
  lFocused = true;
  if (bGotFocus) bGotFocus(*this, nullptr);  // a dialog passes no lost window
  return Value();
}

Value TDialog::LostFocus(HWND hWndNew) {
  lFocused = false;
  if (bLostFocus) bLostFocus(*this, hWndNew);
  return Value();
}

Value TDialog::NcActivate(bool lActive) { return bNcActivate ? bNcActivate(lActive, *this) : Value(); }

// ---- controls ------------------------------------------------------------------------------------------

void TDialog::DefControl(TWindowPtr oCtrl) {
  if (!oCtrl) return;
  if (oCtrl->nId == 0) oCtrl->nId = TControl::GetNewId();
  int id = oCtrl->nId;
  if (std::any_of(aControls.begin(), aControls.end(), [&](const TWindowPtr& c) { return c && c->nId == id; })) {
    RaiseError(_NXGENERROR(2, "No: " + Str(Value(id), 6)));
    return;
  }
  oCtrl->hWnd = nullptr;
  aControls.push_back(std::move(oCtrl));
}

TControlPtr TDialog::ControlOf(int nId) const {
  for (const TWindowPtr& c : aControls)
    if (c && c->nId == nId) return std::dynamic_pointer_cast<TControl>(c);
  return nullptr;
}

HWND TDialog::GetItem(int nId) const { return hWnd ? GetDlgItem(hWnd, nId) : nullptr; }

HWND TDialog::GetHotPos(int nChar, HWND hWndExcept) const {
  if (!hWnd) return nullptr;
  char wanted = char(toupper(nChar & 0xFF));
  for (HWND c = GetWindow(hWnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (c == hWndExcept || !IsWindowEnabled(c)) continue;
    char hot = HotKeyOf(WindowText(c));
    if (!hot || char(toupper(static_cast<unsigned char>(hot))) != wanted) continue;
    if (UpperClassOf(c) != "STATIC") return c;
    // A label names the control after it.
    for (HWND n = GetWindow(c, GW_HWNDNEXT); n; n = GetWindow(n, GW_HWNDNEXT))
      if (UpperClassOf(n) != "STATIC") return n;
    return nullptr;
  }
  return nullptr;
}

void TDialog::SetControl(TWindowPtr oCtrl) {
  oClient = std::move(oCtrl);
  ReSize();
}

void TDialog::SetFont(std::shared_ptr<TFont> font) {
  TWindow::SetFont(font);
  if (!hWnd || !oFont) return;
  for (HWND c = GetWindow(hWnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (GetParent(c) == hWnd) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(oFont->hFont), TRUE);
}

void TDialog::AdjTop() { WNDADJTOP(hWnd); }

// ---- module functions ----------------------------------------------------------------------------------------

bool SetDialogEsc() { return g_dialogEsc; }
bool SetDialogEsc(bool lOnOff) { return std::exchange(g_dialogEsc, lOnOff); }

TDialogPtr ToDialog(const TWindow& oCtrl) { return std::dynamic_pointer_cast<TDialog>(oCtrl.Parent()); }

}  // namespace nx
