// Constructing browses: positions, styles, class styles, the members New and
// ReDefine set, and creation deferred until the parent has a window.
#include <gtest/gtest.h>

#include <algorithm>

#include "browse_support.h"

using namespace nx;
using namespace browsetest;

namespace {
bool HasControl(const TWindow& w, const TWindowPtr& c) {
  return std::find(w.aControls.begin(), w.aControls.end(), c) != w.aControls.end();
}
}  // namespace

TEST(BrowseNew, TextCoordinatesStylesAndInitialMembers) {
  Parent parent;
  auto b = TWBrowse::New({.nRow = 2, .nCol = 3, .nWidth = 200, .nHeight = 100,
                          .bLine = [](TWBrowse&) { return Array(2, Value("")); }, .oWnd = parent.get(),
                          .oFont = TestFont(), .cAlias = ""});
  // Text rows are 14 pixels, columns 8.
  EXPECT_EQ(b->nTop, 28);
  EXPECT_EQ(b->nLeft, 24);
  EXPECT_EQ(b->nBottom, 127);
  EXPECT_EQ(b->nRight, 223);
  ASSERT_TRUE(b->hWnd);
  // The style asked for; the live one loses a scroll bar's bit while the
  // bar's range is empty (the platform hides it), as it is with no rows.
  DWORD style = b->nStyle;
  for (DWORD bit : {WS_CHILD, WS_VSCROLL, WS_HSCROLL, WS_BORDER, WS_VISIBLE, WS_TABSTOP})
    EXPECT_EQ(style & bit, bit) << std::hex << bit;
  EXPECT_EQ(style & WS_CLIPSIBLINGS, 0u);
  LONG live = GetWindowLongA(b->hWnd, GWL_STYLE);
  for (LONG bit : {WS_CHILD, WS_BORDER, WS_VISIBLE, WS_TABSTOP}) EXPECT_EQ(live & bit, bit) << std::hex << bit;
  DWORD cls = GetClassLongA(b->hWnd, GCL_STYLE);
  EXPECT_EQ(cls & (CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS), DWORD(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
  EXPECT_EQ(b->cCaption, "");
  EXPECT_EQ(b->nLineStyle, 2);
  EXPECT_EQ(b->nRowPos, 1);
  EXPECT_EQ(b->nColPos, 1);
  EXPECT_EQ(b->nColAct, 1);
  EXPECT_TRUE(b->lMChange);
  EXPECT_FALSE(b->lCellStyle);
  EXPECT_EQ(b->nClrBackHead, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(b->nClrForeHead, GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(b->nClrBackFocus, GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(b->nClrForeFocus, GetSysColor(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(b->nClrText, 0u);
  EXPECT_EQ(b->nClrPane, GetSysColor(COLOR_WINDOW));
  EXPECT_TRUE(b->hCursorHand);
  EXPECT_EQ(b->nStopRatio, 4);
  EXPECT_EQ(b->nMaxRowToAdvance, 40);
  EXPECT_EQ(b->nMinVelocity, 50);
  EXPECT_TRUE(b->lDrawSelected);
  EXPECT_TRUE(b->lVisible);
  EXPECT_TRUE(HasControl(*parent.get(), b));
  EXPECT_TRUE(b->oVScroll);
  EXPECT_TRUE(b->oHScroll);
  // No headers given and no work area: the column numbers.
  ASSERT_EQ(b->aHeaders.size(), 2u);
  EXPECT_EQ(b->aHeaders[1].AsString(), "2");
}

TEST(BrowseNew, DeferredUntilTheParentHasAWindow) {
  auto parent = std::make_shared<TWindow>();
  auto b = TWBrowse::New({.nWidth = 200, .nHeight = 100, .bLine = [](TWBrowse&) { return Array(3, Value("x")); },
                          .oWnd = parent, .oFont = TestFont(), .cAlias = "", .lPixel = true});
  EXPECT_FALSE(b->hWnd);
  EXPECT_FALSE(b->lVisible);
  EXPECT_EQ(b->oFont, TestFont());
  EXPECT_TRUE(HasControl(*parent, b));
  EXPECT_TRUE(b->aHeaders.empty());  // Default has not run yet
}

TEST(BrowseReDefine, BlackHeaderTextAndDeferredCreation) {
  auto parent = std::make_shared<TWindow>();
  auto b = TWBrowse::ReDefine({.nId = 345, .bLine = [](TWBrowse&) { return Array(1, Value("x")); }, .oWnd = parent,
                               .nClrFore = RGB(1, 2, 3), .nClrBack = RGB(4, 5, 6), .cAlias = ""});
  EXPECT_EQ(b->nId, 345);
  EXPECT_FALSE(b->hWnd);
  EXPECT_FALSE(b->lVisible);
  EXPECT_FALSE(b->lDrag);
  EXPECT_EQ(b->nClrForeHead, 0u);
  EXPECT_EQ(b->nClrBackHead, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(b->nClrText, RGB(1, 2, 3));
  EXPECT_EQ(b->nClrPane, RGB(4, 5, 6));
  EXPECT_EQ(b->nLineStyle, 2);
  EXPECT_TRUE(b->hCursorHand);
  EXPECT_TRUE(HasControl(*parent, b));
  EXPECT_EQ(b->bLogicLen(*b), 0);
}
