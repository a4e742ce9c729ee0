#include "timed_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace bench {
namespace {

// The builders read and write in blocks of this size.
constexpr std::size_t kBlock = 64 * 1024;

double now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Redirects `target` to `path`, opened with `flags`; false on failure.
bool redirect(int target, const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) return false;
  if (fd != target) {
    if (::dup2(fd, target) < 0) return false;
    ::close(fd);
  }
  return true;
}

// Forks; the child runs `body` (which must not return) and the parent
// waits and times it.
template <typename Body>
RunOutcome timed_child(Body&& body) {
  RunOutcome outcome;
  double start = now();
  pid_t pid = ::fork();
  if (pid < 0) return outcome;
  if (pid == 0) body();
  int status = 0;
  struct rusage usage {};
  while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  outcome.seconds = now() - start;
  outcome.peak_kib = usage.ru_maxrss;
  if (WIFEXITED(status)) outcome.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
  return outcome;
}

bool write_bytes(int fd, const char* data, std::int64_t count) {
  while (count > 0) {
    std::size_t piece = count < static_cast<std::int64_t>(kBlock) ? static_cast<std::size_t>(count)
                                                                   : kBlock;
    ssize_t n = ::write(fd, data, piece);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    count -= n;
  }
  return true;
}

}  // namespace

RunOutcome run_builder(const std::string& program, const std::string& folder,
                       const std::string& answers, const std::string& console_path,
                       const std::string& error_path) {
  return timed_child([&] {
    if (::chdir(folder.c_str()) != 0 || !redirect(STDIN_FILENO, answers, O_RDONLY) ||
        !redirect(STDOUT_FILENO, console_path, O_WRONLY | O_CREAT | O_TRUNC) ||
        !redirect(STDERR_FILENO, error_path, O_WRONLY | O_CREAT | O_TRUNC)) {
      ::_exit(126);
    }
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  });
}

RunOutcome run_io_floor(const std::string& folder, const std::string& answers,
                        const std::string& output_file, std::int64_t file_bytes,
                        std::int64_t console_bytes) {
  return timed_child([&] {
    std::vector<char> block(kBlock, ' ');
    if (::chdir(folder.c_str()) != 0 || !redirect(STDOUT_FILENO, "/dev/null", O_WRONLY)) {
      ::_exit(126);
    }
    int in = ::open(answers.c_str(), O_RDONLY);
    if (in < 0) ::_exit(1);
    for (;;) {
      ssize_t n = ::read(in, block.data(), block.size());
      if (n == 0) break;
      if (n < 0 && errno != EINTR) ::_exit(1);
    }
    ::close(in);
    int out = ::open(output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || !write_bytes(out, block.data(), file_bytes) || ::close(out) != 0 ||
        !write_bytes(STDOUT_FILENO, block.data(), console_bytes)) {
      ::_exit(1);
    }
    ::_exit(0);
  });
}

}  // namespace bench
