// Test support: a printer on the platform's PostScript driver whose port is
// a file, so that print jobs can be read back. Wine ships that driver
// (wineps.drv); on Windows another file-port printer would take its place.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <fstream>
#include <string>

namespace nxtest {

// A4 at 300 dpi with a quarter-inch unprintable margin on every side.
inline constexpr const char* kFilePrinterPpd = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "NXFILE.PPD"
*Manufacturer: "Novaxis"
*Product: "(Novaxis File Printer)"
*ModelName: "Novaxis File Printer"
*ShortNickName: "Novaxis File Printer"
*NickName: "Novaxis File Printer"
*PSVersion: "(3010) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*TTRasterizer: Type42
*DefaultResolution: 300dpi
*OpenUI *PageSize/Page Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageSize Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageRegion Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "18 18 577 824"
*ImageableArea Letter/Letter: "18 18 594 774"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension Letter/Letter: "612 792"
*DefaultFont: Courier
*Font Courier: Standard "(002.004S)" Standard ROM
*Font Helvetica: Standard "(001.006S)" Standard ROM
)ppd";

inline constexpr const char* kFilePrinterDriver = "Novaxis File Printer";

// Installs printer cName printing into cPortFile (a Windows path) and makes
// it the default printer; answers false when the platform refuses.
inline bool InstallFilePrinter(const std::string& cName, const std::string& cPortFile) {
  char dir[MAX_PATH] = {};
  GetTempPathA(sizeof dir, dir);
  const std::string ppd = std::string(dir) + "nxfile.ppd";
  {
    std::ofstream out(ppd, std::ios::binary);
    out << kFilePrinterPpd;
    if (!out) return false;
  }
  DRIVER_INFO_3A di{};
  di.cVersion = 3;
  di.pName = const_cast<char*>(kFilePrinterDriver);
  di.pEnvironment = const_cast<char*>("Windows NT x86");
  di.pDriverPath = const_cast<char*>("wineps.drv");
  di.pDataFile = const_cast<char*>(ppd.c_str());
  di.pConfigFile = const_cast<char*>("wineps.drv");
  di.pDefaultDataType = const_cast<char*>("RAW");
  if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&di), APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY)) {
    return false;
  }
  HANDLE h = nullptr;
  if (OpenPrinterA(const_cast<char*>(cName.c_str()), &h, nullptr)) {
    ClosePrinter(h);  // installed before
  } else {
    PRINTER_INFO_2A pi{};
    pi.pPrinterName = const_cast<char*>(cName.c_str());
    pi.pPortName = const_cast<char*>(cPortFile.c_str());
    pi.pDriverName = const_cast<char*>(kFilePrinterDriver);
    pi.pPrintProcessor = const_cast<char*>("winprint");
    pi.pDatatype = const_cast<char*>("RAW");
    pi.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    h = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
    if (!h) return false;
    ClosePrinter(h);
  }
  return SetDefaultPrinterA(cName.c_str());
}

// Removes the printer and its driver; the default printer setting goes too.
inline bool RemoveFilePrinter(const std::string& cName) {
  PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE h = nullptr;
  bool ok = false;
  if (OpenPrinterA(const_cast<char*>(cName.c_str()), &h, &defaults)) {
    ok = DeletePrinter(h);
    ClosePrinter(h);
  }
  DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(kFilePrinterDriver));
  char device[512] = {};
  GetProfileStringA("windows", "device", "", device, sizeof device);
  if (std::string(device).rfind(cName + ",", 0) == 0) WriteProfileStringA("windows", "device", nullptr);
  return ok;
}

}  // namespace nxtest
