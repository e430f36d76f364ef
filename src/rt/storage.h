// Byte storage under the table drivers: an OS file with real sharing modes
// and byte-range locks, or a block of memory for in-memory tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nx {

class Storage {
 public:
  virtual ~Storage() = default;
  // Reads up to n bytes at offset; answers the count read (short at the end).
  virtual size_t ReadAt(uint64_t offset, void* data, size_t n) = 0;
  // Writes all n bytes in one call; false on failure.
  virtual bool WriteAt(uint64_t offset, const void* data, size_t n) = 0;
  virtual uint64_t Size() = 0;
  virtual bool Flush() = 0;
  // Exclusive, non-blocking lock of a byte range, held by this handle only:
  // another handle on the same file, in this process or another, is refused.
  virtual bool Lock(uint64_t offset, uint64_t length) = 0;
  // Shared, non-blocking: granted beside other shared locks, refused beside
  // an exclusive one of another handle. Unlock releases either kind.
  virtual bool LockShared(uint64_t offset, uint64_t length) = 0;
  virtual void Unlock(uint64_t offset, uint64_t length) = 0;
};

enum class OpenMode { Shared, Exclusive };

// Opens an existing file. On failure answers null and sets osError to the
// platform's code (2 not found, 5 access denied, 32 sharing violation).
std::unique_ptr<Storage> OpenFile(const std::string& path, OpenMode mode, bool readOnly, int& osError);
// Creates (or truncates) a file, held exclusively.
std::unique_ptr<Storage> CreateNewFile(const std::string& path, int& osError);
bool FileExists(const std::string& path);
// Yields the processor for about a millisecond (lock retries).
void PauseBriefly();

// Memory storage; copies share the bytes, so several areas can use one table.
class MemoryStorage : public Storage {
 public:
  MemoryStorage() : bytes_(std::make_shared<std::vector<unsigned char>>()) {}
  explicit MemoryStorage(std::shared_ptr<std::vector<unsigned char>> bytes) : bytes_(std::move(bytes)) {}
  size_t ReadAt(uint64_t offset, void* data, size_t n) override;
  bool WriteAt(uint64_t offset, const void* data, size_t n) override;
  uint64_t Size() override { return bytes_->size(); }
  bool Flush() override { return true; }
  bool Lock(uint64_t, uint64_t) override { return true; }
  bool LockShared(uint64_t, uint64_t) override { return true; }
  void Unlock(uint64_t, uint64_t) override {}
  const std::shared_ptr<std::vector<unsigned char>>& bytes() const { return bytes_; }

 private:
  std::shared_ptr<std::vector<unsigned char>> bytes_;
};

}  // namespace nx
