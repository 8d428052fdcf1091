#include "core/common/writer_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace

WriterLock::WriterLock(const fs::path& sys_folder) : key_(key_of(sys_folder)) {
  const std::lock_guard<std::mutex> guard(g_mutex);
  for (Held& h : g_held)
    if (h.key == key_) {
      ++h.holders;
      state_ = State::Held;
      return;
    }
  const fs::path file = key_ / kWriterLockName;
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return;
  int rc;
  do rc = ::flock(fd, LOCK_EX | LOCK_NB);
  while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    state_ = errno == EWOULDBLOCK ? State::Busy : State::Failed;
    ::close(fd);
    return;
  }
  g_held.push_back({key_, fd, 1});
  state_ = State::Held;
}

WriterLock::~WriterLock() {
  if (state_ != State::Held) return;
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

}  // namespace wb
