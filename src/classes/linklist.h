// TLinkList: one chain of tree items at one level (the outermost items, or
// the children of one item). The outermost chain is what a browse shows
// (TWBrowse::SetTree).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "classes/treeitem.h"

namespace nx {

// TLinkList::Add's positional arguments.
struct TreeAddParams {
  std::string cPrompt = {};
  std::optional<int> nLevel = {};  // none: the level of the first item (1 for an empty chain)
  HBITMAP hBmpOpen = nullptr, hBmpClose = nullptr;
  bool lOpened = false;
  TreeAction bAction = {};
  Value Cargo = {};
};

class TLinkList : public Object, public BrowseTree {
 public:
  static TLinkListPtr New() { return std::make_shared<TLinkList>(); }
  const char* ClassName() const override { return "TLINKLIST"; }

  TTreeItemPtr Add(const TreeAddParams& p);
  TTreeItemPtr Add(const std::string& cPrompt) { return Add(TreeAddParams{.cPrompt = cPrompt}); }
  TTreeItemPtr GetLast() const;  // the last visible item
  int nCount() override;
  void Draw(const std::string& cPrefix);
  void Draw() override { Draw(std::string()); }
  void OpenAll();
  // Every item of the tree, the children of an item directly after it.
  void Eval(const std::function<void(TTreeItem&)>& bBlock);
  void Expand(int nLevel = 1000);  // opens the items above nLevel, closes the rest
  void Collapse(int nLevel = 1);  // closes the items at nLevel and deeper, opens the rest
  void SetLevel(int nLevel);
  int Levels();
  // End of every item, then the tree-line bitmaps go (made again when needed).
  void End();

  TTreeItemPtr oFirst, oLast;

  // ---- the browse's protocol --------------------------------------------------
  std::shared_ptr<BrowseTreeItem> FirstItem() override { return oFirst; }
  std::shared_ptr<BrowseTreeItem> LastItem() override { return GetLast(); }

 private:
  friend class TTreeItem;
  int count_ = 0;
  unsigned countAt_ = 0;  // the change number count_ is valid for (0: never)
};

}  // namespace nx
