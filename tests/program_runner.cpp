#include "program_runner.h"

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
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_support {
namespace {

void check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
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
}

void drain(int fd, std::string& into) {
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

RunResult run_redirected(const std::string& program, const Scratch& dir, std::string_view input,
                         const RunOptions& options) {
  const std::string input_path = options.stdin_path.empty() ? dir.file(".stdin") : options.stdin_path;
  const std::string out_path = options.stdout_path.empty() ? dir.file(".stdout") : options.stdout_path;
  const std::string err_path = dir.file(".stderr");
  if (options.stdin_path.empty()) dir.write(".stdin", input);

  int feed[2] = {-1, -1};
  if (options.stdin_pipe) check(pipe(feed) == 0, "pipe");
  // Shared with the child, so its final offset can be read afterwards.
  int input_file = options.stdin_pipe ? -1 : ::open(input_path.c_str(), O_RDONLY);

  pid_t pid = fork();
  check(pid >= 0, "fork");
  if (pid == 0) {
    int in = options.stdin_pipe ? feed[0] : input_file;
    int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || chdir(dir.path().c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (options.close_stdout) ::close(1);
    if (options.stdin_pipe) {
      ::close(feed[0]);
      ::close(feed[1]);
    }
    if (options.in_child) options.in_child();
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  if (options.stdin_pipe) {
    ::close(feed[0]);
    // Fed in pieces, so that answers in a file are never held whole. A
    // program that ends before reading everything must not end the test.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    int source = ::open(input_path.c_str(), O_RDONLY);
    char piece[65536];
    bool reading = true;
    while (reading && source >= 0) {
      ssize_t got = ::read(source, piece, sizeof piece);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      std::size_t done = 0;
      while (done < static_cast<std::size_t>(got)) {
        ssize_t n = ::write(feed[1], piece + done, static_cast<std::size_t>(got) - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {  // the program stopped reading
          reading = false;
          break;
        }
        done += static_cast<std::size_t>(n);
      }
    }
    if (source >= 0) ::close(source);
    ::close(feed[1]);
    sigaction(SIGPIPE, &previous, nullptr);
  }
  RunResult result;
  finish(pid, result);
  if (input_file >= 0) {
    result.stdin_offset = static_cast<long>(lseek(input_file, 0, SEEK_CUR));
    ::close(input_file);
  }
  if (options.stdout_path.empty()) result.out = dir.read(".stdout");
  result.err = dir.read(".stderr");
  return result;
}

RunResult run_on_terminal(const std::string& program, const Scratch& dir, std::string_view input,
                          const RunOptions& options) {
  int err_pipe[2];
  check(pipe(err_pipe) == 0, "pipe");
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
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(err_pipe[1]);
  RunResult result;
  std::size_t typed = 0;
  bool master_open = true;
  fcntl(master, F_SETFL, O_NONBLOCK);
  while (master_open) {
    struct pollfd watch {master, static_cast<short>(POLLIN | (typed < input.size() ? POLLOUT : 0)), 0};
    if (poll(&watch, 1, 10000) <= 0) {  // a hung program fails its test, not the suite
      kill(pid, SIGKILL);
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
      } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        master_open = false;
      }
    }
  }
  ::close(master);
  finish(pid, result);
  drain(err_pipe[0], result.err);
  ::close(err_pipe[0]);
  return result;
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
