// Interim font object until the graphics-object classes land.
#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include "rt/value.h"
namespace nx {
class TFont : public Object {
 public:
  static std::shared_ptr<TFont> FromHandle(HFONT h, bool lDestroy) {
    auto f = std::make_shared<TFont>();
    f->hFont = h;
    f->lDestroy = lDestroy;
    LOGFONTA lf{};
    if (h && GetObjectA(h, sizeof lf, &lf)) {
      f->nHeight = lf.lfHeight;
      f->cFaceName = lf.lfFaceName;
    }
    return f;
  }
  static std::shared_ptr<TFont> System(int nHeight) {
    LOGFONTA lf{};
    lf.lfHeight = nHeight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(lf.lfFaceName, "MS Sans Serif");
    auto f = FromHandle(CreateFontIndirectA(&lf), true);
    return f;
  }
  ~TFont() override { Release(); }
  void End() {
    if (--nCount <= 0) Release();
  }
  const char* ClassName() const override { return "TFONT"; }
  HFONT hFont = nullptr;
  int nHeight = 0, nWidth = 0, nCount = 1;
  bool lDestroy = true;
  std::string cFaceName;
 private:
  void Release() {
    if (hFont && lDestroy) DeleteObject(hFont);
    hFont = nullptr;
  }
};
}  // namespace nx
