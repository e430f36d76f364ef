// Browses over a real DBF file: key-range filters on character, date and
// number keys, counting under a range, memo cells, field-name headers and
// default column widths.
#include <gtest/gtest.h>

#include <filesystem>

#include "browse_support.h"
#include "native/draw.h"
#include "rt/error.h"
#include "rt/set.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;
using namespace browsetest;

namespace {

struct Person {
  const char* name;
  int y, m, d;
  int age;
  const char* note;
  bool ok;
};
// Record order; names, birth dates and ages in no particular order.
const Person kPeople[] = {
    {"Smith", 1980, 5, 1, 40, "likes tea", true}, {"Adams", 1990, 1, 15, 25, "", false},
    {"Brown", 1985, 3, 3, 33, "x", true},         {"Baker", 1970, 7, 7, 51, "", false},
    {"Clark", 2000, 12, 31, 19, "notes", true},   {"Carter", 1995, 6, 6, 60, "", false},
    {"Young", 1988, 8, 8, 25, "y", true},         {"Old", 1940, 2, 2, 85, "", true},
};

class WorkArea : public testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("nxbrw" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    std::string path = (dir / "people.dbf").string();
    auto field = [](const char* n, const char* t, int len, int dec) {
      return Value(NewArray({Value(n), Value(t), Value(len), Value(dec)}));
    };
    ASSERT_TRUE(DbCreate(path, Value(NewArray({field("NAME", "C", 10, 0), field("BORN", "D", 8, 0),
                                               field("AGE", "N", 3, 0), field("NOTE", "M", 10, 0),
                                               field("OK", "L", 1, 0)}))));
    ASSERT_TRUE(DbUseArea(true, "", path, "PEOPLE", false));
    for (const Person& p : kPeople) {
      DbAppend();
      FieldPut(1, Value(p.name));
      FieldPut(2, Value(MakeDate(p.y, p.m, p.d)));
      FieldPut(3, Value(p.age));
      FieldPut(4, Value(p.note));
      FieldPut(5, Value(p.ok));
    }
    DbGoTop();
  }
  void TearDown() override {
    DbCloseAll();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  TWBrowsePtr Range(const std::string& field, const Value& lo, const Value& hi) {
    return TWBrowse::New({.nWidth = 500, .nHeight = 300, .oWnd = parent.get(), .cField = field, .uValue1 = lo,
                          .uValue2 = hi, .oFont = TestFont(), .lPixel = true});
  }
  // Names from the current record forward, as the browse skips.
  static std::vector<std::string> Walk(TWBrowse& b) {
    std::vector<std::string> names;
    b.bGoTop(b);
    for (int guard = 0; guard < 20; ++guard) {
      names.push_back(Trim(InAlias(b.cAlias, [] { return FieldGet(1); }).AsString()));
      if (b.Skip(1) != 1) break;
    }
    return names;
  }
  static std::string Current(TWBrowse& b) {
    return Trim(InAlias(b.cAlias, [] { return FieldGet(1); }).AsString());
  }

  std::filesystem::path dir;
  Parent parent;
};

}  // namespace

TEST_F(WorkArea, CharacterRangeWalksCountsAndEnds) {
  ASSERT_TRUE(OrdCreate("BYNAME", "NAME"));
  auto b = Range("NAME", Value("B"), Value("C"));
  EXPECT_EQ(b->cAlias, "PEOPLE");
  EXPECT_EQ(Current(*b), "Baker");  // New went to the first key of the range
  EXPECT_EQ(b->nLen, 4);
  EXPECT_EQ(b->bLogicLen(*b), 4);
  EXPECT_EQ(Walk(*b), (std::vector<std::string>{"Baker", "Brown", "Carter", "Clark"}));
  b->bGoTop(*b);
  EXPECT_EQ(b->Skip(10), 3);  // only three rows below the first
  EXPECT_EQ(Current(*b), "Clark");
  EXPECT_EQ(b->Skip(-10), -3);
  EXPECT_EQ(Current(*b), "Baker");
  EXPECT_EQ(b->Skip(-1), 0);
  EXPECT_EQ(Current(*b), "Baker");
  EXPECT_FALSE(InAlias("PEOPLE", [] { return Bof() || Eof(); }));
  b->bGoBottom(*b);
  EXPECT_EQ(Current(*b), "Clark");
  EXPECT_EQ(b->Skip(1), 0);
  EXPECT_EQ(Current(*b), "Clark");
}

TEST_F(WorkArea, BoundsWithQuotesCompareAsTheyAre) {
  for (const char* name : {"O'Brien", "O'Neil", "Q\"uote\"]"}) {
    DbAppend();
    FieldPut(1, Value(name));
  }
  ASSERT_TRUE(OrdCreate("BYNAME", "NAME"));
  auto b = Range("NAME", Value("O'"), Value("O'Z"));
  EXPECT_EQ(b->nLen, 2);
  EXPECT_EQ(Walk(*b), (std::vector<std::string>{"O'Brien", "O'Neil"}));
  b->bGoBottom(*b);
  EXPECT_EQ(Current(*b), "O'Neil");
  EXPECT_EQ(b->Skip(-1), -1);
  EXPECT_EQ(Current(*b), "O'Brien");
  auto both = Range("NAME", Value("Q\"'"), Value("Q\"uote\"]"));
  EXPECT_EQ(both->nLen, 1);
  EXPECT_EQ(Walk(*both), (std::vector<std::string>{"Q\"uote\"]"}));
}

TEST_F(WorkArea, RangeReachingTheEndOfTheFile) {
  OrdCreate("BYNAME", "NAME");
  auto b = Range("NAME", Value("S"), Value("Z"));
  EXPECT_EQ(b->nLen, 2);
  EXPECT_EQ(Walk(*b), (std::vector<std::string>{"Smith", "Young"}));
  b->bGoBottom(*b);
  EXPECT_EQ(Current(*b), "Young");
  EXPECT_EQ(b->Skip(1), 0);
  EXPECT_FALSE(InAlias("PEOPLE", [] { return Eof(); }));
}

TEST_F(WorkArea, RangeWithoutRowsCountsZero) {
  OrdCreate("BYNAME", "NAME");
  auto b = Range("NAME", Value("D"), Value("E"));
  EXPECT_EQ(b->nLen, 0);
  auto past = Range("NAME", Value("ZZ"), Value("ZZ"));  // beyond the last key: end of file
  EXPECT_EQ(past->nLen, 0);
}

TEST_F(WorkArea, DateRangeComparesThroughTheDateText) {
  OrdCreate("BYBORN", "BORN");
  auto b = Range("BORN", Value(MakeDate(1985, 1, 1)), Value(MakeDate(1995, 12, 31)));
  EXPECT_EQ(b->nLen, 4);
  EXPECT_EQ(Walk(*b), (std::vector<std::string>{"Brown", "Young", "Adams", "Carter"}));
  b->bGoBottom(*b);
  EXPECT_EQ(Current(*b), "Carter");
}

TEST_F(WorkArea, DateRangeBeyondTheTwoDigitYearWindow) {
  // The default date format has two-digit years; bounds outside the years
  // they can name must still hold.
  OrdCreate("BYBORN", "BORN");
  auto b = Range("BORN", Value(MakeDate(1930, 1, 1)), Value(MakeDate(1980, 12, 31)));
  EXPECT_EQ(b->nLen, 3);
  EXPECT_EQ(Walk(*b), (std::vector<std::string>{"Old", "Baker", "Smith"}));
}

TEST_F(WorkArea, NumberRangeKeepsRecordOrderForEqualKeys) {
  OrdCreate("BYAGE", "AGE");
  auto b = Range("AGE", Value(25), Value(40));
  EXPECT_EQ(b->nLen, 4);
  EXPECT_EQ(Walk(*b), (std::vector<std::string>{"Adams", "Young", "Brown", "Smith"}));
  b->bGoBottom(*b);
  EXPECT_EQ(Current(*b), "Smith");
  // One bound: the upper bound is the lower one.
  auto one = Range("AGE", Value(25), Value());
  EXPECT_EQ(one->uValue2.AsInt(), 25);
  EXPECT_EQ(one->nLen, 2);
}

TEST_F(WorkArea, RecCountStopsAtTheCapAndKeepsTheRecord) {
  OrdCreate("BYNAME", "NAME");
  auto b = Range("NAME", Value("B"), Value("C"));
  b->bGoTop(*b);
  b->Skip(2);
  long rec = InAlias("PEOPLE", [] { return RecNo(); });
  EXPECT_EQ(b->RecCount(b->uValue1), 4);
  b->nMaxFilter = 2;
  EXPECT_EQ(b->RecCount(b->uValue1), 2);
  EXPECT_EQ(b->bLogicLen(*b), 2);
  b->nMaxFilter = 10;
  EXPECT_EQ(b->RecCount(b->uValue1), 4);
  EXPECT_EQ(InAlias("PEOPLE", [] { return RecNo(); }), rec);
}

TEST_F(WorkArea, WithoutARangeTheWholeFileCounts) {
  auto b = TWBrowse::New({.nWidth = 500, .nHeight = 300, .oWnd = parent.get(), .oFont = TestFont(), .lPixel = true});
  EXPECT_EQ(b->cAlias, "PEOPLE");
  EXPECT_EQ(b->bLogicLen(*b), 8);
  b->bGoBottom(*b);
  EXPECT_EQ(Current(*b), "Old");
  b->bGoTop(*b);
  EXPECT_EQ(Current(*b), "Smith");
}

TEST_F(WorkArea, FieldNamesHeadTheColumnsAndMemosShowAMarker) {
  auto b = TWBrowse::New({.nWidth = 2000, .nHeight = 300, .oWnd = parent.get(), .oFont = TestFont(), .lPixel = true});
  ASSERT_EQ(b->aHeaders.size(), 5u);
  const char* names[] = {"NAME", "BORN", "AGE", "NOTE", "OK"};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(b->aHeaders[i].AsString(), names[i]);
  // Numbers are right-aligned.
  EXPECT_EQ(*b->aJustify, (std::vector<bool>{false, false, true, false, false}));
  b->bGoTop(*b);  // Smith: a memo with text
  Array row = b->bLine(*b);
  ASSERT_EQ(row.size(), 5u);
  EXPECT_EQ(Trim(row[0].AsString()), "Smith");
  EXPECT_EQ(row[1].AsString(), DToC(MakeDate(1980, 5, 1)));
  EXPECT_EQ(row[2].AsString(), "40");
  EXPECT_EQ(row[3].AsString(), "<Memo>");
  EXPECT_EQ(row[4].AsString(), ".T.");
  b->Skip(1);  // Adams: an empty memo
  row = b->bLine(*b);
  EXPECT_EQ(row[3].AsString(), "<memo>");
}

TEST_F(WorkArea, OnlyColumnsWithinTheBrowseWidthAreRead) {
  auto b = TWBrowse::New({.nWidth = 500, .nHeight = 300, .aColSizes = std::vector<int>{300, 300, 300, 300, 300},
                          .oWnd = parent.get(), .oFont = TestFont(), .lPixel = true});
  b->bGoTop(*b);
  Array row = b->bLine(*b);
  ASSERT_EQ(row.size(), 5u);
  EXPECT_EQ(Trim(row[0].AsString()), "Smith");
  EXPECT_NE(row[1].AsString(), "");
  EXPECT_EQ(row[2].AsString(), "");  // starts past 500
  b->nColPos = 3;
  row = b->bLine(*b);
  EXPECT_EQ(row[0].AsString(), "");
  EXPECT_EQ(row[2].AsString(), "40");
  EXPECT_EQ(row[3].AsString(), "<Memo>");
  EXPECT_EQ(row[4].AsString(), "");
}

TEST_F(WorkArea, DefaultWidthsFollowTheLongerOfHeaderAndValue) {
  DbGoTop();  // Smith
  auto b = TWBrowse::New({.nWidth = 500, .nHeight = 300, .oWnd = parent.get(), .oFont = TestFont(), .lPixel = true});
  auto width = [](size_t letters) { return GETTEXTWIDTH(nullptr, std::string(letters, 'B'), TestHFont()); };
  ASSERT_EQ(b->aColSizes.size(), 5u);
  EXPECT_EQ(b->aColSizes[0], width(10 + 1));  // "Smith     " is longer than "NAME"
  EXPECT_EQ(b->aColSizes[1], 15);             // a date
  EXPECT_EQ(b->aColSizes[2], 15);             // a number
  EXPECT_EQ(b->aColSizes[3], width(6 + 1));   // "<Memo>" is longer than "NOTE"
  EXPECT_EQ(b->aColSizes[4], 15);             // a logical
}

TEST_F(WorkArea, LongHeadersWidenTheirColumns) {
  DbGoTop();
  auto b = TWBrowse::New({.nWidth = 500, .nHeight = 300,
                          .aHeaders = Array{Value("N"), Value("Born on"), Value("Age"), Value("A long note header"),
                                            Value("OK")},
                          .oWnd = parent.get(), .oFont = TestFont(), .lPixel = true});
  auto width = [](size_t letters) { return GETTEXTWIDTH(nullptr, std::string(letters, 'B'), TestHFont()); };
  ASSERT_EQ(b->aColSizes.size(), 5u);
  EXPECT_EQ(b->aColSizes[0], width(10 + 1));
  EXPECT_EQ(b->aColSizes[3], width(18 + 1));
}

TEST_F(WorkArea, CloseAreaClosesTheBrowsedArea) {
  auto b = TWBrowse::New({.nWidth = 500, .nHeight = 300, .oWnd = parent.get(), .oFont = TestFont(), .lPixel = true});
  EXPECT_TRUE(b->lCloseArea());
  EXPECT_EQ(b->cAlias, "");
  EXPECT_EQ(Select("PEOPLE"), 0);
  EXPECT_TRUE(b->lCloseArea());
}

TEST_F(WorkArea, PaintDrawsTheRangeOnlyAndStaysOnTheCurrentRecord) {
  OrdCreate("BYNAME", "NAME");
  auto b = Range("NAME", Value("B"), Value("C"));
  std::vector<std::string> drawn;
  LineBlock inner = b->bLine;
  b->bLine = [&drawn, inner](TWBrowse& brw) {
    drawn.push_back(Trim(InAlias(brw.cAlias, [] { return FieldGet(1); }).AsString()));
    return inner(brw);
  };
  b->bGoTop(*b);
  b->Skip(1);  // Brown, on line 2
  b->nRowPos = 2;
  RECT r{};
  GetClientRect(b->hWnd, &r);
  drawtest::Canvas c(r.right, r.bottom);
  ASSERT_GT(b->nRowCount(), 6);
  PaintInto(*b, c);
  // Four lines, then the selection drawn again on line 2.
  EXPECT_EQ(drawn, (std::vector<std::string>{"Baker", "Brown", "Carter", "Clark", "Brown"}));
  EXPECT_EQ(Current(*b), "Brown");
  EXPECT_EQ(b->nRowPos, 2);
  EXPECT_EQ(b->nLen, 4);
  EXPECT_FALSE(b->lHitTop);
  EXPECT_FALSE(b->lHitBottom);
}

TEST(WorkAreaNone, WithoutARowBlockOrATableTheErrorIsRaisedAndTheBrowseStaysEmpty) {
  DbCloseAll();
  std::vector<int> codes;
  ErrorHandler saved = ErrorBlock([&](const ErrorPtr& e) {
    codes.push_back(e->GenCode);
    return Value();  // the program goes on
  });
  Parent parent;
  auto b = TWBrowse::New({.nWidth = 300, .nHeight = 200, .oWnd = parent.get(), .oFont = TestFont(), .lPixel = true});
  ErrorBlock(saved);
  ASSERT_TRUE(b->hWnd);
  EXPECT_EQ(codes, std::vector<int>{EG_NOALIAS});
  EXPECT_EQ(b->nLen, 0);
  EXPECT_TRUE(b->bLine(*b).empty());
  InvalidateRect(b->hWnd, nullptr, TRUE);
  UpdateWindow(b->hWnd);  // paints the empty browse
}
