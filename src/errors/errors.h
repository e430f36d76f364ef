// The library's own error objects, the error-system installer and the error
// handler with its silent rules. Names follow the library's public API
// (some begin with an underscore, as callers know them).
#pragma once

#include <windows.h>

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

// A variable's value as the report shows it: a string in double quotes,
// "Class: " and the class of an object, "Len: " and the length of an array.
std::string cGetInfo(const Value& xValue);

// The report written to "Error.log" (CR LF line ends). Its call stack
// starts below the handler's own frame.
std::string ErrorReportText(const ErrorPtr& oError);

// Writes the report; a file that cannot be written is skipped silently.
bool ErrorLogWrite(const ErrorPtr& oError, const std::string& fileName = "Error.log");

// The error dialog, built of the library's controls (classes/errdlg.cpp):
// true for Retry, false for Default, nothing when the user quit.
std::optional<bool> ErrorDialogBox(const ErrorPtr& oError, const std::string& cReport);

// The processor's name, from the registry (classes/errdlg.cpp).
std::string GetCpu();

// Names that keep the error unit linked.
void NX_GT();

// ---- compatibility functions kept for older callers -----------------------------------------------
// Parameters and locals of the frame n levels up are rt/frames.h's
// ParamCount, LocalCount, GetParam and GetLocal.
int nStatics();      // a C++ program keeps no table of statics: 0
size_t MemUsed();    // the process's committed private bytes
size_t MemMax();     // their peak
int GetFreeSystemResources(int nType = 0);  // 90
HMODULE LoadLib32(const std::string& cName);
bool FreeLib32(HMODULE hLib);
// 1 when both objects are of the same class (by name, any case), else 0.
int ChildLevel(const ObjectPtr& oObj, const ObjectPtr& oClassObj);
// 1 when oObj is a T or derives from it, else 0.
template <class T>
int ChildLevel(const ObjectPtr& oObj) {
  return dynamic_cast<const T*>(oObj.get()) ? 1 : 0;
}
inline int NtxPos() { return 0; }
inline int nInitDSSize() { return 0; }
inline int nSympSize() { return 0; }
inline int nStackSize() { return 0; }
inline int nHeapSize() { return 0; }
inline std::string VbxClassName() { return {}; }

}  // namespace nx
