// Dynamic values of the runtime layer: NIL, logical, number, string, date,
// array, codeblock and object reference. Arrays, blocks and objects are
// reference types, as in xBase: copying a Value shares them.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace nx {

class Value;

// A calendar date as a Julian day number; 0 is the empty date.
struct Date {
  int32_t julian = 0;
  bool Empty() const { return julian == 0; }
  friend auto operator<=>(const Date&, const Date&) = default;
};

// Root of every object a Value can refer to (windows, controls, errors, ...).
class Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object() = default;
  // Upper-case class name, as the runtime's __ClassName answers it.
  virtual const char* ClassName() const = 0;
};
using ObjectPtr = std::shared_ptr<Object>;

using Array = std::vector<Value>;
using ArrayPtr = std::shared_ptr<Array>;
using BlockFn = std::function<Value(std::span<const Value>)>;

// A codeblock: a closure over Value arguments. `text` keeps the source form
// when the block was compiled from text ("{|| ... }" otherwise).
struct Block {
  std::shared_ptr<const BlockFn> fn;
  std::string text;
  Value Eval(std::span<const Value> args) const;
  Value Eval(std::initializer_list<Value> args) const;
  Value Eval() const;
  explicit operator bool() const { return fn && *fn; }
};

class Value {
 public:
  enum class Type : uint8_t { Nil, Logical, Number, String, Date, Array, Block, Object };

  Value() = default;
  Value(std::nullptr_t) {}
  Value(bool b) : v_(b) {}
  Value(int n) : v_(int64_t{n}) {}
  Value(unsigned n) : v_(int64_t{n}) {}
  Value(long n) : v_(int64_t{n}) {}
  Value(unsigned long n) : v_(int64_t(n)) {}
  Value(long long n) : v_(int64_t(n)) {}
  Value(unsigned long long n) : v_(int64_t(n)) {}
  Value(double d, int decimals = -1) : v_(Real{d, int8_t(decimals)}) {}
  Value(const char* s) : v_(std::string(s ? s : "")) {}
  Value(std::string s) : v_(std::move(s)) {}
  Value(std::string_view s) : v_(std::string(s)) {}
  Value(nx::Date d) : v_(d) {}
  Value(ArrayPtr a) : v_(std::move(a)) {}
  Value(Array a) : v_(std::make_shared<Array>(std::move(a))) {}
  Value(nx::Block b) : v_(std::move(b)) {}
  Value(ObjectPtr o) : v_(std::move(o)) {}
  template <class T>
    requires std::is_base_of_v<Object, T>
  Value(std::shared_ptr<T> o) : v_(ObjectPtr(std::move(o))) {}

  Type type() const;
  // The runtime's ValType letter: U L N C D A B O.
  char ValType() const;

  bool IsNil() const { return v_.index() == 0; }
  bool IsLogical() const { return std::holds_alternative<bool>(v_); }
  bool IsNumber() const { return std::holds_alternative<int64_t>(v_) || std::holds_alternative<Real>(v_); }
  bool IsInteger() const { return std::holds_alternative<int64_t>(v_); }
  bool IsString() const { return std::holds_alternative<std::string>(v_); }
  bool IsDate() const { return std::holds_alternative<nx::Date>(v_); }
  bool IsArray() const { return std::holds_alternative<ArrayPtr>(v_); }
  bool IsBlock() const { return std::holds_alternative<nx::Block>(v_); }
  bool IsObject() const { return std::holds_alternative<ObjectPtr>(v_); }

  // Typed reads; a value of another type reads as the type's empty value
  // (false, 0, "", empty date, null array/object, empty block).
  bool AsLogical() const;
  double AsNumber() const;
  int64_t AsInt() const;  // truncates towards zero
  // On a temporary these answer copies, so `AGet( a, n ).AsArray()` never
  // refers into a value that is gone.
  const std::string& AsString() const&;
  std::string AsString() &&;
  nx::Date AsDate() const;
  const ArrayPtr& AsArray() const&;
  ArrayPtr AsArray() &&;
  const nx::Block& AsBlock() const&;
  nx::Block AsBlock() &&;
  const ObjectPtr& AsObject() const&;
  ObjectPtr AsObject() &&;
  template <class T>
  std::shared_ptr<T> As() const { return std::dynamic_pointer_cast<T>(AsObject()); }

  // Decimals a floating number was made with (-1: the SET DECIMALS default).
  int Decimals() const;

  // Exact equality (the runtime's ==): same type and same contents; arrays,
  // blocks and objects compare by identity.
  friend bool operator==(const Value& a, const Value& b);

  // Evaluate a codeblock value; NIL for anything else.
  Value Eval(std::initializer_list<Value> args = {}) const;
  Value Eval(std::span<const Value> args) const;

 private:
  struct Real {
    double d;
    int8_t decimals;
  };
  std::variant<std::monostate, bool, int64_t, Real, std::string, nx::Date, ArrayPtr, nx::Block, ObjectPtr> v_;
};

// A set/get binding: answers the variable when called without a value and
// assigns it when called with one.
using SetGet = std::function<Value(std::optional<Value> uValue)>;

// Makes a codeblock from any callable taking (std::span<const Value>).
Block MakeBlock(BlockFn fn, std::string text = {});

// Array helpers with the runtime's 1-based indexing.
ArrayPtr NewArray();
ArrayPtr NewArrayOfSize(size_t n);  // n NIL elements, the runtime's Array( n )
ArrayPtr NewArray(std::initializer_list<Value> items);
size_t Len(const Value& v);  // strings, arrays; 0 otherwise
size_t Len(const ArrayPtr& a);
void AAdd(const ArrayPtr& a, Value v);
void ASize(const ArrayPtr& a, size_t n);
void AIns(const ArrayPtr& a, size_t pos);   // shifts right, last element is lost, new slot NIL
void ADel(const ArrayPtr& a, size_t pos);   // shifts left, last slot becomes NIL
ArrayPtr AClone(const ArrayPtr& a);         // deep copy of nested arrays
Value ATail(const ArrayPtr& a);
// Element n (1-based); NIL when out of range.
Value AGet(const ArrayPtr& a, size_t n);
// a[n] as compiled code reads it: a position outside the array raises
// "BASE/1132 Bound error: array access" through the error block (Args: the
// array and the position), and the block's value stands for the element.
Value AElem(const ArrayPtr& a, long n);
bool ASet(const ArrayPtr& a, size_t n, Value v);
// First index (1-based) whose element equals v as the runtime's = compares
// (strings under SET EXACT: with it off, an element matches when it starts
// with v), or for which the block returns true; 0 when none. Starts at nStart.
size_t AScan(const ArrayPtr& a, const Value& v, size_t nStart = 1, size_t nCount = SIZE_MAX);
size_t AScan(const ArrayPtr& a, const std::function<bool(const Value&)>& pred, size_t nStart = 1);
void AEval(const ArrayPtr& a, const std::function<void(const Value&, size_t)>& fn, size_t nStart = 1,
           size_t nCount = SIZE_MAX);

}  // namespace nx
