// Every fsync and fdatasync of the core test program passes through here: a test that sets
// an observer sees each one made (the descriptor, and whether only the data were synced),
// after the kernel made it. Defining the two functions in the test program takes the place
// of the C library's for the statically linked core.
#pragma once

#include <functional>
#include <string>

namespace wb::test {

using SyncObserver = std::function<void(int fd, bool data_only)>;

// Sets the observer (an empty one: none) for the life of the object.
class ObserveSyncs {
 public:
  explicit ObserveSyncs(SyncObserver observer);
  ~ObserveSyncs();
  ObserveSyncs(const ObserveSyncs&) = delete;
  ObserveSyncs& operator=(const ObserveSyncs&) = delete;
};

// The path an open descriptor names ("?" when it cannot be told).
std::string fd_path(int fd);

}  // namespace wb::test
