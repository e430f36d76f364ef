// TWBrowse: editing one cell. lEditCol lays a small captionless dialog over
// the cell and waits for it; EditCol places an editor on the browse itself
// and reports through a hook; Edit adds the write-back into a work area
// under a record lock and the move on to the next cell.
#include <algorithm>
#include <memory>

#include "classes/button.h"
#include "classes/combobox.h"
#include "classes/dialog.h"
#include "classes/scrllbar.h"
#include "classes/tget.h"
#include "classes/wbrowse.h"
#include "native/brwedit.h"
#include "native/msgbox.h"
#include "rt/error.h"
#include "rt/strings.h"
#include "rt/workarea.h"

namespace nx {

namespace {

const std::vector<std::string>& LogicalItems() {
  static const std::vector<std::string> items{".T.", ".F."};
  return items;
}

// The list a logical is chosen from: the caller's two labels or ".T."/".F.".
std::vector<std::string> ItemsFor(char cType, const std::optional<std::vector<std::string>>& aItems) {
  if (cType == 'L') return aItems && aItems->size() >= 2 ? *aItems : LogicalItems();
  return aItems.value_or(std::vector<std::string>{});
}

Value NoCell(const char* cOperation, int nCol) {
  auto e = ErrorNew("Novaxis", EG_ARG, 0, "No such cell to edit", cOperation);
  e->CanDefault = true;
  e->Args = Value(NewArray({Value(nCol)}));
  return RaiseError(e);
}

// The cell cursor follows the edited column.
void FollowCell(TWBrowse& b, int nCol) {
  if (!b.lCellStyle || nCol == b.nColAct) return;
  b.nColAct = nCol;
  if (b.oHScroll) b.oHScroll->SetPos(nCol);
  b.Refresh(false);
}

// A set/get block over a value of its own: the editor may outlive the call
// that opened it.
SetGet Holder(const std::shared_ptr<Value>& v) {
  return [v](std::optional<Value> u) {
    if (u) *v = *u;
    return *v;
  };
}

// The text a work-area edit gives back, as the field's type wants it.
Value AsFieldType(const std::string& cType, const Value& uText) {
  std::string text = uText.IsString() ? uText.AsString() : cValToChar(uText);
  if (cType == "D") return Value(CToD(text));
  if (cType == "L") return Value(Upper(AllTrim(text)) == ".T.");
  if (cType == "N") return Val(text);
  return Value(text);
}

// What the popup editor's hooks share with lEditCol while the dialog runs.
struct PopupState {
  std::weak_ptr<TDialog> dlg;
  std::weak_ptr<TControl> editor;
  bool accepted = false;
  bool over = false;
  // Enter, the default button, a choice from the list, the action button:
  // the editor's validation decides, then the dialog ends.
  void Accept() {
    TDialogPtr d = dlg.lock();
    if (over || !d) return;
    if (TControlPtr e = editor.lock(); e && !e->lValid()) return;
    over = accepted = true;
    d->End(IDOK);
  }
  void Cancel() {
    TDialogPtr d = dlg.lock();
    if (over || !d) return;
    over = true;
    d->End(IDCANCEL);
  }
};

}  // namespace

std::optional<ARect> TWBrowse::CellRect(int nCol) {
  std::vector<int> sizes = GetColSizes();
  return ABRWPOSRECT(hWnd, nRowPos, sizes, nColPos, nCol, FontHandle());
}

void DLGADJUST(TDialog& oDlg, TControl& oGet, TControl* oBtn, const ARect& aRect, char cType) {
  int w = aRect.nRight - aRect.nLeft, h = aRect.nBottom - aRect.nTop;
  oDlg.Move(aRect.nTop + 1, aRect.nLeft + 1, w, h);
  if (cType == 'L') {
    oGet.Move(-3, -1, w + 3, 50);
  } else if (oBtn) {
    oGet.Move(-3, -1, w - 14, h + 6);
    oBtn->Move(0, w - 15, 15, h);
  } else {
    oGet.Move(-2, 0);
  }
}

// ---- the popup editor ------------------------------------------------------------------------

bool TWBrowse::lEditCol(int nCol, Value& uVar, const CellEditParams& p) {
  TWBrowsePtr keep = SelfBrw();
  if (nCol == 0) nCol = nColAct;
  std::optional<ARect> cell = CellRect(nCol);
  if (!cell) {
    NoCell("TWBROWSE:LEDITCOL", nCol);
    return false;
  }
  ARect r = *cell;
  r.nTop += 1;
  char cType = uVar.ValType();
  FollowCell(*this, nCol);
  COLORREF fore = p.nClrFore.value_or(nClrText), back = p.nClrBack.value_or(nClrPane);
  std::vector<std::string> items = ItemsFor(cType, p.aItems);
  auto var = std::make_shared<Value>(uVar);
  if (cType == 'L') *var = Value(items[uVar.AsLogical() ? 0 : 1]);

  TWindowPtr previousDefault = GetWndDefault();
  TDialogPtr dlg = TDialog::New({.nTop = r.nTop,
                                 .nLeft = r.nLeft,
                                 .nBottom = r.nBottom,
                                 .nRight = r.nRight,
                                 .nStyle = WS_VISIBLE | WS_POPUP,
                                 .lPixel = true});
  auto state = std::make_shared<PopupState>();
  state->dlg = dlg;
  int width = r.nRight - r.nLeft, height = r.nBottom - r.nTop;
  TControlPtr editor;
  TControlPtr button;
  if (cType == 'L' || p.aItems) {
    editor = TComboBox::New({.nRow = 0,
                             .nCol = 0,
                             .bSetGet = Holder(var),
                             .aItems = items,
                             .nWidth = width / 2,
                             .nHeight = 50,
                             .oWnd = dlg,
                             .bChange = [state](TComboBox&, const Value&) { state->Accept(); },
                             .nClrFore = fore,
                             .nClrBack = back,
                             .oFont = oFont});
  } else {
    TGetPtr get = TGet::New({.nRow = 0,
                             .nCol = 0,
                             .bSetGet = Holder(var),
                             .oWnd = dlg,
                             .nWidth = width - (p.bAction ? 12 : 0),
                             .nHeight = height,
                             .cPicture = p.cPicture,
                             .nClrFore = fore,
                             .nClrBack = back,
                             .oFont = oFont,
                             .cVarName = "uVar"});
    if (p.bAction) {
      std::weak_ptr<TGet> weakGet = get;
      std::weak_ptr<TWBrowse> weakBrw = keep;
      auto action = p.bAction;
      button = TButton::New({.cCaption = "",
                             .oWnd = dlg,
                             .bAction =
                                 [state, weakGet, weakBrw, action](TButton&) {
                                   TGetPtr g = weakGet.lock();
                                   TWBrowsePtr b = weakBrw.lock();
                                   if (!g || !b) return;
                                   g->cText(action(g->VarGet(), *b));
                                   state->Accept();
                                 },
                             .nWidth = 12,
                             .nHeight = 12});
    }
    editor = get;
  }
  state->editor = editor;
  editor->bValid = p.bValid;
  // The edit field takes every key itself: Enter and Esc end the edit here.
  editor->bKeyDown = [state](int nKey, int, TWindow&) {
    if (nKey == VK_RETURN) state->Accept();
    else if (nKey == VK_ESCAPE) state->Cancel();
    else return Value();
    return Value(0);
  };
  editor->bKeyChar = [](int nKey, int, TWindow&) {
    return nKey == VK_RETURN || nKey == VK_ESCAPE ? Value(0) : Value();
  };
  TButton::New({.nRow = 10, .cCaption = "", .oWnd = dlg, .bAction = [state](TButton&) { state->Accept(); },
                .lDefault = true});
  dlg->Activate({.lCentered = false, .bInit = [&](TWindow&) { DLGADJUST(*dlg, *editor, button.get(), r, cType); }});
  state->over = true;
  SetWndDefault(previousDefault);
  if (state->accepted) {
    uVar = cType == 'L' ? Value(var->IsString() && var->AsString() == items[0]) : *var;
  }
  if (hWnd && IsWindowVisible(hWnd)) ::SetFocus(hWnd);
  return state->accepted;
}

// ---- the in-place editor ---------------------------------------------------------------------

bool TWBrowse::EditCol(int nCol, const Value& uVar, const EditColParams& p) {
  TWBrowsePtr keep = SelfBrw();
  if (nCol == 0) nCol = nColAct;
  std::optional<ARect> cell = CellRect(nCol);
  std::vector<int> sizes = GetColSizes();
  if (!cell || nCol > int(sizes.size())) {
    NoCell("TWBROWSE:EDITCOL", nCol);
    return false;
  }
  POINT origin{cell->nLeft, cell->nTop};
  ScreenToClient(hWnd, &origin);
  int width = sizes[size_t(nCol - 1)], height = cell->nBottom - cell->nTop;
  FollowCell(*this, nCol);
  COLORREF fore = p.nClrFore.value_or(nClrText), back = p.nClrBack.value_or(nClrPane);
  EditColHook done = p.bValid;
  if (oGet && oGet->hWnd) oGet->End();

  char cType = uVar.ValType();
  std::vector<std::string> items = ItemsFor(cType, p.aItems);
  auto var = std::make_shared<Value>(uVar);
  if (cType == 'L') *var = Value(items[uVar.AsLogical() ? 0 : 1]);
  std::weak_ptr<TWBrowse> weakBrw = keep;
  // Ending an editor moves the focus back to the browse; leaving the editor
  // reports and closes it.
  auto backToBrowse = [weakBrw] {
    if (TWBrowsePtr b = weakBrw.lock(); b && b->hWnd) ::SetFocus(b->hWnd);
  };
  TControlPtr editor;
  int top = origin.y + 1, left = origin.x + 1;
  if (cType == 'L' || p.aItems) {
    int w = cType == 'L' ? std::clamp(width, 50, 100) : width;
    int h = cType == 'L' ? 100 : std::max(25 * int(items.size()), 200);
    editor = TComboBox::New({.nRow = double(top),
                             .nCol = double(left),
                             .bSetGet = Holder(var),
                             .aItems = items,
                             .nWidth = w,
                             .nHeight = h,
                             .oWnd = Self(),
                             .bChange = [backToBrowse](TComboBox&, const Value&) { backToBrowse(); },
                             .nClrFore = fore,
                             .nClrBack = back,
                             .lPixel = true,
                             .oFont = oFont});
  } else {
    editor = TGet::New({.nRow = double(top),
                        .nCol = double(left),
                        .bSetGet = Holder(var),
                        .oWnd = Self(),
                        .nWidth = width,
                        .nHeight = height,
                        .cPicture = p.cPicture,
                        .nClrFore = fore,
                        .nClrBack = back,
                        .oFont = oFont,
                        .lPixel = true,
                        .cVarName = "uVar"});
  }
  if (!editor->hWnd) return false;
  oGet = editor;
  nLastKey = 0;
  editor->bKeyDown = [weakBrw, backToBrowse](int nKey, int, TWindow&) {
    TWBrowsePtr b = weakBrw.lock();
    if (!b || (nKey != VK_RETURN && nKey != VK_ESCAPE)) return Value();
    b->nLastKey = nKey;
    backToBrowse();
    return Value(0);
  };
  editor->bKeyChar = [](int nKey, int, TWindow&) {
    return nKey == VK_RETURN || nKey == VK_ESCAPE ? Value(0) : Value();
  };
  auto ended = std::make_shared<bool>(false);
  editor->bLostFocus = [weakBrw, var, items, cType, done, ended](TWindow& w, HWND) {
    TWBrowsePtr b = weakBrw.lock();
    if (*ended || !b) return Value();
    *ended = true;
    TControlPtr ed = std::static_pointer_cast<TControl>(w.shared_from_this());
    if (auto get = std::dynamic_pointer_cast<TGet>(ed)) get->Assign();
    Value value = cType == 'L' ? Value(var->IsString() && var->AsString() == items[0]) : *var;
    if (done) done(b->nLastKey == VK_ESCAPE ? Value() : value, b->nLastKey, *b);
    if (b->oGet == ed) b->oGet = nullptr;
    ed->End();
    return Value();
  };
  editor->Set3DLook();
  editor->SetFocus();
  if (auto combo = std::dynamic_pointer_cast<TComboBox>(editor)) combo->Refresh();
  return false;
}

// ---- editing with write-back -----------------------------------------------------------------

void TWBrowse::Edit(int nCol) {
  TWBrowsePtr keep = SelfBrw();
  for (;;) {
    if (!hWnd || !bLine) return;
    Array row = bLine(*this);
    if (nCol < 1 || nCol > int(row.size())) {
      NoCell("TWBROWSE:EDIT", nCol);
      return;
    }
    Value text = row[size_t(nCol - 1)];
    bool ok = false;
    if (IsWorkArea()) {
      if (!InAlias(cAlias, [] { return RLock(); })) {
        MsgStop("Record locked!", "Please, try again");
        return;
      }
      struct Unlock {
        const std::string& alias;
        ~Unlock() { InAlias(alias, [] { DbUnlock(); }); }
      } unlock{cAlias};
      // Only a cell that shows its field's own text goes back into the
      // field; another row block's cells are edited but not stored.
      std::string type, picture;
      bool same = InAlias(cAlias, [&] {
        if (nCol > FCount()) return false;
        ArrayPtr field = AGet(DbStruct().AsArray(), size_t(nCol)).AsArray();
        type = AGet(field, 2).AsString();
        Value value = FieldGet(nCol);
        if (cValToChar(value) != cValToChar(text)) return false;
        // A number is shown trimmed: it is edited as a number as wide as
        // its field, or it could not grow by a digit.
        if (type == "N") {
          int len = int(AGet(field, 3).AsInt()), dec = int(AGet(field, 4).AsInt());
          picture = dec > 0 ? std::string(size_t(std::max(len - dec - 1, 1)), '9') + "." + std::string(size_t(dec), '9')
                            : std::string(size_t(std::max(len, 1)), '9');
          text = value;
        }
        return true;
      });
      ok = lEditCol(nCol, text, {.cPicture = picture});
      if (ok) {
        if (same) InAlias(cAlias, [&] { FieldPut(nCol, text.IsNumber() ? text : AsFieldType(type, text)); });
        if (hWnd) DrawSelect();
      }
    } else {
      ok = lEditCol(nCol, text);
    }
    if (!ok || !lAutoSkip || !hWnd) return;
    if (nCol < int(row.size())) {
      GoRight();
      ++nCol;
    } else {
      bool scrolled = nColPos != 1;
      nColPos = nColAct = nCol = 1;
      if (oHScroll) oHScroll->SetPos(1);
      if (scrolled) Refresh(false);
      GoDown();
      if (lHitBottom) return;  // the last row: nothing further to edit
    }
  }
}

}  // namespace nx
