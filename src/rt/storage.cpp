#include "rt/storage.h"

#include <algorithm>
#include <cstring>

namespace nx {

size_t MemoryStorage::ReadAt(uint64_t offset, void* data, size_t n) {
  if (offset >= bytes_->size()) return 0;
  size_t got = std::min<uint64_t>(n, bytes_->size() - offset);
  std::memcpy(data, bytes_->data() + offset, got);
  return got;
}

bool MemoryStorage::WriteAt(uint64_t offset, const void* data, size_t n) {
  // A memory table larger than this is a runaway, not data.
  if (offset + n > (uint64_t(1) << 31)) return false;
  if (offset + n > bytes_->size()) bytes_->resize(size_t(offset + n));
  if (n) std::memcpy(bytes_->data() + offset, data, n);
  return true;
}

}  // namespace nx
