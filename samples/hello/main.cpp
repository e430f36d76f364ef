// Hello: the smallest program on the library. One window that greets the
// user and stays open until it is closed.
#include <windows.h>

#include "classes/window.h"
#include "errors/errors.h"
#include "native/dispatch.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  nx::ErrorSys();  // runtime errors go to "Error.log" and an error dialog

  auto oWnd = nx::TWindow::New({.cTitle = "Hello, Novaxis"});
  // The first window activated is the main window: Activate runs the message
  // loop and returns when the window is closed.
  oWnd->Activate({.bPainted = [](HDC hDC, const std::string&, nx::TWindow& self) {
    RECT rc;
    GetClientRect(self.hWnd, &rc);
    SetBkMode(hDC, TRANSPARENT);
    DrawTextA(hDC, "Hello, world!", -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return nx::Value();
  }});

  nx::FREERESOURCES();
  return 0;
}
