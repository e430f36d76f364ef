// TMeter: a progress bar of the library's own drawing. The part done is
// filled from the left in the bar colour; a centred caption and percentage
// are drawn in one pair of colours over it and in another over the rest.
// A long operation calls Set() as it advances; the meter repaints and lets
// pending messages run, so the program stays responsive.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "classes/control.h"

namespace nx {

class TFont;

// New's positional arguments, with their defaults.
struct TMeterParams {
  int nRow = 0, nCol = 0;  // character cells (14 x 8 pixels) unless lPixel
  SetGet bSetGet{};        // none: the meter keeps its own value, starting at 1
  double nTotal = 10;      // the value that means 100 %
  TWindowPtr oWnd{};       // none: the default window
  int nWidth = 300, nHeight = 20;  // pixels
  bool lPixel = false;
  std::shared_ptr<TFont> oFont{};  // none: the parent's
  std::string cText{};             // caption before the percentage
  bool lNoPercentage = false;
  std::optional<COLORREF> nClrPane{}, nClrText{};  // none: the parent's
  COLORREF nClrBar = RGB(0, 0, 255), nClrBText = RGB(255, 255, 255);
  bool lDesign = false;
};

struct TMeterRedefineParams {
  int nId = 0;
  SetGet bSetGet{};
  double nTotal = 10;
  TWindowPtr oWnd{};
  bool lUpdate = false;
  std::shared_ptr<TFont> oFont{};
  std::string cText{};
  bool lNoPercentage = false;
  std::optional<COLORREF> nClrPane{}, nClrText{};
  COLORREF nClrBar = RGB(0, 0, 255), nClrBText = RGB(255, 255, 255);
};

class TMeter : public TControl {
 public:
  static std::shared_ptr<TMeter> New(const TMeterParams& p = {});
  static std::shared_ptr<TMeter> ReDefine(const TMeterRedefineParams& p);
  const char* ClassName() const override { return "TMETER"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }

  void Initiate(HWND hDlg) override;
  void Default();
  // Stores the value (the bound one when none is given) kept to 0..nTotal;
  // repaints and pumps messages when there is something new to show.
  void Set(std::optional<double> nActual = std::nullopt);
  void SetTotal(double nTotal);
  // The value and the whole percentage the meter shows.
  double nActual();
  int nPercent();
  Value Paint() override;
  Value Display() override;

  double nTotal = 10;
  double nRefresh = 0;  // running sum of the percentages repainted at
  COLORREF nClrBar = RGB(0, 0, 255), nClrBText = RGB(255, 255, 255);
  std::string cText;
  bool lPercentage = true;

 private:
  template <class Params>
  void TakeArguments(const Params& p, const TWindowPtr& parent);
  int nShown_ = -1;  // percentage last painted
};

}  // namespace nx
