#include "native/dialog.h"

#include "native/dispatch.h"
#include "rt/dlgitem.h"
#include "rt/strings.h"

namespace nx {

namespace {

std::u16string Wide(const std::string& s) {
  std::u16string w;
  if (s.empty()) return w;
  int n = MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), nullptr, 0);
  if (n <= 0) return w;
  std::wstring buf(size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), buf.data(), n);
  w.assign(buf.begin(), buf.end());
  return w;
}

BOOL CALLBACK FixSay(HWND hWnd, LPARAM lParam) {
  if (GetParent(hWnd) != reinterpret_cast<HWND>(lParam) || Upper(GETCLASSNAME(hWnd)) != "STATIC") return TRUE;
  SetWindowLongA(hWnd, GWL_EXSTYLE, GetWindowLongA(hWnd, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
  return TRUE;
}

}  // namespace

std::string CDLG2CHR(int nItems, int nTop, int nLeft, int nBottom, int nRight, const std::string& cCaption,
                     DWORD nStyle, std::optional<int> nPointSize, const std::string& cFaceName) {
  std::optional<DialogFont> font;
  if (nPointSize) font = DialogFont{*nPointSize, Wide(cFaceName)};
  return DialogHeaderBytes(nItems, nTop, nLeft, nBottom, nRight, Wide(cCaption), nStyle, font);
}

void FIXSAYS(HWND hDlg) {
  if (hDlg) EnumChildWindows(hDlg, FixSay, reinterpret_cast<LPARAM>(hDlg));
}

bool ISFIXEDSAY(HWND hWnd) {
  return hWnd && (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT) && Upper(GETCLASSNAME(hWnd)) == "STATIC";
}

}  // namespace nx
