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
  std::vector<std::unique_ptr<Order>> orders;
  size_t focus = 0;  // 1-based, 0 = natural order
  std::set<uint32_t> locks;
  bool fileLocked = false;
  Block filter;
  std::string filterText;

  uint32_t count() const { return table->count(); }
  Order* order() { return focus ? orders[focus - 1].get() : nullptr; }
};

std::array<std::unique_ptr<Area>, kMaxAreas + 1> g_areas;
int g_current = 1;
std::map<std::string, std::pair<std::shared_ptr<std::vector<unsigned char>>, std::shared_ptr<std::vector<unsigned char>>>>
    g_memoryTables;
std::map<std::string, std::shared_ptr<std::vector<unsigned char>>> g_memoryIndexes;

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

// Runs work on the area's orders; a fault of an index file (damage, a failed
// read or write, a lock not granted) is raised and `fallback` answered.
template <class R, class F>
R Guard(R fallback, F&& work) {
  try {
    return work();
  } catch (const IndexFault& fault) {
    RaiseError(fault.error);
    return fallback;
  }
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

bool Visible(Area& a) {
  if (SetDeleted() && !a.record.empty() && a.record[0] == '*') return false;
  if (a.filter) return a.filter.Eval().AsLogical();
  return true;
}

// A place in the walking order: an entry of the focused order, or a record
// number (with no key) in natural order.
using Place = Order::Entry;

Place Here(Area& a) {
  Order* o = a.order();
  return Place{o ? o->KeyOf() : std::string(), a.recno};
}

std::optional<Place> FirstPlace(Area& a) {
  if (Order* o = a.order()) return o->First();
  return a.count() ? std::optional<Place>(Place{{}, 1}) : std::nullopt;
}

std::optional<Place> LastPlace(Area& a) {
  if (Order* o = a.order()) return o->Last();
  return a.count() ? std::optional<Place>(Place{{}, a.count()}) : std::nullopt;
}

// The places after and before `p`; from the end-of-file position "before"
// is the last place.
std::optional<Place> NextPlace(Area& a, const Place& p) {
  if (p.rec > a.count()) return std::nullopt;
  if (Order* o = a.order()) return o->After(p);
  return p.rec < a.count() ? std::optional<Place>(Place{{}, p.rec + 1}) : std::nullopt;
}

std::optional<Place> PrevPlace(Area& a, const Place& p) {
  if (p.rec > a.count()) return LastPlace(a);
  if (Order* o = a.order()) return o->Before(p);
  return p.rec > 1 ? std::optional<Place>(Place{{}, p.rec - 1}) : std::nullopt;
}

// Loads the record of a place. An entry another program has just added may
// name a record past the count read so far: read the count again, and skip
// the entry if the record is still not there.
bool LoadPlace(Area& a, const Place& p) {
  if (p.rec > a.count()) a.table->Refresh();
  if (p.rec > a.count()) return false;
  Load(a, p.rec);
  return true;
}

// From `p` on (or back), stops on the first visible record.
bool SettleForward(Area& a, std::optional<Place> p) {
  for (; p; p = NextPlace(a, *p))
    if (LoadPlace(a, *p) && Visible(a)) return true;
  Load(a, 0);
  return false;
}

bool SettleBackward(Area& a, std::optional<Place> p) {
  for (; p; p = PrevPlace(a, *p))
    if (LoadPlace(a, *p) && Visible(a)) return true;
  return false;
}

void GoTopIn(Area& a) {
  a.found = false;
  Refresh(a);
  bool any = SettleForward(a, FirstPlace(a));
  a.eof = !any;
  a.bof = !any;
}

// GoTopIn where an index fault is raised rather than thrown on.
void GoTopRaising(Area& a) {
  Guard(false, [&] {
    GoTopIn(a);
    return true;
  });
}

void UpdateOrders(Area& a, const std::vector<std::string>& oldKeys) {
  for (size_t i = 0; i < a.orders.size(); ++i) {
    Order& o = *a.orders[i];
    std::string now = o.KeyOf();
    if (now != oldKeys[i]) {
      o.Erase(oldKeys[i], a.recno);
      o.Insert(now, a.recno);
    }
  }
}

std::vector<std::string> CurrentKeys(Area& a) {
  std::vector<std::string> keys;
  for (auto& o : a.orders) keys.push_back(o->KeyOf());
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
  Guard(0, [&] {
    for (auto& o : a.orders) o->Flush();
    return 0;
  });
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

namespace {

// An index file beside the table unless the name has a folder; ".ntx" unless
// it has an extension. In-memory tables keep their indexes in memory.
std::string IndexFileName(const Area& a, std::string_view name) {
  std::string n = AllTrim(name);
  if (a.driver == kArrayDriver) n = Upper(n);
  auto slash = n.find_last_of("/\\:");
  auto dot = n.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) n += a.driver == kArrayDriver ? ".NTX" : ".ntx";
  if (slash == std::string::npos && a.driver != kArrayDriver) {
    const std::string& table = a.table->fileName();
    auto tableSlash = table.find_last_of("/\\:");
    if (tableSlash != std::string::npos) n = table.substr(0, tableSlash + 1) + n;
  }
  return n;
}

std::string TagOf(const std::string& file) {
  auto slash = file.find_last_of("/\\:");
  std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
  return Upper(base.substr(0, base.find('.')));
}

ErrorPtr IndexError(const Area& a, int genCode, std::string description, const std::string& file, const char* operation) {
  auto e = AreaError(&a, genCode, genCode == EG_CORRUPTION ? 1012 : 1001, std::move(description), operation);
  e->FileName = file;
  return e;
}

struct EvalFailed {};

// Evaluates a key expression on the current record; errors answer nullopt
// instead of reaching the error block.
std::optional<Value> TryKey(const std::function<Value()>& f) {
  ErrorHandler old = ErrorBlock([](const ErrorPtr&) -> Value { throw EvalFailed{}; });
  std::optional<Value> v;
  try {
    v = f();
  } catch (const EvalFailed&) {
  } catch (const RuntimeError&) {
  }
  ErrorBlock(std::move(old));
  return v;
}

// Key type, length and decimals from a first key value; a lone field gives
// its own width.
std::optional<KeySpec> SpecOf(Area& a, const Value& v, std::string_view expr) {
  KeySpec spec;
  spec.type = v.ValType();
  switch (spec.type) {
    case 'C': spec.len = int(v.AsString().size()); break;
    case 'D': spec.len = 8; break;
    case 'L': spec.len = 1; break;
    case 'N': {
      std::string name = Upper(AllTrim(expr));
      if (auto arrow = name.find("->"); arrow != std::string::npos) name = AllTrim(name.substr(arrow + 2));
      int pos = FieldPos(name);
      if (pos > 0) {
        const FieldInfo& f = a.table->fields()[size_t(pos - 1)];
        if (f.type == 'N') spec.len = f.len, spec.dec = f.dec;
      }
      if (spec.len == 0) {
        std::string text = AllTrim(Str(v));
        auto dot = text.find('.');
        spec.dec = dot == std::string::npos ? 0 : int(text.size() - dot - 1);
        spec.len = std::max<int>(int(Str(v).size()), 10 + (spec.dec ? spec.dec + 1 : 0));
      }
      break;
    }
    default: return std::nullopt;
  }
  if (spec.len < 1 || spec.len > NtxIndex::kMaxKey) return std::nullopt;
  return spec;
}

std::unique_ptr<Storage> OpenIndexStorage(const Area& a, const std::string& file, int& os) {
  if (a.driver == kArrayDriver) {
    auto it = g_memoryIndexes.find(file);
    if (it == g_memoryIndexes.end()) {
      os = 2;
      return nullptr;
    }
    return std::make_unique<MemoryStorage>(it->second);
  }
  return OpenFile(file, a.shared ? OpenMode::Shared : OpenMode::Exclusive, a.readOnly, os);
}

// Whether an index is used shared: memory indexes too, so that two areas on
// one in-memory table see each other's changes at once.
bool SharedIndex(const Area& a) { return a.shared || a.driver == kArrayDriver; }

// Opens an index file into the area; false (after raising) when it cannot.
bool AddIndex(Area& a, std::string_view name, const char* operation) {
  std::string file = IndexFileName(a, name);
  int os = 0;
  auto storage = OpenIndexStorage(a, file, os);
  if (!storage) {
    auto e = IndexError(a, EG_OPEN, "Open error: index", file, operation);
    e->OsCode = os;
    e->CanRetry = os == 32;
    RaiseError(e);
    return false;
  }
  return Guard(false, [&] {
    auto index = NtxIndex::Open(std::move(storage), file, a.driver, SharedIndex(a));
    const auto& opt = index->options();
    // The key must be one this table can compute, of the file's type and width.
    Block block = TryKey([&] { return Value(Compile(opt.keyExpr)); }).value_or(Value()).AsBlock();
    std::optional<Value> first = block ? TryKey([&] { return block.Eval(); }) : std::nullopt;
    KeySpec spec{first ? first->ValType() : 'U', opt.keySize, opt.keyDec};
    bool fits = first && (spec.type == 'C' || spec.type == 'N' || (spec.type == 'D' && opt.keySize == 8) ||
                          (spec.type == 'L' && opt.keySize == 1));
    if (!fits) {
      RaiseError(IndexError(a, EG_CORRUPTION, "Corruption detected: key expression " + opt.keyExpr + " does not fit this table",
                            file, operation));
      return false;
    }
    std::string tag = opt.tag.empty() ? TagOf(file) : Upper(AllTrim(opt.tag));
    a.orders.push_back(std::make_unique<Order>(tag, block, spec, std::move(index)));
    return true;
  });
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
               std::optional<bool> shared, bool readOnly, const std::vector<std::string>& indexes) {
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
    // Retry (the error block answering true) tries the file again.
    int tries = 0;
    while (!(dbf = OpenFile(name, mode, readOnly, os))) {
      auto e = AreaError(nullptr, EG_OPEN, 1001, "Open error", "DBUSEAREA");
      e->OsCode = os;
      e->CanRetry = true;
      e->FileName = name;
      e->Args = Value(NewArray({Value(file)}));
      e->Tries = ++tries;
      Value answer = RaiseError(e);
      if (!(answer.IsLogical() && answer.AsLogical())) return false;
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
  Area& area = *Current();
  // An index that cannot be opened is raised; the table stays open without it.
  bool all = true;
  for (const auto& index : indexes) all = AddIndex(area, index, "DBUSEAREA") && all;
  if (!area.orders.empty()) area.focus = 1;
  Guard(false, [&] {
    GoTopIn(area);
    return true;
  });
  return all;
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
  return Guard(false, [&] {
    GoTopIn(*a);
    return true;
  });
}

bool DbGoBottom() {
  Area* a = Need("DBGOBOTTOM");
  if (!a) return false;
  a->found = false;
  Refresh(*a);
  return Guard(false, [&] {
    bool any = SettleBackward(*a, LastPlace(*a));
    if (!any) Load(*a, 0);
    a->eof = a->bof = !any;
    return true;
  });
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
  return Guard(false, [&] {
    a->bof = a->eof = false;
    for (; n > 0; --n) {
      if (!SettleForward(*a, NextPlace(*a, Here(*a)))) {
        a->eof = true;
        return true;
      }
    }
    for (; n < 0; ++n) {
      if (!SettleBackward(*a, PrevPlace(*a, Here(*a)))) {
        GoTopIn(*a);
        a->bof = true;
        return true;
      }
    }
    return true;
  });
}

namespace {

// When every record is visible, a skip needs no record but the last: short
// skips step through the order, long ones (a thumb drag skips half a table)
// go by position. Answers nullopt when the fast way does not apply.
std::optional<long> SkipVisible(Area& a, long n) {
  if (n == 0 || a.shared || a.filter || SetDeleted() || a.recno > a.count()) return std::nullopt;
  Order* o = a.order();
  if (!o) {
    long last = long(a.count()), at = long(a.recno);
    long target = std::clamp(at + n, 1L, last);
    Load(a, uint32_t(target));
    a.eof = false;
    a.bof = at + n < 1;
    return target - at;
  }
  Place here = Here(a);
  constexpr long kStepLimit = 64;
  if (n > -kStepLimit && n < kStepLimit) {
    if (!o->Contains(here)) return std::nullopt;  // steps start from the record's own entry
    long done = 0;
    Place p = here;
    while (done != n) {
      auto next = n > 0 ? o->After(p) : o->Before(p);
      if (!next) break;
      p = std::move(*next);
      done += n > 0 ? 1 : -1;
    }
    if (!LoadPlace(a, p)) return std::nullopt;
    a.eof = false;
    a.bof = n < 0 && done != n;
    return done;
  }
  auto pos = o->Position(here);
  if (!pos) return std::nullopt;
  long count = long(o->Count()), at = long(*pos);
  long target = std::clamp(at + n, 0L, count - 1);
  auto p = o->At(size_t(target));
  if (!p || !LoadPlace(a, *p)) return std::nullopt;
  a.eof = false;
  a.bof = at + n < 0;  // the skip that met the beginning
  return target - at;
}

}  // namespace

long DbSkipper(long n) {
  Area* a = Need("DBSKIPPER");
  if (!a) return 0;
  a->found = false;
  if (auto done = Guard(std::optional<long>(0), [&] { return SkipVisible(*a, n); })) return *done;
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

namespace {

// The key part a seek or a scope value stands for; raises a type error.
std::optional<std::string> KeyPart(Area& a, Order& o, const Value& v, const char* operation) {
  std::string part;
  if (EncodeKey(v, o.spec(), part, true)) return part;
  auto e = AreaError(&a, EG_DATATYPE, 1020, std::string("Data type error: the key of ") + o.tag() + " is of type " + o.spec().type, operation);
  e->FileName = o.fileName();
  e->Args = Value(NewArray({v}));
  RaiseError(e);
  return std::nullopt;
}

}  // namespace

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
  a->found = false;
  auto part = KeyPart(*a, *o, key, "DBSEEK");
  if (!part) return false;
  return Guard(false, [&] {
    bool hit = false;
    if (last) {
      hit = SettleBackward(*a, o->SeekLast(*part)) && o->Begins(o->KeyOf(), *part);
    } else {
      hit = SettleForward(*a, o->SeekFirst(*part)) && o->Begins(o->KeyOf(), *part);
    }
    a->found = hit;
    a->bof = false;
    if (!hit) {
      // Soft seek stays on the next greater key; otherwise end of file.
      bool soft = softSeek.value_or(SetSoftSeek());
      bool settled = soft && SettleForward(*a, o->SeekPast(*part));
      if (!settled) Load(*a, 0);
      a->eof = !settled;
    } else {
      a->eof = false;
    }
    return hit;
  });
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
  return Guard(false, [&] {
    for (auto& o : a->orders) o->Insert(o->KeyOf(), recno);
    return true;
  });
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
  // Keys move with the field, under the same lock as the record.
  std::vector<std::string> oldKeys = CurrentKeys(*a);
  std::string before = a->record;
  if (!Raise(a->table->PutField(a->record, size_t(pos - 1), value))) return Value();
  if (a->record != before) {
    a->dirty = true;
    if (!Guard(false, [&] {
          UpdateOrders(*a, oldKeys);
          return true;
        }))
      return Value();
  }
  return value;
}

void DbCommit() {
  if (Area* a = Current()) {
    Flush(*a);
    Guard(false, [&] {
      for (auto& o : a->orders) o->Flush();
      return true;
    });
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

bool OrdCreate(std::string_view tag, std::string_view keyExpr, const Block& key, const OrderOptions& options) {
  Area* a = Need("ORDCREATE");
  if (!a) return false;
  Block block = key;
  if (!block) {
    block = Compile(keyExpr);
    if (!block) return false;
  }
  Flush(*a);
  Refresh(*a);
  std::string bag = AllTrim(tag).empty() ? TagOf(a->table->fileName()) : AllTrim(tag);
  std::string file = IndexFileName(*a, bag);
  std::string name = TagOf(file);
  // The first record (or the blank one) sets the key's type and width.
  Load(*a, a->count() ? 1 : 0);
  auto spec = SpecOf(*a, block.Eval(), keyExpr);
  if (!spec) {
    auto e = IndexError(*a, EG_ARG, "Invalid key: the expression gives no character, number, date or logical key of 1 to 256 bytes",
                        file, "ORDCREATE");
    e->Args = Value(NewArray({Value(keyExpr)}));
    RaiseError(e);
    GoTopRaising(*a);
    return false;
  }
  Order probe("", block, *spec, nullptr);
  std::vector<NtxIndex::Entry> entries;
  entries.reserve(a->count());
  for (uint32_t r = 1; r <= a->count(); ++r) {
    Load(*a, r);
    entries.push_back({probe.KeyOf(), r});
  }
  // An order of the same name, or on the same file, is replaced.
  for (size_t i = a->orders.size(); i-- > 0;) {
    if (a->orders[i]->tag() == name || a->orders[i]->fileName() == file) {
      Guard(false, [&] {
        a->orders[i]->Flush();
        return true;
      });
      a->orders.erase(a->orders.begin() + std::ptrdiff_t(i));
    }
  }
  a->focus = 0;
  std::unique_ptr<Storage> storage;
  if (a->driver == kArrayDriver) {
    auto bytes = std::make_shared<std::vector<unsigned char>>();
    g_memoryIndexes[file] = bytes;
    storage = std::make_unique<MemoryStorage>(bytes);
  } else {
    int os = 0;
    storage = CreateNewFile(file, os);
    if (!storage) {
      auto e = IndexError(*a, EG_CREATE, "Create error: index", file, "ORDCREATE");
      e->OsCode = os;
      RaiseError(e);
      GoTopRaising(*a);
      return false;
    }
  }
  NtxIndex::Options opt{std::string(AllTrim(keyExpr)), name, spec->len, spec->dec, options.unique, options.descending};
  if (opt.keyExpr.empty()) opt.keyExpr = block.text;
  bool built = Guard(false, [&] {
    auto index = NtxIndex::Build(std::move(storage), file, a->driver, opt, std::move(entries), SharedIndex(*a));
    if (a->shared) {
      // Built under an exclusive hold; others may use it from now on.
      index.reset();
      int os = 0;
      auto reopened = OpenIndexStorage(*a, file, os);
      if (!reopened) throw IndexFault{IndexError(*a, EG_OPEN, "Open error: index", file, "ORDCREATE")};
      index = NtxIndex::Open(std::move(reopened), file, a->driver, true);
    }
    a->orders.push_back(std::make_unique<Order>(name, block, *spec, std::move(index)));
    return true;
  });
  if (built) a->focus = a->orders.size();
  GoTopRaising(*a);
  return built;
}

bool OrdListAdd(std::string_view file) {
  Area* a = Need("ORDLISTADD");
  if (!a) return false;
  bool first = a->orders.empty();
  if (!AddIndex(*a, file, "ORDLISTADD")) return false;
  // The first index opened gives the area its order.
  if (first) {
    a->focus = 1;
    GoTopRaising(*a);
  }
  return true;
}

void OrdListClear() {
  Area* a = Current();
  if (!a) return;
  Flush(*a);
  Guard(false, [&] {
    for (auto& o : a->orders) o->Flush();
    return true;
  });
  a->orders.clear();
  a->focus = 0;
}

std::string OrdBagName(int order) {
  Area* a = Current();
  if (!a) return {};
  size_t n = order == 0 ? a->focus : size_t(std::max(order, 0));
  return n >= 1 && n <= a->orders.size() ? a->orders[n - 1]->fileName() : std::string();
}

int OrdCount() { return Current() ? int(Current()->orders.size()) : 0; }

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
      if (a->orders[i]->tag() == want) a->focus = i + 1;
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
  return n >= 1 && n <= a->orders.size() ? a->orders[n - 1]->expr() : std::string();
}

int IndexOrd() { return Current() ? int(Current()->focus) : 0; }

Value OrdScope(int which, std::optional<Value> value) {
  Area* a = Current();
  if (!a || !a->order() || (which != kTopScope && which != kBottomScope)) return Value();
  Order& o = *a->order();
  Value previous = o.ScopeValue(which);
  if (!value) return previous;
  if (value->IsNil()) {
    o.SetScope(which, std::nullopt, Value());
  } else if (auto part = KeyPart(*a, o, *value, "ORDSCOPE")) {
    o.SetScope(which, std::move(part), *value);
  }
  return previous;
}

long OrdKeyNo() {
  Area* a = Current();
  if (!a || a->recno > a->count()) return 0;
  if (!a->order()) return long(a->recno);
  return Guard(0L, [&] {
    auto pos = a->order()->Position(Here(*a));
    return pos ? long(*pos + 1) : 0L;
  });
}

long OrdKeyCount() {
  Area* a = Current();
  if (!a) return 0;
  if (!a->order()) return RecCount();
  Refresh(*a);
  return Guard(0L, [&] { return long(a->order()->Count()); });
}

bool OrdKeyGoTo(long keyNo) {
  Area* a = Need("ORDKEYGOTO");
  if (!a) return false;
  a->found = false;
  if (!a->order()) return DbGoTo(keyNo);
  Refresh(*a);
  return Guard(false, [&] {
    std::optional<Place> p = keyNo >= 1 ? a->order()->At(size_t(keyNo - 1)) : std::nullopt;
    bool inRange = p && LoadPlace(*a, *p);
    if (!inRange) Load(*a, 0);
    a->eof = !inRange;
    a->bof = !a->order()->First();
    return inRange;
  });
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
