// Messages reaching methods, results and default processing, the loops, the
// window list, the dialog natives and the registry, on real windows.
#include <gtest/gtest.h>

#include "common/pump.h"
#include "common/raised_errors.h"

#include <string>
#include <vector>

#include "classes/control.h"
#include "classes/window.h"
#include "native/dispatch.h"
#include "rt/error.h"
#include "rt/frames.h"

using namespace nx;

namespace {

// Records which methods the dispatch called, with their arguments.
class RecWindow : public TWindow {
 public:
  const char* ClassName() const override { return "TRECWINDOW"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  std::vector<std::string> calls;
  std::vector<int> args;
  Value closeResult;
  Value keyResult;
  std::function<void()> onLButtonDown;
  std::function<void()> onTimer;

  Value LButtonDown(int nRow, int nCol, int nKeyFlags) override {
    calls.push_back("LButtonDown");
    args = {nRow, nCol, nKeyFlags};
    if (onLButtonDown) onLButtonDown();
    return Value();
  }
  Value MouseWheel(int nKeys, int nDelta, int nXPos, int nYPos) override {
    calls.push_back("MouseWheel");
    args = {nKeys, nDelta, nXPos, nYPos};
    return Value();
  }
  Value MenuSelect(int nIdItem, int nFlags, HMENU) override {
    calls.push_back("MenuSelect");
    args = {nIdItem, nFlags};
    return Value();
  }
  Value BeginPaint() override {
    calls.push_back("BeginPaint");
    return TWindow::BeginPaint();
  }
  Value Paint() override {
    calls.push_back("Paint");
    return Value(99);
  }
  Value EndPaint() override {
    calls.push_back("EndPaint");
    return TWindow::EndPaint();
  }
  Value Close(WPARAM) override {
    calls.push_back("Close");
    return closeResult;
  }
  Value KeyDown(int nKey, int nFlags) override {
    calls.push_back("KeyDown");
    args = {nKey, nFlags};
    return keyResult;
  }
  Value Timer(WPARAM nId, LPARAM) override {
    calls.push_back("Timer");
    args = {int(nId)};
    if (onTimer) onTimer();
    return Value(0);
  }
};

std::shared_ptr<RecWindow> MakeRec() {
  return TWindow::NewAs<RecWindow>({.nTop = 10, .nLeft = 10, .nBottom = 200, .nRight = 300, .cTitle = "rec", .lPixel = true});
}

// Captures raised errors instead of the library handler.
using ErrorCapture = nxtest::RaisedErrors;

using nxtest::Pump;

}  // namespace

TEST(Dispatch, MouseCoordinatesAreUnsignedWords) {
  auto w = MakeRec();
  ASSERT_NE(w->hWnd, nullptr);
  // Captured mouse left of and above the window: -1 arrives as 65535.
  SendMessageA(w->hWnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-1, -2));
  ASSERT_EQ(w->calls.back(), "LButtonDown");
  EXPECT_EQ(w->args, (std::vector<int>{65534, 65535, MK_LBUTTON | MK_SHIFT}));
  DestroyWindow(w->hWnd);
}

TEST(Dispatch, HandlersRunInAFrameNamedAfterClassAndMethod) {
  auto w = MakeRec();
  std::string frame;
  w->onLButtonDown = [&] { frame = ProcName(0); };
  SendMessageA(w->hWnd, WM_LBUTTONDOWN, 0, 0);
  EXPECT_EQ(frame, "TRECWINDOW:LBUTTONDOWN");
  DestroyWindow(w->hWnd);
}

TEST(Dispatch, WheelValuesAreSigned) {
  auto w = MakeRec();
  SendMessageA(w->hWnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -240), MAKELPARAM(-5, -7));
  ASSERT_EQ(w->calls.back(), "MouseWheel");
  EXPECT_EQ(w->args, (std::vector<int>{MK_CONTROL, -240, -5, -7}));
  // A closing menu reports flags as a signed -1.
  SendMessageA(w->hWnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(w->args, (std::vector<int>{0, -1}));
  DestroyWindow(w->hWnd);
}

TEST(Dispatch, PaintCallsThreeMethodsAndAnswersEndPaint) {
  auto w = MakeRec();
  ShowWindow(w->hWnd, SW_SHOWNA);
  w->calls.clear();
  InvalidateRect(w->hWnd, nullptr, FALSE);
  UpdateWindow(w->hWnd);
  ASSERT_GE(w->calls.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(w->calls.end() - 3, w->calls.end()),
            (std::vector<std::string>{"BeginPaint", "Paint", "EndPaint"}));
  // EndPaint validated the window: nothing left to paint.
  RECT r;
  EXPECT_FALSE(GetUpdateRect(w->hWnd, &r, FALSE));
  EXPECT_EQ(w->nPaintCount, 0);
  EXPECT_EQ(w->hDC, nullptr);
  DestroyWindow(w->hWnd);
}

TEST(Dispatch, NilLetsDefaultProcessingRunOtherResultsEndTheMessage) {
  auto w = MakeRec();
  HWND h = w->hWnd;
  // A logical ends WM_CLOSE with 0 and no default processing: the window stays.
  w->closeResult = Value(false);
  EXPECT_EQ(SendMessageA(h, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(h));
  w->closeResult = Value(true);
  SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(h));
  // A number is the message result.
  w->keyResult = Value(42);
  EXPECT_EQ(SendMessageA(h, WM_KEYDOWN, 'A', 0x1E0001), 42);
  EXPECT_EQ(w->args, (std::vector<int>{'A', 0x1E0001}));
  // NIL: the default procedure destroys the window, and Destroy unlinks it.
  w->closeResult = Value();
  SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(w->hWnd, nullptr);
  EXPECT_EQ(oWndFromHwnd(h), nullptr);
}

TEST(Dispatch, UnknownMessagesAnswerNil) {
  auto w = MakeRec();
  EXPECT_TRUE(WNDHANDLEEVENT(*w, WM_USER + 77, 1, 2).IsNil());
  EXPECT_TRUE(WNDHANDLEEVENT(*w, WM_KEYUP, VK_RETURN, 0).IsNil());
  DestroyWindow(w->hWnd);
}

TEST(Dispatch, WindowListReusesFreeSlots) {
  auto a = MakeRec(), b = MakeRec(), c = MakeRec();
  const auto& list = GetAllWin();
  auto slotOf = [&](const TWindowPtr& w) {
    return size_t(std::find(list.begin(), list.end(), w) - list.begin()) + 1;
  };
  size_t slotB = slotOf(b);
  ASSERT_LE(slotB, nWindows());
  EXPECT_EQ(size_t(GetWindowLongPtrA(b->hWnd, GWLP_USERDATA)), slotB);
  EXPECT_EQ(oWndFromHwnd(b->hWnd), b);
  size_t count = nWindows();
  DestroyWindow(b->hWnd);
  EXPECT_EQ(list[slotB - 1], nullptr);
  EXPECT_EQ(nWindows(), count);  // the list never shrinks
  auto d = MakeRec();
  EXPECT_EQ(slotOf(d), slotB);
  EXPECT_EQ(nWindows(), count);
  for (auto& w : {a, c, d}) DestroyWindow(w->hWnd);
}

TEST(Dispatch, ObjectOutlivesItsWindowDestroyedInsideAHandler) {
  std::weak_ptr<RecWindow> weak;
  HWND h;
  {
    auto w = MakeRec();
    weak = w;
    h = w->hWnd;
    w->onLButtonDown = [raw = w.get()] {
      DestroyWindow(raw->hWnd);
      // Still running on a live object whose window is gone.
      EXPECT_EQ(raw->hWnd, nullptr);
      raw->calls.push_back("after");
    };
  }
  // Only the window list holds the object now.
  ASSERT_FALSE(weak.expired());
  SendMessageA(h, WM_LBUTTONDOWN, 0, 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_TRUE(weak.expired());  // released once the message ended
}

TEST(Dispatch, ExceptionInAHandlerReachesTheErrorBlock) {
  ErrorCapture capture;
  auto w = MakeRec();
  w->onLButtonDown = [] { throw std::runtime_error("boom"); };
  EXPECT_EQ(SendMessageA(w->hWnd, WM_LBUTTONDOWN, 0, 0), 0);
  ASSERT_EQ(capture.errors.size(), 1u);
  EXPECT_NE(capture.errors[0]->Description.find("boom"), std::string::npos);
  // The window keeps working.
  w->onLButtonDown = nullptr;
  SendMessageA(w->hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 4));
  EXPECT_EQ(w->args, (std::vector<int>{4, 3, 0}));
  // A runtime error thrown as an exception reaches the block as itself.
  auto raised = ErrorNew("BASE", EG_BOUND, 1132, "Bound error: array access");
  w->onLButtonDown = [raised] { throw RuntimeError(raised); };
  SendMessageA(w->hWnd, WM_LBUTTONDOWN, 0, 0);
  ASSERT_EQ(capture.errors.size(), 2u);
  EXPECT_EQ(capture.errors[1], raised);
  DestroyWindow(w->hWnd);
}

TEST(Loop, QuitMetInsideSysRefreshEndsWinRun) {
  auto w = MakeRec();
  bool pumpResult = true;
  int timers = 0;
  w->onTimer = [&] {
    if (++timers > 1) return;  // the loop must not run on
    KillTimer(w->hWnd, 1);
    PostQuitMessage(0);
    pumpResult = SYSREFRESH();
  };
  SetTimer(w->hWnd, 1, 10, nullptr);
  EXPECT_FALSE(LWRUNNING());
  WINRUN(w->hWnd);
  EXPECT_FALSE(pumpResult);
  EXPECT_EQ(timers, 1);
  EXPECT_FALSE(LWRUNNING());
  // Outside a loop the pump keeps no WM_QUIT for anybody.
  PostQuitMessage(0);
  EXPECT_FALSE(SYSREFRESH());
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  DestroyWindow(w->hWnd);
}

TEST(Loop, MainWindowIsSetOnce) {
  auto a = MakeRec(), b = MakeRec();
  HWND before = GETWNDAPP();
  SETWNDAPP(a->hWnd);
  HWND first = GETWNDAPP();
  SETWNDAPP(b->hWnd);
  EXPECT_EQ(GETWNDAPP(), first);
  if (!before) {
    EXPECT_EQ(first, a->hWnd);
  }
  DestroyWindow(a->hWnd);
  DestroyWindow(b->hWnd);
  Pump();
}

TEST(Registry, FifteenHundredModelessDialogs) {
  std::vector<HWND> fake;
  for (int i = 0; CANREGDIALOG(); ++i) {
    HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x100000 + i));
    ASSERT_TRUE(REGDIALOG(h));
    fake.push_back(h);
  }
  EXPECT_EQ(fake.size(), size_t(kMaxModelessDialogs));
  EXPECT_FALSE(REGDIALOG(reinterpret_cast<HWND>(0x900000)));
  EXPECT_FALSE(DEREGDIALOG(reinterpret_cast<HWND>(0x900000)));
  EXPECT_TRUE(DEREGDIALOG(fake[700]));
  EXPECT_TRUE(CANREGDIALOG());
  EXPECT_TRUE(REGDIALOG(fake[700]));  // takes the freed slot
  for (HWND h : fake) EXPECT_TRUE(DEREGDIALOG(h));
  EXPECT_TRUE(CANREGDIALOG());
}

TEST(Natives, AcceleratorTable) {
  EXPECT_EQ(SETACCTABLE(Value("not an array")), nullptr);
  HACCEL h = SETACCTABLE(Value(NewArray({Value(NewArray({'N', FCONTROL, 100})), Value(NewArray({VK_F5, 0, 101}))})));
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GETACCTABLE(), h);
  ACCEL entries[4];
  ASSERT_EQ(CopyAcceleratorTableA(h, entries, 4), 2);
  EXPECT_EQ(entries[0].fVirt & (FVIRTKEY | FCONTROL), FVIRTKEY | FCONTROL);  // virtual-key bit forced on
  EXPECT_EQ(entries[1].cmd, 101);
  EXPECT_EQ(SETACCTABLE(), nullptr);
  EXPECT_EQ(GETACCTABLE(), nullptr);
}

TEST(Natives, RegisterClassAndClassInfo) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  EXPECT_FALSE(GETCLASSINFO(inst, "NxNoSuchClass").has_value());
  ASSERT_TRUE(REGISTERCLASS("NxTestClass", CS_DBLCLKS, 0, 8, nullptr, nullptr, nullptr, "", nullptr, nullptr));
  auto info = GETCLASSINFO(inst, "NxTestClass");
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->style, UINT(CS_DBLCLKS));
  EXPECT_EQ(info->cbWndExtra, 8);
  EXPECT_EQ(info->hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  EXPECT_FALSE(REGISTERCLASS("NxTestClass", 0, 0, 0, nullptr, nullptr, nullptr, "", nullptr, nullptr));
  HWND h = CREATEWINDOW("NxTestClass", "x", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.right - r.left, 50);
  DestroyWindow(h);
  EXPECT_EQ(CREATEWINDOW("NxNoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr), nullptr);
  UnregisterClassA("NxTestClass", inst);  // the test can run again in the same process
}

TEST(Natives, SubclassAndRestore) {
  HWND h = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC));
  WNDPROC old = XCHANGEPROC(h, 5);
  EXPECT_EQ(old, original);
  EXPECT_EQ(GetWindowLongPtrA(h, GWLP_USERDATA), 5);
  // Slot 5 holds no object of this window: messages still reach the edit control.
  SetWindowTextA(h, "kept");
  char text[16] = "";
  GetWindowTextA(h, text, sizeof text);
  EXPECT_STREQ(text, "kept");
  EXPECT_EQ(RESTPROC(h, old), reinterpret_cast<WNDPROC>(&NxWndProc));
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)), original);
  DestroyWindow(h);
}

namespace {

// A dialog template in memory: one static text item.
std::string DialogTemplateBytes() {
  std::vector<WORD> w;
  auto dword = [&](DWORD d) {
    w.push_back(LOWORD(d));
    w.push_back(HIWORD(d));
  };
  auto text = [&](const char* s) {
    for (; *s; ++s) w.push_back(WORD(*s));
    w.push_back(0);
  };
  dword(WS_POPUP | WS_CAPTION | DS_SETFONT);
  dword(0);
  w.push_back(1);  // items
  w.push_back(10), w.push_back(10), w.push_back(100), w.push_back(50);
  w.push_back(0), w.push_back(0);  // no menu, default class
  text("Test dialog");
  w.push_back(8);
  text("MS Shell Dlg");
  if (w.size() % 2) w.push_back(0);  // DWORD alignment
  dword(WS_CHILD | WS_VISIBLE);
  dword(0);
  w.push_back(5), w.push_back(5), w.push_back(60), w.push_back(10);
  w.push_back(201);
  w.push_back(0xFFFF), w.push_back(0x0082);  // static
  text("Hello");
  w.push_back(0);
  return std::string(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(WORD));
}

class DlgRec : public TWindow {
 public:
  const char* ClassName() const override { return "TDIALOG"; }
  std::vector<UINT> messages;
  LPARAM initParam = 0;
  HWND hDlgSeen = nullptr;
  Value HandleEvent(UINT nMsg, WPARAM, LPARAM nLParam) override {
    messages.push_back(nMsg);
    if (nMsg == WM_INITDIALOG) {
      initParam = nLParam;
      hDlgSeen = reinterpret_cast<HWND>(nLParam);
      PostMessageA(hDlgSeen, WM_USER + 5, 0, 0);
      return Value(true);
    }
    if (nMsg == WM_USER + 5) {
      ENDDIALOG(hDlgSeen, 0x12345);
      return Value(true);
    }
    return Value();
  }
};

}  // namespace

TEST(Dialogs, ModalFromMemoryTemplate) {
  auto dlg = std::make_shared<DlgRec>();
  EXPECT_FALSE(LWRUNNING());
  int code = DIALOGBOXINDIRECT(nullptr, DialogTemplateBytes(), nullptr, dlg);
  EXPECT_EQ(code, 0x2345);  // 16 bits of the end code
  ASSERT_NE(dlg->hDlgSeen, nullptr);
  EXPECT_EQ(dlg->initParam, LPARAM(dlg->hDlgSeen));
  EXPECT_FALSE(LWRUNNING());
  EXPECT_EQ(DIALOGBOXINDIRECT(nullptr, "", nullptr, dlg), 0);
  EXPECT_EQ(DIALOGBOXINDIRECT(nullptr, "short", nullptr, dlg), 0);
}

TEST(Dialogs, ModelessKeepsItsObjectAfterCreation) {
  class Modeless : public TWindow {
   public:
    const char* ClassName() const override { return "TDIALOG"; }
    int userMessages = 0;
    Value HandleEvent(UINT nMsg, WPARAM, LPARAM) override {
      if (nMsg == WM_USER + 9) ++userMessages;
      return Value();
    }
  };
  auto a = std::make_shared<Modeless>(), b = std::make_shared<Modeless>();
  HWND ha = CREATEDLGINDIRECT(nullptr, DialogTemplateBytes(), nullptr, a);
  HWND hb = CREATEDLGINDIRECT(nullptr, DialogTemplateBytes(), nullptr, b);
  ASSERT_NE(ha, nullptr);
  ASSERT_NE(hb, nullptr);
  SendMessageA(ha, WM_USER + 9, 0, 0);
  SendMessageA(ha, WM_USER + 9, 0, 0);
  SendMessageA(hb, WM_USER + 9, 0, 0);
  EXPECT_EQ(a->userMessages, 2);
  EXPECT_EQ(b->userMessages, 1);
  DestroyWindow(ha);
  DestroyWindow(hb);
}

namespace {
INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A visible dialog template with two edit items, ids 301 and 302.
std::string TwoEditsDialog() {
  std::string t;
  auto put16 = [&](uint16_t v) { t.append(reinterpret_cast<const char*>(&v), 2); };
  auto put32 = [&](uint32_t v) { t.append(reinterpret_cast<const char*>(&v), 4); };
  put32(WS_POPUP | WS_CAPTION | WS_VISIBLE);
  put32(0);
  put16(2), put16(10), put16(10), put16(120), put16(60);
  put16(0), put16(0), put16(0);  // no menu, default class, no title
  while (t.size() % 4) t.push_back('\0');
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER;
  t += CCTRL2CHR(5, 5, 16, 100, 301, style, "EDIT", "");
  t += CCTRL2CHR(25, 5, 36, 100, 302, style, "EDIT", "");
  return t;
}

void PostTab(HWND to) {
  PostMessageA(to, WM_KEYDOWN, VK_TAB, 0x000F0001);
  PostMessageA(to, WM_KEYUP, VK_TAB, LPARAM(0xC00F0001));
}
}  // namespace

// A registered modeless dialog gets its keyboard navigation from the pump
// and from the application loop; once unregistered it no longer does.
TEST(Loop, RegisteredModelessDialogsHandleTheirKeysInBothLoops) {
  std::string tpl = TwoEditsDialog();
  HWND dlg = CreateDialogIndirectParamA(nullptr, reinterpret_cast<const DLGTEMPLATE*>(tpl.data()), nullptr,
                                        PlainDialogProc, 0);
  ASSERT_NE(dlg, nullptr);
  HWND first = GetDlgItem(dlg, 301), second = GetDlgItem(dlg, 302);
  SetForegroundWindow(dlg);
  SetFocus(first);
  SYSREFRESH();
  ASSERT_EQ(GetFocus(), first);
  ASSERT_TRUE(REGDIALOG(dlg));
  PostTab(first);
  SYSREFRESH();
  EXPECT_EQ(GetFocus(), second);
  PostTab(second);
  PostQuitMessage(0);  // met once the Tab has gone through the loop
  WINRUN(nullptr);
  EXPECT_EQ(GetFocus(), first);  // Tab goes round to the first item
  ASSERT_TRUE(DEREGDIALOG(dlg));
  PostTab(first);
  SYSREFRESH();
  EXPECT_EQ(GetFocus(), first);  // the edit got the Tab itself and kept the focus
  DestroyWindow(dlg);
}
