// TMenu: a window's menu bar, its pull-downs, the system menu and pop-up
// (context) menus; TAccTable: the keyboard accelerators of a menu tree; the
// building functions MENUBEGIN / MENUADDITEM / MENUEND; and what a window
// does with the menu messages it receives.
//
// The platform menu is the one truth about what is shown; the objects mirror
// it and carry the behaviour. Commands come back through the owning window
// and are routed here by command id.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "classes/menuitem.h"
#include "classes/window.h"
#include "rt/value.h"

namespace nx {

class TAccTable;
using TAccTablePtr = std::shared_ptr<TAccTable>;

class TAccTable : public Object {
 public:
  struct Item {
    int nVirtKey = 0;
    int nVKState = 0;  // 8 Ctrl, 16 Alt, 4 Shift
    UINT nId = 0;
  };
  static TAccTablePtr New() { return std::make_shared<TAccTable>(); }
  ~TAccTable() override;
  const char* ClassName() const override { return "TACCTABLE"; }
  // Replaces the entry with the same key and modifiers, else appends.
  void Add(int nVirtKey, int nVKState, UINT nId);
  void Del(int nVirtKey, int nVKState);
  // Installs this table as the one the message loop translates.
  void Activate();
  void DeActivate();
  void End();

  HACCEL nHandle = nullptr;
  std::vector<Item> aItems;
};

class TMenu : public Object {
 public:
  // A bar (or, with lPopup, a pop-up menu); with oWnd, attached to it.
  static TMenuPtr New(bool lPopup = false, const TWindowPtr& oWnd = nullptr, bool l2007 = false);
  // The window's system menu.
  static TMenuPtr NewSys(const TWindowPtr& oWnd);
  // A menu resource of the program; a pop-up gets a copy in a pop-up handle.
  static TMenuPtr ReDefine(const std::string& cResName, bool lPopup = false);
  static TMenuPtr ReDefine(int nResId, bool lPopup = false);
  TMenu() = default;
  ~TMenu() override;
  TMenu(const TMenu&) = delete;
  TMenu& operator=(const TMenu&) = delete;
  const char* ClassName() const override { return "TMENU"; }
  TMenuPtr Self() { return std::static_pointer_cast<TMenu>(shared_from_this()); }

  void Add(const TMenuItemPtr& oItem, bool lRoot = false);
  // Before the item at nPos (1-based); past the end it is Add.
  void Insert(const TMenuItemPtr& oItem, int nPos);
  // Runs the item with that command id (a pop-up remembers it instead).
  void Command(UINT_PTR nId);
  // Shows the pop-up at a client point of oWnd until it closes, then runs
  // the chosen item; with lEnd the menu is ended afterwards.
  void Activate(int nRow, int nCol, const TWindowPtr& oWnd, bool lEnd = true);
  // Before the menu opens: the 2007 look's top-level items, then every
  // item's bWhen.
  void Initiate();
  // Depth first: the item with that command id, or the title of the
  // sub-menu with that handle.
  TMenuItemPtr GetMenuItem(UINT_PTR nId) const;
  static TMenuPtr GetPopup(HMENU hMenu);
  TMenuPtr GetSubMenu(HMENU hMenu) const;
  void Hilite(int nPos);
  void UnHilite(int nPos);
  void Enable();
  void Disable();
  void Refresh();
  void Reset();
  // Ends every item of the tree (command ids go back, bitmaps are deleted).
  void Destroy();
  void DelItems();
  // Detaches, ends the items, destroys the platform menu.
  void End();
  void HelpTopic();

  // Standard pull-downs; between MENUBEGIN and MENUEND.
  void AddFile();
  void AddEdit();
  // xAbout: a block run by "&About...", else the about box's title.
  void AddHelp(const Value& xAbout = {}, const std::string& cNote = {});
  void AddMdi();

  // Persistence of the properties that differ from a fresh menu.
  std::string Save() const;
  bool Load(std::string_view cData);
  std::string SaveToText(int nIndent = 0) const;
  static const std::vector<std::string>& aProperties();
  static const std::vector<std::pair<std::string, std::string>>& aEvents();

  const std::vector<TMenuItemPtr>& aItems() const { return aMenuItems; }
  void aItems(const std::vector<TMenuItemPtr>& aArray);
  static TMenuItemPtr LastItem() { return oLastItem; }
  TWindowPtr Window() const { return oWnd.lock(); }

  HMENU hMenu = nullptr;
  std::vector<TMenuItemPtr> aMenuItems;
  std::weak_ptr<TWindow> oWnd;  // the window owns its menus
  bool lSysMenu = false;
  bool lPopup = false;
  int nHelpId = 0;
  std::string cVarName;
  TAccTablePtr oAccTable;
  TMenuItemPtr oMenuItemPopup;
  bool l2007 = false;
  std::function<void(TMenu& oMenu)> OnInit;  // a slot for the visual designer

  // The last item whose command ran, shared by all menus.
  static inline TMenuItemPtr oLastItem;

 private:
  void Register();
  void Unregister();
};

// ---- Building functions ---------------------------------------------------------
// MENUBEGIN opens a menu (nested calls open the sub-menu of the item added
// last before them); MENUADDITEM adds an item to the innermost open menu (no
// arguments: a separator); MENUEND closes the innermost menu and answers it.
// The first MENUBEGIN of a tree fixes its look; the accelerators of the tree
// go to the outermost menu.
TMenuPtr MENUBEGIN(bool lPopup = false, bool lSystem = false, const TWindowPtr& oWnd = nullptr, bool l2007 = false);
TMenuItemPtr MENUADDITEM(const TMenuItemParams& p = {});
TMenuPtr MENUEND();
TMenuPtr LASTMENU();
int LASTITEMPOS();  // items pending in the innermost menu; 0 without one

// ---- What a window does with menu messages -------------------------------------------
// TWindow's event methods call these; a dialog's can too.
// A command from a menu or an accelerator: true when a menu took it.
bool MenuCommand(TWindow& oWnd, UINT nId, bool lFromMenu);
bool MenuSysCommand(TWindow& oWnd, WPARAM nWParam);
Value MenuDrawItem(TWindow& oWnd, DRAWITEMSTRUCT* pDrawItem);
Value MenuMeasureItem(TWindow& oWnd, MEASUREITEMSTRUCT* pMeasureItem);
void MenuInitPopup(TWindow& oWnd, HMENU hMenu, bool lSysMenu);
// The highlighted item, or nullptr.
TMenuItemPtr MenuSelectItem(TWindow& oWnd, int nIdItem, int nFlags, HMENU hMenu);
// (position, execute) for the item whose mnemonic is nChar; 0 for none;
// NIL without a menu.
Value MenuCharSearch(TWindow& oWnd, int nChar, HMENU hMenu);
// Attaches the menu to the window and installs its accelerators.
void AttachMenu(TWindow& oWnd, const TMenuPtr& oMenu);
// Ends the window's bar and system menu (its native window is going).
void ReleaseMenus(TWindow& oWnd);

}  // namespace nx
