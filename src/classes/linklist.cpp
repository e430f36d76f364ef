#include "classes/linklist.h"

#include <algorithm>

#include "native/tree.h"

namespace nx {

namespace {

// The items of one chain, first to last (the last one's oNext leads out).
template <class F>
void EachOfChain(const TLinkList& list, F f) {
  for (TTreeItemPtr it = list.oFirst; it;) {
    TTreeItemPtr next = it == list.oLast ? nullptr : it->oNext;
    f(it);
    it = std::move(next);
  }
}

}  // namespace

TTreeItemPtr TLinkList::Add(const TreeAddParams& p) {
  int level = p.nLevel.value_or(oFirst ? oFirst->nLevel : 1);
  TTreeItemPtr item = TTreeItem::New(p.cPrompt, level, p.hBmpOpen, p.hBmpClose, p.bAction, p.Cargo);
  item->lOpened = p.lOpened;
  item->holder_ = std::static_pointer_cast<TLinkList>(weak_from_this().lock());
  if (oLast) {
    item->oNext = oLast->oNext;  // a chain hung below an item goes on after it
    item->oPrev = oLast;
    oLast->SetNext(item);
  } else {
    oFirst = item;
  }
  oLast = item;
  TTreeItem::Touch();
  return item;
}

TTreeItemPtr TLinkList::GetLast() const {
  TTreeItemPtr last = oLast;
  while (last && last->lOpened && last->oTree && last->oTree->oLast) last = last->oTree->oLast;
  return last;
}

int TLinkList::nCount() {
  if (countAt_ == TTreeItem::Changes()) return count_;
  // Plain pointers: the walk neither holds nor releases items.
  int n = 0;
  for (const TTreeItem* it = oFirst.get(); it; it = it == oLast.get() ? nullptr : it->oNext.get()) {
    ++n;
    if (it->lOpened && it->oTree) n += it->oTree->nCount();
  }
  count_ = n;
  countAt_ = TTreeItem::Changes();
  return n;
}

void TLinkList::Draw(const std::string& cPrefix) {
  EachOfChain(*this, [&cPrefix](const TTreeItemPtr& it) { it->Draw(cPrefix); });
}

void TLinkList::OpenAll() {
  EachOfChain(*this, [](const TTreeItemPtr& it) {
    it->Open();
    if (it->oTree) it->oTree->OpenAll();
  });
}

void TLinkList::Eval(const std::function<void(TTreeItem&)>& bBlock) {
  EachOfChain(*this, [&bBlock](const TTreeItemPtr& it) {
    bBlock(*it);
    if (it->oTree) it->oTree->Eval(bBlock);
  });
}

void TLinkList::Expand(int nLevel) {
  Eval([nLevel](TTreeItem& it) {
    if (it.nLevel < nLevel) it.Open();
    else it.Close();
  });
}

void TLinkList::Collapse(int nLevel) {
  Eval([nLevel](TTreeItem& it) {
    if (it.nLevel >= nLevel) it.Close();
    else it.Open();
  });
}

void TLinkList::SetLevel(int nLevel) {
  EachOfChain(*this, [nLevel](const TTreeItemPtr& it) {
    it->nLevel = nLevel;
    if (it->oTree) it->oTree->SetLevel(nLevel + 1);
  });
}

int TLinkList::Levels() {
  int deepest = 0;
  Eval([&deepest](TTreeItem& it) { deepest = std::max(deepest, it.nLevel); });
  return deepest;
}

void TLinkList::End() {
  Eval([](TTreeItem& it) { it.End(); });
  DELTREEBMPS();
}

}  // namespace nx
