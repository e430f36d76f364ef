// The form sample: a customer record of "customer.dbf" edited in a dialog.
// The name is typed upper-case ("@!"), the birth date and the amount step
// with their spinners (Page Up / Page Down or the arrows), the PIN shows as
// marks, the notes are a memo. OK writes the record through the work area,
// Cancel leaves it as it was; either ends the program.
//
// The table is created with one empty record when it does not exist. With
// NX_FORM_DBF set, that file is used instead of "customer.dbf".
#include <windows.h>

#include <cstdlib>
#include <string>

#include "classes/button.h"
#include "classes/dialog.h"
#include "classes/font.h"
#include "classes/mget.h"
#include "classes/say.h"
#include "classes/setget.h"
#include "classes/tget.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "rt/set.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;

namespace {

// The record's fields as the form edits them.
struct Customer {
  Value cName, dBorn, nAmount, cPin, cNotes;
};

bool OpenTable(const std::string& file) {
  if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    Value fields(Array{Value(Array{"NAME", "C", 20, 0}), Value(Array{"BORN", "D", 8, 0}),
                       Value(Array{"AMOUNT", "N", 10, 2}), Value(Array{"PIN", "C", 8, 0}),
                       Value(Array{"NOTES", "M", 10, 0})});
    if (!DbCreate(file, fields)) return false;
  }
  if (!DbUseArea(true, {}, file, "CUSTOMER", false)) return false;
  if (RecCount() == 0) DbAppend();
  DbGoTop();
  return true;
}

Customer Load() {
  return {FieldGet(FieldPos("NAME")), FieldGet(FieldPos("BORN")), FieldGet(FieldPos("AMOUNT")),
          FieldGet(FieldPos("PIN")), FieldGet(FieldPos("NOTES"))};
}

void Save(const Customer& c) {
  FieldPut(FieldPos("NAME"), c.cName);
  FieldPut(FieldPos("BORN"), c.dBorn);
  FieldPut(FieldPos("AMOUNT"), c.nAmount);
  FieldPut(FieldPos("PIN"), c.cPin);
  FieldPut(FieldPos("NOTES"), c.cNotes);
  DbCommit();
}

bool EditCustomer(Customer& c) {
  auto font = TFont::New({.cFaceName = "Tahoma", .nHeight = -13});
  auto dlg = TDialog::New({.cCaption = "Customer", .oFont = font, .nWidth = 420, .nHeight = 330});
  auto label = [&](int row, const char* text) {
    TSay::New({.nRow = double(row + 3), .nCol = 14, .cText = text, .oWnd = dlg, .lPixels = true, .nWidth = 80,
               .nHeight = 18});
  };
  label(14, "&Name:");
  TGet::New({.nRow = 14, .nCol = 100, .bSetGet = BindVar(c.cName), .oWnd = dlg, .nWidth = 200, .nHeight = 22,
             .cPicture = "@!", .lPixel = true, .cCueText = "Family name"});
  label(46, "&Born:");
  TGet::New({.nRow = 46, .nCol = 100, .bSetGet = BindVar(c.dBorn), .oWnd = dlg, .nWidth = 110, .nHeight = 22,
             .lPixel = true, .lSpinner = true});
  label(78, "&Amount:");
  TGet::New({.nRow = 78, .nCol = 100, .bSetGet = BindVar(c.nAmount), .oWnd = dlg, .nWidth = 110, .nHeight = 22,
             .cPicture = "999,999.99", .lPixel = true, .lSpinner = true,
             .bMin = [] { return Value(0); }});
  label(110, "&PIN:");
  TGet::New({.nRow = 110, .nCol = 100, .bSetGet = BindVar(c.cPin), .oWnd = dlg, .nWidth = 110, .nHeight = 22,
             .lPixel = true, .lPassword = true});
  label(142, "N&otes:");
  TMultiGet::New({.nRow = 142, .nCol = 100, .bSetGet = BindVar(c.cNotes), .oWnd = dlg, .nWidth = 290,
                  .nHeight = 100, .lPixel = true});
  TButton::New({.nRow = 260, .nCol = 210, .cCaption = "OK", .oWnd = dlg,
                .bAction = [](TButton& b) { ToDialog(b)->End(IDOK); }, .nWidth = 84, .nHeight = 26,
                .lPixel = true});
  TButton::New({.nRow = 260, .nCol = 306, .cCaption = "Cancel", .oWnd = dlg,
                .bAction = [](TButton& b) { ToDialog(b)->End(IDCANCEL); }, .nWidth = 84, .nHeight = 26,
                .lPixel = true, .lCancel = true});
  dlg->Activate({.lCentered = true});
  font->End();
  return dlg->nResult == Value(IDOK);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ErrorSys();
  SetDateFormat("dd.mm.yyyy");
  Set(_SET_CONFIRM, Value(true));  // a full field waits for Tab
  const char* env = std::getenv("NX_FORM_DBF");
  std::string file = env && *env ? env : "customer.dbf";
  if (!OpenTable(file)) return 1;
  Customer c = Load();
  if (EditCustomer(c)) Save(c);
  DbCloseAll();
  FREERESOURCES();
  return 0;
}
