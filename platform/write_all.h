// Bytes handed to the system: the one place where the programs write to a
// file descriptor (standard output, standard error, the output file).
// Implemented with the other system calls, once per system (platform.h).
#pragma once

#include <cstddef>

namespace platform {

// What write_all() handed over: the first `count` bytes; `error` is the
// errno of the write that stopped it, or 0 when all went out or when the
// system took nothing without saying why.
struct Written {
  std::size_t count = 0;
  int error = 0;
};

// Writes `size` bytes to `fd`, going on after a partial write and after one
// that a signal interrupted; stops at the first write that fails or takes
// nothing. Async-signal-safe.
Written write_all(int fd, const char* bytes, std::size_t size) noexcept;

}  // namespace platform
