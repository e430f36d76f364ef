#include "rt/bmpfile.h"

#include <climits>
#include <cstring>
#include <new>

namespace nx::bmp {

namespace {

uint16_t U16(std::span<const uint8_t> d, size_t at) { return uint16_t(d[at] | d[at + 1] << 8); }
uint32_t U32(std::span<const uint8_t> d, size_t at) {
  return uint32_t(d[at]) | uint32_t(d[at + 1]) << 8 | uint32_t(d[at + 2]) << 16 | uint32_t(d[at + 3]) << 24;
}
void Put16(std::vector<uint8_t>& v, uint16_t n) {
  v.push_back(uint8_t(n));
  v.push_back(uint8_t(n >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t n) {
  for (int i = 0; i < 4; ++i) v.push_back(uint8_t(n >> (8 * i)));
}

// Expands an RLE4/RLE8 stream into bottom-up rows. Reads stay inside the
// stream and writes inside the image; a stream that ends early leaves the
// rest of the image at index 0, as GDI does.
void DecodeRle(std::span<const uint8_t> in, const Info& info, uint8_t* out, size_t stride) {
  const bool four = info.compression == kRle4;
  const int64_t w = info.width, h = info.height;
  int64_t x = 0, y = 0;
  auto put = [&](uint8_t index) {
    if (x >= 0 && x < w && y >= 0 && y < h) {
      uint8_t* row = out + size_t(y) * stride;
      if (four) {
        uint8_t& b = row[size_t(x) / 2];
        b = (x & 1) ? uint8_t((b & 0xF0) | (index & 0x0F)) : uint8_t((b & 0x0F) | (index << 4));
      } else {
        row[size_t(x)] = index;
      }
    }
    ++x;
  };
  size_t p = 0;
  while (p + 2 <= in.size() && y < h) {
    const uint8_t count = in[p], val = in[p + 1];
    p += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? uint8_t((i & 1) ? (val & 0x0F) : (val >> 4)) : val);
    } else if (val == 0) {
      x = 0;
      ++y;
    } else if (val == 1) {
      break;
    } else if (val == 2) {
      if (p + 2 > in.size()) break;
      x += in[p];
      y += in[p + 1];
      p += 2;
    } else {
      const size_t bytes = four ? (size_t(val) + 1) / 2 : val;
      const size_t padded = (bytes + 1) & ~size_t{1};
      if (p + bytes > in.size()) break;
      for (int i = 0; i < val; ++i) {
        const uint8_t b = in[p + (four ? size_t(i) / 2 : size_t(i))];
        put(four ? uint8_t((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
      }
      p += padded;
    }
  }
}

}  // namespace

size_t Stride(int32_t width, uint16_t bitCount) {
  if (width <= 0 || width > kMaxSide) return 0;
  const uint64_t bits = uint64_t(width) * bitCount;
  return size_t(((bits + 31) / 32) * 4);
}

uint32_t ColorCount(uint16_t bitCount, uint32_t clrUsed) {
  if (clrUsed) return clrUsed;
  return bitCount <= 8 ? 1u << bitCount : 0;
}

std::optional<Info> ParseDib(std::span<const uint8_t> dib, size_t bitsOffsetHint) {
  if (dib.size() < kInfoHeader) return std::nullopt;
  Info info;
  info.headerSize = U32(dib, 0);
  // The core header of the oldest format and the OS/2 variants are refused.
  switch (info.headerSize) {
    case 40: case 52: case 56: case 108: case 124: break;
    default: return std::nullopt;
  }
  if (dib.size() < info.headerSize) return std::nullopt;
  info.width = int32_t(U32(dib, 4));
  const int32_t rawHeight = int32_t(U32(dib, 8));
  const uint16_t planes = U16(dib, 12);
  info.bitCount = U16(dib, 14);
  info.compression = U32(dib, 16);
  const uint32_t sizeImage = U32(dib, 20);
  info.xPelsPerMeter = U32(dib, 24);
  info.yPelsPerMeter = U32(dib, 28);
  const uint32_t clrUsed = U32(dib, 32);

  if (info.width <= 0 || info.width > kMaxSide) return std::nullopt;
  if (rawHeight == 0 || rawHeight == INT32_MIN) return std::nullopt;
  info.topDown = rawHeight < 0;
  info.height = info.topDown ? -rawHeight : rawHeight;
  if (info.height > kMaxSide || planes != 1) return std::nullopt;
  switch (info.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return std::nullopt;
  }
  switch (info.compression) {
    case kRgb: break;
    case kRle8: if (info.bitCount != 8 || info.topDown) return std::nullopt; break;
    case kRle4: if (info.bitCount != 4 || info.topDown) return std::nullopt; break;
    case kBitfields: if (info.bitCount != 16 && info.bitCount != 32) return std::nullopt; break;
    default: return std::nullopt;
  }

  size_t after = info.headerSize;
  if (info.compression == kBitfields) {
    info.masksOffset = 40;
    if (info.headerSize == 40) after += 12;
    if (dib.size() < after) return std::nullopt;
  }
  if (info.bitCount <= 8 ? clrUsed > (1u << info.bitCount) : clrUsed > 256) return std::nullopt;
  info.colors = ColorCount(info.bitCount, clrUsed);
  info.tableOffset = after;
  const size_t tableEnd = after + size_t(info.colors) * 4;
  if (tableEnd > dib.size()) return std::nullopt;

  info.bitsOffset = bitsOffsetHint ? bitsOffsetHint : tableEnd;
  if (info.bitsOffset < tableEnd || info.bitsOffset > dib.size()) return std::nullopt;
  const size_t avail = dib.size() - info.bitsOffset;
  if (info.compression == kRle8 || info.compression == kRle4) {
    info.bitsSize = sizeImage ? sizeImage : avail;
    if (info.bitsSize == 0 || info.bitsSize > avail) return std::nullopt;
    if (uint64_t(Stride(info.width, info.bitCount)) * uint64_t(info.height) > kMaxRleBytes) return std::nullopt;
  } else {
    const size_t stride = Stride(info.width, info.bitCount);
    const uint64_t need = uint64_t(stride) * uint64_t(info.height);
    if (stride == 0 || need > avail) return std::nullopt;
    info.bitsSize = size_t(need);
  }
  return info;
}

std::optional<Info> ParseFile(std::span<const uint8_t> file) {
  if (file.size() < kFileHeader + kInfoHeader) return std::nullopt;
  if (file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const uint32_t offBits = U32(file, 10);
  // An offset inside the file header itself is a lie; 0 means "right after the table".
  if (offBits != 0 && offBits < kFileHeader + kInfoHeader) return std::nullopt;
  return ParseDib(file.subspan(kFileHeader), offBits ? offBits - kFileHeader : 0);
}

namespace {

std::vector<uint8_t> Canonical(std::span<const uint8_t> dib, const Info& info) {
  const bool rle = info.compression == kRle8 || info.compression == kRle4;
  const size_t stride = Stride(info.width, info.bitCount);
  const size_t bitsSize = stride * size_t(info.height);
  std::vector<uint8_t> out;
  out.reserve(kInfoHeader + 12 + size_t(info.colors) * 4 + bitsSize);
  Put32(out, uint32_t(kInfoHeader));
  Put32(out, uint32_t(info.width));
  Put32(out, uint32_t(info.topDown ? -info.height : info.height));
  Put16(out, 1);
  Put16(out, info.bitCount);
  Put32(out, rle ? kRgb : info.compression);
  Put32(out, uint32_t(bitsSize));
  Put32(out, info.xPelsPerMeter);
  Put32(out, info.yPelsPerMeter);
  Put32(out, info.colors);
  Put32(out, 0);
  if (info.compression == kBitfields)
    out.insert(out.end(), dib.begin() + ptrdiff_t(info.masksOffset), dib.begin() + ptrdiff_t(info.masksOffset + 12));
  const auto table = dib.begin() + ptrdiff_t(info.tableOffset);
  out.insert(out.end(), table, table + ptrdiff_t(info.colors) * 4);
  const size_t bitsAt = out.size();
  if (rle) {
    out.resize(bitsAt + bitsSize, 0);
    DecodeRle(dib.subspan(info.bitsOffset, info.bitsSize), info, out.data() + bitsAt, stride);
  } else {
    const auto bits = dib.begin() + ptrdiff_t(info.bitsOffset);
    out.insert(out.end(), bits, bits + ptrdiff_t(bitsSize));
  }
  return out;
}

}  // namespace

std::vector<uint8_t> NormaliseFile(std::span<const uint8_t> file) {
  try {
    const auto info = ParseFile(file);
    return info ? Canonical(file.subspan(kFileHeader), *info) : std::vector<uint8_t>{};
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::vector<uint8_t> NormaliseDib(std::span<const uint8_t> dib) {
  try {
    const auto info = ParseDib(dib);
    return info ? Canonical(dib, *info) : std::vector<uint8_t>{};
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::vector<uint8_t> FileFromDib(std::span<const uint8_t> dib) {
  const auto info = ParseDib(dib);
  if (!info || dib.size() > UINT32_MAX - kFileHeader) return {};
  std::vector<uint8_t> out;
  try {
    out.reserve(kFileHeader + dib.size());
  } catch (const std::bad_alloc&) {
    return {};
  }
  out.push_back('B');
  out.push_back('M');
  Put32(out, uint32_t(kFileHeader + dib.size()));
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, uint32_t(kFileHeader + info->bitsOffset));
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

}  // namespace nx::bmp
