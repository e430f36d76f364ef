// Test support for programs that run the library's real error handler: a
// watcher that closes the error dialog as soon as it shows, as a user
// clicking its close box would (the handler then ends the program with
// exit code 1).
#pragma once

#include <windows.h>

#include <thread>

namespace nxtest {

inline constexpr const char* kErrorDialogCaption = "Novaxis for Harbour";

inline void CloseErrorDialogWhenShown() {
  std::thread([] {
    for (;;) {
      if (HWND dlg = FindWindowA(nullptr, kErrorDialogCaption)) {
        PostMessageA(dlg, WM_CLOSE, 0, 0);
        return;
      }
      Sleep(20);
    }
  }).detach();
}

}  // namespace nxtest
