#include "native/dispatch.h"

namespace nx {

void FREERESOURCES() {}

}  // namespace nx
