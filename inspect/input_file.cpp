#include "input_file.h"

#include <cstring>

#include "platform.h"
#include "read_error.h"

namespace inspect {

InputFile::InputFile(const std::string& path) : path_(path) {
  using builders::platform::FileKind;
  int error = 0;
  fd_ = builders::platform::open_for_reading(path, error);
  if (fd_ < 0) {
    throw ReadError(1, 1, std::string("expected a readable file, found none: ") + std::strerror(error));
  }
  const FileKind kind = builders::platform::kind_of(fd_, error);
  if (error != 0) {
    builders::platform::close(fd_);
    throw ReadError(1, 1, std::string("expected a readable file: ") + std::strerror(error));
  }
  if (kind != FileKind::Regular) {
    builders::platform::close(fd_);
    throw ReadError(1, 1, kind == FileKind::Directory
                              ? "expected a file, found a directory"
                              : "expected a regular file, found a device, pipe or socket");
  }
}

InputFile::~InputFile() {
  if (fd_ >= 0) builders::platform::close(fd_);
}

}  // namespace inspect
