#include "classes/field_internal.h"

#include <algorithm>

#include "native/msgbox.h"

namespace nx::field {

std::optional<Value> RightClick(TControl& f, int nRow, int nCol, int nKeyFlags) {
  TControlPtr keep = f.SelfCtl();
  if (f.hWnd && GetFocus() != f.hWnd) {
    ::SetFocus(f.hWnd);
    if (GetFocus() != f.hWnd) return Value(0);
  }
  if (f.bRClicked) {
    f.bRClicked(nRow, nCol, nKeyFlags, f);
    return Value(0);
  }
  return std::nullopt;
}

bool PutClipboard(HWND owner, const std::optional<std::string>& text, bool lAlert) {
  if (!OpenClipboard(owner)) {
    if (lAlert) MsgAlert("The clipboard is not available now!");
    return false;
  }
  bool ok = true;
  if (text) {
    EmptyClipboard();
    ok = false;
    if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text->size() + 1)) {
      if (auto* p = static_cast<char*>(GlobalLock(mem))) {
        std::copy(text->begin(), text->end(), p);
        p[text->size()] = '\0';
        GlobalUnlock(mem);
        ok = SetClipboardData(CF_TEXT, mem) != nullptr;
      }
      if (!ok) GlobalFree(mem);
    }
  }
  CloseClipboard();
  if (!ok && lAlert) MsgAlert("The clipboard is not available now!");
  return ok;
}

std::optional<std::string> ClipboardText(HWND owner) {
  if (!OpenClipboard(owner)) {
    MsgAlert("The clipboard is not available!");
    return std::nullopt;
  }
  std::string text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (auto* p = static_cast<const char*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return text;
}

bool MayCut(bool lReadOnly) {
  if (lReadOnly) MsgAlert("The get is read only!", "Can't cut");
  return !lReadOnly;
}

}  // namespace nx::field
