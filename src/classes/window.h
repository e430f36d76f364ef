// TWindow: the base class of every window of the library (top-level windows,
// dialogs and, through TControl, every control).
//
// Objects are owned by std::shared_ptr and never copied. The window list holds
// a reference to every linked window, so a window stays alive while its native
// window exists; the window procedure holds another for the length of each
// message, so a method may run on after its native window was destroyed under
// it (it then sees hWnd == 0).
//
// Event methods answer a Value: NIL asks for the previous window procedure's
// default processing, anything else ends the message with that result.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "native/dispatch.h"
#include "rt/value.h"

namespace nx {

class TWindow;
class TBrush;
class TFont;
class TCursor;
class TIcon;
class TMenu;
class TMenuItem;
class TScrollBar;
class TRect;
using TWindowPtr = std::shared_ptr<TWindow>;

// Event hooks. Every hook receives the window last (an xBase block simply
// ignores arguments it does not name).
using MouseHook = std::function<Value(int nRow, int nCol, int nKeyFlags, TWindow& self)>;
using KeyHook = std::function<Value(int nKey, int nFlags, TWindow& self)>;
using PaintHook = std::function<Value(HDC hDC, const std::string& cPS, TWindow& self)>;
using EraseHook = std::function<Value(HDC hDC, TWindow& self)>;
using ResizeHook = std::function<void(int nSizeType, int nWidth, int nHeight, TWindow& self)>;
using MovedHook = std::function<Value(int nRow, int nCol, TWindow& self)>;
using WheelHook = std::function<Value(int nKeys, int nDelta, int nXPos, int nYPos, TWindow& self)>;
using WindowHook = std::function<void(TWindow& self)>;
using CondHook = std::function<bool(TWindow& self)>;
using LostFocusHook = std::function<Value(TWindow& self, HWND hWndNew)>;
using GotFocusHook = std::function<Value(TWindow& self, HWND hWndLost)>;
using DropFilesHook = std::function<void(int nRow, int nCol, const std::vector<std::string>& aFiles, TWindow& self)>;
using MessageHook = std::function<Value(WPARAM nWParam, LPARAM nLParam, TWindow& self)>;
using MenuSelectHook = std::function<void(std::shared_ptr<TMenuItem> oItem, int nFlags, HMENU hMenu, TWindow& self)>;
// Scroll-bar action blocks (up, down, page up, page down, ...).
using ScrollHook = std::function<void()>;

// New's positional arguments, with their defaults.
struct TWindowParams {
  int nTop = 2, nLeft = 2, nBottom = 20, nRight = 70;
  std::string cTitle{};
  DWORD nStyle = 0;  // 0: built from the flags below
  std::shared_ptr<TMenu> oMenu{};
  std::shared_ptr<TBrush> oBrush{};
  std::shared_ptr<TIcon> oIcon{};
  std::string cIcon{};  // icon file name (when such a file exists) or resource name
  TWindowPtr oWnd{};    // parent; none: a top-level window
  bool lVScroll = false, lHScroll = false;
  std::optional<COLORREF> nClrFore{}, nClrBack{};  // none: COLOR_WINDOWTEXT, COLOR_WINDOW
  std::shared_ptr<TCursor> oCursor{};
  std::string cBorder = "SINGLE";  // "SINGLE" (sizing frame) or "NONE" (popup)
  bool lSysMenu = true, lCaption = true, lMin = true, lMax = true;
  bool lPixel = false;  // coordinates are pixels, not 16x8 character cells
};

// Activate's positional arguments. Hooks that are given replace the window's.
struct ActivateParams {
  std::string cShow = "NORMAL";  // "HIDDEN", "NORMAL", "ICONIZED", "MAXIMIZED"
  MouseHook bLClicked{}, bRClicked{};
  MovedHook bMoved{};      // accepted, not used: set the member directly
  ResizeHook bResized{};   // accepted, not used
  PaintHook bPainted{};
  KeyHook bKeyDown{};      // accepted, not used
  WindowHook bInit{};      // accepted, not used
  ScrollHook bUp{}, bDown{}, bPgUp{}, bPgDn{};
  ScrollHook bLeft{}, bRight{}, bPgLeft{}, bPgRight{};
  CondHook bValid{};
  DropFilesHook bDropFiles{};
  MouseHook bLButtonUp{};  // accepted, not used
};

class TWindow : public Object, public EventTarget {
 public:
  // ---- construction and life cycle ----------------------------------------
  static TWindowPtr New(const TWindowParams& p = {});
  // New for a subclass: builds a T and runs the same construction.
  template <class T>
  static std::shared_ptr<T> NewAs(const TWindowParams& p = {}) {
    auto w = std::make_shared<T>();
    w->Init(p);
    return w;
  }
  TWindow();
  ~TWindow() override;
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  const char* ClassName() const override { return "TWINDOW"; }
  TWindowPtr Self() { return std::static_pointer_cast<TWindow>(shared_from_this()); }

  virtual void Register(std::optional<UINT> nClassStyle = std::nullopt);
  virtual void Create(const char* cClassName = nullptr);
  void Link(bool lSubclass = true);
  void UnLink();
  virtual void Activate(const ActivateParams& p = {});
  virtual bool End();
  virtual bool lValid();
  virtual bool lWhen();
  // Whether this window class's native class is registered; each class keeps its own.
  virtual bool& lRegistered();

  // ---- dispatch -----------------------------------------------------------
  // Turns a message into a call of a named method (WNDHANDLEEVENT).
  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  WNDPROC OldProc() const override { return nOldProc; }
  HWND Handle() const override { return hWnd; }

  // Event methods, called by the dispatch with the message's unpacked values.
  // Mouse rows and columns are the unsigned 16-bit words of lParam.
  virtual Value Destroy();
  virtual Value Moved(int nRow, int nCol);
  virtual Value ReSize(int nSizeType = 0, int nWidth = 0, int nHeight = 0);
  virtual Value GotFocus(HWND hWndLost);
  virtual Value LostFocus(HWND hWndNew);
  virtual Value BeginPaint();
  virtual Value Paint();
  virtual Value EndPaint();
  virtual Value Close(WPARAM nWParam);
  virtual Value QueryEndSession();
  virtual Value EraseBkGnd(HDC hDC);
  virtual Value GetMinMaxInfo(MINMAXINFO* pMinMaxInfo);
  virtual Value DrawItem(WPARAM nIdCtl, DRAWITEMSTRUCT* pDrawItem);
  virtual Value MeasureItem(WPARAM nIdCtl, MEASUREITEMSTRUCT* pMeasureItem);
  virtual Value QueryDragIcon();
  virtual Value CommNotify(WPARAM nWParam, LPARAM nLParam);
  virtual Value Notify(WPARAM nIdCtrl, NMHDR* pNMHdr);
  virtual Value Help(WPARAM nWParam, LPARAM nLParam);
  virtual Value NcActivate(bool lActive);
  virtual Value GetDlgCode(WPARAM nKey);
  virtual Value NcMouseMove(int nHitTest, int nRow, int nCol);
  virtual Value KeyDown(int nKey, int nFlags);
  virtual Value KeyChar(int nKey, int nFlags);
  virtual Value Command(WPARAM nWParam, LPARAM nLParam);
  virtual Value SysCommand(WPARAM nWParam, LPARAM nLParam);
  virtual Value Timer(WPARAM nTimerId, LPARAM nLParam);
  virtual Value HScroll(WPARAM nWParam, LPARAM nLParam);
  virtual Value VScroll(WPARAM nWParam, LPARAM nLParam);
  virtual Value InitMenuPopup(HMENU hMenu, int nPos, bool lSysMenu);
  virtual Value MenuSelect(int nIdItem, int nFlags, HMENU hMenu);
  virtual Value MenuChar(int nChar, int nFlags, HMENU hMenu);
  virtual Value CtlColor(HWND hWndCtl, HDC hDC);
  virtual Value MouseMove(int nRow, int nCol, int nKeyFlags);
  virtual Value LButtonDown(int nRow, int nCol, int nKeyFlags);
  virtual Value LButtonUp(int nRow, int nCol, int nKeyFlags);
  virtual Value LDblClick(int nRow, int nCol, int nKeyFlags);
  virtual Value RButtonDown(int nRow, int nCol, int nKeyFlags);
  virtual Value RButtonUp(int nRow, int nCol, int nKeyFlags);
  virtual Value MButtonDown(int nRow, int nCol, int nKeyFlags);
  virtual Value MButtonUp(int nRow, int nCol, int nKeyFlags);
  virtual Value MouseWheel(int nKeys, int nDelta, int nXPos, int nYPos);
  virtual Value DropFiles(HDROP hDrop);
  virtual Value QueryNewPalette();
  virtual Value PaletteChanged(HWND hWndPalChg);
  virtual Value DdeInitiate(HWND hWndClient, int nAppAtom, int nTopicAtom);
  virtual Value DdeTerminate(HWND hWndClient);
  virtual Value DdeAck(WPARAM nWParam, LPARAM nLParam);
  virtual Value DdeExecute(WPARAM nWParam, LPARAM nLParam);
  virtual Value HelpF1();
  virtual Value DropOver(int nRow, int nCol, LPARAM nLParam);
  virtual Value AsyncSelect(WPARAM nWParam, LPARAM nLParam);
  virtual Value TaskBar(WPARAM nWParam, LPARAM nLParam);
  virtual Value NcPaint();
  virtual Value Inspect(const std::string& cData);

  // ---- painting -------------------------------------------------------------
  struct DispRecord;  // the double-buffer record of the current paint
  std::shared_ptr<DispRecord> DispBegin();
  void DispEnd(const std::shared_ptr<DispRecord>& aInfo);
  HDC GetDC();
  void ReleaseDC();
  virtual void Refresh(bool lErase = true);

  // ---- geometry -------------------------------------------------------------
  virtual void CoorsUpdate();
  int nWidth();
  void nWidth(int n);
  int nHeight();
  void nHeight(int n);
  void SetCoors(const TRect& oRect);
  void SetBounds(int nLeft, int nTop, int nRight, int nBottom);
  virtual void Move(int nTop, int nLeft, int nWidth = 0, int nHeight = 0, bool lRepaint = true);
  void SetSize(int nWidth, int nHeight, bool lRepaint = true);
  std::shared_ptr<TRect> GetRect();
  std::shared_ptr<TRect> GetCliRect();
  void Center(const TWindowPtr& oWnd = nullptr);

  // ---- show state -----------------------------------------------------------
  void Show();
  void Hide();
  void Maximize();
  void Minimize();
  void Normal();
  void Restore();
  void Iconize();
  void GoTop();
  void ToolWindow();
  void ClientEdge();

  // ---- appearance -----------------------------------------------------------
  void SetColor(COLORREF nClrText, COLORREF nClrPane, std::shared_ptr<TBrush> oBrush = nullptr);
  void SetColor(const std::string& cColorSpec);
  void SetBrush(std::shared_ptr<TBrush> oBrush);
  virtual void SetFont(std::shared_ptr<TFont> oFont);
  std::shared_ptr<TFont> GetFont();
  int nGetChrHeight();
  void SetIcon(std::shared_ptr<TIcon> oIcon);
  virtual void SetMenu(std::shared_ptr<TMenu> oMenu);
  void SetText(const std::string& cText);
  std::string cTitle();
  std::string cTitle(const std::string& cText);
  std::string GetText();
  void SelColor(bool lFore = false);
  void SelFont();

  // ---- children and focus ---------------------------------------------------
  void AddControl(TWindowPtr oCtrl);
  // A control bound to an item of this window's dialog resource (dialogs
  // initiate it when their native window exists).
  virtual void DefControl(TWindowPtr oCtrl) { AddControl(std::move(oCtrl)); }
  void AEvalWhen();
  TWindowPtr FirstActiveCtrl();
  TWindowPtr LastActiveCtrl();
  virtual void Update();
  void Enable();
  void Disable();
  virtual void SetFocus();
  virtual void GoNextCtrl(HWND hWndCurrent);
  virtual void GoPrevCtrl(HWND hWndCurrent);

  // ---- messages -------------------------------------------------------------
  BOOL PostMsg(UINT nMsg, WPARAM nWParam = 0, LPARAM nLParam = 0);
  LRESULT SendMsg(UINT nMsg, WPARAM nWParam = 0, LPARAM nLParam = 0);
  void SetMsg(const std::string& cText = {}, bool lDefault = false);

  // ---- tool tips --------------------------------------------------------------
  void CheckToolTip();
  void ShowToolTip(std::optional<int> nRow = std::nullopt, std::optional<int> nCol = std::nullopt,
                   const Value& cToolTip = {});
  void DestroyToolTip();
  void HelpTopic();

  // Layout slots' adjustment methods (controls and bars override them).
  virtual void AdjTop() {}
  virtual void AdjBottom() {}
  virtual void AdjLeft() {}
  virtual void AdjRight() {}
  virtual void AdjClient() {}
  virtual void Adjust() {}
  // Menus, folders and list-like children answer these.
  virtual void SelChanged() {}
  virtual Value FillMeasure(MEASUREITEMSTRUCT*) { return {}; }
  virtual bool lUpdate() const { return false; }
  // Alt and a letter: a control with hot keys of its own (a tab strip)
  // takes it. OfferHotKey asks this window's controls, then its parents'.
  virtual bool TakeHotKey(int /*nChar*/) { return false; }
  bool OfferHotKey(int nChar);

  // Message bars answer this (SetMsg shows a text on them) and true to
  // ShowsMessages (a window's bottom bar gets its texts then).
  virtual void ShowMsg(const std::string&, bool /*lDefault*/) {}
  virtual bool ShowsMessages() const { return false; }
  // Modeless dialogs leave the dialog registry when destroyed.
  virtual bool IsModelessDialog() const { return false; }
  // Document windows of a multiple-document frame answer true.
  virtual bool IsMdiChild() const { return false; }
  // Tabbed folders answer true: their pages are dialogs that live inside them.
  virtual bool IsFolder() const { return false; }
  // Dialogs answer true: Tab and Shift+Tab follow the dialog manager's tab
  // stops rather than the order of aControls.
  virtual bool TabsByDialogManager() const { return false; }
  // Get fields answer true: their KeyDown evaluates bKeyDown before it comes
  // here, so it must not run twice.
  virtual bool EvalsKeyDownFirst() const { return false; }
  // Controls with a hover look answer true: a system command takes the mouse
  // away without a leave notice, so they are sent one.
  virtual bool TracksHover() const { return false; }
  // A help request without a topic climbs the parents until one that answers
  // true: windows and dialogs do; controls and inner windows pass it on.
  virtual bool EndsHelpSearch() const { return true; }
  // An editing command (the Edit and File menus' Copy, Paste, Print, ...):
  // evaluates the window's block with the window (and uArg when given);
  // NIL without one. A frame hands it to its active document window.
  virtual Value EditCommand(Block TWindow::*bHook, const Value& uArg = {});

 protected:
  // New's body, shared with subclasses' constructors.
  void Init(const TWindowParams& p);
  // Ends the brush, cursors, icon, font, menus and scroll bars (Destroy).
  void ReleaseResources();
  void AttachScrollBars(bool lVScroll, bool lHScroll);
  void SetScrollBlocks(const ActivateParams& p);
  // A scroll action (codes 0..5) from the window's own bar.
  void OwnBarScroll(bool lVertical, int nCode, int nPos);

 public:
  // ---- instance data ----------------------------------------------------------
  HWND hWnd = nullptr;
  WNDPROC nOldProc = nullptr;

  WindowHook bInit;
  MovedHook bMoved;
  MouseHook bLClicked, bLButtonUp, bMButtonDown, bMButtonUp, bRClicked, bRButtonUp, bLDblClick, bMMoved;
  KeyHook bKeyDown, bKeyChar;
  PaintHook bPainted;
  EraseHook bEraseBkGnd;
  WheelHook bMouseWheel;
  ResizeHook bResized;
  CondHook bWhen, bValid;
  GotFocusHook bGotFocus;
  LostFocusHook bLostFocus;
  DropFilesHook bDropFiles;
  MessageHook bCommNotify, bSocket, bTaskBar, bDdeInit, bDdeExecute;
  MenuSelectHook bMenuSelect;
  Block bZip, bUnZip, bDropOver, bClrGrad;
  Block bCopy, bCut, bFind, bPaste, bPrint, bUnDo, bReDo, bDelete, bSelectAll, bFindNext, bReplace, bProperties;
  Block OnClick, OnKeyDown, OnMove, OnPaint, OnResize;
  Value OnMouseMove;  // a block, or the name of a method

  std::string cCaption, cPS, cVarName, cMsg;
  Value cToolTip;  // a string, a block, or { cText, cTitle, nIcon, nClrText, nClrBack }
  int nPaintCount = 0;
  Value Cargo;
  HDC hDC = nullptr;
  int nId = 0;
  bool lActive = true;
  bool lCancel = false, lFocused = false, lVisible = false, lDesign = false, lVbx = false, lValidating = false;
  std::optional<bool> lBalloon;
  int nTop = 0, nLeft = 0, nBottom = 10, nRight = 10;  // Create's default rectangle
  DWORD nStyle = 0, nExStyle = 0;
  int nChrHeight = 0, nChrWidth = 0, nLastKey = 0;
  COLORREF nClrPane = 0, nClrText = 0;
  bool lClrPaneSet = false;
  Value nResult;
  int nHelpId = 0;
  HWND hCtlFocus = nullptr;
  std::vector<TWindowPtr> aControls;
  std::optional<std::array<int, 8>> aMinMaxInfo;

  TWindowPtr oBar;
  std::shared_ptr<TBrush> oBrush;
  std::shared_ptr<TCursor> oCursor, oDragCursor;
  std::shared_ptr<TFont> oFont;
  std::shared_ptr<TIcon> oIcon;
  std::shared_ptr<TMenu> oMenu, oSysMenu, oPopup;
  TWindowPtr oMsgBar;
  std::weak_ptr<TWindow> oWnd;  // the parent owns its children, not the other way round
  std::shared_ptr<TScrollBar> oVScroll, oHScroll;
  TWindowPtr oCtlFocus;
  TWindowPtr oTop, oLeft, oBottom, oRight, oClient;
  int nPosition = 0;

  TWindowPtr Parent() const { return oWnd.lock(); }

  // Class data shared by every window class.
  static inline std::shared_ptr<TMenuItem> oMItemSelect;
  static inline int nToolTip = 900;
};

// ---- window list and module functions -----------------------------------------
// Each element is a window or nullptr (a free slot); slot numbers are 1-based.
const std::vector<TWindowPtr>& GetAllWin();
size_t nWindows();
TWindowPtr oWndFromHwnd(HWND hWnd);
TWindowPtr GetWndDefault();
void SetWndDefault(TWindowPtr oWnd);
TWindowPtr WndMain();
bool WndParents(HWND hWnd1, HWND hWnd2);
bool SetBalloon();
bool SetBalloon(bool lOnOff);
bool SetAlpha();
bool SetAlpha(bool lOnOff);
void SetDropInfo(Value x);
Value GetDropInfo();
// Raises library error 6 for a window that could not be created.
Value WndCreateError(TWindow& oWnd);

// The router the library window procedure calls (installed by Link): the
// method result and the window procedure that was in place before subclassing.
ResultPair _NXH(LPARAM first, UINT nMsg, WPARAM nWParam, LPARAM nLParam, int nSlot);

// The message-to-method dispatch behind TWindow::HandleEvent (window_events.cpp).
Value WNDHANDLEEVENT(TWindow& self, UINT nMsg, WPARAM nWParam, LPARAM nLParam);

}  // namespace nx
