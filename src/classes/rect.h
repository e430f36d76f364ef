// TRect: a rectangle value with inclusive edges.
#pragma once

#include <memory>

#include "rt/value.h"

namespace nx {

class TRect : public Object {
 public:
  const char* ClassName() const override { return "TRECT"; }
  static std::shared_ptr<TRect> New(int nTop = 0, int nLeft = 0, int nBottom = 0, int nRight = 0);

  int nTop = 0;
  int nLeft = 0;
  int nBottom = 0;
  int nRight = 0;

  int nWidth() const { return nRight - nLeft + 1; }
  int nHeight() const { return nBottom - nTop + 1; }
};

}  // namespace nx
