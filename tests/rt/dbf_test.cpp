// DBF tables through the work-area functions: structure, field types, memo,
// header bookkeeping, navigation at the ends, filters and damaged files.
#include <gtest/gtest.h>

#include <cstring>

#include "data_support.h"
#include "rt/expr.h"
#include "rt/set.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;
using nxtest::RaisedBy;

namespace {

Value Structure() {
  return Value(NewArray({Value(NewArray({"NAME", "C", 12, 0})), Value(NewArray({"QTY", "N", 8, 2})),
                         Value(NewArray({"COUNT", "N", 5, 0})), Value(NewArray({"BORN", "D", 8, 0})),
                         Value(NewArray({"OK", "L", 1, 0})), Value(NewArray({"NOTES", "M", 10, 0}))}));
}

void AddRow(const char* name, double qty, int count, Date born, bool ok, const std::string& notes) {
  ASSERT_TRUE(DbAppend());
  FieldPut(1, name);
  FieldPut(2, Value(qty, 2));
  FieldPut(3, count);
  FieldPut(4, born);
  FieldPut(5, ok);
  FieldPut(6, notes);
}

uint32_t HeaderCount(const std::string& bytes) {
  uint32_t n = 0;
  std::memcpy(&n, bytes.data() + 4, 4);  // little-endian on both test platforms
  return n;
}

class Dbf : public testing::Test {
 protected:
  nxtest::ScratchDir dir;
  std::string path = dir.Path("people.dbf");
};

}  // namespace

TEST_F(Dbf, WritesWhatItReadsBackForEveryFieldType) {
  ASSERT_TRUE(DbCreate(path, Structure()));
  ASSERT_TRUE(DbUseArea(true, "", path, "PEOPLE", false));
  EXPECT_EQ(Alias(), "PEOPLE");
  EXPECT_EQ(RddName(), "DBF");
  EXPECT_EQ(FCount(), 6);
  EXPECT_EQ(FieldName(4), "BORN");
  EXPECT_EQ(FieldPos("notes"), 6);
  EXPECT_EQ(FieldPos("nope"), 0);
  AddRow("Ann", 12.5, 3, MakeDate(1990, 2, 28), true, "first line\r\nsecond line");
  AddRow("Bob", -0.25, -40, Date{}, false, std::string(1500, 'm'));  // memo over three blocks
  DbCloseArea();

  ASSERT_TRUE(DbUseArea(true, "DBF", dir.Path("people"), {}, false));  // ".dbf" is implied
  EXPECT_EQ(Alias(), "PEOPLE");
  EXPECT_EQ(RecCount(), 2);
  EXPECT_EQ(FieldGet(1).AsString(), "Ann         ");
  EXPECT_DOUBLE_EQ(FieldGet(2).AsNumber(), 12.5);
  EXPECT_EQ(FieldGet(2).Decimals(), 2);
  EXPECT_TRUE(FieldGet(3).IsInteger());
  EXPECT_EQ(FieldGet(3).AsInt(), 3);
  EXPECT_EQ(FieldGet(4).AsDate(), MakeDate(1990, 2, 28));
  EXPECT_TRUE(FieldGet(5).AsLogical());
  EXPECT_EQ(FieldGet(6).AsString(), "first line\r\nsecond line");
  DbSkip();
  EXPECT_DOUBLE_EQ(FieldGet(2).AsNumber(), -0.25);
  EXPECT_EQ(FieldGet(3).AsInt(), -40);
  EXPECT_TRUE(FieldGet(4).AsDate().Empty());
  EXPECT_FALSE(FieldGet(5).AsLogical());
  EXPECT_EQ(FieldGet(6).AsString(), std::string(1500, 'm'));
  Value s = DbStruct();
  EXPECT_EQ(AGet(AGet(s.AsArray(), 2).AsArray(), 4).AsInt(), 2);
}

TEST_F(Dbf, HeaderCountDateAndEndMarkerStayRight) {
  ASSERT_TRUE(DbCreate(path, Structure()));
  std::string empty = nxtest::ReadBytes(path);
  EXPECT_EQ(empty[0], char(0x83));  // dBASE III with memo
  EXPECT_EQ(empty.back(), char(0x1A));
  EXPECT_EQ(HeaderCount(empty), 0u);
  ASSERT_TRUE(DbUseArea(true, "", path, "P", false));
  for (int i = 0; i < 3; ++i) AddRow("x", 1, i, Date{}, true, "");
  DbCloseArea();
  std::string bytes = nxtest::ReadBytes(path);
  size_t headerLen = size_t(uint8_t(bytes[8])) | size_t(uint8_t(bytes[9])) << 8;
  size_t recLen = size_t(uint8_t(bytes[10])) | size_t(uint8_t(bytes[11])) << 8;
  EXPECT_EQ(headerLen, 32u + 6 * 32 + 1);
  EXPECT_EQ(recLen, 1u + 12 + 8 + 5 + 8 + 1 + 10);
  EXPECT_EQ(HeaderCount(bytes), 3u);
  EXPECT_EQ(bytes.size(), headerLen + 3 * recLen + 1);
  EXPECT_EQ(bytes.back(), char(0x1A));
  Date today = Today();
  EXPECT_EQ(uint8_t(bytes[1]) + 1900, Year(today));
  EXPECT_EQ(uint8_t(bytes[2]), Month(today));
  EXPECT_EQ(uint8_t(bytes[3]), Day(today));
  // Numbers are right-aligned text, logicals T/F, dates YYYYMMDD.
  EXPECT_EQ(bytes.substr(headerLen + recLen + 1 + 12 + 8, 5), "    1");
}

TEST_F(Dbf, DeletedFlagAndSetDeletedHideRecords) {
  ASSERT_TRUE(DbCreate(path, Structure()));
  ASSERT_TRUE(DbUseArea(true, "", path, "P", false));
  for (int i = 1; i <= 3; ++i) AddRow("r", 0, i, Date{}, false, "");
  DbGoTo(2);
  DbDelete();
  EXPECT_TRUE(Deleted());
  DbCloseArea();
  EXPECT_EQ(nxtest::ReadBytes(path)[32 + 6 * 32 + 1 + 45], '*');
  ASSERT_TRUE(DbUseArea(true, "", path, "P", false));
  Value old = Set(_SET_DELETED, true);
  DbGoTop();
  DbSkip();
  EXPECT_EQ(RecNo(), 3);
  DbGoTo(2);  // GoTo still reaches a hidden record
  EXPECT_TRUE(Deleted());
  DbRecall();
  DbGoTop();
  DbSkip();
  EXPECT_EQ(RecNo(), 2);
  Set(_SET_DELETED, old);
}

TEST_F(Dbf, NavigationOfAnEmptyTable) {
  ASSERT_TRUE(DbCreate(path, Structure()));
  ASSERT_TRUE(DbUseArea(true, "", path, "P", false));
  EXPECT_TRUE(Eof());
  EXPECT_TRUE(Bof());
  EXPECT_EQ(RecNo(), 1);  // the phantom record after the last
  DbGoBottom();
  EXPECT_TRUE(Eof() && Bof());
  DbSkip(1);
  EXPECT_TRUE(Eof());
  DbSkip(-1);
  EXPECT_TRUE(Bof() && Eof());
  EXPECT_EQ(DbSkipper(5), 0);
  EXPECT_EQ(DbSkipper(-5), 0);
  // The phantom record reads as empty values of the field types.
  EXPECT_EQ(FieldGet(1).AsString(), std::string(12, ' '));
  EXPECT_EQ(FieldGet(3).AsInt(), 0);
  EXPECT_TRUE(FieldGet(4).AsDate().Empty());
}

TEST_F(Dbf, NavigationOfOneRecord) {
  ASSERT_TRUE(DbCreate(path, Structure()));
  ASSERT_TRUE(DbUseArea(true, "", path, "P", false));
  AddRow("only", 1, 1, Date{}, true, "");
  DbGoTop();
  EXPECT_FALSE(Eof() || Bof());
  DbSkip(-1);
  EXPECT_TRUE(Bof());
  EXPECT_FALSE(Eof());
  EXPECT_EQ(RecNo(), 1);
  DbSkip(1);
  EXPECT_TRUE(Eof());
  EXPECT_EQ(RecNo(), 2);
  EXPECT_EQ(FieldGet(1).AsString(), std::string(12, ' '));
  DbSkip(-1);  // back from the end lands on the last record
  EXPECT_FALSE(Eof() || Bof());
  EXPECT_EQ(RecNo(), 1);
  DbGoBottom();
  EXPECT_EQ(DbSkipper(3), 0);
  EXPECT_EQ(RecNo(), 1);
  EXPECT_FALSE(Eof());
  DbGoTo(7);
  EXPECT_TRUE(Eof());
  EXPECT_FALSE(Bof());
}

TEST_F(Dbf, FilteredNavigationStopsAtTheVisibleEnds) {
  ASSERT_TRUE(DbCreate(path, Structure()));
  ASSERT_TRUE(DbUseArea(true, "", path, "P", false));
  const char* names[] = {"Zed", "Ann", "Cy", "Bea", "Dan", "Carl"};
  for (int i = 0; i < 6; ++i) AddRow(names[i], 0, i + 1, Date{}, false, "");
  DbSetFilter(Compile("{||NAME>= 'A' .and.NAME<= 'C' }"));
  EXPECT_EQ(DbFilter(), "{||NAME>= 'A' .and.NAME<= 'C' }");
  DbGoTop();
  EXPECT_EQ(RecNo(), 2);  // Zed is out
  std::vector<long> seen;
  while (!Eof()) seen.push_back(RecNo()), DbSkip();
  // "Carl" <= "C" compares only as far as "C" reaches, as the runtime does.
  EXPECT_EQ(seen, (std::vector<long>{2, 3, 4, 6}));
  DbGoBottom();
  EXPECT_EQ(RecNo(), 6);
  DbSkip(-10);
  EXPECT_TRUE(Bof());
  EXPECT_EQ(RecNo(), 2);
  DbGoTop();
  EXPECT_EQ(DbSkipper(10), 3);
  EXPECT_EQ(RecNo(), 6);
  EXPECT_EQ(DbSkipper(-2), -2);
  EXPECT_EQ(RecNo(), 3);
  DbSetFilter(Compile("{||.F.}"));
  DbGoTop();
  EXPECT_TRUE(Eof() && Bof());
  DbClearFilter();
  DbGoTop();
  EXPECT_EQ(RecNo(), 1);
}

TEST_F(Dbf, BadFieldValuesRaiseAndLeaveTheRecordAlone) {
  ASSERT_TRUE(DbCreate(path, Structure()));
  ASSERT_TRUE(DbUseArea(true, "", path, "P", false));
  AddRow("keep", 1, 7, Date{}, true, "");
  auto e = RaisedBy([] { FieldPut(3, "seven"); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_DATATYPE);
  e = RaisedBy([] { FieldPut(3, 123456); });  // five digits fit, six do not
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_DATAWIDTH);
  e = RaisedBy([] { FieldGet(99); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_ARG);
  EXPECT_EQ(FieldGet(3).AsInt(), 7);
  FieldPut(1, "a name longer than twelve");
  EXPECT_EQ(FieldGet(1).AsString(), "a name longe");
}

TEST_F(Dbf, StructureErrorsAndUnusedAreas) {
  auto e = RaisedBy([&] { DbCreate(path, Value(NewArray({Value(NewArray({"1BAD", "C", 5, 0}))}))); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_CREATE);
  e = RaisedBy([&] { DbCreate(path, Value(NewArray({Value(NewArray({"N", "N", 30, 0}))}))); });
  ASSERT_TRUE(e);
  e = RaisedBy([&] { DbCreate(path, Value("not a structure")); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_ARG);
  DbSelectArea(200);
  EXPECT_FALSE(Used());
  e = RaisedBy([] { DbGoTop(); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_NOTABLE);
  EXPECT_TRUE(Eof());
  EXPECT_EQ(RecCount(), 0);
  e = RaisedBy([&] { DbUseArea(false, "", dir.Path("missing.dbf")); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_OPEN);
  EXPECT_EQ(e->OsCode, 2);
  EXPECT_NE(e->FileName.find("missing.dbf"), std::string::npos);
}

TEST_F(Dbf, AreasAliasesAndInAlias) {
  ASSERT_TRUE(DbCreate(path, Structure()));
  ASSERT_TRUE(DbCreate(dir.Path("other.dbf"), Value(NewArray({Value(NewArray({"CODE", "C", 3, 0}))}))));
  DbSelectArea(1);
  ASSERT_TRUE(DbUseArea(false, "", path, "PEOPLE", false));
  AddRow("Ann", 0, 0, Date{}, false, "");
  ASSERT_TRUE(DbUseArea(true, "", dir.Path("other.dbf"), {}, false));
  EXPECT_EQ(Select(), 2);
  EXPECT_EQ(Alias(), "OTHER");
  EXPECT_EQ(Select("people"), 1);
  EXPECT_EQ(Select("nobody"), 0);
  auto e = RaisedBy([&] { DbUseArea(true, "", path, "OTHER", false); });
  ASSERT_TRUE(e);  // the alias is taken
  std::string name = InAlias("PEOPLE", [] { return Trim(FieldGet(1).AsString()); });
  EXPECT_EQ(name, "Ann");
  EXPECT_EQ(Select(), 3);  // the failed open had selected the next free area; InAlias restores it
  // ALIAS->FIELD in compiled text goes through the same helper.
  EXPECT_EQ(Compile("Trim(PEOPLE->NAME)").Eval().AsString(), "Ann");
  e = RaisedBy([] { InAlias("NOBODY", [] { return 1; }); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_NOALIAS);
  EXPECT_EQ(Select(), 3);
  // Leaving by an exception selects back too.
  EXPECT_THROW(InAlias("OTHER", []() -> int { throw std::runtime_error("x"); }), std::runtime_error);
  EXPECT_EQ(Select(), 3);
}

TEST_F(Dbf, ArrayDriverKeepsTablesInMemory) {
  ASSERT_TRUE(DbCreate("mem1", Value(NewArray({Value(NewArray({"CODE", "C", 3, 0})), Value(NewArray({"NOTE", "M", 10, 0}))})),
                       "ARRAYRDD"));
  ASSERT_TRUE(DbUseArea(true, "ARRAYRDD", "mem1"));
  EXPECT_EQ(RddName(), "ARRAYRDD");
  ASSERT_TRUE(DbAppend());
  FieldPut(1, "abc");
  FieldPut(2, "memo in memory");
  DbCloseArea();
  ASSERT_TRUE(DbUseArea(true, "ARRAYRDD", "MEM1", "M2"));
  EXPECT_EQ(RecCount(), 1);
  EXPECT_EQ(FieldGet(2).AsString(), "memo in memory");
}

// ---- damaged files ------------------------------------------------------

namespace {
struct Damage {
  const char* what;
  std::function<void(std::string&)> apply;
};
}  // namespace

TEST_F(Dbf, DamagedFilesRaiseACorruptionErrorAndStayUnchanged) {
  ASSERT_TRUE(DbCreate(path, Value(NewArray({Value(NewArray({"A", "C", 4, 0})), Value(NewArray({"B", "N", 3, 0}))}))));
  ASSERT_TRUE(DbUseArea(true, "", path, "T", false));
  for (int i = 0; i < 3; ++i) DbAppend(), FieldPut(1, "abcd"), FieldPut(2, i);
  DbCloseArea();
  const std::string good = nxtest::ReadBytes(path);
  auto put16 = [](std::string& b, size_t at, unsigned v) { b[at] = char(v & 0xFF), b[at + 1] = char(v >> 8); };
  const Damage cases[] = {
      {"truncated inside the header", [](std::string& b) { b.resize(20); }},
      {"empty file", [](std::string& b) { b.clear(); }},
      {"header length too small", [&](std::string& b) { put16(b, 8, 10); }},
      {"header length past the end", [&](std::string& b) { put16(b, 8, 60000); }},
      {"descriptors past the header", [&](std::string& b) { put16(b, 8, 32 + 32 + 1); b[64] = 'X'; }},
      {"no terminator", [](std::string& b) { b[96] = 'Z'; }},
      {"record length wrong", [&](std::string& b) { put16(b, 10, 99); }},
      {"record count larger than the file", [](std::string& b) { b[4] = char(200); }},
      {"huge record count", [](std::string& b) { b[7] = char(0x7F); }},
      {"unknown field type", [](std::string& b) { b[32 + 11] = 'Q'; }},
      {"zero-length field", [](std::string& b) { b[32 + 16] = 0; }},
      {"records cut off", [](std::string& b) { b.resize(b.size() - 10); }},
      {"not a table", [](std::string& b) { b[0] = char(0x41); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bad = good;
    c.apply(bad);
    nxtest::WriteBytes(path, bad);
    auto e = RaisedBy([&] { DbUseArea(true, "", path, "BAD", false); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->GenCode, EG_CORRUPTION);
    EXPECT_EQ(e->FileName, path);
    EXPECT_NE(e->Description.find("Corruption"), std::string::npos) << e->Description;
    EXPECT_FALSE(Used());
    EXPECT_EQ(nxtest::ReadBytes(path), bad);
  }
  // A missing end marker is no damage.
  std::string noMarker = good.substr(0, good.size() - 1);
  nxtest::WriteBytes(path, noMarker);
  ASSERT_TRUE(DbUseArea(true, "", path, "OK", false));
  EXPECT_EQ(RecCount(), 3);
}

TEST_F(Dbf, DamagedMemoReferenceRaisesOnRead) {
  ASSERT_TRUE(DbCreate(path, Structure()));
  ASSERT_TRUE(DbUseArea(true, "", path, "P", false));
  AddRow("m", 0, 0, Date{}, false, "text");
  DbCloseArea();
  std::string bytes = nxtest::ReadBytes(path);
  size_t memoAt = 32 + 6 * 32 + 1 + 1 + 12 + 8 + 5 + 8 + 1;
  bytes.replace(memoAt, 10, "    999999");
  nxtest::WriteBytes(path, bytes);
  ASSERT_TRUE(DbUseArea(true, "", path, "P", false));
  auto e = RaisedBy([] { FieldGet(6); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_CORRUPTION);
  EXPECT_NE(e->FileName.find(".dbt"), std::string::npos);
  EXPECT_EQ(FieldGet(1).AsString().substr(0, 1), "m");
}
