#include "core/common/writer_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include "core/common/paths.h"

namespace wb {

namespace fs = std::filesystem;

std::string folder_in_use_text(const fs::path& program_folder) {
  return "该程序目录已由另一个工作台打开：\n" + path_text(program_folder) +
         "\n同一目录只能由一个工作台保存数据，本程序将退出。";
}

namespace {

// The locks this process holds: the folder, the descriptor flock(2) holds, the holders.
struct Held {
  fs::path key;
  int fd = -1;
  int holders = 0;
};
std::mutex g_mutex;
std::vector<Held> g_held;

fs::path key_of(const fs::path& sys_folder) {
  std::error_code ec;
  const fs::path c = fs::weakly_canonical(sys_folder, ec);
  return ec ? fs::absolute(sys_folder, ec).lexically_normal() : c;
}

fs::path file_of(const fs::path& sys_folder) {
  std::error_code ec;
  return fs::absolute(sys_folder, ec).lexically_normal() / kWriterLockName;
}

std::string lock_text(const fs::path& file) { return "程序目录的写入锁 " + path_text(file); }

std::string error_text(int err) {
  switch (err) {
    case EACCES:
    case EPERM: return "没有权限";
    case ENOENT: return "所在文件夹不存在";
    case EROFS: return "只读文件系统";
    case ENOSPC: return "磁盘已满";
    default: return std::strerror(err);
  }
}

// Why `file` cannot serve as the lock: what lies at its name, else the error `err` of its opening.
std::string unusable_text(const fs::path& file, int err) {
  struct stat st {};
  if (::lstat(file.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode)) return lock_text(file) + " 是符号链接，不能用作写入锁";
    if (S_ISDIR(st.st_mode)) return lock_text(file) + " 是文件夹，不能用作写入锁";
    if (!S_ISREG(st.st_mode)) return lock_text(file) + " 不是普通文件，不能用作写入锁";
  }
  return lock_text(file) + " 不能打开（" + error_text(err) + "）";
}

std::string lost_text(const fs::path& file) {
  return lock_text(file) + " 在本程序运行中被删除或替换，可能另有工作台在写入该目录；请关闭本程序后重新打开";
}

// Whether the name `file` gives the file open at `fd`: a regular file, not a link, the same
// device and inode.
bool names(const fs::path& file, int fd) {
  struct stat open_file {}, named {};
  return ::fstat(fd, &open_file) == 0 && ::lstat(file.c_str(), &named) == 0 && S_ISREG(named.st_mode) &&
         open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

// Opens the lock file, created when missing: never through a link, nothing but a regular
// file (O_NONBLOCK: a FIFO put in its place does not hang the open), read-only when the user
// may not write it (flock needs no more). -1 when it cannot be; `err` the first error.
int open_lock_file(const fs::path& file, int& err) {
  constexpr int kFlags = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
  int fd = ::open(file.c_str(), O_RDWR | O_CREAT | kFlags, 0644);
  err = fd < 0 ? errno : 0;
  if (fd < 0 && (err == EACCES || err == EROFS)) fd = ::open(file.c_str(), O_RDONLY | kFlags);
  struct stat st {};
  if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    ::close(fd);
    err = EISDIR;  // said from what lies at the name
    fd = -1;
  }
  return fd;
}

}  // namespace

WriterLock::WriterLock(const fs::path& sys_folder) : key_(key_of(sys_folder)), file_(file_of(sys_folder)) {
  const std::lock_guard<std::mutex> guard(g_mutex);
  for (Held& h : g_held)
    if (h.key == key_) {
      if (!names(file_, h.fd)) {
        cause_ = lost_text(file_);
        return;
      }
      ++h.holders;
      counted_ = true;
      state_ = State::Held;
      return;
    }
  // The name may come to give another file between the open and the lock: then the lock is
  // taken again, on what the name gives now.
  for (int attempt = 0; attempt < 3; ++attempt) {
    int err = 0;
    const int fd = open_lock_file(file_, err);
    if (fd < 0) {
      cause_ = unusable_text(file_, err);
      return;
    }
    int rc;
    do rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
      const int e = errno;
      ::close(fd);
      if (e == EWOULDBLOCK) {
        state_ = State::Busy;
        cause_ = "该程序目录已由另一个工作台打开（" + path_text(file_.parent_path().parent_path()) +
                 "），同一目录只能由一个工作台保存数据";
      } else {
        cause_ = lock_text(file_) + " 不能加锁（" + error_text(e) + "）";
      }
      return;
    }
    if (names(file_, fd)) {
      g_held.push_back({key_, fd, 1});
      counted_ = true;
      state_ = State::Held;
      return;
    }
    ::close(fd);
  }
  cause_ = lost_text(file_);
}

WriterLock::~WriterLock() {
  if (!counted_) return;
  const std::lock_guard<std::mutex> guard(g_mutex);
  for (auto it = g_held.begin(); it != g_held.end(); ++it)
    if (it->key == key_) {
      if (--it->holders == 0) {
        ::close(it->fd);  // lets the lock go
        g_held.erase(it);
      }
      return;
    }
}

bool WriterLock::still_held() {
  if (state_ != State::Held) return false;
  const std::lock_guard<std::mutex> guard(g_mutex);
  for (const Held& h : g_held)
    if (h.key == key_ && names(file_, h.fd)) return true;
  state_ = State::Failed;
  cause_ = lost_text(file_);
  return false;
}

std::string WriterLock::start_refusal_text() const {
  if (state_ == State::Busy) return folder_in_use_text(file_.parent_path().parent_path());
  return "不能确保只有本程序写入该程序目录：\n" + cause_ + "。\n本程序将退出。";
}

}  // namespace wb
