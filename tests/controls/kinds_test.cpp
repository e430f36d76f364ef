// A program's own control classes, derived from the library's with a class
// name of their own, keep what the library's classes do: the base classes
// ask the control, never its name.
#include <gtest/gtest.h>

#include "classes/btnbmp.h"
#include "classes/tget.h"

using namespace nx;

namespace {

class TMyButton : public TBtnBmp {
 public:
  const char* ClassName() const override { return "TMYBUTTON"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  using TControl::CreateControl;
};

class TMyGet : public TGet {
 public:
  const char* ClassName() const override { return "TMYGET"; }
};

// A plain control with a validation, the one the focus leaves.
class TField : public TControl {
 public:
  const char* ClassName() const override { return "TKINDSFIELD"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  using TControl::CreateControl;
};

template <class T>
std::shared_ptr<T> Make(const TWindowPtr& parent, int top, int nId) {
  auto c = std::make_shared<T>();
  c->oWnd = parent;
  c->nTop = top, c->nLeft = 10, c->nBottom = top + 23, c->nRight = 109;
  c->nStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  c->nId = nId;
  c->CreateControl();
  return c;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

TEST(ControlKinds, ABitmapButtonOfAProgramsOwnClassCancelsAndTakesEnter) {
  auto w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 200, .nRight = 300, .lPixel = true});
  auto field = Make<TField>(w, 10, TControl::GetNewId());
  auto cancel = Make<TMyButton>(w, 40, IDCANCEL);
  auto ok = Make<TMyButton>(w, 70, IDOK);
  ASSERT_TRUE(field->hWnd && cancel->hWnd && ok->hWnd);
  cancel->lCancel = true;
  int validations = 0, clicks = 0;
  field->bValid = [&](TWindow&) {
    ++validations;
    return true;
  };
  ok->bAction = [&](TBtnBmp&) { ++clicks; };
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  Pump();

  // Leaving for the cancel button validates nothing.
  field->KillFocus(cancel->hWnd);
  Pump();
  EXPECT_EQ(validations, 0);
  // Leaving for the OK button does (it is no cancel button).
  field->KillFocus(ok->hWnd);
  Pump();
  EXPECT_EQ(validations, 1);

  // Enter in a sibling clicks the OK button, which the dialog manager does
  // not know as a push button.
  field->KeyChar(VK_RETURN, 0);
  EXPECT_EQ(clicks, 1);
  DestroyWindow(w->hWnd);
}

TEST(ControlKinds, AGetOfAProgramsOwnClassRunsItsKeyDownBlockOnce) {
  auto get = std::make_shared<TMyGet>();
  int calls = 0;
  get->bKeyDown = [&](int, int, TWindow&) {
    ++calls;
    return Value();  // not handled: the key goes on to the base classes
  };
  get->KeyDown(VK_NEXT, 0);
  EXPECT_EQ(calls, 1);
}
