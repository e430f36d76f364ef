#include "rt/setkey.h"

#include <unordered_map>
#include <utility>

namespace nx {

namespace {
std::unordered_map<int, Block>& Keys() {
  static std::unordered_map<int, Block> keys;
  return keys;
}
}  // namespace

Block SetKey(int nKey) {
  auto it = Keys().find(nKey);
  return it == Keys().end() ? Block{} : it->second;
}

Block SetKey(int nKey, Block bAction) {
  Block previous = SetKey(nKey);
  if (bAction) Keys()[nKey] = std::move(bAction);
  else Keys().erase(nKey);
  return previous;
}

}  // namespace nx
