#include "rt/set.h"

#include <utility>

#include "rt/strings.h"

namespace nx {

namespace {
bool g_exact = false, g_softSeek = false, g_deleted = false, g_exclusive = true;
bool g_bell = false, g_confirm = false, g_insert = false;

bool* Flag(int id) {
  switch (id) {
    case _SET_EXACT: return &g_exact;
    case _SET_SOFTSEEK: return &g_softSeek;
    case _SET_DELETED: return &g_deleted;
    case _SET_EXCLUSIVE: return &g_exclusive;
    case _SET_BELL: return &g_bell;
    case _SET_CONFIRM: return &g_confirm;
    case _SET_INSERT: return &g_insert;
    default: return nullptr;
  }
}
}  // namespace

Value Set(int id) {
  if (bool* f = Flag(id)) return Value(*f);
  if (id == _SET_DECIMALS) return Value(SetDecimals());
  if (id == _SET_DATEFORMAT) return Value(SetDateFormat());
  if (id == _SET_EPOCH) return Value(SetEpoch());
  return Value();
}

Value Set(int id, const Value& newValue) {
  Value old = Set(id);
  if (bool* f = Flag(id)) {
    // The runtime also takes "ON"/"OFF".
    if (newValue.IsLogical()) *f = newValue.AsLogical();
    else if (newValue.IsString()) *f = Upper(AllTrim(newValue.AsString())) == "ON";
  } else if (id == _SET_DECIMALS && newValue.IsNumber()) {
    SetDecimals(int(newValue.AsInt()));
  } else if (id == _SET_DATEFORMAT && newValue.IsString()) {
    SetDateFormat(newValue.AsString());
  } else if (id == _SET_EPOCH && newValue.IsNumber()) {
    SetEpoch(int(newValue.AsInt()));
  }
  return old;
}

bool SetExact() { return g_exact; }
bool SetSoftSeek() { return g_softSeek; }
bool SetDeleted() { return g_deleted; }
bool SetExclusive() { return g_exclusive; }
bool SetBell() { return g_bell; }
bool SetConfirm() { return g_confirm; }
bool SetInsert() { return g_insert; }

}  // namespace nx
