// TWBrowse: the row-and-column browse. It shows one row of its data source
// per text line under a header line, moves a highlighted row (or cell)
// through it with keys, wheel, scroll bars and the mouse, and glides on after
// a quick drag (kinetic scrolling). It never holds the data: five blocks read
// it, set up for a work area (the default), an array or a tree.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classes/control.h"
#include "classes/wbrowse_edit.h"
#include "native/browse.h"
#include "rt/kinetic.h"

namespace nx {

class TWBrowse;
using TWBrowsePtr = std::shared_ptr<TWBrowse>;

// Data-source blocks.
using LineBlock = std::function<Array(TWBrowse& oBrw)>;       // one value per column of the current row
using SkipBlock = std::function<int(int nRows, TWBrowse& oBrw)>;  // rows really moved
using CountBlock = std::function<int(TWBrowse& oBrw)>;
using BrowseHook = std::function<void(TWBrowse& oBrw)>;
using ColSizesBlock = std::function<std::vector<int>(TWBrowse& oBrw)>;
using HeaderAction = std::function<void(TWBrowse& oBrw, int nRow, int nCol)>;
using BrowseMouseHook = MouseHook;

// The protocol a tree source offers (TLinkList and TTreeItem, linklist.h).
class BrowseTreeItem;
class BrowseTree {
 public:
  virtual ~BrowseTree() = default;
  virtual std::shared_ptr<BrowseTreeItem> FirstItem() = 0;
  virtual std::shared_ptr<BrowseTreeItem> LastItem() = 0;  // the last visible one
  virtual int nCount() = 0;  // visible items
  virtual void Draw() {}
};
class BrowseTreeItem : public Object {
 public:
  virtual Array GetLabel() = 0;
  virtual std::vector<int> ColSizes() = 0;
  // The item nRows away; nRows becomes the rows really moved.
  virtual std::shared_ptr<BrowseTreeItem> SkipItems(int& nRows) = 0;
  virtual bool HasTree() = 0;  // has a subtree to open or close
  virtual void Toggle() = 0;
  virtual int ItemNo() = 0;  // visible items before this one
};

// New's 27 positional arguments, with their defaults.
struct TWBrowseParams {
  int nRow = 0, nCol = 0;
  int nWidth = 100, nHeight = 100;
  LineBlock bLine = {};
  std::optional<Array> aHeaders = {};
  std::optional<std::vector<int>> aColSizes = {};
  TWindowPtr oWnd = {};  // none: the default window
  std::string cField = {};
  Value uValue1 = {}, uValue2 = {};
  BrowseHook bChange = {};
  BrowseMouseHook bLDblClick = {}, bRClicked = {};
  std::shared_ptr<TFont> oFont = {};
  std::shared_ptr<TCursor> oCursor = {};
  COLORREF nClrFore = 0;
  std::optional<COLORREF> nClrBack = {};  // none: COLOR_WINDOW
  std::string cMsg = {};
  bool lUpdate = false;
  std::optional<std::string> cAlias = {};  // none: Alias() now
  bool lPixel = false;
  CondHook bWhen = {};
  bool lDesign = false;
  CondHook bValid = {};
  BrowseMouseHook bLClicked = {};
  std::optional<std::vector<HeaderAction>> aActions = {};
};

// ReDefine's 22 positional arguments.
struct TWBrowseRedefineParams {
  int nId = 0;
  LineBlock bLine = {};
  TWindowPtr oWnd = {};
  std::optional<Array> aHeaders = {};
  std::optional<std::vector<int>> aColSizes = {};
  std::string cField = {};
  Value uValue1 = {}, uValue2 = {};
  BrowseHook bChange = {};
  BrowseMouseHook bLDblClick = {}, bRClicked = {};
  std::shared_ptr<TFont> oFont = {};
  std::shared_ptr<TCursor> oCursor = {};
  COLORREF nClrFore = 0;
  std::optional<COLORREF> nClrBack = {};
  std::string cMsg = {};
  bool lUpdate = false;
  std::optional<std::string> cAlias = {};
  CondHook bWhen = {}, bValid = {};
  BrowseMouseHook bLClicked = {};
  std::optional<std::vector<HeaderAction>> aActions = {};
};

class TWBrowse : public TControl {
 public:
  static TWBrowsePtr New(const TWBrowseParams& p = {});
  static TWBrowsePtr ReDefine(const TWBrowseRedefineParams& p);
  const char* ClassName() const override { return "TWBROWSE"; }
  bool StaysOpaque() const override { return true; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  TWBrowsePtr SelfBrw() { return std::static_pointer_cast<TWBrowse>(shared_from_this()); }

  // ---- data model -----------------------------------------------------------
  virtual void Default();
  void Initiate(HWND hDlg) override;
  Value Destroy() override;
  int nRowCount();
  int Skip(int n);
  std::vector<int> GetColSizes();
  void SetArray(const ArrayPtr& aArray);
  void SetFilter(const std::string& cField = {}, const Value& uValue1 = {}, const Value& uValue2 = {});
  void SetTree(const std::shared_ptr<BrowseTree>& oTree);
  void SetCols(const std::vector<std::function<Value()>>& aData, std::optional<Array> aHeaders = {},
               std::optional<std::vector<int>> aColSizes = {});
  int RecCount(const Value& uSeek);
  void UpStable();
  void BugUp() { UpStable(); }
  bool lCloseArea();
  void RecAdd();
  Value ReSize(int nSizeType = 0, int nWidth = 0, int nHeight = 0) override;
  virtual int nColumns();  // values of one row
  // The current array element (array sources).
  int nAtRow() const { return nAt.value_or(0); }

  // ---- painting ---------------------------------------------------------------
  Value Display() override;
  Value Paint() override;
  Value EraseBkGnd(HDC) override { return Value(1); }
  virtual void DrawLine(std::optional<int> nLine = std::nullopt);
  virtual Value DrawSelect();
  Value GotFocus(HWND hCtlLost) override;
  Value LostFocus(HWND hWndGetFocus) override;
  virtual int nAtCol(int nColPix);
  virtual bool IsColVisible(int nCol);
  void DrawIcons();
  void DrawIcon(int nIcon, bool lFocused = false);
  // Drops the picture the browse keeps between paints: the next paint draws
  // every line anew (for code that draws over the browse itself). lHeader
  // false keeps the header line drawn for this look and width, which the
  // browse drops by itself when the look, the width or the header's texts,
  // widths or colours change.
  void ForgetPicture(bool lHeader = true);
  int nAtIcon(int nRow, int nCol);
  HFONT FontHandle() const;

  // ---- navigation ---------------------------------------------------------------
  virtual Value GoUp();
  virtual Value GoDown();
  virtual Value GoLeft();
  virtual Value GoRight();
  virtual Value GoTop();
  virtual Value GoBottom();
  virtual Value PageUp(std::optional<int> nLines = std::nullopt);
  virtual Value PageDown(std::optional<int> nLines = std::nullopt);
  Value KeyDown(int nKey, int nFlags) override;
  Value GetDlgCode(WPARAM nKey) override;
  Value MouseWheel(int nKeys, int nDelta, int nXPos, int nYPos) override;
  Value VScroll(WPARAM nWParam, LPARAM nLParam) override;
  Value HScroll(WPARAM nWParam, LPARAM nLParam) override;
  void VSetPos(int n);
  void VThumbPos(int nBarPos);
  int VGetPos() const { return nVScrollPos; }
  void VSetRange();
  int VGetMax();
  void VGoDown();
  void VGoUp();
  int VGetThumbPos(int nBarPos) const;
  void VGoBottom() { VSetPos(nLen); }
  // WBRWSCROLL, the kept picture shifted with the screen.
  void ScrollLines(int nLines);
  void VGoTop() { VSetPos(1); }

  // ---- mouse and kinetic scrolling ---------------------------------------------------
  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  Value LButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  Value LButtonUp(int nRow, int nCol, int nKeyFlags) override;
  Value LDblClick(int nRow, int nCol, int nKeyFlags) override;
  Value MouseLeave(int nRow, int nCol, int nKeyFlags);
  void VertLine(std::optional<int> nColPix = std::nullopt, std::optional<int> nColInit = std::nullopt);
  void ShowSizes();
  // Width of the frozen columns of column browses (where a border search starts).
  virtual int FrozenWidth() { return 0; }
  // Whether VertLine draws the resizing line (column browses draw their own).
  virtual bool DrawsVertLine() const { return true; }
  // Whether the browse gets a vertical bar without WS_VSCROLL (list-box look-alikes).
  virtual bool AlwaysVScroll() const { return false; }
  // With lAutoEdit a double click on the current line edits the cell under
  // the pointer: through this hook when set, else Edit.
  std::function<void(TWBrowse& oBrw, int nCol)> bEdit;

  // ---- cell editing (wbrowse_edit.cpp) ----------------------------------------------------
  // Edits uVar over the cell of column nCol (0: nColAct) on the current row
  // in a small modal popup; true when accepted (uVar then holds the new
  // value), false when cancelled (uVar unchanged).
  virtual bool lEditCol(int nCol, Value& uVar, const CellEditParams& p = {});
  // Opens an editor on the cell and answers false at once; p.bValid gets the
  // outcome when the editor closes. One such editor at a time (oGet).
  bool EditCol(int nCol, const Value& uVar, const EditColParams& p = {});
  // Edits column nCol of the current row; a work area's field gets the
  // accepted text under a record lock. With lAutoSkip editing moves on.
  virtual void Edit(int nCol = 1);
  // Screen rectangle of column nCol on the current row, none when there is no such cell.
  virtual std::optional<ARect> CellRect(int nCol);

  // ---- instance data ---------------------------------------------------------------------
  std::string cAlias;
  std::string cField;
  Value uValue1, uValue2;
  LineBlock bLine;
  SkipBlock bSkip;
  BrowseHook bGoTop, bGoBottom;
  CountBlock bLogicLen;
  BrowseHook bChange, bAdd;
  int nRowPos = 1, nColPos = 1, nLen = 0;
  std::optional<int> nAt;  // array sources: the current element
  int nColAct = 1;
  std::optional<int> nMaxFilter;
  bool lHitTop = false, lHitBottom = false;
  bool lMChange = true, lAutoEdit = false, lAutoSkip = false, lCellStyle = false;
  Array aHeaders;
  std::vector<int> aColSizes;
  ColSizesBlock bColSizes;  // tree sources: widths from the current item
  COLORREF nClrBackHead = 0, nClrForeHead = 0, nClrBackFocus = 0, nClrForeFocus = 0;
  std::optional<std::vector<bool>> aJustify;
  std::optional<std::vector<HeaderAction>> aActions;
  TWindowPtr oGet;
  int nLineStyle = 2;
  bool lIconView = false;
  std::vector<HICON> aIcons;
  std::function<int()> bIconDraw;
  std::function<Value()> bIconText;
  int nIconPos = 0;
  int nVScrollPos = 0;
  int nStopRatio = 4, nMaxRowToAdvance = 40, nMinVelocity = 50;
  bool lDrawSelected = true;
  HCURSOR hCursorHand = nullptr;
  std::shared_ptr<BrowseTree> oTreeSource;
  std::shared_ptr<BrowseTreeItem> oTreeItem;

 protected:
  // Drag state of kinetic scrolling: copies of what `kinetics` holds, kept
  // in step after every mouse message for the code that reads them.
  std::optional<int> nStartMRow, nEndMRow, nRowAdvance, nColAdvance;
  DWORD nStartTime = 0, nEllapsed = 0;
  bool lDown = true, lPressed = false, lMoved = false;
  Kinetics kinetics;
  // The rest of a click a glide took: its button-up, and a double click
  // the system makes of it, are still to be eaten.
  bool lEatUp = false, lEatDblClick = false;

  // What New and ReDefine do once the object exists (subclasses make their
  // own object, set their members, then call these). nStyle replaces New's
  // window style.
  void Construct(const TWBrowseParams& p, std::optional<DWORD> nStyle = std::nullopt);
  void Construct(const TWBrowseRedefineParams& p);
  // Paint's header line, and the number of lines it draws.
  virtual void HeaderLine(HDC hDC);
  // Whether paints keep their picture and redraw only the lines that changed;
  // a subclass that draws lines by other means than Line answers false.
  virtual bool KeepsPicture();
  // Every line a paint draws goes through here: inside a paint that keeps
  // its picture it is recorded and drawn at the end, only where it changed.
  void Line(const WBrwLineParams& p);
  // WBRWLINE's arguments for a line of this browse in its own colours.
  WBrwLineParams LineParams(HDC hDC, int nLine, std::span<const Value> aValues, std::span<const int> aColSizes);
  virtual int LinesToPaint() { return nRowCount(); }
  virtual bool IsWorkArea() const;
  int RefreshLen();  // nLen from bLogicLen

 private:
  template <class Params>
  void InitMembers(const Params& p);
  template <class Params>
  void TakeArguments(const Params& p);
  std::function<int()> LogicLenFn();
  std::vector<int> DefaultWidths(const Array& row);
  void DragStep(Kinetics::Step step, int nCol);
  void Glide(const Kinetics::Plan& plan);
  void SyncKinetics();
  // Column resizing by the mouse (the pointer is captured meanwhile).
  struct ColumnResize {
    int column = 0;
    int startX = 0;
    int minX = 0;
    int drawnX = 0;
  } resize;
  bool EatGlideClick(UINT nMsg);
  // Paint's rows: the header, every line, the selection.
  void PaintRows();
  Array RowValues();  // the row block's answer, for a paint
  // The kept picture (wbrowse_kept.cpp).
  struct LineCall;
  struct KeptPicture;
  std::shared_ptr<KeptPicture> kept_;
  HDC KeptBegin(HDC hPaintDC);  // the picture's DC, or nullptr: paint as before
  void KeptEnd(HDC hPaintDC);
  void KeptAbandon();
  void KeptScroll(int nLines);  // WBRWSCROLL moved the screen's lines
  // The vertical bar: moved without a redraw, redrawn once when the thumb
  // stands on another pixel than the one drawn.
  void BarMove(int nPos);
  void BarFlush();
  int barHold_ = 0;
  bool barPending_ = false;
  int barDrawnPos_ = 0;
  std::pair<LONG, LONG> barDrawnThumb_{};
  struct BarBatch {
    TWBrowse& b;
    explicit BarBatch(TWBrowse& brw) : b(brw) { ++b.barHold_; }
    ~BarBatch() {
      if (--b.barHold_ == 0) b.BarFlush();
    }
  };
  // A drag step ends by repainting the whole window from the kept picture:
  // while it runs, a scroll moves the picture only, not the window's pixels
  // the paint replaces anyway. Not for a glide step: it pauses without
  // going back to the message loop, and Wine was seen to show such a paint
  // only after the window's own scroll or a return to the loop.
  int wholeRepaint_ = 0;
  struct WholeRepaint {
    TWBrowse& b;
    explicit WholeRepaint(TWBrowse& brw) : b(brw) { ++b.wholeRepaint_; }
    ~WholeRepaint() { --b.wholeRepaint_; }
  };
};

// Work-area row block of a browse without one: the visible fields as text.
Array _AFIELDS(TWBrowse& oBrw);
// The results of evaluating each block.
Array _ADATA(const std::vector<std::function<Value()>>& aData);
// Printing aids: element n of an array, or of a row block's result.
std::function<Value()> GENLOCAL(const ArrayPtr& aArray, int n);
std::function<Value()> GENBLOCK(const LineBlock& bLine, TWBrowse& oBrw, int n);

// The parts of a browse's paint, marked as each begins and ends, for a
// profiler (the benchmark); while no mark is set nothing is marked.
enum class BrowsePaintPart { Begin, Bars, Setup, Data, Records, Compare, Fill, Lines, Keep, Copy, End, Count };
using BrowsePaintMark = void (*)(BrowsePaintPart ePart, bool lBegin);
BrowsePaintMark SetBrowsePaintMark(BrowsePaintMark fn);
namespace detail {
extern BrowsePaintMark g_browsePaintMark;
struct PaintMark {
  explicit PaintMark(BrowsePaintPart part) : part_(part) {
    if (g_browsePaintMark) g_browsePaintMark(part_, true);
  }
  ~PaintMark() {
    if (g_browsePaintMark) g_browsePaintMark(part_, false);
  }
  PaintMark(const PaintMark&) = delete;
  PaintMark& operator=(const PaintMark&) = delete;

 private:
  BrowsePaintPart part_;
};
}  // namespace detail

}  // namespace nx
