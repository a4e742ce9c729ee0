// The answers of one file: the builder's file read back, its answers written
// in the order the builder asks for them.
#include <cstring>
#include <optional>
#include <ostream>
#include <string>

#include "answers/answers.h"

#include "answers/answer_session.h"
#include "inspect/basic_file_reader.h"
#include "answers/file_answers.h"
#include "inspect/input_file.h"
#include "platform/platform.h"
#include "inspect/printable_text.h"
#include "inspect/read_error.h"

namespace answers {
namespace {

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.find_last_of(platform::path_separators());
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The counts of the FOR001 beside `path`, or why it gives none: nothing by
// that name, or something that is not a FOR001 that reads as far as its
// counts (a directory, a FIFO, a loop of links, another file).
Beside counts_beside(const std::string& path) {
  const std::string basic_path = folder_of(path) + "/FOR001";
  if (!platform::exists(basic_path)) return {std::nullopt, "no FOR001 beside it"};
  const std::string unusable = "the FOR001 beside it gives no counts: ";
  try {
    inspect::InputFile basic(basic_path);
    inspect::BasicFileReader reader(basic.fd());
    inspect::Record record;
    while (reader.next(record)) {
      if (record.section == inspect::Section::Dimensions) {
        return {BasicCounts{reader.grid(), reader.period_count()}, {}};
      }
    }
    return {std::nullopt, unusable + "it ends before its grid counts"};
  } catch (const inspect::ReadError& e) {
    return {std::nullopt, unusable + "FOR001:" + std::to_string(e.line()) + ":" + std::to_string(e.column()) +
                              ": " + e.what()};
  }
}

}  // namespace

int write_answers(Builder builder, const std::string& path, int out_fd, std::ostream& messages) {
  const BuilderFile& known = kBuilderFiles[static_cast<std::size_t>(builder)];
  AnswerWriter out(out_fd);
  // Messages name the file as given, escaped (one message, one line).
  AnswerSession session(inspect::printable(path), std::string(known.name), out);
  try {
    inspect::InputFile file(path);
    try {
      switch (builder) {
        case Builder::Morvek: answer_basic_file(session, file.fd()); break;
        case Builder::Cindral: answer_flow_file(session, file.fd(), counts_beside(path)); break;
        case Builder::Quillet: answer_drain_file(session, file.fd(), counts_beside(path)); break;
      }
    } catch (const FileEndsEarly& end) {
      session.ends_early(end.question);
    }
    out.flush();
  } catch (const inspect::ReadError& e) {
    messages << inspect::printable(path) << ":" << e.line() << ":" << e.column()
             << ": error: " << inspect::printable(e.what()) << "\n";
    return kAnswersNotWritten;
  } catch (const WriteError& e) {
    messages << "gwinspect answers: error: the answers cannot be written to standard output: "
             << std::strerror(e.error_number) << "\n";
    return kAnswersNotWritten;
  }
  session.finish(messages);
  return kAnswersWritten;
}

}  // namespace answers
