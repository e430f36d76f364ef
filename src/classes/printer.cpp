#include "classes/printer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "classes/brush.h"
#include "classes/font.h"
#include "classes/pen.h"
#include "native/draw.h"
#include "native/draw_internal.h"
#include "native/gdi.h"
#include "native/print.h"
#include "native/profile.h"
#include "rt/strings.h"

namespace nx {

using detail::Select;
using detail::TempObj;

namespace {

// The printer of PrintBegin ... PrintEnd.
std::shared_ptr<TPrinter>& Current() {
  static std::shared_ptr<TPrinter> current;
  return current;
}

int I(double n) { return static_cast<int>(n); }

std::string Env(const char* cName) {
  char buf[MAX_PATH * 2] = {};
  const DWORD n = GetEnvironmentVariableA(cName, buf, sizeof buf);
  return n && n < sizeof buf ? std::string(buf, n) : std::string();
}

bool IsDir(const std::string& cDir) {
  const DWORD attr = GetFileAttributesA(cDir.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::string& cFile) {
  const DWORD attr = GetFileAttributesA(cFile.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

// TEMP, else TMP, without a trailing backslash; the Windows directory when
// neither names an existing directory.
std::string PreviewDir() {
  std::string dir = Env("TEMP");
  if (dir.empty()) dir = Env("TMP");
  while (dir.size() > 1 && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
  if (dir.empty() || !IsDir(dir)) {
    char win[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryA(win, sizeof win);
    dir.assign(win, n < sizeof win ? n : 0);
  }
  return dir;
}

// A name no file has yet: "nx" + process + counter + ".emf".
std::string NewMetaName(const std::string& cDir) {
  static unsigned counter = 0;
  for (;;) {
    char name[64];
    wsprintfA(name, "\\nx%04lx%04x.emf", GetCurrentProcessId() & 0xFFFF, ++counter & 0xFFFF);
    std::string path = cDir + name;
    if (!IsFile(path)) return path;
  }
}

HPEN PenOf(const std::shared_ptr<TPen>& oPen) { return oPen ? oPen->hPen : nullptr; }

// The pen of a shape for one call; the previous pen is put back.
template <class Draw>
void WithPen(HDC hDC, const std::shared_ptr<TPen>& oPen, Draw draw) {
  if (!hDC) return;
  Select pen(hDC, PenOf(oPen));
  draw();
}

}  // namespace

// ---- creation and life cycle ------------------------------------------------------

std::shared_ptr<TPrinter> TPrinter::New(const PrinterParams& p) {
  auto prn = std::make_shared<TPrinter>();
  HWND owner = GetActiveWindow();
  std::string model;
  if (p.lUser) {
    prn->hDC = GETPRINTDC(owner, p.lSelection, PRNGETPAGNUMS());
  } else if (p.cModel.empty()) {
    prn->hDC = GETPRINTDEFAULT(owner);
  } else {
    // The named printer becomes the process-wide one; the system's default
    // printer is left as it is.
    const std::string device = p.cModel.substr(0, p.cModel.find(','));
    if (PRINTERSELECT(device)) prn->hDC = GETPRINTDEFAULT(owner);
    model = p.cModel;
  }
  if (prn->hDC && model.empty()) model = prn->GetModel() + "," + prn->GetDriver() + "," + prn->GetPort();

  if (prn->hDC) {
    const auto offset = PRNOFFSET(prn->hDC);
    prn->nXOffset = offset[0];
    prn->nYOffset = offset[1];
    prn->nOrient = prn->GetOrientation();
  } else {
    if (COMDLGXERR() != 0) {
      MsgStop("There are no printers installed!\r\nPlease exit this application and install a printer.");
    }
    prn->nXOffset = prn->nYOffset = 0;
    prn->nOrient = 1;
  }
  prn->cDocument = p.cDocument;
  prn->cModel = model;
  prn->nPage = 0;
  prn->nPad = 0;
  prn->lMeta = p.lMeta;
  prn->lStarted = false;
  prn->lModified = false;
  prn->lPrvModal = p.lModal;
  if (prn->lMeta) {
    prn->aMeta.clear();
    prn->cDir = PreviewDir();
  } else {
    prn->hDCOut = prn->hDC;
  }
  return prn;
}

TPrinter::~TPrinter() {
  if (hDC || oFont) End();
}

void TPrinter::StartPage() {
  if (!hDC) return;
  if (!lMeta && !lStarted) {
    lStarted = true;
    STARTDOC(hDC, cDocument);
  }
  ++nPage;
  if (lMeta) {
    if (hDCOut) DELETEENHMETAFILE(CLOSEENHMETAFILE(hDCOut));  // a page never ended
    aMeta.push_back(NewMetaName(cDir));
    hDCOut = CREATEENHMETAFILE(hDC, aMeta.back(), cDocument);
  } else {
    STARTPAGE(hDC);
  }
}

void TPrinter::EndPage() {
  if (!hDC) return;
  if (!lMeta) {
    ENDPAGE(hDC);
    return;
  }
  if (!hDCOut) {
    MsgAlert("The temporal metafile could not be created", "Printer object Error");
    return;
  }
  DELETEENHMETAFILE(CLOSEENHMETAFILE(hDCOut));
  hDCOut = nullptr;
  if (!aMeta.empty() && !IsFile(aMeta.back())) {
    MsgAlert("Could not create temporary file: " + aMeta.back() +
                 "\r\nPlease check your free space on your hard drive \r\nand the amount of files handles available.",
             "Print preview error");
  }
}

void TPrinter::End() {
  auto keep = weak_from_this().lock();  // the current printer may hold the last reference
  if (hDC) {
    if (!lMeta) {
      if (lStarted) ENDDOC(hDC);
      lStarted = false;
    } else {
      if (hDCOut) DELETEENHMETAFILE(CLOSEENHMETAFILE(hDCOut));
      for (const std::string& file : aMeta) DeleteFileA(file.c_str());
      aMeta.clear();
    }
    // The orientation of creation goes back into the process-wide settings.
    if (nOrient == 1) {
      PRNPORTRAIT();
    } else {
      PRNLANDSCAPE();
    }
    DeleteDC(hDC);
    hDC = nullptr;
    hDCOut = nullptr;
  }
  if (oFont) {
    oFont->End();
    oFont = nullptr;
  }
  if (Current().get() == this) Current().reset();
}

void TPrinter::Rebuild() {
  if (lStarted) {
    if (!lMeta) {
      ENDDOC(hDC);
    } else {
      hDCOut = nullptr;
    }
  }
  if (!hDC) return;
  DeleteDC(hDC);
  hDC = GETPRINTDEFAULT(GetActiveWindow());
  lStarted = false;
  lModified = true;
  // The new page may have other margins (landscape swaps them).
  const auto offset = PRNOFFSET(hDC);
  nXOffset = offset[0];
  nYOffset = offset[1];
  if (!lMeta) hDCOut = hDC;
}

void TPrinter::Preview() {
  if (lMeta && !aMeta.empty() && hDC) {
    RPreview(std::static_pointer_cast<TPrinter>(shared_from_this()));
  } else {
    End();
  }
}

// ---- text ---------------------------------------------------------------------------

void TPrinter::Say(double nRow, double nCol, std::string_view cText, const SayParams& p) {
  if (!hDC) return;
  std::shared_ptr<TFont> font = p.oFont ? p.oFont : SetFont();
  const int pad = p.nPad.value_or(nPad);
  HDC dc = hDCOut;
  font->Activate(dc);
  const int oldMode = SETBKMODE(dc, p.nBkMode);
  const COLORREF oldColor = p.nClrText ? SETTEXTCOLOR(dc, *p.nClrText) : CLR_INVALID;
  const UINT oldAlign = SETTEXTALIGN(dc, TA_LEFT | TA_TOP);
  if (!p.nWidth) {
    if (pad == 1 || pad == 2) {
      const int width = GETTEXTWIDTH(hDC, cText, font->hFont);
      nCol = std::max(0.0, nCol - (pad == 1 ? width : width / 2.0));
    }
    TEXTOUT(dc, I(nRow), I(nCol), cText);
  } else {
    const ARect clip{I(nRow), I(nCol), I(nRow + 1.5 * font->nHeight()), I(nCol) + p.nWidth};
    double x = nCol;
    if (pad == 1) {
      SETTEXTALIGN(dc, TA_RIGHT);
      x = nCol + p.nWidth;
    } else if (pad == 2) {
      SETTEXTALIGN(dc, TA_CENTER);
      x = nCol + p.nWidth / 2.0;
    }
    EXTTEXTOUT(dc, I(nRow), I(x), clip, cText, ETO_CLIPPED);
  }
  if (oldAlign != GDI_ERROR) SETTEXTALIGN(dc, oldAlign);
  if (oldColor != CLR_INVALID) SETTEXTCOLOR(dc, oldColor);
  if (oldMode) SETBKMODE(dc, oldMode);
  font->DeActivate(dc);
}

void TPrinter::CmSay(double nRow, double nCol, std::string_view cText, const SayParams& p) {
  Cmtr2Pix(nRow, nCol);
  Say(nRow, nCol, cText, p);
}

void TPrinter::MmSay(double nRow, double nCol, std::string_view cText, const SayParams& p) {
  Mmtr2Pix(nRow, nCol);
  Say(nRow, nCol, cText, p);
}

void TPrinter::InchSay(double nRow, double nCol, std::string_view cText, const SayParams& p) {
  Inch2Pix(nRow, nCol);
  Say(nRow, nCol, cText, p);
}

void TPrinter::CharSay(int nRow, int nCol, std::string_view cText) {
  auto font = SetFont();
  const double row = (std::max(nRow, 1) - 1) * font->nHeight();
  const double col = (std::max(nCol, 1) - 1) * static_cast<double>(GETTEXTWIDTH(hDC, "B", font->hFont));
  Say(row, col, cText, {.oFont = font});
}

// ---- pictures -------------------------------------------------------------------------

void TPrinter::SayBitmap(double nRow, double nCol, const Value& xBitmap, int nWidth, int nHeight, DWORD nRaster) {
  if (!hDC) return;
  HGLOBAL dib = nullptr;
  if (xBitmap.IsString() && IsFile(xBitmap.AsString())) {
    dib = DIBREAD(xBitmap.AsString());
  } else if (xBitmap.IsString() || xBitmap.IsNumber()) {
    const PalBmp loaded = xBitmap.IsNumber() ? PALBMPLOAD(static_cast<int>(xBitmap.AsInt()))
                                             : PALBMPLOAD(xBitmap.AsString().c_str());
    if (loaded.hBitmap) dib = DIBFROMBITMAP(loaded.hBitmap, loaded.hPalette);
    PalBmpFree(loaded.hBitmap, loaded.hPalette);
  }
  if (!dib) return;
  HPALETTE palette = lMeta ? nullptr : DIBPALETTE(dib);
  DIBDRAW(hDCOut, dib, palette, I(nRow), I(nCol), nWidth, nHeight, nRaster);
  if (palette) DELETEOBJECT(palette);
  DIBFREE(dib);
}

void TPrinter::SayImage(double nRow, double nCol, HBITMAP hBitmap, int nWidth, int nHeight) {
  if (!hDC || !hBitmap) return;
  HGLOBAL dib = DIBFROMBITMAP(hBitmap);
  if (!dib) return;
  DIBDRAW(hDCOut, dib, nullptr, I(nRow), I(nCol), nWidth, nHeight);
  DIBFREE(dib);
}

bool TPrinter::ImportWMF(const std::string& cFile, double nTop, double nLeft, double nBottom, double nRight) {
  return hDC && PLAYMETAFILE(hDCOut, cFile, I(nTop), I(nLeft), I(nBottom), I(nRight));
}

bool TPrinter::ImportRAW(const std::string& cFile) { return hDC && IsFile(cFile) && IMPORTRAWFILE(hDC, cFile); }

// ---- shapes -------------------------------------------------------------------------------

void TPrinter::SetPos(double nRow, double nCol) { MOVETO(hDCOut, I(nCol), I(nRow)); }

void TPrinter::Line(double nTop, double nLeft, double nBottom, double nRight, const std::shared_ptr<TPen>& oPen) {
  if (!hDCOut) return;
  MOVETO(hDCOut, I(nLeft), I(nTop));
  LINETO(hDCOut, I(nRight), I(nBottom), PenOf(oPen));
}

void TPrinter::Box(double nTop, double nLeft, double nBottom, double nRight, const std::shared_ptr<TPen>& oPen) {
  RECTANGLE(hDCOut, I(nTop), I(nLeft), I(nBottom), I(nRight), PenOf(oPen));
}

void TPrinter::Ellipse(double nTop, double nLeft, double nBottom, double nRight, const std::shared_ptr<TPen>& oPen) {
  ELLIPSE(hDCOut, I(nLeft), I(nTop), I(nRight), I(nBottom), PenOf(oPen));
}

void TPrinter::Arc(double nTop, double nLeft, double nBottom, double nRight, double nStartX, double nStartY,
                   double nEndX, double nEndY, const std::shared_ptr<TPen>& oPen) {
  WithPen(hDCOut, oPen, [&] {
    ::Arc(hDCOut, I(nLeft), I(nTop), I(nRight), I(nBottom), I(nStartX), I(nStartY), I(nEndX), I(nEndY));
  });
}

void TPrinter::Chord(double nTop, double nLeft, double nBottom, double nRight, double nStartX, double nStartY,
                     double nEndX, double nEndY, const std::shared_ptr<TPen>& oPen) {
  WithPen(hDCOut, oPen, [&] {
    ::Chord(hDCOut, I(nLeft), I(nTop), I(nRight), I(nBottom), I(nStartX), I(nStartY), I(nEndX), I(nEndY));
  });
}

void TPrinter::Pie(double nTop, double nLeft, double nBottom, double nRight, double nStartX, double nStartY,
                   double nEndX, double nEndY, const std::shared_ptr<TPen>& oPen) {
  WithPen(hDCOut, oPen, [&] {
    ::Pie(hDCOut, I(nLeft), I(nTop), I(nRight), I(nBottom), I(nStartX), I(nStartY), I(nEndX), I(nEndY));
  });
}

void TPrinter::RoundBox(double nTop, double nLeft, double nBottom, double nRight, int nWidth, int nHeight,
                        const std::shared_ptr<TPen>& oPen, std::optional<COLORREF> nBackColor) {
  if (!hDCOut) return;
  TempObj<HPEN> ownPen(oPen ? nullptr : CreatePen(PS_SOLID, 1, 0));
  TempObj<HBRUSH> brush(nBackColor ? CreateSolidBrush(*nBackColor) : nullptr);
  Select pen(hDCOut, oPen ? oPen->hPen : ownPen.get());
  Select fill(hDCOut, brush.get());
  RoundRect(hDCOut, I(nLeft), I(nTop), I(nRight), I(nBottom), nWidth, nHeight);
}

void TPrinter::FillRect(const std::array<double, 4>& aRect, const std::shared_ptr<TBrush>& oBrush) {
  if (!oBrush) return;
  FILLRECT(hDCOut, ARect{I(aRect[0]), I(aRect[1]), I(aRect[2]), I(aRect[3])}, oBrush->hBrush);
}

void TPrinter::SetPixel(double nRow, double nCol, std::optional<COLORREF> nColor) {
  SETPIXEL(hDCOut, I(nCol), I(nRow), nColor.value_or(0));
}

// ---- conversions ------------------------------------------------------------------------------

int TPrinter::Caps(int nIndex) const { return hDC ? GetDeviceCaps(hDC, nIndex) : 0; }
int TPrinter::nVertRes() const { return Caps(VERTRES); }
int TPrinter::nHorzRes() const { return Caps(HORZRES); }
int TPrinter::nVertSize() const { return Caps(VERTSIZE); }
int TPrinter::nHorzSize() const { return Caps(HORZSIZE); }
int TPrinter::nLogPixelX() const { return Caps(LOGPIXELSX); }
int TPrinter::nLogPixelY() const { return Caps(LOGPIXELSY); }

PixPos TPrinter::Mmtr2Pix(double& nRow, double& nCol) const {
  const int vSize = nVertSize(), hSize = nHorzSize();
  nRow = vSize ? std::max(0.0, nRow * nVertRes() / vSize - nYOffset) : 0;
  nCol = hSize ? std::max(0.0, nCol * nHorzRes() / hSize - nXOffset) : 0;
  return {nRow, nCol};
}

PixPos TPrinter::Cmtr2Pix(double& nRow, double& nCol) const {
  nRow *= 10;
  nCol *= 10;
  return Mmtr2Pix(nRow, nCol);
}

PixPos TPrinter::Inch2Pix(double& nRow, double& nCol) const {
  nRow *= 25.4;
  nCol *= 25.4;
  return Mmtr2Pix(nRow, nCol);
}

std::array<double, 4> TPrinter::CmRect2Pix(const std::array<double, 4>& aRect) const {
  double top = aRect[0], left = aRect[1], bottom = aRect[2], right = aRect[3];
  Cmtr2Pix(top, left);
  Cmtr2Pix(bottom, right);
  return {top, left, bottom, right};
}

std::array<double, 2> TPrinter::SizeInch2Pix(double nHeight, double nWidth) const {
  const int vSize = nVertSize(), hSize = nHorzSize();
  const double height = nHeight && vSize ? nHeight * nVertRes() / (vSize / 25.4) : 0;
  const double width = nWidth && hSize ? nWidth * nHorzRes() / (hSize / 25.4) : 0;
  return {width, height};
}

PixPos TPrinter::Pix2Mmtr(double nRow, double nCol) const {
  const int x = nLogPixelX(), y = nLogPixelY();
  return {x ? nRow * 25.4 / x : 0, y ? nCol * 25.4 / y : 0};
}

PixPos TPrinter::Pix2Inch(double nRow, double nCol) const {
  const int x = nLogPixelX(), y = nLogPixelY();
  return {x ? nRow / x : 0, y ? nCol / y : 0};
}

std::array<double, 2> TPrinter::GetPhySize() const {
  const auto size = PRNGETSIZE(hDC);
  const int x = nLogPixelX(), y = nLogPixelY();
  return {x ? size[0] * 25.4 / x : 0, y ? size[1] * 25.4 / y : 0};
}

// ---- mapping modes ------------------------------------------------------------------------------

int TPrinter::SetPixelMode() { return hDC ? SetMapMode(hDC, MM_TEXT) : 0; }
int TPrinter::SetLoMetricMode() { return hDC ? SetMapMode(hDC, MM_LOMETRIC) : 0; }
int TPrinter::SetHiMetricMode() { return hDC ? SetMapMode(hDC, MM_HIMETRIC) : 0; }
int TPrinter::SetLoInchMode() { return hDC ? SetMapMode(hDC, MM_LOENGLISH) : 0; }
int TPrinter::SetHiInchMode() { return hDC ? SetMapMode(hDC, MM_HIENGLISH) : 0; }
int TPrinter::SetTwipsMode() { return hDC ? SetMapMode(hDC, MM_TWIPS) : 0; }
int TPrinter::SetIsotropicMode() { return hDC ? SetMapMode(hDC, MM_ISOTROPIC) : 0; }
int TPrinter::SetAnisotropicMode() { return hDC ? SetMapMode(hDC, MM_ANISOTROPIC) : 0; }
void TPrinter::SetWindowExt(int nX, int nY) {
  if (hDC) SetWindowExtEx(hDC, nX, nY, nullptr);
}
void TPrinter::SetViewPortExt(int nX, int nY) {
  if (hDC) SetViewportExtEx(hDC, nX, nY, nullptr);
}

// ---- text measures ---------------------------------------------------------------------------------

int TPrinter::GetTextWidth(std::string_view cText, const std::shared_ptr<TFont>& oFont) {
  auto font = SetFont(oFont);
  return GETTEXTWIDTH(hDC, cText, font ? font->hFont : nullptr);
}

int TPrinter::GetTextHeight(std::string_view, const std::shared_ptr<TFont>& oFont) {
  auto font = SetFont(oFont);
  return font ? static_cast<int>(font->nHeight()) : 0;
}

int TPrinter::CharWidth() {
  auto font = SetFont();
  const int width = GETTEXTWIDTH(hDC, "B", font->hFont);
  return width ? nHorzRes() / width : 0;
}

int TPrinter::CharHeight() {
  auto font = SetFont();
  const int height = static_cast<int>(font->nHeight());
  return height ? nVertRes() / height : 0;
}

std::shared_ptr<TFont> TPrinter::SetFont(std::shared_ptr<TFont> oNew) {
  if (oNew) {
    if (oNew != oFont) {
      // The printer holds its own use of the font, which End drops.
      ++oNew->nCount;
      if (oFont) oFont->End();
      oFont = std::move(oNew);
    }
  } else if (!oFont) {
    oFont = TFont::New({.cFaceName = "Courier", .nHeight = -12, .nDevLogPixelY = nLogPixelY()});
  }
  return oFont;
}

// ---- page settings ------------------------------------------------------------------------------------

void TPrinter::SetLandscape() {
  PRNLANDSCAPE();
  Rebuild();
}
void TPrinter::SetPortrait() {
  PRNPORTRAIT();
  Rebuild();
}
void TPrinter::SetCopies(int nCopies) {
  PRNSETCOPIES(nCopies);
  Rebuild();
}
void TPrinter::SetSize(int nWidth, int nHeight) {
  PRNSETSIZE(nWidth, nHeight);
  Rebuild();
}
void TPrinter::SetPage(int nPaper) {
  PRNSETPAGE(nPaper);
  Rebuild();
}
void TPrinter::SetBin(int nBin) {
  PRNBINSOURCE(nBin);
  Rebuild();
}
void TPrinter::DraftMode(bool lOnOff) {
  PRNDRAFTMODE(lOnOff);
  Rebuild();
}
void TPrinter::Setup() {
  PRINTERSETUP(GetActiveWindow());
  Rebuild();
}
int TPrinter::GetOrientation() const { return PRNGETORIENTATION(); }
std::string TPrinter::GetModel() const { return PRNGETNAME(); }
std::string TPrinter::GetDriver() const { return PRNGETDRIVE(); }
std::string TPrinter::GetPort() const { return PRNGETPORT(); }
bool TPrinter::ResetDC() { return RESETDC(hDC); }

// ---- page-by-page printing --------------------------------------------------------------------------------

std::vector<std::string> aGetPrinters() { return SplitNul(GETPROFSTRING("Devices", std::nullopt, "")); }

namespace {

// "name,driver,port" of an installed printer, from its "Devices" entry.
std::string ModelOf(const std::string& cName) {
  const std::string entry = GETPROFSTRING("Devices", cName, "");
  return entry.empty() ? std::string() : cName + "," + entry;
}

std::string FindPrinter(const Value& xModel) {
  const std::vector<std::string> printers = aGetPrinters();
  if (xModel.IsNumber()) {
    const int64_t n = xModel.AsInt();
    return n >= 1 && n <= static_cast<int64_t>(printers.size()) ? printers[n - 1] : std::string();
  }
  if (!xModel.IsString()) return {};
  const std::string wanted = Upper(xModel.AsString());
  if (wanted.empty()) return {};
  for (const auto& name : printers) {
    if (Upper(name) == wanted) return name;
  }
  for (const auto& name : printers) {
    if (Upper(name).find(wanted) != std::string::npos) return name;
  }
  return {};
}

}  // namespace

std::shared_ptr<TPrinter> PrintBegin(const std::string& cDocument, bool lUser, bool lPreview, const Value& xModel,
                                     bool lModal, bool lSelection) {
  PrinterParams p{.cDocument = cDocument, .lUser = lUser, .lMeta = lPreview, .lModal = lModal,
                  .lSelection = lSelection};
  if (!xModel.IsNil()) {
    const std::string name = FindPrinter(xModel);
    const std::string model = name.empty() ? std::string() : ModelOf(name);
    if (model.empty()) {
      MsgBeep();
      p.lUser = true;
    } else {
      p.cModel = model;
    }
  }
  Current() = TPrinter::New(p);
  return Current();
}

std::shared_ptr<TPrinter> PrintCurrent() { return Current(); }

void PageBegin() {
  if (auto prn = PrintCurrent()) prn->StartPage();
}

void PageEnd() {
  if (auto prn = PrintCurrent()) prn->EndPage();
}

void PrintEnd() {
  auto prn = std::exchange(Current(), nullptr);
  if (!prn) return;
  if (prn->lMeta) {
    prn->Preview();
  } else {
    prn->End();
  }
}

bool SetPrintDefault(const std::string& cName) {
  const std::string model = ModelOf(cName);
  return !model.empty() && WRITEPROFSTRING("Windows", "Device", model);
}

}  // namespace nx
