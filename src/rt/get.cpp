#include "rt/get.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "rt/set.h"
#include "rt/strings.h"
#include "rt/transform.h"

namespace nx {

namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
char ToUpper(char c) { return char(std::toupper(static_cast<unsigned char>(c))); }
bool OneOf(char c, std::string_view set) { return set.find(c) != std::string_view::npos; }
bool IsNumberSlot(char t) { return OneOf(t, "9#$*"); }

char TypeOf(const Value& v) {
  switch (v.type()) {
    case Value::Type::String: return 'C';
    case Value::Type::Number: return 'N';
    case Value::Type::Date: return 'D';
    case Value::Type::Logical: return 'L';
    default: return 'U';
  }
}

// Dates are read and written in the picture's format (@E); the setting
// itself is put back at once.
class DateFormatScope {
 public:
  explicit DateFormatScope(std::string format) : old_(SetDateFormat(std::move(format))) {}
  ~DateFormatScope() { SetDateFormat(old_); }
  DateFormatScope(const DateFormatScope&) = delete;
  DateFormatScope& operator=(const DateFormatScope&) = delete;

 private:
  std::string old_;
};

}  // namespace

SetGet SetGetOf(Value& var) {
  return [&var](std::optional<Value> v) {
    if (v) var = std::move(*v);
    return var;
  };
}

SetGet SetGetOf(const Block& bSetGet) {
  return [bSetGet](std::optional<Value> v) { return v ? bSetGet.Eval({*v}) : bSetGet.Eval(); };
}

Get::Get(SetGet bBlock, std::string cName, std::string cPicture)
    : block_(std::move(bBlock)), name_(std::move(cName)), picture_(std::move(cPicture)) {
  ReadPicture();
  Value v = VarGet();
  Load(v);
  buf_ = DisplayForm(v);
}

Value Get::VarGet() const { return block_ ? block_(std::nullopt) : Value(); }

Value Get::VarPut(const Value& v) {
  if (block_) block_(v);
  return v;
}

// ---- picture and buffer forms ---------------------------------------------------

void Get::ReadPicture() {
  funcs_.clear();
  tmpl_.clear();
  std::string_view p = picture_;
  if (p.empty() || p[0] != '@') {
    tmpl_ = p;
    return;
  }
  size_t end = p.find(' ');
  std::string_view f = p.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
  for (size_t i = 0; i < f.size(); ++i) {
    char c = ToUpper(f[i]);
    if (c == 'S') {  // scroll width: digits follow
      while (i + 1 < f.size() && IsDigit(f[i + 1])) ++i;
      continue;
    }
    funcs_ += c;
  }
  if (end != std::string_view::npos) tmpl_ = p.substr(end + 1);
}

std::string Get::DateFormat() const {
  std::string f = SetDateFormat();
  if (Has('E')) f = f.find("yyyy") != std::string::npos ? "dd/mm/yyyy" : "dd/mm/yy";
  return f;
}

std::string Get::DisplayForm(const Value& v) const { return type_ == 'U' ? std::string() : Transform(v, picture_); }

void Get::Load(const Value& v) {
  type_ = TypeOf(v);
  loaded_ = v;
  dirty_ = false;
  decPos_ = 0;
  switch (type_) {
    case 'C': {
      if (!tmpl_.empty()) {
        mask_ = tmpl_;
      } else if (Has('D')) {
        mask_ = DateFormat();
        for (char& c : mask_) c = OneOf(c, "dmy") ? '9' : c;
      } else {
        mask_.assign(v.AsString().size(), 'X');
      }
      const std::string& s = v.AsString();
      buf_ = mask_;
      size_t k = 0;
      for (size_t i = 0; i < mask_.size(); ++i) {
        if (IsEditable(int(i) + 1)) {
          char c = k < s.size() ? s[k] : ' ';
          ++k;
          buf_[i] = Has('!') || Slot(int(i) + 1) == '!' ? ToUpper(c) : c;
        } else if (!Has('R')) {
          ++k;  // the literal stands in for the value's character
        }
      }
      break;
    }
    case 'N': {
      if (!tmpl_.empty()) {
        mask_ = tmpl_;
      } else {
        mask_ = Str(v);
        for (char& c : mask_) c = c == '.' ? '.' : '9';
      }
      size_t point = mask_.find('.');
      decPos_ = point == std::string::npos ? 0 : int(point) + 1;
      buf_ = NumberForm(v, false, Has('Z') && v.AsNumber() == 0);
      break;
    }
    case 'D': {
      std::string f = DateFormat();
      mask_ = f;
      for (char& c : mask_) c = OneOf(c, "dmy") ? '9' : c;
      DateFormatScope scope(f);
      buf_ = DToC(v.AsDate());
      break;
    }
    case 'L': {
      mask_ = !tmpl_.empty() ? tmpl_ : Has('Y') ? "Y" : "L";
      buf_ = mask_;
      for (size_t i = 0; i < mask_.size(); ++i) {
        char t = Slot(int(i) + 1);
        if (t == 'L') buf_[i] = v.AsLogical() ? 'T' : 'F';
        else if (t == 'Y') buf_[i] = v.AsLogical() ? 'Y' : 'N';
      }
      break;
    }
    default:
      mask_.clear();
      buf_.clear();
  }
}

// A number right-aligned in the integer positions, decimals rounded; blank
// gives the empty field (digit positions blank, the decimal point kept).
std::string Get::NumberForm(const Value& v, bool minus, bool blank) const {
  const char point = Has('E') ? ',' : '.', group = Has('E') ? '.' : ',';
  const size_t len = mask_.size();
  const size_t intEnd = decPos_ ? size_t(decPos_ - 1) : len;
  std::string out(len, ' ');
  size_t intSlots = 0, decSlots = 0;
  for (size_t i = 0; i < len; ++i) {
    char t = mask_[i];
    if (IsNumberSlot(t)) (i < intEnd ? intSlots : decSlots)++;
    else if (i == intEnd) out[i] = point;
    else if (t != ',') out[i] = t;
  }
  if (blank) return out;

  const double n = v.AsNumber();
  const int shown = int(std::min<size_t>(decSlots, 15));
  std::string intPart, decPart;
  bool fits = true;
  if (v.IsInteger()) {
    int64_t k = v.AsInt();
    intPart = std::to_string(k < 0 ? 0 - uint64_t(k) : uint64_t(k));
    decPart.assign(size_t(shown), '0');
  } else if (std::isfinite(n)) {
    intPart = FormatFixed(std::fabs(n), shown);  // rounds as Transform shows it
    size_t dot = intPart.find('.');
    if (dot != std::string::npos) {
      decPart = intPart.substr(dot + 1);
      intPart.resize(dot);
    }
  } else {
    fits = false;
  }
  bool negative = minus || (n < 0 && (intPart + decPart).find_first_not_of('0') != std::string::npos);
  if (intPart == "0" && intSlots <= (negative ? 1u : 0u)) intPart.clear();  // "-.5" rather than no room
  fits = fits && intPart.size() + (negative ? 1 : 0) <= intSlots;
  if (!fits) {
    for (size_t i = 0; i < len; ++i)
      if (IsNumberSlot(mask_[i])) out[i] = '*';
    return out;
  }
  size_t next = intPart.size();
  bool signPending = negative;
  for (size_t k = intEnd; k-- > 0;) {
    char t = mask_[k];
    if (IsNumberSlot(t)) {
      if (next > 0) out[k] = intPart[--next];
      else if (signPending) out[k] = '-', signPending = false;
    } else if (t == ',') {
      out[k] = next > 0 ? group : ' ';
    }
  }
  size_t d = 0;
  for (size_t k = intEnd + 1; k < len; ++k)
    if (IsNumberSlot(mask_[k])) out[k] = d < decPart.size() ? decPart[d++] : '0';
  return out;
}

Value Get::NumberValue() const {
  std::string digits;
  bool negative = false;
  int decSlots = 0;
  for (size_t i = 0; i < mask_.size(); ++i) {
    if (decPos_ && int(i) + 1 == decPos_) {
      digits += '.';
      continue;
    }
    if (!IsNumberSlot(mask_[i])) continue;
    if (decPos_ && int(i) + 1 > decPos_) ++decSlots;
    char c = buf_[i];
    if (c == '*') return loaded_;  // shown as overflow: nothing readable was typed
    if (IsDigit(c)) digits += c;
    else if (c == '-') negative = true;
  }
  negative = negative && digits.find_first_of("123456789") != std::string::npos;
  if (!decPos_ && digits.size() <= 18) {
    int64_t k = digits.empty() ? 0 : std::strtoll(digits.c_str(), nullptr, 10);
    return Value(negative ? -k : k);
  }
  double d = std::strtod(digits.c_str(), nullptr);
  return Value(negative ? -d : d, decSlots);
}

Value Get::UnTransform() const {
  if (!dirty_) return loaded_;
  switch (type_) {
    case 'C': {
      std::string s;
      for (size_t i = 0; i < buf_.size(); ++i)
        if (!Has('R') || IsEditable(int(i) + 1)) s += buf_[i];
      const std::string& was = loaded_.AsString();
      if (was.size() > s.size()) s += was.substr(s.size());
      return Value(std::move(s));
    }
    case 'N': return NumberValue();
    case 'D': {
      bool blank = true;
      for (int i = FirstEditable(); i; i = NextEditable(i)) blank = blank && buf_[size_t(i - 1)] == ' ';
      if (blank) return Value(nx::Date{});
      const std::string format = DateFormat();
      DateFormatScope scope(format);
      // A two-digit year left as it was keeps the century it was loaded
      // with: changing the day of 2024 must not move it to 1924.
      int epoch = SetEpoch();
      const Date was = loaded_.IsDate() ? loaded_.AsDate() : Date{};
      if (!was.Empty() && Year(was) >= 100 && std::count(format.begin(), format.end(), 'y') == 2) {
        std::string yy;
        for (size_t i = 0; i < format.size() && i < buf_.size(); ++i)
          if (format[i] == 'y') yy += buf_[i];
        if (yy.size() == 2 && IsDigit(yy[0]) && IsDigit(yy[1]) && std::stoi(yy) == Year(was) % 100)
          epoch = Year(was) / 100 * 100;
      }
      const int old = SetEpoch(epoch);
      Date d = CToD(buf_);
      SetEpoch(old);
      return Value(d);
    }
    case 'L': {
      int i = FirstEditable();
      return Value(i && OneOf(ToUpper(buf_[size_t(i - 1)]), "TY"));
    }
    default: return loaded_;
  }
}

bool Get::BadDate() const {
  if (!focus_ || type_ != 'D' || !dirty_) return false;
  for (int i = FirstEditable(); i; i = NextEditable(i))
    if (buf_[size_t(i - 1)] != ' ') return UnTransform().AsDate().Empty();
  return false;  // a blank date is the empty date
}

bool Get::Minus() const {
  if (!focus_ || type_ != 'N') return false;
  for (size_t i = 0; i < buf_.size() && i < mask_.size(); ++i)
    if (IsNumberSlot(mask_[i]) && buf_[i] == '-') return true;
  return false;
}

// ---- positions ------------------------------------------------------------------

char Get::Slot(int n) const { return n >= 1 && size_t(n) <= mask_.size() ? ToUpper(mask_[size_t(n - 1)]) : ' '; }

bool Get::IsEditable(int n) const {
  if (n < 1 || size_t(n) > mask_.size() || size_t(n) > buf_.size()) return false;
  char t = Slot(n);
  switch (type_) {
    case 'C': return OneOf(t, "9#ANX!LY$*");
    case 'N': return IsNumberSlot(t);
    case 'D': return t == '9';
    case 'L': return t == 'L' || t == 'Y';
    default: return false;
  }
}

int Get::NextEditable(int n) const {
  for (int i = std::max(n, 0) + 1; size_t(i) <= mask_.size(); ++i)
    if (IsEditable(i)) return i;
  return 0;
}

int Get::PrevEditable(int n) const {
  for (int i = std::min(n, int(mask_.size()) + 1) - 1; i >= 1; --i)
    if (IsEditable(i)) return i;
  return 0;
}

int Get::FirstEditable() const { return NextEditable(0); }
int Get::LastEditable() const { return PrevEditable(int(mask_.size()) + 1); }

void Get::Group(int n, int& lo, int& hi) const {
  lo = hi = n;
  if (type_ == 'D') {  // one part of the date
    while (IsEditable(lo - 1)) --lo;
    while (IsEditable(hi + 1)) ++hi;
    return;
  }
  auto same = [&](int i) { return type_ != 'N' || !decPos_ || (i < decPos_) == (n < decPos_); };
  for (int i = PrevEditable(n); i && same(i); i = PrevEditable(i)) lo = i;
  for (int i = NextEditable(n); i && same(i); i = NextEditable(i)) hi = i;
}

Get& Get::Pos(int n) {
  n = std::clamp(n, 1, std::max(int(buf_.size()), 1));
  if (!IsEditable(n)) {
    int to = NextEditable(n);
    if (!to) to = PrevEditable(n);
    if (to) n = to;
  }
  pos_ = n;
  return *this;
}

// ---- focus ----------------------------------------------------------------------

Get& Get::SetFocus() {
  if (focus_) return *this;
  focus_ = true;
  original_ = VarGet();
  Load(original_);
  pos_ = std::max(FirstEditable(), 1);
  clear_ = type_ == 'N' || Has('K');
  changed_ = typeOut_ = rejected_ = false;
  return *this;
}

Get& Get::KillFocus() {
  focus_ = clear_ = typeOut_ = false;
  Value v = VarGet();
  Load(v);
  buf_ = DisplayForm(v);
  return *this;
}

Get& Get::UpdateBuffer() {
  if (!focus_) return KillFocus();
  Load(VarGet());
  return Pos(pos_);
}

Get& Get::Reset() {
  if (!focus_) return *this;
  Load(VarGet());
  pos_ = std::max(FirstEditable(), 1);
  clear_ = type_ == 'N' || Has('K');
  changed_ = typeOut_ = false;
  return *this;
}

Get& Get::Undo() {
  if (!focus_) return *this;
  VarPut(original_);
  Reset();
  return *this;
}

Get& Get::Assign() {
  if (focus_ && dirty_ && type_ != 'U' && !BadDate()) VarPut(UnTransform());
  return *this;
}

Get& Get::Buffer(std::string_view text) {
  if (!focus_) return *this;
  std::string b = buf_;
  for (int i = FirstEditable(); i; i = NextEditable(i)) {
    char& at = b[size_t(i - 1)];
    if (size_t(i) > text.size()) {
      at = ' ';
    } else if (text[size_t(i - 1)] != at) {  // what is there already stays (an overflow's "*")
      int c = Accept(text[size_t(i - 1)], i);
      at = c < 0 ? ' ' : char(c);
    }
  }
  Put(std::move(b));
  return *this;
}

Get& Get::Picture(std::string cPicture) {
  picture_ = std::move(cPicture);
  bool edited = dirty_;
  Value v = focus_ && !BadDate() ? UnTransform() : focus_ ? loaded_ : VarGet();
  ReadPicture();
  Load(v);
  if (!focus_) {
    buf_ = DisplayForm(v);
    return *this;
  }
  dirty_ = edited;  // a value typed under the old picture still waits to be assigned
  pos_ = std::max(FirstEditable(), 1);
  return *this;
}

// ---- caret --------------------------------------------------------------------------

Get& Get::Home() {
  if (!focus_) return *this;
  clear_ = typeOut_ = false;
  pos_ = std::max(FirstEditable(), 1);
  return *this;
}

Get& Get::End() {
  if (!focus_) return *this;
  clear_ = typeOut_ = false;
  int last = 0;
  for (int i = FirstEditable(); i; i = NextEditable(i))
    if (buf_[size_t(i - 1)] != ' ') last = i;
  int to = last ? NextEditable(last) : FirstEditable();
  pos_ = to ? to : last ? last : pos_;
  return *this;
}

Get& Get::Left() {
  if (!focus_) return *this;
  clear_ = typeOut_ = false;
  if (int to = PrevEditable(pos_)) pos_ = to;
  else typeOut_ = true;
  return *this;
}

Get& Get::Right() {
  if (!focus_) return *this;
  clear_ = typeOut_ = false;
  if (int to = NextEditable(pos_)) pos_ = to;
  else typeOut_ = true;
  return *this;
}

Get& Get::WordRight() {
  if (!focus_) return *this;
  const int was = pos_, n = int(buf_.size());
  int i = pos_;
  while (i <= n && buf_[size_t(i - 1)] != ' ') ++i;
  while (i <= n && buf_[size_t(i - 1)] == ' ') ++i;
  if (i > n) End();  // no next word: after the text
  else Pos(i);
  clear_ = false;
  typeOut_ = pos_ <= was;
  if (typeOut_) pos_ = was;
  return *this;
}

Get& Get::WordLeft() {
  if (!focus_) return *this;
  const int was = pos_;
  int i = pos_ - 1;
  while (i >= 1 && buf_[size_t(i - 1)] == ' ') --i;
  while (i >= 2 && buf_[size_t(i - 2)] != ' ') --i;
  if (i < 1) Home();
  else Pos(i);
  clear_ = false;
  typeOut_ = pos_ >= was;
  if (typeOut_) pos_ = was;
  return *this;
}

Get& Get::ToDecPos() {
  if (!focus_ || type_ != 'N') return *this;
  if (clear_ && pos_ == FirstEditable()) DeleteAll();  // nothing typed yet: start from zero
  clear_ = typeOut_ = false;
  Put(NumberForm(UnTransform(), Minus(), false));
  return Pos(decPos_ ? decPos_ + 1 : LastEditable());
}

// ---- editing ------------------------------------------------------------------------

void Get::Put(std::string text) {
  if (text == buf_) return;
  buf_ = std::move(text);
  changed_ = dirty_ = true;
}

int Get::Accept(char c, int n) const {
  const char t = Slot(n);
  if (Has('!')) c = ToUpper(c);
  auto when = [&c](bool ok) { return ok ? int(static_cast<unsigned char>(c)) : -1; };
  switch (type_) {
    case 'N': return when(IsDigit(c) || (OneOf(c, "+-") && OneOf(t, "9#")) || (c == ' ' && t == '#'));
    case 'D': return when(IsDigit(c));
    case 'L': c = ToUpper(c); return when(OneOf(c, t == 'Y' ? "YN" : "TFYN"));
    case 'C':
      switch (t) {
        case '#': return when(IsDigit(c) || OneOf(c, " +-"));
        case 'A': return when(std::isalpha(static_cast<unsigned char>(c)));
        case 'N': return when(std::isalnum(static_cast<unsigned char>(c)));
        case 'X': return when(true);
        case '!': c = ToUpper(c); return when(true);
        case 'L':
        case 'Y': c = ToUpper(c); return when(OneOf(c, t == 'Y' ? "YN" : "TFYN"));
        default: return when(IsDigit(c));  // 9 $ *
      }
    default: return -1;
  }
}

void Get::PutChar(char c, bool insert) {
  rejected_ = typeOut_ = false;
  if (!focus_) return;
  if (type_ == 'N' && (c == '.' || c == ',')) {
    ToDecPos();
    return;
  }
  int ch = IsEditable(pos_) ? Accept(c, pos_) : -1;
  const bool clearing = clear_ && pos_ == FirstEditable();
  const bool sign = ch >= 0 && type_ == 'N' && OneOf(char(ch), "+-");
  if (sign && !clearing) {
    // A sign stands before every digit of the integer part.
    if (decPos_ && pos_ > decPos_) ch = -1;
    for (int i = FirstEditable(); ch >= 0 && i && i < pos_; i = NextEditable(i))
      if (IsDigit(buf_[size_t(i - 1)])) ch = -1;
  }
  if (ch < 0) {
    rejected_ = true;
    return;
  }
  if (clearing) DeleteAll();
  clear_ = false;
  std::string b = buf_;
  if (sign)
    for (int i = FirstEditable(); i && (!decPos_ || i < decPos_); i = NextEditable(i))
      if (OneOf(b[size_t(i - 1)], "+-")) b[size_t(i - 1)] = ' ';
  if (insert) {
    int lo, hi;
    Group(pos_, lo, hi);
    for (int i = hi; i > pos_;) {
      int from = PrevEditable(i);
      b[size_t(i - 1)] = b[size_t(from - 1)];
      i = from;
    }
  }
  b[size_t(pos_ - 1)] = char(ch);
  Put(std::move(b));
  if (int to = NextEditable(pos_)) pos_ = to;
  else typeOut_ = true;
}

Get& Get::Insert(char c) {
  PutChar(c, true);
  return *this;
}

Get& Get::OverStrike(char c) {
  PutChar(c, false);
  return *this;
}

Get& Get::Delete() {
  if (!focus_ || !IsEditable(pos_)) return *this;
  clear_ = typeOut_ = false;
  int lo, hi;
  Group(pos_, lo, hi);
  std::string b = buf_;
  for (int i = pos_; i < hi;) {
    int from = NextEditable(i);
    b[size_t(i - 1)] = b[size_t(from - 1)];
    i = from;
  }
  b[size_t(hi - 1)] = ' ';
  Put(std::move(b));
  return *this;
}

Get& Get::BackSpace() {
  if (!focus_) return *this;
  if (int to = PrevEditable(pos_)) {
    pos_ = to;
    Delete();
  } else {
    clear_ = false;
    typeOut_ = true;
  }
  return *this;
}

Get& Get::DelEnd() {
  if (!focus_ || !IsEditable(pos_)) return *this;
  clear_ = typeOut_ = false;
  std::string b = buf_;
  for (int i = pos_; i; i = NextEditable(i)) b[size_t(i - 1)] = ' ';
  Put(std::move(b));
  return *this;
}

Get& Get::DeleteAll() {
  if (!focus_) return *this;
  clear_ = typeOut_ = false;
  std::string b = buf_;
  if (type_ == 'N') {
    b = NumberForm(Value(0), false, true);
  } else {
    for (int i = FirstEditable(); i; i = NextEditable(i)) b[size_t(i - 1)] = ' ';
  }
  Put(std::move(b));
  pos_ = std::max(FirstEditable(), 1);
  return *this;
}

Get& Get::DeleteRange(int nFrom, int nTo) {
  nFrom = std::max(nFrom, 1);
  nTo = std::min(nTo, int(buf_.size()));
  if (!focus_ || nFrom > nTo) return *this;
  clear_ = typeOut_ = false;
  std::string b = buf_;
  for (int i = FirstEditable(); i;) {
    int lo, hi;
    Group(i, lo, hi);
    std::string keep;
    for (int k = lo; k && k <= hi; k = NextEditable(k))
      if (k < nFrom || k > nTo) keep += b[size_t(k - 1)];
    size_t j = 0;
    for (int k = lo; k && k <= hi; k = NextEditable(k)) b[size_t(k - 1)] = j < keep.size() ? keep[j++] : ' ';
    i = NextEditable(hi);
  }
  Put(std::move(b));
  return Pos(nFrom);
}

bool Get::ApplyKey(int nKey) {
  switch (nKey) {
    case K_HOME: Home(); break;
    case K_END: End(); break;
    case K_LEFT: Left(); break;
    case K_RIGHT: Right(); break;
    case K_CTRL_LEFT: WordLeft(); break;
    case K_CTRL_RIGHT: WordRight(); break;
    case K_DEL: Delete(); break;
    case K_BS: BackSpace(); break;
    case K_CTRL_Y: DelEnd(); break;
    case K_CTRL_U: Undo(); break;
    case K_INS: Set(_SET_INSERT, !SetInsert()); break;
    default:
      if (nKey < 32 || nKey > 255) return false;
      PutChar(char(nKey), SetInsert());
  }
  return true;
}

}  // namespace nx
