// Test support: while it lives, the message boxes of this thread are
// answered with Esc (by a timer, which the box's own loop runs) and each
// one's title and texts are kept as "title|text|...".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace nxtest {

struct MessageBoxes {
  static inline std::vector<std::string> seen;
  UINT_PTR id = SetTimer(nullptr, 0, 30, Tick);
  MessageBoxes() { seen.clear(); }
  ~MessageBoxes() { KillTimer(nullptr, id); }
  MessageBoxes(const MessageBoxes&) = delete;
  MessageBoxes& operator=(const MessageBoxes&) = delete;

  static std::string Text(HWND h) {
    char text[256] = "";
    GetWindowTextA(h, text, sizeof text);
    return text;
  }
  static BOOL CALLBACK Texts(HWND c, LPARAM out) {
    *reinterpret_cast<std::string*>(out) += "|" + Text(c);
    return TRUE;
  }
  // A box has a caption: captionless dialogs (editors over cells) are left alone.
  static BOOL CALLBACK Find(HWND h, LPARAM) {
    char cls[16] = "";
    GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(h) || !(GetWindowLongA(h, GWL_STYLE) & WS_CAPTION))
      return TRUE;
    std::string texts = Text(h);
    EnumChildWindows(h, Texts, reinterpret_cast<LPARAM>(&texts));
    seen.push_back(texts);
    PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0);
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), Find, 0); }
};

}  // namespace nxtest
