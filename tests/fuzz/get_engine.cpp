// Fuzzes the Get edit buffer: a picture and a starting value from the input,
// then a stream of keys, caret moves, buffer writes, deleted ranges and reloads. While the
// Get has focus the buffer keeps its length, the caret stays inside it on an
// editable position, the literals of strings, dates and logicals never move,
// and the value read back keeps the variable's type.
#include <cstddef>
#include <cstdint>
#include <string>

#include "rt/get.h"
#include "rt/set.h"
#include "rt/strings.h"

namespace {

nx::Value MakeValue(uint8_t kind) {
  switch (kind % 9) {
    case 0: return nx::Value("hello world");
    case 1: return nx::Value(std::string());
    case 2: return nx::Value(1234.5);
    case 3: return nx::Value(-7);
    case 4: return nx::Value(1e25, 3);
    case 5: return nx::Value(nx::MakeDate(2024, 2, 29));
    case 6: return nx::Value(nx::Date{});
    case 7: return nx::Value(true);
    default: return nx::Value();
  }
}

struct Snapshot {
  std::string buffer;
  void Take(const nx::Get& g) { buffer = g.Buffer(); }
  void Check(const nx::Get& g) const {
    if (!g.HasFocus()) return;
    const std::string& b = g.Buffer();
    if (b.size() != buffer.size()) __builtin_trap();
    int n = g.Pos();
    if (n < 1 || n > std::max<int>(int(b.size()), 1)) __builtin_trap();
    if (g.FirstEditable() && !g.IsEditable(n)) __builtin_trap();
    if (g.Type() != 'N')
      for (size_t i = 0; i < b.size(); ++i)
        if (!g.IsEditable(int(i) + 1) && b[i] != buffer[i]) __builtin_trap();
    if (g.Type() != 'U' && g.UnTransform().ValType() != g.Type()) __builtin_trap();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kFormats[] = {"mm/dd/yy", "dd.mm.yyyy", "yyyy/mm/dd", "dd-mm-yy"};
  if (size < 2) return 0;
  const size_t pictureLen = std::min<size_t>(data[1], size - 2);
  const std::string picture(reinterpret_cast<const char*>(data + 2), pictureLen);
  nx::SetDateFormat(kFormats[(data[0] >> 4) % 4]);
  nx::Set(nx::_SET_INSERT, (data[0] & 0x80) != 0);
  nx::Value var = MakeValue(data[0]);
  nx::Get g(nx::SetGetOf(var), "var", picture);
  g.SetFocus();
  Snapshot snap;
  snap.Take(g);
  for (size_t i = 2 + pictureLen; i + 1 < size; i += 2) {
    const uint8_t op = data[i], arg = data[i + 1];
    switch (op % 8) {
      case 4: g.Pos(int(arg) - 8); break;
      case 5: g.Buffer(std::string(reinterpret_cast<const char*>(data + i), std::min<size_t>(arg % 16, size - i))); break;
      case 6:
        if (arg & 1) g.ToDecPos();
        else if (arg & 2) g.DeleteRange(arg >> 4, (arg >> 4) + (arg >> 2 & 3));
        else g.Clear(true);
        break;
      case 7:
        switch (arg % 5) {
          case 0: g.Assign(); break;
          case 1: g.UpdateBuffer(); break;
          case 2: g.Picture(picture.substr(0, arg % (pictureLen + 1))); break;
          case 3: g.Reset(); break;
          default: g.KillFocus().SetFocus();
        }
        snap.Take(g);
        break;
      default:
        g.ApplyKey(arg);
        if (arg == nx::K_CTRL_U) snap.Take(g);
    }
    snap.Check(g);
  }
  const char type = g.Type();
  g.Assign();
  if (type != 'U' && var.ValType() != type) __builtin_trap();
  nx::SetDateFormat("mm/dd/yy");
  nx::Set(nx::_SET_INSERT, false);
  return 0;
}
