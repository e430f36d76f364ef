// An in-memory order: (key, record) pairs kept sorted, so seeks and key
// positions are binary searches.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "rt/value.h"

namespace nx {

class Order {
 public:
  struct Entry {
    std::string key;
    uint32_t rec;
    friend bool operator<(const Entry& a, const Entry& b) { return a.key != b.key ? a.key < b.key : a.rec < b.rec; }
  };

  Order(std::string tag, std::string expr, Block key) : tag_(std::move(tag)), expr_(std::move(expr)), key_(std::move(key)) {}

  // Byte strings that sort as the values do: characters as they are, numbers
  // as order-preserving 8-byte images, dates as YYYYMMDD, logicals F < T.
  static std::string Encode(const Value& v);

  const std::string& tag() const { return tag_; }
  const std::string& expr() const { return expr_; }
  const Block& key() const { return key_; }
  size_t size() const { return entries_.size(); }
  const Entry& at(size_t i) const { return entries_[i]; }

  void Build(std::vector<Entry> entries) {
    entries_ = std::move(entries);
    std::sort(entries_.begin(), entries_.end());
  }
  void Insert(std::string key, uint32_t rec) {
    Entry e{std::move(key), rec};
    entries_.insert(std::upper_bound(entries_.begin(), entries_.end(), e), std::move(e));
  }
  void Erase(const std::string& key, uint32_t rec) {
    Entry e{key, rec};
    auto it = std::lower_bound(entries_.begin(), entries_.end(), e);
    if (it != entries_.end() && it->key == key && it->rec == rec) entries_.erase(it);
  }
  // Index of the first entry not below (key, rec).
  size_t LowerBound(const std::string& key, uint32_t rec) const {
    return size_t(std::lower_bound(entries_.begin(), entries_.end(), Entry{key, rec}) - entries_.begin());
  }
  // First / one past the last entry whose key starts with `prefix`.
  size_t PrefixBegin(const std::string& prefix) const { return LowerBound(prefix, 0); }
  size_t PrefixEnd(const std::string& prefix) const {
    auto it = std::partition_point(entries_.begin(), entries_.end(), [&](const Entry& e) {
      return e.key.compare(0, prefix.size(), prefix) <= 0;
    });
    return size_t(it - entries_.begin());
  }

 private:
  std::string tag_, expr_;
  Block key_;
  std::vector<Entry> entries_;
};

}  // namespace nx
