// The demo's start procedure.
#pragma once

#include "rt/value.h"

namespace nx::demo {

inline constexpr const char* kTitle = "KINETIC SCROLL TEST FOR WBROWSE IN NXH 9.08";

// Opens the main window and runs it until it is closed.
Value MAIN();

}  // namespace nx::demo
