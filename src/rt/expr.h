// The expression compiler: xBase expression text into a codeblock.
//
//   Block b = Compile("{||NAME >= 'A' .and. NAME <= 'C'}");
//
// Identifiers are the block's parameters, else fields of the area selected
// when the block runs (ALIAS->NAME names another area's, FIELD->NAME a field
// only), else memory variables (M->NAME names one only). `name := value`
// assigns a parameter, a field (FieldPut, with its locking rules) or a memory
// variable, which it creates when none of the three exists. Functions come from a
// registry that callers may extend. A syntax error raises an EG_SYNTAX error
// whose Operation is the text, and answers an empty block; errors while the
// block runs (type mismatch, unknown field) are raised when they happen.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rt/value.h"

namespace nx {

Block Compile(std::string_view text);

// Argument types: one letter per parameter (C N D L A B, U for any), '?' after
// the letter for an optional one, e.g. "C,N,N?". Arguments of the wrong type
// raise EG_ARG before `fn` runs.
using RtFunction = std::function<Value(std::span<const Value>)>;
void RegisterFunction(std::string name, std::string signature, RtFunction fn);
bool IsFunction(std::string_view name);

// Memory variables: named values shared by all compiled text, names in any
// case. MemVarGet answers NIL for a name that does not exist.
bool MemVarExists(std::string_view name);
Value MemVarGet(std::string_view name);
void MemVarPut(std::string_view name, Value value);  // creates the variable when missing
void MemVarRelease(std::string_view name);

// Private variables: Declare creates or hides a variable for the life of the
// scope; at its end each name gets back its earlier value, or goes.
class PrivateScope {
 public:
  PrivateScope() = default;
  PrivateScope(const PrivateScope&) = delete;
  PrivateScope& operator=(const PrivateScope&) = delete;
  ~PrivateScope();
  void Declare(std::string_view name, Value value = {});

 private:
  std::vector<std::pair<std::string, std::optional<Value>>> saved_;
};

// The runtime's comparison: `exact` for ==, otherwise SET EXACT decides.
// Answers <0, 0, >0; types must match (NIL equals only NIL).
int CompareValues(const Value& a, const Value& b, bool exact);

}  // namespace nx
