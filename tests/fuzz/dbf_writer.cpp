// Fuzzes the DBF writer: a fuzzed table (with memo) is opened in memory, a
// fuzzed sequence of appends, field writes, deletions and header writes runs
// on it, and the result must open again with a header that matches a model
// of what was written.
//
// Input: byte 0 = n, the next n bytes drive the operations, the rest is the
// dbf_reader layout (2-byte big-endian table length, table, memo).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "rt/dbf.h"
#include "rt/storage.h"
#include "rt/strings.h"

namespace {

struct Ops {
  const uint8_t* p;
  size_t n, i = 0;
  uint8_t Next() { return i < n ? p[i++] : 0; }
  bool More() const { return i < n; }
};

nx::Value MakeValue(Ops& ops) {
  uint8_t kind = ops.Next();
  switch (kind % 6) {
    case 0: {
      std::string s(size_t(ops.Next()) * 3, char('A' + kind % 26));
      return nx::Value(s);
    }
    case 1: return nx::Value(int64_t(int8_t(ops.Next())) * int64_t(ops.Next()) * 1000003);
    case 2: return nx::Value(double(int16_t(ops.Next() << 8 | ops.Next())) / 7.0, ops.Next() % 6);
    case 3: return nx::Value(nx::MakeDate(1900 + ops.Next(), 1 + ops.Next() % 12, 1 + ops.Next() % 28));
    case 4: return nx::Value(bool(ops.Next() & 1));
    default: return nx::Value();
  }
}

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  size_t nOps = std::min<size_t>(data[0], size - 1);
  Ops ops{data + 1, nOps};
  const uint8_t* rest = data + 1 + nOps;
  size_t restSize = size - 1 - nOps;
  if (restSize < 2) return 0;
  size_t split = std::min<size_t>(restSize - 2, size_t(rest[0]) << 8 | rest[1]);
  auto dbfBytes = std::make_shared<std::vector<unsigned char>>(rest + 2, rest + 2 + split);
  auto memoBytes = std::make_shared<std::vector<unsigned char>>(rest + 2 + split, rest + restSize);

  nx::ErrorPtr error;
  auto table = nx::DbfTable::Open(std::make_unique<nx::MemoryStorage>(dbfBytes),
                                  std::make_unique<nx::MemoryStorage>(memoBytes), "fuzz.dbf", "DBF", error);
  if (!table) return 0;
  const size_t fieldCount = table->fields().size();
  const size_t recLen = table->recordLength();
  uint32_t count = table->count();
  std::map<uint32_t, std::string> written;  // the model: records as last written
  bool appended = false;

  while (ops.More()) {
    uint8_t op = ops.Next();
    switch (op % 5) {
      case 0: {
        if (count >= 200) break;
        uint32_t recno = 0;
        if (!table->AppendRecord(table->BlankRecord(), recno)) {
          Check(recno == count + 1);
          count = recno;
          written[recno] = table->BlankRecord();
          appended = true;
        }
        break;
      }
      case 1:
      case 2: {
        if (count == 0) break;
        uint32_t recno = 1 + ops.Next() % count;
        std::string record;
        if (table->ReadRecord(recno, record)) break;
        Check(record.size() == recLen);
        if (op % 5 == 1) {
          size_t field = ops.Next() % fieldCount;
          nx::Value v = MakeValue(ops);
          std::string before = record;
          if (table->PutField(record, field, v)) Check(record == before);  // a refused value changes nothing
        } else {
          record[0] = record[0] == '*' ? ' ' : '*';
        }
        Check(record.size() == recLen);
        if (!table->WriteRecord(recno, record)) written[recno] = record;
        break;
      }
      case 3: table->Refresh(); Check(table->count() == count); break;
      default: Check(!table->WriteHeader()); break;
    }
  }

  // The file opens again, its header counts what was written, and every
  // record reads back as the model says.
  auto again = nx::DbfTable::Open(std::make_unique<nx::MemoryStorage>(dbfBytes),
                                  std::make_unique<nx::MemoryStorage>(memoBytes), "fuzz.dbf", "DBF", error);
  Check(again != nullptr);
  Check(again->count() == count);
  Check(again->recordLength() == recLen && again->fields().size() == fieldCount);
  uint32_t stored = uint32_t(dbfBytes->at(4)) | uint32_t(dbfBytes->at(5)) << 8 | uint32_t(dbfBytes->at(6)) << 16 |
                    uint32_t(dbfBytes->at(7)) << 24;
  Check(stored == count);
  for (const auto& [recno, expected] : written) {
    std::string got;
    Check(!again->ReadRecord(recno, got));
    Check(got == expected);
  }
  if (appended) {
    size_t headerLen = size_t(dbfBytes->at(8)) | size_t(dbfBytes->at(9)) << 8;
    Check(dbfBytes->size() > headerLen + size_t(count) * recLen);
    Check((*dbfBytes)[headerLen + size_t(count) * recLen] == 0x1A);
  }
  return 0;
}
