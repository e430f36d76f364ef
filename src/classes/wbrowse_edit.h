// Editing one cell of a browse: the arguments of the two editors and the
// step that lays the small popup dialog over the cell.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "classes/window.h"
#include "native/draw.h"
#include "rt/value.h"

namespace nx {

class TWBrowse;
class TDialog;
class TControl;

// lEditCol's arguments after the value. Colours default to the browse's
// text and pane colours. A logical value, or any value with aItems, is
// chosen from a list (a logical's list defaults to ".T." and ".F."; its
// first item stands for true); anything else is typed into an edit field
// shaped by cPicture. bValid is the editor's validation, asked before an
// edit is accepted. bAction adds a small button at the right of the edit
// field whose answer becomes the value, accepted at once.
struct CellEditParams {
  std::string cPicture = {};
  CondHook bValid = {};
  std::optional<COLORREF> nClrFore = {}, nClrBack = {};
  std::optional<std::vector<std::string>> aItems = {};
  std::function<Value(const Value& uVar, TWBrowse& oBrw)> bAction = {};
};

// EditCol's end: the new value (NIL when Esc ended the edit), the key that
// ended it (13 Enter, 27 Esc, 0 anything else) and the browse.
using EditColHook = std::function<void(const Value& uValue, int nLastKey, TWBrowse& oBrw)>;

struct EditColParams {
  std::string cPicture = {};
  EditColHook bValid = {};
  std::optional<COLORREF> nClrFore = {}, nClrBack = {};
  std::optional<std::vector<std::string>> aItems = {};
};

// The popup editor's first step: the dialog over aRect (a screen rectangle
// whose top is already one pixel down), the editor and its button inside.
// cType is the type letter of the edited value.
void DLGADJUST(TDialog& oDlg, TControl& oGet, TControl* oBtn, const ARect& aRect, char cType);

}  // namespace nx
