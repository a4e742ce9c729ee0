#include "inspect/input_file.h"

#include <cstring>

#include "platform/platform.h"
#include "inspect/read_error.h"

namespace inspect {

InputFile::InputFile(const std::string& path) : path_(path) {
  using platform::FileKind;
  int error = 0;
  fd_ = platform::open_for_reading(path, error);
  if (fd_ < 0) {
    throw ReadError(1, 1, std::string("expected a readable file, found none: ") + std::strerror(error));
  }
  const FileKind kind = platform::kind_of(fd_, error);
  if (error != 0) {
    platform::close(fd_);
    throw ReadError(1, 1, std::string("expected a readable file: ") + std::strerror(error));
  }
  if (kind != FileKind::Regular) {
    platform::close(fd_);
    throw ReadError(1, 1, kind == FileKind::Directory
                              ? "expected a file, found a directory"
                              : "expected a regular file, found a device, pipe or socket");
  }
}

InputFile::~InputFile() {
  if (fd_ >= 0) platform::close(fd_);
}

}  // namespace inspect
