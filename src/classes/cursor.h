// Interim cursor object until the graphics-object classes land.
#pragma once
#include <windows.h>
#include "rt/value.h"
namespace nx {
class TCursor : public Object {
 public:
  void End() {}
  const char* ClassName() const override { return "TCURSOR"; }
  HCURSOR hCursor = nullptr;
};
}  // namespace nx
