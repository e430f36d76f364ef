#include "classes/rect.h"

namespace nx {

std::shared_ptr<TRect> TRect::New(int nTop, int nLeft, int nBottom, int nRight) {
  auto r = std::make_shared<TRect>();
  r->nTop = nTop;
  r->nLeft = nLeft;
  r->nBottom = nBottom;
  r->nRight = nRight;
  return r;
}

}  // namespace nx
