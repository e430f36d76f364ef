// The printer object on a real printer: Wine's PostScript driver printing
// into a file (see common/fileprinter.h), page metafiles played back into
// memory pictures, the print dialog and the message boxes dismissed by
// posted keys, and the preview window.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "classes/brush.h"
#include "classes/font.h"
#include "classes/printer.h"
#include "common/fileprinter.h"
#include "draw/canvas.h"
#include "native/print.h"
#include "native/profile.h"

using drawtest::Canvas;

namespace {

constexpr const char* kPrinter = "Novaxis Test Printer";

std::string TempDir() {
  char dir[MAX_PATH] = {};
  GetTempPathA(sizeof dir, dir);
  return dir;
}

std::string JobFile() { return TempDir() + "nx_print_job.ps"; }

std::string Slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Exists(const std::string& file) { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Installs the file printer as the default for the whole program.
class PrinterEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    DeleteFileA(JobFile().c_str());
    ASSERT_TRUE(nxtest::InstallFilePrinter(kPrinter, JobFile())) << GetLastError();
    nx::PRINTERINIT();
  }
  void TearDown() override {
    nx::PRINTERINIT();
    nxtest::RemoveFilePrinter(kPrinter);
    DeleteFileA(JobFile().c_str());
  }
};
const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new PrinterEnvironment);

// Answers the modal dialogs and message boxes of this thread: each one seen
// is recorded (title and texts) and sent the key. The modal loops run the
// thread timer that looks for them.
class Answerer {
 public:
  explicit Answerer(WPARAM nKey) {
    key_ = nKey;
    seen_.clear();
    handled_.clear();
    id_ = SetTimer(nullptr, 0, 30, Tick);
  }
  ~Answerer() { KillTimer(nullptr, id_); }
  const std::vector<std::string>& seen() const { return seen_; }

 private:
  static BOOL CALLBACK Texts(HWND h, LPARAM out) {
    char text[512] = {};
    GetWindowTextA(h, text, sizeof text);
    *reinterpret_cast<std::string*>(out) += std::string("|") + text;
    return TRUE;
  }
  static BOOL CALLBACK Find(HWND h, LPARAM) {
    char cls[64] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (strcmp(cls, "#32770") != 0 || !IsWindowVisible(h)) return TRUE;
    for (HWND done : handled_) {
      if (done == h) return TRUE;
    }
    std::string texts;
    char title[256] = {};
    GetWindowTextA(h, title, sizeof title);
    texts = title;
    EnumChildWindows(h, Texts, reinterpret_cast<LPARAM>(&texts));
    seen_.push_back(texts);
    handled_.push_back(h);
    PostMessageA(h, WM_KEYDOWN, key_, 0);
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), Find, 0); }

  static inline WPARAM key_ = VK_ESCAPE;
  static inline std::vector<std::string> seen_;
  static inline std::vector<HWND> handled_;
  UINT_PTR id_ = 0;
};

// A 24-bit BMP file of one colour.
void WriteBmp(const std::string& file, int w, int h, COLORREF c) {
  const int stride = (w * 3 + 3) & ~3;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + stride * h;
  ih.biSize = sizeof ih;
  ih.biWidth = w;
  ih.biHeight = h;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  std::string row(stride, '\0');
  for (int x = 0; x < w; ++x) {
    row[x * 3] = char(GetBValue(c));
    row[x * 3 + 1] = char(GetGValue(c));
    row[x * 3 + 2] = char(GetRValue(c));
  }
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.write(reinterpret_cast<const char*>(&ih), sizeof ih);
  for (int y = 0; y < h; ++y) out.write(row.data(), stride);
}

// A page metafile played into a picture a quarter of the printable area.
struct Page {
  explicit Page(const std::string& file, int horz, int vert) : canvas(horz / 4, vert / 4), scale(0.25) {
    HENHMETAFILE emf = GetEnhMetaFileA(file.c_str());
    ok = emf != nullptr;
    if (!emf) return;
    const RECT rc{0, 0, canvas.w(), canvas.h()};
    ok = PlayEnhMetaFile(canvas.dc(), emf, &rc);
    DeleteEnhMetaFile(emf);
  }
  // The first and last columns in row band [y0, y1) holding colours other
  // than white; -1 when none.
  std::pair<int, int> InkColumns(int y0, int y1) const {
    int first = -1, last = -1;
    for (int y = std::max(0, y0); y < std::min(canvas.h(), y1); ++y) {
      for (int x = 0; x < canvas.w(); ++x) {
        if (canvas.At(x, y) != RGB(255, 255, 255)) {
          if (first < 0 || x < first) first = x;
          last = std::max(last, x);
        }
      }
    }
    return {first, last};
  }
  int FirstInkRow(int x, int y0, int y1) const {
    for (int y = y0; y < y1; ++y) {
      if (canvas.At(x, y) != RGB(255, 255, 255)) return y;
    }
    return -1;
  }
  Canvas canvas;
  double scale;
  bool ok = false;
};

std::vector<std::string> g_titles;

void CALLBACK PreviewDriver(HWND, UINT, UINT_PTR, DWORD) {
  HWND w = FindWindowA("TPREVIEW", nullptr);
  if (!w || !IsWindowVisible(w)) return;
  char title[128] = {};
  GetWindowTextA(w, title, sizeof title);
  if (!g_titles.empty() && g_titles.back() == title) return;
  g_titles.push_back(title);
  if (g_titles.size() == 1) {
    PostMessageA(w, WM_KEYDOWN, 'P', 0);  // print the previewed pages
    PostMessageA(w, WM_KEYDOWN, VK_NEXT, 0);
  } else {
    PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
  }
}

}  // namespace

TEST(Printer, ConvertsUnitsOnTheRealDeviceWithItsOffsets) {
  auto prn = nx::TPrinter::New();
  ASSERT_TRUE(prn->hDC);
  EXPECT_EQ(prn->hDCOut, prn->hDC);
  EXPECT_EQ(prn->GetModel(), kPrinter);
  EXPECT_EQ(prn->cModel, std::string(kPrinter) + "," + prn->GetDriver() + "," + JobFile());
  EXPECT_EQ(prn->cDocument, "Novaxis Report");
  EXPECT_EQ(prn->nOrient, 1);
  // The driver's page: A4 at 300 dpi, a quarter inch unprintable on each side.
  ASSERT_EQ(prn->nLogPixelX(), 300);
  EXPECT_EQ(prn->nXOffset, 75);
  EXPECT_EQ(prn->nYOffset, 75);
  const auto phys = prn->GetPhySize();
  EXPECT_NEAR(phys[0], 210, 1);
  EXPECT_NEAR(phys[1], 297, 1);

  // 1 cm is 10 mm in device pixels, minus the offsets; the arguments are
  // replaced by the result too.
  double row = 1, col = 1;
  const nx::PixPos pos = prn->Cmtr2Pix(row, col);
  EXPECT_DOUBLE_EQ(pos.nRow, 10.0 * prn->nVertRes() / prn->nVertSize() - 75);
  EXPECT_DOUBLE_EQ(pos.nCol, 10.0 * prn->nHorzRes() / prn->nHorzSize() - 75);
  EXPECT_NEAR(pos.nRow, 118.1 - 75, 1);
  EXPECT_EQ(row, pos.nRow);
  EXPECT_EQ(col, pos.nCol);
  // Inside the unprintable margin: 0, never negative.
  row = 3, col = 5;
  EXPECT_EQ(prn->Mmtr2Pix(row, col).nRow, 0);
  EXPECT_EQ(col, 0);
  row = 1, col = 2;
  const nx::PixPos inch = prn->Inch2Pix(row, col);
  EXPECT_NEAR(inch.nRow, 300 - 75, 2);
  EXPECT_NEAR(inch.nCol, 600 - 75, 3);
  const auto rect = prn->CmRect2Pix({1, 1, 2, 3});
  EXPECT_NEAR(rect[2], 236.2 - 75, 1);
  EXPECT_NEAR(rect[3], 354.3 - 75, 2);
  const auto size = prn->SizeInch2Pix(2, 0);
  EXPECT_EQ(size[0], 0);
  EXPECT_NEAR(size[1], 600, 3);
  EXPECT_NEAR(prn->Pix2Mmtr(300, 150).nRow, 25.4, 1e-9);
  EXPECT_NEAR(prn->Pix2Inch(300, 150).nCol, 0.5, 1e-9);

  // The default font: Courier, 12 points on this device (50 pixels).
  auto font = prn->SetFont();
  EXPECT_EQ(font->cFaceName, "Courier");
  EXPECT_EQ(font->nHeight(), 50);
  EXPECT_EQ(prn->CharHeight(), prn->nVertRes() / 50);
  EXPECT_EQ(prn->CharWidth(), prn->nHorzRes() / prn->GetTextWidth("B"));
  EXPECT_EQ(prn->GetTextHeight("x"), 50);

  // Landscape rebuilds the context on the turned page and End turns the
  // process-wide settings back.
  prn->SetLandscape();
  ASSERT_TRUE(prn->hDC);
  EXPECT_TRUE(prn->lModified);
  EXPECT_EQ(prn->GetOrientation(), 2);
  EXPECT_GT(prn->nHorzRes(), prn->nVertRes());
  EXPECT_EQ(prn->hDCOut, prn->hDC);
  prn->End();
  EXPECT_EQ(prn->hDC, nullptr);
  EXPECT_EQ(prn->oFont, nullptr);
  EXPECT_EQ(nx::PRNGETORIENTATION(), 1);
}

TEST(Printer, PrintsAJobOfTwoPagesIntoThePrintersFile) {
  DeleteFileA(JobFile().c_str());
  const std::string raw = TempDir() + "nx_raw.ps";
  std::ofstream(raw, std::ios::binary) << "\n%NXRAW passed through unchanged\n";
  auto prn = nx::PrintBegin("A document name longer than thirty-one characters");
  ASSERT_TRUE(prn->hDC);
  EXPECT_EQ(nx::PrintCurrent(), prn);
  for (int page = 1; page <= 2; ++page) {
    nx::PageBegin();
    prn->CmSay(2, 2, "Page " + std::to_string(page));
    prn->Box(300, 300, 600, 900);
    if (page == 2) {
      EXPECT_TRUE(prn->ImportRAW(raw));
    }
    nx::PageEnd();
  }
  EXPECT_TRUE(prn->lStarted);
  EXPECT_EQ(prn->nPage, 2);
  nx::PrintEnd();
  EXPECT_EQ(nx::PrintCurrent(), nullptr);
  EXPECT_EQ(prn->hDC, nullptr);
  // The spooler writes the job when the document ends.
  std::string ps;
  for (int i = 0; i < 6000 && ps.find("%%EOF") == std::string::npos; ++i) {  // up to 2 minutes
    Sleep(20);
    ps = Slurp(JobFile());
  }
  ASSERT_NE(ps.find("%%EOF"), std::string::npos) << ps.substr(0, 200);
  EXPECT_EQ(Count(ps, "%%Page:"), 2u);
  const size_t title = ps.find("%%Title: ");
  ASSERT_NE(title, std::string::npos);
  EXPECT_EQ(ps.substr(title + 9, ps.find_first_of("\r\n", title) - title - 9), "A document name longer than thi");
  EXPECT_NE(ps.find("%NXRAW passed through unchanged"), std::string::npos);
  DeleteFileA(raw.c_str());
}

TEST(Printer, PreviewDrawsEachPageIntoAMetafileThatPlaysBack) {
  const std::string bmp = TempDir() + "nx_red.bmp";
  WriteBmp(bmp, 8, 4, RGB(255, 0, 0));
  auto prn = nx::TPrinter::New({.lMeta = true});
  ASSERT_TRUE(prn->hDC);
  EXPECT_EQ(prn->hDCOut, nullptr);
  std::string dir = TempDir();
  dir.pop_back();
  EXPECT_EQ(prn->cDir, dir);
  const int horz = prn->nHorzRes(), vert = prn->nVertRes();

  // Page 1: a box and a line in centimetres, and a right-aligned text whose
  // column is smaller than its width.
  prn->StartPage();
  ASSERT_TRUE(prn->hDCOut);
  EXPECT_NE(prn->hDCOut, prn->hDC);
  const auto box = prn->CmRect2Pix({3, 2, 5, 8});
  prn->Box(box[0], box[1], box[2], box[3]);
  double lineRow = 7, lineCol = 2;
  prn->Cmtr2Pix(lineRow, lineCol);
  prn->Line(lineRow, lineCol, lineRow, lineCol + 800);
  const std::string text = "MMMMMMMMMMMMMMMM";
  const int width = prn->GetTextWidth(text);
  ASSERT_GT(width, 300);
  const int textRow = 1400;
  prn->Say(textRow, width * 2 / 3, text, {.nPad = 1});
  prn->EndPage();
  EXPECT_EQ(prn->hDCOut, nullptr);

  // Page 2: the bitmap, stretched, and a blue fill.
  prn->StartPage();
  prn->SayBitmap(400, 400, nx::Value(bmp), 400, 200);
  auto blue = nx::TBrush::Solid(RGB(0, 0, 255));
  prn->FillRect({1200, 400, 1400, 800}, blue);
  prn->EndPage();
  blue->End();

  ASSERT_EQ(prn->aMeta.size(), 2u);
  EXPECT_EQ(prn->nPage, 2);
  for (const auto& file : prn->aMeta) {
    EXPECT_EQ(file.rfind(dir + "\\", 0), 0u) << file;
    EXPECT_EQ(file.substr(file.size() - 4), ".emf");
    EXPECT_TRUE(Exists(file));
  }
  EXPECT_NE(prn->aMeta[0], prn->aMeta[1]);

  Page one(prn->aMeta[0], horz, vert), two(prn->aMeta[1], horz, vert);
  ASSERT_TRUE(one.ok);
  ASSERT_TRUE(two.ok);
  const auto q = [](double device) { return int(device * 0.25 + 0.5); };
  // The box's top edge, seen down its middle column.
  EXPECT_NEAR(one.FirstInkRow(q((box[1] + box[3]) / 2), 0, one.canvas.h()), q(box[0]), 2);
  const auto boxInk = one.InkColumns(q(box[0]) + 3, q(box[2]) - 3);
  EXPECT_NEAR(boxInk.first, q(box[1]), 2);
  EXPECT_NEAR(boxInk.second, q(box[3]), 2);
  // The line.
  const auto lineInk = one.InkColumns(q(lineRow) - 1, q(lineRow) + 2);
  EXPECT_NEAR(lineInk.first, q(lineCol), 2);
  EXPECT_NEAR(lineInk.second, q(lineCol + 800), 2);
  // The text starts at column 0 and runs its whole width (from -1/3 of it,
  // it would end at two thirds).
  const auto textInk = one.InkColumns(q(textRow), q(textRow + 50));
  EXPECT_LE(textInk.first, q(width * 0.1));
  EXPECT_NEAR(textInk.second, q(width), q(width * 0.12));
  EXPECT_EQ(one.canvas.At(q(600), q(1300)), RGB(255, 255, 255));

  EXPECT_EQ(two.canvas.At(q(600), q(500)), RGB(255, 0, 0));
  EXPECT_EQ(two.canvas.At(q(600), q(1300)), RGB(0, 0, 255));
  EXPECT_EQ(two.canvas.At(q(900), q(500)), RGB(255, 255, 255));
  EXPECT_NEAR(two.InkColumns(q(box[0]) + 3, q(box[2]) - 3).first, q(400), 1) << "page 2 has no box";

  // End erases the pages.
  const auto files = prn->aMeta;
  prn->End();
  EXPECT_TRUE(prn->aMeta.empty());
  for (const auto& file : files) EXPECT_FALSE(Exists(file)) << file;
  DeleteFileA(bmp.c_str());
}

TEST(Printer, PreviewPagesGoToTheWindowsDirectoryWithoutTempAndTmp) {
  char temp[MAX_PATH] = {}, tmp[MAX_PATH] = {}, windows[MAX_PATH] = {};
  GetEnvironmentVariableA("TEMP", temp, sizeof temp);
  GetEnvironmentVariableA("TMP", tmp, sizeof tmp);
  GetWindowsDirectoryA(windows, sizeof windows);
  SetEnvironmentVariableA("TEMP", nullptr);
  SetEnvironmentVariableA("TMP", tmp);
  EXPECT_EQ(nx::TPrinter::New({.lMeta = true})->cDir + "\\", TempDir());  // TMP alone will do
  SetEnvironmentVariableA("TMP", nullptr);
  auto prn = nx::TPrinter::New({.lMeta = true});
  SetEnvironmentVariableA("TEMP", temp);
  SetEnvironmentVariableA("TMP", tmp);
  EXPECT_EQ(prn->cDir, windows);
  prn->StartPage();
  prn->Say(100, 100, "Windows directory");
  prn->EndPage();
  ASSERT_EQ(prn->aMeta.size(), 1u);
  const std::string file = prn->aMeta[0];
  EXPECT_EQ(file.rfind(std::string(windows) + "\\", 0), 0u) << file;
  EXPECT_TRUE(Exists(file));
  prn->End();
  EXPECT_FALSE(Exists(file));
}

TEST(Printer, APageThatCannotBeWrittenIsReportedAndPrintingGoesOn) {
  auto prn = nx::TPrinter::New({.lMeta = true});
  ASSERT_TRUE(prn->hDC);
  prn->cDir = "C:\\no such directory";
  Answerer esc(VK_ESCAPE);
  prn->StartPage();
  EXPECT_EQ(prn->hDCOut, nullptr);
  prn->Say(100, 100, "nowhere");  // draws nothing, harms nothing
  prn->SayBitmap(100, 100, nx::Value("no such.bmp"));
  prn->Box(10, 10, 20, 20);
  prn->EndPage();
  ASSERT_EQ(esc.seen().size(), 1u);
  EXPECT_NE(esc.seen()[0].find("Printer object Error"), std::string::npos) << esc.seen()[0];
  EXPECT_NE(esc.seen()[0].find("The temporal metafile could not be created"), std::string::npos);
  prn->End();
}

TEST(Printer, TheUserChoosesInThePrintDialog) {
  const auto printers = nx::aGetPrinters();
  ASSERT_NE(std::find(printers.begin(), printers.end(), kPrinter), printers.end());
  {
    // A name that matches no printer: a beep and the dialog, here cancelled.
    Answerer esc(VK_ESCAPE);
    auto prn = nx::PrintBegin("Report", false, false, nx::Value("No such printer"));
    ASSERT_EQ(esc.seen().size(), 1u);
    EXPECT_NE(esc.seen()[0].find(kPrinter), std::string::npos) << esc.seen()[0];
    EXPECT_EQ(prn->hDC, nullptr);  // cancelled: no message box, no context
    EXPECT_EQ(nx::COMDLGXERR(), 0u);
    prn->StartPage();  // nothing happens without a context
    EXPECT_EQ(prn->nPage, 0);
    nx::PrintEnd();
  }
  {
    Answerer enter(VK_RETURN);
    auto prn = nx::TPrinter::New({.lUser = true});
    ASSERT_EQ(enter.seen().size(), 1u);
    ASSERT_TRUE(prn->hDC);
    EXPECT_EQ(prn->cModel.rfind(std::string(kPrinter) + ",", 0), 0u);
    EXPECT_FALSE(nx::PRNGETSELECTION());
    prn->End();
  }
  // Part of a name, any case, or a position picks a printer without a dialog.
  for (const nx::Value& model : {nx::Value("novaxis TEST"), nx::Value(1)}) {
    Answerer esc(VK_ESCAPE);
    auto prn = nx::PrintBegin("Report", false, false, model);
    EXPECT_TRUE(esc.seen().empty());
    ASSERT_TRUE(prn->hDC);
    EXPECT_EQ(prn->cModel, std::string(kPrinter) + "," + nx::GETPROFSTRING("Devices", std::string(kPrinter)));
    nx::PrintEnd();
  }
  {
    // The setup dialogs over the process-wide settings, cancelled.
    Answerer esc(VK_ESCAPE);
    EXPECT_FALSE(nx::PAGESETUP());
    nx::PRINTERSETUP();
    EXPECT_EQ(esc.seen().size(), 2u);
    EXPECT_EQ(nx::PRNGETNAME(), kPrinter);
  }
  // A model naming no installed printer cannot be opened.
  Answerer esc(VK_ESCAPE);
  auto prn = nx::TPrinter::New({.cModel = "Gone,winspool,Ne00:"});
  EXPECT_EQ(prn->hDC, nullptr);
  ASSERT_EQ(esc.seen().size(), 1u);
  EXPECT_NE(esc.seen()[0].find("There are no printers installed!"), std::string::npos) << esc.seen()[0];
  nx::PRINTERINIT();
}

TEST(Printer, ThePreviewWindowTurnsPagesAndEndsThePrinter) {
  auto prn = nx::PrintBegin("Preview test", false, true);
  ASSERT_TRUE(prn->hDC);
  for (int page = 1; page <= 2; ++page) {
    nx::PageBegin();
    prn->Box(200, 200, 1000, 1000 + page * 500);
    nx::PageEnd();
  }
  const auto files = prn->aMeta;
  ASSERT_EQ(files.size(), 2u);

  // Drives the window from its own loop: note the title, print the pages,
  // turn the page, note the title again, close it.
  DeleteFileA(JobFile().c_str());
  g_titles.clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, PreviewDriver);
  nx::PrintEnd();  // shows the preview until it is closed
  KillTimer(nullptr, timer);
  const auto& titles = g_titles;
  ASSERT_EQ(titles.size(), 2u);
  EXPECT_EQ(titles[0], "Preview test - Page 1 of 2");
  EXPECT_EQ(titles[1], "Preview test - Page 2 of 2");
  EXPECT_EQ(prn->hDC, nullptr);
  for (const auto& file : files) EXPECT_FALSE(Exists(file)) << file;
  // The printed pages: the metafiles played on the printer.
  std::string ps;
  for (int i = 0; i < 6000 && ps.find("%%EOF") == std::string::npos; ++i) {  // up to 2 minutes
    Sleep(20);
    ps = Slurp(JobFile());
  }
  EXPECT_EQ(Count(ps, "%%Page:"), 2u);
  EXPECT_NE(ps.find("%%Title: Preview test"), std::string::npos);
}
