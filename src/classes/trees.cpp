#include "classes/trees.h"

#include <map>
#include <utility>

#include "classes/icon.h"
#include "native/draw.h"
#include "native/gdi.h"
#include "native/image.h"
#include "rt/error.h"
#include "rt/storage.h"
#include "rt/strings.h"

namespace nx {

namespace {

struct Building {
  TLinkListPtr chain;
  HBITMAP hOpen = nullptr, hClose = nullptr;  // defaults for the item the chain goes below
};
std::vector<Building> g_stack;
std::map<std::string, HBITMAP> g_defaults;  // loaded by name, freed by TreeFree

HBITMAP Resource(const std::string& cName, const char* cOperation) {
  HBITMAP h = LOADBITMAP(GETRESOURCES(), cName.c_str());
  if (!h) PictureError(EG_OPEN, "Bitmap resource not found", cOperation, cName);
  return h;
}

HBITMAP File(const std::string& cFile) {
  if (!FileExists(cFile)) {
    PictureError(EG_OPEN, "Bitmap file not found", "_TREEITEM", cFile);
    return nullptr;
  }
  HDC dc = GetDC(nullptr);
  HBITMAP h = READBITMAP(dc, cFile);
  ReleaseDC(nullptr, dc);
  if (!h) PictureError(EG_CORRUPTION, "Not a valid bitmap file", "_TREEITEM", cFile);
  return h;
}

HBITMAP Default(const std::string& cName) {
  auto it = g_defaults.find(cName);
  if (it != g_defaults.end()) return it->second;
  HBITMAP h = Resource(cName, "TREEBEGIN");
  if (h) g_defaults[cName] = h;
  return h;
}

}  // namespace

TLinkListPtr TreeBegin(const std::string& cBmpOpen, const std::string& cBmpClose) {
  Building b{TLinkList::New()};
  if (!g_stack.empty()) {
    b.hOpen = g_stack.back().hOpen;
    b.hClose = g_stack.back().hClose;
  }
  if (!cBmpOpen.empty()) b.hOpen = Default(cBmpOpen);
  if (!cBmpClose.empty()) b.hClose = Default(cBmpClose);
  g_stack.push_back(b);
  return b.chain;
}

TTreeItemPtr _TreeItem(const TreeItemParams& p) {
  if (g_stack.empty()) return nullptr;
  HBITMAP hOpen = !p.cBmpOpen.empty()   ? File(p.cBmpOpen)
                  : !p.cResOpen.empty() ? Resource(p.cResOpen, "_TREEITEM")
                                        : nullptr;
  HBITMAP hClose = !p.cBmpClose.empty()   ? File(p.cBmpClose)
                   : !p.cResClose.empty() ? Resource(p.cResClose, "_TREEITEM")
                                          : hOpen;
  return g_stack.back().chain->Add({.cPrompt = p.cPrompt,
                                    .nLevel = int(g_stack.size()),
                                    .hBmpOpen = hOpen,
                                    .hBmpClose = hClose,
                                    .lOpened = p.lOpened,
                                    .bAction = p.bAction,
                                    .Cargo = p.Cargo});
}

TTreeItemPtr TreeEnd() {
  if (g_stack.empty()) return nullptr;
  Building inner = std::move(g_stack.back());
  g_stack.pop_back();
  if (g_stack.empty()) return nullptr;
  TTreeItemPtr parent = g_stack.back().chain->oLast;
  if (!parent || !inner.chain->oFirst) return parent;  // nothing to hang, or nothing to hang it on
  parent->oTree = inner.chain;
  inner.chain->oFirst->oPrev = parent;
  inner.chain->oLast->SetNext(parent->oNext);
  if (!parent->hBmpOpen && !parent->hBmpClose) {
    parent->hBmpOpen = inner.hOpen;
    parent->hBmpClose = inner.hClose;
    parent->sharedBmps_ = true;
  }
  TTreeItem::Touch();
  return parent;
}

void TreeFree() {
  for (auto& [name, h] : g_defaults) DELETEOBJECT(h);
  g_defaults.clear();
}

TLinkListPtr SummaryDataAsTree(const SummaryParams& p) {
  auto root = TLinkList::New();
  if (!p.bWhile) return root;
  const size_t depth = p.aKeys.size();
  std::vector<TLinkListPtr> chains{root};  // chains[k]: the open chain at level k + 1
  std::vector<Value> last;
  while (p.bWhile()) {
    std::vector<Value> keys;
    for (const auto& key : p.aKeys) keys.push_back(key ? key() : Value());
    Value data = p.bData ? p.bData() : Value();
    size_t same = 0;
    if (!last.empty())
      while (same < depth && keys[same] == last[same]) ++same;
    chains.resize(same + 1);
    std::vector<TTreeItemPtr> opened;
    for (size_t k = same; k < depth; ++k) {
      opened.push_back(chains[k]->Add({.cPrompt = cValToChar(keys[k]), .nLevel = int(k + 1), .Cargo = data}));
      chains.push_back(TLinkList::New());
    }
    chains[depth]->Add(
        {.cPrompt = p.bPrompt ? p.bPrompt() : cValToChar(data), .nLevel = int(depth + 1), .Cargo = data});
    // New groups go above their first child only now that it exists.
    for (size_t i = opened.size(); i-- > 0;) opened[i]->SetTree(chains[same + i + 1]);
    last = std::move(keys);
    if (p.bSkip) p.bSkip();
    else break;
  }
  return root;
}

}  // namespace nx
