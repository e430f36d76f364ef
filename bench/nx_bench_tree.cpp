// A tree browse at scale: an outline of N items (groups of groups of
// leaves) built with the building functions, opened whole, then browsed:
// line steps down and up, pages, the ends, thumb jumps, and opening and
// closing branches all along it. Each phase is timed in blocks taken at
// growing depth, so a cost that grew with the position or the count would
// show as growing blocks (this thread's processor time, whose clock ticks
// in steps of 10 to 16 ms).
//
//   nx_bench_tree [--quick] [--count N]
#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <string>
#include <vector>

#include "classes/linklist.h"
#include "classes/trees.h"
#include "classes/wbrowse.h"
#include "classes/window.h"

#include "block_clock.h"

using namespace nx;
using bench::Ms;
using bench::Now;

namespace {

void Print(const char* what, const std::vector<double>& ms, const char* unit, double per) {
  std::printf("%-36s", what);
  double sum = 0;
  for (double m : ms) {
    std::printf(" %7.1f", m < 0 ? 0.0 : m);
    sum += m;
  }
  std::printf("   (%.1f us %s)\n", sum * 1000 / per, unit);
}

// Groups of 10 parts of 98 leaves (991 items a group).
TLinkListPtr Build(int count) {
  auto root = TreeBegin();
  int made = 0;
  for (int g = 1; made < count; ++g) {
    _TreeItem({.cPrompt = "Group " + std::to_string(g)});
    ++made;
    TreeBegin();
    for (int s = 1; s <= 10 && made < count; ++s) {
      _TreeItem({.cPrompt = "Part " + std::to_string(g) + "." + std::to_string(s)});
      ++made;
      TreeBegin();
      for (int l = 1; l <= 98 && made < count; ++l, ++made)
        _TreeItem({.cPrompt = "Leaf " + std::to_string(g) + "." + std::to_string(s) + "." + std::to_string(l)});
      TreeEnd();
    }
    TreeEnd();
  }
  TreeEnd();
  return root;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = bench::CountArg(argc, argv, 100000, 10000);
  const int blocks = 5;
  std::printf("%d items; processor milliseconds per block\n", count);

  double t0 = Now();
  TLinkListPtr tree = Build(count);
  double build = Ms(t0);
  t0 = Now();
  tree->OpenAll();
  int visible = tree->nCount();
  double open = Ms(t0);
  std::printf("%-36s %7.1f   (%.2f us an item)\n", "build (TreeBegin, _TreeItem, TreeEnd)", build,
              build * 1000 / count);
  std::printf("%-36s %7.1f   (%d visible)\n", "OpenAll and the first count", open, visible);

  auto w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 600, .nRight = 500, .cTitle = "tree", .lPixel = true});
  auto b = TWBrowse::New({.nWidth = 480,
                          .nHeight = 560,
                          .bLine = [](TWBrowse&) { return Array{Value("")}; },
                          .aHeaders = Array{Value("Outline")},
                          .aColSizes = std::vector<int>{300},
                          .oWnd = w,
                          .cAlias = "",
                          .lPixel = true});
  ShowWindow(w->hWnd, SW_SHOW);
  t0 = Now();
  b->SetTree(tree);
  UpdateWindow(b->hWnd);
  std::printf("%-36s %7.1f\n", "SetTree (draws the lines) and paint", Ms(t0));

  // Every phase runs a block at each fifth of the outline, reached by a
  // thumb jump (bar positions stand for rows over at most 10000).
  const int barMax = std::min(10000, visible);
  auto jumpTo = [&](int k) {
    SendMessageA(b->hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::max(2, barMax * k / blocks)), 0);
    UpdateWindow(b->hWnd);
  };
  const int steps = 400;
  std::vector<double> down, up, pages, thumbs, toggles;
  for (int k = 0; k < blocks; ++k) {
    jumpTo(k);
    t0 = Now();
    for (int i = 0; i < steps; ++i) b->GoDown();
    down.push_back(Ms(t0));
    t0 = Now();
    for (int i = 0; i < steps; ++i) b->GoUp();
    up.push_back(Ms(t0));
    t0 = Now();
    for (int i = 0; i < 20; ++i) b->PageDown();
    UpdateWindow(b->hWnd);
    pages.push_back(Ms(t0));
  }
  Print("GoDown", down, "a step", double(steps) * blocks);
  Print("GoUp", up, "a step", double(steps) * blocks);
  Print("PageDown, painted", pages, "a page", 20.0 * blocks);

  for (int k = 1; k <= blocks; ++k) {
    t0 = Now();
    jumpTo(k);
    thumbs.push_back(Ms(t0));
  }
  Print("thumb dropped further down, painted", thumbs, "a jump", blocks);

  std::vector<double> ends;
  for (int k = 0; k < blocks; ++k) {
    t0 = Now();
    b->GoBottom();
    UpdateWindow(b->hWnd);
    b->GoTop();
    UpdateWindow(b->hWnd);
    ends.push_back(Ms(t0));
  }
  Print("GoBottom and GoTop, painted", ends, "a pair", blocks);

  // Enter on a group row closes it and opens it again (the whole count and
  // the item's place are renewed each time).
  const int togglesPer = 10;
  for (int k = 0; k < blocks; ++k) {
    jumpTo(k);
    while (!b->Cargo.As<TTreeItem>()->oTree) b->GoUp();
    t0 = Now();
    for (int i = 0; i < togglesPer; ++i) {
      SendMessageA(b->hWnd, WM_CHAR, VK_RETURN, 0);
      UpdateWindow(b->hWnd);
    }
    toggles.push_back(Ms(t0));
  }
  Print("Enter on a group row, painted", toggles, "a toggle", double(togglesPer) * blocks);

  int finalCount = tree->nCount();
  std::printf("visible rows at the end: %d of %d\n", finalCount, count);
  DestroyWindow(w->hWnd);
  t0 = Now();
  b.reset();
  tree->End();
  tree.reset();
  std::printf("%-36s %7.1f\n", "End and release", Ms(t0));
  return visible == count && finalCount == count ? 0 : 1;
}
