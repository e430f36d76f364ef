// Fuzzes Transform(): every kind of value, including the extreme numbers,
// against a fuzzed picture. Byte 0 picks the value, the next 8 bytes feed
// it, the rest is the picture.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "rt/strings.h"
#include "rt/transform.h"

namespace {

nx::Value MakeValue(uint8_t kind, const uint8_t* raw) {
  int64_t i;
  std::memcpy(&i, raw, sizeof i);
  double d;
  std::memcpy(&d, raw, sizeof d);
  switch (kind % 12) {
    case 0: return nx::Value(i);
    case 1: return nx::Value(std::numeric_limits<int64_t>::min() + (i & 3));
    case 2: return nx::Value(std::numeric_limits<int64_t>::max() - (i & 3));
    case 3: return nx::Value(d, int(kind >> 4));  // any double: NaN, infinities, denormals
    case 4: return nx::Value(double(int32_t(i)) / 1000.0, 3);
    case 5: return nx::Value(-0.0, int(kind >> 4));
    case 6: return nx::Value(std::string(reinterpret_cast<const char*>(raw), 8));
    case 7: return nx::Value(std::string());
    case 8: return nx::Value(nx::Date{int32_t(i)});  // any day number, valid or not
    case 9: return nx::Value(nx::Date{});
    case 10: return nx::Value(bool(i & 1));
    default: return nx::Value();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  nx::Value v = MakeValue(data[0], data + 1);
  std::string_view picture(reinterpret_cast<const char*>(data + 9), size - 9);
  std::string out = nx::Transform(v, picture);
  // Strings keep to the template's width; nothing grows without bound.
  if (v.IsString() && !picture.empty() && picture[0] != '@' && out.size() != picture.size()) __builtin_trap();
  if (out.size() > picture.size() + 64) __builtin_trap();
  return 0;
}
