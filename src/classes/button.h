// TButton: a push button ("BUTTON") that runs bAction when clicked, by the
// mouse, the keyboard or the dialog manager. A click arriving while the
// action runs (from a nested message loop) is ignored.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "classes/control.h"

namespace nx {

class TButton;
using TButtonPtr = std::shared_ptr<TButton>;
using ButtonAction = std::function<void(TButton& self)>;

// New's positional arguments. Rows and columns are character cells (a row is
// 18 pixels, a column 6) unless lPixel.
struct TButtonParams {
  double nRow = 0, nCol = 0;
  std::string cCaption = "&Button";
  TWindowPtr oWnd{};  // none: the default window
  ButtonAction bAction{};
  std::optional<int> nWidth{};  // none: 6 pixels a character, at least 30
  int nHeight = 13;
  int nHelpId = 0;
  std::shared_ptr<TFont> oFont{};  // none: the window's
  bool lDefault = false, lPixel = false, lDesign = false;
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{}, bValid{};
  bool lCancel = false;  // clicking it skips the validation of the control being left
};

struct TButtonRedefineParams {
  int nId = 0;
  ButtonAction bAction{};
  TWindowPtr oWnd{};
  int nHelpId = 0;
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{}, bValid{};
  std::string cCaption{};  // empty: the resource's text
  bool lCancel = false;
};

class TButton : public TControl {
 public:
  static TButtonPtr New(const TButtonParams& p = {});
  static TButtonPtr ReDefine(const TButtonRedefineParams& p);
  // New's and ReDefine's work on an object made by a subclass.
  static void Build(TButton& oBtn, const TButtonParams& p);
  static void Rebind(TButton& oBtn, const TButtonRedefineParams& p);
  const char* ClassName() const override { return "TBUTTON"; }
  bool IsPushButton() const override { return true; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  void Register(std::optional<UINT>) override {}  // a system class

  void Initiate(HWND hDlg) override;
  Value Click() override;
  Value KeyDown(int nKey, int nFlags) override;
  Value GotFocus(HWND hWndOld) override;
  Value LostFocus(HWND hWndNew) override;
  Value LButtonUp(int nRow, int nCol, int nKeyFlags) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  Value Colors(HDC) override { return Value(0); }  // the button paints itself
  std::string cToChar(const std::string& cClassName = {}) override;
  std::string cGenPRG() const;

  ButtonAction bAction;
  bool lDefault = false, lProcessing = false;
};

}  // namespace nx
