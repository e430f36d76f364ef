// TRadio: one auto radio button ("BUTTON"); TRadMenu: the group of radio
// buttons bound to one numeric value (the position, from 1, of the checked
// radio). The group has no window of its own. Its radios hold it; it refers
// to them weakly (they belong to their window), so keeping any radio keeps
// the group.
//
// Arrow keys move the selection (and the focus) within the group and wrap,
// in dialogs as in plain windows; Tab enters the group at its selection.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classes/control.h"

namespace nx {

class TRadio;
class TRadMenu;
using TRadioPtr = std::shared_ptr<TRadio>;
using TRadMenuPtr = std::shared_ptr<TRadMenu>;
using RadMenuHook = std::function<void(TRadMenu& self)>;

// New's positional arguments. Rows and columns are character cells (a row is
// nHeight or 13 pixels, a column 7) unless lPixel; the radio sits 4 pixels
// right of its column either way.
struct TRadioParams {
  double nRow = 0, nCol = 0;
  std::string cCaption{};
  bool lGroup = false;  // the first radio of a group (and its tab stop)
  bool lChecked = false;
  int nPos = 1;
  TWindowPtr oWnd{};  // none: the default window
  TRadMenuPtr oRadMenu{};
  int nHelpId = 0;
  std::optional<COLORREF> nClrText{}, nClrPane{};
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
  std::optional<int> nWidth{}, nHeight{};  // none: 5 pixels a character; 12
  CondHook bValid{};
  bool lDesign = false, lPixel = false;
};

struct TRadioRedefineParams {
  int nId = 0;
  bool lChecked = false;
  int nPos = 1;
  TWindowPtr oWnd{};
  TRadMenuPtr oRadMenu{};
  int nHelpId = 100;
  std::optional<COLORREF> nClrText{}, nClrPane{};
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{}, bValid{};
};

class TRadio : public TControl {
 public:
  static TRadioPtr New(const TRadioParams& p = {});
  static TRadioPtr Redefine(const TRadioRedefineParams& p);
  const char* ClassName() const override { return "TRADIO"; }
  bool ShowsParentBackground() const override { return true; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  void Register(std::optional<UINT>) override {}  // a system class

  void SetCheck(bool lOnOff);
  void Check() { SetCheck(true); }
  void UnCheck() { SetCheck(false); }
  // Asks the window, and remembers the answer in lChecked.
  bool lIsChecked();
  void Initiate(HWND hDlg) override;
  void Default();
  // Shows the group's value (a value that is no position becomes 1).
  void Refresh(bool lErase = true) override;
  void SetText(const std::string& cText);
  Value Click() override;
  Value KeyDown(int nKey, int nFlags) override;
  Value GetDlgCode(WPARAM nKey) override;
  Value EraseBkGnd(HDC hDC) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  std::string cToChar(const std::string& cClassName = {}) override;

  bool lChecked = false;
  TRadMenuPtr oRadMenu;
  int nPos = 1;
};

struct TRadMenuParams {
  double nRow = 0, nCol = 0;
  std::vector<std::string> acItems{};  // one radio per caption
  SetGet bSetGet{};                    // none: a value of its own, starting at 1
  TWindowPtr oWnd{};                   // none: the default window
  std::vector<int> aHelpIds{};         // none: 100, 101, ...
  RadMenuHook bChange{};
  std::optional<COLORREF> nClrText{}, nClrPane{};  // no text colour: the window's colours
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
  std::optional<int> nWidth{}, nHeight{};  // nHeight also sets the step between radios
  CondHook bValid{};
  bool lDesign = false, l3D = false, lPixel = false;
};

struct TRadMenuRedefineParams {
  SetGet bSetGet{};
  TWindowPtr oWnd{};
  std::vector<int> aHelpIds{};
  std::vector<int> acItems{};  // the radios' dialog item ids, in position order
  RadMenuHook bChange{};
  std::optional<COLORREF> nClrText{}, nClrPane{};
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{}, bValid{};
};

class TRadMenu : public Object {
 public:
  static TRadMenuPtr New(const TRadMenuParams& p = {});
  static TRadMenuPtr Redefine(const TRadMenuRedefineParams& p);
  // An empty group; radios join with AddRadio.
  static TRadMenuPtr Define(SetGet bSetGet, RadMenuHook bChange = {}, std::string cMsg = {}, bool lUpdate = false);
  const char* ClassName() const override { return "TRADMENU"; }
  TRadMenuPtr Self() { return std::static_pointer_cast<TRadMenu>(shared_from_this()); }

  void AddRadio(const TRadioPtr& oRadio);
  // The radios in position order (nullptr for one whose window is gone).
  std::vector<TRadioPtr> aItems() const;
  // The bound value; assigning writes it and runs bChange.
  Value nOption() const;
  void nOption(const Value& uOption);
  void SetOption(int nOption);
  void Select(const TRadio& oRadio);
  void GoPrev();
  void GoNext();
  void Refresh();
  // Moves the group's tab stop (when it has one) to the checked radio, so
  // that Tab enters the group at its selection.
  void FollowTabStop();
  void SetFont(const std::shared_ptr<TFont>& oFont);
  void Set3DLook();
  void End();
  void Disable();
  void Enable();
  void Show();
  void Hide();

  SetGet bSetGet;
  RadMenuHook bChange;
  std::string cMsg, cVarName;
  bool lUpdate = false;

 private:
  int Current() const;
  std::vector<std::weak_ptr<TRadio>> items_;
};

}  // namespace nx
