// Printing natives: the process-wide print settings (device mode and device
// names, as the print dialog keeps them), printer device contexts, jobs and
// pages, device-mode changes, page metafiles and the message boxes the
// printer object shows.
//
// The settings are taken from the default printer on first use, without a
// dialog, and live until PRINTERINIT. None of these throws.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "native/msgbox.h"

// wingdi.h names two obsolete printer escapes STARTDOC and ENDDOC; the
// natives of those names are the library's.
#ifdef STARTDOC
#undef STARTDOC
#endif
#ifdef ENDDOC
#undef ENDDOC
#endif

namespace nx {

// Forgets the process-wide settings; the next native asks for the default
// printer again.
void PRINTERINIT();
// A device context of the printer of the process-wide settings, made with
// their device mode; 0 when there is no printer.
HDC GETPRINTDEFAULT(HWND hWndOwner = nullptr);
// The platform's print dialog over the process-wide settings (print to file
// hidden; selection offered by lSelection; a page range when lPageNumbers and
// not lSelection, else pages 1 to 1). The chosen printer's context, 0 when
// cancelled.
HDC GETPRINTDC(HWND hWndOwner = nullptr, bool lSelection = false, bool lPageNumbers = false);
// The process-wide settings for the printer named cDevice (its default
// device mode); false, with COMDLGXERR set, when no such printer exists.
bool PRINTERSELECT(const std::string& cDevice);
void PRINTERSETUP(HWND hWndOwner = nullptr);
// The page setup dialog; false when cancelled. Its margins (left, top,
// right, bottom, in the dialog's units) are kept for PAGEGETMARGINS.
bool PAGESETUP(HWND hWndOwner = nullptr);
std::array<int, 4> PAGEGETMARGINS();

// Jobs and pages. The document name is cut to 31 characters.
int STARTDOC(HDC hDC, std::string_view cDocument);
int ENDDOC(HDC hDC);
int STARTPAGE(HDC hDC);
int ENDPAGE(HDC hDC);
// Sends a file's bytes to the printer as they are (the device's own
// language); false when the file cannot be read or the device refuses.
bool IMPORTRAWFILE(HDC hDC, const std::string& cFile);

// { x, y } physical offsets of the printable area; { width, height } of the
// physical page, in device pixels.
std::array<int, 2> PRNOFFSET(HDC hDC);
std::array<int, 2> PRNGETSIZE(HDC hDC);

// The process-wide device mode.
bool PRNLANDSCAPE();
bool PRNPORTRAIT();
int PRNGETORIENTATION();  // 1 portrait, 2 landscape
bool PRNSETCOPIES(int nCopies, std::optional<int> nCopies2 = std::nullopt);
int PRNGETCOPIES();
int PRNGETCOLLATE();
void PRNSETSIZE(int nWidth, int nHeight);  // tenths of a millimetre
void PRNSETPAGE(int nPaper);
void PRNBINSOURCE(int nBin);
void PRNDRAFTMODE(bool lOnOff);
std::string PRNGETNAME();
std::string PRNGETDRIVE();
std::string PRNGETPORT();
// What the last print dialog asked for.
bool PRNGETPAGNUMS();
bool PRNGETSELECTION();
std::array<int, 2> PRNGETPAGES();
// Applies the process-wide device mode to a printer context.
bool RESETDC(HDC hDC);
// The last error of the print or page setup dialog (0: none; cancelling is
// no error).
DWORD COMDLGXERR();

// Page metafiles. The picture frame is the reference device's printable
// area, so a page plays back at the proportions it was drawn with.
HDC CREATEENHMETAFILE(HDC hDCRef, const std::string& cFile, std::string_view cDescription);
HENHMETAFILE CLOSEENHMETAFILE(HDC hDCMeta);
bool DELETEENHMETAFILE(HENHMETAFILE hEmf);
// Plays a metafile file (enhanced, or a placeable or plain Windows
// metafile) into a rectangle of hDC; false when it cannot be read.
bool PLAYMETAFILE(HDC hDC, const std::string& cFile, int nTop, int nLeft, int nBottom, int nRight);


}  // namespace nx
