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
  t_frames.push_back(CallFrame{cls, proc, file, line});
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

}  // namespace nx
