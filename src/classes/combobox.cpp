#include "classes/combobox.h"

#include <algorithm>
#include <cctype>

#include "classes/itembmp_internal.h"
#include "classes/setget.h"
#include "classes/simple_internal.h"
#include "native/draw.h"
#include "rt/strings.h"

namespace nx {

using namespace simple;

// The edit window inside an editable combo box. Every key goes through the
// combo's edit buffer (oGet); the window only shows the buffer.
class TComboEdit : public TControl {
 public:
  const char* ClassName() const override { return "TCOMBOEDIT"; }
  void Register(std::optional<UINT>) override {}
  std::shared_ptr<TComboBox> Combo() const { return std::static_pointer_cast<TComboBox>(Parent()); }

  Value GotFocus(HWND hLost) override {
    TControlPtr keep = SelfCtl();
    auto combo = Combo();
    if (!combo || !combo->oGet) return Value();
    combo->cSearchKey.clear();
    combo->TControl::GotFocus(hLost);
    combo->oGet->SetFocus();
    combo->ShowGet();
    return Value();
  }
  Value KillFocus(HWND hNew) override {
    TControlPtr keep = SelfCtl();
    if (auto combo = Combo()) {
      combo->EditLeft(hNew);
      combo->KillFocus(hNew);
    }
    return Value();
  }
  Value LostFocus(HWND) override { return Value(); }
  Value NXLostFocus(HWND) override { return Value(); }

  Value KeyChar(int nKey, int nFlags) override {
    TControlPtr keep = SelfCtl();
    auto combo = Combo();
    if (!combo || !combo->oGet || !combo->oGet->HasFocus()) return Value();
    SyncCaret(*combo);
    if (combo->lIncSearch) return combo->KeyChar(nKey, nFlags);
    TWindowPtr parent = combo->Parent();
    bool shift = GetKeyState(VK_SHIFT) & 0x8000;
    if (nKey == VK_TAB || nKey == VK_RETURN) {
      if (parent) {
        if (nKey == VK_TAB && shift) parent->GoPrevCtrl(combo->hWnd);
        else parent->GoNextCtrl(combo->hWnd);
      }
      return Value(0);
    }
    if (nKey == VK_ESCAPE) return combo->TControl::KeyChar(nKey, nFlags);
    if (nKey != VK_BACK && nKey < 32) return Value();  // clipboard keys: the edit's own, read back on leaving
    Get& get = *combo->oGet;
    DWORD from = 0, to = 0;
    SendMessageA(hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    if (to > from) {
      get.DeleteRange(int(from) + 1, int(to));
      if (nKey != VK_BACK) get.ApplyKey(nKey & 0xFF);
    } else {
      get.ApplyKey(nKey == VK_BACK ? K_BS : (nKey & 0xFF));
    }
    if (get.Rejected()) MessageBeep(MB_OK);
    combo->ShowGet();
    if (combo->bEditChange) combo->bEditChange(*combo);
    return Value(0);
  }

  Value KeyDown(int nKey, int nFlags) override {
    TControlPtr keep = SelfCtl();
    auto combo = Combo();
    if (!combo || !combo->oGet || !combo->oGet->HasFocus()) return Value();
    bool ctrl = GetKeyState(VK_CONTROL) & 0x8000;
    int code = 0;
    switch (nKey) {
      case VK_LEFT: code = ctrl ? K_CTRL_LEFT : K_LEFT; break;
      case VK_RIGHT: code = ctrl ? K_CTRL_RIGHT : K_RIGHT; break;
      case VK_HOME: code = K_HOME; break;
      case VK_END: code = K_END; break;
      case VK_DELETE: code = K_DEL; break;
      case VK_INSERT: code = K_INS; break;
      default: return TControl::KeyDown(nKey, nFlags);  // Up, Down, F4: the combo's list
    }
    SyncCaret(*combo);
    combo->oGet->ApplyKey(code);
    combo->ShowGet();
    if (code == K_DEL && combo->bEditChange) combo->bEditChange(*combo);
    return Value(0);
  }

 private:
  // A click may have moved the caret: the buffer follows it.
  void SyncCaret(TComboBox& combo) {
    DWORD from = 0, to = 0;
    SendMessageA(hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    if (from == to && int(from) + 1 != combo.oGet->Pos()) combo.oGet->Pos(int(from) + 1);
  }
};

namespace {

DWORD ComboStyle(int nStyle, bool lDesign, bool lOwnerDraw) {
  DWORD style = DWORD(nStyle & 3) | WS_TABSTOP | CBS_DISABLENOSCROLL | WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL;
  if (lDesign) style |= WS_CLIPSIBLINGS;
  // Owner-drawn items keep their texts in the control, so finding and reading
  // them back work as for plain items.
  if (lOwnerDraw) style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
  return style;
}

// Common-control messages of the themed combo box.
constexpr UINT kSetMinVisible = 0x1701, kGetMinVisible = 0x1702;

bool IsEmptyValue(const Value& v) {
  if (v.IsNil()) return true;
  if (v.IsString()) return AllTrim(v.AsString()).empty();
  if (v.IsNumber()) return v.AsNumber() == 0;
  return false;
}

}  // namespace

TComboBox::TComboBox() = default;
TComboBox::~TComboBox() {
  if (hEditBrush_) DeleteObject(hEditBrush_);
}

const std::vector<std::string>& TComboBox::aProperties() {
  static const std::vector<std::string> props = {"aItems", "cTitle",  "cVarName", "l3D",    "nClrText",
                                                 "nClrPane", "nAlign", "nTop",    "nLeft", "nWidth",
                                                 "nHeight",  "oFont",  "Cargo"};
  return props;
}

TComboBoxPtr TComboBox::New(const TComboBoxParams& p) {
  auto c = std::make_shared<TComboBox>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  c->oWnd = parent;
  c->bSetGet = p.bSetGet ? p.bSetGet : OwnVar();
  c->aItems = p.aItems;
  c->nTop = p.lPixel ? int(p.nRow) : int(p.nRow * 14);
  c->nLeft = p.lPixel ? int(p.nCol) : int(p.nCol * 8);
  c->nBottom = c->nTop + p.nHeight - 1;
  c->nRight = c->nLeft + p.nWidth - 1;
  c->nHelpId = p.nHelpId;
  c->bChange = p.bChange;
  c->bWhen = p.bWhen;
  c->cMsg = p.cMsg;
  c->lUpdate_ = p.lUpdate;
  c->lDrag = p.lDesign;
  c->bDrawItem = p.bDrawItem;
  c->bEditChange = p.bEditChange;
  c->cPicture = p.cPicture;
  if (p.bValid) {
    c->bValid = [fn = p.bValid](TWindow& w) {
      auto& self = static_cast<TComboBox&>(w);
      return fn(self.oGet.get(), self);
    };
  }
  if (!p.acBitmaps.empty()) c->SetBitmaps(p.acBitmaps);
  c->nStyle = ComboStyle(p.nStyle, p.lDesign, c->lOwnerDraw);
  TakeFont(*c, p.oFont);
  // Without a text colour given, both colours are the system's window colours.
  COLORREF text = p.nClrFore ? *p.nClrFore : GetSysColor(COLOR_WINDOWTEXT);
  COLORREF pane = p.nClrFore && p.nClrBack ? *p.nClrBack : GetSysColor(COLOR_WINDOW);
  c->SetColor(text, pane);
  if (c->Kind() == CB_DROPDOWNKIND) c->MakeGet();
  c->CreateOrDefer(parent, "COMBOBOX", [&] {
    c->ApplyFont();
    c->Default();
    c->AttachEdit();
  });
  return c;
}

TComboBoxPtr TComboBox::ReDefine(const TComboBoxRedefineParams& p) {
  auto c = std::make_shared<TComboBox>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  c->bSetGet = p.bSetGet ? p.bSetGet : OwnVar();
  c->aItems = p.aItems;
  c->nHelpId = p.nHelpId;
  c->bChange = p.bChange;
  c->bWhen = p.bWhen;
  c->cMsg = p.cMsg;
  c->lUpdate_ = p.lUpdate;
  c->bDrawItem = p.bDrawItem;
  c->bEditChange = p.bEditChange;
  c->cPicture = p.cPicture;
  if (p.bValid) {
    c->bValid = [fn = p.bValid](TWindow& w) {
      auto& self = static_cast<TComboBox&>(w);
      return fn(self.oGet.get(), self);
    };
  }
  if (!p.acBitmaps.empty()) c->SetBitmaps(p.acBitmaps);
  c->nStyle = DWORD(p.nStyle & 3);
  COLORREF text = p.nClrFore ? *p.nClrFore : GetSysColor(COLOR_WINDOWTEXT);
  COLORREF pane = p.nClrFore && p.nClrBack ? *p.nClrBack : GetSysColor(COLOR_WINDOW);
  c->SetColor(text, pane);
  if (c->Kind() == CB_DROPDOWNKIND) c->MakeGet();
  c->Redefine(p.nId, parent);
  return c;
}

std::string TComboBox::cToChar(const std::string& cClassName) {
  return TControl::cToChar(cClassName.empty() ? "COMBOBOX" : cClassName);
}

// ---- the edit buffer of the editable kind ---------------------------------------------------------

void TComboBox::MakeGet() {
  // The buffer edits the shown text: a number-bound combo shows its item.
  // Without a picture the text gets room for the longest item.
  auto self = std::weak_ptr<TComboBox>();
  TComboBox* me = this;
  SetGet text = [me](std::optional<Value> u) -> Value {
    Value v = me->bSetGet ? me->bSetGet(std::nullopt) : Value();
    if (u) {
      std::string typed = Trim(u->AsString());
      if (v.IsNumber()) {
        if (int pos = me->ItemPos(typed)) me->bSetGet(Value(pos));
      } else if (me->bSetGet) {
        me->bSetGet(Value(typed));
      }
      return *u;
    }
    std::string shown = v.IsNumber() ? (v.AsInt() >= 1 && v.AsInt() <= me->Len() ? me->aItems[size_t(v.AsInt() - 1)]
                                                                                  : std::string())
                                     : (v.IsString() ? v.AsString() : cValToChar(v));
    if (!me->cPicture.empty()) return Value(shown);
    int width = std::max<int>(me->nEditWidth_, int(shown.size()));
    return Value(PadR(shown, width));
  };
  (void)self;
  nEditWidth_ = 20;
  for (auto& item : aItems) nEditWidth_ = std::max(nEditWidth_, int(item.size()));
  oGet = std::make_shared<Get>(text, cVarName, cPicture);
}

HWND TComboBox::hEdit() const { return oEdit_ ? oEdit_->hWnd : nullptr; }

void TComboBox::AttachEdit() {
  if (!oGet || !hWnd || oEdit_) return;
  HWND edit = FindWindowExA(hWnd, nullptr, "Edit", nullptr);
  if (!edit) return;
  auto e = std::make_shared<TComboEdit>();
  e->oWnd = Self();
  e->hWnd = edit;
  e->nId = GetDlgCtrlID(edit);
  e->Link();
  oEdit_ = e;
  oGet->UpdateBuffer();
  ShowGet();
}

void TComboBox::ShowGet(int nCaret) {
  HWND edit = hEdit();
  if (!edit || !oGet) return;
  std::string shown = oGet->HasFocus() ? oGet->Buffer() : Trim(oGet->Buffer());
  SetWindowTextA(edit, shown.c_str());
  if (GetFocus() == edit) {
    int at = nCaret > 0 ? nCaret - 1 : oGet->Pos() - 1;
    SendMessageA(edit, EM_SETSEL, WPARAM(at), LPARAM(at));
  }
}

void TComboBox::EditLeft(HWND) {
  HWND edit = hEdit();
  if (!edit || !oGet || !oGet->HasFocus()) return;
  std::string typed = itembmp::WindowText(edit);
  oGet->Buffer(typed);  // the edit's own changes (paste, undo) count too
  oGet->Assign();
  oGet->KillFocus();
  std::string text = Trim(typed);
  if (int pos = ItemPos(text)) {
    nAt = pos;
    SendMessageA(hWnd, CB_SETCURSEL, WPARAM(pos - 1), 0);
  } else {
    nAt = 0;
    SendMessageA(hWnd, CB_SETCURSEL, WPARAM(-1), 0);
  }
  Value v = bSetGet(std::nullopt);
  if (!v.IsNumber()) bSetGet(Value(text));
  SetWindowTextA(edit, text.c_str());
}

// ---- value and items ------------------------------------------------------------------------------

int TComboBox::ItemPos(const std::string& cText) const {
  std::string key = Upper(AllTrim(cText));
  for (size_t i = 0; i < aItems.size(); ++i)
    if (Upper(AllTrim(aItems[i])) == key) return int(i) + 1;
  return 0;
}

void TComboBox::AddToControl(const std::string& cItem, int nBefore) {
  if (!hWnd) return;
  if (nBefore < 0) SendMessageA(hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(cItem.c_str()));
  else SendMessageA(hWnd, CB_INSERTSTRING, WPARAM(nBefore), reinterpret_cast<LPARAM>(cItem.c_str()));
}

void TComboBox::Default() {
  if (Kind() == CB_DROPDOWNLISTKIND && hWnd) nStyle = DWORD(GetWindowLongA(hWnd, GWL_STYLE));
  Value v = bSetGet(std::nullopt);
  bool wasNil = v.IsNil();
  if (wasNil) {
    v = Value(aItems.empty() ? std::string() : aItems.front());
    bSetGet(v);
  }
  if (hWnd) {
    SendMessageA(hWnd, WM_SETREDRAW, FALSE, 0);
    for (auto& item : aItems) AddToControl(item, -1);
    SendMessageA(hWnd, WM_SETREDRAW, TRUE, 0);
    if (lOwnerDraw && nBmpHeight > 0) {
      // The first WM_MEASUREITEM came while the control was being created,
      // before its parent knew it.
      SendMessageA(hWnd, CB_SETITEMHEIGHT, 0, nBmpHeight);
    }
  }
  nAt = v.IsNumber() ? int(v.AsInt()) : ItemPos(v.IsString() ? v.AsString() : cValToChar(v));
  nAt = std::max(nAt, 1);
  if (wasNil) Select(nAt);
  else Set(v);
}

void TComboBox::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (!hWnd) return;
  Default();
  AttachEdit();
  Refresh();
}

void TComboBox::Set(const Value& xValue) {
  if (xValue.IsNumber()) {
    int n = std::max<int>(int(xValue.AsInt()), 1);
    nAt = n;
    if (hWnd) SendMessageA(hWnd, CB_SETCURSEL, WPARAM(n - 1), 0);
    bSetGet(Value(n));
  } else {
    std::string text = xValue.IsString() ? xValue.AsString() : cValToChar(xValue);
    int pos = ItemPos(text);
    nAt = pos;
    if (hWnd) SendMessageA(hWnd, CB_SETCURSEL, pos ? WPARAM(pos - 1) : WPARAM(-1), 0);
    bSetGet(Value(text));
    if (!pos && hWnd) SetWindowTextA(hWnd, text.c_str());
  }
  if (oGet && !oGet->HasFocus()) {
    oGet->UpdateBuffer();
    ShowGet();
  }
}

void TComboBox::Select(int n) {
  nAt = n;
  if (hWnd) SendMessageA(hWnd, CB_SETCURSEL, WPARAM(n - 1), 0);
}

void TComboBox::Refresh(bool lErase) {
  if (bSetGet) Set(bSetGet(std::nullopt));
  TControl::Refresh(lErase);
}

void TComboBox::Reset() {
  Value v = bSetGet(std::nullopt);
  bSetGet(v.IsNumber() ? Value(0) : Value(std::string()));
  nAt = 0;
  aItems.clear();
  if (hWnd) SendMessageA(hWnd, CB_RESETCONTENT, 0, 0);
  Change();
}

void TComboBox::SetItems(std::vector<std::string> aNewItems) {
  Reset();
  aItems = std::move(aNewItems);
  Default();
  Change();
}

void TComboBox::Add(const std::string& cItem, int nPos) {
  if (nPos <= 0 || nPos > Len()) {
    aItems.push_back(cItem);
    AddToControl(cItem, -1);
  } else {
    aItems.insert(aItems.begin() + (nPos - 1), cItem);
    AddToControl(cItem, nPos - 1);
    if (nAt >= nPos) ++nAt;
  }
}

void TComboBox::Insert(const std::string& cItem, int nPos) {
  if (nPos <= 0) return;
  Add(cItem, nPos);
}

void TComboBox::Modify(const std::string& cItem, int nPos) {
  if (nPos <= 0 || nPos > Len()) return;
  aItems[size_t(nPos - 1)] = cItem;
  if (!hWnd) return;
  int sel = int(SendMessageA(hWnd, CB_GETCURSEL, 0, 0));
  SendMessageA(hWnd, CB_DELETESTRING, WPARAM(nPos - 1), 0);
  AddToControl(cItem, nPos - 1);
  if (sel != CB_ERR) SendMessageA(hWnd, CB_SETCURSEL, WPARAM(sel), 0);
}

void TComboBox::Del(int nPos) {
  if (nPos <= 0 || nPos > Len()) return;
  aItems.erase(aItems.begin() + (nPos - 1));
  if (hWnd) SendMessageA(hWnd, CB_DELETESTRING, WPARAM(nPos - 1), 0);
  if (nAt > Len()) nAt = Len();
  else if (nAt > nPos) --nAt;
  if (hWnd && nAt > 0 && SendMessageA(hWnd, CB_GETCURSEL, 0, 0) == CB_ERR) Select(nAt);
}

Value TComboBox::Change() {
  TControlPtr keep = SelfCtl();
  int sel = hWnd ? int(SendMessageA(hWnd, CB_GETCURSEL, 0, 0)) + 1 : nAt;
  Value before = bSetGet(std::nullopt);
  if (sel == nAt && !IsEmptyValue(before)) return Value();
  nAt = sel;
  if (nAt >= 1 && nAt <= Len()) bSetGet(before.IsNumber() ? Value(nAt) : Value(aItems[size_t(nAt - 1)]));
  if (oGet) {
    oGet->UpdateBuffer();
    ShowGet();
  }
  if (bChange) bChange(*this, before);
  return Value();
}

Value TComboBox::VarGet() {
  int sel = hWnd ? int(SendMessageA(hWnd, CB_GETCURSEL, 0, 0)) : CB_ERR;
  if (sel != CB_ERR && sel < Len()) {
    nAt = sel + 1;
    return Value(aItems[size_t(sel)]);
  }
  return Value(GetText());
}

void TComboBox::StoreSelection() {
  int sel = hWnd ? int(SendMessageA(hWnd, CB_GETCURSEL, 0, 0)) : CB_ERR;
  Value v = bSetGet(std::nullopt);
  if (sel != CB_ERR && sel < Len()) {
    nAt = sel + 1;
    bSetGet(v.IsNumber() ? Value(nAt) : Value(aItems[size_t(sel)]));
  } else if (!v.IsNumber()) {
    // Nothing selected: the text shown (a number keeps its position).
    bSetGet(Value(hEdit() ? itembmp::WindowText(hEdit()) : GetText()));
  }
}

bool TComboBox::lValid() { return bValid ? bValid(*this) : true; }

// ---- the list -------------------------------------------------------------------------------------

void TComboBox::Open() {
  if (hWnd) SendMessageA(hWnd, CB_SHOWDROPDOWN, TRUE, 0);
}
void TComboBox::Close() {
  if (hWnd) SendMessageA(hWnd, CB_SHOWDROPDOWN, FALSE, 0);
}
bool TComboBox::State() { return hWnd && SendMessageA(hWnd, CB_GETDROPPEDSTATE, 0, 0); }

void TComboBox::CloseUp() {
  if (bCloseUp) bCloseUp(*this);
}

int TComboBox::FindString(const std::string& cText, int nStart) {
  if (!hWnd) return 0;
  LRESULT r = SendMessageA(hWnd, CB_FINDSTRING, WPARAM(nStart - 1), reinterpret_cast<LPARAM>(cText.c_str()));
  return r == CB_ERR ? 0 : int(r) + 1;
}

bool TComboBox::SetMinVisible(int n) {
  if (!hWnd || !ISAPPTHEMED()) return false;
  return SendMessageA(hWnd, kSetMinVisible, WPARAM(n), 0) != 0;
}

int TComboBox::GetMinVisible() {
  if (!hWnd || !ISAPPTHEMED()) return 0;
  return int(SendMessageA(hWnd, kGetMinVisible, 0, 0));
}

// ---- events -----------------------------------------------------------------------------------------

Value TComboBox::HandleEvent(UINT nMsg, WPARAM w, LPARAM l) {
  if (nMsg == WM_NX_CLOSEUP) {
    CloseUp();
    return Value();
  }
  return TControl::HandleEvent(nMsg, w, l);
}

Value TComboBox::KeyChar(int nKey, int nFlags) {
  TControlPtr keep = SelfCtl();
  if (!lIncSearch) return TControl::KeyChar(nKey, nFlags);
  if (aItems.empty()) return Value(0);
  TWindowPtr parent = Parent();
  bool shift = GetKeyState(VK_SHIFT) & 0x8000;
  if (nKey == VK_RETURN) {
    if (parent) parent->GoNextCtrl(hWnd);
    return Value(0);
  }
  if (nKey == VK_ESCAPE) return TControl::KeyChar(nKey, nFlags);
  int oldAt = nAt;
  if (nKey == ' ') {
    if (!oGet) {
      cSearchKey.clear();
      Set(bSetGet(std::nullopt).IsNumber() ? Value(1) : Value(aItems.front()));
      if (nAt != oldAt && bChange) bChange(*this, Value(oldAt));
      return Value(0);
    }
    cSearchKey += ' ';
  } else if (nKey == VK_BACK) {
    if (!cSearchKey.empty()) cSearchKey.pop_back();
  } else if (nKey == 190) {
    cSearchKey += '.';
  } else if (nKey == VK_TAB) {
    if (!oGet) return Value(0);
    if (parent) {
      if (shift) parent->GoPrevCtrl(hWnd);
      else parent->GoNextCtrl(hWnd);
    }
    return Value(0);
  } else if (nKey >= 32) {
    cSearchKey += char(nKey);
  } else {
    return Value(0);
  }
  int found = 0;
  auto begins = [this](const std::string& item) {
    if (item.size() < cSearchKey.size()) return false;
    for (size_t k = 0; k < cSearchKey.size(); ++k)
      if (std::toupper(static_cast<unsigned char>(item[k])) != std::toupper(static_cast<unsigned char>(cSearchKey[k])))
        return false;
    return true;
  };
  for (size_t i = 0; i < aItems.size() && !found; ++i)
    if (begins(aItems[i])) found = int(i) + 1;
  bool numeric = bSetGet(std::nullopt).IsNumber();
  if (found) {
    Set(numeric ? Value(found) : Value(aItems[size_t(found - 1)]));
  } else if (oGet) {
    if (!numeric) bSetGet(Value(cSearchKey));
    nAt = 0;
    if (hWnd) SendMessageA(hWnd, CB_SETCURSEL, WPARAM(-1), 0);
  }
  if (oGet) {
    oGet->UpdateBuffer();
    if (!found && oGet->HasFocus()) oGet->Buffer(cSearchKey);
    oGet->Pos(int(cSearchKey.size()) + 1);
    ShowGet(int(cSearchKey.size()) + 1);
  }
  if ((nAt != oldAt || oGet) && bChange) bChange(*this, bSetGet(std::nullopt));
  return Value(0);
}

Value TComboBox::KeyDown(int nKey, int nFlags) {
  if (nKey == VK_ESCAPE && State()) {
    Close();
    return Value(1);
  }
  return TControl::KeyDown(nKey, nFlags);
}

Value TComboBox::GotFocus(HWND hCtlLost) {
  cSearchKey.clear();
  return TControl::GotFocus(hCtlLost);
}

Value TComboBox::LostFocus(HWND hWndGetFocus) {
  TControlPtr keep = SelfCtl();
  Value r = TControl::LostFocus(hWndGetFocus);
  if (!oGet) StoreSelection();
  return r;
}

Value TComboBox::CtlColor(HWND hWndCtl, HDC hDC) {
  if (Kind() != CB_DROPDOWNKIND || hWndCtl != hEdit()) return TControl::CtlColor(hWndCtl, hDC);
  SetTextColor(hDC, nClrText);
  SetBkColor(hDC, nClrPane);
  if (!hEditBrush_) hEditBrush_ = CreateSolidBrush(nClrPane);
  return Value(int64_t(reinterpret_cast<intptr_t>(hEditBrush_)));
}

Value TComboBox::DrawItem(WPARAM nIdCtl, DRAWITEMSTRUCT* p) {
  if (p && p->CtlType == ODT_MENU) return TControl::DrawItem(nIdCtl, p);
  return Value(LBXDRAWITEM(p, aBitmaps, aItems, nBmpWidth, bDrawItem));
}

Value TComboBox::FillMeasure(MEASUREITEMSTRUCT* p) {
  LBXMEASURE(p, nBmpHeight);
  return Value(1);
}

void TComboBox::SetBitmaps(const std::vector<std::string>& acBitmaps) {
  lOwnerDraw = true;
  itembmp::Load(acBitmaps, aBitmaps, nBmpWidth, nBmpHeight);
}

Value TComboBox::Destroy() {
  TControlPtr keep = SelfCtl();
  itembmp::Free(aBitmaps);
  oGet.reset();
  oEdit_.reset();
  return TControl::Destroy();
}

bool TComboBox::End() {
  Hide();
  return TControl::End();
}

}  // namespace nx
