// A browse over a small stock table whose cells can be edited: Enter or a
// double click opens a small editor over the current cell, Enter accepts
// and Esc cancels, and the accepted text goes into the table under a
// record lock (a record another program holds is refused). The table
// "editbrowse.dbf" is created in the current folder at the first run and
// opened shared, so a second copy of the program can edit it too. The Edit
// menu edits the current cell and switches moving on to the next cell
// after each accepted edit. The Window menu opens a second window with a
// tree (tree_window.cpp).
#include <windows.h>

#include <string>

#include "classes/menu.h"
#include "classes/wbrowse.h"
#include "classes/window.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "rt/strings.h"
#include "rt/workarea.h"
#include "tree_window.h"

using namespace nx;

namespace {

constexpr const char* kTitle = "Novaxis edit browse";
constexpr const char* kTable = "editbrowse.dbf";
constexpr const char* kAlias = "STOCK";

struct Item {
  const char* name;
  int qty;
  double price;
  int y, m, d;
  bool inStock;
};
constexpr Item kItems[] = {
    {"Apples", 120, 0.45, 2024, 9, 2, true},    {"Bananas", 80, 0.30, 2024, 9, 5, true},
    {"Cherries", 0, 6.90, 2024, 6, 20, false},  {"Dates", 35, 4.75, 2024, 8, 14, true},
    {"Figs", 12, 1.20, 2024, 9, 1, true},       {"Grapes", 64, 3.10, 2024, 9, 3, true},
    {"Kiwis", 150, 0.25, 2024, 8, 30, true},    {"Lemons", 90, 0.40, 2024, 8, 28, true},
    {"Mangoes", 0, 1.95, 2024, 7, 11, false},   {"Oranges", 200, 0.35, 2024, 9, 4, true},
    {"Pears", 75, 0.55, 2024, 9, 2, true},      {"Plums", 40, 2.80, 2024, 8, 22, true},
};

Value Field(const char* name, const char* type, int len, int dec) {
  return Value(NewArray({Value(name), Value(type), Value(len), Value(dec)}));
}

bool OpenTable() {
  if (GetFileAttributesA(kTable) == INVALID_FILE_ATTRIBUTES) {
    if (!DbCreate(kTable, Value(NewArray({Field("ITEM", "C", 16, 0), Field("QTY", "N", 5, 0),
                                          Field("PRICE", "N", 7, 2), Field("ARRIVED", "D", 8, 0),
                                          Field("INSTOCK", "L", 1, 0)}))))
      return false;
    if (!DbUseArea(true, "", kTable, kAlias, false)) return false;
    for (const Item& item : kItems) {
      DbAppend();
      FieldPut(1, Value(item.name));
      FieldPut(2, Value(item.qty));
      FieldPut(3, Value(item.price, 2));
      FieldPut(4, Value(MakeDate(item.y, item.m, item.d)));
      FieldPut(5, Value(item.inStock));
    }
    DbCloseArea();
  }
  return DbUseArea(true, "", kTable, kAlias, true);
}

class Sample {
 public:
  void Run() {
    wnd_ = TWindow::New({.nTop = 60, .nLeft = 80, .nBottom = 60 + 420, .nRight = 80 + 620, .cTitle = kTitle,
                         .oMenu = BuildBar(), .lPixel = true});
    if (!OpenTable()) return;
    brw_ = TWBrowse::New({.aHeaders = Array{Value("Item"), Value("Qty"), Value("Price"), Value("Arrived"), Value("In stock")},
                          .aColSizes = std::vector<int>{170, 60, 80, 100, 80},
                          .oWnd = wnd_,
                          .cAlias = std::string(kAlias)});
    brw_->lCellStyle = true;  // the current cell is the one Enter edits
    brw_->lAutoEdit = true;
    wnd_->oClient = brw_;
    wnd_->bResized = [this](int, int, int, TWindow&) { brw_->AdjClient(); };
    brw_->AdjClient();
    brw_->SetFocus();
    wnd_->Activate();
  }

 private:
  // One pull-down per subject; other windows of the sample get theirs here.
  TMenuPtr BuildBar() {
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "&File"});
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "E&xit", .bAction = [this](TMenuItem&) { wnd_->End(); }});
    MENUEND();
    MENUADDITEM({.cPrompt = "&Edit"});
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "&Edit cell\tEnter", .bAction = [this](TMenuItem&) { brw_->Edit(brw_->nColAct); }});
    MENUADDITEM({.cPrompt = "&Move on after each edit", .bAction = [this](TMenuItem& item) {
                   item.SetCheck(!item.lChecked);
                   brw_->lAutoSkip = item.lChecked;
                 }});
    MENUEND();
    MENUADDITEM({.cPrompt = "&Window"});
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "&Tree", .bAction = [](TMenuItem&) { OpenTreeWindow(); }});
    MENUEND();
    return MENUEND();
  }

  TWindowPtr wnd_;
  TWBrowsePtr brw_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ErrorSys();
  Sample().Run();
  DbCloseAll();
  FREERESOURCES();
  return 0;
}
