// SET values of the runtime that the data layer and comparisons read.
#pragma once

#include "rt/value.h"

namespace nx {

enum SetId : int {
  _SET_EXACT = 1,
  _SET_DECIMALS = 3,
  _SET_DATEFORMAT = 4,
  _SET_EPOCH = 5,
  _SET_EXCLUSIVE = 8,
  _SET_SOFTSEEK = 9,
  _SET_DELETED = 11,
};

// Answers the current value; with a second argument sets it and answers the
// previous one. Unknown ids answer NIL.
Value Set(int id);
Value Set(int id, const Value& newValue);

bool SetExact();
bool SetSoftSeek();
bool SetDeleted();
bool SetExclusive();

}  // namespace nx
