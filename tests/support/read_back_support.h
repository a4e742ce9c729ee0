// Running gwinspect as a user would, and the round trip that is its
// contract: a builder writes a file from answers, `gwinspect answers` reads
// the answers back from the file, and the builder, given those, writes the
// same bytes again (in another folder).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/program_runner.h"

namespace testing_support {

struct GwinspectResult {
  int exit_status = -1;  // -1 when ended by a signal
  std::string out;
  std::string err;
};

// gwinspect with `arguments`, started in `dir`; standard input is empty.
// `in_child` runs in the child just before the program starts (limits, an
// alarm, another standard output).
GwinspectResult run_gwinspect(const std::vector<std::string>& arguments, const Scratch& dir,
                              const std::function<void()>& in_child = {});

struct Builder {
  std::string name;         // "Morvek"
  std::string path;
  std::string output_file;  // "FOR001"
};
std::vector<Builder> read_back_builders();
// An example answers file, "morvek.txt" or "faulty/quillet.txt".
std::string example(const std::string& name);
// The builder of that name ("Morvek").
const Builder& builder(std::string_view name);

struct RoundTrip {
  RunResult built;           // the builder on the session's answers
  std::string file;          // the file it wrote ("" when none)
  GwinspectResult answers;   // gwinspect answers on that file
  RunResult rebuilt;         // the builder on gwinspect's answers, elsewhere
  std::string rebuilt_file;
};

// The round trip of one session; `beside` is put in the first folder next
// to the file as FOR001 when not empty.
RoundTrip round_trip(const Builder& builder, std::string_view session, std::string_view beside = {});

// The lines of a text, without their line ends.
std::vector<std::string> split_lines(std::string_view text);

}  // namespace testing_support
