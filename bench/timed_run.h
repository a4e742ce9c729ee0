// One timed run in a scratch folder: a builder with its answers redirected,
// or the I/O floor of the same workload.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct RunOutcome {
  int exit_status = -1;  // -1 when ended by a signal
  int signal = 0;
  double seconds = 0.0;  // wall time from start to end
  long peak_kib = 0;     // peak resident memory (getrusage of the child)
};

// How the answers reach standard input: the file itself, or a pipe that a
// second process fills from the file in 128 KiB writes, as `cat answers |`.
enum class Feed { File, Pipe };

// Runs `program` in `folder`, standard input from `answers`, standard output
// to `console_path` (normally /dev/null), standard error to `error_path`.
RunOutcome run_builder(const std::string& program, const std::string& folder,
                       const std::string& answers, const std::string& console_path,
                       const std::string& error_path, Feed feed = Feed::File);

// Runs `program` with `arguments`, otherwise as run_builder().
RunOutcome run_program(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& folder, const std::string& answers,
                       const std::string& console_path, const std::string& error_path,
                       Feed feed = Feed::File);

}  // namespace bench
