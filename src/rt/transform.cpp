#include "rt/transform.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

#include "rt/strings.h"

namespace nx {

namespace {

struct Picture {
  std::string functions;  // upper case letters after '@'
  std::string_view tmpl;
  bool Has(char f) const { return functions.find(f) != std::string::npos; }
};

Picture Parse(std::string_view picture) {
  Picture p;
  if (!picture.empty() && picture[0] == '@') {
    size_t end = picture.find(' ');
    std::string_view f = picture.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
    p.functions = Upper(f);
    p.tmpl = end == std::string_view::npos ? std::string_view() : picture.substr(end + 1);
  } else {
    p.tmpl = picture;
  }
  return p;
}

bool IsDigitSlot(char c) { return c == '9' || c == '#' || c == '*' || c == '$'; }
bool IsTemplateChar(char c) {
  return IsDigitSlot(c) || c == 'A' || c == 'N' || c == 'X' || c == '!' || c == 'L' || c == 'Y' ||
         c == 'a' || c == 'n' || c == 'x' || c == 'l' || c == 'y';
}

std::string FormatString(const std::string& s, const Picture& p) {
  bool upper = p.Has('!');
  if (p.tmpl.empty()) return upper ? Upper(s) : s;
  std::string out;
  size_t i = 0;
  for (char t : p.tmpl) {
    if (IsTemplateChar(t)) {
      char c = i < s.size() ? s[i] : ' ';
      ++i;
      if (upper || t == '!') c = char(std::toupper(static_cast<unsigned char>(c)));
      out += c;
    } else {
      out += t;
      if (!p.Has('R')) ++i;  // without @R a literal stands in for the character
    }
  }
  return out;
}

std::string Stars(std::string_view tmpl) {
  std::string out(tmpl);
  for (char& c : out)
    if (IsDigitSlot(c)) c = '*';
  return out;
}

std::string FormatTemplateNumber(double n, std::string_view tmpl, bool allowMinus) {
  size_t point = tmpl.find('.');
  size_t intSlots = 0, decSlots = 0;
  for (size_t i = 0; i < tmpl.size(); ++i)
    if (IsDigitSlot(tmpl[i])) (point != std::string_view::npos && i > point ? decSlots : intSlots)++;
  if (!std::isfinite(n)) return Stars(tmpl);
  int shown = int(std::min<size_t>(decSlots, 15));
  if (std::abs(n) >= 1e300) return Stars(tmpl);
  std::string text = FormatFixed(std::abs(n), shown);
  size_t dot = text.find('.');
  std::string intPart = text.substr(0, dot), decPart = dot == std::string::npos ? "" : text.substr(dot + 1);
  bool negative = n < 0 && text.find_first_of("123456789") != std::string::npos && allowMinus;
  if (intPart == "0" && intSlots == 0) intPart.clear();
  if (intPart.size() + (negative ? 1 : 0) > intSlots) return Stars(tmpl);

  std::string out(tmpl);
  size_t intEnd = point == std::string_view::npos ? tmpl.size() : point;
  // Integer part right to left from the decimal point.
  size_t next = intPart.size();
  bool minusPending = negative;
  for (size_t k = intEnd; k-- > 0;) {
    char t = tmpl[k];
    char fill = t == '*' ? '*' : t == '$' ? '$' : ' ';
    if (IsDigitSlot(t)) {
      if (next > 0) out[k] = intPart[--next];
      else if (minusPending) out[k] = '-', minusPending = false;
      else out[k] = fill;
    } else if (t == ',') {
      if (next > 0) continue;
      if (minusPending) out[k] = '-', minusPending = false;
      else out[k] = k > 0 && tmpl[k - 1] == '*' ? '*' : ' ';
    }
  }
  // Decimal part left to right.
  size_t d = 0;
  for (size_t k = intEnd + 1; k < tmpl.size() && point != std::string_view::npos; ++k)
    if (IsDigitSlot(tmpl[k])) out[k] = d < decPart.size() ? decPart[d++] : '0';
  return out;
}

std::string FormatNumber(const Value& v, const Picture& p) {
  double n = v.AsNumber();
  bool parens = p.Has('(') && n < 0;
  std::string out;
  if (p.tmpl.empty()) {
    bool dropSign = parens || p.Has('X');
    // The lowest integer has no negation: it goes through the double.
    bool exact = v.IsInteger() && v.AsInt() != std::numeric_limits<int64_t>::min();
    out = Str(dropSign && n < 0 ? (exact ? Value(-v.AsInt()) : Value(-n, v.Decimals())) : v);
  } else {
    out = FormatTemplateNumber(n, p.tmpl, !parens && !p.Has('X'));
  }
  if (p.Has('Z') && n == 0) return std::string(out.size(), ' ');
  if (parens && out.find('*') == std::string::npos) {
    size_t first = out.find_first_not_of(' ');
    if (first != std::string::npos && first > 0) out[first - 1] = '(';
    else out.insert(0, "(");
    out += ')';
  }
  if (p.Has('B')) {
    size_t first = out.find_first_not_of(' ');
    if (first != std::string::npos && first > 0) out = out.substr(first) + std::string(first, ' ');
  }
  if (p.Has('E'))
    for (char& c : out) c = c == '.' ? ',' : c == ',' ? '.' : c;
  if (p.Has('C') && n > 0) out += " CR";
  if (p.Has('X') && n < 0) out += " DB";
  return out;
}

std::string FormatDate(Date d, const Picture& p) {
  if (!p.Has('E')) return DToC(d);
  std::string format = SetDateFormat();
  bool longYear = format.find("yyyy") != std::string::npos;
  SetDateFormat(longYear ? "dd/mm/yyyy" : "dd/mm/yy");
  std::string out = DToC(d);
  SetDateFormat(format);
  return out;
}

std::string FormatLogical(bool b, const Picture& p) {
  char t = p.tmpl.empty() ? (p.Has('Y') ? 'Y' : 'L') : char(std::toupper(static_cast<unsigned char>(p.tmpl[0])));
  if (t == 'Y') return b ? "Y" : "N";
  return b ? "T" : "F";
}

}  // namespace

std::string Transform(const Value& value, std::string_view picture) {
  Picture p = Parse(picture);
  switch (value.type()) {
    case Value::Type::String: return FormatString(value.AsString(), p);
    case Value::Type::Number: return FormatNumber(value, p);
    case Value::Type::Date: return FormatDate(value.AsDate(), p);
    case Value::Type::Logical: return FormatLogical(value.AsLogical(), p);
    default: return {};
  }
}

}  // namespace nx
