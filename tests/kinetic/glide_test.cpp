// Drag speed and glide with a substituted clock, so that speeds and pauses
// are exact. Mouse messages go through the window procedure as in life.
#include "kinetic/rig.h"

using namespace kin;

namespace {

constexpr int kX = 150;  // inside column 2: no sideways column moves

void Press(Rig& r, FakeClock& c, int line, DWORD t) {
  c.now = t;
  SendMessageA(r.b->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kX, r.Y(line)));
}
void Move(Rig& r, FakeClock& c, int line, DWORD t) {
  c.now = t;
  SendMessageA(r.b->hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kX, r.Y(line)));
}
void Release(Rig& r, FakeClock& c, int line, DWORD t) {
  c.now = t;
  SendMessageA(r.b->hWnd, WM_LBUTTONUP, 0, MAKELPARAM(kX, r.Y(line)));
}
// One move per line from `from` (exclusive) to `to`, evenly from t0 to t1.
void DragLines(Rig& r, FakeClock& c, int from, int to, DWORD t0, DWORD t1) {
  int n = std::abs(to - from), step = to > from ? 1 : -1;
  for (int i = 1; i <= n; ++i) Move(r, c, from + i * step, t0 + DWORD(int64_t(t1 - t0) * i / n));
}

}  // namespace

// Speed is lines per 4000 ms; a glide needs more than 50 and runs
// Int(speed / 8) rows with pauses of i * 160 / (speed / 8) ms, at most 120.
// The rule's own cases (threshold, turning back) are tested on the host.
TEST(GlideSpeed, ThreeLinesIn400msIsSpeed30AndDoesNotGlide) {
  Rig r(1000);
  FakeClock c;
  r.Place(100, 10);
  Press(r, c, 10, 1000);
  DragLines(r, c, 10, 13, 1000, 1400);
  Release(r, c, 13, 1400);
  EXPECT_TRUE(c.pauses.empty());
  // The grabbed row followed the pointer and stays there.
  EXPECT_EQ(r.b->nAtRow(), 100);
  EXPECT_EQ(r.b->nRowPos, 13);
  EXPECT_EQ(r.Top(), 88);
}

TEST(GlideSpeed, SixLinesIn400msIsSpeed60AndGlidesSevenRows) {
  Rig r(1000);
  FakeClock c;
  r.Place(200, 5);
  Press(r, c, 5, 1000);
  DragLines(r, c, 5, 11, 1000, 1400);
  EXPECT_EQ(r.Top(), 190);
  Release(r, c, 11, 1400);
  // n = 7.5 steps, unit 160 / 7.5 ms.
  EXPECT_EQ(c.pauses, (std::vector<DWORD>{21, 42, 64, 85, 106, 120, 120}));
  // Pointer moved down: the first line's row became current and the rows
  // went on down seven rows.
  EXPECT_EQ(r.b->nRowPos, 1);
  EXPECT_EQ(r.b->nAtRow(), 183);
  // The scroll bar stands for the current row after the drag and the glide.
  EXPECT_EQ(r.b->VGetPos(), 183);
  EXPECT_EQ(GetScrollPos(r.b->hWnd, SB_VERT), 183);
}

TEST(GlideSpeed, UpwardFlickGlidesTowardsLaterRows) {
  Rig r(1000);
  FakeClock c;
  r.Place(300, 15);
  Press(r, c, 15, 1000);
  // The first upward move starts the measurement.
  Move(r, c, 14, 1000);
  DragLines(r, c, 14, 8, 1000, 1400);
  EXPECT_EQ(r.Top(), 293);
  Release(r, c, 8, 1400);
  EXPECT_EQ(c.pauses.size(), 7u);
  EXPECT_EQ(r.b->nRowPos, 20);
  EXPECT_EQ(r.b->nAtRow(), 293 + 19 + 7);
}

TEST(GlideSpeed, PressAndReleaseInTheSameTickNeverGlide) {
  Rig r(1000);
  FakeClock c;
  r.Place(200, 5);
  Press(r, c, 5, 1000);
  DragLines(r, c, 5, 15, 1000, 1000);
  Release(r, c, 15, 1000);
  EXPECT_TRUE(c.pauses.empty());
  // Without a move, however long, there is no speed either.
  Press(r, c, 15, 2000);
  Release(r, c, 15, 2001);
  EXPECT_TRUE(c.pauses.empty());
}

TEST(GlideEnds, TowardsTheStartStopsOnElementOne) {
  Rig r(1000);
  FakeClock c;
  r.Place(14, 5);
  Press(r, c, 5, 1000);
  DragLines(r, c, 5, 11, 1000, 1400);
  EXPECT_EQ(r.Top(), 4);
  Release(r, c, 11, 1400);
  // Rows 3, 2, 1: no pause after the step that reached element 1.
  EXPECT_EQ(c.pauses.size(), 2u);
  EXPECT_EQ(r.b->nAtRow(), 1);
  EXPECT_EQ(r.b->nRowPos, 1);
}

TEST(GlideEnds, TowardsTheEndStopsOnTheLastElement) {
  Rig r(1000);
  FakeClock c;
  r.Place(985, 15);
  Press(r, c, 15, 1000);
  Move(r, c, 14, 1000);
  DragLines(r, c, 14, 8, 1000, 1400);
  EXPECT_EQ(r.Top(), 978);
  Release(r, c, 8, 1400);
  // Rows 998, 999, 1000.
  EXPECT_EQ(c.pauses.size(), 2u);
  EXPECT_EQ(r.b->nAtRow(), 1000);
  EXPECT_EQ(r.b->nRowPos, 20);
}

TEST(GlideEnds, DestroyDuringAGlideEndsItAtTheNextStep) {
  Rig r(1000);
  FakeClock c;
  r.Place(200, 5);
  Press(r, c, 5, 1000);
  DragLines(r, c, 5, 11, 1000, 1400);
  int steps = 0;
  r.b->bChange = [&](TWBrowse&) { ++steps; };
  HWND main = r.w->hWnd, hBrw = r.b->hWnd;
  c.onSleep = [&](size_t step) {
    if (step == 3) DestroyWindow(main);
  };
  // Only the window procedure's own reference keeps the browse alive now.
  std::weak_ptr<TWBrowse> weak = r.b;
  r.b.reset();
  r.w.reset();
  SendMessageA(hBrw, WM_LBUTTONUP, 0, MAKELPARAM(kX, 11 * r.h + r.h / 2));
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(c.pauses.size(), 3u);
  EXPECT_FALSE(IsWindow(hBrw));
  EXPECT_TRUE(weak.expired());
}

TEST(DragFollows, DraggingOntoTheHeaderKeepsTheCurrentRowOnADataLine) {
  Rig r(1000);
  FakeClock c;
  r.Place(100, 3);
  Press(r, c, 3, 1000);
  DragLines(r, c, 3, 0, 1000, 4000);
  EXPECT_GE(r.b->nRowPos, 1);
  EXPECT_EQ(r.Top() + r.b->nRowPos - 1, r.b->nAtRow());
  Release(r, c, 0, 4000);
  EXPECT_GE(r.b->nRowPos, 1);
}

TEST(DragFollows, ShortArrayKeepsTheCurrentElementInRange) {
  // 10 rows on a 20-line screen: the data ends on the screen.
  Rig r(10);
  FakeClock c;
  r.Place(5, 5);
  Press(r, c, 5, 1000);
  Move(r, c, 4, 1100);  // up one line: the highlight follows onto row 4
  EXPECT_EQ(r.b->nAtRow(), 4);
  EXPECT_EQ(r.b->nRowPos, 4);
  EXPECT_EQ(r.Top(), 1);
  Move(r, c, 9, 1200);  // down five lines at once
  EXPECT_GE(r.Top(), 1);
  EXPECT_GE(r.b->nAtRow(), 1);
  EXPECT_LE(r.b->nAtRow(), 10);
  Release(r, c, 9, 5000);
  r.Paint();
  EXPECT_GE(r.Top(), 1);
  EXPECT_LE(r.b->nAtRow(), 10);
}

TEST(DragFollows, JumpOfSeveralLinesNearTheTopKeepsRowOneOnTheScreen) {
  Rig r(1000);
  FakeClock c;
  r.Place(2, 2);
  Press(r, c, 2, 1000);
  Move(r, c, 8, 1100);
  EXPECT_GE(r.Top(), 1);
  EXPECT_EQ(r.Top() + r.b->nRowPos - 1, r.b->nAtRow());
  Release(r, c, 8, 5000);
}

namespace {

// Posts what it is told to when its own message comes: a message handled in
// the glide's pump, so the click lands in the middle of the drain, after
// the glide looked for a waiting click.
struct Relay {
  HWND hWnd = nullptr;
  std::vector<MSG> toPost;
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_APP) {
      auto* self = reinterpret_cast<Relay*>(GetWindowLongPtrA(h, GWLP_USERDATA));
      for (const MSG& msg : self->toPost) PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
      return 0;
    }
    return DefWindowProcA(h, m, w, l);
  }
  Relay() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "NxGlideRelay";
    RegisterClassA(&wc);
    hWnd = CreateWindowExA(0, "NxGlideRelay", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, LONG_PTR(this));
  }
  ~Relay() { DestroyWindow(hWnd); }
};

}  // namespace

// While a glide runs no button message reaches the browse's handlers: the
// first stops the glide, the rest of that click is eaten, wherever in the
// step the click comes, and the next click after the glide is a press again.
TEST(GlideClicks, AClickAnywhereInAStepStopsTheGlideAndIsNoPress) {
  enum When { InTheDrain, BeforeThePause };
  struct Case {
    const char* name;
    When when;
    std::vector<UINT> messages;
  };
  const Case cases[] = {
      {"click in the drain", InTheDrain, {WM_LBUTTONDOWN, WM_LBUTTONUP}},
      {"double click in the drain", InTheDrain, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
      {"click before the pause", BeforeThePause, {WM_LBUTTONDOWN, WM_LBUTTONUP}},
      {"double click before the pause", BeforeThePause,
       {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r(1000);
    FakeClock clock;
    Relay relay;
    r.Place(100, 15);
    int presses = 0, releases = 0, doubles = 0;
    r.b->bLClicked = [&](int, int, int, TWindow&) { return ++presses, Value(); };
    r.b->bLButtonUp = [&](int, int, int, TWindow&) { return ++releases, Value(); };
    r.b->bLDblClick = [&](int, int, int, TWindow&) { return ++doubles, Value(); };
    for (UINT m : c.messages) {
      MSG msg{};
      msg.hwnd = r.b->hWnd;
      msg.message = m;
      msg.wParam = m == WM_LBUTTONUP ? 0u : MK_LBUTTON;
      msg.lParam = MAKELPARAM(kX, r.Y(5));
      relay.toPost.push_back(msg);
    }
    clock.onSleep = [&](size_t step) {
      if (step != 3) return;
      if (c.when == InTheDrain) PostMessageA(relay.hWnd, WM_APP, 0, 0);
      else Relay::Proc(relay.hWnd, WM_APP, 0, 0);
    };
    // A flick upwards of ten lines in 100 ms: a full glide of 40 rows.
    Press(r, clock, 15, 1000);
    DragLines(r, clock, 15, 5, 1000, 1100);
    Release(r, clock, 5, 1100);
    Pump();  // whatever of the click is left after the glide
    EXPECT_EQ(clock.pauses.size(), 3u);
    EXPECT_EQ(presses, 1);   // the flick's own
    EXPECT_EQ(releases, 1);  // the flick's own
    EXPECT_EQ(doubles, 0);
    // Upwards: row 100 was dragged to line 5, so the last line's row (96 +
    // 19) became current at the release; three steps later it is 118.
    EXPECT_EQ(r.b->nRowPos, 20);
    EXPECT_EQ(r.b->nAtRow(), 118);
    // The next click is a press again.
    Press(r, clock, 5, 5000);
    Release(r, clock, 5, 5001);
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(releases, 2);
    EXPECT_EQ(r.b->nRowPos, 5);
  }
}
