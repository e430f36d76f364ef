#include "rt/dbf.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rt/strings.h"

namespace nx {

namespace {

constexpr size_t kHeaderFixed = 32;
constexpr size_t kDescriptor = 32;
constexpr unsigned char kTerminator = 0x0D;
constexpr unsigned char kEofMarker = 0x1A;

uint32_t Le32(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }
void PutLe32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void PutLe16(unsigned char* p, uint16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}

void PutToday(unsigned char* p) {
  int y, m, d;
  SplitDate(Today(), y, m, d);
  p[0] = static_cast<unsigned char>(std::clamp(y - 1900, 0, 255));
  p[1] = static_cast<unsigned char>(m);
  p[2] = static_cast<unsigned char>(d);
}

bool ValidName(const std::string& name) {
  if (name.empty() || name.size() > 10) return false;
  if (!(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_')) return false;
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

}  // namespace

std::string MemoFileName(const std::string& dbfName) {
  auto slash = dbfName.find_last_of("/\\");
  auto dot = dbfName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return dbfName + ".dbt";
  bool upper = dot + 1 < dbfName.size() && std::isupper(static_cast<unsigned char>(dbfName[dot + 1]));
  return dbfName.substr(0, dot) + (upper ? ".DBT" : ".dbt");
}

ErrorPtr DbfTable::CheckStructure(const std::vector<FieldInfo>& fields, const std::string& fileName) {
  auto fail = [&](const std::string& why) {
    auto e = ErrorNew("DBF", EG_CREATE, 1004, "Invalid table structure: " + why, "DBCREATE");
    e->FileName = fileName;
    return e;
  };
  if (fields.empty()) return fail("no fields");
  if (fields.size() > 1024) return fail("too many fields");
  size_t recLen = 1;
  for (size_t i = 0; i < fields.size(); ++i) {
    const FieldInfo& f = fields[i];
    if (!ValidName(f.name)) return fail("bad field name '" + f.name + "'");
    for (size_t j = 0; j < i; ++j)
      if (fields[j].name == f.name) return fail("duplicate field name " + f.name);
    bool ok = false;
    switch (f.type) {
      case 'C': ok = f.len >= 1 && f.len <= 254 && f.dec == 0; break;
      case 'N': ok = f.len >= 1 && f.len <= 20 && f.dec >= 0 && (f.dec == 0 || f.dec <= f.len - 2); break;
      case 'D': ok = f.len == 8 && f.dec == 0; break;
      case 'L': ok = f.len == 1 && f.dec == 0; break;
      case 'M': ok = f.len == 10 && f.dec == 0; break;
      default: return fail("unknown type '" + std::string(1, f.type) + "' of " + f.name);
    }
    if (!ok) return fail("bad length or decimals of " + f.name);
    recLen += size_t(f.len);
  }
  if (recLen > 65535) return fail("record longer than 65535 bytes");
  return nullptr;
}

ErrorPtr DbfTable::Create(Storage& dbf, Storage* memo, std::vector<FieldInfo> fields, const std::string& fileName) {
  if (auto e = CheckStructure(fields, fileName)) return e;
  bool hasMemo = std::any_of(fields.begin(), fields.end(), [](const FieldInfo& f) { return f.type == 'M'; });
  size_t headerLen = kHeaderFixed + kDescriptor * fields.size() + 1;
  std::vector<unsigned char> h(headerLen + 1, 0);
  h[0] = hasMemo ? 0x83 : 0x03;
  PutToday(&h[1]);
  PutLe16(&h[8], uint16_t(headerLen));
  size_t recLen = 1;
  for (size_t i = 0; i < fields.size(); ++i) {
    unsigned char* d = &h[kHeaderFixed + kDescriptor * i];
    std::memcpy(d, fields[i].name.data(), fields[i].name.size());
    d[11] = static_cast<unsigned char>(fields[i].type);
    d[16] = static_cast<unsigned char>(fields[i].len);
    d[17] = static_cast<unsigned char>(fields[i].dec);
    recLen += size_t(fields[i].len);
  }
  PutLe16(&h[10], uint16_t(recLen));
  h[headerLen - 1] = kTerminator;
  h[headerLen] = kEofMarker;
  auto fail = [&](bool isMemo) {
    auto e = ErrorNew("DBF", EG_WRITE, 1011, "Write error", "DBCREATE");
    e->FileName = isMemo ? MemoFileName(fileName) : fileName;
    return e;
  };
  if (!dbf.WriteAt(0, h.data(), h.size())) return fail(false);
  if (hasMemo && memo) {
    std::vector<unsigned char> mh(kMemoBlock, 0);
    PutLe32(mh.data(), 1);
    mh[16] = 0x03;
    if (!memo->WriteAt(0, mh.data(), mh.size())) return fail(true);
  }
  return nullptr;
}

ErrorPtr DbfTable::Fault(int genCode, std::string description, std::string operation, bool memo) const {
  auto e = ErrorNew(driver_, genCode, genCode == EG_CORRUPTION ? 1012 : 1010, std::move(description),
                    std::move(operation));
  e->FileName = memo ? memoName_ : fileName_;
  return e;
}

std::unique_ptr<DbfTable> DbfTable::Open(std::unique_ptr<Storage> dbf, std::unique_ptr<Storage> memo,
                                         std::string fileName, std::string driver, ErrorPtr& error) {
  auto t = std::unique_ptr<DbfTable>(new DbfTable());
  t->dbf_ = std::move(dbf);
  t->memo_ = std::move(memo);
  t->fileName_ = std::move(fileName);
  t->memoName_ = MemoFileName(t->fileName_);
  t->driver_ = std::move(driver);
  auto corrupt = [&](const std::string& why) {
    error = t->Fault(EG_CORRUPTION, "Corruption detected: " + why, "DBUSEAREA");
    return nullptr;
  };

  uint64_t size = t->dbf_->Size();
  unsigned char h[kHeaderFixed];
  if (size < kHeaderFixed || t->dbf_->ReadAt(0, h, kHeaderFixed) != kHeaderFixed)
    return corrupt("file shorter than a table header");
  if ((h[0] & 0x07) != 0x03) return corrupt("not a dBASE III table (version byte " + std::to_string(h[0]) + ")");
  t->count_ = Le32(h + 4);
  t->headerLen_ = Le16(h + 8);
  t->recLen_ = Le16(h + 10);
  if (t->headerLen_ < kHeaderFixed + kDescriptor + 1) return corrupt("header length too small");
  if (t->headerLen_ > size) return corrupt("header length past the end of the file");

  std::vector<unsigned char> hdr(t->headerLen_);
  if (t->dbf_->ReadAt(0, hdr.data(), hdr.size()) != hdr.size()) return corrupt("header cannot be read");
  size_t pos = kHeaderFixed;
  uint32_t offset = 1;
  while (true) {
    if (pos >= t->headerLen_) return corrupt("field descriptors run past the header");
    if (hdr[pos] == kTerminator) break;
    if (pos + kDescriptor > t->headerLen_) return corrupt("field descriptors run past the header");
    const unsigned char* d = &hdr[pos];
    FieldInfo f;
    size_t nameLen = 0;
    while (nameLen < 11 && d[nameLen] != 0) ++nameLen;
    f.name = Upper(AllTrim(std::string(reinterpret_cast<const char*>(d), nameLen)));
    f.type = char(std::toupper(d[11]));
    f.len = d[16];
    f.dec = d[17];
    if (f.type == 'F') f.type = 'N';
    bool ok = f.len > 0;
    switch (f.type) {
      case 'C': break;
      case 'N': ok = ok && f.len <= 20 && f.dec < f.len; break;
      case 'D': ok = f.len == 8; break;
      case 'L': ok = f.len == 1; break;
      case 'M': ok = f.len == 10; break;
      default: return corrupt("field " + f.name + " has unsupported type code " + std::to_string(d[11]));
    }
    if (!ok || f.name.empty()) return corrupt("field descriptor " + std::to_string(t->fields_.size() + 1) + " is invalid");
    if (f.type != 'N') f.dec = 0;
    f.offset = offset;
    offset += uint32_t(f.len);
    if (f.type == 'M') t->hasMemo_ = true;
    t->fields_.push_back(std::move(f));
    pos += kDescriptor;
  }
  if (t->fields_.empty()) return corrupt("no fields");
  if (offset != t->recLen_) return corrupt("record length " + std::to_string(t->recLen_) + " does not match the fields");
  if (uint64_t(t->headerLen_) + uint64_t(t->count_) * t->recLen_ > size)
    return corrupt("record count " + std::to_string(t->count_) + " larger than the file");
  if (t->hasMemo_ && !t->memo_) {
    error = t->Fault(EG_OPEN, "Open error: memo file missing", "DBUSEAREA", true);
    error->OsCode = 2;
    return nullptr;
  }
  return t;
}

void DbfTable::Refresh() {
  unsigned char b[4];
  if (dbf_->ReadAt(4, b, 4) != 4) return;
  uint32_t n = Le32(b);
  // Never trust a count the file does not hold (a writer in progress, or damage).
  uint64_t size = dbf_->Size();
  uint64_t fits = size > headerLen_ ? (size - headerLen_) / recLen_ : 0;
  count_ = uint32_t(std::min<uint64_t>(n, fits));
}

ErrorPtr DbfTable::ReadRecord(uint32_t recno, std::string& record) {
  record.assign(recLen_, ' ');
  if (recno < 1 || recno > count_) return nullptr;
  uint64_t at = headerLen_ + uint64_t(recno - 1) * recLen_;
  if (dbf_->ReadAt(at, record.data(), recLen_) != recLen_) {
    record.assign(recLen_, ' ');
    return Fault(EG_READ, "Read error: record " + std::to_string(recno), "DBGOTO");
  }
  return nullptr;
}

ErrorPtr DbfTable::WriteRecord(uint32_t recno, const std::string& record) {
  uint64_t at = headerLen_ + uint64_t(recno - 1) * recLen_;
  if (recno < 1 || record.size() != recLen_ || !dbf_->WriteAt(at, record.data(), recLen_))
    return Fault(EG_WRITE, "Write error: record " + std::to_string(recno), "DBCOMMIT");
  return nullptr;
}

ErrorPtr DbfTable::AppendRecord(const std::string& record, uint32_t& recno) {
  Refresh();
  if (count_ == UINT32_MAX - 1) return Fault(EG_WRITE, "Write error: table full", "DBAPPEND");
  recno = count_ + 1;
  // Record and end marker first, header count last: a reader never sees a
  // count covering bytes that are not written yet.
  std::string bytes = record;
  bytes.push_back(char(kEofMarker));
  uint64_t at = headerLen_ + uint64_t(recno - 1) * recLen_;
  if (!dbf_->WriteAt(at, bytes.data(), bytes.size()))
    return Fault(EG_WRITE, "Write error: appending a record", "DBAPPEND");
  count_ = recno;
  return WriteHeader();
}

ErrorPtr DbfTable::WriteHeader() {
  unsigned char b[8];
  if (dbf_->ReadAt(0, b, 8) != 8) return Fault(EG_READ, "Read error: header", "DBCOMMIT");
  PutToday(b + 1);
  PutLe32(b + 4, count_);
  if (!dbf_->WriteAt(0, b, 8)) return Fault(EG_WRITE, "Write error: header", "DBCOMMIT");
  return nullptr;
}

ErrorPtr DbfTable::TouchDate() {
  unsigned char b[3];
  PutToday(b);
  if (!dbf_->WriteAt(1, b, 3)) return Fault(EG_WRITE, "Write error: header", "DBCLOSEAREA");
  return nullptr;
}

bool DbfTable::Flush() { return dbf_->Flush() && (!memo_ || memo_->Flush()); }

ErrorPtr DbfTable::GetField(const std::string& record, size_t field, Value& out) {
  const FieldInfo& f = fields_.at(field);
  std::string_view raw(record.data() + f.offset, size_t(f.len));
  switch (f.type) {
    case 'C': out = Value(std::string(raw)); return nullptr;
    case 'N': {
      std::string text = AllTrim(raw);
      char* end = nullptr;
      double d = text.empty() ? 0.0 : std::strtod(text.c_str(), &end);
      if (!text.empty() && (end == text.c_str() || !std::isfinite(d))) d = 0.0;  // "***" and the like
      if (f.dec == 0 && std::abs(d) < 9e15 && d == double(int64_t(d))) out = Value(int64_t(d));
      else out = Value(d, f.dec);
      return nullptr;
    }
    case 'D': out = Value(SToD(raw)); return nullptr;
    case 'L': out = Value(raw[0] == 'T' || raw[0] == 't' || raw[0] == 'Y' || raw[0] == 'y'); return nullptr;
    case 'M': {
      std::string text = AllTrim(raw);
      uint32_t block = 0;
      for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)) || block > 400000000)
          return Fault(EG_CORRUPTION, "Corruption detected: bad memo reference in " + f.name, "FIELDGET");
        block = block * 10 + uint32_t(c - '0');
      }
      std::string memo;
      if (block != 0)
        if (auto e = ReadMemo(block, memo)) return e;
      out = Value(std::move(memo));
      return nullptr;
    }
  }
  out = Value();
  return nullptr;
}

ErrorPtr DbfTable::PutField(std::string& record, size_t field, const Value& v) {
  const FieldInfo& f = fields_.at(field);
  auto wrongType = [&] {
    auto e = ErrorNew(driver_, EG_DATATYPE, 1020, "Data type error: " + f.name, "FIELDPUT");
    e->Args = Value(NewArray({v}));
    e->CanDefault = true;
    e->FileName = fileName_;
    return e;
  };
  std::string text;
  switch (f.type) {
    case 'C':
      if (!v.IsString()) return wrongType();
      text = PadR(v.AsString(), f.len);
      break;
    case 'N':
      if (!v.IsNumber()) return wrongType();
      text = Str(v, f.len, f.dec);
      if (text.find('*') != std::string::npos) {
        auto e = ErrorNew(driver_, EG_DATAWIDTH, 1021, "Data width error: " + f.name, "FIELDPUT");
        e->Args = Value(NewArray({v}));
        e->CanDefault = true;
        e->FileName = fileName_;
        return e;
      }
      break;
    case 'D':
      if (!v.IsDate()) return wrongType();
      text = DToS(v.AsDate());
      break;
    case 'L':
      if (!v.IsLogical()) return wrongType();
      text = v.AsLogical() ? "T" : "F";
      break;
    case 'M': {
      if (!v.IsString()) return wrongType();
      uint32_t block = 0;
      if (!v.AsString().empty())
        if (auto e = WriteMemo(v.AsString(), block)) return e;
      text = block ? PadL(std::to_string(block), 10) : std::string(10, ' ');
      break;
    }
  }
  record.replace(f.offset, size_t(f.len), text);
  return nullptr;
}

ErrorPtr DbfTable::ReadMemo(uint32_t block, std::string& text) {
  uint64_t size = memo_->Size();
  uint64_t at = uint64_t(block) * kMemoBlock;
  if (at >= size) return Fault(EG_CORRUPTION, "Corruption detected: memo block past the end", "FIELDGET", true);
  text.clear();
  char buf[kMemoBlock];
  // The text ends at the first end marker; a missing marker ends at the file end.
  while (at < size) {
    size_t got = memo_->ReadAt(at, buf, sizeof buf);
    if (got == 0) break;
    auto end = static_cast<const char*>(std::memchr(buf, kEofMarker, got));
    if (end) {
      text.append(buf, size_t(end - buf));
      return nullptr;
    }
    text.append(buf, got);
    at += got;
  }
  return nullptr;
}

ErrorPtr DbfTable::WriteMemo(const std::string& text, uint32_t& block) {
  if (!memo_) return Fault(EG_WRITE, "Write error: no memo file", "FIELDPUT", true);
  // dBASE III memos are append-only; the lock keeps two writers off one block.
  constexpr uint64_t kMemoLock = 1000000000;
  bool locked = false;
  // Another writer holds the allocation byte only for a single write.
  for (int i = 0; i < 2000 && !(locked = memo_->Lock(kMemoLock, 1)); ++i) PauseBriefly();
  if (!locked) return Fault(EG_LOCK, "Lock error: memo file busy", "FIELDPUT", true);
  unsigned char h[4];
  ErrorPtr error;
  if (memo_->ReadAt(0, h, 4) != 4) {
    error = Fault(EG_CORRUPTION, "Corruption detected: memo header", "FIELDPUT", true);
  } else {
    // New text goes after the last block; a header pointing elsewhere (behind
    // the end, or far past it) is not trusted.
    uint64_t byEnd = std::max<uint64_t>((memo_->Size() + kMemoBlock - 1) / kMemoBlock, 1);
    uint32_t next = uint32_t(byEnd);
    std::string data = text;
    data.append(2, char(kEofMarker));
    data.resize((data.size() + kMemoBlock - 1) / kMemoBlock * kMemoBlock, '\0');
    uint32_t blocks = uint32_t(data.size() / kMemoBlock);
    PutLe32(h, next + blocks);
    if (byEnd > UINT32_MAX / 2 || !memo_->WriteAt(uint64_t(next) * kMemoBlock, data.data(), data.size()) ||
        !memo_->WriteAt(0, h, 4))
      error = Fault(EG_WRITE, "Write error: memo", "FIELDPUT", true);
    else
      block = next;
  }
  memo_->Unlock(kMemoLock, 1);
  return error;
}

}  // namespace nx
