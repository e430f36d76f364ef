// Multiple-document windows: TMdiFrame, the top-level frame; TMdiClient
// (mdiclien.h), the platform's client window that holds the documents; and
// TMdiChild (mdichild.h), one document window.
//
// The platform manages the document windows (activation, maximising,
// tiling, the Window menu's list); the objects keep in step with it. The
// frame's default processing is the platform's frame procedure, so what the
// frame's handlers leave (NIL) the platform does.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "classes/window.h"

namespace nx {

class TMdiFrame;
class TMdiClient;
class TMdiChild;
struct TMdiChildParams;
using TMdiFramePtr = std::shared_ptr<TMdiFrame>;
using TMdiClientPtr = std::shared_ptr<TMdiClient>;
using TMdiChildPtr = std::shared_ptr<TMdiChild>;

// New's positional arguments, with their defaults.
struct TMdiFrameParams {
  // Character cells (16 x 8) unless lPixel; none: the platform's place and size.
  std::optional<int> nTop{}, nLeft{}, nBottom{}, nRight{};
  std::string cTitle{};
  DWORD nStyle = 0;  // 0: WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN
  std::shared_ptr<TMenu> oMenu{};  // none: "&Childs", the Window and the Help pull-downs
  std::shared_ptr<TBrush> oBrush{};
  std::shared_ptr<TIcon> oIcon{};
  std::string cIcon{};  // icon file name (when such a file exists) or resource name
  std::optional<COLORREF> nClrFore{}, nClrBack{};  // none: COLOR_WINDOWTEXT, COLOR_APPWORKSPACE
  bool lVScroll = false, lHScroll = false;           // the client's scroll bars
  // 1-based position of the Window pull-down in the menu bar; none: the
  // "&Window" item, else the last but one (2 for the default menu).
  std::optional<int> nMenuInfo{};
  TWindowPtr oWnd{};
  bool lPixel = false;
};

class TMdiFrame : public TWindow {
 public:
  static TMdiFramePtr New(const TMdiFrameParams& p = {});
  // New for a subclass.
  template <class T>
  static std::shared_ptr<T> NewAs(const TMdiFrameParams& p = {}) {
    auto w = std::make_shared<T>();
    w->InitFrame(p);
    return w;
  }
  const char* ClassName() const override { return "TMDIFRAME"; }
  bool EndsHelpSearch() const override { return false; }
  bool& lRegistered() override;
  TMdiFramePtr SelfFrame() { return std::static_pointer_cast<TMdiFrame>(shared_from_this()); }

  // ---- through the client --------------------------------------------------
  TMdiChildPtr ChildNew(const TMdiChildParams& p);
  TMdiChildPtr ChildNew();
  void Cascade();
  // Ends every document window, newest first; false when one refused.
  bool CloseAll();
  void IconizeAll();
  void Tile(bool lHorizontal = false);
  void ArrangeIcons();
  void NextWindow();
  void PrevWindow();
  void Select(int n);

  // ---- editing commands, to the active document window (NIL without one) ----
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
  void Open();

  // ---- life cycle and events -------------------------------------------------
  // The painted and click hooks and the scroll blocks go to the client.
  void Activate(const ActivateParams& p = {}) override;
  // Closes the document windows first; false when bValid or one of them refuses.
  bool End() override;
  Value ReSize(int nSizeType = 0, int nWidth = 0, int nHeight = 0) override;
  // Ids below 100 (the Window menu's document list) are the platform's.
  Value Command(WPARAM nWParam, LPARAM nLParam) override;
  Value GotFocus(HWND hWndLost) override;
  Value Destroy() override;

  // The first menu becomes the frame's own (oMenuStart) and its bar; later
  // ones (a document window's) replace it through the client, with their
  // Window pull-down at nMenuInfo (0 or less counts from the end).
  void SetMenu(std::shared_ptr<TMenu> oMenu) override { SetMenu(std::move(oMenu), std::nullopt); }
  void SetMenu(std::shared_ptr<TMenu> oMenu, std::optional<int> nMenuInfo);

  std::weak_ptr<TMdiChild> oWndActive;  // the document window last active
  TMdiClientPtr oWndClient;
  std::shared_ptr<TMenu> oMenuStart;
  int nMenuInfo = 2;
  std::function<void(TMdiFrame& self)> bOnOpen;

 protected:
  void InitFrame(const TMdiFrameParams& p);

 private:
  std::shared_ptr<TMenu> DefaultMenu();
  int nMenuInfoStart = 2;  // where oMenuStart keeps its Window pull-down
};

// The last frame created.
TMdiFramePtr GetWndFrame();

}  // namespace nx
