// Errors: three buttons provoke runtime errors that the library's error
// handler reports in "Error.log" and its error dialog.
//   - "Open table" opens orders.dbf: when the file is missing the dialog
//     offers Retry (put the file back and retry), Default or Quit;
//   - "Select alias" selects a work area that does not exist: Default goes on;
//   - "Bad index" reads past the end of an array: only Quit is possible.
// The status line tells what happened; NX_ERRORS_PROBE names a file that
// receives each status too (for the end-to-end check).
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "classes/button.h"
#include "classes/say.h"
#include "classes/window.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "rt/frames.h"
#include "rt/workarea.h"

using namespace nx;

namespace {

std::shared_ptr<TSay> g_status;

void Status(const std::string& text) {
  g_status->SetText(text);
  if (const char* probe = std::getenv("NX_ERRORS_PROBE")) std::ofstream(probe, std::ios::app) << text << "\n";
}

void OpenTable() {
  NX_PROC("OPENTABLE");
  if (DbUseArea(true, kDbfDriver, "orders.dbf", "ORDERS", false)) {
    Status("Table open: " + std::to_string(RecCount()) + " records");
    DbCloseArea();
  } else {
    Status("Table not opened");
  }
}

void SelectAlias() {
  NX_PROC("SELECTALIAS");
  bool ok = DbSelectArea("CUSTOMERS");
  Status(ok ? "Alias selected" : "No alias: the default was taken");
}

void BadIndex() {
  NX_PROC("BADINDEX");
  ArrayPtr months = NewArray({Value("Jan"), Value("Feb"), Value("Mar")});
  Value month(13);
  FrameVars vars({&month});
  Value name = AElem(months, long(month.AsInt()));
  Status("Month: " + name.AsString());
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ErrorSys();
  NX_PROC("MAIN");
  auto w = TWindow::New({.nTop = 100, .nLeft = 100, .nBottom = 280, .nRight = 520, .cTitle = "Errors sample",
                         .lPixel = true});
  TButton::New({.nRow = 20, .nCol = 20, .cCaption = "&Open table", .oWnd = w,
                .bAction = [](TButton&) { OpenTable(); }, .nWidth = 110, .nHeight = 28, .lPixel = true});
  TButton::New({.nRow = 20, .nCol = 145, .cCaption = "&Select alias", .oWnd = w,
                .bAction = [](TButton&) { SelectAlias(); }, .nWidth = 110, .nHeight = 28, .lPixel = true});
  TButton::New({.nRow = 20, .nCol = 270, .cCaption = "&Bad index", .oWnd = w,
                .bAction = [](TButton&) { BadIndex(); }, .nWidth = 110, .nHeight = 28, .lPixel = true});
  g_status = TSay::New({.nRow = 80, .nCol = 20, .cText = "Press a button", .oWnd = w, .lPixels = true,
                        .nWidth = 360, .nHeight = 20});
  w->Activate();
  FREERESOURCES();
  return 0;
}
