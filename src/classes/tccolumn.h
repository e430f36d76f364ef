// TCColumn: one column of a column browse (TCBrowse): its heading, the block
// that reads and writes its value, the picture that formats it, colours by
// block, alignment, width, and whether it may be edited, highlighted or
// sorted by.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classes/control.h"
#include "rt/value.h"

namespace nx {

class TCColumn;
using TCColumnPtr = std::shared_ptr<TCColumn>;

// A cell colour, asked with the screen line and the column number.
using CellColor = std::function<COLORREF(int nLine, int nCol)>;

// New's arguments. bClrFore/bClrBack answer a colour, or (bClrFore) a
// colour pair such as "W+/B" that gives both; cAlign is a text ("LEFT",
// "CENTER", "RIGHT" or a part of one) or a number 0 to 2; a given nWidth is
// in dialog units.
struct TCColumnParams {
  std::string cHeading = {};
  SetGet bData = {};
  std::optional<std::string> cPicture = {};
  std::function<Value(int nLine, int nCol)> bClrFore = {}, bClrBack = {};
  Value cAlign = Value("LEFT");
  std::optional<int> nWidth = {};
  bool lBitmap = false;
  bool lEdit = false;
  std::string cMsg = {};
  std::function<bool(const Value& uValue)> bValid = {};
  std::string cError = {};
  bool lNoLite = false;
  std::string cOrder = {};
};

class TCColumn : public Object {
 public:
  static TCColumnPtr New(const TCColumnParams& p = {});
  const char* ClassName() const override { return "TCCOLUMN"; }

  // The cell value, and assigning it.
  Value Get() const { return bData ? bData(std::nullopt) : Value(); }
  Value Put(const Value& uValue) const { return bData ? bData(uValue) : Value(); }
  // The value as the cell shows it: through the picture, else as text.
  std::string Text() const;

  void End() {}
  std::string SaveToText() const { return {}; }
  static const std::vector<std::string>& aProperties();
  static const std::vector<std::string>& aEvents();

  std::string cHeading;
  SetGet bData;
  std::string cData;
  std::optional<std::string> cPicture;
  CellColor bClrFore, bClrBack;
  int nAlign = 0;  // 0 left, 1 centre, 2 right
  int nWidth = 0;  // pixels
  bool lBitMap = false, lEdit = false, lNoLite = false;
  std::string cMsg;
  std::function<bool(const Value& uValue)> bValid;
  std::string cError;
  std::string cOrder;
  std::function<void(TCColumn& oCol)> OnEdit;
  Value Cargo;
};

// The alignment a text or number names: 0 left, 1 centre, 2 right.
int TCColumnAlign(const Value& cAlign);

// The colours of a colour pair "fore/back" in the 16 classic colour letters
// (N B G BG R RB GR W, "+" or "*" for the bright ones).
COLORREF nGetForeRGB(const std::string& cColorPair);
COLORREF nGetBackRGB(const std::string& cColorPair);

}  // namespace nx
