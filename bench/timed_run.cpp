#include "timed_run.h"

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

}  // namespace

RunOutcome run_builder(const std::string& program, const std::string& folder,
                       const std::string& answers, const std::string& console_path,
                       const std::string& error_path) {
  return run_program(program, {}, folder, answers, console_path, error_path);
}

RunOutcome run_program(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& folder, const std::string& answers,
                       const std::string& console_path, const std::string& error_path) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return timed_child([&] {
    if (::chdir(folder.c_str()) != 0 || !redirect(STDIN_FILENO, answers, O_RDONLY) ||
        !redirect(STDOUT_FILENO, console_path, O_WRONLY | O_CREAT | O_TRUNC) ||
        !redirect(STDERR_FILENO, error_path, O_WRONLY | O_CREAT | O_TRUNC)) {
      ::_exit(126);
    }
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  });
}

}  // namespace bench
