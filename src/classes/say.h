// TSay: a text label ("STATIC") showing a value, optionally formatted with a
// picture. The value comes from bText, evaluated again by Refresh (and by the
// parent's Update when lUpdate is set).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "classes/control.h"

namespace nx {

class TSay;
using TSayPtr = std::shared_ptr<TSay>;
using TextBlock = std::function<Value()>;

// New's positional arguments. Rows and columns are character cells (a row is
// 15 pixels, a column 6) unless lPixels.
struct TSayParams {
  double nRow = 0, nCol = 0;
  TextBlock bText{};       // the shown value; none: cText
  std::string cText{};     // a fixed text, when there is no bText
  TWindowPtr oWnd{};       // none: the default window
  std::string cPicture{};  // Transform picture for the value
  std::shared_ptr<TFont> oFont{};
  bool lCentered = false, lRight = false, lBorder = false, lPixels = false;
  std::optional<COLORREF> nClrText{}, nClrBack{};  // none: the window's text colour; see New for the pane
  std::optional<int> nWidth{}, nHeight{};          // none: the text's width; the font's height or 15
  bool lDesign = false, lUpdate = false;
  bool lShaded = false, lBox = false, lRaised = false;  // static rectangle styles 4, 5 and 6
  bool lAdjust = false;  // SetText widens the label to a longer text
  bool lTransparent = false;
};

struct TSayRedefineParams {
  int nId = 0;
  TextBlock bText{};  // none: the label keeps the resource's text
  TWindowPtr oWnd{};
  std::string cPicture{};
  std::optional<COLORREF> nClrText{}, nClrBack{};  // none: the window's text colour, button face
  bool lUpdate = false;
  std::shared_ptr<TFont> oFont{};
  bool lTransparent = false, lAdjust = false;
};

class TSay : public TControl {
 public:
  static TSayPtr New(const TSayParams& p = {});
  static TSayPtr ReDefine(const TSayRedefineParams& p);
  const char* ClassName() const override { return "TSAY"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  void Register(std::optional<UINT>) override {}  // a system class

  void Initiate(HWND hDlg) override;
  void Default();
  // Shows a value: formatted by cPicture, else as text.
  void SetText(const Value& uValue);
  void Refresh(bool lErase = true) override;
  // Replaces the shown value by a fixed one.
  void VarPut(const Value& uValue);
  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  Value EraseBkGnd(HDC hDC) override;
  std::string cToChar(const std::string& cClassName = {}) override;
  std::string cGenPrg() const;

  std::string cPicture;
  TextBlock bGet;
  bool lWantClick = false, lAdjust = false;

 private:
  std::string Format(const Value& uValue) const;
};

}  // namespace nx
