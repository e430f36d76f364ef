// Editing browse cells as a user does: the popup editor over the cell and
// the in-place editor on the browse, driven by posted keys from inside their
// own message loops; the accepted text written into a real DBF file under a
// record lock, checked in the file's own bytes; a lock held by another
// process refusing the edit.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>

#include "browse/browse_support.h"
#include "classes/tget.h"
#include "common/client_pixels.h"
#include "common/message_boxes.h"
#include "common/pump.h"
#include "common/raised_errors.h"
#include "dialogs/script.h"
#include "native/brwedit.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;
using browsetest::Parent;
using dlgtest::PostKey;
using dlgtest::Script;

namespace {

std::string ClassOf(HWND h) {
  char name[64] = "";
  GetClassNameA(h, name, sizeof name);
  return name;
}

std::string TextOf(HWND h) {
  char text[256] = "";
  GetWindowTextA(h, text, sizeof text);
  return text;
}

BOOL CALLBACK FindPopup(HWND h, LPARAM out) {
  if (ClassOf(h) != "#32770" || !IsWindowVisible(h) || (GetWindowLongA(h, GWL_STYLE) & WS_CAPTION)) return TRUE;
  *reinterpret_cast<HWND*>(out) = h;
  return FALSE;
}

// The popup editor: the thread's visible dialog without a caption.
HWND Popup() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindPopup, reinterpret_cast<LPARAM>(&found));
  return found;
}

void PostChars(const std::string& text, HWND target = nullptr) {
  if (!target) target = GetFocus();
  for (char c : text) PostMessageA(target, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
}

using nxtest::Pump;

// Runs the steps against the popup while `edit` waits in it, from the
// moment its field has the focus.
template <class F>
void WithPopup(std::vector<Script::Step> steps, F&& edit) {
  Script script(
      dlgtest::FirstWhen([] { return dlgtest::ShownWithFocus(Popup()); }, std::move(steps)),
      [] { return Popup() != nullptr; }, [] { PostMessageA(Popup(), WM_COMMAND, IDCANCEL, 0); });
  script.Start();
  edit();
  EXPECT_TRUE(script.Finished()) << "the editor closed before its steps were done";
  EXPECT_EQ(Popup(), nullptr);
}

// Acts once on each popup editor that comes up, when its field has the
// focus: an editor that follows another may open while the first is still
// ending. One that stays open long after its action is cancelled.
class EachPopup {
 public:
  explicit EachPopup(std::function<void()> act) {
    act_ = std::move(act);
    last_ = nullptr;
    idle_ = 0;
    timer_ = SetTimer(nullptr, 0, 10, Tick);
  }
  ~EachPopup() { KillTimer(nullptr, timer_); }
  EachPopup(const EachPopup&) = delete;
  EachPopup& operator=(const EachPopup&) = delete;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND popup = Popup();
    if (popup && popup == last_ && ++idle_ > 50) {
      ADD_FAILURE() << "an editor stayed open";
      PostMessageA(popup, WM_COMMAND, IDCANCEL, 0);
    }
    if (!popup || popup == last_ || !IsChild(popup, GetFocus())) return;
    last_ = popup;
    idle_ = 0;
    act_();
  }
  static inline std::function<void()> act_;
  static inline HWND last_ = nullptr;
  static inline int idle_ = 0;
  UINT_PTR timer_ = 0;
};

RECT WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

// A shown window with a four-column browse over 30 rows "R<row>C<col>".
struct ArrayRig {
  Parent parent{640, 420};
  ArrayPtr table = browsetest::Table(30, 4);
  TWBrowsePtr b;
  ArrayRig() {
    b = browsetest::ArrayBrowse(parent.get(), table, 4, {80, 120, 100, 90});
    ShowWindow(parent.get()->hWnd, SW_SHOW);
    UpdateWindow(parent.get()->hWnd);
    b->GoDown();
    b->GoDown();  // row 3 on line 3
    b->SetFocus();
    Pump();
  }
};

}  // namespace

// The cell's rectangle: from the window rectangle, the last column stopping
// short of the vertical bar, none for a column that does not exist; the
// popup sits one pixel inside it and Esc leaves the value as it was.
TEST(CellPopup, SitsOverTheCellAndEscKeepsTheValue) {
  ArrayRig rig;
  TWBrowse& b = *rig.b;
  RECT wr = WindowRect(b.hWnd);
  int h = browsetest::LineHeight(browsetest::TestHFont());
  std::vector<int> sizes = b.aColSizes;
  auto cell = ABRWPOSRECT(b.hWnd, 3, sizes, 1, 2, browsetest::TestHFont());
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell->nTop, wr.top + 3 * h);
  EXPECT_EQ(cell->nBottom, wr.top + 4 * h);
  EXPECT_EQ(cell->nLeft, wr.left + 80);
  EXPECT_EQ(cell->nRight, wr.left + 200);
  auto last = ABRWPOSRECT(b.hWnd, 3, sizes, 2, 4, browsetest::TestHFont());
  ASSERT_TRUE(last);
  EXPECT_EQ(last->nLeft, wr.left + 220);
  EXPECT_EQ(last->nRight, wr.right - 18);
  EXPECT_FALSE(ABRWPOSRECT(b.hWnd, 3, sizes, 1, 0, nullptr));
  EXPECT_FALSE(ABRWPOSRECT(b.hWnd, 3, sizes, 1, 5, nullptr));

  Value v("R3C2");
  bool ok = true;
  std::string shown, typed;
  RECT popup{};
  WithPopup({[&] {
               popup = WindowRect(Popup());
               shown = TextOf(GetFocus());
               EXPECT_EQ(ClassOf(GetFocus()), "Edit");
               PostChars("zz");
             },
             [&] {
               typed = TextOf(GetFocus());
               PostKey(VK_ESCAPE);
             }},
            [&] { ok = b.lEditCol(2, v); });
  EXPECT_EQ(popup.left, cell->nLeft + 1);
  EXPECT_EQ(popup.top, cell->nTop + 2);
  EXPECT_EQ(popup.right, cell->nRight + 1);
  EXPECT_EQ(popup.bottom, cell->nBottom + 1);
  EXPECT_EQ(shown, "R3C2");
  EXPECT_EQ(typed, "zzC2");
  EXPECT_FALSE(ok);
  EXPECT_EQ(v, Value("R3C2"));
  EXPECT_EQ(GetFocus(), b.hWnd);

  nxtest::RaisedErrors errors;
  Value none("x");
  EXPECT_FALSE(b.lEditCol(9, none));
  ASSERT_EQ(errors.errors.size(), 1u);
  EXPECT_EQ(errors.errors[0]->Operation, "TWBROWSE:LEDITCOL");
}

// Enter accepts through the picture once the editor's validation agrees;
// on an array source Edit hands the text to nobody, and with lAutoSkip goes
// on to the next cell until Esc.
TEST(CellPopup, EnterAcceptsWhenValidAndAutoSkipMovesOn) {
  ArrayRig rig;
  TWBrowse& b = *rig.b;
  b.lCellStyle = true;
  Value v("R3C2");
  int asked = 0;
  bool ok = false;
  WithPopup({[&] { PostChars("ab"); }, [&] { PostKey(VK_RETURN); },
             [&] {
               EXPECT_NE(Popup(), nullptr) << "a refused value must keep the editor open";
               PostKey(VK_RETURN);
             }},
            [&] {
              ok = b.lEditCol(2, v, {.cPicture = "@!", .bValid = [&](TWindow& editor) {
                                       EXPECT_EQ(ClassOf(editor.hWnd), "Edit");
                                       return ++asked > 1;
                                     }});
            });
  EXPECT_TRUE(ok);
  EXPECT_EQ(v, Value("ABC2"));
  EXPECT_EQ(asked, 2);

  // After the last column editing goes on in column 1 of the next row,
  // scrolled back to it.
  b.lAutoSkip = true;
  b.nColPos = 2;
  b.Refresh();
  std::vector<std::string> seen;
  {
    EachPopup each([&] {
      seen.push_back(TextOf(GetFocus()));
      PostChars("Q");
      PostKey(seen.size() < 4 ? VK_RETURN : VK_ESCAPE);
    });
    b.Edit(2);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"R3C2", "R3C3", "R3C4", "R4C1"}));
  EXPECT_EQ(b.nColPos, 1);
  EXPECT_EQ(b.nColAct, 1);
  EXPECT_EQ(b.nAtRow(), 4);
  EXPECT_EQ(AGet(AGet(rig.table, 3).AsArray(), 2), Value("R3C2"));
}

// A logical cell is chosen from a two-item list and comes back logical; the
// action button puts its answer in and accepts.
TEST(CellPopup, LogicalFromAListAndTheActionButton) {
  ArrayRig rig;
  TWBrowse& b = *rig.b;
  Value yes(true);
  std::vector<std::string> items;
  WithPopup({[&] {
               HWND combo = GetFocus();
               EXPECT_EQ(ClassOf(combo), "ComboBox");
               for (int i = 0; i < int(SendMessageA(combo, CB_GETCOUNT, 0, 0)); ++i) {
                 char t[32] = "";
                 SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(t));
                 items.emplace_back(t);
               }
               EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
               PostKey(VK_DOWN);  // choosing is accepting
             }},
            [&] { EXPECT_TRUE(b.lEditCol(1, yes, {.aItems = std::vector<std::string>{"Yes", "No"}})); });
  EXPECT_EQ(items, (std::vector<std::string>{"Yes", "No"}));
  EXPECT_EQ(yes, Value(false));

  Value no(false);
  WithPopup({[&] {
               char t[32] = "";
               GetWindowTextA(GetFocus(), t, sizeof t);
               EXPECT_EQ(std::string(t), ".F.");
               PostKey(VK_ESCAPE);
             }},
            [&] { EXPECT_FALSE(b.lEditCol(1, no)); });
  EXPECT_EQ(no, Value(false));

  Value v("R3C3");
  Value given;
  WithPopup({[&] {
               HWND button = nullptr;
               for (HWND c = GetWindow(Popup(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                 if (ClassOf(c) == "Button" && WindowRect(c).right - WindowRect(c).left == 15) button = c;
               ASSERT_NE(button, nullptr);
               dlgtest::PostClick(button);
             }},
            [&] {
              EXPECT_TRUE(b.lEditCol(3, v, {.bAction = [&](const Value& u, TWBrowse&) {
                                        given = u;
                                        return Value("PICK");
                                      }}));
            });
  EXPECT_EQ(given, Value("R3C3"));
  EXPECT_EQ(Trim(v.AsString()), "PICK");
}

// The in-place editor: on the cell, one at a time; Enter, Esc and a
// horizontal scroll end it and report; the caller's block stores the value
// and the repainted row shows it.
TEST(CellInPlace, EndsWithEnterEscOrScrollAndReports) {
  ArrayRig rig;
  TWBrowse& b = *rig.b;
  struct Outcome {
    Value value;
    int key;
  };
  std::vector<Outcome> outcomes;
  auto store = [&](const Value& u, int key, TWBrowse& brw) {
    outcomes.push_back({u, key});
    if (!u.IsNil()) {
      ASet(AGet(rig.table, size_t(brw.nAtRow())).AsArray(), 2, u);
      brw.DrawSelect();
    }
  };
  auto pixels = [&] {
    int w = 0, h = 0;
    return nxtest::ClientPixels(b.hWnd, w, h);
  };
  std::vector<DWORD> start = pixels();
  auto runUntilClosed = [&] {
    EXPECT_TRUE(nxtest::PumpUntil([&] { return !b.oGet; })) << "the editor stays open";
    Pump();
  };

  EXPECT_FALSE(b.EditCol(2, Value("R3C2"), {.bValid = store}));
  ASSERT_TRUE(b.oGet && b.oGet->hWnd);
  HWND editor = b.oGet->hWnd;
  EXPECT_EQ(GetFocus(), editor);
  EXPECT_EQ(GetParent(editor), b.hWnd);
  auto cell = b.CellRect(2);
  POINT at{cell->nLeft, cell->nTop};
  ScreenToClient(b.hWnd, &at);
  RECT er = WindowRect(editor);
  POINT got{er.left, er.top};
  ScreenToClient(b.hWnd, &got);
  EXPECT_EQ(got.x, at.x + 1);
  EXPECT_EQ(got.y, at.y + 1);
  EXPECT_EQ(er.right - er.left, 120);
  PostChars("NEW!", editor);
  PostKey(VK_RETURN, editor);
  runUntilClosed();
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(GetFocus(), b.hWnd);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_EQ(outcomes[0].value, Value("NEW!"));
  EXPECT_EQ(outcomes[0].key, VK_RETURN);
  // The row shows the stored text, exactly as a full paint draws it.
  std::vector<DWORD> edited = pixels();
  EXPECT_NE(edited, start);
  b.ForgetPicture();
  InvalidateRect(b.hWnd, nullptr, TRUE);
  UpdateWindow(b.hWnd);
  EXPECT_EQ(pixels(), edited);

  b.EditCol(2, Value("NEW!"), {.bValid = store});
  PostChars("x", b.oGet->hWnd);
  PostKey(VK_ESCAPE, b.oGet->hWnd);
  runUntilClosed();
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_TRUE(outcomes[1].value.IsNil());
  EXPECT_EQ(outcomes[1].key, VK_ESCAPE);

  // A second editor ends the first; a scroll ends the second.
  b.EditCol(1, Value("R3C1"), {.bValid = store});
  HWND first = b.oGet->hWnd;
  b.EditCol(2, Value("R3C2"), {.bValid = store});
  Pump();
  EXPECT_FALSE(IsWindow(first));
  ASSERT_EQ(outcomes.size(), 3u);
  EXPECT_EQ(outcomes[2].value, Value("R3C1"));
  EXPECT_EQ(outcomes[2].key, 0);
  PostChars("S", b.oGet->hWnd);
  Pump();
  SendMessageA(b.hWnd, WM_HSCROLL, SB_LINERIGHT, 0);
  runUntilClosed();
  ASSERT_EQ(outcomes.size(), 4u);
  EXPECT_EQ(outcomes[3].value, Value("S3C2"));
  EXPECT_EQ(outcomes[3].key, 0);
}

// ---- a real table -------------------------------------------------------------------------------

namespace {

constexpr int kRecordSize = 1 + 10 + 8 + 1;  // deletion flag, NAME, QTY, DONE

class Table : public testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("nxedit" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    path = (dir / "stock.dbf").string();
    auto field = [](const char* n, const char* t, int len, int dec) {
      return Value(NewArray({Value(n), Value(t), Value(len), Value(dec)}));
    };
    ASSERT_TRUE(DbCreate(path, Value(NewArray({field("NAME", "C", 10, 0), field("QTY", "N", 8, 2),
                                               field("DONE", "L", 1, 0)}))));
    ASSERT_TRUE(DbUseArea(true, "", path, "STOCK", true));
    for (auto [name, qty] : {std::pair{"Apples", 1.5}, {"Pears", 20.0}, {"Plums", 3.25}}) {
      ASSERT_TRUE(DbAppend());
      FieldPut(1, Value(name));
      FieldPut(2, Value(qty, 2));
      FieldPut(3, Value(false));
    }
    DbUnlock();
    DbGoTop();
    b = TWBrowse::New({.nWidth = 500, .nHeight = 300, .oWnd = parent.get(), .oFont = browsetest::TestFont(),
                       .cAlias = std::string("STOCK"), .lPixel = true});
    ShowWindow(parent.get()->hWnd, SW_SHOW);
    b->SetFocus();
    Pump();
  }
  void TearDown() override {
    if (parent.get()->hWnd) DestroyWindow(parent.get()->hWnd);
    Pump();
    DbCloseAll();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  // Record n as the file holds it.
  std::string Record(int n) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t header = size_t(static_cast<unsigned char>(bytes[8])) | size_t(static_cast<unsigned char>(bytes[9])) << 8;
    size_t at = header + size_t(n - 1) * kRecordSize;
    return at + kRecordSize <= bytes.size() ? bytes.substr(at, kRecordSize) : std::string();
  }

  std::filesystem::path dir;
  std::string path;
  Parent parent{640, 420};
  TWBrowsePtr b;
};

std::string EventName(const char* what, DWORD pid) { return std::string("nx_browseedit_") + what + std::to_string(pid); }

}  // namespace

// Enter on the browse starts editing the current cell; the accepted text is
// in the file afterwards, a number keeps its field's width, Esc writes
// nothing, and a cell whose text is not its field's is not written back.
TEST_F(Table, EnterEditsAndTheFileHoldsTheText) {
  b->lAutoEdit = true;
  WithPopup({[] {
               PostChars("Quinces");
               PostKey(VK_RETURN);
             }},
            [&] { SendMessageA(b->hWnd, WM_KEYDOWN, VK_RETURN, 1); });
  EXPECT_EQ(Record(1), " Quinces       1.50F");
  // The lock is gone: another handle can take the record.
  ASSERT_TRUE(DbUseArea(true, "", path, "OTHER", true));
  EXPECT_TRUE(RLock(1));
  DbCloseArea();

  b->GoDown();
  WithPopup({[] {
               PostChars("42.75");
               PostKey(VK_RETURN);
             }},
            [&] { b->Edit(2); });
  EXPECT_EQ(Record(2), " Pears        42.75F");

  // A double click on the current line edits the cell under the pointer.
  std::string third = Record(3);
  b->GoDown();
  int h = browsetest::LineHeight(browsetest::TestHFont());
  WithPopup({[] {
               PostChars("Gone");
               PostKey(VK_ESCAPE);
             }},
            [&] { SendMessageA(b->hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 3 * h + h / 2)); });
  b->bLine = [](TWBrowse&) { return Array{Value("PLUMS"), Value("3.25"), Value(".F.")}; };
  WithPopup({[] {
               PostChars("Other");
               PostKey(VK_RETURN);
             }},
            [&] { b->Edit(1); });
  EXPECT_EQ(Record(3), third);
}

TEST(TableLock, DISABLED_Holder) {
  // Run as a child: holds record 1 until told to let go.
  const char* table = std::getenv("NX_EDIT_TABLE");
  ASSERT_NE(table, nullptr);
  ASSERT_TRUE(DbUseArea(true, "", table, "HOLDER", true));
  ASSERT_TRUE(RLock(1));
  DWORD parentPid = DWORD(std::stoul(std::getenv("NX_EDIT_PARENT")));
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, EventName("ready", parentPid).c_str());
  HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, EventName("release", parentPid).c_str());
  ASSERT_TRUE(ready && release);
  SetEvent(ready);
  WaitForSingleObject(release, INFINITE);
  CloseHandle(ready);
  CloseHandle(release);
}

// Another program holds the record: the user is told and nothing is edited.
TEST_F(Table, ARecordLockedByAnotherProgramIsNotEdited) {
  DWORD pid = GetCurrentProcessId();
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, EventName("ready", pid).c_str());
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, EventName("release", pid).c_str());
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  SetEnvironmentVariableA("NX_EDIT_TABLE", path.c_str());
  SetEnvironmentVariableA("NX_EDIT_PARENT", std::to_string(pid).c_str());
  std::string cmd = std::string("\"") + self + "\" --gtest_filter=TableLock.DISABLED_Holder --gtest_also_run_disabled_tests";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  HANDLE waits[] = {ready, pi.hProcess};
  ASSERT_EQ(WaitForMultipleObjects(2, waits, FALSE, INFINITE), WAIT_OBJECT_0) << "the lock holder ended early";

  std::string before = Record(1);
  {
    nxtest::MessageBoxes boxes;
    const auto& seen = nxtest::MessageBoxes::seen;
    b->Edit(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].rfind("Please, try again|", 0), 0u) << seen[0];
    EXPECT_NE(seen[0].find("|Record locked!"), std::string::npos) << seen[0];
  }
  EXPECT_EQ(Popup(), nullptr);
  EXPECT_EQ(Record(1), before);

  SetEvent(release);
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(ready);
  CloseHandle(release);
}
