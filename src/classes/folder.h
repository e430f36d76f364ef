// TFolder: a tabbed container. The platform's tab control ("SysTabControl32")
// whose every tab owns a page, a child TDialog that holds that page's
// controls. Only the current page shows: switching tabs hides one page and
// shows the other, so every control keeps its value. Tabs can be disabled
// (aEnable), carry an "&" hot key (Alt+letter from a page selects the tab)
// and a help id. Pages are built empty in code, from dialog resources, or
// added and removed while the folder runs.
//
//   auto folder = TFolder::New({.nTop = 8, .nLeft = 8, .aPrompts = {"&General", "&Sound"}, .oWnd = dlg,
//                               .lPixel = true, .nWidth = 400, .nHeight = 260});
//   TCheckBox::New({.nRow = 10, .nCol = 10, .cCaption = "&Mute", .oWnd = folder->aDialogs[1], ...});
//
// With visual styles a page paints the tab control's own background as its
// own, and its labels, check boxes and radio buttons paint over it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classes/control.h"
#include "classes/dialog.h"

namespace nx {

class TFolder;
using TFolderPtr = std::shared_ptr<TFolder>;
// Runs when another page becomes current, with its number and the previous one (1-based).
using FolderChangeHook = std::function<void(int nNew, int nOld, TFolder& self)>;
// Builds the controls of a page made from a resource (their ReDefine
// constructors), with the page, its number and the folder.
using PageHook = std::function<void(TDialog& oPage, int nPage, TFolder& self)>;

// New's positional arguments, with their defaults. The corner is in
// character cells (rows of 15, columns of 6 pixels) unless lPixel; the size
// is in pixels.
struct TFolderParams {
  int nTop = 0, nLeft = 0;
  std::vector<std::string> aPrompts = {"&One", "&Two", "T&hree"};
  TWindowPtr oWnd{};  // none: the default window
  int nOption = 1;
  std::optional<COLORREF> nClrFore{}, nClrBack{};  // none: COLOR_WINDOWTEXT, COLOR_BTNFACE
  bool lPixel = false, lDesign = false;
  int nWidth = 100, nHeight = 100;
  std::string cMsg{};
  bool lAllWidth = true;
  std::shared_ptr<TFont> oFont{};  // none: the owner's, else the current one
  std::vector<int> aHelps{};
  FolderChangeHook bChange{};
};

// ReDefine's: the tab control is item nId of the owner's dialog resource and
// each page a dialog resource of its own.
struct TFolderRedefineParams {
  int nId = 0;
  std::vector<std::string> aPrompts{};
  std::vector<DialogTemplate> aDialogs{};  // resource names or numbers, one per prompt
  TWindowPtr oWnd{};
  int nOption = 1;
  std::optional<COLORREF> nClrFore{}, nClrBack{};  // none: the owner's text and pane colours
  FolderChangeHook bChange{};
  bool lAllWidth = false;
  std::vector<int> aHelps{};
};

class TFolder : public TControl {
 public:
  static TFolderPtr New(const TFolderParams& p = {});
  // New for a subclass: builds a T and runs the same construction.
  template <class T>
  static std::shared_ptr<T> NewAs(const TFolderParams& p = {}) {
    auto f = std::make_shared<T>();
    f->Init(p);
    return f;
  }
  static TFolderPtr ReDefine(const TFolderRedefineParams& p);
  const char* ClassName() const override { return "TFOLDER"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  // The tab control's class, which the common controls library registers.
  void Register(std::optional<UINT> nClassStyle = std::nullopt) override;
  static const std::vector<std::string>& aProperties();
  bool IsFolder() const override { return true; }
  TFolderPtr SelfFolder() { return std::static_pointer_cast<TFolder>(shared_from_this()); }

  // ---- pages ------------------------------------------------------------------------------
  void Initiate(HWND hDlg) override;
  // Opens every page (modeless, placed under the tabs) and shows the current one.
  void Default();
  // Makes page n current when it is enabled; a disabled one beeps and the
  // current page stays.
  void SetOption(int n);
  // The first enabled tab but the current one whose hot key is nChar (any case); 0: none.
  int GetHotPos(int nChar) const;
  void SetPrompts(const std::vector<std::string>& aNewPrompts);
  void SetItemText(int n, const std::string& cText);
  // A new last page, empty or from a dialog resource, which becomes current.
  TDialogPtr AddItem(const std::string& cPrompt, const std::optional<DialogTemplate>& cResName = {},
                     const PageHook& bRedefine = {}, int nHelpId = 0);
  // Removes the current page; the one now at its place (or the new last) becomes current.
  void DelItem();
  void DelPages();
  // Replaces every page by one per dialog resource; the first becomes current.
  void LoadPages(const std::vector<DialogTemplate>& aResNames, const PageHook& bRedefine = {});
  // Places the pages on the control's display area.
  void AdjustRect();
  void SetImageList(HIMAGELIST hImageList);
  void SetItemSize(int nWidth, int nHeight);
  void SetPadding(int nX, int nY);
  void Update() override;
  // The current page, or nullptr.
  TDialogPtr Page() const;

  // ---- events ---------------------------------------------------------------------------
  Value LButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value Notify(WPARAM nIdCtl, NMHDR* pNMHdr) override;
  Value GotFocus(HWND hWndLost) override;
  Value ReSize(int nSizeType, int nWidth, int nHeight) override;
  Value CtlColor(HWND hWndCtl, HDC hDC) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  Value Display() override { return Value(); }  // the control paints itself
  Value Paint() override { return Value(); }
  Value HScroll(WPARAM, LPARAM) override { return Value(); }
  Value Destroy() override;
  std::string cToChar(const std::string& cClassName = {}) override;
  // The sound of a refused tab: the system beep.
  virtual void Beep();

  // ---- instance data ----------------------------------------------------------------------
  std::vector<int> aHelps;
  std::vector<std::string> aPrompts;
  std::vector<TDialogPtr> aDialogs;
  std::vector<bool> aEnable;  // false: the tab is shown but cannot be selected
  int nOption = 1;
  int nTabSize = 0;
  int nFdHeight = 22;
  std::shared_ptr<TFont> oFont2;
  bool lAllWidth = true;
  bool lWin95Look = true;
  HIMAGELIST hImageList = nullptr;  // not owned
  FolderChangeHook bChange;

 protected:
  void Init(const TFolderParams& p);

 private:
  int Count() const { return int(aDialogs.size()); }
  bool Enabled(int n) const { return n >= 1 && n <= int(aEnable.size()) && aEnable[size_t(n - 1)]; }
  void ComputeTabSize();
  // A new page of the folder's colours and font, sized under the tabs.
  TDialogPtr MakePage(int nPage, const std::optional<DialogTemplate>& cResName, int nHelpId);
  void OpenPage(const TDialogPtr& oPage, int nTop, int nLeft);
  void ShowCurrent();
  void EndPage(const TDialogPtr& oPage);
  int nSelChanging_ = -1;  // the tab selected when the control asked to change it
};

}  // namespace nx
