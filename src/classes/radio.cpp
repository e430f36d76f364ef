#include "classes/radio.h"

#include <algorithm>

#include "classes/setget.h"
#include "classes/simple_internal.h"

namespace nx {

using namespace simple;

namespace {
// A group's value as a position: 0 when it is no number.
int PositionOf(const Value& v) { return v.IsNumber() ? int(v.AsInt()) : 0; }
}  // namespace

// ---- TRadio ----------------------------------------------------------------------------------

TRadioPtr TRadio::New(const TRadioParams& p) {
  auto radio = std::make_shared<TRadio>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  radio->oWnd = parent;
  radio->cCaption = p.cCaption;
  int height = p.nHeight.value_or(12);
  int width = p.nWidth.value_or(int(p.cCaption.size()) * 5);
  radio->nTop = p.lPixel ? int(p.nRow) : int(p.nRow * p.nHeight.value_or(13));
  radio->nLeft = (p.lPixel ? int(p.nCol) : int(p.nCol * 7)) + 4;
  radio->nBottom = radio->nTop + height;
  radio->nRight = radio->nLeft + width;
  radio->lChecked = p.lChecked;
  radio->nPos = p.nPos;
  radio->oRadMenu = p.oRadMenu;
  radio->nHelpId = p.nHelpId;
  radio->cMsg = p.cMsg;
  radio->lUpdate_ = p.lUpdate;
  radio->bWhen = p.bWhen;
  radio->bValid = p.bValid;
  radio->lDrag = p.lDesign;
  // The first radio of a group is where Tab enters it.
  radio->nStyle = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (p.lGroup ? WS_GROUP | WS_TABSTOP : 0) |
                  (p.lDesign ? WS_CLIPSIBLINGS : 0);
  radio->SetColor(TextColor(p.nClrText, parent), PaneColor(p.nClrPane, parent));
  radio->CreateOrDefer(parent, "BUTTON", [&] { radio->Default(); });
  return radio;
}

TRadioPtr TRadio::Redefine(const TRadioRedefineParams& p) {
  auto radio = std::make_shared<TRadio>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  radio->lChecked = p.lChecked;
  radio->nPos = p.nPos;
  radio->oRadMenu = p.oRadMenu;
  radio->nHelpId = p.nHelpId;
  radio->cMsg = p.cMsg;
  radio->lUpdate_ = p.lUpdate;
  radio->bWhen = p.bWhen;
  radio->bValid = p.bValid;
  radio->SetColor(TextColor(p.nClrText, parent), PaneColor(p.nClrPane, parent));
  radio->TControl::Redefine(p.nId, parent);
  return radio;
}

void TRadio::SetCheck(bool lOnOff) {
  lChecked = lOnOff;
  if (hWnd) SendMessageA(hWnd, BM_SETCHECK, lOnOff ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TRadio::lIsChecked() {
  if (hWnd) lChecked = SendMessageA(hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return lChecked;
}

void TRadio::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (!hWnd) return;
  SetCheck(lChecked);
  if (TRadMenuPtr group = oRadMenu) group->FollowTabStop();
}

void TRadio::Default() {
  if (lChecked) SetCheck(true);
  if (oFont) SetFont(oFont);
  else GetFont();
}

void TRadio::Refresh(bool) {
  if (!oRadMenu) return;
  int option = PositionOf(oRadMenu->nOption());
  if (option == 0) {
    option = 1;
    if (oRadMenu->bSetGet) oRadMenu->bSetGet(Value(1));
  }
  SetCheck(option == nPos);
}

void TRadio::SetText(const std::string& cText) {
  if (ISAPPTHEMED() && !lTransparent) RepaintParentBack(hWnd);
  TWindow::SetText(cText);
}

Value TRadio::Click() {
  TControlPtr keep = SelfCtl();
  if (TRadMenuPtr group = oRadMenu) {
    group->Select(*this);
    group->Refresh();
  }
  return TControl::Click();
}

Value TRadio::KeyDown(int nKey, int nFlags) {
  TControlPtr keep = SelfCtl();
  TRadMenuPtr group = oRadMenu;
  bool next = nKey == VK_DOWN || nKey == VK_RIGHT, prev = nKey == VK_UP || nKey == VK_LEFT;
  if (!group || !(next || prev)) return TControl::KeyDown(nKey, nFlags);
  if (next) group->GoNext();
  else group->GoPrev();
  // The arrow moved the selection, not to another field: the validation that
  // follows the focus change must not move the focus on.
  if (TWindowPtr parent = Parent()) parent->nLastKey = 0;
  auto items = group->aItems();
  int option = PositionOf(group->nOption());
  if (option >= 1 && option <= int(items.size()) && items[size_t(option - 1)] && items[size_t(option - 1)]->hWnd)
    ::SetFocus(items[size_t(option - 1)]->hWnd);
  return Value(0);
}

Value TRadio::GetDlgCode(WPARAM nKey) {
  Value r = TControl::GetDlgCode(nKey);
  if (!r.IsNil() || !oRadMenu || !hWnd || !nOldProc) return r;
  // The group moves its own selection with the arrow keys, wrapping at its
  // ends, instead of the dialog manager walking the window group.
  LRESULT code = CallWindowProcA(nOldProc, hWnd, WM_GETDLGCODE, nKey, 0);
  return Value(int64_t(code | DLGC_WANTARROWS));
}

Value TRadio::EraseBkGnd(HDC hDC) {
  if (ISAPPTHEMED() && !lTransparent) return Value(1);
  return TControl::EraseBkGnd(hDC);
}

Value TRadio::MouseMove(int nRow, int nCol, int nKeyFlags) {
  Value r = TControl::MouseMove(nRow, nCol, nKeyFlags);
  return lDrag ? r : Value();
}

std::string TRadio::cToChar(const std::string& cClassName) {
  return TControl::cToChar(cClassName.empty() ? "BUTTON" : cClassName);
}

// ---- TRadMenu -------------------------------------------------------------------------------------

namespace {
std::vector<int> HelpIds(const std::vector<int>& given, size_t n) {
  std::vector<int> ids = given;
  if (ids.empty()) {
    for (size_t i = 1; i <= n; ++i) ids.push_back(99 + int(i));
  } else if (ids.size() < n) {
    ids.resize(n, ids.front());
  }
  return ids;
}
}  // namespace

TRadMenuPtr TRadMenu::New(const TRadMenuParams& p) {
  auto group = std::make_shared<TRadMenu>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  std::optional<COLORREF> text = p.nClrText, pane = p.nClrPane;
  if (!text && parent) {
    text = parent->nClrText;
    pane = parent->nClrPane;
  }
  double step = p.lPixel ? p.nHeight.value_or(13) : (p.nHeight ? *p.nHeight / 13.0 : 1.0);
  std::vector<int> helpIds = HelpIds(p.aHelpIds, p.acItems.size());
  group->bSetGet = p.bSetGet ? p.bSetGet : OwnVar(Value(1));
  group->bChange = p.bChange;
  group->cMsg = p.cMsg;
  group->lUpdate = p.lUpdate;
  // A value that is no position starts the group at its first radio.
  Value current = group->nOption();
  group->nOption(PositionOf(current) == 0 ? Value(1) : current);
  int option = PositionOf(group->nOption());
  for (size_t i = 1; i <= p.acItems.size(); ++i) {
    auto radio = TRadio::New({.nRow = p.nRow + double(i - 1) * step, .nCol = p.nCol, .cCaption = p.acItems[i - 1],
                              .lGroup = i == 1, .lChecked = int(i) == option, .nPos = int(i), .oWnd = parent,
                              .oRadMenu = group, .nHelpId = helpIds[i - 1], .nClrText = text, .nClrPane = pane,
                              .cMsg = p.cMsg, .lUpdate = p.lUpdate, .bWhen = p.bWhen, .nWidth = p.nWidth,
                              .nHeight = p.nHeight, .bValid = p.bValid, .lDesign = p.lDesign, .lPixel = p.lPixel});
    group->items_.push_back(radio);
  }
  group->FollowTabStop();
  if (p.l3D) group->Set3DLook();
  return group;
}

TRadMenuPtr TRadMenu::Redefine(const TRadMenuRedefineParams& p) {
  auto group = std::make_shared<TRadMenu>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  std::optional<COLORREF> text = p.nClrText, pane = p.nClrPane;
  if (!text && parent) {
    text = parent->nClrText;
    pane = parent->nClrPane;
  }
  std::vector<int> helpIds = HelpIds(p.aHelpIds, p.acItems.size());
  group->bSetGet = p.bSetGet ? p.bSetGet : OwnVar(Value(1));
  group->bChange = p.bChange;
  group->cMsg = p.cMsg;
  group->lUpdate = p.lUpdate;
  if (PositionOf(group->bSetGet(std::nullopt)) == 0) group->bSetGet(Value(1));
  int option = PositionOf(group->bSetGet(std::nullopt));
  for (size_t i = 1; i <= p.acItems.size(); ++i) {
    auto radio = TRadio::Redefine({.nId = p.acItems[i - 1], .lChecked = int(i) == option, .nPos = int(i),
                                   .oWnd = parent, .oRadMenu = group, .nHelpId = helpIds[i - 1], .nClrText = text,
                                   .nClrPane = pane, .cMsg = p.cMsg, .lUpdate = p.lUpdate, .bWhen = p.bWhen,
                                   .bValid = p.bValid});
    group->items_.push_back(radio);
  }
  return group;
}

TRadMenuPtr TRadMenu::Define(SetGet get, RadMenuHook change, std::string message, bool update) {
  auto group = std::make_shared<TRadMenu>();
  group->bSetGet = get ? std::move(get) : OwnVar(Value(1));
  group->bChange = std::move(change);
  group->cMsg = std::move(message);
  group->lUpdate = update;
  return group;
}

void TRadMenu::AddRadio(const TRadioPtr& oRadio) {
  if (!oRadio) return;
  oRadio->oRadMenu = Self();
  items_.push_back(oRadio);
}

std::vector<TRadioPtr> TRadMenu::aItems() const {
  std::vector<TRadioPtr> items;
  for (const auto& w : items_) items.push_back(w.lock());
  return items;
}

Value TRadMenu::nOption() const { return bSetGet ? bSetGet(std::nullopt) : Value(); }

void TRadMenu::nOption(const Value& uOption) {
  if (uOption.IsNil()) return;
  if (bSetGet) bSetGet(uOption);
  if (bChange) bChange(*this);
}

int TRadMenu::Current() const { return PositionOf(nOption()); }

void TRadMenu::SetOption(int n) {
  TRadMenuPtr keep = Self();
  int old = Current();
  auto items = aItems();
  if (n == old || n == 0 || n < 0 || n > int(items.size())) return;
  if (old >= 1 && old <= int(items.size()) && items[size_t(old - 1)]) items[size_t(old - 1)]->UnCheck();
  nOption(Value(n));
  if (items[size_t(n - 1)]) items[size_t(n - 1)]->Check();
  FollowTabStop();
}

void TRadMenu::Select(const TRadio& oRadio) {
  auto items = aItems();
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] && items[i]->hWnd == oRadio.hWnd) {
      SetOption(int(i) + 1);
      return;
    }
  }
}

void TRadMenu::GoPrev() {
  int n = int(items_.size());
  if (n == 0) return;
  int option = Current();
  SetOption(option <= 1 ? n : option - 1);
}

void TRadMenu::GoNext() {
  int n = int(items_.size());
  if (n == 0) return;
  int option = Current();
  SetOption(option >= n ? 1 : option + 1);
}

void TRadMenu::Refresh() {
  TRadMenuPtr keep = Self();
  auto items = aItems();
  if (items.empty()) return;
  int checked = 0;
  for (size_t i = 0; i < items.size() && !checked; ++i)
    if (items[i] && items[i]->lIsChecked()) checked = int(i) + 1;
  int option = Current();
  if (option == checked) return;
  if (checked) items[size_t(checked - 1)]->UnCheck();
  if (option >= 1 && option <= int(items.size()) && items[size_t(option - 1)]) items[size_t(option - 1)]->Check();
  FollowTabStop();
  if (bChange) bChange(*this);
}

void TRadMenu::FollowTabStop() {
  auto items = aItems();
  auto style = [](const TRadioPtr& r) { return r->hWnd ? DWORD(GetWindowLongA(r->hWnd, GWL_STYLE)) : r->nStyle; };
  if (std::none_of(items.begin(), items.end(), [&](const TRadioPtr& r) { return r && (style(r) & WS_TABSTOP); }))
    return;
  int option = Current();
  if (option < 1 || option > int(items.size())) option = 1;
  for (size_t i = 0; i < items.size(); ++i) {
    const TRadioPtr& r = items[i];
    if (!r) continue;
    DWORD bits = int(i) + 1 == option ? style(r) | WS_TABSTOP : style(r) & ~DWORD(WS_TABSTOP);
    r->nStyle = bits;
    if (r->hWnd) SetWindowLongA(r->hWnd, GWL_STYLE, LONG(bits));
  }
}

void TRadMenu::SetFont(const std::shared_ptr<TFont>& oFont) {
  for (auto& r : aItems())
    if (r) r->SetFont(oFont);
}

void TRadMenu::Set3DLook() {
  for (auto& r : aItems())
    if (r) r->Set3DLook(true);
}

void TRadMenu::End() {
  for (auto& r : aItems())
    if (r) r->End();
}

void TRadMenu::Disable() {
  for (auto& r : aItems())
    if (r) r->Disable();
}

void TRadMenu::Enable() {
  for (auto& r : aItems())
    if (r) r->Enable();
}

void TRadMenu::Show() {
  for (auto& r : aItems())
    if (r) r->Show();
}

void TRadMenu::Hide() {
  for (auto& r : aItems())
    if (r) r->Hide();
}

}  // namespace nx
