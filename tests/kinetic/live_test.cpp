// The glide with the real clock on a real window: messages are posted and
// the glide's own PEEKMESSAGE and SYSREFRESH meet them as they would in life.
#include "kinetic/rig.h"

#include <cstdio>
#include <cstdlib>

#include "native/dispatch.h"

using namespace kin;

namespace {

constexpr int kX = 150;

LPARAM At(const Rig& r, int line) { return MAKELPARAM(kX, r.Y(line)); }

// Drags are timed on a tick that moves 1 ms per reading, so a flick is fast
// however late a busy machine delivers its messages; the glide's pauses
// are real ones.
struct FastTicks {
  DWORD now = 1000;
  BrowseClock previous = SetBrowseClock({[this] { return ++now; }, {}});
  ~FastTicks() { SetBrowseClock(previous); }
};

// An upward drag of ten lines, each move posted and handled in turn;
// `released` is set just before the button-up message is posted.
void Flick(Rig& r, int from, bool& released) {
  PostMessageA(r.b->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, At(r, from));
  Pump();
  for (int line = from - 1; line >= from - 10; --line) {
    PostMessageA(r.b->hWnd, WM_MOUSEMOVE, MK_LBUTTON, At(r, line));
    Pump();
  }
  released = true;
  PostMessageA(r.b->hWnd, WM_LBUTTONUP, 0, At(r, from - 10));
  Pump();
}

}  // namespace

TEST(GlideLive, PostedClickStopsItAfterTheCurrentStepAndIsNoPress) {
  FastTicks ticks;
  Rig r(1000);
  r.Place(100, 1);
  int presses = 0, steps = 0;
  bool released = false;
  r.b->bLClicked = [&](int, int, int, TWindow&) {
    ++presses;
    return Value();
  };
  r.b->bChange = [&](TWBrowse& b) {
    if (!released) return;
    if (++steps == 3) {
      PostMessageA(b.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, At(r, 5));
      PostMessageA(b.hWnd, WM_LBUTTONUP, 0, At(r, 5));
    }
  };
  Flick(r, 15, released);
  Pump();  // the rest of the click, after the glide
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(steps, 3);
  // At release the last line's row became current: 100 + 10 + 19, then three
  // steps; a press on line 5 would have made line 5 current.
  EXPECT_EQ(r.b->nRowPos, 20);
  EXPECT_EQ(r.b->nAtRow(), 129 + 3);
}

namespace {
struct CloseScript {
  Rig* rig = nullptr;
  int tick = 0, steps = 0;
  bool released = false;
} g_script;

// Drives the flick from the application loop, one message per timer tick.
void CALLBACK FlickTick(HWND hWnd, UINT, UINT_PTR id, DWORD) {
  Rig& r = *g_script.rig;
  int t = g_script.tick++;
  if (t == 0) {
    PostMessageA(r.b->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, At(r, 15));
  } else if (t <= 10) {
    PostMessageA(r.b->hWnd, WM_MOUSEMOVE, MK_LBUTTON, At(r, 15 - t));
  } else {
    KillTimer(hWnd, id);
    g_script.released = true;
    PostMessageA(r.b->hWnd, WM_LBUTTONUP, 0, At(r, 5));
  }
}

void CALLBACK GiveUp(HWND hWnd, UINT, UINT_PTR, DWORD) { PostMessageA(hWnd, WM_CLOSE, 0, 0); }
}  // namespace

TEST(GlideLiveDeathTest, ClosingTheMainWindowDuringAGlideEndsTheProgramCleanly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        FastTicks ticks;
        Rig r(1000);
        g_script.rig = &r;
        r.b->bChange = [](TWBrowse&) {
          if (g_script.released && ++g_script.steps == 3) PostMessageA(g_script.rig->w->hWnd, WM_CLOSE, 0, 0);
        };
        SetTimer(r.w->hWnd, 1, 10, FlickTick);
        SetTimer(r.w->hWnd, 2, 60000, GiveUp);  // a hang guard only
        r.w->Activate({.cShow = "NORMAL"});
        // The loop ended with the main window, the glide with the browse.
        bool gone = !r.w->hWnd && !r.b->hWnd && !LWRUNNING();
        std::fprintf(stderr, "loop ended, windows %s, %d glide steps\n", gone ? "gone" : "left", g_script.steps);
        std::fflush(stderr);
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "loop ended, windows gone, 3 glide steps");
}
