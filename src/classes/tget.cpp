#include "classes/tget.h"

#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "classes/btnbmp.h"
#include "classes/button.h"
#include "classes/buttonbmp.h"
#include "classes/cursor.h"
#include "classes/dialog.h"
#include "classes/field_internal.h"
#include "classes/font.h"
#include "classes/scrllbar.h"
#include "classes/setget.h"
#include "classes/simple_internal.h"
#include "native/draw.h"
#include "native/get.h"
#include "native/image.h"
#include "native/msgbox.h"
#include "rt/set.h"
#include "rt/setkey.h"
#include "rt/strings.h"
#include "rt/transform.h"

namespace nx {

using namespace simple;

namespace {

constexpr UINT kSetCueBanner = 0x1501;

bool Shift() { return GetKeyState(VK_SHIFT) & 0x8000; }
bool Ctrl() { return GetKeyState(VK_CONTROL) & 0x8000; }
bool Alt() { return GetKeyState(VK_MENU) & 0x8000; }

void Beep() { MessageBeep(0xFFFFFFFF); }

bool IsEmptyValue(const Value& v) {
  switch (v.type()) {
    case Value::Type::Nil: return true;
    case Value::Type::String: return Trim(v.AsString()).empty();
    case Value::Type::Number: return v.AsNumber() == 0;
    case Value::Type::Date: return v.AsDate().Empty();
    default: return false;
  }
}

COLORREF ColorOf(const Value& c) {
  Value v = c.IsBlock() ? c.Eval() : c;
  return COLORREF(v.AsInt());
}

int DaysIn(int year, int month) {
  for (int d = 31; d > 28; --d)
    if (!MakeDate(year, month, d).Empty()) return d;
  return 28;
}

// A bitmap of that name: a file when one exists, else a resource.
HBITMAP LoadNamedBitmap(const std::string& cName) {
  DWORD attr = GetFileAttributesA(cName.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY)) return READBITMAP(nullptr, cName);
  return LOADBITMAP(GETRESOURCES(), cName.c_str());
}

int NamedBitmapWidth(const std::string& cName) {
  HBITMAP h = cName.empty() ? nullptr : LoadNamedBitmap(cName);
  int n = NBMPWIDTH(h);
  if (h) DeleteObject(h);
  return n;
}

// The built-in action button: a transparent bitmap gets a bar-style bitmap
// button, anything else a bitmap push button showing the bitmap or "...".
TControlPtr MakeDefaultButton(TGet& get, const GetButtonSpec& spec) {
  auto action = spec.bAction;
  if (spec.lTransparent && !spec.cBmpName.empty()) {
    DWORD attr = GetFileAttributesA(spec.cBmpName.c_str());
    bool file = attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
    return TBtnBmp::New({.nTop = spec.nTop, .nLeft = spec.nLeft, .nWidth = spec.nWidth, .nHeight = spec.nHeight,
                         .cResName1 = file ? "" : spec.cBmpName, .cBmpFile1 = file ? spec.cBmpName : "",
                         .bAction = [action](TBtnBmp&) { if (action) action(); },
                         .oWnd = get.Self(), .lTransparent = true});
  }
  auto btn = TButtonBmp::New({.nRow = double(spec.nTop), .nCol = double(spec.nLeft),
                              .cCaption = spec.cBmpName.empty() ? "..." : "", .oWnd = get.Self(),
                              .bAction = [action](TButton&) { if (action) action(); },
                              .nWidth = spec.nWidth, .nHeight = spec.nHeight, .lPixel = true, .lCancel = true,
                              .cBitmap = spec.cBmpName});
  // A push button is made one pixel wider and taller than asked; inside the
  // field it must end exactly at the edge.
  if (btn && btn->hWnd) btn->Move(spec.nTop, spec.nLeft, spec.nWidth, spec.nHeight, true);
  return btn;
}

}  // namespace

TClipGetPtr GETNEW(int, int, SetGet bBlock, const std::string& cVarName, const std::string& cPicture,
                   const std::string&) {
  return std::make_shared<TClipGet>(std::move(bBlock), cVarName, cPicture);
}

void SETGETCOLORFOCUS(std::optional<COLORREF> nClr) {
  TGet::lClrFocus = true;
  if (nClr) TGet::nClrFocus = Value(int64_t(*nClr));
}

// ---- construction ----------------------------------------------------------------------------

template <class Params>
void TGet::InitFields(const Params& p) {
  oGet = GETNEW(20, 20, bSetGet, p.cVarName, p.cPicture);
  cPicture = p.cPicture;
  cVarName = p.cVarName;
  nHelpId = p.nHelpId;
  bValid = p.bValid;
  bWhen = p.bWhen;
  bChange = p.bChanged;
  cMsg = p.cMsg;
  lUpdate_ = p.lUpdate;
  oCursor = p.oCursor;
  lReadOnly = p.lReadOnly;
  lSpinner = p.lSpinner;
  bAction = p.bAction;
  cBmpName = p.cBmpName;
  cCueText = p.cCueText;
  bPostKey = [](TGet&, const std::string& cBuffer) { return Value(cBuffer); };
  COLORREF fore = p.nClrFore.value_or(GetSysColor(COLOR_WINDOWTEXT));
  COLORREF back = p.nClrBack.value_or(GetSysColor(COLOR_WINDOW));
  SetColor(fore, back);
  nClrTextDis = Value(int64_t(fore));
  nClrPaneDis = Value(int64_t(back));
  TakeFont(*this, p.oFont);
}

TGetPtr TGet::New(const TGetParams& p) {
  auto g = std::make_shared<TGet>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  g->oWnd = parent;
  g->bSetGet = p.bSetGet ? p.bSetGet : OwnVar(Value(std::string(50, ' ')));
  Value v = g->bSetGet(std::nullopt);
  g->cCaption = p.cPicture.empty() ? cValToChar(v) : Transform(v, p.cPicture);
  int height = p.lSpinner ? std::max(p.nHeight, 15) : p.nHeight;
  g->nTop = p.lPixel ? int(p.nRow) : int(p.nRow * 13);
  g->nLeft = p.lPixel ? int(p.nCol) : int(p.nCol * 8);
  g->nBottom = g->nTop + height - 1;
  g->nRight = g->nLeft + (p.nWidth ? *p.nWidth - 1 : int((1 + g->cCaption.size()) * 3.5)) + (p.lSpinner ? 20 : 0);
  g->nStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | (p.lReadOnly ? 0 : WS_TABSTOP) |
              (p.lDesign ? WS_CLIPSIBLINGS : 0) | (p.lSpinner ? WS_VSCROLL : 0) | (p.lReadOnly ? ES_READONLY : 0) |
              (p.lPassword ? ES_PASSWORD : 0) | (p.lCenter ? ES_CENTER : p.lRight ? ES_RIGHT : 0);
  if (!p.lNoBorder) {
    if (!ISAPPTHEMED()) {
      g->nStyle |= WS_BORDER;
    } else {
      for (TWindowPtr w = parent; w; w = w->Parent())
        if (std::dynamic_pointer_cast<TDialog>(w)) g->nStyle |= WS_BORDER;
      g->nExStyle |= WS_EX_CLIENTEDGE;
    }
  }
  g->lDrag = g->lDesign = p.lDesign;
  g->lPassword = p.lPassword;
  g->InitFields(p);
  g->cCaption = g->oGet->Buffer();
  if (p.lPassword && !g->oFont) {
    g->oFont = TFont::New({.cFaceName = "Arial", .nHeight = -14, .lBold = true});
  }
  if (!g->CreateOrDefer(parent, "EDIT", [&] {
        if (g->lDesign) g->CheckDots();
      }))
    return g;
  if (p.lSpinner) g->Spinner(p.bUp, p.bDown, p.bMin, p.bMax);
  return g;
}

TGetPtr TGet::ReDefine(const TGetRedefineParams& p) {
  auto g = std::make_shared<TGet>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  g->bSetGet = p.bSetGet ? p.bSetGet : OwnVar();
  if (g->bSetGet(std::nullopt).IsNil()) g->bSetGet(Value(std::string(30, ' ')));
  g->InitFields(p);
  if (p.lSpinner) g->Spinner(p.bUp, p.bDown, p.bMin, p.bMax);
  g->Redefine(p.nId, parent);
  return g;
}

void TGet::Create(const char* cClassName) {
  std::string cls = cClassName ? cClassName : ClassName();
  DWORD style = nStyle ? nStyle : 0xCF0000;
  TWindowPtr parent = Parent();
  if (parent) style |= WS_CHILD;
  int width = nRight == 32768 ? nRight : nRight - nLeft + 1;
  int height = nBottom == 32768 ? nBottom : nBottom - nTop + 1;
  hWnd = MGETCREATE(cls, cCaption, style, nLeft, nTop, width, height, parent ? parent->hWnd : nullptr, nId, hHeap,
                    nExStyle);
  if (!hWnd) {
    WndCreateError(*this);
    return;
  }
  Link();
  if (oFont) SetFont(oFont);
  else GetFont();
  // What a dialog's Initiate does for a dialog item.
  Initiate(nullptr);
}

void TGet::Initiate(HWND hDlg) {
  if (hDlg) {
    TControl::Initiate(hDlg);
    if (!hWnd) return;
    if (nExStyle) SetWindowLongA(hWnd, GWL_EXSTYLE, GetWindowLongA(hWnd, GWL_EXSTYLE) | LONG(nExStyle));
  }
  LONG style = GetWindowLongA(hWnd, GWL_STYLE);
  if (style & ES_PASSWORD) lPassword = true;
  if (lPassword && !(style & ES_PASSWORD)) SendMessageA(hWnd, EM_SETPASSWORDCHAR, WPARAM('*'), 0);
  if (lReadOnly) {
    if (nClrText == GetSysColor(COLOR_WINDOWTEXT) && nClrPane == GetSysColor(COLOR_WINDOW))
      SetColor(GetSysColor(COLOR_GRAYTEXT), GetSysColor(COLOR_BTNFACE));
    SendMessageA(hWnd, EM_SETREADONLY, TRUE, 0);
  }
  if (oGet) {
    DispText();
    const std::string& pic = oGet->Picture();
    if (pic.rfind("@", 0) == 0 && Upper(pic.substr(0, pic.find(' '))).find('R') != std::string::npos) {
      oGet->SetFocus();
      nPos = std::max(oGet->FirstEditable(), 1);
      oGet->KillFocus();
    }
  }
  int right = 1;
  if (bAction) right = nBottom - nTop + 1;
  SetMargins(1, right);
  if (oVScroll) {
    oVScroll->SetRange(1, 3);
    oVScroll->SetPos(2);
  }
  auto dialog = hDlg ? std::dynamic_pointer_cast<TDialog>(Parent()) : nullptr;
  CreateButton(dialog && dialog->lResize16 && dialog->cResName);
  if (!cCueText.empty()) SetCueBanner(true, cCueText);
}

std::string TGet::cToChar(const std::string& cClassName) {
  return TControl::cToChar(cClassName.empty() ? "EDIT" : cClassName);
}

Value TGet::Destroy() {
  hHeap = nullptr;
  return TControl::Destroy();
}

// ---- helpers ---------------------------------------------------------------------------------------

WNDPROC TGet::OldProc() const { return nOldProc; }

LRESULT TGet::Default(UINT nMsg, WPARAM w, LPARAM l) {
  if (!hWnd) return 0;
  WNDPROC proc = OldProc();
  return proc ? CallWindowProcA(proc, hWnd, nMsg, w, l) : DefWindowProcA(hWnd, nMsg, w, l);
}

std::pair<int, int> TGet::Sel() const {
  DWORD s = 0, e = 0;
  if (hWnd) SendMessageA(hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return {int(s), int(e)};
}

std::string TGet::EditPicture() const {
  if (!Numeric() || cPicture.find(',') == std::string::npos) return cPicture;
  std::string p = cPicture;
  p.erase(std::remove(p.begin(), p.end(), ','), p.end());
  return p;
}

Value TGet::Changed(const Value& nKey, const Value& nFlags) {
  return bChange ? bChange(nKey, nFlags, *this) : Value();
}

void TGet::ShowCaretShape() {
  if (!hWnd || GetFocus() != hWnd) return;
  int h = nGetChrHeight();
  if (h <= 0) h = 16;
  DestroyCaret();
  if (SetInsert()) CreateCaret(hWnd, nullptr, 6, h - 1);
  else CreateCaret(hWnd, nullptr, 2, h);
  ShowCaret(hWnd);
  if (oGet) SetPos(oGet->Pos());
}

void TGet::ReadBack(bool lPad) {
  if (!oGet || !hWnd || lPassword) return;
  if (!oGet->HasFocus()) oGet->SetFocus();
  std::string text = GetText();
  size_t len = oGet->Buffer().size();
  if (lPad && oGet->Type() == 'C' && text.size() < len) text.append(len - text.size(), ' ');
  oGet->Buffer(text);
  SetWindowTextA(hWnd, oGet->Buffer().c_str());
  oGet->Assign();
}

// ---- value -----------------------------------------------------------------------------------------------

void TGet::Refresh(bool) {
  if (!oGet) return;
  bool had = oGet->HasFocus();
  oGet->SetFocus();
  oGet->UpdateBuffer();
  if (!had && GetFocus() != hWnd) oGet->KillFocus();
  DispText();
  if (GetFocus() == hWnd) GoHome();
}

std::string TGet::cText() {
  std::string text = hWnd ? GetText() : cCaption;
  if (!cCueText.empty() && text.empty() && oGet) return oGet->Buffer();
  return text;
}

void TGet::cText(const Value& uValue) {
  if (oGet) oGet->VarPut(uValue);
  else TControl::VarPut(uValue);
  Refresh();
}

void TGet::VarPut(const Value& uValue) { TControl::VarPut(uValue); }

void TGet::Assign() {
  if (oGet) oGet->Assign();
}

void TGet::UnDo() {
  if (oGet) cText(oGet->Original());
}

// ---- caret and selection -----------------------------------------------------------------------------

void TGet::GoHome() {
  if (!oGet) return;
  if (oGet->HasFocus()) {
    oGet->Home();
    if (Numeric()) oGet->Clear(true);
  }
  SetPos(oGet->HasFocus() ? oGet->Pos() : 1);
}

void TGet::SetPos(int nStart, std::optional<int> nEnd) {
  int e = nEnd.value_or(nStart);
  if (hWnd) SendMessageA(hWnd, EM_SETSEL, WPARAM(std::max(nStart - 1, 0)), LPARAM(std::max(e - 1, 0)));
  nPos = nStart;
  if (oGet && oGet->HasFocus()) oGet->Pos(nStart);
}

void TGet::SetSel(int nStart, std::optional<int> nEnd) {
  if (hWnd) SendMessageA(hWnd, EM_SETSEL, WPARAM(nStart), LPARAM(nEnd.value_or(nStart)));
  nPos = nStart;
}

void TGet::HideSel() {
  if (hWnd) SendMessageA(hWnd, EM_SETSEL, WPARAM(-1), 0);
}

void TGet::SelectAll() {
  if (hWnd) SendMessageA(hWnd, EM_SETSEL, 0, LPARAM(-1));
}

std::string TGet::GetSel() {
  auto [s, e] = Sel();
  std::string text = GetText();
  if (s >= e || size_t(s) >= text.size()) return {};
  return text.substr(size_t(s), size_t(e - s));
}

void TGet::GetSelPos(int& nStart, int& nEnd) { std::tie(nStart, nEnd) = Sel(); }

void TGet::GetDelSel(int nStart, int nEnd) {
  if (!oGet || nEnd <= nStart) return;
  if (!oGet->HasFocus()) oGet->SetFocus();
  oGet->DeleteRange(nStart + 1, nEnd);
  oGet->Assign();
  nPos = oGet->Pos();
}

void TGet::EditUpdate() {
  if (!oGet) return;
  if (oGet->HasFocus()) DispText();
  int pos = oGet->Pos();
  SetPos(pos);
  // A full buffer: the caret goes after the last character.
  int len = int(oGet->Buffer().size());
  if (oGet->TypeOut() && pos >= len && hWnd) SendMessageA(hWnd, EM_SETSEL, WPARAM(len), LPARAM(len));
}

void TGet::DispText() {
  if (!hWnd || !oGet) return;
  std::string text;
  if (lPassword && oGet->Type() == 'C') {
    text.assign(Trim(oGet->Buffer()).size(), ISAPPTHEMED() ? char(149) : '*');
  } else if (!cCueText.empty() && !lFocused && IsEmptyValue(oGet->VarGet())) {
    text.clear();
  } else {
    text = oGet->Buffer();
  }
  if (GetText() != text) {
    auto [s, e] = Sel();
    SetWindowTextA(hWnd, text.c_str());
    SendMessageA(hWnd, EM_SETSEL, WPARAM(s), LPARAM(e));
  }
}

void TGet::SetMargins(int nLeft_, int nRight_) {
  if (hWnd) SendMessageA(hWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(nLeft_, nRight_));
}

std::pair<int, int> TGet::GetMargins() {
  LRESULT m = hWnd ? SendMessageA(hWnd, EM_GETMARGINS, 0, 0) : 0;
  return {LOWORD(m), HIWORD(m)};
}

void TGet::LimitText() {
  if (hWnd) SendMessageA(hWnd, EM_LIMITTEXT, 0, 0);
}

void TGet::SetCueBanner(bool lShowFocused, const std::string& cText_) {
  cCueText = cText_;
  if (!hWnd) return;
  std::wstring wide(cText_.begin(), cText_.end());
  SendMessageW(hWnd, kSetCueBanner, WPARAM(lShowFocused), reinterpret_cast<LPARAM>(wide.c_str()));
  DispText();
}

// ---- clipboard and file --------------------------------------------------------------------------------

void TGet::Copy() {
  if (lPassword) return;  // a password never leaves the field
  std::string sel = GetSel();
  if (sel.empty()) return;
  field::PutClipboard(hWnd, sel);
}

void TGet::Cut() {
  if (!field::MayCut(lReadOnly)) return;
  auto [s, e] = Sel();
  if (s >= e) return;
  Copy();
  GetDelSel(s, e);
  EditUpdate();
  Changed(Value(), Value());
}

void TGet::Paste(std::optional<std::string> cText_) {
  if (lReadOnly || !oGet) return;
  std::string text;
  if (cText_) {
    text = *cText_;
  } else {
    auto clip = field::ClipboardText(hWnd);
    if (!clip) return;
    text = *clip;
  }
  text = AllTrim(text);
  if (text.empty()) return;
  if (!oGet->HasFocus()) oGet->SetFocus();
  auto [s, e] = Sel();
  if (e > s) GetDelSel(s, e);
  int at = std::clamp(oGet->Pos(), 1, int(oGet->Buffer().size()) + 1);
  std::string cur = oGet->Buffer();
  std::string joined = cur.substr(0, size_t(at - 1)) + text + cur.substr(size_t(at - 1));
  switch (oGet->Type()) {
    case 'N': {
      oGet->VarPut(Val(AllTrim(joined)));
      oGet->UpdateBuffer();
      break;
    }
    case 'D': {
      oGet->VarPut(Value(CToD(AllTrim(joined))));
      oGet->UpdateBuffer();
      break;
    }
    default:
      // The picture checks every character: what a position does not take
      // becomes a blank.
      oGet->Buffer(joined);
      oGet->Pos(at + int(text.size()));
      oGet->Assign();
      break;
  }
  EditUpdate();
  Changed(Value(), Value());
}

std::string TGet::SelFile(std::optional<std::string> cMask, const std::string& cTitle) {
  Value v = VarGet();
  std::string mask = cMask ? *cMask : v.IsNil() ? "*.*" : Trim(cValToChar(v));
  if (mask.empty()) mask = "*.*";
  char file[MAX_PATH] = {};
  std::string filter = mask + '\0' + mask + '\0' + '\0';
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = hWnd;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = cTitle.c_str();
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameA(&ofn)) return {};
  std::string name = file;
  cText(Value(name));
  return name;
}

// ---- spinner -------------------------------------------------------------------------------------------

void TGet::Spinner(GetActionHook bUp, GetActionHook bDown, GetBoundHook bMin_, GetBoundHook bMax_) {
  if (lReadOnly) return;
  bMin = std::move(bMin_);
  bMax = std::move(bMax_);
  lSpinner = true;
  std::weak_ptr<TGet> weak = SelfGet();
  auto step = [weak](GetActionHook hook, bool up) {
    return [weak, hook, up]() -> Value {
      TGetPtr g = weak.lock();
      if (!g || !g->hWnd) return Value();
      if (GetFocus() != g->hWnd) {
        ::SetFocus(g->hWnd);
        if (GetFocus() != g->hWnd) return Value();
      }
      if (hook) hook(*g);
      else if (up) g->Inc();
      else g->Dec();
      if (g->oVScroll) g->oVScroll->SetPos(2);  // both arrows stay live
      return Value();
    };
  };
  oVScroll = TScrollBar::WinNew({.nMin = 1, .nMax = 3, .lVertical = true, .oWnd = Self(),
                                 .bUp = step(bUp, true), .bDown = step(bDown, false)});
  if (hWnd) oVScroll->SetPos(2);
}

TGet& TGet::Inc() {
  if (!oGet || lReadOnly || oGet->BadDate()) return *this;
  if (!oGet->HasFocus()) oGet->SetFocus();
  oGet->Assign();
  Value before = oGet->VarGet();
  if (oGet->Type() == 'N') ScrollNumber(1);
  else if (oGet->Type() == 'D') ScrollDate(1);
  if (!(oGet->VarGet() == before)) Changed(Value(), Value());
  return *this;
}

TGet& TGet::Dec() {
  if (!oGet || lReadOnly || oGet->BadDate()) return *this;
  if (!oGet->HasFocus()) oGet->SetFocus();
  oGet->Assign();
  Value before = oGet->VarGet();
  if (oGet->Type() == 'N') ScrollNumber(-1);
  else if (oGet->Type() == 'D') ScrollDate(-1);
  if (!(oGet->VarGet() == before)) Changed(Value(), Value());
  return *this;
}

void TGet::ScrollNumber(int n) {
  if (!oGet || n == 0) return;
  if (!oGet->HasFocus()) oGet->SetFocus();
  int pos = oGet->Pos(), dec = oGet->DecPos();
  int decimals = dec ? int(oGet->Buffer().size()) - dec : 0;
  // The digit under the caret sets the step: the point itself and the
  // first decimal step tenths, the second hundredths, and so on.
  int place = dec && pos >= dec ? std::max(1, pos - dec) : 0;
  double step = std::pow(10.0, -place);
  Value v = oGet->VarGet();
  double scale = std::pow(10.0, std::max(decimals, place));
  double next = std::round((v.AsNumber() + (n > 0 ? step : -step)) * scale) / scale;
  if ((n > 0 && bMax && next > bMax().AsNumber()) || (n < 0 && bMin && next < bMin().AsNumber())) {
    Beep();
    return;
  }
  Value nv = v.IsInteger() && place == 0 ? Value(int64_t(next)) : Value(next, std::max(decimals, v.Decimals()));
  oGet->VarPut(nv);
  oGet->UpdateBuffer();
  oGet->Pos(pos);
  DispText();
  SetPos(oGet->Pos());
}

void TGet::ScrollDate(int n) {
  if (!oGet || n == 0) return;
  if (!oGet->HasFocus()) oGet->SetFocus();
  std::string fmt = Upper(oGet->DateFormat());
  int pos = oGet->Pos();
  auto part = [&](int i) { return i >= 1 && i <= int(fmt.size()) ? fmt[size_t(i - 1)] : ' '; };
  char c = part(pos);
  if (c != 'D' && c != 'M' && c != 'Y') c = part(pos - 1);
  if (c != 'D' && c != 'M' && c != 'Y') return;
  Date d = oGet->VarGet().AsDate();
  if (d.Empty()) d = Today();
  int y = 0, m = 0, day = 0;
  SplitDate(d, y, m, day);
  Date next;
  if (c == 'D') {
    next = Date{d.julian + n};
  } else if (c == 'M') {
    m += n > 0 ? 1 : -1;
    if (m > 12) m = 1, ++y;
    if (m < 1) m = 12, --y;
    next = MakeDate(y, m, std::min(day, DaysIn(y, m)));
  } else {
    y += n > 0 ? 1 : -1;
    next = MakeDate(y, m, std::min(day, DaysIn(y, m)));
  }
  if (next.Empty()) return;
  if ((n > 0 && bMax && next > bMax().AsDate()) || (n < 0 && bMin && !bMin().AsDate().Empty() && next < bMin().AsDate())) {
    Beep();
    return;
  }
  oGet->VarPut(Value(next));
  oGet->UpdateBuffer();
  oGet->Pos(pos);
  DispText();
  // The stepped part stays selected; the next digit typed replaces it.
  size_t first = fmt.find(c), last = fmt.rfind(c);
  nPos = pos;
  if (hWnd && first != std::string::npos)
    SendMessageA(hWnd, EM_SETSEL, WPARAM(first), LPARAM(last + 1));
}

// ---- colours, button, geometry ----------------------------------------------------------------------------

void TGet::SetColorFocus(std::optional<COLORREF> nClr) { SETGETCOLORFOCUS(nClr); }

void TGet::CreateButton(bool lWidenedNext) {
  if (!bAction || !hWnd || oBtn) return;
  int height = nBottom - nTop + 1;
  RECT cr{};
  GetClientRect(hWnd, &cr);
  GetButtonSpec spec;
  spec.cBmpName = cBmpName;
  spec.lTransparent = lBtnTransparent;
  spec.nTop = 0;
  spec.nHeight = std::max(int(cr.bottom), 4);
  spec.nWidth = spec.nHeight;
  if (lAdjustBtn && !nBmpWidth) nBmpWidth = NamedBitmapWidth(cBmpName);
  if (lAdjustBtn && nBmpWidth > 0) {
    spec.nWidth = nBmpWidth + 5;
    SetMargins(1, spec.nWidth);
  } else {
    SetMargins(1, height);
  }
  spec.nLeft = int(cr.right) - spec.nWidth;
  if (lWidenedNext) {
    // Placed for the get's widened width: it ends 5 pixels short of it.
    const int h = nHeight();
    spec.nWidth = spec.nHeight = std::max(h - 5, 4);
    spec.nLeft = int(nWidth() * 1.167) - h;
  }
  std::weak_ptr<TGet> weak = SelfGet();
  spec.bAction = [weak] {
    TGetPtr g = weak.lock();
    if (!g) return;
    if (g->bAction) g->bAction(*g);
    if (g->hWnd) ::SetFocus(g->hWnd);
  };
  // The field must not paint over its button.
  SetWindowLongA(hWnd, GWL_STYLE, GetWindowLongA(hWnd, GWL_STYLE) | WS_CLIPCHILDREN);
  oBtn = ActionButtonMaker ? ActionButtonMaker(*this, spec) : MakeDefaultButton(*this, spec);
  if (oBtn) oBtn->lCancel = true;
}

void TGet::Move(int nTop_, int nLeft_, int nWidth_, int nHeight_, bool lRepaint) {
  TControl::Move(nTop_, nLeft_, nWidth_, nHeight_, lRepaint);
  MOVEGET(hWnd);
}

// ---- focus and validation -----------------------------------------------------------------------------------

bool TGet::lValid() {
  TControlPtr keep = SelfCtl();
  if (oGet && oGet->BadDate()) {
    if (!oGet->HasFocus()) oGet->SetFocus();
    Beep();
    return false;
  }
  if (oGet && oGet->HasFocus()) oGet->Assign();
  bool ok = bValid ? bValid(*this) : true;
  if (!ok) {
    if (TWindowPtr parent = Parent()) parent->nLastKey = 0;
  }
  return ok;
}

Value TGet::GotFocus(HWND hWndOld) {
  TControlPtr keep = SelfCtl();
  lFocused = true;
  if (!lDrag && oGet) {
    if (!oGet->HasFocus()) {
      std::string pic = EditPicture();
      lGrouped_ = pic != cPicture;
      if (lGrouped_) oGet->Picture(pic);
      oGet->SetFocus();
    }
    if (lClrFocus) {
      nOldClrPane = nClrPane;
      SetColor(nClrText, ColorOf(nClrFocus));
    }
    DispText();
    Default(WM_SETFOCUS, reinterpret_cast<WPARAM>(hWndOld), 0);
    if (oGet->Type() == 'N' || oGet->Type() == 'D' || oGet->Pos() != 1) nPos = oGet->Pos();
    SetPos(nPos);
    if (SetInsert()) ShowCaretShape();
  } else {
    Default(WM_SETFOCUS, reinterpret_cast<WPARAM>(hWndOld), 0);
    if (lDrag) HideCaret(hWnd);
  }
  TControl::GotFocus(hWndOld);
  return Value(0);
}

Value TGet::LostFocus(HWND hWndNew) {
  TControlPtr keep = SelfCtl();
  TControl::LostFocus(hWndNew);
  lFocused = false;
  if (!oGet || lDrag) return Value();
  if (oGet->HasFocus()) {
    if (!lPassword && hWnd && GetText() != oGet->Buffer()) oGet->Buffer(GetText());
    if (!oGet->BadDate() && !lReadOnly && (oGet->Changed() || !(oGet->UnTransform() == oGet->Original())))
      oGet->Assign();
  }
  if (lClrFocus && nOldClrPane) SetColor(nClrText, *std::exchange(nOldClrPane, std::nullopt));
  if (oGet->BadDate()) {
    oGet->Pos(1);  // the field keeps its state until the date is mended
  } else {
    oGet->KillFocus();
    if (lGrouped_) {
      oGet->Picture(cPicture);
      lGrouped_ = false;
    }
  }
  DispText();
  if (hWnd) InvalidateRect(hWnd, nullptr, TRUE);
  return Value();
}

// ---- keys ---------------------------------------------------------------------------------------------------

Value TGet::GetDlgCode(WPARAM nKey) {
  TWindowPtr parent = Parent();
  // Only the moving keys: a character code asked about (a "(" is 40, as Down
  // is) must not pass for one.
  bool moving = nKey == VK_RETURN || nKey == VK_TAB || nKey == VK_UP || nKey == VK_DOWN;
  if (moving && parent && !parent->lValidating && parent->aControls.size() > 1) parent->nLastKey = int(nKey);
  return Value(DLGC_WANTALLKEYS);
}

Value TGet::KeyChar(int nKey, int nFlags) {
  TControlPtr keep = SelfCtl();
  TWindowPtr parent = Parent();
  if (bKeyChar && bKeyChar(nKey, nFlags, *this) == Value(0)) return Value(0);
  if (nKey == VK_ESCAPE) {
    if (parent) parent->KeyChar(nKey, nFlags);
    return Value(1);
  }
  if (oGet && oGet->Picture().rfind("@", 0) == 0) {
    std::string funcs = oGet->Picture().substr(0, oGet->Picture().find(' '));
    if (funcs.find('!') != std::string::npos && nKey >= 32 && nKey <= 255) {
      char c = char(nKey);
      CharUpperBuffA(&c, 1);
      nKey = static_cast<unsigned char>(c);
    }
  }
  if (Block bKey = SetKey(nKey); bKey && (nFlags & 0x01000000)) {
    bKey.Eval({Value(std::string("TGET")), Value(0), Value(Self())});
    return Value(0);
  }
  bool tab = nKey == VK_TAB, enter = nKey == VK_RETURN;
  if (lReadOnly && !tab && !enter) return Value(0);
  if (nKey == VK_BACK) return Value(0);
  if (tab && Shift()) {
    Value r = bChange && oGet && oGet->Changed() ? Changed(Value(nKey), Value(nFlags)) : Value(true);
    if (!(r.IsLogical() && !r.AsLogical()) && parent) parent->GoPrevCtrl(hWnd);
    return Value(0);
  }
  if (tab || enter) {
    Value r = bChange && oGet && oGet->Changed() ? Changed(Value(nKey), Value(nFlags)) : Value(true);
    if (r.IsLogical() && !r.AsLogical()) return Value(0);
    if (parent) parent->GoNextCtrl(hWnd);
    if (enter) TControl::KeyChar(nKey, nFlags);
    return Value(0);
  }
  switch (nKey) {
    case 1: SelectAll(); return Value(0);  // Ctrl+A
    case 3: Copy(); return Value(0);       // Ctrl+C
    case 22:                               // Ctrl+V, Ctrl+X: KeyDown did them
    case 24:
    case 25:
    case 26: return Value(0);
    default: break;
  }
  if (nKey < 32 || nKey > 255) return TControl::KeyChar(nKey, nFlags);
  if (!oGet) return Value(0);
  if (!oGet->HasFocus()) oGet->SetFocus();
  if (oGet->Pos() > int(oGet->Buffer().size())) return Value(0);
  if (auto [s, e] = Sel(); e > s) {
    GetDelSel(s, e);
    EditUpdate();
  }
  oGet->ApplyKey(nKey);
  if (oGet->Rejected()) {
    if (SetBell()) Beep();
  } else {
    oGet->Assign();
  }
  EditUpdate();
  if (oGet->TypeOut() && !oGet->Rejected()) {
    if (!SetConfirm()) {
      if (parent) {
        parent->nLastKey = VK_RETURN;
        parent->GoNextCtrl(hWnd);
      }
    } else if (SetBell()) {
      Beep();
    }
  }
  Value r = Changed(Value(nKey), Value(nFlags));
  if (r.IsLogical() && !r.AsLogical()) return Value(0);
  if (bPostKey) bPostKey(*this, oGet->Buffer());
  return Value(0);
}

Value TGet::KeyDown(int nKey, int nFlags) {
  TControlPtr keep = SelfCtl();
  TWindowPtr parent = Parent();
  nLastKey = nKey;
  if (bKeyDown && bKeyDown(nKey, nFlags, *this) == Value(0)) return Value(0);
  if (!oGet || lDrag) return TControl::KeyDown(nKey, nFlags);
  if (!oGet->HasFocus() && GetFocus() == hWnd) oGet->SetFocus();
  switch (nKey) {
    case VK_PRIOR:
    case VK_NEXT:
      if (lSpinner) nKey == VK_PRIOR ? Dec() : Inc();
      return TControl::KeyDown(nKey, nFlags);
    case VK_TAB: return Value(0);  // its character moves on, unless bChange holds it
    case VK_UP:
    case VK_DOWN:
      if (parent && parent->aControls.size() > 1) {
        if (nKey == VK_UP) parent->GoPrevCtrl(hWnd);
        else parent->GoNextCtrl(hWnd);
        return Value(1);
      }
      return Value(0);
    case VK_LEFT:
    case VK_RIGHT:
      if (Shift()) {
        Default(WM_KEYDOWN, WPARAM(nKey), LPARAM(nFlags));
        oGet->Pos(Sel().second + 1);
        return Value(0);
      }
      if (nKey == VK_LEFT) Ctrl() ? oGet->WordLeft() : oGet->Left();
      else Ctrl() ? oGet->WordRight() : oGet->Right();
      EditUpdate();
      // At the end of a full buffer the caret goes past the last character.
      if (nKey == VK_RIGHT && oGet->TypeOut()) {
        int len = int(oGet->Buffer().size());
        SendMessageA(hWnd, EM_SETSEL, WPARAM(len), LPARAM(len));
      }
      return Value(0);
    case VK_INSERT:
      if (Shift() && !Alt()) {
        if (!lReadOnly) SendMessageA(hWnd, WM_PASTE, 0, 0);
        return Value(0);
      }
      if (!Ctrl()) {
        Set(_SET_INSERT, Value(!SetInsert()));
        ShowCaretShape();
        return Value(0);
      }
      Copy();  // Ctrl+Insert
      return Value(0);
    case 'V':
    case 'X':
      if (Ctrl() && !Alt()) {
        if (!lReadOnly) SendMessageA(hWnd, nKey == 'V' ? WM_PASTE : WM_CUT, 0, 0);
        return Value(0);
      }
      return TControl::KeyDown(nKey, nFlags);
    case VK_HOME:
    case VK_END:
      if (Shift()) {
        Default(WM_KEYDOWN, WPARAM(nKey), LPARAM(nFlags));
        oGet->Pos(Sel().second + 1);
        return Value(0);
      }
      if (nKey == VK_HOME) oGet->Home();
      else oGet->End();
      SetPos(oGet->Pos());
      if (nKey == VK_END && int(Trim(oGet->Buffer()).size()) == int(oGet->Buffer().size())) {
        int len = int(oGet->Buffer().size());
        SendMessageA(hWnd, EM_SETSEL, WPARAM(len), LPARAM(len));
      }
      return Value(0);
    case VK_DELETE:
    case VK_BACK: {
      if (lReadOnly) return Value(0);
      auto [s, e] = Sel();
      if (e > s) {
        if (nKey == VK_DELETE && Shift()) Copy();
        GetDelSel(s, e);
      } else if (nKey == VK_DELETE) {
        if (oGet->Pos() <= int(oGet->Buffer().size())) oGet->Delete();
      } else {
        oGet->BackSpace();
      }
      oGet->Assign();
      EditUpdate();
      Changed(Value(nKey), Value(nFlags));
      return Value(0);
    }
    default: return TControl::KeyDown(nKey, nFlags);
  }
}

Value TGet::KeyUp(WPARAM nKey, LPARAM) {
  if (nKey == VK_UP || nKey == VK_DOWN) return Value(1);
  return Value();
}

// ---- mouse ----------------------------------------------------------------------------------------------------

Value TGet::LButtonDown(int nRow, int nCol, int nKeyFlags) {
  TControlPtr keep = SelfCtl();
  if (lDrag) return TControl::LButtonDown(nRow, nCol, nKeyFlags);
  if (TWindowPtr parent = Parent()) parent->nLastKey = 1002;
  Default(WM_LBUTTONDOWN, WPARAM(nKeyFlags), MAKELPARAM(nCol, nRow));
  nPos = Sel().second + 1;
  if (oGet && oGet->HasFocus()) {
    if (!Numeric() && nPos == 1) nPos = std::max(oGet->FirstEditable(), 1);
    oGet->Pos(nPos);
  }
  if (bLClicked) bLClicked(nRow, nCol, nKeyFlags, *this);
  return Value(1);
}

Value TGet::LButtonUp(int nRow, int nCol, int nKeyFlags) {
  TControlPtr keep = SelfCtl();
  if (lDrag) return TControl::LButtonUp(nRow, nCol, nKeyFlags);
  Default(WM_LBUTTONUP, WPARAM(nKeyFlags), MAKELPARAM(nCol, nRow));
  if (oGet && oGet->HasFocus()) {
    auto [s, e] = Sel();
    std::string text = GetText();
    int len = int(oGet->Buffer().size());
    int at = std::min(e + 1, len);
    if (Trim(text).empty() || text == "  /  /" || text == "0") at = 1;
    if (e > s) {
      oGet->Pos(std::min(s + 1, len));  // a dragged selection stays as it is
    } else {
      oGet->Pos(at);
      SetPos(oGet->Pos());
    }
  }
  return Value(0);
}

Value TGet::RButtonDown(int nRow, int nCol, int nKeyFlags) {
  return field::RightClick(*this, nRow, nCol, nKeyFlags).value_or(Value());
}

Value TGet::MouseMove(int nRow, int nCol, int nKeyFlags) {
  if (lDrag) return TControl::MouseMove(nRow, nCol, nKeyFlags);
  if (!cMsg.empty()) SetMsg(cMsg);
  SetCursor(oCursor && oCursor->hCursor ? oCursor->hCursor : LoadCursorA(nullptr, MAKEINTRESOURCEA(32513)));
  CheckToolTip();
  if (bMMoved) bMMoved(nRow, nCol, nKeyFlags, *this);
  return Value();
}

// ---- messages and painting -------------------------------------------------------------------------------------

Value TGet::HandleEvent(UINT nMsg, WPARAM w, LPARAM l) {
  switch (nMsg) {
    case WM_CUT:
      Cut();
      return Value(0);
    case WM_PASTE:
      if (GetFocus() == hWnd) Paste();
      return Value(0);
    case WM_CLEAR:
      if (!lReadOnly) {
        auto [s, e] = Sel();
        GetDelSel(s, e);
        EditUpdate();
        Changed(Value(), Value());
      }
      return Value(0);
    case EM_UNDO:
      UnDo();
      return Value(0);
    default: return TControl::HandleEvent(nMsg, w, l);
  }
}

Value TGet::Display() {
  if (!hWnd || IsWindowEnabled(hWnd)) return Value();
  // A disabled field: the library draws its text in the disabled colours.
  PAINTSTRUCT ps{};
  HDC dc = ::BeginPaint(hWnd, &ps);
  RECT r{};
  GetClientRect(hWnd, &r);
  COLORREF text = GetSysColor(COLOR_GRAYTEXT), pane = GetSysColor(COLOR_WINDOW);
  if (!lDisColors) {
    COLORREF t = ColorOf(nClrTextDis), p = ColorOf(nClrPaneDis);
    text = t ? t : nClrText;
    pane = p ? p : nClrPane;
  }
  HBRUSH brush = CreateSolidBrush(pane);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  HGDIOBJ oldFont = SelectObject(dc, FontOf(*this) ? static_cast<HGDIOBJ>(FontOf(*this)) : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, text);
  SetBkMode(dc, TRANSPARENT);
  std::string cap = GetText();
  LONG style = GetWindowLongA(hWnd, GWL_STYLE);
  int width = r.right - (lSpinner ? GetSystemMetrics(SM_CXVSCROLL) : 0) - (bAction ? r.bottom : 0);
  SIZE size{};
  GetTextExtentPoint32A(dc, cap.data(), int(cap.size()), &size);
  int x = 2;
  if (style & ES_CENTER) x = (width - 3 - size.cx) / 2;
  else if (style & ES_RIGHT) x = width - 7 - size.cx;
  TextOutA(dc, x, 1, cap.data(), int(cap.size()));
  SelectObject(dc, oldFont);
  if (bPainted) bPainted(dc, cPS, *this);
  ::EndPaint(hWnd, &ps);
  return Value(0);
}

}  // namespace nx
