// measured_launch REPORT_FD PROGRAM [ARGUMENT...]: runs PROGRAM with its
// arguments as a child of this small process and writes
// "<exit status> <signal> <peak KiB>" to REPORT_FD.
//
// A process forked from the test runner starts with the runner's memory
// counted in its peak (the kernel records the peak of the copied address
// space, even across exec), so a test runner that measures its child
// directly measures itself. Forked from this launcher instead, the program's
// peak is its own plus this launcher's few hundred kilobytes.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: measured_launch REPORT_FD PROGRAM [ARGUMENT...]\n", stderr);
    return 2;
  }
  const int report_fd = std::atoi(argv[1]);
  // Ignored before the fork, since the program may run for a while before
  // this process does; the program starts with what this one was given.
  constexpr int kEndSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
  struct sigaction given[4] {};
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  for (int i = 0; i < 4; ++i) sigaction(kEndSignals[i], &ignore, &given[i]);
  pid_t pid = fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    for (int i = 0; i < 4; ++i) sigaction(kEndSignals[i], &given[i], nullptr);
    ::close(report_fd);
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  while (wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) return 2;
  }
  int exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  int signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  char report[64];
  int length = std::snprintf(report, sizeof report, "%d %d %ld\n", exit_status, signal,
                             static_cast<long>(usage.ru_maxrss));
  if (::write(report_fd, report, static_cast<std::size_t>(length)) != length) return 2;
  return 0;
}
