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
  _SET_BELL = 26,     // a form beeps on a rejected key and at the end of a field
  _SET_CONFIRM = 27,  // a full field waits for Enter instead of moving on
  _SET_INSERT = 29,   // typed characters are inserted rather than typed over
};

// Answers the current value; with a second argument sets it and answers the
// previous one. Unknown ids answer NIL.
Value Set(int id);
Value Set(int id, const Value& newValue);

bool SetExact();
bool SetSoftSeek();
bool SetDeleted();
bool SetExclusive();
bool SetBell();
bool SetConfirm();
bool SetInsert();

}  // namespace nx
