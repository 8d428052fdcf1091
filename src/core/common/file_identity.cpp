#include "core/common/file_identity.h"

#include <sys/stat.h>

#include "core/common/record_store.h"

namespace wb {

std::optional<FileIdentity> file_identity(const std::filesystem::path& path) {
  // The write count first: a write between it and the look at the file then shows as a
  // count that moved.
  const std::uint64_t writes = library_writes();
  struct stat s {};
  if (::stat(path.c_str(), &s) != 0 || !S_ISREG(s.st_mode)) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(s.st_dev),  static_cast<std::uint64_t>(s.st_ino),
                      static_cast<std::uint64_t>(s.st_size), static_cast<std::int64_t>(s.st_mtim.tv_sec),
                      static_cast<std::int64_t>(s.st_mtim.tv_nsec), writes};
}

}  // namespace wb
