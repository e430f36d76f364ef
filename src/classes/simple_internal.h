// Helpers shared by the simple controls (labels, buttons, check boxes, radio
// buttons, group boxes); not part of the library's interface.
#pragma once

#include <memory>
#include <string>

#include "classes/control.h"
#include "classes/font.h"
#include "native/draw.h"

namespace nx::simple {

// The parent a constructor was given, else the default window.
inline TWindowPtr ParentOrDefault(const TWindowPtr& oWnd) { return oWnd ? oWnd : GetWndDefault(); }

// A parent whose window exists: controls are created at once, else the
// parent (a dialog not yet activated) defers them.
inline bool Live(const TWindowPtr& oWnd) { return oWnd && oWnd->hWnd; }

// Takes a use of a font given to a constructor.
inline void TakeFont(TWindow& w, const std::shared_ptr<TFont>& font) {
  if (font && font != w.oFont) {
    ++font->nCount;
    if (w.oFont) w.oFont->End();
    w.oFont = font;
  }
}

// Width in pixels of a text in a font (the system font when none).
inline int TextWidth(const std::string& cText, HFONT hFont) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, hFont ? static_cast<HGDIOBJ>(hFont) : GetStockObject(SYSTEM_FONT));
  SIZE size{};
  GetTextExtentPoint32A(dc, cText.data(), int(cText.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

// The font a control draws with: its own, its window's, its parent's.
inline HFONT FontOf(const TWindow& w) {
  if (w.oFont && w.oFont->hFont) return w.oFont->hFont;
  if (w.hWnd) {
    if (HFONT h = reinterpret_cast<HFONT>(SendMessageA(w.hWnd, WM_GETFONT, 0, 0))) return h;
  }
  if (TWindowPtr p = w.Parent(); p && p->oFont) return p->oFont->hFont;
  return nullptr;
}

// Repaints the parent's background under a control before it changes text.
inline void RepaintParentBack(HWND hWnd) {
  if (!hWnd) return;
  HDC dc = GetDC(hWnd);
  DRAWPBACK(hWnd, dc);
  ReleaseDC(hWnd, dc);
}

// The colour a constructor was given, else the parent's text or pane colour,
// else a system colour.
inline COLORREF TextColor(const std::optional<COLORREF>& c, const TWindowPtr& parent) {
  return c ? *c : parent ? parent->nClrText : GetSysColor(COLOR_BTNTEXT);
}
inline COLORREF PaneColor(const std::optional<COLORREF>& c, const TWindowPtr& parent) {
  return c ? *c : parent ? parent->nClrPane : GetSysColor(COLOR_BTNFACE);
}

}  // namespace nx::simple
