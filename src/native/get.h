// Natives of the edit fields: creating the platform edit control and the
// line and selection requests of the multi-line one.
#pragma once

#include <windows.h>

#include <string>

namespace nx {

// Creates an edit window (any class name) in the program's instance. hHeap
// is where a 16-bit system kept the control's text; answered as 0.
HWND MGETCREATE(const std::string& cClassName, const std::string& cCaption, DWORD nStyle, int nLeft, int nTop,
                int nWidth, int nHeight, HWND hWndParent, int nId, HANDLE& hHeap, DWORD nExStyle = 0);
// The formatting rectangle becomes the client rectangle, without repainting.
void MOVEGET(HWND hWnd);
// Line nLine (1-based) of a multi-line edit, at most 255 characters.
std::string MGETLINE(HWND hWnd, int nLine);
// Replaces the selection with cText.
void MGETREPLACE(HWND hWnd, const std::string& cText);
int GETWINTXTLENGHT(HWND hWnd);

}  // namespace nx
