// Fuzzes the dialog template builders and the template walk:
// - any coordinates, id, style and texts give a well-formed item whose fields
//   read back as given, and a header whose fields read back as given;
// - a template built from a header and items is walked to its last item's
//   creation data, and every truncation of it is refused;
// - the walk over the raw input never reads outside it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "rt/dlgitem.h"

namespace {

uint16_t Word(const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }
uint32_t Dword(const std::string& b, size_t at) { return uint32_t(Word(b, at)) | uint32_t(Word(b, at + 2)) << 16; }

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// Checks a zero-ended UTF-16 text at `at` and answers the offset after it.
size_t CheckText(const std::string& b, size_t at, const std::u16string& s) {
  for (char16_t c : s) {
    Check(Word(b, at) == uint16_t(c));
    at += 2;
  }
  Check(Word(b, at) == 0);
  return at + 2;
}

void CheckItem(const std::string& b, const int32_t n[6], const std::u16string& cls, const std::u16string& caption) {
  Check(b.size() % 4 == 0);
  Check(b.size() >= 18 + 2 * (cls.size() + 1) + 2 * (caption.size() + 1) + 2);
  Check(b.size() < 18 + 2 * (cls.size() + 1) + 2 * (caption.size() + 1) + 2 + 4);
  Check(Dword(b, 0) == uint32_t(n[5]));
  Check(Dword(b, 4) == 0);
  Check(Word(b, 8) == uint16_t(n[1]) && Word(b, 10) == uint16_t(n[0]));
  Check(uint16_t(Word(b, 8) + Word(b, 12) - 1) == uint16_t(n[3]));
  Check(uint16_t(Word(b, 10) + Word(b, 14) - 1) == uint16_t(n[2]));
  Check(Word(b, 16) == uint16_t(n[4]));
  size_t at = CheckText(b, 18, cls);
  at = CheckText(b, at, caption);
  Check(Word(b, at) == 0);
}

void CheckHeader(const std::string& h, int items, const int32_t n[6], const std::u16string& caption,
                 const std::optional<nx::DialogFont>& font) {
  uint32_t style = uint32_t(n[5]), exStyle = 0;
  if (style == 2) style = 0x80000002u, exStyle = 0x20;
  else if (style == 0x10000000u) style = 0xC0000000u;
  style = font ? style | 0x40u : style & ~0x40u;
  if (style == 0xFFFF0001u) style = 0xFFFF0000u;  // would read as the extended form
  Check(h.size() % 4 == 0);
  Check(Dword(h, 0) == style && Dword(h, 4) == exStyle);
  Check(Word(h, 8) == uint16_t(items));
  Check(Word(h, 10) == uint16_t(n[1]) && Word(h, 12) == uint16_t(n[0]));
  Check(uint16_t(Word(h, 10) + Word(h, 14) - 1) == uint16_t(n[3]));
  Check(uint16_t(Word(h, 12) + Word(h, 16) - 1) == uint16_t(n[2]));
  Check(Word(h, 18) == 0 && Word(h, 20) == 0);
  size_t at = CheckText(h, 22, caption);
  if (font) {
    Check(Word(h, at) == uint16_t(font->nPointSize));
    at = CheckText(h, at + 2, font->cFaceName);
  }
  Check(h.size() - at < 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view raw(reinterpret_cast<const char*>(data), size);
  Check(nx::DialogTemplateExtent(raw) <= size);

  constexpr size_t kFixed = 6 * 4 + 4;
  if (size < kFixed) return 0;
  int32_t n[6];
  std::memcpy(n, data, sizeof n);
  size_t split = size_t(data[24]) | size_t(data[25]) << 8;
  int items = data[26] % 5;
  bool withFont = data[27] & 1;
  size_t textBytes = (size - kFixed) / 2 * 2;
  split = std::min(split * 2, textBytes);
  std::u16string cls, caption;
  for (size_t i = 0; i < textBytes; i += 2) {
    char16_t c = char16_t(data[kFixed + i] | data[kFixed + i + 1] << 8);
    if (c == 0) c = u'.';  // texts are zero-ended: an inner zero would end them early
    (i < split ? cls : caption).push_back(c);
  }
  // A leading 0xFFFF marks an ordinal, not a text.
  for (std::u16string* s : {&cls, &caption})
    if (!s->empty() && (*s)[0] == 0xFFFF) (*s)[0] = u'.';

  std::string item = nx::DialogItemBytes(n[0], n[1], n[2], n[3], n[4], uint32_t(n[5]), cls, caption);
  CheckItem(item, n, cls, caption);

  std::optional<nx::DialogFont> font;
  if (withFont) font = nx::DialogFont{n[4], cls};
  std::string tpl = nx::DialogHeaderBytes(items, n[0], n[1], n[2], n[3], caption, uint32_t(n[5]), font);
  CheckHeader(tpl, items, n, caption, font);
  for (int i = 0; i < items; ++i) tpl += item;

  // The walk ends at the last item's creation-data word (or the header's end).
  size_t extent = nx::DialogTemplateExtent(tpl);
  Check(extent > 0 && extent <= tpl.size() && tpl.size() - extent < 4);
  size_t cut = (split + size_t(data[26])) % extent;
  Check(nx::DialogTemplateExtent(std::string_view(tpl).substr(0, cut)) == 0);
  return 0;
}
