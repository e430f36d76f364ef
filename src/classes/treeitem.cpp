#include "classes/treeitem.h"

#include <algorithm>
#include <cstdint>

#include "classes/linklist.h"
#include "native/gdi.h"
#include "native/tree.h"

namespace nx {

namespace {

unsigned g_changes = 1;

Value BitmapValue(HBITMAP h) { return Value(static_cast<long long>(reinterpret_cast<intptr_t>(h))); }

}  // namespace

void TTreeItem::Touch() {
  if (++g_changes == 0) g_changes = 1;
}

unsigned TTreeItem::Changes() { return g_changes; }

TTreeItemPtr TTreeItem::New(std::string cPrompt, int nLevel, HBITMAP hBmpOpen, HBITMAP hBmpClose,
                            TreeAction bAction, Value Cargo) {
  ATREEBMPS();
  auto o = std::make_shared<TTreeItem>();
  o->cPrompt = std::move(cPrompt);
  o->nLevel = nLevel;
  o->hBmpOpen = hBmpOpen;
  o->hBmpClose = hBmpClose;
  o->bAction = std::move(bAction);
  o->Cargo = std::move(Cargo);
  return o;
}

TTreeItem::~TTreeItem() {
  // Released one by one: a long chain would otherwise nest one destructor
  // per item on the stack.
  TTreeItemPtr next = std::move(oNext);
  while (next && next.use_count() == 1) {
    TTreeItemPtr after = std::move(next->oNext);
    next = std::move(after);
  }
}

void TTreeItem::Open() {
  if (oTree && !lOpened) {
    lOpened = true;
    Touch();
  }
}

void TTreeItem::Close() {
  if (lOpened) {
    lOpened = false;
    Touch();
  }
}

void TTreeItem::Toggle() {
  if (lOpened) Close();
  else Open();
}

TTreeItemPtr TTreeItem::GetNext() const {
  if (lOpened && oTree && oTree->oFirst) return oTree->oFirst;
  return oNext;
}

TTreeItemPtr TTreeItem::GetPrev() const {
  TTreeItemPtr prev = oPrev.lock();
  if (!prev || prev->nLevel < nLevel) return prev;  // none, or the parent
  if (prev->lOpened && prev->oTree && prev->oTree->oFirst) return prev->oTree->GetLast();
  return prev;
}

TTreeItemPtr TTreeItem::Skip(int& n) {
  TTreeItemPtr at = Self();
  int moved = 0;
  while (moved < n) {
    TTreeItemPtr next = at->GetNext();
    if (!next) break;
    at = std::move(next);
    ++moved;
  }
  while (moved > n) {
    TTreeItemPtr prev = at->GetPrev();
    if (!prev) break;
    at = std::move(prev);
    --moved;
  }
  n = moved;
  return at;
}

int TTreeItem::ItemNo() {
  // Each earlier sibling stands for itself and its visible descendants;
  // then the parent, and the parent's earlier siblings, up to the top.
  int n = 0;
  TTreeItemPtr at = Self();
  for (TTreeItemPtr prev = at->oPrev.lock(); prev; prev = at->oPrev.lock()) {
    n += 1;
    if (prev->nLevel >= at->nLevel && prev->lOpened && prev->oTree) n += prev->oTree->nCount();
    at = std::move(prev);
  }
  return n;
}

std::string TTreeItem::GetText() const {
  const char* box = !oTree ? "   " : lOpened ? " - " : " + ";
  return box + cDraw + cPrompt;
}

Array TTreeItem::GetLabel() {
  const int level = std::max(nLevel, 0);
  Array a(size_t(level) + 2, Value(0));
  const TreeBmps& bmps = ATREEBMPS();
  for (int i = 1; i <= level + 1 && i <= int(cDraw.size()); ++i) {
    int code = cDraw[size_t(i - 1)] - '0';
    if (code >= 1 && code <= 7) a[size_t(i - 1)] = BitmapValue(bmps[size_t(code - 1)]);
  }
  if (oTree && level >= 1) {
    bool last = !oNext || oNext->nLevel < nLevel;
    int code = last ? (lOpened ? 7 : 6) : (lOpened ? 5 : 4);
    a[size_t(level - 1)] = BitmapValue(bmps[size_t(code - 1)]);
  }
  a[size_t(level)] = BitmapValue(lOpened ? hBmpClose : hBmpOpen);
  a[size_t(level) + 1] = Value(cPrompt);
  return a;
}

std::vector<int> TTreeItem::ColSizes() {
  std::vector<int> sizes(size_t(std::max(nLevel, 0)) + 1, kTreeBmpSize);
  sizes.push_back(300);
  return sizes;
}

void TTreeItem::Draw(const std::string& cPrefix) {
  const bool sibling = oNext && oNext->nLevel == nLevel;
  char own = '2';
  if (!oPrev.expired()) {
    if (!oTree) own = sibling ? '2' : '3';
    else own = sibling ? (lOpened ? '5' : '4') : (lOpened ? '7' : '6');
  }
  cDraw = cPrefix + own;
  // A line passes beside the children only when a sibling follows below them.
  if (oTree) oTree->Draw(cPrefix + (oNext && oNext->nLevel >= nLevel ? '1' : '0'));
}

bool TTreeItem::IsLastOfChain() const {
  if (auto list = holder_.lock()) return list->oLast.get() == this;
  return !oNext || oNext->nLevel < nLevel;
}

TTreeItemPtr TTreeItem::Add(const std::string& cPrompt) {
  TTreeItemPtr item = New(cPrompt, nLevel);
  TTreeItemPtr oldNext = oNext;
  const bool wasLast = IsLastOfChain();
  item->oPrev = Self();
  item->oNext = oldNext;
  item->holder_ = holder_;
  if (oTree && oTree->oLast) oTree->oLast->SetNext(item);
  oNext = item;
  if (!wasLast && oldNext) oldNext->oPrev = item;
  if (auto list = holder_.lock(); list && wasLast) list->oLast = item;
  Touch();
  return item;
}

void TTreeItem::SetNext(const TTreeItemPtr& oItem) {
  oNext = oItem;
  if (oTree && oTree->oLast && oTree->oLast.get() != this) oTree->oLast->SetNext(oItem);
  Touch();
}

void TTreeItem::SetTree(const TLinkListPtr& tree) {
  oTree = tree;
  if (tree) {
    tree->SetLevel(nLevel + 1);
    if (tree->oFirst) tree->oFirst->oPrev = Self();
    if (tree->oLast) tree->oLast->SetNext(oNext);
  }
  Touch();
}

void TTreeItem::Delete() {
  TTreeItemPtr keep = Self();
  TTreeItemPtr prev = oPrev.lock();
  TLinkListPtr list = holder_.lock();
  const bool last = IsLastOfChain();
  const bool prevIsParent = prev && prev->nLevel < nLevel;
  TTreeItemPtr nextSibling = last ? nullptr : oNext;
  // The item before goes on to what followed this one and its children.
  if (prev && !prevIsParent) prev->SetNext(oNext);
  if (nextSibling) nextSibling->oPrev = prev;
  if (list) {
    if (list->oFirst == keep) list->oFirst = nextSibling;
    if (list->oLast == keep) list->oLast = prevIsParent ? nullptr : prev;
    if (!list->oFirst && prevIsParent && prev->oTree == list) {
      prev->oTree = nullptr;  // the last child went: a leaf now
      prev->lOpened = false;
    }
  }
  oPrev.reset();
  oNext = nullptr;
  holder_.reset();
  Touch();
}

void TTreeItem::End() {
  if (!sharedBmps_) {
    if (hBmpOpen) DELETEOBJECT(hBmpOpen);
    if (hBmpClose && hBmpClose != hBmpOpen) DELETEOBJECT(hBmpClose);
  }
  hBmpOpen = hBmpClose = nullptr;
  sharedBmps_ = false;
}

}  // namespace nx
