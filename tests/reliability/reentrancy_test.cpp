// Re-entrancy under real posted messages: the glide pumps messages after
// every step, so the window can close, the browse can go or change its data,
// a modal box can run and timers can fire in the middle of it.
//
// Wine: the mouse-leave tracking watches the real pointer, which on a
// headless display sits anywhere; PointerOver() puts it on the browse so
// posted drags are not cut short (Windows does the same).
#include <gtest/gtest.h>

#include <atomic>

#include "native/dispatch.h"
#include "rt/error.h"
#include "support.h"

using namespace nx;
using rel::FakeClock;
using rel::HangGuard;

namespace {

// Counts errors that reach the error block; answers NIL (default).
struct CountErrors {
  int count = 0;
  std::string last;
  ErrorHandler saved;
  CountErrors() {
    saved = ErrorBlock([this](const ErrorPtr& e) {
      ++count;
      last = e ? e->Description : "";
      return Value();
    });
  }
  ~CountErrors() { ErrorBlock(saved); }
};

}  // namespace

namespace {

// Runs in a child process: the program must get past its main loop and end
// with the code it chooses, not crash inside a dead browse.
[[noreturn]] void CloseMidGlideAndExit() {
  HangGuard guard;
  FakeClock clock;
  CountErrors errors;
  auto s = rel::MakeScene(500);
  int changes = 0, afterClose = 0;
  bool closed = false;
  s.brw->bChange = [&](TWBrowse&) {
    ++changes;
    if (closed) ++afterClose;
    if (changes == 20 && !closed) {
      closed = true;
      PostMessageA(s.wnd->hWnd, WM_CLOSE, 0, 0);
    }
  };
  rel::InLoop(s.wnd->hWnd, [&] {
    rel::PointerOver(s.brw->hWnd);
    rel::PostDrag(s.brw->hWnd, *s.brw, 12, 3);
  });
  s.wnd->Activate();
  // The glide saw the close at its next pump and stopped right there.
  bool ok = closed && afterClose <= 1 && s.brw->hWnd == nullptr && s.wnd->hWnd == nullptr && errors.count == 0 &&
            !LWRUNNING();
  std::exit(ok ? 0 : 3);
}

void CALLBACK CloseFromTimer(HWND h, UINT, UINT_PTR id, DWORD) {
  KillTimer(h, id);
  PostMessageA(h, WM_CLOSE, 0, 0);
}

constexpr const char* kTitle = "reliability modal";

// Another thread closes the box as a user would, by its button.
DWORD WINAPI CloseTheBox(LPVOID flag) {
  for (;;) {
    if (HWND box = FindWindowA(nullptr, kTitle)) {
      static_cast<std::atomic<bool>*>(flag)->store(true);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      return 0;
    }
    Sleep(10);
  }
}

int* g_timersInGlide;
bool* g_gliding;
TWBrowse* g_timerTarget;

void CALLBACK TimerDuringGlide(HWND, UINT, UINT_PTR, DWORD) {
  if (*g_gliding) {
    ++*g_timersInGlide;
    g_timerTarget->Refresh();  // a timer that repaints in the middle of a step
  }
}

}  // namespace

TEST(GlideReentrancy, ClosingTheMainWindowMidGlideEndsTheLoopAndTheProgram) {
  EXPECT_EXIT(CloseMidGlideAndExit(), testing::ExitedWithCode(0), "");
}

TEST(GlideReentrancy, DestroyingTheBrowseInsideAGlideStepStopsItAndFreesIt) {
  HangGuard guard;
  FakeClock clock;
  CountErrors errors;
  auto s = rel::MakeScene(500);
  std::weak_ptr<TWBrowse> weak = s.brw;
  int changes = 0, afterDestroy = 0;
  bool destroyed = false;
  s.brw->bChange = [&](TWBrowse& b) {
    ++changes;
    if (destroyed) ++afterDestroy;
    if (changes == 20 && !destroyed) {
      destroyed = true;
      // Right inside the step: the glide still runs on this object.
      DestroyWindow(b.hWnd);
      SetTimer(s.wnd->hWnd, 1, 1, CloseFromTimer);
    }
  };
  rel::InLoop(s.wnd->hWnd, [&] {
    rel::PointerOver(s.brw->hWnd);
    rel::PostDrag(s.brw->hWnd, *s.brw, 12, 3);
    s.brw.reset();  // the window's control list and the running handler hold it now
  });
  s.wnd->Activate();
  EXPECT_TRUE(destroyed);
  EXPECT_LE(afterDestroy, 1);
  EXPECT_EQ(errors.count, 0) << errors.last;
  s.wnd.reset();
  EXPECT_TRUE(weak.expired()) << "the browse outlived its window";
}

TEST(GlideReentrancy, SwitchingToAShorterArrayMidGlideNeverReadsPastIt) {
  HangGuard guard;
  FakeClock clock(2);
  CountErrors errors;
  auto s = rel::MakeScene(500);
  auto shorter = rel::Table(3);
  int changes = 0;
  bool switched = false;
  std::vector<int> seenAfter;
  s.brw->bChange = [&](TWBrowse& b) {
    ++changes;
    if (switched) seenAfter.push_back(b.nAtRow());
    if (changes == 20 && !switched) {
      switched = true;
      b.SetArray(shorter);
      b.Refresh();
      // Closes in the glide's pumps or after it, whichever comes first.
      SetTimer(s.wnd->hWnd, 1, 1, CloseFromTimer);
    }
  };
  rel::InLoop(s.wnd->hWnd, [&] {
    rel::PointerOver(s.brw->hWnd);
    rel::PostDrag(s.brw->hWnd, *s.brw, 12, 3);
  });
  // Paint once more after the switch, before the window goes.
  s.wnd->bValid = [&](TWindow&) {
    if (s.brw->hWnd) UpdateWindow(s.brw->hWnd);
    return true;
  };
  s.wnd->Activate();
  EXPECT_TRUE(switched);
  // Any row read outside the 3-row array raised an error through the block.
  EXPECT_EQ(errors.count, 0) << errors.last;
  for (int at : seenAfter) {
    EXPECT_GE(at, 1);
    EXPECT_LE(at, 3);
  }
  EXPECT_GE(s.brw->nAtRow(), 1);
  EXPECT_LE(s.brw->nAtRow(), 3);
}

TEST(GlideReentrancy, AGlideStartedInsideANestedPumpStillLetsTheProgramEnd) {
  HangGuard guard;
  FakeClock clock;
  CountErrors errors;
  auto s = rel::MakeScene(500);
  int changes = 0, depth = 0, deepest = 0;
  s.brw->bChange = [&](TWBrowse&) {
    ++changes;
    deepest = std::max(deepest, depth);
    if (changes == 25) PostMessageA(s.wnd->hWnd, WM_CLOSE, 0, 0);
  };
  rel::InLoop(s.wnd->hWnd, [&] {
    rel::PointerOver(s.brw->hWnd);
    rel::PostDrag(s.brw->hWnd, *s.brw, 12, 3);
    // The drag, the glide, the close and its WM_QUIT all run in this pump.
    ++depth;
    SYSREFRESH();
    --depth;
  });
  s.wnd->Activate();  // returns only if the swallowed WM_QUIT reached the loop
  EXPECT_EQ(deepest, 1);
  EXPECT_GE(changes, 25);
  EXPECT_EQ(s.wnd->hWnd, nullptr);
  EXPECT_EQ(errors.count, 0) << errors.last;
}

TEST(GlideReentrancy, AModalBoxOpenedByAHookDuringADragClosesAndTheDragEnds) {
  HangGuard guard;
  FakeClock clock;
  CountErrors errors;
  auto s = rel::MakeScene(500);
  std::atomic<bool> boxSeen{false};
  int boxes = 0, changes = 0, answer = 0;
  HANDLE closer = CreateThread(nullptr, 0, CloseTheBox, &boxSeen, 0, nullptr);
  s.brw->bChange = [&](TWBrowse& b) {
    ++changes;
    if (boxes == 0) {
      ++boxes;
      // The box's own loop dispatches the rest of the drag to this browse.
      answer = MessageBoxA(b.hWnd, "modal during a drag", kTitle, MB_OK);
      PostMessageA(s.wnd->hWnd, WM_CLOSE, 0, 0);
    }
  };
  rel::InLoop(s.wnd->hWnd, [&] {
    rel::PointerOver(s.brw->hWnd);
    rel::PostDrag(s.brw->hWnd, *s.brw, 12, 3);
  });
  s.wnd->Activate();
  WaitForSingleObject(closer, INFINITE);
  CloseHandle(closer);
  EXPECT_TRUE(boxSeen);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(answer, IDOK);
  EXPECT_GT(changes, 1);  // the drag went on around the box
  EXPECT_EQ(errors.count, 0) << errors.last;
}

TEST(GlideReentrancy, TimersFiringDuringAGlideRunOnLiveObjects) {
  HangGuard guard;
  FakeClock clock(15);  // each pause waits past the 10 ms timer below
  CountErrors errors;
  auto s = rel::MakeScene(500);
  int glideSteps = 0, timersInGlide = 0, changes = 0;
  bool gliding = false;
  s.brw->bChange = [&](TWBrowse&) {
    ++changes;
    if (gliding) ++glideSteps;
  };
  s.wnd->bValid = [](TWindow&) { return true; };
  g_timersInGlide = &timersInGlide;
  g_gliding = &gliding;
  g_timerTarget = s.brw.get();
  SetTimer(s.brw->hWnd, 7, 10, TimerDuringGlide);
  // The release message is the last of the drag: mark the glide from there.
  rel::InLoop(s.wnd->hWnd, [&] {
    rel::PointerOver(s.brw->hWnd);
    rel::PostDrag(s.brw->hWnd, *s.brw, 12, 3);
    // Dispatch the press and moves, then mark: only the release is left.
    MSG m;
    while (PeekMessageA(&m, s.brw->hWnd, WM_MOUSEMOVE, WM_LBUTTONDOWN, PM_REMOVE)) DispatchMessageA(&m);
    gliding = true;
    SYSREFRESH();
    gliding = false;
    KillTimer(s.brw->hWnd, 7);
    PostMessageA(s.wnd->hWnd, WM_CLOSE, 0, 0);
  });
  s.wnd->Activate();
  EXPECT_EQ(glideSteps, 40);  // the full course: 40 rows from the 500
  EXPECT_GT(timersInGlide, 0);
  EXPECT_EQ(errors.count, 0) << errors.last;
}
