// The reading library on any bytes, and the round trip on every file the
// builders can write. The first byte steers:
//
// - byte % 6 < 3: the rest is a file, read as FOR001, FOR011 or FOR013
//   (byte % 3). Every record read has fields inside its line, each a value,
//   asterisks or not a number as its text says; the reading ends at the end
//   of the file or with a ReadError that names a line and column of the
//   file and says what was expected. `gwinspect answers` on the same file
//   ends with its answers (exit status 0) or with one error line (2).
// - otherwise: the rest is the answers of a session of Morvek, Cindral or
//   Quillet (byte % 3), run as a child. Whatever file it leaves, the answers
//   read back from it make the builder write the same bytes again (runs
//   that reach the file cap are passed over: a write cut there may leave
//   part of a row, which no answers rebuild).
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "answers/answers.h"
#include "inspect/basic_file_reader.h"
#include "inspect/drain_file_reader.h"
#include "inspect/flow_file_reader.h"
#include "fuzz/fuzz_check.h"
#include "inspect/input_file.h"
#include "tests/support/program_runner.h"
#include "inspect/read_error.h"

namespace {

using testing_support::RunResult;
using testing_support::Scratch;

constexpr std::size_t kFileCap = 4 << 20;

struct Kind {
  const char* file;
  const char* builder;
  answers::Builder answers;
};
constexpr Kind kKinds[] = {{"FOR001", MORVEK_PATH, answers::Builder::Morvek},
                           {"FOR011", CINDRAL_PATH, answers::Builder::Cindral},
                           {"FOR013", QUILLET_PATH, answers::Builder::Quillet}};

bool all_of(std::string_view text, char c) { return text.find_first_not_of(c) == std::string_view::npos; }

void check_record(const inspect::Record& record, std::int64_t last_line) {
  FUZZ_CHECK(record.line.number > last_line, "line %lld after %lld", static_cast<long long>(record.line.number),
             static_cast<long long>(last_line));
  for (const inspect::Field& f : record.fields) {
    FUZZ_CHECK(f.column >= 1 && f.text.size() <= static_cast<std::size_t>(f.width), "a field out of shape");
    FUZZ_CHECK(f.text.empty() || (f.text.data() >= record.line.text.data() &&
                                  f.text.data() + f.text.size() <= record.line.text.data() + record.line.text.size()),
               "a field outside its line");
    const std::string_view t = inspect::trimmed(f.text);
    if (f.kind == inspect::Field::Kind::Asterisks) FUZZ_CHECK(!t.empty() && all_of(t, '*'), "asterisks that are not");
    if (f.kind == inspect::Field::Kind::Value && f.type == format::Descriptor::Kind::Integer) {
      FUZZ_CHECK(t.find_first_not_of("+-0123456789") == std::string_view::npos, "an integer value of '%.*s'",
                 static_cast<int>(t.size()), t.data());
    }
  }
}

template <typename Reader>
void read_all(int fd, std::int64_t lines) {
  Reader reader(fd);
  inspect::Record record;
  std::int64_t last = 0;
  try {
    while (reader.next(record)) {
      check_record(record, last);
      last = record.line.number;
    }
    (void)reader.expected();
  } catch (const inspect::ReadError& e) {
    FUZZ_CHECK(e.line() >= 1 && e.line() <= lines + 1 && e.column() >= 1, "an error at %lld:%lld of %lld lines",
               static_cast<long long>(e.line()), static_cast<long long>(e.column()), static_cast<long long>(lines));
    FUZZ_CHECK(std::string_view(e.what()).starts_with("expected "), "error: %s", e.what());
  }
}

// `gwinspect answers` in this process; its answers go to `answers_path`.
int answers_of(const Kind& kind, const Scratch& dir, const std::string& answers_path, std::string& messages) {
  FILE* out = std::fopen(answers_path.c_str(), "w");
  FUZZ_CHECK(out != nullptr, "cannot write the answers");
  std::ostringstream text;
  const int status = answers::write_answers(kind.answers, dir.file(kind.file), fileno(out), text);
  std::fclose(out);
  messages = text.str();
  return status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Kind& kind = kKinds[data[0] % 3];
  const bool raw_file = data[0] % 6 < 3;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  Scratch dir;
  std::string messages;

  if (raw_file) {
    dir.write(kind.file, bytes);
    std::int64_t lines = 0;
    for (char c : bytes) lines += c == '\n';
    inspect::InputFile file(dir.file(kind.file));
    switch (kind.answers) {
      case answers::Builder::Morvek: read_all<inspect::BasicFileReader>(file.fd(), lines); break;
      case answers::Builder::Cindral: read_all<inspect::FlowFileReader>(file.fd(), lines); break;
      case answers::Builder::Quillet: read_all<inspect::DrainFileReader>(file.fd(), lines); break;
    }
    const int status = answers_of(kind, dir, dir.file("answers.txt"), messages);
    FUZZ_CHECK(status == 0 || (status == 2 && messages.find('\n') == messages.size() - 1 &&
                               messages.find(": error: expected ") != std::string::npos),
               "status %d, messages:\n%s", status, messages.c_str());
    return 0;
  }

  testing_support::RunOptions options;
  options.in_child = [] {
    struct rlimit cap {kFileCap, kFileCap};
    if (setrlimit(RLIMIT_FSIZE, &cap) != 0) _exit(126);
  };
  const RunResult built = testing_support::run_redirected(kind.builder, dir, bytes, options);
  if (!dir.exists(kind.file) || built.err.find("F6603") != std::string::npos) return 0;
  const int status = answers_of(kind, dir, dir.file("answers.txt"), messages);
  FUZZ_CHECK(status == 0, "no answers for a file the builder wrote:\n%s", messages.c_str());
  Scratch again;
  testing_support::run_redirected(kind.builder, again, dir.read("answers.txt"), options);
  FUZZ_CHECK(again.exists(kind.file) && again.read(kind.file) == dir.read(kind.file),
             "the answers rebuild another file; messages:\n%s", messages.c_str());
  return 0;
}
