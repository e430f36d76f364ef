// TListBox: the platform's "LISTBOX" over an array of item texts, bound to a
// variable through bSetGet (a number binds the 1-based position of the
// current item, anything else its text). Items can be owner-drawn with a
// bitmap each, the list filled from a file mask, and several items selected.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classes/control.h"
#include "native/lbx.h"

namespace nx {

class TListBox;
using TListBoxPtr = std::shared_ptr<TListBox>;
using ListHook = std::function<void(TListBox& self)>;

// New's positional arguments. Rows are 14 pixels and columns 8 unless
// lPixel; nWidth and nHeight are pixels.
struct TListBoxParams {
  double nRow = 0, nCol = 0;
  SetGet bSetGet{};  // none: a value of its own, starting NIL
  std::vector<std::string> aItems{};
  int nWidth = 40, nHeight = 40;
  ListHook bChange{};
  TWindowPtr oWnd{};
  CondHook bValid{};
  std::optional<COLORREF> nClrFore{}, nClrBack{};  // none: the system's window text and window colours
  bool lPixel = false, lDesign = false;
  ListHook bLDblClick{};
  std::shared_ptr<TFont> oFont{};
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
  std::vector<std::string> acBitmaps{};
  BmpIndexHook bDrawItem{};
  bool lMulti = false, lSort = false;
};

struct TListBoxRedefineParams {
  int nId = 0;
  SetGet bSetGet{};
  std::vector<std::string> aItems{};
  ListHook bChange{};
  TWindowPtr oWnd{};
  int nHelpId = 0;
  std::vector<std::string> acBitmaps{};
  CondHook bValid{};
  std::string cFileSpec{};
  std::optional<COLORREF> nClrFore{}, nClrBack{};
  ListHook bLDblClick{};
  std::string cMsg{};
  bool lUpdate = false;
  CondHook bWhen{};
  BmpIndexHook bDrawItem{};
};

class TListBox : public TControl {
 public:
  static TListBoxPtr New(const TListBoxParams& p = {});
  static TListBoxPtr ReDefine(const TListBoxRedefineParams& p);
  const char* ClassName() const override { return "TLISTBOX"; }
  bool StaysOpaque() const override { return true; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  void Register(std::optional<UINT>) override {}  // a system class
  static const std::vector<std::string>& aProperties();

  // ---- value and items ---------------------------------------------------------------
  void Default();
  void Initiate(HWND hDlg) override;
  void Set(const std::string& cText);
  void Select(int n);
  void SetSel(int n, bool lOn = true);
  void GoTop();
  void GoBottom();
  int GetPos();  // 1-based, 0 for none
  int GetSel() { return GetPos(); }
  std::string GetSelText() { return GetItem(GetPos()); }
  std::string GetItem(int n);
  int Len();
  bool IsMultipleSel() const;
  int GetSelCount();
  std::vector<int> GetSelItems();
  void SetSelItems(const std::vector<int>& aPos);
  std::vector<std::string> aSelections();
  void Add(const std::string& cItem, std::optional<int> nPos = std::nullopt);
  void Insert(const std::string& cItem, std::optional<int> nPos = std::nullopt);
  void Modify(const std::string& cItem, std::optional<int> nPos = std::nullopt);
  void Del(std::optional<int> nPos = std::nullopt);
  void SwapUp();
  void SwapDown();
  void Reset();
  void SetItems(std::vector<std::string> aNewItems);
  void SetBitmaps(const std::vector<std::string>& acBitmaps);
  void SetBitmaps(const std::vector<HBITMAP>& ahBitmaps);  // the list owns them from now on
  Value Change() override;

  // ---- events ----------------------------------------------------------------------------
  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  Value LostFocus(HWND hWndGetFocus) override;
  Value LDblClick(int nRow, int nCol, int nKeyFlags) override;
  Value DrawItem(WPARAM nIdCtl, DRAWITEMSTRUCT* pDrawItem) override;
  Value FillMeasure(MEASUREITEMSTRUCT* pMeasure) override;
  Value VScroll(WPARAM, LPARAM) override { return Value(); }
  Value Destroy() override;
  std::string cToChar(const std::string& cClassName = {}) override;

  // ---- instance data ---------------------------------------------------------------------
  std::vector<std::string> aItems;
  std::vector<HBITMAP> aBitmaps;
  bool lOwnerDraw = false;
  int nBmpHeight = 0, nBmpWidth = 0;
  std::string cFileSpec;
  BmpIndexHook bDrawItem;
  ListHook bChange;
  ListHook bLDblClickList;

 private:
  void Swap(int nFrom, int nTo);
  void StoreCurrent();
  int ItemPos(const std::string& cText) const;
};

}  // namespace nx
