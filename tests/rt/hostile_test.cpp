// Inputs that fuzzing found to break the runtime, kept as regressions, and
// their neighbours: out-of-range day numbers and extreme integers through
// the formatting functions.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "rt/strings.h"
#include "rt/transform.h"

using namespace nx;

TEST(Hostile, DayNumbersOutsideTheCalendarReadAsTheEmptyDate) {
  const std::string empty = DToC(Date{});
  for (int32_t julian : {std::numeric_limits<int32_t>::max(), 1987503493, 5373485, 0, -1,
                         std::numeric_limits<int32_t>::min()}) {
    Date d{julian};
    EXPECT_EQ(DToC(d), empty) << julian;
    EXPECT_EQ(DToS(d), "        ") << julian;
    EXPECT_EQ(Year(d), 0);
    EXPECT_EQ(DoW(d), 0);
    EXPECT_EQ(Transform(Value(d), "@E"), empty) << julian;
  }
  // The calendar's ends still read as themselves.
  EXPECT_EQ(DToS(MakeDate(9999, 12, 31)), "99991231");
  EXPECT_EQ(DToS(MakeDate(1, 1, 1)), "00010101");
}

TEST(Hostile, ExtremeIntegersFormatWithoutOverflow) {
  const int64_t lowest = std::numeric_limits<int64_t>::min();
  const int64_t highest = std::numeric_limits<int64_t>::max();
  for (const char* picture : {"", "@X", "@(", "@X(", "@B", "@Z", "@C", "@E", "999", "@X 999,999.99", "@( $$$$"}) {
    for (int64_t n : {lowest, lowest + 1, highest, int64_t(-1), int64_t(0)}) {
      std::string out = Transform(Value(n), picture);
      EXPECT_LE(out.size(), 64u) << picture << " " << n;
    }
  }
  std::string db = Transform(Value(lowest), "@X");
  EXPECT_NE(db.find("9223372036854775808 DB"), std::string::npos) << db;
  EXPECT_EQ(db.find('-'), std::string::npos) << db;
}
