// The system calls of the programs on Linux and other POSIX systems
// (platform.h).
#include "platform/platform.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "platform/write_all.h"

namespace platform {
namespace {

// A descriptor above the standard ones, so that a standard stream closed at
// start is never taken by this program's own pipe or file.
int above_standard_streams(int fd) {
  if (fd < 0 || fd > STDERR_FILENO) return fd;
  int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  int err = errno;
  ::close(fd);
  errno = err;
  return moved;
}

void wait_until_readable(int fd) noexcept {
  struct pollfd watch {fd, POLLIN, 0};
  while (::poll(&watch, 1, -1) < 0 && errno == EINTR) {
  }
}

}  // namespace

// ---- The process ----------------------------------------------------------

void prepare_standard_streams() {
  // A closed reader and a file size limit reached both surface as write
  // errors, reported, with the output file closed on a whole record.
  ::signal(SIGPIPE, SIG_IGN);
  ::signal(SIGXFSZ, SIG_IGN);
}

void end_process(int status) noexcept { ::_exit(status); }

std::string_view path_separators() { return "/"; }

bool same_file_name(std::string_view a, std::string_view b) { return a == b; }

// ---- Reading and writing --------------------------------------------------

bool is_terminal(int fd) { return ::isatty(fd) != 0; }

std::size_t read_some(int fd, char* into, std::size_t room, int& error) noexcept {
  for (;;) {
    ssize_t n = ::read(fd, into, room);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno == EINTR) continue;
    if (errno == EAGAIN) {  // standard input was left non-blocking
      wait_until_readable(fd);
      continue;
    }
    error = errno;
    return 0;
  }
}

std::size_t read_at(int fd, char* into, std::size_t room, std::int64_t offset, int& error) noexcept {
  for (;;) {
    ssize_t n = ::pread(fd, into, room, static_cast<off_t>(offset));
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno == EINTR) continue;
    error = errno;
    return 0;
  }
}

// ---- Standard input -------------------------------------------------------

InputKind input_kind(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return InputKind::Other;  // closed: the first read reports why
  if (S_ISREG(st.st_mode)) return offset_of(fd) >= 0 ? InputKind::File : InputKind::Other;
  if (S_ISFIFO(st.st_mode)) return InputKind::Pipe;
  return InputKind::Other;
}

std::int64_t offset_of(int fd) noexcept { return ::lseek(fd, 0, SEEK_CUR); }

void set_offset(int fd, std::int64_t offset) noexcept {
  ::lseek(fd, static_cast<off_t>(offset), SEEK_SET);
}

// tee() copies the bytes waiting in the pipe into a second pipe of this
// program's own without taking them out; they are read from that copy.

PipeWindow::~PipeWindow() {
  for (int fd : {copy_read_, copy_write_}) {
    if (fd >= 0) ::close(fd);
  }
}

bool PipeWindow::open(int fd) {
  fd_ = fd;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return false;
  copy_read_ = above_standard_streams(ends[0]);
  copy_write_ = above_standard_streams(ends[1]);
  if (copy_read_ < 0 || copy_write_ < 0) return false;
  // As many slots as the pipe has, so that a copy takes all that waits in
  // it (up to the buffer), however small the writes that filled it.
  int input_size = ::fcntl(fd_, F_GETPIPE_SZ);
  if (input_size > ::fcntl(copy_write_, F_GETPIPE_SZ)) ::fcntl(copy_write_, F_SETPIPE_SZ, input_size);
  return true;
}

long PipeWindow::look(char* into, std::size_t room, std::size_t seen) {
  for (;;) {
    if (seen > 0 && !wait_for_more_than(seen)) return 0;
    ssize_t n = ::tee(fd_, copy_write_, room, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      wait_until_readable(fd_);
      continue;
    }
    if (n < 0) return kCannotLook;
    if (n == 0) return 0;  // the writers are gone, and nothing waits
    std::size_t copied = 0;
    while (copied < static_cast<std::size_t>(n)) {
      ssize_t got = ::read(copy_read_, into + copied, static_cast<std::size_t>(n) - copied);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      copied += static_cast<std::size_t>(got);
    }
    if (copied > seen) return static_cast<long>(copied);  // the first `seen` are the same ones again
  }
}

// Whether more than `seen` bytes come to wait in the pipe; false once its
// writers are gone with no more than that in it. A pipe gives no sign when
// bytes arrive behind those already waiting, so this looks again at growing
// intervals (0.1 ms up to 50 ms). Only a line that may be the end-of-input
// mark (Ctrl-Z), arriving without its line end, is waited for this way.
bool PipeWindow::wait_for_more_than(std::size_t seen) {
  long pause_ns = 100'000;
  for (;;) {
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) != 0) return false;
    if (static_cast<std::size_t>(waiting) > seen) return true;
    struct pollfd watch {fd_, POLLIN, 0};
    if (::poll(&watch, 1, 0) > 0 && (watch.revents & POLLHUP) != 0) {
      // The writers are gone; their last bytes may have come just before.
      return ::ioctl(fd_, FIONREAD, &waiting) == 0 && static_cast<std::size_t>(waiting) > seen;
    }
    struct timespec pause {0, pause_ns};
    ::nanosleep(&pause, nullptr);
    pause_ns = std::min(pause_ns * 2, 50'000'000L);
  }
}

// ---- The output file ------------------------------------------------------

OpenedFile open_output_file(const std::string& name) {
  OpenedFile file;
  file.fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  file.error = errno;  // the report names this one, not a later call's
  file.writable = file.fd >= 0;
  if (file.fd < 0 && file.error == EACCES && ::access(name.c_str(), F_OK) == 0) {
    // A file that may be read but not written is opened all the same; the
    // error comes with the first record.
    file.fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (file.fd < 0) return file;
  // A standard stream was closed when the program started: keep the file
  // off its number, or prompts and reports would be written into it.
  file.fd = above_standard_streams(file.fd);
  if (file.fd < 0) {
    file.error = errno;
    return file;
  }
  struct stat st {};
  file.regular = ::fstat(file.fd, &st) == 0 && S_ISREG(st.st_mode);
  if (S_ISDIR(st.st_mode)) {
    ::close(file.fd);
    file.fd = -1;
    file.error = EISDIR;
  }
  return file;
}

namespace {

// Takes the whole file's lock with `set` (F_SETLK, or F_OFD_SETLK): 0 when
// held, EAGAIN when another holds it (asked with `get` who does), or the
// error of a file system or kernel without such locks.
int lock_whole_file(int fd, short type, int set, int get, long& holder) {
  holder = 0;
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  if (::fcntl(fd, set, &lock) == 0) return 0;
  if (errno != EACCES && errno != EAGAIN) return errno;
  struct flock other {};
  other.l_type = F_WRLCK;
  other.l_whence = SEEK_SET;
  // A lock of an open file, not of a process, tells no process (l_pid -1).
  if (::fcntl(fd, get, &other) == 0 && other.l_type != F_UNLCK && other.l_pid > 0) {
    holder = other.l_pid;
  }
  return EAGAIN;
}

}  // namespace

bool lock_against_other_runs(int fd, bool writable, long& holder) {
  // A file system without locks leaves the file unguarded.
  return lock_whole_file(fd, writable ? F_WRLCK : F_RDLCK, F_SETLK, F_GETLK, holder) != EAGAIN;
}

bool lock_open_file_against_other_runs(int fd, long& holder) {
#ifdef F_OFD_SETLK
  const int result = lock_whole_file(fd, F_WRLCK, F_OFD_SETLK, F_OFD_GETLK, holder);
  if (result == EINVAL) return lock_against_other_runs(fd, true, holder);  // a kernel without them
  return result != EAGAIN;
#else
  return lock_against_other_runs(fd, true, holder);
#endif
}

int rewind(int fd) { return ::lseek(fd, 0, SEEK_SET) < 0 ? errno : 0; }

int cut_at(int fd, std::int64_t size) noexcept {
  return ::ftruncate(fd, static_cast<off_t>(size)) < 0 ? errno : 0;
}

int close(int fd) noexcept { return ::close(fd) < 0 ? errno : 0; }

// ---- Files read back --------------------------------------------------------

int open_for_reading(const std::string& path, int& error) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never
  // come; the caller looks at what was opened before reading from it.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = errno;
    return fd;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

FileKind kind_of(int fd, int& error) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error = errno;
    return FileKind::Other;
  }
  if (S_ISREG(st.st_mode)) return FileKind::Regular;
  return S_ISDIR(st.st_mode) ? FileKind::Directory : FileKind::Other;
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

bool is_regular_file(const std::string& path) {
  int error = 0;
  return kind_at(path, error) == FileKind::Regular && error == 0;
}

FileKind kind_at(const std::string& path, int& error) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    error = errno;
    return FileKind::Other;
  }
  if (S_ISREG(st.st_mode)) return FileKind::Regular;
  return S_ISDIR(st.st_mode) ? FileKind::Directory : FileKind::Other;
}

// ---- Files written whole ----------------------------------------------------

namespace {

FileLook look_of(const struct stat& st) {
  FileLook look;
  look.found = true;
  look.kind = S_ISREG(st.st_mode) ? FileKind::Regular : S_ISDIR(st.st_mode) ? FileKind::Directory : FileKind::Other;
  look.identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  return look;
}

// "a FIFO": what a file that is not a regular one is, for a message.
const char* kind_in_words(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a regular file";
}

// Follows the symbolic links at `path` as open() would, leaving in `path`
// the name the chain ends at. True with `st` filled when something is
// there; false with `error` ENOENT when that name is free (the file would
// be created), or another errno.
bool follow_links(std::string& path, struct stat& st, int& error) {
  for (int hops = 0; hops < 40; ++hops) {
    if (::lstat(path.c_str(), &st) != 0) {
      error = errno;
      return false;
    }
    if (!S_ISLNK(st.st_mode)) return true;
    std::string target(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 256, '\0');
    for (;;) {
      const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
      if (length < 0) {
        error = errno;
        return false;
      }
      if (static_cast<std::size_t>(length) < target.size()) {
        target.resize(static_cast<std::size_t>(length));
        break;
      }
      target.resize(target.size() * 2);  // the link grew since lstat
    }
    // A relative link is read from the folder that holds it.
    const std::size_t slash = path.find_last_of('/');
    path = target.starts_with('/') || slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
  }
  error = ELOOP;
  return false;
}

// A new file beside `target`, created by this run alone (O_EXCL), whose
// name holds the process id, so that runs writing one page at once never
// share it.
int create_beside(const std::string& target, std::string& part) {
  const std::size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  // Room for the suffix within a name's 255 bytes.
  const std::string base = target.substr(folder.size(), 200);
  for (int attempt = 0; attempt < 100; ++attempt) {
    part = folder;
    part += base;
    part += '.';
    part += std::to_string(::getpid());
    if (attempt > 0) {
      part += '-';
      part += std::to_string(attempt);
    }
    part += ".part";
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// The owner, group and permissions of `old` given to the new file `fd`.
// Another owner needs privileges the process may not have; then the page
// keeps the process's owner, and its group where the process may set it.
int keep_owner_and_mode(int fd, const struct stat& old) {
  struct stat mine {};
  if (::fstat(fd, &mine) == 0 && (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid)) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
      // Neither: the owner and group are the process's.
    }
  }
  // After fchown, which clears the set-id bits.
  return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

}  // namespace

FileLook look_at(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? look_of(st) : FileLook{};
}

FileLook look_at(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 ? look_of(st) : FileLook{};
}

bool replace_file(const std::string& path, std::string_view bytes, std::string& error) {
  std::string target = path;
  struct stat old {};
  int look_error = 0;
  const bool replacing = follow_links(target, old, look_error);
  if (!replacing && look_error != ENOENT) {
    error = path + ": " + std::strerror(look_error);
    return false;
  }
  if (replacing && !S_ISREG(old.st_mode)) {
    error = path + ": " + kind_in_words(old.st_mode) + ", not a regular file; left as it is";
    return false;
  }
  std::string part;
  const int fd = create_beside(target, part);
  // Messages name the page as given: the temporary name is this run's alone.
  if (fd < 0) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  auto fail = [&](int err) {
    error = path + ": " + std::strerror(err);
    ::close(fd);
    ::unlink(part.c_str());
    return false;
  };
  if (replacing) {
    if (const int err = keep_owner_and_mode(fd, old); err != 0) return fail(err);
  }
  const Written written = write_all(fd, bytes.data(), bytes.size());
  if (written.count < bytes.size()) return fail(written.error != 0 ? written.error : ENOSPC);
  // On the disk before the name points at it: a crash leaves the old page
  // or the new one, never an empty file.
  if (::fsync(fd) != 0 && errno != EINVAL) return fail(errno);
  if (::close(fd) != 0 || ::rename(part.c_str(), target.c_str()) != 0) {
    error = path + ": " + std::strerror(errno);
    ::unlink(part.c_str());
    return false;
  }
  const std::size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  const int folder_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_fd >= 0) {
    ::fsync(folder_fd);  // the rename itself on the disk; where a folder cannot be synced, as it stands
    ::close(folder_fd);
  }
  return true;
}

// ---- The end signals --------------------------------------------------------
//
// SIGINT, SIGTERM, SIGHUP and SIGQUIT. Held back (blocked) while the state
// the end duties read is being changed.

namespace {

constexpr std::array<int, 4> kEndSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

EndDuties g_duties = nullptr;
int g_hold_depth = 0;
sigset_t g_mask_before_hold;

sigset_t end_signal_set() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kEndSignals) sigaddset(&set, signal);
  return set;
}

// The other end signals are held while this runs (sa_mask), so the duties
// are done once. Then the signal's default action ends the process: raised
// while it is still blocked, it is delivered as soon as it is unblocked.
void on_end_signal(int signal) {
  if (g_duties != nullptr) g_duties();
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  sigemptyset(&default_action.sa_mask);
  sigaction(signal, &default_action, nullptr);
  raise(signal);
  sigset_t just_this;
  sigemptyset(&just_this);
  sigaddset(&just_this, signal);
  sigprocmask(SIG_UNBLOCK, &just_this, nullptr);
  _exit(128 + signal);  // not reached: the default action of each ends the process
}

}  // namespace

void catch_end_signals(EndDuties duties) {
  g_duties = duties;
  struct sigaction action {};
  action.sa_handler = on_end_signal;
  action.sa_mask = end_signal_set();
  for (int signal : kEndSignals) {
    struct sigaction previous {};
    if (sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

// Holds nest; the outermost one blocks and restores the mask.
void hold_end_signals() noexcept {
  if (g_hold_depth++ > 0) return;
  const sigset_t set = end_signal_set();
  sigprocmask(SIG_BLOCK, &set, &g_mask_before_hold);
}

void release_end_signals() noexcept {
  if (--g_hold_depth > 0) return;
  sigprocmask(SIG_SETMASK, &g_mask_before_hold, nullptr);
}

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

}  // namespace platform
