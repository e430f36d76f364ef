#include "native/get.h"

#include <algorithm>

namespace nx {

HWND MGETCREATE(const std::string& cClassName, const std::string& cCaption, DWORD nStyle, int nLeft, int nTop,
                int nWidth, int nHeight, HWND hWndParent, int nId, HANDLE& hHeap, DWORD nExStyle) {
  hHeap = nullptr;
  return CreateWindowExA(nExStyle, cClassName.c_str(), cCaption.c_str(), nStyle, nLeft, nTop, nWidth, nHeight,
                         hWndParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), GetModuleHandleA(nullptr),
                         nullptr);
}

void MOVEGET(HWND hWnd) {
  if (!hWnd) return;
  RECT r{};
  GetClientRect(hWnd, &r);
  SendMessageA(hWnd, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

std::string MGETLINE(HWND hWnd, int nLine) {
  if (!hWnd || nLine < 1) return {};
  char buf[256] = {};
  *reinterpret_cast<WORD*>(buf) = 255;  // the request reads its buffer size from the first word
  LRESULT n = SendMessageA(hWnd, EM_GETLINE, WPARAM(nLine - 1), reinterpret_cast<LPARAM>(buf));
  return std::string(buf, size_t(std::clamp<LRESULT>(n, 0, 255)));
}

void MGETREPLACE(HWND hWnd, const std::string& cText) {
  if (hWnd) SendMessageA(hWnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(cText.c_str()));
}

int GETWINTXTLENGHT(HWND hWnd) { return hWnd ? GetWindowTextLengthA(hWnd) : 0; }

}  // namespace nx
