// Message boxes owned by the active window. MsgStop and MsgAlert answer
// nothing; MsgBeep sounds the default beep.
#pragma once

#include <string>

namespace nx {

void MsgStop(const std::string& cText, const std::string& cTitle = "Stop");
void MsgAlert(const std::string& cText, const std::string& cTitle = "Alert");
void MsgBeep();

}  // namespace nx
