#include "data_support.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace nxtest {

namespace {
std::atomic<int> g_serial{0};

std::string SelfPath() {
#ifdef _WIN32
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  return std::string(buf, n);
#else
  return std::filesystem::read_symlink("/proc/self/exe").string();
#endif
}

int ProcessId() {
#ifdef _WIN32
  return int(GetCurrentProcessId());
#else
  return int(getpid());
#endif
}
}  // namespace

ScratchDir::ScratchDir() {
  dir_ = std::filesystem::temp_directory_path() /
         ("nxrt-" + std::to_string(ProcessId()) + "-" + std::to_string(++g_serial));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
}

ScratchDir::~ScratchDir() {
  nx::DbCloseAll();
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) ADD_FAILURE() << "cannot read " << path;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

nx::ErrorPtr RaisedBy(const std::function<void()>& f) {
  try {
    f();
  } catch (const nx::RuntimeError& e) {
    return e.error;
  }
  return nullptr;
}

std::string ChildEnv(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

Child SpawnTest(const std::string& testName, const std::vector<std::pair<std::string, std::string>>& env) {
  std::string filter = "--gtest_filter=" + testName;
  std::string self = SelfPath();
#ifdef _WIN32
  for (const auto& [k, v] : env) SetEnvironmentVariableA(k.c_str(), v.c_str());
  std::string cmd = "\"" + self + "\" " + filter + " --gtest_also_run_disabled_tests";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  BOOL ok = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  for (const auto& kv : env) SetEnvironmentVariableA(kv.first.c_str(), nullptr);
  if (!ok) return Child{};
  CloseHandle(pi.hThread);
  return Child{intptr_t(pi.hProcess)};
#else
  std::vector<std::string> envText;
  for (char** e = environ; *e; ++e) envText.emplace_back(*e);
  for (const auto& [k, v] : env) envText.push_back(k + "=" + v);
  std::vector<char*> envp;
  for (auto& s : envText) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string also = "--gtest_also_run_disabled_tests";
  char* argv[] = {self.data(), filter.data(), also.data(), nullptr};
  // The child's report would interleave with ours; its exit code is what counts.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return Child{};
  return Child{intptr_t(pid)};
#endif
}

int Wait(Child c) {
  if (!c.handle) return -1;
#ifdef _WIN32
  HANDLE h = HANDLE(c.handle);
  WaitForSingleObject(h, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(h, &code);
  CloseHandle(h);
  return int(code);
#else
  int status = 0;
  if (waitpid(pid_t(c.handle), &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

bool Running(Child c) {
  if (!c.handle) return false;
#ifdef _WIN32
  return WaitForSingleObject(HANDLE(c.handle), 0) == WAIT_TIMEOUT;
#else
  int status = 0;
  return waitpid(pid_t(c.handle), &status, WNOHANG) == 0;
#endif
}

void Kill(Child c) {
  if (!c.handle) return;
#ifdef _WIN32
  TerminateProcess(HANDLE(c.handle), 9);
#else
  ::kill(pid_t(c.handle), SIGKILL);
#endif
  Wait(c);
}

}  // namespace nxtest
