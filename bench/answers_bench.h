// The benchmark of `gwinspect answers`: on each builder workload's output
// file, against an I/O floor that reads the file and writes as many bytes
// as the answers. Each workload's answers are first checked to make the
// builder write the same file again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct AnswersWorkload {
  std::string name;         // "M1"
  std::string builder;      // the builder's path
  std::string folder;       // holds the output file alone
  std::string output_file;  // "FOR001"
  std::int64_t row_bytes;   // of the file's longest array row
};

// Prints one table row per workload; false when a run failed or a round
// trip did not give the same file.
bool run_answers_bench(const std::vector<AnswersWorkload>& workloads, int runs,
                       const std::string& gwinspect, const std::string& floor);

}  // namespace bench
