// Combo and list boxes driven with posted keys and clicks: binding by
// position or text, the type-ahead search, the editable kind's edit buffer,
// adding, deleting and moving items, and owner-drawn items with bitmaps.
#include <gtest/gtest.h>

#include "classes/combobox.h"
#include "classes/listbox.h"
#include "classes/setget.h"
#include "common/client_pixels.h"
#include "dialogs/script.h"
#include "native/dispatch.h"

using namespace nx;
using dlgtest::PostKey;

namespace {

TWindowPtr Window() {
  return TWindow::New({.nTop = 0, .nLeft = 0, .nBottom = 300, .nRight = 400, .cTitle = "lists", .lPixel = true});
}

void PostChars(HWND h, const std::string& text) {
  for (char c : text) PostMessageA(h, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
  SYSREFRESH();
}

int ComboSel(const TComboBoxPtr& c) { return int(SendMessageA(c->hWnd, CB_GETCURSEL, 0, 0)) + 1; }

}  // namespace

TEST(ComboBox, BindsByPositionOrTextAndNilTakesTheFirstItem) {
  auto w = Window();
  std::vector<std::string> items = {"Red", "Green", "Blue"};
  Value none, pos(2), text("  blue "), other("Violet");
  std::vector<Value> befores;
  auto byNil = TComboBox::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(none), .aItems = items, .nWidth = 120,
                               .nHeight = 120, .lPixel = true});
  auto byPos = TComboBox::New({.nRow = 40, .nCol = 10, .bSetGet = BindVar(pos), .aItems = items, .nWidth = 120,
                               .nHeight = 120,
                               .bChange = [&](TComboBox&, const Value& before) { befores.push_back(before); },
                               .lPixel = true});
  auto byText = TComboBox::New({.nRow = 70, .nCol = 10, .bSetGet = BindVar(text), .aItems = items, .nWidth = 120,
                                .nHeight = 120, .lPixel = true});
  auto unmatched = TComboBox::New({.nRow = 100, .nCol = 10, .bSetGet = BindVar(other), .aItems = items,
                                   .nWidth = 120, .nHeight = 120, .lPixel = true, .nStyle = CB_DROPDOWNKIND});
  EXPECT_EQ(none, Value("Red"));
  EXPECT_EQ(ComboSel(byNil), 1);
  EXPECT_EQ(byPos->nAt, 2);
  EXPECT_EQ(ComboSel(byPos), 2);
  // A text matches trimmed and in any case, and is kept as it was given.
  EXPECT_EQ(byText->nAt, 3);
  EXPECT_EQ(ComboSel(byText), 3);
  EXPECT_EQ(unmatched->nAt, 0);
  EXPECT_EQ(GetWindowTextLengthA(unmatched->hEdit()), 6);
  EXPECT_EQ(other, Value("Violet"));

  // The keyboard moves the selection: a number stays a position, a text an item.
  SetFocus(byPos->hWnd);
  PostKey(VK_DOWN);
  SYSREFRESH();
  EXPECT_EQ(pos, Value(3));
  EXPECT_EQ(befores, std::vector<Value>{Value(2)});
  SetFocus(byText->hWnd);
  PostKey(VK_UP);
  SYSREFRESH();
  EXPECT_EQ(text, Value("Green"));
  SetFocus(byNil->hWnd);
  PostKey(VK_END);
  SYSREFRESH();
  EXPECT_EQ(none, Value("Blue"));

  // Items added, modified and deleted stay in step with the control.
  byPos->Add("Black", 1);
  EXPECT_EQ(byPos->aItems.front(), "Black");
  EXPECT_EQ(byPos->nAt, 4);
  byPos->Modify("Grey", 2);
  EXPECT_EQ(byPos->FindString("Grey"), 2);
  EXPECT_EQ(byPos->FindString("Red"), 0);
  byPos->Del(4);
  EXPECT_EQ(byPos->Len(), 3);
  EXPECT_EQ(SendMessageA(byPos->hWnd, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(byPos->nAt, 3);
  EXPECT_EQ(ComboSel(byPos), 3);

  // The list opens and closes; the close-up hook runs.
  int closeUps = 0;
  byText->bCloseUp = [&](TComboBox&) { ++closeUps; };
  byText->Open();
  EXPECT_TRUE(byText->IsOpen());
  byText->Close();
  SYSREFRESH();
  EXPECT_TRUE(byText->IsClosed());
  EXPECT_EQ(closeUps, 1);

  // SetItems starts over with the new items and an emptied variable.
  byText->SetItems({"One", "Two"});
  EXPECT_EQ(text, Value(""));
  EXPECT_EQ(byText->nAt, 0);
  EXPECT_EQ(SendMessageA(byText->hWnd, CB_GETCOUNT, 0, 0), 2);
  DestroyWindow(w->hWnd);
}

TEST(ComboBox, TypeAheadFindsThePrefixAndBackspaceGoesBack) {
  auto w = Window();
  std::vector<std::string> items = {"Apple", "Banana", "Abbey", "abacus"};
  Value text, pos(0);
  auto byText = TComboBox::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(text), .aItems = items, .nWidth = 120,
                                .nHeight = 120, .lPixel = true});
  auto byPos = TComboBox::New({.nRow = 40, .nCol = 10, .bSetGet = BindVar(pos), .aItems = items, .nWidth = 120,
                               .nHeight = 120, .lPixel = true});
  byText->lIncSearch = byPos->lIncSearch = true;
  for (auto& c : {byText, byPos}) {
    SetFocus(c->hWnd);
    PostChars(c->hWnd, "a");
    EXPECT_EQ(ComboSel(c), 1);
    PostChars(c->hWnd, "b");
    EXPECT_EQ(c->cSearchKey, "ab");
    EXPECT_EQ(ComboSel(c), 3);  // the first beginning with "ab", in any case
    PostChars(c->hWnd, "x");  // no match: the item stays
    EXPECT_EQ(ComboSel(c), 3);
    PostChars(c->hWnd, "\b\b");
    EXPECT_EQ(c->cSearchKey, "a");
    EXPECT_EQ(ComboSel(c), 1);
  }
  EXPECT_EQ(text, Value("Apple"));
  EXPECT_EQ(pos, Value(1));
  // Focus clears the prefix.
  SetFocus(byText->hWnd);
  EXPECT_EQ(byText->cSearchKey, "");
  DestroyWindow(w->hWnd);
}

TEST(ComboBox, EditableKindTypesThroughItsPictureAndStoresOnLeaving) {
  auto w = Window();
  Value city("PARIS");
  int edits = 0;
  auto combo = TComboBox::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(city), .aItems = {"ROME", "PARIS"},
                               .nWidth = 150, .nHeight = 120, .lPixel = true, .nStyle = CB_DROPDOWNKIND,
                               .cPicture = "@!", .bEditChange = [&](TComboBox&) { ++edits; }});
  auto other = TComboBox::New({.nRow = 60, .nCol = 10, .aItems = {"x"}, .nWidth = 150, .nHeight = 120,
                               .lPixel = true});
  ASSERT_NE(combo->hEdit(), nullptr);
  ASSERT_TRUE(combo->oGet);
  EXPECT_EQ(combo->nAt, 2);
  SetFocus(combo->hWnd);
  SYSREFRESH();
  EXPECT_EQ(GetFocus(), combo->hEdit());
  EXPECT_TRUE(combo->oGet->HasFocus());
  // A selection typed over is deleted first; the picture upper-cases what is typed.
  SendMessageA(combo->hEdit(), EM_SETSEL, 0, 5);
  PostChars(combo->hEdit(), "rome");
  char shown[32] = "";
  GetWindowTextA(combo->hEdit(), shown, sizeof shown);
  EXPECT_STREQ(shown, "ROME ");  // the picture's width while focused
  EXPECT_EQ(edits, 4);
  EXPECT_EQ(city, Value("PARIS"));  // not yet: the variable takes it on leaving
  SetFocus(other->hWnd);
  SYSREFRESH();
  EXPECT_EQ(city, Value("ROME"));
  EXPECT_EQ(combo->nAt, 1);
  EXPECT_EQ(ComboSel(combo), 1);
  // Typing something that is no item keeps the text.
  SetFocus(combo->hWnd);
  SYSREFRESH();
  SendMessageA(combo->hEdit(), EM_SETSEL, 0, 4);
  PostChars(combo->hEdit(), "oslo");
  SetFocus(other->hWnd);
  SYSREFRESH();
  EXPECT_EQ(city, Value("OSLO"));
  EXPECT_EQ(combo->nAt, 0);
  // Picking an item from the list reloads the edit.
  SetFocus(combo->hWnd);
  PostKey(VK_DOWN, combo->hEdit());
  SYSREFRESH();
  GetWindowTextA(combo->hEdit(), shown, sizeof shown);
  EXPECT_EQ(std::string(shown).substr(0, 4), "ROME");
  // Type-ahead with the edit: a prefix without a match becomes the value.
  combo->lIncSearch = true;
  SetFocus(other->hWnd);
  SetFocus(combo->hWnd);
  SYSREFRESH();
  PostChars(combo->hEdit(), "pa");
  EXPECT_EQ(city, Value("PARIS"));
  PostChars(combo->hEdit(), "z");
  EXPECT_EQ(city, Value("paz"));
  DestroyWindow(w->hWnd);
}

TEST(ListBox, BindsMovesAndDeletesKeepingTheSelection) {
  auto w = Window();
  Value text, pos(2);
  int changes = 0;
  auto byText = TListBox::New({.nRow = 10, .nCol = 10, .bSetGet = BindVar(text), .aItems = {"one", "two", "three"},
                               .nWidth = 100, .nHeight = 100, .bChange = [&](TListBox&) { ++changes; },
                               .lPixel = true});
  auto byPos = TListBox::New({.nRow = 10, .nCol = 150, .bSetGet = BindVar(pos), .aItems = {"a", "b", "c"},
                              .nWidth = 100, .nHeight = 100, .lPixel = true});
  EXPECT_EQ(byText->GetPos(), 1);  // NIL counts as an empty text: the first item
  EXPECT_EQ(byPos->GetPos(), 2);
  SetFocus(byText->hWnd);
  PostKey(VK_DOWN);
  SYSREFRESH();
  EXPECT_EQ(text, Value("two"));
  EXPECT_EQ(changes, 1);
  SetFocus(byPos->hWnd);
  PostKey(VK_DOWN);
  SYSREFRESH();
  EXPECT_EQ(pos, Value(3));
  // Deleting the last item moves the selection to the new last one.
  byPos->Del();
  EXPECT_EQ(byPos->Len(), 2);
  EXPECT_EQ(byPos->GetPos(), 2);
  byPos->Del(1);
  EXPECT_EQ(byPos->GetPos(), 1);
  EXPECT_EQ(byPos->GetItem(1), "b");
  // Add appends or goes after a position, and selects the new item.
  byPos->Add("z");
  EXPECT_EQ(byPos->GetPos(), 2);
  byPos->Add("y", 0);
  EXPECT_EQ(byPos->aItems, (std::vector<std::string>{"y", "b", "z"}));
  EXPECT_EQ(byPos->GetItem(1), "y");
  byPos->Modify("Y");
  EXPECT_EQ(byPos->GetSelText(), "Y");
  byPos->SwapDown();
  EXPECT_EQ(byPos->aItems, (std::vector<std::string>{"b", "Y", "z"}));
  EXPECT_EQ(byPos->GetItem(2), "Y");
  EXPECT_EQ(byPos->GetPos(), 2);
  EXPECT_EQ(pos, Value(2));
  byText->Set("THREE ");
  EXPECT_EQ(byText->GetPos(), 3);
  DestroyWindow(w->hWnd);
}

TEST(ListBox, SortedAndMultipleSelectionListsKeepTheArrayInStep) {
  auto w = Window();
  auto sorted = TListBox::New({.nRow = 10, .nCol = 10, .aItems = {"pear", "fig", "kiwi"}, .nWidth = 100,
                               .nHeight = 100, .lPixel = true, .lSort = true});
  EXPECT_EQ(sorted->aItems, (std::vector<std::string>{"fig", "kiwi", "pear"}));
  sorted->Add("grape");
  EXPECT_EQ(sorted->aItems, (std::vector<std::string>{"fig", "grape", "kiwi", "pear"}));
  EXPECT_EQ(sorted->GetSelText(), "grape");
  auto multi = TListBox::New({.nRow = 10, .nCol = 150, .aItems = {"a", "b", "c", "d"}, .nWidth = 100,
                              .nHeight = 100, .lPixel = true, .lMulti = true});
  EXPECT_TRUE(multi->IsMultipleSel());
  multi->SetSelItems({2, 4});
  EXPECT_EQ(multi->GetSelItems(), (std::vector<int>{1, 2, 4}));  // the first was selected by Default
  EXPECT_EQ(multi->aSelections(), (std::vector<std::string>{"a", "b", "d"}));
  DestroyWindow(w->hWnd);
}

TEST(ListBox, OwnerDrawnItemsShowTheirBitmapsAndText) {
  auto w = Window();
  // Two 16x16 bitmaps of plain colours with a transparent corner.
  auto solid = [](COLORREF c) {
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, 16, 16);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, b);
    HBRUSH brush = CreateSolidBrush(c);
    RECT r{0, 0, 16, 16};
    FillRect(mem, &r, brush);
    DeleteObject(brush);
    SetPixelV(mem, 0, 0, RGB(255, 0, 255));  // the corner colour is the transparent one
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return b;
  };
  auto list = TListBox::New({.nRow = 10, .nCol = 10, .aItems = {"first", "second", "third"}, .nWidth = 150,
                             .nHeight = 100, .lPixel = true});
  // Bitmaps given as handles must come before the window: a new list.
  auto drawn = std::make_shared<TListBox>();
  drawn->oWnd = w;
  drawn->aItems = {"first", "second", "third"};
  drawn->bSetGet = OwnVar();
  drawn->SetBitmaps(std::vector<HBITMAP>{solid(RGB(255, 0, 0)), solid(RGB(0, 0, 255))});
  drawn->bDrawItem = [](int n) { return n == 3 ? 1 : n; };
  drawn->nTop = 10;
  drawn->nLeft = 200;
  drawn->nBottom = 110;
  drawn->nRight = 350;
  drawn->nStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
  drawn->nId = TControl::GetNewId();
  drawn->Create("LISTBOX");
  ASSERT_NE(drawn->hWnd, nullptr);
  w->AddControl(drawn);
  drawn->Default();
  EXPECT_EQ(SendMessageA(drawn->hWnd, LB_GETITEMHEIGHT, 0, 0), 16);
  EXPECT_EQ(drawn->GetItem(2), "second");
  ShowWindow(w->hWnd, SW_SHOW);
  UpdateWindow(w->hWnd);
  SYSREFRESH();
  int width = 0, height = 0;
  auto px = nxtest::ClientPixels(drawn->hWnd, width, height);
  ASSERT_GE(height, 48);
  auto at = [&](int x, int y) { return px[size_t(y) * size_t(width) + size_t(x)]; };
  EXPECT_EQ(at(8, 24), 0x0000FFu);  // item 2: the blue bitmap
  EXPECT_EQ(at(8, 40), 0xFF0000u);  // item 3: bitmap 1 through bDrawItem
  // Item 1 is selected: its text column is in the highlight colour.
  COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);
  DWORD hlRgb = (GetRValue(hl) << 16) | (GetGValue(hl) << 8) | GetBValue(hl);
  EXPECT_EQ(at(width - 5, 8), hlRgb);
  (void)list;
  DestroyWindow(w->hWnd);
}
