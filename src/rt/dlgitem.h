// The bytes of one in-memory dialog item template: the fixed item header
// (style, extended style, position and size in dialog units, id), the class
// and title as zero-ended UTF-16 words, an empty creation-data word, and
// padding to a 4-byte boundary. No platform calls: the caller widens text.
#pragma once

#include <cstdint>
#include <string>

namespace nx {

std::string DialogItemBytes(int nTop, int nLeft, int nBottom, int nRight, int nId, uint32_t nStyle,
                            const std::u16string& cClassName, const std::u16string& cCaption);

}  // namespace nx
