// The error dialog of the library's error handler (errors/errors.h declares
// ErrorDialogBox and GetCpu, which live here because the dialog is made of
// the library's controls and the processor name is read through TReg32).
#pragma once

#include <windows.h>

#include <vector>

#include "errors/errors.h"

namespace nx {

// The library's built-in bitmap: the error sign the dialog shows at its top left.
HBITMAP NXBITMAP();

// The dialog-unit columns of the buttons shown for an error, left to right
// (Retry, Quit, Default as the error allows them).
std::vector<int> ErrorDialogButtonColumns(bool lCanRetry, bool lCanDefault);

}  // namespace nx
