// Helpers shared by the list and combo boxes; not part of the library's interface.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "native/draw.h"
#include "native/image.h"
#include "rt/storage.h"

namespace nx::itembmp {

// The bitmaps named by acBitmaps (a file when one exists by that name, else a
// resource), replacing and deleting the old ones; the size is the first's.
inline void Load(const std::vector<std::string>& acBitmaps, std::vector<HBITMAP>& aBitmaps, int& nWidth,
                 int& nHeight) {
  for (HBITMAP b : aBitmaps)
    if (b) DeleteObject(b);
  aBitmaps.clear();
  HDC dc = GetDC(nullptr);
  for (const std::string& name : acBitmaps) {
    HBITMAP b = FileExists(name) ? READBITMAP(dc, name) : LOADBITMAP(GETRESOURCES(), name.c_str());
    aBitmaps.push_back(b);
  }
  ReleaseDC(nullptr, dc);
  nWidth = aBitmaps.empty() || !aBitmaps.front() ? 0 : NBMPWIDTH(aBitmaps.front());
  nHeight = aBitmaps.empty() || !aBitmaps.front() ? 0 : NBMPHEIGHT(aBitmaps.front());
}

inline void Free(std::vector<HBITMAP>& aBitmaps) {
  for (HBITMAP b : aBitmaps)
    if (b) DeleteObject(b);
  aBitmaps.clear();
}

// The text of a window.
inline std::string WindowText(HWND hWnd) {
  if (!hWnd) return {};
  int n = GetWindowTextLengthA(hWnd);
  std::string s(size_t(n) + 1, '\0');
  s.resize(size_t(GetWindowTextA(hWnd, s.data(), n + 1)));
  return s;
}

}  // namespace nx::itembmp
