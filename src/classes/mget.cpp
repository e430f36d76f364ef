#include "classes/mget.h"

#include <algorithm>
#include <fstream>

#include "classes/button.h"
#include "classes/dialog.h"
#include "classes/field_internal.h"
#include "classes/font.h"
#include "classes/menu.h"
#include "classes/menuitem.h"
#include "classes/printer.h"
#include "classes/say.h"
#include "classes/setget.h"
#include "classes/simple_internal.h"
#include "classes/tget.h"
#include "native/get.h"
#include "native/msgbox.h"
#include "rt/set.h"
#include "rt/setkey.h"
#include "rt/strings.h"

namespace nx {

using namespace simple;

namespace {

bool Shift() { return GetKeyState(VK_SHIFT) & 0x8000; }
bool Ctrl() { return GetKeyState(VK_CONTROL) & 0x8000; }
bool Alt() { return GetKeyState(VK_MENU) & 0x8000; }

std::string TextOf(const Value& v) { return v.IsNil() ? std::string() : Trim(cValToChar(v)); }

}  // namespace

TMultiGetPtr TMultiGet::New(const TMultiGetParams& p) {
  auto m = std::make_shared<TMultiGet>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  m->oWnd = parent;
  m->bSetGet = p.bSetGet ? p.bSetGet : OwnVar(Value(std::string()));
  m->cCaption = TextOf(m->bSetGet(std::nullopt));
  m->nTop = p.lPixel ? int(p.nRow) : int(p.nRow * 13);
  m->nLeft = p.lPixel ? int(p.nCol) : int(p.nCol * 8);
  m->nBottom = m->nTop + p.nHeight.value_or(11);
  m->nRight = m->nLeft + p.nWidth.value_or(int(m->cCaption.size() * 3.5));
  m->nStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN | (p.lReadOnly ? 0 : WS_TABSTOP) |
              (p.lNoVScroll ? 0 : WS_VSCROLL) | (p.lDesign ? WS_CLIPSIBLINGS : 0) | (p.lHScroll ? WS_HSCROLL : 0) |
              (p.lCenter ? ES_CENTER : p.lRight ? ES_RIGHT : 0) | (p.lReadOnly ? ES_READONLY : 0);
  if (!p.lNoBorder) {
    if (!ISAPPTHEMED()) {
      m->nStyle |= WS_BORDER;
    } else {
      for (TWindowPtr w = parent; w; w = w->Parent())
        if (std::dynamic_pointer_cast<TDialog>(w)) m->nStyle |= WS_BORDER;
      m->nExStyle |= WS_EX_CLIENTEDGE;
    }
  }
  m->bChange = p.bChanged;
  m->bValid = p.bValid;
  m->bWhen = p.bWhen;
  m->cMsg = p.cMsg;
  m->lUpdate_ = p.lUpdate;
  m->oCursor = p.oCursor;
  m->lReadOnly = p.lReadOnly;
  m->lDrag = m->lDesign = p.lDesign;
  m->nPos = 0;
  m->SetColor(p.nClrFore.value_or(GetSysColor(COLOR_WINDOWTEXT)), p.nClrBack.value_or(GetSysColor(COLOR_WINDOW)));
  TakeFont(*m, p.oFont);
  m->CreateOrDefer(parent, "EDIT", [&] {
    if (m->lDesign) m->CheckDots();
  });
  return m;
}

TMultiGetPtr TMultiGet::ReDefine(const TMultiGetRedefineParams& p) {
  auto m = std::make_shared<TMultiGet>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  m->bSetGet = p.bSetGet ? p.bSetGet : OwnVar(Value(std::string()));
  m->nHelpId = p.nHelpId;
  m->bChange = p.bChanged;
  m->bValid = p.bValid;
  m->bWhen = p.bWhen;
  m->cMsg = p.cMsg;
  m->lUpdate_ = p.lUpdate;
  m->oCursor = p.oCursor;
  m->lReadOnly = p.lReadOnly;
  m->SetColor(p.nClrFore.value_or(GetSysColor(COLOR_WINDOWTEXT)), p.nClrBack.value_or(GetSysColor(COLOR_WINDOW)));
  TakeFont(*m, p.oFont);
  m->Redefine(p.nId, parent);
  return m;
}

void TMultiGet::Create(const char* cClassName) {
  std::string cls = cClassName ? cClassName : "EDIT";
  TWindowPtr parent = Parent();
  hWnd = MGETCREATE(cls, cCaption, nStyle | (parent ? WS_CHILD : 0), nLeft, nTop, nRight - nLeft + 1,
                    nBottom - nTop + 1, parent ? parent->hWnd : nullptr, nId, hHeap, nExStyle);
  if (!hWnd) {
    WndCreateError(*this);
    return;
  }
  Link();
  HFONT font = oFont && oFont->hFont ? oFont->hFont : parent && parent->oFont ? parent->oFont->hFont : nullptr;
  if (font) PostMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (oFont) SetFont(oFont);
  else GetFont();
  SendMessageA(hWnd, EM_LIMITTEXT, 0, 0);
}

void TMultiGet::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (!hWnd) return;
  if (nExStyle) SetWindowLongA(hWnd, GWL_EXSTYLE, GetWindowLongA(hWnd, GWL_EXSTYLE) | LONG(nExStyle));
  SendMessageA(hWnd, EM_LIMITTEXT, 0, 0);
  if (lReadOnly) SendMessageA(hWnd, EM_SETREADONLY, TRUE, 0);
  SetWindowTextA(hWnd, TextOf(VarGet()).c_str());
  TControl::Default();
}

std::string TMultiGet::cToChar(const std::string& cClassName) {
  return TControl::cToChar(cClassName.empty() ? "EDIT" : cClassName);
}

// ---- text ------------------------------------------------------------------------------------------

LRESULT TMultiGet::Default(UINT nMsg, WPARAM w, LPARAM l) {
  if (!hWnd) return 0;
  return nOldProc ? CallWindowProcA(nOldProc, hWnd, nMsg, w, l) : DefWindowProcA(hWnd, nMsg, w, l);
}

void TMultiGet::Store() {
  if (hWnd) VarPut(Value(GetText()));
}

Value TMultiGet::Changed(const Value& nKey, const Value& nFlags) {
  return bChange ? bChange(nKey, nFlags, *this) : Value();
}

std::string TMultiGet::cText() { return hWnd ? GetText() : cCaption; }

void TMultiGet::cText(const std::string& text) {
  if (hWnd) SetWindowTextA(hWnd, text.c_str());
  VarPut(Value(text));
}

void TMultiGet::Refresh(bool) {
  if (hWnd) SetWindowTextA(hWnd, TextOf(VarGet()).c_str());
}

void TMultiGet::Append(const std::string& text) {
  int len = Len();
  if (hWnd) SendMessageA(hWnd, EM_SETSEL, WPARAM(len), LPARAM(len));
  Replace(text);
}

void TMultiGet::Replace(const std::string& text) {
  MGETREPLACE(hWnd, text);
  Store();
}

std::string TMultiGet::GetLine(int nLine) { return MGETLINE(hWnd, nLine); }

int TMultiGet::GetLineCount() { return hWnd ? int(SendMessageA(hWnd, EM_GETLINECOUNT, 0, 0)) : 0; }

int TMultiGet::LineIndex(int nLine) {
  return hWnd ? int(SendMessageA(hWnd, EM_LINEINDEX, WPARAM(nLine - 1), 0)) : 0;
}

void TMultiGet::GoTo(int nLine) {
  if (!hWnd) return;
  nLine = std::clamp(nLine, 1, std::max(GetLineCount(), 1));
  int at = LineIndex(nLine);
  SendMessageA(hWnd, EM_SETSEL, WPARAM(at), LPARAM(at));
  SendMessageA(hWnd, EM_SCROLLCARET, 0, 0);
}

void TMultiGet::GoBottom() {
  if (!hWnd) return;
  int at = int(Trim(GetText()).size());
  SendMessageA(hWnd, EM_SETSEL, WPARAM(at), LPARAM(at));
  SendMessageA(hWnd, EM_LINESCROLL, 0, LPARAM(GetLineCount()));
}

int TMultiGet::GetRow() {
  if (!hWnd) return 0;
  DWORD s = 0, e = 0;
  SendMessageA(hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return int(SendMessageA(hWnd, EM_LINEFROMCHAR, WPARAM(e), 0)) + 1;
}

int TMultiGet::GetCol() {
  if (!hWnd) return 0;
  DWORD s = 0, e = 0;
  SendMessageA(hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return int(e) - LineIndex(GetRow()) + 1;
}

int TMultiGet::Len() { return GETWINTXTLENGHT(hWnd); }

bool TMultiGet::SaveToFile(const std::string& cFile) {
  std::ofstream out(cFile, std::ios::binary | std::ios::trunc);
  std::string text = cText();
  out.write(text.data(), std::streamsize(text.size()));
  return bool(out);
}

void TMultiGet::SetPos(int nStart, std::optional<int> nEnd) {
  if (hWnd) SendMessageA(hWnd, EM_SETSEL, WPARAM(nStart), LPARAM(nEnd.value_or(nStart)));
}

void TMultiGet::SetSel(int nStart, int nEnd) { SetPos(nStart, nEnd); }

void TMultiGet::HideSel() {
  if (hWnd) SendMessageA(hWnd, EM_SETSEL, WPARAM(-1), 0);
}

void TMultiGet::SelectAll() {
  if (hWnd) SendMessageA(hWnd, EM_SETSEL, 0, LPARAM(-1));
}

void TMultiGet::GetSelPos(int& nStart, int& nEnd) {
  DWORD s = 0, e = 0;
  if (hWnd) SendMessageA(hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  nStart = int(s);
  nEnd = int(e);
}

std::string TMultiGet::GetSel() {
  int s = 0, e = 0;
  GetSelPos(s, e);
  std::string text = GetText();
  if (e <= s || size_t(s) >= text.size()) return {};
  return text.substr(size_t(s), size_t(e - s));
}

void TMultiGet::UnDo() {
  if (!hWnd) return;
  SendMessageA(hWnd, EM_UNDO, 0, 0);
  Store();
}

// ---- clipboard ---------------------------------------------------------------------------------------

void TMultiGet::Copy() {
  if (GetSel().empty() || !hWnd) return;
  if (field::PutClipboard(hWnd, std::nullopt)) Default(WM_COPY, 0, 0);
}

void TMultiGet::Cut() {
  if (!field::MayCut(lReadOnly)) return;
  Default(WM_CUT, 0, 0);
  Store();
  Changed(Value(), Value());
}

void TMultiGet::Del() {
  if (lReadOnly) {
    MsgAlert("The get is read only!", "Can't delete");
    return;
  }
  Default(WM_CLEAR, 0, 0);
  Store();
  Changed(Value(), Value());
}

void TMultiGet::Paste(std::optional<std::string> text) {
  if (lReadOnly || !hWnd) return;
  if (text) field::PutClipboard(hWnd, text, false);
  Default(WM_PASTE, 0, 0);
  Store();
  Changed(Value(), Value());
}

void TMultiGet::DelLine(std::optional<int> nLine) {
  if (!hWnd || lReadOnly) return;
  int line = nLine.value_or(GetRow());
  int from = LineIndex(line);
  int to = line < GetLineCount() ? LineIndex(line + 1) : Len();
  if (from < 0) return;
  SendMessageA(hWnd, EM_SETSEL, WPARAM(from), LPARAM(to));
  Default(WM_CUT, 0, 0);
  Store();
  Changed(Value(), Value());
}

// ---- dialogs and printing -------------------------------------------------------------------------------

void TMultiGet::DlgGoLine() {
  TMultiGetPtr keep = std::static_pointer_cast<TMultiGet>(shared_from_this());
  Value nLine(GetRow());
  auto dlg = TDialog::New({.cCaption = "Go To", .oWnd = Parent(), .nWidth = 220, .nHeight = 110});
  TSay::New({.nRow = 14, .nCol = 12, .cText = "Line:", .oWnd = dlg, .lPixels = true, .nWidth = 40, .nHeight = 16});
  TGet::New({.nRow = 10, .nCol = 60, .bSetGet = BindVar(nLine), .oWnd = dlg, .nWidth = 70, .nHeight = 22,
             .cPicture = "99999", .lPixel = true});
  TButton::New({.nRow = 44, .nCol = 20, .cCaption = "&Ok", .oWnd = dlg,
                .bAction =
                    [keep, &nLine, dlg](TButton&) {
                      int line = int(nLine.AsInt());
                      if (keep->bGoToLine) keep->bGoToLine(line);
                      else keep->GoTo(line);
                      dlg->End(IDOK);
                    },
                .nWidth = 80, .nHeight = 24, .lDefault = true, .lPixel = true});
  TButton::New({.nRow = 44, .nCol = 116, .cCaption = "&Cancel", .oWnd = dlg,
                .bAction = [dlg](TButton&) { dlg->End(IDCANCEL); }, .nWidth = 80, .nHeight = 24, .lPixel = true,
                .lCancel = true});
  dlg->Activate({.lCentered = true});
  if (hWnd) ::SetFocus(hWnd);
}

void TMultiGet::Print() {
  auto prn = PrintBegin("Notes");
  if (!prn || !prn->hDC) {
    MsgStop("Printer not ready!");
    if (prn) PrintEnd();
    return;
  }
  auto font = TFont::New({.cFaceName = "System", .nHeight = -11});
  int lineHeight = std::max(prn->nVertRes() / 60, 1);
  int lines = GetLineCount();
  for (int i = 1; i <= lines; ++i) {
    if ((i - 1) % 60 == 0) PageBegin();
    prn->Say((i - 1) % 60 * lineHeight, 0, GetLine(i), {.oFont = font});
    if (i % 60 == 0 || i == lines) PageEnd();
  }
  PrintEnd();
  font->End();
}

std::shared_ptr<TMenu> TMultiGet::ContextMenu() {
  int s = 0, e = 0;
  GetSelPos(s, e);
  bool sel = e > s;
  bool canUndo = hWnd && SendMessageA(hWnd, EM_CANUNDO, 0, 0);
  bool clip = IsClipboardFormatAvailable(CF_TEXT);
  std::weak_ptr<TMultiGet> weak = std::static_pointer_cast<TMultiGet>(shared_from_this());
  auto run = [weak](void (TMultiGet::*fn)()) {
    return [weak, fn](TMenuItem&) {
      if (auto m = weak.lock()) ((*m).*fn)();
    };
  };
  auto menu = MENUBEGIN(true);
  MENUADDITEM({.cPrompt = "&Undo", .lActive = canUndo, .bAction = run(&TMultiGet::UnDo)});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "Cu&t", .lActive = sel && !lReadOnly, .bAction = run(&TMultiGet::Cut)});
  MENUADDITEM({.cPrompt = "&Copy", .lActive = sel, .bAction = run(&TMultiGet::Copy)});
  MENUADDITEM({.cPrompt = "&Paste", .lActive = clip && !lReadOnly, .bAction = [weak](TMenuItem&) {
                 if (auto m = weak.lock()) m->Paste();
               }});
  MENUADDITEM({.cPrompt = "&Delete", .lActive = sel && !lReadOnly, .bAction = run(&TMultiGet::Del)});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "P&rint", .bAction = run(&TMultiGet::Print)});
  MENUADDITEM();
  MENUADDITEM({.cPrompt = "Select &All", .bAction = run(&TMultiGet::SelectAll)});
  MENUEND();
  return menu;
}

void TMultiGet::Move(int nTop_, int nLeft_, int nWidth_, int nHeight_, bool lRepaint) {
  TControl::Move(nTop_, nLeft_, nWidth_, nHeight_, lRepaint);
  MOVEGET(hWnd);
}

void TMultiGet::AdjClient() {
  TControl::AdjClient();
  MOVEGET(hWnd);
}

// ---- events ------------------------------------------------------------------------------------------------

Value TMultiGet::KeyChar(int nKey, int nFlags) {
  TControlPtr keep = SelfCtl();
  TWindowPtr parent = Parent();
  if (Block bKey = SetKey(nKey); bKey && (nFlags & 0x01000000)) {
    bKey.Eval({Value(std::string("TMULTIGET")), Value(0), Value(Self())});
    return Value(0);
  }
  if (lReadOnly) {
    if (nKey == VK_RETURN && parent) parent->GoNextCtrl(hWnd);
    else if (nKey == VK_TAB) return TControl::KeyChar(nKey, nFlags);
    return Value(0);
  }
  if (nKey == VK_RETURN && (GetWindowLongA(hWnd, GWL_STYLE) & ES_WANTRETURN)) {
    if (parent) parent->nLastKey = 0;
  } else if (nKey == VK_TAB) {
    return TControl::KeyChar(nKey, nFlags);
  }
  if (nKey == 22 || nKey == 24) return Value(0);  // Ctrl+V, Ctrl+X: KeyDown did them
  Default(WM_CHAR, WPARAM(nKey), LPARAM(nFlags));
  Store();
  Changed(Value(nKey), Value(nFlags));
  return Value(0);
}

Value TMultiGet::KeyDown(int nKey, int nFlags) {
  TControlPtr keep = SelfCtl();
  bool paste = (nKey == VK_INSERT && Shift()) || (nKey == 'V' && Ctrl());
  bool cut = nKey == 'X' && Ctrl();
  if ((paste || cut) && !Alt()) {
    if (!lReadOnly) {
      if (paste) Default(WM_PASTE, 0, 0);
      else Default(WM_CUT, 0, 0);
      Changed(Value(nKey), Value(nFlags));
    }
    return Value(0);
  }
  if (nKey == VK_DELETE) {
    if (lReadOnly) return Value(0);
    Changed(Value(nKey), Value(nFlags));
    Default(WM_KEYDOWN, WPARAM(nKey), LPARAM(nFlags));
    Store();
    return Value(0);
  }
  return TControl::KeyDown(nKey, nFlags);
}

Value TMultiGet::GotFocus(HWND hWndOld) {
  TControl::GotFocus(hWndOld);
  Default(WM_SETFOCUS, reinterpret_cast<WPARAM>(hWndOld), 0);
  if (SetInsert() && hWnd) {
    DestroyCaret();
    int h = nGetChrHeight();
    CreateCaret(hWnd, nullptr, 6, h > 0 ? h : 16);
    ShowCaret(hWnd);
  }
  return Value(0);
}

Value TMultiGet::LostFocus(HWND hWndNew) {
  TControl::LostFocus(hWndNew);
  Store();
  int s = 0;
  GetSelPos(s, nPos);
  return Value();
}

Value TMultiGet::LButtonDown(int nRow, int nCol, int nKeyFlags) {
  Value r = TControl::LButtonDown(nRow, nCol, nKeyFlags);
  int s = 0;
  GetSelPos(s, nPos);
  return r;
}

Value TMultiGet::RButtonDown(int nRow, int nCol, int nKeyFlags) {
  TControlPtr keep = SelfCtl();
  if (auto taken = field::RightClick(*this, nRow, nCol, nKeyFlags)) return *taken;
  ContextMenu()->Activate(nRow, nCol, Self());
  return Value(0);
}

}  // namespace nx
