#include "classes/pen.h"

#include "native/gdi.h"

namespace nx {

std::shared_ptr<TPen> TPen::New(int nStyle, int nWidth, COLORREF nColor, int nDevLogPixelY) {
  auto pen = std::make_shared<TPen>();
  pen->hPen = CREATEPEN(nStyle, nWidth, nColor);
  pen->nStyle = nStyle;
  pen->nWidth = nWidth;
  pen->nColor = nColor;
  if (nDevLogPixelY) {
    pen->nWidth = nDevLogPixelY / 72.0 * nWidth;
    pen->nDevLogPixelY = nDevLogPixelY;
  }
  return pen;
}

void TPen::End() {
  if (hPen) DELETEOBJECT(hPen);
  hPen = nullptr;
}

}  // namespace nx
