#include "classes/bar.h"

#include <algorithm>
#include <utility>

#include "classes/brush.h"
#include "classes/font.h"
#include "classes/ini.h"
#include "classes/mdiclien.h"
#include "classes/mdiframe.h"
#include "classes/menu.h"
#include "classes/simple_internal.h"
#include "rt/strings.h"

namespace nx {

namespace {

constexpr const char* kModes[] = {"TOP", "LEFT", "RIGHT", "BOTTOM", "FLOAT"};
constexpr const char* kSides[] = {"&Top", "&Left", "&Right", "&Bottom"};
// System-menu commands of the floating window (multiples of 16: the system
// keeps the low four bits).
constexpr UINT kDockCmd = 0x0100;

int ModeOf(const std::string& cMode) {
  const std::string m = Upper(AllTrim(cMode));
  for (int i = 0; i < 5; ++i)
    if (m == kModes[i]) return i + 1;
  return BAR_TOP;
}

Block BarGradient() {
  return GradBlock({{0.25, RGB(219, 230, 244), RGB(207, 221, 239)}, {0.75, RGB(201, 217, 237), RGB(231, 242, 255)}},
                   {{0.25, RGB(255, 253, 222), RGB(255, 231, 151)}, {0.75, RGB(255, 215, 84), RGB(255, 233, 162)}});
}

void Separator(HDC hDC, bool lVerticalLine, int nAt, int nFrom, int nTo) {
  HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  HGDIOBJ old = SelectObject(hDC, dark);
  for (int i = 0; i < 2; ++i) {
    SelectObject(hDC, i ? light : dark);
    const int at = nAt - 5 + i;
    if (lVerticalLine) {
      MoveToEx(hDC, at, nFrom, nullptr);
      LineTo(hDC, at, nTo + 1);
    } else {
      MoveToEx(hDC, nFrom, at, nullptr);
      LineTo(hDC, nTo + 1, at);
    }
  }
  SelectObject(hDC, old);
  DeleteObject(dark);
  DeleteObject(light);
}

// The small tool window a floating bar lives in; its system menu and right
// clicks dock the bar again, and closing it docks the bar where there is room.
class TBarFloat : public TWindow {
 public:
  const char* ClassName() const override { return "TBARFLOAT"; }
  bool EndsHelpSearch() const override { return false; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  std::weak_ptr<TBar> oBar;

  Value SysCommand(WPARAM w, LPARAM l) override {
    const UINT cmd = UINT(w) & 0xFFF0;
    if (cmd >= kDockCmd + 16 && cmd <= kDockCmd + 64) {
      if (auto bar = oBar.lock()) {
        const int side = int((cmd - kDockCmd) / 16);
        if (bar->lSideFree(side)) DockBar(bar, side);
      }
      return Value(0);
    }
    return TWindow::SysCommand(w, l);
  }
  Value InitMenuPopup(HMENU hMenu, int nPos, bool lSys) override {
    if (lSys) {
      if (auto bar = oBar.lock()) {
        for (int side = BAR_TOP; side <= BAR_BOTTOM; ++side)
          EnableMenuItem(hMenu, kDockCmd + 16 * side, MF_BYCOMMAND | (bar->lSideFree(side) ? MF_ENABLED : MF_GRAYED));
      }
    }
    return TWindow::InitMenuPopup(hMenu, nPos, lSys);
  }
  Value RButtonDown(int nRow, int nCol, int) override {
    if (auto bar = oBar.lock()) bar->FloatClick(nRow, nCol, Self());
    return Value(0);
  }
  Value Close(WPARAM) override {
    if (auto bar = oBar.lock()) {
      for (int side = BAR_TOP; side <= BAR_BOTTOM; ++side) {
        if (bar->lSideFree(side)) {
          DockBar(bar, side);
          break;
        }
      }
    }
    return Value(0);
  }

 private:
  static void DockBar(const std::shared_ptr<TBar>& bar, int side) {
    switch (side) {
      case BAR_TOP: bar->GoTop(); break;
      case BAR_LEFT: bar->GoLeft(); break;
      case BAR_RIGHT: bar->GoRight(); break;
      default: bar->GoDown(); break;
    }
  }
};

}  // namespace

// ---- construction ----------------------------------------------------------------------------

TBarPtr TBar::New(const TBarParams& p) {
  auto bar = std::make_shared<TBar>();
  TWindowPtr parent = simple::ParentOrDefault(p.oWnd);
  bar->oWnd = parent;
  bar->oOwner_ = parent;
  bar->nMode = ModeOf(p.cMode);
  if (bar->nMode == BAR_FLOAT) bar->nMode = BAR_TOP;  // floating comes from Float()
  bar->nBtnWidth = p.nBtnWidth;
  bar->nBtnHeight = p.nBtnHeight;
  bar->l3DLook = p.l3D;
  bar->l2007 = p.l2007;
  bar->oCursor = p.oCursor;
  bar->nStyle = WS_BORDER | WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
  RECT rc{};
  if (parent && parent->hWnd) GetClientRect(parent->hWnd, &rc);
  const int W = rc.right, H = rc.bottom, mode = bar->nMode;
  bar->nTop = mode == BAR_BOTTOM ? H - p.nBtnHeight : -1;
  bar->nLeft = mode == BAR_RIGHT ? W - p.nBtnWidth - (p.l3D ? 3 : 0) : -1;
  bar->nBottom = mode == BAR_TOP ? p.nBtnHeight : H + 1;
  bar->nRight = mode == BAR_TOP || mode == BAR_BOTTOM ? W : mode == BAR_LEFT ? p.nBtnWidth + (p.l3D ? 3 : 0) : W + 1;
  bar->SetColor(parent ? parent->nClrText : GetSysColor(COLOR_BTNTEXT),
                p.l3D ? GetSysColor(COLOR_BTNFACE) : RGB(128, 128, 128));
  bar->bClrGrad = BarGradient();
  if (p.l2007) {
    bar->oFont = TFont::New({.cFaceName = "Tahoma", .nHeight = -11});
  }
  bar->Register(CS_VREDRAW | CS_HREDRAW);
  if (!parent || !parent->hWnd) return bar;
  bar->Create();
  if (!bar->hWnd) return bar;
  if (bar->oFont) bar->SetFont(bar->oFont);
  parent->AddControl(bar);
  bar->SetSlot();
  bar->Adjust();
  return bar;
}

TBarPtr TBar::NewAt(const TBarAtParams& p) {
  auto bar = std::make_shared<TBar>();
  TWindowPtr parent = simple::ParentOrDefault(p.oWnd);
  bar->oWnd = parent;
  bar->oOwner_ = parent;
  bar->nMode = ModeOf(p.cMode);
  bar->nBtnWidth = p.nBtnWidth;
  bar->nBtnHeight = p.nBtnHeight;
  bar->l3DLook = p.l3D;
  bar->oCursor = p.oCursor;
  bar->nStyle = WS_BORDER | WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
  int width = p.nWidth;
  if (width <= 0 && parent && parent->hWnd) {
    RECT rc{};
    GetClientRect(parent->hWnd, &rc);
    width = rc.right - p.nCol;
  }
  bar->nTop = p.nRow;
  bar->nLeft = p.nCol;
  bar->nBottom = p.nRow + p.nHeight - 1;
  bar->nRight = p.nCol + width - 1;
  bar->SetColor(parent ? parent->nClrText : GetSysColor(COLOR_BTNTEXT),
                p.l3D ? GetSysColor(COLOR_BTNFACE) : RGB(128, 128, 128));
  bar->bClrGrad = BarGradient();
  bar->Register(CS_VREDRAW | CS_HREDRAW);
  if (!parent || !parent->hWnd) return bar;
  bar->Create();
  if (bar->hWnd) parent->AddControl(bar);
  return bar;
}

TBar::~TBar() = default;

// ---- buttons ---------------------------------------------------------------------------------

std::vector<TBtnBmpPtr> TBar::Buttons() const {
  std::vector<TBtnBmpPtr> buttons;
  for (const TWindowPtr& c : aControls)
    if (auto b = std::dynamic_pointer_cast<TBtnBmp>(c)) buttons.push_back(std::move(b));
  return buttons;
}

int TBar::Cell(const TBtnBmp& b) const {
  if (lHorizontal()) return b.nRight - b.nLeft + (l3DLook2() ? 2 : 0);
  return nBtnHeight - (l3DLook2() ? 3 : 0);
}

void TBar::ShiftFrom(size_t nIndex, int nBy) {
  const auto buttons = Buttons();
  for (size_t i = nIndex; i < buttons.size(); ++i) {
    TBtnBmp& b = *buttons[i];
    const int w = b.nRight - b.nLeft + 1, h = b.nBottom - b.nTop + 1;
    if (lHorizontal()) b.Place(b.nTop, b.nLeft + nBy, w, h);
    else b.Place(b.nTop + nBy, b.nLeft, w, h);
  }
}

void TBar::Add(const TBtnBmpPtr& oBtn, int nPos) {
  if (!oBtn) return;
  const auto buttons = Buttons();
  if (nPos >= 1 && size_t(nPos) <= buttons.size()) {
    auto at = std::find(aControls.begin(), aControls.end(), buttons[size_t(nPos) - 1]);
    aControls.insert(at, oBtn);
    if (nMode != BAR_FLOAT) ShiftFrom(size_t(nPos), Cell(*oBtn) + (oBtn->lGroup ? 8 : 0));
  } else {
    aControls.push_back(oBtn);
  }
  if (nMode == BAR_FLOAT) BtnAdjust();
}

void TBar::AddGroup(int nPos) {
  const auto buttons = Buttons();
  if (nPos < 1 || size_t(nPos) > buttons.size() || buttons[size_t(nPos) - 1]->lGroup) return;
  buttons[size_t(nPos) - 1]->lGroup = true;
  ShiftFrom(size_t(nPos) - 1, 8);
  ++nGroups;
  Refresh();
}

void TBar::DelGroup(int nPos) {
  const auto buttons = Buttons();
  if (nPos < 1 || size_t(nPos) > buttons.size() || !buttons[size_t(nPos) - 1]->lGroup) return;
  buttons[size_t(nPos) - 1]->lGroup = false;
  ShiftFrom(size_t(nPos) - 1, -8);
  --nGroups;
  Refresh();
}

void TBar::Del(int nPos) {
  const auto buttons = Buttons();
  if (nPos < 1 || size_t(nPos) > buttons.size()) return;
  const size_t i = size_t(nPos) - 1;
  TBtnBmpPtr gone = buttons[i];
  int step = Cell(*gone);
  if (gone->lGroup) {
    // The group goes on with the next button when that one starts none.
    if (i + 1 < buttons.size() && !buttons[i + 1]->lGroup) {
      buttons[i + 1]->lGroup = true;
    } else {
      step += 8;
      --nGroups;
    }
  }
  aControls.erase(std::remove(aControls.begin(), aControls.end(), gone), aControls.end());
  if (gone->hWnd) DestroyWindow(gone->hWnd);
  if (nMode == BAR_FLOAT) {
    BtnAdjust();
  } else {
    // The buttons after it are now from index i on.
    ShiftFrom(i, -step);
  }
  Refresh();
}

int TBar::GetBtnTop(bool lGroup, int nPos) {
  const bool b3 = l3DLook2();
  if (lHorizontal()) return b3 ? 3 : -1;
  if (nMode == BAR_FLOAT) {
    if (lGroup) ++nGroups;
    return 0;  // Add places the buttons of a floating bar
  }
  const size_t count = Buttons().size();
  const size_t before = nPos >= 1 && size_t(nPos) <= count ? size_t(nPos) - 1 : count;
  if (lGroup) ++nGroups;
  return (b3 ? 2 : 0) + int(before) * (nBtnHeight - (b3 ? 3 : 0)) + nGroups * 8;
}

int TBar::GetBtnLeft(bool lGroup, int nPos) {
  const bool b3 = l3DLook2();
  const auto buttons = Buttons();
  if (nMode == BAR_LEFT || nMode == BAR_RIGHT) return b3 ? 2 : 0;
  if (nMode == BAR_FLOAT) {
    const int next = int(buttons.size()) * nBtnWidth - 1;
    RECT rc{};
    if (hWnd) GetClientRect(hWnd, &rc);
    return next + nBtnWidth > rc.right ? -1 : next;
  }
  int n = b3 ? 9 : 0;
  const size_t before = nPos >= 1 && size_t(nPos) <= buttons.size() ? size_t(nPos) - 1 : buttons.size();
  if (before > 0) n = buttons[before - 1]->nRight;
  if (lGroup) {
    n += 8;
    ++nGroups;
  }
  if (b3) n += 2;
  return n;
}

void TBar::BtnAdjust() {
  const bool b3 = l3DLook2();
  const auto buttons = Buttons();
  if (lHorizontal()) {
    int c = b3 ? 2 : -1, groups = 0, popups = 0;
    for (const auto& b : buttons) {
      if (b->lGroup) ++groups;
      b->Place(b3 ? 3 : -1, c + groups * 8 + (l2007 ? 1 : 9) + 13 * popups, b->nRight - b->nLeft + 1,
               b->nBottom - b->nTop + 1);
      if (b->oPopup) ++popups;
      b->Refresh(false);
      c += nBtnWidth;
    }
  } else if (nMode == BAR_FLOAT) {
    int row = 0, col = 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
      const auto& b = buttons[i];
      b->Place(row, col, b->nRight - b->nLeft + 1, b->nBottom - b->nTop + 1);
      b->Refresh(false);
      if (i % 2 == 0) {
        col = nBtnWidth + (b->oPopup ? 13 : 0);
      } else {
        col = 0;
        row += b3 ? nBtnHeight - 5 : nBtnHeight + 1;
      }
    }
  } else {
    int r = b3 ? 2 : -1, groups = 0;
    for (const auto& b : buttons) {
      if (b->lGroup) ++groups;
      b->Place(r + groups * 8 + 8, b3 ? 2 : -1, b->nRight - b->nLeft + 1, b->nBottom - b->nTop + 1);
      b->Refresh(false);
      r += b3 ? nBtnHeight - 3 : nBtnHeight + 1;
    }
  }
}

// ---- docking -----------------------------------------------------------------------------------

void TBar::Adjust() {
  TWindowPtr owner = Owner();
  if (!owner || !hWnd || nMode == BAR_FLOAT) return;
  const bool msg = owner->oMsgBar && owner->oMsgBar->hWnd;
  int height = 0;
  if (msg) {
    RECT r{};
    GetWindowRect(owner->oMsgBar->hWnd, &r);
    height = r.bottom - r.top;
  }
  BARADJUST(hWnd, nMode, msg, height);
}

bool BarSideFree(const TWindow& owner, int side) {
  switch (side) {
    case BAR_TOP: return !owner.oTop && !owner.oBar;
    case BAR_LEFT: return !owner.oLeft;
    case BAR_RIGHT: return !owner.oRight;
    case BAR_BOTTOM: return !owner.oBottom && !owner.oMsgBar;
    default: return false;
  }
}

bool TBar::lSideFree(int side) const {
  TWindowPtr owner = Owner();
  return owner && BarSideFree(*owner, side);
}

void TBar::ClearSlot() {
  TWindowPtr owner = Owner();
  if (!owner) return;
  const TWindow* self = this;
  for (TWindowPtr* slot : {&owner->oBar, &owner->oTop, &owner->oLeft, &owner->oRight, &owner->oBottom})
    if (slot->get() == self) slot->reset();
}

void TBar::SetSlot() {
  TWindowPtr owner = Owner();
  if (!owner) return;
  TWindowPtr self = Self();
  switch (nMode) {
    case BAR_TOP:
      owner->oBar = self;
      owner->oTop = self;
      break;
    case BAR_LEFT: owner->oLeft = self; break;
    case BAR_RIGHT: owner->oRight = self; break;
    case BAR_BOTTOM: owner->oBottom = self; break;
    default: break;
  }
}

namespace {
// The owner lays its client area out again.
void Relayout(const TWindowPtr& owner) {
  if (!owner || !owner->hWnd) return;
  RECT rc{};
  GetClientRect(owner->hWnd, &rc);
  auto frame = std::dynamic_pointer_cast<TMdiFrame>(owner);
  if (frame && frame->oWndClient) frame->oWndClient->Refresh();
  SendMessageA(owner->hWnd, WM_SIZE, IsZoomed(owner->hWnd) ? SIZE_MAXIMIZED : SIZE_RESTORED,
               MAKELPARAM(rc.right, rc.bottom));
  if (frame && frame->oWndClient) frame->oWndClient->Refresh();
}
}  // namespace

void TBar::Dock(int side) {
  TWindowPtr owner = Owner();
  if (side == nMode || !owner || !owner->hWnd || !hWnd) return;
  TBarPtr keep = SelfBar();
  if (nMode == BAR_FLOAT) {
    SetParent(hWnd, owner->hWnd);
    oWnd = owner;
    if (TWindowPtr fl = std::exchange(oFloat, nullptr); fl && fl->hWnd) DestroyWindow(fl->hWnd);
  } else {
    ClearSlot();
  }
  nMode = side;
  SetSlot();
  RECT rc{};
  GetClientRect(owner->hWnd, &rc);
  const int thick = (lHorizontal() ? nBtnHeight : nBtnWidth) + (l3DLook ? 2 : 1);
  SetWindowPos(hWnd, nullptr, 0, 0, lHorizontal() ? rc.right : thick, lHorizontal() ? thick : rc.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Relayout(owner);
  BtnAdjust();
  Refresh();
}

void TBar::GoTop() { Dock(BAR_TOP); }
void TBar::GoLeft() { Dock(BAR_LEFT); }
void TBar::GoRight() { Dock(BAR_RIGHT); }
void TBar::GoDown() { Dock(BAR_BOTTOM); }

void TBar::Float() {
  TWindowPtr owner = Owner();
  if (nMode == BAR_FLOAT || !owner || !owner->hWnd || !hWnd) return;
  TBarPtr keep = SelfBar();
  TWindowPtr host = owner;
  if (auto frame = std::dynamic_pointer_cast<TMdiFrame>(owner); frame && frame->oWndClient) host = frame->oWndClient;
  ClearSlot();
  nMode = BAR_FLOAT;
  const auto buttons = Buttons();
  bool popups = false;
  for (const auto& b : buttons) popups = popups || b->oPopup;
  const bool b3 = l3DLook2();
  const int rows = int(buttons.size() + 1) / 2;
  const int cw = 2 * nBtnWidth + (popups ? 13 : 0) + 2;
  const int ch = std::max(1, rows) * (b3 ? nBtnHeight - 5 : nBtnHeight + 1) + 4;
  RECT pos{};
  GetWindowRect(hWnd, &pos);
  MapWindowPoints(HWND_DESKTOP, host->hWnd, reinterpret_cast<POINT*>(&pos), 2);
  RECT frameRc{0, 0, cw, ch};
  const DWORD style = WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  AdjustWindowRectEx(&frameRc, style, FALSE, WS_EX_TOOLWINDOW);
  const int top = std::max(0, int(pos.top) + 20), left = std::max(0, int(pos.left) + 20);
  auto fl = TWindow::NewAs<TBarFloat>({.nTop = top,
                                       .nLeft = left,
                                       .nBottom = top + frameRc.bottom - frameRc.top - 1,
                                       .nRight = left + frameRc.right - frameRc.left - 1,
                                       .cTitle = "",
                                       .nStyle = style,
                                       .oWnd = host,
                                       .nClrBack = GetSysColor(COLOR_BTNFACE),
                                       .cBorder = "NONE",
                                       .lPixel = true});
  if (!fl->hWnd) {
    nMode = BAR_TOP;
    SetSlot();
    return;
  }
  fl->oBar = keep;
  SetWindowLongA(fl->hWnd, GWL_EXSTYLE, GetWindowLongA(fl->hWnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  if (HMENU sys = GetSystemMenu(fl->hWnd, FALSE)) {
    AppendMenuA(sys, MF_SEPARATOR, 0, nullptr);
    for (int side = BAR_TOP; side <= BAR_BOTTOM; ++side)
      AppendMenuA(sys, MF_STRING | (lSideFree(side) ? 0 : MF_GRAYED), kDockCmd + 16 * side, kSides[side - 1]);
  }
  oFloat = fl;
  SetParent(hWnd, fl->hWnd);
  oWnd = fl;
  SetWindowPos(hWnd, nullptr, 0, 0, cw, ch, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(fl->hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  BtnAdjust();
  Relayout(owner);
  Refresh();
}

std::shared_ptr<TMenu> TBar::DockMenu() {
  std::weak_ptr<TBar> weak = SelfBar();
  MENUBEGIN(true);
  for (int side = BAR_TOP; side <= BAR_BOTTOM; ++side) {
    if (side == nMode) continue;
    MENUADDITEM({.cPrompt = kSides[side - 1], .lActive = lSideFree(side), .bAction = [weak, side](TMenuItem&) {
                   if (auto bar = weak.lock(); bar && bar->lSideFree(side)) bar->Dock(side);
                 }});
  }
  if (nMode != BAR_FLOAT) {
    MENUADDITEM();
    MENUADDITEM({.cPrompt = "&Float", .bAction = [weak](TMenuItem&) {
                   if (auto bar = weak.lock()) bar->Float();
                 }});
  }
  return MENUEND();
}

void TBar::FloatClick(int nRow, int nCol, const TWindowPtr& oFloatWnd) {
  if (!oFloatWnd || !oFloatWnd->hWnd) return;
  DockMenu()->Activate(nRow, nCol, oFloatWnd);
}

Value TBar::RButtonDown(int nRow, int nCol, int nKeyFlags) {
  TBarPtr keep = SelfBar();
  if (bRClicked) return bRClicked(nRow, nCol, nKeyFlags, *this);
  if (nMode == BAR_FLOAT && oFloat) FloatClick(nRow, nCol, Self());
  else DockMenu()->Activate(nRow, nCol, Self());
  return Value(0);
}

Value TBar::MouseMove(int nRow, int nCol, int nKeyFlags) {
  TControl::MouseMove(nRow, nCol, nKeyFlags);
  if (TWindowPtr owner = Owner()) owner->SetMsg(cMsg);
  return Value(0);
}

// ---- painting ------------------------------------------------------------------------------------

Value TBar::Display() {
  BeginPaint();
  Paint();
  EndPaint();
  return Value(0);
}

Value TBar::Paint() {
  TBarPtr keep = SelfBar();
  if (!hWnd) return Value(0);
  auto rec = DispBegin();
  RECT rc{};
  GetClientRect(hWnd, &rc);
  const int W = rc.right, H = rc.bottom;
  const auto buttons = Buttons();
  const bool vertical = nMode == BAR_LEFT || nMode == BAR_RIGHT;
  auto separators = [&] {
    for (const auto& b : buttons) {
      if (!b->lGroup) continue;
      if (vertical) Separator(hDC, false, b->nTop, 2, W - 3);
      else Separator(hDC, true, b->nLeft, 2, H - 3);
    }
  };
  if (l2007) {
    GRADIENTFILL(hDC, 0, 0, H - 1, W, GradBands(bClrGrad ? bClrGrad.Eval({Value(false)}) : Value()));
    separators();
  } else {
    if (oBrush && oBrush->hBrush) FillRect(hDC, &rc, oBrush->hBrush);
    if (l3DLook) {
      BARPAINT(hWnd, hDC);
      if (!buttons.empty() && buttons.front()->l97Look) separators();
    }
  }
  if (bPainted) bPainted(hDC, cPS, *this);
  DispEnd(rec);
  return Value(0);
}

Value TBar::Destroy() {
  if (TWindowPtr fl = std::exchange(oFloat, nullptr); fl && fl->hWnd && fl->hWnd != GetParent(hWnd)) {
    DestroyWindow(fl->hWnd);
  }
  return TControl::Destroy();
}

// ---- designer and settings ---------------------------------------------------------------------

void TBar::SaveIni(const std::string& cName, const std::string& cIniFile) {
  const auto buttons = Buttons();
  if (buttons.empty()) return;
  auto ini = TIni::New(cIniFile);
  ini->Set("ButtonBar", "1", Value(cName + "," + std::to_string(nMode)));
  const std::string section = "ButtonBar." + cName;
  ini->DelSection(section);
  auto tf = [](bool l) { return std::string(l ? "T" : "F"); };
  for (size_t i = 0; i < buttons.size(); ++i) {
    const TBtnBmp& b = *buttons[i];
    const std::string tip = b.cToolTip.IsString() ? b.cToolTip.AsString() : std::string();
    const std::string line = b.cResName[0] + "," + b.cResName[1] + "," + b.cBmpFile[0] + "," + b.cBmpFile[1] + "," +
                             b.cMsg + "," + b.cAction + "," + tf(b.lGroup) + "," + tf(b.lAdjust) + "," + tip + "," +
                             tf(b.lPressed);
    ini->Set(section, "Button" + std::to_string(i + 1), Value(line));
  }
}

std::string TBar::cGenPRG() const {
  std::string s = "   DEFINE BUTTONBAR oBar OF oWnd SIZE " + std::to_string(nBtnWidth) + ", " +
                  std::to_string(nBtnHeight) + (l3DLook ? " 3D" : "") + " " + kModes[nMode - 1] +
                  (l2007 ? " 2007" : "") + "\r\n";
  for (const auto& b : Buttons()) {
    s += "   DEFINE BUTTON OF oBar";
    if (!b->cResName[0].empty()) s += " RESOURCE \"" + b->cResName[0] + "\"";
    if (!b->cBmpFile[0].empty()) s += " FILE \"" + b->cBmpFile[0] + "\"";
    if (!b->cCaption.empty()) s += " PROMPT \"" + b->cCaption + "\"";
    if (b->lGroup) s += " GROUP";
    s += "\r\n";
  }
  return s;
}

}  // namespace nx
