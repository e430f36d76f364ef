// Helpers of the data-layer tests: scratch folders, raw file bytes, catching
// raised errors, and running this test program again as a second process.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "rt/error.h"
#include "rt/workarea.h"

namespace nxtest {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

 private:
  std::filesystem::path dir_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Runs f; answers the error it raised (no error block installed), or null.
nx::ErrorPtr RaisedBy(const std::function<void()>& f);

// Starts this program again running one test, with NX_CHILD_* variables set;
// Wait answers its exit code (0 when the test passed).
struct Child {
  intptr_t handle = 0;
};
Child SpawnTest(const std::string& testName, const std::vector<std::pair<std::string, std::string>>& env);
int Wait(Child c);
// Whether the child is still running (false once it ended, however).
bool Running(Child c);
// Ends the child at once, wherever it is (TerminateProcess, SIGKILL), and reaps it.
void Kill(Child c);
std::string ChildEnv(const char* name);  // "" outside a child

// Closes every area when a test ends, also after a failed assertion.
struct AreasClosed {
  ~AreasClosed() { nx::DbCloseAll(); }
};

}  // namespace nxtest
