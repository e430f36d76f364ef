// Transform() pictures for numbers, strings, dates and logicals.
#include <gtest/gtest.h>

#include "rt/strings.h"
#include "rt/transform.h"

using namespace nx;

TEST(Transform, NumberTemplates) {
  EXPECT_EQ(Transform(1234567, "9,999,999"), "1,234,567");
  EXPECT_EQ(Transform(1234, "9,999,999"), "    1,234");  // separators only between digits
  EXPECT_EQ(Transform(7, "9,999,999") + " bytes", "        7 bytes");
  EXPECT_EQ(Transform(Value(3.14159), "999.99"), "  3.14");
  EXPECT_EQ(Transform(Value(2.675, 3), "9.99"), "2.68");  // rounded as written, though stored just below the half
  EXPECT_EQ(Transform(Value(0.5), "999.99"), "  0.50");
  EXPECT_EQ(Transform(Value(-12.5), "9999.99"), " -12.50");
  EXPECT_EQ(Transform(-234, "9,999"), " -234");
  EXPECT_EQ(Transform(12345, "999"), "***");
  EXPECT_EQ(Transform(-100, "999"), "***");  // no room for the sign
  EXPECT_EQ(Transform(Value(12345.6), "9,999.99"), "*,***.**");
  EXPECT_EQ(Transform(42, "####"), "  42");
  EXPECT_EQ(Transform(42, "****"), "**42");
  EXPECT_EQ(Transform(42, "$$$$"), "$$42");
  EXPECT_EQ(Transform(5, "99%"), " 5%");
}

TEST(Transform, NumberFunctions) {
  EXPECT_EQ(Transform(0, "@Z 9,999"), "     ");
  EXPECT_EQ(Transform(Value(1234.5), "@E 9,999.99"), "1.234,50");
  EXPECT_EQ(Transform(-5, "@( 999"), " (5)");  // the parentheses hug the number
  EXPECT_EQ(Transform(-123, "@( 999"), "(123)");
  EXPECT_EQ(Transform(42, "@B 9999"), "42  ");
  EXPECT_EQ(Transform(42, "@C 99"), "42 CR");
  EXPECT_EQ(Transform(-42, "@X 99"), "42 DB");
  EXPECT_EQ(Transform(42, ""), Str(Value(42)));
  EXPECT_EQ(Transform(42, "@B"), "42        ");
}

TEST(Transform, Strings) {
  EXPECT_EQ(Transform("abc", "@!"), "ABC");
  EXPECT_EQ(Transform("abcdef", "!!X"), "ABc");
  EXPECT_EQ(Transform("5551234", "@R 999-9999"), "555-1234");
  EXPECT_EQ(Transform("5551234", "999-9999"), "555-234 ");  // without @R a literal takes a place
  EXPECT_EQ(Transform("ab", "XXXX"), "ab  ");
  EXPECT_EQ(Transform("abc", "@R! (XXX)"), "(ABC)");
  EXPECT_EQ(Transform("plain", ""), "plain");
}

TEST(Transform, DatesAndLogicals) {
  std::string format = SetDateFormat();
  SetDateFormat("mm/dd/yyyy");
  EXPECT_EQ(Transform(MakeDate(2024, 3, 9), ""), "03/09/2024");
  EXPECT_EQ(Transform(MakeDate(2024, 3, 9), "@E"), "09/03/2024");
  EXPECT_EQ(SetDateFormat(), "mm/dd/yyyy");  // @E leaves the setting alone
  SetDateFormat(format);
  EXPECT_EQ(Transform(true, ""), "T");
  EXPECT_EQ(Transform(false, "Y"), "N");
  EXPECT_EQ(Transform(true, "@Y"), "Y");
  EXPECT_EQ(Transform(Value(), "999"), "");
}
