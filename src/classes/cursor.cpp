#include "classes/cursor.h"

#include "native/gdi.h"
#include "rt/strings.h"

namespace nx {

std::function<void(const std::string&)> TCursor::Alert = [](const std::string& cText) {
  MessageBoxA(GetActiveWindow(), cText.c_str(), "Alert", MB_OK | MB_ICONEXCLAMATION);
};

std::shared_ptr<TCursor> TCursor::New(const std::string& cResName, const std::string& cPredef) {
  auto cursor = std::make_shared<TCursor>();
  if (cPredef.empty()) {
    cursor->hCursor = cResName.empty() ? nullptr : LOADCURSOR(GetModuleHandleA(nullptr), cResName.c_str());
    cursor->lPredef = false;
    return cursor;
  }
  struct System {
    const char* cName;
    int nId;
  };
  static constexpr System system[] = {{"ARROW", 32512},    {"IBEAM", 32513},    {"WAIT", 32514},
                                      {"CROSS", 32515},    {"UPARROW", 32516},  {"SIZE", 32646},
                                      {"ICON", 32641},     {"SIZENWSE", 32642}, {"SIZENESW", 32643},
                                      {"SIZEWE", 32644},   {"SIZENS", 32645}};
  const std::string name = Upper(cPredef);
  for (const System& s : system) {
    if (name == s.cName) {
      cursor->hCursor = LOADCURSOR(nullptr, s.nId);
      cursor->lPredef = true;
      return cursor;
    }
  }
  if (name == "HAND") cursor->hCursor = GETCURSORHAND();
  else if (name == "STOP") cursor->hCursor = GETCURSORSTOP();
  else if (name == "DRAG") cursor->hCursor = GETCURSORDRAG();
  else {
    if (Alert) Alert("Wrong predefined cursor type!");
    return cursor;
  }
  cursor->lPredef = true;
  return cursor;
}

TCursor& TCursor::NewBmp(HBITMAP hBitmap, HPALETTE hPalette, int nRow, int nCol, bool lRanges,
                         const std::vector<COLORREF>& aClr1, const std::vector<COLORREF>& aClr2,
                         const std::vector<COLORREF>& aClr3, const std::vector<COLORREF>& aClr4) {
  if (!hBitmap) return *this;
  End();
  hCursor = CREATEBMPCURSOR(hBitmap, hPalette, nRow, nCol, lRanges, aClr1, aClr2, aClr3, aClr4);
  lPredef = false;
  return *this;
}

void TCursor::End() {
  if (hCursor && !lPredef) DESTROYCURSOR(hCursor);
  hCursor = nullptr;
}

}  // namespace nx
