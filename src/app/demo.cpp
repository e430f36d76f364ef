#include "app/demo.h"

#include "classes/window.h"
#include "native/dispatch.h"

namespace nx::demo {

Value MAIN() {
  auto oWnd = TWindow::New({.cTitle = kTitle,
                            .lSysMenu = true,
                            .lCaption = true,
                            .lMin = true,
                            .lMax = true,
                            .lPixel = false});
  oWnd->Activate({.cShow = "MAXIMIZED",
                  .bLClicked = oWnd->bLClicked,
                  .bRClicked = oWnd->bRClicked,
                  .bMoved = oWnd->bMoved,
                  .bResized = oWnd->bResized,
                  .bPainted = oWnd->bPainted,
                  .bKeyDown = oWnd->bKeyDown,
                  .bInit = oWnd->bInit,
                  .bLButtonUp = oWnd->bLButtonUp});
  return Value();
}

}  // namespace nx::demo
