// The simple controls in a plain window: value binding and its odd values,
// the radio group's keyboard, the button's re-entrancy guard and labels that
// adjust to their text.
#include <gtest/gtest.h>

#include "classes/button.h"
#include "classes/checkbox.h"
#include "classes/dialog.h"
#include "classes/radio.h"
#include "classes/say.h"
#include "classes/setget.h"
#include "dialogs/script.h"
#include "native/dispatch.h"

using namespace nx;
using dlgtest::Checked;
using dlgtest::ModalScript;
using dlgtest::PostClick;
using dlgtest::PostKey;
using dlgtest::Script;

namespace {

TWindowPtr Window() {
  return TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 300, .nRight = 400, .cTitle = "controls", .lPixel = true});
}

}  // namespace

TEST(SimpleControls, CheckBoxMakesItsValueLogicalAndTogglesIt) {
  auto w = Window();
  Value bound(7);
  std::vector<bool> changes;
  auto box = TCheckBox::New({.nRow = 10, .nCol = 10, .cCaption = "&Sound", .bSetGet = BindVar(bound),
                             .bChange = [&](bool on, TCheckBox&) { changes.push_back(on); }, .lPixel = true});
  EXPECT_EQ(bound, Value(false));
  ASSERT_NE(box->hWnd, nullptr);
  EXPECT_EQ(GetParent(box->hWnd), w->hWnd);
  EXPECT_EQ(box->nWidth(), 6 * 7 + 1);  // pixel flag: no 24 taken off; right edge inclusive
  PostClick(box->hWnd);
  SYSREFRESH();
  EXPECT_EQ(bound, Value(true));
  EXPECT_TRUE(Checked(box->hWnd));
  box->UnCheck();
  EXPECT_EQ(bound, Value(false));
  EXPECT_FALSE(Checked(box->hWnd));
  bound = Value(true);
  box->Refresh();
  EXPECT_TRUE(Checked(box->hWnd));
  EXPECT_EQ(changes, std::vector<bool>{true});
  // Without a variable the box keeps a value of its own.
  auto own = TCheckBox::New({.nRow = 40, .nCol = 10, .lPixel = true});
  EXPECT_FALSE(own->lChecked());
  own->Check();
  EXPECT_TRUE(own->lChecked());
  DestroyWindow(w->hWnd);
}

TEST(SimpleControls, RadioGroupStartsAtOneAndArrowsWrapWithTheFocus) {
  for (Value start : {Value(0), Value("x")}) {
    auto w = Window();
    Value option = start;
    int changes = 0;
    auto group = TRadMenu::New({.nRow = 10, .nCol = 10, .acItems = {"&One", "&Two", "T&hree"},
                                .bSetGet = BindVar(option), .bChange = [&](TRadMenu&) { ++changes; },
                                .nWidth = 80, .nHeight = 20, .lPixel = true});
    EXPECT_EQ(option, Value(1)) << start.ValType();
    auto items = group->aItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_TRUE(Checked(items[0]->hWnd));
    EXPECT_EQ(WNDTOP(items[1]->hWnd) - WNDTOP(items[0]->hWnd), 20);
    EXPECT_TRUE(GetWindowLongA(items[0]->hWnd, GWL_STYLE) & WS_GROUP);
    changes = 0;
    // The last radio: Down wraps to the first, and the focus follows.
    group->SetOption(3);
    // Tab enters the group at its selection.
    EXPECT_TRUE(GetWindowLongA(items[2]->hWnd, GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongA(items[0]->hWnd, GWL_STYLE) & WS_TABSTOP);
    SetFocus(items[2]->hWnd);
    EXPECT_EQ(option, Value(3));
    EXPECT_TRUE(Checked(items[2]->hWnd));
    EXPECT_FALSE(Checked(items[0]->hWnd));
    PostKey(VK_DOWN, items[2]->hWnd);
    SYSREFRESH();
    EXPECT_EQ(option, Value(1));
    EXPECT_EQ(GetFocus(), items[0]->hWnd);
    PostKey(VK_LEFT);
    SYSREFRESH();
    EXPECT_EQ(option, Value(3));
    EXPECT_EQ(GetFocus(), items[2]->hWnd);
    // A click selects through the group.
    PostClick(items[1]->hWnd);
    SYSREFRESH();
    EXPECT_EQ(option, Value(2));
    EXPECT_TRUE(Checked(items[1]->hWnd));
    EXPECT_FALSE(Checked(items[2]->hWnd));
    EXPECT_GE(changes, 4);
    DestroyWindow(w->hWnd);
  }
}

TEST(SimpleControls, ButtonWhoseActionOpensADialogThatClicksItDoesNotReenter) {
  auto w = Window();
  int actions = 0;
  TButtonPtr btn;
  TDialogPtr inner;
  btn = TButton::New({.nRow = 10, .nCol = 10, .cCaption = "&Open", .bAction = [&](TButton&) {
                        ++actions;
                        inner = TDialog::New({.cCaption = "Inner", .nWidth = 200, .nHeight = 120});
                        TCheckBox::New({.nRow = 10, .nCol = 10, .oWnd = inner, .lPixel = true});
                        Script script = ModalScript(
                            inner, {[&] { PostMessageA(btn->hWnd, BM_CLICK, 0, 0); },  // the same button again
                                    [&] { PostKey(VK_ESCAPE, inner->hWnd); }});
                        inner->Activate({.bInit = [&](TWindow&) { script.Start(); }});
                      },
                      .nWidth = 80, .nHeight = 24, .lPixel = true});
  PostClick(btn->hWnd);
  SYSREFRESH();
  EXPECT_EQ(actions, 1);
  EXPECT_EQ(inner->nResult, Value(IDCANCEL));
  EXPECT_FALSE(btn->lProcessing);
  PostClick(btn->hWnd);  // and it works again afterwards
  SYSREFRESH();
  EXPECT_EQ(actions, 2);
  DestroyWindow(w->hWnd);
}

TEST(SimpleControls, AdjustedLabelGrowsButNeverShrinks) {
  auto w = Window();
  auto say = TSay::New({.cText = "ab", .lPixels = true, .lAdjust = true});
  auto centred = TSay::New({.nRow = 30, .cText = "ab", .lCentered = true, .lPixels = true, .lAdjust = true});
  auto right = TSay::New({.nRow = 60, .cText = "ab", .lRight = true, .lPixels = true, .lAdjust = true});
  int start = say->nWidth();
  const std::string longer = "a much longer text than before";
  say->SetText(longer);
  int grown = say->nWidth();
  EXPECT_GT(grown, start);
  HDC dc = GetDC(say->hWnd);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(say->hWnd, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc, longer.c_str(), int(longer.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(say->hWnd, dc);
  EXPECT_EQ(grown, size.cx + 20);
  say->SetText("x");
  EXPECT_EQ(say->nWidth(), grown);
  EXPECT_EQ(say->GetText(), "x");
  for (const TSayPtr& fixed : {centred, right}) {
    int width = fixed->nWidth();
    fixed->SetText(longer);
    EXPECT_EQ(fixed->nWidth(), width);
    EXPECT_EQ(fixed->GetText(), longer);
  }
  // A picture formats the value; Refresh reads it again.
  int n = 5;
  auto number = TSay::New({.nRow = 90, .bText = [&] { return Value(n); }, .cPicture = "999", .lPixels = true});
  EXPECT_EQ(number->GetText(), "  5");
  n = 42;
  number->Refresh();
  EXPECT_EQ(number->GetText(), " 42");
  DestroyWindow(w->hWnd);
}
