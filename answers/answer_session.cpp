#include "answers/answer_session.h"


#include "inspect/read_error.h"

namespace answers {
namespace {

std::string_view without_trailing_blanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

void AnswerSession::warn(std::int64_t line, std::int64_t column, std::string_view text) {
  if (++warnings_ > kWarningsShown) return;
  messages_ += path_ + ":" + std::to_string(line) + ":" + std::to_string(column) + ": warning: ";
  messages_ += text;
  messages_ += '\n';
}

void AnswerSession::warn_file(std::string_view text) {
  messages_ += path_ + ": warning: ";
  messages_ += text;
  messages_ += '\n';
}

void AnswerSession::note(std::string_view text) {
  messages_ += path_ + ": note: ";
  messages_ += text;
  messages_ += '\n';
}

void AnswerSession::finish(std::ostream& messages) const {
  messages << messages_;
  if (warnings_ > kWarningsShown) {
    messages << path_ << ": note: " << warnings_ - kWarningsShown << " more warnings like these\n";
  }
}

void AnswerSession::ends_early(std::string_view question) {
  if (held_line_ > 0) {
    // Not counted among the warnings: it must show however many came before.
    messages_ += path_ + ":" + std::to_string(held_line_) + ":1: warning: the file ends inside " + held_what_ +
                 ", which " + builder_ + " writes only once the last of its values is answered: these "
                 "answers do not rebuild the file from this line on\n";
  }
  note(std::string("the file ends early; the answers stop ") +
       (held_line_ > 0 ? "where it ends" : "with its last complete record") + ", and " + builder_ +
       " asks next for " + std::string(question));
}

void AnswerSession::layer_asterisks(std::int64_t line, const inspect::Field& field,
                                    std::string_view name) {
  if (layer_asterisks_told_) return;
  layer_asterisks_told_ = true;
  warn(line, field.column,
       "the layer number of the array-control record of " + std::string(name) +
           " is asterisks: a layer above 999 does not fit its three columns, and " + builder_ +
           " writes asterisks there for this layer and every later one; the answers rebuild them "
           "from the layer's place");
}

FieldAnswer AnswerSession::answer_for(const inspect::Line& line, const inspect::Field& field,
                                      std::string_view what) {
  FieldAnswer answer;
  if (!format::answer_for_field(field.text, field.width, field.type, answer)) {
    const std::string found = inspect::found_in(field);
    throw inspect::ReadError(line.number, field.column,
                             "expected " + std::string(what) + " as " + builder_ + " writes it (" +
                                 (field.type == format::Descriptor::Kind::Real ? "G" : "I") +
                                 std::to_string(field.width) +
                                 (field.type == format::Descriptor::Kind::Real ? ".3" : "") +
                                 "), found " + found);
  }
  if (answer.asterisks) {
    warn(line.number, field.column,
         std::string(what) +
             " is asterisks (a value too wide for its field): the value typed is lost and the "
             "simulator cannot read this field; answered " +
             std::string(answer.view()) + ", which writes the same asterisks");
  }
  return answer;
}

void AnswerSession::expect_end(const inspect::Line& line, std::size_t columns, std::string_view what) const {
  if (line.text.size() <= columns) return;
  const std::string_view rest = line.text.substr(columns);
  const std::size_t first = rest.find_first_not_of(' ');
  if (first == std::string_view::npos) return;
  throw inspect::ReadError(line.number, static_cast<std::int64_t>(columns + first + 1),
                           "expected the end of " + std::string(what) + " after column " +
                               std::to_string(columns) + ", found " + inspect::quoted(rest.substr(first)));
}

void AnswerSession::expect_record(const inspect::Line& line, std::string_view expected,
                                  std::string_view what) const {
  const std::string_view found = without_trailing_blanks(line.text);
  const std::string_view wanted = without_trailing_blanks(expected);
  if (found == wanted) return;
  std::size_t column = 0;
  while (column < found.size() && column < wanted.size() && found[column] == wanted[column]) ++column;
  throw inspect::ReadError(line.number, static_cast<std::int64_t>(column + 1),
                           "expected " + std::string(what) + " as " + builder_ + " writes it, " +
                               inspect::quoted(wanted.substr(column), 30) + " from here, found " +
                               (column < found.size() ? inspect::quoted(found.substr(column), 30)
                                                      : std::string("the end of the line")));
}

std::string title_answer(const inspect::Line& line, const inspect::Field& title) {
  std::string text(title.text);
  text.resize(static_cast<std::size_t>(title.width), ' ');
  std::string_view kept = without_trailing_blanks(text);
  // A line of only Ctrl-Z, or one ending in CR, would read as the end of
  // input or lose its CR: one blank more keeps them.
  if (kept.size() >= 2 && kept[0] == '\x1a' && kept[1] == '\r') {
    throw inspect::ReadError(line.number, 1,
                             "expected a title that can be typed, found one that begins with "
                             "Ctrl-Z and CR (read as the end of the answers)");
  }
  std::string answer(kept);
  if (!kept.empty() && (kept.back() == '\r' || kept == "\x1a")) answer += ' ';
  return answer;
}

void AnswerSession::answer_two_fields(const inspect::Record& record, Question first, Question second,
                                      std::string_view record_name) {
  answer(record.line, record.fields[0], first.what).note(first.note).end();
  answer(record.line, record.fields[1], second.what).note(second.note).end();
  expect_end(record.line, 20, record_name);
}

}  // namespace answers
