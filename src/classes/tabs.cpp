#include "classes/tabs.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "classes/bar.h"
#include "classes/font.h"
#include "classes/icon.h"
#include "classes/menu.h"
#include "classes/simple_internal.h"
#include "native/gdi.h"
#include "native/tabs.h"
#include "rt/error.h"
#include "rt/strings.h"

namespace nx {

using namespace simple;

namespace {

// ---- the look, shared by every strip ---------------------------------------------------------

enum Look : size_t { BACK, SEL, SELL, SELR, UNSEL, UNSL, UNSR, kPieces };
using LookSet = std::array<HBITMAP, kPieces>;
LookSet g_horizontal{}, g_vertical{};

const LookSet& TheLook(bool lVertical) {
  LookSet& set = lVertical ? g_vertical : g_horizontal;
  if (!set[BACK]) {
    set = lVertical ? LookSet{BMP_BACKV(), BMP_TABSELV(), BMP_TABSELLV(), BMP_TABSELRV(), BMP_TABUNSELV(),
                              BMP_TABUNSLV(), BMP_TABUNSRV()}
                    : LookSet{BMP_BACK(), BMP_TABSEL(), BMP_TABSELL(), BMP_TABSELR(), BMP_TABUNSEL(),
                              BMP_TABUNSL(), BMP_TABUNSR()};
  }
  return set;
}

void FreeLook() {
  for (LookSet* set : {&g_horizontal, &g_vertical})
    for (HBITMAP& h : *set)
      if (HBITMAP old = std::exchange(h, nullptr)) DELETEOBJECT(old);
}

constexpr int kThickness = 17;
constexpr COLORREF kInk = RGB(57, 66, 177);
// The system's arrow bitmaps: up, pushed and disabled.
struct ArrowIds {
  int nUp, nDown, nOff;
};
constexpr ArrowIds kArrowLeft{32750, 32740, 32734}, kArrowRight{32751, 32741, 32735};

bool LargeFonts() {
  HDC dc = ::GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ::ReleaseDC(nullptr, dc);
  return dpi > 96;
}

// A font like oFont turned to nEscapement: oFont itself when it already is,
// else a new one (and oFont ended).
std::shared_ptr<TFont> FontRotate(std::shared_ptr<TFont> oFont, int nEscapement) {
  if (!oFont || oFont->nEscapement == nEscapement) return oFont;
  auto turned = TFont::New({.cFaceName = oFont->cFaceName,
                            .nHeight = oFont->nInpHeight,
                            .lBold = oFont->lBold,
                            .nEscapement = nEscapement,
                            .nOrientation = nEscapement});
  oFont->End();
  return turned;
}

int TextWidth(HDC hDC, HFONT hFont, const std::string& s) {
  HGDIOBJ old = SelectObject(hDC, hFont);
  SIZE size{};
  GetTextExtentPoint32A(hDC, s.data(), int(s.size()), &size);
  SelectObject(hDC, old);
  return size.cx;
}

bool FileThere(const std::string& cFile) {
  const DWORD attr = GetFileAttributesA(cFile.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

constexpr const char* kSideItems[] = {"&Top", "&Bottom", "&Left", "&Right"};
constexpr int kMenuOrder[] = {TABS_TOP, TABS_LEFT, TABS_RIGHT, TABS_BOTTOM};

int BarSideOf(int nSide) {
  switch (nSide) {
    case TABS_TOP: return BAR_TOP;
    case TABS_LEFT: return BAR_LEFT;
    case TABS_RIGHT: return BAR_RIGHT;
    default: return BAR_BOTTOM;
  }
}

}  // namespace

// ---- construction ----------------------------------------------------------------------------

const std::vector<std::string>& TTabs::aProperties() {
  static const std::vector<std::string> list{"aPrompts", "nAlign", "nClrText", "nClrPane", "nOption",
                                             "nTop",     "nLeft",  "nWidth",   "nHeight",  "Cargo"};
  return list;
}

template <class Params>
void TTabs::TakeArguments(const Params& p, const TWindowPtr& parent) {
  oWnd = parent;
  aPrompts = p.aPrompts;
  acBitmaps = p.acBitmaps;
  bAction = p.bAction;
  nOption = p.nOption;
  nOffset = 1;
  nOver = 0;
  SetColor(TextColor(p.nClrFore, parent), p.nClrBack.value_or(GetSysColor(COLOR_BTNFACE)));
  oFont = TFont::New({.cFaceName = "Verdana", .nHeight = -11});
  oBold = TFont::New({.cFaceName = "Verdana", .nHeight = -11, .lBold = true});
}

TTabsPtr TTabs::New(const TTabsParams& p) {
  auto t = std::make_shared<TTabs>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  t->nTop = p.lPixel ? p.nRow : p.nRow * 15;
  t->nLeft = p.lPixel ? p.nCol : p.nCol * 6;
  t->nBottom = t->nTop + p.nHeight.value_or(LargeFonts() ? 20 : kThickness) - 1;
  t->nRight = t->nLeft + p.nWidth - 1;
  // The arrow buttons are children: the strip's painting leaves them be.
  t->nStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | (p.lDesign ? WS_CLIPSIBLINGS : 0);
  t->nId = GetNewId();
  t->TakeArguments(p, parent);
  t->cMsg = p.cMsg;
  t->lDrag = p.lDesign;
  t->bMMoved = [](int nRow, int nCol, int, TWindow& self) {
    static_cast<TTabs&>(self).MouseHover(nRow, nCol);
    return Value(0);
  };
  t->Register(CS_VREDRAW | CS_HREDRAW);
  if (Live(parent)) {
    t->Create();
    if (t->hWnd) parent->AddControl(t);
  } else if (parent) {
    parent->DefControl(t);
  }
  t->Default();
  if (p.lDesign) t->CheckDots();
  if (t->hWnd) t->MakeArrows();
  return t;
}

TTabsPtr TTabs::ReDefine(const TTabsRedefineParams& p) {
  auto t = std::make_shared<TTabs>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  t->TakeArguments(p, parent);
  t->bMMoved = [](int nRow, int nCol, int, TWindow& self) {
    static_cast<TTabs&>(self).MouseHover(nRow, nCol);
    return Value(0);
  };
  t->Redefine(p.nId, parent);
  return t;
}

TTabs::~TTabs() { FreeTabBitmaps(); }

void TTabs::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (!hWnd) return;
  Default();
  MakeArrows();
}

void TTabs::MakeArrows() {
  std::weak_ptr<TTabs> weak = SelfTabs();
  auto arrow = [&](const ArrowIds& ids, int nStep) {
    auto b = TBtnBmp::New({.nTop = 0,
                           .nLeft = 0,
                           .nWidth = 16,
                           .nHeight = 16,
                           .bAction =
                               [weak, nStep](TBtnBmp&) {
                                 auto t = weak.lock();
                                 if (!t) return;
                                 const int count = int(t->aPrompts.size());
                                 if (nStep < 0 ? t->nOffset > 1 : t->nOffset + 1 < count) {
                                   t->nOffset += nStep;
                                   t->Refresh(true);
                                 }
                               },
                           .oWnd = Self(),
                           .lBorder = false});
    // No frame of the window's own nor a tab stop: a raised edge drawn
    // around the middle of the system's arrow face.
    b->lBorder = true;
    b->l97Look = false;
    b->hBitmap[0] = TABSARROW(ids.nUp);
    b->hBitmap[1] = TABSARROW(ids.nDown);
    b->hBitmap[2] = TABSARROW(ids.nOff);
    ShowWindow(b->hWnd, SW_HIDE);
    return b;
  };
  oBtnLeft = arrow(kArrowLeft, -1);
  oBtnRight = arrow(kArrowRight, +1);
}

void TTabs::FreeTabBitmaps() {
  for (HBITMAP& h : ahBitmaps)
    if (HBITMAP old = std::exchange(h, nullptr)) PalBmpFree(old, nullptr);
  aLoaded_.assign(ahBitmaps.size(), std::string());
}

// ---- the tabs ----------------------------------------------------------------------------------

void TTabs::Default() {
  const size_t count = aPrompts.size();
  acBitmaps.resize(count);
  for (size_t i = count; i < ahBitmaps.size(); ++i)  // prompts taken away directly
    if (ahBitmaps[i]) PalBmpFree(ahBitmaps[i], nullptr);
  ahBitmaps.resize(count, nullptr);
  aLoaded_.resize(count);
  nOffset = std::clamp(nOffset, 1, std::max(1, int(count)));
  for (size_t i = 0; i < count; ++i) {
    const std::string& name = acBitmaps[i];
    if (name == aLoaded_[i]) continue;
    if (HBITMAP old = std::exchange(ahBitmaps[i], nullptr)) PalBmpFree(old, nullptr);
    aLoaded_[i] = name;  // a name that fails is reported once
    if (name.empty()) continue;
    PalBmp pb = FileThere(name) ? PALBMPREAD(nullptr, name) : PALBMPLOAD(name.c_str());
    if (pb.hPalette) DELETEOBJECT(pb.hPalette);
    if (pb.hBitmap) ahBitmaps[i] = pb.hBitmap;
    else PictureError(EG_OPEN, "Tab bitmap not found", "TTABS:DEFAULT", name);
  }
  aSizes.assign(count, 0);
  HDC dc = ::GetDC(hWnd);
  if (dc) {
    HFONT bold = oBold ? oBold->hFont : nullptr;
    for (size_t i = 0; i < count; ++i)
      aSizes[i] = TextWidth(dc, bold, WithoutHotMark(aPrompts[i])) + (ahBitmaps[i] ? 18 : 0) + 20;
    ::ReleaseDC(hWnd, dc);
  }
  CalcPos();
}

void TTabs::CalcPos() {
  const int count = int(aPrompts.size());
  aLeft.assign(size_t(count) + 1, 0);
  for (int i = nOffset + 1; i <= count + 1; ++i)
    aLeft[size_t(i) - 1] = aLeft[size_t(i) - 2] + (size_t(i) - 2 < aSizes.size() ? aSizes[size_t(i) - 2] : 0) + 7;
}

int TTabs::nLength() const {
  RECT rc{};
  if (hWnd) GetClientRect(hWnd, &rc);
  return lVertical() ? rc.bottom : rc.right;
}

int TTabs::nLastShown() const {
  const int count = int(aPrompts.size());
  const int limit = nLength() - 40;
  int t = count;
  while (t > 1 && size_t(t) < aLeft.size() && aLeft[size_t(t)] >= limit) --t;
  return t;
}

void TTabs::SetOption(int n) {
  if (n == nOption || n < 1 || n > int(aPrompts.size())) return;
  TTabsPtr keep = SelfTabs();
  const int old = nOption;
  nOption = n;
  Refresh();
  if (bAction) bAction(n, old, *this);
}

void TTabs::AddItem(const std::string& cPrompt) {
  aPrompts.push_back(cPrompt);
  Default();
  Refresh();
}

void TTabs::DelItem(std::optional<int> nItem) {
  const int count = int(aPrompts.size());
  const int n = nItem.value_or(nOption);
  if (count <= 1 || n < 1 || n > count) return;
  const size_t i = size_t(n) - 1;
  aPrompts.erase(aPrompts.begin() + std::ptrdiff_t(i));
  if (i < acBitmaps.size()) acBitmaps.erase(acBitmaps.begin() + std::ptrdiff_t(i));
  if (i < ahBitmaps.size()) {
    if (ahBitmaps[i]) PalBmpFree(ahBitmaps[i], nullptr);
    ahBitmaps.erase(ahBitmaps.begin() + std::ptrdiff_t(i));
    aLoaded_.erase(aLoaded_.begin() + std::ptrdiff_t(i));
  }
  if (nOption >= n) nOption = std::max(1, nOption - 1);
  if (nOver >= n) nOver = 0;
  nOffset = std::min(nOffset, count - 1);
  Default();
  Refresh();
}

void TTabs::SetTabs(const std::vector<std::string>& aNewPrompts, int nNewOption) {
  FreeTabBitmaps();
  aPrompts = aNewPrompts;
  acBitmaps.clear();
  ahBitmaps.clear();
  aLoaded_.clear();
  nOption = nNewOption;
  nOffset = 1;
  nOver = 0;
  Default();
  Refresh();
}

int TTabs::GetHotPos(int nChar) const {
  const int want = std::tolower(nChar & 0xFF);
  for (size_t i = 0; i < aPrompts.size(); ++i) {
    if (const char hot = HotKeyOf(aPrompts[i]); hot && std::tolower(static_cast<unsigned char>(hot)) == want)
      return int(i) + 1;
  }
  return 0;
}

bool TTabs::TakeHotKey(int nChar) {
  if (!hWnd || !IsWindowVisible(hWnd) || !IsWindowEnabled(hWnd)) return false;
  const int n = GetHotPos(nChar);
  if (!n) return false;
  SetOption(n);
  return true;
}

Value TTabs::SysCommand(WPARAM nType, int nLoWord, int nHiWord) {
  if ((nType & 0xFFF0) == SC_KEYMENU) {
    if (const int n = GetHotPos(nLoWord)) {
      SetOption(n);
      return Value(0);
    }
  }
  return TControl::SysCommand(nType, nLoWord, nHiWord);
}

// ---- docking ---------------------------------------------------------------------------------

int TTabs::nDocked() const {
  TWindowPtr owner = Parent();
  if (!owner) return 0;
  const TWindow* self = this;
  if (owner->oTop.get() == self) return TABS_TOP;
  if (owner->oBottom.get() == self) return TABS_BOTTOM;
  if (owner->oLeft.get() == self) return TABS_LEFT;
  if (owner->oRight.get() == self) return TABS_RIGHT;
  return 0;
}

bool TTabs::lSideFree(int nSide) const {
  TWindowPtr owner = Parent();
  return owner && BarSideFree(*owner, BarSideOf(nSide));
}

bool TTabs::Dock(int nSide) {
  TWindowPtr owner = Parent();
  if (!owner || !owner->hWnd || !hWnd || nDocked() == nSide || !lSideFree(nSide)) return false;
  TTabsPtr keep = SelfTabs();
  const TWindow* self = this;
  for (TWindowPtr* slot : {&owner->oTop, &owner->oBottom, &owner->oLeft, &owner->oRight})
    if (slot->get() == self) slot->reset();
  nOrientation = nSide;
  RECT rc{};
  GetClientRect(owner->hWnd, &rc);
  SetWindowPos(hWnd, nullptr, 0, 0, lVertical() ? kThickness : rc.right, lVertical() ? rc.bottom : kThickness,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  switch (nSide) {
    case TABS_TOP: owner->oTop = keep; break;
    case TABS_BOTTOM: owner->oBottom = keep; break;
    case TABS_LEFT: owner->oLeft = keep; break;
    default: owner->oRight = keep; break;
  }
  Default();
  owner->ReSize();
  Refresh();
  return true;
}

bool TTabs::GoTop() { return Dock(TABS_TOP); }
bool TTabs::GoBottom() { return Dock(TABS_BOTTOM); }
bool TTabs::GoLeft() { return Dock(TABS_LEFT); }
bool TTabs::GoRight() { return Dock(TABS_RIGHT); }

void TTabs::AdjTop() {
  // Below a button bar that shares the top.
  TWindowPtr owner = Parent();
  if (!owner || !owner->oBar || owner->oBar.get() == this || !owner->oBar->hWnd || !hWnd) {
    TControl::AdjTop();
    return;
  }
  RECT bar{}, client{};
  GetWindowRect(owner->oBar->hWnd, &bar);
  MapWindowPoints(HWND_DESKTOP, owner->hWnd, reinterpret_cast<POINT*>(&bar), 2);
  GetClientRect(owner->hWnd, &client);
  SetWindowPos(hWnd, nullptr, -1, bar.bottom, client.right + 2, WNDHEIGHT(hWnd), SWP_NOZORDER | SWP_NOACTIVATE);
}

std::shared_ptr<TMenu> TTabs::DockMenu() {
  std::weak_ptr<TTabs> weak = SelfTabs();
  bool l2007 = false;
  if (TWindowPtr main = WndMain() ? WndMain() : Parent()) {
    auto bar = std::dynamic_pointer_cast<TBar>(main->oBar);
    l2007 = (main->oMenu && main->oMenu->l2007) || (bar && bar->l2007);
  }
  const int own = nDocked();
  MENUBEGIN(true, false, nullptr, l2007);
  for (int side : kMenuOrder) {
    if (side == own) continue;
    MENUADDITEM({.cPrompt = kSideItems[side - 1], .lActive = lSideFree(side), .bAction = [weak, side](TMenuItem&) {
                   if (auto t = weak.lock()) t->Dock(side);
                 }});
  }
  return MENUEND();
}

// ---- mouse ---------------------------------------------------------------------------------------

int TTabs::nOverPrompt(int nRow, int nCol) const {
  nRow = short(nRow);
  nCol = short(nCol);
  if (lVertical()) std::swap(nRow, nCol);
  const int limit = nLength() - 40;
  const int shift = nOrientation == TABS_TOP || nOrientation == TABS_LEFT ? nRow - 2 : 13 - nRow;
  const int count = int(aPrompts.size());
  for (int i = nOffset + 1; i <= count + 1 && size_t(i) <= aLeft.size(); ++i) {
    const int start = aLeft[size_t(i) - 1] + (i == nOption ? 0 : shift);
    if (start >= limit) break;
    if (start > nCol) return i - 1;
  }
  return 0;
}

Value TTabs::LButtonDown(int nRow, int nCol, int nKeyFlags) {
  if (lDrag) return TControl::LButtonDown(nRow, nCol, nKeyFlags);
  TTabsPtr keep = SelfTabs();
  if (const int n = nOverPrompt(nRow, nCol)) SetOption(n);
  return Value();
}

Value TTabs::RButtonDown(int nRow, int nCol, int nKeyFlags) {
  TTabsPtr keep = SelfTabs();
  const int n = nOverPrompt(nRow, nCol);
  if (bRClicked) return bRClicked(short(nRow), short(nCol), nKeyFlags, *this, n);
  if (TWindow::bRClicked) return TWindow::RButtonDown(nRow, nCol, nKeyFlags);
  if (nDocked()) DockMenu()->Activate(short(nRow), short(nCol), Self());
  return Value(0);
}

Value TTabs::MouseMove(int nRow, int nCol, int nKeyFlags) {
  TTabsPtr keep = SelfTabs();
  TRACKMOUSEEVENT(hWnd, TME_LEAVE);
  return TControl::MouseMove(nRow, nCol, nKeyFlags);
}

void TTabs::MouseHover(int nRow, int nCol) {
  const int n = nOverPrompt(nRow, nCol);
  if (n == nOver) return;
  if (nOver) PaintOver(nOver, false);
  if (n && n != nOption) PaintOver(n, true);
}

Value TTabs::MouseLeave(int, int, int) {
  if (nOver) PaintOver(nOver, false);
  nOver = 0;
  return Value(0);
}

Value TTabs::HandleEvent(UINT nMsg, WPARAM w, LPARAM l) {
  if (nMsg == WM_MOUSELEAVE) return MouseLeave(HIWORD(l), LOWORD(l), int(w));
  return TControl::HandleEvent(nMsg, w, l);
}

// ---- painting --------------------------------------------------------------------------------------

void TTabs::DrawTab(HDC dc, int n, bool lSelected, int nPart) {
  const int count = int(aPrompts.size());
  if (!dc || n < nOffset || n < 1 || n > count || size_t(n) > aSizes.size() || size_t(n) >= aLeft.size()) return;
  const size_t i = size_t(n) - 1;
  const int x = aLeft[i], w = aSizes[i];
  HBITMAP picture = i < ahBitmaps.size() ? ahBitmaps[i] : nullptr;
  const int b = picture ? 18 : 0;
  const bool vertical = lVertical();
  const bool mirrorX = nOrientation == TABS_LEFT, mirrorY = nOrientation == TABS_TOP;
  RECT rc{};
  GetClientRect(hWnd, &rc);
  const int across = vertical ? rc.right : rc.bottom;
  const LookSet& look = TheLook(vertical);
  auto piece = [&](Look which, int along, int length) {
    if (vertical) TABSBMPDRAW(dc, look[which], 0, along, across, length, mirrorX, false, CLEAR_MAGENTA);
    else TABSBMPDRAW(dc, look[which], along, 0, length, across, false, mirrorY, CLEAR_MAGENTA);
  };
  if (nPart == 0 || nPart == 1) {
    piece(lSelected ? SELL : UNSL, x, 4);
    piece(lSelected ? SEL : UNSEL, x + 4, w);
  }
  if (nPart == 0 || nPart == 2) piece(lSelected ? SELR : UNSR, x + 4 + w, 15);
  if (nPart != 0 && nPart != 1) return;
  if (picture) {
    if (vertical) TABSBMPDRAW(dc, picture, (across - 16) / 2, x + 12, 16, 16, false, false, CLEAR_CORNER);
    else TABSBMPDRAW(dc, picture, x + 12, (across - 16) / 2, 16, 16, false, false, CLEAR_CORNER);
  }
  std::shared_ptr<TFont> font = n == nOption ? oBold : oFont;
  HGDIOBJ oldFont = SelectObject(dc, font && font->hFont ? static_cast<HGDIOBJ>(font->hFont) : GetStockObject(DEFAULT_GUI_FONT));
  const COLORREF oldInk = SetTextColor(dc, kInk);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const std::string& prompt = aPrompts[i];
  if (!vertical) {
    RECT tr{x + 15 + b, 0, x + w + 5, across};
    DrawTextA(dc, prompt.data(), int(prompt.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOCLIP);
  } else {
    // Turned text has no layout of its own: placed by hand, without the
    // hot key's underline.
    const std::string text = WithoutHotMark(prompt);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SIZE ext{};
    GetTextExtentPoint32A(dc, text.data(), int(text.size()), &ext);
    const UINT oldAlign = SetTextAlign(dc, TA_TOP | TA_LEFT);
    if (nOrientation == TABS_LEFT) TextOutA(dc, (across - tm.tmHeight) / 2, x + 15 + b + ext.cx, text.data(), int(text.size()));
    else TextOutA(dc, (across + tm.tmHeight) / 2, x + 15 + b, text.data(), int(text.size()));
    SetTextAlign(dc, oldAlign);
  }
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldInk);
  SelectObject(dc, oldFont);
}

void TTabs::PaintTab(int n, std::optional<bool> lSelected, int nPart) {
  if (!hWnd) return;
  HDC dc = GetDC();
  DrawTab(dc, n, lSelected.value_or(n == nOption), nPart);
  ReleaseDC();
}

void TTabs::PaintOver(int n, bool lOver) {
  if (!hWnd || n == nOption || n < nOffset || n < 1 || n > int(aPrompts.size())) {
    nOver = 0;
    return;
  }
  PaintTab(n, lOver);
  if (n > nOffset) PaintTab(n - 1, n - 1 == nOption, 2);
  if (n + 1 == nOption) PaintTab(nOption, true, 1);
  nOver = lOver ? n : 0;
}

Value TTabs::Display() {
  TTabsPtr keep = SelfTabs();
  BeginPaint();
  Paint();
  EndPaint();
  return Value(0);
}

Value TTabs::Paint() {
  TTabsPtr keep = SelfTabs();
  if (!hWnd) return Value(0);
  // The side follows the owner's slot; a strip moved to another side takes
  // the strip's thickness across.
  const int docked = nDocked();
  const int side = docked ? docked : TABS_BOTTOM;
  if (side != nOrientation) {
    nOrientation = side;
    RECT wr{};
    GetWindowRect(hWnd, &wr);
    SetWindowPos(hWnd, nullptr, 0, 0, lVertical() ? kThickness : wr.right - wr.left,
                 lVertical() ? wr.bottom - wr.top : kThickness, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A side slot's place depends on the thickness.
    if (TWindowPtr owner = docked ? Parent() : nullptr) owner->ReSize();
  }
  const int escapement = nOrientation == TABS_LEFT ? 900 : nOrientation == TABS_RIGHT ? 2700 : 0;
  oFont = FontRotate(oFont, escapement);
  oBold = FontRotate(oBold, escapement);

  if (aSizes.size() < aPrompts.size()) Default();
  if (nOffset < 1) nOffset = 1;
  CalcPos();
  const int count = int(aPrompts.size());
  const int last = nLastShown();
  const int length = nLength();
  const bool hidden = last < count;

  auto rec = DispBegin();
  RECT rc{};
  GetClientRect(hWnd, &rc);
  TABSBMPDRAW(hDC, TheLook(lVertical())[BACK], 0, 0, rc.right, rc.bottom, nOrientation == TABS_LEFT,
              nOrientation == TABS_TOP, CLEAR_NONE);
  for (int i = last; i >= nOffset; --i)
    if (i != nOption) DrawTab(hDC, i, false, 0);
  if (nOption >= 1 && nOption <= count && aLeft[size_t(nOption)] < length - 40) DrawTab(hDC, nOption, true, 0);
  // A repaint keeps the tab under the mouse highlighted.
  if (nOver && nOver != nOption && nOver >= nOffset && nOver <= last) {
    DrawTab(hDC, nOver, true, 0);
    if (nOver > nOffset) DrawTab(hDC, nOver - 1, nOver - 1 == nOption, 2);
    if (nOver + 1 == nOption) DrawTab(hDC, nOption, true, 1);
  }
  if (bPainted) bPainted(hDC, cPS, *this);
  DispEnd(rec);

  // The arrows, when tabs are scrolled out at either end.
  if (oBtnLeft && oBtnRight && oBtnLeft->hWnd && oBtnRight->hWnd) {
    const bool show = nOffset > 1 || hidden;
    for (const TBtnBmpPtr& b : {oBtnLeft, oBtnRight}) {
      const bool left = b == oBtnLeft;
      if (show) {
        int x = 0, y = 0, w = 11, h = 15;
        if (lVertical()) {
          x = 3, y = left ? length - 31 : length - 16;
        } else {
          // Inside the strip: 4 from its top when that leaves room.
          y = std::clamp(int(rc.bottom) - h - 1, 0, 4);
          x = left ? length - 24 : length - 13;
        }
        SetWindowPos(b->hWnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        const bool enable = left ? nOffset > 1 : hidden;
        if (bool(IsWindowEnabled(b->hWnd)) != enable) {
          if (enable) b->Enable();
          else b->Disable();
        }
        if (!IsWindowVisible(b->hWnd)) ShowWindow(b->hWnd, SW_SHOWNA);
      } else if (IsWindowVisible(b->hWnd)) {
        ShowWindow(b->hWnd, SW_HIDE);
      }
    }
  }
  return Value(0);
}

// ---- end ----------------------------------------------------------------------------------------------

Value TTabs::Destroy() {
  TTabsPtr keep = SelfTabs();
  FreeLook();
  FreeTabBitmaps();
  if (TWindowPtr owner = Parent()) {
    const TWindow* self = this;
    for (TWindowPtr* slot : {&owner->oTop, &owner->oBottom, &owner->oLeft, &owner->oRight})
      if (slot->get() == self) slot->reset();
  }
  oBtnLeft = nullptr;
  oBtnRight = nullptr;
  if (auto bold = std::exchange(oBold, nullptr)) bold->End();
  return TControl::Destroy();
}

}  // namespace nx
