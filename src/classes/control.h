// TControl: the base class of every child control. Adds identifiers and
// binding to dialog items, keyboard navigation between siblings, focus
// bookkeeping in the parent with deferred validation, colours for the parent's
// colour requests, alignment in the parent's client area, drag and drop, and
// a design mode with eight sizing handles on a grid.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "classes/window.h"
#include "native/dispatch.h"

namespace nx {

class TControl;
using TControlPtr = std::shared_ptr<TControl>;


// Alignment codes.
enum Align : int { ALIGN_NONE = 1, ALIGN_TOP = 2, ALIGN_LEFT = 3, ALIGN_BOTTOM = 4, ALIGN_RIGHT = 5, ALIGN_CLIENT = 6 };

// Control natives.
int WNDTOP(HWND hWnd);
void WNDTOP(HWND hWnd, int nValue);
int WNDLEFT(HWND hWnd);
void WNDLEFT(HWND hWnd, int nValue);
int WNDWIDTH(HWND hWnd);
void WNDWIDTH(HWND hWnd, int nValue);
int WNDHEIGHT(HWND hWnd);
void WNDHEIGHT(HWND hWnd, int nValue);
void WNDADJTOP(HWND hWnd);
void WNDADJBOTTOM(HWND hWnd);
void WNDADJLEFT(HWND hWnd, HWND hTop, HWND hBottom);
void WNDADJRIGHT(HWND hWnd, HWND hTop, HWND hBottom);
void WNDADJCLIENT(HWND hWnd, HWND hTop, HWND hBottom, HWND hLeft, HWND hRight, bool lFlat, int nBevel);
void DOTSADJUST(HWND hWnd, const std::array<HWND, 8>& aDots);
// A dialog item template (positions in dialog units) as bytes.
std::string CCTRL2CHR(int nTop, int nLeft, int nBottom, int nRight, int nId, DWORD nStyle,
                      const std::string& cClassName, const std::string& cCaption);
bool CTL3DLOOK(HWND hWnd, bool lOn);
LONG GETDLGBASEUNITS();

// Design-mode grid.
void SetGridSize(int nColStep, int nRowStep);
std::pair<int, int> GetGridSize();  // { nColStep, nRowStep }

using DragBeginHook = std::function<void(int nRow, int nCol, int nKeyFlags, TControl& self)>;
using SysKeyHook = std::function<void(int nKey, int nFlags, TControl& self)>;

class TControl : public TWindow {
 public:
  const char* ClassName() const override { return "TCONTROL"; }
  TControlPtr SelfCtl() { return std::static_pointer_cast<TControl>(shared_from_this()); }

  // ---- identifiers and binding to dialog items -------------------------------
  static int GetNewId();
  static int& nInitID();
  // Binds to item nId of a dialog resource; the dialog calls Initiate later.
  void Redefine(int nId, const TWindowPtr& oWnd);
  virtual void Initiate(HWND hDlg);
  // The control as an item of a generated dialog template; subclasses name
  // their platform class.
  virtual std::string cToChar(const std::string& cClassName = {});

  // ---- events ---------------------------------------------------------------------
  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  Value EraseBkGnd(HDC hDC) override;
  Value GetDlgCode(WPARAM nKey) override;
  Value GotFocus(HWND hCtlLost) override;
  Value LostFocus(HWND hWndGetFocus) override;
  Value KeyChar(int nKey, int nFlags) override;
  Value KeyDown(int nKey, int nFlags) override;
  Value LButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value LButtonUp(int nRow, int nCol, int nKeyFlags) override;
  Value LDblClick(int nRow, int nCol, int nKeyFlags) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  bool End() override;
  void CoorsUpdate() override {}

  virtual Value Change() { return Value(); }
  virtual Value Click();
  virtual Value Colors(HDC hDC);
  virtual Value KeyUp(WPARAM, LPARAM) { return Value(); }
  virtual Value KillFocus(HWND hWndGetFocus);
  virtual Value NXLostFocus(HWND hWndGetFocus);
  virtual Value Display() { return Value(); }
  virtual Value SysCommand(WPARAM nType, int nLoWord, int nHiWord);
  using TWindow::SysCommand;
  virtual Value SysChar(int nKey, int nFlags);
  virtual Value SysKeyDown(int nKey, int nFlags);
  virtual void Init() {}
  bool EndsHelpSearch() const override { return false; }

  // What sets a kind of control apart; the base classes ask these rather
  // than its class name, so a subclass with a name of its own keeps them.
  // Draws its own focus rectangle and underlines: repainted when the
  // keyboard cues are switched on or off.
  virtual bool DrawsKeyboardCues() const { return false; }
  // A push button: moving the focus onto one with lCancel skips validation.
  virtual bool IsPushButton() const { return false; }
  // The focus arriving here forgets the parent's last navigation key, so
  // the control left does not pass the focus on after its validation.
  virtual bool ForgetsLastKeyOnFocus() const { return false; }
  // Not a push button to the dialog manager: Enter in a sibling clicks it
  // directly when it is the OK item.
  virtual bool ClickedAsOkOnEnter() const { return false; }
  // Themed: paints the parent's background behind itself; and, when
  // transparent, has the parent erase that background into its DC.
  virtual bool ShowsParentBackground() const { return false; }
  virtual bool ParentErasesBehind() const { return ShowsParentBackground(); }
  // Keeps its own background when its dialog is made transparent.
  virtual bool StaysOpaque() const { return false; }

  void ChangeFocus();
  void Default();
  void ForWhen();
  void DragBegin(int nRow, int nCol, int nKeyFlags);
  void SetFocus() override;
  Value VarGet();
  void VarPut(const Value& uValue);

  // ---- alignment -----------------------------------------------------------------
  void AdjTop() override;
  void AdjBottom() override;
  void AdjLeft() override;
  void AdjRight() override;
  void AdjClient() override;
  int nAlign();
  void nAlign(int n);
  void Move(int nTop, int nLeft, int nWidth = 0, int nHeight = 0, bool lRepaint = true) override;
  void SetWidth(int n);
  void SetHeight(int n);

  // ---- design mode -----------------------------------------------------------------
  void CheckDots();
  void ShowDots();
  static void HideDots();
  void MResize(int nHandle, int nRow, int nCol, const TWindowPtr& oDot);

  // ---- 3-D look ------------------------------------------------------------------------
  bool l3D() const { return l3DLook; }
  void l3D(bool lOn);
  bool Set3DLook(bool lOn = false);

  bool lUpdate() const override { return lUpdate_.value_or(false); }

  // ---- instance data ----------------------------------------------------------------------
  SetGet bSetGet;
  Block bChange;
  DragBeginHook bDragBegin;
  bool lCaptured = false, lDrag = false, lMouseDown = false;
  std::optional<bool> lUpdate_;
  bool l3DLook = false;
  int nLastRow = 0, nLastCol = 0;
  int nMResize = 0;
  Value nDlgCode;
  std::weak_ptr<TWindow> oJump;
  bool l97Look = false;
  SysKeyHook bSysKeyDown;
  int nClientBevel = 0;
  bool lTransparent = false;

  // Class-wide design-mode state.
  static inline std::optional<int> nPoint;  // row low word, column high word
  static inline std::array<TWindowPtr, 8> aDots{};

 protected:
  // Registers and creates the window, then joins the parent (subclasses' New).
  void CreateControl(const char* cClassName = nullptr);
  // The end of a subclass's New: with a live parent the window (platform
  // class cClassName) is created under a new id and joins the parent, then
  // setUp finishes it; otherwise the parent creates it when it opens.
  // False when the window could not be created.
  bool CreateOrDefer(const TWindowPtr& oParent, const char* cClassName, const std::function<void()>& setUp = {});
  // The control's own font, else the one it inherits.
  void ApplyFont();
};

}  // namespace nx
