// Test support: running this thread's messages, now or until a condition
// holds.
#pragma once

#include <windows.h>

#include <functional>

namespace nxtest {

// Dispatches the messages waiting now.
inline void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

// Runs the messages until cond holds; false when it never did within a
// generous bound (never a timing assertion: a slow machine only waits longer).
inline bool PumpUntil(const std::function<bool()>& cond, DWORD nSeconds = 60) {
  const DWORD start = GetTickCount();
  while (!cond()) {
    if (GetTickCount() - start > nSeconds * 1000) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Pump();
  }
  return true;
}

}  // namespace nxtest
