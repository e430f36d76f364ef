// TCBrowse: a browse whose columns are objects (TCColumn) instead of one row
// block. On top of the browse it adds frozen columns at the left, a header
// double click that switches the work area's order to the column's, an
// incremental search that seeks as the user types, dragging a header onto
// another to exchange the two columns, and column-border resizing of its
// own. The data sources, the navigation and the kinetic drag and glide are
// the browse's own, reached through its virtual drawing and geometry.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classes/tccolumn.h"
#include "classes/wbrowse.h"

namespace nx {

class TCBrowse;
using TCBrowsePtr = std::shared_ptr<TCBrowse>;

// A context saved and restored around focus changes and paints (SetContext).
class TCBrowseContext {
 public:
  virtual ~TCBrowseContext() = default;
  virtual void Save() = 0;
  virtual void Restore() = 0;
  virtual void Renew() = 0;
  virtual void Destroy() = 0;
};

// A database object a column browse can read instead of a work area
// (SetoDBF). The application supplies it.
class TCBrowseDbf {
 public:
  virtual ~TCBrowseDbf() = default;
  virtual long RecCount() = 0;
  virtual void GoTop() = 0;
  virtual void GoBottom() = 0;
  virtual long Skipper(long nRows) = 0;  // rows really moved
  virtual long RecNo() = 0;
  virtual void GoTo(long nRecNo) = 0;
  virtual bool Eof() = 0;
  virtual bool Seek(const Value& uKey, bool lSoft) = 0;  // true when found
  virtual void SetOrder(const std::string& cOrder) = 0;
  // The key of the active order for the current record; NIL in natural order.
  virtual Value OrderKey() = 0;
  // Drops the hooks the object runs at its begin or end of file: the browse
  // moves through it by itself.
  virtual void ClearFileHooks() {}
  // A context the browse keeps for the object (an object over several
  // tables has one), or none.
  virtual std::shared_ptr<TCBrowseContext> Context() { return nullptr; }
};

using SeekHook = std::function<void(TCBrowse& oBrw)>;

class TCBrowse : public TWBrowse {
 public:
  static TCBrowsePtr New(const TWBrowseParams& p = {});
  static TCBrowsePtr ReDefine(const TWBrowseRedefineParams& p);
  const char* ClassName() const override { return "TCBROWSE"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  static const std::vector<std::string>& aProperties();
  TCBrowsePtr SelfCBrw() { return std::static_pointer_cast<TCBrowse>(shared_from_this()); }

  // ---- columns and sources ---------------------------------------------------------
  TCColumnPtr AddColumn(TCColumnPtr oCol);
  void LoadFields();
  void SetArray(const ArrayPtr& aArray);
  void SetoDBF(const std::shared_ptr<TCBrowseDbf>& oDbf);
  bool SwitchCols(int nCol1, int nCol2);
  void Exchange(int nCol1, int nCol2);
  void Default() override;
  int nColumns() override { return int(aColumns.size()); }
  void Reset();

  // ---- orders and the incremental search --------------------------------------------
  bool SetOrder(int nCol);
  void Seek(int nKey);
  std::string ResetSeek();
  void ResetBarPos();
  // The date search text "  /  /    " edited by a key (a digit or backspace).
  std::string DateSeek(const std::string& cText, int nKey);

  // ---- painting and geometry ------------------------------------------------------------
  Value Paint() override;
  void DrawHeaders();
  void DrawLine(std::optional<int> nLine = std::nullopt) override;
  Value DrawSelect() override;
  int nAtCol(int nColPix) override { return nAtCol(nColPix, false); }
  int nAtCol(int nColPix, bool lNoFreeze);
  bool IsColVisible(int nCol) override;
  int FrozenWidth() override;
  bool DrawsVertLine() const override { return false; }
  // Its cells are drawn by the cell painter, not recorded by Line.
  bool KeepsPicture() override { return false; }
  void VertLineTc(std::optional<int> nColPix = std::nullopt, std::optional<int> nColInit = std::nullopt);
  // A drawn column: its number, left edge and width (-1: to the right edge).
  struct DrawnColumn {
    int nCol = 0, nLeft = 0, nWidth = 0;
  };
  std::vector<DrawnColumn> ColumnWalk();

  // ---- navigation, keys, focus -------------------------------------------------------------
  Value GoUp() override;
  Value GoDown() override;
  Value GoLeft() override;
  Value GoRight() override;
  Value GoTop() override;
  Value GoBottom() override;
  Value PageUp(std::optional<int> nLines = std::nullopt) override;
  Value PageDown(std::optional<int> nLines = std::nullopt) override;
  Value VScroll(WPARAM nWParam, LPARAM nLParam) override;
  Value KeyChar(int nKey, int nFlags) override;
  Value GotFocus(HWND hCtlLost) override;
  Value LostFocus(HWND hWndGetFocus) override;
  Value Destroy() override;
  void SetContext(const std::shared_ptr<TCBrowseContext>& oContext = {});

  // ---- mouse and editing -----------------------------------------------------------------------
  Value LButtonDown(int nRow, int nCol, int nKeyFlags) override;
  Value MouseMove(int nRow, int nCol, int nKeyFlags) override;
  Value LButtonUp(int nRow, int nCol, int nKeyFlags) override;
  Value LDblClick(int nRow, int nCol, int nKeyFlags) override;
  // The cell editors stand over the drawn cell; Edit (and Enter with
  // lAutoEdit) edits an editable column through it and writes back.
  std::optional<ARect> CellRect(int nCol) override;
  void Edit(int nCol = 1) override;

  // ---- instance data --------------------------------------------------------------------------------
  std::vector<TCColumnPtr> aColumns;
  ArrayPtr aArray;
  bool lNoHScroll = false, lNoLiteBar = false, lNoGrayBar = false, lLogicDrop = false;
  std::optional<int> nAdjColumn;
  bool lRePaint = true;
  int nFreeze = 0;
  std::shared_ptr<TCBrowseDbf> oDbf;
  std::shared_ptr<TCBrowseContext> oCtx;
  bool lColDrag = false, lLineDrag = false;
  int nDragCol = 0;
  bool lAutoCtx = true;
  HBITMAP hBmpCursor = nullptr;
  SeekHook bSeekChange;
  std::string cSeek;
  int nColOrder = 0;
  std::optional<COLORREF> nOClrForeHead, nOClrBackHead;
  std::string cOrderType;
  Array aImages;
  std::vector<HBITMAP> aBitmaps;

 protected:
  void HeaderLine(HDC hDC) override;
  int LinesToPaint() override { return nRowCount() + (lNoHScroll ? 1 : 0); }
  bool IsWorkArea() const override;

 private:
  bool IsArraySource() const;
  void SyncSizes();
  void SeekChanged();
  bool SwitchOrder(int nCol);
  Value OrderKey();
  // The data source behind the search: the database object or the work area.
  long SourceRecNo();
  void SourceGoTo(long nRecNo);
  bool SourceSeek(const Value& uKey);
  bool SourceEof();
  void DrawCells(HDC hDC, int nLine, bool lSelect);
  int BorderAt(int nCol, int* pColumn);
  void EndHeaderDrag();
  void EditCell(int nCol);

  // The border being dragged: its column, its x at the press and the x of
  // the guide line drawn now (0: none).
  int nLineCol = 0, nLineStartX = 0, nLineDrawnX = 0;
  int nLitIcon = 0;
};

}  // namespace nx
