// The three builders in a row on one stream of answers, as the README shows
// them: each reads no further than the line of its last answer, however the
// answers come (a file, `cat |`, a here-document, a pipe written slowly or
// with lines split across writes), and leaves the rest for what runs next.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/support/built_programs.h"
#include "tests/support/expected_text.h"
#include "tests/support/program_runner.h"

namespace testing_support {
namespace {

// What comes after the three sessions; the script copies it to a file.
const std::string kRest = "what the next program reads\nand its second line\n";

enum class Feed { File, Cat, HereDocument, Pipe };

struct Chaining {
  const char* name;
  Feed feed;
  // For Feed::Pipe: the pieces written, each followed by a pause.
  std::vector<std::string> pieces;
  int pause_ms = 0;
};

// `text` cut into pieces of `size` bytes.
std::vector<std::string> pieces_of(const std::string& text, std::size_t size) {
  std::vector<std::string> pieces;
  for (std::size_t at = 0; at < text.size(); at += size) pieces.push_back(text.substr(at, size));
  return pieces;
}

// A file the runs wrote, or a note that it is missing.
std::string written(const Scratch& dir, const char* name) {
  return dir.exists(name) ? dir.read(name) : std::string("(no ") + name + ")";
}

std::string shell_quoted(const std::string& path) { return "'" + path + "'"; }

TEST(Chaining, ThreeBuildersReadOneStreamOfAnswersInTurn) {
  const BuiltProgram morvek_run = morvek();
  const BuiltProgram cindral_run = cindral();
  const BuiltProgram quillet_run = quillet();
  const std::string session = morvek_run.session + cindral_run.session + quillet_run.session;
  const std::string everything = session + kRest;
  // Cindral's answers and the first byte of Quillet's, a pause, then the
  // rest: Cindral must leave that byte, the first digit of Quillet's first
  // answer, in the pipe.
  const std::size_t split = morvek_run.session.size() + cindral_run.session.size() + 1;

  const std::vector<Chaining> cases = {
      {"answers file", Feed::File, {}},
      {"cat |", Feed::Cat, {}},
      {"here-document", Feed::HereDocument, {}},
      // Pieces of 7 bytes never end where a session ends.
      {"slow writer", Feed::Pipe, pieces_of(everything, 7), 1},
      {"line split across writes", Feed::Pipe, {everything.substr(0, split), everything.substr(split)}, 200},
  };
  for (const Chaining& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch dir;
    dir.write("session.txt", everything);
    const std::string builders = shell_quoted(morvek_run.path) + " && " + shell_quoted(cindral_run.path) +
                                 " && " + shell_quoted(quillet_run.path) + " && cat > rest.txt";
    std::string script = "#!/bin/bash\n";
    RunOptions options;
    switch (c.feed) {
      case Feed::File: script += "{ " + builders + "; } < session.txt\n"; break;
      case Feed::Cat: script += "cat session.txt | { " + builders + "; }\n"; break;
      case Feed::HereDocument: script += "{ " + builders + "; } <<'END'\n" + everything + "END\n"; break;
      case Feed::Pipe:
        script += "{ " + builders + "; }\n";
        options.stdin_pieces = c.pieces;
        options.piece_pause_ms = c.pause_ms;
        break;
    }
    dir.write("chain.sh", script);
    ASSERT_EQ(chmod(dir.file("chain.sh").c_str(), 0755), 0);

    RunResult run = run_redirected(dir.file("chain.sh"), dir, "", options);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(written(dir, "FOR001"), morvek_run.session_file);
    EXPECT_EQ(written(dir, "FOR011"), cindral_run.session_file);
    EXPECT_EQ(written(dir, "FOR013"), quillet_run.session_file);
    EXPECT_EQ(written(dir, "rest.txt"), kRest) << "the lines after the three sessions";
  }
}

// Each builder alone on a pipe: whatever ends the run, it leaves the pipe
// from the line after the one where its last read ended.
TEST(Chaining, EachBuilderLeavesThePipeAfterItsLastLine) {
  struct Case {
    const char* what;
    std::vector<std::string> pieces;  // the builder's answers and the rest, as written
    int exit_status;
    std::string left;                 // what stays in the pipe
  };
  for (const BuiltProgram& program : built_programs()) {
    // The text answers that come before the first number.
    std::size_t texts_end = 0;
    for (int i = 0; i < program.text_answers; ++i) texts_end = program.session.find('\n', texts_end) + 1;
    const std::string texts = program.session.substr(0, texts_end);
    std::string longer_last_line = program.session;
    longer_last_line.insert(longer_last_line.size() - 1, " and more, 9");
    const std::vector<Case> cases = {
        {"whole session", {program.session + kRest}, 0, kRest},
        {"CR LF line ends", {with_crlf(program.session) + kRest}, 0, kRest},
        {"more on the last line", {longer_last_line + kRest}, 0, kRest},
        {"last line end written later", {program.session.substr(0, program.session.size() - 1), "\n" + kRest}, 0,
         kRest},
        // The failing answer's line counts as read.
        {"quoted answer to a number (F6504)", {texts + "'5' 6\n" + kRest}, 1, kRest},
        // A line holding only Ctrl-Z ends the input and stays for the next
        // program, even when its line end comes later; Ctrl-Z followed by
        // more is an answer that cannot be read.
        {"end-of-input mark (F6501)", {texts + "\x1A\n" + kRest}, 1, "\x1A\n" + kRest},
        {"end-of-input mark, its line end later", {texts + "\x1A", "\r\n" + kRest}, 1, "\x1A\r\n" + kRest},
        {"Ctrl-Z and more later (F6101)", {texts + "\x1A", "7\n" + kRest}, 1, kRest},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(program.name + ": " + c.what);
      Scratch dir;
      RunOptions options;
      options.stdin_pieces = c.pieces;
      options.piece_pause_ms = 100;
      RunResult run = run_redirected(program.path, dir, "", options);
      EXPECT_EQ(run.exit_status, c.exit_status) << run.err;
      EXPECT_EQ(run.stdin_left, c.left);
    }
  }
}

}  // namespace
}  // namespace testing_support
