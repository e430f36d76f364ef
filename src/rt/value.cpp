#include "rt/value.h"

#include <algorithm>
#include <cmath>

#include "rt/error.h"
#include "rt/expr.h"

namespace nx {

namespace {
const std::string kEmptyString;
const ArrayPtr kNullArray;
const Block kEmptyBlock;
const ObjectPtr kNullObject;
}  // namespace

Value Block::Eval(std::span<const Value> args) const { return fn && *fn ? (*fn)(args) : Value(); }
Value Block::Eval(std::initializer_list<Value> args) const {
  return Eval(std::span<const Value>(args.begin(), args.size()));
}
Value Block::Eval() const { return Eval(std::span<const Value>()); }

Block MakeBlock(BlockFn fn, std::string text) {
  return Block{std::make_shared<const BlockFn>(std::move(fn)), std::move(text)};
}

Value::Type Value::type() const {
  switch (v_.index()) {
    case 0: return Type::Nil;
    case 1: return Type::Logical;
    case 2:
    case 3: return Type::Number;
    case 4: return Type::String;
    case 5: return Type::Date;
    case 6: return Type::Array;
    case 7: return Type::Block;
    default: return Type::Object;
  }
}

char Value::ValType() const {
  static constexpr char kLetters[] = {'U', 'L', 'N', 'C', 'D', 'A', 'B', 'O'};
  return kLetters[static_cast<int>(type())];
}

bool Value::AsLogical() const {
  auto p = std::get_if<bool>(&v_);
  return p && *p;
}

double Value::AsNumber() const {
  if (auto p = std::get_if<int64_t>(&v_)) return double(*p);
  if (auto p = std::get_if<Real>(&v_)) return p->d;
  return 0;
}

int64_t Value::AsInt() const {
  if (auto p = std::get_if<int64_t>(&v_)) return *p;
  if (auto p = std::get_if<Real>(&v_)) {
    // NaN and out-of-range doubles have no integer value; clamp rather than invoke UB.
    if (std::isnan(p->d)) return 0;
    if (p->d >= 9.2e18) return INT64_MAX;
    if (p->d <= -9.2e18) return INT64_MIN;
    return int64_t(p->d);
  }
  return 0;
}

int Value::Decimals() const {
  if (auto p = std::get_if<Real>(&v_)) return p->decimals;
  return 0;
}

const std::string& Value::AsString() const& {
  auto p = std::get_if<std::string>(&v_);
  return p ? *p : kEmptyString;
}
std::string Value::AsString() && { return static_cast<const Value&>(*this).AsString(); }

Date Value::AsDate() const {
  auto p = std::get_if<nx::Date>(&v_);
  return p ? *p : nx::Date{};
}

const ArrayPtr& Value::AsArray() const& {
  auto p = std::get_if<ArrayPtr>(&v_);
  return p ? *p : kNullArray;
}
ArrayPtr Value::AsArray() && { return static_cast<const Value&>(*this).AsArray(); }

const Block& Value::AsBlock() const& {
  auto p = std::get_if<nx::Block>(&v_);
  return p ? *p : kEmptyBlock;
}
Block Value::AsBlock() && { return static_cast<const Value&>(*this).AsBlock(); }

const ObjectPtr& Value::AsObject() const& {
  auto p = std::get_if<ObjectPtr>(&v_);
  return p ? *p : kNullObject;
}
ObjectPtr Value::AsObject() && { return static_cast<const Value&>(*this).AsObject(); }

bool operator==(const Value& a, const Value& b) {
  if (a.IsNumber() && b.IsNumber()) {
    if (a.IsInteger() && b.IsInteger()) return a.AsInt() == b.AsInt();
    return a.AsNumber() == b.AsNumber();
  }
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case Value::Type::Nil: return true;
    case Value::Type::Logical: return a.AsLogical() == b.AsLogical();
    case Value::Type::String: return a.AsString() == b.AsString();
    case Value::Type::Date: return a.AsDate() == b.AsDate();
    case Value::Type::Array: return a.AsArray() == b.AsArray();
    case Value::Type::Block: return a.AsBlock().fn == b.AsBlock().fn;
    case Value::Type::Object: return a.AsObject() == b.AsObject();
    default: return false;
  }
}

Value Value::Eval(std::initializer_list<Value> args) const {
  return Eval(std::span<const Value>(args.begin(), args.size()));
}
Value Value::Eval(std::span<const Value> args) const {
  if (auto p = std::get_if<nx::Block>(&v_)) return p->Eval(args);
  return Value();
}

ArrayPtr NewArray() { return std::make_shared<Array>(); }
ArrayPtr NewArrayOfSize(size_t n) { return std::make_shared<Array>(n); }
ArrayPtr NewArray(std::initializer_list<Value> items) { return std::make_shared<Array>(items); }

size_t Len(const Value& v) {
  if (v.IsString()) return v.AsString().size();
  if (v.IsArray()) return Len(v.AsArray());
  return 0;
}
size_t Len(const ArrayPtr& a) { return a ? a->size() : 0; }

void AAdd(const ArrayPtr& a, Value v) {
  if (a) a->push_back(std::move(v));
}

void ASize(const ArrayPtr& a, size_t n) {
  if (a) a->resize(n);
}

void AIns(const ArrayPtr& a, size_t pos) {
  if (!a || pos < 1 || pos > a->size()) return;
  std::move_backward(a->begin() + (pos - 1), a->end() - 1, a->end());
  (*a)[pos - 1] = Value();
}

void ADel(const ArrayPtr& a, size_t pos) {
  if (!a || pos < 1 || pos > a->size()) return;
  std::move(a->begin() + pos, a->end(), a->begin() + (pos - 1));
  a->back() = Value();
}

ArrayPtr AClone(const ArrayPtr& a) {
  if (!a) return nullptr;
  auto copy = std::make_shared<Array>();
  copy->reserve(a->size());
  for (const auto& v : *a) copy->push_back(v.IsArray() ? Value(AClone(v.AsArray())) : v);
  return copy;
}

Value ATail(const ArrayPtr& a) { return a && !a->empty() ? a->back() : Value(); }

Value AGet(const ArrayPtr& a, size_t n) {
  if (!a || n < 1 || n > a->size()) return Value();
  return (*a)[n - 1];
}

Value AElem(const ArrayPtr& a, long n) {
  auto e = ErrorNew("BASE", EG_BOUND, 1132, "Bound error", "array access");
  e->Args = Value(NewArray({a ? Value(a) : Value(), Value(int64_t(n))}));
  return RaiseWithRetry(e, [&]() -> std::optional<Value> {
    if (a && n >= 1 && size_t(n) <= a->size()) return (*a)[size_t(n) - 1];
    return std::nullopt;
  });
}

bool ASet(const ArrayPtr& a, size_t n, Value v) {
  if (!a || n < 1 || n > a->size()) return false;
  (*a)[n - 1] = std::move(v);
  return true;
}

size_t AScan(const ArrayPtr& a, const Value& v, size_t nStart, size_t nCount) {
  if (!a || nStart < 1) return 0;
  for (size_t i = nStart - 1; i < a->size() && nCount > 0; ++i, --nCount)
    if (const Value& item = (*a)[i]; item.IsString() && v.IsString() ? CompareValues(item, v, false) == 0 : item == v)
      return i + 1;
  return 0;
}

size_t AScan(const ArrayPtr& a, const std::function<bool(const Value&)>& pred, size_t nStart) {
  if (!a || nStart < 1) return 0;
  for (size_t i = nStart - 1; i < a->size(); ++i)
    if (pred((*a)[i])) return i + 1;
  return 0;
}

void AEval(const ArrayPtr& a, const std::function<void(const Value&, size_t)>& fn, size_t nStart, size_t nCount) {
  if (!a || nStart < 1) return;
  // Index by position each time: the block may grow or shrink the array.
  for (size_t i = nStart - 1; i < a->size() && nCount > 0; ++i, --nCount) {
    Value item = (*a)[i];
    fn(item, i + 1);
  }
}

}  // namespace nx
