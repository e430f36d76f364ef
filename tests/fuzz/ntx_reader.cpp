// Fuzzes the index reader: the input is an index file, opened over memory,
// walked both ways, sought and changed. Damage must end in an error naming
// the file, never in a crash or in keys out of order.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rt/ntx.h"
#include "rt/storage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto bytes = std::make_shared<std::vector<unsigned char>>(data, data + size);
  try {
    auto ix = nx::NtxIndex::Open(std::make_unique<nx::MemoryStorage>(bytes), "fuzz.ntx", "DBF", size % 2 == 1);
    size_t keySize = size_t(ix->options().keySize);
    size_t count = ix->Count();
    std::optional<nx::NtxIndex::Entry> previous;
    for (size_t i = 0; i < count && i < 300; ++i) {
      auto e = ix->At(i);
      if (!e || e->key.size() != keySize) __builtin_trap();
      if (previous && !ix->Less(previous->key, previous->rec, e->key, e->rec)) __builtin_trap();
      previous = e;
    }
    // A probe from the input: what the tree finds around it must agree.
    std::string probe(reinterpret_cast<const char*>(data), std::min(size, keySize));
    probe.resize(keySize, ' ');
    auto before = [&](std::string_view k, uint32_t r) { return ix->Less(k, r, probe, 7); };
    auto first = ix->FirstNotBefore(before);
    auto last = ix->LastBefore(before);
    size_t rank = ix->CountBefore(before);
    if (first && before(first->key, first->rec)) __builtin_trap();
    if (last && !before(last->key, last->rec)) __builtin_trap();
    if ((rank == 0) != !last) __builtin_trap();
    ix->Insert({probe, 7});
    ix->Insert({probe, 8});
    ix->Erase({probe, 7});
    if (last) ix->Erase(*last);
    ix->Flush();
    auto again = nx::NtxIndex::Open(std::make_unique<nx::MemoryStorage>(bytes), "fuzz.ntx", "DBF", false);
    again->Count();
  } catch (const nx::IndexFault& fault) {
    if (!fault.error || fault.error->FileName != "fuzz.ntx") __builtin_trap();  // a refusal must say why and where
  }
  return 0;
}
