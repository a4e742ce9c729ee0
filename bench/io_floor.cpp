// The I/O floor of a workload: what any builder must do at the least,
// started the same way as a builder (standard input from the answers file,
// standard output to /dev/null, in the scratch folder), so that the two
// differ only in the builder's own work.
//
//   bench_floor OUTPUT_FILE FILE_BYTES CONSOLE_BYTES
//
// Reads standard input to its end, then writes FILE_BYTES to OUTPUT_FILE
// (cut first) and CONSOLE_BYTES to standard output, in plain writes of the
// builders' buffer size.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t kBlock = 64 * 1024;  // the builders' buffer size
char block[kBlock];

bool write_bytes(int fd, std::int64_t count) {
  while (count > 0) {
    std::size_t piece = count < static_cast<std::int64_t>(kBlock) ? static_cast<std::size_t>(count)
                                                                   : kBlock;
    ssize_t n = ::write(fd, block, piece);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    count -= n;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::int64_t file_bytes = std::strtoll(argv[2], nullptr, 10);
  const std::int64_t console_bytes = std::strtoll(argv[3], nullptr, 10);
  for (;;) {
    ssize_t n = ::read(STDIN_FILENO, block, kBlock);
    if (n == 0) break;
    if (n < 0 && errno != EINTR) return 1;
  }
  for (char& c : block) c = ' ';
  int out = ::open(argv[1], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0 || !write_bytes(out, file_bytes) || ::close(out) != 0 ||
      !write_bytes(STDOUT_FILENO, console_bytes)) {
    return 1;
  }
  return 0;
}
