// TBrush: a fill pattern shared by description (style, colour, file,
// resource). Stock brushes (white, black and the greys, "NULL") are never
// deleted; the others at the last End().
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rt/value.h"

namespace nx {

struct BrushParams {
  // "NULL"; patterns "BORLAND", "BRICKS", "TILED", "TABS"; hatches
  // "HORIZONTAL", "VERTICAL", "FDIAGONAL", "BDIAGONAL", "CROSS", "DIAGCROSS";
  // any other style reads cBmpFile. Keywords are upper case.
  std::string cStyle = {};
  std::optional<COLORREF> nRGBColor = {};
  std::string cBmpFile = {};
  std::string cBmpRes = {};
  // A bitmap handed to the brush: the brush owns it from then on and
  // deletes it at the last End().
  HBITMAP hBitmap = nullptr;
};

class TBrush : public Object {
 public:
  const char* ClassName() const override { return "TBRUSH"; }
  ~TBrush() override;

  static std::shared_ptr<TBrush> New(const BrushParams& aParams = {});
  static std::shared_ptr<TBrush> Solid(COLORREF nRGB) { return New({.nRGBColor = nRGB}); }
  // A solid brush of a system colour (COLOR_BTNFACE, ...), read now.
  static std::shared_ptr<TBrush> SysColor(int nIndex) { return Solid(GetSysColor(nIndex)); }
  // The brush list: every live brush.
  static const std::vector<std::shared_ptr<TBrush>>& aBrushes();

  HBRUSH hBrush = nullptr;
  HBITMAP hBitmap = nullptr;
  int nBmpFormat = 0;
  int nCount = 0;
  std::string cStyle;
  std::optional<COLORREF> nRGBColor;
  std::string cBmpFile;
  std::string cBmpRes;
  bool lSystem = false;
  Value Cargo;

  void End();
  void Release() { End(); }
  // A new brush over a resized copy of hBitmap. nMode: 0 keep the size,
  // 1 nWidth x nHeight, 2 scale by the larger, 3 by the smaller ratio.
  std::shared_ptr<TBrush> Resized(int nWidth, int nHeight, std::optional<int> nMode = {});

  std::string cGenPRG(std::string_view cName = "oBrush") const;
  std::string Save() const;
  bool Load(std::string_view cData);
  std::string SaveToText(int nIndent = 0) const;
  static std::shared_ptr<TBrush> FromRecord(std::string_view cData);

  std::vector<std::pair<std::string, Value>> Properties() const;
  bool SetProperty(std::string_view cName, const Value& uValue);
};

// A font or brush from a Save() record (the class name decides); nullptr
// for a malformed record or another class.
ObjectPtr ORead(std::string_view cData);

}  // namespace nx
