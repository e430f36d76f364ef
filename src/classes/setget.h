// Set/get blocks over C++ variables, for controls bound to a value
// (bSetGet): called with no value they answer the variable, with one they
// assign it. The variable must outlive the control.
#pragma once

#include <optional>
#include <string>

#include "classes/control.h"

namespace nx {

inline SetGet BindVar(Value& v) {
  return [&v](std::optional<Value> u) {
    if (u) v = *u;
    return v;
  };
}

inline SetGet BindVar(bool& v) {
  return [&v](std::optional<Value> u) {
    if (u) v = u->AsLogical();
    return Value(v);
  };
}

inline SetGet BindVar(int& v) {
  return [&v](std::optional<Value> u) {
    if (u) v = int(u->AsInt());
    return Value(v);
  };
}

inline SetGet BindVar(std::string& v) {
  return [&v](std::optional<Value> u) {
    if (u) v = u->AsString();
    return Value(v);
  };
}

// A value of its own, for a control bound to no variable.
inline SetGet OwnVar(Value uInitial = {}) {
  auto v = std::make_shared<Value>(std::move(uInitial));
  return [v](std::optional<Value> u) {
    if (u) *v = *u;
    return *v;
  };
}

}  // namespace nx
