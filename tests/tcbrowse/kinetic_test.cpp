// The kinetic drag and glide of the browse, inherited unchanged: the same
// mouse messages with the same substituted clock move a column browse and a
// plain browse over the same rows to the same place with the same pauses.
#include <filesystem>

#include "support.h"
#include "native/browse.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;
using namespace tctest;

namespace {

constexpr int kRows = 1000, kLines = 20, kX = 150;

struct Outcome {
  std::vector<DWORD> pauses;
  std::vector<std::pair<int, int>> stops;  // { nAt, nRowPos } after each gesture
};

// Rows "R0001".. in three 100-pixel columns.
ArrayPtr Rows() {
  auto t = NewArray();
  for (int n = 1; n <= kRows; ++n) {
    auto row = NewArray();
    for (const char* p : {"R", "A", "B"}) AAdd(row, Value(p + StrZero(Value(n), 5)));
    AAdd(t, Value(row));
  }
  return t;
}

// Drives a browse: a slow drag, a fast flick up that glides, a flick down
// whose glide a click stops, and a press and release without a move.
Outcome Drive(TWBrowse& b, int lh) {
  Outcome out;
  DWORD now = 1000;
  BrowseClock previous = SetBrowseClock({[&] { return now; }, [&](DWORD ms) {
                                           out.pauses.push_back(ms);
                                           now += ms;
                                           // A click arrives during the third glide's 5th step.
                                           if (out.stops.size() == 2 && out.pauses.size() == 45)
                                             PostMessageA(b.hWnd, WM_LBUTTONDOWN, MK_LBUTTON,
                                                          MAKELPARAM(kX, 10 * lh + lh / 2));
                                         }});
  auto send = [&](UINT msg, int line, DWORD t) {
    now = t;
    SendMessageA(b.hWnd, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(kX, line * lh + lh / 2));
  };
  auto stop = [&] { out.stops.emplace_back(b.nAtRow(), b.nRowPos); };
  b.nAt = 500;
  b.nRowPos = 10;
  b.VSetPos(500);
  // Slow: 4 lines in 2 seconds, no glide.
  send(WM_LBUTTONDOWN, 10, 1000);
  for (int i = 1; i <= 4; ++i) send(WM_MOUSEMOVE, 10 - i, 1000 + DWORD(500 * i));
  send(WM_LBUTTONUP, 6, 3000);
  stop();
  // Fast up: 10 lines in 50 ms, the longest glide.
  send(WM_LBUTTONDOWN, 18, 5000);
  for (int i = 1; i <= 10; ++i) send(WM_MOUSEMOVE, 18 - i, 5000 + DWORD(5 * i));
  send(WM_LBUTTONUP, 8, 5050);
  stop();
  // Fast down, stopped by the click posted during its pauses.
  send(WM_LBUTTONDOWN, 3, 9000);
  for (int i = 1; i <= 10; ++i) send(WM_MOUSEMOVE, 3 + i, 9000 + DWORD(5 * i));
  send(WM_LBUTTONUP, 13, 9050);
  Pump();
  stop();
  send(WM_LBUTTONDOWN, 12, 12000);
  send(WM_LBUTTONUP, 12, 12000);
  stop();
  SetBrowseClock(previous);
  return out;
}

// A window of `lines` whole data lines holding the browse.
void Fit(TWindow& w, TWBrowse& b, int lh) {
  RECT outer{}, client{};
  GetWindowRect(b.hWnd, &outer);
  GetClientRect(b.hWnd, &client);
  int frame = (outer.bottom - outer.top) - client.bottom;
  SetWindowPos(b.hWnd, nullptr, 0, 0, 400, frame + (kLines + 1) * lh + lh / 2, SWP_NOZORDER | SWP_NOMOVE);
  w.Show();
  UpdateWindow(b.hWnd);
  Pump();
}

}  // namespace

TEST(ColumnKinetics, DragAndGlideAsThePlainBrowse) {
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
  ArrayPtr rows = Rows();
  int lh = FontLineHeight();
  Outcome plain, columns;
  {
    TWindowPtr w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 700, .nRight = 500, .lPixel = true});
    auto b = TWBrowse::New({.nWidth = 400,
                            .nHeight = 300,
                            .bLine = [rows](TWBrowse& brw) {
                              Value row = AGet(rows, size_t(brw.nAtRow()));
                              return row.IsArray() ? *row.AsArray() : Array(3, Value(""));
                            },
                            .aColSizes = std::vector<int>{100, 100, 100},
                            .oWnd = w,
                            .oFont = TestFont(),
                            .lPixel = true});
    b->SetArray(rows);
    Fit(*w, *b, lh);
    plain = Drive(*b, lh);
    DestroyWindow(w->hWnd);
    Pump();
  }
  {
    TWindowPtr w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 700, .nRight = 500, .lPixel = true});
    auto b = TCBrowse::New({.nWidth = 400, .nHeight = 300, .oWnd = w, .oFont = TestFont(), .cAlias = "", .lPixel = true});
    b->SetArray(rows);
    TCBrowse* brw = b.get();
    for (size_t c = 1; c <= 3; ++c) {
      auto col = TCColumn::New({.cHeading = std::to_string(c), .bData = [brw, c](std::optional<Value>) {
                                  Value row = AGet(brw->aArray, size_t(brw->nAtRow()));
                                  return row.IsArray() ? AGet(row.AsArray(), c) : Value();
                                }});
      col->nWidth = 100;
      b->AddColumn(col);
    }
    b->Default();
    Fit(*w, *b, lh);
    columns = Drive(*b, lh);
    DestroyWindow(w->hWnd);
    Pump();
  }
  // The plain browse's own outcome, as its tests know it: the slow drag
  // kept row 500 under the pointer, the flick glided 40 rows, the click
  // stopped the next glide early, and a still click selects its row.
  ASSERT_EQ(plain.stops.size(), 4u);
  EXPECT_EQ(plain.stops[0], (std::pair<int, int>{500, 6}));
  EXPECT_EQ(plain.pauses.size(), 45u);
  EXPECT_EQ(columns.pauses, plain.pauses);
  EXPECT_EQ(columns.stops, plain.stops);
}

// Over a work area the glide starts from the row on the edge line, as over
// an array: the rows do not jump back to the pressed row first.
TEST(ColumnKinetics, FlingOverAWorkAreaGlidesFromTheEdgeLine) {
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
  auto dir = std::filesystem::temp_directory_path() / ("nxtck" + std::to_string(GetCurrentProcessId()));
  std::filesystem::create_directories(dir);
  std::string path = (dir / "rows.dbf").string();
  ASSERT_TRUE(DbCreate(path, Value(NewArray({Value(NewArray({Value("N"), Value("N"), Value(5), Value(0)}))}))));
  ASSERT_TRUE(DbUseArea(true, "", path, "ROWS", false));
  for (int n = 1; n <= 300; ++n) {
    DbAppend();
    FieldPut(1, Value(n));
  }
  {
    TWindowPtr w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 700, .nRight = 500, .lPixel = true});
    auto b = TCBrowse::New({.nWidth = 400, .nHeight = 300, .oWnd = w, .oFont = TestFont(), .cAlias = "ROWS",
                            .lPixel = true});
    b->AddColumn(TCColumn::New({.cHeading = "N", .bData = [](std::optional<Value>) {
                                  return InAlias("ROWS", [] { return FieldGet(1); });
                                }}));
    b->Default();
    int lh = FontLineHeight();
    Fit(*w, *b, lh);
    ASSERT_EQ(b->nRowCount(), kLines);
    InAlias("ROWS", [] { DbGoTo(100); });
    b->nRowPos = 10;
    b->Refresh();
    Pump();
    std::vector<DWORD> pauses;
    DWORD now = 1000;
    BrowseClock previous = SetBrowseClock({[&] { return now; }, [&](DWORD ms) {
                                             pauses.push_back(ms);
                                             now += ms;
                                           }});
    auto send = [&](UINT msg, int line, DWORD t) {
      now = t;
      SendMessageA(b->hWnd, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(kX, line * lh + lh / 2));
    };
    send(WM_LBUTTONDOWN, 18, 1000);
    EXPECT_EQ(InAlias("ROWS", [] { return RecNo(); }), 108);
    for (int i = 1; i <= 10; ++i) send(WM_MOUSEMOVE, 18 - i, 1000 + DWORD(5 * i));
    EXPECT_EQ(b->nRowPos, 8);
    send(WM_LBUTTONUP, 8, 1050);
    SetBrowseClock(previous);
    // Rows 101 to 120 were on the screen; 120, on the last line, became
    // current and 40 more rows glided by.
    EXPECT_EQ(pauses.size(), 40u);
    EXPECT_EQ(b->nRowPos, kLines);
    EXPECT_EQ(InAlias("ROWS", [] { return RecNo(); }), 160);
    DestroyWindow(w->hWnd);
    Pump();
  }
  DbCloseAll();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
