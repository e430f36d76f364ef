#include "rt/expr.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "rt/error.h"
#include "rt/set.h"
#include "rt/strings.h"
#include "rt/transform.h"
#include "rt/workarea.h"

namespace nx {

namespace {

// ---- evaluation helpers -------------------------------------------------

Value ArgError(const std::string& operation, std::initializer_list<Value> args, int genCode = EG_ARG,
               const char* description = "Argument error") {
  auto e = ErrorNew("BASE", genCode, genCode == EG_ZERODIV ? 1340 : 1081, description, operation);
  e->Args = Value(NewArray(args));
  e->CanSubstitute = true;
  return RaiseError(e);
}

Value Number(double d, int decimals = -1) {
  if (std::abs(d) < 9e15 && d == std::floor(d) && decimals <= 0) return Value(int64_t(d));
  return Value(d, decimals);
}

int Dec(const Value& v) { return v.IsInteger() ? 0 : std::max(v.Decimals(), 0); }

// `==` compares every byte; `=` and the orderings with SET EXACT on ignore
// trailing blanks; with it off the left side counts only as far as the right
// side reaches ("NAME = 'Sm'" matches every name starting with Sm).
int CompareStrings(std::string_view a, std::string_view b, bool exact) {
  if (!exact) {
    if (SetExact()) {
      while (!a.empty() && a.back() == ' ') a.remove_suffix(1);
      while (!b.empty() && b.back() == ' ') b.remove_suffix(1);
    } else if (b.size() < a.size()) {
      a = a.substr(0, b.size());
    }
  }
  int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace

int CompareValues(const Value& a, const Value& b, bool exact) {
  if (a.IsString() && b.IsString()) return CompareStrings(a.AsString(), b.AsString(), exact);
  if (a.IsNumber() && b.IsNumber()) {
    double x = a.AsNumber(), y = b.AsNumber();
    return x < y ? -1 : x > y ? 1 : 0;
  }
  if (a.IsDate() && b.IsDate()) return a.AsDate() < b.AsDate() ? -1 : a.AsDate() > b.AsDate() ? 1 : 0;
  if (a.IsLogical() && b.IsLogical()) return int(a.AsLogical()) - int(b.AsLogical());
  if (a.IsNil() && b.IsNil()) return 0;
  return 2;  // not comparable
}

namespace {

// ---- function registry --------------------------------------------------

struct Function {
  std::string signature;
  RtFunction fn;
};

std::map<std::string, Function>& Registry();

bool TypeFits(char want, const Value& v) {
  switch (want) {
    case 'C': return v.IsString();
    case 'N': return v.IsNumber();
    case 'D': return v.IsDate();
    case 'L': return v.IsLogical();
    case 'A': return v.IsArray();
    case 'B': return v.IsBlock();
    default: return true;
  }
}

Value Call(const std::string& name, const Function& f, std::span<const Value> args) {
  size_t i = 0;
  for (size_t p = 0; p < f.signature.size(); ++p) {
    char want = f.signature[p];
    if (want == ',' || want == '?') continue;
    bool optional = p + 1 < f.signature.size() && f.signature[p + 1] == '?';
    bool present = i < args.size() && !args[i].IsNil();
    if ((!present && !optional) || (present && !TypeFits(want, args[i]))) {
      auto e = ErrorNew("BASE", EG_ARG, 1099, "Argument error", name);
      e->Args = Value(NewArray());
      for (const auto& a : args) AAdd(e->Args.AsArray(), a);
      e->CanSubstitute = true;
      return RaiseError(e);
    }
    ++i;
  }
  return f.fn(args);
}

// Lengths a function may build, and the longest concatenation: far beyond a
// field, small enough that no expression can exhaust memory.
constexpr long kMaxString = 65535;

long Count(std::span<const Value> a, size_t i, long fallback) {
  if (i >= a.size() || a[i].IsNil()) return fallback;
  return long(std::clamp<int64_t>(a[i].AsInt(), -kMaxString, kMaxString));
}

std::map<std::string, Function> Builtins() {
  using S = std::span<const Value>;
  std::map<std::string, Function> m;
  auto add = [&](const char* name, const char* sig, RtFunction fn) { m[name] = {sig, std::move(fn)}; };
  add("CTOD", "C", [](S a) { return Value(CToD(a[0].AsString())); });
  add("DTOC", "D", [](S a) { return Value(DToC(a[0].AsDate())); });
  add("DTOS", "D", [](S a) { return Value(DToS(a[0].AsDate())); });
  add("STOD", "C", [](S a) { return Value(SToD(a[0].AsString())); });
  add("UPPER", "C", [](S a) { return Value(Upper(a[0].AsString())); });
  add("LOWER", "C", [](S a) { return Value(Lower(a[0].AsString())); });
  add("STR", "N,N?,N?", [](S a) {
    return a.size() > 1 && !a[1].IsNil() ? Value(Str(a[0], int(Count(a, 1, 10)), int(Count(a, 2, 0)))) : Value(Str(a[0]));
  });
  add("STRZERO", "N,N?,N?", [](S a) { return Value(StrZero(a[0], int(Count(a, 1, 10)), int(Count(a, 2, 0)))); });
  add("VAL", "C", [](S a) { return Val(a[0].AsString()); });
  add("SUBSTR", "C,N,N?", [](S a) { return Value(SubStr(a[0].AsString(), Count(a, 1, 1), Count(a, 2, -1))); });
  add("LEFT", "C,N", [](S a) { return Value(Left(a[0].AsString(), Count(a, 1, 0))); });
  add("RIGHT", "C,N", [](S a) { return Value(Right(a[0].AsString(), Count(a, 1, 0))); });
  add("TRIM", "C", [](S a) { return Value(Trim(a[0].AsString())); });
  add("RTRIM", "C", [](S a) { return Value(Trim(a[0].AsString())); });
  add("LTRIM", "C", [](S a) { return Value(LTrim(a[0].AsString())); });
  add("ALLTRIM", "C", [](S a) { return Value(AllTrim(a[0].AsString())); });
  add("PADR", "C,N", [](S a) { return Value(PadR(a[0].AsString(), Count(a, 1, 0))); });
  add("PADL", "C,N", [](S a) { return Value(PadL(a[0].AsString(), Count(a, 1, 0))); });
  add("SPACE", "N", [](S a) { return Value(Space(Count(a, 0, 0))); });
  add("AT", "C,C", [](S a) { return Value(int64_t(At(a[0].AsString(), a[1].AsString()))); });
  add("LEN", "U", [](S a) {
    if (!a[0].IsString() && !a[0].IsArray()) return ArgError("LEN", {a[0]});
    return Value(int64_t(Len(a[0])));
  });
  add("EMPTY", "U?", [](S a) { return Value(a.empty() || Empty(a[0])); });
  add("VALTYPE", "U?", [](S a) { return Value(std::string(1, a.empty() ? 'U' : a[0].ValType())); });
  add("DATE", "", [](S) { return Value(Today()); });
  add("YEAR", "D", [](S a) { return Value(Year(a[0].AsDate())); });
  add("MONTH", "D", [](S a) { return Value(Month(a[0].AsDate())); });
  add("DAY", "D", [](S a) { return Value(Day(a[0].AsDate())); });
  add("ABS", "N", [](S a) { return a[0].IsInteger() ? Value(a[0].AsInt() < 0 ? -a[0].AsInt() : a[0].AsInt()) : Value(std::abs(a[0].AsNumber()), a[0].Decimals()); });
  add("INT", "N", [](S a) { return Number(std::trunc(a[0].AsNumber())); });
  add("ROUND", "N,N", [](S a) {
    int d = int(std::clamp<int64_t>(a[1].AsInt(), -15, 15));
    double f = std::pow(10.0, d);
    return Number(std::round(a[0].AsNumber() * f) / f, std::max(d, 0));
  });
  add("MAX", "U,U", [](S a) { int c = CompareValues(a[0], a[1], true); return c == 2 ? ArgError("MAX", {a[0], a[1]}) : c >= 0 ? a[0] : a[1]; });
  add("MIN", "U,U", [](S a) { int c = CompareValues(a[0], a[1], true); return c == 2 ? ArgError("MIN", {a[0], a[1]}) : c <= 0 ? a[0] : a[1]; });
  add("TRANSFORM", "U,C?", [](S a) { return Value(Transform(a[0], a.size() > 1 ? a[1].AsString() : std::string())); });
  add("RECNO", "", [](S) { return Value(RecNo()); });
  add("RECCOUNT", "", [](S) { return Value(RecCount()); });
  add("LASTREC", "", [](S) { return Value(LastRec()); });
  add("DELETED", "", [](S) { return Value(Deleted()); });
  add("EOF", "", [](S) { return Value(Eof()); });
  add("BOF", "", [](S) { return Value(Bof()); });
  add("FOUND", "", [](S) { return Value(Found()); });
  add("ALIAS", "N?", [](S a) { return Value(Alias(int(Count(a, 0, 0)))); });
  add("FIELDGET", "N", [](S a) { return FieldGet(int(Count(a, 0, 0))); });
  add("FIELDPOS", "C", [](S a) { return Value(FieldPos(a[0].AsString())); });
  return m;
}

std::map<std::string, Function>& Registry() {
  static std::map<std::string, Function> registry = Builtins();
  return registry;
}

// ---- compiled nodes -----------------------------------------------------

// The block's arguments; `locals` is a writable copy for blocks that assign
// their parameters.
struct Frame {
  std::span<const Value> args;
  std::vector<Value>* locals = nullptr;
  const Value& Arg(size_t i) const {
    static const Value kNil;
    if (locals) return i < locals->size() ? (*locals)[i] : kNil;
    return i < args.size() ? args[i] : kNil;
  }
};
using Fn = std::function<Value(const Frame&)>;

// What an identifier names, for assignment.
struct Target {
  enum Kind { None, Param, Name, Field, MemVar, AliasField } kind = None;
  size_t index = 0;
  std::string name, alias;
};

struct Node {
  Fn fn;
  int depth = 1;
  Target target;
};

std::map<std::string, Value>& MemVars() {
  static std::map<std::string, Value> vars;
  return vars;
}

Value NoVariable(const std::string& name) {
  auto e = ErrorNew("BASE", EG_NOVAR, 1003, "Variable does not exist", name);
  e->CanSubstitute = true;
  return RaiseError(e);
}

Value ReadField(const std::string& name) {
  if (int pos = FieldPos(name)) return FieldGet(pos);
  return NoVariable(name);
}

// A bare name is a field of the selected area, else a memory variable.
Value ReadName(const std::string& name) {
  if (int pos = FieldPos(name)) return FieldGet(pos);
  auto& vars = MemVars();
  if (auto it = vars.find(name); it != vars.end()) return it->second;
  return NoVariable(name);
}

Value Arith(char op, const Value& a, const Value& b) {
  const char opText[2] = {op, 0};
  if (a.IsNumber() && b.IsNumber()) {
    double x = a.AsNumber(), y = b.AsNumber();
    if (a.IsInteger() && b.IsInteger() && op != '/' && op != '^') {
      int64_t i = a.AsInt(), j = b.AsInt(), r = 0;
      bool overflow = false;
      switch (op) {
        case '+': overflow = __builtin_add_overflow(i, j, &r); break;
        case '-': overflow = __builtin_sub_overflow(i, j, &r); break;
        case '*': overflow = __builtin_mul_overflow(i, j, &r); break;
        case '%':
          if (j == 0) return ArgError("%", {a, b}, EG_ZERODIV, "Zero divisor");
          r = j == -1 ? 0 : i % j;
          break;
      }
      if (!overflow) return Value(r);
    }
    switch (op) {
      case '+': return Number(x + y, std::max(Dec(a), Dec(b)));
      case '-': return Number(x - y, std::max(Dec(a), Dec(b)));
      case '*': return Number(x * y, Dec(a) + Dec(b));
      case '^': return Number(std::pow(x, y));
      case '/':
      case '%':
        if (y == 0) return ArgError(opText, {a, b}, EG_ZERODIV, "Zero divisor");
        return op == '/' ? Number(x / y) : Number(std::fmod(x, y), std::max(Dec(a), Dec(b)));
    }
  }
  if (a.IsString() && b.IsString() && (op == '+' || op == '-')) {
    if (a.AsString().size() + b.AsString().size() > size_t(kMaxString) * 16)
      return ArgError(opText, {a, b}, EG_ARG, "String overflow");
    if (op == '+') return Value(a.AsString() + b.AsString());
    // Minus: the left operand's trailing blanks move to the end.
    std::string left = Trim(a.AsString());
    return Value(left + b.AsString() + std::string(a.AsString().size() - left.size(), ' '));
  }
  auto shift = [](Date d, double n) {
    double j = d.julian + std::trunc(n);
    return j >= 1 && j <= 5373484 ? Value(Date{int32_t(j)}) : Value(Date{});
  };
  if (a.IsDate() && b.IsNumber() && (op == '+' || op == '-')) return shift(a.AsDate(), op == '+' ? b.AsNumber() : -b.AsNumber());
  if (a.IsNumber() && b.IsDate() && op == '+') return shift(b.AsDate(), a.AsNumber());
  if (a.IsDate() && b.IsDate() && op == '-') return Value(int64_t(a.AsDate().julian) - b.AsDate().julian);
  return ArgError(opText, {a, b});
}

// ---- lexer and parser ---------------------------------------------------

enum class Tok { End, Number, String, Ident, True, False, Nil, And, Or, Not, Op };

struct Token {
  Tok kind = Tok::End;
  std::string text;  // identifier (upper case), string contents, operator, number text
  size_t pos = 0;
};

struct SyntaxError {
  std::string what;
  size_t pos;
};

class Parser {
 public:
  explicit Parser(std::string_view text) : s_(text) { Next(); }

  Block CompileAll() {
    std::string text(s_);
    Node body;
    if (Is("{")) {
      Next();
      Expect("|");
      while (!Is("|")) {
        if (tok_.kind != Tok::Ident) Fail("parameter name expected");
        params_.push_back(tok_.text);
        Next();
        if (Is(",")) Next();
        else if (!Is("|")) Fail("',' or '|' expected");
      }
      Next();
      body = List();
      Expect("}");
    } else {
      body = List();
    }
    if (tok_.kind != Tok::End) Fail("unexpected '" + tok_.text + "'");
    auto fn = std::make_shared<Fn>(std::move(body.fn));
    if (assignsParam_) {
      size_t params = params_.size();
      return MakeBlock([fn, params](std::span<const Value> args) {
        std::vector<Value> locals(args.begin(), args.end());
        if (locals.size() < params) locals.resize(params);
        return (*fn)(Frame{args, &locals});
      }, text);
    }
    return MakeBlock([fn](std::span<const Value> args) { return (*fn)(Frame{args}); }, text);
  }

 private:
  [[noreturn]] void Fail(const std::string& what) { throw SyntaxError{what, tok_.pos}; }

  bool Is(const char* op) const { return tok_.kind == Tok::Op && tok_.text == op; }
  void Expect(const char* op) {
    if (!Is(op)) Fail(std::string("'") + op + "' expected");
    Next();
  }

  void Next() {
    // '[' opens a string only where an operand may start.
    bool operandExpected = tok_.kind == Tok::And || tok_.kind == Tok::Or || tok_.kind == Tok::Not ||
                           (tok_.kind == Tok::Op && tok_.text != ")" && tok_.text != "}") ||
                           (tok_.kind == Tok::End && i_ == 0);
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
    tok_ = Token{};
    tok_.pos = i_;
    if (i_ >= s_.size()) return;
    char c = s_[i_];
    if (std::isdigit(static_cast<unsigned char>(c)) || (c == '.' && i_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_ + 1])))) {
      size_t start = i_;
      while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
      if (i_ < s_.size() && s_[i_] == '.' && i_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_ + 1]))) {
        ++i_;
        while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
      }
      tok_.kind = Tok::Number;
      tok_.text = std::string(s_.substr(start, i_ - start));
      return;
    }
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      size_t start = i_;
      while (i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_')) ++i_;
      tok_.kind = Tok::Ident;
      tok_.text = Upper(s_.substr(start, i_ - start));
      if (tok_.text == "NIL") tok_.kind = Tok::Nil;
      return;
    }
    if (c == '"' || c == '\'' || (c == '[' && operandExpected)) {
      char close = c == '[' ? ']' : c;
      size_t end = s_.find(close, i_ + 1);
      if (end == std::string_view::npos) Fail("unterminated string");
      tok_.kind = Tok::String;
      tok_.text = std::string(s_.substr(i_ + 1, end - i_ - 1));
      i_ = end + 1;
      return;
    }
    if (c == '.') {
      // .T. .F. .Y. .N. .AND. .OR. .NOT.
      size_t end = s_.find('.', i_ + 1);
      std::string word = end == std::string_view::npos ? std::string() : Upper(s_.substr(i_ + 1, end - i_ - 1));
      static const std::pair<const char*, Tok> kWords[] = {{"T", Tok::True}, {"Y", Tok::True}, {"F", Tok::False},
                                                          {"N", Tok::False}, {"AND", Tok::And}, {"OR", Tok::Or},
                                                          {"NOT", Tok::Not}};
      for (const auto& [w, kind] : kWords)
        if (word == w) {
          tok_.kind = kind;
          tok_.text = "." + word + ".";
          i_ = end + 1;
          return;
        }
      Fail("unknown operator starting with '.'");
    }
    static const char* kOps[] = {"==", "!=", "<>", "<=", ">=", "->", "**", ":=", "=", "#", "<", ">", "$", "+", "-",
                                 "*", "/", "%", "^", "!", "(", ")", "{", "}", "|", ","};
    for (const char* op : kOps) {
      size_t n = std::strlen(op);
      if (s_.substr(i_, n) == op) {
        tok_.kind = Tok::Op;
        tok_.text = op;
        i_ += n;
        return;
      }
    }
    Fail(std::string("unexpected character '") + c + "'");
  }

  Node Make(Fn fn, std::initializer_list<int> childDepths) {
    int d = 1;
    for (int c : childDepths) d = std::max(d, c + 1);
    if (d > kMaxDepth) Fail("expression too complex");
    return Node{std::move(fn), d, {}};
  }

  struct DepthGuard {
    Parser& p;
    explicit DepthGuard(Parser& parser) : p(parser) {
      if (++p.nesting_ > kMaxNesting) p.Fail("expression nested too deeply");
    }
    ~DepthGuard() { --p.nesting_; }
  };

  Node List() {
    Node first = Assign();
    if (!Is(",")) return first;
    std::vector<Fn> items{std::move(first.fn)};
    int depth = first.depth;
    while (Is(",")) {
      Next();
      Node n = Assign();
      depth = std::max(depth, n.depth);
      items.push_back(std::move(n.fn));
    }
    return Make([items](const Frame& f) {
      Value last;
      for (const auto& fn : items) last = fn(f);
      return last;
    }, {depth});
  }

  // name := value, right to left; answers the value assigned.
  Node Assign() {
    Node left = Or();
    if (!Is(":=")) return left;
    Target t = left.target;
    if (t.kind == Target::None) Fail("':=' needs a variable or field on its left");
    DepthGuard guard(*this);
    Next();
    Node right = Assign();
    if (t.kind == Target::Param) assignsParam_ = true;
    return Make([t, r = std::move(right.fn)](const Frame& f) {
      Value v = r(f);
      switch (t.kind) {
        case Target::Param: (*f.locals)[t.index] = v; break;
        case Target::Name:
          if (int pos = FieldPos(t.name)) FieldPut(pos, v);
          else MemVarPut(t.name, v);
          break;
        case Target::Field:
          if (int pos = FieldPos(t.name)) FieldPut(pos, v);
          else NoVariable(t.name);
          break;
        case Target::MemVar: MemVarPut(t.name, v); break;
        case Target::AliasField:
          InAlias(t.alias, [&] {
            if (int pos = FieldPos(t.name)) FieldPut(pos, v);
            else NoVariable(t.name);
          });
          break;
        case Target::None: break;
      }
      return v;
    }, {right.depth});
  }

  Node Or() {
    Node left = And();
    while (tok_.kind == Tok::Or) {
      Next();
      Node right = And();
      left = Make([l = std::move(left.fn), r = std::move(right.fn)](const Frame& f) {
        Value a = l(f);
        if (!a.IsLogical()) return ArgError(".OR.", {a});
        if (a.AsLogical()) return Value(true);
        Value b = r(f);
        return b.IsLogical() ? b : ArgError(".OR.", {a, b});
      }, {left.depth, right.depth});
    }
    return left;
  }

  Node And() {
    Node left = NotExpr();
    while (tok_.kind == Tok::And) {
      Next();
      Node right = NotExpr();
      left = Make([l = std::move(left.fn), r = std::move(right.fn)](const Frame& f) {
        Value a = l(f);
        if (!a.IsLogical()) return ArgError(".AND.", {a});
        if (!a.AsLogical()) return Value(false);
        Value b = r(f);
        return b.IsLogical() ? b : ArgError(".AND.", {a, b});
      }, {left.depth, right.depth});
    }
    return left;
  }

  Node NotExpr() {
    if (tok_.kind == Tok::Not || Is("!")) {
      DepthGuard guard(*this);
      Next();
      Node inner = NotExpr();
      return Make([in = std::move(inner.fn)](const Frame& f) {
        Value a = in(f);
        return a.IsLogical() ? Value(!a.AsLogical()) : ArgError(".NOT.", {a});
      }, {inner.depth});
    }
    return Relation();
  }

  Node Relation() {
    Node left = Additive();
    static const char* kRel[] = {"==", "!=", "<>", "#", "<=", ">=", "=", "<", ">", "$"};
    while (tok_.kind == Tok::Op && std::find_if(std::begin(kRel), std::end(kRel), [&](const char* r) { return tok_.text == r; }) != std::end(kRel)) {
      std::string op = tok_.text;
      Next();
      Node right = Additive();
      left = Make([op, l = std::move(left.fn), r = std::move(right.fn)](const Frame& f) {
        Value a = l(f), b = r(f);
        if (op == "$") {
          if (!a.IsString() || !b.IsString()) return ArgError("$", {a, b});
          return Value(b.AsString().find(a.AsString()) != std::string::npos);
        }
        if (op == "==") {
          if (a.IsString() && b.IsString()) return Value(a.AsString() == b.AsString());
          int c = CompareValues(a, b, true);
          if (c == 2) return (a.IsNil() || b.IsNil()) ? Value(false) : ArgError("==", {a, b});
          return Value(c == 0);
        }
        int c = CompareValues(a, b, false);
        bool unequal = op == "!=" || op == "<>" || op == "#";
        if (c == 2) {
          if (op == "=" || unequal) {
            if (a.IsNil() || b.IsNil()) return Value(unequal);
          }
          return ArgError(op, {a, b});
        }
        if (op == "=") return Value(c == 0);
        if (unequal) return Value(c != 0);
        if (op == "<") return Value(c < 0);
        if (op == "<=") return Value(c <= 0);
        if (op == ">") return Value(c > 0);
        return Value(c >= 0);
      }, {left.depth, right.depth});
    }
    return left;
  }

  Node Additive() {
    Node left = Multiplicative();
    while (Is("+") || Is("-")) {
      char op = tok_.text[0];
      Next();
      Node right = Multiplicative();
      left = Make([op, l = std::move(left.fn), r = std::move(right.fn)](const Frame& f) { return Arith(op, l(f), r(f)); },
                  {left.depth, right.depth});
    }
    return left;
  }

  Node Multiplicative() {
    Node left = Power();
    while (Is("*") || Is("/") || Is("%")) {
      char op = tok_.text[0];
      Next();
      Node right = Power();
      left = Make([op, l = std::move(left.fn), r = std::move(right.fn)](const Frame& f) { return Arith(op, l(f), r(f)); },
                  {left.depth, right.depth});
    }
    return left;
  }

  Node Power() {
    Node left = Unary();
    while (Is("**") || Is("^")) {
      Next();
      Node right = Unary();
      left = Make([l = std::move(left.fn), r = std::move(right.fn)](const Frame& f) { return Arith('^', l(f), r(f)); },
                  {left.depth, right.depth});
    }
    return left;
  }

  Node Unary() {
    if (Is("-") || Is("+")) {
      DepthGuard guard(*this);
      bool negate = Is("-");
      Next();
      Node inner = Unary();
      if (!negate) return inner;
      return Make([in = std::move(inner.fn)](const Frame& f) {
        Value a = in(f);
        if (!a.IsNumber()) return ArgError("-", {a});
        if (a.IsInteger() && a.AsInt() != INT64_MIN) return Value(-a.AsInt());
        return Value(-a.AsNumber(), a.Decimals());
      }, {inner.depth});
    }
    if (tok_.kind == Tok::Not || Is("!")) return NotExpr();
    return Primary();
  }

  Node Primary() {
    DepthGuard guard(*this);
    Token t = tok_;
    switch (t.kind) {
      case Tok::Number: {
        Next();
        Value v = Val(t.text);
        return Make([v](const Frame&) { return v; }, {});
      }
      case Tok::String: {
        Next();
        Value v(t.text);
        return Make([v](const Frame&) { return v; }, {});
      }
      case Tok::True:
      case Tok::False: {
        Next();
        bool b = t.kind == Tok::True;
        return Make([b](const Frame&) { return Value(b); }, {});
      }
      case Tok::Nil:
        Next();
        return Make([](const Frame&) { return Value(); }, {});
      case Tok::Op:
        if (t.text == "(") {
          Next();
          Node inner = List();
          Expect(")");
          return inner;
        }
        Fail(t.text == "" ? "operand expected" : "operand expected before '" + t.text + "'");
      case Tok::Ident: return Identifier();
      case Tok::End: Fail("unexpected end of expression");
      default: Fail("operand expected before '" + t.text + "'");
    }
  }

  Node Identifier() {
    std::string name = tok_.text;
    Next();
    if (Is("(")) return FunctionCall(name);
    if (Is("->")) {
      Next();
      if (tok_.kind != Tok::Ident) Fail("name expected after '->'");
      std::string field = tok_.text;
      Next();
      if (name == "FIELD" || name == "_FIELD") return FieldRef(field);
      if (name == "M" || name == "MEMVAR") {
        Node n = Make([field](const Frame&) {
          auto& vars = MemVars();
          auto it = vars.find(field);
          return it != vars.end() ? it->second : NoVariable(field);
        }, {});
        n.target = {Target::MemVar, 0, field, {}};
        return n;
      }
      Node n = Make([name, field](const Frame&) {
        return InAlias(name, [&] { return ReadField(field); });
      }, {});
      n.target = {Target::AliasField, 0, field, name};
      return n;
    }
    auto p = std::find(params_.begin(), params_.end(), name);
    if (p != params_.end()) {
      size_t index = size_t(p - params_.begin());
      Node n = Make([index](const Frame& f) { return f.Arg(index); }, {});
      n.target = {Target::Param, index, name, {}};
      return n;
    }
    Node n = Make([name](const Frame&) { return ReadName(name); }, {});
    n.target = {Target::Name, 0, name, {}};
    return n;
  }

  Node FieldRef(std::string name) {
    Node n = Make([name](const Frame&) { return ReadField(name); }, {});
    n.target = {Target::Field, 0, std::move(name), {}};
    return n;
  }

  Node FunctionCall(const std::string& name) {
    Next();  // '('
    std::vector<Fn> args;
    int depth = 0;
    if (!Is(")")) {
      for (;;) {
        if (Is(",") || Is(")")) {
          args.push_back([](const Frame&) { return Value(); });  // an omitted argument
        } else {
          Node n = Assign();
          depth = std::max(depth, n.depth);
          args.push_back(std::move(n.fn));
        }
        if (Is(")")) break;
        Expect(",");
        if (args.size() > 64) Fail("too many arguments");
      }
    }
    Next();  // ')'
    if (name == "IIF" || name == "IF") {
      if (args.size() != 3) Fail("IIf() takes three arguments");
      return Make([c = args[0], t = args[1], e = args[2]](const Frame& f) {
        Value cond = c(f);
        if (!cond.IsLogical()) return ArgError("IIF", {cond});
        return cond.AsLogical() ? t(f) : e(f);
      }, {depth});
    }
    auto it = Registry().find(name);
    if (it == Registry().end()) Fail("unknown function " + name + "()");
    // The registry only grows; entries stay put.
    const Function* fn = &it->second;
    return Make([name, fn, args = std::move(args)](const Frame& f) {
      std::vector<Value> values;
      values.reserve(args.size());
      for (const auto& a : args) values.push_back(a(f));
      return Call(name, *fn, values);
    }, {depth});
  }

  // Bounds on parser recursion and on the depth of the compiled tree, which
  // running and destroying the block recurse through.
  static constexpr int kMaxNesting = 100;
  static constexpr int kMaxDepth = 400;
  std::string_view s_;
  size_t i_ = 0;
  Token tok_;
  int nesting_ = 0;
  std::vector<std::string> params_;
  bool assignsParam_ = false;
};

}  // namespace

Block Compile(std::string_view text) {
  try {
    Parser parser(text);
    return parser.CompileAll();
  } catch (const SyntaxError& e) {
    auto err = ErrorNew("BASE", EG_SYNTAX, 1449,
                        "Syntax error: " + e.what + " at position " + std::to_string(e.pos + 1), std::string(text));
    RaiseError(err);
    return Block{};
  }
}

bool MemVarExists(std::string_view name) { return MemVars().contains(Upper(AllTrim(name))); }

Value MemVarGet(std::string_view name) {
  auto& vars = MemVars();
  auto it = vars.find(Upper(AllTrim(name)));
  return it != vars.end() ? it->second : Value();
}

void MemVarPut(std::string_view name, Value value) { MemVars()[Upper(AllTrim(name))] = std::move(value); }

void MemVarRelease(std::string_view name) { MemVars().erase(Upper(AllTrim(name))); }

void PrivateScope::Declare(std::string_view name, Value value) {
  std::string key = Upper(AllTrim(name));
  auto& vars = MemVars();
  auto it = vars.find(key);
  saved_.emplace_back(key, it != vars.end() ? std::optional<Value>(it->second) : std::nullopt);
  vars[key] = std::move(value);
}

PrivateScope::~PrivateScope() {
  auto& vars = MemVars();
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->second) vars[it->first] = *it->second;
    else vars.erase(it->first);
  }
}

void RegisterFunction(std::string name, std::string signature, RtFunction fn) {
  Registry()[Upper(name)] = {std::move(signature), std::move(fn)};
}

bool IsFunction(std::string_view name) {
  std::string n = Upper(name);
  return n == "IIF" || Registry().contains(n);
}

}  // namespace nx
