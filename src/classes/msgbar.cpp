#include "classes/msgbar.h"

#include <windows.h>
#include <psapi.h>

#include <utility>

#include "classes/brush.h"
#include "classes/font.h"
#include "native/draw.h"
#include "native/msgbar.h"
#include "rt/strings.h"
#include "rt/transform.h"

namespace nx {

namespace {
// The program's start, taken when the library starts, for the running time.
struct StartStamp {
  int32_t day;
  double secs;
};
const StartStamp& Start() {
  static const StartStamp start{Today().julian, Seconds()};
  return start;
}
[[maybe_unused]] const bool g_started = (Start(), true);

std::string SystemFace() {
  LOGFONTA lf{};
  if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf) && lf.lfFaceName[0]) return lf.lfFaceName;
  return "MS Sans Serif";
}

void RunDateTimeSettings() { WinExec("Control date/time", SW_SHOWNORMAL); }

// The 2007 background, made once and kept for the program's life.
HBITMAP Background2007(HDC hDC) {
  static HBITMAP bmp = [hDC] {
    HBITMAP b = MSGBAR2007(hDC);
    if (b) RESDEL(b);  // not a leak: it lives as long as the program
    return b;
  }();
  return bmp;
}
}  // namespace

std::string RunningTime(int nStartDay, double nStartSecs, int nDay, double nSecs) {
  long long total = 0;
  if (nDay == nStartDay) total = static_cast<long long>(nSecs) - static_cast<long long>(nStartSecs);
  else if (nDay > nStartDay)
    total = (86400 - static_cast<long long>(nStartSecs)) + (nDay - nStartDay - 1) * 86400LL + static_cast<long long>(nSecs);
  if (total < 0) total = 0;
  return std::to_string(total / 3600) + " hours " + std::to_string(total % 3600 / 60) + " mins " +
         std::to_string(total % 60) + " secs ";
}

std::string RunningTime() { return RunningTime(Start().day, Start().secs, Today().julian, Seconds()); }

// ---- construction -------------------------------------------------------------------

TMsgBarPtr TMsgBar::New(const TMsgBarParams& p) {
  auto b = std::make_shared<TMsgBar>();
  TWindowPtr owner = p.oWnd;
  b->SetColor(p.nClrFore, p.nClrBack.value_or(GetSysColor(COLOR_BTNFACE)));
  b->oWnd = owner;
  b->cMsg = b->cMsgDef = p.cMsg;
  b->lCentered = p.lCentered;
  b->lInset = p.lInset;
  b->l2007 = p.l2007;
  b->nStyle = WS_VISIBLE | WS_CHILD | WS_BORDER;
  b->lValidating = false;
  if (!owner || !owner->hWnd) return b;
  const ARect client = GETCLIENTRECT(owner->hWnd);
  b->nSizeItem = GETTEXTHEIGHT(owner->hWnd) + 8;
  b->nLeft = -1;
  b->nTop = client.nBottom - b->nSizeItem;
  b->nBottom = client.nBottom;
  b->nRight = client.nRight + 1;
  b->Register();
  b->Create();
  if (!b->hWnd) return b;
  b->oFont = p.oFont;
  b->Default();
  b->Adjust();
  owner->oMsgBar = b;
  if (p.lKbd) b->KeybOn();
  if (p.lDate) b->DateOn();
  if (p.lClock) b->ClockOn();
  return b;
}

void TMsgBar::Default() {
  std::shared_ptr<TFont> font = std::exchange(oFont, nullptr);
  if (!font) {
    font = TFont::New({.cFaceName = SystemFace(), .nHeight = -8});
    SetFont(font);
    font->End();  // the bar alone holds it
  } else {
    SetFont(font);
  }
  SetColor(nClrText, nClrPane);
}

// ---- the message ------------------------------------------------------------------------

void TMsgBar::SetMsg(const std::string& cText) {
  if (l2007) {
    cMsg = cText;
    Refresh(false);
    return;
  }
  if (cText.empty()) {
    if (cMsg.empty()) return;
    cMsg.clear();
  } else {
    if (cText == cMsg) return;
    cMsg = cText;
  }
  PaintMessage();
}

void TMsgBar::ShowMsg(const std::string& cText, bool lDefault) {
  if (!lDefault) {
    SetMsg(cText);
    return;
  }
  cMsgDef = cText;
  // The default is what shows while there is no message.
  if (cMsg.empty()) {
    if (l2007) Refresh(false);
    else PaintMessage();
  }
}

void TMsgBar::PaintMessage() {
  if (!hWnd) return;
  TWindowPtr keep = Self();
  GetDC();
  MSGPAINT(hWnd, cMsg, cMsgDef, false, lCentered, aItem.empty() ? 0 : aItem.front()->nLeft(), nClrText, nClrPane,
           oFont ? oFont->hFont : nullptr, lInset, hDC);
  if (lPaint3L) MSGPAINT3L(hWnd, nClrPane, hDC);
  ReleaseDC();
}

// ---- panels -----------------------------------------------------------------------------------

void TMsgBar::AddItem(const TMsgItemPtr& oItem) {
  if (!oItem) return;
  aItem.push_back(oItem);
  Refresh();
}

void TMsgBar::InsItem(const TMsgItemPtr& oItem, std::optional<int> nPos) {
  if (!oItem || !nPos || *nPos <= 0) return;
  const size_t at = std::min(size_t(*nPos - 1), aItem.size());
  aItem.insert(aItem.begin() + std::ptrdiff_t(at), oItem);
  Refresh();
}

void TMsgBar::DelItem(const TMsgItemPtr& oItem) {
  auto it = std::find(aItem.begin(), aItem.end(), oItem);
  if (it == aItem.end()) return;
  aItem.erase(it);
  if (nItem > int(aItem.size())) nItem = 0;
  Refresh();
}

int TMsgBar::TextWidth(const std::string& cText) {
  HDC dc = ::GetDC(hWnd);
  const int w = GETTEXTWIDTH(dc, cText, oFont ? oFont->hFont : nullptr);
  ::ReleaseDC(hWnd, dc);
  return w;
}

TMsgItemPtr TMsgBar::StandardItem(const std::string& cText, const std::function<Value(TMsgItem&)>& bMsg,
                                  const std::function<void(TMsgItem&)>& bAction) {
  auto item = TMsgItem::New(SelfBar(), {.cMsg = cText, .nWidth = TextWidth(cText) + 12});
  TMsgItem* raw = item.get();  // the blocks belong to the panel itself
  item->bMsg = [raw, bMsg] { return bMsg(*raw); };
  item->bAction = [raw, bAction](int, int) { bAction(*raw); };
  item->lTimer = true;
  return item;
}

void TMsgBar::KeybOn() {
  if (oKeyNum || oKeyCaps || oKeyIns) return;
  auto key = [this](int nVKey, const char* cText) {
    auto item = StandardItem(
        cText,
        [nVKey, cText](TMsgItem& i) {
          i.lActive = GETKEYTOGGLE(nVKey);
          return Value(std::string(cText));
        },
        [nVKey](TMsgItem& i) {
          KEYTOGGLE(nVKey);
          i.Refresh();
        });
    item->nClrDisabled = GetSysColor(COLOR_BTNSHADOW);
    // Shown as it starts: a key pressed before the first tick must repaint.
    item->lActive = item->lWasActive = GETKEYTOGGLE(nVKey);
    AddItem(item);
    return item;
  };
  oKeyNum = key(VK_NUMLOCK, "Num");
  oKeyCaps = key(VK_CAPITAL, "Caps");
  oKeyIns = key(VK_INSERT, "Ins");
  CheckTimer();
}

void TMsgBar::KeybOff() {
  for (auto* item : {&oKeyNum, &oKeyCaps, &oKeyIns}) {
    if (*item) DelItem(*item);
    *item = nullptr;
  }
  Refresh();
}

void TMsgBar::DateOn() {
  if (oDate) return;
  oDate = StandardItem(
      DToC(Today()), [](TMsgItem&) { return Value(DToC(Today())); }, [](TMsgItem&) { RunDateTimeSettings(); });
  AddItem(oDate);
  CheckTimer();
}

void TMsgBar::DateOff() {
  if (oDate) DelItem(std::exchange(oDate, nullptr));
  Refresh();
}

void TMsgBar::ClockOn() {
  if (oClock) return;
  oClock = StandardItem(Time(), [](TMsgItem&) { return Value(Time()); }, [](TMsgItem&) { RunDateTimeSettings(); });
  AddItem(oClock);
  CheckTimer();
}

void TMsgBar::ClockOff() {
  if (oClock) DelItem(std::exchange(oClock, nullptr));
  Refresh();
}

void TMsgBar::CheckTimer() {
  if (oTimer || !hWnd) return;
  std::weak_ptr<TMsgBar> weak = SelfBar();
  oTimer = TTimer::New(
      400,
      [weak] {
        if (TMsgBarPtr bar = weak.lock()) bar->TimerEval();
      },
      Self());
  oTimer->Activate();
}

void TMsgBar::TimerEval() {
  TMsgBarPtr keep = SelfBar();
  const auto items = aItem;  // an action may change the panels
  for (const auto& item : items)
    if (item->lTimer) item->Refresh();
  TWindowPtr owner = Parent();
  if (lCheckRes) {
    if (owner) owner->SetText(ResourceFigures());
  } else if (Cargo.IsString()) {
    if (owner) owner->SetText(Cargo.AsString());
    Cargo = Value();
  }
}

std::string TMsgBar::ResourceFigures() const {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  MEMORYSTATUSEX ms{};
  ms.dwLength = sizeof ms;
  GlobalMemoryStatusEx(&ms);
  auto figure = [](size_t n) { return AllTrim(Transform(Value(double(n)), "999,999,999,999")); };
  return "(32 bits) MemUsed: " + figure(pmc.WorkingSetSize) + " MemMax: " + figure(pmc.PeakWorkingSetSize) +
         " Resources: " + std::to_string(100 - ms.dwMemoryLoad) + "%" + " Running time: " + RunningTime();
}

// ---- painting -----------------------------------------------------------------------------------

Value TMsgBar::Paint() {
  TWindowPtr keep = Self();
  auto info = DispBegin();
  RECT client{};
  GetClientRect(hWnd, &client);
  HFONT font = oFont ? oFont->hFont : nullptr;
  if (!l2007) {
    if (oBrush && oBrush->hBrush) FillRect(hDC, &client, oBrush->hBrush);
    MSGPAINT(hWnd, cMsg, cMsgDef, true, lCentered, aItem.empty() ? 0 : aItem.front()->nLeft(), nClrText, nClrPane,
             font, lInset, hDC);
    for (const auto& item : std::vector(aItem)) item->Paint();
    if (lPaint3L) MSGPAINT3L(hWnd, nClrPane, hDC);
  } else {
    PaintBar();
    const std::string& text = cMsg.empty() ? cMsgDef : cMsg;
    const int col = lCentered ? client.right / 2 - GETTEXTWIDTH(hDC, text, font) / 2 : 4;
    WSAY(hWnd, hDC, nSizeItem / 4 - 2, col, text, nClrText, nClrPane, font, true, true);
    struct Painting {
      bool& flag;
      explicit Painting(bool& f) : flag(f) { flag = true; }
      ~Painting() { flag = false; }
    };
    {
      Painting painting(lPainting);
      for (const auto& item : std::vector(aItem)) item->Paint();
    }
    if (bPainted) bPainted(hDC, cPS, *this);
  }
  DispEnd(info);
  return Value(0);
}

void TMsgBar::PaintBar(int nLeftAt, std::optional<int> nWidthOf) {
  if (lPainting || !hWnd) return;
  GetDC();
  if (HBITMAP bmp = Background2007(hDC)) {
    RECT client{};
    GetClientRect(hWnd, &client);
    DRAWBITMAP(hDC, bmp, 0, nLeftAt, nWidthOf.value_or(client.right), nSizeItem);
  }
  ReleaseDC();
}

Value TMsgBar::Display() {
  BeginPaint();
  Paint();
  EndPaint();
  return Value(0);
}

void TMsgBar::Adjust() {
  TWindowPtr owner = Parent();
  if (!hWnd || !owner || !owner->hWnd) return;
  RECT client{};
  GetClientRect(owner->hWnd, &client);
  // The border is left outside the owner on the left, right and bottom.
  SetWindowPos(hWnd, nullptr, client.left - 1, client.bottom - nSizeItem, client.right - client.left + 2,
               nSizeItem + 1, SWP_NOZORDER | SWP_NOACTIVATE);
  CoorsUpdate();
}

Value TMsgBar::Destroy() {
  for (const auto& item : aItem) {
    item->FreeBitmaps();
    item->SetFont(nullptr);
  }
  if (TTimerPtr timer = std::exchange(oTimer, nullptr)) timer->End();
  return TWindow::Destroy();
}

// ---- mouse ---------------------------------------------------------------------------------------

Value TMsgBar::MouseMove(int nRow, int nCol, int nKeyFlags) {
  TMsgBarPtr keep = SelfBar();
  for (size_t i = 0; i < aItem.size(); ++i) {
    const TMsgItemPtr item = aItem[i];
    if (!item->bAction || !item->IsOver(nRow, nCol)) continue;
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // the hand
    if (nItem != int(i) + 1) {
      nItem = int(i) + 1;
      DestroyToolTip();
      Value tip = item->cToolTip.IsBlock() ? item->cToolTip.Eval({}) : item->cToolTip;
      if (tip.IsString() && !tip.AsString().empty()) ShowToolTip(nRow, item->nLeft(), tip);
    }
    return Value(0);
  }
  if (nItem) DestroyToolTip();
  nItem = 0;
  return TWindow::MouseMove(nRow, nCol, nKeyFlags);
}

Value TMsgBar::LButtonDown(int nRow, int nCol, int) {
  TMsgBarPtr keep = SelfBar();
  for (const auto& item : std::vector(aItem)) {
    if (item->IsOver(nRow, nCol)) {
      item->Click(nRow, nCol);
      break;
    }
  }
  return Value();
}

Value TMsgBar::LDblClick(int nRow, int nCol, int nKeyFlags) {
  if (lInfoRes || lCheckRes) {
    if (!lCheckRes) {
      if (TWindowPtr owner = Parent()) Cargo = Value(owner->GetText());
    }
    lCheckRes = !lCheckRes;
  }
  return TWindow::LDblClick(nRow, nCol, nKeyFlags);
}

}  // namespace nx
