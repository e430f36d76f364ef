// TWindow's event methods: what a window does with each message the
// dispatch hands it. NIL results ask for default processing.
#include <windows.h>

#include <commctrl.h>
#include <dde.h>
#include <shellapi.h>

#include <algorithm>

#include "classes/cursor.h"
#include "classes/menu.h"
#include "classes/timer.h"
#include "classes/window.h"
#include "native/dispatch.h"
#include "rt/frames.h"
#include "rt/setkey.h"
#include "rt/strings.h"

namespace nx {

namespace {
// Scroll-bar control actions for codes 0..5 of WM_VSCROLL / WM_HSCROLL.
constexpr UINT kScrollMessages[] = {WM_NX_SBLINEUP,   WM_NX_SBLINEDOWN, WM_NX_SBPAGEUP,
                                    WM_NX_SBPAGEDOWN, WM_NX_SBTHUMBPOS, WM_NX_SBTHUMBTRACK};

bool ShiftDown() { return GetKeyState(VK_SHIFT) & 0x8000; }
bool CtrlDown() { return GetKeyState(VK_CONTROL) & 0x8000; }

// Keeps the window alive for the length of a hook that may destroy it.
struct Keep {
  TWindowPtr self;
  explicit Keep(TWindow& w) : self(w.Self()) {}
};
}  // namespace

// ---- message-to-method dispatch ------------------------------------------------
// The event switch: the native layer hands every message to HandleEvent
// (through EventTarget); this turns it into a call of a named method.

namespace {
// The words of a message parameter.
int Lo(LPARAM v) { return int(LOWORD(v)); }
int Hi(LPARAM v) { return int(HIWORD(v)); }
int SignedLo(LPARAM v) { return int(short(LOWORD(v))); }
int SignedHi(LPARAM v) { return int(short(HIWORD(v))); }
}  // namespace

Value WNDHANDLEEVENT(TWindow& self, UINT nMsg, WPARAM w, LPARAM l) {
#define NX_CALL(name, ...)                                 \
  do {                                                     \
    NX_METHOD(self.ClassName(), name);                     \
    return __VA_ARGS__;                                    \
  } while (0)
  switch (nMsg) {
    case WM_DESTROY: NX_CALL("DESTROY", self.Destroy());
    case WM_MOVE: NX_CALL("MOVED", self.Moved(Hi(l), Lo(l)));
    case WM_SIZE: NX_CALL("RESIZE", self.ReSize(int(w), Lo(l), Hi(l)));
    case WM_SETFOCUS: NX_CALL("GOTFOCUS", self.GotFocus(reinterpret_cast<HWND>(w)));
    case WM_KILLFOCUS: NX_CALL("LOSTFOCUS", self.LostFocus(reinterpret_cast<HWND>(w)));
    case WM_PAINT: {
      NX_METHOD(self.ClassName(), "PAINT");
      self.BeginPaint();
      try {
        self.Paint();
      } catch (...) {
        // The paint cycle ends even when a hook fails inside it.
        self.EndPaint();
        throw;
      }
      return self.EndPaint();
    }
    case WM_CLOSE: NX_CALL("CLOSE", self.Close(w));
    case WM_QUERYENDSESSION: NX_CALL("QUERYENDSESSION", self.QueryEndSession());
    case WM_ERASEBKGND: NX_CALL("ERASEBKGND", self.EraseBkGnd(reinterpret_cast<HDC>(w)));
    case WM_GETMINMAXINFO: NX_CALL("GETMINMAXINFO", self.GetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(l)));
    case WM_DRAWITEM: NX_CALL("DRAWITEM", self.DrawItem(w, reinterpret_cast<DRAWITEMSTRUCT*>(l)));
    case WM_MEASUREITEM: NX_CALL("MEASUREITEM", self.MeasureItem(w, reinterpret_cast<MEASUREITEMSTRUCT*>(l)));
    case WM_QUERYDRAGICON: NX_CALL("QUERYDRAGICON", self.QueryDragIcon());
    case WM_COMMNOTIFY: NX_CALL("COMMNOTIFY", self.CommNotify(w, l));
    case WM_NOTIFY: NX_CALL("NOTIFY", self.Notify(w, reinterpret_cast<NMHDR*>(l)));
    case WM_HELP: NX_CALL("HELP", self.Help(w, l));
    case WM_NCACTIVATE: NX_CALL("NCACTIVATE", self.NcActivate(w != 0));
    case WM_GETDLGCODE: NX_CALL("GETDLGCODE", self.GetDlgCode(w));
    case WM_NCMOUSEMOVE: NX_CALL("NCMOUSEMOVE", self.NcMouseMove(int(w), Hi(l), Lo(l)));
    case WM_KEYDOWN: NX_CALL("KEYDOWN", self.KeyDown(int(w), int(l)));
    case WM_CHAR: NX_CALL("KEYCHAR", self.KeyChar(int(w), int(l)));
    case WM_COMMAND: NX_CALL("COMMAND", self.Command(w, l));
    case WM_SYSCOMMAND: NX_CALL("SYSCOMMAND", self.SysCommand(w, l));
    case WM_TIMER: NX_CALL("TIMER", self.Timer(w, l));
    case WM_HSCROLL: NX_CALL("HSCROLL", self.HScroll(w, l));
    case WM_VSCROLL: NX_CALL("VSCROLL", self.VScroll(w, l));
    case WM_INITMENUPOPUP:
      NX_CALL("INITMENUPOPUP", self.InitMenuPopup(reinterpret_cast<HMENU>(w), Lo(l), Hi(l) != 0));
    case WM_MENUSELECT:
      NX_CALL("MENUSELECT", self.MenuSelect(Lo(LPARAM(w)), SignedHi(LPARAM(w)), reinterpret_cast<HMENU>(l)));
    case WM_MENUCHAR: NX_CALL("MENUCHAR", self.MenuChar(Lo(LPARAM(w)), Hi(LPARAM(w)), reinterpret_cast<HMENU>(l)));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      NX_CALL("CTLCOLOR", self.CtlColor(reinterpret_cast<HWND>(l), reinterpret_cast<HDC>(w)));
    case WM_MOUSEMOVE: NX_CALL("MOUSEMOVE", self.MouseMove(Hi(l), Lo(l), int(w)));
    case WM_LBUTTONDOWN: NX_CALL("LBUTTONDOWN", self.LButtonDown(Hi(l), Lo(l), int(w)));
    case WM_LBUTTONUP: NX_CALL("LBUTTONUP", self.LButtonUp(Hi(l), Lo(l), int(w)));
    case WM_LBUTTONDBLCLK: NX_CALL("LDBLCLICK", self.LDblClick(Hi(l), Lo(l), int(w)));
    case WM_RBUTTONDOWN: NX_CALL("RBUTTONDOWN", self.RButtonDown(Hi(l), Lo(l), int(w)));
    case WM_RBUTTONUP: NX_CALL("RBUTTONUP", self.RButtonUp(Hi(l), Lo(l), int(w)));
    case WM_MBUTTONDOWN: NX_CALL("MBUTTONDOWN", self.MButtonDown(Hi(l), Lo(l), int(w)));
    case WM_MBUTTONUP: NX_CALL("MBUTTONUP", self.MButtonUp(Hi(l), Lo(l), int(w)));
    case WM_MOUSEWHEEL:
      NX_CALL("MOUSEWHEEL", self.MouseWheel(Lo(LPARAM(w)), SignedHi(LPARAM(w)), SignedLo(l), SignedHi(l)));
    case WM_DROPFILES: NX_CALL("DROPFILES", self.DropFiles(reinterpret_cast<HDROP>(w)));
    case WM_QUERYNEWPALETTE: NX_CALL("QUERYNEWPALETTE", self.QueryNewPalette());
    case WM_PALETTECHANGED: NX_CALL("PALETTECHANGED", self.PaletteChanged(reinterpret_cast<HWND>(w)));
    case WM_DDE_INITIATE: NX_CALL("DDEINITIATE", self.DdeInitiate(reinterpret_cast<HWND>(w), Lo(l), Hi(l)));
    case WM_DDE_TERMINATE: NX_CALL("DDETERMINATE", self.DdeTerminate(reinterpret_cast<HWND>(w)));
    case WM_DDE_ACK: NX_CALL("DDEACK", self.DdeAck(w, l));
    case WM_DDE_EXECUTE: NX_CALL("DDEEXECUTE", self.DdeExecute(w, l));
    case WM_NX_DRAWITEM: NX_CALL("DRAWITEM", self.DrawItem(w, reinterpret_cast<DRAWITEMSTRUCT*>(l)));
    case WM_NX_HELPF1: NX_CALL("HELPF1", self.HelpF1());
    case WM_NX_DROPOVER: NX_CALL("DROPOVER", self.DropOver(Lo(l), Hi(l), l));
    case WM_NX_SOCKET: NX_CALL("ASYNCSELECT", self.AsyncSelect(w, l));
    case WM_NX_TASKBAR: NX_CALL("TASKBAR", self.TaskBar(w, l));
    default: return Value();
  }
#undef NX_CALL
}

Value TWindow::HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  return WNDHANDLEEVENT(*this, nMsg, nWParam, nLParam);
}

// ---- layout ---------------------------------------------------------------------------

Value TWindow::ReSize(int nSizeType, int width, int height) {
  Keep keep(*this);
  CoorsUpdate();
  if (oTop) oTop->AdjTop();
  if (oBottom) oBottom->AdjBottom();
  if (oMsgBar && oMsgBar != oBottom) oMsgBar->Adjust();
  if (oBar && oBar != oTop) oBar->Adjust();
  if (oLeft) oLeft->AdjLeft();
  if (oRight) oRight->AdjRight();
  if (oClient) oClient->AdjClient();
  if (OnResize) OnResize.Eval({Value(Self())});
  if (bResized) bResized(nSizeType, width, height, *this);
  return Value();
}

Value TWindow::Moved(int nRow, int nCol) { return bMoved ? bMoved(nRow, nCol, *this) : Value(); }

// ---- mouse -------------------------------------------------------------------------------

Value TWindow::LButtonDown(int nRow, int nCol, int nKeyFlags) {
  return bLClicked ? bLClicked(nRow, nCol, nKeyFlags, *this) : Value();
}

Value TWindow::LButtonUp(int nRow, int nCol, int nKeyFlags) {
  if (OnClick) return OnClick.Eval({nRow, nCol, nKeyFlags});
  return bLButtonUp ? bLButtonUp(nRow, nCol, nKeyFlags, *this) : Value();
}

Value TWindow::LDblClick(int nRow, int nCol, int nKeyFlags) {
  return bLDblClick ? bLDblClick(nRow, nCol, nKeyFlags, *this) : Value();
}

Value TWindow::RButtonDown(int nRow, int nCol, int nKeyFlags) {
  if (bRClicked) bRClicked(nRow, nCol, nKeyFlags, *this);
  return Value();
}

Value TWindow::RButtonUp(int nRow, int nCol, int nKeyFlags) {
  if (bRButtonUp) bRButtonUp(nRow, nCol, nKeyFlags, *this);
  return Value();
}

Value TWindow::MButtonDown(int nRow, int nCol, int nKeyFlags) {
  if (bMButtonDown) bMButtonDown(nRow, nCol, nKeyFlags, *this);
  return Value();
}

Value TWindow::MButtonUp(int nRow, int nCol, int nKeyFlags) {
  if (bMButtonUp) bMButtonUp(nRow, nCol, nKeyFlags, *this);
  return Value();
}

Value TWindow::MouseMove(int nRow, int nCol, int nKeyFlags) {
  Keep keep(*this);
  SetCursor(oCursor && oCursor->hCursor ? oCursor->hCursor : LoadCursor(nullptr, IDC_ARROW));
  SetMsg(cMsg);
  CheckToolTip();
  if (OnMouseMove.IsBlock()) OnMouseMove.Eval({Value(Self()), nRow, nCol, nKeyFlags});
  if (bMMoved) return bMMoved(nRow, nCol, nKeyFlags, *this);
  return Value(0);
}

Value TWindow::MouseWheel(int nKeys, int nDelta, int nXPos, int nYPos) {
  return bMouseWheel ? bMouseWheel(nKeys, nDelta, nXPos, nYPos, *this) : Value();
}

Value TWindow::NcMouseMove(int, int, int) {
  DestroyToolTip();
  return Value();
}

// ---- keyboard -------------------------------------------------------------------------------

namespace {
// A SetKey block gets the calling procedure's name and line, and the window.
Value EvalSetKey(const Block& b, TWindow& w) {
  return b.Eval({Value(ProcName(4)), Value(ProcLine(4)), Value(w.Self())});
}
}  // namespace

Value TWindow::KeyDown(int nKey, int nFlags) {
  Keep keep(*this);
  TWindowPtr parent = Parent();
  Block bKey = SetKey(nKey);
  if (nKey == VK_TAB && parent) {
    if (ShiftDown()) parent->GoPrevCtrl(hWnd);
    else parent->GoNextCtrl(hWnd);
    return Value(0);
  }
  if ((nKey == VK_F4 || nKey == VK_F6) && CtrlDown() && parent) {
    for (HWND h = parent->hWnd; h; h = GetParent(h)) {
      if (TWindowPtr w = oWndFromHwnd(h); w && w->IsMdiChild()) {
        parent->KeyDown(nKey, nFlags);
        return Value(0);
      }
    }
  }
  if (bKey) {
    EvalSetKey(bKey, *this);
    return Value(0);
  }
  if (nKey == VK_F1) return Value(0);
  if (OnKeyDown) OnKeyDown.Eval({Value(Self()), nKey, nFlags});
  if (!EvalsKeyDownFirst() && bKeyDown) return bKeyDown(nKey, nFlags, *this);
  if (parent && hWnd && GetParent(hWnd) == parent->hWnd) parent->KeyDown(nKey, nFlags);
  return Value();
}

Value TWindow::KeyChar(int nKey, int nFlags) {
  if (Block bKey = SetKey(nKey); bKey && (nFlags & 0x01000000)) return EvalSetKey(bKey, *this);
  if (bKeyChar) return bKeyChar(nKey, nFlags, *this);
  if (nKey == VK_ESCAPE) {
    if (TWindowPtr parent = Parent()) parent->KeyChar(nKey, nFlags);
  }
  return Value();
}

Value TWindow::GetDlgCode(WPARAM) { return Value(); }

// ---- focus -------------------------------------------------------------------------------------

Value TWindow::GotFocus(HWND hWndLost) {
  Keep keep(*this);
  lFocused = true;
  if (bGotFocus) bGotFocus(*this, hWndLost);
  if (hCtlFocus && IsWindow(hCtlFocus)) {
    ::SetFocus(hCtlFocus);
  } else if (!aControls.empty() && hWnd) {
    hCtlFocus = GetNextDlgTabItem(hWnd, nullptr, FALSE);
    if (hCtlFocus) ::SetFocus(hCtlFocus);
  }
  return Value(0);
}

Value TWindow::LostFocus(HWND hWndNew) {
  lFocused = false;
  DestroyToolTip();
  return bLostFocus ? bLostFocus(*this, hWndNew) : Value();
}

Value TWindow::NcActivate(bool lActive) {
  if (!lActive && bLostFocus && GetFocus() != hWnd) bLostFocus(*this, GetFocus());
  return Value();
}

// ---- scrolling -----------------------------------------------------------------------------------

namespace {
Value RouteScroll(WPARAM nWParam, LPARAM nLParam, const std::function<void(int code, int pos)>& ownBar) {
  int code = LOWORD(nWParam);
  int pos = HIWORD(nWParam);
  if (code > 5) return Value(0);
  if (HWND bar = reinterpret_cast<HWND>(nLParam)) {
    WPARAM w = code >= 4 ? WPARAM(pos) : 0;
    SendMessageA(bar, kScrollMessages[code], w, 0);
  } else {
    ownBar(code, pos);
  }
  return Value(0);
}
}  // namespace

Value TWindow::VScroll(WPARAM nWParam, LPARAM nLParam) {
  return RouteScroll(nWParam, nLParam, [this](int code, int pos) { OwnBarScroll(true, code, pos); });
}

Value TWindow::HScroll(WPARAM nWParam, LPARAM nLParam) {
  return RouteScroll(nWParam, nLParam, [this](int code, int pos) { OwnBarScroll(false, code, pos); });
}

// ---- commands and notifications --------------------------------------------------------------------

Value TWindow::Command(WPARAM nWParam, LPARAM nLParam) {
  int code = HIWORD(nWParam);
  HWND control = reinterpret_cast<HWND>(nLParam);
  if (MenuCommand(*this, LOWORD(nWParam), !control) || !control) return Value();
  if (GETCLASSNAME(control) == TOOLBARCLASSNAMEA) {
    if (TWindowPtr bar = oWndFromHwnd(control)) bar->Command(nWParam, nLParam);
    return Value();
  }
  if (code == 0) SendMessageA(control, WM_NX_CLICK, 0, 0);
  else if (code == 8) SendMessageA(control, WM_NX_CLOSEUP, 0, 0);
  else if (code == 1) SendMessageA(control, WM_NX_CHANGE, 0, 0);
  return Value();
}

Value TWindow::SysCommand(WPARAM nWParam, LPARAM nLParam) {
  // The bar's bitmap buttons drop their hover look: the system command
  // takes the mouse away from them without a leave notice.
  if (oBar) {
    for (const TWindowPtr& c : std::vector<TWindowPtr>(oBar->aControls))
      if (c && c->hWnd && c->TracksHover()) SendMessageA(c->hWnd, WM_MOUSELEAVE, 0, 0);
  }
  UINT cmd = UINT(nWParam) & 0xFFF0;
  if (cmd == SC_KEYMENU) {
    if (Block bF10 = SetKey(VK_F10)) {
      EvalSetKey(bF10, *this);
      return Value(0);
    }
    if (nLParam > 0 && OfferHotKey(int(nLParam))) return Value(0);
  }
  if (MenuSysCommand(*this, nWParam)) return Value();
  if (cmd == SC_CLOSE || nWParam == 0xF063) return Value(End());
  return Value();
}

bool TWindow::OfferHotKey(int nChar) {
  for (TWindowPtr w = Self(); w; w = w->Parent())
    for (const TWindowPtr& c : std::vector<TWindowPtr>(w->aControls))
      if (c && c->TakeHotKey(nChar)) return true;
  return false;
}

Value TWindow::Notify(WPARAM nIdCtrl, NMHDR* pNMHdr) {
  if (!pNMHdr) return Value();
  TWindowPtr sender = oWndFromHwnd(pNMHdr->hwndFrom);
  if (!sender) return Value();
  int code = int(pNMHdr->code);
  if (code == 103 || code == -402) {
    sender->SelChanged();
    return Value();
  }
  if (sender.get() != this) return sender->Notify(nIdCtrl, pNMHdr);
  return Value();
}

Value TWindow::CtlColor(HWND hWndCtl, HDC hDCCtl) {
  if (!hWndCtl || GetDlgCtrlID(hWndCtl) == 65535 || GetParent(hWndCtl) != hWnd) return Value();
  return Value(int64_t(SendMessageA(hWndCtl, WM_NX_CTLCOLOR, reinterpret_cast<WPARAM>(hDCCtl), 0)));
}

Value TWindow::DrawItem(WPARAM nIdCtl, DRAWITEMSTRUCT* pDrawItem) {
  if (nIdCtl == 0) return MenuDrawItem(*this, pDrawItem);
  for (auto& c : aControls) {
    if (c && c->nId == int(nIdCtl) && c->hWnd)
      return Value(int64_t(SendMessageA(c->hWnd, WM_NX_DRAWITEM, nIdCtl, reinterpret_cast<LPARAM>(pDrawItem))));
  }
  return Value();
}

Value TWindow::MeasureItem(WPARAM nIdCtl, MEASUREITEMSTRUCT* pMeasureItem) {
  if (nIdCtl == 0) return MenuMeasureItem(*this, pMeasureItem);
  for (auto& c : aControls)
    if (c && c->nId == int(nIdCtl)) return c->FillMeasure(pMeasureItem);
  return Value();
}

Value TWindow::InitMenuPopup(HMENU hMenu, int, bool lSysMenu) {
  MenuInitPopup(*this, hMenu, lSysMenu);
  return Value();
}

Value TWindow::MenuSelect(int nIdItem, int nFlags, HMENU hMenu) {
  DestroyToolTip();
  if (nFlags == -1 && !hMenu) oMItemSelect = nullptr;
  else if ((oMItemSelect = MenuSelectItem(*this, nIdItem, nFlags, hMenu))) SetMsg(oMItemSelect->cMsg);
  if (bMenuSelect) bMenuSelect(oMItemSelect, nFlags, hMenu, *this);
  return Value();
}

Value TWindow::MenuChar(int nChar, int, HMENU hMenu) { return MenuCharSearch(*this, nChar, hMenu); }

Value TWindow::Timer(WPARAM nTimerId, LPARAM) {
  Keep keep(*this);
  // Timers that are not the library's (a control's own) keep their default processing.
  return TIMEREVENT(nTimerId, hWnd) ? Value(0) : Value();
}

Value TWindow::GetMinMaxInfo(MINMAXINFO* p) {
  if (!aMinMaxInfo || !p) return Value();
  const auto& a = *aMinMaxInfo;
  p->ptMaxSize = {a[0], a[1]};
  p->ptMaxPosition = {a[2], a[3]};
  p->ptMinTrackSize = {a[4], a[5]};
  p->ptMaxTrackSize = {a[6], a[7]};
  return Value(0);
}

Value TWindow::DropFiles(HDROP hDrop) {
  if (bDropFiles) {
    POINT pt{};
    DragQueryPoint(hDrop, &pt);
    std::vector<std::string> files;
    UINT n = DragQueryFileA(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
      char name[MAX_PATH] = "";
      DragQueryFileA(hDrop, i, name, MAX_PATH);
      files.emplace_back(name);
    }
    Keep keep(*this);
    bDropFiles(pt.y, pt.x, files, *this);
  }
  DragFinish(hDrop);
  return Value();
}

Value TWindow::DropOver(int nRow, int nCol, LPARAM nLParam) {
  if (bDropOver) return bDropOver.Eval({GetDropInfo(), nRow, nCol, int64_t(nLParam)});
  return Value();
}

Value TWindow::QueryNewPalette() { return IsIconic(hWnd) ? Value(0) : Value(); }
Value TWindow::PaletteChanged(HWND) { return Value(); }
Value TWindow::Help(WPARAM, LPARAM) { return HelpF1(); }
Value TWindow::HelpF1() {
  if (oMItemSelect) oMItemSelect->HelpTopic();
  else HelpTopic();
  return Value();
}
Value TWindow::CommNotify(WPARAM w, LPARAM l) { return bCommNotify ? bCommNotify(w, l, *this) : Value(); }
Value TWindow::AsyncSelect(WPARAM w, LPARAM l) {
  if (bSocket) bSocket(w, l, *this);
  return Value();
}
Value TWindow::TaskBar(WPARAM w, LPARAM l) {
  if (bTaskBar) bTaskBar(w, l, *this);
  return Value();
}

Value TWindow::DdeInitiate(HWND hWndClient, int nAppAtom, int nTopicAtom) {
  if (!bDdeInit) return Value();
  Value r = bDdeInit(reinterpret_cast<WPARAM>(hWndClient), MAKELPARAM(nAppAtom, nTopicAtom), *this);
  if (!(r.IsLogical() && !r.AsLogical()))
    SendMessageA(hWndClient, WM_DDE_ACK, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(nAppAtom, nTopicAtom));
  return Value();
}
Value TWindow::DdeExecute(WPARAM w, LPARAM l) {
  if (bDdeExecute) bDdeExecute(w, l, *this);
  PostMessageA(reinterpret_cast<HWND>(w), WM_DDE_ACK, reinterpret_cast<WPARAM>(hWnd),
               PackDDElParam(WM_DDE_ACK, 0x8000, UINT_PTR(l)));  // fAck
  return Value();
}
Value TWindow::DdeAck(WPARAM, LPARAM) { return Value(); }
Value TWindow::DdeTerminate(HWND) { return Value(); }

Value TWindow::EditCommand(Block TWindow::*bHook, const Value& uArg) {
  const Block& b = this->*bHook;
  if (!b) return Value();
  Keep keep(*this);
  return uArg.IsNil() ? b.Eval({Value(Self())}) : b.Eval({Value(Self()), uArg});
}

Value TWindow::Close(WPARAM) { return Value(); }
Value TWindow::QueryEndSession() { return Value(End() ? 1 : 0); }
Value TWindow::NcPaint() { return Value(); }
Value TWindow::Inspect(const std::string&) { return Value(); }

void TWindow::HelpTopic() {
  static bool inHelp = false;
  if (inHelp) return;
  inHelp = true;
  if (nHelpId == 0) {
    if (TWindowPtr parent = Parent(); parent && !parent->IsFolder() && !parent->EndsHelpSearch())
      parent->HelpTopic();
  }
  inHelp = false;
}

}  // namespace nx
