// The model the check's tests start from: a consistent model of three
// files written by the builders, and edits of one field or line of a file
// that seed a fault in it.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "check/model_check.h"
#include "tests/support/program_runner.h"

namespace seeded_model {

// `text` right-justified in `width` columns, as a field of the files.
std::string right(std::string_view text, int width);
std::vector<std::string> repeated(const std::string& answer, int times);
std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts);

// The consistent model: two layers of 3 rows by 12 columns, two stress
// periods, solved by SSOR (its file FOR021 is made by other means). Layer
// 1 has a constant head at row 1, column 1 and a no-flow cell at row 3,
// column 12; layer 1 is of type 3 (so it has bottoms and
// tops), layer 2 of type 0 (transmissivity); two drains in period 1, which
// period 2 reuses.
//
// FOR001, line by line: 1-2 titles, 3 dimensions, 4 modules, 5 options,
// 6 IBOUND- 1 and 7-9 its rows, 10 IBOUND- 2 and 11-13, 14 no-flow head,
// 15 SHEAD- 1 and 16-21 (two lines a row), 22 SHEAD- 2 and 23-28, 29-30
// the periods. FOR011: 1 header, 2 type codes, 3-4 TRPY-, 5-7 DELR-, 8-9
// DELC-; layer 1: SF1- 10 (rows 11-16), HYDCON- 17 (18-23), BOT- 24
// (25-30), VCON- 31 (32-37), SF2- 38 (39-44), TOP- 45 (46-51); layer 2:
// SF1- 52 (53-58), TRAN- 59 (60-65). FOR013: 1 header, 2 use code, 3-4
// the drains, 5 the reuse code.
struct ModelFiles {
  std::string basic, flow, drains;
};
const ModelFiles& consistent_model();

// The check only looks for the solver's file: any bytes will do.
inline const std::string kSolverFile = "made by other means\r\n";

void write_model(const testing_support::Scratch& dir, const ModelFiles& model);
void run_builder(const char* program, const testing_support::Scratch& dir, const std::string& input);
std::vector<std::string> diagnostic_lines(const check::CheckResult& result);
// The first `count` lines of `bytes`.
std::string first_lines(const std::string& bytes, int count);

// An edit of one file: at `line` and `column` the file holds `from`, which
// becomes `to` (either may hold line ends, to cut or add lines).
struct Edit {
  std::string file;
  int line;
  int column;
  std::string from, to;
};

// Applies `edit` to `bytes`; false when the file does not hold `from` there.
bool apply(std::string& bytes, const Edit& edit);

}  // namespace seeded_model
