// The classes a program has used, in the order of their first use: the
// error report lists them. Objects note their class when they come to life
// (windows when they are linked, error objects when they are made).
#pragma once

#include <string>
#include <vector>

namespace nx {

void ClassInUse(const char* cClassName);
std::vector<std::string> ClassesInUse();

}  // namespace nx
