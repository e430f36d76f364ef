// TDialog on real dialogs: from a resource and from code, modal and
// modeless, driven through their own message loops by posted keys and
// clicks; ending rules, sizes, pixels and the library errors.
#include <gtest/gtest.h>

#include "common/raised_errors.h"
#include "classes/button.h"
#include "classes/checkbox.h"
#include "classes/dialog.h"
#include "classes/font.h"
#include "classes/group.h"
#include "classes/menu.h"
#include "classes/menuitem.h"
#include "classes/radio.h"
#include "classes/say.h"
#include "classes/setget.h"
#include "dialogs/dialogs_res.h"
#include "dialogs/script.h"
#include "native/dialog.h"
#include "native/dispatch.h"
#include "rt/dlgitem.h"
#include "rt/error.h"

using namespace nx;
using dlgtest::Checked;
using dlgtest::ModalScript;
using dlgtest::PostAltChar;
using dlgtest::PostClick;
using dlgtest::PostKey;
using dlgtest::Script;

namespace {

using ErrorCatcher = nxtest::RaisedErrors;

TDialogPtr PixelDialog(int width = 320, int height = 200) {
  return TDialog::New({.cCaption = "Test", .nWidth = width, .nHeight = height});
}

TCheckBoxPtr Box(const TDialogPtr& dlg, int top, const char* caption, SetGet bind = {}) {
  return TCheckBox::New({.nRow = double(top), .nCol = 10, .cCaption = caption, .bSetGet = std::move(bind),
                         .oWnd = dlg, .nWidth = 120, .lPixel = true});
}

}  // namespace

TEST(DialogResource, BindsEveryControlAndRunsByKeyboard) {
  Value sound(5);   // a number: the check box makes it logical
  Value colour(0);  // no position: the group starts at its first radio
  int applied = 0;
  auto dlg = TDialog::New({.cResName = DialogTemplate(IDD_SETTINGS)});
  auto name = TSay::ReDefine({.nId = ID_NAME, .oWnd = dlg});
  auto sbox = TCheckBox::ReDefine({.nId = ID_SOUND, .bSetGet = BindVar(sound), .oWnd = dlg});
  auto frame = TGroup::ReDefine({.nId = ID_FRAME, .oWnd = dlg});
  auto radios = TRadMenu::Redefine({.bSetGet = BindVar(colour), .oWnd = dlg, .acItems = {ID_RED, ID_GREEN, ID_BLUE}});
  auto apply = TButton::ReDefine({.nId = ID_APPLY, .bAction = [&](TButton&) { ++applied; }, .oWnd = dlg});
  EXPECT_EQ(sound, Value(false));
  EXPECT_EQ(colour, Value(1));
  ASSERT_EQ(dlg->aControls.size(), 7u);
  auto items = radios->aItems();
  ASSERT_EQ(items.size(), 3u);
  HWND red = nullptr, green = nullptr, blue = nullptr;

  Script script = ModalScript(
      dlg, {[&] {
              HWND h = dlg->hWnd;
              ASSERT_NE(h, nullptr);
              // Every object is bound to its item and linked to the dispatch.
              red = GetDlgItem(h, ID_RED), green = GetDlgItem(h, ID_GREEN), blue = GetDlgItem(h, ID_BLUE);
              EXPECT_EQ(name->hWnd, GetDlgItem(h, ID_NAME));
              EXPECT_EQ(sbox->hWnd, GetDlgItem(h, ID_SOUND));
              EXPECT_EQ(frame->hWnd, GetDlgItem(h, ID_FRAME));
              EXPECT_EQ(apply->hWnd, GetDlgItem(h, ID_APPLY));
              EXPECT_EQ(items[0]->hWnd, red);
              EXPECT_EQ(items[2]->hWnd, blue);
              EXPECT_EQ(oWndFromHwnd(sbox->hWnd), sbox);
              EXPECT_EQ(name->cCaption, "&Name:");
              EXPECT_EQ(frame->cCaption, "Colour");
              EXPECT_EQ(dlg->cCaption, "Settings");
              EXPECT_TRUE(Checked(red));
              // Hot keys: a label names the control after it.
              EXPECT_EQ(dlg->GetHotPos('a'), apply->hWnd);
              EXPECT_EQ(dlg->GetHotPos('N'), sbox->hWnd);
              EXPECT_EQ(dlg->GetHotPos('g'), green);
              EXPECT_EQ(dlg->GetHotPos('g', green), nullptr);
              EXPECT_EQ(dlg->GetHotPos('x'), nullptr);
              EXPECT_EQ(GetFocus(), sbox->hWnd);
              PostKey(VK_SPACE);
            },
            [&] {
              EXPECT_EQ(sound, Value(true));
              EXPECT_TRUE(Checked(sbox->hWnd));
              PostKey(VK_TAB);
            },
            [&] {
              EXPECT_EQ(GetFocus(), red);
              PostKey(VK_DOWN);
            },
            [&] {
              // The selection and the focus move together, and stay in the group.
              EXPECT_EQ(colour, Value(2));
              EXPECT_EQ(GetFocus(), green);
              EXPECT_TRUE(Checked(green));
              EXPECT_FALSE(Checked(red));
              PostKey(VK_UP);
            },
            [&] {
              EXPECT_EQ(GetFocus(), red);
              PostKey(VK_UP);
            },
            [&] {
              EXPECT_EQ(colour, Value(3));  // wrapped
              EXPECT_EQ(GetFocus(), blue);
              EXPECT_TRUE(Checked(blue));
              PostAltChar('a');
            },
            [&] {
              EXPECT_EQ(applied, 1);
              PostAltChar('s');
            },
            [&] {
              EXPECT_EQ(sound, Value(false));
              EXPECT_FALSE(Checked(sbox->hWnd));
              PostKey(VK_ESCAPE);
            }});
  dlg->Activate({.bInit = [&](TWindow&) { script.Start(); }});
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(dlg->nResult, Value(IDCANCEL));
  EXPECT_EQ(dlg->hWnd, nullptr);
  EXPECT_FALSE(dlg->lVisible);
  EXPECT_EQ(sbox->hWnd, nullptr);
  EXPECT_EQ(colour, Value(3));
}

TEST(DialogInCode, ExactSizeControlsInPlaceAndOkByMouse) {
  const COLORREF back = RGB(200, 220, 240), ink = RGB(255, 0, 0);
  auto dlg = TDialog::New({.cCaption = "Built", .nClrBack = back, .nWidth = 450, .nHeight = 300});
  bool on = true;
  int option = 2;
  auto say = TSay::New({.nRow = 11, .nCol = 13, .cText = "WWWW", .oWnd = dlg, .lPixels = true, .nClrText = ink,
                        .nClrBack = back});
  auto box = TCheckBox::New({.nRow = 41, .nCol = 13, .cCaption = "&Check", .bSetGet = BindVar(on), .oWnd = dlg,
                             .nWidth = 120, .lPixel = true});
  auto frame = TGroup::New({.nTop = 70, .nLeft = 10, .nBottom = 170, .nRight = 200, .cLabel = "Frame", .oWnd = dlg,
                            .lPixel = true});
  auto radios = TRadMenu::New({.nRow = 90, .nCol = 20, .acItems = {"&One", "&Two"}, .bSetGet = BindVar(option),
                               .oWnd = dlg, .nWidth = 100, .nHeight = 24, .lPixel = true});
  auto ok = TButton::New({.nRow = 231, .nCol = 301, .cCaption = "OK", .oWnd = dlg,
                          .bAction = [](TButton& b) { ToDialog(b)->End(IDOK); }, .nWidth = 81, .nHeight = 27,
                          .lPixel = true});
  EXPECT_EQ(dlg->aControls.size(), 6u);
  EXPECT_EQ(dlg->hWnd, nullptr);

  Script script = ModalScript(
      dlg, {[&] {
              HWND h = dlg->hWnd;
              ASSERT_NE(h, nullptr);
              RECT r{};
              GetWindowRect(h, &r);
              EXPECT_EQ(r.right - r.left, 450);
              EXPECT_EQ(r.bottom - r.top, 300);
              // Controls stand where their pixel coordinates say (dialog units round).
              for (const TWindowPtr& c : dlg->aControls) {
                ASSERT_NE(c->hWnd, nullptr) << c->ClassName();
                EXPECT_EQ(GetParent(c->hWnd), h);
              }
              RECT b{};
              GetWindowRect(ok->hWnd, &b);
              MapWindowPoints(HWND_DESKTOP, h, reinterpret_cast<POINT*>(&b), 2);
              EXPECT_NEAR(b.left, 301, 1);
              EXPECT_NEAR(b.top, 231, 1);
              EXPECT_NEAR(b.right - b.left, 82, 2);
              EXPECT_NEAR(b.bottom - b.top, 28, 2);
              EXPECT_TRUE(Checked(box->hWnd));
              EXPECT_TRUE(Checked(radios->aItems()[1]->hWnd));
              EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);  // help button by default
            },
            [&] {
              // The background is the dialog's colour and the label writes in its ink.
              HWND h = dlg->hWnd;
              RECT client{};
              GetClientRect(h, &client);
              HDC dc = GetDC(h);
              EXPECT_EQ(GetPixel(dc, client.right - 3, 3), back);
              RECT s{};
              GetWindowRect(say->hWnd, &s);
              MapWindowPoints(HWND_DESKTOP, h, reinterpret_cast<POINT*>(&s), 2);
              int inked = 0;
              for (int y = s.top; y < s.bottom; ++y)
                for (int x = s.left; x < s.right; ++x) inked += GetPixel(dc, x, y) == ink;
              ReleaseDC(h, dc);
              EXPECT_GT(inked, 10);
              PostClick(ok->hWnd);
            }});
  dlg->Activate({.bInit = [&](TWindow&) { script.Start(); }});
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(dlg->nResult, Value(IDOK));
  EXPECT_TRUE(on);
  EXPECT_EQ(option, 2);
}

TEST(DialogKeys, EnterWithoutDefaultButtonMovesToTheNextControl) {
  auto font = TFont::New({.cFaceName = "Tahoma", .nHeight = -13});
  auto dlg = TDialog::New({.cCaption = "Keys", .oFont = font, .nWidth = 320, .nHeight = 200});
  auto a = Box(dlg, 10, "&A"), b = Box(dlg, 40, "&B"), c = Box(dlg, 70, "&C");
  Script script = ModalScript(dlg, {[&] {
                                      // The focus bInit gave is kept.
                                      EXPECT_EQ(GetFocus(), b->hWnd);
                                      PostKey(VK_RETURN);
                                    },
                                    [&] {
                                      EXPECT_EQ(GetFocus(), c->hWnd);
                                      EXPECT_NE(dlg->hWnd, nullptr);
                                      PostKey(VK_TAB);
                                    },
                                    [&] {
                                      EXPECT_EQ(GetFocus(), a->hWnd);  // Tab wraps
                                      PostKey(VK_ESCAPE);
                                    }});
  dlg->Activate({.bInit = [&](TWindow&) {
    b->SetFocus();
    script.Start();
  }});
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(dlg->nResult, Value(IDCANCEL));
  // The dialog and its controls used the font; it outlives them.
  EXPECT_EQ(GetObjectType(font->hFont), DWORD(OBJ_FONT));
  EXPECT_EQ(font->nCount, 1);
  font->End();
}

TEST(DialogKeys, MenuCommandsReachTheMenuWhileEnterAndEscStayTheDialogs) {
  auto dlg = PixelDialog();
  auto a = Box(dlg, 10, "&A"), b = Box(dlg, 40, "&B");
  std::vector<std::string> ran;
  MENUBEGIN();
  MENUADDITEM({.cPrompt = "&File"});
  MENUBEGIN();
  TMenuItemPtr open = MENUADDITEM({.cPrompt = "&Open", .bAction = [&](TMenuItem&) { ran.push_back("Open"); }});
  MENUEND();
  TMenuPtr bar = MENUEND();
  Script script = ModalScript(dlg, {[&] {
                                      ASSERT_EQ(GetMenu(dlg->hWnd), bar->hMenu);
                                      PostMessageA(dlg->hWnd, WM_COMMAND, MAKEWPARAM(open->nId, 0), 0);
                                    },
                                    [&] {
                                      EXPECT_EQ(ran, std::vector<std::string>{"Open"});
                                      EXPECT_EQ(GetFocus(), a->hWnd);
                                      PostKey(VK_RETURN);
                                    },
                                    [&] {
                                      EXPECT_EQ(GetFocus(), b->hWnd);
                                      EXPECT_EQ(ran.size(), 1u);
                                      PostKey(VK_ESCAPE);
                                    }});
  dlg->Activate({.bInit = [&](TWindow&) {
    dlg->SetMenu(bar);
    script.Start();
  }});
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(dlg->nResult, Value(IDCANCEL));
}

TEST(DialogEnding, ValidKeepsModalAndModelessOpenAndWhenNeverOpens) {
  bool allow = false;
  int asked = 0;
  auto valid = [&](TWindow&) {
    ++asked;
    return allow;
  };
  {
    auto dlg = PixelDialog();
    Box(dlg, 10, "&A");
    HWND h = nullptr;
    Script script = ModalScript(dlg, {[&] {
                                        h = dlg->hWnd;
                                        PostKey(VK_ESCAPE);
                                      },
                                      [&] {
                                        EXPECT_EQ(asked, 1);
                                        EXPECT_TRUE(IsWindowVisible(h));
                                        PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
                                      },
                                      [&] {
                                        EXPECT_EQ(asked, 2);
                                        EXPECT_TRUE(IsWindowVisible(h));
                                        allow = true;
                                        PostKey(VK_ESCAPE);
                                      }});
    dlg->Activate({.bValid = valid, .bInit = [&](TWindow&) { script.Start(); }});
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(dlg->nResult, Value(IDCANCEL));
  }
  {
    allow = false;
    asked = 0;
    int clicks = 0;
    auto dlg = PixelDialog();
    auto a = Box(dlg, 10, "&A"), b = Box(dlg, 40, "&B");
    dlg->Activate({.bLClicked =
                       [&](int, int, int, TWindow&) {
                         ++clicks;
                         return Value();
                       },
                   .bValid = valid,
                   .lModal = false});
    HWND h = dlg->hWnd;
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(oWndFromHwnd(h), dlg);
    dlg->Activate({.lModal = false});  // already open: the same window
    EXPECT_EQ(dlg->hWnd, h);
    // The loops give a registered modeless dialog its keyboard.
    a->SetFocus();
    PostKey(VK_TAB);
    SYSREFRESH();
    EXPECT_EQ(GetFocus(), b->hWnd);
    // One message, one call (the library procedure and the dialog procedure
    // must not both handle it).
    PostMessageA(h, WM_LBUTTONDOWN, 0, MAKELPARAM(300, 190));
    SYSREFRESH();
    EXPECT_EQ(clicks, 1);
    PostMessageA(h, WM_CLOSE, 7, 0);
    SYSREFRESH();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(IsWindow(h));
    allow = true;
    EXPECT_TRUE(dlg->End(5));
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(dlg->nResult, Value(5));
    EXPECT_EQ(dlg->hWnd, nullptr);
    EXPECT_EQ(oWndFromHwnd(h), nullptr);
    EXPECT_FALSE(DEREGDIALOG(h));  // it left the registry when destroyed
  }
  {
    int inits = 0;
    auto dlg = PixelDialog();
    dlg->Activate({.bInit = [&](TWindow&) { ++inits; }, .bWhen = [](TWindow&) { return false; }});
    EXPECT_EQ(inits, 0);
    EXPECT_EQ(dlg->nResult, Value(IDCANCEL));
    EXPECT_EQ(dlg->hWnd, nullptr);
  }
}

TEST(DialogErrors, DuplicatedIdsAndDialogsThePlatformCannotCreate) {
  {
    ErrorCatcher caught;
    auto dlg = TDialog::New();
    TButton::ReDefine({.nId = 300, .oWnd = dlg});
    TButton::ReDefine({.nId = 300, .oWnd = dlg});
    ASSERT_EQ(caught.errors.size(), 1u);
    EXPECT_EQ(caught.errors[0]->Description, "Duplicated Id");
    EXPECT_EQ(caught.errors[0]->SubCode, 2);
    EXPECT_EQ(caught.errors[0]->Operation, "No:    300");
    EXPECT_EQ(dlg->aControls.size(), 1u);
  }
  const std::string lead = "\r\n" + std::string(22, ' ');
  struct Case {
    TDialogParams params;
    std::string cResData;
    bool lModal;
    std::string operation;
  };
  std::string good = CDLG2CHR(0, 0, 0, 50, 100, "Broken", DS_MODALFRAME | WS_POPUP | WS_CAPTION);
  const Case cases[] = {
      {{.cResName = DialogTemplate("NOSUCH")}, "", true, lead + "Resource: NOSUCH"},
      {{.cResName = DialogTemplate(999)}, "", false, lead + "Resource:        999"},
      // A template that ends inside its caption never reaches the platform.
      {{.cCaption = "Broken"}, good.substr(0, good.size() - 6), true, lead + "Title: Broken"},
      {{.cCaption = "Broken"}, good.substr(0, 17), false, lead + "Title: Broken"},
  };
  for (const Case& c : cases) {
    ErrorCatcher caught;
    auto dlg = TDialog::New(c.params);
    dlg->cResData = c.cResData;
    dlg->Activate({.lModal = c.lModal});
    ASSERT_EQ(caught.errors.size(), 1u) << c.operation;
    EXPECT_EQ(caught.errors[0]->Description, "Cannot create Dialog Box");
    EXPECT_EQ(caught.errors[0]->Operation, c.operation);
    EXPECT_EQ(dlg->hWnd, nullptr);
  }
  {
    // A generated template naming a window class nobody registered.
    class Unknown : public TControl {
     public:
      const char* ClassName() const override { return "TUNKNOWN"; }
      std::string cToChar(const std::string&) override { return TControl::cToChar("NO SUCH CLASS"); }
    };
    ErrorCatcher caught;
    auto dlg = TDialog::New({.cCaption = "Unknown"});
    auto ctl = std::make_shared<Unknown>();
    ctl->nTop = 5, ctl->nLeft = 5, ctl->nBottom = 20, ctl->nRight = 60;
    dlg->DefControl(ctl);
    dlg->Activate();
    ASSERT_EQ(caught.errors.size(), 1u);
    EXPECT_EQ(caught.errors[0]->Operation, lead + "Title: Unknown");
    EXPECT_EQ(dlg->nResult, Value(65535));
  }
}

namespace {
std::string g_alertText;
void CALLBACK AnswerAlert(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = FindWindowA("#32770", "Alert");
  if (!box) return;
  KillTimer(nullptr, id);
  char text[256] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  g_alertText = text;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}
}  // namespace

TEST(DialogErrors, The1501stModelessDialogIsRefused) {
  std::vector<HWND> taken;
  for (int i = 0; CANREGDIALOG(); ++i) {
    HWND fake = reinterpret_cast<HWND>(uintptr_t(0x700000 + 4 * i));
    ASSERT_TRUE(REGDIALOG(fake));
    taken.push_back(fake);
  }
  EXPECT_EQ(taken.size(), size_t(kMaxModelessDialogs));
  auto dlg = PixelDialog();
  Box(dlg, 10, "&A");
  g_alertText.clear();
  UINT_PTR timer = SetTimer(nullptr, 0, 10, AnswerAlert);
  dlg->Activate({.lModal = false});
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_alertText, "Not possible to create more non-modal Dialogs");
  EXPECT_EQ(dlg->hWnd, nullptr);
  for (HWND h : taken) DEREGDIALOG(h);
  EXPECT_TRUE(CANREGDIALOG());
}
