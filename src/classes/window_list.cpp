// The window list and the handler the library window procedure calls.
#include <algorithm>
#include <utility>

#include "classes/window.h"
#include "native/dispatch.h"
#include "rt/classes.h"

namespace nx {

namespace {
std::vector<TWindowPtr> g_windows;  // nullptr marks a free slot
}  // namespace

const std::vector<TWindowPtr>& GetAllWin() { return g_windows; }
size_t nWindows() { return g_windows.size(); }

TWindowPtr oWndFromHwnd(HWND hWnd) {
  if (!hWnd) return nullptr;
  for (const auto& w : g_windows)
    if (w && w->hWnd == hWnd) return w;
  return nullptr;
}

void TWindow::Link(bool lSubclass) {
  if (!hWnd) return;
  ClassInUse(ClassName());
  auto free = std::find(g_windows.begin(), g_windows.end(), nullptr);
  size_t slot;
  if (free != g_windows.end()) {
    *free = Self();
    slot = size_t(free - g_windows.begin()) + 1;
  } else {
    g_windows.push_back(Self());
    slot = g_windows.size();
  }
  if (lSubclass) {
    SETEVENTROUTER(&_NXH);
    nOldProc = XCHANGEPROC(hWnd, int(slot));
  }
}

void TWindow::UnLink() {
  auto it = std::find_if(g_windows.begin(), g_windows.end(), [&](const TWindowPtr& w) { return w && w->hWnd == hWnd; });
  if (nOldProc && hWnd) {
    RESTPROC(hWnd, nOldProc);
    nOldProc = nullptr;
  }
  // The caller keeps its own reference; releasing the slot may drop the last
  // one held by the list, so do it last.
  if (it != g_windows.end()) {
    TWindowPtr keep = std::exchange(*it, nullptr);
  }
}

ResultPair _NXH(LPARAM, UINT nMsg, WPARAM nWParam, LPARAM nLParam, int nSlot) {
  if (nSlot <= 0 || size_t(nSlot) > g_windows.size()) return {};
  // A local reference keeps the object alive while its method runs, even if
  // the window is destroyed and unlinked in a nested message loop.
  TWindowPtr object = g_windows[size_t(nSlot) - 1];
  if (!object) return {};
  ResultPair pair;
  pair.result = object->HandleEvent(nMsg, nWParam, nLParam);
  pair.oldProc = object->nOldProc;
  return pair;
}

}  // namespace nx
