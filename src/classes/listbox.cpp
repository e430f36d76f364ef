#include "classes/listbox.h"

#include <algorithm>

#include "classes/itembmp_internal.h"
#include "classes/setget.h"
#include "classes/simple_internal.h"
#include "rt/strings.h"

namespace nx {

using namespace simple;

namespace {

DWORD ListStyle(bool lDesign, bool lOwnerDraw, bool lMulti, bool lSort) {
  DWORD style = LBS_NOTIFY | WS_TABSTOP | LBS_USETABSTOPS | WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL;
  if (lDesign) style |= WS_CLIPSIBLINGS;
  if (lOwnerDraw) style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
  if (lMulti) style |= LBS_MULTIPLESEL;
  if (lSort) style |= LBS_SORT;
  return style;
}

void Colours(TWindow& w, const std::optional<COLORREF>& fore, const std::optional<COLORREF>& back) {
  COLORREF text = fore ? *fore : GetSysColor(COLOR_WINDOWTEXT);
  COLORREF pane = fore && back ? *back : GetSysColor(COLOR_WINDOW);
  w.SetColor(text, pane);
}

// The names of the files a mask matches, lower-cased.
std::vector<std::string> MatchingFiles(const std::string& cFileSpec) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd{};
  HANDLE h = FindFirstFileA(cFileSpec.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Lower(fd.cFileName));
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

}  // namespace

const std::vector<std::string>& TListBox::aProperties() {
  static const std::vector<std::string> props = {"aItems", "cTitle",  "cVarName", "l3D",    "nClrText",
                                                 "nClrPane", "nAlign", "nTop",    "nLeft", "nWidth",
                                                 "nHeight",  "oFont",  "Cargo"};
  return props;
}

TListBoxPtr TListBox::New(const TListBoxParams& p) {
  auto b = std::make_shared<TListBox>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  b->oWnd = parent;
  b->bSetGet = p.bSetGet ? p.bSetGet : OwnVar();
  b->aItems = p.aItems;
  b->nTop = p.lPixel ? int(p.nRow) : int(p.nRow * 14);
  b->nLeft = p.lPixel ? int(p.nCol) : int(p.nCol * 8);
  b->nBottom = b->nTop + p.nHeight - 1;
  b->nRight = b->nLeft + p.nWidth - 1;
  b->bChange = p.bChange;
  b->bValid = p.bValid;
  b->bWhen = p.bWhen;
  b->bLDblClickList = p.bLDblClick;
  b->cMsg = p.cMsg;
  b->lUpdate_ = p.lUpdate;
  b->lDrag = p.lDesign;
  b->bDrawItem = p.bDrawItem;
  if (!p.acBitmaps.empty()) b->SetBitmaps(p.acBitmaps);
  b->nStyle = ListStyle(p.lDesign, b->lOwnerDraw, p.lMulti, p.lSort);
  TakeFont(*b, p.oFont);
  Colours(*b, p.nClrFore, p.nClrBack);
  b->CreateOrDefer(parent, "LISTBOX", [&] {
    b->ApplyFont();
    b->Default();
  });
  return b;
}

TListBoxPtr TListBox::ReDefine(const TListBoxRedefineParams& p) {
  auto b = std::make_shared<TListBox>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  b->bSetGet = p.bSetGet ? p.bSetGet : OwnVar();
  b->aItems = p.aItems;
  b->bChange = p.bChange;
  b->nHelpId = p.nHelpId;
  b->bValid = p.bValid;
  b->bWhen = p.bWhen;
  b->cFileSpec = p.cFileSpec;
  b->bLDblClickList = p.bLDblClick;
  b->cMsg = p.cMsg;
  b->lUpdate_ = p.lUpdate;
  b->bDrawItem = p.bDrawItem;
  if (!p.acBitmaps.empty()) b->SetBitmaps(p.acBitmaps);
  Colours(*b, p.nClrFore, p.nClrBack);
  b->Redefine(p.nId, parent);
  return b;
}

std::string TListBox::cToChar(const std::string& cClassName) {
  return TControl::cToChar(cClassName.empty() ? "LISTBOX" : cClassName);
}

int TListBox::ItemPos(const std::string& cText) const {
  std::string key = Upper(AllTrim(cText));
  for (size_t i = 0; i < aItems.size(); ++i)
    if (Upper(AllTrim(aItems[i])) == key) return int(i) + 1;
  return 0;
}

void TListBox::Default() {
  if (hWnd) nStyle = DWORD(GetWindowLongA(hWnd, GWL_STYLE));
  Value v = bSetGet ? bSetGet(std::nullopt) : Value();
  if (v.IsNil()) v = Value(std::string());
  if (nStyle & LBS_SORT) std::sort(aItems.begin(), aItems.end());
  if (!cFileSpec.empty()) {
    for (auto& name : MatchingFiles(cFileSpec)) aItems.push_back(name);
    std::sort(aItems.begin(), aItems.end());
  }
  if (!hWnd) return;
  SendMessageA(hWnd, WM_SETREDRAW, FALSE, 0);
  for (auto& item : aItems) SendMessageA(hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageA(hWnd, WM_SETREDRAW, TRUE, 0);
  if (lOwnerDraw && nBmpHeight > 0) SendMessageA(hWnd, LB_SETITEMHEIGHT, 0, nBmpHeight);
  int pos = v.IsNumber() ? int(v.AsInt()) : ItemPos(v.IsString() ? v.AsString() : cValToChar(v));
  if (pos < 1 || pos > Len()) pos = 1;
  if (!aItems.empty()) Select(pos);
}

void TListBox::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (hWnd) Default();
}

void TListBox::Set(const std::string& cText) {
  if (int pos = ItemPos(cText)) Select(pos);
}

void TListBox::Select(int n) {
  if (!hWnd) return;
  if (IsMultipleSel()) SetSel(n);
  else SendMessageA(hWnd, LB_SETCURSEL, WPARAM(n - 1), 0);
}

void TListBox::SetSel(int n, bool lOn) {
  if (hWnd) SendMessageA(hWnd, LB_SETSEL, lOn ? TRUE : FALSE, LPARAM(n - 1));
}

void TListBox::GoTop() {
  if (Len() > 0) {
    Select(1);
    Change();
  }
}

void TListBox::GoBottom() {
  if (Len() > 0) {
    Select(Len());
    Change();
  }
}

int TListBox::GetPos() {
  if (!hWnd) return 0;
  // A multiple-selection list has a caret item rather than a selection.
  LRESULT r = SendMessageA(hWnd, IsMultipleSel() ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0);
  return r == LB_ERR || r >= Len() ? 0 : int(r) + 1;
}

std::string TListBox::GetItem(int n) { return LBXGETITEM(hWnd, n); }

int TListBox::Len() {
  if (!hWnd) return int(aItems.size());
  LRESULT r = SendMessageA(hWnd, LB_GETCOUNT, 0, 0);
  return r == LB_ERR ? 0 : int(r);
}

bool TListBox::IsMultipleSel() const { return nStyle & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }

int TListBox::GetSelCount() {
  if (!hWnd) return 0;
  LRESULT r = SendMessageA(hWnd, LB_GETSELCOUNT, 0, 0);
  return r == LB_ERR ? 0 : int(r);
}

std::vector<int> TListBox::GetSelItems() { return LBXGETSELITEMS(hWnd); }

void TListBox::SetSelItems(const std::vector<int>& aPos) {
  for (int n : aPos) SetSel(n);
}

std::vector<std::string> TListBox::aSelections() {
  std::vector<std::string> out;
  if (IsMultipleSel()) {
    for (int n : GetSelItems()) out.push_back(GetItem(n));
  } else if (int n = GetPos()) {
    out.push_back(GetItem(n));
  }
  return out;
}

void TListBox::Add(const std::string& cItem, std::optional<int> nPos) {
  int count = int(aItems.size());
  int pos = std::clamp(nPos.value_or(count), 0, count);
  int at;  // 0-based place of the new item
  if (pos == count) {
    LRESULT r = hWnd ? SendMessageA(hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(cItem.c_str())) : count;
    // A sorted list puts it in its place: the array follows.
    at = r == LB_ERR || r == LB_ERRSPACE ? count : int(r);
  } else {
    at = pos;
    if (hWnd) SendMessageA(hWnd, LB_INSERTSTRING, WPARAM(at), reinterpret_cast<LPARAM>(cItem.c_str()));
  }
  aItems.insert(aItems.begin() + at, cItem);
  Select(at + 1);
}

void TListBox::Insert(const std::string& cItem, std::optional<int> nPos) {
  int count = int(aItems.size());
  int pos = std::clamp(nPos.value_or(std::max(GetPos(), 1)), 1, count + 1);
  aItems.insert(aItems.begin() + (pos - 1), cItem);
  if (hWnd) SendMessageA(hWnd, LB_INSERTSTRING, WPARAM(pos - 1), reinterpret_cast<LPARAM>(cItem.c_str()));
  Select(pos);
}

void TListBox::Modify(const std::string& cItem, std::optional<int> nPos) {
  int pos = nPos.value_or(GetPos());
  if (pos < 1 || pos > int(aItems.size())) return;
  aItems[size_t(pos - 1)] = cItem;
  if (hWnd) {
    SendMessageA(hWnd, LB_DELETESTRING, WPARAM(pos - 1), 0);
    SendMessageA(hWnd, LB_INSERTSTRING, WPARAM(pos - 1), reinterpret_cast<LPARAM>(cItem.c_str()));
  }
  Select(pos);
}

void TListBox::Del(std::optional<int> nPos) {
  int pos = nPos.value_or(GetPos());
  if (pos < 1 || pos > int(aItems.size())) return;
  aItems.erase(aItems.begin() + (pos - 1));
  if (size_t(pos) <= aBitmaps.size() && !bDrawItem) {
    // An item's own bitmap goes with it.
    if (aBitmaps[size_t(pos - 1)]) DeleteObject(aBitmaps[size_t(pos - 1)]);
    aBitmaps.erase(aBitmaps.begin() + (pos - 1));
  }
  if (hWnd) SendMessageA(hWnd, LB_DELETESTRING, WPARAM(pos - 1), 0);
  if (!aItems.empty()) Select(std::min(pos, int(aItems.size())));
}

void TListBox::Swap(int nFrom, int nTo) {
  int count = int(aItems.size());
  if (nFrom < 1 || nTo < 1 || nFrom > count || nTo > count) return;
  std::swap(aItems[size_t(nFrom - 1)], aItems[size_t(nTo - 1)]);
  if (size_t(std::max(nFrom, nTo)) <= aBitmaps.size())
    std::swap(aBitmaps[size_t(nFrom - 1)], aBitmaps[size_t(nTo - 1)]);
  if (hWnd) {
    for (int n : {nFrom, nTo}) {
      SendMessageA(hWnd, LB_DELETESTRING, WPARAM(n - 1), 0);
      SendMessageA(hWnd, LB_INSERTSTRING, WPARAM(n - 1), reinterpret_cast<LPARAM>(aItems[size_t(n - 1)].c_str()));
    }
  }
  Select(nTo);
  Change();
}

void TListBox::SwapUp() { Swap(GetPos(), GetPos() - 1); }
void TListBox::SwapDown() { Swap(GetPos(), GetPos() + 1); }

void TListBox::Reset() {
  Value v = bSetGet ? bSetGet(std::nullopt) : Value();
  if (bSetGet) bSetGet(v.IsNumber() ? Value(0) : Value(std::string()));
  aItems.clear();
  if (hWnd) SendMessageA(hWnd, LB_RESETCONTENT, 0, 0);
  Change();
}

void TListBox::SetItems(std::vector<std::string> aNewItems) {
  Reset();
  aItems = std::move(aNewItems);
  Default();
  if (!aItems.empty()) Select(1);
  Change();
}

void TListBox::SetBitmaps(const std::vector<std::string>& acBitmaps) {
  lOwnerDraw = true;
  itembmp::Load(acBitmaps, aBitmaps, nBmpWidth, nBmpHeight);
}

void TListBox::SetBitmaps(const std::vector<HBITMAP>& ahBitmaps) {
  lOwnerDraw = true;
  itembmp::Free(aBitmaps);
  aBitmaps = ahBitmaps;
  nBmpWidth = aBitmaps.empty() || !aBitmaps.front() ? 0 : NBMPWIDTH(aBitmaps.front());
  nBmpHeight = aBitmaps.empty() || !aBitmaps.front() ? 0 : NBMPHEIGHT(aBitmaps.front());
}

void TListBox::StoreCurrent() {
  if (!bSetGet) return;
  Value v = bSetGet(std::nullopt);
  int pos = GetPos();
  if (v.IsNumber()) bSetGet(Value(pos));
  else bSetGet(Value(pos ? GetItem(pos) : std::string()));
}

Value TListBox::Change() {
  TControlPtr keep = SelfCtl();
  if (Len() > 0) StoreCurrent();
  if (bChange) bChange(*this);
  return Value();
}

Value TListBox::HandleEvent(UINT nMsg, WPARAM w, LPARAM l) {
  if (nMsg == WM_GETDLGCODE && w == VK_RETURN) {
    if (TWindowPtr parent = Parent()) parent->nLastKey = VK_RETURN;
    return KeyDown(VK_RETURN, 0);
  }
  return TControl::HandleEvent(nMsg, w, l);
}

Value TListBox::LostFocus(HWND hWndGetFocus) {
  TControlPtr keep = SelfCtl();
  Value r = TControl::LostFocus(hWndGetFocus);
  StoreCurrent();
  return r;
}

Value TListBox::LDblClick(int nRow, int nCol, int nKeyFlags) {
  TControlPtr keep = SelfCtl();
  Value r = TControl::LDblClick(nRow, nCol, nKeyFlags);
  if (bLDblClickList) bLDblClickList(*this);
  return r;
}

Value TListBox::DrawItem(WPARAM nIdCtl, DRAWITEMSTRUCT* p) {
  if (p && p->CtlType == ODT_MENU) return TControl::DrawItem(nIdCtl, p);
  return Value(LBXDRAWITEM(p, aBitmaps, aItems, nBmpWidth, bDrawItem));
}

Value TListBox::FillMeasure(MEASUREITEMSTRUCT* p) {
  LBXMEASURE(p, nBmpHeight);
  return Value(1);
}

Value TListBox::Destroy() {
  TControlPtr keep = SelfCtl();
  itembmp::Free(aBitmaps);
  return TControl::Destroy();
}

}  // namespace nx
