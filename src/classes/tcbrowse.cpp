// TCBrowse: construction, columns, sources, orders, the incremental search,
// navigation and focus.
#include "classes/tcbrowse.h"

#include <algorithm>
#include <utility>

#include "classes/scrllbar.h"
#include "native/tcbrowse.h"
#include "rt/error.h"
#include "rt/expr.h"
#include "rt/strings.h"
#include "rt/workarea.h"

namespace nx {

namespace {

constexpr double kToneFrequency = 500, kToneDuration = 1;
constexpr const char* kEmptyDate = "  /  /    ";

void Refuse() { TONE(kToneFrequency, kToneDuration); }

}  // namespace

// ---- construction ----------------------------------------------------------------------

TCBrowsePtr TCBrowse::New(const TWBrowseParams& p) {
  auto b = std::make_shared<TCBrowse>();
  std::optional<DWORD> style;
  if (p.lPixel) style = WS_CHILD | WS_VSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP | WS_THICKFRAME;
  b->Construct(p, style);
  return b;
}

TCBrowsePtr TCBrowse::ReDefine(const TWBrowseRedefineParams& p) {
  auto b = std::make_shared<TCBrowse>();
  b->Construct(p);
  return b;
}

const std::vector<std::string>& TCBrowse::aProperties() {
  static const std::vector<std::string> names{"aColumns", "cVarName", "nTop", "nLeft", "nWidth", "nHeight"};
  return names;
}

bool TCBrowse::IsArraySource() const { return Upper(cAlias) == "ARRAY"; }

bool TCBrowse::IsWorkArea() const { return !oDbf && TWBrowse::IsWorkArea(); }

void TCBrowse::SyncSizes() {
  if (aColSizes.size() >= aColumns.size()) return;
  aColSizes.resize(aColumns.size());
  for (size_t i = 0; i < aColumns.size(); ++i) aColSizes[i] = aColumns[i]->nWidth;
}

void TCBrowse::Default() {
  aColSizes.assign(aColumns.size(), 0);
  for (size_t i = 0; i < aColumns.size(); ++i) aColSizes[i] = aColumns[i]->nWidth;
  if (nAdjColumn) {
    RECT r{};
    GetClientRect(hWnd, &r);
    int limit = r.right, sum = 0, adj = *nAdjColumn;
    auto widen = [&](int extra) {
      if (adj >= 1 && adj <= int(aColumns.size())) {
        aColSizes[size_t(adj - 1)] += extra;
        aColumns[size_t(adj - 1)]->nWidth += extra;
      }
    };
    size_t c = 0;
    for (; c < aColSizes.size(); ++c) {
      if (sum + aColSizes[c] > limit) {
        if (adj <= int(c)) widen(limit - sum);
        break;
      }
      sum += aColSizes[c];
    }
    if (c == aColSizes.size() && sum < limit) widen(limit - sum);
    nAdjColumn.reset();
  }
  if (!nOClrForeHead) nOClrForeHead = RGB(255, 0, 0);
  if (!nOClrBackHead) nOClrBackHead = RGB(0, 0, 255);
  if (nColOrder == 0 && !IsArraySource() && !cAlias.empty()) {
    for (size_t i = 0; i < aColumns.size(); ++i)
      if (!AllTrim(aColumns[i]->cOrder).empty()) {
        SwitchOrder(int(i + 1));
        break;
      }
    ResetSeek();
  }
  // The row block answers the columns' values, for code that reads rows.
  bLine = [](TWBrowse& oBrw) {
    Array row;
    for (const auto& col : static_cast<TCBrowse&>(oBrw).aColumns) row.push_back(col->Get());
    return row;
  };
  RefreshLen();
  oVScroll = TScrollBar::WinNew({.lVertical = true, .oWnd = Self()});
  VSetRange();
  ResetBarPos();
  int columns = int(aColumns.size());
  if (!lNoHScroll) {
    oHScroll = TScrollBar::WinNew({.nMin = std::min(1, columns), .nMax = columns, .lVertical = false, .oWnd = Self()});
  } else {
    oHScroll = nullptr;
    ShowScrollBar(hWnd, SB_HORZ, FALSE);
  }
}

// ---- columns and sources ----------------------------------------------------------------

TCColumnPtr TCBrowse::AddColumn(TCColumnPtr oCol) {
  if (!oCol) return oCol;
  SyncSizes();
  aColumns.push_back(oCol);
  aColSizes.push_back(oCol->nWidth);
  return oCol;
}

void TCBrowse::LoadFields() {
  std::string alias = cAlias;
  if (alias.empty() || IsArraySource()) return;
  Value structure = InAlias(alias, [] { return DbStruct(); });
  if (!structure.IsArray()) return;
  for (size_t i = 1; i <= Len(structure.AsArray()); ++i) {
    ArrayPtr field = AGet(structure.AsArray(), i).AsArray();
    std::string name = AGet(field, 1).AsString();
    int pos = int(i);
    auto col = TCColumn::New({.cHeading = name,
                              .bData = [alias, pos](std::optional<Value> v) {
                                return InAlias(alias, [&] { return v ? FieldPut(pos, *v) : FieldGet(pos); });
                              },
                              .cAlign = Value(AGet(field, 2).AsString() == "N" ? "RIGHT" : "LEFT"),
                              .lEdit = true});
    col->cData = alias + "->" + name;
    AddColumn(col);
  }
}

void TCBrowse::SetArray(const ArrayPtr& a) {
  aArray = a ? a : NewArray();
  TWBrowse::SetArray(aArray);
  oDbf = nullptr;
  // An array has no orders to sort or search by.
  nColOrder = 0;
  cOrderType.clear();
  cSeek.clear();
  nRowPos = nColPos = 1;
  RefreshLen();
  if (oVScroll) {
    VSetRange();
    VSetPos(1);
  }
  if (oHScroll) oHScroll->SetPos(1);
}

void TCBrowse::SetoDBF(const std::shared_ptr<TCBrowseDbf>& o) {
  oDbf = o;
  cAlias = "DBFOBJECT";
  nAt.reset();
  bLogicLen = [](TWBrowse& b) {
    auto& self = static_cast<TCBrowse&>(b);
    return self.oDbf ? int(self.oDbf->RecCount()) : 0;
  };
  bGoTop = [](TWBrowse& b) {
    if (auto& db = static_cast<TCBrowse&>(b).oDbf) db->GoTop();
  };
  bGoBottom = [](TWBrowse& b) {
    if (auto& db = static_cast<TCBrowse&>(b).oDbf) db->GoBottom();
  };
  bSkip = [](int n, TWBrowse& b) {
    auto& db = static_cast<TCBrowse&>(b).oDbf;
    return db ? int(db->Skipper(n)) : 0;
  };
  if (oDbf) {
    oDbf->ClearFileHooks();
    if (auto ctx = oDbf->Context()) oCtx = ctx;
  }
  RefreshLen();
  lHitTop = lHitBottom = false;
}

bool TCBrowse::SwitchCols(int nCol1, int nCol2) {
  int n = int(aColumns.size());
  if (nCol1 <= nFreeze || nCol2 <= nFreeze || nCol1 < 1 || nCol2 < 1 || nCol1 > n || nCol2 > n) return false;
  SyncSizes();
  std::swap(aColumns[size_t(nCol1 - 1)], aColumns[size_t(nCol2 - 1)]);
  std::swap(aColSizes[size_t(nCol1 - 1)], aColSizes[size_t(nCol2 - 1)]);
  // The sort colour stays with the sorting column.
  if (nColOrder == nCol1) nColOrder = nCol2;
  else if (nColOrder == nCol2) nColOrder = nCol1;
  return true;
}

void TCBrowse::Exchange(int nCol1, int nCol2) {
  if (!SwitchCols(nCol1, nCol2)) return;
  Refresh(false);
  SetFocus();
}

void TCBrowse::Reset() {
  nRowPos = 1;
  nColPos = nColAct = 1;
  lHitTop = lHitBottom = false;
  if (bGoTop) bGoTop(*this);
  RefreshLen();
  VSetRange();
  Refresh();
}

// ---- orders ----------------------------------------------------------------------------------

Value TCBrowse::OrderKey() {
  if (oDbf) return oDbf->OrderKey();
  if (cAlias.empty() || IsArraySource()) return Value();
  return InAlias(cAlias, [] {
    std::string key = IndexKey();
    return key.empty() ? Value() : Compile("{||" + key + "}").Eval();
  });
}

// The data part of a switch: the source's order, the key type, the column.
bool TCBrowse::SwitchOrder(int nCol) {
  if (nCol < 1 || nCol > int(aColumns.size()) || IsArraySource() || cAlias.empty()) return false;
  std::string order = AllTrim(aColumns[size_t(nCol - 1)]->cOrder);
  if (order.empty()) return false;
  if (oDbf) {
    oDbf->SetOrder(order);
  } else {
    bool known = InAlias(cAlias, [&] {
      std::string previous = OrdSetFocus(order);
      if (Upper(OrdSetFocus()) == Upper(order)) return true;
      OrdSetFocus(previous);
      return false;
    });
    if (!known) {
      auto e = ErrorNew("Novaxis", EG_NOORDER, EG_NOORDER, "Order not found", "TCBROWSE:SETORDER");
      e->CanDefault = true;
      e->Args = Value(NewArray({Value(order)}));
      RaiseError(e);
      return false;
    }
  }
  Value key = OrderKey();
  cOrderType = key.IsNil() ? std::string() : std::string(1, key.ValType());
  nColOrder = nCol;
  return true;
}

bool TCBrowse::SetOrder(int nCol) {
  TCBrowsePtr keep = SelfCBrw();
  if (!SwitchOrder(nCol)) return false;
  if (oCtx) oCtx->Renew();
  ResetBarPos();
  Refresh();
  ResetSeek();
  SetFocus();
  SeekChanged();
  return true;
}

void TCBrowse::ResetBarPos() {
  if (cAlias.empty() || IsArraySource()) return;
  // The position in the active order (the record number in natural order).
  long pos = oDbf ? oDbf->RecNo() : InAlias(cAlias, [] { return OrdKeyNo(); });
  // The current row moved or the order changed: it may be neither the first
  // nor the last any more.
  lHitTop = lHitBottom = false;
  RefreshLen();
  VSetRange();
  VSetPos(int(std::clamp<long>(pos, std::min(1, nLen), std::max(nLen, 0))));
  if (pos > 0 && pos < nRowPos) nRowPos = int(pos);
}

// ---- the incremental search ------------------------------------------------------------------

std::string TCBrowse::ResetSeek() {
  if (nColOrder > 0) cSeek = cOrderType == "D" ? kEmptyDate : "";
  return cSeek;
}

void TCBrowse::SeekChanged() {
  if (bSeekChange) bSeekChange(*this);
}

namespace {

// The date search text edited by one key; false (and a tone) when the key
// does not fit.
bool EditDate(std::string& text, int nKey) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/') text = kEmptyDate;
  size_t blank = text.find(' ');
  if (nKey >= '0' && nKey <= '9') {
    if (blank == std::string::npos) {
      Refuse();
      return false;
    }
    text[blank] = char(nKey);
    return true;
  }
  if (nKey == VK_BACK) {
    if (blank == std::string::npos) {
      text = PadR(text.substr(0, 9), 10);
    } else if (blank == 3 || blank == 6) {
      text[blank - 2] = ' ';  // the digit before the slash
    } else if (blank > 0) {
      text[blank - 1] = ' ';
    }
    return true;
  }
  Refuse();
  return false;
}

}  // namespace

std::string TCBrowse::DateSeek(const std::string& cText, int nKey) {
  std::string text = cText;
  EditDate(text, nKey);
  return text;
}

long TCBrowse::SourceRecNo() { return oDbf ? oDbf->RecNo() : InAlias(cAlias, [] { return RecNo(); }); }

void TCBrowse::SourceGoTo(long rec) {
  if (oDbf) oDbf->GoTo(rec);
  else InAlias(cAlias, [rec] { DbGoTo(rec); });
}

bool TCBrowse::SourceSeek(const Value& key) {
  return oDbf ? oDbf->Seek(key, true) : InAlias(cAlias, [&] { return DbSeek(key, true); });
}

bool TCBrowse::SourceEof() { return oDbf ? oDbf->Eof() : InAlias(cAlias, [] { return Eof(); }); }

void TCBrowse::Seek(int nKey) {
  if (nColOrder <= 0 || cAlias.empty() || IsArraySource()) return;
  TCBrowsePtr keep = SelfCBrw();
  const std::string type = cOrderType;
  std::string text = cSeek;
  if (type == "D") {
    if (!EditDate(text, nKey)) return;
  } else if (nKey == VK_BACK) {
    if (!text.empty()) text.pop_back();
  } else if (type == "N") {
    if (nKey < '0' || nKey > '9') return Refuse();
    text += char(nKey);
  } else if (type == "C") {
    Value key = OrderKey();
    if (text.size() >= Len(key)) return Refuse();
    text += Upper(std::string(1, char(nKey)));
  } else {
    text += char(nKey);
  }
  bool seek = true;
  Value value;
  if (type == "N") {
    value = Val(text);
  } else if (type == "D") {
    // Only a whole date is sought, by its value.
    seek = AllTrim(text).size() == DToC(Today()).size();
    value = Value(CToD(text));
  } else {
    value = Value(text);
  }
  if (seek) {
    long rec = SourceRecNo();
    bool found = SourceSeek(value);
    bool failed = SourceEof() || (type == "C" && !found);
    if (failed) {
      SourceGoTo(rec);
      Refuse();
      if (nKey != VK_BACK) {
        if (type == "D") EditDate(text, VK_BACK);
        else if (!text.empty()) text.pop_back();
      }
    } else if (SourceRecNo() != rec) {
      ResetBarPos();
      Refresh();
    }
  }
  cSeek = text;
  if (oCtx) oCtx->Save();
  SeekChanged();
}

Value TCBrowse::KeyChar(int nKey, int nFlags) {
  bool searchKey = (nKey >= 33 && nKey <= 126) || nKey == VK_BACK;
  if (!bKeyChar && searchKey && !IsArraySource()) {
    Seek(nKey);
    return Value(0);
  }
  return TWBrowse::KeyChar(nKey, nFlags);
}

// ---- navigation ---------------------------------------------------------------------------------

Value TCBrowse::GoUp() {
  ResetSeek();
  SeekChanged();
  return TWBrowse::GoUp();
}

Value TCBrowse::GoDown() {
  ResetSeek();
  SeekChanged();
  return TWBrowse::GoDown();
}

Value TCBrowse::GoTop() {
  ResetSeek();
  SeekChanged();
  return TWBrowse::GoTop();
}

Value TCBrowse::GoBottom() {
  ResetSeek();
  SeekChanged();
  return TWBrowse::GoBottom();
}

Value TCBrowse::PageUp(std::optional<int> nLines) {
  ResetSeek();
  SeekChanged();
  return TWBrowse::PageUp(nLines);
}

Value TCBrowse::PageDown(std::optional<int> nLines) {
  ResetSeek();
  SeekChanged();
  return TWBrowse::PageDown(nLines);
}

Value TCBrowse::VScroll(WPARAM nWParam, LPARAM nLParam) {
  if (LOWORD(nWParam) == SB_THUMBPOSITION) {
    ResetSeek();
    SeekChanged();
  }
  return TWBrowse::VScroll(nWParam, nLParam);
}

// Horizontal moves scroll the columns right of the frozen ones; with a row
// cursor the current column is the first scrolled one.
Value TCBrowse::GoLeft() {
  if (!lCellStyle) {
    nColPos = std::max(nColPos, nFreeze + 1);
    if (nColPos <= nFreeze + 1) return Value();
    nColAct = nColPos;
  }
  Value r = TWBrowse::GoLeft();
  if (oHScroll) oHScroll->SetPos(nColAct);
  return r;
}

Value TCBrowse::GoRight() {
  if (!lCellStyle) {
    nColPos = std::max(nColPos, nFreeze + 1);
    nColAct = nColPos;
  }
  Value r = TWBrowse::GoRight();
  if (oHScroll) oHScroll->SetPos(nColAct);
  return r;
}

// ---- focus and context -----------------------------------------------------------------------

void TCBrowse::SetContext(const std::shared_ptr<TCBrowseContext>& oContext) {
  oCtx = oContext;
  if (!oContext) lAutoCtx = false;
}

Value TCBrowse::GotFocus(HWND hCtlLost) {
  if (oCtx) oCtx->Restore();
  return TWBrowse::GotFocus(hCtlLost);
}

Value TCBrowse::LostFocus(HWND hWndGetFocus) {
  Value r = TWBrowse::LostFocus(hWndGetFocus);
  if (oCtx) oCtx->Save();
  return r;
}

Value TCBrowse::Destroy() {
  if (auto ctx = std::exchange(oCtx, nullptr)) ctx->Destroy();
  return TWBrowse::Destroy();
}

}  // namespace nx
