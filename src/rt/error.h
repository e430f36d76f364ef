// Runtime error objects, the error block, NetErr and BREAK sequences.
//
// Errors are raised by evaluating the current error block with an Error
// object; the block either answers a value (the failed operation's result:
// false for "default", true for "retry") or leaves by Break(), which unwinds
// to the nearest Sequence(). C++ exceptions stay inside the runtime and the
// class library: the window procedure turns any that reach it into a raised
// error (see native/dispatch).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "rt/value.h"

namespace nx {

// General error codes (GenCode) the runtime and the library use.
enum GenCode : int {
  EG_ARG = 1,
  EG_BOUND = 2,
  EG_ZERODIV = 5,
  EG_NUMERR = 6,
  EG_SYNTAX = 7,
  EG_NOVAR = 14,
  EG_NOALIAS = 15,
  EG_OPEN = 21,
  EG_CREATE = 20,
  EG_CLOSE = 22,
  EG_READ = 23,
  EG_WRITE = 24,
  EG_CORRUPTION = 32,
  EG_DATATYPE = 33,
  EG_DATAWIDTH = 34,
  EG_NOTABLE = 35,
  EG_NOORDER = 36,
  EG_SHARED = 37,
  EG_UNLOCKED = 38,
  EG_READONLY = 39,
  EG_APPENDLOCK = 40,
  EG_LOCK = 41,
};

class Error : public Object {
 public:
  int GenCode = 0;
  int OsCode = 0;
  int Severity = 2;  // 1 warning, 2 error, 3 catastrophic
  bool CanDefault = false;
  bool CanRetry = false;
  bool CanSubstitute = false;
  std::string SubSystem;
  int SubCode = 0;
  std::string Description;
  std::string Operation;
  std::string FileName;
  Value Args;  // an array of the operation's arguments, or NIL
  int Tries = 0;
  Value Cargo;
  const char* ClassName() const override { return "ERROR"; }
};
using ErrorPtr = std::shared_ptr<Error>;

ErrorPtr ErrorNew();
// A new error with the common fields filled.
ErrorPtr ErrorNew(std::string subSystem, int genCode, int subCode, std::string description,
                  std::string operation = {}, int severity = 2);

using ErrorHandler = std::function<Value(const ErrorPtr&)>;

// The current error block, and setting it (answers the previous one).
const ErrorHandler& ErrorBlock();
ErrorHandler ErrorBlock(ErrorHandler block);

// Evaluates the error block with the error and answers its value. Without an
// installed block the error is thrown as RuntimeError.
Value RaiseError(const ErrorPtr& error);

// Raises the error, honouring retry: calls `operation` again while the error
// block answers true for a retryable error. Answers the operation's value, or
// the block's value when it does not ask for a retry.
Value RaiseWithRetry(const ErrorPtr& error, const std::function<std::optional<Value>()>& operation);

bool NetErr();
bool NetErr(bool value);  // sets, answers the previous value

// Thrown by the default (uninstalled) error block, and usable by callers that
// want an error as an exception.
class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(ErrorPtr e);
  ErrorPtr error;
};

// BREAK: leaves the innermost Sequence() with a value.
struct BreakSignal {
  Value value;
};
[[noreturn]] void Break(Value value = {});

// BEGIN SEQUENCE ... RECOVER USING x ... END: runs body; a Break() inside it
// ends it and `recover` receives the break value. Answers true when the body
// ran to its end.
bool Sequence(const std::function<void()>& body, const std::function<void(const Value&)>& recover = {});

// Ends the program with an exit code. The class library installs a handler
// that also releases native resources; the default exits the process.
using QuitHandler = std::function<void(int exitCode)>;
QuitHandler SetQuitHandler(QuitHandler handler);
[[noreturn]] void QuitProgram(int exitCode);

}  // namespace nx
