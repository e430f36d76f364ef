// TMultiGet: a multi-line edit field ("EDIT") bound to a character variable
// (memo editing). The control holds the text; the variable follows the
// window text after every change. A right click offers the clipboard menu.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "classes/control.h"

namespace nx {

class TMultiGet;
class TMenu;
using TMultiGetPtr = std::shared_ptr<TMultiGet>;
using MGetChangeHook = std::function<Value(const Value& nKey, const Value& nFlags, TMultiGet& self)>;

// New's positional arguments. Rows are 13 pixels and columns 8 unless lPixel.
struct TMultiGetParams {
  double nRow = 0, nCol = 0;
  SetGet bSetGet{};   // none: a value of its own, empty
  TWindowPtr oWnd{};  // none: the default window
  std::optional<int> nWidth{}, nHeight{};  // none: 3.5 pixels a character, 11 pixels
  std::shared_ptr<TFont> oFont{};
  bool lHScroll = false;
  std::optional<COLORREF> nClrFore{}, nClrBack{};
  std::shared_ptr<TCursor> oCursor{};
  bool lPixel = false;
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
  bool lCenter = false, lRight = false, lReadOnly = false;
  CondHook bValid{};
  MGetChangeHook bChanged{};
  bool lDesign = false, lNoBorder = false, lNoVScroll = false;
};

struct TMultiGetRedefineParams {
  int nId = 0;
  SetGet bSetGet{};
  TWindowPtr oWnd{};
  int nHelpId = 0;
  std::optional<COLORREF> nClrFore{}, nClrBack{};
  std::shared_ptr<TFont> oFont{};
  std::shared_ptr<TCursor> oCursor{};
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
  bool lReadOnly = false;
  CondHook bValid{};
  MGetChangeHook bChanged{};
};

class TMultiGet : public TControl {
 public:
  static TMultiGetPtr New(const TMultiGetParams& p = {});
  static TMultiGetPtr ReDefine(const TMultiGetRedefineParams& p);
  const char* ClassName() const override { return "TMULTIGET"; }
  bool StaysOpaque() const override { return true; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  void Register(std::optional<UINT>) override {}  // a system class
  void Create(const char* cClassName = nullptr) override;
  void Initiate(HWND hDlg) override;
  std::string cToChar(const std::string& cClassName = {}) override;

  // ---- text -------------------------------------------------------------------------
  std::string cText();
  void cText(const std::string& cText);
  void Refresh(bool lErase = true) override;
  void Append(const std::string& cText);
  void Replace(const std::string& cText);
  std::string GetLine(int nLine);
  int GetLineCount();
  int LineIndex(int nLine);  // 1-based line; 0-based character index
  void GoTo(int nLine);
  void GoBottom();
  int GetRow();
  int GetCol();
  int Len();
  bool SaveToFile(const std::string& cFile);
  void SetPos(int nStart, std::optional<int> nEnd = std::nullopt);
  void SetSel(int nStart, int nEnd);
  void HideSel();
  void SelectAll();
  std::string GetSel();
  void GetSelPos(int& nStart, int& nEnd);
  void UnDo();

  // ---- clipboard --------------------------------------------------------------------------
  void Copy();
  void Cut();
  void Del();
  void Paste(std::optional<std::string> cText = std::nullopt);
  void DelLine(std::optional<int> nLine = std::nullopt);

  // ---- dialogs and printing ------------------------------------------------------------------
  // "Go To": a line number; "&Ok" runs bGoToLine with it (default: GoTo).
  void DlgGoLine();
  std::function<void(int nLine)> bGoToLine;
  void Print();
  // The clipboard pop-up as it stands now (RButtonDown shows it).
  std::shared_ptr<TMenu> ContextMenu();

  void Move(int nTop, int nLeft, int nWidth = 0, int nHeight = 0, bool lRepaint = true);
  void AdjClient() override;

  // ---- events ----------------------------------------------------------------------------------
  Value KeyChar(int nKey, int nFlags) override;
  Value KeyDown(int nKey, int nFlags) override;
  Value GotFocus(HWND hWndOld) override;
  Value LostFocus(HWND hWndNew) override;
  Value LButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value RButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value VScroll(WPARAM, LPARAM) override { return Value(); }
  Value HScroll(WPARAM, LPARAM) override { return Value(); }
  Value Display() override { return Value(); }
  Value EraseBkGnd(HDC) override { return Value(1); }

  bool lReadOnly = false;
  int nPos = 0;
  HANDLE hHeap = nullptr;
  MGetChangeHook bChange;

 private:
  void Store();  // the variable := the window text
  Value Changed(const Value& nKey, const Value& nFlags);
  LRESULT Default(UINT nMsg, WPARAM w, LPARAM l);
};

}  // namespace nx
