// TCursor: a mouse pointer, from the application's resources, a predefined
// name or a bitmap. Predefined cursors belong to the system or the native
// layer and are never destroyed here.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rt/value.h"

namespace nx {

class TCursor : public Object {
 public:
  const char* ClassName() const override { return "TCURSOR"; }
  ~TCursor() override { End(); }

  // cPredef (any case): "ARROW", "IBEAM", "WAIT", "CROSS", "UPARROW", "SIZE",
  // "ICON", "SIZENWSE", "SIZENESW", "SIZEWE", "SIZENS", "HAND", "STOP",
  // "DRAG". An unknown name is reported through Alert and leaves hCursor 0.
  static std::shared_ptr<TCursor> New(const std::string& cResName, const std::string& cPredef = {});
  // Builds the cursor from a bitmap (see CREATEBMPCURSOR), ending the old one.
  TCursor& NewBmp(HBITMAP hBitmap, HPALETTE hPalette, int nRow, int nCol, bool lRanges = false,
                  const std::vector<COLORREF>& aClr1 = {}, const std::vector<COLORREF>& aClr2 = {},
                  const std::vector<COLORREF>& aClr3 = {}, const std::vector<COLORREF>& aClr4 = {});
  void End();

  HCURSOR hCursor = nullptr;
  bool lPredef = false;

  // Where the "Wrong predefined cursor type!" message goes; a message box
  // by default.
  static std::function<void(const std::string&)> Alert;
};

}  // namespace nx
