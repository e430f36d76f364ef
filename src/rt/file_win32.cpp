// Windows files: share modes for exclusive use, LockFileEx for record locks.
#ifdef _WIN32
#include <windows.h>

#include <algorithm>

#include "rt/storage.h"

namespace nx {

namespace {

class Win32File : public Storage {
 public:
  explicit Win32File(HANDLE h) : h_(h) {}
  ~Win32File() override { CloseHandle(h_); }

  size_t ReadAt(uint64_t offset, void* data, size_t n) override {
    size_t done = 0;
    while (done < n) {
      OVERLAPPED ov = At(offset + done);
      DWORD got = 0;
      DWORD chunk = DWORD(std::min<size_t>(n - done, 1u << 30));
      if (!ReadFile(h_, static_cast<char*>(data) + done, chunk, &got, &ov) || got == 0) break;
      done += got;
    }
    return done;
  }

  bool WriteAt(uint64_t offset, const void* data, size_t n) override {
    size_t done = 0;
    while (done < n) {
      OVERLAPPED ov = At(offset + done);
      DWORD put = 0;
      DWORD chunk = DWORD(std::min<size_t>(n - done, 1u << 30));
      if (!WriteFile(h_, static_cast<const char*>(data) + done, chunk, &put, &ov) || put == 0) return false;
      done += put;
    }
    return true;
  }

  uint64_t Size() override {
    LARGE_INTEGER size{};
    return GetFileSizeEx(h_, &size) ? uint64_t(size.QuadPart) : 0;
  }

  bool Flush() override { return FlushFileBuffers(h_) != 0; }

  bool Lock(uint64_t offset, uint64_t length) override {
    OVERLAPPED ov = At(offset);
    return LockFileEx(h_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, DWORD(length),
                      DWORD(length >> 32), &ov) != 0;
  }

  bool LockShared(uint64_t offset, uint64_t length) override {
    OVERLAPPED ov = At(offset);
    return LockFileEx(h_, LOCKFILE_FAIL_IMMEDIATELY, 0, DWORD(length), DWORD(length >> 32), &ov) != 0;
  }

  void Unlock(uint64_t offset, uint64_t length) override {
    OVERLAPPED ov = At(offset);
    UnlockFileEx(h_, 0, DWORD(length), DWORD(length >> 32), &ov);
  }

 private:
  static OVERLAPPED At(uint64_t offset) {
    OVERLAPPED ov{};
    ov.Offset = DWORD(offset);
    ov.OffsetHigh = DWORD(offset >> 32);
    return ov;
  }
  HANDLE h_;
};

std::unique_ptr<Storage> Wrap(HANDLE h, int& osError) {
  if (h == INVALID_HANDLE_VALUE) {
    osError = int(GetLastError());
    return nullptr;
  }
  osError = 0;
  return std::make_unique<Win32File>(h);
}

}  // namespace

std::unique_ptr<Storage> OpenFile(const std::string& path, OpenMode mode, bool readOnly, int& osError) {
  DWORD access = GENERIC_READ | (readOnly ? 0 : GENERIC_WRITE);
  DWORD share = mode == OpenMode::Exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
  return Wrap(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
              osError);
}

std::unique_ptr<Storage> CreateNewFile(const std::string& path, int& osError) {
  return Wrap(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr),
              osError);
}

bool FileExists(const std::string& path) {
  DWORD attr = GetFileAttributesA(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

void PauseBriefly() { Sleep(1); }

}  // namespace nx
#endif
