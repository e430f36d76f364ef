// Fuzzes the expression compiler and the blocks it makes, with a table
// selected so field names resolve, and Transform() with the text as picture.
#include <cstddef>
#include <cstdint>
#include <string>

#include "rt/error.h"
#include "rt/expr.h"
#include "rt/transform.h"
#include "rt/workarea.h"

namespace {
bool Setup() {
  nx::DbCreate("FUZZ",
               nx::Value(nx::NewArray({nx::Value(nx::NewArray({"NAME", "C", 10, 0})),
                                       nx::Value(nx::NewArray({"AGE", "N", 5, 1})),
                                       nx::Value(nx::NewArray({"BORN", "D", 8, 0})),
                                       nx::Value(nx::NewArray({"OK", "L", 1, 0}))})),
               "ARRAYRDD");
  nx::DbUseArea(true, "ARRAYRDD", "FUZZ");
  nx::DbAppend();
  nx::FieldPut(1, "Fuzz");
  nx::FieldPut(2, nx::Value(12.5, 1));
  // Errors answer NIL so a block runs on after a type error, as with a handler.
  nx::ErrorBlock([](const nx::ErrorPtr&) { return nx::Value(); });
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = Setup();
  (void)ready;
  std::string text(reinterpret_cast<const char*>(data), size);
  nx::Block b = nx::Compile(text);
  if (b) {
    nx::Value v = b.Eval({nx::Value(1), nx::Value("x")});
    (void)nx::Transform(v, text.substr(0, 64));
  }
  (void)nx::Transform(nx::Value(-1234.5, 2), text);
  (void)nx::Transform(nx::Value(text), text);
  return 0;
}
