// TWBrowse: the mouse. Pressing selects a row; dragging moves the rows with
// the pointer; a quick release glides on, slowing step by step; dragging a
// column border resizes the column.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <utility>

#include "classes/cursor.h"
#include "classes/scrllbar.h"
#include "classes/wbrowse.h"
#include "native/dispatch.h"
#include "native/draw.h"
#include "native/gdi.h"
#include "rt/strings.h"
#include "rt/workarea.h"

namespace nx {

namespace {

// Whether the pointer's leave is watched for the window already: asking
// costs nothing, arming it again costs a round trip to the system.
bool TracksLeave(HWND hWnd) {
  TRACKMOUSEEVENT q{sizeof q, TME_QUERY, nullptr, 0};
  return TrackMouseEvent(&q) && (q.dwFlags & TME_LEAVE) && q.hwndTrack == hWnd;
}

// Right border of column c (x of its last pixel + 1) within 1 pixel of nCol.
int BorderHit(const std::vector<int>& sizes, int nColPos, int startX, int nCol, int* column) {
  int x = startX;
  for (int c = std::max(nColPos, 1); c <= int(sizes.size()); ++c) {
    x += sizes[size_t(c - 1)];
    if (x - 1 <= nCol && nCol <= x + 1) {
      *column = c;
      return x;
    }
  }
  return 0;
}

}  // namespace

Value TWBrowse::HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  if (nMsg == WM_MOUSELEAVE) return MouseLeave(HIWORD(nLParam), LOWORD(nLParam), int(nWParam));
  // The look changed under the kept picture.
  if (nMsg == WM_THEMECHANGED || nMsg == WM_SYSCOLORCHANGE || nMsg == WM_SETTINGCHANGE) ForgetPicture();
  if (nMsg >= WM_LBUTTONDOWN && nMsg <= WM_LBUTTONDBLCLK && EatGlideClick(nMsg)) return Value(0);
  return TControl::HandleEvent(nMsg, nWParam, nLParam);
}

// A click during a glide stops it and never reaches the handlers, wherever
// it is met: removed by the glide itself or dispatched by its pump. The
// button-up of that click and a double click made of it come later, maybe
// after the glide, and are eaten too; the next real press clears that.
bool TWBrowse::EatGlideClick(UINT nMsg) {
  if (kinetics.Stop()) {
    SyncKinetics();
    lEatUp = lEatDblClick = nMsg != WM_LBUTTONUP;
    return true;
  }
  switch (nMsg) {
    case WM_LBUTTONDOWN:
      lEatUp = lEatDblClick = false;
      return false;
    case WM_LBUTTONUP:
      return std::exchange(lEatUp, false);
    default:
      if (!std::exchange(lEatDblClick, false)) return false;
      lEatUp = true;
      return true;
  }
}

Value TWBrowse::LButtonDown(int nRow, int nCol, int nKeyFlags) {
  TWBrowsePtr keep = SelfBrw();
  int line = NWROW(hWnd, nullptr, nRow, FontHandle());
  kinetics.ColumnAt(nAtCol(nCol));
  kinetics.Press(line, GETTICKCOUNT());
  SyncKinetics();
  int borderStart = FrozenWidth();
  if (lDrag) return TControl::LButtonDown(nRow, nCol, nKeyFlags);
  if (nLen < 1 && line != 0) return Value();
  if (lMChange) {
    int column = 0;
    if (int x = BorderHit(GetColSizes(), nColPos, borderStart, nCol, &column)) {
      if (!lCaptured) {
        lCaptured = true;
        kinetics.Resize();
        SyncKinetics();
        SetCapture(hWnd);
        VertLine(x, column);
      }
      return Value();
    }
  }
  SetFocus();
  if (!hWnd) return Value(0);  // the focus change closed the window
  if (line == 0) {
    int col = nAtCol(nCol);
    if (aActions && col >= 1 && col <= int(aActions->size())) {
      if (const HeaderAction& action = (*aActions)[size_t(col - 1)]) {
        HDC dc = ::GetDC(hWnd);
        HeaderLine(dc);
        ::ReleaseDC(hWnd, dc);
        action(*this, nRow, nCol);
        if (hWnd) {
          dc = ::GetDC(hWnd);
          HeaderLine(dc);
          ::ReleaseDC(hWnd, dc);
        }
      } else {
        MessageBeep(0xFFFFFFFF);
      }
    } else {
      MessageBeep(0xFFFFFFFF);
    }
  }
  if (line > nLen) return Value(0);
  if (line > 0 && line != nRowPos && line <= nRowCount()) {
    DrawLine();
    int s = Skip(line - nRowPos);
    nRowPos += s;
    if (oVScroll) VSetPos(VGetPos() + s);
    if (lCellStyle) {
      nColAct = nAtCol(nCol);
      if (oHScroll) oHScroll->SetPos(nColAct);
    }
    DrawSelect();
    lHitTop = lHitBottom = false;
    if (bChange) bChange(*this);
  } else if (lCellStyle) {
    nColAct = nAtCol(nCol);
    if (oHScroll) oHScroll->SetPos(nColAct);
    Refresh(false);
  }
  TControl::LButtonDown(nRow, nCol, nKeyFlags);
  return Value(0);
}

Value TWBrowse::MouseMove(int nRow, int nCol, int nKeyFlags) {
  TWBrowsePtr keep = SelfBrw();
  int line = NWROW(hWnd, nullptr, nRow, FontHandle());
  if (hWnd && !TracksLeave(hWnd)) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hWnd, 0};
    TrackMouseEvent(&tme);
  }
  if (lDrag) return TControl::MouseMove(nRow, nCol, nKeyFlags);
  DWORD now = GETTICKCOUNT();
  if (lPressed && !lCaptured) {
    Kinetics::Step step = kinetics.Move(line, nRowCount(), now);
    SyncKinetics();
    DragStep(step, nCol);
    return Value();
  }
  kinetics.Track(now);
  SyncKinetics();
  if (lCaptured) {
    WSETCURSOR(CURSORWE());
    VertLine(nCol);
    return Value(0);
  }
  int column = 0;
  if (lMChange && BorderHit(GetColSizes(), nColPos, 0, nCol, &column)) WSETCURSOR(CURSORWE());
  else TControl::MouseMove(nRow, nCol, nKeyFlags);
  return Value(0);
}

// One drag step: the row grabbed at the press follows the pointer to the
// step's line, one row per move, and sideways moves scroll the columns.
void TWBrowse::DragStep(Kinetics::Step step, int nCol) {
  BarBatch bar(*this);  // GoDown moves the bar and the end moves it back
  WholeRepaint whole(*this);
  WSETCURSOR(hCursorHand);
  int col = nAtCol(nCol);
  if (int e = kinetics.ColumnStep(col); e < 0) GoRight();
  else if (e > 0) GoLeft();
  kinetics.ColumnAt(nAtCol(nCol));
  SyncKinetics();
  int line = step.line;
  bool arraySource = nAt.has_value();
  int rows = nRowCount();
  if (step.rows > 0) {
    int r = nRowPos;
    // The line of the last row shown: the last line, or higher up when the
    // data ends on the screen.
    int last = arraySource ? std::clamp(nRowPos + nLen - *nAt, 1, rows) : rows;
    if (arraySource) *nAt += last - nRowPos;
    nRowPos = last;
    if (arraySource) {
      lDrawSelected = false;
      GoDown();
    }
    Refresh();
    nRowPos = std::max(1, r - 1);
    if (arraySource) {
      *nAt -= last - nRowPos;
    } else if (IsWorkArea()) {
      long keyNo = InAlias(cAlias, [] { return OrdKeyNo(); });
      if (nLen - rows + nRowPos + 1 <= keyNo) Skip(-1);
    }
    lDrawSelected = true;
    Refresh();
  } else if (step.rows < 0) {
    int r = nRowPos;
    if (arraySource) *nAt -= nRowPos - 1;
    nRowPos = 1;
    if (arraySource) {
      lDrawSelected = false;
      GoUp();
    }
    Refresh();
    nRowPos = r + 1;
    if (arraySource) *nAt += nRowPos - 1;
    lDrawSelected = true;
    Refresh();
  }
  if (nRowPos != line) nRowPos = line;
  if (arraySource) {
    // A jump over several lines must not put rows above element 1 or past
    // the last one on the screen.
    *nAt = std::clamp(*nAt, std::min(1, nLen), std::max(nLen, 0));
    nRowPos = std::clamp(nRowPos, 1, std::max(1, *nAt));
    nRowPos = std::min(nRowPos, std::max(1, rows));
  }
  // The one-line GoUp/GoDown above moved the bar while the current row
  // stayed: the bar must stand for the row really current.
  if (arraySource && oVScroll) VSetPos(*nAt);
}

Value TWBrowse::LButtonUp(int nRow, int nCol, int nKeyFlags) {
  TWBrowsePtr keep = SelfBrw();
  if (lDrag) return TControl::LButtonUp(nRow, nCol, nKeyFlags);
  WSETCURSOR(oCursor && oCursor->hCursor ? oCursor->hCursor : CURSORARROW());
  if (lPressed) {
    Kinetics::Plan plan = kinetics.Release(NWROW(hWnd, nullptr, nRow, FontHandle()), GETTICKCOUNT(),
                                           {nStopRatio, nMaxRowToAdvance, nMinVelocity});
    SyncKinetics();
    if (plan.glides()) Glide(plan);
  }
  if (lCaptured) {
    lCaptured = false;
    ReleaseCapture();
    VertLine();
  }
  TControl::LButtonUp(nRow, nCol, nKeyFlags);
  return Value();
}

void TWBrowse::Glide(const Kinetics::Plan& plan) {
  kinetics.GlideStarted();
  SyncKinetics();
  int rows = nRowCount();
  // The row on the edge line becomes current and the rows stay where they
  // are: an array moves its element; other sources skip to that row.
  if (plan.direction < 0) {
    if (nAt) {
      *nAt -= nRowPos - 1;
      nRowPos = 1;
    } else {
      int s = Skip(1 - nRowPos);
      nRowPos += s;
      if (oVScroll) VSetPos(VGetPos() + s);
    }
  } else {
    if (nAt) {
      *nAt += rows - nRowPos;
      nRowPos = rows;
    } else {
      int s = Skip(rows - nRowPos);
      nRowPos += s;
      if (oVScroll) VSetPos(VGetPos() + s);
    }
  }
  if (nAt && oVScroll) VSetPos(*nAt);
  // Each step is shown before its pause and the pause waits only what its
  // work left of it, so the glide keeps its plan's pace.
  GlidePace pace(GETFINETICK());
  for (uint32_t pause : plan.pauses) {
    if (!kinetics.gliding()) break;
    if (plan.direction < 0) {
      GoUp();
      if (nAt && *nAt == 1) break;
    } else {
      GoDown();
      if (nAt && *nAt == nLen) break;
    }
    Refresh();
    if (hWnd) UpdateWindow(hWnd);
    SLEEP(pace.Wait(GETFINETICK(), pause));
    MSG msg;
    if (hWnd && PeekMessageA(&msg, hWnd, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_REMOVE)) {
      EatGlideClick(msg.message);
      break;
    }
    SYSREFRESH();
  }
  kinetics.GlideEnded();
  SyncKinetics();
  Refresh();
}

void TWBrowse::SyncKinetics() {
  nStartMRow = kinetics.startLine();
  nEndMRow = kinetics.endLine();
  nRowAdvance = kinetics.lineAdvance();
  nColAdvance = kinetics.colAdvance();
  nStartTime = kinetics.startTick();
  nEllapsed = kinetics.endTick();
  lDown = kinetics.down();
  lPressed = kinetics.pressed();
  lMoved = kinetics.gliding();
}

Value TWBrowse::MouseLeave(int, int, int) {
  kinetics.Leave();
  SyncKinetics();
  Refresh();
  return Value();
}

Value TWBrowse::LDblClick(int nRow, int nCol, int nKeyFlags) {
  int line = NWROW(hWnd, nullptr, nRow, FontHandle());
  if (line != nRowPos || nLen <= 0) return Value();
  if (lAutoEdit) {
    if (bEdit) bEdit(*this, nAtCol(nCol));
    else Edit(nAtCol(nCol));
    return Value();
  }
  return TControl::LDblClick(nRow, nCol, nKeyFlags);
}

void TWBrowse::VertLine(std::optional<int> nColPix, std::optional<int> nColInit) {
  if (!DrawsVertLine()) return;
  std::vector<int> sizes = GetColSizes();
  if (nColInit) {
    resize.column = *nColInit;
    resize.startX = nColPix.value_or(0);
    resize.drawnX = 0;
    int left = 0;
    for (int c = std::max(nColPos, 1); c < *nColInit && c <= int(sizes.size()); ++c) left += sizes[size_t(c - 1)];
    resize.minX = left + 5;
  } else if (!nColPix) {
    int c = resize.column;
    if (c >= 1 && c <= int(aColSizes.size())) {
      int left = resize.minX - 5;
      int x = resize.drawnX ? resize.drawnX : resize.startX;
      aColSizes[size_t(c - 1)] = std::max(5, x - left);
    }
    Refresh();
  }
  if (nColPix) nColPix = std::max(*nColPix, resize.minX);
  if (!hWnd) return;
  RECT r{};
  GetClientRect(hWnd, &r);
  HDC dc = ::GetDC(hWnd);
  if (resize.drawnX) {
    INVERTRECT(dc, ARect{0, resize.drawnX - 2, r.bottom, resize.drawnX + 2});
    resize.drawnX = 0;
  }
  if (nColPix && *nColPix - 2 > 0) {
    INVERTRECT(dc, ARect{0, *nColPix - 2, r.bottom, *nColPix + 2});
    resize.drawnX = *nColPix;
  }
  ::ReleaseDC(hWnd, dc);
}

void TWBrowse::ShowSizes() {
  std::ostringstream text;
  std::vector<int> sizes = GetColSizes();
  for (size_t i = 0; i < sizes.size(); ++i)
    text << (i < aHeaders.size() ? cValToChar(aHeaders[i]) : std::string()) << ": " << Str(Value(sizes[i]), 3)
         << "\r\n";
  MessageBoxA(hWnd, text.str().c_str(), "Information", MB_ICONINFORMATION);
}

}  // namespace nx
