#include "classes/timer.h"

#include <algorithm>
#include <utility>

#include "classes/window.h"
#include "native/dispatch.h"
#include "native/msgbar.h"

namespace nx {

namespace {
std::vector<TTimerPtr> g_timers;
UINT_PTR g_nextId = 1;

// Held: the action may end the timer and drop it from the list.
void Run(TTimerPtr timer) {
  if (timer->lActive && timer->bAction) {
    auto action = timer->bAction;  // the action may replace itself
    action();
  }
}

// A timer without an owner window is the thread's: its WM_TIMER reaches no
// window procedure, so the system calls this with the id it gave the timer.
void CALLBACK ThreadTimerTick(HWND, UINT, UINT_PTR nId, DWORD) {
  auto it = std::find_if(g_timers.begin(), g_timers.end(),
                         [&](const TTimerPtr& t) { return t->nId == nId && !t->hWndOwner; });
  if (it == g_timers.end()) return;
  GuardedCall("TTIMER:ACTION", [timer = *it] { Run(timer); });
}
}  // namespace

const std::vector<TTimerPtr>& TimerList() { return g_timers; }

TTimerPtr TTimer::New(int nInterval, std::function<void()> bAction, const std::shared_ptr<TWindow>& oWnd) {
  auto t = std::make_shared<TTimer>();
  t->nInterval = nInterval;
  t->bAction = bAction ? std::move(bAction) : [] {};
  t->nId = g_nextId++;
  t->hWndOwner = oWnd ? oWnd->hWnd : GetActiveWindow();
  g_timers.push_back(t);
  return t;
}

void TTimer::Activate() {
  // A timer the platform refuses keeps its id and stays inactive.
  if (UINT_PTR id = SETTIMER(hWndOwner, nId, UINT(std::max(nInterval, 0)), hWndOwner ? nullptr : ThreadTimerTick)) {
    nId = id;
    lActive = true;
  }
}

void TTimer::DeActivate() {
  lActive = false;
  KILLTIMER(hWndOwner, nId);
}

void TTimer::End() {
  DeActivate();
  auto it = std::find_if(g_timers.begin(), g_timers.end(), [this](const TTimerPtr& t) { return t.get() == this; });
  if (it != g_timers.end()) g_timers.erase(it);
}

bool TIMEREVENT(UINT_PTR nId, HWND hWnd) {
  auto it = std::find_if(g_timers.begin(), g_timers.end(), [&](const TTimerPtr& t) {
    return t->nId == nId && (!hWnd || t->hWndOwner == hWnd);
  });
  if (it == g_timers.end()) return false;
  Run(*it);
  return true;
}

}  // namespace nx
