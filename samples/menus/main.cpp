// A window with a menu bar (File, Edit with accelerators, Options with a
// check-mark item) and a pop-up menu in the 2007 look on the right button.
// Every action says what it did in the window's label and caption.
#include <windows.h>

#include <string>

#include "classes/font.h"
#include "classes/menu.h"
#include "classes/window.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "native/draw.h"

using namespace nx;

namespace {

constexpr const char* kTitle = "Novaxis menus";

class Sample {
 public:
  void Run() {
    wnd_ = TWindow::New({.nTop = 60, .nLeft = 80, .nBottom = 420, .nRight = 660, .cTitle = kTitle,
                         .oMenu = BuildBar(), .lPixel = true});
    wnd_->bPainted = [this](HDC hDC, const std::string&, TWindow& w) {
      WSAY(w.hWnd, hDC, 40, 40, label_, RGB(0, 0, 96), w.nClrPane, w.GetFont()->hFont, true);
      WSAY(w.hWnd, hDC, 80, 40, "Right-click for the pop-up menu.", RGB(96, 96, 96), w.nClrPane,
           w.GetFont()->hFont, true);
      return Value();
    };
    wnd_->bRClicked = [this](int nRow, int nCol, int, TWindow& w) {
      Popup()->Activate(nRow, nCol, w.Self());
      return Value();
    };
    wnd_->Activate();
  }

 private:
  // An action that reports its item.
  MenuAction Say(const std::string& text) {
    return [this, text](TMenuItem&) { Show(text); };
  }

  void Show(const std::string& text) {
    label_ = text;
    wnd_->SetText(std::string(kTitle) + " - " + text);
    wnd_->Refresh();
  }

  TMenuPtr BuildBar() {
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "&File"});
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "&New\tCtrl+N", .bAction = Say("New"), .nVKState = FCONTROL, .nVirtKey = 'N'});
    MENUADDITEM({.cPrompt = "&Open...\tCtrl+O", .bAction = Say("Open"), .nVKState = FCONTROL, .nVirtKey = 'O'});
    MENUADDITEM();
    MENUADDITEM({.cPrompt = "E&xit", .bAction = [this](TMenuItem&) { wnd_->End(); }});
    MENUEND();
    MENUADDITEM({.cPrompt = "&Edit"});
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "Cu&t\tCtrl+X",
                 .bAction = [this](TMenuItem&) { Clip("Cut"); },
                 .nVKState = FCONTROL,
                 .nVirtKey = 'X'});
    MENUADDITEM({.cPrompt = "&Copy\tCtrl+C",
                 .bAction = [this](TMenuItem&) { Clip("Copy"); },
                 .nVKState = FCONTROL,
                 .nVirtKey = 'C'});
    // Enabled once something was cut or copied.
    MENUADDITEM({.cPrompt = "&Paste\tCtrl+V",
                 .bAction = Say("Paste"),
                 .nVKState = FCONTROL,
                 .nVirtKey = 'V',
                 .bWhen = [this](TMenuItem&) { return Value(clipped_); }});
    MENUEND();
    MENUADDITEM({.cPrompt = "&Options"});
    MENUBEGIN();
    MENUADDITEM({.cPrompt = "&Word wrap", .lChecked = true, .bAction = [this](TMenuItem& item) {
                   item.SetCheck(!item.lChecked);
                   Show(item.lChecked ? "Word wrap on" : "Word wrap off");
                 }});
    MENUEND();
    return MENUEND();
  }

  void Clip(const std::string& text) {
    clipped_ = true;
    Show(text);
  }

  // Built for each right click and ended when it closes.
  TMenuPtr Popup() {
    MENUBEGIN(true, false, nullptr, true);
    MENUADDITEM({.cPrompt = "&Red", .bAction = Colour("Red", RGB(255, 220, 220))});
    MENUADDITEM({.cPrompt = "&Green", .bAction = Colour("Green", RGB(220, 255, 220))});
    MENUADDITEM({.cPrompt = "&Blue", .bAction = Colour("Blue", RGB(220, 230, 255))});
    MENUADDITEM();
    MENUADDITEM({.cPrompt = "&Paste\tCtrl+V", .bAction = Say("Paste"), .bWhen = [this](TMenuItem&) {
                   return Value(clipped_);
                 }});
    return MENUEND();
  }

  MenuAction Colour(const std::string& name, COLORREF rgb) {
    return [this, name, rgb](TMenuItem&) {
      wnd_->SetColor(wnd_->nClrText, rgb);
      Show(name);
    };
  }

  TWindowPtr wnd_;
  std::string label_ = "Choose a menu item";
  bool clipped_ = false;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ErrorSys();
  Sample().Run();
  FREERESOURCES();
  return 0;
}
