#include "core/common/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/common/paths.h"

namespace wb {

ReadableFile::ReadableFile(const std::filesystem::path& path, std::uint64_t max_size, FollowLinks follow)
    : path_(path) {
  // What is plainly no regular file is not even opened (opening some devices does something);
  // the check of the opened file below is the one that counts.
  struct stat before {};
  const bool stated = follow == FollowLinks::Yes ? ::stat(path.c_str(), &before) == 0 : ::lstat(path.c_str(), &before) == 0;
  if (stated && !S_ISREG(before.st_mode)) {  // not followed, a link is no regular file either
    fault_ = ReadFault::NotRegular;
    return;
  }
  const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (follow == FollowLinks::No ? O_NOFOLLOW : 0);
  fd_ = ::open(path.c_str(), flags);
  if (fd_ < 0) {
    error_ = errno;
    fault_ = error_ == ENOENT || error_ == ENOTDIR ? ReadFault::Missing
             : error_ == ENXIO                    ? ReadFault::NotRegular  // a socket
                                                  : ReadFault::Unreadable;
    return;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    error_ = errno;
    fault_ = ReadFault::Unreadable;
  } else if (!S_ISREG(st.st_mode)) {
    fault_ = ReadFault::NotRegular;
  } else {
    size_ = static_cast<std::uint64_t>(st.st_size);
    if (size_ > max_size) fault_ = ReadFault::TooLarge;
  }
  if (fault_ != ReadFault::None) {
    ::close(fd_);
    fd_ = -1;
    return;
  }
  // A regular file reads alike blocking or not; reads are plain from here on.
  const int fl = ::fcntl(fd_, F_GETFL);
  if (fl >= 0) ::fcntl(fd_, F_SETFL, fl & ~O_NONBLOCK);
}

ReadableFile::~ReadableFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool ReadableFile::read_at(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (fd_ < 0 || offset > size_ || out.size() > size_ - offset) return false;
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t got = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

bool ReadableFile::read_all(std::vector<std::uint8_t>& out) const {
  if (fd_ < 0) return false;
  out.assign(static_cast<std::size_t>(size_), 0);
  return read_at(0, out);
}

std::size_t ReadableFile::read_head(std::span<std::uint8_t> out) const {
  if (fd_ < 0) return 0;
  const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), size_));
  return read_at(0, out.first(n)) ? n : 0;
}

std::string ReadableFile::refusal_text() const { return read_refusal_text(path_, fault_, size_, error_); }

std::string read_refusal_text(const std::filesystem::path& path, ReadFault fault, std::uint64_t size, int error) {
  const std::string name = "文件“" + path_text(path) + "”";
  switch (fault) {
    case ReadFault::None:
      return {};
    case ReadFault::Missing:
      return name + "不存在，不能读取。";
    case ReadFault::NotRegular:
      return name + "不是普通文件（管道、设备、套接字或文件夹），不能读取。";
    case ReadFault::TooLarge:
      return name + "太大（" + std::to_string(size) + "字节），不能读取。";
    case ReadFault::Unreadable:
      return name + "不能读取" + (error ? "（" + std::string(std::strerror(error)) + "）" : std::string()) + "。";
  }
  return {};
}

}  // namespace wb
