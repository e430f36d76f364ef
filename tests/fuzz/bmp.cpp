// Host fuzz target for the BMP/DIB and icon validation that guards every
// file and string the image natives read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "rt/bmpfile.h"
#include "rt/icofile.h"
// Compiled into this unit so that the parser carries the fuzzer's coverage
// instrumentation (the nxrt library is built without it); the linker then
// takes these definitions and leaves the archive's copy out.
#include "rt/bmpfile.cpp"
#include "rt/icofile.cpp"

namespace {

// A canonical DIB must itself validate, to the same geometry.
void CheckCanonical(const std::vector<uint8_t>& dib) {
  if (dib.empty()) return;
  const auto info = nx::bmp::ParseDib(dib);
  if (!info || info->compression == nx::bmp::kRle8 || info->compression == nx::bmp::kRle4) abort();
  if (info->bitsOffset + info->bitsSize != dib.size()) abort();
  const auto file = nx::bmp::FileFromDib(dib);
  if (file.size() != dib.size() + nx::bmp::kFileHeader) abort();
  if (nx::bmp::NormaliseFile(file) != dib) abort();
}

// A canonical icon image validates to itself, alone and inside a file.
void CheckIcon(const std::optional<nx::ico::Image>& img) {
  if (!img) return;
  const auto again = nx::ico::NormaliseImage(img->dib);
  if (!again || again->dib != img->dib || again->width != img->width || again->height != img->height) abort();
  const auto back = nx::ico::Pick(nx::ico::FileFromImage(*img), img->width, img->height);
  if (!back || back->dib != img->dib) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> in(data, size);
  CheckCanonical(nx::bmp::NormaliseFile(in));
  CheckCanonical(nx::bmp::NormaliseDib(in));
  CheckIcon(nx::ico::Pick(in));
  CheckIcon(nx::ico::NormaliseImage(in));
  return 0;
}
