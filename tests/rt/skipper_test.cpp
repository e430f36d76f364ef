// DbSkipper answers and positions exactly as repeated single skips do, in
// natural order and in an order, with and without hidden records.
#include <gtest/gtest.h>

#include <tuple>

#include "data_support.h"
#include "rt/expr.h"
#include "rt/set.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;

namespace {

// The skipper's definition: single skips until n or an end.
long Reference(long n) {
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

using State = std::tuple<long, long, bool, bool>;  // moved, record, eof, bof

class Skipper : public testing::Test {
 protected:
  void SetUp() override {
    file_ = dir_.Path("skip.dbf");
    ASSERT_TRUE(DbCreate(file_, Value(NewArray({Value(NewArray({"KEY", "C", 4, 0}))}))));
    ASSERT_TRUE(DbUseArea(true, kDbfDriver, file_, "SKIP", false));
    // Keys count down, so the order runs against the record numbers.
    for (int i = 1; i <= 9; ++i) {
      ASSERT_TRUE(DbAppend());
      FieldPut(1, StrZero(Value(10 - i), 4));
    }
  }

  // Every start and distance through both versions.
  void Compare(const char* what) {
    for (long start = 0; start <= 10; ++start) {  // 0 and 10: top and the phantom record
      for (long n = -12; n <= 12; ++n) {
        auto place = [&] {
          if (start == 0) DbGoTop();
          else DbGoTo(start);
        };
        place();
        long moved = Reference(n);
        State want{moved, RecNo(), Eof(), Bof()};
        place();
        moved = DbSkipper(n);
        State got{moved, RecNo(), Eof(), Bof()};
        EXPECT_EQ(got, want) << what << ": from " << start << " by " << n;
      }
    }
  }

  nxtest::ScratchDir dir_;
  nxtest::AreasClosed closed_;
  std::string file_;
};

TEST_F(Skipper, NaturalOrder) { Compare("natural"); }

TEST_F(Skipper, InAnOrder) {
  ASSERT_TRUE(OrdCreate("BYKEY", "KEY"));
  Compare("ordered");
}

TEST_F(Skipper, WithHiddenRecords) {
  DbGoTo(4);
  DbDelete();
  Value old = Set(_SET_DELETED, Value(true));
  Compare("deleted hidden");
  Set(_SET_DELETED, old);
  DbSetFilter(Compile("{||KEY <> '0005'}"));
  Compare("filtered");
}

}  // namespace
