// Timers through the real message loop: platform ticks reach the action,
// a timer ended by its own action stops, foreign ids keep their default
// processing, and a long run of bar ticks leaves no handle behind.
#include <gtest/gtest.h>

#include <stdexcept>

#include "classes/timer.h"
#include "rt/error.h"
#include "native/draw.h"
#include "native/msgbar.h"
#include "support.h"

using namespace nx;
using namespace msgtest;

TEST(Timer, PlatformTicksRunTheActionThroughTheLoop) {
  auto w = TWindow::New({.cTitle = "timers"});
  int ticks = 0;
  auto t = TTimer::New(10, [&] { ++ticks; }, w);
  EXPECT_EQ(t->hWndOwner, w->hWnd);
  EXPECT_FALSE(t->lActive);
  ASSERT_EQ(TimerList().back(), t);
  auto later = TTimer::New(10, {}, w);
  EXPECT_EQ(later->nId, t->nId + 1);
  later->End();

  t->Activate();
  ASSERT_TRUE(t->lActive);
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 5; }));
  t->DeActivate();
  EXPECT_FALSE(KILLTIMER(w->hWnd, t->nId)) << "the platform timer is gone";
  const int stopped = ticks;
  // Listed but inactive: a tick that still arrives runs nothing.
  SendMessageA(w->hWnd, WM_TIMER, t->nId, 0);
  EXPECT_EQ(ticks, stopped);
  t->Activate();
  ASSERT_TRUE(PumpUntil([&] { return ticks >= stopped + 3; }));
  t->End();
  EXPECT_EQ(std::count(TimerList().begin(), TimerList().end(), t), 0);
  DestroyWindow(w->hWnd);
}

TEST(Timer, EndedInsideItsOwnActionStopsCleanly) {
  auto w = TWindow::New({.cTitle = "timers"});
  int ticks = 0, witness = 0;
  std::weak_ptr<TTimer> weak;
  {
    auto t = TTimer::New(10, {}, w);
    weak = t;
    t->bAction = [&ticks, &weak] {
      if (++ticks == 3) {
        auto self = weak.lock();
        self->bAction = [] {};  // the running action is replaced, then the timer dropped
        self->End();
      }
    };
    t->Activate();
  }  // only the list holds it now
  auto other = TTimer::New(10, [&] { ++witness; }, w);
  other->Activate();
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3 && witness >= ticks + 5; }));
  EXPECT_EQ(ticks, 3);
  EXPECT_TRUE(weak.expired()) << "the list let it go";
  other->End();
  DestroyWindow(w->hWnd);
}

// Without an owner window the timer is the thread's: its ticks still run the
// action from the loop, a failing action reaches the error block, and it stops.
TEST(Timer, WithoutAnOwnerWindowTheTicksStillRunTheAction) {
  int ticks = 0, errors = 0;
  auto t = TTimer::New(10, [&] {
    if (++ticks == 2) throw std::runtime_error("tick failed");
  });
  t->hWndOwner = nullptr;  // as when no window is active
  ErrorHandler saved = ErrorBlock([&](const ErrorPtr&) {
    ++errors;
    return Value();
  });
  t->Activate();
  ASSERT_TRUE(t->lActive);
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 4; }));
  EXPECT_EQ(errors, 1);
  t->DeActivate();
  EXPECT_FALSE(KILLTIMER(nullptr, t->nId)) << "the platform timer is gone";
  t->End();
  ErrorBlock(saved);
}

TEST(Timer, IdsThatAreNotTheLibrarysKeepDefaultProcessing) {
  auto w = TWindow::New({.cTitle = "timers"});
  auto other = TWindow::New({.cTitle = "other"});
  int ticks = 0;
  auto t = TTimer::New(1000, [&] { ++ticks; }, w);
  t->Activate();
  EXPECT_TRUE(w->Timer(t->nId, 0).IsNumber());
  EXPECT_EQ(ticks, 1);
  EXPECT_TRUE(w->Timer(t->nId + 1000, 0).IsNil()) << "a control's own timer";
  EXPECT_TRUE(other->Timer(t->nId, 0).IsNil()) << "the same id on another window";
  EXPECT_EQ(ticks, 1);
  t->End();
  DestroyWindow(other->hWnd);
  DestroyWindow(w->hWnd);
}

namespace {
struct Handles {
  DWORD gdi, user, kernel;
  size_t reg;
  static Handles Now() {
    DWORD kernel = 0;
    GetProcessHandleCount(GetCurrentProcess(), &kernel);
    return {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
            kernel, RESCOUNT()};
  }
};
}  // namespace

// Wine answers 0 GDI and USER objects (Windows counts them); the register
// and the kernel handles count everywhere.
TEST(Timer, TenThousandBarTicksLeaveNoHandleBehind) {
  RESREGISTER(true);
  const bool insert = GetKeyState(VK_INSERT) & 1;
  {
    Scene s({.cMsg = "soak", .lClock = true, .lDate = true, .lKbd = true});
    int n = 0;
    auto counter = TMsgItem::New(s.bar, {.nWidth = 60, .lAdd = true});
    counter->bMsg = [&n] { return Value(n); };  // a new text every tick: every tick paints
    counter->lTimer = true;
    const UINT_PTR id = s.bar->oTimer->nId;
    auto tick = [&](int count) {
      for (int i = 0; i < count; ++i) {
        ++n;
        if (i % 7 == 0) KEYTOGGLE(VK_INSERT);  // the Ins panel changes colour too
        PostMessageA(s.bar->hWnd, WM_TIMER, id, 0);
        if (i % 100 == 99) Pump();
      }
      Pump();
    };
    tick(200);  // warm up: fonts, caches, the 2007-free classic look
    ASSERT_EQ(counter->cMsg, std::to_string(n));
    const Handles before = Handles::Now();
    tick(10000);
    EXPECT_EQ(counter->cMsg, std::to_string(n)) << "every tick was served";
    const Handles after = Handles::Now();
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    EXPECT_LE(after.kernel, before.kernel + 2);
    EXPECT_EQ(after.reg, before.reg);
    if (bool(GetKeyState(VK_INSERT) & 1) != insert) KEYTOGGLE(VK_INSERT);
  }
  EXPECT_EQ(RESCOUNT("TMP"), 0u);
  EXPECT_EQ(RESCOUNT("TMPDC"), 0u);
  RESREGISTER(false);
}
