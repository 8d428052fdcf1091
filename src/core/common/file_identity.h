// What tells a file's contents unchanged since it was last read, so that what was read from
// it (parsed records, key fields) can be kept: a save that renames a new file over it changes
// its inode, another program's write its size or modification time. A record written in
// place keeps the size and may keep the time within its tick: this program's own library
// writes are counted as well (library_writes()), and the folder's writer lock keeps another
// copy of the program from writing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace wb {

struct FileIdentity {
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modified_s = 0, modified_ns = 0;
  std::uint64_t writes = 0;  // library_writes() when the identity was taken
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the regular file at `path`; none when there is none (missing, a folder, a
// device, unreadable attributes). Take it before reading: a change while reading then makes
// the next identity differ.
std::optional<FileIdentity> file_identity(const std::filesystem::path& path);

}  // namespace wb
