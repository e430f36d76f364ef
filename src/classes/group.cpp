#include "classes/group.h"

#include "classes/brush.h"
#include "classes/simple_internal.h"

namespace nx {

using namespace simple;

namespace {
void TakeTransparency(TGroup& g, bool lTransparent) {
  g.lTransparent = lTransparent;
  // The frame's inside shows what lies under it.
  if (lTransparent) g.SetColor(g.nClrText, g.nClrPane, TBrush::New({.cStyle = "NULL"}));
}
}  // namespace

TGroupPtr TGroup::New(const TGroupParams& p) {
  auto group = std::make_shared<TGroup>();
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  group->oWnd = parent;
  group->cCaption = p.cLabel;
  group->nTop = p.lPixel ? int(p.nTop) : int(p.nTop * 14);
  group->nLeft = p.lPixel ? int(p.nLeft) : int(p.nLeft * 7);
  group->nBottom = p.lPixel ? int(p.nBottom) : int(p.nBottom * 14);
  group->nRight = p.lPixel ? int(p.nRight) : int(p.nRight * 7);
  group->nStyle = WS_CHILD | WS_VISIBLE | BS_GROUPBOX | (p.lDesign ? WS_TABSTOP | WS_CLIPSIBLINGS : 0);
  group->lDrag = p.lDesign;
  group->lUpdate_ = false;
  TakeFont(*group, p.oFont);
  group->SetColor(TextColor(p.nClrFore, parent), PaneColor(p.nClrBack, parent));
  TakeTransparency(*group, p.lTransparent);
  group->CreateOrDefer(parent, "BUTTON", [&] { group->ApplyFont(); });
  return group;
}

TGroupPtr TGroup::ReDefine(const TGroupRedefineParams& p) {
  auto group = std::make_shared<TGroup>();
  // The window default first: the colour defaults are read from it.
  TWindowPtr parent = ParentOrDefault(p.oWnd);
  group->cCaption = p.cLabel;
  TakeFont(*group, p.oFont);
  group->SetColor(TextColor(p.nClrFore, parent), PaneColor(p.nClrBack, parent));
  TakeTransparency(*group, p.lTransparent);
  group->Redefine(p.nId ? p.nId : GetNewId(), parent);
  return group;
}

void TGroup::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (!hWnd) return;
  if (cCaption.empty()) cCaption = GetText();
  else SetWindowTextA(hWnd, cCaption.c_str());
}

Value TGroup::HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  // In design mode the frame takes the mouse (a group box lets it through).
  if (nMsg == WM_NCHITTEST && lDrag) return Value(int64_t(DefWindowProcA(hWnd, nMsg, nWParam, nLParam)));
  return TControl::HandleEvent(nMsg, nWParam, nLParam);
}

std::string TGroup::cToChar(const std::string& cClassName) {
  return TControl::cToChar(cClassName.empty() ? "BUTTON" : cClassName);
}

}  // namespace nx
