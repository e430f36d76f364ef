#include "native/msgbox.h"

#include <windows.h>

namespace nx {

void MsgStop(const std::string& cText, const std::string& cTitle) {
  MessageBoxA(GetActiveWindow(), cText.c_str(), cTitle.c_str(), MB_OK | MB_ICONSTOP);
}

void MsgAlert(const std::string& cText, const std::string& cTitle) {
  MessageBoxA(GetActiveWindow(), cText.c_str(), cTitle.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void MsgBeep() { MessageBeep(MB_OK); }

}  // namespace nx
