#include "rt/strings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <utility>

namespace nx {

namespace {
int g_decimals = 2;
int g_epoch = 1900;
std::string g_dateFormat = "mm/dd/yy";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Formats into exactly nLen characters, or asterisks when it does not fit.
std::string FitNumber(double n, int nLen, int nDec) {
  if (std::isnan(n) || std::isinf(n)) return std::string(size_t(std::max(nLen, 1)), '*');
  std::string s = FormatFixed(n, nDec);
  if (s.size() > size_t(nLen)) return std::string(size_t(nLen), '*');
  return std::string(size_t(nLen) - s.size(), ' ') + s;
}

int DefaultDecimals(const Value& n) {
  if (n.IsInteger()) return 0;
  int d = n.Decimals();
  return d < 0 ? g_decimals : d;
}
}  // namespace

std::string FormatFixed(double n, int nDec) {
  nDec = std::clamp(nDec, 0, 15);
  if (!std::isfinite(n)) return std::string(1, '*');
  // Fifteen significant digits, as the value was meant (1.005 is 1.005, not
  // 1.00499...), then half away from zero at the wanted decimal. to_chars
  // gives the same digits on every compiler and C library.
  char buf[400];
  if (std::abs(n) >= 1e15) {
    // Past fifteen digits a double holds whole numbers: print them exactly.
    auto res = std::to_chars(buf, buf + sizeof buf, n, std::chars_format::fixed, nDec);
    return res.ec == std::errc() ? std::string(buf, res.ptr) : std::string(1, '*');
  }
  auto res = std::to_chars(buf, buf + sizeof buf, std::abs(n), std::chars_format::scientific, 14);
  std::string sci(buf, res.ptr);
  std::string digits = sci.substr(0, 1) + sci.substr(2, 14);
  int exp10 = std::atoi(sci.c_str() + sci.find('e') + 1);
  // digits[i] weighs 10^(exp10 - i); the result counts units of 10^-nDec.
  int keep = exp10 + nDec + 1;
  std::string units = "0";
  bool up = false;
  if (keep >= 15) {
    units = digits + std::string(size_t(keep - 15), '0');
  } else if (keep >= 0) {
    if (keep > 0) units = digits.substr(0, size_t(keep));
    up = digits[size_t(keep)] >= '5';
  }
  if (up) {
    size_t i = units.size();
    while (i > 0 && units[i - 1] == '9') units[--i] = '0';
    if (i == 0) units.insert(0, "1");
    else ++units[i - 1];
  }
  if (units.size() <= size_t(nDec)) units.insert(0, size_t(nDec) + 1 - units.size(), '0');
  std::string out = units.substr(0, units.size() - size_t(nDec));
  if (nDec > 0) out += "." + units.substr(units.size() - size_t(nDec));
  bool zero = units.find_first_not_of('0') == std::string::npos;
  return n < 0 && !zero ? "-" + out : out;
}

int SetDecimals() { return g_decimals; }
int SetEpoch() { return g_epoch; }
int SetEpoch(int nYear) { return std::exchange(g_epoch, std::clamp(nYear, 100, 9900)); }
int SetDecimals(int nDecimals) { return std::exchange(g_decimals, std::clamp(nDecimals, 0, 15)); }

std::string Str(const Value& n) {
  int dec = DefaultDecimals(n);
  int width = 10 + (dec > 0 ? dec + 1 : 0);
  std::string s = FitNumber(n.AsNumber(), width, dec);
  // Without an explicit width a number that needs more room widens the field.
  if (s.find('*') != std::string::npos && !std::isnan(n.AsNumber()) && !std::isinf(n.AsNumber()))
    s = FitNumber(n.AsNumber(), 30, dec);
  return s;
}

std::string Str(const Value& n, int nLen, int nDec) {
  if (nLen < 0) return Str(n);
  if (nLen == 0) return {};
  if (nLen > 255) nLen = 255;
  if (nDec < 0) nDec = 0;
  if (nDec > 0 && nDec > nLen - 2) nDec = std::max(nLen - 2, 0);
  return FitNumber(n.AsNumber(), nLen, nDec);
}

std::string Str(double n, int nLen, int nDec) { return Str(Value(n, nDec), nLen, nDec); }

std::string StrZero(const Value& n, int nLen, int nDec) {
  std::string s = Str(n, nLen, nDec);
  if (s.find('*') != std::string::npos) return s;
  bool negative = s.find('-') != std::string::npos;
  for (auto& c : s)
    if (c == ' ' || c == '-') c = '0';
  if (negative) s[0] = '-';
  return s;
}

Value Val(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  size_t start = i;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  size_t digits = i;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
  int dec = 0;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++dec;
  }
  if (i == digits || (i == digits + 1 && dec == 0 && s[digits] == '.')) return Value(0);
  std::string text(s.substr(start, i - start));
  if (dec == 0 && text.find('.') == std::string::npos && text.size() < 18) return Value(std::stoll(text));
  return Value(std::strtod(text.c_str(), nullptr), dec);
}

std::string AllTrim(std::string_view s) { return LTrim(Trim(s)); }

std::string Trim(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return std::string(s.substr(0, n));
}

std::string LTrim(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return std::string(s.substr(i));
}

std::string Upper(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = char(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

std::string Lower(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = char(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

std::string Left(std::string_view s, long n) {
  if (n <= 0) return {};
  return std::string(s.substr(0, size_t(n)));
}

std::string Right(std::string_view s, long n) {
  if (n <= 0) return {};
  if (size_t(n) >= s.size()) return std::string(s);
  return std::string(s.substr(s.size() - size_t(n)));
}

std::string SubStr(std::string_view s, long nStart, long nCount) {
  long len = long(s.size());
  if (nStart < 0) nStart = std::max(len + nStart + 1, 1L);
  if (nStart == 0) nStart = 1;
  if (nStart > len) return {};
  std::string_view rest = s.substr(size_t(nStart - 1));
  if (nCount < 0) return std::string(rest);
  return std::string(rest.substr(0, size_t(nCount)));
}

std::string PadR(std::string_view s, long n, char fill) {
  if (n <= 0) return {};
  std::string r(s.substr(0, size_t(n)));
  r.resize(size_t(n), fill);
  return r;
}

std::string PadL(std::string_view s, long n, char fill) {
  if (n <= 0) return {};
  if (s.size() >= size_t(n)) return std::string(s.substr(0, size_t(n)));
  return std::string(size_t(n) - s.size(), fill) + std::string(s);
}

std::string PadC(std::string_view s, long n, char fill) {
  if (n <= 0) return {};
  if (s.size() >= size_t(n)) return std::string(s.substr(0, size_t(n)));
  size_t left = (size_t(n) - s.size()) / 2;
  std::string r(left, fill);
  r += s;
  r.resize(size_t(n), fill);
  return r;
}

std::string Replicate(std::string_view s, long n) {
  std::string r;
  if (n <= 0 || s.empty()) return r;
  r.reserve(s.size() * size_t(n));
  for (long i = 0; i < n; ++i) r += s;
  return r;
}

std::string Space(long n) { return n > 0 ? std::string(size_t(n), ' ') : std::string(); }

size_t At(std::string_view needle, std::string_view hay) {
  if (needle.empty()) return 0;
  auto p = hay.find(needle);
  return p == std::string_view::npos ? 0 : p + 1;
}

std::string StrTran(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string r;
  size_t i = 0;
  for (size_t p; (p = s.find(from, i)) != std::string_view::npos; i = p + from.size()) {
    r.append(s.substr(i, p - i));
    r.append(to);
  }
  r.append(s.substr(i));
  return r;
}

char HotKeyOf(std::string_view prompt) {
  for (size_t i = 0; i + 1 < prompt.size(); ++i) {
    if (prompt[i] != '&') continue;
    if (prompt[i + 1] != '&') return prompt[i + 1];
    ++i;
  }
  return 0;
}

std::string WithoutHotMark(std::string_view prompt) {
  std::string out;
  for (size_t i = 0; i < prompt.size(); ++i) {
    if (prompt[i] == '&' && i + 1 < prompt.size()) ++i;
    out += prompt[i];
  }
  return out;
}

bool Empty(const Value& v) {
  switch (v.type()) {
    case Value::Type::Nil: return true;
    case Value::Type::Logical: return !v.AsLogical();
    case Value::Type::Number: return v.AsNumber() == 0;
    case Value::Type::String:
      return std::all_of(v.AsString().begin(), v.AsString().end(), IsBlank);
    case Value::Type::Date: return v.AsDate().Empty();
    case Value::Type::Array: return Len(v.AsArray()) == 0;
    case Value::Type::Block: return false;
    case Value::Type::Object: return !v.AsObject();
  }
  return true;
}

bool MemoWrit(const std::string& file, std::string_view text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(text.data(), std::streamsize(text.size()));
  out.close();
  return !out.fail();
}

std::string MemoRead(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return {};
  if (!text.empty() && text.back() == '\x1A') text.pop_back();
  return text;
}

std::string cValToChar(const Value& v) {
  switch (v.type()) {
    case Value::Type::Nil: return {};
    case Value::Type::Logical: return v.AsLogical() ? ".T." : ".F.";
    case Value::Type::Number: return AllTrim(Str(v));
    case Value::Type::String: return v.AsString();
    case Value::Type::Date: return DToC(v.AsDate());
    case Value::Type::Array: return "{ ... }";
    case Value::Type::Block: return "{|| ... }";
    case Value::Type::Object: {
      const ObjectPtr& o = v.AsObject();
      return o ? o->ClassName() : std::string();
    }
  }
  return {};
}

// Dates: Julian day numbers (proleptic Gregorian), as xBase runtimes keep them.
Date MakeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return Date{};
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  int maxDay = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
  if (day > maxDay) return Date{};
  int a = (14 - month) / 12;
  int y = year + 4800 - a;
  int m = month + 12 * a - 3;
  return Date{day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045};
}

namespace {
// Day numbers past 31/12/9999 or below 1 (only C++ code makes them; date
// arithmetic stops at both) read as the empty date: SplitDate's arithmetic
// would overflow on them.
bool NoDay(Date d) { return d.julian < 1 || d.julian > 5373484; }
}  // namespace

void SplitDate(Date d, int& year, int& month, int& day) {
  if (NoDay(d)) {
    year = month = day = 0;
    return;
  }
  int a = d.julian + 32044;
  int b = (4 * a + 3) / 146097;
  int c = a - 146097 * b / 4;
  int e = (4 * c + 3) / 1461;
  int f = c - 1461 * e / 4;
  int m = (5 * f + 2) / 153;
  day = f - (153 * m + 2) / 5 + 1;
  month = m + 3 - 12 * (m / 10);
  year = 100 * b + e - 4800 + m / 10;
}

int Year(Date d) {
  int y, m, dd;
  SplitDate(d, y, m, dd);
  return y;
}
int Month(Date d) {
  int y, m, dd;
  SplitDate(d, y, m, dd);
  return m;
}
int Day(Date d) {
  int y, m, dd;
  SplitDate(d, y, m, dd);
  return dd;
}
int DoW(Date d) { return NoDay(d) ? 0 : (d.julian + 1) % 7 + 1; }

std::string SetDateFormat() { return g_dateFormat; }
std::string SetDateFormat(std::string format) { return std::exchange(g_dateFormat, Lower(format)); }

std::string DToC(Date d) {
  int y, m, dd;
  SplitDate(d, y, m, dd);
  std::string out;
  const std::string& f = g_dateFormat;
  for (size_t i = 0; i < f.size();) {
    char c = f[i];
    size_t run = 1;
    while (i + run < f.size() && f[i + run] == c) ++run;
    if (c == 'y' || c == 'm' || c == 'd') {
      int value = c == 'y' ? y : c == 'm' ? m : dd;
      if (NoDay(d)) {
        out.append(run, ' ');
      } else {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%0*d", int(run), value);
        std::string s = buf;
        out += s.substr(s.size() - std::min(run, s.size()));
      }
    } else {
      out.append(run, c);
    }
    i += run;
  }
  return out;
}

Date CToD(std::string_view s) {
  int y = 0, m = 0, d = 0;
  size_t si = 0;
  const std::string& f = g_dateFormat;
  int yearDigits = 0;
  for (size_t i = 0; i < f.size();) {
    char c = f[i];
    size_t run = 1;
    while (i + run < f.size() && f[i + run] == c) ++run;
    if (c == 'y' || c == 'm' || c == 'd') {
      while (si < s.size() && s[si] == ' ') ++si;
      int value = 0, digits = 0;
      while (si < s.size() && std::isdigit(static_cast<unsigned char>(s[si])) && digits < 4) {
        value = value * 10 + (s[si] - '0');
        ++si, ++digits;
      }
      if (c == 'y') y = value, yearDigits = digits;
      else if (c == 'm') m = value;
      else d = value;
    } else {
      while (si < s.size() && !std::isdigit(static_cast<unsigned char>(s[si]))) ++si;
    }
    i += run;
  }
  if (yearDigits > 0 && yearDigits <= 2) {
    // Two digits name the first such year at or after SET EPOCH.
    y += g_epoch / 100 * 100;
    if (y < g_epoch) y += 100;
  }
  return MakeDate(y, m, d);
}

std::string DToS(Date d) {
  if (NoDay(d)) return std::string(8, ' ');
  int y, m, dd;
  SplitDate(d, y, m, dd);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, dd);
  return buf;
}

Date SToD(std::string_view s) {
  if (s.size() < 8) return Date{};
  int v[3] = {0, 0, 0};
  size_t widths[3] = {4, 2, 2}, pos = 0;
  for (int k = 0; k < 3; ++k) {
    for (size_t i = 0; i < widths[k]; ++i, ++pos) {
      if (!std::isdigit(static_cast<unsigned char>(s[pos]))) return Date{};
      v[k] = v[k] * 10 + (s[pos] - '0');
    }
  }
  return MakeDate(v[0], v[1], v[2]);
}

namespace {
std::tm LocalNow(double* fraction = nullptr) {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  if (fraction) {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    *fraction = double(ms) / 1000.0;
  }
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  return tm;
}
}  // namespace

Date Today() {
  std::tm tm = LocalNow();
  return MakeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

std::string Time() {
  std::tm tm = LocalNow();
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

double Seconds() {
  double fraction = 0;
  std::tm tm = LocalNow(&fraction);
  double s = tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec + fraction;
  return std::floor(s * 100.0) / 100.0;
}

}  // namespace nx
