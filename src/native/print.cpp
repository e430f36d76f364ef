#include "native/print.h"

#include <windows.h>
#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace nx {

namespace {

// The process-wide settings: the print dialog's record with its device-mode
// and device-names blocks (movable global memory, owned here).
struct PrintSettings {
  PRINTDLGA pd{};
  bool lKnown = false;
  DWORD nError = 0;
  std::array<int, 4> aMargins{};
};

PrintSettings& Settings() {
  static PrintSettings s;
  return s;
}

void FreeBlocks(PRINTDLGA& pd) {
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  pd.hDevMode = pd.hDevNames = nullptr;
}

void ResetRecord(PRINTDLGA& pd) {
  FreeBlocks(pd);
  pd = PRINTDLGA{};
  pd.lStructSize = sizeof pd;
  pd.nFromPage = 1;
  pd.nToPage = 1;
  pd.nMinPage = 1;
  pd.nMaxPage = 65535;
  pd.nCopies = 1;
}

// Asks the platform for the default printer once; false when there is none.
bool Known() {
  PrintSettings& s = Settings();
  if (s.lKnown) return true;
  ResetRecord(s.pd);
  s.pd.Flags = PD_RETURNDEFAULT;
  if (PrintDlgA(&s.pd)) {
    s.nError = 0;
    s.lKnown = true;
  } else {
    s.nError = CommDlgExtendedError();
    FreeBlocks(s.pd);
  }
  s.pd.Flags = 0;
  return s.lKnown;
}

// Locked views of the two blocks for one call.
class DevMode {
 public:
  DevMode() : h_(Known() ? Settings().pd.hDevMode : nullptr), p_(h_ ? static_cast<DEVMODEA*>(GlobalLock(h_)) : nullptr) {}
  ~DevMode() {
    if (p_) GlobalUnlock(h_);
  }
  DevMode(const DevMode&) = delete;
  DevMode& operator=(const DevMode&) = delete;
  DEVMODEA* operator->() const { return p_; }
  DEVMODEA* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  HGLOBAL h_;
  DEVMODEA* p_;
};

struct DevNames {
  std::string cDriver, cDevice, cPort;
};

DevNames ReadDevNames() {
  DevNames names;
  if (!Known() || !Settings().pd.hDevNames) return names;
  HGLOBAL h = Settings().pd.hDevNames;
  const auto* p = static_cast<const DEVNAMES*>(GlobalLock(h));
  if (!p) return names;
  const SIZE_T size = GlobalSize(h);
  const char* base = reinterpret_cast<const char*>(p);
  auto at = [&](WORD offset) {
    if (offset >= size) return std::string();
    return std::string(base + offset, strnlen(base + offset, size - offset));
  };
  names.cDriver = at(p->wDriverOffset);
  names.cDevice = at(p->wDeviceOffset);
  names.cPort = at(p->wOutputOffset);
  GlobalUnlock(h);
  return names;
}

HGLOBAL NewDevNames(const std::string& cDriver, const std::string& cDevice, const std::string& cPort) {
  const size_t size = sizeof(DEVNAMES) + cDriver.size() + cDevice.size() + cPort.size() + 3;
  if (size > 0xFFFF) return nullptr;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* p = h ? static_cast<DEVNAMES*>(GlobalLock(h)) : nullptr;
  if (!p) {
    if (h) GlobalFree(h);
    return nullptr;
  }
  char* base = reinterpret_cast<char*>(p);
  WORD offset = sizeof(DEVNAMES);
  auto put = [&](const std::string& s) {
    const WORD at = offset;
    memcpy(base + offset, s.c_str(), s.size() + 1);
    offset = static_cast<WORD>(offset + s.size() + 1);
    return at;
  };
  p->wDriverOffset = put(cDriver);
  p->wDeviceOffset = put(cDevice);
  p->wOutputOffset = put(cPort);
  GlobalUnlock(h);
  return h;
}

// The driver's default device mode of a printer, in a movable block.
HGLOBAL DefaultDevMode(HANDLE hPrinter, const std::string& cDevice) {
  char* name = const_cast<char*>(cDevice.c_str());
  const LONG size = DocumentPropertiesA(nullptr, hPrinter, name, nullptr, nullptr, 0);
  if (size <= 0) return nullptr;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size));
  auto* p = h ? static_cast<DEVMODEA*>(GlobalLock(h)) : nullptr;
  if (!p) {
    if (h) GlobalFree(h);
    return nullptr;
  }
  const bool ok = DocumentPropertiesA(nullptr, hPrinter, name, p, nullptr, DM_OUT_BUFFER) == IDOK;
  GlobalUnlock(h);
  if (!ok) {
    GlobalFree(h);
    return nullptr;
  }
  return h;
}

HDC DcFromSettings() {
  const DevNames names = ReadDevNames();
  if (names.cDevice.empty()) return nullptr;
  DevMode dm;
  return CreateDCA(names.cDriver.empty() ? nullptr : names.cDriver.c_str(), names.cDevice.c_str(), nullptr,
                   dm.get());
}

int Caps(HDC hDC, int nIndex) { return hDC ? GetDeviceCaps(hDC, nIndex) : 0; }

}  // namespace

void PRINTERINIT() {
  PrintSettings& s = Settings();
  FreeBlocks(s.pd);
  s.lKnown = false;
}

HDC GETPRINTDEFAULT(HWND hWndOwner) {
  if (!Known()) return nullptr;
  Settings().pd.hwndOwner = hWndOwner;
  return DcFromSettings();
}

HDC GETPRINTDC(HWND hWndOwner, bool lSelection, bool lPageNumbers) {
  Known();  // the dialog starts on the current printer when there is one
  PrintSettings& s = Settings();
  PRINTDLGA& pd = s.pd;
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = hWndOwner;
  pd.hDC = nullptr;
  pd.Flags = PD_RETURNDC | PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE |
             (lSelection ? PD_SELECTION : PD_NOSELECTION);
  if (lPageNumbers && !lSelection) {
    pd.Flags |= PD_PAGENUMS;
  } else {
    pd.nFromPage = pd.nToPage = 1;
  }
  pd.nMinPage = 1;
  pd.nMaxPage = 65535;
  if (!PrintDlgA(&pd)) {
    s.nError = CommDlgExtendedError();
    pd.Flags = 0;  // nothing was asked for
    return nullptr;
  }
  s.nError = 0;
  s.lKnown = pd.hDevNames != nullptr;
  return pd.hDC;
}

bool PRINTERSELECT(const std::string& cDevice) {
  PrintSettings& s = Settings();
  HANDLE printer = nullptr;
  if (cDevice.empty() || !OpenPrinterA(const_cast<char*>(cDevice.c_str()), &printer, nullptr)) {
    s.nError = PDERR_PRINTERNOTFOUND;
    return false;
  }
  std::string driver, port;
  DWORD need = 0;
  GetPrinterA(printer, 2, nullptr, 0, &need);
  std::vector<BYTE> info(need ? need : 1);
  if (need && GetPrinterA(printer, 2, info.data(), need, &need)) {
    const auto* pi = reinterpret_cast<const PRINTER_INFO_2A*>(info.data());
    driver = pi->pDriverName ? pi->pDriverName : "";
    port = pi->pPortName ? pi->pPortName : "";
  }
  HGLOBAL mode = DefaultDevMode(printer, cDevice);
  ClosePrinter(printer);
  HGLOBAL names = NewDevNames(driver, cDevice, port);
  if (!mode || !names) {
    if (mode) GlobalFree(mode);
    if (names) GlobalFree(names);
    s.nError = PDERR_INITFAILURE;
    return false;
  }
  ResetRecord(s.pd);
  s.pd.hDevMode = mode;
  s.pd.hDevNames = names;
  s.lKnown = true;
  s.nError = 0;
  return true;
}

void PRINTERSETUP(HWND hWndOwner) {
  Known();
  PrintSettings& s = Settings();
  const DWORD keep = s.pd.Flags;
  s.pd.hwndOwner = hWndOwner;
  s.pd.hDC = nullptr;
  s.pd.Flags = PD_PRINTSETUP;
  if (PrintDlgA(&s.pd)) {
    s.nError = 0;
    s.lKnown = s.pd.hDevNames != nullptr;
  } else {
    s.nError = CommDlgExtendedError();
  }
  s.pd.Flags = keep;
}

bool PAGESETUP(HWND hWndOwner) {
  Known();
  PrintSettings& s = Settings();
  PAGESETUPDLGA psd{};
  psd.lStructSize = sizeof psd;
  psd.hwndOwner = hWndOwner;
  psd.hDevMode = s.pd.hDevMode;
  psd.hDevNames = s.pd.hDevNames;
  const bool known = s.aMargins != std::array<int, 4>{};
  if (known) {
    psd.Flags = PSD_MARGINS;
    psd.rtMargin = RECT{s.aMargins[0], s.aMargins[1], s.aMargins[2], s.aMargins[3]};
  }
  const bool ok = PageSetupDlgA(&psd);
  s.nError = ok ? 0 : CommDlgExtendedError();
  // The dialog may have replaced the blocks; they stay ours either way.
  s.pd.hDevMode = psd.hDevMode;
  s.pd.hDevNames = psd.hDevNames;
  if (ok) {
    s.lKnown = s.pd.hDevNames != nullptr;
    s.aMargins = {psd.rtMargin.left, psd.rtMargin.top, psd.rtMargin.right, psd.rtMargin.bottom};
  }
  return ok;
}

std::array<int, 4> PAGEGETMARGINS() { return Settings().aMargins; }

int STARTDOC(HDC hDC, std::string_view cDocument) {
  if (!hDC) return 0;
  const std::string name(cDocument.substr(0, 31));
  DOCINFOA di{};
  di.cbSize = sizeof di;
  di.lpszDocName = name.c_str();
  return StartDocA(hDC, &di);
}

int ENDDOC(HDC hDC) { return hDC ? EndDoc(hDC) : 0; }
int STARTPAGE(HDC hDC) { return hDC ? StartPage(hDC) : 0; }
int ENDPAGE(HDC hDC) { return hDC ? EndPage(hDC) : 0; }

bool IMPORTRAWFILE(HDC hDC, const std::string& cFile) {
  if (!hDC) return false;
  int escape = PASSTHROUGH;
  if (ExtEscape(hDC, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), 0, nullptr) <= 0) {
    return false;
  }
  std::ifstream in(cFile, std::ios::binary);
  if (!in) return false;
  // Each call carries a 16-bit count and at most that many bytes.
  std::vector<char> buffer(2 + 32000);
  bool ok = true;
  while (ok && in) {
    in.read(buffer.data() + 2, 32000);
    const auto got = static_cast<WORD>(in.gcount());
    if (!got) break;
    memcpy(buffer.data(), &got, 2);
    ok = ExtEscape(hDC, PASSTHROUGH, got + 2, buffer.data(), 0, nullptr) > 0;
  }
  return ok;
}

std::array<int, 2> PRNOFFSET(HDC hDC) { return {Caps(hDC, PHYSICALOFFSETX), Caps(hDC, PHYSICALOFFSETY)}; }
std::array<int, 2> PRNGETSIZE(HDC hDC) { return {Caps(hDC, PHYSICALWIDTH), Caps(hDC, PHYSICALHEIGHT)}; }

bool PRNLANDSCAPE() {
  if (DevMode dm; dm) {
    dm->dmOrientation = DMORIENT_LANDSCAPE;
    dm->dmFields |= DM_ORIENTATION;
  }
  return true;
}

bool PRNPORTRAIT() {
  if (DevMode dm; dm) {
    dm->dmOrientation = DMORIENT_PORTRAIT;
    dm->dmFields |= DM_ORIENTATION;
  }
  return true;
}

int PRNGETORIENTATION() {
  DevMode dm;
  return dm && dm->dmOrientation == DMORIENT_LANDSCAPE ? 2 : 1;
}

bool PRNSETCOPIES(int nCopies, std::optional<int> nCopies2) {
  const int n = nCopies2.value_or(nCopies);
  if (DevMode dm; dm) {
    dm->dmCopies = static_cast<short>(std::clamp(n, 1, 9999));
    dm->dmFields |= DM_COPIES;
  }
  Settings().pd.nCopies = static_cast<WORD>(std::clamp(n, 1, 9999));
  return true;
}

int PRNGETCOPIES() {
  DevMode dm;
  return dm ? dm->dmCopies : Settings().pd.nCopies;
}

int PRNGETCOLLATE() {
  DevMode dm;
  return dm ? dm->dmCollate : 0;
}

void PRNSETSIZE(int nWidth, int nHeight) {
  if (DevMode dm; dm) {
    dm->dmPaperSize = DMPAPER_USER;
    dm->dmPaperWidth = static_cast<short>(nWidth);
    dm->dmPaperLength = static_cast<short>(nHeight);
    dm->dmFields |= DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH;
  }
}

void PRNSETPAGE(int nPaper) {
  if (DevMode dm; dm) {
    dm->dmPaperSize = static_cast<short>(nPaper);
    dm->dmFields |= DM_PAPERSIZE;
    dm->dmFields &= ~(DM_PAPERWIDTH | DM_PAPERLENGTH);
  }
}

void PRNBINSOURCE(int nBin) {
  if (DevMode dm; dm) {
    dm->dmDefaultSource = static_cast<short>(nBin);
    dm->dmFields |= DM_DEFAULTSOURCE;
  }
}

void PRNDRAFTMODE(bool lOnOff) {
  if (DevMode dm; dm) {
    dm->dmPrintQuality = static_cast<short>(lOnOff ? DMRES_DRAFT : DMRES_HIGH);
    dm->dmFields |= DM_PRINTQUALITY;
  }
}

std::string PRNGETNAME() { return ReadDevNames().cDevice; }
std::string PRNGETDRIVE() { return ReadDevNames().cDriver; }
std::string PRNGETPORT() { return ReadDevNames().cPort; }

bool PRNGETPAGNUMS() { return Settings().pd.Flags & PD_PAGENUMS; }
bool PRNGETSELECTION() { return Settings().pd.Flags & PD_SELECTION; }
std::array<int, 2> PRNGETPAGES() { return {Settings().pd.nFromPage, Settings().pd.nToPage}; }

bool RESETDC(HDC hDC) {
  if (!hDC) return false;
  DevMode dm;
  return dm && ResetDCA(hDC, dm.get()) != nullptr;
}

DWORD COMDLGXERR() { return Settings().nError; }

HDC CREATEENHMETAFILE(HDC hDCRef, const std::string& cFile, std::string_view cDescription) {
  // "application\0picture\0\0"
  std::string desc("Novaxis");
  desc.push_back('\0');
  desc.append(cDescription);
  desc.push_back('\0');
  desc.push_back('\0');
  RECT frame{};
  const RECT* pFrame = nullptr;
  if (hDCRef && Caps(hDCRef, HORZRES) > 0 && Caps(hDCRef, VERTRES) > 0) {
    frame = RECT{0, 0, Caps(hDCRef, HORZSIZE) * 100, Caps(hDCRef, VERTSIZE) * 100};
    pFrame = &frame;
  }
  return CreateEnhMetaFileA(hDCRef, cFile.c_str(), pFrame, desc.c_str());
}

HENHMETAFILE CLOSEENHMETAFILE(HDC hDCMeta) { return hDCMeta ? CloseEnhMetaFile(hDCMeta) : nullptr; }
bool DELETEENHMETAFILE(HENHMETAFILE hEmf) { return hEmf && DeleteEnhMetaFile(hEmf); }

bool PLAYMETAFILE(HDC hDC, const std::string& cFile, int nTop, int nLeft, int nBottom, int nRight) {
  if (!hDC) return false;
  HENHMETAFILE emf = GetEnhMetaFileA(cFile.c_str());
  if (!emf) {
    // A Windows metafile, with or without the 22-byte placeable header.
    std::ifstream in(cFile, std::ios::binary);
    std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t skip = 0;
    if (bytes.size() > 22 && bytes[0] == 0xD7 && bytes[1] == 0xCD && bytes[2] == 0xC6 && bytes[3] == 0x9A) skip = 22;
    if (bytes.size() <= skip + 18) return false;
    emf = SetWinMetaFileBits(static_cast<UINT>(bytes.size() - skip), bytes.data() + skip, nullptr, nullptr);
    if (!emf) return false;
  }
  const RECT rc{nLeft, nTop, nRight, nBottom};
  const bool ok = PlayEnhMetaFile(hDC, emf, &rc);
  DeleteEnhMetaFile(emf);
  return ok;
}

}  // namespace nx
