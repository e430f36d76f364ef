// The standard pull-downs: File, Edit, Help and the multiple-document
// Window menu. Their actions act on the window that shows the menu.
#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <vector>

#include "classes/mdiframe.h"
#include "classes/menu.h"
#include "native/dispatch.h"
#include "rt/strings.h"
#include "rt/value.h"

namespace nx {

namespace {

// The window of the menu the pull-down was added to, when the action runs.
using WindowOf = std::function<TWindowPtr()>;

WindowOf Owner(TMenu& m) {
  std::weak_ptr<TMenu> menu = m.Self();
  return [menu] {
    TMenuPtr locked = menu.lock();
    return locked ? locked->Window() : nullptr;
  };
}

// One of the window's editing commands (a frame passes it to its active
// document window).
MenuAction Hook(WindowOf owner, Block TWindow::*hook) {
  return [owner, hook](TMenuItem&) {
    if (TWindowPtr w = owner()) w->EditCommand(hook);
  };
}

// A bitmap resource of the program by that name, when there is one.
std::string Res(const char* cName) {
  return FindResourceA(GetModuleHandleA(nullptr), cName, MAKEINTRESOURCEA(2)) ? cName : std::string();
}

// The multiple-document client window of the frame, and how many document
// windows it holds.
HWND MdiClient(const TWindowPtr& w) {
  if (!w || !w->hWnd) return nullptr;
  for (HWND h = GetWindow(w->hWnd, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (lstrcmpiA(GETCLASSNAME(h).c_str(), "MDICLIENT") == 0) return h;
  return nullptr;
}

int MdiChildren(HWND hClient) {
  int n = 0;
  for (HWND h = hClient ? GetWindow(hClient, GW_CHILD) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT))
    if (!GetWindow(h, GW_OWNER)) ++n;  // icon titles of old systems are owned
  return n;
}

}  // namespace

void TMenu::AddFile() {
  WindowOf owner = Owner(*this);
  MENUADDITEM({.cPrompt = "&File"});
  MENUBEGIN();
  MENUADDITEM({.cPrompt = "&New...\tCtrl+N", .cMsg = "Creates a new file", .nVKState = FCONTROL, .nVirtKey = 'N'});
  MENUADDITEM({.cPrompt = "&Open...\tCtrl+O", .cMsg = "Open an existing file", .nVKState = FCONTROL, .nVirtKey = 'O'});
  MENUADDITEM({.cPrompt = "&Save\tCtrl+S", .cMsg = "Saves the active file", .nVKState = FCONTROL, .nVirtKey = 'S'});
  MENUADDITEM({.cPrompt = "Save &as...\tAlt+A",
               .cMsg = "Saves the active file under a new name",
               .nVKState = FALT,
               .nVirtKey = 'A'});
  MENUADDITEM({.cPrompt = "Save al&l", .cMsg = "Saves all open files"});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "&Print...\tCtrl+P",
               .cMsg = "Prints the active file",
               .bAction = Hook(owner, &TWindow::bPrint),
               .nVKState = FCONTROL,
               .nVirtKey = 'P'});
  MENUADDITEM({.cPrompt = "P&rinter Setup...\tAlt+P",
               .cMsg = "Select and setup the printer",
               .bAction =
                   [owner](TMenuItem&) {
                     PRINTDLGA pd{};
                     pd.lStructSize = sizeof pd;
                     TWindowPtr w = owner();
                     pd.hwndOwner = w ? w->hWnd : nullptr;
                     pd.Flags = PD_PRINTSETUP;
                     if (PrintDlgA(&pd)) {
                       if (pd.hDevMode) GlobalFree(pd.hDevMode);
                       if (pd.hDevNames) GlobalFree(pd.hDevNames);
                     }
                   },
               .nVKState = FALT,
               .nVirtKey = 'P'});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "&Exit...\tAlt+F4", .cMsg = "Quits this application", .bAction = [owner](TMenuItem&) {
                 if (TWindowPtr w = owner()) w->End();
               }});
  MENUEND();
}

void TMenu::AddEdit() {
  WindowOf owner = Owner(*this);
  MENUADDITEM({.cPrompt = "&Edit"});
  MENUBEGIN();
  MENUADDITEM({.cPrompt = "&Undo\tCtrl+Z",
               .cMsg = "Undoes the last action",
               .bAction = Hook(owner, &TWindow::bUnDo),
               .cResName = Res("UnDo")});
  MENUADDITEM({.cPrompt = "&Redo\tCtrl+A",
               .cMsg = "Redoes the previously undone action",
               .bAction = Hook(owner, &TWindow::bReDo),
               .cResName = Res("ReDo")});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "Cu&t\tCtrl+X",
               .cMsg = "Removes the selection and puts it on the Clipboard",
               .bAction = Hook(owner, &TWindow::bCut),
               .cResName = Res("Cut")});
  MENUADDITEM({.cPrompt = "&Copy\tCtrl+C",
               .cMsg = "Copies the selection and puts it on the Clipboard",
               .bAction = Hook(owner, &TWindow::bCopy),
               .cResName = Res("Copy")});
  MENUADDITEM({.cPrompt = "&Paste\tCtrl+V",
               .cMsg = "Insert Clipboard contents at the insertion point",
               .bAction = Hook(owner, &TWindow::bPaste),
               .cResName = Res("Paste"),
               .bWhen = [](TMenuItem&) { return Value(CountClipboardFormats() > 0); }});
  MENUADDITEM({.cPrompt = "&Delete\tDel",
               .cMsg = "Erases the selection",
               .bAction = Hook(owner, &TWindow::bDelete),
               .cResName = Res("Delete")});
  MENUADDITEM({.cPrompt = "&Select All", .cMsg = "Selects the entire document", .bAction = Hook(owner, &TWindow::bSelectAll)});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "&Find...\tCtrl+F",
               .cMsg = "Finds the specified text",
               .bAction = Hook(owner, &TWindow::bFind),
               .cResName = Res("Find"),
               .nVKState = FCONTROL,
               .nVirtKey = 'F'});
  MENUADDITEM({.cPrompt = "Find &Next\tF3", .cMsg = "Repeats the last find", .bAction = Hook(owner, &TWindow::bFindNext)});
  MENUADDITEM({.cPrompt = "R&eplace...\tCtrl+H",
               .cMsg = "Replace specific text with different text",
               .bAction = Hook(owner, &TWindow::bReplace)});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "Pr&operties\tAlt+Enter",
               .cMsg = "Edits properties of the current selection",
               .bAction = Hook(owner, &TWindow::bProperties),
               .cResName = Res("Properties")});
  MENUEND();
}

void TMenu::AddHelp(const Value& xAbout, const std::string& cNote) {
  WindowOf owner = Owner(*this);
  auto help = [owner](TMenuItem&) {
    if (TWindowPtr w = owner()) w->HelpTopic();
  };
  MENUADDITEM({.cPrompt = "&Help"});
  MENUBEGIN();
  MENUADDITEM({.cPrompt = "&Contents", .cMsg = "Show the help contents", .bAction = help, .cResName = Res("Contents")});
  MENUADDITEM({.cPrompt = "&Search for Help on...\tF1",
               .cMsg = "Search the help for a specific item",
               .bAction = help,
               .cResName = Res("SearchHelp")});
  MENUADDITEM({.cPrompt = "Using &help", .cMsg = "Show the help index", .bAction = help});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "&About...",
               .cMsg = "Displays program information and copyright",
               .bAction =
                   [owner, xAbout, cNote](TMenuItem&) {
                     if (xAbout.IsBlock()) {
                       xAbout.Eval();
                       return;
                     }
                     TWindowPtr w = owner();
                     const std::string title = "About " + cValToChar(xAbout);
                     MessageBoxA(w ? w->hWnd : nullptr, (cValToChar(xAbout) + "\r\n" + cNote).c_str(), title.c_str(),
                                 MB_OK | MB_ICONINFORMATION);
                   },
               .cResName = Res("about")});
  MENUEND();
}

void TMenu::AddMdi() {
  WindowOf owner = Owner(*this);
  // A frame object does it itself (Close All asks each document window);
  // any other window's MDI client gets the platform's message.
  auto frameOf = [owner] { return std::dynamic_pointer_cast<TMdiFrame>(owner()); };
  auto send = [owner, frameOf](UINT nMsg, WPARAM w, std::function<void(TMdiFrame&)> viaFrame) {
    return [owner, frameOf, nMsg, w, viaFrame](TMenuItem&) {
      if (auto frame = frameOf()) viaFrame(*frame);
      else if (HWND client = MdiClient(owner())) SendMessageA(client, nMsg, w, 0);
    };
  };
  auto atLeast = [owner](int n) {
    return [owner, n](TMenuItem&) { return Value(MdiChildren(MdiClient(owner())) >= n); };
  };
  auto each = [owner, frameOf](std::function<void(HWND)> fn, std::function<void(TMdiFrame&)> viaFrame) {
    return [owner, frameOf, fn, viaFrame](TMenuItem&) {
      if (auto frame = frameOf()) {
        viaFrame(*frame);
        return;
      }
      std::vector<HWND> children;
      HWND client = MdiClient(owner());
      for (HWND h = client ? GetWindow(client, GW_CHILD) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT))
        if (!GetWindow(h, GW_OWNER)) children.push_back(h);
      for (HWND h : children)
        if (IsWindow(h)) fn(h);
    };
  };
  MENUADDITEM({.cPrompt = "&Window"});
  MENUBEGIN();
  MENUADDITEM({.cPrompt = "&Tile Vertical",
               .cMsg = "Vertical arranges the windows as nonoverlapping tiles",
               .bAction = send(WM_MDITILE, MDITILE_VERTICAL, [](TMdiFrame& f) { f.Tile(); }),
               .bWhen = atLeast(1)});
  MENUADDITEM({.cPrompt = "&Tile Horizontal",
               .cMsg = "Horizontal arranges the windows as nonoverlapping tiles",
               .bAction = send(WM_MDITILE, MDITILE_HORIZONTAL, [](TMdiFrame& f) { f.Tile(true); }),
               .bWhen = atLeast(1)});
  MENUADDITEM({.cPrompt = "&Cascade",
               .cMsg = "Arranges the windows so they overlap",
               .bAction = send(WM_MDICASCADE, 0, [](TMdiFrame& f) { f.Cascade(); }),
               .bWhen = atLeast(1)});
  MENUADDITEM({.cPrompt = "&Next Window\tCtrl+F6",
               .cMsg = "Selects the next window",
               .bAction = send(WM_MDINEXT, 0, [](TMdiFrame& f) { f.NextWindow(); }),
               .bWhen = atLeast(2)});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "&Arrange Icons",
               .cMsg = "Arrange icons at the bottom of the window",
               .bAction = send(WM_MDIICONARRANGE, 0, [](TMdiFrame& f) { f.ArrangeIcons(); }),
               .bWhen = atLeast(1)});
  MENUADDITEM({.cPrompt = "&Iconize All",
               .cMsg = "Iconize all open windows",
               .bAction = each([](HWND h) { ShowWindow(h, SW_MINIMIZE); }, [](TMdiFrame& f) { f.IconizeAll(); }),
               .bWhen = atLeast(1)});
  MENUADDITEM({.cPrompt = "C&lose All",
               .cMsg = "Close all open windows",
               .bAction = each([](HWND h) { SendMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0); }, [](TMdiFrame& f) { f.CloseAll(); }),
               .bWhen = atLeast(1)});
  MENUEND();
}

}  // namespace nx
