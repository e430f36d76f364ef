// List and combo boxes at scale: adding 10,000 items one by one (Add, as a
// program fills a list) and type-ahead searches over them, timed in blocks
// so that a cost growing with the count shows as growing block times (this
// thread's processor time, whose clock ticks in steps of 10 to 16 ms).
//
//   nx_bench_lists [--quick] [--count N]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "classes/combobox.h"
#include "classes/listbox.h"
#include "classes/setget.h"
#include "classes/window.h"
#include "native/dispatch.h"

#include "block_clock.h"

using namespace nx;
using bench::Ms;
using bench::Now;

namespace {

std::string Item(int n) {
  // Names spread over the alphabet, so prefixes find items all along the list.
  static const char* kWords[] = {"alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel"};
  return std::string(kWords[(n * 7) % 8]) + " " + std::to_string(n);
}

// Adds the items in blocks; answers the milliseconds of each block.
template <class Add>
std::vector<double> AddInBlocks(int count, int blocks, Add add) {
  std::vector<double> ms;
  int per = count / blocks;
  for (int b = 0; b < blocks; ++b) {
    double t0 = Now();
    for (int i = 0; i < per; ++i) add(b * per + i + 1);
    ms.push_back(Ms(t0));
  }
  return ms;
}

void Print(const char* what, const std::vector<double>& ms, int per) {
  std::printf("%-34s", what);
  for (double m : ms) std::printf(" %8.1f", m < 0 ? 0.0 : m);
  double ratio = ms.front() > 0 ? ms.back() / ms.front() : 0;
  std::printf("   (last/first %.2f, %.1f us/item overall)\n", ratio,
              [&] {
                double sum = 0;
                for (double m : ms) sum += m;
                return sum * 1000 / (per * double(ms.size()));
              }());
}

}  // namespace

int main(int argc, char** argv) {
  const int count = bench::CountArg(argc, argv, 10000, 2000);
  const int blocks = 5, per = count / blocks;
  auto w = TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 400, .nRight = 500, .cTitle = "lists", .lPixel = true});
  Value listValue, comboValue(0);
  auto list = TListBox::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(listValue), .nWidth = 200,
                             .nHeight = 300, .oWnd = w, .lPixel = true});
  auto combo = TComboBox::New({.nRow = 10, .nCol = 250, .bSetGet = BindVar(comboValue), .nWidth = 200,
                               .nHeight = 300, .oWnd = w, .lPixel = true});
  std::printf("%d items in %d blocks of %d; processor milliseconds per block\n", count, blocks, per);
  Print("TListBox::Add (selects each)", AddInBlocks(count, blocks, [&](int n) { list->Add(Item(n)); }), per);
  Print("TComboBox::Add", AddInBlocks(count, blocks, [&](int n) { combo->Add(Item(n)); }), per);

  // Type-ahead: three keys of a prefix and a Backspace, as a user types.
  combo->lIncSearch = true;
  std::mt19937 rng(42);
  const int searches = count / 10;
  std::vector<double> ms;
  int found = 0;
  for (int b = 0; b < blocks; ++b) {
    double t0 = Now();
    for (int i = 0; i < searches / blocks; ++i) {
      std::string word = Item(int(rng() % unsigned(count)) + 1);
      combo->cSearchKey.clear();
      for (int k = 0; k < 3; ++k) combo->KeyChar(static_cast<unsigned char>(word[size_t(k)]), 0);
      combo->KeyChar(VK_BACK, 0);
      if (combo->nAt > 0) ++found;
    }
    ms.push_back(Ms(t0));
  }
  Print("TComboBox type-ahead (4 keys)", ms, searches / blocks);
  std::printf("searches that found an item: %d of %d\n", found, searches);
  std::printf("counts: list %d, combo %ld\n", list->Len(), long(SendMessageA(combo->hWnd, CB_GETCOUNT, 0, 0)));
  DestroyWindow(w->hWnd);
  return found == searches ? 0 : 1;
}
