// TPrinter: a printing device. It opens a device context on the default
// printer, on one named by its model, or on one chosen in the print dialog;
// counts pages; converts centimetres, millimetres and inches to device
// pixels of the printable area; and draws text, bitmaps and shapes. In
// preview mode every page is drawn into an enhanced metafile in the
// temporary directory instead, shown by the preview and erased by End.
//
// PrintBegin ... PageBegin/PageEnd ... PrintEnd keep one current printer for
// code that prints page by page.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rt/value.h"

namespace nx {

class TFont;
class TPen;
class TBrush;

// New's positional arguments, with their defaults.
struct PrinterParams {
  std::string cDocument = "Novaxis Report";
  bool lUser = false;       // the print dialog chooses the printer
  bool lMeta = false;       // preview: pages go to metafiles
  std::string cModel{};     // "device,driver,port"; empty: the default printer
  bool lModal = false;      // the preview is modal
  bool lSelection = false;  // the print dialog offers the selection
};

// Say's optional arguments.
struct SayParams {
  std::shared_ptr<TFont> oFont{};     // none: the printer's font
  int nWidth = 0;                     // 0: no box; else aligned and clipped in it
  std::optional<COLORREF> nClrText{};
  int nBkMode = TRANSPARENT;
  std::optional<int> nPad{};          // 0 left, 1 right, 2 centre; none: the printer's nPad
};

// A converted position.
struct PixPos {
  double nRow = 0;
  double nCol = 0;
};

class TPrinter : public Object {
 public:
  const char* ClassName() const override { return "TPRINTER"; }
  ~TPrinter() override;

  static std::shared_ptr<TPrinter> New(const PrinterParams& p = {});

  std::shared_ptr<TFont> oFont;
  HDC hDC = nullptr;
  HDC hDCOut = nullptr;
  std::vector<std::string> aMeta;
  std::string cDir;
  std::string cDocument;
  std::string cModel;
  int nPage = 0;
  int nXOffset = 0, nYOffset = 0;
  int nPad = 0;
  int nOrient = 1;
  bool lMeta = false;
  bool lStarted = false;
  bool lModified = false;
  bool lPrvModal = false;

  // ---- job and pages ----------------------------------------------------------
  void StartPage();
  void EndPage();
  void End();
  void Rebuild();
  // Shows the pages of a preview, then ends the printer; ends it at once
  // when there is nothing to show.
  void Preview();

  // ---- text ---------------------------------------------------------------------
  void Say(double nRow, double nCol, std::string_view cText, const SayParams& p = {});
  void CmSay(double nRow, double nCol, std::string_view cText, const SayParams& p = {});
  void MmSay(double nRow, double nCol, std::string_view cText, const SayParams& p = {});
  void InchSay(double nRow, double nCol, std::string_view cText, const SayParams& p = {});
  // Rows and columns in cells of the current font, counted from 1.
  void CharSay(int nRow, int nCol, std::string_view cText);

  // ---- pictures -----------------------------------------------------------------
  // xBitmap: a BMP file name, or a bitmap resource name or number.
  void SayBitmap(double nRow, double nCol, const Value& xBitmap, int nWidth = 0, int nHeight = 0, DWORD nRaster = 0);
  // A bitmap handle of the caller's, drawn through a device-independent copy.
  void SayImage(double nRow, double nCol, HBITMAP hBitmap, int nWidth = 0, int nHeight = 0);
  // An enhanced or Windows metafile file played into a rectangle.
  bool ImportWMF(const std::string& cFile, double nTop, double nLeft, double nBottom, double nRight);
  // The file's bytes to the printer as they are.
  bool ImportRAW(const std::string& cFile);

  // ---- shapes on the page (pen: 0 without one) ---------------------------------------
  void SetPos(double nRow, double nCol);
  void Line(double nTop, double nLeft, double nBottom, double nRight, const std::shared_ptr<TPen>& oPen = nullptr);
  void Box(double nTop, double nLeft, double nBottom, double nRight, const std::shared_ptr<TPen>& oPen = nullptr);
  void Ellipse(double nTop, double nLeft, double nBottom, double nRight, const std::shared_ptr<TPen>& oPen = nullptr);
  void Arc(double nTop, double nLeft, double nBottom, double nRight, double nStartX, double nStartY, double nEndX,
           double nEndY, const std::shared_ptr<TPen>& oPen = nullptr);
  void Chord(double nTop, double nLeft, double nBottom, double nRight, double nStartX, double nStartY, double nEndX,
             double nEndY, const std::shared_ptr<TPen>& oPen = nullptr);
  void Pie(double nTop, double nLeft, double nBottom, double nRight, double nStartX, double nStartY, double nEndX,
           double nEndY, const std::shared_ptr<TPen>& oPen = nullptr);
  void RoundBox(double nTop, double nLeft, double nBottom, double nRight, int nWidth, int nHeight,
                const std::shared_ptr<TPen>& oPen = nullptr, std::optional<COLORREF> nBackColor = std::nullopt);
  void FillRect(const std::array<double, 4>& aRect, const std::shared_ptr<TBrush>& oBrush);
  // Sets a pixel of the page (the colour's own; black without one).
  void SetPixel(double nRow, double nCol, std::optional<COLORREF> nColor = std::nullopt);

  // ---- conversions (the arguments are replaced by the result too) --------------------
  PixPos Cmtr2Pix(double& nRow, double& nCol) const;
  PixPos Mmtr2Pix(double& nRow, double& nCol) const;
  PixPos Inch2Pix(double& nRow, double& nCol) const;
  std::array<double, 4> CmRect2Pix(const std::array<double, 4>& aRect) const;
  std::array<double, 2> SizeInch2Pix(double nHeight, double nWidth) const;  // { width, height }
  PixPos Pix2Mmtr(double nRow, double nCol) const;
  PixPos Pix2Inch(double nRow, double nCol) const;
  std::array<double, 2> GetPhySize() const;  // { width, height } in millimetres

  int nVertRes() const;
  int nHorzRes() const;
  int nVertSize() const;
  int nHorzSize() const;
  int nLogPixelX() const;
  int nLogPixelY() const;

  // ---- mapping modes of hDC -------------------------------------------------------------
  int SetPixelMode();
  int SetLoMetricMode();
  int SetHiMetricMode();
  int SetLoInchMode();
  int SetHiInchMode();
  int SetTwipsMode();
  int SetIsotropicMode();
  int SetAnisotropicMode();
  void SetWindowExt(int nX, int nY);
  void SetViewPortExt(int nX, int nY);

  // ---- text measures ----------------------------------------------------------------------
  int GetTextWidth(std::string_view cText, const std::shared_ptr<TFont>& oFont = nullptr);
  int GetTextHeight(std::string_view cText, const std::shared_ptr<TFont>& oFont = nullptr);
  int CharWidth();   // cells of the current font across the page
  int CharHeight();  // and down
  // A given font becomes the printer's; without one it is made when missing
  // (Courier, 12 points on this device). Answers the printer's font.
  std::shared_ptr<TFont> SetFont(std::shared_ptr<TFont> oFont = nullptr);

  // ---- page settings (process-wide; each rebuilds the context) ---------------------------
  void SetLandscape();
  void SetPortrait();
  void SetCopies(int nCopies);
  void SetSize(int nWidth, int nHeight);  // tenths of a millimetre
  void SetPage(int nPaper);
  void SetBin(int nBin);
  void DraftMode(bool lOnOff = true);
  void Setup();
  int GetOrientation() const;
  std::string GetModel() const;
  std::string GetDriver() const;
  std::string GetPort() const;
  bool ResetDC();

 private:
  int Caps(int nIndex) const;
};

// ---- page-by-page printing -------------------------------------------------------------
// xModel: NIL for the default printer, a number (position in the installed
// printers, from 1) or a name (exact, then contained, ignoring case). No
// match: a beep and the print dialog.
std::shared_ptr<TPrinter> PrintBegin(const std::string& cDocument = "Novaxis Report", bool lUser = false,
                                     bool lPreview = false, const Value& xModel = {}, bool lModal = false,
                                     bool lSelection = false);
void PageBegin();
void PageEnd();
void PrintEnd();
std::shared_ptr<TPrinter> PrintCurrent();
// The installed printers: the names of the profile section "Devices".
std::vector<std::string> aGetPrinters();
// Makes cName the default printer ("name,driver,port" as "Device" of the
// profile section "Windows"); false when no such printer is installed.
bool SetPrintDefault(const std::string& cName);

// The preview of a printer's page metafiles: a window of pages (PgUp/PgDn,
// Home/End, Esc closes) that ends the printer when it closes. A modal one
// returns when it is closed.
void RPreview(const std::shared_ptr<TPrinter>& oPrinter);

}  // namespace nx
