// The one rule by which the program opens a file to read it (libraries, templates, test files,
// the save journal): whatever a user or a copy from a file server left at the path, the read
// answers at once.
// - The file is opened without blocking (O_NONBLOCK), so a FIFO without a writer, or a device,
//   never holds the caller; it is then taken only when fstat says it is a regular file: a FIFO,
//   a device (a link to /dev/zero), a socket or a folder, or a link to any of them, is refused.
// - Its size is read once, from fstat, before anything is read; a reader that expects at most so
//   many bytes says so and a larger file is refused with its size. No read goes past that size,
//   so a file that grows while it is read is read as it was.
// `ReadableFile::refusal_text` names the file and why it was not read, for the message a window
// shows.
#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace wb {

enum class ReadFault {
  None,
  Missing,     // nothing at the path (or a folder on the way is missing)
  NotRegular,  // a FIFO, a device, a socket, a folder (or a link to one)
  TooLarge,    // larger than the reader takes
  Unreadable,  // no permission, an I/O error, a link not followed, …
};

enum class FollowLinks { Yes, No };

inline constexpr std::uint64_t kAnySize = std::numeric_limits<std::uint64_t>::max();

class ReadableFile {
 public:
  explicit ReadableFile(const std::filesystem::path& path, std::uint64_t max_size = kAnySize,
                        FollowLinks follow = FollowLinks::Yes);
  ~ReadableFile();
  ReadableFile(const ReadableFile&) = delete;
  ReadableFile& operator=(const ReadableFile&) = delete;

  explicit operator bool() const { return fault_ == ReadFault::None; }
  ReadFault fault() const { return fault_; }
  int error() const { return error_; }  // errno of a failed open or fstat
  std::uint64_t size() const { return size_; }  // as fstat gave it before any read
  int fd() const { return fd_; }

  // Reads out.size() bytes at `offset`; false when they lie past the size or cannot be read.
  [[nodiscard]] bool read_at(std::uint64_t offset, std::span<std::uint8_t> out) const;
  // Reads the whole file (its size as found) into `out`.
  [[nodiscard]] bool read_all(std::vector<std::uint8_t>& out) const;
  // Reads at most out.size() bytes from the start: the count read (the file may be shorter).
  [[nodiscard]] std::size_t read_head(std::span<std::uint8_t> out) const;

  // "文件“…”不是普通文件（管道、设备、套接字或文件夹），不能读取。" and the like; empty when the
  // file was opened.
  std::string refusal_text() const;

 private:
  std::filesystem::path path_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
  ReadFault fault_ = ReadFault::None;
  int error_ = 0;
};

// Why the file at `path` could not be read, naming it; empty for ReadFault::None.
std::string read_refusal_text(const std::filesystem::path& path, ReadFault fault, std::uint64_t size = 0,
                              int error = 0);

}  // namespace wb
