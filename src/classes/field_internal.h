// What the two edit fields (TGet, TMultiGet) share: the right click and the
// clipboard. Not part of the library's interface.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "classes/control.h"

namespace nx::field {

// A right click: the focus first (nothing more when the field cannot take
// it), then bRClicked. nullopt: neither took the click, the field goes on.
std::optional<Value> RightClick(TControl& oField, int nRow, int nCol, int nKeyFlags);

// Puts text on the clipboard (none: only makes sure it can be opened).
// False when it cannot, after the alert "The clipboard is not available
// now!" when lAlert.
bool PutClipboard(HWND hOwner, const std::optional<std::string>& cText, bool lAlert = true);

// The clipboard's text; nullopt, after the alert "The clipboard is not
// available!", when it cannot be opened.
std::optional<std::string> ClipboardText(HWND hOwner);

// Whether a cut may go on: a read-only field says why not.
bool MayCut(bool lReadOnly);

}  // namespace nx::field
