// TMdiChild: a document window created by the platform's client, its menu
// swapped onto the frame while it is active, its keys and its closing.
#include "classes/mdichild.h"

#include <algorithm>
#include <utility>

#include "classes/icon.h"
#include "classes/mdiclien.h"
#include "classes/menu.h"
#include "classes/scrllbar.h"
#include "native/dispatch.h"
#include "native/menu.h"
#include "rt/frames.h"

namespace nx {

namespace {
constexpr int kNotGiven = 32768;
bool CtrlDown() { return GetKeyState(VK_CONTROL) & 0x8000; }
}  // namespace

bool& TMdiChild::lRegistered() {
  static bool registered = false;
  return registered;
}

TMdiChildPtr TMdiChild::New(const TMdiChildParams& p) { return NewAs<TMdiChild>(p); }

void TMdiChild::InitChild(const TMdiChildParams& p) {
  TMdiFramePtr frame = p.oWnd ? p.oWnd : GetWndFrame();
  TMdiClientPtr client = frame ? frame->oWndClient : nullptr;
  if (!client || !client->hWnd) return;
  auto coord = [&](const std::optional<int>& n, int cell) {
    if (!n) return kNotGiven;
    return p.lPixel ? *n : *n * cell;
  };
  nTop = coord(p.nTop, 16), nLeft = coord(p.nLeft, 8), nBottom = coord(p.nBottom, 16), nRight = coord(p.nRight, 8);
  DWORD style = p.nStyle;
  if (style == 0) {
    style = WS_CLIPCHILDREN | WS_VISIBLE;
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
  oWndClient = client;
  oWnd = frame;
  nStyle = style;
  oIcon = p.oIcon;
  if (!oIcon && !p.cIcon.empty()) oIcon = TIcon::FromName(p.cIcon);
  lVisible = true;
  aControls.clear();
  nHelpId = p.nHelpId;
  cCaption = p.cTitle ? *p.cTitle : "MDI Child " + std::to_string(client->aWnd.size() + 1);
  lKeepMenu = false;
  nMenuInfo = p.nMenuInfo;
  oCursor = p.oCursor;
  SetColor(p.nClrFore.value_or(client->nClrText), p.nClrBack.value_or(client->nClrPane), p.oBrush);

  bool& registered = lRegistered();
  if (!registered) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    registered = GETCLASSINFO(instance, ClassName()) ||
                 REGISTERCLASS(ClassName(), CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, 0, 0, instance, nullptr, nullptr, "",
                               GETMDICHLPROC(), oIcon ? oIcon->hIcon : nullptr);
  }
  MdiCreateRecord rec = CMDISTRUCT(ClassName(), cCaption, nTop, nLeft, nBottom, nRight, nStyle);
  hWnd = reinterpret_cast<HWND>(SendMessageA(client->hWnd, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(rec.Record())));
  if (!hWnd) return;
  Link();
  if (p.oMenu) SetMenu(p.oMenu, nMenuInfo);
  if (p.lVScroll) oVScroll = TScrollBar::WinNew({.lVertical = true, .oWnd = Self()});
  if (p.lHScroll) oHScroll = TScrollBar::WinNew({.lVertical = false, .oWnd = Self()});
  GetFont();
  client->Add(SelfChild());
  SetWndDefault(Self());
  frame->oWndActive = SelfChild();
  SendMessageA(hWnd, WM_NCACTIVATE, TRUE, 0);
}

void TMdiChild::Activate(const ActivateParams& p) {
  TWindowPtr keep = Self();
  if (TMdiClientPtr client = Client()) client->ChildActivate(SelfChild());
  TWindow::Activate(p);
  lVisible = true;
  if (oControl) oControl->SetFocus();
}

Value TMdiChild::HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  if (nMsg == WM_MDIACTIVATE) {
    NX_METHOD(ClassName(), "MDIACTIVATE");
    const HWND activated = reinterpret_cast<HWND>(nLParam), deactivated = reinterpret_cast<HWND>(nWParam);
    return MdiActivate(activated == hWnd, activated, deactivated);
  }
  return TWindow::HandleEvent(nMsg, nWParam, nLParam);
}

Value TMdiChild::MdiActivate(bool lActivating, HWND, HWND) {
  if (!oMenu) return Value();
  TMdiFramePtr frame = Frame();
  if (!frame) return Value();
  if (lActivating) frame->SetMenu(oMenu, nMenuInfo);
  else if (frame->oMenuStart) frame->SetMenu(frame->oMenuStart);
  return Value();
}

bool TMdiChild::End() {
  TWindowPtr keep = Self();
  if (!lValid()) return false;
  TMdiFramePtr frame = Frame();
  if (oMenu && !lKeepMenu) {
    // The client must never hold a destroyed menu: the frame's own goes back first.
    if (frame && frame->oMenu == oMenu && frame->oMenuStart) frame->SetMenu(frame->oMenuStart);
    if (TMenuPtr menu = std::exchange(oMenu, nullptr)) menu->End();
  }
  if (TMdiClientPtr client = Client()) client->ChildClose(SelfChild());
  return true;
}

Value TMdiChild::KeyDown(int nKey, int nFlags) {
  if ((nKey == VK_F4 || nKey == VK_F6) && CtrlDown()) {
    SendMessageA(hWnd, WM_SYSCOMMAND, nKey == VK_F4 ? SC_CLOSE : SC_NEXTWINDOW, 0);
    return Value(0);
  }
  return TWindow::KeyDown(nKey, nFlags);
}

Value TMdiChild::KeyChar(int nKey, int nFlags) {
  if (nKey == VK_ESCAPE) {
    End();
    return Value(0);
  }
  return TWindow::KeyChar(nKey, nFlags);
}

Value TMdiChild::GotFocus(HWND hWndLost) {
  TWindowPtr keep = Self();
  Value r = TWindow::GotFocus(hWndLost);
  if (TMdiFramePtr frame = Frame()) frame->oWndActive = SelfChild();
  return r;
}

Value TMdiChild::Destroy() {
  if (!hWnd) return Value();
  TWindowPtr keep = Self();
  // Destroyed without ChildClose (with the frame, or by the platform).
  if (TMdiClientPtr client = Client()) std::erase(client->aWnd, SelfChild());
  if (TMdiFramePtr frame = Frame(); frame && frame->oWndActive.lock().get() == this) frame->oWndActive.reset();
  if (lKeepMenu) oMenu = nullptr;
  return TWindow::Destroy();
}

void TMdiChild::SetFocus() {
  if (TMdiClientPtr client = Client()) client->ChildActivate(SelfChild());
}

void TMdiChild::SetControl(TWindowPtr oCtrl) {
  oClient = oCtrl;
  oControl = std::move(oCtrl);
  ReSize();
}

void TMdiChild::SetMenu(std::shared_ptr<TMenu> menu, std::optional<int> nInfo) {
  oMenu = menu;
  nMenuInfo = nInfo;
  if (TMdiFramePtr frame = Frame(); frame && menu) frame->SetMenu(std::move(menu), nInfo);
}

void TMdiChild::Maximize() {
  if (TMdiClientPtr client = Client()) client->ChildMaximize(SelfChild());
}

void TMdiChild::Restore() {
  if (TMdiClientPtr client = Client()) client->ChildRestore(SelfChild());
}

void TMdiChild::Next() {
  if (TMdiClientPtr client = Client()) client->ChildNext(SelfChild());
}

void TMdiChild::Prev() {
  if (TMdiClientPtr client = Client()) client->ChildNext(SelfChild(), true);
}

void TMdiChild::Center() { TWindow::Center(Client()); }

bool TMdiChild::IsZoomed() const { return hWnd && ::IsZoomed(hWnd); }
bool TMdiChild::IsIconic() const { return hWnd && ::IsIconic(hWnd); }

void TMdiChild::SetSize(int width, int height) {
  if (!hWnd) return;
  // Hiding the active document window would hand the activation to another.
  SendMessageA(hWnd, WM_SETREDRAW, FALSE, 0);
  TWindow::SetSize(width, height, true);
  SendMessageA(hWnd, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

Value TMdiChild::EditCommand(Block TWindow::*bHook, const Value& uArg) {
  if (bHook == &TWindow::bPrint && bPrint) return TWindow::EditCommand(bHook, uArg);
  return oControl ? oControl->EditCommand(bHook, uArg) : Value();
}

}  // namespace nx
