#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "end_signals.h"
#include "error_codes.h"
#include "process_end.h"
#include "write_all.h"

namespace builders {
namespace {

bool same_word(std::string_view given, std::string_view word) {
  while (!given.empty() && given.front() == ' ') given.remove_prefix(1);
  while (!given.empty() && given.back() == ' ') given.remove_suffix(1);
  return std::equal(given.begin(), given.end(), word.begin(), word.end(), [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
  });
}

}  // namespace

OutputFile::~OutputFile() {
  if (fd_ >= 0) close_quietly();
}

void OutputFile::fail(int code, std::string_view operation, int err) {
  std::string message;
  switch (code) {
    case errors::kOpenFailed: message = "the file cannot be created or opened: "; break;
    case errors::kRewindFailed: message = "the file cannot be set to its start: "; break;
    case errors::kWriteFailed: message = "records cannot be written to the file: "; break;
    default: message = "the file cannot be closed: "; break;
  }
  message += std::strerror(err);
  process::runtime_error(code, operation, name_, message);
}

void OutputFile::open(std::int32_t unit, std::string_view name, std::string_view status,
                      std::string_view access) {
  (void)unit;  // the unit is how the records name this file, not how it is found
  if (!same_word(status, "UNKNOWN") || !same_word(access, "SEQUENTIAL")) {
    throw std::invalid_argument("only status UNKNOWN and sequential access are supported");
  }
  name_ = std::string(name);
  fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  const int open_error = errno;  // the report names this one, not a later call's
  bool writable = fd_ >= 0;
  if (fd_ < 0 && open_error == EACCES && ::access(name_.c_str(), F_OK) == 0) {
    // A file that may be read but not written is opened all the same; the
    // error comes with the first record.
    fd_ = ::open(name_.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (fd_ < 0) fail(errors::kOpenFailed, "OPEN", open_error);
  if (fd_ <= STDERR_FILENO) {
    // A standard stream was closed when the program started: keep the file
    // off its number, or prompts and reports would be written into it.
    int moved = ::fcntl(fd_, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    int err = errno;
    ::close(fd_);
    fd_ = moved;
    if (fd_ < 0) fail(errors::kOpenFailed, "OPEN", err);
  }
  struct stat st {};
  regular_ = fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
  if (S_ISDIR(st.st_mode)) fail(errors::kOpenFailed, "OPEN", EISDIR);
  if (regular_) lock_against_other_runs(writable);
  process::attach_file(this);
}

// Two runs writing one file would mix their records. The whole file is
// locked from its opening to the end of the run (the system releases the
// lock when the process ends, however it ends); a run that finds it locked
// stops here, before the file is cut or written.
void OutputFile::lock_against_other_runs(bool writable) {
  struct flock lock {};
  lock.l_type = writable ? F_WRLCK : F_RDLCK;
  lock.l_whence = SEEK_SET;
  if (::fcntl(fd_, F_SETLK, &lock) == 0) return;
  if (errno != EACCES && errno != EAGAIN) return;  // a file system without locks: unguarded
  std::string message = "another run is writing this file";
  struct flock holder {};
  holder.l_type = F_WRLCK;
  holder.l_whence = SEEK_SET;
  if (::fcntl(fd_, F_GETLK, &holder) == 0 && holder.l_type != F_UNLCK && holder.l_pid > 0) {
    message += " (process " + std::to_string(holder.l_pid) + ")";
  }
  process::runtime_error(errors::kOpenFailed, "OPEN", name_, message);
}

void OutputFile::rewind() {
  flush();
  if (::lseek(fd_, 0, SEEK_SET) < 0 && errno != ESPIPE) fail(errors::kRewindFailed, "REWIND", errno);
  cut_pending_ = true;
}

void OutputFile::cut_file() {
  cut_pending_ = false;
  written_ = 0;
  if (::ftruncate(fd_, 0) < 0 && (regular_ || errno == EBADF)) {
    fail(errors::kWriteFailed, "WRITE", errno == EBADF || errno == EINVAL ? EACCES : errno);
  }
}

int OutputFile::write_buffer() {
  if (!regular_) return hand_over_buffer();
  // The records handed over and the count of those in the file change
  // together, as the end at a signal sees them.
  end_signals::Held held;
  return hand_over_buffer();
}

int OutputFile::hand_over_buffer() noexcept {
  if (failed_) {
    buffer_.clear();
    return 0;
  }
  const Written written = write_all(fd_, buffer_.data(), buffer_.size());
  std::size_t done = written.count;
  int err = 0;
  if (done < buffer_.size()) {
    err = written.error != 0 ? written.error : ENOSPC;
    if (err == EBADF) err = EACCES;  // opened for reading only
    failed_ = true;
    // Keep only complete records: cut back to the last line end written.
    std::size_t keep = 0;
    for (std::size_t i = done; i >= 2; --i) {
      if (buffer_.data()[i - 2] == '\r' && buffer_.data()[i - 1] == '\n') {
        keep = i;
        break;
      }
    }
    if (keep < done && regular_) {
      if (::ftruncate(fd_, static_cast<off_t>(written_ + static_cast<std::int64_t>(keep))) < 0) {
        // Nothing more can be done; the report still goes out.
      }
    }
    done = keep;
  }
  written_ += static_cast<std::int64_t>(done);
  buffer_.clear();
  return err;
}

void OutputFile::flush() {
  if (fd_ < 0) return;
  if (int err = write_buffer(); err != 0) fail(errors::kWriteFailed, "WRITE", err);
}

void OutputFile::close() {
  if (fd_ < 0) return;
  flush();
  int fd = fd_;
  fd_ = -1;
  process::detach_file(this);
  if (::close(fd) < 0 && errno != EINTR) {
    fd_ = -1;
    fail(errors::kCloseFailed, "CLOSE", errno);
  }
}

void OutputFile::close_at_signal() noexcept {
  if (fd_ < 0) return;
  // Writes to a regular file are whole records, never cut by the end
  // signals (held meanwhile), so the file ends on a record here; the
  // records still buffered follow it. Another kind of file may be in the
  // middle of a write: nothing more is written to it.
  if (regular_ && !cut_pending_) hand_over_buffer();
  ::close(fd_);
}

void OutputFile::close_quietly() {
  if (fd_ < 0) return;
  write_buffer();
  ::close(fd_);
  fd_ = -1;
  process::detach_file(this);
}

}  // namespace builders
