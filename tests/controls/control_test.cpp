// TControl and TScrollBar on real windows: identifiers, binding to dialog
// items, alignment, design mode, focus and validation, scroll bars.
#include <gtest/gtest.h>

#include <map>

#include "classes/brush.h"
#include "classes/control.h"
#include "classes/cursor.h"
#include "classes/scrllbar.h"
#include "common/pump.h"
#include "native/dispatch.h"
#include "rt/error.h"

using namespace nx;

namespace {

// A plain control over a static window, made the way subclasses make theirs.
class TestCtl : public TControl {
 public:
  explicit TestCtl(const char* cls = "TTESTCTL") : cls_(cls) {}
  const char* ClassName() const override { return cls_; }
  using TControl::CreateControl;
  static std::shared_ptr<TestCtl> Make(const TWindowPtr& parent, int top, int left, const char* cls = "TTESTCTL") {
    auto c = std::make_shared<TestCtl>(cls);
    c->oWnd = parent;
    c->nTop = top, c->nLeft = left, c->nBottom = top + 23, c->nRight = left + 99;
    c->nStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    c->nId = GetNewId();
    c->CreateControl();
    return c;
  }
  bool& lRegistered() override {
    static std::map<std::string, bool> registered;
    return registered[cls_];
  }
  bool IsPushButton() const override { return lPush; }
  bool lPush = false;

 private:
  const char* cls_;
};

TWindowPtr Parent() { return TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 300, .nRight = 400, .lPixel = true}); }

using nxtest::Pump;

void SetShift(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

}  // namespace

TEST(ControlIds, RunFrom101AndWrapAfter30000) {
  int saved = TControl::nInitID();
  TControl::nInitID() = 100;
  EXPECT_EQ(TControl::GetNewId(), 101);
  EXPECT_EQ(TControl::GetNewId(), 102);
  TControl::nInitID() = 29999;
  EXPECT_EQ(TControl::GetNewId(), 30000);
  EXPECT_EQ(TControl::GetNewId(), 100);
  EXPECT_EQ(TControl::GetNewId(), 101);
  TControl::nInitID() = saved;
}

TEST(ControlAlign, ClientOfATopLevelWindowOverlapsItsBorder) {
  auto w = Parent();
  auto c = TestCtl::Make(w, 10, 10);
  EXPECT_EQ(c->nAlign(), ALIGN_NONE);
  c->nAlign(ALIGN_CLIENT);
  EXPECT_EQ(w->oClient, c);
  RECT client;
  GetClientRect(w->hWnd, &client);
  EXPECT_EQ(WNDTOP(c->hWnd), -1);
  EXPECT_EQ(WNDLEFT(c->hWnd), -1);
  EXPECT_EQ(WNDWIDTH(c->hWnd), client.right + 2);
  EXPECT_EQ(WNDHEIGHT(c->hWnd), client.bottom + 3);
  // Resizing the window keeps it so.
  SetWindowPos(w->hWnd, nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(w->hWnd, &client);
  EXPECT_EQ(WNDWIDTH(c->hWnd), client.right + 2);
  EXPECT_EQ(WNDHEIGHT(c->hWnd), client.bottom + 3);
  // Moving to another slot clears the first.
  int height = WNDHEIGHT(c->hWnd);
  c->nAlign(ALIGN_TOP);
  EXPECT_EQ(w->oClient, nullptr);
  EXPECT_EQ(w->oTop, c);
  EXPECT_EQ(WNDTOP(c->hWnd), -1);
  EXPECT_EQ(WNDWIDTH(c->hWnd), client.right + 2);
  EXPECT_EQ(WNDHEIGHT(c->hWnd), height);  // the top edge keeps the control's height
  // The coordinates read back follow the window, however it moved.
  EXPECT_EQ(c->nTop, -1);
  EXPECT_EQ(c->nLeft, -1);
  EXPECT_EQ(c->nRight, client.right);
  MoveWindow(c->hWnd, 30, 20, 50, 40, TRUE);
  EXPECT_EQ(c->nTop, 20);
  EXPECT_EQ(c->nLeft, 30);
  EXPECT_EQ(c->nBottom, 59);
  EXPECT_EQ(c->nRight, 79);
  DestroyWindow(w->hWnd);

  auto orphan = std::make_shared<TestCtl>();
  EXPECT_EQ(orphan->nAlign(), 0);
}

TEST(ControlCalls, ReachTheControlThroughAWindowPointer) {
  auto w = Parent();
  auto c = TestCtl::Make(w, 16, 16);
  auto next = TestCtl::Make(w, 48, 16);
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  SetForegroundWindow(w->hWnd);
  Pump();
  TWindow& asWindow = *c;
  // Not enabled by its condition: the focus goes on to the next control.
  c->bWhen = [](TWindow&) { return false; };
  asWindow.SetFocus();
  EXPECT_EQ(GetFocus(), next->hWnd);
  // In design mode, a move through a window pointer brings the handles along.
  c->lDrag = true;
  c->CheckDots();
  c->lFocused = true;
  asWindow.Move(24, 32, 100, 24);
  ASSERT_TRUE(TControl::aDots[0] && TControl::aDots[0]->hWnd);
  EXPECT_TRUE(IsWindowVisible(TControl::aDots[0]->hWnd));
  for (const TWindowPtr& dot : TControl::aDots) {
    ASSERT_TRUE(dot->oCursor);
    EXPECT_TRUE(dot->oCursor->lPredef) << "a system cursor the handles would destroy";
  }
  // A width of 0 keeps the size; a height of 0 alone is taken as it is.
  c->Move(40, 8);
  EXPECT_EQ(WNDWIDTH(c->hWnd), 100);
  EXPECT_EQ(WNDHEIGHT(c->hWnd), 24);
  c->Move(40, 8, 60, 0);
  EXPECT_EQ(WNDWIDTH(c->hWnd), 60);
  EXPECT_EQ(WNDHEIGHT(c->hWnd), 0);
  DestroyWindow(w->hWnd);

  // Created with no rectangle given: 0, 0, 10, 10.
  auto w2 = Parent();
  auto plain = std::make_shared<TestCtl>();
  plain->oWnd = w2;
  plain->nStyle = WS_CHILD | WS_VISIBLE;
  plain->CreateControl();
  ASSERT_TRUE(plain->hWnd);
  EXPECT_EQ(WNDWIDTH(plain->hWnd), 11);
  EXPECT_EQ(WNDHEIGHT(plain->hWnd), 11);
  DestroyWindow(w2->hWnd);
}

TEST(ControlCalls, HelpWithoutATopicPassesUpAndGotFocusAnswersItsHook) {
  auto w = Parent();
  auto c = TestCtl::Make(w, 16, 16);
  auto other = TestCtl::Make(w, 48, 16);
  HELPINFO help{sizeof(HELPINFO), HELPINFO_WINDOW, c->nId, c->hWnd, 0, {0, 0}};
  EXPECT_TRUE(c->HandleEvent(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)).IsNil());
  c->nHelpId = 7;
  EXPECT_EQ(c->HandleEvent(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)).AsInt(), 0);
  HWND lost = nullptr;
  c->bGotFocus = [&](TWindow&, HWND hLost) {
    lost = hLost;
    return Value(5);
  };
  EXPECT_EQ(c->GotFocus(other->hWnd).AsInt(), 5);
  EXPECT_EQ(lost, other->hWnd);
  EXPECT_EQ(w->oCtlFocus, c);
  DestroyWindow(w->hWnd);
}

TEST(ControlDesign, MouseSnapsToTheGrid) {
  auto w = Parent();
  auto c = TestCtl::Make(w, 16, 16);
  c->lDrag = true;
  EXPECT_EQ(c->LButtonDown(13, 22, MK_LBUTTON).AsInt(), 0);
  ASSERT_TRUE(TControl::nPoint.has_value());
  EXPECT_EQ(short(LOWORD(*TControl::nPoint)), 8);
  EXPECT_EQ(short(HIWORD(*TControl::nPoint)), 16);
  EXPECT_TRUE(c->lCaptured);
  // 65515 is -21 in 16 bits: the outline follows above and left of the control.
  EXPECT_EQ(c->MouseMove(65515, 65515, MK_LBUTTON).AsInt(), 0);
  EXPECT_EQ(short(LOWORD(*TControl::nPoint)), -16);
  EXPECT_EQ(short(HIWORD(*TControl::nPoint)), -16);
  // Dropped back at the start: the control stays where it was.
  c->LButtonUp(13, 22, 0);
  EXPECT_FALSE(c->lCaptured);
  EXPECT_EQ(WNDTOP(c->hWnd), 16);
  EXPECT_EQ(WNDLEFT(c->hWnd), 16);
  // A move by two grid steps down and one right.
  c->LButtonDown(2, 2, MK_LBUTTON);
  c->MouseMove(18, 10, MK_LBUTTON);
  c->LButtonUp(18, 10, 0);
  EXPECT_EQ(WNDTOP(c->hWnd), 32);
  EXPECT_EQ(WNDLEFT(c->hWnd), 24);
  auto [cols, rows] = GetGridSize();
  EXPECT_EQ(cols, 8);
  EXPECT_EQ(rows, 8);
  DestroyWindow(w->hWnd);
}

TEST(ControlFocus, TabAndShiftTabOrder) {
  auto w = Parent();
  auto a = TestCtl::Make(w, 10, 10), b = TestCtl::Make(w, 40, 10), c = TestCtl::Make(w, 70, 10);
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  SetForegroundWindow(w->hWnd);
  SetFocus(a->hWnd);
  EXPECT_EQ(w->oCtlFocus, a);  // GotFocus tells the parent
  EXPECT_EQ(w->hCtlFocus, a->hWnd);
  a->KeyChar(VK_TAB, 0);
  EXPECT_EQ(GetFocus(), b->hWnd);
  SetShift(true);
  b->KeyChar(VK_TAB, 0);
  EXPECT_EQ(GetFocus(), a->hWnd);
  a->KeyChar(VK_TAB, 0);
  EXPECT_EQ(GetFocus(), c->hWnd);  // backwards wraps to the last
  SetShift(false);
  c->KeyChar(VK_TAB, 0);
  EXPECT_EQ(GetFocus(), a->hWnd);
  Pump();
  DestroyWindow(w->hWnd);
}

TEST(ControlFocus, ValidationIsDeferredAndSkippedForCancelButtons) {
  auto w = Parent();
  auto edit = TestCtl::Make(w, 10, 10);
  auto other = TestCtl::Make(w, 40, 10);
  auto cancel = TestCtl::Make(w, 70, 10);
  cancel->lPush = cancel->lCancel = true;
  int validations = 0;
  edit->bValid = [&](TWindow&) {
    ++validations;
    return true;
  };
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  SetForegroundWindow(w->hWnd);
  Pump();

  // Leaving for a cancel button: no validation at all.
  edit->KillFocus(cancel->hWnd);
  Pump();
  EXPECT_EQ(validations, 0);

  // Leaving for an ordinary control: validation after the focus change.
  edit->KillFocus(other->hWnd);
  EXPECT_EQ(validations, 0);
  Pump();
  EXPECT_EQ(validations, 1);
  EXPECT_FALSE(w->lValidating);

  // A failing validation brings the focus back.
  edit->bValid = [&](TWindow&) {
    ++validations;
    return false;
  };
  SetFocus(edit->hWnd);
  Pump();
  int before = validations;
  SetFocus(other->hWnd);  // a real focus change
  Pump();
  EXPECT_EQ(validations, before + 1);
  EXPECT_EQ(GetFocus(), edit->hWnd);
  DestroyWindow(w->hWnd);
}

namespace {
INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A dialog template with one static item, id 201.
std::string OneItemDialog() {
  std::string t;
  auto put16 = [&](uint16_t v) { t.append(reinterpret_cast<const char*>(&v), 2); };
  auto put32 = [&](uint32_t v) { t.append(reinterpret_cast<const char*>(&v), 4); };
  put32(WS_POPUP | WS_CAPTION);
  put32(0);
  put16(1), put16(0), put16(0), put16(100), put16(60);
  put16(0), put16(0), put16(0);  // no menu, default class, no title
  while (t.size() % 4) t.push_back('\0');
  // The item as the library builds it.
  t += CCTRL2CHR(5, 5, 14, 64, 201, WS_CHILD | WS_VISIBLE, "STATIC", "Hello");
  return t;
}
}  // namespace

TEST(ControlBinding, InitiateFindsTheItemOrRaisesNonDefinedId) {
  std::string tpl = OneItemDialog();
  HWND dlg = CreateDialogIndirectParamA(nullptr, reinterpret_cast<const DLGTEMPLATE*>(tpl.data()), nullptr,
                                        NoDialogProc, 0);
  ASSERT_NE(dlg, nullptr);
  ASSERT_NE(GetDlgItem(dlg, 201), nullptr);
  char text[16] = "";
  GetWindowTextA(GetDlgItem(dlg, 201), text, sizeof text);
  EXPECT_STREQ(text, "Hello");

  auto bound = std::make_shared<TestCtl>();
  bound->Redefine(201, nullptr);
  bound->lCancel = true;  // a cancel button bound from a resource stays one
  bound->Initiate(dlg);
  EXPECT_EQ(bound->hWnd, GetDlgItem(dlg, 201));
  EXPECT_TRUE(bound->lCancel);
  EXPECT_EQ(oWndFromHwnd(bound->hWnd), bound);

  std::vector<ErrorPtr> errors;
  ErrorHandler saved = ErrorBlock([&](const ErrorPtr& e) {
    errors.push_back(e);
    return Value(false);
  });
  auto missing = std::make_shared<TestCtl>();
  missing->Redefine(999, nullptr);
  missing->Initiate(dlg);
  ErrorBlock(saved);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0]->Description, "Non defined Id");
  EXPECT_EQ(errors[0]->Operation, "No:    999");
  EXPECT_EQ(missing->hWnd, nullptr);
  DestroyWindow(dlg);
}

TEST(ControlBinding, ItemTemplateBytes) {
  std::string t = CCTRL2CHR(2, 3, 11, 42, 300, WS_CHILD | WS_VISIBLE, "BUTTON", "Ok");
  ASSERT_EQ(t.size() % 4, 0u);
  auto word = [&](size_t i) { return uint16_t(uint8_t(t[i]) | uint8_t(t[i + 1]) << 8); };
  EXPECT_EQ(word(8), 3);    // x = left
  EXPECT_EQ(word(10), 2);   // y = top
  EXPECT_EQ(word(12), 40);  // width
  EXPECT_EQ(word(14), 10);  // height
  EXPECT_EQ(word(16), 300);
  EXPECT_EQ(word(18), 'B');
  EXPECT_EQ(word(18 + 2 * 6), 0);  // "BUTTON" ends
  EXPECT_EQ(word(32), 'O');
  EXPECT_EQ(word(36), 0);
  EXPECT_EQ(word(38), 0);  // no creation data
}

TEST(ScrollBar, ControlRangePositionAndBlocks) {
  auto w = Parent();
  std::vector<std::string> log;
  auto bar = TScrollBar::New({.nRow = 0, .nCol = 0, .nMin = 0, .nMax = 100, .nPgStep = 10, .oWnd = w,
                              .bUp = [&] { log.push_back("up"); return Value(); },
                              .bDown = [&] { log.push_back("down"); return Value(); },
                              .bPgUp = [&] { log.push_back("pgup"); return Value(); },
                              .bPos = [&](int p) { log.push_back("pos " + std::to_string(p)); return Value(); }});
  ASSERT_NE(bar->hWnd, nullptr);
  EXPECT_EQ(WNDWIDTH(bar->hWnd), 16);
  EXPECT_EQ(WNDHEIGHT(bar->hWnd), 100);
  EXPECT_EQ(w->aControls.back(), bar);
  auto info = [&] {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(bar->hWnd, SB_CTL, &si);
    return si;
  };
  EXPECT_EQ(info().nMin, 0);
  EXPECT_EQ(info().nMax, 100);
  EXPECT_EQ(info().nPos, 0);
  // At nMin GoUp keeps the position and still runs its block.
  bar->GoUp();
  EXPECT_EQ(info().nPos, 0);
  bar->GoDown();
  EXPECT_EQ(info().nPos, 1);
  // PageUp's block runs before the thumb moves.
  bar->SetPos(50);
  bar->bPageUp = [&] {
    log.push_back("pgup at " + std::to_string(bar->GetPos()));
    return Value();
  };
  bar->PageUp();
  EXPECT_EQ(info().nPos, 40);
  // The parent's scroll notifications arrive as library messages.
  SendMessageA(w->hWnd, WM_VSCROLL, SB_LINEDOWN, LPARAM(bar->hWnd));
  EXPECT_EQ(info().nPos, 41);
  SendMessageA(w->hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 77), LPARAM(bar->hWnd));
  EXPECT_EQ(log, (std::vector<std::string>{"up", "down", "pgup at 50", "down", "pos 77"}));
  bar->SetPage(30, true);
  EXPECT_EQ(info().nPage, 0u);  // SetPage has no effect
  auto horizontal = TScrollBar::New({.lVertical = false, .oWnd = w});
  EXPECT_EQ(WNDWIDTH(horizontal->hWnd), 100);
  EXPECT_EQ(WNDHEIGHT(horizontal->hWnd), 17);
  EXPECT_EQ(horizontal->nOrientation(), 2);
  DestroyWindow(w->hWnd);
}

TEST(ScrollBar, WindowBarDefaultsAndThumbLimit) {
  auto w = TWindow::New({.lVScroll = true});
  auto bar = TScrollBar::WinNew({.oWnd = w});
  auto [lo, hi] = bar->GetRange();
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(hi, 2);
  EXPECT_EQ(bar->GetPos(), 1);
  EXPECT_EQ(bar->hWnd, nullptr);
  // The browse's 10000-position bar: positions go through unchanged.
  bar->SetRange(1, 10000);
  bar->SetPos(5000);
  EXPECT_EQ(GetScrollPos(w->hWnd, SB_VERT), 5000);
  bar->bTrack = [](int pos) { return Value(pos); };
  EXPECT_EQ(bar->ThumbTrack(65535).AsInt(), 65535);
  DestroyWindow(w->hWnd);
}

TEST(ControlColors, ParentColourRequestsReachTheControl) {
  auto w = Parent();
  auto c = TestCtl::Make(w, 10, 10);
  c->SetColor(RGB(200, 10, 10), RGB(10, 10, 200));
  HDC dc = CreateCompatibleDC(nullptr);
  // The platform asks the parent; the parent relays to the control.
  LRESULT brush = SendMessageA(w->hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), LPARAM(c->hWnd));
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(c->oBrush->hBrush));
  EXPECT_EQ(GetTextColor(dc), RGB(200, 10, 10));
  EXPECT_EQ(GetBkColor(dc), RGB(10, 10, 200));
  // A control of another parent is not this window's business: default processing.
  auto other = Parent();
  EXPECT_NE(SendMessageA(other->hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), LPARAM(c->hWnd)), brush);
  EXPECT_TRUE(other->CtlColor(c->hWnd, dc).IsNil());
  // Without a brush of its own the control answers the DC's colours.
  auto plain = std::make_shared<TestCtl>();
  plain->oWnd = w;
  SetTextColor(dc, RGB(1, 2, 3));
  SetBkColor(dc, RGB(4, 5, 6));
  Value r = plain->Colors(dc);
  EXPECT_EQ(plain->nClrText, RGB(1, 2, 3));
  EXPECT_EQ(plain->nClrPane, RGB(4, 5, 6));
  ASSERT_NE(plain->oBrush, nullptr);
  EXPECT_EQ(r.AsInt(), int64_t(reinterpret_cast<intptr_t>(plain->oBrush->hBrush)));
  DeleteDC(dc);
  DestroyWindow(w->hWnd);
  DestroyWindow(other->hWnd);
}

TEST(ControlBinding, ControlAsItemTemplate) {
  auto c = std::make_shared<TestCtl>();
  c->nTop = 16, c->nLeft = 8, c->nBottom = 31, c->nRight = 87;
  c->nId = 321;
  c->cCaption = "Go";
  std::string t = c->cToChar("BUTTON");
  LONG units = GetDialogBaseUnits();
  int bx = LOWORD(units), by = HIWORD(units);
  auto word = [&](size_t i) { return uint16_t(uint8_t(t[i]) | uint8_t(t[i + 1]) << 8); };
  EXPECT_EQ(word(8), 4 * 8 / bx);
  EXPECT_EQ(word(10), 8 * 16 / by);
  EXPECT_EQ(word(16), 321);
  DWORD style = DWORD(word(0)) | DWORD(word(2)) << 16;
  EXPECT_EQ(style, DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP));
}
