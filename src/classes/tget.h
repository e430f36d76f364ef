// TGet: a single-line edit field ("EDIT") bound to a variable and edited
// through a picture-driven edit buffer (rt/get.h). Every keystroke goes to
// the buffer first; the edit control only shows it, so "@!", "@R", numeric
// and date pictures behave as in text-mode forms. Optional: a spinner (the
// control's own vertical bar) stepping numbers and dates, an action button
// inside the right edge, a password display and a grey cue text.
//
//   std::string cName(20, ' ');
//   auto get = TGet::New({.nRow = 1, .nCol = 2, .bSetGet = BindVar(cName), .oWnd = dlg,
//                         .nWidth = 120, .nHeight = 22, .cPicture = "@!"});
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "classes/control.h"
#include "rt/get.h"

namespace nx {

class TGet;
using TGetPtr = std::shared_ptr<TGet>;

// The edit buffer a TGet works with: a Get that never draws on a text screen.
class TClipGet : public Get {
 public:
  using Get::Get;
  const char* ClassName() const override { return "TCLIPGET"; }
  void Display() {}
};
using TClipGetPtr = std::shared_ptr<TClipGet>;

// The library's Get constructor (the row, column and colour are those of a
// text screen, which a window has not; they are accepted and unused).
TClipGetPtr GETNEW(int nRow, int nCol, SetGet bBlock, const std::string& cVarName = {},
                   const std::string& cPicture = {}, const std::string& cColor = {});

// Hooks. Key and flags are NIL when a spinner step changed the value.
using GetChangeHook = std::function<Value(const Value& nKey, const Value& nFlags, TGet& self)>;
using GetPostKeyHook = std::function<Value(TGet& self, const std::string& cBuffer)>;
using GetActionHook = std::function<void(TGet& self)>;
using GetBoundHook = std::function<Value()>;

// The action button inside a get. The default maker builds a push button
// showing the bitmap (a file when it exists, else a resource) or "...";
// another button class can take its place by replacing TGet::ActionButtonMaker.
struct GetButtonSpec {
  int nTop = 0, nLeft = 0, nWidth = 0, nHeight = 0;  // pixels, inside the get
  std::string cBmpName;
  bool lTransparent = false;
  std::function<void()> bAction;  // runs the get's action and gives the focus back
};
using GetButtonMaker = std::function<TControlPtr(TGet& oGet, const GetButtonSpec& spec)>;

// New's positional arguments. Rows and columns are character cells (13 by 8
// pixels) unless lPixel.
struct TGetParams {
  double nRow = 0, nCol = 0;
  SetGet bSetGet{};   // none: a value of its own, 50 blanks
  TWindowPtr oWnd{};  // none: the default window
  std::optional<int> nWidth{};  // none: from the caption's length
  int nHeight = 20;
  std::string cPicture{};
  CondHook bValid{};
  std::optional<COLORREF> nClrFore{}, nClrBack{};  // none: window text on window colour
  std::shared_ptr<TFont> oFont{};
  bool lDesign = false;
  std::shared_ptr<TCursor> oCursor{};
  bool lPixel = false;
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
  bool lCenter = false, lRight = false;
  GetChangeHook bChanged{};
  bool lReadOnly = false, lPassword = false, lNoBorder = false;
  int nHelpId = 0;
  bool lSpinner = false;
  GetActionHook bUp{}, bDown{};   // none: Inc() and Dec()
  GetBoundHook bMin{}, bMax{};    // spinner bounds
  GetActionHook bAction{};        // with it, the action button
  std::string cBmpName{};
  std::string cVarName{};
  std::string cCueText{};
};

struct TGetRedefineParams {
  int nId = 0;
  SetGet bSetGet{};  // a NIL variable becomes 30 blanks
  TWindowPtr oWnd{};
  int nHelpId = 0;
  std::string cPicture{};
  CondHook bValid{};
  std::optional<COLORREF> nClrFore{}, nClrBack{};
  std::shared_ptr<TFont> oFont{};
  std::shared_ptr<TCursor> oCursor{};
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
  GetChangeHook bChanged{};
  bool lReadOnly = false, lSpinner = false;
  GetActionHook bUp{}, bDown{};
  GetBoundHook bMin{}, bMax{};
  GetActionHook bAction{};
  std::string cBmpName{};
  std::string cVarName{};
  std::string cCueText{};
};

class TGet : public TControl {
 public:
  static TGetPtr New(const TGetParams& p = {});
  static TGetPtr ReDefine(const TGetRedefineParams& p);
  const char* ClassName() const override { return "TGET"; }
  bool EvalsKeyDownFirst() const override { return true; }
  bool StaysOpaque() const override { return true; }
  TGetPtr SelfGet() { return std::static_pointer_cast<TGet>(shared_from_this()); }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  void Register(std::optional<UINT>) override {}  // a system class
  void Create(const char* cClassName = nullptr) override;
  void Initiate(HWND hDlg) override;
  std::string cToChar(const std::string& cClassName = {}) override;

  // ---- value ----------------------------------------------------------------------
  void Refresh(bool lErase = true) override;
  std::string cText();
  void cText(const Value& uValue);
  void VarPut(const Value& uValue);
  void Assign();
  void UnDo();

  // ---- caret and selection ----------------------------------------------------------
  void GoHome();
  void SetPos(int nStart = 1, std::optional<int> nEnd = std::nullopt);
  void SetSel(int nStart = 1, std::optional<int> nEnd = std::nullopt);
  void HideSel();
  void SelectAll();
  std::string GetSel();
  void GetSelPos(int& nStart, int& nEnd);
  void GetDelSel(int nStart, int nEnd);  // 0-based control selection
  void EditUpdate();
  void DispText();
  void SetMargins(int nLeft = 0, int nRight = 0);
  std::pair<int, int> GetMargins();
  void LimitText();
  void SetCueBanner(bool lShowFocused, const std::string& cText);

  // ---- clipboard and file --------------------------------------------------------------
  void Copy();
  void Cut();
  void Paste(std::optional<std::string> cText = std::nullopt);
  std::string SelFile(std::optional<std::string> cMask = std::nullopt,
                      const std::string& cTitle = "Please select a file");

  // ---- spinner ---------------------------------------------------------------------------
  void Spinner(GetActionHook bUp = {}, GetActionHook bDown = {}, GetBoundHook bMin = {},
               GetBoundHook bMax = {});
  TGet& Inc();
  TGet& Dec();
  TGet& operator++() { return Inc(); }
  TGet& operator--() { return Dec(); }
  void ScrollNumber(int n);
  void ScrollDate(int n);

  // ---- colours, button, geometry -------------------------------------------------------------
  void SetColorFocus(std::optional<COLORREF> nClr = std::nullopt);
  // lWidenedNext: a resource dialog with lResize16 widens the get (not the
  // button inside it) by 1.16668 right after this.
  void CreateButton(bool lWidenedNext = false);
  void Move(int nTop, int nLeft, int nWidth = 0, int nHeight = 0, bool lRepaint = true);

  // ---- events -----------------------------------------------------------------------------------
  bool lValid() override;
  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  Value GetDlgCode(WPARAM nKey) override;
  Value GotFocus(HWND hWndOld) override;
  Value LostFocus(HWND hWndNew) override;
  Value KeyChar(int nKey, int nFlags) override;
  Value KeyDown(int nKey, int nFlags) override;
  Value KeyUp(WPARAM nKey, LPARAM nFlags) override;
  Value LButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value LButtonUp(int nRow, int nCol, int nKeyFlags) override;
  Value RButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  Value Display() override;
  Value EraseBkGnd(HDC) override { return Value(1); }
  Value Destroy() override;

  // ---- data ---------------------------------------------------------------------------------------
  TClipGetPtr oGet;
  TControlPtr oBtn;
  GetActionHook bAction;
  GetBoundHook bMin, bMax;
  GetChangeHook bChange;  // the typed form of the control's change hook
  GetPostKeyHook bPostKey;
  int nPos = 1;
  bool lReadOnly = false, lPassword = false, lSpinner = false;
  bool lDisColors = true, lAdjustBtn = false, lBtnTransparent = false;
  std::string cError, cBmpName, cPicture, cCueText;
  HANDLE hHeap = nullptr;
  std::optional<COLORREF> nOldClrPane;
  Value nClrTextDis, nClrPaneDis;  // a colour or a block answering one; 0: the normal colour
  int nBmpWidth = 0;

  // Class-wide focus colour (a colour or a block answering one).
  static inline bool lClrFocus = false;
  static inline Value nClrFocus = Value(int64_t(RGB(235, 235, 145)));
  static inline GetButtonMaker ActionButtonMaker;  // none: the built-in push button

 private:
  // The members New and ReDefine set alike from their arguments.
  template <class Params>
  void InitFields(const Params& p);
  std::pair<int, int> Sel() const;  // 0-based control selection
  void ShowCaretShape();
  void ReadBack(bool lPad);  // the control's own edit back into the buffer
  Value Changed(const Value& nKey, const Value& nFlags);
  bool Numeric() const { return oGet && oGet->Type() == 'N'; }
  std::string EditPicture() const;
  WNDPROC OldProc() const;
  LRESULT Default(UINT nMsg, WPARAM w, LPARAM l);
  bool lGrouped_ = false;  // the picture's "," grouping is off while editing
};

// Switches the focus colour on for every get.
void SETGETCOLORFOCUS(std::optional<COLORREF> nClr = std::nullopt);

}  // namespace nx
