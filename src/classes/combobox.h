// TComboBox: the platform's "COMBOBOX" over an array of item texts, bound to
// a variable through bSetGet: a number binds the 1-based position of the
// selected item, anything else its text. Items can be owner-drawn with a
// bitmap each. The editable kind (drop-down, 2) edits its text through the
// runtime's Get edit buffer, so pictures apply to what is typed; with
// lIncSearch typed characters search the items by prefix.
//
//   std::string city;
//   auto combo = TComboBox::New({.nRow = 1, .nCol = 2, .bSetGet = BindVar(city),
//                                .aItems = {"Berlin", "Paris", "Rome"}, .oWnd = dlg});
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classes/control.h"
#include "native/lbx.h"
#include "rt/get.h"

namespace nx {

class TComboBox;
using TComboBoxPtr = std::shared_ptr<TComboBox>;

// Combo kinds.
enum ComboKind : int { CB_SIMPLEKIND = 1, CB_DROPDOWNKIND = 2, CB_DROPDOWNLISTKIND = 3 };

// After a change of the selection: with the value the variable had before
// (a change of the list), or the new value (a typed search).
using ComboChangeHook = std::function<void(TComboBox& self, const Value& uBefore)>;
// Validation with the embedded edit buffer (nullptr for a kind without one).
using ComboValidHook = std::function<bool(Get* oGet, TComboBox& self)>;
// After each edit of the embedded edit buffer.
using ComboEditHook = std::function<void(TComboBox& self)>;
using ComboHook = std::function<void(TComboBox& self)>;

// New's positional arguments. Rows are 14 pixels and columns 8 unless lPixel;
// nWidth and nHeight (the height with the list dropped) are pixels.
struct TComboBoxParams {
  double nRow = 0, nCol = 0;
  SetGet bSetGet{};  // none: a value of its own, starting NIL
  std::vector<std::string> aItems{};
  int nWidth = 40, nHeight = 60;
  TWindowPtr oWnd{};  // none: the default window
  int nHelpId = 0;
  ComboChangeHook bChange{};
  ComboValidHook bValid{};
  std::optional<COLORREF> nClrFore{}, nClrBack{};  // none: the system's window text and window colours
  bool lPixel = false;
  std::shared_ptr<TFont> oFont{};
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
  bool lDesign = false;
  std::vector<std::string> acBitmaps{};  // file names or resource names; any makes the items owner-drawn
  BmpIndexHook bDrawItem{};
  int nStyle = CB_DROPDOWNLISTKIND;
  std::string cPicture{};
  ComboEditHook bEditChange{};
};

struct TComboBoxRedefineParams {
  int nId = 0;
  SetGet bSetGet{};
  std::vector<std::string> aItems{};
  TWindowPtr oWnd{};
  int nHelpId = 0;
  ComboValidHook bValid{};
  ComboChangeHook bChange{};
  std::optional<COLORREF> nClrFore{}, nClrBack{};
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
  std::vector<std::string> acBitmaps{};
  BmpIndexHook bDrawItem{};
  int nStyle = CB_DROPDOWNLISTKIND;
  std::string cPicture{};
  ComboEditHook bEditChange{};
};

class TComboBox : public TControl {
 public:
  static TComboBoxPtr New(const TComboBoxParams& p = {});
  static TComboBoxPtr ReDefine(const TComboBoxRedefineParams& p);
  TComboBox();
  ~TComboBox() override;
  const char* ClassName() const override { return "TCOMBOBOX"; }
  bool StaysOpaque() const override { return true; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  void Register(std::optional<UINT>) override {}  // a system class
  TComboBoxPtr SelfCombo() { return std::static_pointer_cast<TComboBox>(shared_from_this()); }

  static const std::vector<std::string>& aProperties();

  // ---- value and items ---------------------------------------------------------------
  void Default();
  void Initiate(HWND hDlg) override;
  void Set(const Value& xValue);
  void Select(int n);
  void Refresh(bool lErase = true) override;
  void Reset();
  void SetItems(std::vector<std::string> aNewItems);
  void Add(const std::string& cItem, int nPos = 0);
  void Insert(const std::string& cItem, int nPos);
  void Modify(const std::string& cItem, int nPos);
  void Del(int nPos);
  Value Change() override;
  Value VarGet();
  bool lValid() override;
  int Len() const { return int(aItems.size()); }
  int Kind() const { return int(nStyle & 3); }

  // ---- the list --------------------------------------------------------------------------
  void Open();
  void Close();
  bool State();
  bool IsOpen() { return State(); }
  bool IsClosed() { return !State(); }
  void CloseUp();
  int FindString(const std::string& cText, int nStart = 0);
  bool Find(const std::string& cText, int nStart = 0) { return FindString(cText, nStart) != 0; }
  bool SetMinVisible(int n);
  int GetMinVisible();

  // ---- events ----------------------------------------------------------------------------
  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  Value KeyChar(int nKey, int nFlags) override;
  Value KeyDown(int nKey, int nFlags) override;
  Value GotFocus(HWND hCtlLost) override;
  Value LostFocus(HWND hWndGetFocus) override;
  Value CtlColor(HWND hWndCtl, HDC hDC) override;
  Value DrawItem(WPARAM nIdCtl, DRAWITEMSTRUCT* pDrawItem) override;
  Value FillMeasure(MEASUREITEMSTRUCT* pMeasure) override;
  Value Destroy() override;
  bool End() override;

  void SetBitmaps(const std::vector<std::string>& acBitmaps);
  std::string cToChar(const std::string& cClassName = {}) override;

  // ---- instance data ------------------------------------------------------------------------
  std::vector<std::string> aItems;
  std::vector<HBITMAP> aBitmaps;
  bool lOwnerDraw = false;
  int nBmpHeight = 0, nBmpWidth = 0;
  int nAt = 0;
  BmpIndexHook bDrawItem;
  ComboHook bCloseUp;
  ComboChangeHook bChange;
  ComboEditHook bEditChange;
  std::string cError;
  std::shared_ptr<Get> oGet;  // the editable kind's edit buffer
  std::string cSearchKey;
  bool lIncSearch = false;
  std::string cPicture;

  // The edit window of the editable kind (0 for the other kinds).
  HWND hEdit() const;

 private:
  friend class TComboEdit;
  void MakeGet();
  void AttachEdit();
  void ShowGet(int nCaret = 0);  // the buffer in the edit window, the caret at nCaret (0: the get's)
  void EditLeft(HWND hWndNew);
  int ItemPos(const std::string& cText) const;  // first item equal (trimmed, any case), 0 none
  void StoreSelection();
  void AddToControl(const std::string& cItem, int nBefore);  // nBefore 0-based, -1 append
  std::shared_ptr<TControl> oEdit_;
  HBRUSH hEditBrush_ = nullptr;
  int nEditWidth_ = 0;
};

}  // namespace nx
