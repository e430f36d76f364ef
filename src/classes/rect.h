// Interim rectangle object until the graphics-object classes land.
#pragma once
#include <memory>
#include "rt/value.h"
namespace nx {
class TRect : public Object {
 public:
  static std::shared_ptr<TRect> New(int t, int l, int b, int r) {
    auto x = std::make_shared<TRect>();
    x->nTop = t, x->nLeft = l, x->nBottom = b, x->nRight = r;
    return x;
  }
  const char* ClassName() const override { return "TRECT"; }
  int nTop = 0, nLeft = 0, nBottom = 0, nRight = 0;
};
}  // namespace nx
