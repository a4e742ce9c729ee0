#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "read_error.h"

namespace inspect {

InputFile::InputFile(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    throw ReadError(1, 1, std::string("expected a readable file, found none: ") + std::strerror(errno));
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    int error = errno;
    ::close(fd_);
    throw ReadError(1, 1, std::string("expected a readable file: ") + std::strerror(error));
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd_);
    throw ReadError(1, 1, S_ISDIR(st.st_mode) ? "expected a file, found a directory"
                                              : "expected a regular file, found a device, pipe or socket");
  }
}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace inspect
