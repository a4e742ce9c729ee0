// Folder and file names as every gwinspect output shows them: valid UTF-8
// as it is, a line feed or other control character and any byte that is not
// UTF-8 escaped, so that one diagnostic stays one line. Run as a user would,
// on real folders with such names.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "inspect/printable_text.h"
#include "tests/support/program_runner.h"

namespace {

using testing_support::RunOptions;
using testing_support::RunResult;
using testing_support::read_file;
using testing_support::Scratch;

RunResult gwinspect(const Scratch& dir, std::initializer_list<std::string> arguments) {
  RunOptions options;
  options.arguments = arguments;
  return testing_support::run_redirected(GWINSPECT_PATH, dir, "", options);
}

struct ShownName {
  std::string name;  // the folder's bytes
  std::string text;  // as text output shows it
  std::string json;  // inside a JSON string
};

const ShownName kNames[] = {
    {"donn\xC3\xA9" "es", "donn\xC3\xA9" "es", "donn\xC3\xA9" "es"},  // UTF-8 kept, not read as Latin-1
    {"two\nlines", "two\\nlines", "two\\u000alines"},
    {"tab\there\r", "tab\\there\\r", "tab\\u0009here\\u000d"},
    {"latin1 \xE9t\xE9", "latin1 \\xE9t\\xE9", "latin1 \\\\xE9t\\\\xE9"},  // not UTF-8: its bytes
    {"c1 \xC2\x85 del \x7F", "c1 \\xC2\\x85 del \\x7F", "c1 \\u0085 del \\u007f"},
    {"cut \xE2\x82", "cut \\xE2\\x82", "cut \\\\xE2\\\\x82"},  // a sequence cut short
    {"quote\" back\\slash", "quote\" back\\slash", "quote\\\" back\\\\slash"},
};

TEST(ShownNames, EveryOutputEscapesTheSameWay) {
  // The example model, copied into each folder with its FOR013 cut inside
  // the last drain: a finding on line 7 of FOR013, an error for answers.
  Scratch model;
  for (const auto& [program, answers] : {std::pair{MORVEK_PATH, "/morvek.txt"}, {CINDRAL_PATH, "/cindral.txt"},
                                         {QUILLET_PATH, "/quillet.txt"}}) {
    ASSERT_EQ(testing_support::run_redirected(program, model, read_file(EXAMPLES_DIR + std::string(answers)))
                  .exit_status,
              0);
  }
  Scratch dir;
  for (const ShownName& n : kNames) {
    SCOPED_TRACE(testing_support::crlf({n.text}));
    const std::string folder = dir.file(n.name);
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    for (const char* file : {"FOR001", "FOR011", "FOR013"}) dir.write(n.name + "/" + file, model.read(file));
    dir.write(n.name + "/FOR013", dir.read(n.name + "/FOR013").substr(0, 200));

    // The example selects no solver: an error on line 4 of FOR001, before
    // the finding of the cut.
    const std::string no_solver = "/FOR001:4:25: ", finding = "/FOR013:7:41: ";
    const RunResult text = gwinspect(dir, {"check", n.name});
    EXPECT_EQ(text.exit_status, 1);
    EXPECT_EQ(text.out.substr(0, n.text.size() + no_solver.size()), n.text + no_solver) << text.out;
    EXPECT_NE(text.out.find("\n" + n.text + finding), std::string::npos) << text.out;
    // Three lines: the two findings and the summary.
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 3) << text.out;

    const RunResult json = gwinspect(dir, {"check", "--format=json", n.name});
    EXPECT_EQ(json.out.substr(0, 12 + n.json.size() + 2), "{\"folder\": \"" + n.json + "\",") << json.out;

    const RunResult answers = gwinspect(dir, {"answers", n.name + "/FOR013"});
    EXPECT_EQ(answers.exit_status, 2);
    EXPECT_EQ(answers.err.substr(0, n.text.size() + finding.size() + 7), n.text + finding + "error: ")
        << answers.err;
    EXPECT_EQ(std::count(answers.err.begin(), answers.err.end(), '\n'), 1) << answers.err;

    const RunResult report = gwinspect(dir, {"report", n.name, "-o", "page.html"});
    EXPECT_EQ(report.exit_status, 0) << report.err;
    std::string html_name = n.text;  // the page's HTML escapes of the text: only " here
    for (std::size_t at; (at = html_name.find('"')) != std::string::npos;) html_name.replace(at, 1, "&quot;");
    EXPECT_NE(dir.read("page.html").find("The model in the folder <code>" + html_name + "</code>"), std::string::npos);
  }
}

// The helper itself, on what a folder name cannot hold: a zero byte, and a
// four-byte sequence beside an overlong form and a surrogate.
TEST(ShownNames, HelperOnBytesNoNameHolds) {
  const std::string bytes("a\0b \xF0\x9F\x99\x82 \xC0\xAF \xED\xA0\x80", 15);
  EXPECT_EQ(inspect::printable(bytes), "a\\x00b \xF0\x9F\x99\x82 \\xC0\\xAF \\xED\\xA0\\x80");
  std::string json;
  inspect::append_json_string(json, bytes);
  EXPECT_EQ(json, "\"a\\u0000b \xF0\x9F\x99\x82 \\\\xC0\\\\xAF \\\\xED\\\\xA0\\\\x80\"");
  // The last code point, U+10FFFF, is kept; past it, no code point.
  EXPECT_EQ(inspect::printable("\xF4\x8F\xBF\xBF \xF4\x90\x80\x80"), "\xF4\x8F\xBF\xBF \\xF4\\x90\\x80\\x80");
}

}  // namespace
