// The record of active call frames (procedure, source file, line) that the
// error report prints. Frames are pushed by scope objects; the library's
// dispatch pushes one named after the class and method it calls.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "rt/value.h"

namespace nx {

struct CallFrame {
  const char* cls;   // class name, or nullptr for a plain procedure
  const char* proc;  // procedure or method name
  const char* file;
  int line;
  const std::vector<const Value*>* params = nullptr;  // set by FrameVars
  const std::vector<const Value*>* locals = nullptr;
};

class FrameScope {
 public:
  FrameScope(const char* proc, const char* file, int line) : FrameScope(nullptr, proc, file, line) {}
  FrameScope(const char* cls, const char* proc, const char* file, int line);
  ~FrameScope();
  FrameScope(const FrameScope&) = delete;
  FrameScope& operator=(const FrameScope&) = delete;
};

// Level 0 is the innermost frame. Empty name / 0 beyond the outermost.
std::string ProcName(int level = 0);  // "CLASS:METHOD" or "PROC"
std::string ProcFile(int level = 0);
int ProcLine(int level = 0);
int FrameDepth();

// Shows the parameters and locals of the innermost frame to the error report
// (read when a report is made: the variables must outlive this scope).
class FrameVars {
 public:
  FrameVars(std::initializer_list<const Value*> params, std::initializer_list<const Value*> locals = {});
  ~FrameVars();
  FrameVars(const FrameVars&) = delete;
  FrameVars& operator=(const FrameVars&) = delete;

 private:
  std::vector<const Value*> params_, locals_;
  int frame_;
  const std::vector<const Value*>* oldParams_ = nullptr;
  const std::vector<const Value*>* oldLocals_ = nullptr;
};

// The variables of the frame `level` up (0 innermost); k is 1-based.
int ParamCount(int level);
int LocalCount(int level);
Value GetParam(int level, int k);
Value GetLocal(int level, int k);

}  // namespace nx

#define NX_CAT2(a, b) a##b
#define NX_CAT(a, b) NX_CAT2(a, b)
// Records the enclosing function as a call frame for the error report.
#define NX_PROC(name) ::nx::FrameScope NX_CAT(nxFrame_, __LINE__)(name, __FILE__, __LINE__)
#define NX_METHOD(cls, name) ::nx::FrameScope NX_CAT(nxFrame_, __LINE__)(cls, name, __FILE__, __LINE__)
