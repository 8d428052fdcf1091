#include "core/printing/pdf_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string_view>
#include <system_error>
#include <vector>

namespace wb {

namespace fs = std::filesystem;

namespace {

// "<dir>/.<name>.<16 hex digits>.part": hidden beside the target, never a name of the user's.
fs::path temp_name_beside(const fs::path& target) {
  std::random_device rd;
  const std::uint64_t bits = (static_cast<std::uint64_t>(rd()) << 32) ^ rd();
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(bits));
  return target.parent_path() / ("." + target.filename().string() + "." + hex + ".part");
}

// What cut a file short: appending to it meets the same condition (a full disk, a quota, a
// size limit) and gives its error. Empty when the append goes through after all.
std::string append_probe(int fd) {
  const std::vector<char> block(64 * 1024, ' ');
  if (::lseek(fd, 0, SEEK_END) < 0) return file_write_cause(errno);
  std::size_t done = 0;
  while (done < block.size()) {
    const ssize_t n = ::write(fd, block.data() + done, block.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return file_write_cause(errno);
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return file_write_cause(errno);
  return {};
}

void sync_folder_of(const fs::path& path) {
  const int fd = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // a folder that cannot be synced is left to the kernel
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string file_write_cause(int err) {
  switch (err) {
    case ENOSPC:
    case EDQUOT: return "磁盘空间不足";
    case EFBIG: return "文件超过系统允许的大小";
    case EACCES:
    case EPERM: return "没有写入权限";
    case EROFS: return "磁盘只读";
    case ENOENT:
    case ENOTDIR: return "文件夹不存在";
    case EIO: return "磁盘读写出错";
    default: return std::generic_category().message(err);
  }
}

std::string pdf_not_written_text(const std::string& path, const std::string& cause) {
  return "打印失败：PDF文件未能写成：" + path + "（" + cause + "）。";
}

bool pdf_file_whole(const fs::path& path) {
  std::ifstream f(path, std::ios::binary | std::ios::ate);
  if (!f) return false;
  const std::streamoff size = f.tellg();
  constexpr std::streamoff kTail = 1024;
  if (size < 16) return false;
  const std::streamoff from = size > kTail ? size - kTail : 0;
  std::string tail(static_cast<std::size_t>(size - from), '\0');
  f.seekg(from);
  if (!f.read(tail.data(), static_cast<std::streamsize>(tail.size()))) return false;
  // "startxref", blanks, the offset, blanks, "%%EOF", an optional line end.
  std::string_view t(tail);
  while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.remove_suffix(1);
  if (!t.ends_with("%%EOF")) return false;
  const std::size_t at = t.rfind("startxref");
  if (at == std::string_view::npos) return false;
  std::string_view rest = t.substr(at + 9, t.size() - 5 - (at + 9));
  const auto blank = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
  while (!rest.empty() && blank(rest.front())) rest.remove_prefix(1);
  while (!rest.empty() && blank(rest.back())) rest.remove_suffix(1);
  long long offset = -1;
  const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), offset);
  if (ec != std::errc() || end != rest.data() + rest.size() || offset < 0 || offset + 4 > size) return false;
  char head[4];
  f.seekg(offset);
  if (!f.read(head, 4)) return false;
  return std::string_view(head, 4) == "xref";
}

PdfOutput::~PdfOutput() { discard(); }

bool PdfOutput::begin(const fs::path& target) {
  discard();
  target_ = target;
  cause_.clear();
  for (int attempt = 0; attempt < 8; ++attempt) {
    const fs::path tmp = temp_name_beside(target);
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
      temp_ = tmp;
      return true;
    }
    if (errno != EEXIST) {
      cause_ = file_write_cause(errno);
      return false;
    }
  }
  cause_ = file_write_cause(EEXIST);
  return false;
}

bool PdfOutput::commit() {
  if (temp_.empty()) return false;
  const int fd = ::open(temp_.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    cause_ = file_write_cause(errno);
  } else {
    if (!pdf_file_whole(temp_)) {
      cause_ = append_probe(fd);
      if (cause_.empty()) cause_ = "文件未写完整";
    } else if (::fsync(fd) != 0) {
      cause_ = file_write_cause(errno);
    }
    if (::close(fd) != 0 && cause_.empty()) cause_ = file_write_cause(errno);
  }
  if (cause_.empty()) {
    std::error_code ec;
    fs::rename(temp_, target_, ec);
    if (!ec) {
      temp_.clear();
      sync_folder_of(target_);
      return true;
    }
    cause_ = file_write_cause(ec.value());
  }
  discard();
  return false;
}

void PdfOutput::discard() {
  if (temp_.empty()) return;
  std::error_code ec;
  fs::remove(temp_, ec);
  temp_.clear();
}

}  // namespace wb
