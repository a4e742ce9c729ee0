#include "write_all.h"

#include <unistd.h>

#include <cerrno>

namespace builders {

Written write_all(int fd, const char* bytes, std::size_t size) noexcept {
  Written written;
  while (written.count < size) {
    const ssize_t n = ::write(fd, bytes + written.count, size - written.count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      written.error = n < 0 ? errno : 0;
      break;
    }
    written.count += static_cast<std::size_t>(n);
  }
  return written;
}

}  // namespace builders
