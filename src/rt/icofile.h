// ICO file validation, free of the platform headers so that it runs in the
// host build under the fuzzer. An icon reaches the platform only as the
// canonical image made here: a 40-byte header whose height counts the
// colour rows and the mask rows, the colour table, the colour bits and the
// 1-bit mask, all consistent with its length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace nx::ico {

constexpr size_t kDirHeader = 6;
constexpr size_t kDirEntry = 16;
// Icon images are at most 256 pixels on a side.
constexpr int32_t kMaxSide = 256;

struct Image {
  int32_t width = 0;
  int32_t height = 0;  // pixel rows (the header holds twice this)
  uint16_t bitCount = 0;
  std::vector<uint8_t> dib;  // canonical: header, table, colour bits, mask
};

// An icon file signature: reserved 0, type 1, at least one entry.
bool IsIconFile(std::span<const uint8_t> file);

// One icon image as stored in a file entry or an icon resource. PNG images
// and compressed bits are refused; a 32-bit image that ends where its mask
// would begin gets an empty mask.
std::optional<Image> NormaliseImage(std::span<const uint8_t> image);

// The sound image of an icon file that best fits nWidth x nHeight: the
// exact size with the most colours, else the nearest size.
std::optional<Image> Pick(std::span<const uint8_t> file, int32_t nWidth = 32, int32_t nHeight = 32);

// A one-image icon file holding a canonical image.
std::vector<uint8_t> FileFromImage(const Image& image);

}  // namespace nx::ico
