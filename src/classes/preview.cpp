#include "classes/preview.h"

#include <algorithm>

#include "classes/printer.h"
#include "native/dispatch.h"
#include "native/print.h"

namespace nx {

namespace {

constexpr int kMargin = 12;  // grey around the sheet
constexpr COLORREF kDesk = RGB(128, 128, 128);
constexpr COLORREF kShadow = RGB(64, 64, 64);

std::string Title(const TPreview& w) {
  const std::string doc = w.oPrinter ? w.oPrinter->cDocument : std::string();
  return doc + " - Page " + std::to_string(w.nPage) + " of " + std::to_string(w.nPages());
}

}  // namespace

std::shared_ptr<TPreview> TPreview::New(const std::shared_ptr<TPrinter>& oPrinter) {
  RECT work{0, 0, 800, 600};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int height = (work.bottom - work.top) * 9 / 10;
  const int width = std::min<int>(work.right - work.left - 20, height * 4 / 5);
  const int top = work.top + (work.bottom - work.top - height) / 2;
  const int left = work.left + (work.right - work.left - width) / 2;
  auto w = TWindow::NewAs<TPreview>({.nTop = top, .nLeft = left, .nBottom = top + height, .nRight = left + width,
                                     .cTitle = oPrinter ? oPrinter->cDocument : std::string(),
                                     .nClrBack = kDesk, .lPixel = true});
  w->oPrinter = oPrinter;
  w->nPage = 1;
  w->bPainted = [](HDC hDC, const std::string&, TWindow& self) {
    static_cast<TPreview&>(self).PaintPage(hDC);
    return Value(0);
  };
  w->SetText(Title(*w));

  const bool modal = oPrinter && oPrinter->lPrvModal;
  HWND owner = modal ? GetActiveWindow() : nullptr;
  if (owner == w->hWnd) owner = nullptr;
  if (owner) EnableWindow(owner, FALSE);
  w->Activate();
  if (modal) {
    // Our own loop until the preview is gone (Activate only runs one when
    // no application loop runs yet).
    MSG msg;
    while (w->hWnd) {
      const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
      if (got <= 0) {
        if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  if (owner) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  return w;
}

int TPreview::nPages() const { return oPrinter ? static_cast<int>(oPrinter->aMeta.size()) : 0; }

void TPreview::GoPage(int n) {
  n = std::clamp(n, 1, std::max(1, nPages()));
  if (n == nPage) return;
  nPage = n;
  SetText(Title(*this));
  if (hWnd) InvalidateRect(hWnd, nullptr, FALSE);
}

TPreview::Layout TPreview::PageLayout(int nWidth, int nHeight) const {
  Layout l;
  if (!oPrinter || !oPrinter->hDC) return l;
  const auto paper = PRNGETSIZE(oPrinter->hDC);
  const int horz = oPrinter->nHorzRes(), vert = oPrinter->nVertRes();
  if (paper[0] <= 0 || paper[1] <= 0) return l;
  const double scale = std::min(double(nWidth - 2 * kMargin) / paper[0], double(nHeight - 2 * kMargin) / paper[1]);
  if (scale <= 0) return l;
  const int w = int(paper[0] * scale), h = int(paper[1] * scale);
  const int x = (nWidth - w) / 2, y = (nHeight - h) / 2;
  l.rcSheet = RECT{x, y, x + w, y + h};
  const int px = x + int(oPrinter->nXOffset * scale), py = y + int(oPrinter->nYOffset * scale);
  l.rcPrintable = RECT{px, py, px + int(horz * scale), py + int(vert * scale)};
  return l;
}

void TPreview::PaintPage(HDC hDC) {
  RECT client{};
  GetClientRect(hWnd, &client);
  const Layout l = PageLayout(client.right, client.bottom);
  if (IsRectEmpty(&l.rcSheet)) return;
  RECT shadow = l.rcSheet;
  OffsetRect(&shadow, 4, 4);
  HBRUSH dark = CreateSolidBrush(kShadow);
  ::FillRect(hDC, &shadow, dark);
  DeleteObject(dark);
  ::FillRect(hDC, &l.rcSheet, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (nPage >= 1 && nPage <= nPages()) {
    const RECT& r = l.rcPrintable;
    const int saved = SaveDC(hDC);
    IntersectClipRect(hDC, l.rcSheet.left, l.rcSheet.top, l.rcSheet.right, l.rcSheet.bottom);
    SetStretchBltMode(hDC, HALFTONE);
    PLAYMETAFILE(hDC, oPrinter->aMeta[nPage - 1], r.top, r.left, r.bottom, r.right);
    RestoreDC(hDC, saved);
  }
}

bool TPreview::PrintPages() {
  if (!oPrinter || oPrinter->aMeta.empty()) return false;
  auto prn = TPrinter::New({.cDocument = oPrinter->cDocument});
  if (!prn->hDC) return false;
  const int horz = prn->nHorzRes(), vert = prn->nVertRes();
  for (const std::string& page : oPrinter->aMeta) {
    prn->StartPage();
    prn->ImportWMF(page, 0, 0, vert, horz);
    prn->EndPage();
  }
  prn->End();
  return true;
}

Value TPreview::KeyDown(int nKey, int nFlags) {
  switch (nKey) {
    case VK_NEXT:
    case VK_DOWN:
    case VK_RIGHT:
      GoPage(nPage + 1);
      return Value(0);
    case VK_PRIOR:
    case VK_UP:
    case VK_LEFT:
      GoPage(nPage - 1);
      return Value(0);
    case VK_HOME:
      GoPage(1);
      return Value(0);
    case VK_END:
      GoPage(nPages());
      return Value(0);
    case 'P':
      PrintPages();
      return Value(0);
    case VK_ESCAPE:
      End();
      return Value(0);
    default:
      return TWindow::KeyDown(nKey, nFlags);
  }
}

Value TPreview::MouseWheel(int nKeys, int nDelta, int nXPos, int nYPos) {
  if (nDelta) {
    GoPage(nPage + (nDelta < 0 ? 1 : -1));
    return Value(0);
  }
  return TWindow::MouseWheel(nKeys, nDelta, nXPos, nYPos);
}

void RPreview(const std::shared_ptr<TPrinter>& oPrinter) { TPreview::New(oPrinter); }

Value TPreview::Destroy() {
  auto keep = Self();
  if (auto prn = std::move(oPrinter)) prn->End();
  return TWindow::Destroy();
}

}  // namespace nx
