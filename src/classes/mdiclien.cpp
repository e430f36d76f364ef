// TMdiClient: the platform's client window and the document windows it holds.
#include "classes/mdiclien.h"

#include <algorithm>
#include <string>
#include <utility>

#include "classes/mdichild.h"
#include "classes/menu.h"
#include "classes/scrllbar.h"
#include "native/dispatch.h"
#include "native/menu.h"

namespace nx {

namespace {
bool CtrlDown() { return GetKeyState(VK_CONTROL) & 0x8000; }
}  // namespace

bool& TMdiClient::lRegistered() {
  static bool registered = false;
  return registered;
}

TMdiClientPtr TMdiClient::New(const TMdiFramePtr& oWnd, int nMenuPos, int nFirstChildId,
                              std::shared_ptr<TBrush> oBrush, bool lVScroll, bool lHScroll) {
  auto c = std::make_shared<TMdiClient>();
  if (!oWnd || !oWnd->hWnd) return c;
  c->oWnd = oWnd;
  c->nId = 1;
  c->lVisible = true;
  c->nStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | MDIS_ALLCHILDSTYLES |
              (lVScroll ? WS_VSCROLL : 0) | (lHScroll ? WS_HSCROLL : 0);
  CLIENTCREATESTRUCT ccs{};
  ccs.hWindowMenu = oWnd->oMenu ? GETSUBMENU(oWnd->oMenu->hMenu, nMenuPos - 1) : nullptr;
  ccs.idFirstChild = UINT(nFirstChildId);
  c->hWnd = CREATEWINDOW("MDICLIENT", "", c->nStyle, 0, 0, 0, 0, oWnd->hWnd, reinterpret_cast<HMENU>(UINT_PTR(1)),
                         std::string(reinterpret_cast<const char*>(&ccs), sizeof ccs));
  if (!c->hWnd) {
    WndCreateError(*c);
    return c;
  }
  c->Link();
  if (oBrush) c->SetColor(oWnd->nClrText, oWnd->nClrPane, std::move(oBrush));
  if (lVScroll) c->oVScroll = TScrollBar::WinNew({.nMin = 1, .nMax = 10, .lVertical = true, .oWnd = c});
  if (lHScroll) c->oHScroll = TScrollBar::WinNew({.nMin = 1, .nMax = 10, .lVertical = false, .oWnd = c});
  c->GetFont();
  return c;
}

TMdiChildPtr TMdiClient::ChildNew(const TMdiChildParams& p) {
  TMdiChildParams own = p;
  if (!own.oWnd) own.oWnd = Frame();
  TMdiChildPtr child = TMdiChild::New(own);
  if (child && child->hWnd) {
    ShowWindow(child->hWnd, SW_SHOW);
    child->SetFocus();
  }
  return child;
}

void TMdiClient::Add(TMdiChildPtr oChild) {
  if (oChild) aWnd.push_back(std::move(oChild));
}

TMdiChildPtr TMdiClient::GetActive() {
  if (!hWnd) return nullptr;
  HWND active = reinterpret_cast<HWND>(SendMessageA(hWnd, WM_MDIGETACTIVE, 0, 0));
  for (const auto& c : aWnd)
    if (c && active && c->hWnd == active) return c;
  return nullptr;
}

void TMdiClient::ChildActivate(const TMdiChildPtr& oChild) {
  if (hWnd && oChild) SendMessageA(hWnd, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(oChild->hWnd), 0);
}

void TMdiClient::ChildMaximize(const TMdiChildPtr& oChild) {
  if (hWnd && oChild) SendMessageA(hWnd, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(oChild->hWnd), 0);
}

void TMdiClient::ChildRestore(const TMdiChildPtr& oChild) {
  if (hWnd && oChild) SendMessageA(hWnd, WM_MDIRESTORE, reinterpret_cast<WPARAM>(oChild->hWnd), 0);
}

void TMdiClient::ChildNext(const TMdiChildPtr& oChild, bool lPrev) {
  if (hWnd && oChild) SendMessageA(hWnd, WM_MDINEXT, reinterpret_cast<WPARAM>(oChild->hWnd), lPrev ? 1 : 0);
}

void TMdiClient::ChildClose(const TMdiChildPtr& oChild) {
  if (!oChild) return;
  auto it = std::find(aWnd.begin(), aWnd.end(), oChild);
  if (it == aWnd.end()) return;
  TMdiChildPtr keep = oChild;
  if (hWnd && oChild->hWnd) SendMessageA(hWnd, WM_MDIDESTROY, reinterpret_cast<WPARAM>(oChild->hWnd), 0);
  std::erase(aWnd, oChild);
  SetWndDefault(nullptr);
  if (TMdiFramePtr frame = Frame(); frame && frame->oWndActive.lock() == oChild) frame->oWndActive.reset();
}

void TMdiClient::Tile(bool lHorizontal) {
  if (hWnd) SendMessageA(hWnd, WM_MDITILE, lHorizontal ? MDITILE_HORIZONTAL : MDITILE_VERTICAL, 0);
}

void TMdiClient::Cascade() {
  if (hWnd) SendMessageA(hWnd, WM_MDICASCADE, 0, 0);
}

void TMdiClient::ArrangeIcons() {
  if (hWnd) SendMessageA(hWnd, WM_MDIICONARRANGE, 0, 0);
}

void TMdiClient::NextWindow() {
  if (hWnd) SendMessageA(hWnd, WM_MDINEXT, 0, 0);
}

void TMdiClient::PrevWindow() {
  if (hWnd) SendMessageA(hWnd, WM_MDINEXT, 0, 1);
}

void TMdiClient::IconizeAll() {
  // The platform does not iconize child windows through CloseWindow.
  const auto children = aWnd;
  for (const auto& c : children)
    if (c && c->hWnd) c->Minimize();
}

bool TMdiClient::lCloseAll() {
  TWindowPtr keep = Self();
  while (!aWnd.empty()) {
    TMdiChildPtr last = aWnd.back();
    if (!last->End()) break;
    SYSREFRESH();
    // A window that agreed but is still here would be asked forever.
    if (!aWnd.empty() && aWnd.back() == last) break;
  }
  return aWnd.empty();
}

void TMdiClient::Select(int n) {
  if (!hWnd) return;
  if (n >= 1 && size_t(n) <= aWnd.size()) ChildActivate(aWnd[size_t(n) - 1]);
  else SendMessageA(hWnd, WM_MDIACTIVATE, 0, 0);
}

void TMdiClient::SetMenu(const std::shared_ptr<TMenu>& menu, std::optional<int> nPos) {
  if (!menu || !hWnd) return;
  const int pos = nPos.value_or(int(menu->aItems().size()));
  SendMessageA(hWnd, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu->hMenu),
               reinterpret_cast<LPARAM>(GETSUBMENU(menu->hMenu, pos - 1)));
  if (menu->oAccTable) menu->oAccTable->Activate();
  if (TMdiFramePtr frame = Frame(); frame && frame->hWnd) DRAWMENUBAR(frame->hWnd);
}

Value TMdiClient::KeyDown(int nKey, int nFlags) {
  const bool ctrl = CtrlDown();
  WPARAM command = 0;
  if (nKey == VK_F4 && ctrl) command = SC_CLOSE;
  else if (nKey == VK_F6 && ctrl) command = SC_NEXTWINDOW;
  else if (nKey == VK_RETURN) command = SC_RESTORE;
  if (!command) return TWindow::KeyDown(nKey, nFlags);
  if (TMdiChildPtr active = GetActive(); active && active->hWnd) SendMessageA(active->hWnd, WM_SYSCOMMAND, command, 0);
  return Value(0);
}

Value TMdiClient::MouseMove(int nRow, int nCol, int nKeyFlags) {
  if (TMdiFramePtr frame = Frame()) frame->SetMsg();
  return TWindow::MouseMove(nRow, nCol, nKeyFlags);
}

Value TMdiClient::GotFocus(HWND hWndLost) {
  lFocused = true;
  if (bGotFocus) bGotFocus(*this, hWndLost);
  return Value();
}

Value TMdiClient::Display() {
  BeginPaint();
  Paint();
  EndPaint();
  return Value(0);
}

}  // namespace nx
