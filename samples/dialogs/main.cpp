// The dialogs sample: a main window with buttons that open two dialogs, one
// built in code (a book order) and one from the program's resources (the
// settings). Each binds its simple controls to the program's variables; the
// main window shows the values after OK and keeps them after Cancel.
//
// With NX_DIALOGS_PROBE set to a file name the program also writes the texts
// its summary labels show there after each dialog (the end-to-end check
// reads them).
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "classes/button.h"
#include "classes/checkbox.h"
#include "classes/dialog.h"
#include "classes/font.h"
#include "classes/group.h"
#include "classes/radio.h"
#include "classes/say.h"
#include "classes/setget.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "resource.h"

using namespace nx;

namespace {

struct Order {
  int nSize = 2;  // 1 small, 2 medium, 3 large
  bool lGift = false;
  bool lExpress = false;
};

struct Settings {
  bool lSound = false;
  int nColour = 1;  // 1 red, 2 green, 3 blue
};

const char* const kSizes[] = {"small", "medium", "large"};
const char* const kColours[] = {"red", "green", "blue"};

std::string Pick(const char* const* names, int n) { return n >= 1 && n <= 3 ? names[n - 1] : "?"; }

int Price(const Order& o) { return 12 + 4 * (o.nSize - 1) + (o.lGift ? 3 : 0) + (o.lExpress ? 7 : 0); }

std::string OrderText(const Order& o) {
  return "Order: " + Pick(kSizes, o.nSize) + " book, " + (o.lGift ? "gift wrapped" : "no gift wrap") + ", " +
         (o.lExpress ? "express" : "standard") + " post, " + std::to_string(Price(o)) + " EUR";
}

std::string SettingsText(const Settings& s) {
  return std::string("Settings: sound ") + (s.lSound ? "on" : "off") + ", colour " + Pick(kColours, s.nColour);
}

// The book order, in a dialog whose controls are built here in code.
bool EditOrder(Order& order, const TWindowPtr& owner, const std::shared_ptr<TFont>& font) {
  Order edit = order;  // the dialog works on a copy: Cancel leaves the order as it was
  auto dlg = TDialog::New({.cCaption = "Order", .oWnd = owner, .oFont = font, .nWidth = 330, .nHeight = 228});
  TSay::New({.nRow = 14, .nCol = 16, .cText = "How should the book be sent?", .oWnd = dlg, .lPixels = true});
  auto price = TSay::New({.nRow = 166, .nCol = 16,
                          .bText = [&] { return Value("Price: " + std::to_string(Price(edit)) + " EUR"); },
                          .oWnd = dlg, .lPixels = true, .nWidth = 140});
  auto reprice = [&] { price->Refresh(); };
  TGroup::New({.nTop = 40, .nLeft = 12, .nBottom = 150, .nRight = 150, .cLabel = "Size", .oWnd = dlg,
               .lPixel = true});
  TRadMenu::New({.nRow = 62, .nCol = 16, .acItems = {"&Small", "&Medium", "&Large"}, .bSetGet = BindVar(edit.nSize),
                 .oWnd = dlg, .bChange = [&](TRadMenu&) { reprice(); }, .nWidth = 110, .nHeight = 26,
                 .lPixel = true});
  TCheckBox::New({.nRow = 52, .nCol = 170, .cCaption = "&Gift wrap", .bSetGet = BindVar(edit.lGift), .oWnd = dlg,
                  .nWidth = 140, .bChange = [&](bool, TCheckBox&) { reprice(); }, .lPixel = true});
  TCheckBox::New({.nRow = 82, .nCol = 170, .cCaption = "&Express post", .bSetGet = BindVar(edit.lExpress),
                  .oWnd = dlg, .nWidth = 140, .bChange = [&](bool, TCheckBox&) { reprice(); }, .lPixel = true});
  TButton::New({.nRow = 186, .nCol = 134, .cCaption = "OK", .oWnd = dlg,
                .bAction = [](TButton& b) { ToDialog(b)->End(IDOK); }, .nWidth = 82, .nHeight = 26,
                .lDefault = true, .lPixel = true});
  TButton::New({.nRow = 186, .nCol = 226, .cCaption = "Cancel", .oWnd = dlg,
                .bAction = [](TButton& b) { ToDialog(b)->End(IDCANCEL); }, .nWidth = 82, .nHeight = 26,
                .lPixel = true});
  dlg->Activate({.lCentered = true});
  if (dlg->nResult != Value(IDOK)) return false;
  order = edit;
  return true;
}

// The settings, in a dialog of the program's resources: each control object
// is bound to its item.
bool EditSettings(Settings& settings, const TWindowPtr& owner, const std::string& cUser) {
  Settings edit = settings;
  auto dlg = TDialog::New({.cResName = DialogTemplate(IDD_SETTINGS), .oWnd = owner});
  TSay::ReDefine({.nId = ID_GREETING, .bText = [&] { return Value("Hello, " + cUser + "!"); }, .oWnd = dlg});
  TCheckBox::ReDefine({.nId = ID_SOUND, .bSetGet = BindVar(edit.lSound), .oWnd = dlg});
  TGroup::ReDefine({.nId = ID_FRAME, .oWnd = dlg});
  TRadMenu::Redefine({.bSetGet = BindVar(edit.nColour), .oWnd = dlg, .acItems = {ID_RED, ID_GREEN, ID_BLUE}});
  dlg->Activate({.lCentered = true});
  if (dlg->nResult != Value(IDOK)) return false;
  settings = edit;
  return true;
}

void Probe(const TSayPtr& a, const TSayPtr& b) {
  const char* file = std::getenv("NX_DIALOGS_PROBE");
  if (!file || !*file) return;
  std::ofstream out(file, std::ios::app);
  out << a->GetText() << "\n" << b->GetText() << "\n";
}

void Main() {
  Order order;
  Settings settings;
  auto font = TFont::New({.cFaceName = "MS Shell Dlg", .nHeight = -13});
  auto w = TWindow::New({.nTop = 40, .nLeft = 80, .nBottom = 499, .nRight = 679, .cTitle = "Dialogs sample",
                         .lMax = false, .lPixel = true});
  w->SetFont(font);
  TSay::New({.nRow = 12, .nCol = 20, .cText = "What the dialogs left:", .lPixels = true, .nHeight = 18});
  auto orderSay = TSay::New({.nRow = 38, .nCol = 20, .bText = [&] { return Value(OrderText(order)); },
                             .lPixels = true, .nWidth = 460, .nHeight = 18, .lUpdate = true});
  auto settingsSay = TSay::New({.nRow = 60, .nCol = 20, .bText = [&] { return Value(SettingsText(settings)); },
                                .lPixels = true, .nWidth = 460, .nHeight = 18, .lUpdate = true});
  auto shown = [&] {
    w->Update();
    Probe(orderSay, settingsSay);
  };
  TButton::New({.nRow = 380, .nCol = 20, .cCaption = "&Order...",
                .bAction = [&](TButton&) {
                  EditOrder(order, w, font);
                  shown();
                },
                .nWidth = 120, .nHeight = 30, .lPixel = true});
  TButton::New({.nRow = 380, .nCol = 152, .cCaption = "&Settings...",
                .bAction = [&](TButton&) {
                  EditSettings(settings, w, "reader");
                  shown();
                },
                .nWidth = 120, .nHeight = 30, .lPixel = true});
  TButton::New({.nRow = 380, .nCol = 460, .cCaption = "E&xit", .bAction = [&](TButton&) { w->End(); },
                .nWidth = 100, .nHeight = 30, .lPixel = true});
  Probe(orderSay, settingsSay);
  font->End();  // the windows hold their own uses
  w->Activate();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ErrorSys();
  Main();
  FREERESOURCES();
  return 0;
}
