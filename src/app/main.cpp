// The demo program: one maximized window over a 1000-row table.
#include <windows.h>

#include "app/demo.h"
#include "errors/errors.h"
#include "native/dispatch.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The runtime's start-up: the error system first, then MAIN.
  nx::ErrorSys();
  nx::demo::MAIN();
  nx::FREERESOURCES();
  return 0;
}
