#include "rt/dlgitem.h"

namespace nx {

std::string DialogItemBytes(int nTop, int nLeft, int nBottom, int nRight, int nId, uint32_t nStyle,
                            const std::u16string& cClassName, const std::u16string& cCaption) {
  std::string out;
  out.reserve(24 + 2 * (cClassName.size() + cCaption.size()));
  auto put16 = [&](uint16_t v) {
    out.push_back(char(v & 0xFF));
    out.push_back(char(v >> 8));
  };
  auto put32 = [&](uint32_t v) {
    put16(uint16_t(v & 0xFFFF));
    put16(uint16_t(v >> 16));
  };
  auto text = [&](const std::u16string& s) {
    for (char16_t c : s) put16(uint16_t(c));
    put16(0);
  };
  // Unsigned arithmetic: coordinates wrap to 16 bits like the platform's words.
  put32(nStyle);
  put32(0);
  put16(uint16_t(nLeft));
  put16(uint16_t(nTop));
  put16(uint16_t(unsigned(nRight) - unsigned(nLeft) + 1u));
  put16(uint16_t(unsigned(nBottom) - unsigned(nTop) + 1u));
  put16(uint16_t(nId));
  text(cClassName);
  text(cCaption);
  put16(0);
  while (out.size() % 4) out.push_back('\0');
  return out;
}

}  // namespace nx
