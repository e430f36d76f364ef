// TTreeItem: one item of a tree a browse shows (SetTree). Items are linked
// in the display order of the fully opened tree: a child chain sits between
// its parent and the parent's next sibling, so oNext of the last child is
// the parent's oNext. The chain owns forward: oNext and oTree hold, oPrev
// only refers back.
//
// The visible counts the browse asks on every step are kept per chain and
// renewed after a change made through the methods. Code that writes the
// links or lOpened directly calls TTreeItem::Touch() afterwards.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/wbrowse.h"
#include "rt/value.h"

namespace nx {

class TLinkList;
class TTreeItem;
using TLinkListPtr = std::shared_ptr<TLinkList>;
using TTreeItemPtr = std::shared_ptr<TTreeItem>;
using TreeAction = std::function<void(TTreeItem& oItem)>;

class TTreeItem : public BrowseTreeItem {
 public:
  static TTreeItemPtr New(std::string cPrompt = {}, int nLevel = 1, HBITMAP hBmpOpen = nullptr,
                          HBITMAP hBmpClose = nullptr, TreeAction bAction = {}, Value Cargo = {});
  TTreeItem() = default;
  TTreeItem(const TTreeItem&) = delete;
  TTreeItem& operator=(const TTreeItem&) = delete;
  ~TTreeItem() override;
  const char* ClassName() const override { return "TTREEITEM"; }

  void Open();
  void Close();
  void Toggle() override;
  TTreeItemPtr GetNext() const;
  TTreeItemPtr GetPrev() const;
  // Moves over up to n visible items (backwards when negative); n becomes
  // the items really moved. Answers the item reached.
  TTreeItemPtr Skip(int& n);
  int ItemNo() override;
  std::string GetText() const;
  Array GetLabel() override;
  std::vector<int> ColSizes() override;
  void Draw(const std::string& cPrefix = {});
  TTreeItemPtr Add(const std::string& cPrompt);
  void SetNext(const TTreeItemPtr& oItem);
  void SetTree(const TLinkListPtr& oTree);
  void Delete();
  void SetText(const std::string& cPrompt) { this->cPrompt = cPrompt; }
  void End();  // deletes the item's own bitmaps

  // After a direct write of the links or of lOpened: counts are renewed.
  static void Touch();

  std::string cPrompt;
  std::string cDraw;  // tree-line codes '0'..'7', one per level (Draw)
  std::weak_ptr<TTreeItem> oPrev;
  TTreeItemPtr oNext;
  TLinkListPtr oTree;  // the children, or none
  bool lOpened = false;
  int nLevel = 1;
  HBITMAP hBmpOpen = nullptr;  // shown while closed
  HBITMAP hBmpClose = nullptr;  // shown while open
  TreeAction bAction;
  Value Cargo;

  // ---- the browse's protocol --------------------------------------------------
  std::shared_ptr<BrowseTreeItem> SkipItems(int& nRows) override { return Skip(nRows); }
  bool HasTree() override { return oTree != nullptr; }

 private:
  friend class TLinkList;
  friend TTreeItemPtr TreeEnd();
  static unsigned Changes();  // a number that moves with every change
  TTreeItemPtr Self() { return std::static_pointer_cast<TTreeItem>(shared_from_this()); }
  bool IsLastOfChain() const;
  std::weak_ptr<TLinkList> holder_;  // the chain this item is in
  bool sharedBmps_ = false;  // the bitmaps are the building functions' defaults
};

}  // namespace nx
