// A window with a button bar: New, Open and Save; a group with Cut and
// Copy; a group with a Colours button whose arrow drops a menu; and a Bold
// button latched down, which does nothing while it stays down. Below the
// bar, a bitmap push button with its caption under the picture; at the
// bottom, a message bar with the buttons' messages, the lock keys and the
// clock. Every action names itself in the window's caption and label, and
// the caption counts the actions run.
#include <windows.h>

#include <string>

#include "classes/bar.h"
#include "classes/buttonbmp.h"
#include "classes/font.h"
#include "classes/menu.h"
#include "classes/msgbar.h"
#include "classes/window.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "native/draw.h"

using namespace nx;

namespace {

constexpr const char* kTitle = "Novaxis toolbar";

class Sample {
 public:
  void Run() {
    wnd_ = TWindow::New({.nTop = 60, .nLeft = 80, .nBottom = 380, .nRight = 620, .cTitle = kTitle, .lPixel = true});
    wnd_->bPainted = [this](HDC hDC, const std::string&, TWindow& w) {
      WSAY(w.hWnd, hDC, 130, 30, label_, RGB(0, 0, 96), w.nClrPane, w.GetFont()->hFont, true);
      WSAY(w.hWnd, hDC, 160, 30, "Right-click the bar to move it.", RGB(96, 96, 96), w.nClrPane,
           w.GetFont()->hFont, true);
      return Value();
    };
    auto bar = TBar::New({.oWnd = wnd_, .l3D = true});
    Button(bar, "NEW", "New", "Starts a new document");
    Button(bar, "OPEN", "Open", "Opens a document");
    Button(bar, "SAVE", "Save", "Saves the document");
    Button(bar, "CUT", "Cut", "Cuts the selection", true);
    Button(bar, "COPY", "Copy", "Copies the selection");
    MENUBEGIN(true);
    MENUADDITEM({.cPrompt = "&Red", .bAction = [this](TMenuItem&) { Show("Red"); }});
    MENUADDITEM({.cPrompt = "&Green", .bAction = [this](TMenuItem&) { Show("Green"); }});
    MENUADDITEM({.cPrompt = "&Blue", .bAction = [this](TMenuItem&) { Show("Blue"); }});
    auto colours = MENUEND();
    TBtnBmp::NewBar({.cResName1 = "COLOURS",
                     .cMsg = "Picks a colour",
                     .bAction = [this](TBtnBmp&) { Show("Colours"); },
                     .lGroup = true,
                     .oBar = bar,
                     .cToolTip = Value("Colours"),
                     .oPopup = colours});
    // Latched down: clicking it runs nothing until the program lets it up.
    TBtnBmp::NewBar({.cResName1 = "BOLD",
                     .bAction = [this](TBtnBmp&) { Show("Bold"); },
                     .lGroup = true,
                     .oBar = bar,
                     .lPressed = true});
    // The message bar: the buttons' messages, the lock keys and the clock.
    TMsgBar::New({.oWnd = wnd_, .cMsg = "Ready", .lClock = true, .lKbd = true});
    TButtonBmp::New({.nRow = 50,
                     .nCol = 30,
                     .cCaption = "&Time",
                     .oWnd = wnd_,
                     .bAction = [this](TButton&) { Show("Time"); },
                     .nWidth = 80,
                     .nHeight = 56,
                     .lPixel = true,
                     .cBitmap = "CLOCK",
                     .cPosText = "TEXTBOTTOM"});
    wnd_->Activate();
  }

 private:
  void Button(const TBarPtr& bar, const char* res, const std::string& name, const std::string& msg,
              bool group = false) {
    TBtnBmp::NewBar({.cResName1 = res,
                     .cMsg = msg,
                     .bAction = [this, name](TBtnBmp&) { Show(name); },
                     .lGroup = group,
                     .oBar = bar,
                     .cToolTip = Value(name)});
  }

  // The caption names the action and counts the actions run so far.
  void Show(const std::string& text) {
    label_ = "Clicked: " + text;
    wnd_->SetText(std::string(kTitle) + " - " + text + " (" + std::to_string(++actions_) + ")");
    wnd_->Refresh();
  }

  TWindowPtr wnd_;
  std::string label_ = "Click a button.";
  int actions_ = 0;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ErrorSys();
  Sample().Run();
  FREERESOURCES();
  return 0;
}
