// SetKey: application-wide key bindings (key code -> codeblock).
#pragma once

#include "rt/value.h"

namespace nx {

// The block bound to a key, or an empty block.
Block SetKey(int nKey);
// Binds (an empty block unbinds) and answers the previous binding.
Block SetKey(int nKey, Block bAction);

}  // namespace nx
