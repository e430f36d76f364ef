// A column browse over a table of 100,000 customers: the number and last
// name stay at the left while the other nine columns scroll, a double click on
// the "Last name" or "Balance" header sorts by it, typing seeks in the
// sorting column (letters in names, digits in balances), a header dragged
// onto another exchanges the two columns, and the rows can be dragged and
// flung. The table "colbrowse.dbf" is generated in the current folder at
// the first run; the title shows the order, the search text and the
// current customer.
#include <windows.h>

#include <cstdio>
#include <string>

#include "classes/tcbrowse.h"
#include "classes/window.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;

namespace {

constexpr const char* kTitle = "Novaxis column browse";
constexpr const char* kTable = "colbrowse.dbf";
constexpr const char* kPartial = "colbrowse.tmp.dbf";
constexpr const char* kAlias = "CUSTOMER";
constexpr int kRecords = 100000;
constexpr UINT_PTR kStartTimer = 1;

// The same customers at every first run.
struct Random {
  uint32_t s = 20240611;
  uint32_t operator()(uint32_t n) {
    s = s * 1664525u + 1013904223u;
    return (s >> 8) % n;
  }
};

constexpr const char* kStems[] = {"Ab",   "Bar", "Car",  "Dal", "El",   "Fair", "Gar",  "Hal", "Ing",
                                  "Jar",  "Kel", "Lind", "Mar", "Nor",  "Ost",  "Par",  "Quin", "Ros",
                                  "Sand", "Smi", "Tal",  "Ul",  "Val",  "War",  "Whit", "Yor"};
constexpr const char* kEnds[] = {"ton", "field", "man",  "berg", "son", "ley", "wood", "ford",
                                 "th",  "ridge", "well", "more", "by",  "dale", "ham", "worth"};
constexpr const char* kFirst[] = {"Anna", "Ben",  "Carla", "David", "Eva",  "Frank", "Grace", "Henry",
                                  "Ines", "Jack", "Karin", "Leo",   "Mona", "Nils",  "Olga",  "Paul",
                                  "Rosa", "Sam",  "Tina",  "Uwe",   "Vera", "Will",  "Xenia", "Yusuf"};
constexpr const char* kCities[] = {"Aberdeen", "Bergen", "Cordoba", "Dresden", "Evora",   "Florence",
                                   "Ghent",    "Halifax", "Izmir",  "Kaunas",  "Leiden",  "Malmo",
                                   "Nantes",   "Oulu",    "Porto",  "Riga",    "Salzburg", "Turku"};
constexpr const char* kStreets[] = {"Harbour Road", "Mill Lane", "Church Street", "Station Road", "High Street",
                                    "Park Avenue",  "Elm Row",   "Quay Side",     "Market Square", "Bridge End"};

template <class T, size_t N>
const char* Pick(Random& r, const T (&list)[N]) {
  return list[r(uint32_t(N))];
}

Value Field(const char* name, const char* type, int len, int dec) {
  return Value(NewArray({Value(name), Value(type), Value(len), Value(dec)}));
}

class ColWindow : public TWindow {
 public:
  const char* ClassName() const override { return "TCOLWINDOW"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  Value Timer(WPARAM nTimerId, LPARAM) override {
    if (nTimerId != kStartTimer) return Value();
    KillTimer(hWnd, kStartTimer);
    TWindowPtr keep = Self();
    if (OpenTable() && hWnd) BuildBrowse();
    return Value(0);
  }

 private:
  void Progress(const std::string& text) {
    SetText(std::string(kTitle) + " - " + text);
    SYSREFRESH();  // paints, and lets the window be closed meanwhile
  }

  // Writes the customers to a file of their own and gives it the table's
  // name only when all are in, so that a first run cut short leaves no
  // half table behind.
  bool CreateTable() {
    DeleteFileA(kPartial);
    if (!DbCreate(kPartial, Value(NewArray({Field("ID", "N", 6, 0), Field("LAST", "C", 14, 0),
                                            Field("FIRST", "C", 10, 0), Field("CITY", "C", 12, 0),
                                            Field("BORN", "D", 8, 0), Field("BALANCE", "N", 9, 2),
                                            Field("PHONE", "C", 12, 0), Field("STREET", "C", 22, 0),
                                            Field("EMAIL", "C", 30, 0), Field("ORDERS", "N", 4, 0)}))))
      return false;
    if (!DbUseArea(true, "", kPartial, "NEWTABLE", false)) return false;
    Random r;
    Date earliest = MakeDate(1940, 1, 1);
    bool done = true;
    for (int n = 1; n <= kRecords; ++n) {
      DbAppend();
      FieldPut(1, Value(n));
      std::string last = std::string(Pick(r, kStems)) + Pick(r, kEnds), first = Pick(r, kFirst);
      FieldPut(2, Value(last));
      FieldPut(3, Value(first));
      FieldPut(4, Value(Pick(r, kCities)));
      FieldPut(5, Value(Date{earliest.julian + int32_t(r(25000))}));
      FieldPut(6, Value(double(r(10000000)) / 100.0, 2));
      char phone[16];
      std::snprintf(phone, sizeof phone, "555-%03u-%04u", r(1000), r(10000));
      FieldPut(7, Value(phone));
      FieldPut(8, Value(std::to_string(1 + r(200)) + " " + Pick(r, kStreets)));
      FieldPut(9, Value(Lower(first) + "." + Lower(last) + "@example.com"));
      FieldPut(10, Value(int(r(1000))));
      if (n % 2000 == 0) {
        Progress("creating the table, " + std::to_string(n * 100 / kRecords) + " %");
        if (!hWnd) {
          done = false;
          break;
        }
      }
    }
    DbCloseArea();
    if (!done || !MoveFileA(kPartial, kTable)) {
      DeleteFileA(kPartial);
      return false;
    }
    return true;
  }

  bool OpenTable() {
    if (GetFileAttributesA(kTable) == INVALID_FILE_ATTRIBUTES && !CreateTable()) return false;
    if (!hWnd || !DbUseArea(true, "", kTable, kAlias, false)) return false;
    Progress("building the orders");
    OrdCreate("BYLAST", "UPPER(LAST)");
    OrdCreate("BYBALANCE", "BALANCE");
    OrdSetFocus(0);
    DbGoTop();
    return true;
  }

  static SetGet FieldBlock(int pos) {
    return [pos](std::optional<Value> v) { return InAlias(kAlias, [&] { return v ? FieldPut(pos, *v) : FieldGet(pos); }); };
  }

  TCColumnPtr Column(TCColumnParams p, int width) {
    auto col = TCColumn::New(p);
    col->nWidth = width;
    return brw->AddColumn(col);
  }

  void BuildBrowse() {
    brw = TCBrowse::New({.oWnd = Self(), .oFont = oFont, .cAlias = std::string(kAlias)});
    auto frozen = [](int, int) { return Value(int64_t(RGB(236, 240, 250))); };
    Column({.cHeading = "No.", .bData = FieldBlock(1), .cPicture = "999999", .bClrBack = frozen, .cAlign = Value("RIGHT")},
           60);
    Column({.cHeading = "Last name", .bData = FieldBlock(2), .bClrBack = frozen, .cOrder = "BYLAST"}, 120);
    Column({.cHeading = "First name", .bData = FieldBlock(3)}, 100);
    Column({.cHeading = "City", .bData = FieldBlock(4)}, 120);
    Column({.cHeading = "Born", .bData = FieldBlock(5), .cAlign = Value("CENTER")}, 90);
    Column({.cHeading = "Balance",
            .bData = FieldBlock(6),
            .cPicture = "99,999.99",
            // Large balances in green.
            .bClrFore = [](int, int) {
              double balance = InAlias(kAlias, [] { return FieldGet(6); }).AsNumber();
              return Value(int64_t(balance >= 90000 ? RGB(0, 128, 0) : RGB(0, 0, 0)));
            },
            .cAlign = Value("RIGHT"),
            .cOrder = "BYBALANCE"},
           100);
    Column({.cHeading = "Phone", .bData = FieldBlock(7)}, 110);
    Column({.cHeading = "Street", .bData = FieldBlock(8)}, 150);
    Column({.cHeading = "E-mail", .bData = FieldBlock(9)}, 220);
    Column({.cHeading = "Orders", .bData = FieldBlock(10), .cAlign = Value("RIGHT")}, 60);
    brw->nFreeze = 2;
    brw->nOClrBackHead = RGB(255, 200, 0);
    brw->nOClrForeHead = RGB(128, 0, 0);
    brw->bChange = [this](TWBrowse&) { ShowState(); };
    brw->bSeekChange = [this](TCBrowse&) { ShowState(); };
    brw->Default();  // the columns are in: widths, bars and the first sorting column
    brw->GoTop();
    oClient = brw;
    brw->AdjClient();
    brw->SetFocus();
    ShowState();
  }

  // "<title> - <order> [<search>] - <position> of <count>: <no.> <last name> <balance>"
  void ShowState() {
    if (!brw || !hWnd) return;
    std::string order = brw->nColOrder > 0 ? brw->aColumns[size_t(brw->nColOrder - 1)]->cHeading : "natural order";
    std::string text = InAlias(kAlias, [&] {
      return std::to_string(OrdKeyNo()) + " of " + std::to_string(OrdKeyCount()) + ": " + StrZero(FieldGet(1), 6) +
             " " + Trim(FieldGet(2).AsString()) + " " + AllTrim(Str(FieldGet(6), 9, 2));
    });
    SetText(std::string(kTitle) + " - " + order + " [" + Trim(brw->cSeek) + "] - " + AllTrim(text));
  }

  TCBrowsePtr brw;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ErrorSys();
  {
    auto w = TWindow::NewAs<ColWindow>({.nTop = 40, .nLeft = 40, .nBottom = 40 + 600, .nRight = 40 + 900,
                                        .cTitle = std::string(kTitle) + " - opening the table", .lPixel = true});
    SetTimer(w->hWnd, kStartTimer, 100, nullptr);
    w->Activate({.cShow = "NORMAL"});
  }
  DbCloseAll();
  FREERESOURCES();
  return 0;
}
