// TPen: a line style. Not shared; End() (or the last owner) deletes it.
#pragma once

#include <windows.h>

#include <memory>

#include "rt/value.h"

namespace nx {

class TPen : public Object {
 public:
  const char* ClassName() const override { return "TPEN"; }
  ~TPen() override { End(); }

  // nDevLogPixelY: a device's vertical pixels per inch scales nWidth (the
  // pen keeps the width it was created with).
  static std::shared_ptr<TPen> New(int nStyle = PS_SOLID, int nWidth = 1, COLORREF nColor = 0,
                                   int nDevLogPixelY = 0);

  HPEN hPen = nullptr;
  int nStyle = PS_SOLID;
  double nWidth = 1;
  COLORREF nColor = 0;
  int nDevLogPixelY = 0;

  void End();
  void Release() { End(); }
};

}  // namespace nx
