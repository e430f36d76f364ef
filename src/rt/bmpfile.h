// BMP file and packed-DIB validation, free of the platform headers so that
// it runs in the host build under the fuzzer. Everything that reaches GDI
// from a file passes through Normalise(): the result is a packed DIB whose
// header, colour table and pixel bits are known to be consistent with its
// length, in one canonical shape (40-byte header, no RLE).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace nx::bmp {

constexpr uint32_t kRgb = 0;        // BI_RGB
constexpr uint32_t kRle8 = 1;       // BI_RLE8
constexpr uint32_t kRle4 = 2;       // BI_RLE4
constexpr uint32_t kBitfields = 3;  // BI_BITFIELDS
constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;
// Larger images are refused: they are not what a BMP resource of the
// library is, and the limit keeps allocations bounded for hostile headers.
constexpr int32_t kMaxSide = 16384;
// RLE streams may expand far beyond their size; their decoded pixels are
// limited to this many bytes.
constexpr size_t kMaxRleBytes = 64u * 1024 * 1024;

// What a validated DIB holds; offsets are relative to the DIB's start.
struct Info {
  uint32_t headerSize = 0;
  int32_t width = 0;
  int32_t height = 0;  // absolute value
  bool topDown = false;
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t colors = 0;       // entries in the colour table
  size_t masksOffset = 0;    // the three BI_BITFIELDS masks, when present
  size_t tableOffset = 0;
  size_t bitsOffset = 0;
  size_t bitsSize = 0;       // bytes of pixel data present (RLE: stream size)
  uint32_t xPelsPerMeter = 0;
  uint32_t yPelsPerMeter = 0;
};

// Bytes of one row of uncompressed pixels, padded to 4 bytes; 0 on overflow.
size_t Stride(int32_t width, uint16_t bitCount);

// Colour-table entries: the colours-used field, or 2^bits for up to 8 bits.
uint32_t ColorCount(uint16_t bitCount, uint32_t clrUsed);

// A packed DIB (header, masks, table, bits). bitsOffsetHint, when not 0, is
// where the bits start (from a file header's offset field, less 14).
std::optional<Info> ParseDib(std::span<const uint8_t> dib, size_t bitsOffsetHint = 0);

// A whole BMP file image ("BM" + file header + DIB).
std::optional<Info> ParseFile(std::span<const uint8_t> file);

// The canonical packed DIB of a file image or of a packed DIB; empty when
// the input is not a sound BMP (or memory runs out: these never throw).
std::vector<uint8_t> NormaliseFile(std::span<const uint8_t> file);
std::vector<uint8_t> NormaliseDib(std::span<const uint8_t> dib);

// The file image of a canonical packed DIB: the 14-byte header (pixel
// offset = 14 + header + masks + 4 x colours) followed by the DIB.
std::vector<uint8_t> FileFromDib(std::span<const uint8_t> dib);

}  // namespace nx::bmp
