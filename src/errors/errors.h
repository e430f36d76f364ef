// The library's own error objects, the error-system installer and the error
// handler with its silent rules. Names follow the library's public API
// (some begin with an underscore, as callers know them).
#pragma once

#include <optional>
#include <string>

#include "rt/error.h"

namespace nx {

// Row nError (1 to 6) of the library error table as a new error object;
// nullptr (NIL) for any other number.
ErrorPtr _NXGENERROR(int nError, std::string cOperation = {});

// Raises library error 4 ("Memory Low") through the error block.
Value __LOWMEMERROR();

// "Message not found" error of the object system.
ErrorPtr _GenError(int nSubCode, const std::string& cClass, const std::string& cMsg);

// Raises an error object through the error block and answers the block's value.
Value _ClsSetError(const ErrorPtr& oError);

// Installs the library's error handler as the error block.
void ErrorSys();
void ErrorLink();

// The library's error handler (the installed block's body).
Value ErrorDialog(const ErrorPtr& oError);

// The silent rules: the value that settles the error without a report, or
// nothing when the error must be reported.
std::optional<Value> ErrorSilentRule(const ErrorPtr& oError);

// One-line description used by the log and the dialog.
std::string ErrorMessage(const ErrorPtr& oError);

// The report written to "Error.log" (CR LF line ends).
std::string ErrorReportText(const ErrorPtr& oError);

// Writes the report; a file that cannot be written is skipped silently.
bool ErrorLogWrite(const ErrorPtr& oError, const std::string& fileName = "Error.log");

}  // namespace nx
