#include "rt/ntx.h"

#include <algorithm>
#include <cstring>

namespace nx {

namespace {

// Header layout.
constexpr size_t kSignature = 0, kVersion = 2, kRoot = 4, kNextPage = 8, kItemSize = 12, kKeySize = 14, kKeyDec = 16,
                 kMaxItem = 18, kHalfPage = 20, kKeyExpr = 22, kUnique = 278, kDescend = 280, kTag = 538;
// Our own 32-bit change count, in bytes the layout leaves unused: the 16-bit
// version alone comes round again after 65536 changes.
constexpr size_t kChanges = 1016;
constexpr int kMaxDepth = 40;
// Readers hold this byte shared, writers exclusively, far past any page.
constexpr uint64_t kLockByte = 1000000000;
constexpr size_t kCacheLimit = 8192;

uint16_t Get16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Get32(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void Put16(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
void Put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

int MaxItemsFor(int keySize) { return std::max(2, int((NtxIndex::kPage - 2) / size_t(keySize + 10)) - 1); }

}  // namespace

// One call's hold on the file: the lock of shared use, and a header read
// that drops cached pages another program has changed.
class NtxIndex::Access {
 public:
  Access(NtxIndex& ix, bool write) : ix_(ix), write_(write) {
    if (ix_.broken_) throw IndexFault{ix_.broken_};
    if (ix_.shared_) {
      bool got = false;
      for (int i = 0; i < 5000 && !got; ++i) {
        got = write ? ix_.file_->Lock(kLockByte, 1) : ix_.file_->LockShared(kLockByte, 1);
        if (!got) PauseBriefly();
      }
      if (!got) ix_.Fail(EG_LOCK, "Lock error: index in use");
      locked_ = true;
      try {
        ix_.ReadHeader(false);
      } catch (...) {
        Release();
        throw;
      }
    }
    if (ix_.cache_.size() > kCacheLimit) {
      for (auto it = ix_.cache_.begin(); it != ix_.cache_.end();)
        it = ix_.dirty_.contains(it->first) ? std::next(it) : ix_.cache_.erase(it);
    }
  }
  // Changes reach the file before others may look: at once in shared use,
  // in batches otherwise.
  void Done() {
    if (write_ && (ix_.shared_ || ix_.dirty_.size() > 512)) ix_.WriteDirty();
  }
  ~Access() { Release(); }

 private:
  void Release() {
    if (locked_) ix_.file_->Unlock(kLockByte, 1);
    locked_ = false;
  }
  NtxIndex& ix_;
  bool write_, locked_ = false;
};

void NtxIndex::Fail(int genCode, const std::string& why) {
  auto e = ErrorNew(subSystem_, genCode, genCode == EG_CORRUPTION ? 1012 : genCode == EG_LOCK ? 1038 : 1010, why,
                    "INDEX");
  e->FileName = fileName_;
  e->CanDefault = true;
  if (genCode == EG_LOCK) {
    e->CanRetry = true;
  } else {
    // What is cached may be half changed; the file may be half written.
    broken_ = e;
    cache_.clear();
    dirty_.clear();
    counts_.clear();
  }
  throw IndexFault{e};
}

int NtxIndex::CompareKeys(std::string_view a, std::string_view b) const {
  int c = a.compare(b);
  c = c < 0 ? -1 : c > 0 ? 1 : 0;
  return options_.descending ? -c : c;
}

int NtxIndex::ComparePrefix(std::string_view key, std::string_view prefix) const {
  return CompareKeys(key.substr(0, prefix.size()), prefix);
}

bool NtxIndex::Less(std::string_view ka, uint32_t ra, std::string_view kb, uint32_t rb) const {
  int c = CompareKeys(ka, kb);
  return c < 0 || (c == 0 && ra < rb);
}

// ---- header ------------------------------------------------------------------------------------

void NtxIndex::ReadHeader(bool first) {
  unsigned char h[kPage];
  uint64_t size = file_->Size();
  if (size < kPage || file_->ReadAt(0, h, kPage) != kPage) Corrupt("file shorter than an index header");
  uint16_t version = Get16(h + kVersion);
  uint32_t root = Get32(h + kRoot), changes = Get32(h + kChanges);
  limit_ = std::max<uint64_t>(size / kPage * kPage, nextAlloc_);
  if (!first) {
    if (version != version_ || root != root_ || changes != changes_) {
      cache_.clear();
      counts_.clear();
    }
    if (shared_) nextAlloc_ = (size + kPage - 1) / kPage * kPage;
    version_ = version, root_ = root, changes_ = changes;
    if (root_ < kPage || root_ % kPage != 0 || root_ + kPage > limit_) Corrupt("root page outside the file");
    return;
  }
  int signature = Get16(h + kSignature) & 0xFF;
  if (signature != 6 && signature != 3) Corrupt("not an index file (signature " + std::to_string(Get16(h)) + ")");
  int itemSize = Get16(h + kItemSize), keySize = Get16(h + kKeySize), keyDec = Get16(h + kKeyDec),
      maxItem = Get16(h + kMaxItem);
  if (keySize < 1 || keySize > kMaxKey) Corrupt("key size " + std::to_string(keySize));
  if (itemSize != keySize + 8) Corrupt("item size " + std::to_string(itemSize) + " does not fit key size " + std::to_string(keySize));
  if (maxItem < 2 || 2 + size_t(maxItem + 1) * size_t(itemSize + 2) > kPage)
    Corrupt("page capacity " + std::to_string(maxItem) + " does not fit the page");
  if (keyDec > keySize) Corrupt("key decimals " + std::to_string(keyDec));
  const char* expr = reinterpret_cast<const char*>(h + kKeyExpr);
  size_t exprLen = strnlen(expr, kUnique - kKeyExpr);
  if (exprLen == 0 || exprLen == kUnique - kKeyExpr) Corrupt("no key expression");
  const char* tag = reinterpret_cast<const char*>(h + kTag);
  options_.keyExpr.assign(expr, exprLen);
  options_.tag.assign(tag, strnlen(tag, 12));
  options_.keySize = keySize;
  options_.keyDec = keyDec;
  options_.unique = h[kUnique] != 0;
  options_.descending = h[kDescend] != 0;
  keySize_ = size_t(keySize);
  maxItem_ = maxItem;
  minItem_ = std::max(1, maxItem / 2);
  nextAlloc_ = (size + kPage - 1) / kPage * kPage;
  limit_ = std::max<uint64_t>(size / kPage * kPage, nextAlloc_);
  version_ = version, root_ = root, changes_ = changes;
  if (root_ < kPage || root_ % kPage != 0 || root_ + kPage > limit_) Corrupt("root page outside the file");
}

void NtxIndex::WriteHeader() {
  unsigned char b[6];
  Put16(b, uint16_t(version_ + 1));
  Put32(b + 2, root_);
  unsigned char c[4];
  Put32(c, changes_ + 1);
  if (!file_->WriteAt(kVersion, b, sizeof b) || !file_->WriteAt(kChanges, c, sizeof c))
    Fail(EG_WRITE, "Write error: index header");
  ++version_;
  ++changes_;
  headerDirty_ = false;
}

// ---- pages -------------------------------------------------------------------------------------

void NtxIndex::ReadPage(uint32_t offset, Page& page) {
  if (offset < kPage || offset % kPage != 0 || offset + kPage > limit_)
    Corrupt("page " + std::to_string(offset) + " outside the file");
  unsigned char b[kPage];
  if (file_->ReadAt(offset, b, kPage) != kPage) Fail(EG_READ, "Read error: index page " + std::to_string(offset));
  size_t n = Get16(b);
  if (n > size_t(maxItem_)) Corrupt("page " + std::to_string(offset) + " holds " + std::to_string(n) + " keys");
  page.n = uint16_t(n);
  page.child.assign(n + 1, 0);
  page.rec.assign(n, 0);
  page.keys.assign(n * keySize_, ' ');
  size_t itemSize = keySize_ + 8;
  for (size_t i = 0; i <= n; ++i) {
    size_t at = Get16(b + 2 + 2 * i);
    if (at < 2 || at + itemSize > kPage) Corrupt("page " + std::to_string(offset) + " has a bad item offset");
    uint32_t child = Get32(b + at);
    if (child != 0 && (child % kPage != 0 || child < kPage || child + kPage > limit_))
      Corrupt("page " + std::to_string(offset) + " points outside the file");
    page.child[i] = child;
    if (i == n) break;
    page.rec[i] = Get32(b + at + 4);
    if (page.rec[i] == 0) Corrupt("page " + std::to_string(offset) + " has record number 0");
    std::memcpy(page.keys.data() + i * keySize_, b + at + 8, keySize_);
  }
  bool leaf = page.child[n] == 0;
  for (size_t i = 0; i < n; ++i) {
    if ((page.child[i] == 0) != leaf) Corrupt("page " + std::to_string(offset) + " mixes leaf and branch items");
    if (i > 0 && !Less(Key(page, i - 1), page.rec[i - 1], Key(page, i), page.rec[i]))
      Corrupt("keys out of order in page " + std::to_string(offset));
  }
}

std::string NtxIndex::PageBytes(const Page& p) const {
  std::string b(kPage, '\0');
  auto* u = reinterpret_cast<unsigned char*>(b.data());
  Put16(u, p.n);
  size_t itemSize = keySize_ + 8, table = 2 + 2 * size_t(maxItem_ + 1);
  for (size_t i = 0; i <= size_t(maxItem_); ++i) Put16(u + 2 + 2 * i, uint32_t(table + i * itemSize));
  for (size_t i = 0; i <= p.n; ++i) {
    unsigned char* item = u + table + i * itemSize;
    Put32(item, p.child[i]);
    if (i == p.n) break;
    Put32(item + 4, p.rec[i]);
    std::memcpy(item + 8, p.keys.data() + i * keySize_, keySize_);
  }
  return b;
}

NtxIndex::Page& NtxIndex::Load(uint32_t offset) {
  auto it = cache_.find(offset);
  if (it != cache_.end()) return it->second;
  Page page;
  ReadPage(offset, page);
  return cache_.emplace(offset, std::move(page)).first->second;
}

NtxIndex::Page& NtxIndex::Dirty(uint32_t offset) {
  Page& p = Load(offset);
  dirty_.insert(offset);
  counts_.erase(offset);
  return p;
}

uint32_t NtxIndex::Allocate(Page page) {
  if (nextAlloc_ + kPage > 0xFFFFFC00u) Fail(EG_WRITE, "Write error: index file full");
  uint32_t offset = uint32_t(nextAlloc_);
  nextAlloc_ += kPage;
  limit_ = std::max(limit_, nextAlloc_);
  cache_[offset] = std::move(page);
  dirty_.insert(offset);
  return offset;
}

void NtxIndex::WriteDirty() {
  if (dirty_.empty() && !headerDirty_) return;
  for (uint32_t offset : dirty_) {
    std::string bytes = PageBytes(cache_.at(offset));
    if (!file_->WriteAt(offset, bytes.data(), bytes.size())) Fail(EG_WRITE, "Write error: index page");
  }
  dirty_.clear();
  WriteHeader();
}

void NtxIndex::Flush() {
  if (!broken_) WriteDirty();  // a damaged index was reported when it was met
}

// A page met going down must lie between the keys around it in its parent.
void NtxIndex::CheckBounds(const Page& p, uint32_t offset, const Page* loPage, size_t lo, const Page* hiPage,
                           size_t hi) {
  if (p.n == 0) return;
  if (loPage && !Less(Key(*loPage, lo), loPage->rec[lo], Key(p, 0), p.rec[0]))
    Corrupt("page " + std::to_string(offset) + " out of order with its parent");
  if (hiPage && !Less(Key(p, p.n - 1), p.rec[p.n - 1], Key(*hiPage, hi), hiPage->rec[hi]))
    Corrupt("page " + std::to_string(offset) + " out of order with its parent");
}

size_t NtxIndex::Partition(const Page& p, const Before& before) const {
  size_t lo = 0, hi = p.n;
  while (lo < hi) {
    size_t mid = (lo + hi) / 2;
    if (before(Key(p, mid), p.rec[mid])) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

// ---- queries -----------------------------------------------------------------------------------

// Each query goes down from the root once. Going down, the page's slot is
// where `before` stops holding; the entry there (or just before it) is the
// best answer so far, and the pages below only hold better ones.
std::optional<NtxIndex::Entry> NtxIndex::FirstNotBefore(const Before& before) {
  Access access(*this, false);
  return FindFirst(before);
}

std::optional<NtxIndex::Entry> NtxIndex::LastBefore(const Before& before) {
  Access access(*this, false);
  return FindLast(before);
}

// Goes down from the root, checking each page against the keys around it in
// its parent. `visit` answers the slot whose child to go down to, or nothing
// to stop; a leaf always stops.
template <class Visit>
void NtxIndex::Descend(Visit&& visit) {
  const Page *loPage = nullptr, *hiPage = nullptr;
  size_t lo = 0, hi = 0;
  uint32_t offset = root_;
  for (int depth = 0;; ++depth) {
    if (depth > kMaxDepth) Corrupt("index tree too deep (pages form a loop)");
    const Page& p = Load(offset);
    CheckBounds(p, offset, loPage, lo, hiPage, hi);
    std::optional<size_t> slot = visit(p, depth);
    if (!slot || p.Leaf()) return;
    size_t i = *slot;
    if (i > 0) loPage = &p, lo = i - 1;
    if (i < p.n) hiPage = &p, hi = i;
    offset = p.child[i];
  }
}

std::optional<NtxIndex::Entry> NtxIndex::FindFirst(const Before& before) {
  std::optional<Entry> best;
  Descend([&](const Page& p, int) -> std::optional<size_t> {
    size_t i = Partition(p, before);
    if (i < p.n) best = Entry{std::string(Key(p, i)), p.rec[i]};
    return i;
  });
  return best;
}

std::optional<NtxIndex::Entry> NtxIndex::FindLast(const Before& before) {
  std::optional<Entry> best;
  Descend([&](const Page& p, int) -> std::optional<size_t> {
    size_t i = Partition(p, before);
    if (i > 0) best = Entry{std::string(Key(p, i - 1)), p.rec[i - 1]};
    return i;
  });
  return best;
}

uint32_t NtxIndex::SubtreeCount(uint32_t offset, int depth) {
  if (depth > kMaxDepth) Corrupt("index tree too deep (pages form a loop)");
  if (auto it = counts_.find(offset); it != counts_.end()) return it->second;
  // Counting reads every page below once; they are not kept.
  const Page* p = nullptr;
  Page scratch;
  if (auto it = cache_.find(offset); it != cache_.end()) {
    p = &it->second;
  } else {
    ReadPage(offset, scratch);
    p = &scratch;
  }
  uint64_t total = p->n;
  if (!p->Leaf()) {
    std::vector<uint32_t> children = p->child;  // `p` may not outlive the calls below
    for (uint32_t c : children) total += SubtreeCount(c, depth + 1);
  }
  if (total > UINT32_MAX) Corrupt("more keys than a table can hold");
  counts_[offset] = uint32_t(total);
  return uint32_t(total);
}

size_t NtxIndex::CountBefore(const Before& before) {
  Access access(*this, false);
  size_t count = 0;
  Descend([&](const Page& p, int depth) -> std::optional<size_t> {
    size_t i = Partition(p, before);
    count += i;
    if (!p.Leaf())
      for (size_t j = 0; j < i; ++j) count += SubtreeCount(p.child[j], depth + 1);
    return i;
  });
  return count;
}

std::optional<NtxIndex::Entry> NtxIndex::At(size_t pos) {
  Access access(*this, false);
  std::optional<Entry> found;
  Descend([&](const Page& p, int depth) -> std::optional<size_t> {
    if (p.Leaf()) {
      if (pos < p.n) found = Entry{std::string(Key(p, pos)), p.rec[pos]};
      return std::nullopt;
    }
    for (size_t j = 0; j <= p.n; ++j) {
      size_t below = SubtreeCount(p.child[j], depth + 1);
      if (pos < below) return j;
      pos -= below;
      if (j < p.n) {
        if (pos == 0) {
          found = Entry{std::string(Key(p, j)), p.rec[j]};
          return std::nullopt;
        }
        --pos;
      }
    }
    return std::nullopt;
  });
  return found;
}

size_t NtxIndex::Count() {
  Access access(*this, false);
  return SubtreeCount(root_, 0);
}

// ---- changes -----------------------------------------------------------------------------------

void NtxIndex::InsertItem(Page& p, size_t i, std::string_view key, uint32_t rec, uint32_t leftChild) const {
  p.keys.insert(i * keySize_, key);
  p.rec.insert(p.rec.begin() + std::ptrdiff_t(i), rec);
  p.child.insert(p.child.begin() + std::ptrdiff_t(i), leftChild);
  ++p.n;
}

void NtxIndex::EraseItem(Page& p, size_t i, bool keepLeftChild) const {
  p.keys.erase(i * keySize_, keySize_);
  p.rec.erase(p.rec.begin() + std::ptrdiff_t(i));
  p.child.erase(p.child.begin() + std::ptrdiff_t(keepLeftChild ? i + 1 : i));
  --p.n;
}

void NtxIndex::SetItem(Page& p, size_t i, std::string_view key, uint32_t rec) const {
  p.keys.replace(i * keySize_, keySize_, key);
  p.rec[i] = rec;
}

bool NtxIndex::Insert(const Entry& e) {
  Access access(*this, true);
  std::string key = e.key;
  key.resize(keySize_, ' ');
  if (options_.unique) {
    auto same = FindFirst([&](std::string_view k, uint32_t) { return CompareKeys(k, key) < 0; });
    if (same && same->key == key) return false;
  }
  std::vector<std::pair<uint32_t, size_t>> path;
  uint32_t offset = root_;
  size_t i = 0;
  for (int depth = 0;; ++depth) {
    if (depth > kMaxDepth) Corrupt("index tree too deep (pages form a loop)");
    const Page& p = Load(offset);
    i = Partition(p, [&](std::string_view k, uint32_t r) { return Less(k, r, key, e.rec); });
    if (i < p.n && Key(p, i) == key && p.rec[i] == e.rec) return false;
    if (p.Leaf()) break;
    path.emplace_back(offset, i);
    offset = p.child[i];
  }
  for (auto& [o, slot] : path) counts_.erase(o);
  InsertItem(Dirty(offset), i, key, e.rec, 0);
  // Split full pages upwards: the left half stays, the middle key rises.
  while (Load(offset).n > maxItem_) {
    Page& p = Dirty(offset);
    size_t half = size_t(maxItem_) / 2;
    Page right;
    right.n = uint16_t(p.n - half - 1);
    right.keys = p.keys.substr((half + 1) * keySize_);
    right.rec.assign(p.rec.begin() + std::ptrdiff_t(half + 1), p.rec.end());
    right.child.assign(p.child.begin() + std::ptrdiff_t(half + 1), p.child.end());
    std::string midKey(Key(p, half));
    uint32_t midRec = p.rec[half];
    p.keys.resize(half * keySize_);
    p.rec.resize(half);
    p.child.resize(half + 1);
    p.n = uint16_t(half);
    uint32_t rightOffset = Allocate(std::move(right));
    if (path.empty()) {
      Page top;
      top.n = 1;
      top.keys = midKey;
      top.rec = {midRec};
      top.child = {offset, rightOffset};
      root_ = Allocate(std::move(top));
      headerDirty_ = true;
      break;
    }
    auto [parentOffset, slot] = path.back();
    path.pop_back();
    Page& parent = Dirty(parentOffset);
    InsertItem(parent, slot, midKey, midRec, offset);
    parent.child[slot + 1] = rightOffset;
    offset = parentOffset;
  }
  access.Done();
  return true;
}

bool NtxIndex::Erase(const Entry& e) {
  Access access(*this, true);
  std::string key = e.key;
  key.resize(keySize_, ' ');
  std::vector<std::pair<uint32_t, size_t>> path;
  uint32_t offset = root_;
  size_t i = 0;
  for (int depth = 0;; ++depth) {
    if (depth > kMaxDepth) Corrupt("index tree too deep (pages form a loop)");
    const Page& p = Load(offset);
    i = Partition(p, [&](std::string_view k, uint32_t r) { return Less(k, r, key, e.rec); });
    if (i < p.n && Key(p, i) == key && p.rec[i] == e.rec) break;
    if (p.Leaf()) return false;
    path.emplace_back(offset, i);
    offset = p.child[i];
  }
  for (auto& [o, slot] : path) counts_.erase(o);
  uint32_t at = offset;
  if (Load(offset).Leaf()) {
    EraseItem(Dirty(offset), i, false);
  } else {
    // A branch key gives way to the greatest key below its left side.
    path.emplace_back(offset, i);
    uint32_t c = Load(offset).child[i];
    for (int depth = 0;; ++depth) {
      if (depth > kMaxDepth) Corrupt("index tree too deep (pages form a loop)");
      const Page& q = Load(c);
      if (q.Leaf()) break;
      path.emplace_back(c, q.n);
      counts_.erase(c);
      c = q.child[q.n];
    }
    Page& leaf = Dirty(c);
    if (leaf.n == 0) Corrupt("empty page " + std::to_string(c) + " below a key");
    SetItem(Dirty(offset), i, Key(leaf, leaf.n - 1), leaf.rec[leaf.n - 1]);
    EraseItem(leaf, leaf.n - 1, false);
    at = c;
  }
  Rebalance(path, at);
  access.Done();
  return true;
}

// Refills pages left below half: a key comes over through the parent from a
// sibling that can spare one, or the page and a sibling become one page.
void NtxIndex::Rebalance(std::vector<std::pair<uint32_t, size_t>>& path, uint32_t at) {
  while (!path.empty() && Load(at).n < minItem_) {
    auto [parentOffset, slot] = path.back();
    path.pop_back();
    Page& parent = Dirty(parentOffset);
    uint32_t left = slot > 0 ? parent.child[slot - 1] : 0;
    uint32_t right = slot < parent.n ? parent.child[slot + 1] : 0;
    Page& p = Dirty(at);
    if (left && Load(left).n > minItem_) {
      Page& l = Dirty(left);
      InsertItem(p, 0, Key(parent, slot - 1), parent.rec[slot - 1], l.child[l.n]);
      SetItem(parent, slot - 1, Key(l, l.n - 1), l.rec[l.n - 1]);
      EraseItem(l, l.n - 1, true);
      return;
    }
    if (right && Load(right).n > minItem_) {
      Page& r = Dirty(right);
      InsertItem(p, p.n, Key(parent, slot), parent.rec[slot], p.child[p.n]);
      p.child[p.n] = r.child[0];
      SetItem(parent, slot, Key(r, 0), r.rec[0]);
      EraseItem(r, 0, false);
      return;
    }
    if (!left && !right) Corrupt("branch page " + std::to_string(parentOffset) + " without keys");
    // Merge into the left one of the pair; the right page is left unused.
    size_t sep = left ? slot - 1 : slot;
    Page& l = Dirty(left ? left : at);
    Page& r = Dirty(left ? at : right);
    l.keys.append(Key(parent, sep));
    l.keys.append(r.keys);
    l.rec.push_back(parent.rec[sep]);
    l.rec.insert(l.rec.end(), r.rec.begin(), r.rec.end());
    l.child.insert(l.child.end(), r.child.begin(), r.child.end());
    l.n = uint16_t(l.n + 1 + r.n);
    r = Page{};
    r.child = {0};
    EraseItem(parent, sep, true);
    at = parentOffset;
  }
  if (path.empty() && at == root_) {
    const Page& top = Load(root_);
    if (top.n == 0 && !top.Leaf()) {
      root_ = top.child[0];
      headerDirty_ = true;
    }
  }
}

// ---- building and opening ----------------------------------------------------------------------

std::unique_ptr<NtxIndex> NtxIndex::Build(std::unique_ptr<Storage> file, std::string fileName, std::string subSystem,
                                          const Options& options, std::vector<Entry> entries, bool shared) {
  auto ix = std::unique_ptr<NtxIndex>(new NtxIndex());
  ix->file_ = std::move(file);
  ix->fileName_ = std::move(fileName);
  ix->subSystem_ = std::move(subSystem);
  ix->options_ = options;
  ix->shared_ = shared;
  if (options.keySize < 1 || options.keySize > kMaxKey) ix->Fail(EG_ARG, "Invalid key length " + std::to_string(options.keySize));
  if (options.keyExpr.empty() || options.keyExpr.size() >= kUnique - kKeyExpr) ix->Fail(EG_ARG, "Invalid key expression");
  ix->keySize_ = size_t(options.keySize);
  ix->maxItem_ = MaxItemsFor(options.keySize);
  ix->minItem_ = std::max(1, ix->maxItem_ / 2);
  for (auto& e : entries) e.key.resize(ix->keySize_, ' ');
  std::sort(entries.begin(), entries.end(),
            [&](const Entry& a, const Entry& b) { return ix->Less(a.key, a.rec, b.key, b.rec); });
  if (options.unique)
    entries.erase(std::unique(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key == b.key; }),
                  entries.end());

  // Bottom up: each level's pages, with one key between two pages going up.
  std::string out;
  uint32_t next = uint32_t(kPage);
  auto emit = [&](const std::vector<Entry>& items, size_t from, size_t count, const std::vector<uint32_t>& children,
                  size_t childFrom) {
    Page p;
    p.n = uint16_t(count);
    for (size_t k = 0; k < count; ++k) {
      p.keys += items[from + k].key;
      p.rec.push_back(items[from + k].rec);
      p.child.push_back(children.empty() ? 0 : children[childFrom + k]);
    }
    p.child.push_back(children.empty() ? 0 : children[childFrom + count]);
    out += ix->PageBytes(p);
    uint32_t at = next;
    next += uint32_t(kPage);
    if (out.size() >= (1u << 20)) {
      if (!ix->file_->WriteAt(at + kPage - out.size(), out.data(), out.size())) ix->Fail(EG_WRITE, "Write error: index pages");
      out.clear();
    }
    return at;
  };
  std::vector<Entry> items = std::move(entries);
  std::vector<uint32_t> children;
  size_t max = size_t(ix->maxItem_);
  while (true) {
    size_t n = items.size();
    if (n <= max) {
      ix->root_ = emit(items, 0, n, children, 0);
      break;
    }
    size_t pages = (n + 1 + max) / (max + 1);
    size_t inPages = n - (pages - 1);
    std::vector<Entry> up;
    std::vector<uint32_t> upChildren;
    size_t pos = 0, childPos = 0;
    for (size_t p = 0; p < pages; ++p) {
      size_t take = inPages / pages + (p < inPages % pages ? 1 : 0);
      upChildren.push_back(emit(items, pos, take, children, childPos));
      pos += take;
      childPos += take + 1;
      if (p + 1 < pages) up.push_back(std::move(items[pos++]));
    }
    items = std::move(up);
    children = std::move(upChildren);
  }
  if (!out.empty() && !ix->file_->WriteAt(next - out.size(), out.data(), out.size()))
    ix->Fail(EG_WRITE, "Write error: index pages");

  std::string h(kPage, '\0');
  auto* u = reinterpret_cast<unsigned char*>(h.data());
  Put16(u + kSignature, 6);
  Put16(u + kVersion, 1);
  Put32(u + kRoot, ix->root_);
  Put32(u + kNextPage, 0);  // no free pages: pages left unused wait for the next build
  Put16(u + kItemSize, uint32_t(options.keySize + 8));
  Put16(u + kKeySize, uint32_t(options.keySize));
  Put16(u + kKeyDec, uint32_t(options.keyDec));
  Put16(u + kMaxItem, uint32_t(ix->maxItem_));
  Put16(u + kHalfPage, uint32_t(ix->maxItem_ / 2));
  std::memcpy(u + kKeyExpr, options.keyExpr.data(), options.keyExpr.size());
  u[kUnique] = options.unique ? 1 : 0;
  u[kDescend] = options.descending ? 1 : 0;
  std::memcpy(u + kTag, options.tag.data(), std::min<size_t>(options.tag.size(), 11));
  Put32(u + kChanges, 1);
  if (!ix->file_->WriteAt(0, h.data(), h.size()) || !ix->file_->Flush()) ix->Fail(EG_WRITE, "Write error: index header");
  ix->version_ = 1;
  ix->changes_ = 1;
  ix->nextAlloc_ = next;
  ix->limit_ = next;
  return ix;
}

std::unique_ptr<NtxIndex> NtxIndex::Open(std::unique_ptr<Storage> file, std::string fileName, std::string subSystem,
                                         bool shared) {
  auto ix = std::unique_ptr<NtxIndex>(new NtxIndex());
  ix->file_ = std::move(file);
  ix->fileName_ = std::move(fileName);
  ix->subSystem_ = std::move(subSystem);
  ix->shared_ = shared;
  bool locked = false;
  for (int i = 0; shared && i < 5000 && !(locked = ix->file_->LockShared(kLockByte, 1)); ++i) PauseBriefly();
  if (shared && !locked) ix->Fail(EG_LOCK, "Lock error: index in use");
  try {
    ix->ReadHeader(true);
  } catch (...) {
    if (locked) ix->file_->Unlock(kLockByte, 1);
    throw;
  }
  if (locked) ix->file_->Unlock(kLockByte, 1);
  return ix;
}

}  // namespace nx
