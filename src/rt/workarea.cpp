#include "rt/workarea.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "rt/dbf.h"
#include "rt/error.h"
#include "rt/expr.h"
#include "rt/order.h"
#include "rt/set.h"
#include "rt/storage.h"
#include "rt/strings.h"

namespace nx {

std::string Order::Encode(const Value& v) {
  switch (v.type()) {
    case Value::Type::String: return v.AsString();
    case Value::Type::Number: {
      double d = v.AsNumber();
      if (d == 0 || std::isnan(d)) d = 0;  // one image for 0, -0 and NaN
      uint64_t bits = std::bit_cast<uint64_t>(d);
      bits = (bits & (uint64_t(1) << 63)) ? ~bits : bits | (uint64_t(1) << 63);
      std::string s(8, '\0');
      for (int i = 0; i < 8; ++i) s[size_t(i)] = char(bits >> (56 - 8 * i));
      return s;
    }
    case Value::Type::Date: return DToS(v.AsDate());
    case Value::Type::Logical: return v.AsLogical() ? "T" : "F";
    default: return {};
  }
}

namespace {

struct Area {
  int number = 0;
  std::string alias, driver;
  std::unique_ptr<DbfTable> table;
  bool shared = false, readOnly = false;
  uint32_t recno = 1;
  bool eof = true, bof = true, found = false;
  std::string record;
  bool dirty = false, modified = false;
  std::vector<Order> orders;
  size_t focus = 0;  // 1-based, 0 = natural order
  std::set<uint32_t> locks;
  bool fileLocked = false;
  Block filter;
  std::string filterText;

  uint32_t count() const { return table->count(); }
  Order* order() { return focus ? &orders[focus - 1] : nullptr; }
};

std::array<std::unique_ptr<Area>, kMaxAreas + 1> g_areas;
int g_current = 1;
std::map<std::string, std::pair<std::shared_ptr<std::vector<unsigned char>>, std::shared_ptr<std::vector<unsigned char>>>>
    g_memoryTables;

Area* Current() { return g_areas[size_t(g_current)].get(); }

ErrorPtr AreaError(const Area* a, int genCode, int subCode, std::string description, std::string operation) {
  auto e = ErrorNew(a ? a->driver : kDbfDriver, genCode, subCode, std::move(description), std::move(operation));
  if (a && a->table) e->FileName = a->table->fileName();
  e->CanDefault = true;
  return e;
}

// The selected area, or a raised "not in use" error and null.
Area* Need(const char* operation) {
  if (Area* a = Current()) return a;
  RaiseError(AreaError(nullptr, EG_NOTABLE, 1001, "Workarea not in use", operation));
  return nullptr;
}

bool Raise(const ErrorPtr& e) {
  if (e) RaiseError(e);
  return !e;
}

// Writes a changed record back; a record is written whole, in one call.
void Flush(Area& a) {
  if (!a.dirty) return;
  a.dirty = false;
  if (a.recno >= 1 && a.recno <= a.count()) {
    Raise(a.table->WriteRecord(a.recno, a.record));
    a.modified = true;
  }
}

void Load(Area& a, uint32_t recno) {
  Flush(a);
  a.recno = recno;
  if (recno < 1 || recno > a.count()) {
    a.recno = a.count() + 1;
    a.record = a.table->BlankRecord();
    return;
  }
  Raise(a.table->ReadRecord(recno, a.record));
}

void Refresh(Area& a) {
  if (a.shared) a.table->Refresh();
}

std::string KeyOf(Order& o) { return Order::Encode(o.key().Eval()); }

bool Visible(Area& a) {
  if (SetDeleted() && !a.record.empty() && a.record[0] == '*') return false;
  if (a.filter) return a.filter.Eval().AsLogical();
  return true;
}

// Navigation walks positions 0..N-1 of the focused order (or of record
// numbers) and stops on the first visible record.
size_t PositionCount(Area& a) { return a.order() ? a.order()->size() : a.count(); }
uint32_t RecAt(Area& a, size_t pos) { return a.order() ? a.order()->at(pos).rec : uint32_t(pos + 1); }

// Position of the current record: index, and whether it is exactly there.
std::pair<size_t, bool> Locate(Area& a) {
  if (a.recno > a.count()) return {PositionCount(a), false};
  if (Order* o = a.order()) {
    size_t p = o->LowerBound(KeyOf(*o), a.recno);
    return {p, p < o->size() && o->at(p).rec == a.recno};
  }
  return {a.recno - 1, true};
}

bool SettleForward(Area& a, size_t pos) {
  for (size_t n = PositionCount(a); pos < n; ++pos) {
    Load(a, RecAt(a, pos));
    if (Visible(a)) return true;
  }
  Load(a, 0);
  return false;
}

bool SettleBackward(Area& a, size_t pos) {  // pos is one past the first candidate
  while (pos-- > 0) {
    Load(a, RecAt(a, pos));
    if (Visible(a)) return true;
  }
  return false;
}

void GoTopIn(Area& a) {
  a.found = false;
  Refresh(a);
  bool any = SettleForward(a, 0);
  a.eof = !any;
  a.bof = !any;
}

void UpdateOrders(Area& a, const std::vector<std::string>& oldKeys) {
  for (size_t i = 0; i < a.orders.size(); ++i) {
    std::string now = KeyOf(a.orders[i]);
    if (now != oldKeys[i]) {
      a.orders[i].Erase(oldKeys[i], a.recno);
      a.orders[i].Insert(std::move(now), a.recno);
    }
  }
}

std::vector<std::string> CurrentKeys(Area& a) {
  std::vector<std::string> keys;
  for (auto& o : a.orders) keys.push_back(KeyOf(o));
  return keys;
}

bool CanWrite(Area& a, const char* operation) {
  if (a.readOnly) {
    RaiseError(AreaError(&a, EG_READONLY, 1025, "Table is read-only", operation));
    return false;
  }
  if (a.recno > a.count()) return false;  // the phantom record takes no data
  if (a.shared && !a.fileLocked && !a.locks.contains(a.recno)) {
    RaiseError(AreaError(&a, EG_UNLOCKED, 1022, "Record not locked", operation));
    return false;
  }
  return true;
}

void ReleaseLocks(Area& a) {
  for (uint32_t r : a.locks) a.table->UnlockRecord(r);
  a.locks.clear();
  if (a.fileLocked) a.table->UnlockFile();
  a.fileLocked = false;
}

void Close(int n) {
  auto& slot = g_areas[size_t(n)];
  if (!slot) return;
  Area& a = *slot;
  Flush(a);
  if (a.modified && !a.readOnly) a.table->TouchDate();
  ReleaseLocks(a);
  slot.reset();
}

std::string WithExtension(std::string_view file) {
  std::string name(file);
  auto slash = name.find_last_of("/\\");
  auto dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) name += ".dbf";
  return name;
}

std::string DefaultAlias(std::string_view file) {
  std::string name(file);
  auto slash = name.find_last_of("/\\:");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  auto dot = name.find('.');
  if (dot != std::string::npos) name = name.substr(0, dot);
  return Upper(name);
}

std::string DriverName(std::string_view driver) {
  std::string d = Upper(AllTrim(driver));
  return d.empty() ? kDbfDriver : d;
}

int FreeArea() {
  for (int i = 1; i <= kMaxAreas; ++i)
    if (!g_areas[size_t(i)]) return i;
  return 0;
}

}  // namespace

int Select() { return g_current; }

int Select(std::string_view alias) {
  std::string want = Upper(AllTrim(alias));
  for (int i = 1; i <= kMaxAreas; ++i)
    if (g_areas[size_t(i)] && g_areas[size_t(i)]->alias == want) return i;
  return 0;
}

bool DbSelectArea(int area) {
  if (area == 0) area = FreeArea();
  if (area < 1 || area > kMaxAreas) return false;
  g_current = area;
  return true;
}

bool DbSelectArea(std::string_view alias) {
  if (int n = Select(alias)) return DbSelectArea(n);
  auto e = AreaError(nullptr, EG_NOALIAS, 1002, "Alias does not exist", "DBSELECTAREA");
  e->Args = Value(NewArray({Value(alias)}));
  RaiseError(e);
  return false;
}

std::string Alias(int area) {
  if (area == 0) area = g_current;
  if (area < 1 || area > kMaxAreas || !g_areas[size_t(area)]) return {};
  return g_areas[size_t(area)]->alias;
}

bool Used() { return Current() != nullptr; }

bool DbUseArea(bool newArea, std::string_view driver, std::string_view file, std::string_view alias,
               std::optional<bool> shared, bool readOnly) {
  std::string drv = DriverName(driver);
  if (newArea && !DbSelectArea(0)) {
    RaiseError(AreaError(nullptr, EG_OPEN, 1003, "No free work area", "DBUSEAREA"));
    return false;
  }
  Close(g_current);
  bool isShared = shared.value_or(!SetExclusive());
  std::string name = drv == kArrayDriver ? Upper(AllTrim(file)) : WithExtension(file);
  std::string aliasName = Upper(AllTrim(alias));
  if (aliasName.empty()) aliasName = DefaultAlias(file);
  auto fail = [&](ErrorPtr e) {
    e->FileName = name;
    e->Args = Value(NewArray({Value(file)}));
    RaiseError(e);
    return false;
  };
  if (Select(aliasName) != 0) return fail(AreaError(nullptr, EG_OPEN, 1005, "Alias already in use: " + aliasName, "DBUSEAREA"));

  std::unique_ptr<Storage> dbf, memo;
  if (drv == kArrayDriver) {
    auto it = g_memoryTables.find(name);
    if (it == g_memoryTables.end()) {
      auto e = AreaError(nullptr, EG_OPEN, 1001, "Open error: no such in-memory table", "DBUSEAREA");
      e->OsCode = 2;
      return fail(e);
    }
    dbf = std::make_unique<MemoryStorage>(it->second.first);
    memo = std::make_unique<MemoryStorage>(it->second.second);
  } else if (drv == kDbfDriver) {
    int os = 0;
    OpenMode mode = isShared ? OpenMode::Shared : OpenMode::Exclusive;
    dbf = OpenFile(name, mode, readOnly, os);
    if (!dbf) {
      auto e = AreaError(nullptr, EG_OPEN, 1001, "Open error", "DBUSEAREA");
      e->OsCode = os;
      e->CanRetry = true;
      return fail(e);
    }
    if (FileExists(MemoFileName(name))) memo = OpenFile(MemoFileName(name), mode, readOnly, os);
  } else {
    return fail(AreaError(nullptr, EG_ARG, 1015, "Unknown driver: " + drv, "DBUSEAREA"));
  }
  ErrorPtr error;
  auto table = DbfTable::Open(std::move(dbf), std::move(memo), name, drv, error);
  if (!table) {
    error->CanDefault = true;
    return fail(error);
  }
  auto a = std::make_unique<Area>();
  a->number = g_current;
  a->alias = aliasName;
  a->driver = drv;
  a->table = std::move(table);
  a->shared = isShared && drv == kDbfDriver;
  a->readOnly = readOnly;
  g_areas[size_t(g_current)] = std::move(a);
  GoTopIn(*Current());
  return true;
}

bool DbCreate(std::string_view file, const Value& aStruct, std::string_view driver) {
  std::string drv = DriverName(driver);
  std::string name = drv == kArrayDriver ? Upper(AllTrim(file)) : WithExtension(file);
  std::vector<FieldInfo> fields;
  bool wellFormed = aStruct.IsArray();
  for (size_t i = 1; wellFormed && i <= Len(aStruct.AsArray()); ++i) {
    ArrayPtr row = AGet(aStruct.AsArray(), i).AsArray();
    wellFormed = Len(row) >= 3 && AGet(row, 1).IsString() && AGet(row, 2).IsString() && AGet(row, 3).IsNumber();
    if (!wellFormed) break;
    FieldInfo f;
    f.name = Upper(AllTrim(AGet(row, 1).AsString()));
    f.type = AGet(row, 2).AsString().empty() ? '?' : char(std::toupper(static_cast<unsigned char>(AGet(row, 2).AsString()[0])));
    f.len = int(std::clamp<int64_t>(AGet(row, 3).AsInt(), -1, 100000));
    f.dec = int(std::clamp<int64_t>(AGet(row, 4).AsInt(), -1, 100000));
    fields.push_back(std::move(f));
  }
  ErrorPtr e = wellFormed ? DbfTable::CheckStructure(fields, name)
                          : ErrorNew(drv, EG_ARG, 1004, "Argument error: structure array expected", "DBCREATE");
  if (!e && drv == kArrayDriver) {
    MemoryStorage dbf, memo;
    e = DbfTable::Create(dbf, &memo, fields, name);
    if (!e) g_memoryTables[name] = {dbf.bytes(), memo.bytes()};
  } else if (!e && drv == kDbfDriver) {
    int os = 0;
    auto dbf = CreateNewFile(name, os);
    std::unique_ptr<Storage> memo;
    bool hasMemo = std::any_of(fields.begin(), fields.end(), [](const FieldInfo& f) { return f.type == 'M'; });
    if (dbf && hasMemo) memo = CreateNewFile(MemoFileName(name), os);
    if (!dbf || (hasMemo && !memo)) {
      e = ErrorNew(drv, EG_CREATE, 1004, "Create error", "DBCREATE");
      e->OsCode = os;
    } else {
      e = DbfTable::Create(*dbf, memo.get(), fields, name);
    }
  } else if (!e) {
    e = ErrorNew(drv, EG_ARG, 1015, "Unknown driver: " + drv, "DBCREATE");
  }
  if (!e) return true;
  if (e->FileName.empty()) e->FileName = name;
  e->CanDefault = true;
  RaiseError(e);
  return false;
}

Value DbStruct() {
  auto result = NewArray();
  if (Area* a = Current())
    for (const auto& f : a->table->fields())
      AAdd(result, Value(NewArray({Value(f.name), Value(std::string(1, f.type)), Value(f.len), Value(f.dec)})));
  return Value(result);
}

void DbCloseArea() { Close(g_current); }

void DbCloseAll() {
  for (int i = 1; i <= kMaxAreas; ++i) Close(i);
  g_current = 1;
}

std::string RddName() {
  Area* a = Current();
  return a ? a->driver : std::string();
}

bool DbGoTop() {
  Area* a = Need("DBGOTOP");
  if (!a) return false;
  GoTopIn(*a);
  return true;
}

bool DbGoBottom() {
  Area* a = Need("DBGOBOTTOM");
  if (!a) return false;
  a->found = false;
  Refresh(*a);
  bool any = SettleBackward(*a, PositionCount(*a));
  if (!any) Load(*a, 0);
  a->eof = a->bof = !any;
  return true;
}

bool DbGoTo(long recno) {
  Area* a = Need("DBGOTO");
  if (!a) return false;
  a->found = false;
  Refresh(*a);
  bool inRange = recno >= 1 && uint64_t(recno) <= a->count();
  Load(*a, inRange ? uint32_t(recno) : 0);
  a->eof = !inRange;
  a->bof = a->count() == 0;
  return true;
}

bool DbSkip(long n) {
  Area* a = Need("DBSKIP");
  if (!a) return false;
  a->found = false;
  Refresh(*a);
  if (n == 0) {
    Load(*a, a->recno);
    return true;
  }
  a->bof = a->eof = false;
  for (; n > 0; --n) {
    auto [pos, exact] = Locate(*a);
    if (!SettleForward(*a, exact ? pos + 1 : pos)) {
      a->eof = true;
      return true;
    }
  }
  for (; n < 0; ++n) {
    auto [pos, exact] = Locate(*a);
    if (!SettleBackward(*a, pos)) {
      GoTopIn(*a);
      a->bof = true;
      return true;
    }
  }
  return true;
}

long DbSkipper(long n) {
  Area* a = Need("DBSKIPPER");
  if (!a) return 0;
  a->found = false;
  // When every record is visible, n single skips end where position
  // arithmetic says: one load instead of n (a thumb drag skips half a table).
  if (n != 0 && !a->shared && !a->filter && !SetDeleted()) {
    auto [pos, exact] = Locate(*a);
    size_t count = PositionCount(*a);
    if (exact && pos < count) {
      long last = long(count) - 1, at = long(pos);
      long target = std::clamp(at + n, 0L, last);
      Load(*a, RecAt(*a, size_t(target)));
      a->eof = false;
      a->bof = at + n < 0;  // the skip that met the beginning
      return target - at;
    }
  }
  long done = 0;
  if (n == 0) {
    DbSkip(0);
  } else if (n > 0) {
    while (done < n) {
      DbSkip(1);
      if (Eof()) {
        DbSkip(-1);
        break;
      }
      ++done;
    }
  } else {
    while (done > n) {
      DbSkip(-1);
      if (Bof()) break;
      --done;
    }
  }
  return done;
}

bool DbSeek(const Value& key, std::optional<bool> softSeek, bool last) {
  Area* a = Need("DBSEEK");
  if (!a) return false;
  Order* o = a->order();
  if (!o) {
    RaiseError(AreaError(a, EG_NOORDER, 1020, "Workarea not indexed", "DBSEEK"));
    return false;
  }
  Refresh(*a);
  Flush(*a);
  std::string k = Order::Encode(key);
  size_t begin = o->PrefixBegin(k), end = o->PrefixEnd(k);
  bool hit = false;
  if (last) {
    hit = SettleBackward(*a, end) && a->recno <= a->count() && o->LowerBound(KeyOf(*o), a->recno) >= begin;
  } else {
    hit = SettleForward(*a, begin) && o->LowerBound(KeyOf(*o), a->recno) < end;
  }
  a->found = hit;
  a->bof = false;
  if (!hit) {
    // Soft seek stays on the next greater key; otherwise end of file.
    bool soft = softSeek.value_or(SetSoftSeek());
    bool settled = soft && SettleForward(*a, end);
    if (!settled) Load(*a, 0);
    a->eof = !settled;
  } else {
    a->eof = false;
  }
  return hit;
}

bool Found() { return Current() && Current()->found; }
bool Eof() { return !Current() || Current()->eof; }
bool Bof() { return !Current() || Current()->bof; }
long RecNo() { return Current() ? long(Current()->recno) : 0; }

long RecCount() {
  Area* a = Current();
  if (!a) return 0;
  Refresh(*a);
  return long(a->count());
}
long LastRec() { return RecCount(); }

void DbSetFilter(const Block& condition, std::string text) {
  if (Area* a = Need("DBSETFILTER")) {
    a->filter = condition;
    a->filterText = text.empty() ? condition.text : std::move(text);
  }
}
void DbClearFilter() {
  if (Area* a = Current()) a->filter = Block{}, a->filterText.clear();
}
std::string DbFilter() { return Current() ? Current()->filterText : std::string(); }

bool DbAppend(bool releaseLocks) {
  Area* a = Need("DBAPPEND");
  if (!a) return false;
  NetErr(false);
  if (a->readOnly) {
    RaiseError(AreaError(a, EG_READONLY, 1025, "Table is read-only", "DBAPPEND"));
    return false;
  }
  Flush(*a);
  if (a->shared && releaseLocks && !a->fileLocked) ReleaseLocks(*a);
  // The append byte is held for one write only: wait briefly for it.
  bool locked = !a->shared;
  for (int i = 0; !locked && i < 500; ++i)
    if (!(locked = a->table->LockAppend())) PauseBriefly();
  if (!locked) {
    RaiseError(AreaError(a, EG_APPENDLOCK, 1024, "Append lock failed", "DBAPPEND"));
    NetErr(true);
    return false;
  }
  uint32_t recno = 0;
  std::string blank = a->table->BlankRecord();
  ErrorPtr e;
  if (a->shared && !a->fileLocked) {
    // The new record must come locked: another user's file lock covers it
    // before it exists, and then nothing may be written.
    a->table->Refresh();
    uint32_t next = a->table->count() + 1;
    if (!a->table->LockRecord(next)) {
      a->table->UnlockAppend();
      auto conflict = AreaError(a, EG_APPENDLOCK, 1024, "Append lock failed: the table is locked by another user", "DBAPPEND");
      RaiseError(conflict);
      NetErr(true);
      return false;
    }
    e = a->table->AppendRecord(blank, recno);
    if (e || recno != next) {
      a->table->UnlockRecord(next);
    } else {
      a->locks.insert(recno);
    }
  } else {
    e = a->table->AppendRecord(blank, recno);
  }
  if (a->shared) a->table->UnlockAppend();
  if (!Raise(e)) return false;
  a->modified = true;
  a->recno = recno;
  a->record = blank;
  a->eof = a->bof = false;
  a->found = false;
  for (auto& o : a->orders) o.Insert(KeyOf(o), recno);
  return true;
}

namespace {
void SetDeletedFlag(bool deleted, const char* operation) {
  Area* a = Need(operation);
  if (!a || !CanWrite(*a, operation)) return;
  a->record[0] = deleted ? '*' : ' ';
  a->dirty = true;
}
}  // namespace

void DbDelete() { SetDeletedFlag(true, "DBDELETE"); }
void DbRecall() { SetDeletedFlag(false, "DBRECALL"); }
bool Deleted() { return Current() && Current()->record[0] == '*'; }

int FCount() { return Current() ? int(Current()->table->fields().size()) : 0; }

std::string FieldName(int pos) {
  Area* a = Current();
  if (!a || pos < 1 || pos > FCount()) return {};
  return a->table->fields()[size_t(pos - 1)].name;
}

int FieldPos(std::string_view name) {
  Area* a = Current();
  if (!a) return 0;
  std::string want = Upper(AllTrim(name));
  const auto& fields = a->table->fields();
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i].name == want) return int(i + 1);
  return 0;
}

Value FieldGet(int pos) {
  Area* a = Need("FIELDGET");
  if (!a) return Value();
  if (pos < 1 || pos > FCount()) {
    auto e = AreaError(a, EG_ARG, 1009, "Argument error: field position", "FIELDGET");
    e->Args = Value(NewArray({Value(pos)}));
    RaiseError(e);
    return Value();
  }
  Value v;
  if (!Raise(a->table->GetField(a->record, size_t(pos - 1), v))) return Value();
  return v;
}

Value FieldPut(int pos, const Value& value) {
  Area* a = Need("FIELDPUT");
  if (!a) return Value();
  if (pos < 1 || pos > FCount()) {
    auto e = AreaError(a, EG_ARG, 1009, "Argument error: field position", "FIELDPUT");
    e->Args = Value(NewArray({Value(pos), value}));
    RaiseError(e);
    return Value();
  }
  if (!CanWrite(*a, "FIELDPUT")) return Value();
  std::vector<std::string> oldKeys = CurrentKeys(*a);
  std::string before = a->record;
  if (!Raise(a->table->PutField(a->record, size_t(pos - 1), value))) return Value();
  if (a->record != before) {
    a->dirty = true;
    UpdateOrders(*a, oldKeys);
  }
  return value;
}

void DbCommit() {
  if (Area* a = Current()) {
    Flush(*a);
    a->table->Flush();
  }
}

void DbCommitAll() {
  int keep = g_current;
  for (int i = 1; i <= kMaxAreas; ++i)
    if (g_areas[size_t(i)]) g_current = i, DbCommit();
  g_current = keep;
}

bool DbRLock(long recno) {
  Area* a = Need("DBRLOCK");
  if (!a) return false;
  if (!a->shared || a->fileLocked) return true;
  Refresh(*a);
  if (recno < 1 || uint64_t(recno) > a->count()) return false;
  uint32_t r = uint32_t(recno);
  if (a->locks.contains(r)) return true;
  if (!a->table->LockRecord(r)) return false;
  a->locks.insert(r);
  // What we hold now is what others committed: read it again.
  if (r == a->recno && !a->dirty) Load(*a, r);
  return true;
}

bool RLock(long recno) {
  Area* a = Need("RLOCK");
  if (!a) return false;
  if (recno == 0) recno = long(a->recno);
  if (a->shared && !a->fileLocked) {
    Flush(*a);
    for (uint32_t r : a->locks)
      if (r != uint32_t(recno)) a->table->UnlockRecord(r);
    bool kept = a->locks.contains(uint32_t(recno));
    a->locks.clear();
    if (kept) a->locks.insert(uint32_t(recno));
  }
  return DbRLock(recno);
}

bool FLock() {
  Area* a = Need("FLOCK");
  if (!a) return false;
  if (!a->shared || a->fileLocked) return true;
  Flush(*a);
  ReleaseLocks(*a);
  if (!a->table->LockFile()) return false;
  a->fileLocked = true;
  if (!a->dirty) Load(*a, a->recno);
  return true;
}

void DbUnlock() {
  if (Area* a = Current()) {
    Flush(*a);
    ReleaseLocks(*a);
  }
}

bool OrdCreate(std::string_view tag, std::string_view keyExpr, const Block& key) {
  Area* a = Need("ORDCREATE");
  if (!a) return false;
  Block block = key;
  if (!block) {
    block = Compile(keyExpr);
    if (!block) return false;
  }
  Flush(*a);
  Refresh(*a);
  std::string name = Upper(AllTrim(tag));
  if (name.empty()) name = Upper(AllTrim(keyExpr)).substr(0, 10);
  Order order(name, std::string(keyExpr), block);
  std::vector<Order::Entry> entries;
  entries.reserve(a->count());
  for (uint32_t r = 1; r <= a->count(); ++r) {
    Load(*a, r);
    entries.push_back({KeyOf(order), r});
  }
  order.Build(std::move(entries));
  // A tag of the same name is replaced.
  auto same = std::find_if(a->orders.begin(), a->orders.end(), [&](const Order& o) { return o.tag() == name; });
  if (same != a->orders.end()) a->orders.erase(same);
  a->orders.push_back(std::move(order));
  a->focus = a->orders.size();
  GoTopIn(*a);
  return true;
}

std::string OrdSetFocus() {
  Area* a = Current();
  return a && a->order() ? a->order()->tag() : std::string();
}

std::string OrdSetFocus(std::string_view tag) {
  Area* a = Current();
  if (!a) return {};
  std::string previous = OrdSetFocus();
  std::string want = Upper(AllTrim(tag));
  if (want.empty()) {
    a->focus = 0;
  } else {
    for (size_t i = 0; i < a->orders.size(); ++i)
      if (a->orders[i].tag() == want) a->focus = i + 1;
  }
  return previous;
}

std::string OrdSetFocus(int order) {
  Area* a = Current();
  if (!a) return {};
  std::string previous = OrdSetFocus();
  if (order >= 0 && size_t(order) <= a->orders.size()) a->focus = size_t(order);
  return previous;
}

std::string IndexKey(int order) {
  Area* a = Current();
  if (!a) return {};
  size_t n = order == 0 ? a->focus : size_t(std::max(order, 0));
  return n >= 1 && n <= a->orders.size() ? a->orders[n - 1].expr() : std::string();
}

int IndexOrd() { return Current() ? int(Current()->focus) : 0; }

long OrdKeyNo() {
  Area* a = Current();
  if (!a || a->recno > a->count()) return 0;
  if (!a->order()) return long(a->recno);
  auto [pos, exact] = Locate(*a);
  return exact ? long(pos + 1) : 0;
}

long OrdKeyCount() {
  Area* a = Current();
  if (!a) return 0;
  if (!a->order()) return RecCount();
  return long(a->order()->size());
}

bool OrdKeyGoTo(long keyNo) {
  Area* a = Need("ORDKEYGOTO");
  if (!a) return false;
  a->found = false;
  if (!a->order()) return DbGoTo(keyNo);
  bool inRange = keyNo >= 1 && size_t(keyNo) <= a->order()->size();
  Load(*a, inRange ? a->order()->at(size_t(keyNo - 1)).rec : 0);
  a->eof = !inRange;
  a->bof = PositionCount(*a) == 0;
  return inRange;
}

AreaScope::AreaScope(std::string_view alias) : previous_(g_current), ok_(false) {
  if (int n = Select(alias)) {
    g_current = n;
    ok_ = true;
  } else {
    auto e = AreaError(nullptr, EG_NOALIAS, 1002, "Alias does not exist", "ALIAS");
    e->Args = Value(NewArray({Value(alias)}));
    RaiseError(e);
  }
}

AreaScope::AreaScope(int area) : previous_(g_current), ok_(area >= 1 && area <= kMaxAreas) {
  if (ok_) g_current = area;
}

AreaScope::~AreaScope() { g_current = previous_; }

}  // namespace nx
