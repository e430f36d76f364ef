// TTimer: a window timer bound to an owner window. Every created timer is
// kept in one list until End(); WM_TIMER reaches the owner's Timer method,
// which finds the timer by id (TIMEREVENT) and runs its action. A timer with
// no owner (none given and no active window) is the thread's: the system
// gives it its id and its ticks run the action from the message loop.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "rt/value.h"

namespace nx {

class TWindow;
class TTimer;
using TTimerPtr = std::shared_ptr<TTimer>;

class TTimer : public Object {
 public:
  // Joins the timer list, inert until Activate. nId is the next number of a
  // counter that starts at 1. Without oWnd the owner is the active window.
  static TTimerPtr New(int nInterval = 18, std::function<void()> bAction = {},
                       const std::shared_ptr<TWindow>& oWnd = nullptr);
  const char* ClassName() const override { return "TTIMER"; }

  // Starts the platform timer.
  void Activate();
  // Stops it; the timer stays listed and can be activated again.
  void DeActivate();
  // Stops it and leaves the list.
  void End();

  std::function<void()> bAction;
  bool lActive = false;
  UINT_PTR nId = 0;
  int nInterval = 18;
  HWND hWndOwner = nullptr;
  Value Cargo;
};

// The listed timers, oldest first.
const std::vector<TTimerPtr>& TimerList();

// Runs the action of the first listed timer with that id, when it is active.
// With hWnd only timers of that owner count. Answers whether such a timer
// exists (an id that is not the library's is left to the window's own
// procedure).
bool TIMEREVENT(UINT_PTR nId, HWND hWnd = nullptr);

}  // namespace nx
