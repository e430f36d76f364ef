// The library's error handler for real: runtime errors raised inside the
// application loop write "Error.log" and show the error dialog, which each
// child process here inspects and answers with a click; the child's exit
// code tells what the handler answered.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

#include "classes/errdlg.h"
#include "classes/window.h"
#include "common/error_dialog.h"
#include "dialogs/script.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "rt/frames.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;

namespace {

constexpr int kRetried = 10, kDefaulted = 20, kLayoutWrong = 3;

std::string ReadFile(const char* name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Text(HWND h) {
  char buf[256] = "";
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

HWND ChildByText(HWND dlg, const std::string& text) {
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (Text(c) == text) return c;
  return nullptr;
}

[[noreturn]] void Wrong(const std::string& what) {
  std::fprintf(stderr, "layout: %s\n", what.c_str());
  std::fflush(stderr);
  ExitProcess(kLayoutWrong);
}

// The buttons of the error dialog: the captions shown, left to right, at the
// expected dialog-unit columns, and which one is the default.
void CheckDialog(HWND dlg, bool retry, bool def) {
  std::vector<std::pair<std::string, int>> want;
  int shown = 1 + retry + def;
  if (retry) want.push_back({"&Retry", shown == 2 ? 132 : 43});
  want.push_back({"&Quit", shown == 2 ? 65 : 96});
  if (def) want.push_back({"&Default", shown == 3 ? 148 : 128});
  int buttons = 0;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    std::string t = Text(c);
    if (t == "&Retry" || t == "&Quit" || t == "&Default") ++buttons;
  }
  if (buttons != shown) Wrong("buttons shown: " + std::to_string(buttons));
  for (auto& [caption, col] : want) {
    HWND b = ChildByText(dlg, caption);
    if (!b) Wrong("missing " + caption);
    RECT du{col, 161, col + 30, 161 + 11};
    MapDialogRect(dlg, &du);
    RECT r{};
    GetWindowRect(b, &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    if (std::abs(r.left - du.left) > 2 || std::abs(r.top - du.top) > 2)
      Wrong(caption + " at " + std::to_string(r.left) + "," + std::to_string(r.top) + " not " +
            std::to_string(du.left) + "," + std::to_string(du.top));
    bool isDefault = GetWindowLongA(b, GWL_STYLE) & BS_DEFPUSHBUTTON;
    bool wantDefault = caption == "&Quit" && shown != 2;
    if (isDefault != wantDefault) Wrong(caption + (isDefault ? " is" : " is not") + " the default");
  }
  HWND list = FindWindowExA(dlg, nullptr, "ListBox", nullptr);
  if (!list || SendMessageA(list, LB_GETCOUNT, 0, 0) < 1 || SendMessageA(list, LB_GETCURSEL, 0, 0) != 0)
    Wrong("the stack list with its first line selected");
  char first[256] = "";
  SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
  if (std::string(first).rfind("Called from: ", 0) != 0) Wrong(std::string("stack line ") + first);
  if (!ChildByText(dlg, "&Stack List") || !ChildByText(dlg, "See Error.log file")) Wrong("labels");
  HWND say = nullptr;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (Text(c).rfind("   Error description: Error TEST/77  Provoked", 0) == 0) say = c;
  if (!say || !(GetWindowLongA(say, GWL_STYLE) & SS_NOPREFIX)) Wrong("the description label");
}

// In a child: raises a retryable/defaultable error inside the application
// loop; `answer` is run on the dialog (after its layout is checked). The
// operation succeeds when it is tried a second time.
[[noreturn]] void RaiseInLoop(bool retry, bool def, std::function<void(HWND dlg)> answer) {
  ErrorSys();
  auto w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 200, .nRight = 300, .cTitle = "errors", .lPixel = true});
  int calls = 0;
  HWND dlg = nullptr;
  dlgtest::Script script(
      {[&] {
         NX_PROC("PROVOKE");
         Value count(int64_t(0));
         FrameVars vars({&count});
         auto e = ErrorNew("TEST", EG_ARG, 77, "Provoked", "TESTOP");
         e->CanRetry = retry;
         e->CanDefault = def;
         Value got = RaiseWithRetry(e, [&]() -> std::optional<Value> {
           count = Value(int64_t(++calls));
           if (calls == 2) return Value("done");
           return std::nullopt;
         });
         std::fprintf(stderr, "answer %s after %d calls\n", cValToChar(got).c_str(), calls);
         std::fflush(stderr);
         ExitProcess(got == Value("done") ? kRetried : got == Value(false) ? kDefaulted : 30);
       },
       dlgtest::When([] { return IsWindowVisible(FindWindowA(nullptr, nxtest::kErrorDialogCaption)); },
                     [&] {
                       dlg = FindWindowA(nullptr, nxtest::kErrorDialogCaption);
                       if (!dlg) Wrong("no dialog");
                       CheckDialog(dlg, retry, def);
                       answer(dlg);
                     })},
      [&] { return true; }, [] { ExitProcess(4); });
  script.Start();
  w->Activate();
  ExitProcess(5);
}

void Click(HWND dlg, const char* caption) { dlgtest::PostClick(ChildByText(dlg, caption)); }

}  // namespace

TEST(ErrorDialog, ButtonsFollowRetryAndDefaultAndEachAnswerWorks) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // Retry tries the operation again, and it succeeds the second time.
  EXPECT_EXIT(RaiseInLoop(true, true, [](HWND d) { Click(d, "&Retry"); }), testing::ExitedWithCode(kRetried),
              "answer done after 2 calls");
  EXPECT_EXIT(RaiseInLoop(true, false, [](HWND d) { Click(d, "&Retry"); }), testing::ExitedWithCode(kRetried), "");
  // Default: the operation yields false.
  EXPECT_EXIT(RaiseInLoop(false, true, [](HWND d) { Click(d, "&Default"); }), testing::ExitedWithCode(kDefaulted),
              "answer .F. after 1 calls");
  // Quit alone, as the default button: Enter presses it and the program ends with 1.
  EXPECT_EXIT(RaiseInLoop(false, false, [](HWND d) { dlgtest::PostKey(VK_RETURN, d); }),
              testing::ExitedWithCode(1), "");
  EXPECT_EXIT(RaiseInLoop(true, true, [](HWND d) { Click(d, "&Quit"); }), testing::ExitedWithCode(1), "");
  // The close box is Quit.
  EXPECT_EXIT(RaiseInLoop(true, false, [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }),
              testing::ExitedWithCode(1), "");
}

namespace {

// An error in a window's handler while the error dialog is up.
[[noreturn]] void ErrorInsideTheDialog() {
  RaiseInLoop(true, true, [](HWND) {
    TWindowPtr main = oWndFromHwnd(GETWNDAPP());
    main->bKeyDown = [](int, int, TWindow&) { return RaiseError(ErrorNew("TEST", EG_ARG, 78, "Again")); };
    PostMessageA(main->hWnd, WM_KEYDOWN, 'A', 1);
  });
}

// Retry is refused before the application loop runs: it ends the program.
[[noreturn]] void RetryBeforeTheLoop() {
  ErrorSys();
  dlgtest::Script script(
      {dlgtest::When([] { return IsWindowVisible(FindWindowA(nullptr, nxtest::kErrorDialogCaption)); },
                     [] { Click(FindWindowA(nullptr, nxtest::kErrorDialogCaption), "&Retry"); })},
      [] { return true; }, [] { ExitProcess(4); });
  script.Start();
  auto e = ErrorNew("TEST", EG_ARG, 77, "Provoked");
  e->CanRetry = true;
  RaiseError(e);
  ExitProcess(kRetried);
}

}  // namespace

TEST(ErrorDialog, AnErrorInsideTheDialogAndARetryBeforeTheLoopEndTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  DeleteFileA("Error.log");
  EXPECT_EXIT(ErrorInsideTheDialog(), testing::ExitedWithCode(1), "");
  // The report of the first error stands: the second one wrote nothing.
  EXPECT_NE(ReadFile("Error.log").find("TEST/77  Provoked"), std::string::npos);
  EXPECT_EXIT(RetryBeforeTheLoop(), testing::ExitedWithCode(1), "");
}

TEST(ErrorDialog, AnUnwritableLogIsSkippedAndTheDialogStillShows) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // A folder of that name: no program can write the log (a read-only file
  // would not do, as the tests may run as root, whom Wine lets write it).
  // (Death-test children run the statements before theirs again: they must not fail there.)
  DeleteFileA("Error.log");
  CreateDirectoryA("Error.log", nullptr);
  ASSERT_EQ(GetFileAttributesA("Error.log"), DWORD(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EXIT(RaiseInLoop(false, true, [](HWND d) { Click(d, "&Default"); }), testing::ExitedWithCode(kDefaulted),
              "");
  EXPECT_EQ(GetFileAttributesA("Error.log"), DWORD(FILE_ATTRIBUTE_DIRECTORY));
  RemoveDirectoryA("Error.log");
}

namespace {

// Real runtime errors with a table and its order open; the dialog's close
// box ends the program.
enum class Provoke { BadIndex, MissingAlias, MissingTable };

[[noreturn]] void ProvokeWithATableOpen(Provoke what) {
  ErrorSys();
  nxtest::CloseErrorDialogWhenShown();
  auto w = TWindow::New({.cTitle = "tables"});
  NX_PROC("MAIN");
  DeleteFileA("errcust.dbf");
  DeleteFileA("errname.ntx");
  DbCreate("errcust", Value(NewArray({Value(NewArray({Value("NAME"), Value("C"), Value(10), Value(0)}))})));
  DbUseArea(true, kDbfDriver, "errcust", "CUST", false);
  for (const char* n : {"Bob", "Ann", "Cid"}) {
    DbAppend();
    FieldPut(1, Value(n));
  }
  OrdCreate("errname", "NAME");
  DbGoTop();
  DbSelectArea(5);
  ArrayPtr a = NewArray({Value(1), Value(2)});
  Value name("ten"), list(a);
  NX_PROC("PROVOKE");
  FrameVars vars({&name}, {&list});
  if (what == Provoke::BadIndex) AElem(a, 10);
  if (what == Provoke::MissingAlias) DbSelectArea("NOSUCH");
  if (what == Provoke::MissingTable) DbUseArea(true, kDbfDriver, "nosuchfile", "", false);
  ExitProcess(6);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      out.push_back(text.substr(at) + "<no CR LF>");
      break;
    }
    out.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return out;
}

// The line after `header`'s underline, and the rest from there.
size_t After(const std::vector<std::string>& lines, const std::string& header) {
  for (size_t i = 0; i + 1 < lines.size(); ++i)
    if (lines[i] == header && lines[i + 1].find_first_not_of('=') == std::string::npos) return i + 2;
  ADD_FAILURE() << "no section " << header;
  return lines.size();
}

}  // namespace

TEST(ErrorReport, RealRuntimeErrorsWriteEverySectionInItsFormat) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  DeleteFileA("Error.log");
  EXPECT_EXIT(ProvokeWithATableOpen(Provoke::BadIndex), testing::ExitedWithCode(1), "");
  std::string log = ReadFile("Error.log");
  auto lines = Lines(log);
  ASSERT_GT(lines.size(), 40u) << log;
  for (auto& l : lines) EXPECT_EQ(l.find("<no CR LF>"), std::string::npos) << l;

  size_t i = After(lines, "Application");
  EXPECT_EQ(lines[i].rfind("   Path and name: ", 0), 0u);
  EXPECT_NE(lines[i].find("nx_dispatch_tests.exe (32 bits)"), std::string::npos) << lines[i];
  EXPECT_TRUE(std::regex_match(lines[i + 1], std::regex("   Size: [ 0-9,]{9} bytes"))) << lines[i + 1];
  EXPECT_TRUE(std::regex_match(lines[i + 2], std::regex("   Time from start: \\d+ hours \\d+ mins \\d+ secs ")));
  EXPECT_EQ(lines[i + 3].rfind("   Error occurred at: ", 0), 0u);
  EXPECT_EQ(lines[i + 4], "   Error description: Error BASE/1132  Bound error: array access");
  EXPECT_EQ(lines[i + 5], "   Args:");
  EXPECT_EQ(lines[i + 6], "     [   1] = A   { ... }");
  EXPECT_EQ(lines[i + 7], "     [   2] = N   10");

  i = After(lines, "Stack Calls");
  EXPECT_TRUE(std::regex_match(lines[i], std::regex("   Called from: errdlg_test\\.cpp => PROVOKE\\(\\d+\\)")))
      << lines[i];
  EXPECT_TRUE(std::regex_match(lines[i + 1], std::regex("   Called from: errdlg_test\\.cpp => MAIN\\(\\d+\\)")))
      << lines[i + 1];

  i = After(lines, "System");
  EXPECT_TRUE(std::regex_match(lines[i], std::regex("   CPU type: .* \\d+ Mhz"))) << lines[i];
  EXPECT_TRUE(std::regex_match(lines[i + 1], std::regex("   Hardware memory: \\d+ megs")));
  EXPECT_EQ(lines[i + 3], "   Free System resources: 90 %");
  EXPECT_EQ(lines[i + 4], "        GDI    resources: 90 %");
  EXPECT_EQ(lines[i + 5], "        User   resources: 90 %");
  EXPECT_EQ(lines[i + 7].rfind("   Compiler version: ", 0), 0u);
  EXPECT_TRUE(std::regex_match(lines[i + 8], std::regex("   Windows version: \\d+\\.\\d+, Build \\d+ .*")));
  EXPECT_TRUE(std::regex_match(lines[i + 10], std::regex("   Windows total applications running: \\d+")));

  i = After(lines, "Variables in use");
  EXPECT_EQ(lines[i], "   Procedure     Type   Value");
  EXPECT_EQ(lines[i + 1], "   ==========================");
  EXPECT_EQ(lines[i + 2], "   PROVOKE");
  EXPECT_EQ(lines[i + 3], "     Param   1:    C    \"ten\"");
  EXPECT_EQ(lines[i + 4], "     Local   1:    A    Len:    2");
  EXPECT_EQ(lines[i + 5], "   MAIN");

  i = After(lines, "Linked RDDs");
  EXPECT_EQ(lines[i], "   DBF");

  i = After(lines, "DataBases in use");
  EXPECT_EQ(lines[i], "");
  EXPECT_EQ(lines[i + 1], "  1:    CUST" + std::string(11 + 20, ' ') + "RddName: DBF");
  EXPECT_EQ(lines[i + 2], "     ==============================");
  EXPECT_EQ(lines[i + 3], "     RecNo    RecCount    BOF   EOF");
  // Ann is the first in NAME order: record 2.
  EXPECT_EQ(lines[i + 4], "          2            3      .F.   .F.");
  EXPECT_EQ(lines[i + 5], "");
  EXPECT_EQ(lines[i + 6], "     Indexes in use " + std::string(23, ' ') + "TagName");
  EXPECT_EQ(lines[i + 7], std::string(8, ' ') + "=> " + "NAME" + std::string(31, ' ') + "ERRNAME");
  EXPECT_EQ(lines[i + 8], "");
  EXPECT_EQ(lines[i + 9], "     Relations in use");

  i = After(lines, "Classes in use:");
  EXPECT_TRUE(std::regex_match(lines[i], std::regex("     1 [A-Z]+"))) << lines[i];
  EXPECT_NE(log.find(" TWINDOW\r\n"), std::string::npos);
  EXPECT_NE(log.find(" ERROR\r\n"), std::string::npos);

  i = After(lines, "Memory Analysis");
  EXPECT_EQ(lines[i], "      0 Static variables");
  EXPECT_EQ(lines[i + 1], "");
  EXPECT_EQ(lines[i + 2], "   Dynamic memory consume:");
  EXPECT_TRUE(std::regex_match(lines[i + 3], std::regex("      Actual  Value: [1-9]\\d* bytes")));
  EXPECT_TRUE(std::regex_match(lines[i + 4], std::regex("      Highest Value: [1-9]\\d* bytes")));

  DeleteFileA("Error.log");
  DeleteFileA("errcust.dbf");
  DeleteFileA("errname.ntx");
}

TEST(ErrorReport, AMissingAliasAndAMissingTableAreReported) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ProvokeWithATableOpen(Provoke::MissingAlias), testing::ExitedWithCode(1), "");
  std::string alias = ReadFile("Error.log");
  EXPECT_EXIT(ProvokeWithATableOpen(Provoke::MissingTable), testing::ExitedWithCode(1), "");
  std::string table = ReadFile("Error.log");
  EXPECT_NE(alias.find("   Error description: Error DBF/1002  Alias does not exist: DBSELECTAREA\r\n"),
            std::string::npos)
      << alias;
  EXPECT_NE(table.find("   Error description: (DOS Error 2) DBF/1001  Open error: nosuchfile.dbf\r\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("   Args:\r\n     [   1] = C   nosuchfile\r\n"), std::string::npos) << table;
  DeleteFileA("Error.log");
  DeleteFileA("errcust.dbf");
  DeleteFileA("errname.ntx");
}
