// TCheckBox: an auto check box ("BUTTON") bound to a logical value through
// bSetGet. A bound value that is not logical is reset to false.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "classes/control.h"

namespace nx {

class TCheckBox;
using TCheckBoxPtr = std::shared_ptr<TCheckBox>;
using CheckHook = std::function<void(bool lChecked, TCheckBox& self)>;

// New's positional arguments. Rows and columns are character cells (a row is
// 13 pixels, a column 7, and the box is 24 pixels narrower than nWidth)
// unless lPixel.
struct TCheckBoxParams {
  double nRow = 0, nCol = 0;
  std::string cCaption = "&CheckBox";
  SetGet bSetGet{};   // none: a value of its own, starting false
  TWindowPtr oWnd{};  // none: the default window
  std::optional<int> nWidth{};  // none: 7 pixels a character
  int nHeight = 19;
  int nHelpTopic = 100;
  CheckHook bChange{};  // after each click, with the new value
  std::shared_ptr<TFont> oFont{};
  CondHook bValid{};
  std::optional<COLORREF> nClrFore{}, nClrBack{};  // none: the window's colours
  bool lDesign = false, lPixel = false;
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
};

struct TCheckBoxRedefineParams {
  int nId = 0;
  SetGet bSetGet{};
  TWindowPtr oWnd{};
  int nHelpId = 0;
  CheckHook bChange{};
  CondHook bValid{};
  std::optional<COLORREF> nClrFore{}, nClrBack{};
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
};

class TCheckBox : public TControl {
 public:
  static TCheckBoxPtr New(const TCheckBoxParams& p = {});
  static TCheckBoxPtr ReDefine(const TCheckBoxRedefineParams& p);
  const char* ClassName() const override { return "TCHECKBOX"; }
  bool ShowsParentBackground() const override { return true; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  void Register(std::optional<UINT>) override {}  // a system class

  bool lChecked();
  void Check();
  void UnCheck();
  void SetCheck(bool lOnOff);
  // Shows the bound value.
  void Refresh(bool lErase = true) override;
  void Default();
  void Initiate(HWND hDlg) override;
  void SetText(const std::string& cText);
  Value Click() override;
  Value EraseBkGnd(HDC hDC) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  std::string cToChar(const std::string& cClassName = {}) override;
  std::string cGenPrg() const;

  CheckHook bChange;

 private:
  void BindLogical(SetGet bSetGet);
};

}  // namespace nx
