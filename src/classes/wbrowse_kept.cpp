// TWBrowse: the kept picture. A paint runs every Skip and row block as
// always, but only records the lines it would draw; then it redraws, in a
// picture kept between paints, just the pixel rows where a line's record
// differs from what the picture holds, in the order a full paint would draw
// them, clipped to those rows, and copies the picture to the screen. The
// pixels are a full paint's: every pixel row is drawn by the fill and by the
// lines over it (a line's grid reaches two rows into the line above), and
// rows whose lines are unchanged hold what those lines drew last time. The
// header line, drawn on the fill, is kept apart for as long as its call,
// the look and the width stay: a paint that must draw it copies it.
#include <algorithm>
#include <memory>
#include <optional>

#include "classes/brush.h"
#include "classes/wbrowse.h"
#include "native/draw.h"
#include "rt/strings.h"

namespace nx {

namespace {
// Rows above its own line that a line's grid reaches.
constexpr int kReachUp = 2;
using Part = BrowsePaintPart;
using detail::PaintMark;
}  // namespace

// One WBRWLINE call of a paint, owning its arguments.
struct TWBrowse::LineCall {
  WBrwLineParams p;  // without window, device context or blocks; Params aims it at the copies below
  Array values;
  std::vector<std::string> texts;
  std::vector<int> sizes;
  std::optional<std::vector<bool>> justify;
  std::optional<int> len;  // bLogicLen's answer, when the painter asked it

  explicit LineCall(const WBrwLineParams& call)
      : p(call), values(call.aValues.begin(), call.aValues.end()), sizes(call.aColSizes.begin(), call.aColSizes.end()) {
    if (call.aJustify) justify = *call.aJustify;
    // The painter asks the length first: ask it here, in the same turn.
    if (call.lVScroll && call.bLogicLen) len = call.bLogicLen();
    p.hWnd = nullptr, p.hDC = nullptr, p.aValues = {}, p.aColSizes = {}, p.aJustify = nullptr, p.bLogicLen = {};
    texts.reserve(values.size());
    for (const Value& v : values) texts.push_back(cValToChar(v));
  }

  // Whether the two draw the same pixels above their line: the grid's
  // geometry, and for the dotted grid (a pattern in the cell colours) the
  // colours too.
  bool SameReachUp(const LineCall& o) const {
    return sizes == o.sizes && p.nColPos == o.p.nColPos && p.lTree == o.p.lTree && p.lVScroll == o.p.lVScroll &&
           len == o.len && p.nLineStyle == o.p.nLineStyle && p.hFont == o.p.hFont &&
           (p.nLineStyle != 4 || (SameColours(o) && p.nColAct == o.p.nColAct));
  }
  bool SameColours(const LineCall& o) const {
    return p.nClrText.rgb == o.p.nClrText.rgb && p.nClrPane.rgb == o.p.nClrPane.rgb &&
           p.nClrTextCell.rgb == o.p.nClrTextCell.rgb && p.nClrPaneCell.rgb == o.p.nClrPaneCell.rgb;
  }
  bool operator==(const LineCall& o) const {
    return p.nLine == o.p.nLine && texts == o.texts && SameReachUp(o) && SameColours(o) && justify == o.justify &&
           p.nColAct == o.p.nColAct;
  }
  WBrwLineParams Params(HWND hWnd, HDC hDC) const {
    WBrwLineParams call = p;
    call.hWnd = hWnd, call.hDC = hDC, call.aValues = values, call.aColSizes = sizes;
    call.aJustify = justify ? &*justify : nullptr;
    if (len) call.bLogicLen = [n = *len] { return n; };
    return call;
  }
};

struct TWBrowse::KeptPicture {
  // The header line as its call drew it on the brush's fill, whole.
  struct Header {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ oldBmp = nullptr;
    std::optional<LineCall> call;
    int width = 0;  // the window's outer width, which the painter reads
    void Free() {
      if (dc && oldBmp) SelectObject(dc, oldBmp);
      if (dc) DeleteDC(dc);
      if (bmp) DeleteObject(bmp);
      dc = nullptr, bmp = nullptr, oldBmp = nullptr;
      call.reset();
    }
  } header;

  HDC dc = nullptr;
  HBITMAP bmp = nullptr;
  HGDIOBJ oldBmp = nullptr;
  int width = 0, height = 0;
  // What the picture was drawn with: a change of any of these drops it.
  HFONT font = nullptr;
  LOGBRUSH brush{};
  bool themed = false;
  int lineHeight = 0;
  // The calls each line's pixels come from, and the calls whose grid drew
  // the two rows above the line (the same calls but after a shift, where
  // the header's rows stay, so the two share them until one); null:
  // unknown, drawn anew.
  using Record = std::shared_ptr<const std::vector<LineCall>>;
  std::vector<Record> lines, above;

  // This paint's records, in drawing order.
  std::vector<LineCall> calls;
  bool recording = false;
  bool full = false;    // this paint draws everything anew (a bitmap cell)
  bool direct = false;  // this paint drew as it went (a colour block)

  ~KeptPicture() { Free(); }
  void Free() {
    header.Free();
    if (dc) {
      SelectObject(dc, oldBmp);
      DeleteDC(dc);
    }
    if (bmp) DeleteObject(bmp);
    dc = nullptr, bmp = nullptr, oldBmp = nullptr, width = height = 0;
    lines.clear();
    above.clear();
  }
  bool Make(HDC like, int w, int h) {
    Free();
    dc = CreateCompatibleDC(like);
    bmp = dc ? CreateCompatibleBitmap(like, std::max(w, 1), std::max(h, 1)) : nullptr;
    oldBmp = bmp ? SelectObject(dc, bmp) : nullptr;
    if (!oldBmp || oldBmp == HGDI_ERROR) {
      oldBmp = nullptr;
      if (bmp) DeleteObject(bmp);
      if (dc) DeleteDC(dc);
      dc = nullptr, bmp = nullptr;
      return false;
    }
    // Every paint starts from the state of a new device context.
    SaveDC(dc);
    width = w, height = h;
    return true;
  }

  // Whether the kept header is what this call draws now.
  bool HeaderHolds(const LineCall& c, int outer) const {
    return header.dc && header.call && *header.call == c && header.width == outer;
  }
  // Keeps the header line just drawn, rows 0 to lineHeight, before any
  // other line draws over them.
  void KeepHeader(const LineCall& c, int outer) {
    header.call.reset();
    if (!header.dc) {
      header.dc = CreateCompatibleDC(dc);
      header.bmp = header.dc ? CreateCompatibleBitmap(dc, std::max(width, 1), std::max(lineHeight, 1)) : nullptr;
      header.oldBmp = header.bmp ? SelectObject(header.dc, header.bmp) : nullptr;
      if (!header.oldBmp || header.oldBmp == HGDI_ERROR) {
        header.oldBmp = nullptr;
        header.Free();
        return;
      }
    }
    if (BitBlt(header.dc, 0, 0, width, lineHeight, dc, 0, 0, SRCCOPY)) header.call = c, header.width = outer;
  }
};

namespace {
int OuterWidth(HWND hWnd) {
  RECT r{};
  return hWnd && GetWindowRect(hWnd, &r) ? int(r.right - r.left) : 0;
}
}  // namespace

void TWBrowse::ForgetPicture(bool lHeader) {
  if (kept_) {
    kept_->lines.clear();
    kept_->above.clear();
    if (lHeader) kept_->header.Free();
  }
}

bool TWBrowse::KeepsPicture() { return true; }

void TWBrowse::Line(const WBrwLineParams& p) {
  KeptPicture* k = kept_.get();
  if (!k || !k->recording) {
    WBRWLINE(p);
    return;
  }
  bool blocks = false;
  for (const BrwColor* color : {&p.nClrText, &p.nClrPane, &p.nClrTextCell, &p.nClrPaneCell})
    blocks = blocks || bool(color->block);
  if (blocks) {
    // Colour blocks are asked while the line is drawn: from here on this
    // paint draws as it goes, over the whole picture.
    k->recording = false;
    k->direct = true;
    RECT all{0, 0, k->width, k->height};
    FillRect(k->dc, &all, oBrush->hBrush);
    for (const LineCall& c : k->calls) WBRWLINE(c.Params(hWnd, k->dc));
    k->calls.clear();
    WBRWLINE(p);
    return;
  }
  PaintMark mark(Part::Records);
  for (const Value& v : p.aValues)
    if (v.IsNumber()) k->full = true;  // a bitmap may reach any line
  k->calls.emplace_back(p);
}

HDC TWBrowse::KeptBegin(HDC hPaintDC) {
  if (!hWnd || !hPaintDC || !oBrush || !oBrush->hBrush || !KeepsPicture()) return nullptr;
  RECT rc{};
  if (!GetClientRect(hWnd, &rc)) return nullptr;
  if (!kept_) kept_ = std::make_shared<KeptPicture>();
  KeptPicture& k = *kept_;
  if (!k.dc || k.width != rc.right || k.height != rc.bottom) {
    if (!k.Make(hPaintDC, rc.right, rc.bottom)) {
      kept_.reset();
      return nullptr;
    }
  }
  RestoreDC(k.dc, -1);
  SaveDC(k.dc);
  LOGBRUSH lb{};
  GetObjectA(oBrush->hBrush, sizeof lb, &lb);
  bool themed = ISAPPTHEMED() && ISTHEMEACTIVE();
  HFONT font = FontHandle();
  HGDIOBJ old = font ? SelectObject(k.dc, font) : nullptr;
  TEXTMETRICA tm{};
  GetTextMetricsA(k.dc, &tm);
  if (old) SelectObject(k.dc, old);
  int lineHeight = tm.tmHeight + 1;
  if (font != k.font || lineHeight != k.lineHeight || themed != k.themed || lb.lbStyle != k.brush.lbStyle ||
      lb.lbColor != k.brush.lbColor || lb.lbHatch != k.brush.lbHatch) {
    ForgetPicture();
    k.font = font, k.lineHeight = lineHeight, k.themed = themed, k.brush = lb;
  }
  k.calls.clear();
  k.full = k.direct = false;
  k.recording = true;
  return k.dc;
}

void TWBrowse::KeptAbandon() {
  if (!kept_) return;
  kept_->recording = false;
  kept_->calls.clear();
  ForgetPicture();
}

void TWBrowse::KeptEnd(HDC hPaintDC) {
  if (!kept_) return;
  KeptPicture& k = *kept_;
  k.recording = false;
  if (k.direct) {
    ForgetPicture(false);
    BitBlt(hPaintDC, 0, 0, k.width, k.height, k.dc, 0, 0, SRCCOPY);
    return;
  }
  std::optional<PaintMark> part(std::in_place, Part::Compare);
  const bool bitmaps = k.full;
  bool full = bitmaps;
  const int h = std::max(k.lineHeight, 1);
  // The calls of each line, in order, as places in this paint's calls.
  int lastLine = 0;
  for (const LineCall& c : k.calls) lastLine = std::max(lastLine, c.p.nLine);
  std::vector<std::vector<size_t>> now(size_t(std::max(lastLine + 1, int(k.lines.size()))));
  bool outside = false;  // a line below the picture or above the header
  for (size_t i = 0; i < k.calls.size(); ++i) {
    if (k.calls[i].p.nLine < 0) outside = true;
    else now[size_t(k.calls[i].p.nLine)].push_back(i);
  }
  // The pixel rows to draw anew: each changed line's own and the two above.
  HRGN dirty = CreateRectRgn(0, 0, 0, 0);
  auto addRows = [&](int top, int bottom) {
    top = std::max(top, 0), bottom = std::min(bottom, k.height);
    if (top >= bottom) return;
    HRGN band = CreateRectRgn(0, top, k.width, bottom);
    CombineRgn(dirty, dirty, band, RGN_OR);
    DeleteObject(band);
  };
  if (full || outside || k.lines.empty()) {
    full = true;  // nothing is known of the picture: every call is drawn
    addRows(0, k.height);
  } else {
    // Whether a record holds the calls of line j, all or only above it.
    auto holds = [&](const std::vector<KeptPicture::Record>& records, size_t j, bool reachUp) {
      if (j >= records.size() || !records[j] || records[j]->size() != now[j].size()) return false;
      for (size_t i = 0; i < now[j].size(); ++i) {
        const LineCall& kept = (*records[j])[i];
        const LineCall& call = k.calls[now[j][i]];
        if (!(reachUp ? kept.SameReachUp(call) : kept == call)) return false;
      }
      return true;
    };
    for (size_t j = 0; j < now.size(); ++j) {
      int top = int(j) * h;
      if (!holds(k.lines, j, false)) addRows(top, top + h);
      if (j > 0 && !holds(k.above, j, true)) addRows(top - kReachUp, top);
    }
  }
  // The header can be kept when it is the first call and the only one of
  // its line, and shows no bitmap (one can change under its handle).
  bool header = !k.calls.empty() && k.calls[0].p.nLine == 0;
  for (size_t i = 0; header && i < k.calls.size(); ++i)
    if (i > 0 && k.calls[i].p.nLine == 0) header = false;
  if (header)
    for (const Value& v : k.calls[0].values)
      if (v.IsNumber()) header = false;
  RECT box{};
  if (GetRgnBox(dirty, &box) != NULLREGION) {
    part.emplace(Part::Fill);
    // A clip region costs every drawing call: none when all is drawn.
    if (full) {
      RECT all{0, 0, k.width, k.height};
      FillRect(k.dc, &all, oBrush->hBrush);
    } else {
      SelectClipRgn(k.dc, dirty);
      FillRgn(k.dc, dirty, oBrush->hBrush);
    }
    // Selected once for all the lines (the painter then leaves it as it is).
    HFONT font = FontHandle();
    HGDIOBJ oldFont = font ? SelectObject(k.dc, font) : nullptr;
    part.emplace(Part::Lines);
    const int outer = header ? OuterWidth(hWnd) : 0;
    for (size_t i = 0; i < k.calls.size(); ++i) {
      const LineCall& c = k.calls[i];
      RECT reach{0, c.p.nLine * h - kReachUp, k.width, (c.p.nLine + 1) * h};
      if (!full && !outside && !RectInRegion(dirty, &reach)) continue;
      if (i == 0 && header && k.HeaderHolds(c, outer)) {
        BitBlt(k.dc, 0, 0, k.width, h, k.header.dc, 0, 0, SRCCOPY);
        continue;
      }
      WBrwLineParams call = c.Params(hWnd, k.dc);
      // The painter need not measure the font this paint measured already.
      if (font && c.p.hFont == font && font == k.font) call.nLineHeight = k.lineHeight;
      WBRWLINE(call);
      if (i == 0 && header) {
        // Kept only when drawn whole on the fill.
        HRGN band = CreateRectRgn(0, 0, k.width, h);
        if (CombineRgn(band, band, dirty, RGN_DIFF) == NULLREGION) k.KeepHeader(c, outer);
        DeleteObject(band);
      }
    }
    if (oldFont) SelectObject(k.dc, oldFont);
    if (!full) SelectClipRgn(k.dc, nullptr);
  }
  part.emplace(Part::Keep);
  DeleteObject(dirty);
  k.lines.assign(now.size(), nullptr);
  for (size_t j = 0; j < now.size(); ++j) {
    auto calls = std::make_shared<std::vector<LineCall>>();
    calls->reserve(now[j].size());
    for (size_t i : now[j]) calls->push_back(std::move(k.calls[i]));
    k.lines[j] = std::move(calls);
  }
  k.above = k.lines;
  // A bitmap may have reached lines whose records do not show it: the next
  // paint draws everything anew too.
  if (outside || bitmaps) ForgetPicture(false);
  k.calls.clear();
  part.emplace(Part::Copy);
  BitBlt(hPaintDC, 0, 0, k.width, k.height, k.dc, 0, 0, SRCCOPY);
}

void TWBrowse::KeptScroll(int nLines) {
  if (!kept_ || !kept_->dc || nLines == 0) return;
  KeptPicture& k = *kept_;
  const int h = std::max(k.lineHeight, 1);
  // WBRWSCROLL's area: the whole data lines under the header.
  int count = (k.height - h) / h;
  int n = std::abs(nLines);
  if (n >= count) {
    ForgetPicture(false);
    return;
  }
  int kept = (count - n) * h;
  if (nLines > 0) BitBlt(k.dc, 0, h, k.width, kept, k.dc, 0, h + n * h, SRCCOPY);
  else BitBlt(k.dc, 0, h + n * h, k.width, kept, k.dc, 0, h, SRCCOPY);
  // Line j now shows what line j + nLines showed, and the rows above it
  // what the rows above that line held; the header's rows do not move.
  auto shift = [&](std::vector<KeptPicture::Record>& records, bool header) {
    std::vector<KeptPicture::Record> moved(std::max(records.size(), size_t(count) + 1));
    if (!records.empty()) moved[0] = records[0];
    for (int j = 1; j <= count; ++j) {
      // The rows above line 1 are the header's and stay; those above a
      // line that came from line 1 are the header's old rows, not moved.
      int from = header && j == 1 ? 1 : j + nLines;
      bool inside = from >= (header && j > 1 ? 2 : 1) && from <= count;
      if (inside && size_t(from) < records.size() && records[size_t(from)]) {
        // The records name their line: a moved line takes its new number.
        auto calls = std::make_shared<std::vector<LineCall>>(*records[size_t(from)]);
        for (LineCall& c : *calls) c.p.nLine = j;
        moved[size_t(j)] = std::move(calls);
      }
    }
    for (size_t j = size_t(count) + 1; j < records.size(); ++j) moved[j] = records[j];
    records = std::move(moved);
  };
  shift(k.lines, false);
  shift(k.above, true);
}

}  // namespace nx
