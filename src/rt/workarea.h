// Numbered work areas over tables, with the xBase data functions. Every
// function acts on the selected area; InAlias() runs one inside another area.
// Failures (open, corrupt file, lock, type) are raised through the error block.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "rt/value.h"

namespace nx {

constexpr int kMaxAreas = 255;

// Driver names for DbUseArea/DbCreate: dBASE III+ files, or in-memory tables
// that live as long as the program and are opened by name.
inline constexpr const char* kDbfDriver = "DBF";
inline constexpr const char* kArrayDriver = "ARRAYRDD";

// Areas and aliases.
int Select();                        // the selected area number
int Select(std::string_view alias);  // the area of an alias, 0 when none
bool DbSelectArea(int area);         // 0 selects the lowest free area
bool DbSelectArea(std::string_view alias);
std::string Alias(int area = 0);     // "" when the area is not in use
bool Used();

// Opening, creating, closing. `shared` defaults to !Set(_SET_EXCLUSIVE).
// A file without an extension gets ".dbf". `indexes` are index files to
// open with the table (as OrdListAdd does); the first one gives the order.
// An index that cannot be opened is raised and the answer is false, but the
// table stays open.
bool DbUseArea(bool newArea, std::string_view driver, std::string_view file, std::string_view alias = {},
               std::optional<bool> shared = {}, bool readOnly = false, const std::vector<std::string>& indexes = {});
// aStruct: { {cName, cType, nLen, nDec}, ... }.
bool DbCreate(std::string_view file, const Value& aStruct, std::string_view driver = {});
Value DbStruct();
void DbCloseArea();
void DbCloseAll();
std::string RddName();

// Navigation.
bool DbGoTop();
bool DbGoBottom();
bool DbGoTo(long recno);
bool DbSkip(long n = 1);
long DbSkipper(long n);  // skips up to n visible records, answers how many it did
// Seeks the key in the focused order: a string finds the first key it
// begins; `last` the last such key. A value of another type than the key's
// raises EG_DATATYPE.
bool DbSeek(const Value& key, std::optional<bool> softSeek = {}, bool last = false);
bool Found();
bool Eof();
bool Bof();
long RecNo();
long RecCount();
long LastRec();

// Filters (and Set(_SET_DELETED)) hide records from navigation.
void DbSetFilter(const Block& condition, std::string text = {});
void DbClearFilter();
std::string DbFilter();

// Records and fields; positions are 1-based.
bool DbAppend(bool releaseLocks = true);
void DbDelete();
void DbRecall();
bool Deleted();
int FCount();
std::string FieldName(int pos);
int FieldPos(std::string_view name);  // 0 when absent
Value FieldGet(int pos);
Value FieldPut(int pos, const Value& value);  // answers the value stored, NIL on failure
void DbCommit();
void DbCommitAll();

// Locks. RLock releases the area's other record locks; DbRLock adds one.
bool RLock(long recno = 0);
bool DbRLock(long recno);
bool FLock();
void DbUnlock();

// Orders: each an index file (NTX) on a key expression, kept up to date by
// every change made through the work areas, in this program or another one
// sharing the table. In-memory tables keep their indexes in memory.
//
// OrdCreate builds the index from the records and writes it to `tag` (a file
// name: ".ntx" is added, and the table's folder when it has none; an empty
// tag takes the table's name) and gives it the focus; an order of the same
// name is replaced, so OrdCreate also rebuilds a damaged index. The first
// record's key sets the key's width (a lone numeric field gives its own).
// A unique order keeps the first record of each key; a descending one
// walks from the greatest key. A damaged or foreign index file is refused
// with an EG_CORRUPTION error naming it.
struct OrderOptions {
  bool unique = false;
  bool descending = false;
};
bool OrdCreate(std::string_view tag, std::string_view keyExpr, const Block& key = {}, const OrderOptions& options = {});
bool OrdListAdd(std::string_view file);  // opens an existing index; the first one gets the focus
void OrdListClear();                     // closes the area's indexes
std::string OrdBagName(int order = 0);   // the file of an order (0: the focused one)
int OrdCount();
std::string OrdSetFocus();                    // the focused tag, "" in natural order
std::string OrdSetFocus(std::string_view tag); // answers the previous tag; "" = natural order
std::string OrdSetFocus(int order);
std::string IndexKey(int order = 0);  // 0: the focused order
int IndexOrd();
// Scopes of the focused order: navigation, seeks and key positions keep to
// the keys from the top scope to the bottom one (a character scope names the
// keys it begins, as a seek does). With a value sets it (NIL clears it);
// answers the previous one.
constexpr int kTopScope = 0, kBottomScope = 1;
Value OrdScope(int which, std::optional<Value> value = {});
long OrdKeyNo();     // position of the current record in the focused order
long OrdKeyCount();
bool OrdKeyGoTo(long keyNo);

// Runs f with `alias` selected and selects the previous area back, also when
// f leaves by an exception or Break. An unknown alias raises EG_NOALIAS.
class AreaScope {
 public:
  explicit AreaScope(std::string_view alias);
  explicit AreaScope(int area);
  ~AreaScope();
  AreaScope(const AreaScope&) = delete;
  AreaScope& operator=(const AreaScope&) = delete;
  bool ok() const { return ok_; }

 private:
  int previous_;
  bool ok_;
};

template <class F>
auto InAlias(std::string_view alias, F&& f) -> decltype(f()) {
  AreaScope scope(alias);
  if (!scope.ok()) {
    if constexpr (std::is_void_v<decltype(f())>) return;
    else return decltype(f()){};
  }
  return f();
}

}  // namespace nx
