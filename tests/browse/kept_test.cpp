// The picture a browse keeps between paints and the bar it redraws only when
// the thumb moves: after every kind of move the window (bar included) shows
// exactly what a full repaint of it with the picture dropped shows, and the
// data blocks are called as in such repaints. The suite runs once more with
// visual styles (--themed).
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/demo.h"
#include "browse/browse_support.h"
#include "classes/scrllbar.h"
#include "common/client_pixels.h"
#include "native/browse.h"
#include "native/dispatch.h"
#include "rt/value.h"

using namespace nx;
using namespace browsetest;
using nxtest::Differing;
using nxtest::WindowPixels;

namespace {

void Settle(HWND hWnd) {
  SYSREFRESH();
  UpdateWindow(hWnd);
}

// The real pointer rests on the middle of the browse's data area. The tests
// send their drags as if it were there, and the browse asks the system to
// report the pointer leaving it: with the real one over any other part of
// the browse (a bar, the box between the bars, where earlier test programs
// park it at the screen's bottom right) that report follows the next move
// and ends the press, and no fling glides.
void RestPointerOn(HWND hWnd) {
  RECT r{};
  GetClientRect(hWnd, &r);
  POINT pt{r.right / 2, r.bottom / 2};
  ClientToScreen(hWnd, &pt);
  SetCursorPos(pt.x, pt.y);
  Settle(hWnd);
}

testing::AssertionResult PointerOnData(HWND hWnd) {
  POINT pt{};
  GetCursorPos(&pt);
  if (WindowFromPoint(pt) != hWnd)
    return testing::AssertionFailure() << "the pointer at " << pt.x << "," << pt.y << " is not over the browse";
  LRESULT hit = SendMessageA(hWnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
  if (hit != HTCLIENT)
    return testing::AssertionFailure() << "the pointer at " << pt.x << "," << pt.y << " hits " << hit
                                       << ", not the browse's data area";
  return testing::AssertionSuccess();
}

// Pixels of the browse window (frame and bars included) that differ between
// what it shows now and a full repaint of it with the kept picture dropped.
size_t AgainstFullRepaint(TWBrowse& b) {
  Settle(b.hWnd);
  std::vector<DWORD> shown = WindowPixels(b.hWnd);
  b.ForgetPicture();
  RedrawWindow(b.hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  return Differing(shown, WindowPixels(b.hWnd));
}

// A browse of the demo's shape in the test font: 1000 rows of eight texts,
// seven 100-pixel columns, with its vertical bar; row 5 shows a bitmap
// taller than a line in its eighth column.
struct Rig {
  Parent parent{820, 560};
  ArrayPtr table = Table(1000, 8);
  TWBrowsePtr b;
  HBITMAP tall = nullptr;
  std::vector<int> reads;  // nAt at every row block call

  Rig() {
    tall = CreateBitmap(12, 40, 1, 1, nullptr);
    b = ArrayBrowse(parent.get(), table, 8, {100, 100, 100, 100, 100, 100, 100}, 780, 500);
    for (const char* text : {"One", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight"})
      b->aHeaders.emplace_back(text);
    auto plain = b->bLine;
    b->bLine = [this, plain](TWBrowse& brw) {
      reads.push_back(brw.nAtRow());
      Array row = plain(brw);
      if (brw.nAtRow() == 5) row[7] = Value(int64_t(reinterpret_cast<intptr_t>(tall)));
      return row;
    };
    ShowWindow(parent.get()->hWnd, SW_SHOW);
    UpdateWindow(parent.get()->hWnd);
    RestPointerOn(b->hWnd);
  }
  ~Rig() {
    if (parent.get()->hWnd) DestroyWindow(parent.get()->hWnd);
    DeleteObject(tall);
  }

  void Expect(const std::string& step) {
    EXPECT_EQ(AgainstFullRepaint(*b), 0u) << step << ", line style " << b->nLineStyle;
  }
  LPARAM At(int line) const { return MAKELPARAM(150, line * LineHeight(TestHFont()) + 3); }
};

TEST(KeptPicture, EveryMoveShowsWhatAFullRepaintShows) {
  Rig d;
  TWBrowse& b = *d.b;
  ASSERT_TRUE(b.oVScroll);
  ASSERT_TRUE(PointerOnData(b.hWnd));
  BrowseClock standing = SetBrowseClock({.tick = [] { return DWORD(5000); }, .sleep = [](DWORD) {}});
  for (int style : {2, 0, 1, 3, 4, 5, 6, 7, 8}) {
    b.nLineStyle = style;
    b.GoTop();
    b.Refresh();
    d.Expect("top");
    for (int i = 0; i < 30; ++i) {
      b.GoDown();
      if (i % 7 == 6) d.Expect("down " + std::to_string(i));
    }
    d.Expect("down past the last line");
    for (int i = 0; i < 3; ++i) b.GoUp();
    b.Refresh();
    d.Expect("up and refreshed");
    b.PageDown();
    d.Expect("page down");
    b.PageUp();
    d.Expect("page up");
    if (style != 2 && style != 4) continue;
    b.GoBottom();
    d.Expect("bottom");
    b.GoUp();
    b.Refresh();
    d.Expect("up from the bottom");
    b.GoTop();
    d.Expect("top again");
    // A drag down and back: the rows follow the pointer, the bar moves and
    // moves back.
    SendMessageA(b.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, d.At(10));
    for (int line = 11; line <= 16; ++line) SendMessageA(b.hWnd, WM_MOUSEMOVE, MK_LBUTTON, d.At(line));
    d.Expect("dragged");
    for (int line = 15; line >= 4; --line) SendMessageA(b.hWnd, WM_MOUSEMOVE, MK_LBUTTON, d.At(line));
    SendMessageA(b.hWnd, WM_LBUTTONUP, 0, d.At(4));
    d.Expect("dragged back and released");
    // The cell cursor.
    b.lCellStyle = true;
    b.GoRight();
    b.GoRight();
    b.GoDown();
    d.Expect("cell cursor");
    b.lCellStyle = false;
    b.Refresh();
    // Out of focus and back.
    SetFocus(d.parent.get()->hWnd);
    d.Expect("focus away");
    SetFocus(b.hWnd);
    d.Expect("focus back");
  }
  // A glide: ten lines in 50 ticks, released, run without pauses.
  DWORD tick = 1000;
  int pauses = 0;
  SetBrowseClock({.tick = [&] { return tick; }, .sleep = [&](DWORD) { ++pauses; }});
  b.GoTop();
  SendMessageA(b.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, d.At(25));
  for (int line = 24; line >= 15; --line) {
    tick += 5;
    SendMessageA(b.hWnd, WM_MOUSEMOVE, MK_LBUTTON, d.At(line));
  }
  SendMessageA(b.hWnd, WM_LBUTTONUP, 0, d.At(15));
  EXPECT_EQ(pauses, b.nMaxRowToAdvance);  // fast enough for the most rows
  d.Expect("glided");
  // A new brush and a new width drop the picture.
  b.SetColor(RGB(0, 0, 128), RGB(255, 255, 224));
  b.Refresh();
  d.Expect("new colours");
  MoveWindow(b.hWnd, 0, 0, 640, 420, TRUE);
  d.Expect("resized");
  // The header, kept apart, is drawn anew when its texts, a column's width
  // or its colours change.
  b.aHeaders[1] = Value("Second");
  b.Refresh();
  d.Expect("new header text");
  b.aColSizes[0] = 60;
  b.Refresh();
  d.Expect("new column width");
  b.nClrForeHead = RGB(255, 255, 0);
  b.nClrBackHead = RGB(128, 0, 0);
  b.Refresh();
  d.Expect("new header colours");
  SetBrowseClock(standing);
}

TEST(KeptPicture, APaintReadsTheRowsAFullPaintReads) {
  Rig d;
  TWBrowse& b = *d.b;
  for (int i = 0; i < 40; ++i) b.GoDown();
  Settle(b.hWnd);
  d.reads.clear();
  b.Refresh();
  Settle(b.hWnd);  // the picture is kept: nothing changed
  std::vector<int> kept = d.reads;
  d.reads.clear();
  b.ForgetPicture();
  b.Refresh();
  Settle(b.hWnd);
  EXPECT_FALSE(kept.empty());
  EXPECT_EQ(kept, d.reads);
}

// The demo's browse as it drew before it kept its picture: every paint
// draws every line.
class FullPaintBrowse : public TWBrowse {
 public:
  static TWBrowsePtr New(const TWBrowseParams& p) {
    auto b = std::make_shared<FullPaintBrowse>();
    b->Construct(p);
    return b;
  }

 protected:
  bool KeepsPicture() override { return false; }
};

// The demo's own window and browse (its code: columns, colours, font, the
// 1000 rows), maximized, or the same browse drawing every line in every
// paint; the data blocks' calls are logged while `logging`.
struct DemoWindow {
  TWindowPtr wnd = demo::MainWindow();
  TWBrowsePtr b;
  bool logging = false;
  std::vector<std::string> log;

  explicit DemoWindow(bool lKept = true) {
    ArrayPtr table = demo::BuildTable();
    if (lKept) {
      b = demo::TableBrowse(wnd, table);
    } else {
      b = FullPaintBrowse::New(demo::TableParams(wnd));
      demo::AttachTable(b, table);
    }
    auto line = b->bLine;
    b->bLine = [this, line](TWBrowse& brw) {
      Log("line " + std::to_string(brw.nAtRow()));
      return line(brw);
    };
    auto skip = b->bSkip;
    b->bSkip = [this, skip](int n, TWBrowse& brw) {
      int moved = skip(n, brw);
      Log("skip " + std::to_string(n) + " " + std::to_string(moved));
      return moved;
    };
    auto len = b->bLogicLen;
    b->bLogicLen = [this, len](TWBrowse& brw) {
      Log("len");
      return len(brw);
    };
    ShowWindow(wnd->hWnd, SW_SHOWMAXIMIZED);
    Settle(wnd->hWnd);
    RestPointerOn(b->hWnd);
  }
  ~DemoWindow() {
    if (wnd->hWnd) DestroyWindow(wnd->hWnd);
  }
  void Log(std::string call) {
    if (logging) log.push_back(std::move(call));
  }
  LPARAM At(int line) const { return MAKELPARAM(150, line * LineHeight(b->FontHandle()) + 3); }
};

// A scripted run over the demo: keys, wheel, the bar's arrows, pages and
// thumb, both ends, slow drags, glides both ways on a substituted clock,
// a resize. point(name) follows every step and every pause of a glide.
void Script(DemoWindow& d, const std::function<void(const std::string&)>& point) {
  TWBrowse& b = *d.b;
  const HWND h = b.hWnd;
  DWORD tick = 1000;
  BrowseClock saved = SetBrowseClock({.tick = [&] { return tick; }, .sleep = [&](DWORD) { point("glide pause"); }});
  auto key = [&](WPARAM vk, int times, const std::string& name) {
    for (int i = 0; i < times; ++i) {
      SendMessageA(h, WM_KEYDOWN, vk, 0);
      point(name + " " + std::to_string(i));
    }
  };
  auto bar = [&](WORD code, WORD pos, const std::string& name) {
    SendMessageA(h, WM_VSCROLL, MAKEWPARAM(code, pos), 0);
    point(name);
  };
  // A drag through the lines `via`, one line per move; `ms` ticks a move
  // (slow: no glide at the release).
  auto drag = [&](std::vector<int> via, DWORD ms, const std::string& name) {
    int line = via.front();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, d.At(line));
    point(name + " pressed");
    for (int to : via) {
      while (line != to) {
        line += to > line ? 1 : -1;
        tick += ms;
        SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, d.At(line));
        point(name + " at line " + std::to_string(line));
      }
    }
    tick += ms;
    SendMessageA(h, WM_LBUTTONUP, 0, d.At(line));
    point(name + " released");
  };
  point("shown");
  key(VK_DOWN, 60, "down");
  key(VK_UP, 12, "up");
  key(VK_NEXT, 4, "page down");
  key(VK_PRIOR, 2, "page up");
  for (int i = 0; i < 6; ++i) {
    POINT pt{150, 100};
    ClientToScreen(h, &pt);
    const short delta = i < 3 ? -WHEEL_DELTA : WHEEL_DELTA;
    SendMessageA(h, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(delta)), MAKELPARAM(pt.x, pt.y));
    point("wheel " + std::to_string(i));
  }
  const WORD barMax = WORD(b.oVScroll->GetRange().second);
  for (int i = 0; i < 5; ++i) bar(SB_LINEDOWN, 0, "bar line down " + std::to_string(i));
  for (int i = 0; i < 3; ++i) bar(SB_PAGEDOWN, 0, "bar page down " + std::to_string(i));
  for (WORD pos : {WORD(500), WORD(501), WORD(2), WORD(barMax - 1), WORD(barMax / 3), WORD(1), barMax})
    bar(SB_THUMBPOSITION, pos, "thumb at " + std::to_string(pos));
  bar(SB_LINEUP, 0, "bar line up at the bottom");
  key(VK_HOME, 1, "top");
  drag({10, 30}, 1000, "slow drag");
  drag({30, 4}, 1000, "slow drag back");
  drag({12, 20, 8, 14}, 1000, "drag turning twice");
  drag({25, 15}, 5, "fling towards the end");
  key(VK_END, 1, "bottom");
  key(VK_DOWN, 2, "down at the bottom");
  drag({15, 25}, 5, "fling towards the start");
  drag({10, 3}, 5, "fling towards the end again");
  // The browse resized (its own window: the desktop would answer a change
  // of the frame's size in its own time).
  RECT full{};
  GetWindowRect(h, &full);
  MapWindowPoints(HWND_DESKTOP, d.wnd->hWnd, reinterpret_cast<POINT*>(&full), 2);
  const int width = full.right - full.left, height = full.bottom - full.top;
  MoveWindow(h, full.left, full.top, width * 2 / 3, height * 2 / 3, TRUE);
  point("smaller");
  key(VK_DOWN, 5, "down in the smaller browse");
  MoveWindow(h, full.left, full.top, width, height, TRUE);
  point("full size again");
  SetBrowseClock(saved);
}

// The glide pauses before each point that ends a drag.
std::map<std::string, int> GlidesAtReleases(const std::vector<std::string>& points) {
  std::map<std::string, int> glides;
  int pauses = 0;
  for (const std::string& point : points) {
    if (point == "glide pause") {
      ++pauses;
      continue;
    }
    if (point.ends_with(" released")) glides[point] = pauses;
    pauses = 0;
  }
  return glides;
}

// A run's data calls in order, each with the point it came before (a paint
// the desktop sends late may fall before the next point).
struct CallLog {
  std::vector<std::string> points, calls;
  std::vector<size_t> before;
  void Point(DemoWindow& d, const std::string& name) {
    for (std::string& call : std::exchange(d.log, {})) {
      calls.push_back(std::move(call));
      before.push_back(points.size());
    }
    points.push_back(name);
  }
  // Where the two part: the point and the calls from there ("" where they do not).
  std::string Parting(const CallLog& o) const {
    size_t i = 0;
    while (i < calls.size() && i < o.calls.size() && calls[i] == o.calls[i]) ++i;
    if (i == calls.size() && i == o.calls.size()) return "";
    std::string text = "before " + (i < before.size() ? points[before[i]] : std::string("the end"));
    for (const CallLog* log : {this, &o}) {
      text += "\n ";
      for (size_t k = i; k < log->calls.size() && k < i + 8; ++k) text += " | " + log->calls[k];
    }
    return text;
  }
};

TEST(KeptPicture, TheDemoShowsAtEveryStepWhatAFullRepaintShows) {
  // The kept picture: the window against a full repaint at every point.
  CallLog kept, full;
  int most = 0;  // rows a glide goes at most
  {
    DemoWindow d;
    ASSERT_TRUE(d.b && d.b->oVScroll);
    ASSERT_TRUE(IsZoomed(d.wnd->hWnd));
    ASSERT_TRUE(PointerOnData(d.b->hWnd));
    most = d.b->nMaxRowToAdvance;
    d.logging = true;
    Script(d, [&](const std::string& name) {
      Settle(d.b->hWnd);
      kept.Point(d, name);
      d.logging = false;
      EXPECT_EQ(AgainstFullRepaint(*d.b), 0u) << "at " << name;
      d.logging = true;
    });
  }
  // The slow drags end without a glide, the flings glide the most rows;
  // the script has 223 steps besides the glides' pauses.
  const std::map<std::string, int> glides{{"slow drag released", 0},
                                          {"slow drag back released", 0},
                                          {"drag turning twice released", 0},
                                          {"fling towards the end released", most},
                                          {"fling towards the start released", most},
                                          {"fling towards the end again released", most}};
  EXPECT_EQ(GlidesAtReleases(kept.points), glides);
  EXPECT_EQ(kept.points.size(), 223u + 3u * unsigned(most));
  // A browse drawing every line in every paint: the same data calls in the
  // same order.
  DemoWindow d(false);
  ASSERT_TRUE(PointerOnData(d.b->hWnd));
  d.logging = true;
  Script(d, [&](const std::string& name) {
    Settle(d.b->hWnd);
    full.Point(d, name);
  });
  EXPECT_EQ(full.points, kept.points);
  EXPECT_EQ(full.Parting(kept), "");
}

}  // namespace
