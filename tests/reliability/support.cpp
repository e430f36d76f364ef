#include "support.h"

#include <cstdio>

#include "rt/strings.h"

using namespace nx;

namespace rel {

ArrayPtr Table(int rows) {
  auto t = NewArray();
  for (int n = 1; n <= rows; ++n)
    AAdd(t, Value(NewArray({Value("Row " + StrZero(Value(n), 4)), Value(n), Value(n % 2 == 0)})));
  return t;
}

Scene MakeScene(int rows, const std::string& title) {
  Scene s;
  s.table = Table(rows);
  s.wnd = TWindow::New({.nTop = 10, .nLeft = 10, .nBottom = 410, .nRight = 510, .cTitle = title, .lPixel = true});
  s.brw = TWBrowse::New({.nRow = 0,
                         .nCol = 0,
                         .nWidth = 480,
                         .nHeight = 360,
                         .bLine = [](TWBrowse&) { return Array(3, Value("")); },
                         .aColSizes = std::vector<int>{120, 80, 60},
                         .oWnd = s.wnd,
                         .lPixel = true});
  std::weak_ptr<Array> weak = s.table;
  s.brw->bLine = [weak](TWBrowse& b) {
    ArrayPtr t = weak.lock();
    if (!t) return Array(3, Value(""));
    // .at(): a row outside the array is an application fault, not silence.
    return *t->at(size_t(b.nAtRow() - 1)).AsArray();
  };
  s.brw->SetArray(s.table);
  return s;
}

namespace {
DWORD g_now = 1000;
}

FakeClock::FakeClock(DWORD realSleep) {
  previous_ = SetBrowseClock({.tick = [] { return g_now += 5; },
                              .sleep = [realSleep](DWORD ms) {
                                g_now += ms;
                                if (realSleep) Sleep(realSleep);
                              }});
}

FakeClock::~FakeClock() { SetBrowseClock(previous_); }

int LineY(const TWBrowse& brw, int line) {
  RECT r{};
  GetClientRect(brw.hWnd, &r);
  int first = -1, last = -1;
  for (int y = 0; y < r.bottom; ++y) {
    if (NWROW(brw.hWnd, nullptr, y, brw.FontHandle()) == line) {
      if (first < 0) first = y;
      last = y;
    }
  }
  return first < 0 ? 0 : (first + last) / 2;
}

void PointerOver(HWND hWnd) {
  RECT r{};
  GetWindowRect(hWnd, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void PostDrag(HWND hWnd, const TWBrowse& brw, int from, int to) {
  const int x = 30;
  PostMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, LineY(brw, from)));
  int step = to < from ? -1 : 1;
  for (int line = from + step; line != to + step; line += step)
    PostMessageA(hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, LineY(brw, line)));
  PostMessageA(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, LineY(brw, to)));
}

namespace {
std::function<void()> g_pending;
void CALLBACK RunPending(HWND h, UINT, UINT_PTR id, DWORD) {
  KillTimer(h, id);
  auto f = std::move(g_pending);
  if (f) f();
}
}  // namespace

void InLoop(HWND hWnd, std::function<void()> fn) {
  g_pending = std::move(fn);
  SetTimer(hWnd, 0x5EED, 1, RunPending);
}

DWORD WINAPI HangGuard::Watch(LPVOID self) {
  auto* g = static_cast<HangGuard*>(self);
  if (WaitForSingleObject(g->done_, g->ms_) == WAIT_TIMEOUT) {
    fprintf(stderr, "reliability: hang guard fired\n");
    ExitProcess(99);
  }
  return 0;
}

HangGuard::HangGuard(DWORD milliseconds) : done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), ms_(milliseconds) {
  thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
}

HangGuard::~HangGuard() {
  SetEvent(done_);
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  CloseHandle(done_);
}

}  // namespace rel
