#include "app/demo.h"

#include "classes/wbrowse.h"
#include "classes/window.h"
#include "rt/strings.h"

namespace nx::demo {

ArrayPtr BuildTable() {
  static constexpr const char* kPrefixes[] = {"Row: ", "Col2:", "Col3:", "Col4:", "Col5:", "Col6:", "Col7:", "Col8:"};
  auto table = NewArray();
  table->reserve(kRows);
  for (int n = 1; n <= kRows; ++n) {
    std::string number = StrZero(Value(n), 4);
    auto row = NewArray();
    for (const char* prefix : kPrefixes) AAdd(row, Value(prefix + number));
    AAdd(table, Value(row));
  }
  return table;
}

std::shared_ptr<TWindow> MainWindow(const char* cTitle) {
  return TWindow::New({.cTitle = cTitle, .lSysMenu = true, .lCaption = true, .lMin = true, .lMax = true,
                       .lPixel = false});
}

TWBrowseParams TableParams(const std::shared_ptr<TWindow>& oWnd) {
  // Seven columns: the row block fixes the count before the table is attached.
  return {.nRow = 0,
          .nCol = 0,
          .bLine = [](TWBrowse&) { return Array(7, Value("")); },
          .aColSizes = std::vector<int>{100, 100, 100, 100, 100, 100, 100},
          .oWnd = oWnd,
          .lUpdate = false,
          .lPixel = false,
          .lDesign = false};
}

void AttachTable(const std::shared_ptr<TWBrowse>& oBrw, const ArrayPtr& aTable) {
  // The row block reads the browse's current element each time.
  oBrw->bLine = [aTable](TWBrowse& brw) {
    ArrayPtr row = AGet(aTable, size_t(brw.nAtRow())).AsArray();
    Array values;
    values.reserve(7);
    for (size_t c = 1; c <= 7; ++c) values.push_back(AGet(row, c));
    return values;
  };
  oBrw->SetArray(aTable);
  if (TWindowPtr oWnd = oBrw->Parent()) oWnd->oClient = oBrw;
}

std::shared_ptr<TWBrowse> TableBrowse(const std::shared_ptr<TWindow>& oWnd, const ArrayPtr& aTable) {
  auto oBrw = TWBrowse::New(TableParams(oWnd));
  AttachTable(oBrw, aTable);
  return oBrw;
}

Value MAIN() {
  ArrayPtr aTable = BuildTable();

  auto oWnd = MainWindow();
  TableBrowse(oWnd, aTable);

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
