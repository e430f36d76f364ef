// The seam between Windows and the class library: subclassing, the library
// window procedure, the message loop and pump, the modeless dialog registry,
// the application accelerator table and the window-class natives.
#pragma once

#include <windows.h>

namespace nx {

// Releases the libraries and global atoms the native layer took.
void FREERESOURCES();

}  // namespace nx
