// The library error table, the silent rules and the report path.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "classes/window.h"
#include "common/error_dialog.h"
#include "errors/errors.h"
#include "rt/frames.h"

using namespace nx;

TEST(LibErrors, TableRows) {
  EXPECT_EQ(_NXGENERROR(0), nullptr);
  EXPECT_EQ(_NXGENERROR(7), nullptr);

  auto e4 = _NXGENERROR(4);
  ASSERT_NE(e4, nullptr);
  EXPECT_EQ(e4->Severity, 1);
  EXPECT_EQ(e4->SubSystem, "BASE");
  EXPECT_EQ(e4->SubCode, 5300);
  EXPECT_TRUE(e4->CanDefault);
  EXPECT_EQ(e4->Description, "Memory Low");

  auto e6 = _NXGENERROR(6, "Class: X");
  EXPECT_EQ(e6->Severity, 3);
  EXPECT_EQ(e6->SubSystem, "Novaxis");
  EXPECT_EQ(e6->SubCode, 6);
  EXPECT_FALSE(e6->CanDefault);
  EXPECT_EQ(e6->Operation, "Class: X");
  EXPECT_EQ(e6->Description, "Cannot create window or control");

  const char* descriptions[] = {"Non defined Id", "Duplicated Id", "Cannot create Dialog Box", "Memory Low",
                                "GPF occurred", "Cannot create window or control"};
  for (int n = 1; n <= 6; ++n) {
    auto e = _NXGENERROR(n);
    EXPECT_EQ(e->Description, descriptions[n - 1]);
    EXPECT_EQ(e->CanDefault, e->Severity < 3);
    if (n != 4) {
      EXPECT_EQ(e->SubCode, n);
    }
  }

  auto g = _GenError(13, "TWINDOW", "NOSUCH");
  EXPECT_EQ(g->SubSystem, "BASE");
  EXPECT_EQ(g->Severity, 2);
  EXPECT_EQ(g->Description, "Message not found");
  EXPECT_EQ(g->Operation, "TWINDOW:NOSUCH");
}

TEST(LibErrors, RaisingGoesThroughTheBlock) {
  ErrorPtr seen;
  ErrorHandler saved = ErrorBlock([&](const ErrorPtr& e) {
    seen = e;
    return Value(false);
  });
  Value r = __LOWMEMERROR();
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(seen->SubCode, 5300);
  EXPECT_FALSE(r.AsLogical());
  auto e = _NXGENERROR(1);
  _ClsSetError(e);
  EXPECT_EQ(seen, e);
  ErrorBlock(saved);
}

TEST(SilentRules, SettleWithoutReport) {
  auto zero = ErrorNew("BASE", EG_ZERODIV, 1340, "Zero divisor");
  auto r = ErrorSilentRule(zero);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->AsInt(), 0);

  for (int os : {32, 5}) {
    NetErr(false);
    auto open = ErrorNew("DBFNTX", EG_OPEN, 1001, "Open error");
    open->OsCode = os;
    open->CanDefault = true;
    auto settled = ErrorSilentRule(open);
    ASSERT_TRUE(settled.has_value());
    EXPECT_FALSE(settled->AsLogical());
    EXPECT_TRUE(NetErr());
  }

  NetErr(false);
  auto noDefault = ErrorNew("DBFNTX", EG_OPEN, 1001, "Open error");
  noDefault->OsCode = 32;
  EXPECT_FALSE(ErrorSilentRule(noDefault).has_value());
  auto missing = ErrorNew("DBFNTX", EG_OPEN, 1001, "Open error");
  missing->OsCode = 2;
  missing->CanDefault = true;
  EXPECT_FALSE(ErrorSilentRule(missing).has_value());
  EXPECT_FALSE(NetErr());

  auto append = ErrorNew("DBFNTX", EG_APPENDLOCK, 1024, "Append lock failed");
  append->CanDefault = true;
  ASSERT_TRUE(ErrorSilentRule(append).has_value());
  EXPECT_TRUE(NetErr());
  NetErr(false);

  // The installed handler applies them too: a division by zero yields 0.
  ErrorHandler saved = ErrorBlock();
  ErrorSys();
  EXPECT_EQ(RaiseError(zero).AsInt(), 0);
  ErrorBlock(saved);
}

TEST(ErrorMessageText, Forms) {
  auto e = ErrorNew("BASE", 2, 1003, "Variable does not exist", "NAME");
  EXPECT_EQ(ErrorMessage(e), "Error BASE/1003  Variable does not exist: NAME");
  e->OsCode = 2;
  e->FileName = "missing.dbf";
  EXPECT_EQ(ErrorMessage(e), "(DOS Error 2) BASE/1003  Variable does not exist: missing.dbf");
  auto w = _NXGENERROR(4);
  EXPECT_EQ(ErrorMessage(w), "Warning BASE/5300  Memory Low");
  auto anon = ErrorNew();
  EXPECT_EQ(ErrorMessage(anon), "Error \?\?\?/0");
}

namespace {
std::string ReadFile(const char* name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void RaiseReportedError() {
  NX_PROC("MAIN");
  ErrorSys();
  nxtest::CloseErrorDialogWhenShown();
  auto e = _NXGENERROR(6, "Class: TWINDOW");
  RaiseError(e);
}
}  // namespace

TEST(ErrorReport, ReportedErrorWritesLogAndEndsWithExitCode1) {
  DeleteFileA("Error.log");
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(RaiseReportedError(), testing::ExitedWithCode(1), "");
  std::string log = ReadFile("Error.log");
  EXPECT_NE(log.find("Application\r\n===========\r\n"), std::string::npos);
  EXPECT_NE(log.find("   Error description: Error Novaxis/6  Cannot create window or control: Class: TWINDOW\r\n"),
            std::string::npos);
  EXPECT_NE(log.find("Stack Calls\r\n===========\r\n"), std::string::npos);
  EXPECT_NE(log.find("   Called from: errors_test.cpp => MAIN("), std::string::npos);
  EXPECT_NE(log.find(" (32 bits)\r\n"), std::string::npos);
}

namespace {
// A window class that is never registered, so its creation fails.
class Unregistered : public TWindow {
 public:
  const char* ClassName() const override { return "TUNREGISTERED"; }
  void Register(std::optional<UINT>) override {}
};
}  // namespace

TEST(ErrorReport, WindowCreationFailureRaisesLibraryError6) {
  std::vector<ErrorPtr> seen;
  ErrorHandler saved = ErrorBlock([&](const ErrorPtr& e) {
    seen.push_back(e);
    return Value(false);
  });
  auto w = TWindow::NewAs<Unregistered>({.cTitle = "lost"});
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen[0]->SubCode, 6);
  EXPECT_NE(seen[0]->Operation.find("\r\nClass: TUNREGISTERED\r\nCaption: lost\r\nSystem Error: "),
            std::string::npos);
  EXPECT_EQ(w->hWnd, nullptr);
  EXPECT_EQ(oWndFromHwnd(nullptr), nullptr);
  ErrorBlock(saved);
}
