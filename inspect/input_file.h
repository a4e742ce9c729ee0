// A file opened for reading back, with the clear error a missing file, a
// directory or an unreadable file gets.
#pragma once

#include <string>

namespace inspect {

class InputFile {
 public:
  // Throws ReadError (line 1, column 1) when `path` cannot be read as a file.
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace inspect
