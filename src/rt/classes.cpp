#include "rt/classes.h"

#include <algorithm>
#include <cstring>

namespace nx {

namespace {
// Class names are string literals that live as long as the program.
std::vector<const char*>& Used() {
  static std::vector<const char*> used;
  return used;
}
}  // namespace

void ClassInUse(const char* cClassName) {
  if (!cClassName || !*cClassName) return;
  auto& used = Used();
  // The same literal is met again and again: compare pointers first.
  if (std::find(used.begin(), used.end(), cClassName) != used.end()) return;
  for (const char* u : used)
    if (std::strcmp(u, cClassName) == 0) return;
  used.push_back(cClassName);
}

std::vector<std::string> ClassesInUse() {
  std::vector<std::string> out;
  for (const char* u : Used()) out.emplace_back(u);
  return out;
}

}  // namespace nx
