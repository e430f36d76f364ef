#include "rt/icofile.h"

#include <cstdlib>
#include <cstring>

#include "rt/bmpfile.h"

namespace nx::ico {

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

}  // namespace

bool IsIconFile(std::span<const uint8_t> file) {
  return file.size() >= kDirHeader && U16(file, 0) == 0 && U16(file, 2) == 1 && U16(file, 4) > 0;
}

std::optional<Image> NormaliseImage(std::span<const uint8_t> in) {
  if (in.size() < bmp::kInfoHeader) return std::nullopt;
  const uint32_t headerSize = U32(in, 0);
  if (headerSize < bmp::kInfoHeader || headerSize > in.size()) return std::nullopt;  // PNG fails here too
  const int32_t width = int32_t(U32(in, 4));
  const int32_t rows = int32_t(U32(in, 8));
  const uint16_t planes = U16(in, 12);
  const uint16_t bits = U16(in, 14);
  const uint32_t compression = U32(in, 16);
  const uint32_t clrUsed = U32(in, 32);
  if (width <= 0 || width > kMaxSide || rows <= 0 || rows % 2 || rows / 2 > kMaxSide) return std::nullopt;
  if (planes > 1 || compression != bmp::kRgb) return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
  const int32_t height = rows / 2;
  uint32_t colors = 0;
  if (bits <= 8) {
    if (clrUsed > (1u << bits)) return std::nullopt;
    colors = bmp::ColorCount(bits, clrUsed);
  } else if (clrUsed > 256) {
    return std::nullopt;
  }
  // A table beside direct colours is only skipped.
  const size_t skipped = bits > 8 ? size_t(clrUsed) * 4 : 0;
  const size_t table = size_t(colors) * 4;
  const size_t xorBytes = bmp::Stride(width, bits) * size_t(height);
  const size_t andBytes = bmp::Stride(width, 1) * size_t(height);
  const size_t at = headerSize + skipped;
  if (at + table + xorBytes > in.size()) return std::nullopt;
  const size_t maskAt = at + table + xorBytes;
  const bool hasMask = maskAt + andBytes <= in.size();
  // Only a 32-bit image may leave its mask out, and then wholly.
  if (!hasMask && (bits != 32 || in.size() != maskAt)) return std::nullopt;

  Image img;
  img.width = width;
  img.height = height;
  img.bitCount = bits;
  try {
    auto& d = img.dib;
    d.reserve(bmp::kInfoHeader + table + xorBytes + andBytes);
    Put32(d, uint32_t(bmp::kInfoHeader));
    Put32(d, uint32_t(width));
    Put32(d, uint32_t(height * 2));
    Put16(d, 1);
    Put16(d, bits);
    Put32(d, bmp::kRgb);
    Put32(d, uint32_t(xorBytes + andBytes));
    Put32(d, 0);
    Put32(d, 0);
    Put32(d, colors);
    Put32(d, 0);
    d.insert(d.end(), in.begin() + std::ptrdiff_t(at), in.begin() + std::ptrdiff_t(maskAt));
    if (hasMask) d.insert(d.end(), in.begin() + std::ptrdiff_t(maskAt), in.begin() + std::ptrdiff_t(maskAt + andBytes));
    else d.resize(d.size() + andBytes, 0);
  } catch (...) {
    return std::nullopt;
  }
  return img;
}

std::optional<Image> Pick(std::span<const uint8_t> file, int32_t nWidth, int32_t nHeight) {
  if (!IsIconFile(file)) return std::nullopt;
  const size_t count = U16(file, 4);
  if (kDirHeader + count * kDirEntry > file.size()) return std::nullopt;
  std::optional<Image> best;
  auto distance = [&](const Image& i) { return std::abs(i.width - nWidth) + std::abs(i.height - nHeight); };
  for (size_t n = 0; n < count; ++n) {
    const size_t e = kDirHeader + n * kDirEntry;
    const uint32_t bytes = U32(file, e + 8), offset = U32(file, e + 12);
    if (offset > file.size() || bytes > file.size() - offset) continue;
    auto img = NormaliseImage(file.subspan(offset, bytes));
    if (!img) continue;
    if (!best || distance(*img) < distance(*best) ||
        (distance(*img) == distance(*best) && img->bitCount > best->bitCount))
      best = std::move(img);
  }
  return best;
}

std::vector<uint8_t> FileFromImage(const Image& image) {
  std::vector<uint8_t> f;
  try {
    f.reserve(kDirHeader + kDirEntry + image.dib.size());
    Put16(f, 0);
    Put16(f, 1);
    Put16(f, 1);
    f.push_back(uint8_t(image.width >= 256 ? 0 : image.width));
    f.push_back(uint8_t(image.height >= 256 ? 0 : image.height));
    f.push_back(uint8_t(image.bitCount < 8 ? 1u << image.bitCount : 0));
    f.push_back(0);
    Put16(f, 1);
    Put16(f, image.bitCount);
    Put32(f, uint32_t(image.dib.size()));
    Put32(f, uint32_t(kDirHeader + kDirEntry));
    f.insert(f.end(), image.dib.begin(), image.dib.end());
  } catch (...) {
    return {};
  }
  return f;
}

}  // namespace nx::ico
