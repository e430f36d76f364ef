// An order of a work area: a key expression over the records, kept in an
// index (an NTX file, or the same layout in memory for in-memory tables),
// with optional scopes that limit it to a range of keys.
//
// Keys are fixed-width byte strings that sort as the values do: characters
// as they are (padded with blanks), numbers as their digits with leading
// zeros (the digits of a negative number mirrored below those of every
// positive one), dates as YYYYMMDD, logicals as F or T.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "rt/ntx.h"
#include "rt/value.h"

namespace nx {

struct KeySpec {
  char type = 'C';  // C N D L
  int len = 0, dec = 0;
};

// The key bytes of a value; false for a value of another type. A `part`
// (a seek value or a scope) keeps a string as long as it is, up to the key
// length, so that it names every key it begins.
bool EncodeKey(const Value& v, const KeySpec& spec, std::string& out, bool part = false);

class Order {
 public:
  using Entry = NtxIndex::Entry;

  Order(std::string tag, Block key, KeySpec spec, std::unique_ptr<NtxIndex> index)
      : tag_(std::move(tag)), key_(std::move(key)), spec_(spec), index_(std::move(index)) {}

  const std::string& tag() const { return tag_; }
  const std::string& expr() const { return index_->options().keyExpr; }
  const Block& key() const { return key_; }
  const KeySpec& spec() const { return spec_; }
  const std::string& fileName() const { return index_->fileName(); }
  bool unique() const { return index_->options().unique; }
  bool descending() const { return index_->options().descending; }
  NtxIndex& index() { return *index_; }

  // The key of the current record (blanks when the expression answers
  // another type than the order's).
  std::string KeyOf() const;
  // Whether a key begins with a part, in the order's comparison.
  bool Begins(std::string_view key, std::string_view part) const { return index_->ComparePrefix(key, part) == 0; }

  // Walking, inside the scopes.
  std::optional<Entry> First();
  std::optional<Entry> Last();
  std::optional<Entry> After(const Entry& e);
  std::optional<Entry> Before(const Entry& e);
  // The first entry at or after the keys that begin with `part`; the last
  // at or before them; the first after them.
  std::optional<Entry> SeekFirst(std::string_view part);
  std::optional<Entry> SeekLast(std::string_view part);
  std::optional<Entry> SeekPast(std::string_view part);

  // Whether the entry is there, inside the scopes.
  bool Contains(const Entry& e);
  // Positions count from 0 inside the scopes.
  size_t Count();
  std::optional<size_t> Position(const Entry& e);
  std::optional<Entry> At(size_t pos);

  // Scopes: 0 the top, 1 the bottom; a key part, or none for no limit.
  void SetScope(int which, std::optional<std::string> part, Value value);
  const Value& ScopeValue(int which) const { return which == 0 ? topValue_ : bottomValue_; }

  void Insert(const std::string& key, uint32_t rec) { index_->Insert({key, rec}); }
  void Erase(const std::string& key, uint32_t rec) { index_->Erase({key, rec}); }
  void Flush() { index_->Flush(); }

 private:
  bool AboveTop(const Entry& e) const { return top_ && index_->ComparePrefix(e.key, *top_) < 0; }
  bool BelowBottom(const Entry& e) const { return bottom_ && index_->ComparePrefix(e.key, *bottom_) > 0; }
  std::optional<Entry> Inside(std::optional<Entry> e);  // clamps a found entry to the scopes
  size_t TopRank();

  std::string tag_;
  Block key_;
  KeySpec spec_;
  std::unique_ptr<NtxIndex> index_;
  std::optional<std::string> top_, bottom_;
  Value topValue_, bottomValue_;
};

}  // namespace nx
