// Interim brush object until the graphics-object classes land.
#pragma once
#include <windows.h>
#include <memory>
#include "rt/value.h"
namespace nx {
struct TBrushParams {
  COLORREF nRGBColor = 0;
};
class TBrush : public Object {
 public:
  static std::shared_ptr<TBrush> New(const TBrushParams& p) {
    auto b = std::make_shared<TBrush>();
    b->hBrush = CreateSolidBrush(p.nRGBColor);
    b->nRGBColor = p.nRGBColor;
    return b;
  }
  ~TBrush() override { Release(); }
  void End() {
    if (--nCount <= 0) Release();
  }
  const char* ClassName() const override { return "TBRUSH"; }
  HBRUSH hBrush = nullptr;
  COLORREF nRGBColor = 0;
  int nCount = 1;
 private:
  void Release() {
    if (hBrush) DeleteObject(hBrush);
    hBrush = nullptr;
  }
};
}  // namespace nx
