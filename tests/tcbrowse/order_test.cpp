// A column browse over a real DBF with orders: the header double click
// switches the order and the rows repaint in it, the incremental search by
// the order's key type (with its tone and its refusals), a database object
// as source, and cell editing's write-back and reported absence.
#include <filesystem>
#include <map>

#include "common/message_boxes.h"
#include "dialogs/script.h"
#include "support.h"
#include "rt/expr.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;
using namespace tctest;

namespace {

struct Person {
  const char* name;
  int age;
  int y, m, d;
};
// Record order; names, ages and birth dates each in another order.
const Person kPeople[] = {
    {"Smith", 40, 1980, 5, 1}, {"Adams", 25, 1990, 1, 15}, {"Brown", 33, 1985, 3, 3},
    {"Baker", 51, 1970, 7, 7}, {"Washington", 19, 2000, 12, 31}, {"Carter", 60, 1965, 6, 6},
    {"Young", 28, 1988, 8, 8},
};

class Orders : public testing::Test {
 protected:
  void SetUp() override {
    oldFormat = SetDateFormat("mm/dd/yyyy");
    dir = std::filesystem::temp_directory_path() / ("nxtcb" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    std::string path = (dir / "people.dbf").string();
    auto field = [](const char* n, const char* t, int len, int dec) {
      return Value(NewArray({Value(n), Value(t), Value(len), Value(dec)}));
    };
    ASSERT_TRUE(DbCreate(path, Value(NewArray({field("NAME", "C", 10, 0), field("AGE", "N", 3, 0),
                                               field("BORN", "D", 8, 0), field("NOTE", "C", 10, 0)}))));
    ASSERT_TRUE(DbUseArea(true, "", path, "PEOPLE", false));
    for (const Person& p : kPeople) {
      DbAppend();
      FieldPut(1, Value(p.name));
      FieldPut(2, Value(p.age));
      FieldPut(3, Value(MakeDate(p.y, p.m, p.d)));
      FieldPut(4, Value("n"));
    }
    ASSERT_TRUE(OrdCreate("BYNAME", "UPPER(NAME)"));
    ASSERT_TRUE(OrdCreate("BYAGE", "AGE"));
    ASSERT_TRUE(OrdCreate("BYBORN", "BORN"));
    OrdSetFocus(0);
    DbGoTop();
  }
  void TearDown() override {
    DbCloseAll();
    SetDateFormat(oldFormat);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  // Columns Name, Age, Born sortable by their orders, Note not; the colour
  // block of Name records which name each data line shows.
  void AddColumns(TCBrowse& b, const std::string& byName = "BYNAME") {
    auto fieldBlock = [](int pos) {
      return SetGet([pos](std::optional<Value> v) {
        return InAlias("PEOPLE", [&] { return v ? FieldPut(pos, *v) : FieldGet(pos); });
      });
    };
    TCBrowse* brw = &b;
    b.AddColumn(TCColumn::New({.cHeading = "Name",
                               .bData = fieldBlock(1),
                               .bClrBack = [this, brw](int line, int) {
                                 shown[line] = Trim(InAlias("PEOPLE", [] { return FieldGet(1); }).AsString());
                                 return Value(int64_t(brw->nClrPane));
                               },
                               .nWidth = 60,
                               .lEdit = true,
                               .cOrder = byName}));
    b.AddColumn(TCColumn::New({.cHeading = "Age", .bData = fieldBlock(2), .cAlign = Value("RIGHT"), .cOrder = "BYAGE"}));
    b.AddColumn(TCColumn::New({.cHeading = "Born", .bData = fieldBlock(3), .cOrder = "BYBORN"}));
    b.AddColumn(TCColumn::New({.cHeading = "Note", .bData = fieldBlock(4)}));
    for (auto& col : b.aColumns) col->nWidth = 80;
    b.aColSizes.assign(4, 80);
  }
  // The names on the data lines, top down, as the last paint drew them.
  std::vector<std::string> Lines() {
    std::vector<std::string> names;
    for (auto& [line, name] : shown)
      if (line >= 1) names.push_back(name);
    return names;
  }
  std::string Current() { return Trim(InAlias("PEOPLE", [] { return FieldGet(1); }).AsString()); }
  void Type(Host& h, const std::string& keys) {
    for (char k : keys) SendMessageA(h.b->hWnd, WM_CHAR, WPARAM(static_cast<unsigned char>(k)), 0);
  }
  void Repaint(Host& h) {
    shown.clear();
    h.Paint();
  }

  std::filesystem::path dir;
  std::string oldFormat;
  std::map<int, std::string> shown;
};

}  // namespace

TEST_F(Orders, HeaderDoubleClickSwitchesTheOrderAndTheRowsRepaintInIt) {
  Host h(400, 300, "PEOPLE");
  AddColumns(*h.b);
  h.Show();  // the first sortable column is chosen
  EXPECT_EQ(h.b->nColOrder, 1);
  EXPECT_EQ(h.b->cOrderType, "C");
  EXPECT_EQ(InAlias("PEOPLE", [] { return OrdSetFocus(); }), "BYNAME");
  SendMessageA(h.b->hWnd, WM_KEYDOWN, VK_END, 0);
  Repaint(h);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Adams", "Baker", "Brown", "Carter", "Smith", "Washington", "Young"}));
  EXPECT_EQ(Current(), "Young");
  EXPECT_EQ(h.b->nRowPos, 7);

  int seekChanges = 0;
  h.b->bSeekChange = [&](TCBrowse&) { ++seekChanges; };
  h.Send(WM_LBUTTONDBLCLK, 120, h.Y(0));  // the Age header
  EXPECT_EQ(h.b->nColOrder, 2);
  EXPECT_EQ(h.b->cOrderType, "N");
  EXPECT_EQ(seekChanges, 1);
  EXPECT_EQ(InAlias("PEOPLE", [] { return OrdSetFocus(); }), "BYAGE");
  // The same record stays current, on the line of its place in the new
  // order (the 3rd by age), and the rows around it follow that order.
  EXPECT_EQ(Current(), "Young");
  EXPECT_EQ(h.b->nRowPos, 3);
  Repaint(h);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Washington", "Adams", "Young", "Brown", "Smith", "Baker", "Carter"}));
  EXPECT_EQ(Current(), "Young");
  // The sorting header's background.
  Shot s = Shot::Of(h.b->hWnd);
  EXPECT_EQ(s.At(85, 3), RGB(0, 0, 255));
  EXPECT_EQ(s.At(70, 3), h.b->nClrBackHead);

  // A column without an order, and an array source, change nothing.
  h.Send(WM_LBUTTONDBLCLK, 280, h.Y(0));  // Note
  EXPECT_EQ(h.b->nColOrder, 2);
  EXPECT_EQ(InAlias("PEOPLE", [] { return OrdSetFocus(); }), "BYAGE");
  EXPECT_EQ(seekChanges, 1);
  EXPECT_FALSE(h.b->SetOrder(4));

  Host a(400, 300);
  AddColumns(*a.b);
  a.b->SetArray(NewArray({Value("x")}));
  a.Show();
  EXPECT_EQ(a.b->nColOrder, 0);
  EXPECT_FALSE(a.b->SetOrder(1));
  EXPECT_EQ(InAlias("PEOPLE", [] { return OrdSetFocus(); }), "BYAGE");

  // Columns from the fields: editable, numbers to the right.
  Host f(400, 300, "PEOPLE");
  f.b->LoadFields();
  ASSERT_EQ(f.b->aColumns.size(), 4u);
  EXPECT_EQ(f.b->aColumns[0]->cHeading, "NAME");
  EXPECT_EQ(f.b->aColumns[0]->cData, "PEOPLE->NAME");
  EXPECT_TRUE(f.b->aColumns[0]->lEdit);
  EXPECT_EQ(f.b->aColumns[1]->nAlign, 2);
  EXPECT_EQ(f.b->aColumns[0]->nAlign, 0);
  EXPECT_EQ(Trim(f.b->aColumns[0]->Get().AsString()), Current());
  EXPECT_EQ(f.b->aColSizes.size(), 4u);
}

TEST_F(Orders, IncrementalSearchFollowsTheKeyType) {
  Host h(400, 300, "PEOPLE");
  AddColumns(*h.b);
  h.Show();
  h.b->GoTop();
  Tones tones;
  // Character order: upper-cased, each key seeks the names it begins.
  Type(h, "b");
  EXPECT_EQ(h.b->cSeek, "B");
  EXPECT_EQ(Current(), "Baker");
  Type(h, "r");
  EXPECT_EQ(Current(), "Brown");
  // No name begins "BRX": a tone, and record and text stay.
  Type(h, "x");
  EXPECT_EQ(tones.count, 1);
  EXPECT_EQ(h.b->cSeek, "BR");
  EXPECT_EQ(Current(), "Brown");
  Type(h, "\b");
  EXPECT_EQ(h.b->cSeek, "B");
  EXPECT_EQ(Current(), "Baker");
  // As many characters as the key is long (10), then a tone.
  SendMessageA(h.b->hWnd, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(h.b->cSeek, "");  // vertical moves start the search again
  Type(h, "washington");
  EXPECT_EQ(h.b->cSeek, "WASHINGTON");
  EXPECT_EQ(Current(), "Washington");
  EXPECT_EQ(tones.count, 1);
  Type(h, "s");
  EXPECT_EQ(tones.count, 2);
  EXPECT_EQ(h.b->cSeek, "WASHINGTON");

  // Numeric order: digits only; letters sound the tone and seek nothing.
  ASSERT_TRUE(h.b->SetOrder(2));
  EXPECT_EQ(h.b->cSeek, "");
  Type(h, "a");
  EXPECT_EQ(tones.count, 3);
  EXPECT_EQ(h.b->cSeek, "");
  EXPECT_EQ(Current(), "Washington");
  Type(h, "3");
  EXPECT_EQ(Current(), "Washington");  // the first age not below 3
  Type(h, "3");
  EXPECT_EQ(Current(), "Brown");
  Type(h, "9");  // 339: past every age
  EXPECT_EQ(tones.count, 4);
  EXPECT_EQ(h.b->cSeek, "33");
  EXPECT_EQ(Current(), "Brown");
  // The scroll bar stands for the key position: Brown is the 4th by age.
  EXPECT_EQ(h.b->VGetPos(), 4);

  // Date order: digits fill "  /  /    "; only a whole date is sought.
  ASSERT_TRUE(h.b->SetOrder(3));
  EXPECT_EQ(h.b->cSeek, "  /  /    ");
  Type(h, "0601196");
  EXPECT_EQ(h.b->cSeek, "06/01/196 ");
  EXPECT_EQ(Current(), "Brown");
  Type(h, "5");
  EXPECT_EQ(Current(), "Carter");  // the first birth date from 06/01/1965
  Type(h, "1");  // no blank left
  EXPECT_EQ(tones.count, 5);
  Type(h, "\b");
  EXPECT_EQ(h.b->cSeek, "06/01/196 ");
  Type(h, "9");
  EXPECT_EQ(Current(), "Baker");  // 07/07/1970 follows 06/01/1969
  EXPECT_EQ(h.b->DateSeek("12/3 /    ", VK_BACK), "12/  /    ");
  EXPECT_EQ(h.b->DateSeek("1 /  /    ", VK_BACK), "  /  /    ");
  EXPECT_EQ(tones.count, 5);
  Type(h, "x");
  EXPECT_EQ(tones.count, 6);
}

namespace {

// The context of a database object: counts what the browse asks of it.
struct Counting : TCBrowseContext {
  int saves = 0, restores = 0, renews = 0, destroys = 0;
  void Save() override { ++saves; }
  void Restore() override { ++restores; }
  void Renew() override { ++renews; }
  void Destroy() override { ++destroys; }
};

// A database object over the work area, as an application might supply.
struct PeopleDbf : TCBrowseDbf {
  std::vector<std::string> orders;
  bool hooksCleared = false;
  std::shared_ptr<Counting> ctx = std::make_shared<Counting>();
  std::shared_ptr<TCBrowseContext> Context() override { return ctx; }
  template <class F>
  auto In(F&& f) {
    return InAlias("PEOPLE", f);
  }
  long RecCount() override { return In([] { return nx::RecCount(); }); }
  void GoTop() override { In([] { DbGoTop(); }); }
  void GoBottom() override { In([] { DbGoBottom(); }); }
  long Skipper(long n) override { return In([n] { return DbSkipper(n); }); }
  long RecNo() override { return In([] { return nx::RecNo(); }); }
  void GoTo(long r) override { In([r] { DbGoTo(r); }); }
  bool Eof() override { return In([] { return nx::Eof(); }); }
  bool Seek(const Value& k, bool soft) override { return In([&] { return DbSeek(k, soft); }); }
  void SetOrder(const std::string& o) override {
    orders.push_back(o);
    In([&] { OrdSetFocus(o); });
  }
  Value OrderKey() override {
    return In([] { return IndexKey().empty() ? Value() : Compile("{||" + IndexKey() + "}").Eval(); });
  }
  void ClearFileHooks() override { hooksCleared = true; }
};

}  // namespace

TEST_F(Orders, DatabaseObjectSource) {
  auto db = std::make_shared<PeopleDbf>();
  {
    Host h(400, 300);
    AddColumns(*h.b);
    h.b->SetoDBF(db);
    EXPECT_TRUE(db->hooksCleared);
    EXPECT_EQ(h.b->oCtx, db->ctx);
    h.Show();
    EXPECT_EQ(db->orders, std::vector<std::string>{"BYNAME"});
    h.b->GoTop();
    Repaint(h);
    EXPECT_EQ(Lines().size(), 7u);
    EXPECT_EQ(Lines().front(), "Adams");
    Tones tones;
    Type(h, "ca");
    EXPECT_EQ(Current(), "Carter");
    Type(h, "z");
    EXPECT_EQ(tones.count, 1);
    EXPECT_EQ(Current(), "Carter");
    h.Send(WM_LBUTTONDBLCLK, 120, h.Y(0));
    EXPECT_EQ(db->orders.back(), "BYAGE");
    h.b->GoTop();
    Repaint(h);
    EXPECT_EQ(Lines().front(), "Washington");
    // The context: saved after each seek, renewed by an order switch.
    EXPECT_GE(db->ctx->saves, 3);
    EXPECT_EQ(db->ctx->renews, 1);
    EXPECT_EQ(db->ctx->destroys, 0);
  }
  EXPECT_EQ(db->ctx->destroys, 1);  // with the browse
}

namespace {

// A browse whose cell editor accepts a fixed value.
class Accepting : public TCBrowse {
 public:
  static std::shared_ptr<Accepting> Make(const TWBrowseParams& p) {
    auto b = std::make_shared<Accepting>();
    b->Construct(p);
    return b;
  }
  bool lEditCol(int nCol, Value& uVar, const CellEditParams&) override {
    edited.push_back(nCol);
    uVar = Value("Zed");
    return true;
  }
  std::vector<int> edited;
};

}  // namespace

TEST_F(Orders, DoubleClickEditsThroughTheCellEditor) {
  Errors errors;
  {
    // The popup editor over the cell: the typed name and Enter are written.
    Host h(400, 300, "PEOPLE");
    AddColumns(*h.b);
    h.b->lAutoEdit = true;
    h.Show();
    std::string before = Current();
    int row = h.b->nRowPos;
    auto popup = [] {
      HWND h = GetActiveWindow();
      return h && !(GetWindowLongA(h, GWL_STYLE) & WS_CAPTION) ? h : nullptr;
    };
    auto rescue = [&] { PostMessageA(popup(), WM_COMMAND, IDCANCEL, 0); };
    std::string shown;
    {
      dlgtest::Script script(
          dlgtest::FirstWhen([&] { return dlgtest::ShownWithFocus(popup()); },
                             {[&] {
                                char text[32] = "";
                                GetWindowTextA(GetFocus(), text, sizeof text);
                                shown = text;
                                for (char c : std::string("Quill")) PostMessageA(GetFocus(), WM_CHAR, WPARAM(c), 1);
                              },
                              [] { dlgtest::PostKey(VK_RETURN); }}),
          [&] { return popup() != nullptr; }, rescue);
      script.Start();
      h.Send(WM_LBUTTONDBLCLK, 20, h.Y(row));
      EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(Trim(shown), before);
    EXPECT_EQ(Current(), "Quill");
    // Not on an editable column: no editor at all.
    dlgtest::Script none({}, [&] { return popup() != nullptr; }, rescue);
    none.Start();
    h.Send(WM_LBUTTONDBLCLK, 120, h.Y(row));
    EXPECT_EQ(popup(), nullptr);
    EXPECT_TRUE(errors.errors.empty());
  }
  TWindowPtr w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 400, .nRight = 500, .lPixel = true});
  auto b = Accepting::Make({.nWidth = 400, .nHeight = 300, .oWnd = w, .oFont = TestFont(), .cAlias = "PEOPLE",
                            .lPixel = true});
  AddColumns(*b);
  b->lAutoEdit = true;
  b->Default();
  w->Show();
  UpdateWindow(b->hWnd);
  int clicks = 0;
  b->bLDblClick = [&](int, int, int, TWindow&) {
    ++clicks;
    return Value();
  };
  int lh = FontLineHeight();
  SendMessageA(b->hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, b->nRowPos * lh + lh / 2));
  EXPECT_EQ(b->edited, std::vector<int>{1});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(InAlias("PEOPLE", [] { return Trim(FieldGet(1).AsString()); }), "Zed");
  EXPECT_TRUE(errors.errors.empty());
  DestroyWindow(w->hWnd);
  Pump();
}

// An accepted edit of a record another handle holds locked: the user is
// told and nothing is written; once the lock is gone the edit goes in.
TEST_F(Orders, AnEditOfALockedRecordWritesNothing) {
  std::string path = (dir / "people.dbf").string();
  DbCloseAll();
  ASSERT_TRUE(DbUseArea(true, "", path, "HOLDER", true));
  ASSERT_TRUE(DbRLock(1));
  ASSERT_TRUE(DbUseArea(true, "", path, "PEOPLE", true));
  DbGoTo(1);
  TWindowPtr w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 400, .nRight = 500, .lPixel = true});
  auto b = Accepting::Make({.nWidth = 400, .nHeight = 300, .oWnd = w, .oFont = TestFont(), .cAlias = "PEOPLE",
                            .lPixel = true});
  AddColumns(*b);
  for (auto& col : b->aColumns) col->cOrder.clear();  // no orders in this handle
  b->lAutoEdit = true;
  b->Default();
  w->Show();
  UpdateWindow(b->hWnd);
  int lh = FontLineHeight();
  auto doubleClick = [&] {
    SendMessageA(b->hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, b->nRowPos * lh + lh / 2));
  };
  {
    nxtest::MessageBoxes boxes;
    const auto& seen = nxtest::MessageBoxes::seen;
    doubleClick();
    EXPECT_EQ(b->edited, std::vector<int>{1});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].find("Please, try again"), std::string::npos) << seen[0];
    EXPECT_NE(seen[0].find("Record in use"), std::string::npos) << seen[0];
  }
  EXPECT_EQ(Current(), "Smith");
  InAlias("HOLDER", [] { DbUnlock(); });
  doubleClick();
  EXPECT_EQ(Current(), "Zed");
  EXPECT_EQ(InAlias("HOLDER", [] {
              EXPECT_TRUE(RLock());  // and with it the other handle's write
              return Trim(FieldGet(1).AsString());
            }),
            "Zed");
  DestroyWindow(w->hWnd);
  Pump();
}
