#include "rt/order.h"

#include <algorithm>
#include <cmath>

#include "rt/strings.h"

namespace nx {

namespace {

std::string NumberKey(double x, int len, int dec, bool part) {
  std::string digits = std::isfinite(x) ? FormatFixed(std::abs(x), dec) : std::string();
  bool negative = x < 0 && digits.find_first_not_of("0.") != std::string::npos;
  // A sought value too wide for the key lies beyond every key of its sign.
  if (part && (digits.empty() || digits.size() > size_t(len))) return std::string(size_t(len), negative ? '!' : ':');
  if (digits.empty() || digits.size() > size_t(len)) {
    // Too wide for the key: the largest key of its sign, never a wrong place.
    digits.assign(size_t(len), '9');
    if (dec > 0 && len > dec) digits[size_t(len - dec - 1)] = '.';
  }
  digits.insert(0, size_t(len) - digits.size(), '0');
  if (negative)
    for (char& c : digits)
      if (c >= '0' && c <= '9') c = char(0x5C - c);  // '0' -> ',' ... '9' -> '#', all below '0'
  return digits;
}

}  // namespace

bool EncodeKey(const Value& v, const KeySpec& spec, std::string& out, bool part) {
  switch (spec.type) {
    case 'C':
      if (!v.IsString()) return false;
      out = part ? v.AsString().substr(0, size_t(spec.len)) : PadR(v.AsString(), spec.len);
      return true;
    case 'N':
      if (!v.IsNumber()) return false;
      out = NumberKey(v.AsNumber(), spec.len, spec.dec, part);
      return true;
    case 'D':
      if (!v.IsDate()) return false;
      out = DToS(v.AsDate());
      return true;
    case 'L':
      if (!v.IsLogical()) return false;
      out = v.AsLogical() ? "T" : "F";
      return true;
  }
  return false;
}

std::string Order::KeyOf() const {
  std::string k;
  if (!EncodeKey(key_.Eval(), spec_, k)) k.assign(size_t(spec_.len), ' ');
  return k;
}

std::optional<Order::Entry> Order::Inside(std::optional<Entry> e) {
  if (!e) return e;
  if (AboveTop(*e)) return First();
  if (BelowBottom(*e)) return std::nullopt;
  return e;
}

std::optional<Order::Entry> Order::First() {
  std::optional<Entry> e;
  if (top_) e = index_->FirstNotBefore([&](std::string_view k, uint32_t) { return index_->ComparePrefix(k, *top_) < 0; });
  else e = index_->FirstNotBefore([](std::string_view, uint32_t) { return false; });
  if (e && BelowBottom(*e)) return std::nullopt;
  return e;
}

std::optional<Order::Entry> Order::Last() {
  std::optional<Entry> e;
  if (bottom_) e = index_->LastBefore([&](std::string_view k, uint32_t) { return index_->ComparePrefix(k, *bottom_) <= 0; });
  else e = index_->LastBefore([](std::string_view, uint32_t) { return true; });
  if (e && AboveTop(*e)) return std::nullopt;
  return e;
}

std::optional<Order::Entry> Order::After(const Entry& at) {
  return Inside(index_->FirstNotBefore([&](std::string_view k, uint32_t r) { return !index_->Less(at.key, at.rec, k, r); }));
}

std::optional<Order::Entry> Order::Before(const Entry& at) {
  auto e = index_->LastBefore([&](std::string_view k, uint32_t r) { return index_->Less(k, r, at.key, at.rec); });
  if (!e || AboveTop(*e)) return std::nullopt;
  if (BelowBottom(*e)) return Last();
  return e;
}

std::optional<Order::Entry> Order::SeekFirst(std::string_view part) {
  return Inside(index_->FirstNotBefore([&](std::string_view k, uint32_t) { return index_->ComparePrefix(k, part) < 0; }));
}

std::optional<Order::Entry> Order::SeekLast(std::string_view part) {
  auto e = index_->LastBefore([&](std::string_view k, uint32_t) { return index_->ComparePrefix(k, part) <= 0; });
  if (!e || AboveTop(*e)) return std::nullopt;
  if (BelowBottom(*e)) return Last();
  return e;
}

std::optional<Order::Entry> Order::SeekPast(std::string_view part) {
  return Inside(index_->FirstNotBefore([&](std::string_view k, uint32_t) { return index_->ComparePrefix(k, part) <= 0; }));
}

size_t Order::TopRank() {
  if (!top_) return 0;
  return index_->CountBefore([&](std::string_view k, uint32_t) { return index_->ComparePrefix(k, *top_) < 0; });
}

size_t Order::Count() {
  size_t end = bottom_ ? index_->CountBefore([&](std::string_view k, uint32_t) { return index_->ComparePrefix(k, *bottom_) <= 0; })
                       : index_->Count();
  size_t begin = TopRank();
  return end > begin ? end - begin : 0;
}

bool Order::Contains(const Entry& e) {
  if (AboveTop(e) || BelowBottom(e)) return false;
  auto there = index_->FirstNotBefore([&](std::string_view k, uint32_t r) { return index_->Less(k, r, e.key, e.rec); });
  return there && *there == e;
}

std::optional<size_t> Order::Position(const Entry& e) {
  if (!Contains(e)) return std::nullopt;
  return index_->CountBefore([&](std::string_view k, uint32_t r) { return index_->Less(k, r, e.key, e.rec); }) - TopRank();
}

std::optional<Order::Entry> Order::At(size_t pos) {
  auto e = index_->At(TopRank() + pos);
  if (e && BelowBottom(*e)) return std::nullopt;
  return e;
}

void Order::SetScope(int which, std::optional<std::string> part, Value value) {
  (which == 0 ? top_ : bottom_) = std::move(part);
  (which == 0 ? topValue_ : bottomValue_) = std::move(value);
}

}  // namespace nx
