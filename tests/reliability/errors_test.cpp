// Errors raised by application code inside the browse's hooks travel
// through the error block: the library's handler logs them to "Error.log"
// and shows its dialog, whose close box ends the program with code 1 (a
// handler error during the dialog ends it at once); a handler that defaults keeps the
// browse painting, with its paint cycle and device contexts balanced.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "errors/errors.h"
#include "native/dispatch.h"
#include "native/draw.h"
#include "rt/error.h"
#include "common/error_dialog.h"
#include "support.h"

using namespace nx;

namespace {

std::string ReadLog() {
  std::ifstream in("Error.log", std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

[[noreturn]] void PaintWithBadRowIndex() {
  rel::HangGuard guard;
  ErrorSys();
  nxtest::CloseErrorDialogWhenShown();
  auto s = rel::MakeScene(20);
  auto table = s.table;
  // An application row block that indexes past its array.
  s.brw->bLine = [table](TWBrowse& b) { return *table->at(size_t(b.nAtRow()) + 1000).AsArray(); };
  s.wnd->Activate();
  std::exit(0);  // not reached: the handler ends the program
}

[[noreturn]] void FailingChangeHook() {
  rel::HangGuard guard;
  ErrorSys();
  nxtest::CloseErrorDialogWhenShown();
  auto s = rel::MakeScene(20);
  s.brw->bChange = [](TWBrowse&) {
    RaiseError(ErrorNew("APPL", EG_ARG, 4711, "bChange hook failed", "BCHANGE"));
  };
  rel::InLoop(s.wnd->hWnd, [&] { PostMessageA(s.brw->hWnd, WM_KEYDOWN, VK_DOWN, 0); });
  s.wnd->Activate();
  std::exit(0);
}

}  // namespace

TEST(HookErrors, RowBlockOutOfRangeIsLoggedAndEndsTheProgramWithCodeOne) {
  std::remove("Error.log");
  EXPECT_EXIT(PaintWithBadRowIndex(), testing::ExitedWithCode(1), "");
  std::string log = ReadLog();
  EXPECT_NE(log.find("Error description:"), std::string::npos) << log;
  EXPECT_NE(log.find("Unhandled exception"), std::string::npos) << log;
  std::remove("Error.log");
}

TEST(HookErrors, RuntimeErrorFromChangeHookIsLoggedAndEndsTheProgramWithCodeOne) {
  std::remove("Error.log");
  EXPECT_EXIT(FailingChangeHook(), testing::ExitedWithCode(1), "");
  std::string log = ReadLog();
  EXPECT_NE(log.find("APPL/4711"), std::string::npos) << log;
  EXPECT_NE(log.find("bChange hook failed"), std::string::npos) << log;
  std::remove("Error.log");
}

TEST(HookErrors, WithADefaultingHandlerTheBrowseKeepsPaintingAndBalanced) {
  RESREGISTER(true);
  int errors = 0;
  ErrorHandler saved = ErrorBlock([&](const ErrorPtr&) {
    ++errors;
    return Value();
  });
  {
    auto s = rel::MakeScene(50);
    ShowWindow(s.wnd->hWnd, SW_SHOWNORMAL);
    UpdateWindow(s.wnd->hWnd);
    const size_t before = RESCOUNT();
    bool hostile = true;
    int rowsRead = 0;
    auto table = s.table;
    s.brw->bLine = [&, table](TWBrowse& b) {
      if (hostile && b.nAtRow() >= 3) throw std::out_of_range("row block: index out of range");
      ++rowsRead;
      return *table->at(size_t(b.nAtRow() - 1)).AsArray();
    };

    // A paint that fails half way through.
    InvalidateRect(s.brw->hWnd, nullptr, TRUE);
    UpdateWindow(s.brw->hWnd);
    EXPECT_EQ(errors, 1);
    // The failed paint still ended: nothing is left to repaint (no endless
    // paint messages), and its memory device context and bitmap are gone.
    RECT pending{};
    EXPECT_FALSE(GetUpdateRect(s.brw->hWnd, &pending, FALSE));
    EXPECT_EQ(RESCOUNT(), before);
    EXPECT_EQ(s.brw->hDC, nullptr);

    // Navigation whose line drawing fails leaves a usable position.
    for (int i = 0; i < 5; ++i) SendMessageA(s.brw->hWnd, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_GE(s.brw->nAtRow(), 1);
    EXPECT_LE(s.brw->nAtRow(), 50);
    EXPECT_GT(errors, 1);

    // Once the hook behaves, the browse paints every line again.
    hostile = false;
    rowsRead = 0;
    s.brw->GoTop();
    InvalidateRect(s.brw->hWnd, nullptr, TRUE);
    UpdateWindow(s.brw->hWnd);
    EXPECT_GE(rowsRead, s.brw->nRowCount());
    EXPECT_EQ(RESCOUNT(), before);
    DestroyWindow(s.wnd->hWnd);
  }
  ErrorBlock(saved);
  RESREGISTER(false);
}

TEST(HookErrors, AFailingPaintHookOfAWindowStillEndsItsPaintCycle) {
  RESREGISTER(true);
  int errors = 0;
  ErrorHandler saved = ErrorBlock([&](const ErrorPtr&) {
    ++errors;
    return Value();
  });
  auto w = TWindow::New({.nTop = 20, .nLeft = 20, .nBottom = 200, .nRight = 300, .cTitle = "paint hook", .lPixel = true});
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  UpdateWindow(w->hWnd);
  const size_t before = RESCOUNT();
  bool hostile = true;
  int painted = 0;
  w->bPainted = [&](HDC, const std::string&, TWindow&) -> Value {
    if (hostile) throw std::runtime_error("paint hook failed");
    ++painted;
    return Value();
  };
  for (int i = 0; i < 3; ++i) {
    InvalidateRect(w->hWnd, nullptr, TRUE);
    UpdateWindow(w->hWnd);
  }
  EXPECT_EQ(errors, 3);
  EXPECT_EQ(RESCOUNT(), before);
  EXPECT_EQ(w->hDC, nullptr);
  hostile = false;
  InvalidateRect(w->hWnd, nullptr, TRUE);
  UpdateWindow(w->hWnd);
  EXPECT_EQ(painted, 1);
  DestroyWindow(w->hWnd);
  ErrorBlock(saved);
  RESREGISTER(false);
}
