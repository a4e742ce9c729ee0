// gwinspect check as a user runs it: on the bundled examples, on the
// consistent model with its solver slots edited, on a faulty folder and on
// a folder it cannot check.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/check/seeded_model.h"
#include "tests/support/expected_text.h"
#include "tests/support/program_runner.h"

namespace {

using namespace seeded_model;
using testing_support::read_file;
using testing_support::Scratch;

struct CommandResult {
  int status = -1;
  std::string out;
};

// Runs `gwinspect ARGUMENTS` in `folder`, standard output captured.
CommandResult gwinspect(const std::string& folder, const std::string& arguments) {
  CommandResult result;
  const std::string command = "cd '" + folder + "' && '" GWINSPECT_PATH "' " + arguments + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.out.append(buffer, n);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// The three builders run on the answers of `examples` (a folder of the
// source tree) in `dir`.
void build_example(const Scratch& dir, const std::string& examples) {
  run_builder(MORVEK_PATH, dir, read_file(examples + "/morvek.txt"));
  run_builder(CINDRAL_PATH, dir, read_file(examples + "/cindral.txt"));
  run_builder(QUILLET_PATH, dir, read_file(examples + "/quillet.txt"));
}

const std::string kNoSolver =
    "FOR001:4:25: error: no solver is selected: the simulator needs one, Strongly Implicit (unit 19) or SSOR "
    "(unit 21)\n";

// The bundled example answers select no solver (the simulator's solver
// file is made by other means): that is their only finding.
TEST(GwinspectCheck, BundledExampleOnlyLacksASolver) {
  Scratch dir;
  build_example(dir, EXAMPLES_DIR);
  const CommandResult run = gwinspect(dir.path(), "check");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kNoSolver + "1 error, 0 warnings\n");
}

// The solver slots of the consistent model's module table (slot 9 at
// column 25, slot 11 at column 31 of line 4), as a user edits them, with
// the solver files beside that the table names.
TEST(GwinspectCheck, NeedsExactlyOneSolver) {
  struct Case {
    std::string name;
    std::string slot_9, slot_11;
    std::vector<std::string> files;  // made by other means
    std::string out;
    int status;
  };
  const std::string two = "FOR001:4:31: warning: two solvers are selected: Strongly Implicit (unit 19) and SSOR "
                          "(unit 21); the simulator needs only one\n";
  const std::vector<Case> cases = {
      {"none", "  0", "  0", {}, kNoSolver + "1 error, 0 warnings\n", 1},
      {"strongly implicit", " 19", "  0", {"FOR019"}, "0 errors, 0 warnings\n", 0},
      {"ssor", "  0", " 21", {"FOR021"}, "0 errors, 0 warnings\n", 0},
      {"both", " 19", " 21", {"FOR019", "FOR021"}, two + "0 errors, 1 warning\n", 0},
      // Another unit than Morvek writes there is still read as the solver.
      {"other unit",
       " 31",
       "  0",
       {"FOR031"},
       "FOR001:4:25: warning: slot 9 of the module table holds unit 31; Morvek writes 19 there for Strongly "
       "Implicit\n0 errors, 1 warning\n",
       0},
      // A slot the simulator cannot read is its own error, not a missing solver.
      {"unreadable",
       "***",
       "  0",
       {},
       "FOR001:4:25: error: the unit of slot 9 is asterisks (a value too wide for its field), which the simulator "
       "cannot read\n1 error, 0 warnings\n",
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModelFiles model = consistent_model();
    ASSERT_TRUE(apply(model.basic, {"FOR001", 4, 25, "  0", c.slot_9}));
    ASSERT_TRUE(apply(model.basic, {"FOR001", 4, 31, " 21", c.slot_11}));
    Scratch dir;
    dir.write("FOR001", model.basic);
    dir.write("FOR011", model.flow);
    dir.write("FOR013", model.drains);
    for (const std::string& file : c.files) dir.write(file, kSolverFile);
    const CommandResult run = gwinspect(dir.path(), "check");
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
  }

  // A module table cut before the solver slots is read as zeros: no solver.
  ModelFiles model = consistent_model();
  ASSERT_TRUE(apply(model.basic, {"FOR001", 4, 25, "  0  0 21" + testing_support::repeat("  0", 13) + "\r\n", "\r\n"}));
  Scratch dir;
  write_model(dir, model);
  const CommandResult cut = gwinspect(dir.path(), "check --format=json");
  EXPECT_EQ(cut.status, 1);
  EXPECT_NE(cut.out.find("{\"file\": \"FOR001\", \"line\": 4, \"column\": 25, \"severity\": \"error\", "
                         "\"rule\": \"solver\", \"message\": \"no solver is selected"),
            std::string::npos)
      << cut.out;
}

TEST(GwinspectCheck, FaultyExampleGivesDiagnosticsAndStatusOne) {
  Scratch dir;
  build_example(dir, EXAMPLES_DIR "/faulty");
  const CommandResult run = gwinspect(dir.path(), "check");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "FOR001:4:25: error: Strongly Implicit is selected (unit 19), but there is no FOR019: these "
            "builders do not write it, so it must be made by other means\n"
            "FOR001:4:34: error: Output Control is selected (unit 22), but there is no FOR022: these "
            "builders do not write it, so it must be made by other means\n"
            "FOR011:6:71: error: the DELR- list gives widths of 8 columns; the grid has 7 columns (FOR001:3)\n"
            "FOR013:3:1: warning: drain 1 of stress period 1 is in a no-flow cell (boundary value 0 at "
            "FOR001:11:19): the simulator ignores it\n"
            "FOR013:4:11: error: drain 2 of stress period 1 is in row 40; the grid has 6 rows (FOR001:3)\n"
            "4 errors, 1 warning\n");

  // From the folder above, the files are named by the folder given.
  const std::string parent = dir.path().substr(0, dir.path().rfind('/'));
  const std::string name = dir.path().substr(parent.size() + 1);
  const CommandResult from_above = gwinspect(parent, "check " + name);
  EXPECT_EQ(from_above.out.substr(0, name.size() + 15), name + "/FOR001:4:25: e");

  // The same findings in JSON, whole: each with its rule, the cell it is
  // about and the place it compares with. The module files are compared as
  // wholes; the DELR- list with FOR001's columns (line 3, columns 21 to 30)
  // and the drain's row with its rows (11 to 20); the drain in the no-flow
  // cell with that cell's boundary value (row 5, the seventh of (20I3), at
  // columns 19 to 21 of line 11).
  const auto place = [](const std::string& file, int line, int column) {
    return "{\"file\": \"" + file + "\", \"line\": " + std::to_string(line) + ", \"column\": " +
           std::to_string(column) + "}";
  };
  const auto finding = [&](const std::string& file, int line, int column, const std::string& severity,
                           const std::string& rule, const std::string& message, const std::string& cell,
                           const std::string& other) {
    return "  {\"file\": \"" + file + "\", \"line\": " + std::to_string(line) + ", \"column\": " +
           std::to_string(column) + ", \"severity\": \"" + severity + "\", \"rule\": \"" + rule +
           "\", \"message\": \"" + message + "\", \"count\": 1, \"cell\": " + cell + ", \"other\": " + other + "}";
  };
  const auto missing = [](const std::string& module, const std::string& unit) {
    return module + " is selected (unit " + unit + "), but there is no FOR0" + unit +
           ": these builders do not write it, so it must be made by other means";
  };
  const CommandResult json = gwinspect(dir.path(), "check --format=json");
  EXPECT_EQ(json.status, 1);
  EXPECT_EQ(json.out,
            "{\"folder\": \".\", \"completed\": true, \"errors\": 4, \"warnings\": 1,\n \"diagnostics\": [\n" +
                finding("FOR001", 4, 25, "error", "module-file-missing", missing("Strongly Implicit", "19"), "null",
                        place("FOR019", 0, 0)) + ",\n" +
                finding("FOR001", 4, 34, "error", "module-file-missing", missing("Output Control", "22"), "null",
                        place("FOR022", 0, 0)) + ",\n" +
                finding("FOR011", 6, 71, "error", "grid-differs",
                        "the DELR- list gives widths of 8 columns; the grid has 7 columns (FOR001:3)", "null",
                        place("FOR001", 3, 21)) + ",\n" +
                finding("FOR013", 3, 1, "warning", "drain-in-no-flow-cell",
                        "drain 1 of stress period 1 is in a no-flow cell (boundary value 0 at FOR001:11:19): the "
                        "simulator ignores it",
                        "{\"layer\": 1, \"row\": 5, \"column\": 7}", place("FOR001", 11, 19)) + ",\n" +
                finding("FOR013", 4, 11, "error", "drain-outside-grid",
                        "drain 2 of stress period 1 is in row 40; the grid has 6 rows (FOR001:3)", "null",
                        place("FOR001", 3, 11)) +
                "\n ]}\n");
}

// What each line of the example's files holds, named as the check names
// what it expected when a file ends just before that line.
std::vector<std::string> array_lines(const std::string& label, int layer) {
  const std::string of = label + " of layer " + std::to_string(layer);
  std::vector<std::string> lines = {"the array-control record of " + of};
  for (int row = 1; row <= 6; ++row) lines.push_back("row " + std::to_string(row) + " of " + of);
  return lines;
}

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The example cut after each of its lines in turn, one file at a time: the
// check names the line after the last and what that line should have held,
// and a FOR013 that ends between stress periods the periods it holds. Only
// the whole file is told no end. Lines of the example: FOR001 the titles,
// counts, module table and options (1-5), IBOUND- of each layer (its control
// record, then six rows), the no-flow head (20), SHEAD- of each layer, the
// three periods; FOR011 its header, the layer type codes of its two layers,
// the TRPY-, DELR- and DELC- lists (a control record and a line each), then
// the arrays of the unconfined, transient layer 1 (SF1-, HYDCON-, BOT-,
// VCON-) and the confined layer 2 (SF1-, TRAN-); FOR013 its header, then
// period 1's use code 2 and two drains, period 2's -1, period 3's 1 and its drain.
TEST(GwinspectCheck, EveryCutOfTheExampleFilesIsToldWhereItEnds) {
  const std::string type_codes = "the layer type codes or the TRPY- list";
  const std::string drain_periods_after = "; FOR001 has 3 stress periods (FOR001:3)";
  const std::vector<std::pair<std::string, std::vector<std::string>>> files = {
      {"FOR001",
       joined({{"the first title record", "the second title record", "the dimension record", "the module unit table",
                "the option record"},
               array_lines("IBOUND-", 1), array_lines("IBOUND-", 2), {"the no-flow head record"},
               array_lines("SHEAD-", 1), array_lines("SHEAD-", 2),
               {"the record of stress period 1", "the record of stress period 2", "the record of stress period 3"}})},
      {"FOR011",
       joined({{"the header record", type_codes, type_codes, "the anisotropy factors of the TRPY- list",
                // All of the two factors read: the DELR- list is next.
                "the array-control record of the DELR- list", "the cell widths of the DELR- list",
                "the cell widths of the DELR- list",
                // The DELC- list's control record without its line of widths.
                "the cell widths of the DELC- list"},
               array_lines("SF1-", 1), array_lines("HYDCON-", 1), array_lines("BOT-", 1), array_lines("VCON-", 1),
               array_lines("SF1-", 2), array_lines("TRAN-", 2)})},
      {"FOR013",
       {"the drain header record", "ends after stress period 0", "the record of drain 1 of stress period 1",
        "the record of drain 2 of stress period 1", "ends after stress period 1", "ends after stress period 2",
        "the record of drain 1 of stress period 3"}},
  };
  for (const auto& [file, before_line] : files) {
    Scratch whole;
    build_example(whole, EXAMPLES_DIR);
    const std::string text = whole.read(file);
    ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<std::ptrdiff_t>(before_line.size())) << file;
    std::size_t end = 0;
    for (std::size_t kept = 0; kept <= before_line.size(); ++kept) {
      SCOPED_TRACE(file + " cut after line " + std::to_string(kept));
      Scratch dir;
      build_example(dir, EXAMPLES_DIR);
      dir.write(file, text.substr(0, end));
      std::vector<std::string> told;
      std::istringstream out(gwinspect(dir.path(), "check").out);
      for (std::string line; std::getline(out, line);) {
        if (line.starts_with(file + ":") && line.find(" ends ") != std::string::npos) told.push_back(line);
      }
      std::vector<std::string> expected;
      if (kept < before_line.size()) {
        const std::string& what = before_line[kept];
        const std::string place = file + ":" + std::to_string(kept + 1) + ":1: error: the file ";
        expected.push_back(what.starts_with("ends after") ? place + what + drain_periods_after
                                                           : place + "ends early: expected " + what);
      }
      EXPECT_EQ(told, expected);
      end = text.find('\n', end) + 1;
    }
  }
}

// Each finding that compares two files names, in JSON, the place it compares
// with: the count of FOR001 that a drain or a stress period lies beyond,
// and for a file of an unselected module the file itself, as a whole (line
// and column 0).
TEST(GwinspectCheck, JsonNamesThePlaceAFindingComparesWith) {
  struct Case {
    std::vector<Edit> edits;
    std::vector<std::string> found;  // from the message on, each through its compared place
  };
  const std::string other_001 = "\", \"count\": 1, \"cell\": null, \"other\": {\"file\": \"FOR001\", \"line\": 3, ";
  const std::vector<Case> cases = {
      {{{"FOR013", 3, 21, right("3", 10), right("40", 10)},
        {"FOR001", 4, 7, " 13", "  0"},
        {"FOR013", 5, 1, right("-1", 10) + "\r\n", right("-1", 10) + "\r\n" + right("-1", 10) + "\r\n"}},
       {"\"message\": \"drain 1 of stress period 1 is in column 40; the grid has 12 columns (FOR001:3)" + other_001 +
            "\"column\": 21}}",
        "\"message\": \"stress period 3 is beyond the 2 of FOR001 (FOR001:3): the simulator never reads it" +
            other_001 + "\"column\": 31}}",
        "\"rule\": \"module-not-selected\", \"message\": \"FOR013 is here, but Drains is not selected in the "
        "module table, so the simulator does not read it\", \"count\": 1, \"cell\": null, "
        "\"other\": {\"file\": \"FOR013\", \"line\": 0, \"column\": 0}}"}},
      // Strongly Implicit selected beside SSOR, and no FOR019: the missing
      // file is the place, as a whole.
      {{{"FOR001", 4, 25, "  0", " 19"}},
       {"\"rule\": \"module-file-missing\", \"message\": \"Strongly Implicit is selected (unit 19), but there is "
        "no FOR019: these builders do not write it, so it must be made by other means\", \"count\": 1, "
        "\"cell\": null, \"other\": {\"file\": \"FOR019\", \"line\": 0, \"column\": 0}}"}},
      // FOR001 of three layers beside FOR011's two layer types.
      {{{"FOR001", 3, 1, right("2", 10), right("3", 10)}},
       {"\"message\": \"the layer type codes are for 2 layers; the grid has 3 layers (FOR001:3)" + other_001 +
        "\"column\": 1}}"}},
  };
  for (const Case& c : cases) {
    ModelFiles model = consistent_model();
    for (const Edit& edit : c.edits) {
      ASSERT_TRUE(apply(edit.file == "FOR001" ? model.basic : model.drains, edit));
    }
    Scratch dir;
    write_model(dir, model);
    const std::string json = gwinspect(dir.path(), "check --format=json").out;
    for (const std::string& found : c.found) EXPECT_NE(json.find(found), std::string::npos) << found << "\n" << json;
  }
}

TEST(GwinspectCheck, CheckThatCannotBeMadeGivesStatusTwo) {
  Scratch dir;
  CommandResult run = gwinspect(dir.path(), "check");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "FOR001: error: there is no FOR001 in this folder; the check starts from it\n"
                     "1 error, 0 warnings\n");
  EXPECT_EQ(gwinspect(dir.path(), "check --format=json").out,
            "{\"folder\": \".\", \"completed\": false, \"errors\": 1, \"warnings\": 0,\n"
            " \"diagnostics\": [\n"
            "  {\"file\": \"FOR001\", \"line\": 0, \"column\": 0, \"severity\": \"error\", \"rule\": "
            "\"no-basic-file\", \"message\": \"there is no FOR001 in this folder; the check starts from it\", "
            "\"count\": 1, \"cell\": null, \"other\": null}\n"
            " ]}\n");

  // A FOR011 that is a folder cannot be read.
  build_example(dir, EXAMPLES_DIR);
  ::unlink(dir.file("FOR011").c_str());
  ASSERT_EQ(::mkdir(dir.file("FOR011").c_str(), 0755), 0);
  run = gwinspect(dir.path(), "check");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, kNoSolver + "FOR011: error: the file cannot be checked: expected a file, found a directory\n"
                                 "2 errors, 0 warnings\n");
  ::rmdir(dir.file("FOR011").c_str());

  EXPECT_EQ(gwinspect(dir.path(), "check --format=xml").status, 2);
  EXPECT_EQ(gwinspect(dir.path(), "check a b").status, 2);
}

}  // namespace
