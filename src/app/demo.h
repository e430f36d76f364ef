// The demo's start procedure and its table.
#pragma once

#include "rt/value.h"

namespace nx::demo {

inline constexpr const char* kTitle = "KINETIC SCROLL TEST FOR WBROWSE IN NXH 9.08";
inline constexpr int kRows = 1000;

// 1000 rows of 8 strings: "Row: 0001", "Col2:0001" ... "Col8:0001".
ArrayPtr BuildTable();

// Opens the main window over the table and runs it until it is closed.
Value MAIN();

}  // namespace nx::demo
