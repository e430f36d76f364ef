// TMdiFrame: construction with its default menu, the commands it passes to
// its client and active document window, layout, closing and menus.
#include "classes/mdiframe.h"

#include <commctrl.h>

#include <utility>

#include "classes/icon.h"
#include "classes/mdichild.h"
#include "classes/mdiclien.h"
#include "classes/menu.h"
#include "classes/scrllbar.h"
#include "classes/control.h"
#include "native/dispatch.h"
#include "native/menu.h"

namespace nx {

namespace {
std::weak_ptr<TMdiFrame> g_lastFrame;
constexpr int kNotGiven = 32768;
constexpr const char* kLibraryName = "Novaxis 9.08";
}  // namespace

TMdiFramePtr GetWndFrame() { return g_lastFrame.lock(); }

bool& TMdiFrame::lRegistered() {
  static bool registered = false;
  return registered;
}

TMdiFramePtr TMdiFrame::New(const TMdiFrameParams& p) { return NewAs<TMdiFrame>(p); }

std::shared_ptr<TMenu> TMdiFrame::DefaultMenu() {
  std::weak_ptr<TMdiFrame> self = SelfFrame();
  MENUBEGIN();
  MENUADDITEM({.cPrompt = "&Childs"});
  MENUBEGIN();
  MENUADDITEM({.cPrompt = "New...", .bAction = [self](TMenuItem&) {
                 if (auto f = self.lock()) f->ChildNew();
               }});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "E&xit", .bAction = [self](TMenuItem&) {
                 if (auto f = self.lock()) f->End();
               }});
  MENUEND();
  TMenuPtr bar = LASTMENU();
  bar->AddMdi();
  bar->AddHelp(Value(kLibraryName));
  return MENUEND();
}

void TMdiFrame::InitFrame(const TMdiFrameParams& p) {
  auto coord = [&](const std::optional<int>& n, int cell) {
    if (!n) return kNotGiven;
    return p.lPixel ? *n : *n * cell;
  };
  nTop = coord(p.nTop, 16), nLeft = coord(p.nLeft, 8), nBottom = coord(p.nBottom, 16), nRight = coord(p.nRight, 8);
  nStyle = p.nStyle ? p.nStyle : WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  cCaption = p.cTitle;
  oWnd = p.oWnd;
  oIcon = p.oIcon;
  if (!oIcon && !p.cIcon.empty()) oIcon = TIcon::FromName(p.cIcon);
  lVisible = true;
  oMenu = p.oMenu ? p.oMenu : DefaultMenu();
  if (p.nMenuInfo) {
    nMenuInfo = *p.nMenuInfo;
  } else if (p.oMenu) {
    const auto& items = oMenu->aItems();
    nMenuInfo = std::max(1, int(items.size()) - 1);
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i] && items[i]->cPrompt == "&Window") nMenuInfo = int(i) + 1;
  } else {
    nMenuInfo = 2;
  }
  nMenuInfoStart = nMenuInfo;

  const COLORREF fore = p.nClrFore.value_or(GetSysColor(COLOR_WINDOWTEXT));
  const COLORREF back = p.nClrBack.value_or(GetSysColor(COLOR_APPWORKSPACE));
  nClrPane = back;
  lClrPaneSet = true;
  oBrush = p.oBrush;
  Register();
  Create();
  if (!hWnd) return;
  // What the frame's handlers leave goes to the platform's frame procedure.
  nOldProc = GETFRAMEPROC();
  SetColor(fore, back, p.oBrush);
  oWndClient = TMdiClient::New(SelfFrame(), nMenuInfo, 1, p.oBrush, p.lVScroll, p.lHScroll);
  if (oWndClient) oWndClient->SetColor(fore, back, p.oBrush);
  SetMenu(oMenu, nMenuInfo);
  GetFont();
  g_lastFrame = SelfFrame();
  SetWndDefault(Self());
}

// ---- through the client -------------------------------------------------------------

TMdiChildPtr TMdiFrame::ChildNew(const TMdiChildParams& p) {
  return oWndClient ? oWndClient->ChildNew(p) : nullptr;
}
TMdiChildPtr TMdiFrame::ChildNew() { return ChildNew(TMdiChildParams{.oWnd = SelfFrame()}); }
void TMdiFrame::Cascade() {
  if (oWndClient) oWndClient->Cascade();
}
bool TMdiFrame::CloseAll() { return !oWndClient || oWndClient->lCloseAll(); }
void TMdiFrame::IconizeAll() {
  if (oWndClient) oWndClient->IconizeAll();
}
void TMdiFrame::Tile(bool lHorizontal) {
  if (oWndClient) oWndClient->Tile(lHorizontal);
}
void TMdiFrame::ArrangeIcons() {
  if (oWndClient) oWndClient->ArrangeIcons();
}
void TMdiFrame::NextWindow() {
  if (oWndClient) oWndClient->NextWindow();
}
void TMdiFrame::PrevWindow() {
  if (oWndClient) oWndClient->PrevWindow();
}
void TMdiFrame::Select(int n) {
  if (oWndClient) oWndClient->Select(n);
}

Value TMdiFrame::EditCommand(Block TWindow::*bHook, const Value& uArg) {
  TMdiChildPtr active = oWndActive.lock();
  return active ? active->EditCommand(bHook, uArg) : Value();
}

void TMdiFrame::Open() {
  if (bOnOpen) bOnOpen(*this);
}

// ---- life cycle and events ---------------------------------------------------------------

void TMdiFrame::Activate(const ActivateParams& p) {
  ActivateParams own = p;
  if (TMdiClientPtr client = oWndClient) {
    if (own.bPainted) client->bPainted = std::exchange(own.bPainted, nullptr);
    if (own.bLClicked) client->bLClicked = std::exchange(own.bLClicked, nullptr);
    if (own.bRClicked) client->bRClicked = std::exchange(own.bRClicked, nullptr);
    // Without blocks of its own the client's bars scroll it by 20 pixels.
    std::weak_ptr<TMdiClient> weak = client;
    auto scroll = [weak](int dx, int dy, bool lRelease) -> ScrollHook {
      return [weak, dx, dy, lRelease] {
        TMdiClientPtr c = weak.lock();
        if (!c || !c->hWnd) return;
        if (lRelease) ReleaseCapture();
        RECT r{};
        GetClientRect(c->hWnd, &r);
        ScrollWindow(c->hWnd, dx, dy, &r, &r);
      };
    };
    ActivateParams bars{.bUp = own.bUp ? own.bUp : scroll(0, 20, false),
                        .bDown = own.bDown ? own.bDown : scroll(0, -20, false),
                        .bPgUp = own.bPgUp,
                        .bPgDn = own.bPgDn,
                        .bLeft = own.bLeft ? own.bLeft : scroll(20, 0, true),
                        .bRight = own.bRight ? own.bRight : scroll(-20, 0, true),
                        .bPgLeft = own.bPgLeft,
                        .bPgRight = own.bPgRight};
    client->SetBarBlocks(bars);
  }
  TWindow::Activate(own);
}

bool TMdiFrame::End() {
  TWindowPtr keep = Self();
  if (!lValid()) return false;
  if (!CloseAll()) return false;
  if (hWnd) PostMessageA(hWnd, WM_CLOSE, 0, 0);
  return true;
}

Value TMdiFrame::ReSize(int nSizeType, int width, int height) {
  TWindowPtr keep = Self();
  if (oWndClient && oWndClient->hWnd) {
    HWND top = oBar ? oBar->hWnd : oTop ? oTop->hWnd : nullptr;
    HWND bottom = oMsgBar ? oMsgBar->hWnd : oBottom ? oBottom->hWnd : nullptr;
    WNDADJCLIENT(oWndClient->hWnd, top, bottom, oLeft ? oLeft->hWnd : nullptr, oRight ? oRight->hWnd : nullptr, true,
                 0);
  }
  TWindow::ReSize(nSizeType, width, height);
  return Value(0);
}

Value TMdiFrame::Command(WPARAM nWParam, LPARAM nLParam) {
  const HWND control = reinterpret_cast<HWND>(nLParam);
  const bool fromToolbar = control && GETCLASSNAME(control) == TOOLBARCLASSNAMEA;
  if (LOWORD(nWParam) < 100 && !fromToolbar) return Value();
  Value r = TWindow::Command(nWParam, nLParam);
  return fromToolbar ? Value(0) : r;
}

Value TMdiFrame::GotFocus(HWND hWndLost) {
  lFocused = true;
  if (bGotFocus) bGotFocus(*this, hWndLost);
  return Value();
}

Value TMdiFrame::Destroy() {
  // A document window's menu on the bar is its own: the frame ends its own.
  if (oMenuStart && oMenu != oMenuStart) {
    if (hWnd && oMenu && GetMenu(hWnd) == oMenu->hMenu) SETMENU(hWnd, nullptr);
    oMenu = oMenuStart;
  }
  oMenuStart = nullptr;
  return TWindow::Destroy();
}

void TMdiFrame::SetMenu(std::shared_ptr<TMenu> menu, std::optional<int> nInfo) {
  if (!oMenuStart) {
    if (nInfo) nMenuInfo = nMenuInfoStart = *nInfo;
    oMenuStart = menu;
    TWindow::SetMenu(std::move(menu));
    return;
  }
  if (!menu) return;
  // The frame's own menu keeps its own Window position.
  nMenuInfo = nInfo ? *nInfo : menu == oMenuStart ? nMenuInfoStart : nMenuInfo;
  int pos = nMenuInfo;
  if (pos <= 0) pos = int(menu->aItems().size()) + 1 + pos;
  oMenu = menu;
  menu->oWnd = Self();
  if (oWndClient) oWndClient->SetMenu(menu, pos);
}

}  // namespace nx
