// In-memory dialog templates as bytes, without platform calls (the caller
// widens text): the header, one item, and a walk over a whole template that
// tells how many bytes the platform reads from it, so that malformed or
// truncated bytes are refused before the platform parses them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nx {

// The fixed item header (style, extended style, position and size in dialog
// units, id), the class and title as zero-ended UTF-16 words, an empty
// creation-data word, and padding to a 4-byte boundary.
std::string DialogItemBytes(int nTop, int nLeft, int nBottom, int nRight, int nId, uint32_t nStyle,
                            const std::u16string& cClassName, const std::u16string& cCaption);

// The font of a template: point size and face name.
struct DialogFont {
  int nPointSize = 8;
  std::u16string cFaceName;
};

// The header: style and extended style, item count, x = nLeft, y = nTop,
// cx = nRight - nLeft + 1, cy = nBottom - nTop + 1, no menu, the default
// dialog class, the caption, and with a font its point size and face name
// (DS_SETFONT is added to the style with a font and removed without one, so
// that the platform reads the items where they are). Style 2 becomes 0x80000002 with extended style 0x20 and
// style 0x10000000 becomes 0xC0000000; a style whose words read as the mark
// of the extended form loses its lowest bit. Padded to a 4-byte boundary.
std::string DialogHeaderBytes(int nItems, int nTop, int nLeft, int nBottom, int nRight,
                              const std::u16string& cCaption, uint32_t nStyle,
                              const std::optional<DialogFont>& oFont = std::nullopt);

// The number of bytes the platform reads from a complete template (standard
// or extended form: header, menu, class, title, font and every item with its
// creation data), or 0 when the bytes end before the template does.
size_t DialogTemplateExtent(std::string_view cBytes);

}  // namespace nx
