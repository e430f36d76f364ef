// Behaviour programs of this family rely on: rounding of halves, string
// comparison rules, two-digit years, Found(), appends against a file lock,
// and whole-file text.
#include <gtest/gtest.h>

#include "data_support.h"
#include "rt/expr.h"
#include "rt/set.h"
#include "rt/strings.h"
#include "rt/transform.h"
#include "rt/workarea.h"

using namespace nx;
using nxtest::RaisedBy;

namespace {

Value Field(const char* name, const char* type, int len, int dec) {
  return Value(NewArray({Value(name), Value(type), Value(len), Value(dec)}));
}

}  // namespace

TEST(Conformance, HalvesRoundAwayFromZeroInStrTransformAndFields) {
  EXPECT_EQ(Str(Value(2.5), 3, 0), "  3");
  EXPECT_EQ(Str(Value(-2.5), 3, 0), " -3");
  EXPECT_EQ(Str(Value(0.5), 3, 0), "  1");
  EXPECT_EQ(Str(Value(-0.004), 6, 2), "  0.00");  // no minus on a zero
  EXPECT_EQ(Str(Value(9.995), 6, 2), " 10.00");   // the carry runs through
  EXPECT_EQ(Str(Value(1.005), 5, 2), " 1.01");    // meant as written, not as stored
  EXPECT_EQ(Str(Value(99.5), 2, 0), "**");        // rounds past the width
  EXPECT_EQ(Transform(Value(0.125), "9.99"), "0.13");
  EXPECT_EQ(Transform(Value(-0.125), "@( 9.99"), "(0.13)");
  EXPECT_EQ(Transform(Value(1234.565), "9,999.99"), "1,234.57");

  nxtest::ScratchDir dir;
  nxtest::AreasClosed closed;
  ASSERT_TRUE(DbCreate(dir.Path("n.dbf"), Value(NewArray({Field("AMOUNT", "N", 8, 2)}))));
  ASSERT_TRUE(DbUseArea(true, "", dir.Path("n.dbf"), "N", false));
  DbAppend();
  FieldPut(1, Value(0.125));
  DbCommit();
  DbGoTop();
  EXPECT_DOUBLE_EQ(FieldGet(1).AsNumber(), 0.13);
  FieldPut(1, Value(-2.345));
  DbGoTop();
  EXPECT_DOUBLE_EQ(FieldGet(1).AsNumber(), -2.35);
}

TEST(Conformance, ScansAndEqualityFollowTheRuntimesComparison) {
  ArrayPtr styles = NewArray({"HORIZONTAL", "VERTICAL", "CROSS"});
  ASSERT_FALSE(SetExact());
  EXPECT_EQ(AScan(styles, Value("VERT")), 2u);  // "VERTICAL" = "VERT" with SET EXACT off
  EXPECT_EQ(AScan(styles, Value("VERTICALS")), 0u);
  EXPECT_EQ(AScan(NewArray({1, "2", 2}), Value(2.0)), 3u);  // other types by value, never across types
  Value old = Set(_SET_EXACT, true);
  EXPECT_EQ(AScan(styles, Value("VERT")), 0u);
  EXPECT_EQ(AScan(styles, Value("CROSS  ")), 3u);  // trailing blanks do not count under SET EXACT
  Set(_SET_EXACT, old);

  // == compares every byte, whatever SET EXACT says.
  EXPECT_NE(CompareValues(Value("ab "), Value("ab"), true), 0);
  EXPECT_EQ(CompareValues(Value("ab"), Value("ab"), true), 0);
  EXPECT_FALSE(Compile("'ab ' == 'ab'").Eval().AsLogical());
  Set(_SET_EXACT, true);
  EXPECT_NE(CompareValues(Value("ab "), Value("ab"), true), 0);
  EXPECT_EQ(CompareValues(Value("ab "), Value("ab"), false), 0);
  Set(_SET_EXACT, old);

  // A block shows as the documented placeholder, compiled or not.
  EXPECT_EQ(cValToChar(Value(Compile("{|| 1 + 1 }"))), "{|| ... }");
}

TEST(Conformance, TwoDigitYearsFollowSetEpoch) {
  EXPECT_EQ(Set(_SET_EPOCH).AsInt(), 1900);
  EXPECT_EQ(CToD("12/08/26"), MakeDate(1926, 12, 8));
  EXPECT_EQ(CToD("01/01/00"), MakeDate(1900, 1, 1));
  EXPECT_EQ(CToD("12/08/2026"), MakeDate(2026, 12, 8));  // four digits are taken as they are
  Value old = Set(_SET_EPOCH, 1950);
  EXPECT_EQ(old.AsInt(), 1900);
  EXPECT_EQ(CToD("12/08/26"), MakeDate(2026, 12, 8));
  EXPECT_EQ(CToD("12/08/50"), MakeDate(1950, 12, 8));
  EXPECT_EQ(CToD("12/08/49"), MakeDate(2049, 12, 8));
  Set(_SET_EPOCH, old);
  EXPECT_EQ(CToD("12/08/49"), MakeDate(1949, 12, 8));
}

TEST(Conformance, FoundClearsOnEveryMove) {
  nxtest::ScratchDir dir;
  nxtest::AreasClosed closed;
  ASSERT_TRUE(DbCreate(dir.Path("f.dbf"), Value(NewArray({Field("NAME", "C", 6, 0)}))));
  ASSERT_TRUE(DbUseArea(true, "", dir.Path("f.dbf"), "F", false));
  for (const char* n : {"ann", "bob", "cy"}) {
    DbAppend();
    FieldPut(1, n);
  }
  ASSERT_TRUE(OrdCreate("BYNAME", "NAME"));
  const std::vector<std::pair<const char*, std::function<void()>>> moves = {
      {"DbSkip", [] { DbSkip(); }},          {"DbSkip(0)", [] { DbSkip(0); }},
      {"DbGoTop", [] { DbGoTop(); }},        {"DbGoBottom", [] { DbGoBottom(); }},
      {"DbGoTo", [] { DbGoTo(2); }},         {"DbSkipper", [] { DbSkipper(1); }},
      {"OrdKeyGoTo", [] { OrdKeyGoTo(1); }}, {"DbAppend", [] { DbAppend(); }}};
  for (const auto& [name, move] : moves) {
    ASSERT_TRUE(DbSeek("bob")) << name;
    ASSERT_TRUE(Found());
    move();
    EXPECT_FALSE(Found()) << name;
  }
  EXPECT_FALSE(DbSeek("zed"));
  EXPECT_FALSE(Found());
}

TEST(Conformance, AppendUnderAnotherUsersFileLockFailsAndWritesNothing) {
  nxtest::ScratchDir dir;
  nxtest::AreasClosed closed;
  std::string path = dir.Path("locked.dbf");
  ASSERT_TRUE(DbCreate(path, Value(NewArray({Field("NAME", "C", 6, 0)}))));
  ASSERT_TRUE(DbUseArea(true, "", path, "OWNER", true));
  ASSERT_TRUE(DbAppend());
  DbUnlock();
  ASSERT_TRUE(FLock());
  std::string before = nxtest::ReadBytes(path);
  // A second handle counts as another user: its locks conflict like another process's.
  ASSERT_TRUE(DbUseArea(true, "", path, "OTHER", true));
  auto e = RaisedBy([] { DbAppend(); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_APPENDLOCK);
  EXPECT_TRUE(e->CanDefault);
  EXPECT_EQ(e->FileName, path);
  // The silent rule's answer: false and NetErr.
  ErrorHandler old = ErrorBlock([](const ErrorPtr& err) {
    if (err->GenCode == EG_APPENDLOCK && err->CanDefault) NetErr(true);
    return Value(false);
  });
  EXPECT_FALSE(DbAppend());
  EXPECT_TRUE(NetErr());
  EXPECT_EQ(RecCount(), 1);
  EXPECT_TRUE(FieldPut(1, "x").IsNil());  // no record of its own to write into
  ErrorBlock(old);
  EXPECT_EQ(nxtest::ReadBytes(path), before);
  // Once the lock goes the append goes through.
  InAlias("OWNER", [] { DbUnlock(); });
  EXPECT_TRUE(DbAppend());
  EXPECT_FALSE(NetErr());
  EXPECT_EQ(RecCount(), 2);
}

TEST(Conformance, MemoWritReplacesAndMemoReadReadsWholeFiles) {
  nxtest::ScratchDir dir;
  std::string file = dir.Path("note.txt");
  std::string text = std::string("line 1\r\nline 2\0tail", 19);
  ASSERT_TRUE(MemoWrit(file, "a much longer text that goes first"));
  ASSERT_TRUE(MemoWrit(file, text));
  EXPECT_EQ(MemoRead(file), text);
  EXPECT_EQ(nxtest::ReadBytes(file), text);
  nxtest::WriteBytes(file, "ends with a mark\x1A");
  EXPECT_EQ(MemoRead(file), "ends with a mark");
  EXPECT_EQ(MemoRead(dir.Path("missing.txt")), "");
  EXPECT_FALSE(MemoWrit(dir.Path("no/such/folder.txt"), "x"));
}
