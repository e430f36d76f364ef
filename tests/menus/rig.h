// Shared by the menu tests: a top-level window that records what its menu
// relays did, input posted the way the keyboard and mouse deliver it, and the
// application loop run under a hang guard.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/menu.h"
#include "classes/window.h"
#include "native/dispatch.h"
#include "native/menu.h"

namespace menutest {

class MenuWindow : public nx::TWindow {
 public:
  const char* ClassName() const override { return "TMENUTESTWND"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }
  bool inCommand = false;
  int draws = 0, measures = 0, chars = 0;
  // Runs once a pull-down or pop-up is about to show.
  std::function<void(HMENU hMenu)> onPopup;

  nx::Value Command(WPARAM w, LPARAM l) override {
    inCommand = true;
    nx::Value r = TWindow::Command(w, l);
    inCommand = false;
    return r;
  }
  nx::Value DrawItem(WPARAM id, DRAWITEMSTRUCT* p) override {
    ++draws;
    return TWindow::DrawItem(id, p);
  }
  nx::Value MeasureItem(WPARAM id, MEASUREITEMSTRUCT* p) override {
    ++measures;
    return TWindow::MeasureItem(id, p);
  }
  nx::Value InitMenuPopup(HMENU h, int nPos, bool lSys) override {
    nx::Value r = TWindow::InitMenuPopup(h, nPos, lSys);
    if (onPopup) onPopup(h);
    return r;
  }
  nx::Value MenuChar(int c, int f, HMENU h) override {
    ++chars;
    return TWindow::MenuChar(c, f, h);
  }
  // Closes once every posted message (and what translating keys posted in
  // turn) has been handled.
  static constexpr UINT WM_CLOSEWHENIDLE = WM_APP + 0x71;
  // Runs onRun from inside whatever loop is running.
  static constexpr UINT WM_RUN = WM_APP + 0x72;
  std::function<void()> onRun;
  nx::Value HandleEvent(UINT nMsg, WPARAM w, LPARAM l) override {
    if (nMsg == WM_RUN) {
      if (onRun) onRun();
      return nx::Value(0);
    }
    if (nMsg != WM_CLOSEWHENIDLE) return TWindow::HandleEvent(nMsg, w, l);
    MSG m;
    const bool pending = PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_POSTMESSAGE);
    PostMessageA(hWnd, pending ? WM_CLOSEWHENIDLE : WM_CLOSE, 0, 0);
    return nx::Value(0);
  }
};

inline std::shared_ptr<MenuWindow> MakeWindow(const std::shared_ptr<nx::TMenu>& oMenu = nullptr) {
  auto w = nx::TWindow::NewAs<MenuWindow>(
      {.nTop = 40, .nLeft = 40, .nBottom = 340, .nRight = 520, .cTitle = "menus", .oMenu = oMenu, .lPixel = true});
  ShowWindow(w->hWnd, SW_SHOWNORMAL);
  UpdateWindow(w->hWnd);
  SetForegroundWindow(w->hWnd);
  return w;
}

// Ends the program with exit code 99 if the scope is not left in time.
class HangGuard {
 public:
  explicit HangGuard(DWORD ms = 120000) : done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), ms_(ms) {
    thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
  }
  ~HangGuard() {
    SetEvent(done_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(done_);
  }
  HangGuard(const HangGuard&) = delete;
  HangGuard& operator=(const HangGuard&) = delete;

 private:
  static DWORD WINAPI Watch(LPVOID self) {
    auto* g = static_cast<HangGuard*>(self);
    if (WaitForSingleObject(g->done_, g->ms_) == WAIT_TIMEOUT) {
      std::fprintf(stderr, "menus: hang guard fired\n");
      ExitProcess(99);
    }
    return 0;
  }
  HANDLE done_;
  HANDLE thread_ = nullptr;
  DWORD ms_;
};

// Keys as the keyboard posts them; Alt-held keys come as system keys.
inline void PostKey(HWND h, UINT vk, bool lAlt = false) {
  const LPARAM alt = lAlt ? 0x20000000 : 0;
  const UINT scan = MapVirtualKeyA(vk, 0);
  PostMessageA(h, lAlt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, LPARAM(1 | scan << 16) | alt);
  PostMessageA(h, lAlt ? WM_SYSKEYUP : WM_KEYUP, vk, LPARAM(1 | scan << 16 | 0xC0000000) | alt);
}

// Alt pressed and released alone: the menu bar takes the keyboard.
inline void PostAlt(HWND h) {
  const UINT scan = MapVirtualKeyA(VK_MENU, 0);
  PostMessageA(h, WM_SYSKEYDOWN, VK_MENU, LPARAM(1 | scan << 16 | 0x20000000));
  PostMessageA(h, WM_SYSKEYUP, VK_MENU, LPARAM(1 | scan << 16 | 0xC0000000));
}

// The platform's record of a menu item, by command; cbSize 0 when none.
inline MENUITEMINFOA ItemInfo(HMENU h, UINT_PTR id, UINT mask) {
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = mask;
  if (!GetMenuItemInfoA(h, UINT(id), FALSE, &mii)) mii.cbSize = 0;
  return mii;
}

inline void SetKeyDown(UINT vk, bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[vk] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

// Runs the application loop of w until its window is gone: the posted input
// goes through it, then the window closes.
inline void RunThenClose(const std::shared_ptr<MenuWindow>& w) {
  PostMessageA(w->hWnd, MenuWindow::WM_CLOSEWHENIDLE, 0, 0);
  HangGuard guard;
  nx::WINRUN(w->hWnd);
}

}  // namespace menutest
