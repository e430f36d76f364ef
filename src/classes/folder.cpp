#include "classes/folder.h"

#include <algorithm>

#include "classes/brush.h"
#include "classes/font.h"
#include "classes/simple_internal.h"
#include "native/draw.h"
#include "native/folder.h"
#include "rt/strings.h"

namespace nx {

using namespace simple;

namespace {

// The tab row: taller with large system fonts.
int RowHeight() {
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi >= 120 ? 25 : 22;
}

bool FocusWithin(HWND hWnd) {
  HWND focus = GetFocus();
  return hWnd && focus && (focus == hWnd || IsChild(hWnd, focus));
}

}  // namespace

const std::vector<std::string>& TFolder::aProperties() {
  static const std::vector<std::string> props = {"aPrompts", "cVarName", "nClrText", "nClrPane", "nAlign", "nTop",
                                                 "nLeft",    "nWidth",   "nHeight",  "nOption",  "Cargo"};
  return props;
}

// ---- construction ------------------------------------------------------------------------------

TFolderPtr TFolder::New(const TFolderParams& p) { return NewAs<TFolder>(p); }

void TFolder::Init(const TFolderParams& p) {
  TFolder* f = this;
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  f->oWnd = parent;
  f->aPrompts = p.aPrompts;
  f->aHelps = p.aHelps;
  f->aHelps.resize(f->aPrompts.size(), 0);
  f->aEnable.assign(f->aPrompts.size(), true);
  f->nOption = p.nOption;
  f->nTop = p.lPixel ? p.nTop : p.nTop * 15;
  f->nLeft = p.lPixel ? p.nLeft : p.nLeft * 6;
  f->nBottom = f->nTop + p.nHeight - 1;
  f->nRight = f->nLeft + p.nWidth - 1;
  f->cMsg = p.cMsg;
  f->lAllWidth = p.lAllWidth;
  f->lDrag = p.lDesign;
  f->bChange = p.bChange;
  f->nFdHeight = RowHeight();
  f->oFont2 = TFont::New({.cFaceName = "SYSTEM_FONT", .nHeight = -9, .lBold = true});
  f->nStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TCS_FIXEDWIDTH | (p.lDesign ? WS_CLIPSIBLINGS : 0);
  f->SetColor(p.nClrFore.value_or(GetSysColor(COLOR_WINDOWTEXT)), p.nClrBack.value_or(GetSysColor(COLOR_BTNFACE)));
  TakeFont(*f, p.oFont);
  Register();
  if (Live(parent)) {
    f->nId = GetNewId();
    f->Create(WC_TABCONTROLA);
    if (!f->hWnd) return;
    parent->AddControl(Self());
    if (f->oFont) f->SetFont(f->oFont);
    else f->GetFont();
    f->SetPrompts(f->aPrompts);
  } else if (parent) {
    parent->DefControl(Self());
  }
  for (size_t i = 0; i < f->aPrompts.size(); ++i)
    f->aDialogs.push_back(f->MakePage(int(i) + 1, std::nullopt, f->aHelps[i]));
  if (f->hWnd) {
    f->Default();
    f->AdjustRect();
  }
  SetWndDefault(parent);
}

TFolderPtr TFolder::ReDefine(const TFolderRedefineParams& p) {
  auto f = std::make_shared<TFolder>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  f->oWnd = parent;
  f->aPrompts = p.aPrompts;
  f->aHelps = p.aHelps;
  f->aHelps.resize(p.aDialogs.size(), 0);
  f->aEnable.assign(p.aDialogs.size(), true);
  f->nOption = p.nOption;
  f->bChange = p.bChange;
  f->lAllWidth = p.lAllWidth;
  f->nFdHeight = RowHeight();
  f->oFont2 = TFont::New({.cFaceName = "SYSTEM_FONT", .nHeight = -9, .lBold = true});
  f->SetColor(TextColor(p.nClrFore, parent), PaneColor(p.nClrBack, parent));
  for (size_t i = 0; i < p.aDialogs.size(); ++i)
    f->aDialogs.push_back(f->MakePage(int(i) + 1, p.aDialogs[i], f->aHelps[i]));
  f->Redefine(p.nId, parent);
  SetWndDefault(parent);
  return f;
}

TDialogPtr TFolder::MakePage(int nPage, const std::optional<DialogTemplate>& cResName, int nHelpId) {
  auto page = TDialog::New({.nTop = 0,
                            .nLeft = 0,
                            // inclusive corners: width - 6 by height - nFdHeight - 5
                            .nBottom = nHeight() - nFdHeight - 6,
                            .nRight = nWidth() - 7,
                            .cResName = cResName,
                            .nStyle = WS_CHILD,
                            .nClrText = nClrText,
                            .nClrBack = nClrPane,
                            .oWnd = Self(),
                            .lPixel = true,
                            .oFont = oFont,
                            .nHelpId = nHelpId});
  page->cVarName = "Page" + std::to_string(nPage);
  return page;
}

void TFolder::Register(std::optional<UINT>) {
  bool& registered = lRegistered();
  if (registered) return;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
  registered = InitCommonControlsEx(&icc);
}

std::string TFolder::cToChar(const std::string& cClassName) {
  return TControl::cToChar(cClassName.empty() ? WC_TABCONTROLA : cClassName);
}

void TFolder::Initiate(HWND hDlg) {
  TFolderPtr keep = SelfFolder();
  TControl::Initiate(hDlg);
  if (!hWnd) return;
  if (lTransparent) {
    for (auto& page : aDialogs) {
      page->lTransparent = true;
      page->SetBrush(oBrush);
    }
  }
  Default();
  for (auto& page : aDialogs)
    if (page->hWnd) page->SetSize(nWidth() - 5, nHeight() - nFdHeight - 4);
  SetPrompts(aPrompts);
  AdjustRect();
}

void TFolder::Default() {
  TFolderPtr keep = SelfFolder();
  if (nOption < 1 || nOption > Count()) nOption = Count() > 0 ? 1 : 0;
  ComputeTabSize();
  const int top = std::max(TABGETROWCOUNT(hWnd), 1) * nFdHeight - 1;
  for (auto& page : aDialogs) OpenPage(page, top, 1);
  ShowCurrent();
}

void TFolder::OpenPage(const TDialogPtr& page, int top, int left) {
  if (!page || !hWnd || (page->hWnd && IsWindow(page->hWnd))) return;
  auto owner = std::dynamic_pointer_cast<TDialog>(Parent());
  if (ISAPPTHEMED() && !lTransparent && page->oBrush && !page->oBrush->hBitmap) {
    // The page shows the tab control's own (themed) background.
    page->bEraseBkGnd = [](HDC hDCErase, TWindow& w) { return DRAWPBACK(w.hWnd, hDCErase) ? Value(1) : Value(); };
  }
  page->Activate({.lCentered = false,
                  .bValid = [](TWindow&) { return false; },  // a page closes only with its folder
                  .lModal = false,
                  .bInit =
                      [top, left](TWindow& w) {
                        SetWindowPos(w.hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                      },
                  .lResize16 = owner && owner->lResize16});
  if (page->hWnd) page->Hide();
}

void TFolder::ShowCurrent() {
  TDialogPtr current = Page();
  for (auto& page : aDialogs)
    if (page != current && page->hWnd) page->Hide();
  if (current && current->hWnd) current->Show();
}

void TFolder::EndPage(const TDialogPtr& page) {
  if (!page) return;
  page->bValid = nullptr;
  if (page->hWnd && IsWindow(page->hWnd)) DestroyWindow(page->hWnd);
  else page->Destroy();
}

TDialogPtr TFolder::Page() const {
  return nOption >= 1 && nOption <= Count() ? aDialogs[size_t(nOption - 1)] : nullptr;
}

// ---- tabs --------------------------------------------------------------------------------------

void TFolder::ComputeTabSize() {
  const int n = int(aPrompts.size());
  const int width = nWidth();
  if (n == 0) {
    nTabSize = width;
  } else if (lAllWidth) {
    nTabSize = width / n;
  } else {
    int widest = 0;
    for (auto& prompt : aPrompts) widest = std::max(widest, TextWidth(WithoutHotMark(prompt), FontOf(*this)));
    nTabSize = std::min(widest + 40, width / n);
  }
  if (!hWnd || TABGETITEMCOUNT(hWnd) == 0) return;
  RECT item{};
  SendMessageA(hWnd, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  // The control draws its tabs a little apart and wraps or scrolls the
  // ones that do not fit: keep them inside the width.
  const int fit = n > 0 ? std::min(nTabSize, (width - 6) / n) : nTabSize;
  SetItemSize(fit, item.bottom - item.top);
}

void TFolder::SetPrompts(const std::vector<std::string>& aNewPrompts) {
  if (!aNewPrompts.empty()) aPrompts = aNewPrompts;
  aEnable.resize(std::max(aPrompts.size(), aDialogs.size()), true);
  aHelps.resize(std::max(aPrompts.size(), aDialogs.size()), 0);
  for (size_t i = 0; i < aDialogs.size(); ++i) aDialogs[i]->nHelpId = aHelps[i];
  if (!hWnd) return;
  SendMessageA(hWnd, WM_SETREDRAW, FALSE, 0);
  TABDELETEALLITEMS(hWnd);
  for (size_t i = 0; i < aPrompts.size(); ++i) TABINSERTITEM(hWnd, int(i), aPrompts[i]);
  SendMessageA(hWnd, WM_SETREDRAW, TRUE, 0);
  ComputeTabSize();
  TABSETCURSEL(hWnd, nOption - 1);
  InvalidateRect(hWnd, nullptr, TRUE);
}

void TFolder::SetItemText(int n, const std::string& cText) {
  if (n < 1 || n > int(aPrompts.size())) return;
  aPrompts[size_t(n - 1)] = cText;
  TABSETITEMTEXT(hWnd, n - 1, cText);
}

int TFolder::GetHotPos(int nChar) const {
  const int wanted = toupper(nChar & 0xFF);
  for (int i = 1; i <= int(aPrompts.size()); ++i) {
    if (i == nOption || !Enabled(i)) continue;
    const char hot = HotKeyOf(aPrompts[size_t(i - 1)]);
    if (hot && toupper(static_cast<unsigned char>(hot)) == wanted) return i;
  }
  return 0;
}

void TFolder::SetOption(int n) {
  TFolderPtr keep = SelfFolder();
  if (n > 0 && n != nOption && Enabled(n)) {
    if (TDialogPtr current = Page(); current && current->hWnd) current->Hide();
    const int old = nOption;
    nOption = n;
    if (TDialogPtr page = Page()) {
      if (bChange) bChange(n, old, *this);
      page->AEvalWhen();
      page->Show();
      page->SetFocus();
    }
  }
  if (n > 0) {
    if (hWnd) TABSETCURSEL(hWnd, nOption - 1);
    if (!Enabled(n)) Beep();
  }
}

void TFolder::Beep() { MessageBeep(0xFFFFFFFF); }

void TFolder::AdjustRect() {
  if (!hWnd) return;
  const RECT area = TABADJUSTRECT(hWnd);
  // Each page on its own: one added later stands where AddItem put it.
  for (auto& page : aDialogs)
    if (page->hWnd && WNDTOP(page->hWnd) != area.top) page->Move(area.top, area.left - 2);
}

void TFolder::SetImageList(HIMAGELIST h) {
  hImageList = h;
  if (hWnd) SendMessageA(hWnd, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(h));
}

void TFolder::SetItemSize(int nItemWidth, int nItemHeight) {
  if (hWnd) SendMessageA(hWnd, TCM_SETITEMSIZE, 0, MAKELPARAM(nItemWidth, nItemHeight));
}

void TFolder::SetPadding(int nX, int nY) {
  if (hWnd) SendMessageA(hWnd, TCM_SETPADDING, 0, MAKELPARAM(nX, nY));
}

void TFolder::Update() {
  auto pages = aDialogs;
  for (auto& page : pages) page->Update();
}

// ---- adding and removing pages ------------------------------------------------------------------

TDialogPtr TFolder::AddItem(const std::string& cPrompt, const std::optional<DialogTemplate>& cResName,
                            const PageHook& bRedefine, int nHelpId) {
  TFolderPtr keep = SelfFolder();
  TWindowPtr owner = Parent();
  const int n = Count() + 1;
  aPrompts.resize(size_t(Count()));
  aHelps.resize(size_t(Count()), 0);
  aEnable.resize(size_t(Count()), true);
  TDialogPtr page = MakePage(n, cResName, nHelpId);
  aDialogs.push_back(page);
  aPrompts.push_back(cPrompt);
  aHelps.push_back(nHelpId);
  aEnable.push_back(true);
  if (bRedefine) bRedefine(*page, n, *this);
  SetWndDefault(owner);
  if (hWnd) {
    OpenPage(page, nFdHeight + 2, 3);
    page->SetSize(nWidth() - 6, nHeight() - nFdHeight - 5);
  }
  SetPrompts(aPrompts);
  AdjustRect();
  if (nOption == n) ShowCurrent();  // the first page of an empty folder
  else SetOption(n);
  return page;
}

void TFolder::DelItem() {
  TFolderPtr keep = SelfFolder();
  if (nOption < 1 || nOption > Count()) return;
  const size_t i = size_t(nOption - 1);
  TDialogPtr page = aDialogs[i];
  const bool hadFocus = FocusWithin(page->hWnd);
  aDialogs.erase(aDialogs.begin() + ptrdiff_t(i));
  if (i < aPrompts.size()) aPrompts.erase(aPrompts.begin() + ptrdiff_t(i));
  if (i < aHelps.size()) aHelps.erase(aHelps.begin() + ptrdiff_t(i));
  if (i < aEnable.size()) aEnable.erase(aEnable.begin() + ptrdiff_t(i));
  EndPage(page);
  nOption = std::min(nOption, Count());
  if (hWnd) {
    TABDELETEITEM(hWnd, int(i));
    SetPrompts(aPrompts);
  }
  // The page now in its place (the previous one for the last) takes over.
  ShowCurrent();
  if (TDialogPtr current = Page(); current && hadFocus) current->SetFocus();
}

void TFolder::DelPages() {
  while (Count() > 0) DelItem();
}

void TFolder::LoadPages(const std::vector<DialogTemplate>& aResNames, const PageHook& bRedefine) {
  TFolderPtr keep = SelfFolder();
  TWindowPtr owner = Parent();
  std::vector<std::string> prompts = aPrompts;
  DelPages();
  for (size_t i = 0; i < aResNames.size(); ++i) {
    TDialogPtr page = MakePage(int(i) + 1, aResNames[i], 0);
    aDialogs.push_back(page);
    if (bRedefine) bRedefine(*page, int(i) + 1, *this);
  }
  SetWndDefault(owner);
  // The tabs keep their prompts; a page beyond them gets one after its name.
  prompts.resize(aDialogs.size());
  for (size_t i = 0; i < prompts.size(); ++i)
    if (prompts[i].empty()) prompts[i] = aDialogs[i]->cVarName;
  aEnable.assign(aDialogs.size(), true);
  aHelps.assign(aDialogs.size(), 0);
  nOption = aDialogs.empty() ? 0 : 1;
  for (auto& page : aDialogs) {
    if (!hWnd) break;
    OpenPage(page, nFdHeight + 2, 3);
    page->SetSize(nWidth() - 6, nHeight() - nFdHeight - 5);
  }
  SetPrompts(prompts);
  AdjustRect();
  ShowCurrent();
}

// ---- events --------------------------------------------------------------------------------------

Value TFolder::LButtonDown(int nRow, int nCol, int nKeyFlags) {
  if (lDrag) return TControl::LButtonDown(nRow, nCol, nKeyFlags);
  TFolderPtr keep = SelfFolder();
  const int n = TABHITTEST(hWnd, nRow, nCol) + 1;
  const bool refused = n > 0 && !Enabled(n);
  SetOption(n);
  // A refused tab must not even look selected for a moment.
  return refused ? Value(0) : Value();
}

Value TFolder::Notify(WPARAM, NMHDR* pNMHdr) {
  if (!pNMHdr || pNMHdr->hwndFrom != hWnd) return Value();
  TFolderPtr keep = SelfFolder();
  if (pNMHdr->code == UINT(TCN_SELCHANGING)) {
    nSelChanging_ = TABGETCURSEL(hWnd);
  } else if (pNMHdr->code == UINT(TCN_SELCHANGE)) {
    // The keyboard moved the selection (a click has already set the page).
    const int n = TABGETCURSEL(hWnd) + 1;
    if (!Enabled(n)) {
      PostMessageA(hWnd, TCM_SETCURSEL, WPARAM(nSelChanging_ >= 0 ? nSelChanging_ : nOption - 1), 0);
      Beep();
    } else if (n != nOption) {
      SetOption(n);
    }
  }
  return Value();
}

Value TFolder::GotFocus(HWND hWndLost) {
  TFolderPtr keep = SelfFolder();
  TControl::GotFocus(hWndLost);
  if (TDialogPtr page = Page(); page && page->hWnd) {
    page->AEvalWhen();
    page->SetFocus();
  }
  return Value(0);
}

Value TFolder::ReSize(int nSizeType, int nNewWidth, int nNewHeight) {
  TFolderPtr keep = SelfFolder();
  ComputeTabSize();
  for (auto& page : aDialogs)
    if (page->hWnd) page->SetSize(nNewWidth - 6, nNewHeight - nFdHeight - 5);
  return TControl::ReSize(nSizeType, nNewWidth, nNewHeight);
}

Value TFolder::CtlColor(HWND hWndCtl, HDC hDCCtl) {
  const std::string cls = GETCLASSNAME(hWndCtl);
  if (ISAPPTHEMED() && (cls == "Button" || cls == "Static"))
    return Value(int64_t(reinterpret_cast<intptr_t>(DRAWTHEMED(hWndCtl, hDCCtl))));
  return TControl::CtlColor(hWndCtl, hDCCtl);
}

Value TFolder::MouseMove(int nRow, int nCol, int nKeyFlags) {
  TControl::MouseMove(nRow, nCol, nKeyFlags);
  return Value();
}

Value TFolder::Destroy() {
  TFolderPtr keep = SelfFolder();
  if (oFont2) {
    oFont2->End();
    oFont2.reset();
  }
  for (auto& page : aDialogs) EndPage(page);
  return TControl::Destroy();
}

}  // namespace nx
