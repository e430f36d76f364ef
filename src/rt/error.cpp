#include "rt/error.h"

#include <cstdlib>
#include <utility>

#include "rt/classes.h"

namespace nx {

namespace {
ErrorHandler g_errorBlock;
bool g_netErr = false;
QuitHandler g_quit;
}  // namespace

ErrorPtr ErrorNew() {
  ClassInUse("ERROR");
  return std::make_shared<Error>();
}

ErrorPtr ErrorNew(std::string subSystem, int genCode, int subCode, std::string description, std::string operation,
                  int severity) {
  auto e = ErrorNew();
  e->SubSystem = std::move(subSystem);
  e->GenCode = genCode;
  e->SubCode = subCode;
  e->Description = std::move(description);
  e->Operation = std::move(operation);
  e->Severity = severity;
  return e;
}

const ErrorHandler& ErrorBlock() { return g_errorBlock; }

ErrorHandler ErrorBlock(ErrorHandler block) { return std::exchange(g_errorBlock, std::move(block)); }

RuntimeError::RuntimeError(ErrorPtr e)
    : std::runtime_error(e ? e->SubSystem + "/" + std::to_string(e->SubCode) + "  " + e->Description : "error"),
      error(std::move(e)) {}

Value RaiseError(const ErrorPtr& error) {
  // Copy: the block may install another block while it runs.
  ErrorHandler block = g_errorBlock;
  if (!block) throw RuntimeError(error);
  return block(error);
}

Value RaiseWithRetry(const ErrorPtr& error, const std::function<std::optional<Value>()>& operation) {
  for (;;) {
    if (auto v = operation()) return *v;
    ++error->Tries;
    Value answer = RaiseError(error);
    if (!(error->CanRetry && answer.IsLogical() && answer.AsLogical())) return answer;
  }
}

bool NetErr() { return g_netErr; }
bool NetErr(bool value) { return std::exchange(g_netErr, value); }

void Break(Value value) { throw BreakSignal{std::move(value)}; }

bool Sequence(const std::function<void()>& body, const std::function<void(const Value&)>& recover) {
  try {
    body();
    return true;
  } catch (BreakSignal& b) {
    if (recover) recover(b.value);
    return false;
  }
}

QuitHandler SetQuitHandler(QuitHandler handler) { return std::exchange(g_quit, std::move(handler)); }

void QuitProgram(int exitCode) {
  if (g_quit) g_quit(exitCode);
  std::exit(exitCode);
}

}  // namespace nx
