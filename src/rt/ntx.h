// Single-order index files in the NTX layout: a 1024-byte header (key
// expression, key size, the root page) and 1024-byte B-tree pages whose
// items are (left child page, record number, key). Keys are fixed-width
// byte strings that sort as the values do (see order.h).
//
// Files used by several programs are read under a shared lock and changed
// under an exclusive one; the header's change counter tells a reader when its
// cached pages are stale. In exclusive use changed pages wait in memory until
// Flush(). Every fault (damaged file, failed read or write, a lock that is not
// granted) is thrown as an IndexFault whose error names the file; after a
// damage the index refuses all further work until it is built again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "rt/error.h"
#include "rt/storage.h"

namespace nx {

struct IndexFault {
  ErrorPtr error;
};

class NtxIndex {
 public:
  static constexpr size_t kPage = 1024;
  static constexpr int kMaxKey = 256;

  struct Entry {
    std::string key;
    uint32_t rec = 0;
    friend bool operator==(const Entry&, const Entry&) = default;
  };
  struct Options {
    std::string keyExpr, tag;
    int keySize = 0, keyDec = 0;
    bool unique = false, descending = false;
  };
  // A test on (key, record) that holds for a leading run of the order.
  using Before = std::function<bool(std::string_view key, uint32_t rec)>;

  // Writes a new index of `entries` (any order) over the empty `file`.
  static std::unique_ptr<NtxIndex> Build(std::unique_ptr<Storage> file, std::string fileName, std::string subSystem,
                                         const Options& options, std::vector<Entry> entries, bool shared);
  // Opens an existing index file and checks its header.
  static std::unique_ptr<NtxIndex> Open(std::unique_ptr<Storage> file, std::string fileName, std::string subSystem,
                                        bool shared);

  const Options& options() const { return options_; }
  const std::string& fileName() const { return fileName_; }
  int maxItems() const { return maxItem_; }

  // The order: keys byte by byte (reversed when descending), then record numbers.
  int CompareKeys(std::string_view a, std::string_view b) const;
  // A key against a leading part of one: only as many bytes as the part has.
  int ComparePrefix(std::string_view key, std::string_view prefix) const;
  bool Less(std::string_view ka, uint32_t ra, std::string_view kb, uint32_t rb) const;

  // The first entry for which `before` fails, the last for which it holds.
  std::optional<Entry> FirstNotBefore(const Before& before);
  std::optional<Entry> LastBefore(const Before& before);
  // How many entries `before` holds for; the entry at a 0-based position.
  size_t CountBefore(const Before& before);
  std::optional<Entry> At(size_t pos);
  size_t Count();

  // Answers false when the entry was not added (a unique index that has the
  // key already) or not found.
  bool Insert(const Entry& e);
  bool Erase(const Entry& e);
  // Writes the pages and header that wait (exclusive use).
  void Flush();

 private:
  struct Page {
    uint16_t n = 0;
    std::vector<uint32_t> child;  // n + 1; child[n] is the rightmost
    std::vector<uint32_t> rec;    // n
    std::string keys;             // n keys of keySize bytes
    bool Leaf() const { return child[n] == 0; }
  };
  class Access;

  NtxIndex() = default;
  [[noreturn]] void Fail(int genCode, const std::string& why);
  [[noreturn]] void Corrupt(const std::string& why) { Fail(EG_CORRUPTION, "Corruption detected: " + why); }

  void ReadHeader(bool first);
  void WriteHeader();
  std::string_view Key(const Page& p, size_t i) const { return std::string_view(p.keys).substr(i * keySize_, keySize_); }
  void ReadPage(uint32_t offset, Page& page);
  std::string PageBytes(const Page& p) const;
  Page& Load(uint32_t offset);
  Page& Dirty(uint32_t offset);
  uint32_t Allocate(Page page);
  void CheckBounds(const Page& p, uint32_t offset, const Page* loPage, size_t lo, const Page* hiPage, size_t hi);
  size_t Partition(const Page& p, const Before& before) const;
  template <class Visit>
  void Descend(Visit&& visit);
  std::optional<Entry> FindFirst(const Before& before);
  std::optional<Entry> FindLast(const Before& before);
  uint32_t SubtreeCount(uint32_t offset, int depth);
  void InsertItem(Page& p, size_t i, std::string_view key, uint32_t rec, uint32_t leftChild) const;
  void EraseItem(Page& p, size_t i, bool keepLeftChild) const;
  void SetItem(Page& p, size_t i, std::string_view key, uint32_t rec) const;
  void Rebalance(std::vector<std::pair<uint32_t, size_t>>& path, uint32_t at);
  void WriteDirty();

  std::unique_ptr<Storage> file_;
  std::string fileName_, subSystem_;
  Options options_;
  bool shared_ = false;
  ErrorPtr broken_;  // set by damage: every later call fails with it
  size_t keySize_ = 0;
  int maxItem_ = 0, minItem_ = 1;
  uint32_t root_ = 0;
  uint16_t version_ = 0;
  uint32_t changes_ = 0;  // our own change count, in the header's reserved bytes
  uint64_t limit_ = 0;    // pages must lie below this offset
  uint64_t nextAlloc_ = 0;
  bool headerDirty_ = false;
  std::unordered_map<uint32_t, Page> cache_;
  std::set<uint32_t> dirty_;
  std::unordered_map<uint32_t, uint32_t> counts_;  // subtree sizes
};

}  // namespace nx
