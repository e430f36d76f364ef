// dBASE III+ tables: the .dbf file (header, field descriptors, fixed-length
// records with a deleted flag, end-of-file marker) and its .dbt memo file.
// The driver reads records from the storage on every positioning, so a table
// shared with other programs shows their committed changes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rt/error.h"
#include "rt/storage.h"
#include "rt/value.h"

namespace nx {

struct FieldInfo {
  std::string name;  // upper case, at most 10 characters
  char type = 'C';   // C N D L M
  int len = 0;
  int dec = 0;
  uint32_t offset = 0;  // in the record, after the deleted flag
};

class DbfTable {
 public:
  // Checks a structure for DbCreate; answers an error describing the first fault.
  static ErrorPtr CheckStructure(const std::vector<FieldInfo>& fields, const std::string& fileName);
  // Writes an empty table (and memo header when memo is given).
  static ErrorPtr Create(Storage& dbf, Storage* memo, std::vector<FieldInfo> fields, const std::string& fileName);
  // Reads and checks the header; a corrupt file answers null and an error.
  static std::unique_ptr<DbfTable> Open(std::unique_ptr<Storage> dbf, std::unique_ptr<Storage> memo,
                                        std::string fileName, std::string driver, ErrorPtr& error);

  const std::vector<FieldInfo>& fields() const { return fields_; }
  bool HasMemo() const { return hasMemo_; }
  const std::string& fileName() const { return fileName_; }
  size_t recordLength() const { return recLen_; }
  // The record count as last read; Refresh() reads it again from the file.
  uint32_t count() const { return count_; }
  void Refresh();

  std::string BlankRecord() const { return std::string(recLen_, ' '); }
  ErrorPtr ReadRecord(uint32_t recno, std::string& record);
  ErrorPtr WriteRecord(uint32_t recno, const std::string& record);
  // Adds a record after the last one and updates the header; the caller holds
  // the append lock when others share the file. Answers the new number.
  ErrorPtr AppendRecord(const std::string& record, uint32_t& recno);
  // Writes the header's record count and last-update date; the count only
  // under the append lock, so TouchDate() is the one for plain edits.
  ErrorPtr WriteHeader();
  ErrorPtr TouchDate();

  // Field values from and into a record buffer. Memo text lives in the .dbt.
  ErrorPtr GetField(const std::string& record, size_t field, Value& out);
  ErrorPtr PutField(std::string& record, size_t field, const Value& v);

  // Locks: one byte per record far beyond any data, the file lock over the
  // whole record range, and a separate byte serialising appends.
  bool LockRecord(uint32_t recno) { return dbf_->Lock(kLockBase + recno, 1); }
  void UnlockRecord(uint32_t recno) { dbf_->Unlock(kLockBase + recno, 1); }
  bool LockFile() { return dbf_->Lock(kLockBase + 1, kLockSpan); }
  void UnlockFile() { dbf_->Unlock(kLockBase + 1, kLockSpan); }
  bool LockAppend() { return dbf_->Lock(kLockBase, 1); }
  void UnlockAppend() { dbf_->Unlock(kLockBase, 1); }
  bool Flush();

 private:
  static constexpr uint64_t kLockBase = 1000000000;
  static constexpr uint64_t kLockSpan = 1000000000;
  static constexpr size_t kMemoBlock = 512;

  ErrorPtr Fault(int genCode, std::string description, std::string operation, bool memo = false) const;
  ErrorPtr ReadMemo(uint32_t block, std::string& text);
  ErrorPtr WriteMemo(const std::string& text, uint32_t& block);

  std::unique_ptr<Storage> dbf_, memo_;
  std::string fileName_, memoName_, driver_;
  std::vector<FieldInfo> fields_;
  uint32_t count_ = 0;
  size_t headerLen_ = 0, recLen_ = 0;
  bool hasMemo_ = false;
};

// Memo file name for a table file name (.dbf -> .dbt).
std::string MemoFileName(const std::string& dbfName);

}  // namespace nx
