// The multiple-document natives: the frame and child procedures and the
// MDI creation record.
#include "native/dispatch.h"

namespace nx {

namespace {

// The frame's client is looked up by class: bars and other children may
// come before it among the frame's windows.
LRESULT CALLBACK FrameProc(HWND hWnd, UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  return DefFrameProcA(hWnd, FindWindowExA(hWnd, nullptr, "MDICLIENT", nullptr), nMsg, nWParam, nLParam);
}

}  // namespace

WNDPROC GETFRAMEPROC() { return FrameProc; }

WNDPROC GETMDICHLPROC() { return DefMDIChildProcA; }

MdiCreateRecord CMDISTRUCT(const std::string& cClass, const std::string& cTitle, int nTop, int nLeft, int nBottom,
                           int nRight, DWORD nStyle, LPARAM lParam) {
  static_assert(sizeof(MDICREATESTRUCTA) == 36, "the platform's 32-bit record");
  constexpr int kNotGiven = 32768;
  MdiCreateRecord r{cClass, cTitle, {}};
  r.rec.hOwner = GetModuleHandleA(nullptr);
  r.rec.x = nLeft == kNotGiven ? CW_USEDEFAULT : nLeft;
  r.rec.y = nTop == kNotGiven ? CW_USEDEFAULT : nTop;
  r.rec.cx = nRight == kNotGiven || nLeft == kNotGiven ? CW_USEDEFAULT : nRight - nLeft + 1;
  r.rec.cy = nBottom == kNotGiven || nTop == kNotGiven ? CW_USEDEFAULT : nBottom - nTop + 1;
  r.rec.style = nStyle;
  r.rec.lParam = lParam;
  return r;
}

}  // namespace nx
