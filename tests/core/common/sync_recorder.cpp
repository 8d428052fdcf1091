#include "sync_recorder.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <utility>

namespace {

wb::test::SyncObserver* g_observer = nullptr;

int observed(int fd, bool data_only, long call) {
  const int rc = static_cast<int>(::syscall(call, fd));
  if (rc == 0 && g_observer) (*g_observer)(fd, data_only);
  return rc;
}

}  // namespace

extern "C" int fsync(int fd) { return observed(fd, false, SYS_fsync); }
extern "C" int fdatasync(int fd) { return observed(fd, true, SYS_fdatasync); }

namespace wb::test {

ObserveSyncs::ObserveSyncs(SyncObserver observer) { g_observer = new SyncObserver(std::move(observer)); }

ObserveSyncs::~ObserveSyncs() {
  delete g_observer;
  g_observer = nullptr;
}

std::string fd_path(int fd) {
  char buf[4096];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string("?");
}

}  // namespace wb::test
