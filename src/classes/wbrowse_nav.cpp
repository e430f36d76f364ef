// TWBrowse: keyboard, wheel and scroll-bar navigation, and the mapping of
// rows onto a scroll bar of at most 10000 positions.
#include <algorithm>
#include <optional>
#include <utility>

#include "classes/scrllbar.h"
#include "classes/wbrowse.h"
#include "native/gdi.h"

namespace nx {

namespace {
constexpr int kBarPositions = 10000;
}

// ---- scroll bar mapping ------------------------------------------------------------------

void TWBrowse::VSetPos(int n) {
  nVScrollPos = n;
  if (!oVScroll) return;
  BarMove(nLen <= kBarPositions ? n : int(int64_t(n) * kBarPositions / nLen));
}

namespace {
// Where the window's own vertical bar draws its thumb, if it can be told.
std::optional<std::pair<LONG, LONG>> Thumb(HWND hWnd) {
  SCROLLBARINFO sbi{};
  sbi.cbSize = sizeof sbi;
  if (!hWnd || !GetScrollBarInfo(hWnd, OBJID_VSCROLL, &sbi)) return std::nullopt;
  return std::pair<LONG, LONG>{sbi.xyThumbTop, sbi.xyThumbBottom};
}
}  // namespace

// A themed bar's redraw costs milliseconds under Wine and a one-row move
// mostly leaves the thumb on its pixel: the position is set without a
// redraw, and the bar is redrawn (once per batch) only when the thumb
// stands elsewhere than where it was drawn.
void TWBrowse::BarMove(int nPos) {
  if (!oVScroll->lIsChild || !oVScroll->lReDraw || !hWnd) {
    oVScroll->SetPos(nPos);
    return;
  }
  if (!barPending_) {
    std::optional<std::pair<LONG, LONG>> drawn = Thumb(hWnd);
    if (!drawn) {
      oVScroll->SetPos(nPos);
      return;
    }
    barDrawnPos_ = GetScrollPos(hWnd, SB_VERT);
    barDrawnThumb_ = *drawn;
    barPending_ = true;
  }
  oVScroll->lReDraw = false;
  oVScroll->SetPos(nPos);
  oVScroll->lReDraw = true;
  if (barHold_ == 0) BarFlush();
}

void TWBrowse::BarFlush() {
  if (!std::exchange(barPending_, false) || !hWnd) return;
  std::optional<std::pair<LONG, LONG>> now = Thumb(hWnd);
  if (now && *now == barDrawnThumb_) return;
  // Redrawn as a move from the drawn position, as a direct move would.
  int pos = GetScrollPos(hWnd, SB_VERT);
  SetScrollPos(hWnd, SB_VERT, barDrawnPos_, FALSE);
  SetScrollPos(hWnd, SB_VERT, pos, TRUE);
}

void TWBrowse::ScrollLines(int nLines) {
  if (wholeRepaint_ > 0 && kept_ && hWnd && KeepsPicture()) {
    KeptScroll(nLines);
    InvalidateRect(hWnd, nullptr, FALSE);
    return;
  }
  WBRWSCROLL(hWnd, nLines, FontHandle());
  KeptScroll(nLines);
}

void TWBrowse::VThumbPos(int nBarPos) {
  nVScrollPos = VGetThumbPos(nBarPos);
  if (oVScroll) oVScroll->SetPos(nBarPos);
}

void TWBrowse::VSetRange() {
  nVScrollPos = 1;
  if (oVScroll) oVScroll->SetRange(std::min(1, nLen), std::min(kBarPositions, nLen));
}

int TWBrowse::VGetMax() {
  if (!oVScroll) return 0;
  int max = oVScroll->GetRange().second;
  return nLen > kBarPositions ? int(int64_t(max) * nLen / kBarPositions) : max;
}

void TWBrowse::VGoDown() {
  if (nVScrollPos < nLen) VSetPos(nVScrollPos + 1);
}

void TWBrowse::VGoUp() {
  if (nVScrollPos > 1) VSetPos(nVScrollPos - 1);
}

int TWBrowse::VGetThumbPos(int nBarPos) const {
  return nLen <= kBarPositions ? nBarPos : int(int64_t(nBarPos) * nLen / kBarPositions);
}

// ---- rows ---------------------------------------------------------------------------------

Value TWBrowse::GoUp() {
  if (RefreshLen() < 1 || lHitTop) return Value();
  TWBrowsePtr keep = SelfBrw();
  DrawLine();
  if (Skip(-1) == -1) {
    lHitBottom = false;
    if (nRowPos > 1) --nRowPos;
    else ScrollLines(-1);
  } else {
    lHitTop = true;
  }
  DrawSelect();
  if (oVScroll) VGoUp();
  if (bChange) bChange(*this);
  return Value();
}

Value TWBrowse::GoDown() {
  if (RefreshLen() < 1 || lHitBottom) return Value();
  TWBrowsePtr keep = SelfBrw();
  DrawLine();
  if (Skip(1) == 1) {
    lHitTop = false;
    if (nRowPos < nRowCount()) ++nRowPos;
    else ScrollLines(1);
  } else {
    lHitBottom = true;
  }
  DrawSelect();
  if (oVScroll) VGoDown();
  if (bChange) bChange(*this);
  return Value();
}

Value TWBrowse::GoLeft() {
  if (RefreshLen() < 1 || nColAct <= 1) return Value();
  if (lCellStyle && IsColVisible(nColAct - 1)) {
    --nColAct;
    DrawSelect();
  } else {
    --nColPos;
    --nColAct;
    nColPos = std::max(nColPos, 1);
    Refresh();
  }
  if (oHScroll) oHScroll->GoUp();
  return Value();
}

Value TWBrowse::GoRight() {
  if (RefreshLen() < 1 || nColAct >= nColumns()) return Value();
  bool wasVisible = IsColVisible(nColAct + 1);
  ++nColAct;
  while (!IsColVisible(nColAct) && nColPos < nColAct) ++nColPos;
  if (!lCellStyle) {
    nColPos = nColAct;
    Refresh();
  } else if (wasVisible) {
    DrawSelect();
  } else {
    Refresh();
  }
  if (oHScroll) oHScroll->GoDown();
  return Value();
}

Value TWBrowse::GoTop() {
  if (RefreshLen() < 1 || lHitTop) return Value();
  if (bGoTop) bGoTop(*this);
  lHitTop = true;
  lHitBottom = false;
  nRowPos = 1;
  Refresh(false);
  if (oVScroll) VGoTop();
  if (bChange) bChange(*this);
  return Value();
}

Value TWBrowse::GoBottom() {
  int rows = nRowCount();
  int oldLen = nLen;
  if (RefreshLen() < 1) return Value();
  if (nLen > oldLen) lHitBottom = false;
  if (!lHitBottom) {
    TWBrowsePtr keep = SelfBrw();
    lHitBottom = true;
    lHitTop = false;
    if (bGoBottom) bGoBottom(*this);
    int s = Skip(-(rows - 1));
    nRowPos = 1 - s;
    GetDC();
    for (int line = 1; line <= -s; ++line) {
      DrawLine(line);
      Skip(1);
    }
    DrawSelect();
    ReleaseDC();
    if (oVScroll) {
      RefreshLen();
      if (VGetMax() != nLen) VSetRange();
      VGoBottom();
    }
    if (bChange) bChange(*this);
  }
  return Value();
}

Value TWBrowse::PageUp(std::optional<int> lines) {
  int nLines = lines.value_or(nRowCount());
  int s = Skip(-nLines);
  if (RefreshLen() < 1) return Value();
  if (lHitTop) {
    if (oVScroll) VGoTop();
    return Value();
  }
  if (s == 0) {
    lHitTop = true;
    return Value();
  }
  lHitBottom = false;
  if (-s < nLines) {
    nRowPos = 1;
    VSetPos(1);
  } else {
    VSetPos(VGetPos() + s);
  }
  Refresh(false);
  if (bChange) bChange(*this);
  return Value();
}

Value TWBrowse::PageDown(std::optional<int> lines) {
  if (RefreshLen() < 1 || lHitBottom) return Value();
  TWBrowsePtr keep = SelfBrw();
  int nLines = lines.value_or(nRowCount());
  DrawLine();
  int s = Skip(2 * nLines - nRowPos);
  if (s != 0) lHitTop = false;
  if (s == 0 || s < nLines) {
    if (s > nLines - nRowPos) {
      GetDC();
      Skip(-nLines);
      for (int line = 1; line <= nLines - 1; ++line) {
        Skip(1);
        DrawLine(line);
      }
      ReleaseDC();
      Skip(1);
    }
    nRowPos = std::min(nRowPos + s, nLines);
    lHitBottom = true;
    if (oVScroll) VGoBottom();
  } else {
    GetDC();
    for (int line = nLines; line >= 1; --line) {
      DrawLine(line);
      Skip(-1);
    }
    ReleaseDC();
    Skip(nRowPos);
  }
  DrawSelect();
  if (bChange) bChange(*this);
  if (oVScroll) {
    if (lHitBottom) VGoBottom();
    else VSetPos(VGetPos() + s - (nLines - nRowPos));
  }
  return Value();
}

// ---- keyboard and wheel -----------------------------------------------------------------------

Value TWBrowse::KeyDown(int nKey, int nFlags) {
  bool ctrl = GetKeyState(VK_CONTROL) & 0x8000;
  switch (nKey) {
    case VK_UP: GoUp(); return Value(0);
    case VK_DOWN: GoDown(); return Value(0);
    case VK_LEFT: GoLeft(); return Value(0);
    case VK_RIGHT: GoRight(); return Value(0);
    case VK_HOME: GoTop(); return Value(0);
    case VK_END: GoBottom(); return Value(0);
    case VK_PRIOR:
      if (ctrl) GoTop();
      else PageUp();
      return Value(0);
    case VK_NEXT:
      if (ctrl) GoBottom();
      else PageDown();
      return Value(0);
    case VK_RETURN:
      if (!lAutoEdit || RefreshLen() < 1) return TControl::KeyDown(nKey, nFlags);
      // The Enter character that follows must not reach the browse under the editor.
      if (MSG m; PeekMessageA(&m, hWnd, WM_CHAR, WM_CHAR, PM_NOREMOVE) && m.wParam == VK_RETURN)
        PeekMessageA(&m, hWnd, WM_CHAR, WM_CHAR, PM_REMOVE);
      Edit(nColAct);
      return Value(0);
    default: return TControl::KeyDown(nKey, nFlags);
  }
}

Value TWBrowse::GetDlgCode(WPARAM nKey) {
  if (TWindowPtr parent = Parent(); parent && !parent->lValidating)
    parent->nLastKey = nKey == VK_UP || nKey == VK_DOWN || nKey == VK_RETURN || nKey == VK_TAB ? int(nKey) : 0;
  return Value(hWnd && IsWindowEnabled(hWnd) ? DLGC_WANTALLKEYS : 0);
}

Value TWBrowse::MouseWheel(int nKeys, int nDelta, int nXPos, int nYPos) {
  POINT pt{nXPos, nYPos};
  if (hWnd) ScreenToClient(hWnd, &pt);
  if (pt.y > 0.8 * nHeight()) {
    if (nDelta > 0) GoLeft();
    else GoRight();
  } else if (nKeys & MK_MBUTTON) {
    if (nDelta > 0) PageUp();
    else PageDown();
  } else {
    if (nDelta > 0) GoUp();
    else GoDown();
  }
  return Value();
}

// ---- scroll bars ----------------------------------------------------------------------------------

Value TWBrowse::VScroll(WPARAM nWParam, LPARAM nLParam) {
  TWBrowsePtr keep = SelfBrw();
  if (hWnd && GetFocus() != hWnd) ::SetFocus(hWnd);
  if (nLParam != 0 || !oVScroll) return Value(0);
  int code = LOWORD(nWParam), pos = HIWORD(nWParam);
  switch (code) {
    case SB_LINEUP: GoUp(); return Value(0);
    case SB_LINEDOWN: GoDown(); return Value(0);
    case SB_PAGEUP: PageUp(); return Value(0);
    case SB_PAGEDOWN: PageDown(); return Value(0);
    case SB_TOP: GoTop(); return Value(0);
    case SB_BOTTOM: GoBottom(); return Value(0);
    case SB_THUMBPOSITION: break;
    default: return Value();
  }
  if (RefreshLen() < 1) return Value(0);
  int barMax = oVScroll->GetRange().second;
  if (pos <= 1) {
    GoTop();
  } else if (pos == barMax) {
    GoBottom();
  } else {
    HCURSOR old = WSETCURSOR(LoadCursor(nullptr, IDC_WAIT));
    Skip(VGetThumbPos(pos) - VGetPos());
    lHitTop = lHitBottom = false;
    WSETCURSOR(old ? old : CURSORARROW());
  }
  VThumbPos(pos);
  int n = nRowCount();
  int len = bLogicLen ? bLogicLen(*this) : 0;
  int barMin = oVScroll->GetRange().first;
  barMax = oVScroll->GetRange().second;
  if (pos - barMin < n) nRowPos = 1;
  if (barMax - pos < std::min(n, len)) nRowPos = std::min(n, len) - (barMax - pos);
  Refresh(false);
  if (bChange) bChange(*this);
  return Value(0);
}

Value TWBrowse::HScroll(WPARAM nWParam, LPARAM) {
  TWBrowsePtr keep = SelfBrw();
  if (oGet && oGet->hWnd) oGet->End();
  int code = LOWORD(nWParam), pos = HIWORD(nWParam);
  int c = nColPos, columns = nColumns();
  switch (code) {
    case SB_LINELEFT: GoLeft(); return Value(0);
    case SB_LINERIGHT: GoRight(); return Value(0);
    case SB_PAGELEFT:
      while (nColPos > 1 && (IsColVisible(c) || nColPos == c)) --nColPos;
      nColAct = nColPos;
      break;
    case SB_PAGERIGHT:
      while (c < columns && (IsColVisible(c) || nColPos == c)) ++c;
      nColPos = nColAct = c;
      break;
    case SB_LEFT: nColPos = nColAct = 1; break;
    case SB_RIGHT: nColPos = nColAct = columns; break;
    case SB_THUMBPOSITION: nColPos = nColAct = pos; break;
    default: return Value();
  }
  if (oHScroll) oHScroll->SetPos(nColAct);
  Refresh(false);
  return Value(0);
}

}  // namespace nx
