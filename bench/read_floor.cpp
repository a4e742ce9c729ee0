// The I/O floor of a check: reads each file named on the command line to
// its end, in blocks of the check's reading buffer size, and nothing else.
//
//   bench_read_floor FILE...
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr std::size_t kBlock = 256 * 1024;  // the reading library's buffer
char block[kBlock];

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const int fd = ::open(argv[i], O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 1;
    for (;;) {
      const ssize_t n = ::read(fd, block, kBlock);
      if (n == 0) break;
      if (n < 0 && errno != EINTR) return 1;
    }
    ::close(fd);
  }
  return 0;
}
