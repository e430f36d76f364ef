// POSIX files: flock() gives the whole-file share modes, open-file-description
// locks give per-handle byte-range locks (classic fcntl locks are per process
// and would let two areas of one program lock the same record).
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "rt/storage.h"

namespace nx {

namespace {

int OsCodeOf(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return 2;
    case EACCES:
    case EPERM:
    case EROFS: return 5;
    case EWOULDBLOCK: return 32;
    default: return err;
  }
}

class PosixFile : public Storage {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { ::close(fd_); }

  size_t ReadAt(uint64_t offset, void* data, size_t n) override {
    size_t done = 0;
    while (done < n) {
      ssize_t r = ::pread(fd_, static_cast<char*>(data) + done, n - done, off_t(offset + done));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) break;
      done += size_t(r);
    }
    return done;
  }

  bool WriteAt(uint64_t offset, const void* data, size_t n) override {
    size_t done = 0;
    while (done < n) {
      ssize_t r = ::pwrite(fd_, static_cast<const char*>(data) + done, n - done, off_t(offset + done));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) return false;
      done += size_t(r);
    }
    return true;
  }

  uint64_t Size() override {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? uint64_t(st.st_size) : 0;
  }

  bool Flush() override { return ::fsync(fd_) == 0; }

  bool Lock(uint64_t offset, uint64_t length) override { return RangeLock(F_WRLCK, offset, length); }
  bool LockShared(uint64_t offset, uint64_t length) override { return RangeLock(F_RDLCK, offset, length); }
  void Unlock(uint64_t offset, uint64_t length) override { RangeLock(F_UNLCK, offset, length); }

 private:
  bool RangeLock(short type, uint64_t offset, uint64_t length) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = off_t(offset);
    fl.l_len = off_t(length);
    return ::fcntl(fd_, F_OFD_SETLK, &fl) == 0;
  }
  int fd_;
};

std::unique_ptr<Storage> Finish(int fd, int lockOp, int& osError) {
  if (fd < 0) {
    osError = OsCodeOf(errno);
    return nullptr;
  }
  if (::flock(fd, lockOp | LOCK_NB) != 0) {
    osError = OsCodeOf(errno);
    ::close(fd);
    return nullptr;
  }
  osError = 0;
  return std::make_unique<PosixFile>(fd);
}

}  // namespace

std::unique_ptr<Storage> OpenFile(const std::string& path, OpenMode mode, bool readOnly, int& osError) {
  int fd = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
  if (fd >= 0) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd);
      osError = 5;
      return nullptr;
    }
  }
  return Finish(fd, mode == OpenMode::Exclusive ? LOCK_EX : LOCK_SH, osError);
}

std::unique_ptr<Storage> CreateNewFile(const std::string& path, int& osError) {
  // Take the exclusive lock before truncating: a file someone has open stays intact.
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  auto file = Finish(fd, LOCK_EX, osError);
  if (file && ::ftruncate(fd, 0) != 0) {
    osError = OsCodeOf(errno);
    return nullptr;
  }
  return file;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void PauseBriefly() {
  timespec ts{0, 1000000};
  ::nanosleep(&ts, nullptr);
}

}  // namespace nx
#endif
