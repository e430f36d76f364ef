// The demo's start procedure and its table.
#pragma once

#include <memory>

#include "classes/wbrowse.h"
#include "rt/value.h"

namespace nx {
class TWindow;
}  // namespace nx

namespace nx::demo {

inline constexpr const char* kTitle = "KINETIC SCROLL TEST FOR WBROWSE IN NXH 9.08";
inline constexpr int kRows = 1000;

// 1000 rows of 8 strings: "Row: 0001", "Col2:0001" ... "Col8:0001".
ArrayPtr BuildTable();

// The main window, not shown yet.
std::shared_ptr<TWindow> MainWindow(const char* cTitle = kTitle);

// The browse's arguments: seven columns of 100 pixels in oWnd.
TWBrowseParams TableParams(const std::shared_ptr<TWindow>& oWnd);
// Puts aTable under a browse made from TableParams and makes it oWnd's client.
void AttachTable(const std::shared_ptr<TWBrowse>& oBrw, const ArrayPtr& aTable);
// Both: the browse over the table as oWnd's client.
std::shared_ptr<TWBrowse> TableBrowse(const std::shared_ptr<TWindow>& oWnd, const ArrayPtr& aTable);

// Opens the main window over the table and runs it until it is closed.
Value MAIN();

}  // namespace nx::demo
