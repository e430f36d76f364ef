#include "classes/msgitem.h"

#include "classes/font.h"
#include "classes/msgbar.h"
#include "native/draw.h"
#include "native/msgbar.h"
#include "rt/storage.h"
#include "rt/strings.h"

namespace nx {

namespace {
PalBmp LoadPanelBitmap(const std::string& cName) {
  if (cName.empty()) return {};
  return FileExists(cName) ? PALBMPREAD(nullptr, cName) : PALBMPLOAD(cName.c_str());
}
}  // namespace

TMsgItemPtr TMsgItem::New(const TMsgBarPtr& bar, const TMsgItemParams& p) {
  auto item = std::make_shared<TMsgItem>();
  item->oMsgBar = bar;
  item->cMsg = p.cMsg;
  item->cToolTip = p.cToolTip;
  item->bAction = p.bAction;
  if (bar) {
    item->nClrText = bar->nClrText;
    item->nClrPane = bar->nClrPane;
  }
  if (p.nClrBack) item->nClrPane = *p.nClrBack;
  if (p.xClrFore.IsString()) {
    item->nClrText = NGETFORERGB(p.xClrFore.AsString());
    item->nClrPane = NGETBACKRGB(p.xClrFore.AsString());
  } else if (p.xClrFore.IsNumber()) {
    item->nClrText = COLORREF(p.xClrFore.AsInt());
  }
  item->nClrDisabled = GetSysColor(COLOR_BTNSHADOW);
  item->SetFont(p.oFont ? p.oFont : bar ? bar->oFont : nullptr);
  const PalBmp first = LoadPanelBitmap(p.cBmp1), second = LoadPanelBitmap(p.cBmp2);
  item->hBitmap1 = first.hBitmap, item->hPalette1 = first.hPalette;
  item->hBitmap2 = second.hBitmap, item->hPalette2 = second.hPalette;
  if (p.nWidth) item->nWidth = *p.nWidth;
  else if (HBITMAP shown = item->hBitmap1 ? item->hBitmap1 : item->hBitmap2) item->nWidth = NBMPWIDTH(shown) + 7;
  else item->nWidth = 40;
  const bool tip = p.cToolTip.IsBlock() || (p.cToolTip.IsString() && !p.cToolTip.AsString().empty());
  if (tip && bar) bar->cToolTip = Value(std::string());
  if (p.lAdd && bar) bar->AddItem(item);
  return item;
}

TMsgItem::~TMsgItem() {
  FreeBitmaps();
  if (oFont) oFont->End();
}

int TMsgItem::nLeft() const {
  TMsgBarPtr bar = Bar();
  if (!bar) return 0;
  TWindowPtr owner = bar->Parent();
  // A maximized window has no size grip to keep clear of.
  const bool noGrip = !ISAPPTHEMED() && owner && owner->hWnd && IsZoomed(owner->hWnd);
  int n = bar->nRight - (noGrip ? 3 : 13);
  for (auto it = bar->aItem.rbegin(); it != bar->aItem.rend() && it->get() != this; ++it) n -= (*it)->nWidth + 4;
  return n - (nWidth - 2);
}

bool TMsgItem::IsOver(int nRow, int nCol) const {
  const int left = nLeft();
  return nCol >= left - 1 && nCol <= left + nWidth - 7 && nRow > 5;
}

void TMsgItem::Paint() {
  TMsgBarPtr bar = Bar();
  if (!bar || !bar->hWnd) return;
  HDC dc = bar->GetDC();
  const int left = nLeft(), height = bar->nSizeItem;
  if (bar->l2007) bar->PaintBar(left, nWidth);
  int bmpWidth = 0;
  if (hBitmap1) {
    HBITMAP shown = lActive || !hBitmap2 ? hBitmap1 : hBitmap2;
    DRAWMASKED(dc, shown, 2, left + 1);
    bmpWidth = NBMPWIDTH(shown);
  }
  const COLORREF color = lActive ? nClrText : nClrDisabled;
  HFONT font = oFont ? oFont->hFont : nullptr;
  if (bar->l2007) {
    const std::string text = AllTrim(cMsg);
    const int col = left - 1 + bmpWidth + nWidth / 2 - GETTEXTWIDTH(dc, text, font) / 2;
    WSAY(bar->hWnd, dc, height / 4 - 2, col, text, color, nClrPane, font, true, true);
    WNDBOXIN(dc, 2, left - 4, height - 2, left - 3);
  } else {
    DRAWMSGITEM(dc, cMsg, RECT{left + bmpWidth, 5, left + nWidth - 4, height - 6}, color, nClrPane, font);
    WNDBOXIN(dc, 0, left - 4, height - 1, left - 3);
    if (bar->lInset) WNDBOXIN(dc, 3, left + 1, height - 5, left + nWidth - 4);
  }
  bar->ReleaseDC();
}

void TMsgItem::Refresh() {
  if (!bMsg) return;
  std::string text = cValToChar(bMsg());
  if (text == cMsg && lActive == lWasActive) return;
  cMsg = std::move(text);
  lWasActive = lActive;
  Paint();
}

void TMsgItem::SetText(const Value& x) {
  cMsg = cValToChar(x);
  Paint();
}

void TMsgItem::Click(int nRow, int nCol) {
  if (bAction) bAction(nRow, nCol);
}

void TMsgItem::SetFont(std::shared_ptr<TFont> font) {
  if (font == oFont) return;
  // The panel holds a counted use of its font.
  if (font) ++font->nCount;
  if (oFont) oFont->End();
  oFont = std::move(font);
}

void TMsgItem::FreeBitmaps() {
  if (hBitmap1 || hPalette1) PalBmpFree(hBitmap1, hPalette1);
  if (hBitmap2 || hPalette2) PalBmpFree(hBitmap2, hPalette2);
  hBitmap1 = hBitmap2 = nullptr;
  hPalette1 = hPalette2 = nullptr;
}

}  // namespace nx
