// Shared scaffolding of the reliability tests: a browse over an array in a
// top-level window, a substituted clock that makes glides instant, drags
// made of real posted mouse messages, and a hang guard.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "classes/wbrowse.h"
#include "classes/window.h"
#include "native/browse.h"
#include "rt/value.h"

namespace rel {

nx::ArrayPtr Table(int rows);

struct Scene {
  nx::TWindowPtr wnd;
  nx::TWBrowsePtr brw;
  nx::ArrayPtr table;
};
// A window with a browse filling it, over `rows` rows of three columns. The
// row block reads the table strictly (std::vector::at): a row asked for
// outside the array throws, which the dispatch turns into a runtime error.
Scene MakeScene(int rows, const std::string& title = "reliability");

// Glides run on a clock that only moves when read or slept on; realSleep
// also waits that many real milliseconds per pause (so timers come due).
class FakeClock {
 public:
  explicit FakeClock(DWORD realSleep = 0);
  ~FakeClock();
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

 private:
  nx::BrowseClock previous_;
};

// Client y of the middle of screen line `line` of the browse.
int LineY(const nx::TWBrowse& brw, int line);
// Puts the real pointer over the browse: the mouse-leave tracking the
// browse requests would otherwise end every posted drag at once.
void PointerOver(HWND hWnd);
// Posts a press on line `from`, moves line by line to `to`, and a release:
// fast on the fake clock, so the release starts a glide.
void PostDrag(HWND hWnd, const nx::TWBrowse& brw, int from, int to);

// Runs fn from inside the application loop, once it is running.
void InLoop(HWND hWnd, std::function<void()> fn);

// Ends the program with exit code 99 if the scope is not left in time: a
// hang becomes a failure instead of a stuck test run.
class HangGuard {
 public:
  explicit HangGuard(DWORD milliseconds = 120000);
  ~HangGuard();

 private:
  static DWORD WINAPI Watch(LPVOID self);
  HANDLE done_;
  HANDLE thread_;
  DWORD ms_;
};

}  // namespace rel
