#include "bench/timed_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace bench {
namespace {

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

// Copies `answers` into `pipe_end` as cat does, then ends.
[[noreturn]] void write_answers(const std::string& answers, int pipe_end) {
  static char block[128 * 1024];
  int source = ::open(answers.c_str(), O_RDONLY);
  if (source < 0) ::_exit(126);
  for (;;) {
    ssize_t got = ::read(source, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) ::_exit(got == 0 ? 0 : 1);
    for (ssize_t done = 0; done < got;) {
      ssize_t n = ::write(pipe_end, block + done, static_cast<std::size_t>(got - done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) ::_exit(1);
      done += n;
    }
  }
}

// Forks; the child runs `body` (which must not return) with standard input
// from `answers` as `feed` says, and the parent waits and times it (and the
// writer of the pipe, if any).
template <typename Body>
RunOutcome timed_child(const std::string& answers, Feed feed, Body&& body) {
  RunOutcome outcome;
  double start = now();
  int pipe_ends[2] = {-1, -1};
  pid_t writer = -1;
  if (feed == Feed::Pipe) {
    if (::pipe(pipe_ends) != 0) return outcome;
    writer = ::fork();
    if (writer < 0) return outcome;
    if (writer == 0) {
      ::close(pipe_ends[0]);
      write_answers(answers, pipe_ends[1]);
    }
    ::close(pipe_ends[1]);
  }
  pid_t pid = ::fork();
  if (pid < 0) return outcome;
  if (pid == 0) {
    bool ready = feed == Feed::Pipe ? ::dup2(pipe_ends[0], STDIN_FILENO) == STDIN_FILENO
                                    : redirect(STDIN_FILENO, answers, O_RDONLY);
    if (!ready) ::_exit(126);
    if (pipe_ends[0] >= 0) ::close(pipe_ends[0]);
    body();
  }
  if (pipe_ends[0] >= 0) ::close(pipe_ends[0]);
  int status = 0;
  struct rusage usage {};
  while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  if (writer > 0) {
    int writer_status = 0;
    while (::waitpid(writer, &writer_status, 0) < 0 && errno == EINTR) {
    }
  }
  outcome.seconds = now() - start;
  outcome.peak_kib = usage.ru_maxrss;
  if (WIFEXITED(status)) outcome.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
  return outcome;
}

}  // namespace

RunOutcome run_builder(const std::string& program, const std::string& folder,
                       const std::string& answers, const std::string& console_path,
                       const std::string& error_path, Feed feed) {
  return run_program(program, {}, folder, answers, console_path, error_path, feed);
}

RunOutcome run_program(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& folder, const std::string& answers,
                       const std::string& console_path, const std::string& error_path, Feed feed) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return timed_child(answers, feed, [&] {
    if (::chdir(folder.c_str()) != 0 || !redirect(STDOUT_FILENO, console_path, O_WRONLY | O_CREAT | O_TRUNC) ||
        !redirect(STDERR_FILENO, error_path, O_WRONLY | O_CREAT | O_TRUNC)) {
      ::_exit(126);
    }
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  });
}

}  // namespace bench
