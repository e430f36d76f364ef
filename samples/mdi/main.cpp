// A multiple-document frame: "Tables > New table" (Ctrl+N) opens a document
// window over a 1000-row table, the Window menu tiles, cascades, switches
// and closes them, and each browse scrolls, drags and flings on its own.
// The frame's caption counts the open tables and names the last browse
// that moved with its top row.
#include <windows.h>

#include <string>
#include <vector>

#include "classes/mdichild.h"
#include "classes/mdiclien.h"
#include "classes/mdiframe.h"
#include "classes/menu.h"
#include "classes/wbrowse.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "rt/strings.h"

using namespace nx;

namespace {

constexpr const char* kTitle = "Novaxis MDI";

// 1000 rows of 8 strings: "Row: 0001", "Col2:0001" ... "Col8:0001".
ArrayPtr Table() {
  static constexpr const char* kPrefixes[] = {"Row: ", "Col2:", "Col3:", "Col4:", "Col5:", "Col6:", "Col7:", "Col8:"};
  auto table = NewArray();
  for (int n = 1; n <= 1000; ++n) {
    const std::string number = StrZero(Value(n), 4);
    auto row = NewArray();
    for (const char* prefix : kPrefixes) AAdd(row, Value(prefix + number));
    AAdd(table, Value(row));
  }
  return table;
}

class Sample {
 public:
  void Run() {
    frame_ = TMdiFrame::New({.cTitle = kTitle, .oMenu = Bar()});
    // Three tables from the start would be frame_->bInit's job; the
    // end-to-end check opens them with the keyboard instead.
    Status();
    frame_->Activate({.cShow = "MAXIMIZED"});
  }

 private:
  TMenuPtr Bar() {
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "&Tables"});
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "&New table\tCtrl+N",
                 .cMsg = "Opens a window over a new table",
                 .bAction = [this](TMenuItem&) { NewTable(); },
                 .nVKState = FCONTROL,
                 .nVirtKey = 'N'});
    MENUADDITEM();
    MENUADDITEM({.cPrompt = "E&xit", .cMsg = "Closes every table and the program", .bAction = [this](TMenuItem&) {
                   frame_->End();
                 }});
    MENUEND();
    TMenuPtr bar = LASTMENU();
    bar->AddMdi();
    bar->AddHelp(Value(kTitle));
    return MENUEND();
  }

  void NewTable() {
    TMdiChildPtr child = frame_->ChildNew();
    if (!child) return;
    ArrayPtr table = Table();
    auto brw = TWBrowse::New({.bLine = [](TWBrowse&) { return Array(7, Value("")); },
                              .aColSizes = std::vector<int>{100, 100, 100, 100, 100, 100, 100},
                              .oWnd = child,
                              .lPixel = true});
    brw->bLine = [table](TWBrowse& b) {
      ArrayPtr row = AGet(table, size_t(b.nAtRow())).AsArray();
      Array values;
      for (size_t c = 1; c <= 7; ++c) values.push_back(AGet(row, c));
      return values;
    };
    brw->SetArray(table);
    std::weak_ptr<TMdiChild> weak = child;
    brw->bChange = [this, weak](TWBrowse& b) {
      if (auto c = weak.lock()) moved_ = c->cCaption + " top row " + std::to_string(b.nAtRow() - b.nRowPos + 1);
      Status();
    };
    // The count goes down as each window goes.
    child->bValid = [this](TWindow&) {
      --open_;
      moved_.clear();
      Status();
      return true;
    };
    child->SetControl(brw);
    ++open_;
    Status();
  }

  void Status() {
    std::string text = std::string(kTitle) + " - " + std::to_string(open_) + (open_ == 1 ? " table" : " tables");
    if (!moved_.empty()) text += " - " + moved_;
    frame_->SetText(text);
  }

  TMdiFramePtr frame_;
  int open_ = 0;
  std::string moved_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ErrorSys();
  Sample().Run();
  FREERESOURCES();
  return 0;
}
