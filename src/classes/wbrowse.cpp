// TWBrowse: construction, data sources and the data model.
#include "classes/wbrowse.h"

#include <algorithm>
#include <numeric>

#include "classes/font.h"
#include "classes/scrllbar.h"
#include "native/draw.h"
#include "native/gdi.h"
#include "rt/expr.h"
#include "rt/strings.h"
#include "rt/workarea.h"

namespace nx {

namespace {

bool IsArrayAlias(const std::string& alias) { return Upper(alias) == "ARRAY"; }

// Where the key-range type check reports a mismatch.
void MsgAlert(const std::string& text) { MessageBoxA(GetActiveWindow(), text.c_str(), "Alert", MB_ICONEXCLAMATION); }

// The current record as a work-area browse shows it (memos by their marker),
// with each value of its own type. The default row block answers NILs until
// widths exist, so default widths are measured on this instead.
Array FieldValues(const std::string& alias, size_t n) {
  return InAlias(alias, [&] {
    Array row;
    Value structure = DbStruct();
    for (int c = 1; c <= FCount() && size_t(c) <= n; ++c) {
      Value value = FieldGet(c);
      std::string type = AGet(AGet(structure.AsArray(), size_t(c)).AsArray(), 2).AsString();
      row.push_back(type == "M" ? Value(Empty(value) ? "<memo>" : "<Memo>") : value);
    }
    return row;
  });
}

}  // namespace

// ---- construction ----------------------------------------------------------------------

template <class Params>
void TWBrowse::InitMembers(const Params& p) {
  cCaption = "";
  lHitTop = lHitBottom = lFocused = lCaptured = false;
  lMChange = true;
  nRowPos = nColPos = nColAct = 1;
  nId = GetNewId();
  cAlias = p.cAlias.value_or(Alias());
  bLine = p.bLine;
  lAutoEdit = lAutoSkip = lIconView = lCellStyle = false;
  nIconPos = 0;
  cField = p.cField;
  uValue1 = p.uValue1;
  uValue2 = p.uValue2;
}

// What both constructors take from their arguments alike.
template <class Params>
void TWBrowse::TakeArguments(const Params& p) {
  bAdd = [](TWBrowse& oBrw) {
    InAlias(oBrw.cAlias, [] { DbAppend(); });
    oBrw.UpStable();
  };
  if (p.aHeaders) aHeaders = *p.aHeaders;
  if (p.aColSizes) aColSizes = *p.aColSizes;
  bChange = p.bChange;
  bLClicked = p.bLClicked;
  bLDblClick = p.bLDblClick;
  bRClicked = p.bRClicked;
  oCursor = p.oCursor;
  nLineStyle = 2;
  nClrBackHead = GetSysColor(COLOR_BTNFACE);
  nClrBackFocus = GetSysColor(COLOR_HIGHLIGHT);
  nClrForeFocus = GetSysColor(COLOR_HIGHLIGHTTEXT);
  cMsg = p.cMsg;
  lUpdate_ = p.lUpdate;
  bWhen = p.bWhen;
  bValid = p.bValid;
  aActions = p.aActions;
  hCursorHand = CURSOROPENHAND();
  kinetics = Kinetics{};
  SyncKinetics();
}

TWBrowsePtr TWBrowse::New(const TWBrowseParams& p) {
  auto b = std::make_shared<TWBrowse>();
  b->Construct(p);
  return b;
}

void TWBrowse::Construct(const TWBrowseParams& p, std::optional<DWORD> style) {
  TWindowPtr parent = p.oWnd ? p.oWnd : GetWndDefault();
  nTop = p.lPixel ? p.nRow : p.nRow * 14;
  nLeft = p.lPixel ? p.nCol : p.nCol * 8;
  nBottom = nTop + p.nHeight - 1;
  nRight = nLeft + p.nWidth - 1;
  oWnd = parent;
  nStyle = style.value_or(WS_CHILD | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP |
                          (p.lDesign ? WS_CLIPSIBLINGS : 0));
  InitMembers(p);
  SetFilter(p.cField, p.uValue1, p.uValue2);
  TakeArguments(p);
  nLen = 0;
  lDrag = p.lDesign;
  lCaptured = false;
  nClrForeHead = GetSysColor(COLOR_BTNTEXT);
  nVScrollPos = 0;
  SetColor(p.nClrFore, p.nClrBack.value_or(GetSysColor(COLOR_WINDOW)));
  Register(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS);
  std::shared_ptr<TFont> font = p.oFont ? p.oFont : parent ? parent->oFont : nullptr;
  if (parent && parent->hWnd) {
    Create();
    if (hWnd) {
      if (font) SetFont(font);
      Default();
      lVisible = true;
      parent->AddControl(Self());
    }
  } else {
    oFont = font;
    if (font) ++font->nCount;
    if (parent) parent->DefControl(Self());
    lVisible = false;
  }
  if (p.lDesign) CheckDots();
}

TWBrowsePtr TWBrowse::ReDefine(const TWBrowseRedefineParams& p) {
  auto b = std::make_shared<TWBrowse>();
  b->Construct(p);
  return b;
}

void TWBrowse::Construct(const TWBrowseRedefineParams& p) {
  TWindowPtr parent = p.oWnd ? p.oWnd : GetWndDefault();
  oWnd = parent;
  InitMembers(p);
  nId = p.nId;
  SetColor(p.nClrFore, p.nClrBack.value_or(GetSysColor(COLOR_WINDOW)));
  SetFilter(p.cField, p.uValue1, p.uValue2);
  TakeArguments(p);
  lDrag = false;
  lVisible = false;
  oFont = p.oFont;
  if (oFont) ++oFont->nCount;
  nClrForeHead = 0;
  Register(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS);
  if (parent) parent->DefControl(Self());
}

void TWBrowse::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (hWnd) Default();
}

Value TWBrowse::Destroy() {
  kinetics.Stop();  // a running glide stops at its next step
  SyncKinetics();
  kept_.reset();
  return TControl::Destroy();
}

HFONT TWBrowse::FontHandle() const { return oFont ? oFont->hFont : nullptr; }

bool TWBrowse::IsWorkArea() const { return !cAlias.empty() && !IsArrayAlias(cAlias); }

std::function<int()> TWBrowse::LogicLenFn() {
  return [this] { return bLogicLen ? bLogicLen(*this) : 0; };
}

int TWBrowse::RefreshLen() {
  nLen = bLogicLen ? bLogicLen(*this) : 0;
  return nLen;
}

std::vector<int> TWBrowse::DefaultWidths(const Array& row) {
  std::vector<int> widths;
  widths.reserve(row.size());
  HFONT font = FontHandle();
  for (size_t i = 0; i < row.size(); ++i) {
    if (!row[i].IsString()) {
      widths.push_back(15);
      continue;
    }
    size_t header = i < aHeaders.size() ? cValToChar(aHeaders[i]).size() : 0;
    size_t letters = std::max(header, row[i].AsString().size()) + 1;
    widths.push_back(GETTEXTWIDTH(nullptr, std::string(letters, 'B'), font));
  }
  return widths;
}

void TWBrowse::Default() {
  std::string remembered = Alias();
  bool fieldRow = !bLine;
  if (!bLine) {
    if (cAlias.empty()) cAlias = remembered;
    else remembered = cAlias;
    bLine = [](TWBrowse& oBrw) { return _AFIELDS(oBrw); };
    if (!aJustify) {
      // No table to show has raised its error by now; when the error block
      // returns, the browse stays empty.
      Value fields = InAlias(cAlias, [] { return DbStruct(); });
      if (fields.IsArray()) {
        std::vector<bool> justify;
        for (const Value& f : *fields.AsArray()) justify.push_back(AGet(f.AsArray(), 2).AsString() == "N");
        aJustify = justify;
      }
    }
  }
  Array row = bLine(*this);
  size_t n = row.size();
  if (aHeaders.size() < n) {
    Array headers;
    if (!oTreeSource) {
      bool named = !remembered.empty() && !IsArrayAlias(remembered);
      for (size_t i = 1; i <= n; ++i)
        headers.emplace_back(named ? InAlias(remembered, [&] { return FieldName(int(i)); }) : std::to_string(i));
    } else {
      headers.emplace_back("");
    }
    aHeaders = std::move(headers);
  }
  if (!bColSizes && aColSizes.size() < n) aColSizes = DefaultWidths(fieldRow ? FieldValues(cAlias, n) : row);
  if ((nStyle & WS_VSCROLL) || AlwaysVScroll()) {
    oVScroll = TScrollBar::WinNew({.lVertical = true, .oWnd = Self()});
    RefreshLen();
    oVScroll->SetPage(std::min(nRowCount(), nLen - 1), true);
    VSetRange();
  }
  if ((nStyle & WS_HSCROLL) && !oTreeSource) {
    oHScroll = TScrollBar::WinNew({.nMin = 1, .nMax = int(n), .lVertical = false, .oWnd = Self()});
    int total = std::accumulate(aColSizes.begin(), aColSizes.end(), 0);
    oHScroll->SetPage(nWidth() > 0 ? total / nWidth() : 0, true);
  }
  if (!uValue1.IsNil() && bGoTop) bGoTop(*this);
  if (bChange) bChange(*this);
}

int TWBrowse::nRowCount() {
  if (!hWnd) return 0;
  return NWROWS(hWnd, nullptr, FontHandle()) - 1;
}

int TWBrowse::nColumns() { return bLine ? int(bLine(*this).size()) : 0; }

int TWBrowse::Skip(int n) {
  if (bSkip) return bSkip(n, *this);
  return int(InAlias(cAlias, [n] { return DbSkipper(n); }));
}

std::vector<int> TWBrowse::GetColSizes() { return bColSizes ? bColSizes(*this) : aColSizes; }

Value TWBrowse::ReSize(int nSizeType, int width, int height) {
  nRowPos = std::min(nRowPos, std::max(nRowCount(), 1));
  std::vector<int> sizes = GetColSizes();
  int c = std::max(nColPos, 1), sum = 0, last = c;
  while (sum < width && c <= int(sizes.size())) {
    sum += sizes[size_t(c - 1)];
    last = c++;
  }
  nColAct = std::min(nColAct, last);
  if (oHScroll) oHScroll->SetPos(nColAct);
  return TControl::ReSize(nSizeType, width, height);
}

// ---- data sources ----------------------------------------------------------------------

void TWBrowse::SetArray(const ArrayPtr& aArray) {
  nAt = 1;
  cAlias = "ARRAY";
  bLogicLen = [aArray](TWBrowse& oBrw) {
    oBrw.nLen = int(Len(aArray));
    return oBrw.nLen;
  };
  bGoTop = [](TWBrowse& oBrw) { oBrw.nAt = 1; };
  bGoBottom = [](TWBrowse& oBrw) { oBrw.nAt = oBrw.bLogicLen(oBrw); };
  bSkip = [aArray](int n, TWBrowse& oBrw) {
    int len = int(Len(aArray));
    int old = oBrw.nAt.value_or(0);
    int now = std::min(std::max(old + n, 1), len);
    oBrw.nAt = now;
    // An empty array has no row to move to or from.
    return len == 0 ? 0 : now - old;
  };
}

void TWBrowse::SetFilter(const std::string& field, const Value& value1, const Value& value2) {
  cField = field;
  uValue1 = value1;
  uValue2 = value2.IsNil() ? value1 : value2;
  bool range = !uValue1.IsNil();
  if (range && IsWorkArea()) {
    char keyType = InAlias(cAlias, [&] {
      std::string key = IndexKey();
      return key.empty() ? 'U' : Compile("{||" + key + "}").Eval().ValType();
    });
    char fieldType = InAlias(cAlias, [&] { return Compile("{||" + cField + "}").Eval().ValType(); });
    if (keyType != fieldType || keyType != uValue1.ValType() || keyType != uValue2.ValType())
      MsgAlert("TWBrowse SetFilter() types don't match with current Index Key type!");
  }
  if (!IsWorkArea()) {
    bLogicLen = [](TWBrowse&) { return 0; };
    return;
  }
  if (range) {
    bGoTop = [](TWBrowse& oBrw) { InAlias(oBrw.cAlias, [&] { DbSeek(oBrw.uValue1, true); }); };
    bGoBottom = [](TWBrowse& oBrw) { InAlias(oBrw.cAlias, [&] { BRWGOBOTTOM(oBrw.uValue2); }); };
    if (auto skip = BUILDSKIP(cAlias, cField, uValue1, uValue2))
      bSkip = [skip](int n, TWBrowse&) { return skip(n); };
    else
      bSkip = nullptr;
    bLogicLen = [](TWBrowse& oBrw) { return oBrw.RecCount(oBrw.uValue1); };
  } else {
    bGoTop = [](TWBrowse& oBrw) { InAlias(oBrw.cAlias, [] { DbGoTop(); }); };
    bGoBottom = [](TWBrowse& oBrw) { InAlias(oBrw.cAlias, [] { DbGoBottom(); }); };
    bSkip = [](int n, TWBrowse& oBrw) { return int(InAlias(oBrw.cAlias, [n] { return DbSkipper(n); })); };
    bLogicLen = [](TWBrowse& oBrw) { return int(InAlias(oBrw.cAlias, [] { return nx::RecCount(); })); };
  }
  RefreshLen();
  lHitTop = lHitBottom = false;
  if (range) bGoTop(*this);
}

int TWBrowse::RecCount(const Value& uSeek) {
  return InAlias(cAlias, [&] {
    long rec = RecNo();
    Block field = Compile("{||" + cField + "}");
    bool found = DbSeek(uSeek, true);
    int count = !found && (CompareValues(field.Eval(), uValue2, false) > 0 || Eof()) ? 0 : 1;
    while ((!nMaxFilter || count < *nMaxFilter) && Skip(1) == 1) ++count;
    DbGoTo(rec);
    return count;
  });
}

void TWBrowse::SetTree(const std::shared_ptr<BrowseTree>& oTree) {
  oTreeSource = oTree;
  oTreeItem = oTree ? oTree->FirstItem() : nullptr;
  Cargo = Value(oTreeItem);
  lMChange = false;
  bLine = [](TWBrowse& oBrw) { return oBrw.oTreeItem ? oBrw.oTreeItem->GetLabel() : Array{}; };
  bColSizes = [](TWBrowse& oBrw) { return oBrw.oTreeItem ? oBrw.oTreeItem->ColSizes() : std::vector<int>{}; };
  bGoTop = [](TWBrowse& oBrw) {
    oBrw.oTreeItem = oBrw.oTreeSource->FirstItem();
    oBrw.Cargo = Value(oBrw.oTreeItem);
  };
  bGoBottom = [](TWBrowse& oBrw) {
    oBrw.oTreeItem = oBrw.oTreeSource->LastItem();
    oBrw.Cargo = Value(oBrw.oTreeItem);
  };
  bSkip = [](int n, TWBrowse& oBrw) {
    if (!oBrw.oTreeItem) return 0;
    oBrw.oTreeItem = oBrw.oTreeItem->SkipItems(n);
    oBrw.Cargo = Value(oBrw.oTreeItem);
    return n;
  };
  bLogicLen = [](TWBrowse& oBrw) {
    oBrw.nLen = oBrw.oTreeSource ? oBrw.oTreeSource->nCount() : 0;
    return oBrw.nLen;
  };
  auto toggle = [](TWBrowse& oBrw) {
    if (oBrw.oTreeItem && oBrw.oTreeItem->HasTree()) {
      oBrw.oTreeItem->Toggle();
      // The rows below changed: the ends are found again, and the bar
      // stands for the item's place in the new count.
      oBrw.lHitTop = oBrw.lHitBottom = false;
      if (oBrw.RefreshLen() > 0 && oBrw.oVScroll) {
        oBrw.VSetRange();
        oBrw.oVScroll->SetPage(std::min(oBrw.nRowCount(), oBrw.nLen - 1), true);
        oBrw.VSetPos(oBrw.oTreeItem->ItemNo() + 1);
      }
      oBrw.Refresh();
    }
  };
  bLDblClick = [toggle](int, int, int, TWindow& w) {
    toggle(static_cast<TWBrowse&>(w));
    return Value();
  };
  bKeyChar = [toggle](int nKey, int, TWindow& w) {
    if (nKey == VK_RETURN) toggle(static_cast<TWBrowse&>(w));
    return Value();
  };
  if (oHScroll) {
    oHScroll->SetRange(0, 0);
    oHScroll = nullptr;
  }
  if (oTree) oTree->Draw();
}

void TWBrowse::SetCols(const std::vector<std::function<Value()>>& aData, std::optional<Array> headers,
                       std::optional<std::vector<int>> sizes) {
  if (headers) aHeaders = *headers;
  aColSizes = sizes.value_or(std::vector<int>{});
  bLine = [aData](TWBrowse&) { return _ADATA(aData); };
  aJustify = std::vector<bool>(aData.size(), false);
  if (aColSizes.size() < aData.size()) {
    Array row = bLine(*this);
    std::vector<int> computed = DefaultWidths(row);
    for (size_t i = aColSizes.size(); i < computed.size(); ++i) aColSizes.push_back(computed[i]);
  }
  if (oHScroll) oHScroll->SetRange(oHScroll->nMin, int(aData.size()));
}

void TWBrowse::UpStable() {
  int savedRowPos = nRowPos;
  long rec = InAlias(cAlias, [] { return RecNo(); });
  int rows = nRowCount();
  nRowPos = 1;
  GoTop();
  lHitTop = lHitBottom = false;
  bool met = false, atEnd = false;
  InAlias(cAlias, [&] {
    for (int line = 1; !Eof(); ++line) {
      if (RecNo() == rec) {
        nRowPos = line;
        met = true;
        break;
      }
      if (line > rows) {
        DbGoTo(rec);
        nRowPos = savedRowPos;
        return;
      }
      DbSkip(1);
    }
    atEnd = !met;
    if (met || atEnd) DbSkip(-nRowPos);
  });
  if (bChange) bChange(*this);
}

bool TWBrowse::lCloseArea() {
  if (!cAlias.empty()) {
    InAlias(cAlias, [] { DbCloseArea(); });
    cAlias.clear();
  }
  return true;
}

void TWBrowse::RecAdd() {
  if (bAdd) bAdd(*this);
}

// ---- module functions ------------------------------------------------------------------------

Array _AFIELDS(TWBrowse& oBrw) {
  if (oBrw.cAlias.empty()) return {};
  return InAlias(oBrw.cAlias, [&] {
    int fields = FCount();
    if (oBrw.aColSizes.empty()) return Array(size_t(fields));
    Array row(oBrw.aColSizes.size(), Value(""));
    int width = oBrw.nWidth(), used = 0;
    Value structure = DbStruct();
    for (int c = std::max(oBrw.nColPos, 1); c <= int(row.size()) && c <= fields && used < width; ++c) {
      Value value = FieldGet(c);
      std::string type = AGet(AGet(structure.AsArray(), size_t(c)).AsArray(), 2).AsString();
      row[size_t(c - 1)] = type == "M" ? Value(Empty(value) ? "<memo>" : "<Memo>") : Value(cValToChar(value));
      used += oBrw.aColSizes[size_t(c - 1)];
    }
    return row;
  });
}

Array _ADATA(const std::vector<std::function<Value()>>& aData) {
  Array row;
  row.reserve(aData.size());
  for (const auto& f : aData) row.push_back(f ? f() : Value());
  return row;
}

std::function<Value()> GENLOCAL(const ArrayPtr& aArray, int n) {
  return [aArray, n]() { return n >= 1 && size_t(n) <= Len(aArray) ? AGet(aArray, size_t(n)) : Value("  "); };
}

std::function<Value()> GENBLOCK(const LineBlock& bLine, TWBrowse& oBrw, int n) {
  std::weak_ptr<TWBrowse> weak = oBrw.SelfBrw();
  return [bLine, weak, n]() {
    auto brw = weak.lock();
    if (!brw || !bLine) return Value();
    Array row = bLine(*brw);
    return n >= 1 && size_t(n) <= row.size() ? row[size_t(n - 1)] : Value();
  };
}

}  // namespace nx
