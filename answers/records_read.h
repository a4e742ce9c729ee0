// A file read for its answers, record by record: each record is read for
// the question it answers, and a file that ends before it ends the answers
// there (FileEndsEarly naming that question). Fields come as text, which
// the answers look at first.
#pragma once

#include <string>
#include <type_traits>
#include <utility>

#include "answers/answer_session.h"
#include "inspect/read_error.h"
#include "inspect/record.h"

namespace answers {

template <typename Reader>
class RecordsRead {
 public:
  explicit RecordsRead(int fd) : reader(fd) { reader.convert_values(false); }

  // The next record, for `question`; `question` may be a function that
  // makes it, since it is needed only where the file ends.
  const inspect::Record& need(std::string question) {
    if (!reader.next(record)) throw FileEndsEarly{std::move(question)};
    return record;
  }
  template <typename Question>
    requires std::is_invocable_r_v<std::string, Question>
  const inspect::Record& need(Question&& question) {
    if (!reader.next(record)) throw FileEndsEarly{question()};
    return record;
  }
  // The next record, of two integer fields, as the answers to `first` and
  // `second` (a header, the options).
  void answer_two_fields(AnswerSession& session, AnswerSession::Question first,
                         AnswerSession::Question second, std::string_view record_name) {
    need(std::string(first.what));
    session.answer_two_fields(record, first, second, record_name);
  }

  // After the last stress period: nothing more, or a ReadError at the
  // record that follows.
  void expect_end_after_last_period() {
    if (reader.next(record)) {
      throw inspect::ReadError(record.line.number, 1, "expected the end of the file after the last stress period");
    }
  }

  Reader reader;
  inspect::Record record;
};

}  // namespace answers
