// Print sample: the demo's table (its first 100 rows) in a browse, printed as
// a two-page report with a header, a logo and page numbers, on the default
// printer (P) or into a preview (V); Enter repeats the last choice, which
// "print.ini" beside the program remembers.
#include <windows.h>

#include <string>

#include "classes/font.h"
#include "classes/ini.h"
#include "classes/pen.h"
#include "classes/printer.h"
#include "classes/wbrowse.h"
#include "classes/window.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "rt/strings.h"

namespace {

using namespace nx;

constexpr int kRows = 100;
constexpr int kRowsPerPage = 50;
constexpr int kCols = 7;

// The report's layout, in centimetres from the sheet's top left corner.
constexpr double kHeaderTop = 1.5, kHeaderBottom = 3.0;
constexpr double kLeft = 1.5, kRight = 19.5;
constexpr double kLogoTop = 1.7, kLogoLeft = 16.5, kLogoHeight = 1.0, kLogoWidth = 2.0;
constexpr double kTitleTop = 1.8, kTitleLeft = 2.0;
constexpr double kHeadingsTop = 3.3, kRuleTop = 3.9;
constexpr double kFirstRowTop = 4.2, kRowHeight = 0.45;
constexpr double kColLeft = 2.0, kColWidth = 2.5;
constexpr double kFooterTop = 27.3;

// The demo's rows: "Row: 0001", "Col2:0001" ... "Col8:0001".
ArrayPtr BuildTable() {
  static constexpr const char* kPrefixes[] = {"Row: ", "Col2:", "Col3:", "Col4:", "Col5:", "Col6:", "Col7:", "Col8:"};
  auto table = NewArray();
  for (int n = 1; n <= kRows; ++n) {
    auto row = NewArray();
    for (const char* prefix : kPrefixes) AAdd(row, Value(prefix + StrZero(Value(n), 4)));
    AAdd(table, Value(row));
  }
  return table;
}

std::string IniFile() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string file(path);
  return file.substr(0, file.find_last_of('\\') + 1) + "print.ini";
}

// Centimetres to pixels of the page, without the offsets (sizes).
double CmWide(const TPrinter& prn, double cm) { return cm * 10 * prn.nHorzRes() / prn.nHorzSize(); }
double CmHigh(const TPrinter& prn, double cm) { return cm * 10 * prn.nVertRes() / prn.nVertSize(); }

void PrintTable(const ArrayPtr& table, bool lPreview) {
  auto prn = PrintBegin("Demo table", false, lPreview);
  if (!prn->hDC) {
    PrintEnd();
    return;
  }
  const int dpi = prn->nLogPixelY();
  auto title = TFont::New({.cFaceName = "Tahoma", .nHeight = -16, .lBold = true, .nDevLogPixelY = dpi});
  auto bold = TFont::New({.cFaceName = "Tahoma", .nHeight = -10, .lBold = true, .nDevLogPixelY = dpi});
  auto body = TFont::New({.cFaceName = "Tahoma", .nHeight = -10, .nDevLogPixelY = dpi});
  auto rule = TPen::New(PS_SOLID, dpi / 50, 0);
  const int pages = (kRows + kRowsPerPage - 1) / kRowsPerPage;

  for (int page = 1; page <= pages; ++page) {
    PageBegin();
    const auto box = prn->CmRect2Pix({kHeaderTop, kLeft, kHeaderBottom, kRight});
    prn->Box(box[0], box[1], box[2], box[3], rule);
    prn->CmSay(kTitleTop, kTitleLeft, "Demo table", {.oFont = title});
    double row = kTitleTop + 0.65, col = kTitleLeft;
    prn->CmSay(row, col, "The first " + std::to_string(kRows) + " rows of the kinetic scroll demo",
               {.oFont = body});
    double logoRow = kLogoTop, logoCol = kLogoLeft;
    prn->Cmtr2Pix(logoRow, logoCol);
    prn->SayBitmap(logoRow, logoCol, Value("LOGO"), int(CmWide(*prn, kLogoWidth)), int(CmHigh(*prn, kLogoHeight)));

    for (int c = 0; c < kCols; ++c) {
      prn->CmSay(kHeadingsTop, kColLeft + c * kColWidth, "Column " + std::to_string(c + 1), {.oFont = bold});
    }
    const auto line = prn->CmRect2Pix({kRuleTop, kLeft, kRuleTop, kRight});
    prn->Line(line[0], line[1], line[2], line[3], rule);

    for (int i = 0; i < kRowsPerPage; ++i) {
      const int n = (page - 1) * kRowsPerPage + i + 1;
      if (n > kRows) break;
      const ArrayPtr values = AGet(table, size_t(n)).AsArray();
      for (int c = 0; c < kCols; ++c) {
        prn->CmSay(kFirstRowTop + i * kRowHeight, kColLeft + c * kColWidth, AGet(values, size_t(c + 1)).AsString(),
                   {.oFont = body});
      }
    }

    double footRow = kFooterTop, footCol = kLeft;
    prn->Cmtr2Pix(footRow, footCol);
    prn->Say(footRow, footCol, "Printed " + DToC(Today()) + " " + Time(), {.oFont = body});
    prn->Say(footRow, footCol, "Page " + std::to_string(page) + " of " + std::to_string(pages),
             {.oFont = body, .nWidth = int(CmWide(*prn, kRight - kLeft)), .nPad = 1});
    PageEnd();
  }
  title->End();
  bold->End();
  body->End();
  rule->End();
  PrintEnd();  // a preview opens its window here
}

std::string Caption(bool lPreview) {
  return std::string("Print sample - P: printer, V: preview, Enter: again (") + (lPreview ? "preview" : "printer") +
         ")";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  nx::ErrorSys();
  const ArrayPtr table = BuildTable();
  auto ini = TIni::New(IniFile());
  bool lastPreview = ini->Get("Report", "Preview", false).AsLogical();

  auto wnd = TWindow::New({.nTop = 40, .nLeft = 40, .nBottom = 560, .nRight = 820, .cTitle = Caption(lastPreview),
                           .lPixel = true});
  auto brw = TWBrowse::New({.bLine = [](TWBrowse&) { return Array(kCols, Value("")); },
                            .aColSizes = std::vector<int>(kCols, 100),
                            .oWnd = wnd});
  brw->bLine = [table](TWBrowse& b) {
    const ArrayPtr row = AGet(table, size_t(b.nAtRow())).AsArray();
    Array values;
    for (int c = 1; c <= kCols; ++c) values.push_back(AGet(row, size_t(c)));
    return values;
  };
  brw->SetArray(table);
  wnd->oClient = brw;

  const KeyHook keys = [&](int nKey, int, TWindow&) -> Value {
    if (nKey != 'P' && nKey != 'V' && nKey != VK_RETURN) return Value();
    const bool preview = nKey == VK_RETURN ? lastPreview : nKey == 'V';
    PrintTable(table, preview);
    lastPreview = preview;
    ini->Set("Report", "Preview", preview);
    wnd->SetText(Caption(preview));
    return Value(0);
  };
  brw->bKeyDown = keys;
  wnd->bKeyDown = keys;

  wnd->bInit = [brw](TWindow&) { brw->SetFocus(); };
  wnd->Activate();
  nx::FREERESOURCES();
  return 0;
}
