// Fuzzes the dialog item template builder: any coordinates, id, style and
// texts give a well-formed item whose fields read back as given.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "rt/dlgitem.h"

namespace {

uint16_t Word(const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kFixed = 6 * 4 + 2;
  if (size < kFixed) return 0;
  int32_t n[6];
  std::memcpy(n, data, sizeof n);
  size_t split = size_t(data[24]) | size_t(data[25]) << 8;
  size_t textBytes = (size - kFixed) / 2 * 2;
  split = std::min(split * 2, textBytes);
  std::u16string cls, caption;
  for (size_t i = 0; i < textBytes; i += 2) {
    char16_t c = char16_t(data[kFixed + i] | data[kFixed + i + 1] << 8);
    (i < split ? cls : caption).push_back(c);
  }
  std::string b = nx::DialogItemBytes(n[0], n[1], n[2], n[3], n[4], uint32_t(n[5]), cls, caption);

  Check(b.size() % 4 == 0);
  Check(b.size() >= 18 + 2 * (cls.size() + 1) + 2 * (caption.size() + 1) + 2);
  Check(b.size() < 18 + 2 * (cls.size() + 1) + 2 * (caption.size() + 1) + 2 + 4);
  uint32_t style = uint32_t(Word(b, 0)) | uint32_t(Word(b, 2)) << 16;
  Check(style == uint32_t(n[5]));
  Check(Word(b, 4) == 0 && Word(b, 6) == 0);
  Check(Word(b, 8) == uint16_t(n[1]) && Word(b, 10) == uint16_t(n[0]));
  Check(uint16_t(Word(b, 8) + Word(b, 12) - 1) == uint16_t(n[3]));
  Check(uint16_t(Word(b, 10) + Word(b, 14) - 1) == uint16_t(n[2]));
  Check(Word(b, 16) == uint16_t(n[4]));
  size_t at = 18;
  for (const std::u16string* s : {&cls, &caption}) {
    for (char16_t c : *s) {
      Check(Word(b, at) == uint16_t(c));
      at += 2;
    }
    Check(Word(b, at) == 0);
    at += 2;
  }
  Check(Word(b, at) == 0);
  return 0;
}
