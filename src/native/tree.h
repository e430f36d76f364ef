// The tree-line bitmaps of tree browses: seven 16 x 16 pictures made once
// for the process and shared by every tree.
#pragma once

#include <windows.h>

#include <array>

namespace nx {

// By role (index + 1): 1 a vertical line passing by; 2 a junction with the
// line going on down; 3 a corner (the last item of its chain); 4 and 5 a
// junction with a plus and with a minus box; 6 and 7 a corner with a plus and
// with a minus box. The corner pixel is the transparent colour (DRAWMASKED).
using TreeBmps = std::array<HBITMAP, 7>;
constexpr int kTreeBmpSize = 16;

// The bitmaps, made on first use and again after DELTREEBMPS; 0 handles
// when the system refuses them.
const TreeBmps& ATREEBMPS();
// Deletes them (a later ATREEBMPS makes new ones).
void DELTREEBMPS();

}  // namespace nx
