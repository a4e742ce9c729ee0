#include "common/output_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/end_signals.h"
#include "format/error_codes.h"
#include "platform/platform.h"
#include "common/process_end.h"
#include "platform/write_all.h"

namespace common {
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
    case format::errors::kOpenFailed: message = "the file cannot be created or opened: "; break;
    case format::errors::kRewindFailed: message = "the file cannot be set to its start: "; break;
    case format::errors::kWriteFailed: message = "records cannot be written to the file: "; break;
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
  if (nowhere_) return;
  const platform::OpenedFile opened = platform::open_output_file(place_.empty() ? name_ : place_);
  if (opened.fd < 0) fail(format::errors::kOpenFailed, "OPEN", opened.error);
  fd_ = opened.fd;
  regular_ = opened.regular;
  if (regular_) lock_against_other_runs(opened.writable);
  process::attach_file(this);
}

// Two runs writing one file would mix their records. The whole file is
// locked from its opening to the end of the run (the system releases the
// lock when the process ends, however it ends); a run that finds it locked
// stops here, before the file is cut or written.
void OutputFile::lock_against_other_runs(bool writable) {
  long holder = 0;
  if (platform::lock_against_other_runs(fd_, writable, holder)) return;
  std::string message = "another run is writing this file";
  if (holder > 0) message += " (process " + std::to_string(holder) + ")";
  process::runtime_error(format::errors::kOpenFailed, "OPEN", name_, message);
}

void OutputFile::rewind() {
  flush();
  if (nowhere_) return;
  if (int err = platform::rewind(fd_); err != 0 && err != ESPIPE) {
    fail(format::errors::kRewindFailed, "REWIND", err);
  }
  cut_pending_ = true;
}

void OutputFile::cut_file() {
  cut_pending_ = false;
  written_ = 0;
  if (int err = platform::cut_at(fd_, 0); err != 0 && (regular_ || err == EBADF)) {
    fail(format::errors::kWriteFailed, "WRITE", err == EBADF || err == EINVAL ? EACCES : err);
  }
}

int OutputFile::write_buffer() {
  if (!regular_) return hand_over_buffer();
  // The records handed over and the count of those in the file change
  // together, as the end at a signal sees them.
  platform::end_signals::Held held;
  return hand_over_buffer();
}

int OutputFile::hand_over_buffer() noexcept {
  if (failed_) {
    buffer_.clear();
    return 0;
  }
  const platform::Written written = platform::write_all(fd_, buffer_.data(), buffer_.size());
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
      // When this fails nothing more can be done; the report still goes out.
      platform::cut_at(fd_, written_ + static_cast<std::int64_t>(keep));
    }
    done = keep;
  }
  written_ += static_cast<std::int64_t>(done);
  buffer_.clear();
  return err;
}

void OutputFile::flush() {
  if (fd_ < 0) {
    buffer_.clear();  // nowhere to go (a file that writes nowhere, or one not open)
    return;
  }
  if (int err = write_buffer(); err != 0) fail(format::errors::kWriteFailed, "WRITE", err);
}

void OutputFile::close() {
  if (fd_ < 0) return;
  flush();
  int fd = fd_;
  fd_ = -1;
  process::detach_file(this);
  if (int err = platform::close(fd); err != 0 && err != EINTR) fail(format::errors::kCloseFailed, "CLOSE", err);
}

void OutputFile::close_at_signal() noexcept {
  if (fd_ < 0) return;
  // Writes to a regular file are whole records, never cut by the end
  // signals (held meanwhile), so the file ends on a record here; the
  // records still buffered follow it. Another kind of file may be in the
  // middle of a write: nothing more is written to it.
  if (regular_ && !cut_pending_) hand_over_buffer();
  platform::close(fd_);
}

void OutputFile::close_quietly() {
  if (fd_ < 0) return;
  write_buffer();
  platform::close(fd_);
  fd_ = -1;
  process::detach_file(this);
}

}  // namespace common
