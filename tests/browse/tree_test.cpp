// A tree source through a small list of items offering the tree protocol.
#include <gtest/gtest.h>

#include <algorithm>

#include "browse_support.h"

using namespace nx;
using namespace browsetest;

namespace {

class ListTree;

class ListItem : public BrowseTreeItem {
 public:
  ListItem(ListTree* tree, int index) : tree_(tree), index_(index) {}
  const char* ClassName() const override { return "LISTITEM"; }
  Array GetLabel() override { return Array{Value("item " + std::to_string(index_))}; }
  std::vector<int> ColSizes() override { return {120 + index_}; }
  std::shared_ptr<BrowseTreeItem> Skip(int& nRows) override;
  std::shared_ptr<BrowseTree> oTree() override { return sub; }
  void Toggle() override { ++toggled; }
  std::shared_ptr<BrowseTree> sub;
  int toggled = 0;

 private:
  ListTree* tree_;
  int index_;
};

class ListTree : public BrowseTree {
 public:
  explicit ListTree(int n) {
    for (int i = 0; i < n; ++i) items.push_back(std::make_shared<ListItem>(this, i));
  }
  std::shared_ptr<BrowseTreeItem> oFirst() override { return items.front(); }
  std::shared_ptr<BrowseTreeItem> GetLast() override { return items.back(); }
  int nCount() override { return int(items.size()); }
  void Draw() override { ++draws; }
  std::vector<std::shared_ptr<ListItem>> items;
  int draws = 0;
};

std::shared_ptr<BrowseTreeItem> ListItem::Skip(int& nRows) {
  int to = std::clamp(index_ + nRows, 0, int(tree_->items.size()) - 1);
  nRows = to - index_;
  return tree_->items[size_t(to)];
}

}  // namespace

TEST(TreeSource, ItemsAreRowsAndTheCurrentItemIsCargo) {
  Parent parent;
  auto b = ArrayBrowse(parent.get(), Table(3, 1), 1, {100});
  ASSERT_TRUE(b->oHScroll);
  auto tree = std::make_shared<ListTree>(4);
  b->SetTree(tree);
  EXPECT_EQ(tree->draws, 1);
  EXPECT_FALSE(b->lMChange);
  EXPECT_FALSE(b->oHScroll);
  EXPECT_EQ(b->bLogicLen(*b), 4);
  EXPECT_EQ(b->bLine(*b)[0].AsString(), "item 0");
  EXPECT_EQ(b->GetColSizes(), std::vector<int>{120});
  EXPECT_EQ(b->Skip(2), 2);
  EXPECT_EQ(b->bLine(*b)[0].AsString(), "item 2");
  EXPECT_EQ(b->GetColSizes(), std::vector<int>{122});
  EXPECT_EQ(b->Cargo.AsObject(), tree->items[2]);
  EXPECT_EQ(b->Skip(5), 1);  // one item left
  EXPECT_EQ(b->Skip(-10), -3);
  b->bGoBottom(*b);
  EXPECT_EQ(b->bLine(*b)[0].AsString(), "item 3");
  b->bGoTop(*b);
  EXPECT_EQ(b->bLine(*b)[0].AsString(), "item 0");
}

TEST(TreeSource, EnterAndDoubleClickToggleOnlyItemsWithASubtree) {
  Parent parent;
  auto b = ArrayBrowse(parent.get(), Table(3, 1), 1, {100});
  auto tree = std::make_shared<ListTree>(3);
  tree->items[1]->sub = std::make_shared<ListTree>(2);
  b->SetTree(tree);
  b->bKeyChar(VK_RETURN, 0, *b);  // item 0: a leaf
  EXPECT_EQ(tree->items[0]->toggled, 0);
  b->Skip(1);
  b->bKeyChar(VK_RETURN, 0, *b);
  b->bKeyChar('a', 0, *b);
  EXPECT_EQ(tree->items[1]->toggled, 1);
  b->bLDblClick(0, 0, 0, *b);
  EXPECT_EQ(tree->items[1]->toggled, 2);
}
