// Drives dialogs the way a user does, from inside their own message loops:
// a Script runs its steps one per timer message. Timer messages come only
// when the queue is empty, so each step finds the input the previous step
// posted fully handled, however slow the machine.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

namespace dlgtest {

class Script {
 public:
  using Step = std::function<void()>;
  // `running` tells whether what the script drives is still open; when the
  // steps are done and it stays open over several idle turns of the loop,
  // the test fails and `rescue` ends it.
  Script(std::vector<Step> steps, std::function<bool()> running, Step rescue)
      : steps_(std::move(steps)), running_(std::move(running)), rescue_(std::move(rescue)) {}
  ~Script() { Stop(); }
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  void Start() {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 10, Tick);
  }
  void Stop() {
    if (timer_) KillTimer(nullptr, timer_);
    timer_ = 0;
    if (current_ == this) current_ = nullptr;
  }
  bool Finished() const { return next_ >= steps_.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* s = current_;
    if (!s) return;
    if (s->next_ < s->steps_.size()) {
      s->steps_[s->next_++]();
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
  std::vector<Step> steps_;
  std::function<bool()> running_;
  Step rescue_;
  size_t next_ = 0;
  int idle_ = 0;
  UINT_PTR timer_ = 0;
};

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
