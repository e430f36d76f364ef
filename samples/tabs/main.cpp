// The tabs sample: a settings window whose folder has three pages of
// controls (General, Audio, Display). A click on a tab or Alt and the tab's
// underlined letter switches pages; every control keeps its value while its
// page is hidden. A tab strip along the bottom switches the window between
// changing the settings and an overview of them (the caption says which).
// Save writes the settings to "tabs.ini" (read back at the next start, the
// last page shown included), Cancel leaves the file alone.
//
// With NX_TABS_INI set, that file is used instead of "tabs.ini"; with
// NX_TABS_PROBE set to a file name, the program writes there the screen
// position of the middle of each of the folder's tabs and of the strip's
// once the window is open (the end-to-end check clicks them).
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "classes/button.h"
#include "classes/checkbox.h"
#include "classes/dialog.h"
#include "classes/folder.h"
#include "classes/font.h"
#include "classes/ini.h"
#include "classes/radio.h"
#include "classes/say.h"
#include "classes/setget.h"
#include "classes/tabs.h"
#include "classes/tget.h"
#include "errors/errors.h"
#include "native/dispatch.h"
#include "rt/strings.h"

using namespace nx;

namespace {

// The settings as the window edits them.
struct Settings {
  Value cName{std::string(24, ' ')};
  Value lRemember{true};
  Value lSounds{false}, lBeep{true};
  Value nSize{2};  // 1 small, 2 medium, 3 large
  int nPage = 1;   // the page shown last
};

// The window's layout in pixels: the folder on top (or the overview in its
// place), the buttons below it, the strip along the bottom.
constexpr int kWidth = 420, kFolderHeight = 250, kButtonsTop = kFolderHeight + 20;
constexpr int kHeight = kButtonsTop + 68;

void Load(TIni& ini, Settings& s) {
  ini.lAutoSet = false;
  s.cName = Value(PadR(ini.Get("General", "Name", Value(std::string())).AsString(), 24));
  s.lRemember = ini.Get("General", "Remember", s.lRemember);
  s.lSounds = ini.Get("Audio", "Sounds", s.lSounds);
  s.lBeep = ini.Get("Audio", "Beep", s.lBeep);
  s.nSize = ini.Get("Display", "Size", s.nSize);
  s.nPage = std::clamp(int(ini.Get("Window", "Page", Value(1)).AsInt()), 1, 3);
}

void Save(TIni& ini, const Settings& s) {
  ini.Set("General", "Name", Value(AllTrim(s.cName.AsString())));
  ini.Set("General", "Remember", s.lRemember);
  ini.Set("Audio", "Sounds", s.lSounds);
  ini.Set("Audio", "Beep", s.lBeep);
  ini.Set("Display", "Size", s.nSize);
  ini.Set("Window", "Page", Value(s.nPage));
}

void GeneralPage(const TDialogPtr& page, Settings& s) {
  TSay::New({.nRow = 23, .nCol = 16, .cText = "Name:", .oWnd = page, .lPixels = true, .nWidth = 60});
  TGet::New({.nRow = 20, .nCol = 80, .bSetGet = BindVar(s.cName), .oWnd = page, .nWidth = 220, .nHeight = 22,
             .lPixel = true});
  TCheckBox::New({.nRow = 56, .nCol = 80, .cCaption = "&Remember me", .bSetGet = BindVar(s.lRemember),
                  .oWnd = page, .nWidth = 200, .lPixel = true});
}

void AudioPage(const TDialogPtr& page, Settings& s) {
  TCheckBox::New({.nRow = 20, .nCol = 16, .cCaption = "&Play sounds", .bSetGet = BindVar(s.lSounds), .oWnd = page,
                  .nWidth = 200, .lPixel = true});
  TCheckBox::New({.nRow = 48, .nCol = 16, .cCaption = "&Beep on errors", .bSetGet = BindVar(s.lBeep), .oWnd = page,
                  .nWidth = 200, .lPixel = true});
}

void DisplayPage(const TDialogPtr& page, Settings& s) {
  TSay::New({.nRow = 20, .nCol = 16, .cText = "Text size:", .oWnd = page, .lPixels = true, .nWidth = 120});
  TRadMenu::New({.nRow = 44, .nCol = 24, .acItems = {"S&mall", "M&edium", "&Large"}, .bSetGet = BindVar(s.nSize),
                 .oWnd = page, .nWidth = 160, .nHeight = 24, .lPixel = true});
}

// What the overview shows.
std::string Overview(const Settings& s) {
  static const char* sizes[] = {"small", "medium", "large"};
  const int size = std::clamp(int(s.nSize.AsInt()), 1, 3);
  auto yesNo = [](const Value& v) { return std::string(v.AsLogical() ? "yes" : "no"); };
  return "Name: " + AllTrim(s.cName.AsString()) + "\r\nRemember me: " + yesNo(s.lRemember) +
         "\r\nPlay sounds: " + yesNo(s.lSounds) + "\r\nBeep on errors: " + yesNo(s.lBeep) +
         "\r\nText size: " + sizes[size - 1];
}

// The overview on one line, for the end-to-end check.
void ProbeOverview(std::string text) {
  const char* file = std::getenv("NX_TABS_PROBE");
  if (!file || !*file) return;
  for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "; ");
  std::ofstream(file, std::ios::app) << "overview " << text << "\n";
}

// Where each tab's middle is on the screen, for the end-to-end check.
void WriteProbe(const TFolder& folder, const TTabs& strip) {
  const char* file = std::getenv("NX_TABS_PROBE");
  if (!file || !*file) return;
  std::ofstream out(file);
  for (int i = 0; i < int(folder.aPrompts.size()); ++i) {
    RECT r{};
    SendMessageA(folder.hWnd, TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
    POINT mid{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(folder.hWnd, &mid);
    out << "tab " << i + 1 << " " << mid.x << " " << mid.y << "\n";
  }
  for (size_t i = 0; i < strip.aSizes.size(); ++i) {
    POINT mid{strip.aLeft[i] + 4 + strip.aSizes[i] / 2, 8};
    ClientToScreen(strip.hWnd, &mid);
    out << "strip " << i + 1 << " " << mid.x << " " << mid.y << "\n";
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ErrorSys();
  const char* env = std::getenv("NX_TABS_INI");
  auto ini = TIni::New(env && *env ? env : ".\\tabs.ini");
  Settings s;
  Load(*ini, s);

  auto font = TFont::New({.cFaceName = "MS Shell Dlg", .nHeight = -13});
  auto dlg = TDialog::New({.cCaption = "Settings", .oFont = font, .nWidth = kWidth, .nHeight = kHeight});
  auto folder = TFolder::New({.nTop = 10, .nLeft = 10, .aPrompts = {"&General", "&Audio", "&Display"}, .oWnd = dlg,
                              .nOption = s.nPage, .lPixel = true, .nWidth = kWidth - 26,
                              .nHeight = kFolderHeight, .oFont = font});
  GeneralPage(folder->aDialogs[0], s);
  AudioPage(folder->aDialogs[1], s);
  DisplayPage(folder->aDialogs[2], s);
  auto save = TButton::New({.nRow = kButtonsTop, .nCol = kWidth - 200, .cCaption = "&Save", .oWnd = dlg,
                .bAction = [](TButton& b) { ToDialog(b)->End(IDOK); }, .nWidth = 84, .nHeight = 26,
                .lDefault = true, .lPixel = true});
  TButton::New({.nRow = kButtonsTop, .nCol = kWidth - 106, .cCaption = "Cancel", .oWnd = dlg,
                .bAction = [](TButton& b) { ToDialog(b)->End(IDCANCEL); }, .nWidth = 84, .nHeight = 26,
                .lPixel = true, .lCancel = true});
  // The overview takes the folder's place while the strip shows it.
  auto overview = TSay::New({.nRow = 30, .nCol = 30, .oWnd = dlg, .oFont = font, .lPixels = true,
                             .nWidth = kWidth - 60, .nHeight = kFolderHeight - 40});
  auto strip = TTabs::New({.aPrompts = {"&Change", "&Overview"},
                           .bAction =
                               [&](int nOption, int, TTabs&) {
                                 const bool over = nOption == 2;
                                 if (over) {
                                   overview->SetText(Overview(s));
                                   ProbeOverview(Overview(s));
                                   // The focus stays on a control that shows.
                                   save->SetFocus();
                                   folder->Hide();
                                   overview->Show();
                                 } else {
                                   overview->Hide();
                                   folder->Show();
                                 }
                                 dlg->SetText(over ? "Settings - Overview" : "Settings");
                               },
                           .oWnd = dlg,
                           .lPixel = true,
                           .nWidth = kWidth});
  dlg->oBottom = strip;
  dlg->bStart = [&](TWindow&) {
    overview->Hide();
    strip->AdjBottom();
    WriteProbe(*folder, *strip);
  };
  dlg->Activate({.lCentered = true});
  if (dlg->nResult == Value(IDOK)) {
    s.nPage = folder->nOption;
    Save(*ini, s);
  }
  font->End();
  FREERESOURCES();
  return 0;
}
