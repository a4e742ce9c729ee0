// The benchmark workloads: scripted sessions of each builder, scalable by a
// factor (1 is full size), with what the runner checks them against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct Workload {
  std::string name;            // "Q1"
  std::string program;         // the builder that answers it
  std::string output_file;     // the file it writes, in its current folder
  std::string answers;         // the answers, one per line
  std::int64_t output_bytes;   // the size the output file must have
  std::int64_t working_cells;  // cells of every array instance the run uses
  std::int64_t row_bytes;      // the longest array row of the output file, line ends included
};

// Q1 and Q2 (Quillet), M1 and M2 (Morvek), C1 and C2 (Cindral).
std::vector<Workload> make_workloads(double factor);

}  // namespace bench
