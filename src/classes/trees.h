// Building trees for browses. In the order of an outline:
//
//   auto tree = TreeBegin();
//     _TreeItem({.cPrompt = "Fruit"});
//     TreeBegin();                       // Fruit's children
//       _TreeItem({.cPrompt = "Apple"});
//     TreeEnd();                         // answers Fruit
//     _TreeItem({.cPrompt = "Bread"});
//   TreeEnd();
//
// or from grouped records (SummaryDataAsTree).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "classes/linklist.h"

namespace nx {

// A new chain one level deeper. The bitmaps named (resources) become the
// defaults of the item this chain is hung below, and of the chains opened
// inside it that name none.
TLinkListPtr TreeBegin(const std::string& cBmpOpen = {}, const std::string& cBmpClose = {});

// _TreeItem's positional arguments. The open one stands for both states
// unless the close one is given; files win over resources.
struct TreeItemParams {
  std::string cPrompt = {};
  std::string cResOpen = {}, cResClose = {};
  std::string cBmpOpen = {}, cBmpClose = {};
  bool lOpened = false;
  TreeAction bAction = {};
  Value Cargo = {};
};
// An item of the innermost chain; none without TreeBegin. A bitmap that
// cannot be loaded is reported through the error block and left out.
TTreeItemPtr _TreeItem(const TreeItemParams& p);

// Closes the innermost chain: it is hung below the last item of the one
// around it, which is answered (none for the outermost chain).
TTreeItemPtr TreeEnd();

// Deletes the default bitmaps TreeBegin loaded.
void TreeFree();

// A tree from grouped records: for each record the keys are compared with
// the previous record's; a change at key k closes the deeper groups and opens
// new ones from k on (their text the key as text). Every record is then a
// leaf of its innermost group. Each item's Cargo is bData of the record that
// made it.
struct SummaryParams {
  std::vector<std::function<Value()>> aKeys = {};  // outermost first, read from the current record
  std::function<Value()> bData = {};
  std::function<bool()> bWhile = {};  // a record is current
  std::function<void()> bSkip = {};  // on to the next record
  std::function<std::string()> bPrompt = {};  // a leaf's text; none: its data as text
};
TLinkListPtr SummaryDataAsTree(const SummaryParams& p);

}  // namespace nx
