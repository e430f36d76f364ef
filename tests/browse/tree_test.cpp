// Trees of items (TTreeItem, TLinkList, the building functions) and the
// browse showing them: visible rows, tree lines, boxes, opening and closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browse/browse_support.h"
#include "classes/linklist.h"
#include "classes/trees.h"
#include "native/tree.h"
#include "common/raised_errors.h"
#include "common/write_bmp.h"
#include "rt/strings.h"

using namespace nx;
using namespace browsetest;

namespace {

// A            3 levels, as an outline:
//   A1
//   A2           the last child of A, with children
//     A2a
//     A2b
// B
// C            the last item, with one child
//   C1
struct Outline {
  TLinkListPtr root;
  TTreeItemPtr A, A1, A2, A2a, A2b, B, C, C1;
  Outline() {
    root = TreeBegin();
    A = _TreeItem({.cPrompt = "A"});
    TreeBegin();
    A1 = _TreeItem({.cPrompt = "A1"});
    A2 = _TreeItem({.cPrompt = "A2"});
    TreeBegin();
    A2a = _TreeItem({.cPrompt = "A2a"});
    A2b = _TreeItem({.cPrompt = "A2b"});
    EXPECT_EQ(TreeEnd(), A2);
    EXPECT_EQ(TreeEnd(), A);
    B = _TreeItem({.cPrompt = "B"});
    C = _TreeItem({.cPrompt = "C"});
    TreeBegin();
    C1 = _TreeItem({.cPrompt = "C1"});
    EXPECT_EQ(TreeEnd(), C);
    EXPECT_EQ(TreeEnd(), nullptr);
  }
};

// The visible items, walked forward, and checked against the walk backward.
std::string Visible(const TLinkListPtr& root) {
  std::string forward, backward;
  for (TTreeItemPtr it = root->oFirst; it; it = it->GetNext()) forward += it->cPrompt + " ";
  for (TTreeItemPtr it = root->GetLast(); it; it = it->GetPrev()) backward = it->cPrompt + " " + backward;
  EXPECT_EQ(forward, backward);
  return forward;
}

Value Bmp(int nRole) { return Value(static_cast<long long>(reinterpret_cast<intptr_t>(ATREEBMPS()[size_t(nRole - 1)]))); }

}  // namespace

TEST(TreeItems, VisibleItemsCountsSkipsAndPlacesFollowOpenAndClosedBranches) {
  Outline t;
  EXPECT_EQ(Visible(t.root), "A B C ");
  EXPECT_EQ(t.root->nCount(), 3);
  EXPECT_EQ(t.A2a->nLevel, 3);
  EXPECT_EQ(t.root->Levels(), 3);
  t.A->Open();
  EXPECT_EQ(Visible(t.root), "A A1 A2 B C ");
  EXPECT_EQ(t.root->nCount(), 5);
  EXPECT_EQ(t.A1->GetPrev(), t.A);  // the first child goes back to its parent
  EXPECT_EQ(t.B->GetPrev(), t.A2);
  int n = 10;
  EXPECT_EQ(t.A->Skip(n), t.C);
  EXPECT_EQ(n, 4);
  t.A2->Toggle();
  t.C->Open();
  EXPECT_EQ(Visible(t.root), "A A1 A2 A2a A2b B C C1 ");
  EXPECT_EQ(t.root->nCount(), 8);
  EXPECT_EQ(t.B->GetPrev(), t.A2b);  // past the open branch, to its last visible item
  EXPECT_EQ(t.root->GetLast(), t.C1);
  n = -5;
  EXPECT_EQ(t.C1->Skip(n), t.A2);
  EXPECT_EQ(n, -5);
  n = -100;
  EXPECT_EQ(t.B->Skip(n), t.A);
  EXPECT_EQ(n, -5);
  EXPECT_EQ(t.A->ItemNo(), 0);
  EXPECT_EQ(t.A2b->ItemNo(), 4);
  EXPECT_EQ(t.C1->ItemNo(), 7);
  t.A->Close();  // its open child stays open, but out of sight
  EXPECT_EQ(Visible(t.root), "A B C C1 ");
  EXPECT_EQ(t.root->nCount(), 4);
  EXPECT_EQ(t.C1->ItemNo(), 3);
  t.B->Open();  // a leaf does not open
  EXPECT_FALSE(t.B->lOpened);

  t.root->Collapse(2);  // level 1 open, deeper closed
  EXPECT_EQ(Visible(t.root), "A A1 A2 B C C1 ");
  t.root->Expand(2);  // the same from the other side
  EXPECT_EQ(Visible(t.root), "A A1 A2 B C C1 ");
  t.root->Collapse();
  EXPECT_EQ(Visible(t.root), "A B C ");
  t.root->OpenAll();
  EXPECT_EQ(t.root->nCount(), 8);
  std::string order;
  t.root->Eval([&order](TTreeItem& it) { order += it.cPrompt + " "; });
  EXPECT_EQ(order, "A A1 A2 A2a A2b B C C1 ");
}

TEST(TreeItems, LinesBoxesAndLabels) {
  Outline t;
  t.A2->Open();
  t.root->Draw();
  // One code per level: the lines passing by on the left, then the item's
  // own connector. Nothing passes beside A2's children (A2 is A's last child).
  EXPECT_EQ(t.A->cDraw, "2");
  EXPECT_EQ(t.A1->cDraw, "12");
  EXPECT_EQ(t.A2->cDraw, "17");
  EXPECT_EQ(t.A2a->cDraw, "102");
  EXPECT_EQ(t.A2b->cDraw, "103");
  EXPECT_EQ(t.B->cDraw, "2");
  EXPECT_EQ(t.C->cDraw, "6");
  EXPECT_EQ(t.C1->cDraw, "03");
  EXPECT_EQ(t.A->GetText(), " + 2A");
  EXPECT_EQ(t.A2->GetText(), " - 17A2");
  EXPECT_EQ(t.A1->GetText(), "   12A1");

  // A closed item with children and a sibling: the plus junction, its own
  // bitmap (none), its text.
  EXPECT_EQ(t.A->GetLabel(), (Array{Bmp(4), Value(0), Value("A")}));
  t.A->Open();
  EXPECT_EQ(t.A->GetLabel(), (Array{Bmp(5), Value(0), Value("A")}));
  EXPECT_EQ(t.A2->GetLabel(), (Array{Bmp(1), Bmp(7), Value(0), Value("A2")}));
  EXPECT_EQ(t.A2a->GetLabel(), (Array{Bmp(1), Value(0), Bmp(2), Value(0), Value("A2a")}));
  EXPECT_EQ(t.C->GetLabel(), (Array{Bmp(6), Value(0), Value("C")}));
  EXPECT_EQ(t.A2a->ColSizes(), (std::vector<int>{16, 16, 16, 16, 300}));

  // The item's own bitmap follows its state.
  HBITMAP closed = ATREEBMPS()[0], open = ATREEBMPS()[1];
  t.B->hBmpOpen = closed;
  t.B->hBmpClose = open;
  EXPECT_EQ(t.B->GetLabel()[1], Bmp(1));
  EXPECT_EQ(t.A->GetLabel()[1], Value(0));
  t.B->hBmpOpen = t.B->hBmpClose = nullptr;

  // Seven different 16 x 16 bitmaps; End deletes them and the next use
  // makes them again.
  for (HBITMAP h : ATREEBMPS()) {
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(h, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 16);
    EXPECT_EQ(bm.bmHeight, 16);
  }
  HBITMAP first = ATREEBMPS()[0];
  t.root->End();
  EXPECT_EQ(GetObjectType(first), 0u);
  EXPECT_EQ(GetObjectType(ATREEBMPS()[0]), DWORD(OBJ_BITMAP));
}

TEST(TreeItems, AddingAndDeletingKeepTheLinksBothWays) {
  auto root = TLinkList::New();
  auto X = root->Add("X"), Y = root->Add("Y"), Z = root->Add("Z");
  auto X2 = X->Add("X2");  // in the middle: the chain's last stays
  EXPECT_EQ(Visible(root), "X X2 Y Z ");
  EXPECT_EQ(root->oLast, Z);
  EXPECT_EQ(Y->GetPrev(), X2);
  auto Z2 = Z->Add("Z2");
  EXPECT_EQ(root->oLast, Z2);

  auto sub = TLinkList::New();
  auto s1 = sub->Add("s1"), s2 = sub->Add("s2");
  X2->SetTree(sub);
  EXPECT_EQ(s2->nLevel, 2);
  X2->Open();
  EXPECT_EQ(Visible(root), "X X2 s1 s2 Y Z Z2 ");
  auto s3 = sub->Add("s3");  // appended below a hung chain: goes on to X2's sibling
  auto s1b = s1->Add("s1b");
  EXPECT_EQ(Visible(root), "X X2 s1 s1b s2 s3 Y Z Z2 ");
  auto X3 = X2->Add("X3");  // after an open item: after its children
  EXPECT_EQ(Visible(root), "X X2 s1 s1b s2 s3 X3 Y Z Z2 ");
  EXPECT_EQ(root->nCount(), 10);

  Y->Delete();
  s1->Delete();  // a first child
  EXPECT_EQ(Visible(root), "X X2 s1b s2 s3 X3 Z Z2 ");
  EXPECT_EQ(sub->oFirst, s1b);
  s3->Delete();  // a last child
  EXPECT_EQ(Visible(root), "X X2 s1b s2 X3 Z Z2 ");
  EXPECT_EQ(sub->oLast, s2);
  s1b->Delete();
  s2->Delete();  // the only child: X2 becomes a leaf
  EXPECT_FALSE(X2->oTree);
  EXPECT_EQ(Visible(root), "X X2 X3 Z Z2 ");
  Z2->Delete();
  X->Delete();
  EXPECT_EQ(Visible(root), "X2 X3 Z ");
  EXPECT_EQ(root->oFirst, X2);
  EXPECT_EQ(root->oLast, Z);
  EXPECT_EQ(root->nCount(), 3);
}

TEST(TreeItems, SummaryOfGroupedRecords) {
  struct Rec {
    const char* kind;
    const char* name;
    int id;
  };
  const std::vector<Rec> recs{{"fruit", "apple", 1}, {"fruit", "apple", 2}, {"fruit", "pear", 3}, {"veg", "leek", 4}};
  size_t at = 0;
  auto tree = SummaryDataAsTree({.aKeys = {[&] { return Value(recs[at].kind); }, [&] { return Value(recs[at].name); }},
                                 .bData = [&] { return Value(recs[at].id); },
                                 .bWhile = [&] { return at < recs.size(); },
                                 .bSkip = [&] { ++at; }});
  EXPECT_EQ(Visible(tree), "fruit veg ");
  tree->OpenAll();
  EXPECT_EQ(Visible(tree), "fruit apple 1 2 pear 3 veg leek 4 ");
  EXPECT_EQ(tree->Levels(), 3);
  std::string cargo;
  tree->Eval([&cargo](TTreeItem& it) { cargo += cValToChar(it.Cargo); });
  EXPECT_EQ(cargo, "111233444");  // a group carries the data of the record that opened it
}

TEST(TreeItems, BitmapsThatCannotBeLoadedAreReportedAndLeftOut) {
  nxtest::RaisedErrors raised;
  const std::string file = nxtest::WriteBmp("tree_item.bmp", 16, 16);
  auto root = TreeBegin();
  auto good = _TreeItem({.cPrompt = "file", .cBmpOpen = file});
  auto bad = _TreeItem({.cPrompt = "bad", .cResOpen = "NO_SUCH_BITMAP", .cBmpClose = "no such.bmp"});
  TreeEnd();
  ASSERT_EQ(raised.errors.size(), 2u);
  EXPECT_EQ(raised.errors[0]->FileName, "NO_SUCH_BITMAP");
  EXPECT_EQ(raised.errors[1]->FileName, "no such.bmp");
  EXPECT_TRUE(good->hBmpOpen);
  EXPECT_EQ(good->hBmpClose, good->hBmpOpen);  // one file for both states
  EXPECT_FALSE(bad->hBmpOpen);
  EXPECT_EQ(bad->cPrompt, "bad");
  HBITMAP loaded = good->hBmpOpen;
  root->End();
  EXPECT_EQ(GetObjectType(loaded), 0u);
  EXPECT_FALSE(good->hBmpOpen);
  EXPECT_EQ(_TreeItem({.cPrompt = "outside"}), nullptr);  // no chain being built
  EXPECT_EQ(TreeEnd(), nullptr);
  DeleteFileA(file.c_str());
}

TEST(TreeItems, ALongChainGoesWithoutDeepRecursion) {
  auto root = TLinkList::New();
  for (int i = 0; i < 200000; ++i) root->Add("item");
  EXPECT_EQ(root->nCount(), 200000);
  int n = 199999;
  EXPECT_EQ(root->oFirst->Skip(n), root->oLast);
  EXPECT_EQ(root->oLast->ItemNo(), 199999);
  root.reset();  // would overflow the stack if each item released the next
  SUCCEED();
}

// ---- in a browse -------------------------------------------------------------------

class TreeBrowse : public testing::Test {
 protected:
  Parent parent{400, 300};
  Outline t;
  TWBrowsePtr b;
  int h = LineHeight(TestHFont());
  void SetUp() override {
    b = TWBrowse::New({.nWidth = 300,
                       .nHeight = 200,
                       .bLine = [](TWBrowse&) { return Array{Value("")}; },
                       .aHeaders = Array{Value("Outline")},
                       .aColSizes = std::vector<int>{300},
                       .oWnd = parent.get(),
                       .oFont = TestFont(),
                       .nClrBack = kWhite,
                       .cAlias = "",
                       .lPixel = true});
    b->SetTree(t.root);
    ShowWindow(parent.get()->hWnd, SW_SHOWNOACTIVATE);  // painted: Display renews the bar as it would
  }
  TTreeItemPtr Current() { return b->Cargo.As<TTreeItem>(); }
  int BarPos() {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(b->hWnd, SB_VERT, &si);
    return si.nPos;
  }
  int BarMax() {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(b->hWnd, SB_VERT, &si);
    return si.nMax;
  }
  void Enter() { SendMessageA(b->hWnd, WM_CHAR, VK_RETURN, 0); }
  void DoubleClick(int nLine) {
    LPARAM at = MAKELPARAM(200, nLine * h + h / 2);
    SendMessageA(b->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(b->hWnd, WM_LBUTTONUP, 0, at);
    SendMessageA(b->hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(b->hWnd, WM_LBUTTONUP, 0, at);
  }
};

TEST_F(TreeBrowse, EnterAndDoubleClickOpenAndCloseAndTheBarFollows) {
  UpdateWindow(b->hWnd);
  EXPECT_EQ(b->nLen, 3);
  Enter();  // A opens
  EXPECT_TRUE(t.A->lOpened);
  UpdateWindow(b->hWnd);
  EXPECT_EQ(b->nLen, 5);
  EXPECT_EQ(BarMax(), 5);
  DoubleClick(3);  // A2: selected by the click, opened by the double click
  EXPECT_EQ(Current(), t.A2);
  EXPECT_TRUE(t.A2->lOpened);
  UpdateWindow(b->hWnd);
  EXPECT_EQ(b->nLen, 7);
  EXPECT_EQ(BarMax(), 7);
  EXPECT_EQ(BarPos(), 3);  // the bar stays on A2
  SendMessageA(b->hWnd, WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(Current(), t.C);
  EXPECT_EQ(BarPos(), 7);
  SendMessageA(b->hWnd, WM_KEYDOWN, VK_DOWN, 0);  // at the bottom
  EXPECT_TRUE(b->lHitBottom);
  Enter();  // C opens: there is a row below again
  SendMessageA(b->hWnd, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(Current(), t.C1);
  EXPECT_EQ(BarPos(), 8);
  SendMessageA(b->hWnd, WM_KEYDOWN, VK_UP, 0);
  SendMessageA(b->hWnd, WM_KEYDOWN, VK_UP, 0);
  SendMessageA(b->hWnd, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(Current(), t.A2b);
  EXPECT_EQ(BarPos(), 5);
  SendMessageA(b->hWnd, WM_KEYDOWN, VK_HOME, 0);
  DoubleClick(1);  // A closes
  EXPECT_FALSE(t.A->lOpened);
  UpdateWindow(b->hWnd);
  EXPECT_EQ(b->nLen, 4);
  EXPECT_EQ(BarMax(), 4);
  EXPECT_EQ(BarPos(), 1);
  SendMessageA(b->hWnd, WM_KEYDOWN, VK_DOWN, 0);
  Enter();  // on a leaf nothing happens
  EXPECT_EQ(Current(), t.B);
  EXPECT_EQ(b->nLen, 4);
}

TEST_F(TreeBrowse, AThreeLevelOutlineShowsItsLinesAndBoxes) {
  t.A->Open();
  t.A2->Open();
  b->lDrawSelected = false;  // only the tree's own pixels
  RECT r{};
  GetClientRect(b->hWnd, &r);
  drawtest::Canvas c(r.right, r.bottom, RGB(0, 200, 0));
  PaintInto(*b, c);
  const COLORREF line = kGrey;
  const int rows = std::min(h, 16);
  auto top = [&](int nLine) { return nLine * h; };
  // A (line 1): a minus box with a line below it; no plus stroke.
  EXPECT_EQ(c.At(3, top(1) + 3), line);  // box corner
  EXPECT_EQ(c.At(5, top(1) + 7), kBlack);
  EXPECT_EQ(c.At(7, top(1) + 5), kWhite);
  EXPECT_EQ(c.At(7, top(1) + 1), line);
  // A1 (line 2): the line of A passes by; A1's own junction.
  for (int y = 0; y < rows; ++y) {
    EXPECT_EQ(c.At(7, top(2) + y), line) << y;
    EXPECT_EQ(c.At(16 + 7, top(2) + y), line) << y;
  }
  EXPECT_EQ(c.At(16 + 12, top(2) + 7), line);
  EXPECT_EQ(c.At(16 + 12, top(2) + 3), kWhite);
  // A2 (line 3): a minus box on a corner: the line ends at the box.
  EXPECT_EQ(c.At(16 + 7, top(3) + 1), line);
  EXPECT_EQ(c.At(16 + 5, top(3) + 7), kBlack);
  if (h > 12) {
    EXPECT_EQ(c.At(16 + 7, top(3) + 12), kWhite);
  }
  // A2a (line 4): A's line, nothing beside A2's children, a junction.
  EXPECT_EQ(c.At(7, top(4) + 2), line);
  EXPECT_EQ(InkColumns(c, 16, 32, top(4), top(4) + rows, kWhite).empty(), true);
  EXPECT_EQ(c.At(32 + 7, top(4) + 2), line);
  EXPECT_EQ(c.At(32 + 12, top(4) + 7), line);
  // A2b (line 5): a corner: the line stops at the branch.
  EXPECT_EQ(c.At(32 + 7, top(5) + 2), line);
  if (h > 9) {
    EXPECT_EQ(c.At(32 + 7, top(5) + 9), kWhite);
  }
  // C (line 7): a plus box on a corner.
  EXPECT_EQ(c.At(7, top(7) + 5), kBlack);
  EXPECT_EQ(c.At(5, top(7) + 7), kBlack);
  // The text starts after the item's bitmap column, 4 pixels in.
  Span text = InkColumns(c, 16, 100, top(6), top(6) + h - 1, kWhite);  // B
  ASSERT_FALSE(text.empty());
  EXPECT_GE(text.first, 32 + 4);
  EXPECT_LE(text.first, 32 + 7);
}
