// In-memory orders: building, seeking (exact, partial, soft, last), key
// positions, and keeping the order right while records change.
#include <gtest/gtest.h>

#include "data_support.h"
#include "rt/expr.h"
#include "rt/set.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;
using nxtest::RaisedBy;

namespace {

class Orders : public testing::Test {
 protected:
  void SetUp() override {
    std::string path = dir.Path("names.dbf");
    ASSERT_TRUE(DbCreate(path, Value(NewArray({Value(NewArray({"NAME", "C", 10, 0})), Value(NewArray({"AGE", "N", 3, 0})),
                                              Value(NewArray({"SEEN", "D", 8, 0}))}))));
    ASSERT_TRUE(DbUseArea(true, "", path, "NAMES", false));
    const char* names[] = {"Smith", "Adams", "Brown", "Smithers", "Clark", "Brown", "Young"};
    int ages[] = {40, 25, 33, 51, 19, 60, 25};
    for (int i = 0; i < 7; ++i) {
      DbAppend();
      FieldPut(1, names[i]);
      FieldPut(2, ages[i]);
      FieldPut(3, MakeDate(2020, 1, i + 1));
    }
  }

  std::vector<std::string> Walk() {
    std::vector<std::string> out;
    for (DbGoTop(); !Eof(); DbSkip()) out.push_back(Trim(FieldGet(1).AsString()));
    return out;
  }

  nxtest::ScratchDir dir;
};

}  // namespace

TEST_F(Orders, CharacterKeyOrdersAndSeeks) {
  ASSERT_TRUE(OrdCreate("BYNAME", "Upper(NAME)"));
  EXPECT_EQ(IndexOrd(), 1);
  EXPECT_EQ(IndexKey(), "Upper(NAME)");
  EXPECT_EQ(OrdSetFocus(), "BYNAME");
  EXPECT_EQ(Walk(), (std::vector<std::string>{"Adams", "Brown", "Brown", "Clark", "Smith", "Smithers", "Young"}));
  // Equal keys keep record order; the first is found.
  EXPECT_TRUE(DbSeek("BROWN"));
  EXPECT_EQ(RecNo(), 3);
  EXPECT_TRUE(Found());
  EXPECT_TRUE(DbSeek("BROWN", {}, true));  // seek last
  EXPECT_EQ(RecNo(), 6);
  // A shorter key matches the first key starting with it.
  EXPECT_TRUE(DbSeek("SMI"));
  EXPECT_EQ(RecNo(), 1);
  EXPECT_EQ(OrdKeyNo(), 5);
  EXPECT_EQ(OrdKeyCount(), 7);
}

TEST_F(Orders, SoftSeekStopsOnTheNextKey) {
  OrdCreate("BYNAME", "Upper(NAME)");
  EXPECT_FALSE(DbSeek("BZ"));
  EXPECT_TRUE(Eof());
  EXPECT_FALSE(Found());
  EXPECT_FALSE(DbSeek("BZ", true));
  EXPECT_FALSE(Eof());
  EXPECT_EQ(Trim(FieldGet(1).AsString()), "Clark");
  Value old = Set(_SET_SOFTSEEK, true);
  EXPECT_FALSE(DbSeek("AA"));  // before the first key: the first record
  EXPECT_TRUE(Found() == false && RecNo() == 2);
  EXPECT_FALSE(DbSeek("ZZ"));  // past the last: end of file even when soft
  EXPECT_TRUE(Eof());
  Set(_SET_SOFTSEEK, old);
}

TEST_F(Orders, NumericAndDateKeys) {
  OrdCreate("BYAGE", "AGE");
  EXPECT_EQ(Walk(), (std::vector<std::string>{"Clark", "Adams", "Young", "Brown", "Smith", "Smithers", "Brown"}));
  EXPECT_TRUE(DbSeek(40));
  EXPECT_EQ(RecNo(), 1);
  EXPECT_FALSE(DbSeek(41, true));
  EXPECT_EQ(FieldGet(2).AsInt(), 51);
  EXPECT_TRUE(DbSeek(25.0));  // integer and floating keys are one number
  EXPECT_EQ(RecNo(), 2);
  OrdCreate("BYSEEN", "SEEN");
  DbGoBottom();
  EXPECT_EQ(RecNo(), 7);
  EXPECT_TRUE(DbSeek(MakeDate(2020, 1, 3)));
  EXPECT_EQ(OrdKeyNo(), 3);
  // Negative numbers sort below positive ones.
  OrdSetFocus("BYAGE");
  DbGoTo(4);
  FieldPut(2, -5);
  DbGoTop();
  EXPECT_EQ(RecNo(), 4);
  EXPECT_EQ(IndexKey(2), "SEEN");
  EXPECT_EQ(OrdSetFocus(0), "BYAGE");
  EXPECT_EQ(IndexOrd(), 0);
  DbGoTop();
  EXPECT_EQ(RecNo(), 1);
}

TEST_F(Orders, ChangesMoveKeysAndAppendsJoin) {
  OrdCreate("BYNAME", "Upper(NAME)");
  DbSeek("ADAMS");
  FieldPut(1, "Zane");
  EXPECT_EQ(OrdKeyNo(), 7);  // the record moved with its key
  DbSkip();
  EXPECT_TRUE(Eof());
  DbAppend();
  FieldPut(1, "Baker");
  EXPECT_EQ(OrdKeyNo(), 1);
  EXPECT_EQ(OrdKeyCount(), 8);
  EXPECT_EQ(Walk(), (std::vector<std::string>{"Baker", "Brown", "Brown", "Clark", "Smith", "Smithers", "Young", "Zane"}));
  ASSERT_TRUE(OrdKeyGoTo(4));
  EXPECT_EQ(Trim(FieldGet(1).AsString()), "Clark");
  EXPECT_FALSE(OrdKeyGoTo(9));
  EXPECT_TRUE(Eof());
}

TEST_F(Orders, NavigationSkipsHiddenRecordsInKeyOrder) {
  OrdCreate("BYNAME", "Upper(NAME)");
  DbSeek("BROWN");
  DbDelete();
  Value old = Set(_SET_DELETED, true);
  EXPECT_TRUE(DbSeek("BROWN"));  // the second Brown
  EXPECT_EQ(RecNo(), 6);
  DbSkip(-1);
  EXPECT_EQ(Trim(FieldGet(1).AsString()), "Adams");
  DbSkip(-1);
  EXPECT_TRUE(Bof());
  EXPECT_EQ(RecNo(), 2);
  DbSetFilter(Compile("AGE > 100"));
  EXPECT_FALSE(DbSeek("ADAMS"));
  EXPECT_TRUE(Eof() && !Found());
  DbGoBottom();
  EXPECT_TRUE(Eof() && Bof());
  Set(_SET_DELETED, old);
}

TEST_F(Orders, SeekWithoutOrderAndBadKeyText) {
  auto e = RaisedBy([] { DbSeek("x"); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_NOORDER);
  e = RaisedBy([] { OrdCreate("BAD", "NAME +"); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_SYNTAX);
  EXPECT_EQ(IndexOrd(), 0);
}
