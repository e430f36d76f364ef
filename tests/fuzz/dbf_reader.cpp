// Fuzzes the DBF reader: the input is split into a table and a memo file,
// opened as an in-memory table and read through every record and field.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "rt/dbf.h"
#include "rt/storage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  size_t split = std::min<size_t>(size - 2, size_t(data[0]) << 8 | data[1]);
  auto dbfBytes = std::make_shared<std::vector<unsigned char>>(data + 2, data + 2 + split);
  auto memoBytes = std::make_shared<std::vector<unsigned char>>(data + 2 + split, data + size);
  nx::ErrorPtr error;
  auto table = nx::DbfTable::Open(std::make_unique<nx::MemoryStorage>(dbfBytes),
                                  std::make_unique<nx::MemoryStorage>(memoBytes), "fuzz.dbf", "DBF", error);
  if (!table) {
    if (!error || error->FileName.empty()) __builtin_trap();  // a refusal must say why and where
    return 0;
  }
  std::string record;
  uint32_t count = std::min<uint32_t>(table->count(), 64);
  for (uint32_t r = 1; r <= count; ++r) {
    if (table->ReadRecord(r, record)) continue;
    for (size_t f = 0; f < table->fields().size(); ++f) {
      nx::Value v;
      if (table->GetField(record, f, v)) continue;
      // Writing back what was read must succeed and fit the record.
      if (table->PutField(record, f, v) && v.IsString() && table->fields()[f].type == 'C') __builtin_trap();
    }
    if (record.size() != table->recordLength()) __builtin_trap();
  }
  return 0;
}
