// TGroup: a group box ("BUTTON") framing other controls with a label.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "classes/control.h"

namespace nx {

class TGroup;
using TGroupPtr = std::shared_ptr<TGroup>;

// New's positional arguments: the frame's corners, in character cells (a row
// is 14 pixels, a column 7) unless lPixel.
struct TGroupParams {
  double nTop = 0, nLeft = 0, nBottom = 3, nRight = 3;
  std::string cLabel{};
  TWindowPtr oWnd{};  // none: the default window
  std::optional<COLORREF> nClrFore{}, nClrBack{};  // none: the window's colours
  bool lPixel = false, lDesign = false;
  std::shared_ptr<TFont> oFont{};  // none: the window's
  bool lTransparent = false;
};

struct TGroupRedefineParams {
  int nId = 0;  // 0: a new id
  std::string cLabel{};  // empty: the resource's text
  TWindowPtr oWnd{};
  std::optional<COLORREF> nClrFore{}, nClrBack{};
  std::shared_ptr<TFont> oFont{};
  bool lTransparent = false;
};

class TGroup : public TControl {
 public:
  static TGroupPtr New(const TGroupParams& p = {});
  static TGroupPtr ReDefine(const TGroupRedefineParams& p);
  const char* ClassName() const override { return "TGROUP"; }
  bool ShowsParentBackground() const override { return true; }
  bool ParentErasesBehind() const override { return false; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  void Register(std::optional<UINT>) override {}  // a system class

  void Initiate(HWND hDlg) override;
  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  std::string cToChar(const std::string& cClassName = {}) override;
};

}  // namespace nx
