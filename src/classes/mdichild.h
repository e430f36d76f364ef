// TMdiChild: one document window of a multiple-document frame. It lives
// from New (created by the client, linked, active) to its End or the
// frame's CloseAll; while it is active its own menu, if it has one, is the
// frame's menu bar.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "classes/mdiframe.h"

namespace nx {

// New's positional arguments, with their defaults.
struct TMdiChildParams {
  // Character cells (16 x 8) unless lPixel; none: the platform's place and size.
  std::optional<int> nTop{}, nLeft{}, nBottom{}, nRight{};
  std::optional<std::string> cTitle{};  // none: "MDI Child " + its number
  DWORD nStyle = 0;                     // 0: built from the flags below
  std::shared_ptr<TMenu> oMenu{};
  TMdiFramePtr oWnd{};  // none: the last frame created
  std::shared_ptr<TIcon> oIcon{};
  std::string cIcon{};  // icon file name (when such a file exists) or resource name
  bool lVScroll = false;
  std::optional<COLORREF> nClrFore{}, nClrBack{};  // none: the client's colours
  std::shared_ptr<TCursor> oCursor{};
  std::shared_ptr<TBrush> oBrush{};
  bool lPixel = false, lHScroll = false;
  int nHelpId = 0;
  std::string cBorder = "SINGLE";  // "SINGLE": a sizing frame
  bool lSysMenu = true, lCaption = true, lMin = true, lMax = true;
  std::optional<int> nMenuInfo{};  // the Window pull-down in oMenu; none: the frame's
};

class TMdiChild : public TWindow {
 public:
  static TMdiChildPtr New(const TMdiChildParams& p = {});
  // New for a subclass.
  template <class T>
  static std::shared_ptr<T> NewAs(const TMdiChildParams& p = {}) {
    auto w = std::make_shared<T>();
    w->InitChild(p);
    return w;
  }
  const char* ClassName() const override { return "TMDICHILD"; }
  bool EndsHelpSearch() const override { return false; }
  bool& lRegistered() override;
  bool IsMdiChild() const override { return true; }
  TMdiChildPtr SelfChild() { return std::static_pointer_cast<TMdiChild>(shared_from_this()); }
  TMdiFramePtr Frame() const { return std::static_pointer_cast<TMdiFrame>(Parent()); }
  TMdiClientPtr Client() const { return oWndClient.lock(); }

  void Activate(const ActivateParams& p = {}) override;
  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  // The platform activated (lActivating) or deactivated this window: its own
  // menu goes on the frame's bar, or the frame's comes back. NIL.
  virtual Value MdiActivate(bool lActivating, HWND hWndActivated, HWND hWndDeactivated);
  // Asks bValid, ends the menu (unless lKeepMenu) and closes through the client.
  bool End() override;
  Value KeyDown(int nKey, int nFlags) override;
  Value KeyChar(int nKey, int nFlags) override;
  Value GotFocus(HWND hWndLost) override;
  Value Destroy() override;

  // Activates the window in the client.
  void SetFocus() override;
  // The control fills the window and takes the focus with it.
  void SetControl(TWindowPtr oCtrl);
  void SetMenu(std::shared_ptr<TMenu> oMenu) override { SetMenu(std::move(oMenu), std::nullopt); }
  void SetMenu(std::shared_ptr<TMenu> oMenu, std::optional<int> nMenuInfo);
  void Maximize();
  void Restore();
  void Next();
  void Prev();
  void Center();
  bool IsZoomed() const;
  bool IsIconic() const;
  void SetSize(int nWidth, int nHeight);

  // Editing commands go to oControl (NIL without one); Print runs bPrint first.
  Value EditCommand(Block TWindow::*bHook, const Value& uArg = {}) override;
  Value Copy() { return EditCommand(&TWindow::bCopy); }
  Value Cut() { return EditCommand(&TWindow::bCut); }
  Value Delete() { return EditCommand(&TWindow::bDelete); }
  Value FindNext() { return EditCommand(&TWindow::bFindNext); }
  Value Paste(const Value& x = {}) { return EditCommand(&TWindow::bPaste, x); }
  Value Print() { return EditCommand(&TWindow::bPrint); }
  Value ReDo() { return EditCommand(&TWindow::bReDo); }
  Value UnDo() { return EditCommand(&TWindow::bUnDo); }
  Value Find(const Value& x = {}) { return EditCommand(&TWindow::bFind, x); }
  Value Properties() { return EditCommand(&TWindow::bProperties); }
  Value Replace() { return EditCommand(&TWindow::bReplace); }
  Value SelectAll() { return EditCommand(&TWindow::bSelectAll); }

  std::weak_ptr<TMdiClient> oWndClient;
  TWindowPtr oControl;
  bool lKeepMenu = false;  // false: the menu is ended with the window
  std::optional<int> nMenuInfo;

 protected:
  void InitChild(const TMdiChildParams& p);
};

}  // namespace nx
