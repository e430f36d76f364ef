// Natives of dialogs and their simple controls: the in-memory template
// header and the transparent static texts.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace nx {

// The bytes of a dialog template header (positions in dialog units); with a
// point size and face name the template carries its font. The caption is
// ANSI text.
std::string CDLG2CHR(int nItems, int nTop, int nLeft, int nBottom, int nRight, const std::string& cCaption,
                     DWORD nStyle, std::optional<int> nPointSize = std::nullopt, const std::string& cFaceName = {});

// Makes the dialog's static texts paint over the dialog's background: they
// are drawn after their siblings and answered with a hollow brush.
void FIXSAYS(HWND hDlg);
// Whether the window is a static text FIXSAYS made transparent.
bool ISFIXEDSAY(HWND hWnd);

}  // namespace nx
