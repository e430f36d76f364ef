// Drives dialogs the way a user does, from inside their own message loops:
// a Script runs its steps one per timer message. Timer messages come only
// when no posted message waits, but also from a pump inside a handler (a
// button taking the focus refreshes before it goes down): a tick there would
// run the next step in the middle of the input the previous step posted. So
// a tick dispatched by SYSREFRESH runs nothing and the step waits for the
// next tick, from the loop itself; a modal loop the previous step's input
// opened (a message box, a menu, a dialog) still runs the next step. A step
// that needs more than handled input (a button's click, a window that
// another one opens) waits for it with When.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <concepts>
#include <functional>
#include <utility>
#include <vector>

#include "native/dispatch.h"

namespace dlgtest {

class Script {
 public:
  struct Step {
    std::function<bool()> ready;  // none: as soon as the loop is idle
    std::function<void()> run;
    template <std::invocable F>
    Step(F f) : run(std::move(f)) {}  // implicit: a plain lambda is a step
    Step(std::function<bool()> r, std::function<void()> f) : ready(std::move(r)), run(std::move(f)) {}
  };
  // Ticks a When step may wait for its condition: generous, and counted in
  // idle turns of the loop, so a slow machine waits as long as it needs.
  static constexpr int kReadyTicks = 500;
  // `running` tells whether what the script drives is still open; when the
  // steps are done and it stays open over several idle turns of the loop,
  // the test fails and `rescue` ends it. Scripts nest: one started while
  // another runs drives until it stops, then the other goes on.
  Script(std::vector<Step> steps, std::function<bool()> running, std::function<void()> rescue)
      : steps_(std::move(steps)), running_(std::move(running)), rescue_(std::move(rescue)) {}
  ~Script() { Stop(); }
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  void Start() {
    outer_ = std::exchange(current_, this);
    timer_ = SetTimer(nullptr, 0, 10, Tick);
  }
  void Stop() {
    if (timer_) KillTimer(nullptr, timer_);
    timer_ = 0;
    if (current_ == this) current_ = outer_;
  }
  bool Finished() const { return next_ >= steps_.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    if (const MSG* m = nx::SysRefreshMessage(); m && m->message == WM_TIMER && !m->hwnd && m->wParam == id) return;
    Script* s = current_;
    if (!s) return;
    if (s->next_ < s->steps_.size()) {
      Step& step = s->steps_[s->next_];
      if (step.ready && !step.ready()) {
        if (++s->waited_ > kReadyTicks) {
          ADD_FAILURE() << "step " << s->next_ + 1 << " waited in vain for its condition";
          s->Stop();
          s->rescue_();
        }
        return;
      }
      s->waited_ = 0;
      ++s->next_;
      step.run();
      return;
    }
    if (!s->running_()) {
      s->Stop();
    } else if (++s->idle_ > 20) {
      ADD_FAILURE() << "still open after the last step";
      s->Stop();
      s->rescue_();
    }
  }
  static inline Script* current_ = nullptr;
  Script* outer_ = nullptr;
  std::vector<Step> steps_;
  std::function<bool()> running_;
  std::function<void()> rescue_;
  size_t next_ = 0;
  int waited_ = 0;
  int idle_ = 0;
  UINT_PTR timer_ = 0;
};

// A step that runs once `ready` holds, checked on each idle tick.
inline Script::Step When(std::function<bool()> ready, std::function<void()> step) {
  return Script::Step(std::move(ready), std::move(step));
}

// The steps, the first of them waiting for `ready` as well.
inline std::vector<Script::Step> FirstWhen(std::function<bool()> ready, std::vector<Script::Step> steps) {
  if (!steps.empty()) {
    Script::Step& first = steps.front();
    first.ready = [ready = std::move(ready), also = std::move(first.ready)] { return ready() && (!also || also()); };
  }
  return steps;
}

// True when h is shown and the focus is on it or inside it.
inline bool ShownWithFocus(HWND h) {
  HWND focus = GetFocus();
  return h && IsWindowVisible(h) && focus && (focus == h || IsChild(h, focus));
}

// A script for a modal dialog, run from the dialog's own loop: the first
// step waits until the dialog shows (the loop shows it only when its queue
// first runs dry, and a tick can come before that); the script runs until
// the dialog has ended, and a dialog left open is ended with 99.
template <class DialogPtr>
Script ModalScript(const DialogPtr& dlg, std::vector<Script::Step> steps) {
  return Script(
      FirstWhen([dlg] { return dlg->hWnd && IsWindowVisible(dlg->hWnd); }, std::move(steps)),
      [dlg] { return dlg->hWnd != nullptr; },
      [dlg] {
        if (dlg->hWnd) EndDialog(dlg->hWnd, 99);
      });
}

// A key pressed and released on the focused window (or on target).
inline void PostKey(UINT vk, HWND target = nullptr) {
  if (!target) target = GetFocus();
  PostMessageA(target, WM_KEYDOWN, vk, 1);
  PostMessageA(target, WM_KEYUP, vk, LPARAM(0xC0000001));
}

// Alt + a character, as the keyboard delivers it.
inline void PostAltChar(char c, HWND target = nullptr) {
  if (!target) target = GetFocus();
  PostMessageA(target, WM_SYSCHAR, WPARAM(c), LPARAM(0x20000001));
}

// A left click in the middle of a window.
inline void PostClick(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
  PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(h, WM_LBUTTONUP, 0, at);
}

inline bool Checked(HWND h) { return SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace dlgtest
