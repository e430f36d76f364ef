// Every message of the dispatch switch reaches its method with the message's
// values in the right places: each is sent with distinct words in wParam and
// lParam, so a swapped or mis-split argument shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "classes/control.h"
#include "native/dispatch.h"

using namespace nx;

namespace {

using Args = std::vector<intptr_t>;

constexpr WPARAM kW = 0x00120034;  // high word 0x12, low word 0x34
constexpr LPARAM kL = 0x00560078;  // high word 0x56, low word 0x78
constexpr LPARAM kNegL = LPARAM(int32_t(0xFFF0FFE0u));  // -16 high, -32 low

intptr_t P(const void* p) { return reinterpret_cast<intptr_t>(p); }
intptr_t H(HANDLE h) { return reinterpret_cast<intptr_t>(h); }

class ArgCtl : public TControl {
 public:
  const char* ClassName() const override { return "TARGCTL"; }
  std::string name;
  Args args;
  Value Record(const char* n, Args a) {
    name = n;
    args = std::move(a);
    return Value(1);
  }
  Value Moved(int r, int c) override { return Record("Moved", {r, c}); }
  Value ReSize(int t, int w, int h) override { return Record("ReSize", {t, w, h}); }
  Value GotFocus(HWND h) override { return Record("GotFocus", {H(h)}); }
  Value LostFocus(HWND h) override { return Record("LostFocus", {H(h)}); }
  Value Close(WPARAM w) override { return Record("Close", {intptr_t(w)}); }
  Value EraseBkGnd(HDC h) override { return Record("EraseBkGnd", {H(h)}); }
  Value GetMinMaxInfo(MINMAXINFO* p) override { return Record("GetMinMaxInfo", {P(p)}); }
  Value DrawItem(WPARAM id, DRAWITEMSTRUCT* p) override { return Record("DrawItem", {intptr_t(id), P(p)}); }
  Value MeasureItem(WPARAM id, MEASUREITEMSTRUCT* p) override {
    return Record("MeasureItem", {intptr_t(id), P(p)});
  }
  Value CommNotify(WPARAM w, LPARAM l) override { return Record("CommNotify", {intptr_t(w), l}); }
  Value Notify(WPARAM id, NMHDR* p) override { return Record("Notify", {intptr_t(id), P(p)}); }
  Value Help(WPARAM w, LPARAM l) override { return Record("Help", {intptr_t(w), l}); }
  Value NcActivate(bool a) override { return Record("NcActivate", {a}); }
  Value GetDlgCode(WPARAM k) override { return Record("GetDlgCode", {intptr_t(k)}); }
  Value NcMouseMove(int t, int r, int c) override { return Record("NcMouseMove", {t, r, c}); }
  Value KeyDown(int k, int f) override { return Record("KeyDown", {k, f}); }
  Value KeyChar(int k, int f) override { return Record("KeyChar", {k, f}); }
  Value Command(WPARAM w, LPARAM l) override { return Record("Command", {intptr_t(w), l}); }
  Value SysCommand(WPARAM w, LPARAM l) override { return Record("SysCommand", {intptr_t(w), l}); }
  Value Timer(WPARAM w, LPARAM l) override { return Record("Timer", {intptr_t(w), l}); }
  Value HScroll(WPARAM w, LPARAM l) override { return Record("HScroll", {intptr_t(w), l}); }
  Value VScroll(WPARAM w, LPARAM l) override { return Record("VScroll", {intptr_t(w), l}); }
  Value InitMenuPopup(HMENU m, int p, bool s) override { return Record("InitMenuPopup", {H(m), p, s}); }
  Value MenuSelect(int id, int f, HMENU m) override { return Record("MenuSelect", {id, f, H(m)}); }
  Value MenuChar(int c, int f, HMENU m) override { return Record("MenuChar", {c, f, H(m)}); }
  Value CtlColor(HWND h, HDC d) override { return Record("CtlColor", {H(h), H(d)}); }
  Value MouseMove(int r, int c, int f) override { return Record("MouseMove", {r, c, f}); }
  Value LButtonDown(int r, int c, int f) override { return Record("LButtonDown", {r, c, f}); }
  Value LButtonUp(int r, int c, int f) override { return Record("LButtonUp", {r, c, f}); }
  Value LDblClick(int r, int c, int f) override { return Record("LDblClick", {r, c, f}); }
  Value RButtonDown(int r, int c, int f) override { return Record("RButtonDown", {r, c, f}); }
  Value RButtonUp(int r, int c, int f) override { return Record("RButtonUp", {r, c, f}); }
  Value MButtonDown(int r, int c, int f) override { return Record("MButtonDown", {r, c, f}); }
  Value MButtonUp(int r, int c, int f) override { return Record("MButtonUp", {r, c, f}); }
  Value MouseWheel(int k, int d, int x, int y) override { return Record("MouseWheel", {k, d, x, y}); }
  Value DropFiles(HDROP h) override { return Record("DropFiles", {H(h)}); }
  Value PaletteChanged(HWND h) override { return Record("PaletteChanged", {H(h)}); }
  Value DdeInitiate(HWND h, int a, int t) override { return Record("DdeInitiate", {H(h), a, t}); }
  Value DdeTerminate(HWND h) override { return Record("DdeTerminate", {H(h)}); }
  Value DdeAck(WPARAM w, LPARAM l) override { return Record("DdeAck", {intptr_t(w), l}); }
  Value DdeExecute(WPARAM w, LPARAM l) override { return Record("DdeExecute", {intptr_t(w), l}); }
  Value HelpF1() override { return Record("HelpF1", {}); }
  Value DropOver(int r, int c, LPARAM l) override { return Record("DropOver", {r, c, l}); }
  Value AsyncSelect(WPARAM w, LPARAM l) override { return Record("AsyncSelect", {intptr_t(w), l}); }
  Value TaskBar(WPARAM w, LPARAM l) override { return Record("TaskBar", {intptr_t(w), l}); }
  // The control's own messages.
  Value Change() override { return Record("Change", {}); }
  Value Colors(HDC h) override { return Record("Colors", {H(h)}); }
  Value KeyUp(WPARAM w, LPARAM l) override { return Record("KeyUp", {intptr_t(w), l}); }
  Value KillFocus(HWND h) override { return Record("KillFocus", {H(h)}); }
  Value NXLostFocus(HWND h) override { return Record("NXLostFocus", {H(h)}); }
  Value SysCommand(WPARAM t, int lo, int hi) override { return Record("SysCommand3", {intptr_t(t), lo, hi}); }
  Value SysChar(int k, int f) override { return Record("SysChar", {k, f}); }
  Value SysKeyDown(int k, int f) override { return Record("SysKeyDown", {k, f}); }
  Value Click() override { return Record("Click", {}); }
  Value Display() override { return Record("Display", {}); }
};

struct Row {
  UINT nMsg;
  WPARAM w;
  LPARAM l;
  const char* name;
  Args args;
};

}  // namespace

TEST(DispatchTable, EachMessageReachesItsMethodWithItsArgumentsInOrder) {
  const intptr_t w = intptr_t(kW), l = kL;
  const std::vector<Row> rows = {
      {WM_MOVE, kW, kL, "Moved", {0x56, 0x78}},
      {WM_SIZE, kW, kL, "ReSize", {w, 0x78, 0x56}},
      {WM_SETFOCUS, kW, kL, "GotFocus", {w}},
      {WM_CLOSE, kW, kL, "Close", {w}},
      {WM_ERASEBKGND, kW, kL, "EraseBkGnd", {w}},
      {WM_GETMINMAXINFO, kW, kL, "GetMinMaxInfo", {l}},
      {WM_DRAWITEM, kW, kL, "DrawItem", {w, l}},
      {WM_MEASUREITEM, kW, kL, "MeasureItem", {w, l}},
      {WM_COMMNOTIFY, kW, kL, "CommNotify", {w, l}},
      {WM_NOTIFY, kW, kL, "Notify", {w, l}},
      {WM_NCACTIVATE, kW, kL, "NcActivate", {1}},
      {WM_NCACTIVATE, 0, kL, "NcActivate", {0}},
      {WM_GETDLGCODE, kW, kL, "GetDlgCode", {w}},
      {WM_NCMOUSEMOVE, kW, kL, "NcMouseMove", {w, 0x56, 0x78}},
      {WM_KEYDOWN, kW, kL, "KeyDown", {w, l}},
      {WM_CHAR, kW, kL, "KeyChar", {w, l}},
      {WM_COMMAND, kW, kL, "Command", {w, l}},
      {WM_TIMER, kW, kL, "Timer", {w, l}},
      {WM_HSCROLL, kW, kL, "HScroll", {w, l}},
      {WM_VSCROLL, kW, kL, "VScroll", {w, l}},
      {WM_INITMENUPOPUP, kW, kL, "InitMenuPopup", {w, 0x78, 1}},
      {WM_INITMENUPOPUP, kW, 0x78, "InitMenuPopup", {w, 0x78, 0}},
      {WM_MENUSELECT, kW, kL, "MenuSelect", {0x34, 0x12, l}},
      {WM_MENUSELECT, 0xFFFF0034, kL, "MenuSelect", {0x34, -1, l}},  // the menu closed
      {WM_MENUCHAR, kW, kL, "MenuChar", {0x34, 0x12, l}},
      {WM_CTLCOLOREDIT, kW, kL, "CtlColor", {l, w}},
      {WM_CTLCOLORLISTBOX, kW, kL, "CtlColor", {l, w}},
      {WM_CTLCOLORSTATIC, kW, kL, "CtlColor", {l, w}},
      {WM_MOUSEMOVE, kW, kL, "MouseMove", {0x56, 0x78, w}},
      {WM_LBUTTONDOWN, kW, kL, "LButtonDown", {0x56, 0x78, w}},
      {WM_LBUTTONUP, kW, kL, "LButtonUp", {0x56, 0x78, w}},
      {WM_LBUTTONDBLCLK, kW, kL, "LDblClick", {0x56, 0x78, w}},
      {WM_RBUTTONDOWN, kW, kL, "RButtonDown", {0x56, 0x78, w}},
      {WM_RBUTTONUP, kW, kL, "RButtonUp", {0x56, 0x78, w}},
      {WM_MBUTTONDOWN, kW, kL, "MButtonDown", {0x56, 0x78, w}},
      {WM_MBUTTONUP, kW, kL, "MButtonUp", {0x56, 0x78, w}},
      {WM_MOUSEWHEEL, 0xFF880034, kNegL, "MouseWheel", {0x34, -120, -32, -16}},
      {WM_DROPFILES, kW, kL, "DropFiles", {w}},
      {WM_PALETTECHANGED, kW, kL, "PaletteChanged", {w}},
      {0x03E0, kW, kL, "DdeInitiate", {w, 0x78, 0x56}},
      {0x03E1, kW, kL, "DdeTerminate", {w}},
      {0x03E4, kW, kL, "DdeAck", {w, l}},
      {0x03E8, kW, kL, "DdeExecute", {w, l}},
      {WM_NX_DRAWITEM, kW, kL, "DrawItem", {w, l}},
      {WM_NX_HELPF1, kW, kL, "HelpF1", {}},
      {WM_NX_DROPOVER, kW, kL, "DropOver", {0x78, 0x56, l}},
      {WM_NX_SOCKET, kW, kL, "AsyncSelect", {w, l}},
      {WM_NX_TASKBAR, kW, kL, "TaskBar", {w, l}},
      // Answered by the control itself.
      {WM_HELP, kW, kL, "", {}},  // no help topic: passed on as NIL, see below
      {WM_NX_CLICK, kW, kL, "Click", {}},
      {25, kW, kL, "CtlColor", {l, w}},
      {WM_KEYUP, kW, kL, "KeyUp", {w, l}},
      {WM_KILLFOCUS, kW, kL, "KillFocus", {w}},
      {WM_NX_CHANGE, kW, kL, "Change", {}},
      {WM_NX_CTLCOLOR, kW, kL, "Colors", {w}},
      {WM_NX_LOSTFOCUS, kW, kL, "NXLostFocus", {w}},
      {WM_SYSCOMMAND, kW, kL, "SysCommand3", {w, 0x78, 0x56}},
      {WM_SYSCHAR, kW, kL, "SysChar", {w, l}},
      {WM_SYSKEYDOWN, kW, kL, "SysKeyDown", {w, l}},
  };
  auto c = std::make_shared<ArgCtl>();
  for (const Row& row : rows) {
    c->name.clear();
    c->args.clear();
    Value answer = c->HandleEvent(row.nMsg, row.w, row.l);
    SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << row.nMsg);
    EXPECT_EQ(c->name, row.name);
    EXPECT_EQ(c->args, row.args);
    if (*row.name) EXPECT_EQ(answer.AsInt(), 1) << "the method's answer is the message's";
    else EXPECT_TRUE(answer.IsNil());
  }
}
