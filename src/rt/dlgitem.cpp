#include "rt/dlgitem.h"

namespace nx {

namespace {

constexpr uint32_t kSetFont = 0x40;  // DS_SETFONT

struct Writer {
  std::string out;
  void Put16(uint16_t v) {
    out.push_back(char(v & 0xFF));
    out.push_back(char(v >> 8));
  }
  void Put32(uint32_t v) {
    Put16(uint16_t(v & 0xFFFF));
    Put16(uint16_t(v >> 16));
  }
  void Text(const std::u16string& s) {
    for (char16_t c : s) Put16(uint16_t(c));
    Put16(0);
  }
  void Pad() {
    while (out.size() % 4) out.push_back('\0');
  }
};

// Reads a template the way the platform does, failing instead of reading
// past the end.
class Reader {
 public:
  explicit Reader(std::string_view b) : b_(b) {}
  bool Ok() const { return ok_; }
  size_t At() const { return at_; }
  uint16_t Word() {
    if (!Need(2)) return 0;
    uint16_t v = uint16_t(uint8_t(b_[at_]) | uint8_t(b_[at_ + 1]) << 8);
    at_ += 2;
    return v;
  }
  uint32_t Dword() {
    uint32_t lo = Word();
    return lo | uint32_t(Word()) << 16;
  }
  void Skip(size_t n) {
    if (Need(n)) at_ += n;
  }
  // A zero-ended UTF-16 string.
  void String() {
    while (ok_ && Word() != 0) {
    }
  }
  // A menu, class or title: none (0), an ordinal (0xFFFF and a word) or a string.
  void StringOrOrdinal() {
    uint16_t first = Word();
    if (first == 0xFFFF) Word();
    else if (first != 0) String();
  }
  void AlignDword() { Skip((4 - at_ % 4) % 4); }

 private:
  bool Need(size_t n) {
    if (!ok_ || b_.size() - at_ < n) ok_ = false;
    return ok_;
  }
  std::string_view b_;
  size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace

std::string DialogItemBytes(int nTop, int nLeft, int nBottom, int nRight, int nId, uint32_t nStyle,
                            const std::u16string& cClassName, const std::u16string& cCaption) {
  Writer w;
  w.out.reserve(24 + 2 * (cClassName.size() + cCaption.size()));
  // Unsigned arithmetic: coordinates wrap to 16 bits like the platform's words.
  w.Put32(nStyle);
  w.Put32(0);
  w.Put16(uint16_t(nLeft));
  w.Put16(uint16_t(nTop));
  w.Put16(uint16_t(unsigned(nRight) - unsigned(nLeft) + 1u));
  w.Put16(uint16_t(unsigned(nBottom) - unsigned(nTop) + 1u));
  w.Put16(uint16_t(nId));
  w.Text(cClassName);
  w.Text(cCaption);
  w.Put16(0);
  w.Pad();
  return std::move(w.out);
}

std::string DialogHeaderBytes(int nItems, int nTop, int nLeft, int nBottom, int nRight,
                              const std::u16string& cCaption, uint32_t nStyle,
                              const std::optional<DialogFont>& oFont) {
  uint32_t exStyle = 0;
  if (nStyle == 2) {
    nStyle = 0x80000002u;
    exStyle = 0x20;
  } else if (nStyle == 0x10000000u) {
    nStyle = 0xC0000000u;
  }
  // The style must say whether font data follows, or the platform reads the
  // first item as the font.
  if (oFont) nStyle |= kSetFont;
  else nStyle &= ~kSetFont;
  // These first two words mark the extended template form; such a style
  // (every high bit, child and pop-up at once) means nothing anyway.
  if (nStyle == 0xFFFF0001u) nStyle = 0xFFFF0000u;
  Writer w;
  w.Put32(nStyle);
  w.Put32(exStyle);
  w.Put16(uint16_t(nItems));
  w.Put16(uint16_t(nLeft));
  w.Put16(uint16_t(nTop));
  w.Put16(uint16_t(unsigned(nRight) - unsigned(nLeft) + 1u));
  w.Put16(uint16_t(unsigned(nBottom) - unsigned(nTop) + 1u));
  w.Put16(0);  // no menu
  w.Put16(0);  // the default dialog class
  w.Text(cCaption);
  if (oFont) {
    w.Put16(uint16_t(oFont->nPointSize));
    w.Text(oFont->cFaceName);
  }
  w.Pad();
  return std::move(w.out);
}

size_t DialogTemplateExtent(std::string_view cBytes) {
  Reader r(cBytes);
  bool extended = r.Word() == 1 && r.Word() == 0xFFFF;
  r = Reader(cBytes);
  uint32_t style = 0;
  int items = 0;
  if (extended) {
    r.Skip(4 + 4 + 4);  // version and signature, help id, extended style
    style = r.Dword();
  } else {
    style = r.Dword();
    r.Skip(4);  // extended style
  }
  items = r.Word();
  r.Skip(8);  // x, y, cx, cy
  r.StringOrOrdinal();  // menu
  r.StringOrOrdinal();  // class
  r.String();           // title
  if (style & kSetFont) {
    r.Skip(extended ? 6 : 2);  // point size (weight, italic and character set)
    r.String();
  }
  for (int i = 0; i < items && r.Ok(); ++i) {
    r.AlignDword();
    r.Skip(extended ? 24 : 18);  // (help id,) styles, position, size, id
    r.StringOrOrdinal();  // class
    r.StringOrOrdinal();  // title
    // Creation data: a count word, then that many bytes. Readers disagree on
    // whether the count includes its own word; take the longer reading.
    uint16_t extra = r.Word();
    r.Skip(extra + (extra & 1u));
  }
  return r.Ok() ? r.At() : 0;
}

}  // namespace nx
