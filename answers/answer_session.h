// What the answers of one file share: the file's name for messages, the
// answers being written, warnings on standard error, and the checks that
// every record is exactly what the builder writes for the answers given.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

#include "answers/answer_writer.h"
#include "format/field_answer.h"
#include "inspect/record.h"

namespace answers {

using format::FieldAnswer;

// The file ends before the record that `question` would lead to: the
// answers stop there.
struct FileEndsEarly {
  std::string question;
};

class AnswerSession {
 public:
  AnswerSession(std::string path, std::string builder, AnswerWriter& out)
      : path_(std::move(path)), builder_(std::move(builder)), out_(out) {}

  AnswerWriter& out() { return out_; }
  const std::string& path() const { return path_; }
  const std::string& builder() const { return builder_; }

  // "PATH:LINE:COLUMN: warning: TEXT" for standard error; after the first
  // few, warnings are only counted. Warnings and notes are held until the
  // answers are done, so that a file that cannot be answered gets its one
  // error line and nothing else.
  void warn(std::int64_t line, std::int64_t column, std::string_view text);
  void warn_file(std::string_view text);  // "PATH: warning: TEXT"
  void note(std::string_view text);       // "PATH: note: TEXT"
  // Writes the warnings and notes, and how many warnings were not shown.
  void finish(std::ostream& messages) const;

  // Lines that the builder writes only together with later answers (a row
  // of several lines, a list with its array-control record, the run
  // header) begin at `first_line`: `what` names them ("row 5 of starting
  // head, layer 1"). complete() once their last value is answered.
  void hold(std::int64_t first_line, std::string_view what) {
    held_line_ = first_line;
    held_what_.assign(what);
  }
  void complete() { held_line_ = 0; }
  // The file ends before the record that `question` leads to: a note names
  // the question, and a warning the lines held, which these answers do not
  // rebuild.
  void ends_early(std::string_view question);

  // The layer number of an array-control record is asterisks (a layer
  // above 999): warned of once, at its first record `name`.
  void layer_asterisks(std::int64_t line, const inspect::Field& field, std::string_view name);

  // The answer for `field`, which the builder writes as `what` ("the number
  // of layers"); a ReadError when no answer gives the same field.
  FieldAnswer answer_for(const inspect::Line& line, const inspect::Field& field, std::string_view what);

  // Writes the answer of a field with its note.
  AnswerWriter& answer(const inspect::Line& line, const inspect::Field& field, std::string_view what) {
    const FieldAnswer a = answer_for(line, field, what);
    return out_.answer(a.view());
  }

  // The line holds nothing but blanks after its first `columns` columns;
  // `what` names the record (or is a callable that gives its name, made
  // only when needed).
  void expect_end(const inspect::Line& line, std::size_t columns, std::string_view what) const;
  template <typename Name>
    requires std::is_invocable_v<Name>
  void expect_end(const inspect::Line& line, std::size_t columns, Name&& name) const {
    if (line.text.size() > columns) expect_end(line, columns, std::string_view(name()));
  }
  // A record of two integer fields in 20 columns (a header, the options):
  // each field's answer with its note, then nothing after column 20.
  struct Question {
    std::string_view what;  // as answer() takes it
    std::string_view note;
  };
  void answer_two_fields(const inspect::Record& record, Question first, Question second,
                         std::string_view record_name);

  // The line is `expected`, trailing blanks aside.
  void expect_record(const inspect::Line& line, std::string_view expected, std::string_view what) const;

 private:
  static constexpr int kWarningsShown = 10;
  std::string path_;
  std::string builder_;
  AnswerWriter& out_;
  std::int64_t warnings_ = 0;
  std::string messages_;
  std::int64_t held_line_ = 0;  // 0: no lines held
  std::string held_what_;
  bool layer_asterisks_told_ = false;
};

// The answer line of a title: the 80 columns without trailing blanks, so
// that the builder reads back the same 80 columns. A ReadError when no line
// of input gives that title.
std::string title_answer(const inspect::Line& line, const inspect::Field& title);

}  // namespace answers
