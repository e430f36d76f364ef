#include "native/tcbrowse.h"

#include <algorithm>
#include <utility>

#include "native/browse.h"
#include "native/draw_internal.h"
#include "rt/strings.h"

namespace nx {

namespace {

ToneHook g_tone;

void Line(HDC dc, COLORREF color, int x0, int y0, int x1, int y1) {
  SetDCPenColor(dc, color);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

}  // namespace

TcCellLine::TcCellLine(HWND hWnd, HDC hDC, int nLine, HFONT hFont)
    : hWnd_(hWnd), dc_(hDC), own_(false), line_(nLine) {
  if (!hWnd_) {
    dc_ = nullptr;
    return;
  }
  if (!dc_) {
    dc_ = ::GetDC(hWnd_);
    own_ = dc_ != nullptr;
  }
  if (!dc_) return;
  if (hFont) oldFont_ = SelectObject(dc_, hFont);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc_, &tm);
  height_ = tm.tmHeight + 1;
  GetClientRect(hWnd_, &client_);
  oldText_ = GetTextColor(dc_);
  oldBack_ = GetBkColor(dc_);
  oldAlign_ = GetTextAlign(dc_);
  // The stock pen of the device context takes any colour without a pen
  // being made for each line.
  oldPen_ = SelectObject(dc_, GetStockObject(DC_PEN));
  oldPenColor_ = GetDCPenColor(dc_);
  GetCurrentPositionEx(dc_, &oldPos_);
}

TcCellLine::~TcCellLine() {
  if (!dc_) return;
  MoveToEx(dc_, oldPos_.x, oldPos_.y, nullptr);
  SetDCPenColor(dc_, oldPenColor_);
  if (oldPen_ && oldPen_ != HGDI_ERROR) SelectObject(dc_, oldPen_);
  SetTextAlign(dc_, oldAlign_);
  SetBkColor(dc_, oldBack_);
  SetTextColor(dc_, oldText_);
  if (oldFont_ && oldFont_ != HGDI_ERROR) SelectObject(dc_, oldFont_);
  if (own_) ::ReleaseDC(hWnd_, dc_);
}

// The cell's rectangle; false when nothing of it lies in the client area.
bool TcCellLine::Place(int nLeft, int nWidth, RECT& cell) const {
  if (!dc_ || height_ <= 1) return false;
  int top = line_ * height_;
  if (top < 0 || top >= client_.bottom || nLeft >= client_.right) return false;
  int right = nWidth < 0 || nLeft + nWidth > client_.right ? client_.right : nLeft + nWidth;
  if (right <= nLeft) return false;
  cell = RECT{nLeft, top, right, top + height_};
  return true;
}

void TcCellLine::Frame(const RECT& c, int nLineStyle) {
  int l = c.left, t = c.top, r = c.right - 1, b = c.bottom - 1;
  bool header = line_ == 0;
  switch (nLineStyle) {
    case TC_LINE_BLACK:
    case TC_LINE_SHADOW: {
      COLORREF color = nLineStyle == TC_LINE_BLACK ? RGB(0, 0, 0) : GetSysColor(COLOR_BTNSHADOW);
      Line(dc_, color, r, t, r, b + 1);
      Line(dc_, color, l, b, r, b);
      break;
    }
    case TC_LINE_RAISED: {
      // Highlight at the top and left, shadow at the bottom and right; a
      // header's shadow sits inside its dark edge.
      int in = header ? 1 : 0;
      Line(dc_, GetSysColor(COLOR_BTNHIGHLIGHT), l, b - in - 1, l, t - 1);
      Line(dc_, GetSysColor(COLOR_BTNHIGHLIGHT), l, t, r - in, t);
      Line(dc_, GetSysColor(COLOR_BTNSHADOW), l, b - in, r - in + 1, b - in);
      Line(dc_, GetSysColor(COLOR_BTNSHADOW), r - in, t, r - in, b - in);
      break;
    }
    case TC_LINE_DOTTED: FRAMEDOT(dc_, t, l, b, r); break;
    default: break;
  }
  if (header) {
    Line(dc_, GetSysColor(COLOR_3DDKSHADOW), l, b, r + 1, b);
    Line(dc_, GetSysColor(COLOR_3DDKSHADOW), r, t, r, b);
  }
}

void TcCellLine::Text(int nLeft, int nWidth, std::string_view cText, int nAlign, COLORREF nClrFore,
                      COLORREF nClrBack, int nLineStyle) {
  RECT cell{};
  if (!Place(nLeft, nWidth, cell)) return;
  SetTextColor(dc_, nClrFore);
  SetBkColor(dc_, nClrBack);
  int x = cell.left + 2;
  UINT align = TA_LEFT;
  if (nAlign == 1) {
    x = (cell.left + cell.right) / 2;
    align = TA_CENTER;
  } else if (nAlign == 2) {
    x = cell.right - 2;
    align = TA_RIGHT;
  }
  SetTextAlign(dc_, align | TA_TOP | TA_NOUPDATECP);
  // One call fills the cell and writes the text clipped to it; the text of
  // a data line sits one pixel lower than a heading.
  ExtTextOutA(dc_, x, cell.top + (line_ ? 1 : 0), ETO_OPAQUE | ETO_CLIPPED, &cell, cText.data(), UINT(cText.size()),
              nullptr);
  Frame(cell, nLineStyle);
}

void TcCellLine::Bitmap(int nLeft, int nWidth, HBITMAP hBitmap, COLORREF nClrBack, int nLineStyle) {
  RECT cell{};
  if (!Place(nLeft, nWidth, cell)) return;
  SetBkColor(dc_, nClrBack);
  ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &cell, "", 0, nullptr);
  if (hBitmap) {
    // A picture taller or wider than the cell stays inside it.
    detail::SavedDC saved(dc_);
    IntersectClipRect(dc_, cell.left, cell.top, cell.right, cell.bottom);
    DRAWMASKED(dc_, hBitmap, cell.top + (line_ ? 1 : 0), cell.left + 2);
  }
  Frame(cell, nLineStyle);
}

void TCDRAWCELL(HWND hWnd, HDC hDC, int nLine, int nLeft, int nWidth, const Value& uValue, int nAlign,
                COLORREF nClrFore, COLORREF nClrBack, HFONT hFont, int nBitmap, const Value&, int nLineStyle) {
  TcCellLine line(hWnd, hDC, nLine, hFont);
  if (nBitmap != TC_CELL_TEXT) {
    HBITMAP bmp = uValue.IsNumber() ? reinterpret_cast<HBITMAP>(static_cast<intptr_t>(uValue.AsInt())) : nullptr;
    line.Bitmap(nLeft, nWidth, bmp, nClrBack, nLineStyle);
  } else {
    line.Text(nLeft, nWidth, uValue.IsString() ? uValue.AsString() : cValToChar(uValue), nAlign, nClrFore, nClrBack,
              nLineStyle);
  }
}

void TCBRWSCROLL(HWND hWnd, int nLines, HFONT hFont) { WBRWSCROLL(hWnd, nLines, hFont); }

int NTCWROW(HWND hWnd, HDC hDC, int nY, HFONT hFont) { return NWROW(hWnd, hDC, nY, hFont); }

std::optional<ARect> ATCBRWPOSRECT(HWND hWnd, int nRow, int nLeft, int nWidth, HFONT hFont) {
  const int h = hWnd ? detail::LineHeightIn(hWnd, hFont) : 0;
  if (!h) return std::nullopt;
  RECT client{};
  GetClientRect(hWnd, &client);
  int right = nWidth < 0 ? client.right : std::min<int>(nLeft + nWidth, client.right);
  POINT origin{0, 0};
  ClientToScreen(hWnd, &origin);
  return ARect{origin.y + nRow * h, origin.x + nLeft, origin.y + nRow * h + h, origin.x + right};
}

void TONE(double nFrequency, double nDuration) {
  if (g_tone) {
    g_tone(nFrequency, nDuration);
    return;
  }
  Beep(DWORD(std::max(nFrequency, 37.0)), DWORD(std::max(nDuration, 0.0) * 1000.0 / 18.2));
}

ToneHook SetTone(ToneHook hook) { return std::exchange(g_tone, std::move(hook)); }

}  // namespace nx
