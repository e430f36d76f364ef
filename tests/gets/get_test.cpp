// Edit fields in real dialogs, driven by posted keys from inside the modal
// loop: every key goes through the edit buffer, pictures shape what is typed
// and pasted, spinners step numbers and dates, a bad date keeps the focus,
// passwords and cue texts show what they should; the memo follows its text,
// stays put when read-only, greys its menu and goes to a supplied line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "classes/btnbmp.h"
#include "classes/button.h"
#include "classes/buttonbmp.h"
#include "classes/dialog.h"
#include "classes/menu.h"
#include "classes/mget.h"
#include "classes/setget.h"
#include "classes/tget.h"
#include "common/write_bmp.h"
#include "dialogs/script.h"
#include "native/dispatch.h"
#include "native/draw.h"
#include "rt/set.h"
#include "rt/strings.h"

using namespace nx;
using dlgtest::ModalScript;
using dlgtest::PostKey;
using dlgtest::Script;
using dlgtest::When;

namespace {

void Type(const std::string& text, HWND target = nullptr) {
  if (!target) target = GetFocus();
  for (char c : text) PostMessageA(target, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
}

std::string Text(HWND h) {
  char buf[512] = {};
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

// A key with modifier keys held, sent at once (the held keys are the
// thread's key state, which the handlers read).
void SendWith(HWND h, std::initializer_list<int> held, UINT vk) {
  BYTE keys[256] = {}, saved[256] = {};
  GetKeyboardState(saved);
  GetKeyboardState(keys);
  for (int k : held) keys[k] = 0x80;
  SetKeyboardState(keys);
  SendMessageA(h, WM_KEYDOWN, vk, 1);
  SetKeyboardState(saved);
}

void PutClipboard(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
}

struct Settings {
  std::string format = SetDateFormat();
  Value confirm = Set(_SET_CONFIRM), insert = Set(_SET_INSERT);
  ~Settings() {
    SetDateFormat(format);
    Set(_SET_CONFIRM, confirm);
    Set(_SET_INSERT, insert);
  }
};

TDialogPtr Dialog() { return TDialog::New({.cCaption = "Gets", .nWidth = 420, .nHeight = 320}); }

}  // namespace

TEST(GetKeys, EveryKeyGoesThroughTheBufferAndAFullFieldMovesOn) {
  Settings keep;
  Set(_SET_CONFIRM, Value(false));
  Set(_SET_INSERT, Value(false));
  auto dlg = Dialog();
  Value name(std::string(10, ' ')), code(std::string("  ")), last(std::string(5, ' '));
  int changes = 0;
  auto getName = TGet::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(name), .oWnd = dlg, .nWidth = 150,
                            .nHeight = 22, .cPicture = "@!", .lPixel = true,
                            .bChanged = [&](const Value&, const Value&, TGet&) {
                              ++changes;
                              return Value(true);
                            }});
  auto getCode = TGet::New({.nRow = 40, .nCol = 10, .bSetGet = BindVar(code), .oWnd = dlg, .nWidth = 60,
                            .nHeight = 22, .cPicture = "@R 9-X", .lPixel = true});
  auto getLast = TGet::New({.nRow = 70, .nCol = 10, .bSetGet = BindVar(last), .oWnd = dlg, .nWidth = 60,
                            .nHeight = 22, .lPixel = true});
  int lastKeyOnArrival = -1;
  getLast->bGotFocus = [&](TWindow& w, HWND) {
    lastKeyOnArrival = w.Parent()->nLastKey;
    return Value();
  };
  Script script = ModalScript(
      dlg, {[&] { getName->SetFocus(); },
            [&] {
              ASSERT_EQ(GetFocus(), getName->hWnd);
              Type("ab1");
            },
            [&] {
              // Upper-cased before the buffer saw it, and in the variable at once.
              EXPECT_EQ(Text(getName->hWnd), "AB1       ");
              EXPECT_EQ(name, Value("AB1       "));
              EXPECT_EQ(changes, 3);
              EXPECT_EQ(getName->oGet->Pos(), 4);
              // Left moves the buffer's caret and the control's together.
              PostKey(VK_LEFT);
              PostKey(VK_BACK);
            },
            [&] {
              EXPECT_EQ(name, Value("A1        "));
              DWORD s = 0, e = 0;
              SendMessageA(getName->hWnd, EM_GETSEL, WPARAM(&s), LPARAM(&e));
              EXPECT_EQ(int(s), 1);
              getCode->SetFocus();
            },
            [&] {
              ASSERT_EQ(GetFocus(), getCode->hWnd);
              Type("x");  // rejected by "9": nothing changes, the caret stays
            },
            [&] {
              EXPECT_EQ(Text(getCode->hWnd), " - ");
              Type("7y");  // the caret skips the literal; "y" fills the field
            },
            [&] {
              EXPECT_EQ(code, Value("7y"));  // "@R": the literal is not part of the value
              EXPECT_EQ(GetFocus(), getLast->hWnd);
              EXPECT_EQ(lastKeyOnArrival, VK_RETURN);
              PostKey(VK_ESCAPE);
            }});
  dlg->Activate({.bInit = [&](TWindow&) { script.Start(); }});
  EXPECT_TRUE(script.Finished());
}

TEST(GetNumbers, TypedFromTheLeftAndSteppedByTheDigitUnderTheCaret) {
  Settings keep;
  Set(_SET_CONFIRM, Value(true));
  auto dlg = Dialog();
  Value amount(0.0, 2), price(1234.56, 2);
  auto getAmount = TGet::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(amount), .oWnd = dlg, .nWidth = 120,
                              .nHeight = 22, .cPicture = "999999.99", .lPixel = true});
  auto getPrice = TGet::New({.nRow = 40, .nCol = 10, .bSetGet = BindVar(price), .oWnd = dlg, .nWidth = 120,
                             .nHeight = 22, .cPicture = "9,999.99", .lPixel = true, .lSpinner = true,
                             .bMax = [] { return Value(1234.7); }});
  auto lineUp = [&] { PostMessageA(getPrice->hWnd, WM_VSCROLL, SB_LINEUP, 0); };
  Script script = ModalScript(
      dlg, {[&] { getAmount->SetFocus(); },
            [&] { Type("123.4"); },
            [&] {
              EXPECT_DOUBLE_EQ(amount.AsNumber(), 123.4);
              getPrice->SetFocus();
            },
            [&] {
              EXPECT_EQ(Text(getAmount->hWnd), "   123.40");
              // Editing drops the "," grouping.
              EXPECT_EQ(Text(getPrice->hWnd), "1234.56");
              getPrice->SetPos(6);
              lineUp();
            },
            [&] {
              EXPECT_DOUBLE_EQ(price.AsNumber(), 1234.66);
              EXPECT_EQ(Text(getPrice->hWnd), "1234.66");
              EXPECT_EQ(getPrice->oGet->Pos(), 6);
              lineUp();  // 1234.76 would pass the upper bound: refused
            },
            [&] {
              EXPECT_DOUBLE_EQ(price.AsNumber(), 1234.66);
              getPrice->SetPos(7);  // the second decimal steps hundredths
              PostKey(VK_PRIOR);    // Page Up steps down
            },
            [&] {
              EXPECT_DOUBLE_EQ(price.AsNumber(), 1234.65);
              getAmount->SetFocus();
            },
            [&] {
              // Leaving brings the grouping back.
              EXPECT_EQ(Text(getPrice->hWnd), "1,234.65");
              PostKey(VK_ESCAPE);
            }});
  dlg->Activate({.bInit = [&](TWindow&) { script.Start(); }});
  EXPECT_TRUE(script.Finished());
}

TEST(GetDates, MonthStepKeepsAValidDayAndABadDateKeepsTheFocus) {
  Settings keep;
  SetDateFormat("dd.mm.yyyy");
  Set(_SET_INSERT, Value(false));
  auto dlg = Dialog();
  Value when(MakeDate(2025, 1, 31)), other(std::string(5, ' '));
  bool otherValidated = false;
  auto getWhen = TGet::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(when), .oWnd = dlg, .nWidth = 120,
                            .nHeight = 22, .lPixel = true, .lSpinner = true});
  auto getOther = TGet::New({.nRow = 40, .nCol = 10, .bSetGet = BindVar(other), .oWnd = dlg, .nWidth = 120,
                             .nHeight = 22, .bValid = [&](TWindow&) { return otherValidated = true; },
                             .lPixel = true});
  Script script = ModalScript(
      dlg, {[&] { getWhen->SetFocus(); },
            [&] {
              EXPECT_EQ(Text(getWhen->hWnd), "31.01.2025");
              getWhen->SetPos(4);  // the month
              PostMessageA(getWhen->hWnd, WM_VSCROLL, SB_LINEUP, 0);
            },
            [&] {
              EXPECT_EQ(when, Value(MakeDate(2025, 2, 28)));
              EXPECT_EQ(Text(getWhen->hWnd), "28.02.2025");
              DWORD s = 0, e = 0;
              SendMessageA(getWhen->hWnd, EM_GETSEL, WPARAM(&s), LPARAM(&e));
              EXPECT_EQ(int(s), 3);  // the month stays selected
              EXPECT_EQ(int(e), 5);
              getWhen->SetPos(1);
              Type("3");  // 38.02.2025: no such day
            },
            [&] {
              EXPECT_TRUE(getWhen->oGet->BadDate());
              PostKey(VK_TAB);
            },
            [&] {},
            [&] {
              EXPECT_EQ(GetFocus(), getWhen->hWnd);
              EXPECT_EQ(when, Value(MakeDate(2025, 2, 28)));  // never assigned
              EXPECT_FALSE(getWhen->lValid());
              getWhen->SetPos(2);
              Type("1");  // 31.02 is no day either
            },
            [&] {
              getWhen->SetPos(4);
              Type("03");  // 31.03.2025
            },
            [&] {
              EXPECT_FALSE(getWhen->oGet->BadDate());
              PostKey(VK_TAB);
            },
            [&] {},
            [&] {
              EXPECT_EQ(GetFocus(), getOther->hWnd);
              EXPECT_EQ(when, Value(MakeDate(2025, 3, 31)));
              PostKey(VK_ESCAPE);
            }});
  dlg->Activate({.bInit = [&](TWindow&) { script.Start(); }});
  EXPECT_TRUE(script.Finished());
  EXPECT_FALSE(otherValidated);
}

TEST(GetDisplay, PasswordShowsOneMarkPerCharacterAndCueOnlyWhileEmptyAndUnfocused) {
  Settings keep;
  Set(_SET_INSERT, Value(false));
  auto dlg = Dialog();
  Value secret(std::string("pass      ")), search(std::string(8, ' ')), digits(std::string(6, ' '));
  auto getSecret = TGet::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(secret), .oWnd = dlg, .nWidth = 120,
                              .nHeight = 22, .lPixel = true, .lPassword = true});
  auto getSearch = TGet::New({.nRow = 40, .nCol = 10, .bSetGet = BindVar(search), .oWnd = dlg, .nWidth = 120,
                              .nHeight = 22, .lPixel = true, .cCueText = "Search"});
  auto getDigits = TGet::New({.nRow = 70, .nCol = 10, .bSetGet = BindVar(digits), .oWnd = dlg, .nWidth = 120,
                              .nHeight = 22, .cPicture = "999999", .lPixel = true});
  auto marks = [](HWND h) {
    std::string t = Text(h);
    bool same = !t.empty() && t.find_first_not_of(t[0]) == std::string::npos;
    // Bullets in the themed look, asterisks in the classic one.
    return same && t[0] == (ISAPPTHEMED() ? char(149) : '*') ? int(t.size()) : -1;
  };
  Script script = ModalScript(
      dlg, {[&] {
              EXPECT_EQ(marks(getSecret->hWnd), 4);
              EXPECT_TRUE(GetWindowLongA(getSecret->hWnd, GWL_STYLE) & ES_PASSWORD);
              EXPECT_EQ(Text(getSearch->hWnd), "");  // empty and unfocused: the cue shows
              getSecret->SetFocus();
            },
            [&] {
              getSecret->SetPos(5);
              Type("wd");
            },
            [&] {
              EXPECT_EQ(secret, Value("passwd    "));
              EXPECT_EQ(marks(getSecret->hWnd), 6);
              EXPECT_EQ(Text(getSecret->hWnd).find('p'), std::string::npos);
              getSearch->SetFocus();
            },
            [&] {
              EXPECT_EQ(Text(getSearch->hWnd), std::string(8, ' '));  // focused: the buffer
              getDigits->SetFocus();
            },
            [&] {
              EXPECT_EQ(Text(getSearch->hWnd), "");
              EXPECT_EQ(getSearch->cText(), std::string(8, ' '));
              // A paste passes through the picture: what a digit position
              // does not take becomes a blank.
              PutClipboard("12a4");
              PostMessageA(getDigits->hWnd, WM_PASTE, 0, 0);
            },
            [&] {
              EXPECT_EQ(digits, Value("12 4  "));
              EXPECT_EQ(Text(getDigits->hWnd), "12 4  ");
              getDigits->SetPos(1, 3);  // a selection is replaced by the paste
              PutClipboard(" 98 ");
              SendWith(getDigits->hWnd, {VK_SHIFT}, VK_INSERT);
              EXPECT_EQ(digits, Value("98 4  "));
              PostKey(VK_ESCAPE);
            }});
  dlg->Activate({.bInit = [&](TWindow&) { script.Start(); }});
  EXPECT_TRUE(script.Finished());
}

TEST(MultiGet, FollowsItsTextReadOnlyStaysAndTheMenuGreys) {
  auto dlg = Dialog();
  Value notes(std::string("one\r\ntwo\r\nthree")), fixed(std::string("fixed"));
  Value after(std::string(5, ' '));
  std::vector<int> lines;
  auto memo = TMultiGet::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(notes), .oWnd = dlg, .nWidth = 200,
                              .nHeight = 90, .lPixel = true});
  auto ro = TMultiGet::New({.nRow = 110, .nCol = 10, .bSetGet = BindVar(fixed), .oWnd = dlg, .nWidth = 200,
                            .nHeight = 60, .lPixel = true, .lReadOnly = true});
  auto next = TGet::New({.nRow = 180, .nCol = 10, .bSetGet = BindVar(after), .oWnd = dlg, .nWidth = 100,
                         .nHeight = 22, .lPixel = true});
  memo->bGoToLine = [&](int n) { lines.push_back(n); };
  auto grey = [](const TMenuPtr& m, int pos) {
    return (GetMenuState(m->hMenu, UINT(pos), MF_BYPOSITION) & MF_GRAYED) != 0;
  };
  Script script = ModalScript(
      dlg, {[&] { memo->SetFocus(); },
            [&] {
              memo->SetPos(0);
              Type("X");
            },
            [&] {
              EXPECT_EQ(notes, Value("Xone\r\ntwo\r\nthree"));  // at once
              auto menu = memo->ContextMenu();
              EXPECT_TRUE(grey(menu, 2));   // Cut
              EXPECT_TRUE(grey(menu, 3));   // Copy
              EXPECT_TRUE(grey(menu, 5));   // Delete
              EXPECT_FALSE(grey(menu, 7));  // Print
              menu->End();
              memo->SetPos(0, 3);
              menu = memo->ContextMenu();
              EXPECT_FALSE(grey(menu, 2));
              EXPECT_FALSE(grey(menu, 3));
              EXPECT_FALSE(grey(menu, 5));
              menu->End();
              memo->SetPos(1);
              PutClipboard("++");
              SendWith(memo->hWnd, {VK_SHIFT}, VK_INSERT);
              EXPECT_EQ(Text(memo->hWnd), "X++one\r\ntwo\r\nthree");
              EXPECT_EQ(notes, Value("Xone\r\ntwo\r\nthree"));  // not yet
              ro->SetFocus();
            },
            [&] {
              EXPECT_EQ(notes, Value("X++one\r\ntwo\r\nthree"));  // on leaving
              auto menu = ro->ContextMenu();
              ro->SelectAll();
              menu->End();
              menu = ro->ContextMenu();
              EXPECT_TRUE(grey(menu, 2));   // read-only: no Cut
              EXPECT_FALSE(grey(menu, 3));  // but Copy
              menu->End();
              Type("zz");
              PostKey(VK_RETURN);
            },
            [&] {
              EXPECT_EQ(Text(ro->hWnd), "fixed");
              EXPECT_EQ(fixed, Value("fixed"));
              EXPECT_EQ(GetFocus(), next->hWnd);
              memo->SetFocus();
            },
            [&] {
              // Go To: the line typed reaches the target supplied.
              Script inner(
                  dlgtest::FirstWhen([] { return dlgtest::ShownWithFocus(FindWindowA(nullptr, "Go To")); },
                                     {[&] { Type("3"); },
                                      [&] {
                                        HWND box = GetActiveWindow();
                                        HWND ok = FindWindowExA(box, nullptr, "Button", "&Ok");
                                        ASSERT_NE(ok, nullptr);
                                        PostMessageA(ok, BM_CLICK, 0, 0);
                                      }}),
                  [] { return FindWindowA(nullptr, "Go To") != nullptr; },
                  [] { EndDialog(FindWindowA(nullptr, "Go To"), IDCANCEL); });
              inner.Start();
              memo->DlgGoLine();
              EXPECT_TRUE(inner.Finished());
              EXPECT_EQ(lines, std::vector<int>{3});
              memo->bGoToLine = nullptr;
              memo->GoTo(3);
              EXPECT_EQ(memo->GetRow(), 3);
              EXPECT_EQ(memo->GetLine(3), "three");
              PostKey(VK_ESCAPE, dlg->hWnd);
            }});
  dlg->Activate({.bInit = [&](TWindow&) { script.Start(); }});
}

TEST(GetButton, ActionButtonInsideRunsWithTheGetAndFocusColourComesAndGoes) {
  auto w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 200, .nRight = 400, .cTitle = "gets", .lPixel = true});
  ShowWindow(w->hWnd, SW_SHOW);
  Value file(std::string("a.txt     ")), other(std::string(5, ' '));
  std::vector<TGet*> actions;
  bool wasOn = TGet::lClrFocus;
  Value wasColour = TGet::nClrFocus;
  const COLORREF focus = RGB(0, 200, 0);
  SETGETCOLORFOCUS(focus);
  auto get = TGet::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(file), .oWnd = w, .nWidth = 160, .nHeight = 24,
                        .lPixel = true, .bAction = [&](TGet& g) { actions.push_back(&g); }});
  auto next = TGet::New({.nRow = 50, .nCol = 10, .bSetGet = BindVar(other), .oWnd = w, .nWidth = 160,
                         .nHeight = 24, .lPixel = true});
  ASSERT_NE(get->oBtn, nullptr);
  ASSERT_NE(get->oBtn->hWnd, nullptr);
  EXPECT_EQ(GetParent(get->oBtn->hWnd), get->hWnd);
  EXPECT_EQ(Text(get->oBtn->hWnd), "...");
  RECT client{}, btn{};
  GetClientRect(get->hWnd, &client);
  GetWindowRect(get->oBtn->hWnd, &btn);
  MapWindowPoints(HWND_DESKTOP, get->hWnd, reinterpret_cast<POINT*>(&btn), 2);
  EXPECT_EQ(btn.right, client.right);            // at the right edge, square
  EXPECT_EQ(btn.right - btn.left, btn.bottom - btn.top);
  EXPECT_EQ(get->GetMargins().second, 24);      // the text keeps clear of it
  next->SetFocus();
  SYSREFRESH();
  // A click runs the action with the get and leaves the focus in the get.
  dlgtest::PostClick(get->oBtn->hWnd);
  SYSREFRESH();
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0], get.get());
  EXPECT_EQ(GetFocus(), get->hWnd);
  EXPECT_EQ(get->nClrPane, focus);
  UpdateWindow(get->hWnd);
  HDC dc = GetDC(get->hWnd);
  EXPECT_EQ(GetPixel(dc, client.right - 30, client.bottom - 3), focus);
  ReleaseDC(get->hWnd, dc);
  next->SetFocus();
  SYSREFRESH();
  EXPECT_EQ(get->nClrPane, GetSysColor(COLOR_WINDOW));
  TGet::lClrFocus = wasOn;
  TGet::nClrFocus = wasColour;
  DestroyWindow(w->hWnd);
}

TEST(GetButton, ABitmapButtonTakesTheBitmapsWidthAndATransparentOneTheBarsLook) {
  const std::string bmp = nxtest::WriteBmp("get_test_button.bmp", 16, 16);
  auto dlg = Dialog();
  Value a(std::string(10, ' ')), b(std::string(10, ' '));
  std::vector<TGet*> actions;
  auto action = [&](TGet& g) { actions.push_back(&g); };
  auto sized = TGet::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(a), .oWnd = dlg, .nWidth = 160, .nHeight = 24,
                          .lPixel = true, .bAction = action, .cBmpName = bmp});
  sized->lAdjustBtn = true;  // set before the dialog creates the window, as a resource get would
  auto flat = TGet::New({.nRow = 50, .nCol = 10, .bSetGet = BindVar(b), .oWnd = dlg, .nWidth = 160, .nHeight = 24,
                         .lPixel = true, .bAction = action, .cBmpName = bmp});
  flat->lBtnTransparent = true;
  Script script = ModalScript(
      dlg, {[&] {
              auto btn = std::dynamic_pointer_cast<TButtonBmp>(sized->oBtn);
              ASSERT_NE(btn, nullptr);
              EXPECT_EQ(sized->nBmpWidth, 16);
              EXPECT_EQ(sized->GetMargins().second, 21);  // the bitmap's width + 5
              RECT client{}, r{};
              GetClientRect(sized->hWnd, &client);
              GetWindowRect(btn->hWnd, &r);
              MapWindowPoints(HWND_DESKTOP, sized->hWnd, reinterpret_cast<POINT*>(&r), 2);
              EXPECT_EQ(r.left, client.right - 21);
              UpdateWindow(btn->hWnd);
              HDC dc = GetDC(btn->hWnd);
              RECT bc{};
              GetClientRect(btn->hWnd, &bc);
              EXPECT_EQ(GetPixel(dc, bc.right / 2, bc.bottom / 2), RGB(255, 0, 0));  // the bitmap, not "..."
              ReleaseDC(btn->hWnd, dc);
              ASSERT_NE(std::dynamic_pointer_cast<TBtnBmp>(flat->oBtn), nullptr);
              EXPECT_TRUE(flat->oBtn->lCancel);
              dlgtest::PostClick(flat->oBtn->hWnd);
            },
            When([&] { return !actions.empty(); },  // the click, after the button took the focus
                 [&] {
                   ASSERT_EQ(actions.size(), 1u);
                   EXPECT_EQ(actions[0], flat.get());
                   EXPECT_EQ(GetFocus(), flat->hWnd);
                   PostKey(VK_ESCAPE);
                 })});
  dlg->Activate({.bInit = [&](TWindow&) { script.Start(); }});
  EXPECT_TRUE(script.Finished());
  std::remove(bmp.c_str());
}

TEST(GetButton, InADialogThatWidensItsItemsTheButtonIsPlacedForTheWidenedGet) {
  // The get's width and height as the template makes them, and the button's
  // rectangle in the get's client area, after the dialog's start.
  auto open = [](bool lResize16, SIZE& get, RECT& btn) {
    auto dlg = TDialog::New({.cResName = DialogTemplate("GETS16")});
    Value v(std::string(10, ' '));
    auto g = TGet::ReDefine({.nId = 101, .bSetGet = BindVar(v), .oWnd = dlg, .bAction = [](TGet&) {}});
    dlg->Activate({.bInit =
                       [&](TWindow&) {
                         get = {g->nWidth(), g->nHeight()};
                         if (g->oBtn && g->oBtn->hWnd) {
                           GetWindowRect(g->oBtn->hWnd, &btn);
                           MapWindowPoints(HWND_DESKTOP, g->hWnd, reinterpret_cast<POINT*>(&btn), 2);
                         }
                         EndDialog(dlg->hWnd, IDOK);
                       },
                   .lResize16 = lResize16});
  };
  SIZE plain{}, widened{};
  RECT plainBtn{}, btn{};
  open(false, plain, plainBtn);
  open(true, widened, btn);
  ASSERT_GT(plain.cx, 0);
  ASSERT_EQ(widened.cx, int(plain.cx * 1.16668));
  const int h = plain.cy;
  EXPECT_EQ(btn.right - btn.left, h - 5);
  EXPECT_EQ(btn.bottom - btn.top, h - 5);
  EXPECT_EQ(btn.left, int(plain.cx * 1.167) - h);
  EXPECT_NE(btn.left, plainBtn.left);
}
