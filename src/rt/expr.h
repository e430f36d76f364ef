// The expression compiler: xBase expression text into a codeblock.
//
//   Block b = Compile("{||NAME >= 'A' .and. NAME <= 'C'}");
//
// Identifiers are fields of the area selected when the block runs (ALIAS->NAME
// names another area's), or the block's parameters. Functions come from a
// registry that callers may extend. A syntax error raises an EG_SYNTAX error
// whose Operation is the text, and answers an empty block; errors while the
// block runs (type mismatch, unknown field) are raised when they happen.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "rt/value.h"

namespace nx {

Block Compile(std::string_view text);

// Argument types: one letter per parameter (C N D L A B, U for any), '?' after
// the letter for an optional one, e.g. "C,N,N?". Arguments of the wrong type
// raise EG_ARG before `fn` runs.
using RtFunction = std::function<Value(std::span<const Value>)>;
void RegisterFunction(std::string name, std::string signature, RtFunction fn);
bool IsFunction(std::string_view name);

// The runtime's comparison: `exact` for ==, otherwise SET EXACT decides.
// Answers <0, 0, >0; types must match (NIL equals only NIL).
int CompareValues(const Value& a, const Value& b, bool exact);

}  // namespace nx
