// TCBrowse: the mouse. On the header a press starts a header drag (a drop
// on another column exchanges the two) or, within 2 pixels of a border, a
// border drag that resizes the column; a double click there sorts by the
// column. On the data lines the browse's own press, drag and glide run.
#include <algorithm>

#include "classes/tcbrowse.h"
#include "native/gdi.h"
#include "native/tcbrowse.h"
#include "rt/error.h"
#include "rt/workarea.h"

namespace nx {

namespace {

// Runs the browse's own handler with column resizing off: the column
// browse resizes on its header only.
template <class F>
Value WithoutResize(TCBrowse& b, F&& f) {
  bool keep = b.lMChange;
  b.lMChange = false;
  struct Restore {
    TCBrowse& b;
    bool v;
    ~Restore() { b.lMChange = v; }
  } restore{b, keep};
  return f();
}

}  // namespace

// The scrolled column whose right border lies within 2 pixels of x; the
// rightmost when several do, so that a column shrunk to nothing can be
// widened again.
int TCBrowse::BorderAt(int nCol, int* pColumn) {
  int hit = 0;
  for (const DrawnColumn& d : ColumnWalk()) {
    if (d.nCol <= nFreeze) continue;
    int x = d.nLeft + aColSizes[size_t(d.nCol - 1)];
    if (nCol >= x - 2 && nCol <= x + 2) {
      hit = x;
      *pColumn = d.nCol;
    }
  }
  return hit;
}

Value TCBrowse::LButtonDown(int nRow, int nCol, int nKeyFlags) {
  TCBrowsePtr keep = SelfCBrw();
  if (lDrag) return TWBrowse::LButtonDown(nRow, nCol, nKeyFlags);
  SetFocus();
  if (!hWnd) return Value(0);  // the focus change closed the window
  if (lIconView) {
    DrawIcon(nAtIcon(nRow, nCol), true);
    return Value();
  }
  int line = NTCWROW(hWnd, nullptr, nRow, FontHandle());
  if (line == 0) {
    if (!lMChange) return Value();
    int column = 0;
    if (int x = BorderAt(nCol, &column)) {
      lLineDrag = true;
      VertLineTc(x, column);
    } else {
      lColDrag = true;
      nDragCol = nAtCol(nCol);
    }
    lCaptured = true;
    SetCapture(hWnd);
    return Value();
  }
  if (nLen < 1 || line > nRowCount()) return Value();
  WithoutResize(*this, [&] { return TWBrowse::LButtonDown(nRow, nCol, nKeyFlags); });
  return Value(0);
}

void TCBrowse::EndHeaderDrag() {
  if (lLineDrag) {
    lLineDrag = false;
    VertLineTc();  // the width reached so far
  }
  lColDrag = false;
  if (lCaptured) {
    lCaptured = false;
    ReleaseCapture();
  }
  lMouseDown = false;
}

Value TCBrowse::MouseMove(int nRow, int nCol, int nKeyFlags) {
  TCBrowsePtr keep = SelfCBrw();
  if (lDrag) return TWBrowse::MouseMove(nRow, nCol, nKeyFlags);
  if (lIconView) {
    int icon = nAtIcon(nRow, nCol);
    if (icon != nLitIcon) {
      if (nLitIcon) DrawIcon(nLitIcon, false);
      if (icon) DrawIcon(icon, true);
      nLitIcon = icon;
    }
    if (icon) CURSORHAND();
    return Value(0);
  }
  int line = NTCWROW(hWnd, nullptr, nRow, FontHandle());
  if (nCol < FrozenWidth() || line != 0 || !lMChange) {
    if (lColDrag || lLineDrag) EndHeaderDrag();
    if (!lPressed) WSETCURSOR(CURSORARROW());
    WithoutResize(*this, [&] { return TWBrowse::MouseMove(nRow, nCol, nKeyFlags); });
    return Value(0);
  }
  int column = 0;
  if (lColDrag) {
    CURSORCATCH();
  } else if (lLineDrag) {
    WSETCURSOR(CURSORWE());
    VertLineTc(nCol);
  } else if (BorderAt(nCol, &column)) {
    WSETCURSOR(CURSORWE());
  } else {
    CURSORHAND();
  }
  return Value(0);
}

Value TCBrowse::LButtonUp(int nRow, int nCol, int nKeyFlags) {
  TCBrowsePtr keep = SelfCBrw();
  if (lDrag) {
    if (!lColDrag) return TWBrowse::LButtonUp(nRow, nCol, nKeyFlags);
    lDrag = false;
  }
  int line = NTCWROW(hWnd, nullptr, nRow, FontHandle());
  if (lCaptured) {
    lCaptured = false;
    ReleaseCapture();
    if (lLineDrag) {
      lLineDrag = false;
      VertLineTc();
    } else if (lColDrag) {
      lColDrag = false;
      RECT r{};
      GetClientRect(hWnd, &r);
      if (line == 0 && nRow >= 0 && nCol > 0 && nCol < r.right) {
        int target = nAtCol(nCol);
        if (target >= 1 && target <= int(aColumns.size()) && target != nDragCol) Exchange(nDragCol, target);
      }
    }
  }
  if (line == 0 && nRow >= 0 && aActions) {
    int col = nAtCol(nCol);
    if (col >= 1 && col <= int(aActions->size()) && (*aActions)[size_t(col - 1)]) {
      (*aActions)[size_t(col - 1)](*this, nRow, nCol);
      return Value();
    }
  }
  return TWBrowse::LButtonUp(nRow, nCol, nKeyFlags);
}

Value TCBrowse::LDblClick(int nRow, int nCol, int nKeyFlags) {
  TCBrowsePtr keep = SelfCBrw();
  int line = NTCWROW(hWnd, nullptr, nRow, FontHandle());
  if (line == 0) {
    SetOrder(nAtCol(nCol));
    return Value();
  }
  if (line == nRowPos && nLen > 0 && lAutoEdit) {
    int col = nAtCol(nCol);
    if (col >= 1 && col <= int(aColumns.size()) && aColumns[size_t(col - 1)]->lEdit) EditCell(col);
  }
  if (bLDblClick && hWnd) bLDblClick(nRow, nCol, nKeyFlags, *this);
  return Value();
}

// Edits a cell and writes an accepted value back through the column, for a
// work area under a record lock.
void TCBrowse::EditCell(int nCol) {
  const TCColumnPtr col = aColumns[size_t(nCol - 1)];
  Value value = col->Get();
  CondHook valid;
  if (col->bValid)
    valid = [col](TWindow& oEditor) {
      auto* editor = dynamic_cast<TControl*>(&oEditor);
      return col->bValid(editor ? editor->VarGet() : Value());
    };
  if (!lEditCol(nCol, value, {.cPicture = col->cPicture.value_or(""), .bValid = valid})) return;
  if (IsWorkArea()) {
    if (!InAlias(cAlias, [] { return RLock(); })) {
      MessageBoxA(hWnd, "Record in use", "Please, try again", MB_ICONSTOP);
      return;
    }
    col->Put(value);
    InAlias(cAlias, [] { DbUnlock(); });
  } else {
    col->Put(value);
  }
  DrawSelect();
}

std::optional<ARect> TCBrowse::CellRect(int nCol) {
  for (const DrawnColumn& d : ColumnWalk())
    if (d.nCol == nCol) return ATCBRWPOSRECT(hWnd, nRowPos, d.nLeft, d.nWidth, FontHandle());
  return std::nullopt;
}

void TCBrowse::Edit(int nCol) {
  if (nLen > 0 && nCol >= 1 && nCol <= int(aColumns.size()) && aColumns[size_t(nCol - 1)]->lEdit) EditCell(nCol);
}

// The guide line of a border drag: started with the border's x and column,
// moved with the pointer's x, finished (no arguments) by applying the
// width reached. A column can shrink to nothing, not below.
void TCBrowse::VertLineTc(std::optional<int> nColPix, std::optional<int> nColInit) {
  if (nColInit) {
    nLineCol = *nColInit;
    nLineStartX = nColPix.value_or(0);
    nLineDrawnX = 0;
  } else if (!nColPix) {
    SyncSizes();
    int c = nLineCol;
    if (c >= 1 && c <= int(aColumns.size())) {
      int width = std::max(0, aColSizes[size_t(c - 1)] - (nLineStartX - nLineDrawnX));
      aColSizes[size_t(c - 1)] = width;
      aColumns[size_t(c - 1)]->nWidth = width;
    }
    Refresh();
  }
  if (!hWnd) return;
  RECT r{};
  GetClientRect(hWnd, &r);
  HDC dc = ::GetDC(hWnd);
  if (nLineDrawnX) {
    INVERTRECT(dc, ARect{0, nLineDrawnX - 1, r.bottom, nLineDrawnX + 1});
    nLineDrawnX = 0;
  }
  if (nColPix && *nColPix - 1 > 0) {
    INVERTRECT(dc, ARect{0, *nColPix - 1, r.bottom, *nColPix + 1});
    nLineDrawnX = *nColPix;
  }
  ::ReleaseDC(hWnd, dc);
}

}  // namespace nx
