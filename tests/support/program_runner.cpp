#include "tests/support/program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace testing_support {
namespace {

void check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

// The program runs under measured_launch when it is built, so that its peak
// memory is its own (a child forked from this runner would count the
// runner's memory too). The launcher reports on a pipe.
struct Launch {
  int report[2] = {-1, -1};
  int launcher = -1;  // opened here, so that a child that gave up its
                      // privileges need not reach the build folder

  Launch() {
#ifdef MEASURED_LAUNCH_PATH
    check(pipe2(report, O_CLOEXEC) == 0, "pipe");
    launcher = ::open(MEASURED_LAUNCH_PATH, O_RDONLY | O_CLOEXEC);
    check(launcher >= 0, "open " MEASURED_LAUNCH_PATH);
#endif
  }
  ~Launch() {
    for (int fd : {report[0], report[1], launcher}) {
      if (fd >= 0) ::close(fd);
    }
  }

  // In the child: exec the program, through the launcher when there is one.
  // A SIGPIPE that this runner ignores must not stay ignored in the program.
  [[noreturn]] void exec(const std::string& program, const std::vector<std::string>& arguments) {
    std::signal(SIGPIPE, SIG_DFL);
    std::vector<char*> argv;
    std::string fd_text;
    char name[] = "measured_launch";
    if (launcher >= 0) {
      int fd = dup(report[1]);  // without close-on-exec, for the launcher
      fd_text = std::to_string(fd);
      argv = {name, fd_text.data()};
    }
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (launcher >= 0) {
      fexecve(launcher, argv.data(), environ);
    } else {
      execv(program.c_str(), argv.data());
    }
    _exit(127);
  }

  // In the parent, after the fork.
  void started() {
    if (report[1] >= 0) {
      ::close(report[1]);
      report[1] = -1;
    }
  }

  void finish(pid_t pid, RunResult& result) {
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    result.peak_kib = usage.ru_maxrss;
    if (WIFEXITED(status)) {
      result.exit_status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
      result.signal = WTERMSIG(status);
    }
    if (report[0] < 0) return;
    std::string text;
    drain(report[0], text);
    int exit_status = -1;
    int signal = 0;
    long peak = 0;
    if (std::sscanf(text.c_str(), "%d %d %ld", &exit_status, &signal, &peak) == 3) {
      result.exit_status = exit_status;
      result.signal = signal;
      result.peak_kib = peak;
    }
  }

  static void drain(int fd, std::string& into);
};

void Launch::drain(int fd, std::string& into) {
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      into.append(buffer, static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return;
    }
  }
}

}  // namespace

Scratch::Scratch() {
  std::string pattern = (std::filesystem::temp_directory_path() / "builders-XXXXXX").string();
  check(mkdtemp(pattern.data()) != nullptr, "mkdtemp");
  path_ = pattern;
}

Scratch::~Scratch() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(path_, ignored);
}

bool Scratch::exists(std::string_view name) const {
  struct stat st {};
  return lstat(file(name).c_str(), &st) == 0;
}

std::string Scratch::read(std::string_view name) const {
  std::ifstream in(file(name), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file(name));
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void Scratch::write(std::string_view name, std::string_view bytes) const {
  std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file(name));
}

namespace {

// Writes the answers into the pipe while the program runs, without ever
// waiting on a program that has ended; returns what was not written.
std::string feed_pipe(int pipe_end, pid_t pid, const std::string& input_path, const RunOptions& options) {
  fcntl(pipe_end, F_SETFL, O_NONBLOCK);
  auto program_ended = [pid] {
    siginfo_t info {};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
  };
  std::string unwritten;
  bool ended = false;
  // Whole pieces, or the answers file read 64 KiB at a time, so that answers
  // in a file are never held whole.
  auto write_piece = [&](std::string_view piece) {
    std::size_t done = 0;
    while (!ended && done < piece.size()) {
      ssize_t n = ::write(pipe_end, piece.data() + done, piece.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        if (program_ended()) break;
        struct pollfd watch {pipe_end, POLLOUT, 0};
        poll(&watch, 1, 10);
      } else {
        break;
      }
    }
    if (done < piece.size()) {
      ended = true;
      unwritten.append(piece.substr(done));
    }
  };
  if (!options.stdin_pieces.empty()) {
    for (std::size_t i = 0; i < options.stdin_pieces.size(); ++i) {
      if (i > 0 && !ended && options.piece_pause_ms > 0) {
        usleep(static_cast<useconds_t>(options.piece_pause_ms) * 1000);
      }
      write_piece(options.stdin_pieces[i]);
    }
  } else {
    int source = ::open(input_path.c_str(), O_RDONLY);
    std::vector<char> piece(65536);
    for (;;) {
      ssize_t got = source < 0 ? 0 : ::read(source, piece.data(), piece.size());
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      write_piece(std::string_view(piece.data(), static_cast<std::size_t>(got)));
    }
    if (source >= 0) ::close(source);
  }
  ::close(pipe_end);
  return unwritten;
}

std::string take_what_waits(int pipe_end) {
  fcntl(pipe_end, F_SETFL, O_NONBLOCK);
  std::string left;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(pipe_end, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    left.append(buffer, static_cast<std::size_t>(n));
  }
  return left;
}

}  // namespace

RunResult run_redirected(const std::string& program, const Scratch& dir, std::string_view input,
                         const RunOptions& options) {
  const std::string input_path = options.stdin_path.empty() ? dir.file(".stdin") : options.stdin_path;
  const std::string out_path = options.stdout_path.empty() ? dir.file(".stdout") : options.stdout_path;
  const std::string err_path = dir.file(".stderr");
  if (options.stdin_path.empty()) dir.write(".stdin", input);

  const bool piped = options.stdin_pipe || !options.stdin_pieces.empty();
  int feed[2] = {-1, -1};
  if (piped) check(pipe(feed) == 0, "pipe");
  int reader[2] = {-1, -1};
  const bool closing_reader = options.stdout_reader_closes_after >= 0;
  if (closing_reader) check(pipe(reader) == 0, "pipe");
  // Shared with the child, so its final offset can be read afterwards.
  int input_file = piped ? -1 : ::open(input_path.c_str(), O_RDONLY);
  Launch launch;

  pid_t pid = fork();
  check(pid >= 0, "fork");
  if (pid == 0) {
    if (options.while_running) setpgid(0, 0);
    int in = piped ? feed[0] : input_file;
    int out = closing_reader ? reader[1] : ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || chdir(dir.path().c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (int fd : {in, out, err, feed[0], feed[1], reader[0], reader[1]}) {
      if (fd > 2) ::close(fd);
    }
    if (options.close_stdout) ::close(1);
    if (options.in_child) options.in_child();
    launch.exec(program, options.arguments);
  }
  if (options.while_running) setpgid(pid, pid);  // whichever of the two comes first
  launch.started();
  RunResult result;
  if (closing_reader) {
    ::close(reader[1]);
    std::vector<char> taken(static_cast<std::size_t>(options.stdout_reader_closes_after));
    std::size_t got = 0;
    while (got < taken.size()) {
      ssize_t n = ::read(reader[0], taken.data() + got, taken.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    result.out.assign(taken.data(), got);
    ::close(reader[0]);
  }
  if (options.while_running) options.while_running(pid);
  std::string unwritten;
  if (piped) {
    // A program that ends before reading everything must not end the test.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    unwritten = feed_pipe(feed[1], pid, input_path, options);
    sigaction(SIGPIPE, &previous, nullptr);
  }
  launch.finish(pid, result);
  if (piped) {
    result.stdin_left = take_what_waits(feed[0]) + unwritten;
    ::close(feed[0]);
  }
  if (input_file >= 0) {
    result.stdin_offset = static_cast<long>(lseek(input_file, 0, SEEK_CUR));
    ::close(input_file);
  }
  if (options.stdout_path.empty() && !closing_reader) result.out = dir.read(".stdout");
  result.err = dir.read(".stderr");
  return result;
}

RunResult run_on_terminal(const std::string& program, const Scratch& dir, std::string_view input,
                          const RunOptions& options) {
  int err_pipe[2];
  check(pipe(err_pipe) == 0, "pipe");
  Launch launch;
  struct termios modes {};
  cfmakeraw(&modes);
  modes.c_iflag = ICRNL;
  modes.c_oflag = 0;                 // no output processing: bytes as written
  modes.c_lflag = ICANON;            // typed lines, no echo
  modes.c_cc[VEOF] = 0x04;
  modes.c_cc[VMIN] = 1;
  int master = -1;
  pid_t pid = forkpty(&master, nullptr, &modes, nullptr);
  check(pid >= 0, "forkpty");
  if (pid == 0) {
    dup2(err_pipe[1], 2);
    ::close(err_pipe[0]);
    ::close(err_pipe[1]);
    if (chdir(dir.path().c_str()) != 0) _exit(127);
    if (!options.stdout_path.empty()) {
      int out = ::open(options.stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out < 0) _exit(127);
      dup2(out, 1);
      ::close(out);
    }
    if (options.in_child) options.in_child();
    launch.exec(program, options.arguments);
  }
  launch.started();
  ::close(err_pipe[1]);
  RunResult result;
  std::size_t typed = 0;
  bool master_open = true;
  bool interrupted = false;
  fcntl(master, F_SETFL, O_NONBLOCK);
  while (master_open) {
    struct pollfd watch {master, static_cast<short>(POLLIN | (typed < input.size() ? POLLOUT : 0)), 0};
    int ready = poll(&watch, 1, 10000);
    if (ready < 0 && errno == EINTR) continue;  // a signal for this runner, such as a timer's
    if (ready <= 0) {  // a hung program fails its test, not the suite
      kill(-pid, SIGKILL);  // the launcher and the program: one process group
      break;
    }
    if (watch.revents & POLLOUT) {
      // One typed line at a time, as a person would.
      std::size_t end = input.find_first_of("\n\x04", typed);
      end = end == std::string_view::npos ? input.size() : end + 1;
      ssize_t n = ::write(master, input.data() + typed, end - typed);
      if (n > 0) typed += static_cast<std::size_t>(n);
    }
    if (watch.revents & (POLLIN | POLLHUP | POLLERR)) {
      char buffer[4096];
      ssize_t n = ::read(master, buffer, sizeof buffer);
      if (n > 0) {
        result.out.append(buffer, static_cast<std::size_t>(n));
        if (options.interrupt.signal != 0 && !interrupted &&
            result.out.find(options.interrupt.once_shown) != std::string::npos) {
          kill(-pid, options.interrupt.signal);
          interrupted = true;
        }
      } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        master_open = false;
      }
    }
  }
  ::close(master);
  launch.finish(pid, result);
  Launch::drain(err_pipe[0], result.err);
  ::close(err_pipe[0]);
  return result;
}

std::string read_file(const std::string& path) {
  std::string bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
    std::fclose(f);
  }
  return bytes;
}

std::string crlf(std::initializer_list<std::string_view> lines) {
  std::string joined;
  bool first = true;
  for (std::string_view line : lines) {
    if (!first) joined += "\r\n";
    joined += line;
    first = false;
  }
  return joined;
}

}  // namespace testing_support
