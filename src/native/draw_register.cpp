#include <windows.h>

#include <cstdio>
#include <string>
#include <unordered_map>

#include "native/draw.h"
#include "native/draw_internal.h"

namespace nx {

namespace {

struct Register {
  bool on = false;
  std::unordered_map<HANDLE, std::string> entries;
};

Register& Reg() {
  static Register reg;
  return reg;
}

}  // namespace

void RESREGISTER(bool lOn) {
  Register& reg = Reg();
  reg.entries.clear();
  reg.on = lOn;
  if (lOn) DeleteFileA("res.log");
}

bool RESREGISTERED() { return Reg().on; }

void RESADD(HANDLE hObject, const char* cKind) {
  Register& reg = Reg();
  if (!reg.on || !hObject) return;
  try {
    reg.entries[hObject] = cKind ? cKind : "";
  } catch (...) {
    // The register is a diagnostic; running out of memory must not stop drawing.
  }
}

void RESDEL(HANDLE hObject) {
  Register& reg = Reg();
  if (reg.on && hObject) reg.entries.erase(hObject);
}

size_t RESCOUNT() { return Reg().entries.size(); }

size_t RESCOUNT(std::string_view cKind) {
  size_t n = 0;
  for (const auto& [h, kind] : Reg().entries) n += kind == cKind;
  return n;
}

size_t RESREPORT(const char* cFile) {
  FILE* f = std::fopen(cFile ? cFile : "res.log", "wb");
  if (!f) return 0;
  size_t n = 0;
  for (const auto& [h, kind] : Reg().entries) {
    std::fprintf(f, "%s %lu\r\n", kind.c_str(), static_cast<unsigned long>(reinterpret_cast<uintptr_t>(h)));
    ++n;
  }
  std::fclose(f);
  return n;
}

namespace detail {

bool PixelBuffer::Create(int nW, int nH) {
  if (nW <= 0 || nH <= 0) return false;
  const BITMAPINFO bi = TopDown32(nW, nH);
  void* bits = nullptr;
  hBitmap.Reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!hBitmap || !bits) return false;
  pBits = static_cast<uint32_t*>(bits);
  nWidth = nW;
  nHeight = nH;
  return true;
}

HPEN NewPen(int nStyle, int nWidth, COLORREF nColor) { return CreatePen(nStyle, nWidth, nColor); }

}  // namespace detail

}  // namespace nx
