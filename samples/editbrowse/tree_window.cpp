// A tree browse over a small outline: folders open and close with Enter or
// a double click (their bitmap follows), pages are the leaves. The title
// tells the current item, its state, and its place among the visible rows:
//   "Novaxis tree - <item> [open|closed|leaf] - <row> of <rows>"
#include "tree_window.h"

#include <memory>
#include <string>

#include "classes/font.h"
#include "classes/linklist.h"
#include "classes/trees.h"
#include "classes/wbrowse.h"
#include "classes/window.h"

using namespace nx;

namespace {

constexpr const char* kTreeTitle = "Novaxis tree";

std::weak_ptr<TWindow> g_window;

void Leaf(const char* cPrompt) { _TreeItem({.cPrompt = cPrompt, .cResOpen = "PAGE"}); }

// Folders take the chain's default bitmaps: closed, and open while open.
TLinkListPtr Outline() {
  auto root = TreeBegin("FOLDER", "FOLDEROPEN");
  _TreeItem({.cPrompt = "Fruit"});
  TreeBegin();
  _TreeItem({.cPrompt = "Apples"});
  TreeBegin();
  Leaf("Cox");
  Leaf("Gala");
  Leaf("Braeburn");
  TreeEnd();
  _TreeItem({.cPrompt = "Pears"});
  TreeBegin();
  Leaf("Conference");
  Leaf("Williams");
  TreeEnd();
  TreeEnd();
  _TreeItem({.cPrompt = "Vegetables"});
  TreeBegin();
  _TreeItem({.cPrompt = "Roots"});
  TreeBegin();
  Leaf("Carrot");
  Leaf("Parsnip");
  TreeEnd();
  _TreeItem({.cPrompt = "Leaves"});
  TreeBegin();
  Leaf("Kale");
  Leaf("Spinach");
  TreeEnd();
  TreeEnd();
  Leaf("Bread");
  TreeEnd();
  return root;
}

void ShowState(TWindow& w, TWBrowse& b, TLinkList& tree) {
  auto item = b.Cargo.As<TTreeItem>();
  if (!item) return;
  const char* state = !item->oTree ? "leaf" : item->lOpened ? "open" : "closed";
  w.SetText(std::string(kTreeTitle) + " - " + item->cPrompt + " [" + state + "] - " +
            std::to_string(item->ItemNo() + 1) + " of " + std::to_string(tree.nCount()));
}

}  // namespace

void OpenTreeWindow() {
  if (auto open = g_window.lock(); open && open->hWnd) {
    SetForegroundWindow(open->hWnd);
    return;
  }
  auto w = TWindow::New({.nTop = 60, .nLeft = 720, .nBottom = 60 + 420, .nRight = 720 + 320,
                         .cTitle = kTreeTitle, .lPixel = true});
  g_window = w;
  TLinkListPtr tree = Outline();
  auto b = TWBrowse::New({.nWidth = 300,
                          .nHeight = 380,
                          .bLine = [](TWBrowse&) { return Array{Value("")}; },
                          .aHeaders = Array{Value("Pantry")},
                          .aColSizes = std::vector<int>{300},
                          .oWnd = w,
                          // Lines 16 pixels high, as the tree's bitmaps: the lines join.
                          .oFont = TFont::New({.cFaceName = "Tahoma", .nHeight = -12}),
                          .cAlias = "",
                          .lPixel = true});
  b->SetTree(tree);
  b->nClrBackFocus = RGB(0, 84, 147);
  b->nClrForeFocus = RGB(255, 255, 255);
  TWindow* win = w.get();
  TWBrowse* brw = b.get();
  b->bChange = [win, tree](TWBrowse& oBrw) { ShowState(*win, oBrw, *tree); };
  // Enter and the double click open and close; the title follows.
  auto key = b->bKeyChar;
  b->bKeyChar = [key, win, tree](int nKey, int nFlags, TWindow& o) {
    Value r = key(nKey, nFlags, o);
    ShowState(*win, static_cast<TWBrowse&>(o), *tree);
    return r;
  };
  auto dbl = b->bLDblClick;
  b->bLDblClick = [dbl, win, tree](int nRow, int nCol, int nFlags, TWindow& o) {
    Value r = dbl(nRow, nCol, nFlags, o);
    ShowState(*win, static_cast<TWBrowse&>(o), *tree);
    return r;
  };
  // The tree's bitmaps go with the window.
  w->bValid = [tree](TWindow&) {
    tree->End();
    TreeFree();
    return true;
  };
  w->oClient = b;
  w->bResized = [brw](int, int, int, TWindow&) { brw->AdjClient(); };
  brw->AdjClient();
  ShowState(*w, *brw, *tree);
  w->Activate({.cShow = "NORMAL"});
  brw->SetFocus();
}
