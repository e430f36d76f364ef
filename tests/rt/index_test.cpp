// Index files: the B-tree against a sorted model under random changes, keys
// of every type, unique and descending orders, scopes, files that outlive
// the area and follow every change, and damaged or foreign files refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "data_support.h"
#include "rt/ntx.h"
#include "rt/set.h"
#include "rt/storage.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;
using nxtest::RaisedBy;

namespace {

Value Field(const char* name, const char* type, int len, int dec = 0) {
  return Value(NewArray({Value(name), Value(type), Value(len), Value(dec)}));
}

// Record numbers in the focused order, front to back.
std::vector<long> Walk() {
  std::vector<long> out;
  for (DbGoTop(); !Eof(); DbSkip()) out.push_back(RecNo());
  return out;
}

std::vector<long> WalkBack() {
  std::vector<long> out;
  for (DbGoBottom(); !Bof(); DbSkip(-1)) out.push_back(RecNo());
  std::reverse(out.begin(), out.end());
  return out;
}

class Model {
 public:
  explicit Model(bool descending) : descending_(descending) {}
  bool Less(const NtxIndex::Entry& a, const NtxIndex::Entry& b) const {
    if (a.key != b.key) return descending_ ? a.key > b.key : a.key < b.key;
    return a.rec < b.rec;
  }
  bool descending_;
};

}  // namespace

class IndexTree : public testing::TestWithParam<std::tuple<bool, int>> {};

// Long keys give few keys to a page (3 for 200 bytes, 8 for 101), so a few
// thousand changes split and merge pages on every level.
TEST_P(IndexTree, RandomChangesMatchASortedModel) {
  const bool descending = std::get<0>(GetParam());
  const int keySize = std::get<1>(GetParam());
  Model m(descending);
  auto less = [&](const NtxIndex::Entry& a, const NtxIndex::Entry& b) { return m.Less(a, b); };
  std::set<NtxIndex::Entry, decltype(less)> model(less);
  auto bytes = std::make_shared<std::vector<unsigned char>>();
  NtxIndex::Options opt{"KEY", "T", keySize, 0, false, descending};
  auto ix = NtxIndex::Build(std::make_unique<MemoryStorage>(bytes), "t.ntx", "DBF", opt, {}, false);
  ASSERT_EQ(ix->maxItems(), keySize == 200 ? 3 : 8);
  std::mt19937 rng(14);
  auto key = [&](uint32_t v) { return PadR(StrZero(Value(v), 5), keySize); };

  auto check = [&](const char* when) {
    SCOPED_TRACE(when);
    ASSERT_EQ(ix->Count(), model.size());
    size_t i = 0;
    for (const auto& e : model) {
      auto at = ix->At(i);
      ASSERT_TRUE(at && *at == e) << "position " << i;
      ++i;
    }
    EXPECT_FALSE(ix->At(model.size()));
    for (int probe = 0; probe < 50; ++probe) {
      NtxIndex::Entry p{key(rng() % 400), uint32_t(rng() % 3000)};
      auto before = [&](std::string_view k, uint32_t r) { return ix->Less(k, r, p.key, p.rec); };
      auto lb = model.lower_bound(p);
      auto first = ix->FirstNotBefore(before);
      ASSERT_EQ(first.has_value(), lb != model.end());
      if (first) {
        EXPECT_EQ(*first, *lb);
      }
      auto last = ix->LastBefore(before);
      ASSERT_EQ(last.has_value(), lb != model.begin());
      if (last) {
        EXPECT_EQ(*last, *std::prev(lb));
      }
      EXPECT_EQ(ix->CountBefore(before), size_t(std::distance(model.begin(), lb)));
    }
  };

  // Grow, churn, then shrink to a few keys; duplicates differ by record.
  uint32_t nextRec = 1;
  for (int step = 0; step < 5000; ++step) {
    int phase = step < 1500 ? 0 : step < 3500 ? 1 : 2;
    bool insert = phase == 0 || (phase == 1 && rng() % 2) || model.empty();
    if (phase == 2 && model.size() <= 3) insert = false;
    if (insert) {
      NtxIndex::Entry e{key(rng() % 400), nextRec++};
      ASSERT_TRUE(ix->Insert(e));
      model.insert(e);
    } else if (!model.empty()) {
      auto it = std::next(model.begin(), std::ptrdiff_t(rng() % model.size()));
      ASSERT_TRUE(ix->Erase(*it));
      EXPECT_FALSE(ix->Erase(*it));
      model.erase(it);
    }
    if (step % 500 == 499) check(("step " + std::to_string(step)).c_str());
    if (HasFatalFailure()) return;
  }
  // What reached the file reads back the same.
  ix->Flush();
  auto reopened = NtxIndex::Open(std::make_unique<MemoryStorage>(bytes), "t.ntx", "DBF", false);
  ix = std::move(reopened);
  check("reopened");
}

INSTANTIATE_TEST_SUITE_P(Shapes, IndexTree, testing::Combine(testing::Bool(), testing::Values(200, 101)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) ? "Descending" : "Ascending") +
                                  std::to_string(std::get<1>(info.param));
                         });

class IndexFiles : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(DbCreate(path, Value(NewArray({Field("NAME", "C", 10), Field("AMOUNT", "N", 8, 2), Field("BORN", "D", 8),
                                              Field("OK", "L", 1)}))));
    ASSERT_TRUE(DbUseArea(true, "", path, "T", false));
  }
  void Add(const char* name, double amount, Date born, bool ok) {
    ASSERT_TRUE(DbAppend());
    FieldPut(1, name);
    FieldPut(2, Value(amount, 2));
    FieldPut(3, born);
    FieldPut(4, ok);
  }
  nxtest::ScratchDir dir;
  nxtest::AreasClosed closed;
  std::string path = dir.Path("t.dbf");
};

TEST_F(IndexFiles, KeysOfEveryTypeSortAsTheirValuesAndSeek) {
  Add("pear", -2.5, MakeDate(1999, 12, 31), true);    // 1
  Add("apple", 10, Date{}, false);                   // 2
  Add("fig", -12.25, MakeDate(2024, 2, 29), true);   // 3
  Add("apricot", 0, MakeDate(1900, 1, 1), false);    // 4
  Add("plum", 0.01, MakeDate(2024, 2, 28), true);    // 5
  Add("apple", -0.01, MakeDate(2000, 1, 1), true);   // 6
  Add("kiwi", 99999.99, MakeDate(1970, 6, 15), false);  // 7

  ASSERT_TRUE(OrdCreate("BYAMOUNT", "AMOUNT"));
  EXPECT_EQ(Walk(), (std::vector<long>{3, 1, 6, 4, 5, 2, 7}));
  EXPECT_EQ(WalkBack(), Walk());
  EXPECT_TRUE(DbSeek(-2.5));
  EXPECT_EQ(RecNo(), 1);
  EXPECT_FALSE(DbSeek(-1, true));  // soft: the next greater amount
  EXPECT_EQ(RecNo(), 6);
  EXPECT_FALSE(DbSeek(100000, true));
  EXPECT_TRUE(Eof());
  auto e = RaisedBy([] { DbSeek("x"); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_DATATYPE);

  ASSERT_TRUE(OrdCreate("BYBORN", "BORN"));
  EXPECT_EQ(Walk(), (std::vector<long>{2, 4, 7, 1, 6, 5, 3}));  // the empty date first
  EXPECT_TRUE(DbSeek(MakeDate(2024, 2, 28)));
  EXPECT_EQ(RecNo(), 5);

  ASSERT_TRUE(OrdCreate("BYOK", "OK"));
  EXPECT_EQ(Walk(), (std::vector<long>{2, 4, 7, 1, 3, 5, 6}));

  // Several fields in one key; a leading part seeks the first and the last.
  ASSERT_TRUE(OrdCreate("BYNAMEAMT", "Upper(NAME) + Str(AMOUNT, 8, 2)"));
  EXPECT_EQ(Walk(), (std::vector<long>{6, 2, 4, 3, 7, 1, 5}));
  EXPECT_TRUE(DbSeek("APPLE"));
  EXPECT_EQ(RecNo(), 6);
  EXPECT_TRUE(DbSeek("APPLE", {}, true));
  EXPECT_EQ(RecNo(), 2);
  EXPECT_TRUE(DbSeek("AP", {}, true));
  EXPECT_EQ(RecNo(), 4);
  EXPECT_EQ(OrdKeyNo(), 3);
  EXPECT_FALSE(DbSeek("B", true));
  EXPECT_EQ(RecNo(), 3);  // FIG

  // Keys move with the fields.
  DbGoTo(7);
  FieldPut(1, "aaa");
  FieldPut(2, Value(-50.0, 2));
  EXPECT_EQ(Walk(), (std::vector<long>{7, 6, 2, 4, 3, 1, 5}));
  OrdSetFocus("BYAMOUNT");
  EXPECT_EQ(Walk(), (std::vector<long>{7, 3, 1, 6, 4, 5, 2}));
  EXPECT_EQ(OrdKeyCount(), 7);
  ASSERT_TRUE(OrdKeyGoTo(3));
  EXPECT_EQ(RecNo(), 1);
}

TEST_F(IndexFiles, UniqueDescendingAndScopes) {
  const char* names[] = {"bob", "al", "cy", "al", "dee", "bob", "ed"};
  for (const char* n : names) Add(n, 1, Date{}, true);
  ASSERT_TRUE(OrdCreate("UNIQ", "NAME", {}, {.unique = true}));
  EXPECT_EQ(Walk(), (std::vector<long>{2, 1, 3, 5, 7}));  // the first record of each name
  DbGoTo(5);
  FieldPut(1, "bob");   // already there: the record leaves the order
  EXPECT_EQ(Walk(), (std::vector<long>{2, 1, 3, 7}));
  DbAppend();
  FieldPut(1, "fay");
  EXPECT_EQ(OrdKeyCount(), 5);

  ASSERT_TRUE(OrdCreate("DESC", "NAME", {}, {.descending = true}));
  EXPECT_EQ(Walk(), (std::vector<long>{8, 7, 3, 1, 5, 6, 2, 4}));
  EXPECT_TRUE(DbSeek("b"));  // the greatest key that starts with b, first of its records
  EXPECT_EQ(RecNo(), 1);
  EXPECT_FALSE(DbSeek("d", true));  // soft: the next key in this order is below
  EXPECT_EQ(Trim(FieldGet(1).AsString()), "cy");
  EXPECT_FALSE(DbSeek("ca", true));
  EXPECT_EQ(Trim(FieldGet(1).AsString()), "bob");

  // Scopes: the order shows only the keys from the top to the bottom one.
  ASSERT_TRUE(OrdCreate("ASC", "NAME"));
  EXPECT_TRUE(OrdScope(kTopScope, Value("b")).IsNil());
  OrdScope(kBottomScope, Value("cy"));
  EXPECT_EQ(Walk(), (std::vector<long>{1, 5, 6, 3}));
  EXPECT_EQ(WalkBack(), (std::vector<long>{1, 5, 6, 3}));
  EXPECT_EQ(OrdKeyCount(), 4);
  DbGoTo(3);
  EXPECT_EQ(OrdKeyNo(), 4);
  DbGoTo(2);  // outside: no key position
  EXPECT_EQ(OrdKeyNo(), 0);
  DbSkip();   // from outside the scope, the next key inside
  EXPECT_EQ(RecNo(), 1);
  EXPECT_FALSE(DbSeek("al"));
  EXPECT_TRUE(Eof());
  EXPECT_TRUE(DbSeek("cy"));
  EXPECT_EQ(DbSkipper(5), 0);
  EXPECT_EQ(DbSkipper(-9), -3);
  EXPECT_EQ(RecNo(), 1);
  EXPECT_TRUE(Bof());
  EXPECT_EQ(OrdScope(kTopScope, Value()).AsString(), "b");
  OrdScope(kBottomScope, Value());
  EXPECT_EQ(OrdKeyCount(), 8);
  auto e = RaisedBy([] { OrdScope(kTopScope, Value(3)); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_DATATYPE);
}

TEST_F(IndexFiles, FilesOutliveTheAreaAndFollowEveryChange) {
  for (int i = 0; i < 300; ++i) Add(("n" + StrZero(Value((i * 37) % 300), 3)).c_str(), (i % 17) - 8.5, Date{}, i % 2);
  ASSERT_TRUE(OrdCreate("BYNAME", "NAME"));
  ASSERT_TRUE(OrdCreate(dir.Path("amounts"), "AMOUNT"));
  EXPECT_EQ(OrdBagName(), dir.Path("amounts.ntx"));
  DbCloseArea();
  EXPECT_TRUE(FileExists(dir.Path("BYNAME.ntx")));

  // Opened with the table, no rebuild: the first index gives the order.
  ASSERT_TRUE(DbUseArea(true, "", path, "T", false, false, {"BYNAME", dir.Path("amounts.ntx")}));
  EXPECT_EQ(OrdCount(), 2);
  EXPECT_EQ(OrdSetFocus(), "BYNAME");
  EXPECT_EQ(IndexKey(2), "AMOUNT");
  DbGoTop();
  EXPECT_EQ(Trim(FieldGet(1).AsString()), "n000");
  for (int i = 0; i < 120; ++i) {
    DbGoTo(1 + (i * 7) % 300);
    FieldPut(1, "m" + StrZero(Value(i), 3));
    FieldPut(2, Value(i * 1.25 - 60, 2));
  }
  for (int i = 0; i < 50; ++i) Add(("z" + StrZero(Value(i), 3)).c_str(), -i, Date{}, true);
  DbCloseArea();

  // A rebuild from the records gives exactly the order that was kept.
  ASSERT_TRUE(DbUseArea(true, "", path, "T", false));
  ASSERT_TRUE(OrdListAdd("BYNAME"));
  ASSERT_TRUE(OrdListAdd("amounts"));
  std::vector<long> keptNames = Walk(), keptAmounts;
  OrdSetFocus(2);
  keptAmounts = Walk();
  ASSERT_EQ(keptNames.size(), 350u);
  OrdListClear();
  EXPECT_EQ(IndexOrd(), 0);
  ASSERT_TRUE(OrdCreate("CHECK1", "NAME"));
  EXPECT_EQ(Walk(), keptNames);
  ASSERT_TRUE(OrdCreate("CHECK2", "AMOUNT"));
  EXPECT_EQ(Walk(), keptAmounts);
}

TEST_F(IndexFiles, DamagedOrForeignFilesAreRefusedNamingTheFile) {
  for (int i = 0; i < 200; ++i) Add(("k" + StrZero(Value(i), 4)).c_str(), i, Date{}, true);
  ASSERT_TRUE(OrdCreate("GOOD", "NAME"));
  DbCloseArea();
  std::string good = nxtest::ReadBytes(dir.Path("GOOD.ntx"));
  ASSERT_GT(good.size(), 4096u);  // a root page over leaves
  auto root = [&](const std::string& b) { return size_t(uint8_t(b[4]) | uint8_t(b[5]) << 8 | uint8_t(b[6]) << 16); };
  auto damaged = [&](const std::function<void(std::string&)>& change) {
    std::string b = good;
    change(b);
    return b;
  };
  // The first item of a page: its offset is in the page's table.
  auto item = [](const std::string& b, size_t page, size_t i) {
    return page + (uint8_t(b[page + 2 + 2 * i]) | uint8_t(b[page + 3 + 2 * i]) << 8);
  };
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::vector<Case> cases = {
      {"short", good.substr(0, 700)},
      {"signature", damaged([](std::string& b) { b[0] = 'X'; })},
      {"key size", damaged([](std::string& b) { b[14] = char(200); })},
      {"root outside", damaged([](std::string& b) { b[6] = 0x7F; })},
      {"page count", damaged([&](std::string& b) { b[root(good)] = char(0xFF); })},
      {"child loop", damaged([&](std::string& b) {
         size_t at = item(good, root(good), 0);
         for (int k = 0; k < 4; ++k) b[at + size_t(k)] = good[4 + size_t(k)];  // the root's first child is the root
       })},
      {"keys out of order", damaged([&](std::string& b) {
         size_t leaf = size_t(uint8_t(good[item(good, root(good), 0)])) | size_t(uint8_t(good[item(good, root(good), 0) + 1])) << 8;
         b[item(good, leaf, 0) + 8 + 1] = 'z';
       })},
      {"record 0", damaged([&](std::string& b) {
         size_t at = item(good, root(good), 0);
         for (int k = 4; k < 8; ++k) b[at + size_t(k)] = 0;
       })},
  };
  ASSERT_TRUE(DbUseArea(true, "", path, "T", false));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OrdListClear();
    std::string bad = dir.Path("BAD.ntx");
    nxtest::WriteBytes(bad, c.bytes);
    // Found when opening, or at the latest when a walk or seek reaches it.
    auto err = RaisedBy([] {
      if (!OrdListAdd("BAD")) return;
      Walk();
      WalkBack();
      DbSeek("k0150");
      OrdKeyCount();
    });
    ASSERT_TRUE(err);
    EXPECT_EQ(err->GenCode, EG_CORRUPTION);
    EXPECT_EQ(err->FileName, bad);
    // Once damaged, it stays refused: never a wrong order.
    if (OrdCount() == 1) {
      auto again = RaisedBy([] { Walk(); });
      ASSERT_TRUE(again);
      EXPECT_EQ(again->GenCode, EG_CORRUPTION);
    }
    // OrdCreate builds it again.
    ASSERT_TRUE(OrdCreate("BAD", "NAME"));
    EXPECT_EQ(Walk().size(), 200u);
    EXPECT_TRUE(DbSeek("k0150"));
  }
  // An index of another table: its key does not fit this one.
  ASSERT_TRUE(DbCreate(dir.Path("other.dbf"), Value(NewArray({Field("CODE", "N", 5)}))));
  ASSERT_TRUE(DbUseArea(true, "", dir.Path("other.dbf"), "O", false));
  DbAppend();
  ASSERT_TRUE(OrdCreate(dir.Path("FOREIGN"), "CODE"));
  DbCloseArea();
  DbSelectArea("T");
  OrdListClear();
  auto err = RaisedBy([&] { OrdListAdd(dir.Path("FOREIGN")); });
  ASSERT_TRUE(err);
  EXPECT_EQ(err->GenCode, EG_CORRUPTION);
  EXPECT_EQ(err->FileName, dir.Path("FOREIGN.ntx"));
  EXPECT_EQ(OrdCount(), 0);
}
