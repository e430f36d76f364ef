// TMenuItem: one entry of a menu. The platform menu shows it; the object
// carries its behaviour: the action, the enabling condition, the message-bar
// text, the help topic and the accelerator.
#pragma once

#include <windows.h>

#include <concepts>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "classes/window.h"
#include "rt/value.h"

namespace nx {

class TMenu;
class TMenuItem;
using TMenuPtr = std::shared_ptr<TMenu>;
using TMenuItemPtr = std::shared_ptr<TMenuItem>;

// Run with the item when it is chosen.
using MenuBlock = std::function<void(TMenuItem& oItem)>;
// Evaluated with the item before its menu opens: a logical enables or
// disables the item, anything else leaves it as it is.
using MenuWhen = std::function<Value(TMenuItem& oItem)>;
// Designer events, evaluated with the menu's window and the item.
using MenuEvent = std::function<void(const TWindowPtr& oWnd, TMenuItem& oItem)>;

// An item's action: a block run with the item, or the sub-menu the item
// opens (which makes the item that sub-menu's title).
class MenuAction {
 public:
  MenuAction() = default;
  MenuAction(std::nullptr_t) {}
  MenuAction(TMenuPtr oMenu) : menu_(std::move(oMenu)) {}
  template <class F>
    requires std::invocable<F&, TMenuItem&> && (!std::same_as<std::decay_t<F>, MenuAction>)
  MenuAction(F fn) : block_(std::move(fn)) {}

  bool IsBlock() const { return bool(block_); }
  bool IsMenu() const { return bool(menu_); }
  explicit operator bool() const { return IsBlock() || IsMenu(); }
  const TMenuPtr& Menu() const { return menu_; }
  void Eval(TMenuItem& oItem) const {
    if (block_) block_(oItem);
  }

 private:
  MenuBlock block_;
  TMenuPtr menu_;
};

// New's positional arguments, with their defaults. A prompt marks its
// mnemonic with "&" and may put a shortcut label after a tab; an item with
// neither prompt nor bitmap is a separator. The accelerator (nVirtKey with
// the modifiers nVKState: 8 Ctrl, 16 Alt, 4 Shift) is kept only when
// nVirtKey is given. bBlock, when given, replaces bAction.
struct TMenuItemParams {
  std::string cPrompt{};
  std::string cMsg{};
  bool lChecked = false;
  bool lActive = true;
  MenuAction bAction{};
  std::string cBmpFile{};  // a BMP file, used when it exists
  std::string cResName{};  // a bitmap resource, wins over the file
  int nVKState = 0;
  int nVirtKey = 0;
  bool lHelp = false;  // right-justified help item
  int nHelpId = 0;
  MenuWhen bWhen{};
  bool lBreak = false;  // starts a new column
  MenuAction bBlock{};
};

// ReDefine's arguments: what is given overrides the item's own value.
struct TMenuItemRedefine {
  std::optional<std::string> cPrompt{}, cMsg{};
  std::optional<bool> lChecked{}, lActive{};
  MenuAction bAction{};
  std::string cBmpFile{}, cResName{};
  std::shared_ptr<TMenu> oMenu{};
  MenuAction bBlock{};
  UINT nId = 0;
  int nVKState = 0;
  int nVirtKey = 0;
  std::optional<int> nHelpId{};
  MenuWhen bWhen{};
};

class TMenuItem : public Object {
 public:
  // Builds the item and allocates its command id.
  static TMenuItemPtr New(const TMenuItemParams& p = {});
  // Binds to item nId of a resource menu (found in p.oMenu): the given
  // values override the item's, and the item held in the menu is answered
  // (a new, unheld object when the menu has no such item).
  static TMenuItemPtr ReDefine(const TMenuItemRedefine& p);
  TMenuItem() = default;
  ~TMenuItem() override;
  TMenuItem(const TMenuItem&) = delete;
  TMenuItem& operator=(const TMenuItem&) = delete;
  const char* ClassName() const override { return "TMENUITEM"; }
  TMenuItemPtr Self() { return std::static_pointer_cast<TMenuItem>(shared_from_this()); }

  void SetCheck(bool lOnOff);
  void Enable();
  void Disable();
  void SetPrompt(const std::string& cPrompt);
  const std::string& cCaption() const { return cPrompt; }
  void cCaption(const std::string& cText) { SetPrompt(cText); }
  // Ends a sub-menu it opens and leaves its menu.
  void Destroy();
  // Deletes its bitmap and gives its command id back (once).
  void End();
  void HelpTopic();
  virtual void Inspect() {}
  virtual void Refresh() {}

  // The sub-menu this item opens, or nullptr.
  TMenuPtr SubMenu() const { return bAction.Menu(); }
  // The id the platform menu knows the item by: the sub-menu's handle for a
  // sub-menu title, the command id otherwise.
  UINT_PTR CommandId() const;
  // Runs the action (or OnClick without one) with the menu's window.
  void Run(const TWindowPtr& oWnd);
  std::shared_ptr<TMenu> Menu() const { return oMenu.lock(); }

  // Persistence of the properties that differ from a fresh item.
  std::string Save() const;
  bool Load(std::string_view cData);
  std::string SaveToText(int nIndent = 0) const;
  static const std::vector<std::string>& aProperties();
  static const std::vector<std::pair<std::string, std::string>>& aEvents();
  static int PropCount() { return int(aProperties().size()); }
  static int EveCount() { return int(aEvents().size()); }
  static std::string Property(int n);  // 1-based; "" out of range
  static std::string Event(int n);
  // A property by name; NIL for an unknown name.
  Value GetProperty(std::string_view cName) const;
  bool SetProperty(std::string_view cName, const Value& uValue);

  // The id the next New takes: the lowest number from 20000 (or from where
  // nInitId( n ) set) that no live item holds and that is not a live menu
  // handle.
  static UINT nInitId();
  static void nInitId(UINT nFrom);
  // Tests and tools: how many command ids items hold.
  static size_t nIdsHeld();

  std::string cPrompt, cMsg, cVarName, cWebAction;
  UINT nId = 0;
  int nHelpId = 0;
  MenuAction bAction;
  MenuWhen bWhen;
  bool lActive = true, lBreak = false, lChecked = false, lHelp = false;
  std::weak_ptr<TMenu> oMenu;  // the menu holds its items, not the other way round
  HBITMAP hBitmap = nullptr;
  int nVKState = 0, nVirtKey = 0;
  Value Cargo;
  MenuEvent OnActivate, OnClick;

 private:
  bool lIdHeld_ = false;  // the id came from the allocator and is not yet given back
  void AllocateId();
  // Takes a given id (a loaded record's) unless another item holds it.
  void TakeId(UINT nNewId);
  void LoadBitmaps(const std::string& cBmpFile, const std::string& cResName);
};

}  // namespace nx
