// The error dialog the library's error handler shows after writing
// "Error.log": the error's description, the call stack and the buttons the
// error allows (Retry, Quit, Default).
#include "classes/errdlg.h"

#include <algorithm>

#include "classes/button.h"
#include "classes/dialog.h"
#include "classes/font.h"
#include "classes/listbox.h"
#include "classes/reg32.h"
#include "classes/say.h"
#include "classes/setget.h"
#include "errors/errors.h"
#include "native/draw.h"
#include "rt/strings.h"

namespace nx {

HBITMAP NXBITMAP() {
  // The system's error sign on the dialog face, 32 by 32.
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 32);
  HDC mem = CreateCompatibleDC(screen);
  if (bmp && mem) {
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r{0, 0, 32, 32};
    FillRect(mem, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawIconEx(mem, 0, 0, LoadIconA(nullptr, MAKEINTRESOURCEA(32513)), 32, 32, 0, nullptr, DI_NORMAL);  // IDI_HAND
    SelectObject(mem, old);
  }
  if (mem) DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return bmp;
}

std::string GetCpu() {
  auto reg = TReg32::New(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0");
  Value name = reg->Get("ProcessorNameString", Value(std::string()));
  reg->Close();
  return name.IsString() ? name.AsString() : std::string();
}

std::vector<int> ErrorDialogButtonColumns(bool lCanRetry, bool lCanDefault) {
  int shown = 1 + int(lCanRetry) + int(lCanDefault);
  std::vector<int> cols;
  if (lCanRetry) cols.push_back(shown == 2 ? 132 : 43);
  cols.push_back(shown == 2 ? 65 : 96);
  if (lCanDefault) cols.push_back(shown == 3 ? 148 : 128);
  return cols;
}

std::optional<bool> ErrorDialogBox(const ErrorPtr& e, const std::string& cReport) {
  // NT-family systems draw taller captions and frames.
  const bool nt = !(GetVersion() & 0x80000000);
  std::optional<bool> result;
  std::string description, stack;
  std::vector<std::string> calls;
  for (size_t at = 0; at < cReport.size();) {
    size_t end = cReport.find("\r\n", at);
    if (end == std::string::npos) end = cReport.size();
    std::string line = cReport.substr(at, end - at);
    if (line.rfind("   Error description: ", 0) == 0) description = line;
    if (line.rfind("   Called from: ", 0) == 0) calls.push_back(AllTrim(line));
    at = end + 2;
  }

  // The layout is in units of the system font; the texts take the lighter
  // variable-pitch font so that they fit their places.
  auto font = TFont::New({.cFaceName = "ANSI_VAR_FONT"});
  auto dlg = TDialog::New(
      {.cCaption = "Novaxis for Harbour", .oFont = font, .nWidth = 450, .nHeight = 300 + (nt ? 50 : 0)});
  LONG units = GETDLGBASEUNITS();
  const int bx = std::max(int(LOWORD(units)), 1), by = std::max(int(HIWORD(units)), 1);
  auto X = [bx](int du) { return (du * bx + 3) / 4; };
  auto Y = [by](int du) { return (du * by + 7) / 8; };

  auto say = TSay::New({.nRow = double(Y(3)), .nCol = double(X(52)), .cText = description, .oWnd = dlg,
                        .lPixels = true, .nWidth = X(168 - 52), .nHeight = Y(25 - 3)});
  say->nStyle |= SS_NOPREFIX;
  TSay::New({.nRow = double(Y(24)), .nCol = double(X(6)), .cText = "&Stack List", .oWnd = dlg, .lPixels = true});
  TListBox::New({.nRow = double(Y(33)), .nCol = double(X(3)), .bSetGet = OwnVar(), .aItems = calls,
                 .nWidth = X(220), .nHeight = Y(nt ? 136 : 118), .oWnd = dlg, .lPixel = true});

  const int row = Y(nt ? 161 : 137);
  std::vector<int> cols = ErrorDialogButtonColumns(e && e->CanRetry, e && e->CanDefault);
  const bool quitIsDefault = cols.size() != 2;
  auto button = [&](int col, const char* caption, bool lDefault, std::function<void()> action) {
    TButton::New({.nRow = double(row), .nCol = double(X(col)), .cCaption = caption, .oWnd = dlg,
                  .bAction = [action](TButton& self) {
                    action();
                    if (TDialogPtr d = ToDialog(self)) d->End(IDOK);
                  },
                  .nWidth = X(30), .nHeight = Y(11), .lDefault = lDefault, .lPixel = true});
  };
  size_t next = 0;
  if (e && e->CanRetry) button(cols[next++], "&Retry", false, [&] { result = true; });
  button(cols[next++], "&Quit", quitIsDefault, [] {});
  if (e && e->CanDefault) button(cols[next++], "&Default", false, [&] { result = false; });
  TButton::New({.nRow = double(Y(21)), .nCol = double(X(175)), .cCaption = "See Error.log file", .oWnd = dlg,
                .bAction = [](TButton&) { WinExec("Notepad.exe error.log", SW_SHOWNORMAL); },
                .nWidth = X(46), .nHeight = Y(10), .lPixel = true});

  HBITMAP bmp = NXBITMAP();
  dlg->Activate({.bPainted = [bmp](HDC hDC, const std::string&, TWindow&) {
                   DRAWBITMAP(hDC, bmp, 6, 6);
                   return Value();
                 },
                 .lCentered = true});
  if (bmp) DeleteObject(bmp);
  font->End();
  return result;
}

}  // namespace nx
