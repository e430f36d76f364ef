// What the block benchmarks (lists, tree) share: their clock, this thread's
// processor time, which other processes on a busy machine do not inflate as
// they do wall time (it ticks in steps of 10 to 16 ms), and their command
// line.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace bench {

// This thread's processor time in seconds.
inline double Now() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto secs = [](const FILETIME& f) { return double((uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e7; };
  return secs(kernel) + secs(user);
}

// The milliseconds since a time Now() gave.
inline double Ms(double since) { return std::max(0.0, (Now() - since) * 1000); }

// The item count: `full`, `quick` with --quick, or the one after --count.
inline int CountArg(int argc, char** argv, int full, int quick) {
  int count = full;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--quick")) count = quick;
    else if (!std::strcmp(argv[i], "--count") && i + 1 < argc) count = std::atoi(argv[++i]);
  }
  return count;
}

}  // namespace bench
