// TTabs: a strip of tabs of the library's own drawing, in the 2007 look of
// built-in bitmaps. The selected tab is bold and drawn in front, the tab
// under the mouse is highlighted, two arrow buttons scroll the tabs that do
// not fit, and each tab may show a bitmap before its prompt. The strip can
// dock to any side of its window (upright on the left and right, with
// rotated text); a right click offers the other free sides. Alt and a
// prompt's hot key select that tab from anywhere in the window.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classes/btnbmp.h"
#include "classes/control.h"

namespace nx {

class TFont;
class TMenu;
class TTabs;
using TTabsPtr = std::shared_ptr<TTabs>;

// Runs when the selection changes: the new option and the old one.
using TabsAction = std::function<void(int nOption, int nOldOption, TTabs& self)>;
// A right click on the strip; nTab is the tab under the pointer, 0 none.
using TabsRClick = std::function<Value(int nRow, int nCol, int nKeyFlags, TTabs& self, int nTab)>;

// Sides, in the order of nOrientation.
enum TabsSide : int { TABS_TOP = 1, TABS_BOTTOM = 2, TABS_LEFT = 3, TABS_RIGHT = 4 };

inline std::vector<std::string> DefaultTabPrompts() { return {"&One", "&Two", "T&hree"}; }

// New's positional arguments, with their defaults.
struct TTabsParams {
  int nRow = 0, nCol = 0;  // rows of 15 and columns of 6 pixels unless lPixel
  std::vector<std::string> aPrompts = DefaultTabPrompts();
  TabsAction bAction{};
  TWindowPtr oWnd{};  // none: the default window
  int nOption = 1;
  std::optional<COLORREF> nClrFore{}, nClrBack{};  // none: the parent's text colour, the button face
  bool lPixel = false, lDesign = false;
  int nWidth = 200;
  std::optional<int> nHeight{};  // none: 17, 20 with large system fonts
  std::string cMsg{};
  std::vector<std::string> acBitmaps{};  // per tab: a BMP file or a bitmap resource
};

// ReDefine's: a strip bound to an item of a dialog resource.
struct TTabsRedefineParams {
  int nId = 0;
  std::vector<std::string> aPrompts = DefaultTabPrompts();
  TabsAction bAction{};
  TWindowPtr oWnd{};
  int nOption = 1;
  std::optional<COLORREF> nClrFore{}, nClrBack{};
  std::vector<std::string> acBitmaps{};
};

class TTabs : public TControl {
 public:
  static TTabsPtr New(const TTabsParams& p = {});
  static TTabsPtr ReDefine(const TTabsRedefineParams& p);
  ~TTabs() override;
  const char* ClassName() const override { return "TTABS"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  TTabsPtr SelfTabs() { return std::static_pointer_cast<TTabs>(shared_from_this()); }
  // The members a designer lists.
  static const std::vector<std::string>& aProperties();

  void Initiate(HWND hDlg) override;
  // Sizes the per-tab lists to the prompts, loads the named bitmaps and
  // measures the tabs.
  void Default();
  void CalcPos();

  void SetOption(int n);
  void AddItem(const std::string& cPrompt);
  void DelItem(std::optional<int> n = std::nullopt);
  void SetTabs(const std::vector<std::string>& aNewPrompts = DefaultTabPrompts(), int nNewOption = 1);
  // The first tab whose hot key is nChar (either case); 0 none.
  int GetHotPos(int nChar) const;
  bool TakeHotKey(int nChar) override;

  bool GoTop();
  bool GoLeft();
  bool GoRight();
  bool GoBottom();
  // The owner's side (TabsSide) is free for the strip.
  bool lSideFree(int nSide) const;
  // The pop-up of the free sides the strip may move to.
  std::shared_ptr<TMenu> DockMenu();
  // The owner's slot holding the strip (TabsSide), 0 none.
  int nDocked() const;

  // The tab under a client point, 0 none.
  int nOverPrompt(int nRow, int nCol) const;
  void PaintTab(int n, std::optional<bool> lSelected = std::nullopt, int nPart = 0);
  void PaintOver(int n, bool lOver);
  void MouseHover(int nRow, int nCol);
  // The last tab shown whole; more are hidden past it when it is below the count.
  int nLastShown() const;

  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  Value LButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value RButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  Value MouseLeave(int nRow, int nCol, int nKeyFlags);
  Value SysCommand(WPARAM nType, int nLoWord, int nHiWord) override;
  using TControl::SysCommand;
  Value Display() override;
  Value EraseBkGnd(HDC) override { return Value(1); }
  Value Paint() override;
  Value Destroy() override;
  void AdjTop() override;

  std::vector<std::string> aPrompts;
  std::vector<std::string> acBitmaps;
  std::vector<HBITMAP> ahBitmaps;
  std::vector<int> aSizes;  // aSizes[i - 1]: tab i's body
  std::vector<int> aLeft;   // aLeft[i - 1]: where tab i starts; one more than the tabs
  int nOption = 1;
  int nOffset = 1;
  int nOver = 0;
  TabsAction bAction;
  // Hides the window's mouse hook of the same name: this one also gets the tab.
  TabsRClick bRClicked;
  int nOrientation = 0;
  std::shared_ptr<TFont> oBold;
  TBtnBmpPtr oBtnLeft, oBtnRight;

 private:
  template <class Params>
  void TakeArguments(const Params& p, const TWindowPtr& parent);
  void MakeArrows();
  bool Dock(int nSide);
  bool lVertical() const { return nOrientation == TABS_LEFT || nOrientation == TABS_RIGHT; }
  int nLength() const;  // along the strip
  void FreeTabBitmaps();
  void DrawTab(HDC hDC, int n, bool lSelected, int nPart);
  std::vector<std::string> aLoaded_;  // the bitmap name each handle came from (or failed on)
};

}  // namespace nx
