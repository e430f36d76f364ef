// TMdiClient: the platform's MDI client window, filling the frame between
// its bars, holding the document windows (aWnd, oldest first) and passing
// the frame's arrangement commands to the platform.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "classes/mdiframe.h"

namespace nx {

class TMdiClient : public TWindow {
 public:
  // The Window pull-down at nMenuPos (1-based) of the frame's menu gets the
  // list of document windows, whose ids start at nFirstChildId.
  static TMdiClientPtr New(const TMdiFramePtr& oWnd, int nMenuPos, int nFirstChildId = 1,
                           std::shared_ptr<TBrush> oBrush = nullptr, bool lVScroll = false, bool lHScroll = false);
  const char* ClassName() const override { return "TMDICLIENT"; }
  bool EndsHelpSearch() const override { return false; }
  bool& lRegistered() override;
  TMdiClientPtr SelfClient() { return std::static_pointer_cast<TMdiClient>(shared_from_this()); }
  TMdiFramePtr Frame() const { return std::static_pointer_cast<TMdiFrame>(Parent()); }

  // A new document window on the frame, shown and focused.
  TMdiChildPtr ChildNew(const TMdiChildParams& p);
  void Add(TMdiChildPtr oChild);
  // The document window the platform reports active, or nullptr.
  TMdiChildPtr GetActive();
  void ChildActivate(const TMdiChildPtr& oChild);
  void ChildMaximize(const TMdiChildPtr& oChild);
  void ChildRestore(const TMdiChildPtr& oChild);
  // The next window after oChild in the platform's order (with lPrev, the previous).
  void ChildNext(const TMdiChildPtr& oChild, bool lPrev = false);
  // Destroys the document window and forgets it.
  void ChildClose(const TMdiChildPtr& oChild);
  void Tile(bool lHorizontal = false);
  void Cascade();
  void ArrangeIcons();
  // The same way Ctrl+F6 goes, and back.
  void NextWindow();
  void PrevWindow();
  void IconizeAll();
  // Ends the document windows newest first while each agrees; true when
  // none is left.
  bool lCloseAll();
  // Activates document window n (1-based).
  void Select(int n);
  // Puts a menu bar on the frame with its Window pull-down at nPos
  // (default the last) and installs its accelerators.
  void SetMenu(std::shared_ptr<TMenu> oMenu) override { SetMenu(std::move(oMenu), std::nullopt); }
  void SetMenu(const std::shared_ptr<TMenu>& oMenu, std::optional<int> nPos);
  // The scroll blocks a frame's Activate gives its client.
  void SetBarBlocks(const ActivateParams& p) { SetScrollBlocks(p); }

  Value KeyDown(int nKey, int nFlags) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  Value GotFocus(HWND hWndLost) override;
  // The platform keeps a maximised document window filling the client.
  Value ReSize(int, int, int) override { return Value(); }
  Value Display();

  std::vector<TMdiChildPtr> aWnd;
};

}  // namespace nx
