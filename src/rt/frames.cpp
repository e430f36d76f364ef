#include "rt/frames.h"

#include <vector>

namespace nx {

namespace {
// One user-interface thread; thread_local keeps helper threads of tests apart.
thread_local std::vector<CallFrame> t_frames;

const CallFrame* At(int level) {
  if (level < 0 || level >= int(t_frames.size())) return nullptr;
  return &t_frames[t_frames.size() - 1 - size_t(level)];
}
}  // namespace

FrameScope::FrameScope(const char* cls, const char* proc, const char* file, int line) {
  t_frames.push_back(CallFrame{cls, proc, file, line, nullptr, nullptr});
}

FrameScope::~FrameScope() { t_frames.pop_back(); }

std::string ProcName(int level) {
  const CallFrame* f = At(level);
  if (!f) return {};
  return f->cls ? std::string(f->cls) + ":" + f->proc : std::string(f->proc);
}

std::string ProcFile(int level) {
  const CallFrame* f = At(level);
  if (!f || !f->file) return {};
  std::string s = f->file;
  auto slash = s.find_last_of("/\\");
  return slash == std::string::npos ? s : s.substr(slash + 1);
}

int ProcLine(int level) {
  const CallFrame* f = At(level);
  return f ? f->line : 0;
}

int FrameDepth() { return int(t_frames.size()); }

FrameVars::FrameVars(std::initializer_list<const Value*> params, std::initializer_list<const Value*> locals)
    : params_(params), locals_(locals), frame_(int(t_frames.size()) - 1) {
  if (frame_ < 0) return;
  CallFrame& f = t_frames[size_t(frame_)];
  oldParams_ = f.params;
  oldLocals_ = f.locals;
  f.params = &params_;
  f.locals = &locals_;
}

FrameVars::~FrameVars() {
  if (frame_ < 0 || frame_ >= int(t_frames.size())) return;
  t_frames[size_t(frame_)].params = oldParams_;
  t_frames[size_t(frame_)].locals = oldLocals_;
}

namespace {
const std::vector<const Value*>* VarsAt(int level, bool params) {
  const CallFrame* f = At(level);
  return f ? (params ? f->params : f->locals) : nullptr;
}
Value VarOf(const std::vector<const Value*>* vars, int k) {
  if (!vars || k < 1 || k > int(vars->size()) || !(*vars)[size_t(k - 1)]) return Value();
  return *(*vars)[size_t(k - 1)];
}
}  // namespace

int ParamCount(int level) {
  auto v = VarsAt(level, true);
  return v ? int(v->size()) : 0;
}
int LocalCount(int level) {
  auto v = VarsAt(level, false);
  return v ? int(v->size()) : 0;
}
Value GetParam(int level, int k) { return VarOf(VarsAt(level, true), k); }
Value GetLocal(int level, int k) { return VarOf(VarsAt(level, false), k); }

}  // namespace nx
