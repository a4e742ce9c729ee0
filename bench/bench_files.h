// The files of the benchmark runners: the size of one, and one written whole.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <string>

namespace bench {

// -1 when there is no such file.
inline std::int64_t file_size(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

inline bool write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace bench
